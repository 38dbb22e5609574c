#include "image-read-write/CGImageCodable.h"
#include "image-read-write/ConvertColorspace.h"
#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageLoading.h"

#include "tests/image-read-write/ImageTestSupport.h"
#include "platform/foundation/Base64.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ImageReadWrite;

namespace {

ImageReadWriteError decodeError(const nlohmann::json& value) {
    return imagetest::thrown([&] { CGImageCodable::decode(value); }).code;
}

} // namespace

TEST(CGImageCodable, StoresBase64PNGAt72DPIAndReadsItBack) {
    const auto image = imagetest::gradientImage(21, 13, true);
    const nlohmann::json document = {{"image", CGImageCodable{image}}};
    const std::string text = document.dump();
    const auto parsed = nlohmann::json::parse(text);
    ASSERT_TRUE(parsed["image"].is_string());
    const auto png = foundation::base64Decode(parsed["image"].get<std::string>());
    ASSERT_TRUE(png);
    ASSERT_GE(png->size(), 8u);
    EXPECT_EQ(std::memcmp(png->data(), "\x89PNG", 4), 0);
    EXPECT_EQ(*png, imageData(*image, ImageExportType::png(1, true)));

    const auto back = parsed["image"].get<CGImageCodable>();
    ASSERT_TRUE(back.image);
    EXPECT_EQ(back.image->width(), 21);
    EXPECT_EQ(back.image->height(), 13);
    EXPECT_LE(imagetest::compare(*back.image, *image).max, 2);
}

TEST(CGImageCodable, BadValuesGiveTheirErrors) {
    EXPECT_EQ(decodeError("not base64 at all!"), ImageReadWriteError::codableInvalidData);
    EXPECT_EQ(decodeError(42), ImageReadWriteError::codableInvalidData);
    EXPECT_EQ(decodeError(nullptr), ImageReadWriteError::codableInvalidData);
    EXPECT_EQ(decodeError(foundation::base64Encode(std::string_view("hello, not an image"))),
              ImageReadWriteError::codableInvalidImage);
    EXPECT_EQ(decodeError(""), ImageReadWriteError::codableInvalidImage);
    // Stored images are logos, capped at 4096 x 4096 pixels.
    EXPECT_EQ(decodeError(foundation::base64Encode(testsupport::bilevelPNG(4097, 4096))),
              ImageReadWriteError::codableInvalidImage);
}

TEST(ConvertColorspace, LayoutsOfTheThreeSpaces) {
    auto image = std::make_shared<gfx::Image>(3, 2);
    image->setPixel(0, 0, {255, 255, 255, 255});
    image->setPixel(1, 0, {0, 0, 0, 255});
    image->setPixel(2, 0, {255, 0, 0, 255});
    image->setPixel(0, 1, {0, 0, 0, 0});
    image->setPixel(1, 1, {0, 255, 0, 128});
    image->setPixel(2, 1, {128, 128, 128, 255});
    const ConvertColorspace convert(image);

    const auto cmyk = convert.toCMYK();
    EXPECT_EQ(cmyk.colorSpace, ColorspaceImage::ColorSpace::genericCMYK);
    EXPECT_EQ(cmyk.bitsPerPixel, 32);
    EXPECT_EQ(cmyk.alpha, ColorspaceImage::Alpha::none);
    auto at = [](const ColorspaceImage& img, int x, int y) {
        const auto* p = img.data.data() + y * img.bytesPerRow + x * img.bitsPerPixel / 8;
        return std::vector<int>(p, p + img.bitsPerPixel / 8);
    };
    EXPECT_EQ(at(cmyk, 0, 0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(at(cmyk, 1, 0), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_EQ(at(cmyk, 2, 0), (std::vector<int>{0, 255, 255, 0}));
    EXPECT_EQ(at(cmyk, 0, 1), (std::vector<int>{0, 0, 0, 0})); // transparent over paper

    const auto gray = convert.toGray();
    EXPECT_EQ(gray.colorSpace, ColorspaceImage::ColorSpace::genericGray);
    EXPECT_EQ(gray.bitsPerPixel, 8);
    EXPECT_EQ(gray.alpha, ColorspaceImage::Alpha::none);
    EXPECT_EQ(at(gray, 0, 0)[0], 255);
    EXPECT_EQ(at(gray, 1, 0)[0], 0);
    EXPECT_EQ(at(gray, 0, 1)[0], 0);
    EXPECT_NEAR(at(gray, 2, 1)[0], 128, 8);

    const auto srgb = convert.toSRGB();
    EXPECT_EQ(srgb.bitsPerPixel, 32);
    EXPECT_EQ(srgb.alpha, ColorspaceImage::Alpha::premultipliedLast);
    EXPECT_EQ(at(srgb, 2, 0), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(at(srgb, 1, 1), (std::vector<int>{0, 128, 0, 128}));

    EXPECT_THROW(ConvertColorspace(std::make_shared<gfx::Image>()).toGray(), ImageReadWriteException);
}
