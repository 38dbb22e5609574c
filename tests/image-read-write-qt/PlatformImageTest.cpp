// Platform images (QImage) against the module's bitmaps: conversions both
// ways, point sizes, encoding through the same codecs (the per-format
// conveniences included) and loading.
#include "image-read-write/qt/PlatformImage.h"

#include "image-read-write/ImageLoading.h"
#include "image-read-write/ImageTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace ImageReadWrite;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Every format the module writes, the raster ones first.
std::vector<std::pair<std::string, ImageExportType>> everyExportType() {
    std::vector<std::pair<std::string, ImageExportType>> types = {
        {"png", ImageExportType::png(2)},
        {"jpg", ImageExportType::jpg(1, 0.8)},
        {"tiff", ImageExportType::tiff(3)},
        {"gif", ImageExportType::gif()},
        {"pdf", ImageExportType::pdf({40, 30})},
        {"svg", ImageExportType::svg(std::nullopt, SVGImageFillStyle::aspectFit, ImageExportType::png())},
    };
    if (imagetest::heicEncodingAvailable()) types.emplace_back("heic", ImageExportType::heic(1, 1.0));
    return types;
}

bool isRaster(const ImageExportType& type) {
    return type.kind() != ImageExportType::Kind::pdf && type.kind() != ImageExportType::Kind::svg;
}

} // namespace

TEST(PlatformImage, ConvertsBitmapsBothWaysWithoutChangingAPixel) {
    // Premultiplied, half-transparent pixels included: both sides store the
    // same words, so nothing may be rounded on the way.
    const auto bitmap = imagetest::gradientImage(37, 23, true);
    const QImage image = toQImage(*bitmap);
    ASSERT_EQ(image.width(), 37);
    ASSERT_EQ(image.height(), 23);
    EXPECT_EQ(image.devicePixelRatio(), 1.0);
    const auto back = cgImage(image);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->byteCount(), bitmap->byteCount());
    EXPECT_EQ(std::memcmp(back->data(), bitmap->data(), bitmap->byteCount()), 0);
    // Straight components as Qt reads them agree with the bitmap's.
    const gfx::Pixel p = bitmap->pixel(30, 20);
    const QColor q = image.pixelColor(30, 20);
    EXPECT_NEAR(q.red(), p.r, 1);
    EXPECT_NEAR(q.alpha(), p.a, 0);
}

TEST(PlatformImage, BitmapOfAnyPixelFormatAndOfNothing) {
    QImage rgb(4, 3, QImage::Format_RGB888);
    rgb.fill(QColor(10, 200, 30));
    rgb.setPixelColor(2, 1, QColor(255, 0, 0));
    const auto bitmap = cgImage(rgb);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixel(0, 0), (gfx::Pixel{10, 200, 30, 255}));
    EXPECT_EQ(bitmap->pixel(2, 1), (gfx::Pixel{255, 0, 0, 255}));

    QImage grey(2, 2, QImage::Format_Grayscale8);
    grey.fill(128);
    EXPECT_EQ(cgImage(grey)->pixel(1, 1), (gfx::Pixel{128, 128, 128, 255}));

    EXPECT_FALSE(cgImage(QImage()));
    EXPECT_TRUE(toQImage(gfx::Image()).isNull());
}

TEST(PlatformImage, PointSizeIsPixelsOverScaleOrPixelsTimes72OverDPI) {
    const gfx::Image bitmap(1024, 512);
    struct Case {
        double dpi, width, height;
    };
    for (const Case c : {Case{72, 1024, 512}, Case{144, 512, 256}, Case{300, 245.76, 122.88}}) {
        const QImage image = platformImage(bitmap, DPI{c.dpi});
        EXPECT_EQ(image.size(), QSize(1024, 512)) << c.dpi;
        EXPECT_NEAR(image.deviceIndependentSize().width(), c.width, 1e-9) << c.dpi;
        EXPECT_NEAR(image.deviceIndependentSize().height(), c.height, 1e-9) << c.dpi;
    }
    EXPECT_EQ(platformImage(bitmap, Scale{4}).deviceIndependentSize(), QSizeF(256, 128));
    const ImageRepresentation representation(std::make_shared<gfx::Image>(bitmap));
    EXPECT_EQ(platformImage(representation, DPI{144}).deviceIndependentSize(), QSizeF(512, 256));
    EXPECT_EQ(platformImage(representation, Scale{0.5}).deviceIndependentSize(), QSizeF(2048, 1024));

    const LabelledImage labelled = swiftUIImage(representation, Scale{2}, QStringLiteral("Code for the shop"));
    EXPECT_EQ(labelled.label, QStringLiteral("Code for the shop"));
    EXPECT_EQ(labelled.image.deviceIndependentSize(), QSizeF(512, 256));
}

