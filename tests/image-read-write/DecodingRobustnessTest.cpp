// Malformed input of every format gives unableToDecodeImage: random bytes,
// truncated files, flipped bits and headers that claim huge images (which
// must be refused before anything of that size is allocated).

#include "image-read-write/HeifGrid.h"
#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageLoading.h"

#include "tests/image-read-write/ImageTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

using namespace ImageReadWrite;

namespace {

// Loads; returns true on success, false on unableToDecodeImage, and fails
// the test on any other outcome.
bool tryLoad(const Bytes& bytes) {
    try {
        const auto image = load(bytes);
        EXPECT_TRUE(image && !image->empty());
        return true;
    } catch (const ImageReadWriteException& e) {
        EXPECT_EQ(e.code(), ImageReadWriteError::unableToDecodeImage);
        return false;
    }
}

struct Sample {
    const char* name;
    Bytes bytes;
    // Bytes at the end that a decoder of the first image never needs
    // (the PNG end chunk, the GIF trailer).
    std::size_t optionalTail;
};

// A TIFF of `channels` random 16-bit samples a pixel (grey, or CMYK with
// alpha), in 16 x 16 tiles, in planes and BigTIFF when `big`.
Bytes tiff(int width, int height, int channels, std::uint16_t compression, bool big) {
    testsupport::TempDir dir;
    imagetest::TIFFForm form{.width = width,
                             .height = height,
                             .bits = 16,
                             .samples = channels,
                             .photometric =
                                 std::uint16_t(channels == 5 ? PHOTOMETRIC_SEPARATED : PHOTOMETRIC_MINISBLACK),
                             .compression = compression,
                             .separatePlanes = big,
                             .tileWidth = 16,
                             .tileHeight = 16,
                             .bigTIFF = big};
    if (channels == 5) form.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    std::vector<std::uint16_t> samples(std::size_t(width * height * channels));
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = std::uint16_t(i * 2654435761u >> 9);
    return imagetest::writtenTIFF(dir.path(), form, samples);
}

std::vector<Sample> samples() {
    const auto image = imagetest::gradientImage(40, 30, true);
    std::vector<std::uint16_t> samples(40 * 30 * 4);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = std::uint16_t(i * 2654435761u >> 7);
    std::vector<Sample> result = {
        {"png", imageData(*image, ImageExportType::png()), 12},
        // Read row by row rather than by libpng's simplified reader.
        {"16-bit interlaced png",
         testsupport::writtenPNG({.width = 40, .height = 30, .colorType = PNG_COLOR_TYPE_RGB_ALPHA, .interlaced = true},
                                 samples),
         12},
        {"jpeg", imageData(*image, ImageExportType::jpg(1, 0.8)), 0},
        {"tiff", imageData(*image, ImageExportType::tiff()), 0},
        // TIFFs that libtiff reads in place from the file's bytes, and a
        // BigTIFF read by our own reader of samples (CMYK with alpha).
        {"uncompressed tiled tiff", tiff(40, 30, 1, COMPRESSION_NONE, false), 0},
        {"deflated cmyka bigtiff in tiles of planes", tiff(40, 30, 5, COMPRESSION_ADOBE_DEFLATE, true), 0},
        {"gif", imageData(*image, ImageExportType::gif()), 1},
    };
    if (imagetest::heicEncodingAvailable()) {
        result.push_back({"heic", imageData(*image, ImageExportType::heic(1, 0.5)), 0});
    }
    return result;
}

void putBE32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = std::uint8_t(v >> (24 - 8 * i));
}

void expectRefused(const Bytes& bytes, const char* what) {
    EXPECT_EQ(imagetest::thrown([&] { load(bytes); }).code, ImageReadWriteError::unableToDecodeImage) << what;
}

