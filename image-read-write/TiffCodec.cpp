// TIFF over libtiff, reading and writing memory through client procedures.
// libtiff's messages go to handlers attached to each open handle, which keep
// them quiet; failures are reported by return values.

#include "image-read-write/Codecs.h"
#include "image-read-write/ImageExportType.h"
#include "image-read-write/TiffSamples.h"

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <mutex>

namespace ImageReadWrite::detail {
namespace {

struct MemoryFile {
    const std::uint8_t* data = nullptr; // reading
    std::size_t size = 0;
    Bytes* out = nullptr; // writing
    std::size_t position = 0;
    bool failed = false;
};

tmsize_t memRead(thandle_t handle, void* buffer, tmsize_t count) {
    auto* f = static_cast<MemoryFile*>(handle);
    if (count <= 0 || !f->data || f->position >= f->size) return 0;
    const std::size_t n = std::min<std::size_t>(std::size_t(count), f->size - f->position);
    std::memcpy(buffer, f->data + f->position, n);
    f->position += n;
    return tmsize_t(n);
}

tmsize_t memWrite(thandle_t handle, void* buffer, tmsize_t count) {
    auto* f = static_cast<MemoryFile*>(handle);
    if (count < 0 || !f->out) return -1;
    try {
        const std::size_t end = f->position + std::size_t(count);
        if (f->out->size() < end) f->out->resize(end);
        std::memcpy(f->out->data() + f->position, buffer, std::size_t(count));
        f->position = end;
    } catch (...) {
        f->failed = true;
        return -1;
    }
    return count;
}

std::size_t currentSize(const MemoryFile* f) { return f->out ? f->out->size() : f->size; }

toff_t memSeek(thandle_t handle, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = f->position;
    else if (whence == SEEK_END)
        base = currentSize(f);
    const std::uint64_t target = base + offset;
    if (target < base || target > std::uint64_t(std::numeric_limits<std::int64_t>::max() / 2)) {
        return toff_t(-1);
    }
    f->position = std::size_t(target);
    return target;
}

int memClose(thandle_t) { return 0; }
toff_t memSize(thandle_t handle) { return currentSize(static_cast<MemoryFile*>(handle)); }

// A file being read is handed to libtiff as a mapping of its bytes: libtiff
// then reads strips and tiles in place rather than copying them, and its
// copying path refuses an uncompressed tile whose size is not a multiple of
// 1024 bytes (it compares the tile with its read buffer, which it rounds
// up). libtiff reads a mapping and never writes it.
int memMap(thandle_t handle, void** base, toff_t* size) {
    auto* f = static_cast<MemoryFile*>(handle);
    if (!f->data) return 0;
    *base = const_cast<std::uint8_t*>(f->data);
    *size = f->size;
    return 1;
}
void memUnmap(thandle_t, void*, toff_t) {}

int quietHandler(TIFF*, void*, const char*, const char*, va_list) {
    return 1; // handled: nothing printed, nothing passed to the global handler
}

// Messages raised before a handle exists go to the process-wide handlers,
// whose defaults print to standard error; switch those off once.
void silenceGlobalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

struct Options {
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    Options() {
        if (!opts) return;
        TIFFOpenOptionsSetErrorHandlerExtR(opts, quietHandler, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(opts, quietHandler, nullptr);
        // No single allocation of libtiff's own larger than the largest image.
        TIFFOpenOptionsSetMaxSingleMemAlloc(opts, tmsize_t(kMostTIFFBufferBytes));
    }
    ~Options() {
        if (opts) TIFFOpenOptionsFree(opts);
    }
};

struct TiffHandle {
    TIFF* tif = nullptr;
    ~TiffHandle() {
        if (tif) TIFFClose(tif);
    }
};

TIFF* open(MemoryFile& file, const char* mode, Options& options) {
    silenceGlobalHandlers();
    if (!options.opts) return nullptr;
    return TIFFClientOpenExt("memory", mode, &file, memRead, memWrite, memSeek, memClose, memSize, memMap, memUnmap,
                             options.opts);
}

// libtiff reads a JPEG-compressed strip or tile with libjpeg, whose scans
// each walk every block of the piece however few bytes they hold; libtiff
// stops only at its hundredth scan of a piece. Such a file is read when its
// pieces hold at most kMostScans scans over each part of the area they
// cover (an ordinary progression has about ten), counting each scan's
// markers in the pieces' data; pieces whose data add up to more than the
// file (read over one another) are refused, which bounds that count by the
// file's size. A tile is coded whole, so each scan is charged for all of
// it; the padding beyond the picture counts as covered area only up to
// kMostPaddingPerTile a piece, so a small picture in an ordinary tile reads
// while one in a huge tile cannot have the tile walked over and over.
constexpr std::uint64_t kMostScans = 64;

bool jpegScansWithinBounds(TIFF* tif, ByteView data, std::uint32_t width, std::uint32_t height) {
    std::uint16_t compression = COMPRESSION_NONE;
    if (!TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression) || compression != COMPRESSION_JPEG) return true;
    const bool tiled = TIFFIsTiled(tif) != 0;
    const std::uint64_t pieces = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    std::uint64_t pieceWidth = width, pieceHeight = 0;
    if (tiled) {
        std::uint32_t w = 0, h = 0;
        if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &w) || !TIFFGetField(tif, TIFFTAG_TILELENGTH, &h)) return false;
        pieceWidth = w;
        pieceHeight = h;
    } else {
        std::uint32_t rows = 0;
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
        pieceHeight = std::min<std::uint64_t>(rows, height);
    }
    std::uint16_t planes = PLANARCONFIG_CONTIG, samples = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planes);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    const std::uint64_t layers = planes == PLANARCONFIG_SEPARATE ? samples : 1;
    std::uint64_t scanned = 0, scans = 0;
    for (std::uint64_t piece = 0; piece < pieces; ++piece) {
        const std::uint64_t offset = TIFFGetStrileOffset(tif, std::uint32_t(piece));
        const std::uint64_t size = TIFFGetStrileByteCount(tif, std::uint32_t(piece));
        if (offset >= data.size()) continue;
        const std::size_t end = std::size_t(std::min<std::uint64_t>(data.size(), offset + std::min(size, data.size())));
        scanned += end - offset;
        if (scanned > data.size()) return false;
        for (std::size_t at = std::size_t(offset); at + 1 < end; ++at)
            scans += data[at] == 0xFF && data[at + 1] == 0xDA;
    }
    const std::uint64_t pieceArea = pieceWidth * pieceHeight;
    if (pieceArea == 0) return true;
    const std::uint64_t picture = std::uint64_t(width) * height * layers;
    const std::uint64_t mostCovered = picture + pieces * kMostPaddingPerTile;
    const std::uint64_t covered =
        pieces > mostCovered / pieceArea ? mostCovered : std::max(picture, pieces * pieceArea);
    return scans <= kMostScans * covered / pieceArea;
}