TEST(PlatformImage, ScaleOrDPIWithoutPointSizeIsInvalidDPI) {
    const gfx::Image bitmap(8, 8);
    for (const double bad : {0.0, -0.0, -72.0, kNaN, kInfinity, -kInfinity, 1e-323}) {
        EXPECT_EQ(imagetest::thrown([&] { platformImage(bitmap, DPI{bad}); }).code, ImageReadWriteError::invalidDPI)
            << bad;
        if (bad == 1e-323) continue; // a tiny scale still has a (huge) point size
        EXPECT_EQ(imagetest::thrown([&] { platformImage(bitmap, Scale{bad}); }).code, ImageReadWriteError::invalidDPI)
            << bad;
    }
}

TEST(PlatformImage, EncodesToEveryTypeExactlyAsTheBitmapPath) {
    const auto bitmap = imagetest::gradientImage(40, 30, true);
    // The platform image carries a ratio of its own; the export type alone
    // decides the file's resolution, as on the bitmap path.
    const QImage image = platformImage(*bitmap, DPI{144});
    for (const auto& [name, type] : everyExportType()) {
        SCOPED_TRACE(name);
        const Bytes viaBitmap = ImageReadWrite::imageData(*bitmap, type);
        const Bytes viaPlatform = ImageReadWrite::imageData(image, type);
        EXPECT_EQ(viaPlatform, viaBitmap);
        if (!isRaster(type)) continue;
        const auto decodedPlatform = load(viaPlatform);
        const auto decodedBitmap = load(viaBitmap);
        ASSERT_EQ(decodedPlatform->byteCount(), decodedBitmap->byteCount());
        EXPECT_EQ(std::memcmp(decodedPlatform->data(), decodedBitmap->data(), decodedBitmap->byteCount()), 0);
    }
    // Lossless formats give back the very pixels.
    EXPECT_EQ(imagetest::compare(*load(ImageReadWrite::imageData(image, ImageExportType::png())), *bitmap).max, 0);
}

TEST(PlatformImage, EncodingAnImageWithoutBitmapIsCannotCreateCGImage) {
    for (const auto& [name, type] : everyExportType()) {
        EXPECT_EQ(imagetest::thrown([&] { ImageReadWrite::imageData(QImage(), type); }).code,
                  ImageReadWriteError::cannotCreateCGImage)
            << name;
    }
    EXPECT_EQ(imagetest::thrown([&] { tiffRepresentation(QImage()); }).code, ImageReadWriteError::cannotCreateCGImage);
    // The encoders' own errors pass on.
    const QImage image = toQImage(*imagetest::blockImage(4, 4));
    EXPECT_EQ(imagetest::thrown([&] { ImageReadWrite::imageData(image, ImageExportType::png(0)); }).code,
              ImageReadWriteError::invalidDPI);
}

