#include "app/core/ColorText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Tessivo;

namespace {
void expectColor(const std::optional<Color>& color, double r, double g, double b, const char* text) {
    ASSERT_TRUE(color) << text;
    EXPECT_EQ(*color, Color::sRGB(r, g, b, 1)) << text;
}
} // namespace

TEST(ColorToHex, FormatsRoundedSRGBComponentsAndIgnoresAlpha) {
    EXPECT_EQ(colorToHex(Color::sRGB(1, 1, 1)), "#FFFFFF");
    EXPECT_EQ(colorToHex(Color::sRGB(0, 0, 0)), "#000000");
    EXPECT_EQ(colorToHex(Color::sRGB(0.5, 0.5, 0.5)), "#808080"); // 127.5 rounds up
    EXPECT_EQ(colorToHex(Color::sRGB(0.2, 0.2, 0.2)), "#333333");
    EXPECT_EQ(colorToHex(Color::sRGB(1, 0, 0, 0.5)), "#FF0000");
    EXPECT_EQ(colorToHex(Color::gray(1)), "#FFFFFF");
    // Out-of-range and non-numbers still give text that reads back.
    EXPECT_EQ(colorToHex(*Color::make("kCGColorSpaceExtendedSRGB", {1.5, -0.2, 0.2, 1})), "#FF0033");
    EXPECT_EQ(colorToHex(Color{"kCGColorSpaceSRGB", {std::numeric_limits<double>::quiet_NaN(), 0, 1, 1}}), "#0000FF");
    EXPECT_EQ(colorToHex(Color{"no such space", {1, 1, 1, 1}}), "#000000");
}

TEST(HexToColor, AcceptsSixDigitsWithOptionalHashWhitespaceAndCase) {
    const double v = 26.0 / 255.0;
    expectColor(hexToColor("#1a1a1a"), v, v, v, "#1a1a1a");
    expectColor(hexToColor("1A1A1A"), v, v, v, "1A1A1A");
    expectColor(hexToColor(" #1A1A1A\n"), v, v, v, "padded");
    // A sign counts among the six characters.
    expectColor(hexToColor("+FFFFF"), 15.0 / 255.0, 1, 1, "+FFFFF");
    expectColor(hexToColor("-00001"), 1, 1, 1, "-00001");
}

TEST(HexToColor, RefusesEverythingElse) {
    for (const char* text : {"", "#", "#FFF", "##1A1A1A", "#1A1A1A80", "#GGGGGG", "1A1A1A1", "+-1234", "-", "#12 456",
                             "\xC3\x84\xC3\x84\xC3\x84"})
        EXPECT_FALSE(hexToColor(text)) << text;
}

TEST(HexToColor, RoundTripsEveryByteThroughColorToHex) {
    for (int i = 0; i < 256; ++i) {
        const Color color = Color::sRGB(i / 255.0, (255 - i) / 255.0, ((i * 7) % 256) / 255.0, 0.25);
        auto back = hexToColor(colorToHex(color));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, Color::sRGB(i / 255.0, (255 - i) / 255.0, ((i * 7) % 256) / 255.0, 1));
    }
}
