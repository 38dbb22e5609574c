#include "QRCode/design/Design.h"

#include "QRCode/core/Colors.h"
#include "QRCode/generators/eye/Square.h"
#include "QRCode/fills/GradientFills.h"
#include "QRCode/fills/ImageFill.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/generators/pixel/Abstract.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/QRCodeError.h"
#include "tests/QRCode/ErrorOf.h"
#include "platform/foundation/Json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace QRCode;
using foundation::SettingsDict;

namespace {

using qrcodetest::errorOf;

// Settings written as JSON text and parsed again: what a stored file gives.
SettingsDict throughJson(const SettingsDict& settings) { return SettingsDict::parse(foundation::writeJson(settings)); }

SettingsDict archive(const char* type, SettingsDict settings = SettingsDict::object()) {
    return SettingsDict{{"type", type}, {"settings", std::move(settings)}};
}

std::string solidColorText(const QRCodeFillStylePtr& fill) { return fill->settings().at("color").get<std::string>(); }

std::shared_ptr<PixelShape::Square> insetSquare(double inset) {
    return PixelShape::Square::Create(SettingsDict{{"insetFraction", inset}});
}

std::shared_ptr<FillStyle::LinearGradient> gradient() {
    return std::make_shared<FillStyle::LinearGradient>(
        ZelGradient({{0.0, gfx::Color::sRGB(1, 0, 0)}, {1.0, gfx::Color::sRGB(0, 0, 1, 0.5)}}), gfx::Point{0, 0.25},
        gfx::Point{1, 0.75});
}

} // namespace

// ---- Shape ----

TEST(Shape, DefaultShapeSettings) {
    // Nothing optional is written; reading nothing gives the defaults.
    const SettingsDict s = Shape().settings();
    EXPECT_FALSE(s.contains("offPixels"));
    EXPECT_FALSE(s.contains("pupil"));
    EXPECT_EQ(s.size(), 5u);
    EXPECT_EQ(Shape::Create(SettingsDict::object())->settings(), s);
    EXPECT_EQ(Shape::Create(SettingsDict())->settings(), s);
}

TEST(Shape, OlderKeysTakePrecedence) {
    const SettingsDict both{{"data", archive("abstract")}, {"onPixels", archive("square")}};
    EXPECT_EQ(Shape::Create(both)->onPixels()->name(), "abstract");
    const SettingsDict unknownOld{{"data", archive("nothing")}, {"onPixels", archive("abstract")}};
    EXPECT_EQ(Shape::Create(unknownOld)->onPixels()->name(), "abstract");
    const SettingsDict notADict{{"data", "abstract"}, {"onPixels", archive("abstract")}};
    EXPECT_EQ(Shape::Create(notADict)->onPixels()->name(), "abstract");

    const auto inverted = Shape::Create(SettingsDict{{"dataInverted", archive("abstract")}});
    ASSERT_TRUE(inverted->offPixels());
    EXPECT_EQ(inverted->offPixels()->name(), "abstract");
    const auto invertedFirst =
        Shape::Create(SettingsDict{{"dataInverted", archive("abstract")}, {"offPixels", archive("square")}});
    EXPECT_EQ(invertedFirst->offPixels()->name(), "abstract");
    const auto invertedUnknown =
        Shape::Create(SettingsDict{{"dataInverted", archive("nothing")}, {"offPixels", archive("square")}});
    ASSERT_TRUE(invertedUnknown->offPixels());
    EXPECT_EQ(invertedUnknown->offPixels()->name(), "square");
    EXPECT_FALSE(Shape::Create(SettingsDict{{"negatedOnPixelsOnly", true}})->offPixels());
}

