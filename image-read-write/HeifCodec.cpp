// HEIC over libheif (HEVC through the encoder and decoder plugins libheif was
// built with). Whether an HEVC encoder exists is decided at run time.

#include "image-read-write/Codecs.h"
#include "image-read-write/HeifGrid.h"
#include "image-read-write/ImageExportType.h"
#include "platform/gfx/Crew.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

namespace ImageReadWrite::detail {
namespace {

void initialiseLibrary() {
    // Reference-counted by libheif; held for the life of the process.
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
}

struct ContextDeleter {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct EncoderDeleter {
    void operator()(heif_encoder* e) const { heif_encoder_release(e); }
};
struct ImageDeleter {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct HandleDeleter {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
using Context = std::unique_ptr<heif_context, ContextDeleter>;
using Encoder = std::unique_ptr<heif_encoder, EncoderDeleter>;
using HeifImage = std::unique_ptr<heif_image, ImageDeleter>;
using Handle = std::unique_ptr<heif_image_handle, HandleDeleter>;

heif_error writeToVector(heif_context*, const void* data, size_t size, void* userdata) {
    auto* out = static_cast<Bytes*>(userdata);
    try {
        const auto* p = static_cast<const std::uint8_t*>(data);
        out->insert(out->end(), p, p + size);
    } catch (...) {
        return heif_error{heif_error_Memory_allocation_error, heif_suberror_Unspecified, "out of memory"};
    }
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "Success"};
}

void put16(Bytes& b, std::uint16_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, std::uint16_t(v));
    put16(b, std::uint16_t(v >> 16));
}

// A minimal Exif block (a little-endian TIFF structure) that carries the
// resolution in dots per inch, the way HEIC files record it.
Bytes resolutionExif(double dpiX, double dpiY) {
    auto rational = [](double dpi) {
        double n = std::round(dpi * 100);
        if (!(n >= 1)) n = 1;
        if (n > 4294967295.0) n = 4294967295.0;
        return std::uint32_t(n);
    };
    Bytes b;
    b.insert(b.end(), {'I', 'I', 42, 0});
    put32(b, 8); // first directory
    put16(b, 3); // entries
    put16(b, 0x011A);
    put16(b, 5);
    put32(b, 1);
    put32(b, 50); // XResolution, rational at 50
    put16(b, 0x011B);
    put16(b, 5);
    put32(b, 1);
    put32(b, 58); // YResolution, rational at 58
    put16(b, 0x0128);
    put16(b, 3);
    put32(b, 1);
    put32(b, 2); // ResolutionUnit: inches
    put32(b, 0); // no next directory
    put32(b, rational(dpiX));
    put32(b, 100);
    put32(b, rational(dpiY));
    put32(b, 100);
    return b;
}

} // namespace

bool heicEncoderAvailable() {
    initialiseLibrary();
    return heif_have_encoder_for_format(heif_compression_HEVC) != 0;
}

namespace {

// One HEIF file of the picture width x height whose top left corner is at
// (left, top) of the image; where it reaches past the image's right or
// bottom edge, the last column and row repeat.
Bytes encodePicture(const gfx::Image& image, int left, int top, int width, int height, bool alpha,
                    const EncodeSettings& settings) {
    const char* type = ImageTypeIdentifier::heic;
    Context ctx(heif_context_alloc());
    if (!ctx) failEncoding(type);
    heif_encoder* rawEncoder = nullptr;
    if (heif_context_get_encoder_for_format(ctx.get(), heif_compression_HEVC, &rawEncoder).code != heif_error_Ok ||
        !rawEncoder) {
        failEncoding(type);
    }
    Encoder encoder(rawEncoder);
    if (settings.quality) {
        if (heif_encoder_set_lossy_quality(encoder.get(), int(std::lround(*settings.quality * 100))).code !=
            heif_error_Ok) {
            failEncoding(type);
        }
    }

    heif_image* rawImage = nullptr;
    if (heif_image_create(width, height, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &rawImage)
                .code != heif_error_Ok ||
        !rawImage) {
        failEncoding(type);
    }
    HeifImage heifImage(rawImage);
    if (heif_image_add_plane(heifImage.get(), heif_channel_interleaved, width, height, 8).code != heif_error_Ok) {
        failEncoding(type);
    }
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(heifImage.get(), heif_channel_interleaved, &stride);
    if (!plane) failEncoding(type);
    const std::size_t channels = alpha ? 4 : 3;
    const int inside = std::min(width, image.width() - left);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = plane + std::size_t(y) * std::size_t(stride);
        straightRow(image.row(std::min(top + y, image.height() - 1)) + left, inside, alpha, out);
        for (int x = inside; x < width; ++x)
            std::memcpy(out + std::size_t(x) * channels, out + std::size_t(inside - 1) * channels, channels);
    }

