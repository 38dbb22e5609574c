// Every bitmap format written by us is read back by our loader and by an
// independent reader: size, pixels within the codec's tolerance and DPI.

#include "tests/image-read-write/ImageTestSupport.h"

#include "image-read-write/Codecs.h"
#include "image-read-write/HeifGrid.h"
#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageLoading.h"
#include "tests/support/TestSupport.h"
#include "QRCodeGenerator/QRCode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <sstream>

#include <png.h>
#include <tiffio.h>

using namespace ImageReadWrite;
using imagetest::compare;

namespace {

std::filesystem::path save(const testsupport::TempDir& dir, const std::string& name, const Bytes& bytes) {
    const auto path = dir / name;
    testsupport::writeFile(path, bytes);
    return path;
}

gfx::ImagePtr makeImage(int w, int h, const std::function<gfx::Pixel(int, int)>& pixel) {
    auto image = std::make_shared<gfx::Image>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image->setPixel(x, y, pixel(x, y));
    return image;
}

} // namespace

TEST(RoundTrip, EveryBitmapFormatReadsBackInBothReadersWithItsResolution) {
    struct Case {
        const char* file;
        ImageExportType type;
        int width, height;
        bool transparency;
        double meanDiff; // per channel, in both readers
        int maxDiff;
        const char* pilFormat; // nullptr: read by ImageMagick (no HEIF reader in PIL)
        const char* compression;
    };
    // Lossless formats store straight alpha: half-transparent pixels may move
    // by a step or two through premultiplication. Odd HEIC sizes: HEVC codes
    // 4:2:0 in even blocks, yet the file must still say 33 x 21.
    const Case cases[] = {
        {"a.png", ImageExportType::png(2), 37, 23, true, 2, 2, "PNG", nullptr},
        {"a.jpg", ImageExportType::jpg(2, 0.9), 64, 48, false, 3, 40, "JPEG", nullptr},
        {"a.tiff", ImageExportType::tiff(2, 0.1), 30, 20, true, 2, 2, "TIFF", "tiff_lzw"},
        {"a.gif", ImageExportType::gif(), 128, 96, false, 6, 255, "GIF", nullptr}, // thousands of colours
        {"a.heic", ImageExportType::heic(2, 0.9), 33, 21, false, 6, 255, nullptr, nullptr},
    };
    testsupport::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (!c.pilFormat && !imagetest::heicEncodingAvailable()) continue; // libheif without an HEVC encoder
        const auto image = imagetest::gradientImage(c.width, c.height, c.transparency);
        const Bytes bytes = imageData(*image, c.type);
        const auto loaded = load(bytes);
        ASSERT_EQ(loaded->width(), c.width);
        ASSERT_EQ(loaded->height(), c.height);
        const auto ours = compare(*loaded, *image);
        EXPECT_LE(ours.mean, c.meanDiff);
        EXPECT_LE(ours.max, c.maxDiff);

        const auto path = save(dir, c.file, bytes);
        const auto external =
            c.pilFormat ? imagetest::readWithPIL(path) : imagetest::readWithImageMagick(path, c.width, c.height);
        EXPECT_EQ(external.info["width"], c.width);
        EXPECT_EQ(external.info["height"], c.height);
        const auto theirs = compare(*image, external.rgba);
        EXPECT_LE(theirs.mean, c.meanDiff);
        EXPECT_LE(theirs.max, c.maxDiff);
        if (c.type.kind() == ImageExportType::Kind::gif) {
            // GIF has no resolution; its palette holds at most 256 colours.
            EXPECT_EQ(external.info["mode"], "P");
            EXPECT_LE(external.info["paletteColours"].get<int>(), 256);
        } else if (c.pilFormat) {
            EXPECT_EQ(external.info["format"], c.pilFormat);
            EXPECT_NEAR(external.info["dpi"][0].get<double>(), 144, 0.01);
            EXPECT_NEAR(external.info["dpi"][1].get<double>(), 144, 0.01);
        } else {
            // ImageMagick ignores the Exif resolution of HEIF files; PIL's
            // Exif parser reads the block the file carries.
            const auto exif = imagetest::readHEICExifResolution(path);
            EXPECT_EQ(exif["dpiX"], 144.0);
            EXPECT_EQ(exif["dpiY"], 144.0);
            EXPECT_EQ(exif["unit"], 2); // inches
        }
        if (c.compression) {
            EXPECT_EQ(external.info["compression"], c.compression);
        }
    }
}

