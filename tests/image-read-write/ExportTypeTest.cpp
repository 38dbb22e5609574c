#include "image-read-write/ImageEncoding.h"

#include "tests/image-read-write/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ImageReadWrite;
using imagetest::thrown;

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
    for (const auto& row : rows) {
        EXPECT_STREQ(row.type.mimeType(), row.mime);
        EXPECT_STREQ(row.type.fileExtension(), row.extension);
        EXPECT_STREQ(row.type.typeIdentifier(), row.identifier);
    }
    // An error's message names its case.
    const ImageReadWriteException e(ImageReadWriteError::unsupportedEmbeddedImageType, "image/heic");
    EXPECT_NE(std::string(e.what()).find("unsupportedEmbeddedImageType"), std::string::npos);
    EXPECT_STREQ(imageReadWriteErrorName(ImageReadWriteError::invalidDPI), "invalidDPI");
}

TEST(ImageProperties, ComputedFromTheScaleWithQualityClampedAndExtrasWinning) {
    const auto p = imageProperties(10, 10, 2 * 72.0, std::nullopt, false);
    EXPECT_EQ(p[ImageProperty::pixelWidth], 10);
    EXPECT_TRUE(p[ImageProperty::pixelWidth].is_number_integer());
    EXPECT_EQ(p[ImageProperty::dpiHeight], 144.0);
    EXPECT_FALSE(p.contains(ImageProperty::lossyCompressionQuality));
    EXPECT_FALSE(p.contains(ImageProperty::excludeGPS));
    EXPECT_EQ(imageProperties(1, 1, 72, std::nullopt, true)[ImageProperty::excludeGPS], true);
    const std::pair<double, double> qualities[] = {
        {1.5, 1}, {-0.2, 0}, {std::nan(""), 0}, {std::numeric_limits<double>::infinity(), 1}, {0.4, 0.4}};
    for (const auto& [asked, stored] : qualities) {
        EXPECT_EQ(imageProperties(1, 1, 72, asked, false)[ImageProperty::lossyCompressionQuality], stored) << asked;
    }
    // GIF always has 72 dpi and no quality.
    const auto gif = gifImageProperties(3, 5);
    EXPECT_EQ(gif[ImageProperty::dpiWidth], 72.0);
    EXPECT_FALSE(gif.contains(ImageProperty::lossyCompressionQuality));

    const ImageProperties extra = {{ImageProperty::dpiWidth, 300.0}, {"Custom", "x"}};
    const auto replaced = imageProperties(4, 4, 72, 0.5, false, &extra);
    EXPECT_EQ(replaced[ImageProperty::dpiWidth], 300.0);
    EXPECT_EQ(replaced[ImageProperty::dpiHeight], 72.0);
    EXPECT_EQ(replaced["Custom"], "x");
    // And the replaced value is what the encoder writes (JFIF density).
    const Bytes jpeg = imageData(*imagetest::blockImage(8, 8), ImageExportType::jpg(), &extra);
    EXPECT_EQ((jpeg[14] << 8) | jpeg[15], 300);
    EXPECT_EQ((jpeg[16] << 8) | jpeg[17], 72);
}

TEST(ImageProperties, ZeroNegativeAndNonFiniteDPIAreRefusedButGIFNeverIs) {
    const auto image = imagetest::blockImage(4, 4);
    const double inf = std::numeric_limits<double>::infinity();
    for (double scale : {0.0, -1.0, std::nan(""), inf, -inf, 1e308}) {
        SCOPED_TRACE(scale);
        for (const auto& type : {ImageExportType::png(scale), ImageExportType::jpg(scale), ImageExportType::tiff(scale),
                                 ImageExportType::heic(scale)}) {
            EXPECT_EQ(thrown([&] { imageData(*image, type); }).code, ImageReadWriteError::invalidDPI)
                << type.mimeType();
        }
        EXPECT_EQ(thrown([&] { ImageRepresentation(image).png(DPI{scale * 72}); }).code,
                  ImageReadWriteError::invalidDPI);
    }
    // An extra property can't sneak in an unusable DPI either.
    const ImageProperties extra = {{ImageProperty::dpiHeight, -5}};
    EXPECT_EQ(thrown([&] { imageData(*image, ImageExportType::png(), &extra); }).code, ImageReadWriteError::invalidDPI);
    EXPECT_NO_THROW(imageData(*image, ImageExportType::gif()));
}

TEST(ImageEncoding, WhatCannotBeEncodedIsCannotCreateImageOfTypeNamingTheType) {
    const auto image = imagetest::blockImage(4, 4);
    const auto unknown =
        thrown([&] { ImageRepresentation(image).imageData("org.example.nothing", 1, std::nullopt, false); });
    EXPECT_EQ(unknown.code, ImageReadWriteError::cannotCreateImageOfType);
    EXPECT_EQ(unknown.text, "org.example.nothing");
    EXPECT_FALSE(ImageRepresentation(image).imageData(ImageTypeIdentifier::tiff, 1, std::nullopt, false).empty());

    // Empty images; sides beyond what libjpeg (65500, through its error
    // exit) and GIF (16 bits) can hold: errors, not the end of the process.
    const gfx::Image empty, wide(65536, 1);
    const std::pair<const gfx::Image*, ImageExportType> refused[] = {
        {&empty, ImageExportType::png()}, {&empty, ImageExportType::jpg()},  {&empty, ImageExportType::tiff()},
        {&empty, ImageExportType::gif()}, {&empty, ImageExportType::heic()}, {&wide, ImageExportType::jpg()},
        {&wide, ImageExportType::gif()},
    };
    for (const auto& [input, type] : refused) {
        const auto e = thrown([&] { imageData(*input, type); });
        EXPECT_EQ(e.code, ImageReadWriteError::cannotCreateImageOfType) << type.mimeType();
        EXPECT_EQ(e.text, type.typeIdentifier());
    }
}
