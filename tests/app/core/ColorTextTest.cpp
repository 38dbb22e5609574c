#include "app/core/ColorText.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace Tessivo;

TEST(ColorToHex, FormatsRoundedSRGBComponentsAndIgnoresAlpha) {
    EXPECT_EQ(colorToHex(Color::sRGB(0, 0, 0)), "#000000");
    EXPECT_EQ(colorToHex(Color::sRGB(0.5, 0.5, 0.5)), "#808080"); // 127.5 rounds up
    EXPECT_EQ(colorToHex(Color::sRGB(1, 0, 0, 0.5)), "#FF0000");
    EXPECT_EQ(colorToHex(Color::gray(1)), "#FFFFFF");
    // Out-of-range and non-numbers still give text that reads back.
    EXPECT_EQ(colorToHex(*Color::make("kCGColorSpaceExtendedSRGB", {1.5, -0.2, 0.2, 1})), "#FF0033");
    EXPECT_EQ(colorToHex(Color{"kCGColorSpaceSRGB", {std::numeric_limits<double>::quiet_NaN(), 0, 1, 1}}), "#0000FF");
    EXPECT_EQ(colorToHex(Color{"no such space", {1, 1, 1, 1}}), "#000000");
}

TEST(ColorToHex, CMYKColoursReadAsTheirInks) {
    const struct {
        std::vector<double> cmyka;
        const char* hex;
    } cases[] = {
        {{0, 0, 0, 0, 1}, "#FFFFFF"}, // no ink: the paper
        {{1, 0, 0, 0, 1}, "#00FFFF"}, {{0, 1, 0, 0, 1}, "#FF00FF"},   {{0, 0, 1, 0, 1}, "#FFFF00"},
        {{0, 0, 0, 1, 1}, "#000000"}, {{0, 0, 0, 0.5, 1}, "#808080"}, {{0.5, 0, 0, 0.5, 0.3}, "#408080"},
    };
    for (const auto& c : cases) {
        const auto color = Color::make("kCGColorSpaceGenericCMYK", c.cmyka);
        ASSERT_TRUE(color);
        EXPECT_EQ(colorToHex(*color), c.hex)
            << c.cmyka[0] << "," << c.cmyka[1] << "," << c.cmyka[2] << "," << c.cmyka[3];
    }
}

TEST(HexToColor, AcceptsSixDigitsWithOptionalHashAndRefusesEverythingElse) {
    const double v = 26.0 / 255.0;
    for (const char* text : {"#1a1a1a", "1A1A1A", " #1A1A1A\n"})
        EXPECT_EQ(hexToColor(text), Color::sRGB(v, v, v)) << text;
    // Every kind of Unicode white space and line break at either end, as
    // text copied from a page brings; inside, it still spoils the text.
    for (const char* space :
         {"\t", "\v", "\f", "\r", "\xC2\x85", "\xC2\xA0", "\xE1\x9A\x80", "\xE2\x80\x80", "\xE2\x80\x83",
          "\xE2\x80\x8A", "\xE2\x80\xA8", "\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80"}) {
        const std::string s = space;
        EXPECT_EQ(hexToColor(s + "#1A1A1A" + s), Color::sRGB(v, v, v)) << s;
        EXPECT_EQ(hexToColor(s + s + "1A1A1A"), Color::sRGB(v, v, v)) << s;
        EXPECT_FALSE(hexToColor("#1A1" + s + "A1A")) << s;
        EXPECT_FALSE(hexToColor("#" + s + "1A1A1A")) << s;
        EXPECT_EQ(trimmedWhitespace(s + "My preset" + s), "My preset") << s;
    }
    // Not white space: a zero-width space, and a Latin-1 NEL byte that is
    // no UTF-8.
    for (const char* text : {"\xE2\x80\x8B#1A1A1A", "#1A1A1A\x85", "\x85#1A1A1A"})
        EXPECT_FALSE(hexToColor(text)) << text;
    // A sign counts among the six characters.
    EXPECT_EQ(hexToColor("+FFFFF"), Color::sRGB(15.0 / 255.0, 1, 1));
    EXPECT_EQ(hexToColor("-00001"), Color::sRGB(1, 1, 1));
    for (const char* text : {"", "#", "#FFF", "##1A1A1A", "#1A1A1A80", "#GGGGGG", "1A1A1A1", "+-1234", "-", "#12 456",
                             "\xC3\x84\xC3\x84\xC3\x84"})
        EXPECT_FALSE(hexToColor(text)) << text;

    for (int i = 0; i < 256; ++i) {
        const auto rgb = [i](double alpha) {
            return Color::sRGB(i / 255.0, (255 - i) / 255.0, ((i * 7) % 256) / 255.0, alpha);
        };
        EXPECT_EQ(hexToColor(colorToHex(rgb(0.25))), rgb(1)) << i;
    }
}
