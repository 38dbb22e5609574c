#include "platform/detector/QRDetector.h"
#include "platform/qrfilter/QRCodeFilter.h"

#include <gtest/gtest.h>

namespace {

// A symbol drawn at `scale` pixels per module with a four-module quiet zone;
// dark modules opaque black, light ones `light` (ARGB, premultiplied).
gfx::Image drawSymbol(const std::string& text, int scale, std::uint32_t light, int offset = 0) {
    platform::QRCodeFilter filter;
    filter.setInputMessage({text.begin(), text.end()});
    filter.setInputCorrectionLevel("M");
    const auto img = filter.outputImage();
    EXPECT_TRUE(img.has_value());
    const int n = img->width + 6;
    gfx::Image image(n * scale + offset, n * scale + offset);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int mx = (x - offset) / scale - 3, my = (y - offset) / scale - 3;
            const bool dark = x >= offset && y >= offset && mx >= 0 && my >= 0 && mx < img->width && my < img->width &&
                              img->pixels[static_cast<std::size_t>(my * img->width + mx)] == 0;
            image.row(y)[x] = dark ? 0xFF000000U : light;
        }
    return image;
}

} // namespace

TEST(QRDetector, DecodesTextBytesAndCornersOnWhiteOrTransparentAndFindsNothingInBlanks) {
    const std::string text = "gr\u00fc\u00dfe \u20ac";
    const auto found = platform::detectQRCodes(drawSymbol(text, 4, 0xFFFFFFFFU, 10));
    ASSERT_EQ(found.size(), 1U);
    EXPECT_EQ(found[0].text, text);
    EXPECT_EQ(found[0].bytes, std::vector<std::uint8_t>(text.begin(), text.end()));
    // The symbol starts after the offset, the quiet zone and the filter margin.
    EXPECT_NEAR(found[0].corners[0].x, 10 + 4 * 4, 3);
    EXPECT_NEAR(found[0].corners[0].y, 10 + 4 * 4, 3);
    EXPECT_GT(found[0].corners[2].x, found[0].corners[0].x);

    // Transparent light modules are premultiplied zeros, i.e. black if read
    // naively; shown on white they are light.
    const auto onGlass = platform::detectQRCodes(drawSymbol("on glass", 4, 0x00000000U));
    ASSERT_EQ(onGlass.size(), 1U);
    EXPECT_EQ(onGlass[0].text, "on glass");

    // Nothing to find.
    EXPECT_TRUE(platform::detectQRCodes(gfx::Image()).empty());
    gfx::Image blank(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) blank.row(y)[x] = 0xFFFFFFFFU;
    EXPECT_TRUE(platform::detectQRCodes(blank).empty());
}