// A JPEG of `image` written by libjpeg with the scans of `script` (with an
// empty one, libjpeg's own progression).
Bytes scriptedJPEG(const gfx::Image& image, const std::vector<jpeg_scan_info>& script, bool grey = false) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = grey ? 1 : 4;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    if (script.empty()) {
        jpeg_simple_progression(&cinfo);
    } else {
        cinfo.scan_info = script.data();
        cinfo.num_scans = int(script.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    Bytes greyRow(std::size_t(image.width()));
    while (cinfo.next_scanline < cinfo.image_height) {
        const std::uint32_t* pixels = image.row(int(cinfo.next_scanline));
        JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<std::uint32_t*>(pixels));
        if (grey) {
            for (int x = 0; x < image.width(); ++x) greyRow[std::size_t(x)] = std::uint8_t(pixels[x] >> 8);
            row = greyRow.data();
        }
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

// The file with scan `index` (header and coded data) repeated `times` more
// times right after itself.
Bytes repeatScan(const Bytes& jpeg, std::size_t index, int times) {
    std::vector<std::pair<std::size_t, std::size_t>> scans;
    for (std::size_t at = 2; at + 4 <= jpeg.size() && jpeg[at + 1] != 0xD9;) {
        std::size_t end = at + 2 + (std::size_t(jpeg[at + 2]) << 8 | jpeg[at + 3]);
        if (jpeg[at + 1] == 0xDA) {
            // Coded data runs to the next marker other than a restart.
            while (end + 1 < jpeg.size() &&
                   !(jpeg[end] == 0xFF && jpeg[end + 1] != 0 && (jpeg[end + 1] & 0xF8) != 0xD0))
                ++end;
            scans.emplace_back(at, end);
        }
        at = end;
    }
    EXPECT_LT(index, scans.size());
    const auto [from, to] = scans.at(index);
    Bytes out(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(to));
    for (int i = 0; i < times; ++i)
        out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(from), jpeg.begin() + std::ptrdiff_t(to));
    out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(to), jpeg.end());
    return out;
}

// A little-endian TIFF of one directory: tag, type (3 short, 4 long) and
// value of each entry. A strip (or with `tiled`, a tile) given follows the
// directory, with its offset and byte count entered.
Bytes handMadeTIFF(std::vector<std::array<std::uint32_t, 3>> entries, const Bytes& strip = {}, bool tiled = false) {
    if (!strip.empty()) {
        entries.push_back({tiled ? 324u : 273u, 4, std::uint32_t(8 + 2 + 12 * (entries.size() + 2) + 4)});
        entries.push_back({tiled ? 325u : 279u, 4, std::uint32_t(strip.size())});
        std::sort(entries.begin(), entries.end());
    }
    Bytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
    auto put16 = [&](std::uint16_t v) {
        tiff.push_back(std::uint8_t(v));
        tiff.push_back(std::uint8_t(v >> 8));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(std::uint16_t(v));
        put16(std::uint16_t(v >> 16));
    };
    put16(std::uint16_t(entries.size()));
    for (const auto& [tag, type, value] : entries) {
        put16(std::uint16_t(tag));
        put16(std::uint16_t(type));
        put32(1);
        put32(value);
    }
    put32(0);
    tiff.insert(tiff.end(), strip.begin(), strip.end());
    return tiff;
}

std::uint32_t getBE(const Bytes& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | b[at + std::size_t(i)];
    return v;
}

// `heic` (one picture per item, as libheif writes it) with the parameter
// sets of `donor`'s configuration also at the start of its first item's
// data, as some writers send them along with the picture.
Bytes withParameterSetsInData(Bytes heic, const Bytes& donor) {
    const std::size_t config = imagetest::find(donor, "hvcC") + 4;
    Bytes units;
    std::size_t at = config + 23;
    for (std::uint32_t arrays = donor[config + 22]; arrays > 0; --arrays) {
        std::uint32_t count = getBE(donor, at + 1, 2);
        for (at += 3; count > 0; --count) {
            const std::uint32_t length = getBE(donor, at, 2);
            units.resize(units.size() + 4);
            putBE32(units, units.size() - 4, length);
            units.insert(units.end(), donor.begin() + std::ptrdiff_t(at + 2),
                         donor.begin() + std::ptrdiff_t(at + 2 + length));
            at += 2 + length;
        }
    }
    // The item locations: every offset and length four bytes, one extent each.
    const std::size_t iloc = imagetest::find(heic, "iloc") + 4;
    EXPECT_TRUE(heic[iloc] == 0 && heic[iloc + 4] == 0x44 && heic[iloc + 5] == 0x40) << "item locations as expected";
    const std::uint32_t items = getBE(heic, iloc + 6, 2);
    const std::size_t first = iloc + 8;
    const std::uint32_t insertAt = getBE(heic, first + 4, 4) + getBE(heic, first + 10, 4);
    for (std::uint32_t i = 1; i < items; ++i) {
        const std::size_t item = first + 18 * i;
        putBE32(heic, item + 4, getBE(heic, item + 4, 4) + std::uint32_t(units.size()));
    }
    putBE32(heic, first + 14, getBE(heic, first + 14, 4) + std::uint32_t(units.size()));
    const std::size_t mdat = imagetest::find(heic, "mdat") - 4;
    putBE32(heic, mdat, getBE(heic, mdat, 4) + std::uint32_t(units.size()));
    heic.insert(heic.begin() + insertAt, units.begin(), units.end());
    return heic;
}