TEST(Shape, BrokenEntriesFallBackOneByOne) {
    const auto shape = Shape::Create(SettingsDict{{"onPixels", archive("nothing")},
                                                  {"eye", archive("nothing")},
                                                  {"pupil", archive("nothing")},
                                                  {"offPixels", SettingsDict{{"settings", SettingsDict::object()}}},
                                                  {"mirrorEyePathsAroundQRCodeCenter", "false"},
                                                  {"negatedOnPixelsOnly", true}});
    EXPECT_EQ(shape->onPixels()->name(), "square");
    EXPECT_EQ(shape->eye()->name(), "square");
    EXPECT_FALSE(shape->pupil());
    EXPECT_FALSE(shape->offPixels());
    EXPECT_TRUE(shape->mirrorEyePathsAroundQRCodeCenter());
    EXPECT_TRUE(shape->negatedOnPixelsOnly());
    // The eye's own default pupil is what gets drawn.
    EXPECT_EQ(shape->actualPupilShape(), shape->eye()->defaultPupil());
    // A readable pupil survives the eye read before it.
    const auto withPupil = Shape::Create(SettingsDict{{"eye", archive("square")}, {"pupil", archive("square")}});
    EXPECT_TRUE(withPupil->pupil());
}

TEST(Shape, SettingTheEyeClearsThePupil) {
    const auto pupil = PupilShape::Square::Create();
    Shape shape(PixelShape::Square::Create(), nullptr, false, false, true, EyeShape::Square::Create(), pupil);
    EXPECT_EQ(shape.pupil(), pupil); // the memberwise form keeps both
    EXPECT_EQ(shape.actualPupilShape(), pupil);

    const auto eye = EyeShape::Square::Create();
    shape.setEye(eye);
    EXPECT_EQ(shape.eye(), eye);
    EXPECT_FALSE(shape.pupil());
    EXPECT_EQ(shape.actualPupilShape(), eye->defaultPupil());

    shape.setPupil(pupil);
    EXPECT_EQ(shape.eye(), eye);
    EXPECT_EQ(shape.pupil(), pupil);
}

TEST(Shape, RequiredGeneratorsRefuseNull) {
    Shape shape;
    EXPECT_THROW(shape.setOnPixels(nullptr), QRCodeException);
    EXPECT_THROW(shape.setEye(nullptr), QRCodeException);
    EXPECT_THROW(Shape(nullptr, nullptr, false, false, true, EyeShape::Square::Create(), nullptr), QRCodeException);
    EXPECT_EQ(shape.onPixels()->name(), "square");
}

// ---- Style ----

TEST(Style, CreatedFromNothingHasNoBackground) {
    const auto style = Style::Create(SettingsDict::object());
    EXPECT_EQ(solidColorText(style->onPixels()), "0.0,0.0,0.0,1.0");
    EXPECT_FALSE(style->background());
    EXPECT_FALSE(style->eye());
    EXPECT_FALSE(style->pupil());
    EXPECT_FALSE(style->offPixels());
    EXPECT_FALSE(style->shadow());

    const auto unknown = Style::Create(SettingsDict{{"background", archive("plaid")}});
    EXPECT_FALSE(unknown->background());
    const auto notADict = Style::Create(SettingsDict{{"background", 3}, {"onPixels", "solid"}});
    EXPECT_FALSE(notADict->background());
    EXPECT_EQ(solidColorText(notADict->onPixels()), "0.0,0.0,0.0,1.0");
}

TEST(Style, CornerRadiusIsWrittenOnlyAboveZero) {
    Style style;
    style.setBackgroundFractionalCornerRadius(0);
    EXPECT_FALSE(style.settings().contains("backgroundFractionalCornerRadius"));
    style.setBackgroundFractionalCornerRadius(-0.5);
    EXPECT_FALSE(style.settings().contains("backgroundFractionalCornerRadius"));
    style.setBackgroundFractionalCornerRadius(0.25);
    EXPECT_EQ(style.settings().at("backgroundFractionalCornerRadius"), 0.25);

    const auto negative = Style::Create(SettingsDict{{"backgroundFractionalCornerRadius", -1}});
    EXPECT_EQ(negative->backgroundFractionalCornerRadius(), 0);
    EXPECT_FALSE(negative->background());
    EXPECT_EQ(
        Style::Create(SettingsDict{{"backgroundFractionalCornerRadius", 3.5}})->backgroundFractionalCornerRadius(),
        3.5);
    EXPECT_EQ(
        Style::Create(SettingsDict{{"backgroundFractionalCornerRadius", "0.5"}})->backgroundFractionalCornerRadius(),
        0);
}

