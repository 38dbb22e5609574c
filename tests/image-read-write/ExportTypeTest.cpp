#include "image-read-write/ImageEncoding.h"

#include "tests/image-read-write/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ImageReadWrite;

namespace {

template <typename F> ImageReadWriteError errorOf(F&& f) {
    try {
        f();
    } catch (const ImageReadWriteException& e) {
        return e.code();
    }
    ADD_FAILURE() << "no error thrown";
    return ImageReadWriteError::internalError;
}

} // namespace

TEST(ImageExportType, MediaTypesExtensionsAndIdentifiers) {
    struct Row {
        ImageExportType type;
        const char* mime;
        const char* extension;
        const char* identifier;
    };
    const Row rows[] = {
        {ImageExportType::png(), "image/png", "png", "public.png"},
        {ImageExportType::jpg(), "image/jpeg", "jpg", "public.jpeg"},
        {ImageExportType::tiff(), "image/tiff", "tiff", "public.tiff"},
        {ImageExportType::pdf({10, 10}), "application/pdf", "pdf", "com.adobe.pdf"},
        {ImageExportType::heic(), "image/heic", "heic", "public.heic"},
        {ImageExportType::svg(std::nullopt, SVGImageFillStyle::scale, ImageExportType::png()), "image/svg+xml", "svg",
         "public.svg-image"},
        {ImageExportType::gif(), "image/gif", "gif", "com.compuserve.gif"},
    };
    int index = 0;
    for (const auto& row : rows) {
        EXPECT_EQ(int(row.type.kind()), index++);
        EXPECT_STREQ(row.type.mimeType(), row.mime);
        EXPECT_STREQ(row.type.fileExtension(), row.extension);
        EXPECT_STREQ(row.type.typeIdentifier(), row.identifier);
    }
    const auto svg = ImageExportType::svg(std::nullopt, SVGImageFillStyle::aspectFill, ImageExportType::jpg(2, 0.5));
    const auto& embedded = *std::get<ImageExportType::SVG>(svg.value()).embeddedImageFormat;
    EXPECT_EQ(std::get<ImageExportType::JPG>(embedded.value()).compression, 0.5);
}

TEST(ImageReadWriteError, OrdinalsNamesAndTexts) {
    EXPECT_EQ(int(ImageReadWriteError::cannotCreateImageOfType), 0);
    EXPECT_EQ(int(ImageReadWriteError::cannotConvertColorspace), 11);
    const ImageReadWriteException e(ImageReadWriteError::unsupportedEmbeddedImageType, "image/heic");
    EXPECT_EQ(e.code(), ImageReadWriteError::unsupportedEmbeddedImageType);
    EXPECT_EQ(e.text(), "image/heic");
    EXPECT_NE(std::string(e.what()).find("unsupportedEmbeddedImageType"), std::string::npos);
    EXPECT_STREQ(imageReadWriteErrorName(ImageReadWriteError::invalidDPI), "invalidDPI");
}

TEST(ImageProperties, PixelSizeAndDPIFromTheScale) {
    const auto p = imageProperties(10, 10, 2 * 72.0, std::nullopt, false);
    EXPECT_EQ(p[ImageProperty::pixelWidth], 10);
    EXPECT_TRUE(p[ImageProperty::pixelWidth].is_number_integer());
    EXPECT_EQ(p[ImageProperty::pixelHeight], 10);
    EXPECT_EQ(p[ImageProperty::dpiWidth], 144.0);
    EXPECT_EQ(p[ImageProperty::dpiHeight], 144.0);
    EXPECT_FALSE(p.contains(ImageProperty::lossyCompressionQuality));
    EXPECT_FALSE(p.contains(ImageProperty::excludeGPS));
    EXPECT_EQ(imageProperties(1, 1, 72, std::nullopt, true)[ImageProperty::excludeGPS], true);
}

TEST(ImageProperties, QualityIsClampedToZeroOne) {
    auto quality = [](double q) {
        return imageProperties(1, 1, 72, q, false)[ImageProperty::lossyCompressionQuality].get<double>();
    };
    EXPECT_EQ(quality(1.5), 1.0);
    EXPECT_EQ(quality(-0.2), 0.0);
    EXPECT_EQ(quality(std::nan("")), 0.0);
    EXPECT_EQ(quality(std::numeric_limits<double>::infinity()), 1.0);
    EXPECT_EQ(quality(0.4), 0.4);
}