    heif_image_handle* rawHandle = nullptr;
    if (heif_context_encode_image(ctx.get(), heifImage.get(), encoder.get(), nullptr, &rawHandle).code !=
            heif_error_Ok ||
        !rawHandle) {
        failEncoding(type);
    }
    Handle handle(rawHandle);
    const Bytes exif = resolutionExif(settings.dpiX, settings.dpiY);
    if (heif_context_add_exif_metadata(ctx.get(), handle.get(), exif.data(), int(exif.size())).code != heif_error_Ok) {
        failEncoding(type);
    }
    Bytes out;
    heif_writer writer{};
    writer.writer_api_version = 1;
    writer.write = writeToVector;
    if (heif_context_write(ctx.get(), &writer, &out).code != heif_error_Ok || out.empty()) failEncoding(type);
    return out;
}

// The most luma samples of one picture at HEVC's highest levels (8192 x
// 4352). Larger images are coded as a grid of tiles, as decoders expect;
// that also bounds the encoder's memory, about 13 bytes per pixel of the
// picture it codes (3.5 GB for 16384 x 16384 in one picture).
constexpr std::int64_t kMaxPictureSamples = 35'651'584;
constexpr int kTileSide = 2048;

} // namespace

Bytes encodeHEIC(const gfx::Image& image, const EncodeSettings& settings) {
    checkEncodable(image, ImageTypeIdentifier::heic);
    if (std::int64_t(image.width()) * image.height() > kMaxPictureSamples) {
        return encodeHEICGrid(image, settings, kTileSide);
    }
    initialiseLibrary();
    return encodePicture(image, 0, 0, image.width(), image.height(), !isOpaque(image), settings);
}

Bytes encodeHEICGrid(const gfx::Image& image, const EncodeSettings& settings, int tileSide) {
    checkEncodable(image, ImageTypeIdentifier::heic);
    if (tileSide < 64 || tileSide % 64 != 0) failEncoding(ImageTypeIdentifier::heic);
    initialiseLibrary();
    const bool alpha = !isOpaque(image);
    const int columns = (image.width() + tileSide - 1) / tileSide;
    const int rows = (image.height() + tileSide - 1) / tileSide;
    std::vector<Bytes> tiles(std::size_t(columns) * std::size_t(rows));
    // Two tiles at once: one encoder keeps little more than one core busy on
    // a tile, and each holds about 100 to 200 MB while it works (16384 x
    // 16384: 1.5 GB at most in all, four at once would take 1.8 GB).
    gfx::detail::Crew crew(1);
    const bool done = crew.forEach(tiles.size(), [&](std::size_t i) {
        const int row = int(i / std::size_t(columns)), column = int(i % std::size_t(columns));
        tiles[i] = encodePicture(image, column * tileSide, row * tileSide, tileSide, tileSide, alpha, settings);
    });
    if (!done) failEncoding(ImageTypeIdentifier::heic);
    return heifGrid(std::uint32_t(image.width()), std::uint32_t(image.height()), columns, rows, tiles);
}

gfx::ImagePtr decodeHEIF(ByteView data, std::int64_t maxPixels) {
    if (!heifDecodingBounded(data)) failDecoding();
    initialiseLibrary();
    Context ctx(heif_context_alloc());
    if (!ctx) failDecoding();
    if (heif_context_read_from_memory_without_copy(ctx.get(), data.data(), data.size(), nullptr).code !=
        heif_error_Ok) {
        failDecoding();
    }
    heif_image_handle* rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(ctx.get(), &rawHandle).code != heif_error_Ok || !rawHandle) {
        failDecoding();
    }
    Handle handle(rawHandle);
    const int width = heif_image_handle_get_width(handle.get());
    const int height = heif_image_handle_get_height(handle.get());
    checkDecodedSize(width, height, maxPixels);
    heif_image* rawImage = nullptr;
    if (heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr).code !=
            heif_error_Ok ||
        !rawImage) {
        failDecoding();
    }
    HeifImage decoded(rawImage);
    if (heif_image_get_width(decoded.get(), heif_channel_interleaved) != width ||
        heif_image_get_height(decoded.get(), heif_channel_interleaved) != height ||
        heif_image_get_bits_per_pixel_range(decoded.get(), heif_channel_interleaved) != 8) {
        failDecoding();
    }
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(decoded.get(), heif_channel_interleaved, &stride);
    if (!plane || stride < width * 4) failDecoding();
    auto image = std::make_shared<gfx::Image>(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* p = plane + std::size_t(y) * std::size_t(stride);
        std::uint32_t* row = image->row(y);
        for (int x = 0; x < width; ++x, p += 4) row[x] = premultiplied(p[0], p[1], p[2], p[3]);
    }
    return image;
}

} // namespace ImageReadWrite::detail

#if defined(__SANITIZE_ADDRESS__)
// x265 3.5 leaks about a kilobyte per opened encoder, inside the library
// (its frames lack frame pointers, so only the module can be named); keep the
// leak checker of sanitizer builds quiet about allocations made by x265.
// libnuma, which x265 asks for the processors of each node, fills its
// caches on first use without a lock: when two grid tiles open their
// encoders at once, both may fill one and a copy is lost (a few kilobytes,
// once a process), so its allocations are left out as well.
// Linked into every program that can encode HEIC.
extern "C" const char* __lsan_default_suppressions() { return "leak:libx265.so\nleak:libnuma.so\n"; }
#endif