// libtiff's reader takes the alpha of contiguous grey-and-alpha pixels as
// associated at 8 bits, leaving a straight grey above its alpha, and drops
// it at 16 bits, so such pixels are put together here: straight alpha is
// associated, and 16-bit samples are rounded to the nearest 8-bit level, so
// that the picture reads as it does saved at 8 bits.
bool isContiguousGreyAndAlpha(const TIFFRGBAImage& image) {
    return image.isContig && image.alpha != 0 && image.samplesperpixel >= 2 &&
           (image.photometric == PHOTOMETRIC_MINISBLACK || image.photometric == PHOTOMETRIC_MINISWHITE) &&
           (image.bitspersample == 8 || image.bitspersample == 16);
}

// The alpha is the sample after the grey; `fromSkew` counts pixels.
void putGreyAndAlpha(TIFFRGBAImage* image, std::uint32_t* out, std::uint32_t, std::uint32_t, std::uint32_t width,
                     std::uint32_t height, std::int32_t fromSkew, std::int32_t toSkew, unsigned char* in) {
    const bool sixteen = image->bitspersample == 16;
    const std::size_t sampleBytes = sixteen ? 2 : 1, pixelBytes = sampleBytes * image->samplesperpixel;
    const bool associated = image->alpha == EXTRASAMPLE_ASSOCALPHA;
    const bool whiteIsZero = image->photometric == PHOTOMETRIC_MINISWHITE;
    const auto levelAt = [sixteen](const unsigned char* sample) -> std::uint32_t {
        if (!sixteen) return *sample;
        std::uint16_t value; // in native byte order, as libtiff hands it over
        std::memcpy(&value, sample, 2);
        return eightBitLevel(value, 16);
    };
    for (; height > 0; --height) {
        for (std::uint32_t x = 0; x < width; ++x, in += pixelBytes) {
            const std::uint32_t alpha = levelAt(in + sampleBytes);
            std::uint32_t grey = levelAt(in);
            if (associated) {
                grey = std::min(grey, alpha);
                if (whiteIsZero) grey = alpha - grey;
            } else {
                if (whiteIsZero) grey = 255 - grey;
                grey = (grey * alpha + 127) / 255;
            }
            *out++ = grey | grey << 8 | grey << 16 | alpha << 24;
        }
        out += toSkew;
        in += std::ptrdiff_t(fromSkew) * std::ptrdiff_t(pixelBytes);
    }
}

