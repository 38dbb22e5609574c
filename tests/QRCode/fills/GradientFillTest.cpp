#include "tests/QRCode/ErrorOf.h"
#include "tests/QRCode/TestDrawing.h"
#include "QRCode/core/Colors.h"
#include "QRCode/fills/GradientFills.h"
#include "QRCode/QRCodeError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using QRCode::QRCodeError;
using QRCode::QRCodeException;
using QRCode::QRCodeFillStyleGenerator;
using QRCode::sRGBColorSpace;
using QRCode::ZelGradient;

using gfx::Color;
using QRCode::Shadow;
using QRCode::ShadowType;
namespace FillStyle = QRCode::FillStyle;

namespace {

using qrcodetest::flippedBitmap;
using qrcodetest::rectPath;

const ZelGradient& redToBlue() {
    static const ZelGradient g({{0.0, Color::sRGB(1, 0, 0)}, {1.0, Color::sRGB(0, 0, 1)}});
    return g;
}

// Red share of a pixel of the red-to-blue ramp: 0 (blue) ... 1 (red).
double redShare(const gfx::Pixel& p) { return p.r / 255.0; }

using qrcodetest::errorOf;

} // namespace

TEST(LinearGradientFill, RunsBetweenThePointsOfTheRectangleAndPads) {
    // Rectangle (10, 20, 100, 50), start (0, 0), end (1, 0): red at x = 10,
    // blue at x = 110, padded outside.
    auto ctx = flippedBitmap(130, 80);
    const FillStyle::LinearGradient horizontal(redToBlue(), {0, 0}, {1, 0});
    horizontal.fill(*ctx, gfx::Rect(10, 20, 100, 50));
    auto img = ctx->takeImage();
    EXPECT_EQ(img->pixel(2, 5), (gfx::Pixel{255, 0, 0, 255}));    // before the start: first colour
    EXPECT_EQ(img->pixel(125, 75), (gfx::Pixel{0, 0, 255, 255})); // after the end: last colour
    EXPECT_NEAR(redShare(img->pixel(60, 40)), 0.5, 0.02);
    EXPECT_NEAR(redShare(img->pixel(35, 5)), 0.75, 0.02);

    ctx = flippedBitmap(130, 80);
    const FillStyle::LinearGradient vertical(redToBlue(), {0, 0}, {0, 1});
    vertical.fill(*ctx, gfx::Rect(10, 20, 100, 50));
    img = ctx->takeImage();
    EXPECT_EQ(img->pixel(60, 10), (gfx::Pixel{255, 0, 0, 255}));
    EXPECT_NEAR(redShare(img->pixel(60, 45)), 0.5, 0.03);
    EXPECT_EQ(img->pixel(60, 75), (gfx::Pixel{0, 0, 255, 255}));
}

TEST(RadialGradientFill, CentredWithRadiusFromTheWidth) {
    // Rectangle (0, 0, 100, 50), centre (0.5, 0.5): centre (50, 25), outer
    // radius 100 / 1.75.
    auto ctx = flippedBitmap(160, 60);
    const FillStyle::RadialGradient fill(redToBlue(), {0.5, 0.5});
    fill.fill(*ctx, gfx::Rect(0, 0, 100, 50));
    const auto img = ctx->takeImage();
    EXPECT_GT(img->pixel(50, 25).r, 248); // the pixel centre is 0.7 from the gradient centre
    const double r = 100 / 1.75;
    EXPECT_NEAR(redShare(img->pixel(int(50 + r / 2), 25)), 0.5, 0.03);
    EXPECT_EQ(img->pixel(int(50 + r + 3), 25), (gfx::Pixel{0, 0, 255, 255}));
    EXPECT_EQ(img->pixel(155, 55), (gfx::Pixel{0, 0, 255, 255}));
}

TEST(GradientFills, AHundredThousandStoredPinsAreKeptAndDrawnAsThePinsThatCanShow) {
    // 20,000 pins at each of five positions: only the first and the last of
    // each run can show.
    std::string text, reduced;
    for (int run = 0; run < 5; ++run) {
        for (int i = 0; i < 20000; ++i) {
            const std::string pin = std::to_string(run / 4.0) + ":" + std::to_string(i % 3 == 0) + "," +
                                    std::to_string(i % 3 == 1) + "," + std::to_string(i % 2) + ",1";
            text += (text.empty() ? "" : "|") + pin;
            if (i == 0 || i == 19999) reduced += (reduced.empty() ? "" : "|") + pin;
        }
    }
    const nlohmann::json settings{{"centerX", 0.4}, {"centerY", 0.5}, {"gradient", text}};
    const auto many = FillStyle::RadialGradient::Create(settings);
    const auto few = FillStyle::RadialGradient::Create(
        nlohmann::json{{"centerX", 0.4}, {"centerY", 0.5}, {"gradient", reduced}});
    ASSERT_TRUE(many && few);
    EXPECT_EQ(many->gradient().pins().size(), 100000u);
    EXPECT_EQ(many->settings()["gradient"], ZelGradient::fromRGBAGradientString(text).asRGBAGradientString());

    auto a = flippedBitmap(150, 100), b = flippedBitmap(150, 100);
    many->fill(*a, gfx::Rect(5, 5, 140, 90));
    few->fill(*b, gfx::Rect(5, 5, 140, 90));
    const auto drawn = a->takeImage(), expected = b->takeImage();
    EXPECT_EQ(std::vector<std::uint8_t>(drawn->data(), drawn->data() + drawn->byteCount()),
              std::vector<std::uint8_t>(expected->data(), expected->data() + expected->byteCount()));
}

