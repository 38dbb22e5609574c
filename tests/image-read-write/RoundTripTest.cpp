// Every bitmap format written by us is read back by our loader and by an
// independent reader: size, pixels within the codec's tolerance and DPI.

#include "tests/image-read-write/ImageTestSupport.h"

#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageLoading.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

using namespace ImageReadWrite;
using imagetest::compare;

namespace {

std::filesystem::path save(const testsupport::TempDir& dir, const std::string& name, const Bytes& bytes) {
    const auto path = dir / name;
    testsupport::writeFile(path, bytes);
    return path;
}

// The big-endian 32-bit word at `offset`.
std::uint32_t be32(const Bytes& b, std::size_t offset) {
    return (std::uint32_t(b[offset]) << 24) | (std::uint32_t(b[offset + 1]) << 16) |
           (std::uint32_t(b[offset + 2]) << 8) | b[offset + 3];
}

std::size_t find(const Bytes& bytes, const char* text) {
    const std::size_t n = std::strlen(text);
    for (std::size_t i = 0; i + n <= bytes.size(); ++i) {
        if (std::memcmp(bytes.data() + i, text, n) == 0) return i;
    }
    return std::string::npos;
}

} // namespace

TEST(RoundTrip, PNGIsLosslessWithAlphaAndWritesPhysicalResolution) {
    testsupport::TempDir dir;
    const auto image = imagetest::gradientImage(37, 23, true);
    const Bytes png = imageData(*image, ImageExportType::png(2));

    // 144 dpi is 5669 pixels per metre in the pHYs chunk, unit metre.
    const std::size_t phys = find(png, "pHYs");
    ASSERT_NE(phys, std::string::npos);
    EXPECT_EQ(be32(png, phys + 4), 5669u);
    EXPECT_EQ(be32(png, phys + 8), 5669u);
    EXPECT_EQ(png[phys + 12], 1);

    const auto loaded = load(png);
    ASSERT_EQ(loaded->width(), 37);
    ASSERT_EQ(loaded->height(), 23);
    // Straight alpha in the file: half-transparent pixels may move by one
    // or two steps through premultiplication.
    EXPECT_LE(compare(*loaded, *image).max, 2);

    const auto external = imagetest::readWithPIL(save(dir, "a.png", png));
    EXPECT_EQ(external.info["width"], 37);
    EXPECT_EQ(external.info["height"], 23);
    EXPECT_EQ(external.info["mode"], "RGBA");
    EXPECT_NEAR(external.info["dpi"][0].get<double>(), 144, 0.01);
    EXPECT_LE(compare(*image, external.rgba).max, 2);
}