TEST(Style, ColourEntries) {
    const auto red = Style::Create(SettingsDict{{"eyeBackground", {{"color", "1,0,0,1"}}}});
    ASSERT_TRUE(red->eyeBackground());
    EXPECT_EQ(red->eyeBackground()->toSRGB(), (gfx::RGBA{1, 0, 0, 1}));
    EXPECT_FALSE(Style::Create(SettingsDict{{"eyeBackground", {{"color", "red"}}}})->eyeBackground());
    EXPECT_FALSE(Style::Create(SettingsDict{{"eyeBackground", "1,0,0,1"}})->eyeBackground());
    EXPECT_FALSE(Style::Create(SettingsDict{{"onPixelsBackground", {{"colour", "1,0,0,1"}}}})->onPixelsBackground());

    Style style;
    style.setOffPixelsBackground(gfx::Color::sRGB(0, 0.5, 1, 0.25));
    EXPECT_EQ(style.settings().at("offPixelsBackground"), (SettingsDict{{"color", "0.0,0.5,1.0,0.25"}}));
}

TEST(Style, ForegroundStyleAndResolvedFills) {
    Style style;
    style.setEye(FillStyle::Solid::gray(0.5));
    style.setPupil(FillStyle::Solid::gray(0.25));
    const auto fill = gradient();
    style.setForegroundStyle(fill);
    EXPECT_EQ(style.onPixels(), fill);
    EXPECT_EQ(style.actualEyeStyle(), fill);
    EXPECT_EQ(style.actualPupilStyle(), fill);

    const auto eye = FillStyle::Solid::gray(0.5);
    style.setEye(eye);
    EXPECT_EQ(style.actualEyeStyle(), eye);
    EXPECT_EQ(style.actualPupilStyle(), eye);
    EXPECT_THROW(style.setForegroundStyle(nullptr), QRCodeException);
    EXPECT_THROW(style.setOnPixels(nullptr), QRCodeException);
}

// ---- Design ----

TEST(Design, CreatedFromNothingKeepsTheWhiteBackground) {
    const auto design = Design::Create(SettingsDict::object());
    EXPECT_EQ(design->settings(), Design().settings());
    ASSERT_TRUE(design->style()->background());
    EXPECT_EQ(solidColorText(design->style()->background()), "1.0,1.0,1.0,1.0");
    // A "style" entry of the wrong kind keeps the default style too.
    EXPECT_TRUE(Design::Create(SettingsDict{{"style", "dark"}, {"shape", 1}})->style()->background());
    // An empty style dictionary is read as a style: no background.
    EXPECT_FALSE(Design::Create(SettingsDict{{"style", SettingsDict::object()}})->style()->background());
}

TEST(Design, QuietZoneFromSettingsIsGuarded) {
    auto read = [](SettingsDict value) {
        return Design::Create(SettingsDict{{"additionalQuietZonePixels", std::move(value)}})
            ->additionalQuietZonePixels();
    };
    EXPECT_EQ(read(2.9), 2u);
    EXPECT_EQ(read("2"), 0u);
    EXPECT_EQ(read(-1), 0u);
    EXPECT_EQ(read(-0.5), 0u);
    EXPECT_EQ(read(true), 1u);
    EXPECT_EQ(read(1e300), Design::maxAdditionalQuietZonePixels);
    EXPECT_EQ(read(std::numeric_limits<std::uint64_t>::max()), Design::maxAdditionalQuietZonePixels);
    EXPECT_EQ(read(Design::maxAdditionalQuietZonePixels), Design::maxAdditionalQuietZonePixels);
}