// A PNG chunk of the given type around `data`.
Bytes pngChunk(const char* type, const Bytes& data) {
    Bytes chunk(8);
    putBE32(chunk, 0, std::uint32_t(data.size()));
    std::memcpy(chunk.data() + 4, type, 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    chunk.resize(chunk.size() + 4);
    putBE32(chunk, chunk.size() - 4, std::uint32_t(::crc32(0, chunk.data() + 4, uInt(data.size() + 4))));
    return chunk;
}

} // namespace

TEST(DecodingRobustness, EmptyUnknownAndRandomBytes) {
    expectRefused({}, "empty");
    expectRefused({'h', 'e', 'l', 'l', 'o'}, "text");
    std::mt19937 random(12345);
    const std::vector<Bytes> prefixes = {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'},
                                         {0xFF, 0xD8, 0xFF},
                                         {'I', 'I', 42, 0},
                                         {'M', 'M', 0, 42},
                                         {'G', 'I', 'F', '8', '9', 'a'},
                                         {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c'},
                                         {}};
    for (const auto& prefix : prefixes) {
        for (int round = 0; round < 60; ++round) {
            Bytes bytes = prefix;
            const std::size_t n = random() % 600;
            for (std::size_t i = 0; i < n; ++i) bytes.push_back(std::uint8_t(random()));
            tryLoad(bytes); // random data may, very rarely, be a valid image
        }
    }
}

TEST(DecodingRobustness, TruncatedOrBitFlippedFilesOfEveryFormat) {
    std::mt19937 random(777);
    for (const auto& sample : samples()) {
        SCOPED_TRACE(sample.name);
        ASSERT_TRUE(tryLoad(sample.bytes));
        const std::size_t size = sample.bytes.size();
        const std::size_t step = std::max<std::size_t>(1, size / 300);
        for (std::size_t length = 0; length + sample.optionalTail < size; length += step) {
            const Bytes cut(sample.bytes.begin(), sample.bytes.begin() + std::ptrdiff_t(length));
            EXPECT_FALSE(tryLoad(cut)) << "length " << length << " of " << size;
        }
        // Flipped bits may decode or be refused, but never crash.
        for (int round = 0; round < 150; ++round) {
            Bytes bytes = sample.bytes;
            for (int flips = 0; flips < 4; ++flips)
                bytes[random() % bytes.size()] ^= std::uint8_t(1u << (random() % 8));
            tryLoad(bytes);
        }
    }
}

TEST(DecodingRobustness, HeadersClaimingHugeImagesAreRefusedBeforeAllocating) {
    const auto image = imagetest::blockImage(16, 16);

    Bytes png = imageData(*image, ImageExportType::png());
    putBE32(png, 16, 100000); // IHDR width
    putBE32(png, 20, 100000); // IHDR height
    putBE32(png, 29, std::uint32_t(::crc32(0, png.data() + 12, 17)));
    expectRefused(png, "png");

    Bytes jpeg = imageData(*image, ImageExportType::jpg());
    const std::size_t sof = imagetest::find(jpeg, "\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    for (std::size_t at : {sof + 5, sof + 7}) { // height, width: 65000 each
        jpeg[at] = 0xFD;
        jpeg[at + 1] = 0xE8;
    }
    expectRefused(jpeg, "jpeg");

    // Width, length, bits per sample, black is zero, strip offset, samples
    // per pixel, strip byte count: 100000 x 100000 grey, one strip.
    const Bytes tiff = handMadeTIFF(
        {{256, 4, 100000}, {257, 4, 100000}, {258, 3, 8}, {262, 3, 1}, {273, 4, 8}, {277, 3, 1}, {279, 4, 100}});
    expectRefused(tiff, "tiff");

    Bytes gif = imageData(*image, ImageExportType::gif());
    gif[6] = gif[7] = gif[8] = gif[9] = 0xFF; // logical screen 65535 x 65535
    expectRefused(gif, "gif screen");
    Bytes gifFrame = imageData(*image, ImageExportType::gif());
    const std::size_t descriptor = imagetest::find(gifFrame, std::string_view(",\0\0\0\0", 5), 13);
    ASSERT_NE(descriptor, std::string::npos);
    for (std::size_t i = 5; i < 9; ++i) gifFrame[descriptor + i] = 0xFF; // frame 65535 x 65535
    expectRefused(gifFrame, "gif frame");

    if (imagetest::heicEncodingAvailable()) {
        Bytes heic = imageData(*image, ImageExportType::heic());
        const std::size_t ispe = imagetest::find(heic, "ispe");
        ASSERT_NE(ispe, std::string::npos);
        putBE32(heic, ispe + 8, 100000);
        putBE32(heic, ispe + 12, 100000);
        expectRefused(heic, "heic");
    }
}

TEST(DecodingRobustness, SizesTheDataCannotHoldOrTheCallerRefusesCostNoMemory) {
    // 16384 x 16384 is within the general cap, but a PNG of a few dozen bytes
    // cannot hold it: refused from the header, not after taking gigabytes.
    const Bytes bomb = testsupport::bilevelPNG(16384, 16384, false);
    ASSERT_LT(bomb.size(), 100u);
    const std::size_t before = testsupport::peakResidentBytes();
    expectRefused(bomb, "png bomb");
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(64) << 20);

    // A caller's cap is a square of that many pixels, checked before
    // decoding in every format.
    const auto image = imagetest::blockImage(16, 16);
    for (const Bytes& bytes : {imageData(*image, ImageExportType::png()), imageData(*image, ImageExportType::jpg()),
                               imageData(*image, ImageExportType::tiff()), imageData(*image, ImageExportType::gif())}) {
        EXPECT_EQ(load(bytes, 256)->width(), 16);
        EXPECT_THROW(load(bytes, 255), ImageReadWriteException);
    }
    // A genuine one-bit PNG packs far better than 8:1 and is still read.
    const auto wide = load(testsupport::bilevelPNG(4000, 3, true), kMaxEmbeddedImagePixels);
    EXPECT_EQ(wide->width(), 4000);
    EXPECT_EQ(wide->pixel(3999, 2), (gfx::Pixel{0, 0, 0, 255}));

    // Each side is held to the square's side, however few pixels the image
    // has: a logo or fill is at most 4096 on a side, any image 16384.
    struct Case {
        int width, height;
        std::int64_t cap;
        bool read;
    };
    for (const Case& c :
         {Case{4096, 16, kMaxEmbeddedImagePixels, true}, Case{16, 4096, kMaxEmbeddedImagePixels, true},
          Case{4097, 1, kMaxEmbeddedImagePixels, false}, Case{1, 4097, kMaxEmbeddedImagePixels, false},
          Case{8192, 2048, kMaxEmbeddedImagePixels, false}, Case{16384, 1, kMaxEmbeddedImagePixels, false},
          Case{16384, 1, gfx::Image::kMaxPixels, true}, Case{16385, 1, gfx::Image::kMaxPixels, false},
          Case{1, 16385, gfx::Image::kMaxPixels, false}}) {
        const Bytes png = testsupport::bilevelPNG(c.width, c.height, true);
        const std::string what = std::to_string(c.width) + " x " + std::to_string(c.height) + " under a cap of " +
                                 std::to_string(c.cap) + " pixels";
        if (c.read)
            EXPECT_EQ(load(png, c.cap)->width(), c.width) << what;
        else
            EXPECT_THROW(load(png, c.cap), ImageReadWriteException) << what;
    }
}