namespace {

// One convenience called the same way on either representation.
struct Convenience {
    std::string name;
    std::function<Bytes(const ImageRepresentation&)> bitmap;
    std::function<Bytes(const PlatformImageRepresentation&)> platform;
};

template <class Call> Convenience convenience(std::string name, Call call) {
    return {std::move(name), call, call};
}

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::vector<Convenience> everyConvenience() {
    const ImageProperties extra{{ImageProperty::dpiWidth, 300}};
    std::vector<Convenience> all = {
        convenience("png dpi", [](const auto& r) { return r.png(DPI{144}, true); }),
        convenience("png scale", [](const auto& r) { return r.png(Scale{3}); }),
        convenience("jpeg dpi", [](const auto& r) { return r.jpeg(DPI{300}, 0.4, true); }),
        convenience("jpeg scale", [](const auto& r) { return r.jpeg(Scale{2}); }),
        convenience("tiff dpi", [](const auto& r) { return r.tiff(DPI{96}); }),
        convenience("tiff scale", [](const auto& r) { return r.tiff(Scale{0.5}, 0.9, true); }),
        convenience("gif", [](const auto& r) { return r.gif(); }),
        convenience("pdf", [](const auto& r) { return r.pdf({120, 60}); }),
        convenience("svg", [](const auto& r) {
            return bytesOf(r.svg(ImageExportType::Size{80, 50}, SVGImageFillStyle::aspectFill, ImageExportType::jpg(2)));
        }),
        convenience("svg of its own size", [](const auto& r) {
            return bytesOf(r.svg(std::nullopt, SVGImageFillStyle::scale, ImageExportType::png()));
        }),
        convenience("type identifier", [](const auto& r) {
            return r.imageData(ImageTypeIdentifier::tiff, 2, std::nullopt, false);
        }),
        convenience("type identifier, extra properties",
                    [extra](const auto& r) { return r.imageData(ImageTypeIdentifier::jpeg, 1, 0.7, true, &extra); }),
    };
    if (imagetest::heicEncodingAvailable()) {
        all.push_back(convenience("heic dpi", [](const auto& r) { return r.heic(DPI{144}, 0.8); }));
        all.push_back(convenience("heic scale", [](const auto& r) { return r.heic(Scale{1}, std::nullopt, true); }));
        all.push_back(convenience("heic type identifier",
                                  [](const auto& r) { return r.imageData(ImageTypeIdentifier::heic, 1, 1.0, false); }));
    }
    return all;
}

// Every convenience that takes a DPI or a scale, given a bad one.
std::vector<Convenience> everyConvenienceAt(double bad) {
    return {
        convenience("png dpi", [bad](const auto& r) { return r.png(DPI{bad}); }),
        convenience("png scale", [bad](const auto& r) { return r.png(Scale{bad}); }),
        convenience("jpeg dpi", [bad](const auto& r) { return r.jpeg(DPI{bad}); }),
        convenience("jpeg scale", [bad](const auto& r) { return r.jpeg(Scale{bad}, 0.5); }),
        convenience("tiff dpi", [bad](const auto& r) { return r.tiff(DPI{bad}); }),
        convenience("tiff scale", [bad](const auto& r) { return r.tiff(Scale{bad}); }),
        convenience("heic dpi", [bad](const auto& r) { return r.heic(DPI{bad}); }),
        convenience("heic scale", [bad](const auto& r) { return r.heic(Scale{bad}); }),
        convenience("type identifier",
                    [bad](const auto& r) { return r.imageData(ImageTypeIdentifier::png, bad, std::nullopt, false); }),
    };
}

} // namespace

TEST(PlatformImageRepresentation, EachConvenienceGivesTheBitmapSidesBytes) {
    const auto bitmap = imagetest::gradientImage(40, 30, true);
    const ImageRepresentation onBitmap(bitmap);
    // The platform image's own ratio must not leak into the files.
    const PlatformImageRepresentation onPlatform(platformImage(*bitmap, DPI{216}));
    EXPECT_EQ(onPlatform.owner().size(), QSize(40, 30));
    for (const auto& c : everyConvenience()) {
        SCOPED_TRACE(c.name);
        const Bytes expected = c.bitmap(onBitmap);
        ASSERT_FALSE(expected.empty());
        const Bytes got = c.platform(onPlatform);
        // Compared whole; only the sizes are printed, not the bytes.
        EXPECT_TRUE(got == expected) << got.size() << " bytes, the bitmap side " << expected.size();
    }
    // A platform image of another pixel format holding the same pixels
    // encodes the same.
    const QImage opaque = toQImage(*imagetest::blockImage(16, 16)).convertToFormat(QImage::Format_RGB888);
    const ImageRepresentation opaqueBitmap(cgImage(opaque));
    EXPECT_EQ(PlatformImageRepresentation(opaque).png(DPI{72}), opaqueBitmap.png(DPI{72}));
}