TEST(Design, QuietZoneFromCallersIsGuarded) {
    Design design;
    design.setAdditionalQuietZonePixels(-5);
    EXPECT_EQ(design.additionalQuietZonePixels(), 0u);
    design.setAdditionalQuietZonePixels(7u);
    EXPECT_EQ(design.additionalQuietZonePixels(), 7u);
    design.setAdditionalQuietZonePixels(std::nan(""));
    EXPECT_EQ(design.additionalQuietZonePixels(), 0u);
    design.setAdditionalQuietZonePixels(4.99);
    EXPECT_EQ(design.additionalQuietZonePixels(), 4u);
    design.setAdditionalQuietZonePixels(std::numeric_limits<double>::infinity());
    EXPECT_EQ(design.additionalQuietZonePixels(), 0u);
    design.setAdditionalQuietZonePixels(std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(design.additionalQuietZonePixels(), Design::maxAdditionalQuietZonePixels);
    design.setAdditionalQuietZonePixels(std::int64_t(1) << 40);
    EXPECT_EQ(design.additionalQuietZonePixels(), Design::maxAdditionalQuietZonePixels);
    // What is stored is what the guard let through, and only when not zero.
    EXPECT_EQ(design.settings().at("additionalQuietZonePixels"), Design::maxAdditionalQuietZonePixels);
    design.setAdditionalQuietZonePixels(3);
    EXPECT_EQ(Design::Create(throughJson(design.settings()))->additionalQuietZonePixels(), 3u);
    EXPECT_EQ(Design().settings().size(), 2u);
}

TEST(Design, ColourInitialiserAndFluentSetters) {
    Design coloured(gfx::Color::sRGB(1, 0, 0), gfx::Color::sRGB(0, 0, 1));
    EXPECT_EQ(solidColorText(coloured.style()->onPixels()), "1.0,0.0,0.0,1.0");
    EXPECT_EQ(solidColorText(coloured.style()->background()), "0.0,0.0,1.0,1.0");

    Design design;
    const auto style = design.style();
    style->setEye(FillStyle::Solid::gray(0.5));
    style->setPupil(FillStyle::Solid::gray(0.5));
    Design& same = design.foregroundColor(gfx::Color::sRGB(0, 1, 0)).backgroundColor(std::nullopt);
    EXPECT_EQ(&same, &design);
    // The style object the caller kept is the one that changed.
    EXPECT_EQ(design.style(), style);
    EXPECT_FALSE(style->eye());
    EXPECT_FALSE(style->pupil());
    EXPECT_EQ(solidColorText(style->onPixels()), "0.0,1.0,0.0,1.0");
    // No colour is a clear background, which is still written.
    ASSERT_TRUE(style->background());
    EXPECT_EQ(design.settings().at("style").at("background").at("settings").at("color"), "0.0,0.0,0.0,0.0");

    const auto fill = gradient();
    design.foregroundStyle(fill);
    EXPECT_EQ(style->actualPupilStyle(), fill);
    EXPECT_THROW(design.foregroundStyle(nullptr), QRCodeException);
    EXPECT_THROW(design.setStyle(nullptr), QRCodeException);
    EXPECT_THROW(design.setShape(nullptr), QRCodeException);
}

TEST(Design, EveryFieldRoundTripsThroughJsonAndCopiesDeeply) {
    // Every generator and flag of the shape, every field of the style.
    auto design = std::make_shared<Design>();
    design->setShape(std::make_shared<Shape>(std::make_shared<PixelShape::Abstract>(), insetSquare(0.3), true, true,
                                             false, EyeShape::Square::Create(), PupilShape::Square::Create()));
    auto& style = *design->style();
    style.setOnPixels(gradient());
    style.setOnPixelsBackground(gfx::Color::sRGB(0.1, 0.2, 0.3, 1));
    style.setOffPixels(std::make_shared<FillStyle::RadialGradient>(
        ZelGradient({{0.0, gfx::Color::sRGB(0, 1, 0)}, {1.0, gfx::Color::sRGB(1, 1, 0)}}), gfx::Point{0.25, 0.5}));
    style.setOffPixelsBackground(gfx::Color::sRGB(0.5, 0.5, 0.5, 0.5));
    style.setEye(FillStyle::Solid::sRGB(1, 0, 0));
    style.setPupil(FillStyle::Solid::sRGB(0, 0, 1));
    style.setBackground(FillStyle::Solid::sRGB(1, 1, 0.5));
    style.setBackgroundFractionalCornerRadius(0.125);
    style.setShadow(Shadow(ShadowType::innerShadow, 0.5, -0.25, 3, gfx::Color::sRGB(0, 0, 0, 0.5)));
    style.setEyeBackground(gfx::Color::sRGB(0, 1, 1, 1));
    design->setAdditionalQuietZonePixels(2);

    const SettingsDict s = design->settings();
    for (const char* key : {"onPixels", "onPixelsBackground", "offPixels", "offPixelsBackground", "eye", "pupil",
                            "background", "backgroundFractionalCornerRadius", "shadow", "eyeBackground"})
        EXPECT_TRUE(s.at("style").contains(key)) << key;
    for (const char* key : {"offPixels", "pupil"}) EXPECT_TRUE(s.at("shape").contains(key)) << key;
    EXPECT_EQ(s.at("shape").at("offPixels").at("settings").at("insetFraction"), 0.3);
    const auto loaded = Design::CreateFromJsonData(design->jsonData());
    EXPECT_EQ(throughJson(loaded->settings()), throughJson(s));
    EXPECT_EQ(loaded->shape()->onPixels()->name(), "abstract");
    EXPECT_EQ(loaded->style()->shadow()->type, ShadowType::innerShadow);

    // The copy shares no generator and no fill.
    const auto copy = design->copy();
    const auto& shape = *design->shape();
    EXPECT_NE(copy->shape()->onPixels(), shape.onPixels());
    EXPECT_NE(copy->shape()->offPixels(), shape.offPixels());
    EXPECT_NE(copy->shape()->eye(), shape.eye());
    EXPECT_NE(copy->shape()->pupil(), shape.pupil());
    EXPECT_NE(copy->style()->onPixels(), style.onPixels());
    EXPECT_NE(copy->style()->offPixels(), style.offPixels());
    EXPECT_NE(copy->style()->eye(), style.eye());
    EXPECT_NE(copy->style()->pupil(), style.pupil());
    EXPECT_NE(copy->style()->background(), style.background());
    EXPECT_EQ(copy->settings(), s);
    copy->foregroundColor(gfx::Color::sRGB(0, 0, 0));
    EXPECT_EQ(style.onPixels()->name(), "lineargradient");
    // Copies of what is not set stay unset.
    Style plain;
    plain.setBackground(nullptr);
    EXPECT_FALSE(plain.copy()->background() || plain.copy()->eye() || plain.copy()->shadow());
    EXPECT_FALSE(Shape().copyShape()->offPixels());
}

TEST(Design, BadJsonIsCannotCreateGenerator) {
    for (std::string_view text : {"[]", "not json", "", "{\"shape\": ", "3", "\"design\""}) {
        try {
            Design::CreateFromJsonData(text);
            ADD_FAILURE() << text;
        } catch (const QRCodeException& e) {
            EXPECT_EQ(e.code(), QRCodeError::cannotCreateGenerator) << text;
        }
    }
    EXPECT_EQ(Design::CreateFromJsonData(std::string_view("{}"))->settings(), Design().settings());
}

TEST(Design, SettingsPassOnAFillsError) {
    Design design;
    design.foregroundStyle(std::make_shared<FillStyle::Image>(nullptr));
    EXPECT_EQ(errorOf([&] { design.settings(); }), QRCodeError::cannotGenerateImageBase64);
    EXPECT_EQ(errorOf([&] { design.jsonData(); }), QRCodeError::cannotGenerateImageBase64);
    Style style;
    style.setOffPixels(std::make_shared<FillStyle::Image>(nullptr));
    EXPECT_EQ(errorOf([&] { style.settings(); }), QRCodeError::cannotGenerateImageBase64);
    // A radius that JSON cannot hold fails the text form, not the dictionary.
    Design infinite;
    infinite.style()->setBackgroundFractionalCornerRadius(std::numeric_limits<double>::infinity());
    EXPECT_NO_THROW(infinite.settings());
    EXPECT_THROW(infinite.jsonData(), foundation::JsonError);
}
