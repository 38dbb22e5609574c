#include "QRCode/design/Shadow.h"
#include "QRCode/core/Colors.h"

#include <gtest/gtest.h>

using QRCode::Shadow;
using QRCode::ShadowType;

namespace {
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}
} // namespace

TEST(Shadow, SettingsRoundTripAndRefusals) {
    const Shadow inner(ShadowType::innerShadow, 1.5, -2.25, 3, gfx::Color::sRGB(0.5, 0.25, 1, 0.5));
    const auto back = Shadow::Create(inner.settings());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->type, ShadowType::innerShadow);
    EXPECT_EQ(back->offset, (gfx::Size{1.5, -2.25}));
    EXPECT_EQ(back->blur, 3);
    EXPECT_EQ(back->settings(), inner.settings());

    foundation::SettingsDict d = {
        {"offset-width", 1}, {"offset-height", 1}, {"blur", 2}, {"type", 2}, {"color", "0,0,0,1"}};
    EXPECT_FALSE(Shadow::Create(d));
    d["type"] = 1;
    ASSERT_TRUE(Shadow::Create(d));
    EXPECT_EQ(Shadow::Create(d)->type, ShadowType::innerShadow);

    auto missing = d;
    missing.erase("blur");
    EXPECT_FALSE(Shadow::Create(missing));
    auto wrongKind = d;
    wrongKind["offset-width"] = "1";
    EXPECT_FALSE(Shadow::Create(wrongKind));
    auto badColor = d;
    badColor["color"] = "0,0,0";
    EXPECT_FALSE(Shadow::Create(badColor));
    EXPECT_FALSE(Shadow::Create(nullptr));
    EXPECT_FALSE(Shadow::Create(foundation::SettingsDict::array()));
}

TEST(Shadow, DropShadowFilterText) {
    const Shadow shadow(ShadowType::dropShadow, 0.2, -0.2, 4, gfx::Color::sRGB(0.5, 0.25, 1.0, 0.8));
    const std::string text = shadow.svgDropShadowFilter("s1-shadow", 10);
    const std::vector<std::string> expected = {
        "<filter",
        "   style='color-interpolation-filters:sRGB'",
        "   id='s1-shadow'",
        "   x='-0.1'",
        "   y='-0.1'",
        "   width='1.2'",
        "   height='1.2'>",
        "     <feFlood",
        "      result='flood-s1-shadow'",
        "      in='SourceGraphic'",
        "      flood-opacity='0.8'",
        "      flood-color='rgb(127,63,255)'",
        "      id='feFlood-s1-shadow' />",
        "     <feGaussianBlur",
        "      result='blur'",
        "      in='SourceGraphic'",
        "      stdDeviation='2.0'",
        "      id='feGaussian-s1-shadow' />",
        "     <feOffset",
        "      result='offset-s1-shadow'",
        "      in='blur'",
        "      dx='2.0'",
        "      dy='2.0'",
        "      id='feOffset-s1-shadow' />",
        "     <feComposite",
        "      result='comp1'",
        "      operator='in'",
        "      in='flood-s1-shadow'",
        "      in2='offset-s1-shadow'",
        "      id='feComposite-s1-shadow-6' />",
        "     <feComposite",
        "      result='comp2'",
        "      operator='over'",
        "      in='SourceGraphic'",
        "      in2='comp1'",
        "      id='feComposite-s1-shadow-7' />",
        "   </filter>",
    };
    EXPECT_EQ(lines(text), expected);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(shadow.svgFilter("s1-shadow", 10), text);
}

TEST(Shadow, InnerShadowFilterText) {
    const Shadow shadow(ShadowType::innerShadow, 1, 0.5, 1, gfx::Color::gray(0, 0.00001));
    const std::string text = shadow.svgInnerShadowFilter("x-shadow", 2);
    const std::vector<std::string> expected = {
        "<filter",
        " style='color-interpolation-filters:sRGB'",
        " id='x-shadow'",
        "   x='-0.1'",
        "   y='-0.1'",
        "   width='1.2'",
        "   height='1.2'>",
        "  <feFlood",
        "      result='flood-x-shadow'",
        "      in='SourceGraphic'",
        "      flood-opacity='1e-05'",
        "      flood-color='rgb(0,0,0)'",
        "      id='feFlood-x-shadow' />",
        "  <feGaussianBlur",
        "      result='blur'",
        "      in='SourceGraphic'",
        "      stdDeviation='0.5'",
        "      id='feGaussian-x-shadow' />",
        "  <feOffset",
        "      result='offset-x-shadow'",
        "      in='blur'",
        "      dx='2.0'",
        "      dy='-1.0'",
        "      id='feOffset-x-shadow' />",
        "  <feComposite",
        "      result='comp1'",
        "      operator='out'",
        "      in='flood-x-shadow'",
        "      in2='offset-x-shadow'",
        "      id='feComposite-x-shadow-6' />",
        "  <feComposite",
        "      result='comp2'",
        "      operator='atop'",
        "      in='comp1'",
        "      in2='SourceGraphic'",
        "     id='feComposite-x-shadow-7' />",
        "</filter>",
    };
    EXPECT_EQ(lines(text), expected);
    EXPECT_EQ(shadow.svgFilter("x-shadow", 2), text);
}
