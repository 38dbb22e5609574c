#include "tests/QRCode/ErrorOf.h"
#include "tests/QRCode/TestDrawing.h"
#include "QRCode/fills/FillStyle.h"
#include "QRCode/core/Colors.h"
#include "QRCode/fills/GradientFills.h"
#include "QRCode/fills/ImageFill.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/QRCodeError.h"

#include <gtest/gtest.h>

using QRCode::QRCodeError;
using QRCode::QRCodeException;
using QRCode::QRCodeFillStyleFactory;
using QRCode::QRCodeFillStylePtr;
using QRCode::RGBAComponentsError;
using QRCode::RGBAComponentsException;
using QRCode::ZelGradient;

using gfx::Color;
using QRCode::Shadow;
using QRCode::ShadowType;
namespace FillStyle = QRCode::FillStyle;

namespace {

using qrcodetest::rectPath;

using qrcodetest::errorOf;

} // namespace

TEST(FillStyleFactory, BadArchivesAreRefused) {
    const auto& factory = QRCodeFillStyleFactory::shared();
    const foundation::SettingsDict red = {{"color", "1,0,0,1"}};
    for (const foundation::SettingsDict& archive : {
             foundation::SettingsDict::object(),
             foundation::SettingsDict{{"settings", red}},
             foundation::SettingsDict{{"type", 1}, {"settings", red}},
             foundation::SettingsDict{{"type", "Solid"}, {"settings", red}},
             foundation::SettingsDict{{"type", "plaid"}, {"settings", red}},
             foundation::SettingsDict{{"type", "solid"}},
             foundation::SettingsDict{{"type", "solid"}, {"settings", "1,0,0,1"}},
         }) {
        EXPECT_EQ(errorOf([&] { factory.Create(archive); }), QRCodeError::cannotCreateGenerator) << archive.dump();
    }
    // A known class's own error passes through unchanged.
    try {
        factory.Create({{"type", "solid"}, {"settings", {{"color", "1,0,0"}}}});
        FAIL();
    } catch (const RGBAComponentsException& e) {
        EXPECT_EQ(e.code(), RGBAComponentsError::unableToUnarchiveColor);
        EXPECT_EQ(e.text(), "1,0,0");
    }
    try {
        factory.Create(
            {{"type", "lineargradient"},
             {"settings", {{"startX", 0}, {"startY", 0}, {"endX", 1}, {"endY", 1}, {"gradient", "0:1,0,0,1"}}}});
        FAIL();
    } catch (const ZelGradient::Exception& e) {
        EXPECT_EQ(e.code(), ZelGradient::GradientError::tooFewPins);
    }
}

TEST(FillStyleFactory, EveryFillRoundTripsThroughItsArchive) {
    auto image = std::make_shared<gfx::Image>(3, 2);
    image->setPixel(0, 0, {255, 0, 0, 255});
    image->setPixel(2, 1, {0, 0, 255, 128});
    const std::vector<QRCodeFillStylePtr> fills = {
        FillStyle::Solid::sRGB(1, 0.5, 0.25, 0.75),
        std::make_shared<FillStyle::LinearGradient>(
            ZelGradient({{0.0, Color::sRGB(1, 0, 0)}, {0.3, Color::sRGB(0, 1, 0, 0.5)}, {1.0, Color::sRGB(0, 0, 1)}}),
            gfx::Point{0.25, 0}, gfx::Point{1, 0.75}),
        std::make_shared<FillStyle::RadialGradient>(ZelGradient({{0.0, Color::gray(1)}, {1.0, Color::gray(0)}}),
                                                    gfx::Point{0.3, 0.6}),
        std::make_shared<FillStyle::Image>(image),
    };
    for (const auto& fill : fills) {
        const auto archive = fill->fillStyleArchive();
        ASSERT_EQ(archive.size(), 2u);
        EXPECT_EQ(archive["type"], std::string(fill->name()));
        const auto back = QRCodeFillStyleFactory::shared().Create(archive);
        EXPECT_EQ(back->name(), fill->name());
        EXPECT_EQ(back->settings(), fill->settings()) << fill->name();
        // JSON text survives too (settings are plain values).
        const auto reparsed = foundation::SettingsDict::parse(archive.dump());
        EXPECT_EQ(QRCodeFillStyleFactory::shared().Create(reparsed)->settings(), fill->settings());
        EXPECT_NE(fill->copyStyle(), fill);
        EXPECT_EQ(fill->copyStyle()->settings(), fill->settings());
    }
}

