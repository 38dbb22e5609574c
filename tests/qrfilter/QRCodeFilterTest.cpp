#include "platform/qrfilter/QRCodeFilter.h"

#include <gtest/gtest.h>

using platform::QRCodeFilter;

namespace {

// Finder pattern's top-left corner: a dark 7x7 ring starting at (m, m).
bool hasFinderAt(const platform::GrayImage& img, int m) {
    auto dark = [&](int x, int y) { return img.pixels[static_cast<std::size_t>(y * img.width + x)] == 0; };
    for (int i = 0; i < 7; ++i)
        if (!dark(m + i, m) || !dark(m, m + i) || !dark(m + 6, m + i) || !dark(m + i, m + 6)) return false;
    return !dark(m + 1, m + 1) && dark(m + 3, m + 3);
}

} // namespace

TEST(QRCodeFilter, OnePixelPerModuleWithOneModuleMargin) {
    QRCodeFilter filter;
    const std::string text = "filter";
    filter.setInputMessage({text.begin(), text.end()});
    filter.setInputCorrectionLevel("H");
    const auto img = filter.outputImage();
    ASSERT_TRUE(img.has_value());
    EXPECT_EQ(img->width, 23);
    EXPECT_EQ(img->height, 23);
    ASSERT_EQ(img->pixels.size(), 23U * 23U);
    for (int i = 0; i < 23; ++i) {
        EXPECT_EQ(img->pixels[static_cast<std::size_t>(i)], 255);      // top margin row
        EXPECT_EQ(img->pixels[static_cast<std::size_t>(i * 23)], 255); // left margin column
    }
    for (std::uint8_t p : img->pixels) ASSERT_TRUE(p == 0 || p == 255);
    EXPECT_TRUE(hasFinderAt(*img, 1));
}

TEST(QRCodeFilter, EmptyMessageAndLimits) {
    QRCodeFilter filter;
    filter.setInputCorrectionLevel("Q");
    const auto empty = filter.outputImage();
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->width, 23);

    filter.setInputMessage(std::vector<std::uint8_t>(2953, 'x'));
    filter.setInputCorrectionLevel("L");
    const auto biggest = filter.outputImage();
    ASSERT_TRUE(biggest.has_value());
    EXPECT_EQ(biggest->width, 177 + 2);

    filter.setInputMessage(std::vector<std::uint8_t>(2954, 'x'));
    EXPECT_FALSE(filter.outputImage().has_value());

    filter.setInputMessage({'a'});
    for (const char* letter : {"", "l", "X", "LL"}) {
        filter.setInputCorrectionLevel(letter);
        EXPECT_FALSE(filter.outputImage().has_value()) << letter;
    }
}