// PNG files take the smallest exact colour type the pixels allow; whatever
// it is, both readers get every pixel back exactly.
TEST(RoundTrip, PNGTakesTheSmallestExactColourType) {
    testsupport::TempDir dir;
    auto make = [](int w, int h, auto pixel) {
        auto image = std::make_shared<gfx::Image>(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) image->setPixel(x, y, pixel(x, y));
        return gfx::ImagePtr(image);
    };
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
        {"black and white", make(21, 5, [&](int x, int y) { return grey((x + y) % 3 ? 255 : 0); }), "1", 1},
        {"four greys", make(9, 9, [&](int x, int y) { return grey(85 * ((x * y) % 4)); }), "L", 2},
        {"sixteen greys", make(17, 3, [&](int x, int) { return grey(17 * (x % 16)); }), "L", 4},
        {"grey ramp", make(300, 2, [&](int x, int y) { return grey((x * 7 + y) % 256); }), "L", 8},
        {"three greys not on a ramp step",
         make(8, 8, [&](int x, int) { return grey(x % 3 == 0   ? 0
                                                  : x % 3 == 1 ? 200
                                                               : 255); }), "P", 2},
        {"gradient", imagetest::gradientImage(16, 9, false), "P", 8},
        {"translucent colours",
         make(12, 12,
              [](int x, int y) {
                  return gfx::Pixel{std::uint8_t(x < 6 ? 200 : 0), 30, std::uint8_t(y < 6 ? 220 : 40),
                                    std::uint8_t(x % 4 ? 255 : 90 * (y % 3))};
              }),
         "P", 4},
        {"many colours", imagetest::gradientImage(40, 30, false), "RGB", 8},
        {"many colours with alpha", imagetest::gradientImage(40, 30, true), "RGBA", 8},
        {"translucent grey ramp", make(256, 3, [&](int x, int y) { return grey(x, 255 - 40 * y); }), "LA", 8},
        // Incompressible, so the data spans more than one IDAT chunk.
        {"noise",
         make(800, 600,
              [](int x, int y) {
                  const std::uint32_t h = (std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u) * 2654435761u;
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

TEST(RoundTrip, JPEGKeepsSizePixelsWithinToleranceAndDensity) {
    testsupport::TempDir dir;
    const auto image = imagetest::gradientImage(64, 48, false);
    const Bytes jpeg = imageData(*image, ImageExportType::jpg(2, 0.9));
    ASSERT_GE(jpeg.size(), 20u);
    // JFIF APP0: unit 1 (dots per inch), density 144 x 144.
    ASSERT_EQ(std::memcmp(jpeg.data() + 6, "JFIF\0", 5), 0);
    EXPECT_EQ(jpeg[13], 1);
    EXPECT_EQ((jpeg[14] << 8) | jpeg[15], 144);
    EXPECT_EQ((jpeg[16] << 8) | jpeg[17], 144);

    const auto loaded = load(jpeg);
    ASSERT_EQ(loaded->width(), 64);
    ASSERT_EQ(loaded->height(), 48);
    const auto ours = compare(*loaded, *image);
    EXPECT_LE(ours.mean, 3.0);
    EXPECT_LE(ours.max, 40);

    const auto external = imagetest::readWithPIL(save(dir, "a.jpg", jpeg));
    EXPECT_EQ(external.info["format"], "JPEG");
    EXPECT_EQ(external.info["width"], 64);
    EXPECT_NEAR(external.info["dpi"][0].get<double>(), 144, 0.01);
    EXPECT_LE(compare(*image, external.rgba).mean, 3.0);
}

TEST(RoundTrip, JPEGWithoutQualityUsesTheLibraryDefaultAndQualityIsClamped) {
    const auto image = imagetest::gradientImage(40, 40, false);
    const ImageRepresentation rep(image);
    // The library's default quality is 75.
    EXPECT_EQ(rep.jpeg(Scale{1}), rep.jpeg(Scale{1}, 0.75));
    EXPECT_NE(rep.jpeg(Scale{1}), rep.jpeg(Scale{1}, 0.9));
    EXPECT_EQ(rep.jpeg(Scale{1}, 1.5), rep.jpeg(Scale{1}, 1.0));
    EXPECT_EQ(rep.jpeg(Scale{1}, -0.2), rep.jpeg(Scale{1}, 0.0));
    EXPECT_LT(rep.jpeg(Scale{1}, 0.0).size(), rep.jpeg(Scale{1}, 1.0).size());
}

TEST(RoundTrip, TIFFIsLosslessWithResolutionInInches) {
    testsupport::TempDir dir;
    const auto image = imagetest::gradientImage(30, 20, true);
    // A quality has no effect on a lossless format.
    const Bytes tiff = imageData(*image, ImageExportType::tiff(2, 0.1));
    EXPECT_EQ(tiff, imageData(*image, ImageExportType::tiff(2)));

    const auto loaded = load(tiff);
    ASSERT_EQ(loaded->width(), 30);
    ASSERT_EQ(loaded->height(), 20);
    EXPECT_LE(compare(*loaded, *image).max, 2);

    const auto external = imagetest::readWithPIL(save(dir, "a.tiff", tiff));
    EXPECT_EQ(external.info["format"], "TIFF");
    EXPECT_EQ(external.info["width"], 30);
    EXPECT_EQ(external.info["compression"], "tiff_lzw");
    EXPECT_NEAR(external.info["dpi"][0].get<double>(), 144, 0.01);
    EXPECT_NEAR(external.info["dpi"][1].get<double>(), 144, 0.01);
    EXPECT_LE(compare(*image, external.rgba).max, 2);
}

TEST(RoundTrip, GIFWithFewColoursIsExactAndKeepsTransparency) {
    testsupport::TempDir dir;
    auto image = std::make_shared<gfx::Image>(*imagetest::blockImage(33, 17));
    image->setPixel(0, 0, gfx::Pixel{0, 0, 0, 0});
    image->setPixel(5, 3, gfx::Pixel{9, 9, 9, 10}); // below half alpha: transparent
    const Bytes gif = ImageRepresentation(image).gif();
    ASSERT_EQ(std::memcmp(gif.data(), "GIF89a", 6), 0);

    const auto loaded = load(gif);
    ASSERT_EQ(loaded->width(), 33);
    ASSERT_EQ(loaded->height(), 17);
    EXPECT_EQ(loaded->pixel(0, 0).a, 0);
    EXPECT_EQ(loaded->pixel(5, 3).a, 0);
    auto expected = std::make_shared<gfx::Image>(*image);
    expected->setPixel(5, 3, gfx::Pixel{0, 0, 0, 0});
    EXPECT_EQ(compare(*loaded, *expected).max, 0);

    const auto external = imagetest::readWithPIL(save(dir, "a.gif", gif));
    EXPECT_EQ(external.info["format"], "GIF");
    EXPECT_EQ(external.info["mode"], "P");
    EXPECT_LE(external.info["paletteColours"].get<int>(), 256);
    EXPECT_EQ(compare(*expected, external.rgba).max, 0);
}

TEST(RoundTrip, GIFWithManyColoursGetsAPaletteOfAtMost256) {
    testsupport::TempDir dir;
    const auto image = imagetest::gradientImage(128, 96, false); // thousands of colours
    const Bytes gif = imageData(*image, ImageExportType::gif());
    const auto loaded = load(gif);
    ASSERT_EQ(loaded->width(), 128);
    EXPECT_LE(compare(*loaded, *image).mean, 6.0);

    const auto external = imagetest::readWithPIL(save(dir, "a.gif", gif));
    EXPECT_EQ(external.info["mode"], "P");
    EXPECT_LE(external.info["paletteColours"].get<int>(), 256);
    EXPECT_LE(compare(*image, external.rgba).mean, 6.0);
}

TEST(RoundTrip, HEICKeepsSizePixelsWithinToleranceAndResolution) {
    if (!imagetest::heicEncodingAvailable()) {
        GTEST_SKIP() << "libheif has no HEVC encoder here (Debian: libheif1 built with x265); HEIC export throws "
                        "cannotCreateImageOfType(\"public.heic\")";
    }
    testsupport::TempDir dir;
    // Odd sizes: HEVC codes 4:2:0 in even blocks; the file must still say 33 x 21.
    const auto image = imagetest::gradientImage(33, 21, false);
    const Bytes heic = imageData(*image, ImageExportType::heic(2, 0.9));
    const auto loaded = load(heic);
    ASSERT_EQ(loaded->width(), 33);
    ASSERT_EQ(loaded->height(), 21);
    EXPECT_LE(compare(*loaded, *image).mean, 6.0);

    const auto external = imagetest::readWithImageMagick(save(dir, "a.heic", heic), 33, 21);
    EXPECT_EQ(external.info["width"], 33);
    EXPECT_EQ(external.info["height"], 21);
    // ImageMagick ignores the Exif resolution of HEIF files; PIL's Exif
    // parser reads the block the file carries.
    const auto exif = imagetest::readHEICExifResolution(dir / "a.heic");
    EXPECT_EQ(exif["dpiX"], 144.0);
    EXPECT_EQ(exif["dpiY"], 144.0);
    EXPECT_EQ(exif["unit"], 2); // inches
    EXPECT_LE(compare(*image, external.rgba).mean, 6.0);
}

TEST(RoundTrip, HEICWithAlphaAndQuality) {
    if (!imagetest::heicEncodingAvailable()) GTEST_SKIP() << "no HEVC encoder in libheif";
    const auto image = imagetest::gradientImage(32, 32, true);
    const Bytes low = ImageRepresentation(image).heic(Scale{1}, 0.1);
    const Bytes high = ImageRepresentation(image).heic(Scale{1}, 1.0);
    EXPECT_LT(low.size(), high.size());
    const auto loaded = load(high);
    EXPECT_EQ(loaded->pixel(0, 0).a, 0);
    EXPECT_EQ(loaded->pixel(31, 0).a, 255);
    EXPECT_LE(compare(*loaded, *image).mean, 6.0);
}

TEST(RoundTrip, LoadFileReadsWhatWasWrittenAndRefusesMissingFiles) {
    testsupport::TempDir dir;
    const auto image = imagetest::blockImage(12, 8);
    const auto path = save(dir, "x.png", imageData(*image, ImageExportType::png()));
    EXPECT_EQ(compare(*loadFile(path), *image).max, 0);
    try {
        loadFile(dir / "missing.png");
        FAIL() << "no error";
    } catch (const ImageReadWriteException& e) {
        EXPECT_EQ(e.code(), ImageReadWriteError::unableToDecodeImage);
    }
    EXPECT_THROW(loadFile(dir.path()), ImageReadWriteException); // a folder
}

TEST(RoundTrip, NamedImagesAreFoundOnTheImagePathAndUnknownNamesCarryTheName) {
    testsupport::TempDir dir;
    const auto image = imagetest::blockImage(8, 8);
    testsupport::writeFile(dir / "logo.png", imageData(*image, ImageExportType::png()));
    testsupport::writeFile(dir / "broken.png", Bytes{1, 2, 3});
    ::setenv("TESSIVO_IMAGE_PATH", dir.path().c_str(), 1);
    EXPECT_EQ(loadNamed("logo")->width(), 8);
    EXPECT_EQ(loadNamed("logo.png")->width(), 8);
    for (const char* name : {"no such image", "broken", "../logo", ""}) {
        try {
            loadNamed(name);
            ADD_FAILURE() << name;
        } catch (const ImageReadWriteException& e) {
            EXPECT_EQ(e.code(), ImageReadWriteError::cannotLoadImageNamed);
            EXPECT_EQ(e.text(), name);
        }
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
        const auto expected = testsupport::readFile(dir / (name + ".raw"));
        gfx::ImagePtr image;
        ASSERT_NO_THROW(image = loadFile(dir / name));
        ASSERT_EQ(image->width(), 29);
        ASSERT_EQ(image->height(), 19);
        const auto d = compare(*image, expected);
        // Decoders may differ in JPEG upsampling and in 16-to-8-bit rounding.
        const bool lossy = name.find(".jpg") != std::string::npos || name == "jpeg.tiff";
        EXPECT_LE(d.max, lossy ? 12 : 2);
    }
    EXPECT_EQ(count, 20);
}