TEST(ImageProperties, ExtraPropertiesReplaceComputedOnes) {
    const ImageProperties extra = {{ImageProperty::dpiWidth, 300.0}, {"Custom", "x"}};
    const auto p = imageProperties(4, 4, 72, 0.5, false, &extra);
    EXPECT_EQ(p[ImageProperty::dpiWidth], 300.0);
    EXPECT_EQ(p[ImageProperty::dpiHeight], 72.0);
    EXPECT_EQ(p["Custom"], "x");
    // And the replaced value is what the encoder writes.
    const auto image = imagetest::blockImage(8, 8);
    const Bytes jpeg = imageData(*image, ImageExportType::jpg(), &extra);
    EXPECT_EQ((jpeg[14] << 8) | jpeg[15], 300);
    EXPECT_EQ((jpeg[16] << 8) | jpeg[17], 72);
}

TEST(ImageProperties, ZeroNegativeAndNonFiniteDPIAreRefused) {
    const auto image = imagetest::blockImage(4, 4);
    const double bad[] = {
        0, -1, std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), 1e308};
    for (double scale : bad) {
        EXPECT_EQ(errorOf([&] { imageData(*image, ImageExportType::png(scale)); }), ImageReadWriteError::invalidDPI)
            << scale;
        EXPECT_EQ(errorOf([&] { imageData(*image, ImageExportType::jpg(scale)); }), ImageReadWriteError::invalidDPI);
        EXPECT_EQ(errorOf([&] { imageData(*image, ImageExportType::tiff(scale)); }), ImageReadWriteError::invalidDPI);
        EXPECT_EQ(errorOf([&] { imageData(*image, ImageExportType::heic(scale)); }), ImageReadWriteError::invalidDPI);
        EXPECT_EQ(errorOf([&] { ImageRepresentation(image).png(DPI{scale * 72}); }), ImageReadWriteError::invalidDPI);
    }
    // An extra property can't sneak in an unusable DPI either.
    const ImageProperties extra = {{ImageProperty::dpiHeight, -5}};
    EXPECT_EQ(errorOf([&] { imageData(*image, ImageExportType::png(), &extra); }), ImageReadWriteError::invalidDPI);
}

TEST(ImageProperties, GIFAlwaysHas72DPIAndNeverRefusesIt) {
    const auto p = gifImageProperties(3, 5);
    EXPECT_EQ(p[ImageProperty::pixelWidth], 3);
    EXPECT_EQ(p[ImageProperty::dpiWidth], 72.0);
    EXPECT_EQ(p[ImageProperty::dpiHeight], 72.0);
    EXPECT_FALSE(p.contains(ImageProperty::lossyCompressionQuality));
    EXPECT_NO_THROW(imageData(*imagetest::blockImage(4, 4), ImageExportType::gif()));
}

TEST(ImageEncoding, UnknownTypeIdentifiersAndEmptyImagesCannotBeCreated) {
    const auto image = imagetest::blockImage(4, 4);
    try {
        ImageRepresentation(image).imageData("org.example.nothing", 1, std::nullopt, false);
        FAIL();
    } catch (const ImageReadWriteException& e) {
        EXPECT_EQ(e.code(), ImageReadWriteError::cannotCreateImageOfType);
        EXPECT_EQ(e.text(), "org.example.nothing");
    }
    EXPECT_FALSE(ImageRepresentation(image).imageData(ImageTypeIdentifier::tiff, 1, std::nullopt, false).empty());
    const gfx::Image empty;
    for (const auto& type : {ImageExportType::png(), ImageExportType::jpg(), ImageExportType::tiff(),
                             ImageExportType::gif(), ImageExportType::heic()}) {
        try {
            imageData(empty, type);
            ADD_FAILURE() << type.mimeType();
        } catch (const ImageReadWriteException& e) {
            EXPECT_EQ(e.code(), ImageReadWriteError::cannotCreateImageOfType);
            EXPECT_EQ(e.text(), type.typeIdentifier());
        }
    }
}

TEST(ImageEncoding, LibraryErrorsWhileEncodingBecomeCannotCreateImageOfType) {
    // libjpeg refuses sides above 65500 through its error exit, GIF has
    // 16-bit sizes: both must come back as errors, not end the process.
    const gfx::Image wide(65536, 1);
    for (const auto& type : {ImageExportType::jpg(), ImageExportType::gif()}) {
        try {
            imageData(wide, type);
            ADD_FAILURE() << type.mimeType();
        } catch (const ImageReadWriteException& e) {
            EXPECT_EQ(e.code(), ImageReadWriteError::cannotCreateImageOfType);
            EXPECT_EQ(e.text(), type.typeIdentifier());
        }
    }
}