// Reading a file costs about what an ordinary file of its pixel size costs,
// whatever its structure claims: work a file repeats without paying for it
// in bytes (scans walking every block again) gets it refused, while what
// ordinary encoders write still reads.
TEST(DecodingRobustness, WorkIsBoundedByWhatTheFileHolds) {
    const auto image = imagetest::gradientImage(96, 64, false);
    auto expectRead = [&](const Bytes& bytes, const char* what) {
        try {
            const auto read = load(bytes);
            EXPECT_LT(imagetest::compare(*read, *image).mean, 4) << what;
        } catch (const ImageReadWriteException&) {
            ADD_FAILURE() << what << " refused";
        }
    };

    // JPEG. libjpeg's own progression (10 scans), a script of 29 scans in
    // narrow bands with successive approximation, and sequential scans of
    // one component each.
    const Bytes progressive = scriptedJPEG(*image, {});
    std::vector<jpeg_scan_info> bands = {{3, {0, 1, 2}, 0, 0, 0, 1}};
    for (int c = 0; c < 3; ++c) {
        for (const auto& [from, to] :
             {std::pair{1, 2}, {3, 5}, {6, 9}, {10, 14}, {15, 20}, {21, 27}, {28, 35}, {36, 63}})
            bands.push_back({1, {c}, from, to, 0, 1});
    }
    for (int c = 0; c < 3; ++c) bands.push_back({1, {c}, 1, 63, 1, 0});
    bands.push_back({3, {0, 1, 2}, 0, 0, 1, 0});
    const Bytes sequential =
        scriptedJPEG(*image, {{1, {0}, 0, 63, 0, 0}, {1, {1}, 0, 63, 0, 0}, {1, {2}, 0, 63, 0, 0}});
    expectRead(progressive, "libjpeg's progression");
    expectRead(scriptedJPEG(*image, bands), "29 scans");
    expectRead(sequential, "sequential scans");
    // A scan repeated: each repeat is a few dozen bytes, and each walks the
    // picture again.
    expectRefused(repeatScan(progressive, 9, 200), "progression with a refinement scan repeated");
    expectRefused(repeatScan(progressive, 1, 200), "progression with a first scan repeated");
    expectRefused(repeatScan(sequential, 0, 200), "sequential scan repeated");

    // TIFF: libtiff reads a JPEG-compressed strip with libjpeg, up to its
    // hundredth scan.
    const auto tiffJPEG = [&](const Bytes& jpeg) {
        return handMadeTIFF(
            {{256, 4, 96}, {257, 4, 64}, {258, 3, 8}, {259, 3, 7}, {262, 3, 1}, {277, 3, 1}, {278, 4, 64}}, jpeg);
    };
    const Bytes greyProgressive = scriptedJPEG(*image, {}, true);
    EXPECT_TRUE(tryLoad(tiffJPEG(greyProgressive)));
    expectRefused(tiffJPEG(repeatScan(greyProgressive, 5, 60)), "tiff strip with a refinement scan repeated");
    // A tile is coded whole, padding and all: small pictures in ordinary
    // tiles read, as ImageMagick writes them (one tile, or one a plane) and
    // progressive; a small picture in a huge tile may not have the tile
    // walked over and over.
    testsupport::TempDir dir;
    for (const char* size : {"16x16", "100x10"}) {
        for (const char* tile : {"256x256", "512x512"}) {
            for (const char* planes : {"", " -interlace plane"}) {
                const std::string what = std::string("tiff of ") + size + " in " + tile + " tiles" + planes;
                const auto file = dir / "tiled.tif";
                ASSERT_EQ(testsupport::runCommand(std::string("convert -size ") + size + " xc:red" + planes +
                                                  " -compress JPEG -define tiff:tile-geometry=" + tile + " '" +
                                                  file.string() + "'"),
                          0)
                    << what;
                try {
                    const gfx::Pixel p = load(testsupport::readFile(file))->pixel(0, 0);
                    EXPECT_TRUE(p.r > 250 && p.g < 5 && p.b < 5) << what;
                } catch (const ImageReadWriteException&) {
                    ADD_FAILURE() << what << " refused";
                }
            }
        }
    }
    const auto tiledJPEG = [&](std::uint32_t side, std::uint32_t tile, const Bytes& jpeg) {
        return handMadeTIFF({{256, 4, side},
                             {257, 4, side},
                             {258, 3, 8},
                             {259, 3, 7},
                             {262, 3, 1},
                             {277, 3, 1},
                             {322, 4, tile},
                             {323, 4, tile}},
                            jpeg, true);
    };
    EXPECT_TRUE(tryLoad(tiledJPEG(16, 256, scriptedJPEG(*imagetest::gradientImage(256, 256, false), {}, true))))
        << "progressive tiff tile";
    expectRefused(
        tiledJPEG(16, 2048, repeatScan(scriptedJPEG(*imagetest::gradientImage(2048, 2048, false), {}, true), 5, 50)),
        "tiff of 16 x 16 in a 2048 x 2048 tile of 60 scans");

    // PNG: a hundred compressed text chunks of 8 KB, each inflating to 7.9 MB
    // of text that libpng would keep, before the pixels.
    const Bytes letters(7'900'000, 'x');
    Bytes text = {'c', 'o', 'm', 'm', 'e', 'n', 't', 0, 0};
    uLongf packed = compressBound(uLong(letters.size()));
    text.resize(text.size() + packed);
    ASSERT_EQ(compress2(text.data() + 9, &packed, letters.data(), uLong(letters.size()), 9), Z_OK);
    text.resize(9 + packed);
    const Bytes zTXt = pngChunk("zTXt", text);
    Bytes png = imageData(*image, ImageExportType::png());
    for (int i = 0; i < 100; ++i) png.insert(png.begin() + 33, zTXt.begin(), zTXt.end()); // after the header
    const std::size_t before = testsupport::peakResidentBytes();
    expectRead(png, "png with text");
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(64) << 20);

    // HEIF: libheif decodes a grid's tile once for every reference to it,
    // and a picture at the size its parameter set gives.
    if (!imagetest::heicEncodingAvailable()) return;
    const Bytes tile = imageData(*imagetest::gradientImage(64, 64, false), ImageExportType::heic());
    const Bytes grid = detail::heifGrid(128, 128, 2, 2, {tile, tile, tile, tile});
    ASSERT_TRUE(tryLoad(grid));
    Bytes sameTile = grid;
    const std::size_t dimg = imagetest::find(sameTile, "dimg");
    ASSERT_NE(dimg, std::string::npos);
    for (std::size_t at = dimg + 10; at < dimg + 16; at += 2) { // the second to fourth tile: the first again
        sameTile[at] = sameTile[dimg + 8];
        sameTile[at + 1] = sameTile[dimg + 9];
    }
    expectRefused(sameTile, "heif grid repeating a tile");
    Bytes large = imageData(*imagetest::gradientImage(256, 256, false), ImageExportType::heic());
    const std::size_t ispe = imagetest::find(large, "ispe");
    putBE32(large, ispe + 8, 64);
    putBE32(large, ispe + 12, 64);
    expectRefused(detail::heifGrid(128, 128, 2, 2, {large, large, large, large}), "heif tiles larger than they say");
    expectRefused(detail::heifGrid(1024, 1024, 16, 16, std::vector<Bytes>(256, tile)), "heif grid of tiny tiles");
    // A grid's tiles reach past its image by what they need to cover it; a
    // small image in a huge tile is still refused.
    const Bytes tile512 = imageData(*imagetest::gradientImage(512, 512, false), ImageExportType::heic());
    EXPECT_TRUE(tryLoad(detail::heifGrid(100, 100, 1, 1, {tile512}))) << "heif image smaller than its grid's tile";
    EXPECT_TRUE(tryLoad(detail::heifGrid(600, 100, 2, 1, {tile512, tile512}))) << "heif grid reaching past its image";
    expectRefused(detail::heifGrid(16, 16, 1, 1,
                                   {imageData(*imagetest::gradientImage(2048, 2048, false), ImageExportType::heic())}),
                  "heif of 16 x 16 in a 2048 x 2048 tile");
    // Parameter sets sent along with the picture: the decoder codes it at
    // the size they give.
    EXPECT_TRUE(tryLoad(withParameterSetsInData(tile, tile))) << "heif with its parameter sets in its data";
    expectRefused(withParameterSetsInData(tile, imageData(*imagetest::gradientImage(1024, 1024, false),
                                                          ImageExportType::heic())),
                  "heif whose data carry a larger picture's parameter sets");
}