// PNG files take the smallest exact colour type the pixels allow; whatever
// it is, both readers get every pixel back exactly.
TEST(RoundTrip, PNGTakesTheSmallestExactColourType) {
    testsupport::TempDir dir;
    auto grey = [](int v, int a = 255) {
        return gfx::Pixel{std::uint8_t(v), std::uint8_t(v), std::uint8_t(v), std::uint8_t(a)};
    };
    struct Case {
        const char* name;
        gfx::ImagePtr image;
        const char* mode;
        int bitDepth;
    };
    const Case cases[] = {
        {"black and white", makeImage(21, 5, [&](int x, int y) { return grey((x + y) % 3 ? 255 : 0); }), "1", 1},
        {"four greys", makeImage(9, 9, [&](int x, int y) { return grey(85 * ((x * y) % 4)); }), "L", 2},
        {"sixteen greys", makeImage(17, 3, [&](int x, int) { return grey(17 * (x % 16)); }), "L", 4},
        {"grey ramp", makeImage(300, 2, [&](int x, int y) { return grey((x * 7 + y) % 256); }), "L", 8},
        {"three greys not on a ramp step",
         makeImage(8, 8, [&](int x, int) { return grey(x % 3 == 0   ? 0
                                                       : x % 3 == 1 ? 200
                                                                    : 255); }), "P", 2},
        {"gradient", imagetest::gradientImage(16, 9, false), "P", 8},
        {"translucent colours",
         makeImage(12, 12,
                   [](int x, int y) {
                       return gfx::Pixel{std::uint8_t(x < 6 ? 200 : 0), 30, std::uint8_t(y < 6 ? 220 : 40),
                                         std::uint8_t(x % 4 ? 255 : 90 * (y % 3))};
                   }),
         "P", 4},
        {"many colours", imagetest::gradientImage(40, 30, false), "RGB", 8},
        {"many colours with alpha", imagetest::gradientImage(40, 30, true), "RGBA", 8},
        {"translucent grey ramp", makeImage(256, 3, [&](int x, int y) { return grey(x, 255 - 40 * y); }), "LA", 8},
        // Rows of many greys, then (after the writer stopped noting greys)
        // more greys and finally one colour: the palette needs every grey.
        {"grey rows then one colour",
         makeImage(40, 6,
                   [&](int x, int y) {
                       return y == 5 && x == 3 ? gfx::Pixel{255, 0, 0, 255} : grey((x + 40 * y) % 200);
                   }),
         "P", 8},
        {"grey rows then more greys", makeImage(40, 6, [&](int x, int y) { return grey((x * 3 + 40 * y) % 256); }), "L",
         8},
        // Incompressible, so the data spans more than one IDAT chunk.
        {"noise",
         makeImage(800, 600,
                   [](int x, int y) {
                       const std::uint32_t h =
                           (std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u) * 2654435761u;
                       return gfx::Pixel{std::uint8_t(h >> 8), std::uint8_t(h >> 16), std::uint8_t(h >> 24), 255};
                   }),
         "RGB", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes png = ImageRepresentation(c.image).png(DPI{300});
        EXPECT_EQ(png[24], c.bitDepth); // IHDR's bit depth
        const auto external = imagetest::readWithPIL(save(dir, "a.png", png));
        EXPECT_EQ(external.info["mode"], std::string(c.mode));
        EXPECT_NEAR(external.info["dpi"][0].get<double>(), 300, 0.01);
        EXPECT_EQ(compare(*c.image, external.rgba).max, 0);
        EXPECT_EQ(compare(*load(png), *c.image).max, 0);
    }
}

// Each row takes the filter that leaves its bytes the fewest changes: a
// choice made badly gives the same pixels in a larger file. The sizes are
// those of the writer as it is, within a small margin.
TEST(RoundTrip, PNGFilesOfACodeAndAGradientKeepTheirSize) {
    // A known code drawn as anti-aliased round dots, 8 pixels a module.
    const auto code =
        QRCodeGenerator::QRCode::encode("https://tessivo.org/download", QRCodeGenerator::QRCodeECC::medium);
    constexpr int scale = 8, quiet = 4;
    const int side = (code.size() + 2 * quiet) * scale;
    const auto dots = makeImage(side, side, [&](int x, int y) {
        const int mx = x / scale - quiet, my = y / scale - quiet;
        double ink = 0;
        if (code.getModule(mx, my)) {
            const double dx = x % scale + 0.5 - scale / 2.0, dy = y % scale + 0.5 - scale / 2.0;
            ink = std::clamp(0.45 * scale - std::hypot(dx, dy) + 0.5, 0.0, 1.0);
        }
        const auto level = [&](int paper, int dark) { return std::uint8_t(std::lround(paper + (dark - paper) * ink)); };
        return gfx::Pixel{level(255, 20), level(255, 40), level(255, 120), 255};
    });
    const struct {
        const char* name;
        gfx::ImagePtr image;
        std::size_t bytes;
    } cases[] = {
        {"code", dots, 4534},
        {"gradient", imagetest::gradientImage(400, 300, false), 47104},
    };
    for (const auto& c : cases) {
        const Bytes png = ImageRepresentation(c.image).png(DPI{72});
        EXPECT_NEAR(double(png.size()), double(c.bytes), 0.03 * double(c.bytes)) << c.name << ": " << png.size();
        EXPECT_EQ(compare(*load(png), *c.image).max, 0) << c.name;
    }
}

TEST(RoundTrip, QualityIsClampedAndOnlyLossyFormatsUseIt) {
    const auto image = imagetest::gradientImage(40, 40, true);
    const ImageRepresentation rep(image);
    // The library's default JPEG quality is 75.
    EXPECT_EQ(rep.jpeg(Scale{1}), rep.jpeg(Scale{1}, 0.75));
    EXPECT_NE(rep.jpeg(Scale{1}), rep.jpeg(Scale{1}, 0.9));
    EXPECT_EQ(rep.jpeg(Scale{1}, 1.5), rep.jpeg(Scale{1}, 1.0));
    EXPECT_EQ(rep.jpeg(Scale{1}, -0.2), rep.jpeg(Scale{1}, 0.0));
    EXPECT_LT(rep.jpeg(Scale{1}, 0.0).size(), rep.jpeg(Scale{1}, 1.0).size());
    EXPECT_EQ(rep.tiff(Scale{2}, 0.1), rep.tiff(Scale{2}));
    if (!imagetest::heicEncodingAvailable()) return;
    // HEIC keeps its alpha plane at any quality.
    EXPECT_LT(rep.heic(Scale{1}, 0.1).size(), rep.heic(Scale{1}, 1.0).size());
    const auto loaded = load(rep.heic(Scale{1}, 1.0));
    EXPECT_EQ(loaded->pixel(0, 0).a, 0);
    EXPECT_EQ(loaded->pixel(39, 0).a, 255);
    EXPECT_LE(compare(*loaded, *image).mean, 6.0);
}

// A picture with more pixels than one HEVC picture may hold (8192 x 4352)
// is written as a grid of pictures coded apart, here with small tiles: both
// readers get its size, pixels (the last row and column of tiles padded,
// then cut), alpha and resolution back as from a single picture.
TEST(RoundTrip, HEICGridsReadBackLikeOnePicture) {
    if (!imagetest::heicEncodingAvailable()) return;
    testsupport::TempDir dir;
    struct Case {
        int width, height, tileSide;
        bool transparency;
    };
    // ImageMagick here reads no HEIC alpha at all (not even libheif's own
    // single pictures): transparent grids are read by our loader only.
    for (const Case& c : {Case{200, 150, 64, false}, Case{201, 65, 64, true}, Case{64, 64, 64, false}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const auto image = imagetest::gradientImage(c.width, c.height, c.transparency);
        const Bytes bytes = detail::encodeHEICGrid(*image, detail::EncodeSettings{144, 144, 0.9}, c.tileSide);
        EXPECT_NE(imagetest::find(bytes, "grid"), std::string::npos);
        const Bytes single = ImageRepresentation(image).heic(Scale{2}, 0.9);

        const auto loaded = load(bytes);
        ASSERT_EQ(loaded->width(), c.width);
        ASSERT_EQ(loaded->height(), c.height);
        const auto ours = compare(*loaded, *image);
        // As close as the same picture coded whole.
        EXPECT_LE(ours.mean, compare(*load(single), *image).mean + 1.0);
        EXPECT_LE(ours.mean, 4.0);
        if (c.transparency) {
            EXPECT_EQ(loaded->pixel(0, 0).a, 0);
            EXPECT_EQ(loaded->pixel(c.width - 1, 0).a, 255);
            EXPECT_NEAR(loaded->pixel(c.width - 1, c.height - 1).a, 160, 4);
        }
        const auto path = save(dir, "grid.heic", bytes);
        const auto exif = imagetest::readHEICExifResolution(path);
        EXPECT_EQ(exif["dpiX"], 144.0);
        EXPECT_EQ(exif["dpiY"], 144.0);
        EXPECT_EQ(exif["unit"], 2);
        if (c.transparency) continue;
        const auto external = imagetest::readWithImageMagick(path, c.width, c.height);
        EXPECT_EQ(external.info["width"], c.width);
        EXPECT_EQ(external.info["height"], c.height);
        EXPECT_LE(compare(*image, external.rgba).mean, 4.0);
    }
}

// Joining tiles refuses what it cannot read whole, with the encoder's error
// and without reading past any tile: cut files, foreign bytes, a picture
// libheif wrapped in a cropping grid of its own, counts that do not match.
TEST(RoundTrip, HEICGridsRefuseTilesTheyCannotRead) {
    if (!imagetest::heicEncodingAvailable()) return;
    const Bytes tile = ImageRepresentation(imagetest::gradientImage(64, 64, true)).heic(Scale{1});
    const Bytes cropped = ImageRepresentation(imagetest::gradientImage(33, 21, false)).heic(Scale{1});
    ASSERT_NE(imagetest::find(cropped, "grid"), std::string::npos);
    struct Case {
        std::string name;
        std::vector<Bytes> tiles;
        int columns, rows;
    };
    std::vector<Case> cases = {
        {"foreign bytes", {Bytes(200, 0x41)}, 1, 1},
        {"empty", {Bytes()}, 1, 1},
        {"cropping grid", {cropped}, 1, 1},
        {"too few tiles", {tile}, 2, 1},
        {"too many columns", std::vector<Bytes>(257, tile), 257, 1},
    };
    for (std::size_t cut = 0; cut < tile.size(); cut += 13) {
        cases.push_back(
            {"cut at " + std::to_string(cut), {Bytes(tile.begin(), tile.begin() + std::ptrdiff_t(cut))}, 1, 1});
    }
    for (const Case& c : cases) {
        const auto error = imagetest::thrown([&] { detail::heifGrid(64, 64, c.columns, c.rows, c.tiles); });
        EXPECT_EQ(error.code, ImageReadWriteError::cannotCreateImageOfType) << c.name;
    }
    // The whole tile joins, alone or four times over.
    EXPECT_EQ(load(detail::heifGrid(64, 64, 1, 1, {tile}))->width(), 64);
    const auto four = load(detail::heifGrid(100, 70, 2, 2, {tile, tile, tile, tile}));
    EXPECT_EQ(four->width(), 100);
    EXPECT_EQ(four->height(), 70);
    EXPECT_EQ(four->pixel(64, 0).a, 0); // the second tile's transparent left quarter
}

TEST(RoundTrip, GIFWithFewColoursIsExactAndKeepsTransparency) {
    testsupport::TempDir dir;
    auto image = std::make_shared<gfx::Image>(*imagetest::blockImage(33, 17));
    image->setPixel(0, 0, gfx::Pixel{0, 0, 0, 0});
    image->setPixel(5, 3, gfx::Pixel{9, 9, 9, 10}); // below half alpha: transparent
    const Bytes gif = ImageRepresentation(image).gif();
    ASSERT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    auto expected = std::make_shared<gfx::Image>(*image);
    expected->setPixel(5, 3, gfx::Pixel{0, 0, 0, 0});
    EXPECT_EQ(compare(*load(gif), *expected).max, 0);
    EXPECT_EQ(compare(*expected, imagetest::readWithPIL(save(dir, "a.gif", gif)).rgba).max, 0);
}

TEST(RoundTrip, FilesAndNamedImagesLoadAndFailuresCarryTheirCase) {
    testsupport::TempDir dir;
    const auto image = imagetest::blockImage(8, 8);
    testsupport::writeFile(dir / "logo.png", imageData(*image, ImageExportType::png()));
    testsupport::writeFile(dir / "broken.png", Bytes{1, 2, 3});
    EXPECT_EQ(compare(*loadFile(dir / "logo.png"), *image).max, 0);
    EXPECT_EQ(imagetest::thrown([&] { loadFile(dir / "missing.png"); }).code, ImageReadWriteError::unableToDecodeImage);
    EXPECT_THROW(loadFile(dir.path()), ImageReadWriteException); // a folder

    ::setenv("TESSIVO_IMAGE_PATH", dir.path().c_str(), 1);
    EXPECT_EQ(loadNamed("logo")->width(), 8);
    EXPECT_EQ(loadNamed("logo.png")->width(), 8);
    for (const char* name : {"no such image", "broken", "../logo", ""}) {
        const auto e = imagetest::thrown([&] { loadNamed(name); });
        EXPECT_EQ(e.code, ImageReadWriteError::cannotLoadImageNamed) << name;
        EXPECT_EQ(e.text, name);
    }
    ::unsetenv("TESSIVO_IMAGE_PATH");
}

TEST(ForeignFiles, FilesWrittenByOtherProgramsLoadLikeTheirReferenceDecoder) {
    testsupport::TempDir dir;
    const auto script = testsupport::sourceDir() / "tests" / "image-read-write" / "make_foreign.py";
    std::string names;
    ASSERT_EQ(
        testsupport::runCommand("/usr/bin/python3 '" + script.string() + "' '" + dir.path().string() + "'", &names), 0);
    std::istringstream lines(names);
    std::string name;
    int count = 0;
    while (std::getline(lines, name)) {
        SCOPED_TRACE(name);
        ++count;
        gfx::ImagePtr image;
        ASSERT_NO_THROW(image = loadFile(dir / name));
        ASSERT_EQ(image->width(), 29);
        ASSERT_EQ(image->height(), 19);
        // Decoders may differ in JPEG upsampling and in 16-to-8-bit rounding.
        const bool lossy = name.find(".jpg") != std::string::npos || name == "jpeg.tiff";
        EXPECT_LE(compare(*image, testsupport::readFile(dir / (name + ".raw"))).max, lossy ? 12 : 2);
    }
    EXPECT_EQ(count, 31);
}

// PNG's colour types of 8 and 16 bits a sample.
const struct {
    const char* name;
    int colorType, channels;
} kPNGColourTypes[] = {{"grey", PNG_COLOR_TYPE_GRAY, 1},
                       {"grey and alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 2},
                       {"RGB", PNG_COLOR_TYPE_RGB, 3},
                       {"RGBA", PNG_COLOR_TYPE_RGB_ALPHA, 4}};

// An Adam7-interlaced PNG of 16 bits a sample reads as the same picture
// written without interlace: every colour type, with the gamma that the
// file states or sRGB assumed without, with a transparent colour,
// and at sizes where some passes are empty.
TEST(ForeignFiles, SixteenBitInterlacedPNGsReadLikeTheSamePictureNotInterlaced) {
    std::mt19937 random(2026);
    const std::pair<int, int> sizes[] = {{1, 1}, {3, 2}, {5, 9}, {17, 8}, {61, 40}};
    for (const auto& kind : kPNGColourTypes) {
        for (const std::optional<double> gamma :
             {std::optional<double>(), std::optional(1 / 2.2), std::optional(1.0)}) {
            for (const bool withTransparentColour : {false, true}) {
                if (withTransparentColour && kind.colorType & PNG_COLOR_MASK_ALPHA) continue;
                for (const auto& [width, height] : sizes) {
                    SCOPED_TRACE(std::string(kind.name) + (gamma ? " gamma " + std::to_string(*gamma) : "") +
                                 (withTransparentColour ? " tRNS " : " ") + std::to_string(width) + "x" +
                                 std::to_string(height));
                    std::vector<std::uint16_t> samples(std::size_t(width * height * kind.channels));
                    for (auto& sample : samples) sample = std::uint16_t(random());
                    testsupport::PNGForm form{
                        .width = width, .height = height, .colorType = kind.colorType, .gamma = gamma};
                    if (withTransparentColour) {
                        // The first pixel's colour, which every third pixel shares.
                        form.transparent.assign(samples.begin(), samples.begin() + kind.channels);
                        for (std::size_t at = 0; at < samples.size(); at += 3 * std::size_t(kind.channels))
                            std::copy(form.transparent.begin(), form.transparent.end(),
                                      samples.begin() + std::ptrdiff_t(at));
                    }
                    const auto plain = load(testsupport::writtenPNG(form, samples));
                    form.interlaced = true;
                    const Bytes file = testsupport::writtenPNG(form, samples);
                    ASSERT_EQ(file[28], 1); // IHDR's interlace method: Adam7
                    const auto interlaced = load(file);
                    EXPECT_LE(compare(*interlaced, *plain).max, 1);
                    // Stated as the output's gamma, the samples need no
                    // correction: each is its 8-bit value.
                    if (gamma && *gamma < 1 && kind.colorType == PNG_COLOR_TYPE_RGB && !withTransparentColour) {
                        std::vector<std::uint8_t> rgba;
                        for (std::size_t i = 0; i < samples.size(); i += 3) {
                            for (std::size_t c = 0; c < 3; ++c)
                                rgba.push_back(std::uint8_t(std::lround(samples[i + c] / 257.0)));
                            rgba.push_back(255);
                        }
                        EXPECT_LE(compare(*interlaced, rgba).max, 1);
                    }
                }
            }
        }
    }
}

// A 16-bit PNG that states no gamma, with no chunk of its colours or with
// only an embedded profile, reads as the same picture saved at 8 bits: its
// samples are sRGB-encoded, as viewers and editors take them, not linear
// light. Every colour type, plain and interlaced (each read by a path of
// its own).
TEST(ForeignFiles, SixteenBitPNGsThatStateNoGammaReadAsTheirEightBitTwin) {
    std::mt19937 random(55);
    const std::vector<std::uint8_t> profile = testsupport::wideGamutICCProfile();
    for (const auto& [name, colorType, channels] : kPNGColourTypes) {
        for (const bool interlaced : {false, true}) {
            for (const bool withProfile : {false, true}) {
                if (withProfile && (colorType & PNG_COLOR_MASK_COLOR) == 0) continue;
                SCOPED_TRACE(std::string(name) + (interlaced ? " interlaced" : "") +
                             (withProfile ? " with a profile" : ""));
                // Each 16-bit sample lies within half a level of its 8-bit twin's.
                std::vector<std::uint16_t> eight(std::size_t(23 * 17 * channels)), sixteen(eight.size());
                for (std::size_t i = 0; i < eight.size(); ++i) {
                    eight[i] = std::uint16_t(random() % 256);
                    const int offset = int(random() % 257) - 128;
                    sixteen[i] = std::uint16_t(std::clamp(eight[i] * 257 + offset, 0, 65535));
                }
                testsupport::PNGForm form{.width = 23, .height = 17, .colorType = colorType, .interlaced = interlaced};
                if (withProfile) form.iccProfile = profile;
                const Bytes file = testsupport::writtenPNG(form, sixteen);
                if (withProfile) {
                    ASSERT_NE(imagetest::find(file, "iCCP"), std::string::npos);
                }
                form.bitDepth = 8;
                EXPECT_LE(compare(*load(file), *load(testsupport::writtenPNG(form, eight))).max, 1);
            }
        }
    }
}

// A 16-bit PNG that states its gamma is read by it, plain or interlaced: a
// gAMA of 1 is linear light, brought to the output's gamma of 2.2 (a
// mid-grey sample reads as 186, not as 128), and samples stated sRGB, by
// an sRGB chunk or a gAMA of 1/2.2, are each their nearest 8-bit level.
TEST(ForeignFiles, SixteenBitPNGsThatStateTheirGammaAreReadByIt) {
    std::vector<std::uint16_t> ramp;
    for (int i = 0; i < 64; ++i) ramp.push_back(std::uint16_t(i * 1040));
    ramp.push_back(32768);
    for (const bool interlaced : {false, true}) {
        for (const int statement : {0, 1, 2}) {
            SCOPED_TRACE(std::to_string(statement) + (interlaced ? " interlaced" : ""));
            testsupport::PNGForm form{
                .width = int(ramp.size()), .height = 3, .colorType = PNG_COLOR_TYPE_GRAY, .interlaced = interlaced};
            if (statement == 0) form.gamma = 1.0;
            if (statement == 1) form.sRGB = true;
            if (statement == 2) form.gamma = 1 / 2.2;
            const auto image = load(testsupport::writtenPNG(form, ramp));
            std::vector<std::uint8_t> rgba;
            for (int y = 0; y < form.height; ++y) {
                for (const std::uint16_t sample : ramp) {
                    const double level = statement == 0 ? 255 * std::pow(sample / 65535.0, 1 / 2.2) : sample / 257.0;
                    const auto v = std::uint8_t(std::lround(level));
                    rgba.insert(rgba.end(), {v, v, v, 255});
                }
            }
            EXPECT_LE(compare(*image, rgba).max, 1);
            if (statement == 0) {
                EXPECT_NEAR(image->pixel(int(ramp.size()) - 1, 1).r, 186, 1);
            }
        }
    }
}

namespace {

// TIFF's colour layouts; each picture has samples of a number of bits.
enum class Colours {
    grey,
    whiteIsZero,
    rgb,
    rgba,
    palette,
    paletteAndAlpha,
    associatedPaletteAndAlpha,
    cmyk,
    cmyka,
    associatedCMYKA
};
const char* const kColourNames[] = {
    "grey",  "white-is-zero",   "RGB", "RGBA", "palette", "palette+alpha", "associated palette+alpha", "CMYK",
    "CMYKA", "associated CMYKA"};

// A picture of random samples as libtiff would store it, and what it shows:
// premultiplied ARGB words in stored order (before any turn), and by how
// many levels a reading may lie from them.
struct StoredPicture {
    imagetest::TIFFForm form;
    std::vector<std::uint16_t> samples{};
    std::vector<std::uint32_t> shown{};
    std::string name;
    int slack = 0;
};

std::uint32_t premultipliedWord(int r, int g, int b, int a) {
    const auto weigh = [a](int c) { return std::uint32_t((c * a + 127) / 255); };
    return std::uint32_t(a) << 24 | weigh(r) << 16 | weigh(g) << 8 | weigh(b);
}

// A 16-bit sample that rounds to the 8-bit `level`: level * 257 plus an
// offset within +-128, so that its low byte is apart from its high byte and
// a reader that takes the low byte, truncates or swaps the bytes misreads it.
std::uint16_t sixteenBitSample(int level, std::mt19937& random) {
    const int low = std::max(-128, -level * 257), high = std::min(128, 65535 - level * 257);
    return std::uint16_t(level * 257 + low + int(random() % std::uint32_t(high - low + 1)));
}

// The picture with its colour map in 8-bit entries, as old writers stored
// it: libtiff's reader takes a map with no entry above 255 as such.
void withEightBitColourMap(StoredPicture& picture) {
    if (picture.form.colourMap.empty()) return;
    for (auto& entry : picture.form.colourMap) entry = std::uint16_t(entry / 257);
    picture.name += " 8-bit map";
}

StoredPicture storedPicture(Colours colours, int bits, int width, int height, std::mt19937& random) {
    StoredPicture picture{.form = {.width = width, .height = height, .bits = bits},
                          .name = std::string(kColourNames[int(colours)]) + " " + std::to_string(bits)};
    imagetest::TIFFForm& form = picture.form;
    const bool cmyk = colours == Colours::cmyk || colours == Colours::cmyka || colours == Colours::associatedCMYKA;
    const bool associated = colours == Colours::associatedCMYKA || colours == Colours::associatedPaletteAndAlpha;
    const bool palette = colours == Colours::palette || colours == Colours::paletteAndAlpha ||
                         colours == Colours::associatedPaletteAndAlpha;
    const bool alpha =
        colours == Colours::rgba || (palette && colours != Colours::palette) || (cmyk && colours != Colours::cmyk);
    form.samples = (cmyk ? 4 : colours == Colours::rgb || colours == Colours::rgba ? 3 : 1) + (alpha ? 1 : 0);
    form.photometric = cmyk                              ? PHOTOMETRIC_SEPARATED
                       : palette                         ? PHOTOMETRIC_PALETTE
                       : form.samples >= 3               ? PHOTOMETRIC_RGB
                       : colours == Colours::whiteIsZero ? PHOTOMETRIC_MINISWHITE
                                                         : PHOTOMETRIC_MINISBLACK;
    if (alpha) form.extraSamples = {std::uint16_t(associated ? EXTRASAMPLE_ASSOCALPHA : EXTRASAMPLE_UNASSALPHA)};
    // libtiff's reader takes the high byte of 16-bit grey, a level off the
    // rounded one at most. Inks weighted by alpha lose precision where it is
    // small: the colour weighted by it is what they keep, to two levels.
    if (bits == 16 && form.samples == 1) picture.slack = 1;
    if (cmyk && associated) picture.slack = 2;
    // 8-bit levels that samples of under 8 bits hold exactly.
    const int step = bits < 8 ? 255 / ((1 << bits) - 1) : 1;
    const auto level = [&] { return int(random() % std::uint32_t(256 / step)) * step; };
    const auto stored = [&](int level) {
        return bits == 16 ? sixteenBitSample(level, random) : std::uint16_t(level >> (8 - bits));
    };
    std::vector<std::array<int, 3>> map(palette ? std::size_t(1) << bits : 0);
    for (std::size_t c = 0; c < 3; ++c) {
        for (auto& colour : map) {
            colour[c] = int(random() % 256);
            form.colourMap.push_back(std::uint16_t(colour[c] * 257));
        }
    }
    for (std::size_t i = 0; i < std::size_t(width * height); ++i) {
        // Alpha is in turn transparent, opaque and anything between.
        const int a = !alpha ? 255 : i % 5 == 0 ? 0 : i % 5 == 1 ? 255 : level();
        std::uint32_t shown;
        if (cmyk) {
            std::array<int, 4> ink{level(), level(), level(), level()};
            for (const int value : ink) picture.samples.push_back(stored(associated ? (value * a + 127) / 255 : value));
            const auto weighted = [&](int value) {
                return std::uint32_t(std::lround(a * (255 - value) * (255 - ink[3]) / 65025.0));
            };
            // Straight inks as libtiff's reader of 8-bit CMYK shows them.
            const auto rgb = [&](int value) { return (255 - ink[3]) * (255 - value) / 255; };
            shown = associated
                        ? std::uint32_t(a) << 24 | weighted(ink[0]) << 16 | weighted(ink[1]) << 8 | weighted(ink[2])
                        : premultipliedWord(rgb(ink[0]), rgb(ink[1]), rgb(ink[2]), a);
        } else if (palette) {
            const std::size_t index = random() % map.size();
            picture.samples.push_back(std::uint16_t(index));
            // An associated map's colours are weighted by alpha already; one
            // above its alpha shows as much as that alpha allows.
            const auto weighted = [a](int c) { return std::uint32_t(std::min(c, a)); };
            shown = associated ? std::uint32_t(a) << 24 | weighted(map[index][0]) << 16 | weighted(map[index][1]) << 8 |
                                     weighted(map[index][2])
                               : premultipliedWord(map[index][0], map[index][1], map[index][2], a);
        } else if (form.samples >= 3) {
            const int r = level(), g = level(), b = level();
            picture.samples.insert(picture.samples.end(), {stored(r), stored(g), stored(b)});
            shown = premultipliedWord(r, g, b, a);
        } else {
            const int grey = level();
            picture.samples.push_back(stored(colours == Colours::whiteIsZero ? 255 - grey : grey));
            shown = premultipliedWord(grey, grey, grey, 255);
        }
        if (alpha) picture.samples.push_back(stored(a));
        picture.shown.push_back(shown);
    }
    return picture;
}

// The largest difference between the components of two words.
int mostDifference(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (int shift = 0; shift < 32; shift += 8)
        most = std::max(most, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
    return most;
}

// The largest difference between the premultiplied components of an image
// and of words of a picture of the given size; 256 when the sizes differ.
int mostDifference(const gfx::Image& image, int width, int height, const std::vector<std::uint32_t>& words) {
    EXPECT_EQ(image.width(), width);
    EXPECT_EQ(image.height(), height);
    if (image.width() != width || image.height() != height) return 256;
    int most = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            most = std::max(most, mostDifference(image.row(y)[x], words[std::size_t(y * width + x)]));
    }
    return most;
}

// How far what a picture's file reads as lies from what it shows.
int mostDifference(const testsupport::TempDir& dir, const StoredPicture& picture) {
    const auto image = load(imagetest::writtenTIFF(dir.path(), picture.form, picture.samples));
    return mostDifference(*image, picture.form.width, picture.form.height, picture.shown);
}

} // namespace

// A contiguous grey-and-alpha TIFF reads as its picture at 8 and at 16 bits
// a sample: straight alpha (which libtiff's reader leaves unassociated at 8
// bits and drops at 16) and associated alpha, black or white at zero, in
// strips or in tiles that the picture's edges cut, stored top-down or
// bottom-up, in either byte order. The premultiplied pixels are compared:
// exact in every case.
TEST(ForeignFiles, GreyAndAlphaTIFFsReadAsTheirPictureAtEachDepth) {
    testsupport::TempDir dir;
    std::mt19937 random(2055);
    const int width = 21, height = 18;
    std::vector<std::uint8_t> grey, alpha;
    std::vector<std::uint32_t> shown;
    for (int i = 0; i < width * height; ++i) {
        grey.push_back(std::uint8_t(random()));
        alpha.push_back(i % 7 == 0 ? 0 : i % 7 == 1 ? 255 : std::uint8_t(random()));
        shown.push_back(premultipliedWord(grey.back(), grey.back(), grey.back(), alpha.back()));
    }
    for (const int bits : {8, 16}) {
        for (const std::uint16_t photometric : {PHOTOMETRIC_MINISBLACK, PHOTOMETRIC_MINISWHITE}) {
            for (const std::uint16_t kind : {EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_ASSOCALPHA}) {
                for (const int layout : {0, 1, 2, 3}) {
                    // Contiguous and deflated, in strips or in 16 x 16 tiles,
                    // rows stored top-down or bottom-up; big-endian strips.
                    const bool tiled = layout == 1, bottomUp = layout == 2;
                    const imagetest::TIFFForm form{
                        .width = width,
                        .height = height,
                        .bits = bits,
                        .samples = 2,
                        .photometric = photometric,
                        .extraSamples = {kind},
                        .compression = COMPRESSION_ADOBE_DEFLATE,
                        .orientation = std::uint16_t(bottomUp ? ORIENTATION_BOTLEFT : ORIENTATION_TOPLEFT),
                        .tileWidth = tiled ? 16 : 0,
                        .tileHeight = tiled ? 16 : 0,
                        .bigEndian = layout == 3};
                    SCOPED_TRACE(std::to_string(bits) + " bits, photometric " + std::to_string(photometric) +
                                 ", extra sample " + std::to_string(kind) + ", layout " + std::to_string(layout));
                    const auto sample = [&](int level) {
                        return bits == 16 ? sixteenBitSample(level, random) : std::uint16_t(level);
                    };
                    std::vector<std::uint16_t> samples;
                    for (int y = 0; y < height; ++y) {
                        // Bottom-up rows are stored last row first.
                        const int row = bottomUp ? height - 1 - y : y;
                        for (int x = 0; x < width; ++x) {
                            const std::size_t i = std::size_t(row * width + x);
                            const int a = alpha[i], premultiplied = (grey[i] * a + 127) / 255;
                            int stored = kind == EXTRASAMPLE_ASSOCALPHA ? premultiplied : grey[i];
                            if (photometric == PHOTOMETRIC_MINISWHITE)
                                stored = (kind == EXTRASAMPLE_ASSOCALPHA ? a : 255) - stored;
                            samples.insert(samples.end(), {sample(stored), sample(a)});
                        }
                    }
                    const auto image = load(imagetest::writtenTIFF(dir.path(), form, samples));
                    ASSERT_EQ(image->width(), width);
                    ASSERT_EQ(image->height(), height);
                    EXPECT_EQ(mostDifference(*image, width, height, shown), 0);
                }
            }
        }
    }
}

// Uncompressed tiles read whatever their size in bytes, in every colour
// layout: libtiff reads them in place from the file's bytes (its copying
// path refuses a tile whose size is not a multiple of 1024 bytes).
TEST(TIFFLayouts, UncompressedTilesOfEverySizeRead) {
    testsupport::TempDir dir;
    std::mt19937 random(581);
    const std::pair<Colours, int> layouts[] = {{Colours::grey, 8},    {Colours::grey, 16}, {Colours::grey, 1},
                                               {Colours::rgb, 8},     {Colours::rgb, 16},  {Colours::rgba, 8},
                                               {Colours::palette, 4}, {Colours::cmyk, 8},  {Colours::cmyka, 16}};
    for (const auto& [colours, bits] : layouts) {
        for (const auto& [tileWidth, tileHeight] :
             {std::pair(16, 16), std::pair(48, 48), std::pair(16, 32), std::pair(112, 16), std::pair(64, 64)}) {
            StoredPicture picture = storedPicture(colours, bits, 50, 37, random);
            SCOPED_TRACE(picture.name + " in " + std::to_string(tileWidth) + "x" + std::to_string(tileHeight));
            picture.form.tileWidth = tileWidth;
            picture.form.tileHeight = tileHeight;
            EXPECT_LE(mostDifference(dir, picture), picture.slack);
        }
    }
}

// BigTIFF (64-bit offsets) reads as classic TIFF does, in either byte order,
// in strips or in tiles, compressed or not.
TEST(TIFFLayouts, BigTIFFReadsInBothByteOrders) {
    testsupport::TempDir dir;
    std::mt19937 random(582);
    for (const auto& [colours, bits] :
         {std::pair(Colours::rgba, 8), std::pair(Colours::grey, 16), std::pair(Colours::cmyka, 16)}) {
        for (const bool bigEndian : {false, true}) {
            for (const int tile : {0, 32}) {
                for (const std::uint16_t compression : {COMPRESSION_NONE, COMPRESSION_ADOBE_DEFLATE}) {
                    StoredPicture picture = storedPicture(colours, bits, 40, 33, random);
                    SCOPED_TRACE(picture.name + (bigEndian ? " MM" : " II") + " tile " + std::to_string(tile) +
                                 " compression " + std::to_string(compression));
                    picture.form.bigTIFF = true;
                    picture.form.bigEndian = bigEndian;
                    picture.form.compression = compression;
                    picture.form.rowsPerStrip = 8;
                    picture.form.tileWidth = picture.form.tileHeight = tile;
                    const Bytes file = imagetest::writtenTIFF(dir.path(), picture.form, picture.samples);
                    EXPECT_EQ(std::string(file.begin(), file.begin() + 4),
                              std::string(bigEndian ? "MM\0+" : "II+\0", 4));
                    EXPECT_LE(mostDifference(*load(file), 40, 33, picture.shown), picture.slack);
                }
            }
        }
    }
}

// 16-bit grey in tiles that the picture's right edge cuts: every row of a
// cut tile starts where it should (libtiff's own routine shears them), black
// or white at zero, in either byte order and any compression.
TEST(TIFFLayouts, SixteenBitGreyInTilesTheRightEdgeCuts) {
    testsupport::TempDir dir;
    std::mt19937 random(583);
    for (const Colours colours : {Colours::grey, Colours::whiteIsZero}) {
        for (const bool bigEndian : {false, true}) {
            for (const std::uint16_t compression : {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE}) {
                for (const int tileWidth : {16, 32}) {
                    StoredPicture picture = storedPicture(colours, 16, 37, 21, random);
                    SCOPED_TRACE(picture.name + (bigEndian ? " MM" : " II") + " compression " +
                                 std::to_string(compression) + " tile " + std::to_string(tileWidth));
                    picture.form.bigEndian = bigEndian;
                    picture.form.compression = compression;
                    picture.form.tileWidth = tileWidth;
                    picture.form.tileHeight = 16;
                    EXPECT_LE(mostDifference(dir, picture), picture.slack);
                }
            }
        }
    }
}

// CMYK and palette pictures show their alpha, straight or associated, at 8
// and 16 bits (a palette's at 2, 4 and 8), in one plane or separate ones,
// in strips or in cut tiles. Palettes in strips have 8-bit colour maps,
// which show the colours that libtiff's reader gives the same picture
// without alpha.
TEST(TIFFLayouts, CMYKAndPalettePicturesShowTheirAlpha) {
    testsupport::TempDir dir;
    std::mt19937 random(584);
    const std::pair<Colours, int> layouts[] = {{Colours::cmyka, 8},
                                               {Colours::cmyka, 16},
                                               {Colours::associatedCMYKA, 8},
                                               {Colours::associatedCMYKA, 16},
                                               {Colours::paletteAndAlpha, 8},
                                               {Colours::paletteAndAlpha, 4},
                                               {Colours::associatedPaletteAndAlpha, 8},
                                               {Colours::associatedPaletteAndAlpha, 2},
                                               {Colours::palette, 8}};
    for (const auto& [colours, bits] : layouts) {
        for (const bool separate : {false, true}) {
            for (const int tile : {0, 16}) {
                StoredPicture picture = storedPicture(colours, bits, 37, 21, random);
                if (tile == 0) withEightBitColourMap(picture);
                SCOPED_TRACE(picture.name + (separate ? " planes" : " contiguous") + " tile " + std::to_string(tile));
                picture.form.separatePlanes = separate;
                picture.form.compression = COMPRESSION_ADOBE_DEFLATE;
                picture.form.rowsPerStrip = 5;
                picture.form.tileWidth = picture.form.tileHeight = tile;
                EXPECT_LE(mostDifference(dir, picture), picture.slack);
            }
        }
    }
}

// CMYK of 16 bits a sample reads as the same picture at 8 bits does (which
// libtiff's own routine reads), in one plane or separate ones.
TEST(TIFFLayouts, SixteenBitCMYKReadsAsItsEightBitTwin) {
    testsupport::TempDir dir;
    std::mt19937 random(585);
    for (const bool separate : {false, true}) {
        for (const int tile : {0, 16}) {
            SCOPED_TRACE(std::string(separate ? "planes" : "contiguous") + " tile " + std::to_string(tile));
            StoredPicture picture = storedPicture(Colours::cmyk, 16, 37, 21, random);
            picture.form.separatePlanes = separate;
            picture.form.compression = COMPRESSION_LZW;
            picture.form.tileWidth = picture.form.tileHeight = tile;
            EXPECT_EQ(mostDifference(dir, picture), 0);
            imagetest::TIFFForm twin = picture.form;
            twin.bits = 8;
            twin.separatePlanes = false;
            for (auto& sample : picture.samples) sample = std::uint16_t((sample + 128) / 257);
            EXPECT_EQ(
                mostDifference(*load(imagetest::writtenTIFF(dir.path(), twin, picture.samples)), 37, 21, picture.shown),
                0);
        }
    }
}

// Pictures read sample by sample may be padded by their tiles up to a
// megapixel a tile: a 1024 x 1040 tile pads a 128 x 128 picture by just
// that, and reads; one a row shorter, by 128 pixels more, and is refused.
TEST(TIFFLayouts, TilesThatPadThePictureByOverAMegapixelAreRefused) {
    testsupport::TempDir dir;
    std::mt19937 random(587);
    ASSERT_EQ(std::uint64_t(1024 * 1040 - 128 * 128), detail::kMostPaddingPerTile);
    for (const Colours colours : {Colours::cmyka, Colours::paletteAndAlpha}) {
        for (const int height : {128, 127}) {
            StoredPicture picture = storedPicture(colours, 8, 128, height, random);
            SCOPED_TRACE(picture.name + " of height " + std::to_string(height));
            picture.form.compression = COMPRESSION_ADOBE_DEFLATE;
            picture.form.tileWidth = 1024;
            picture.form.tileHeight = 1040;
            if (height == 128) {
                EXPECT_EQ(mostDifference(dir, picture), 0);
            } else {
                const Bytes file = imagetest::writtenTIFF(dir.path(), picture.form, picture.samples);
                EXPECT_EQ(imagetest::thrown([&] { load(file); }).code, ImageReadWriteError::unableToDecodeImage);
            }
        }
    }
}

// Group 4 fax data may end before their strip does, which libtiff takes
// without an error: the rows left out read as zeros, so transparent, and
// never as what the strip before left in the buffer.
TEST(TIFFLayouts, RowsAStripLeavesOutReadAsTransparent) {
    testsupport::TempDir dir;
    std::mt19937 random(588);
    StoredPicture picture = storedPicture(Colours::paletteAndAlpha, 1, 37, 16, random);
    picture.form.separatePlanes = true;
    picture.form.compression = COMPRESSION_CCITTFAX4;
    picture.form.rowsPerStrip = 8;
    picture.form.lastStripShortBy = 3;
    std::fill(picture.shown.end() - picture.form.lastStripShortBy * picture.form.width, picture.shown.end(), 0);
    EXPECT_EQ(mostDifference(dir, picture), 0);
}

// Every orientation shows the picture as viewers do: the stored rows run
// down (1 to 4) or across (5 to 8) the shown picture from the side that the
// orientation names for row 0, each from the side it names for column 0; so
// a picture stored 23 x 14 shows 14 x 23 in orientations 5 to 8. Pictures
// read by libtiff's reader (in strips and in cut tiles), by a routine of
// ours inside it and by our own reader alike.
TEST(TIFFLayouts, EveryOrientationShowsThePictureTurnedAsViewersDo) {
    testsupport::TempDir dir;
    std::mt19937 random(586);
    enum Side { top, bottom, left, right };
    // Where each orientation puts stored row 0 and stored column 0.
    const std::pair<Side, Side> sides[] = {{top, left}, {top, right}, {bottom, right}, {bottom, left},
                                           {left, top}, {right, top}, {right, bottom}, {left, bottom}};
    const int width = 23, height = 14;
    for (const auto& [colours, bits] : {std::pair(Colours::rgb, 8), std::pair(Colours::grey, 16),
                                        std::pair(Colours::cmyka, 16), std::pair(Colours::paletteAndAlpha, 8)}) {
        for (const int tile : {0, 16}) {
            for (std::uint16_t orientation = 1; orientation <= 8; ++orientation) {
                StoredPicture picture = storedPicture(colours, bits, width, height, random);
                SCOPED_TRACE(picture.name + " tile " + std::to_string(tile) + " orientation " +
                             std::to_string(orientation));
                picture.form.orientation = orientation;
                picture.form.tileWidth = picture.form.tileHeight = tile;
                const auto [rowSide, columnSide] = sides[orientation - 1];
                const bool across = rowSide == left || rowSide == right;
                const int shownWidth = across ? height : width, shownHeight = across ? width : height;
                std::vector<std::uint32_t> shown(picture.shown.size());
                for (int r = 0; r < height; ++r) {
                    for (int c = 0; c < width; ++c) {
                        const int alongRows = rowSide == top || rowSide == left ? r : height - 1 - r;
                        const int alongColumns = columnSide == top || columnSide == left ? c : width - 1 - c;
                        const int x = across ? alongRows : alongColumns, y = across ? alongColumns : alongRows;
                        shown[std::size_t(y * shownWidth + x)] = picture.shown[std::size_t(r * width + c)];
                    }
                }
                const auto image = load(imagetest::writtenTIFF(dir.path(), picture.form, picture.samples));
                ASSERT_EQ(image->width(), shownWidth);
                ASSERT_EQ(image->height(), shownHeight);
                // The stored first pixel lands in the corner where row 0's
                // side and column 0's side meet.
                const bool atRight = rowSide == right || columnSide == right;
                const bool atBottom = rowSide == bottom || columnSide == bottom;
                EXPECT_LE(mostDifference(image->row(atBottom ? shownHeight - 1 : 0)[atRight ? shownWidth - 1 : 0],
                                         picture.shown[0]),
                          picture.slack);
                EXPECT_LE(mostDifference(*image, shownWidth, shownHeight, shown), picture.slack);
            }
        }
    }
}