TEST(GradientFills, PathFillPaintsOnlyInsideWithoutShadow) {
    auto ctx = flippedBitmap(40, 40);
    const FillStyle::LinearGradient fill(redToBlue(), {0, 0}, {1, 0});
    fill.fill(*ctx, gfx::Rect(0, 0, 40, 40), rectPath(10, 10, 20, 20), 1, nullptr);
    EXPECT_FALSE(ctx->shadow().isSet);
    const auto img = ctx->takeImage();
    EXPECT_EQ(img->pixel(5, 20).a, 0);
    EXPECT_EQ(img->pixel(35, 20).a, 0);
    EXPECT_EQ(img->pixel(20, 5).a, 0);
    EXPECT_EQ(img->pixel(20, 20).a, 255);
    EXPECT_NEAR(redShare(img->pixel(20, 20)), 0.5, 0.03);
}

TEST(GradientFills, SettingsCreationErrors) {
    const foundation::SettingsDict good = {
        {"startX", 0.25}, {"startY", 0}, {"endX", 1}, {"endY", 0.75}, {"gradient", "0:1,0,0,1|1:0,0,1,1"}};
    const auto made = FillStyle::LinearGradient::Create(good);
    EXPECT_EQ(made->startPoint(), (gfx::Point{0.25, 0}));
    EXPECT_EQ(made->gradient().asRGBAGradientString(), "0.0:1,0,0,1|1.0:0,0,1,1");
    for (const char* key : {"startX", "startY", "endX", "endY", "gradient"}) {
        auto missing = good;
        missing.erase(key);
        EXPECT_EQ(errorOf([&] { FillStyle::LinearGradient::Create(missing); }), QRCodeError::cannotCreateGenerator);
        auto mistyped = good;
        mistyped[key] = std::string(key) == "gradient" ? foundation::SettingsValue(3) : foundation::SettingsValue("1");
        EXPECT_EQ(errorOf([&] { FillStyle::LinearGradient::Create(mistyped); }), QRCodeError::cannotCreateGenerator);
    }
    const foundation::SettingsDict radial = {{"centerX", 0.5}, {"centerY", true}, {"gradient", "0:1,0,0,1|1:0,0,1,1"}};
    EXPECT_EQ(FillStyle::RadialGradient::Create(radial)->centerPoint(), (gfx::Point{0.5, 1}));
    auto noCenter = radial;
    noCenter.erase("centerY");
    EXPECT_EQ(errorOf([&] { FillStyle::RadialGradient::Create(noCenter); }), QRCodeError::cannotCreateGenerator);
    auto onePin = radial;
    onePin["gradient"] = "0:1,0,0,1";
    EXPECT_THROW(FillStyle::RadialGradient::Create(onePin), ZelGradient::Exception);
    EXPECT_THROW(FillStyle::LinearGradient({ZelGradient::Pin(Color::gray(0), 0)}, {0, 0}, {1, 1}),
                 ZelGradient::Exception);
}

TEST(GradientFills, SvgText) {
    const FillStyle::LinearGradient linear(redToBlue(), {0, 0}, {1, 1});
    const auto lin = linear.svgRepresentation("f1", 10, nullptr);
    EXPECT_EQ(lin.styleAttribute(), "fill=\"url(#f1)\" ");
    EXPECT_EQ(lin.styleDefinition(), "<linearGradient id=\"f1\" x1=\"0.0\" y1=\"0.0\" x2=\"1.0\" y2=\"1.0\">\n"
                                     "<stop offset=\"0.0\" stop-color=\"#ff0000\" stop-opacity=\"1.0\" />\n"
                                     "<stop offset=\"1.0\" stop-color=\"#0000ff\" stop-opacity=\"1.0\" />\n"
                                     "</linearGradient>\n");

    // Pins given out of order are written in position order; radial stops
    // are indented by three spaces and r is always 0.5.
    const FillStyle::RadialGradient radial(
        ZelGradient({{1.0, Color::sRGB(0, 0, 1, 0.5)}, {0.0, Color::sRGB(1, 0, 0)}, {0.25, Color::gray(1)}}),
        {0.5, 0.25});
    EXPECT_EQ(radial.svgRepresentation("r", 1, nullptr).styleDefinition(),
              "<radialGradient id=\"r\" cx=\"0.5\" cy=\"0.25\" r=\"0.5\">\n"
              "   <stop offset=\"0.0\" stop-color=\"#ff0000\" stop-opacity=\"1.0\" />\n"
              "   <stop offset=\"0.25\" stop-color=\"#ffffff\" stop-opacity=\"1.0\" />\n"
              "   <stop offset=\"1.0\" stop-color=\"#0000ff\" stop-opacity=\"0.5\" />\n"
              "</radialGradient>\n");

    // With a shadow the filter follows the gradient's closing tag.
    const Shadow shadow;
    const auto shadowed = linear.svgRepresentation("f1", 10, &shadow);
    EXPECT_EQ(shadowed.styleAttribute(), "fill=\"url(#f1)\" style=\"filter:url(#f1-shadow)\"");
    EXPECT_EQ(shadowed.styleDefinition(), *lin.styleDefinition() + shadow.svgDropShadowFilter("f1-shadow", 10));
    const Shadow inner(ShadowType::innerShadow, 1, 1, 1, Color::gray(0));
    const auto radialInner = radial.svgRepresentation("r", 4, &inner);
    EXPECT_EQ(radialInner.styleDefinition(),
              *radial.svgRepresentation("r", 4, nullptr).styleDefinition() + inner.svgInnerShadowFilter("r-shadow", 4));
}