TEST(PlatformImageRepresentation, DPIOrScaleOfZeroOrLessIsInvalidDPI) {
    const auto bitmap = imagetest::blockImage(8, 8);
    const ImageRepresentation onBitmap(bitmap);
    const PlatformImageRepresentation onPlatform(toQImage(*bitmap));
    for (const double bad : {0.0, -0.0, -72.0, kNaN, -kInfinity}) {
        for (const auto& c : everyConvenienceAt(bad)) {
            SCOPED_TRACE(c.name + " at " + std::to_string(bad));
            EXPECT_EQ(imagetest::thrown([&] { c.platform(onPlatform); }).code, ImageReadWriteError::invalidDPI);
            EXPECT_EQ(imagetest::thrown([&] { c.bitmap(onBitmap); }).code, ImageReadWriteError::invalidDPI);
        }
    }
}

TEST(PlatformImageRepresentation, AnImageWithoutBitmapIsCannotCreateCGImage) {
    const PlatformImageRepresentation nothing{QImage()};
    auto all = everyConvenience();
    // Even a bad DPI: there is no bitmap to encode before it matters.
    for (auto& c : everyConvenienceAt(0)) all.push_back(std::move(c));
    all.push_back(convenience("heic", [](const auto& r) { return r.heic(Scale{1}); }));
    for (const auto& c : all) {
        EXPECT_EQ(imagetest::thrown([&] { c.platform(nothing); }).code, ImageReadWriteError::cannotCreateCGImage)
            << c.name;
    }
}

TEST(PlatformImage, TiffRepresentationKeepsTheImagesResolution) {
    const auto bitmap = imagetest::blockImage(20, 10);
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "a.tiff", tiffRepresentation(platformImage(*bitmap, DPI{144})));
    const auto external = imagetest::readWithPIL(dir / "a.tiff");
    EXPECT_EQ(external.info["width"], 20);
    EXPECT_NEAR(external.info["dpi"][0].get<double>(), 144, 0.01);
    EXPECT_NEAR(external.info["dpi"][1].get<double>(), 144, 0.01);
    EXPECT_EQ(imagetest::compare(*bitmap, external.rgba).max, 0);
}

TEST(PlatformImage, LoadsFromBytesAndFilesAndRefusesGarbage) {
    const auto bitmap = imagetest::blockImage(12, 9);
    const Bytes png = ImageReadWrite::imageData(*bitmap, ImageExportType::png(2));
    const QImage fromBytes = loadPlatformImage(png);
    ASSERT_EQ(fromBytes.size(), QSize(12, 9));
    EXPECT_EQ(fromBytes.devicePixelRatio(), 1.0); // the file's 144 dpi is not read
    EXPECT_EQ(imagetest::compare(*cgImage(fromBytes), *bitmap).max, 0);

    testsupport::TempDir dir;
    testsupport::writeFile(dir / "b.tiff", ImageReadWrite::imageData(*bitmap, ImageExportType::tiff()));
    const QImage fromFile = loadPlatformImageFile(dir / "b.tiff");
    ASSERT_EQ(fromFile.size(), QSize(12, 9));
    EXPECT_EQ(imagetest::compare(*cgImage(fromFile), *bitmap).max, 0);

    testsupport::writeFile(dir / "garbage.png", {0x89, 'P', 'N', 'G', 1, 2, 3});
    const std::vector<Bytes> garbage = {{}, {1, 2, 3, 4, 5}, Bytes(png.begin(), png.begin() + 40)};
    for (const auto& bytes : garbage) {
        EXPECT_EQ(imagetest::thrown([&] { loadPlatformImage(bytes); }).code, ImageReadWriteError::unableToDecodeImage);
    }
    for (const char* name : {"garbage.png", "missing.png", ""}) {
        EXPECT_EQ(imagetest::thrown([&] { loadPlatformImageFile(dir / name); }).code,
                  ImageReadWriteError::unableToDecodeImage)
            << name;
    }
}

TEST(PlatformImage, LoadingKeepsTheDecodersSizeLimit) {
    // A PNG header claiming 20000 x 20000 pixels is refused from the header.
    const auto huge = testsupport::bilevelPNG(20000, 20000, false);
    EXPECT_EQ(imagetest::thrown([&] { loadPlatformImage(huge); }).code, ImageReadWriteError::unableToDecodeImage);
}