TEST(SolidFill, SettingsAndCreation) {
    const auto red = FillStyle::Solid::Create({{"color", "1,0,0,1"}});
    EXPECT_EQ(red->color(), Color::sRGB(1, 0, 0, 1));
    EXPECT_EQ(red->settings(), (foundation::SettingsDict{{"color", "1.0,0.0,0.0,1.0"}}));
    EXPECT_EQ(errorOf([] { FillStyle::Solid::Create(foundation::SettingsDict::object()); }),
              QRCodeError::cannotCreateGenerator);
    EXPECT_EQ(errorOf([] { FillStyle::Solid::Create({{"color", 5}}); }), QRCodeError::cannotCreateGenerator);
    EXPECT_EQ(FillStyle::Solid::hexString("#0080ff")->color(), Color::sRGB(0, 128 / 255.0, 1, 1));
    EXPECT_EQ(errorOf([] { FillStyle::Solid::hexString("#12"); }), QRCodeError::invalidHexColorString);
    EXPECT_EQ(FillStyle::Solid::gray(0.5)->settings()["color"], "0.5,0.5,0.5,1.0");
}

TEST(SolidFill, SvgText) {
    EXPECT_EQ(FillStyle::clear()->svgRepresentation("c", 1, nullptr).styleAttribute(),
              "fill=\"#000000\" fill-opacity=\"0.0\" ");
    const auto fill = FillStyle::Solid::sRGB(1, 0, 0, 0.25);
    const auto plain = fill->svgRepresentation("f1", 10, nullptr);
    EXPECT_EQ(plain.styleAttribute(), "fill=\"#ff0000\" fill-opacity=\"0.25\" ");
    EXPECT_FALSE(plain.styleDefinition());

    const Shadow drop;
    const auto withDrop = fill->svgRepresentation("f1", 10, &drop);
    EXPECT_EQ(withDrop.styleAttribute(), "fill=\"#ff0000\" fill-opacity=\"0.25\" style=\"filter:url(#f1-shadow)\"");
    EXPECT_EQ(withDrop.styleDefinition(), drop.svgDropShadowFilter("f1-shadow", 10));

    const Shadow inner(ShadowType::innerShadow, 1, 1, 2, Color::gray(0));
    EXPECT_EQ(fill->svgRepresentation("f1", 3, &inner).styleDefinition(), inner.svgInnerShadowFilter("f1-shadow", 3));
}

TEST(SolidFill, DropShadowOffsetScalesWithPixelSizeNotBlur) {
    auto ctx = gfx::GraphicsContext::makeBitmap(50, 50);
    const Shadow shadow(ShadowType::dropShadow, 2, 3, 4, Color::sRGB(0, 0, 1, 0.5));
    FillStyle::Solid::sRGB(1, 0, 0)->fill(*ctx, gfx::Rect(0, 0, 50, 50), rectPath(10, 10, 10, 10), 10, &shadow);
    ASSERT_TRUE(ctx->shadow().isSet);
    EXPECT_EQ(ctx->shadow().offset, (gfx::Size{20, 30}));
    EXPECT_EQ(ctx->shadow().blur, 4);
    EXPECT_EQ(ctx->shadow().color, shadow.color);
}

TEST(FillStyleImage, RendersIntoImagesOfTheRequestedSize) {
    const auto img = FillStyle::Solid::sRGB(0, 1, 0)->image(5, 3, false);
    EXPECT_EQ(img->width(), 5);
    EXPECT_EQ(img->height(), 3);
    EXPECT_EQ(img->pixel(4, 2), (gfx::Pixel{0, 255, 0, 255}));
    EXPECT_EQ(errorOf([] { FillStyle::Solid::sRGB(0, 1, 0)->image(0, true); }), QRCodeError::cannotGenerateImage);
    // Flipped: a linear gradient from the rectangle's minimum corner starts
    // at the top.
    const FillStyle::LinearGradient lg(ZelGradient({{0.0, Color::sRGB(1, 0, 0)}, {1.0, Color::sRGB(0, 0, 1)}}), {0, 0},
                                       {0, 1});
    const auto flipped = lg.image(4, true);
    EXPECT_GT(flipped->pixel(1, 0).r, 200);
    const auto upright = lg.image(4, false);
    EXPECT_GT(upright->pixel(1, 3).r, 200);
}