// libtiff's routine for 16-bit grey steps over the part of a tile beyond the
// picture's right edge by one byte a pixel, so every row of a cut tile after
// the first starts in the wrong place; this one steps by whole pixels and
// otherwise puts each pixel as libtiff does (the high byte of its sample,
// through the reader's own grey map).
void putSixteenBitGrey(TIFFRGBAImage* image, std::uint32_t* out, std::uint32_t, std::uint32_t, std::uint32_t width,
                       std::uint32_t height, std::int32_t fromSkew, std::int32_t toSkew, unsigned char* in) {
    const std::size_t pixelBytes = 2 * std::size_t(image->samplesperpixel);
    for (; height > 0; --height) {
        for (std::uint32_t x = 0; x < width; ++x, in += pixelBytes) {
            std::uint16_t value; // in native byte order, as libtiff hands it over
            std::memcpy(&value, in, 2);
            *out++ = image->BWmap[value >> 8][0];
        }
        out += toSkew;
        in += std::ptrdiff_t(fromSkew) * std::ptrdiff_t(pixelBytes);
    }
}

bool isContiguousSixteenBitGrey(const TIFFRGBAImage& image) {
    return image.isContig && image.bitspersample == 16 &&
           (image.photometric == PHOTOMETRIC_MINISBLACK || image.photometric == PHOTOMETRIC_MINISWHITE);
}

struct RGBAReader {
    TIFFRGBAImage image{};
    bool begun = false;
    ~RGBAReader() {
        if (begun) TIFFRGBAImageEnd(&image);
    }
};

} // namespace

Bytes encodeTIFF(const gfx::Image& image, const EncodeSettings& settings) {
    const char* type = ImageTypeIdentifier::tiff;
    checkEncodable(image, type);
    const bool alpha = !isOpaque(image);
    const int channels = alpha ? 4 : 3;

    Bytes out;
    MemoryFile file;
    file.out = &out;
    Options options;
    TiffHandle handle;
    handle.tif = open(file, "w", options);
    TIFF* tif = handle.tif;
    if (!tif) failEncoding(type);
    const auto width = std::uint32_t(image.width());
    const auto height = std::uint32_t(image.height());
    bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width) && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height) &&
              TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8) && TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, channels) &&
              TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
              TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
              // Lossless: a quality has no meaning here.
              TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW) &&
              TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) &&
              TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0)) &&
              TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(settings.dpiX)) &&
              TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(settings.dpiY)) &&
              TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (ok && alpha) {
        std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        ok = TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    Bytes row(std::size_t(width) * std::size_t(channels));
    for (std::uint32_t y = 0; ok && y < height; ++y) {
        straightRow(image.row(int(y)), image.width(), alpha, row.data());
        ok = TIFFWriteScanline(tif, row.data(), y, 0) == 1;
    }
    ok = ok && TIFFWriteDirectory(tif) && TIFFFlush(tif);
    TIFFClose(tif);
    handle.tif = nullptr;
    if (!ok || file.failed || out.empty()) failEncoding(type);
    return out;
}

gfx::ImagePtr decodeTIFF(ByteView data, std::int64_t maxPixels) {
    MemoryFile file;
    file.data = data.data();
    file.size = data.size();
    Options options;
    TiffHandle handle;
    handle.tif = open(file, "r", options);
    TIFF* tif = handle.tif;
    if (!tif) failDecoding();
    std::uint32_t width = 0, height = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height)) {
        failDecoding();
    }
    checkDecodedSize(width, height, maxPixels);
    char message[1024] = {};
    const bool bySamples = readsBySamples(tif);
    if ((!bySamples && !TIFFRGBAImageOK(tif, message)) || !jpegScansWithinBounds(tif, data, width, height))
        failDecoding();
    if (bySamples) return readBySamples(tif, width, height);
    RGBAReader reader;
    reader.begun = TIFFRGBAImageBegin(&reader.image, tif, 1, message) != 0;
    if (!reader.begun) failDecoding();
    // libtiff's reader flips a picture as its orientation asks but cannot
    // turn it, taking the four orientations that turn by a quarter for ones
    // that flip; those are read as stored and turned here.
    const std::uint16_t orientation = reader.image.orientation;
    const bool turns = orientation >= ORIENTATION_LEFTTOP && orientation <= ORIENTATION_LEFTBOT;
    reader.image.req_orientation = turns ? orientation : ORIENTATION_TOPLEFT;
    if (isContiguousGreyAndAlpha(reader.image))
        reader.image.put.contig = putGreyAndAlpha;
    else if (isContiguousSixteenBitGrey(reader.image))
        reader.image.put.contig = putSixteenBitGrey;
    auto image = std::make_shared<gfx::Image>(int(width), int(height));
    // The raster has the image's layout: one 32-bit word per pixel, rows
    // top-down, premultiplied, but with red in the low byte.
    auto* raster = reinterpret_cast<std::uint32_t*>(image->data());
    if (!TIFFRGBAImageGet(&reader.image, raster, width, height)) failDecoding();
    const std::size_t count = std::size_t(width) * height;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t v = raster[i];
        raster[i] = (v & 0xFF00FF00u) | ((v & 0xFFu) << 16) | ((v >> 16) & 0xFFu);
    }
    if (turns) return turned(*image, orientation);
    return image;
}

} // namespace ImageReadWrite::detail
