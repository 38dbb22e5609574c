#include "tests/QRCode/ShapeTestDoubles.h"
#include "tests/QRCode/TestDrawing.h"
#include "tests/QRCode/render/RenderTestSupport.h"

#include "QRCode/design/LogoTemplate.h"
#include "QRCode/core/detail/SVGText.h"
#include "image-read-write/ImageLoading.h"
#include "platform/foundation/NumberText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using QRCode::BoolMatrix;
using QRCode::QRCodeEyeShapeGenerator;
using QRCode::QRCodeFillStylePtr;
using QRCode::QRCodePupilShapeGenerator;

using namespace rendertest;

namespace {

using qrcodetest::solidImage;

// CornerEye(true): the 10 x 10 square at the corner of its box with a
// pupil square 30...60, so placements can be worked out by hand.
using shapetest::CornerEye;

QRCode::QRCode singleModule() {
    BoolMatrix m(25);
    m.set(12, 12, true);
    return holder(m);
}

std::shared_ptr<QRCode::Design> handDesign() {
    auto design = blackOnWhite();
    design->shape()->setEye(std::make_shared<CornerEye>(true));
    design->style()->setBackgroundFractionalCornerRadius(0.5);
    return design;
}

std::string attributeOf(const QRCodeFillStylePtr& fill) {
    return fill->svgRepresentation("x", 10, nullptr).styleAttribute();
}

} // namespace

TEST(SVGWriter, ExactTextOfASmallDesign) {
    const auto design = handDesign();
    const std::string on = attributeOf(design->style()->onPixels());
    const std::string bg = attributeOf(design->style()->background());
    const std::string expected =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\" "
        "height=\"250\" width=\"250\">\n"
        "   <rect id='background-shape' " +
        bg +
        " x=\"0\" y=\"0\" width=\"250\" height=\"250\" rx=\"5px\" ry=\"5px\" />\n"
        "   <path id='eye-shape' " +
        on +
        " d=\"M0 0 L10 0 L10 10 L0 10 Z M0 250 L10 250 L10 240 L0 240 Z "
        "M250 0 L240 0 L240 10 L250 10 Z \" />\n"
        "   <path id='pupil-shape' " +
        on +
        " d=\"M30 30 L60 30 L60 60 L30 60 Z M30 220 L60 220 L60 190 L30 190 Z "
        "M220 30 L190 30 L190 60 L220 60 Z \" />\n"
        "   <path id='on-pixels-shape' " +
        on +
        " d=\"M120 120 L130 120 L130 130 L120 130 Z \" />\n"
        "</svg>\n";
    const auto code = singleModule();
    EXPECT_EQ(code.svg(250, *design, nullptr), expected);
    const auto bytes = code.svgData(250, *design, nullptr);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
}

TEST(SVGWriter, OptionalElementsAndCornerRadius) {
    const auto code = singleModule();
    auto design = handDesign();
    design->style()->setBackground(nullptr);
    std::string text = code.svg(250, *design, nullptr);
    EXPECT_EQ(text.find("<rect"), std::string::npos);
    EXPECT_EQ(text.find(">\n   <path id='eye-shape'"), text.find('>'));

    design = handDesign();
    design->style()->setBackgroundFractionalCornerRadius(0.49); // 4.9 pixels
    EXPECT_NE(code.svg(250, *design, nullptr).find(" rx=\"4px\" ry=\"4px\" />\n"), std::string::npos);
    for (double r : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        design->style()->setBackgroundFractionalCornerRadius(r);
        EXPECT_EQ(code.svg(250, *design, nullptr).find("rx="), std::string::npos) << r;
    }
    design->style()->setBackgroundFractionalCornerRadius(std::numeric_limits<double>::infinity());
    EXPECT_NE(code.svg(250, *design, nullptr).find(" rx=\"125px\" ry=\"125px\""), std::string::npos);

    // Off pixels need both the generator and the fill; their background only its colour.
    design = handDesign();
    design->style()->setOffPixels(QRCode::FillStyle::Solid::make(gfx::Color::sRGB(0, 0, 1)));
    design->style()->setOffPixelsBackground(gfx::Color::sRGB(0, 1, 0));
    text = code.svg(250, *design, nullptr);
    EXPECT_EQ(text.find("'off-pixels-shape'"), std::string::npos);
    EXPECT_NE(text.find("'off-pixels-background-shape'"), std::string::npos);
    design->shape()->setOffPixels(QRCode::PixelShape::Square::Create());
    EXPECT_NE(code.svg(250, *design, nullptr).find("'off-pixels-shape'"), std::string::npos);

    design->style()->setEyeBackground(gfx::Color::sRGB(1, 0, 0, 0.5));
    EXPECT_NE(code.svg(250, *design, nullptr)
                  .find("   <path id='eye-background-shape' fill=\"#ff0000\" fill-opacity=\"0.5\" d=\"M0 90 "),
              std::string::npos);
}

TEST(SVGWriter, NegatedModeWritesOnlyOnPixelElements) {
    const auto code = singleModule();
    auto design = handDesign();
    design->shape()->setNegatedOnPixelsOnly(true);
    design->style()->setEyeBackground(gfx::Color::sRGB(1, 0, 0));
    design->style()->setOnPixelsBackground(gfx::Color::sRGB(0, 1, 0));
    design->style()->setOffPixels(QRCode::FillStyle::Solid::make(gfx::Color::sRGB(0, 0, 1)));
    design->shape()->setOffPixels(QRCode::PixelShape::Square::Create());
    const std::string text = code.svg(250, *design, nullptr);
    for (const char* id : {"eye-background-shape", "pupil-shape", "'eye-shape", "off-pixels"})
        EXPECT_EQ(text.find(id), std::string::npos) << id;
    const auto background = text.find("'on-pixels-background-shape'");
    const auto pixels = text.find("'on-pixels-shape'");
    ASSERT_NE(background, std::string::npos);
    ASSERT_NE(pixels, std::string::npos);
    EXPECT_LT(background, pixels);
    // 624 light modules, one square each.
    const std::string d = text.substr(pixels);
    EXPECT_EQ(std::count(d.begin(), d.end(), 'Z'), 25 * 25 - 1);
}

TEST(SVGWriter, LogoIsClippedAndPlacedWithTheQuietZone) {
    const auto code = singleModule();
    auto design = handDesign();
    design->setAdditionalQuietZonePixels(2); // d = 290: m = 10, q = 20, inner 250
    gfx::Path square;
    square.addRect(gfx::Rect(0.4, 0.4, 0.2, 0.2));
    const QRCode::LogoTemplate logo(solidImage(40, 40, {255, 0, 0, 255}), square, 5, true);
    const std::string text = code.svg(290, *design, &logo);
    EXPECT_NE(text.find(" <image x=\"125\" y=\"125\" width=\"40\" height=\"40\" clip-path=\"url(#logo-mask)\"  "
                        "preserveAspectRatio=\"none\" xlink:href=\"data:image/png;base64,"),
              std::string::npos);
    EXPECT_NE(text.find("\" /><defs>\n"), std::string::npos);
    const std::string clip =
        "   <clipPath id=\"logo-mask\">\n      <path d=\"M120 120 L170 120 L170 170 L120 170 Z \" />\n"
        "   </clipPath>\n</defs>\n</svg>\n";
    ASSERT_GE(text.size(), clip.size());
    EXPECT_EQ(text.substr(text.size() - clip.size()), clip);
    // The base64 text is broken into lines of 64.
    const auto start = text.find("base64,") + 7;
    EXPECT_EQ(text.find('\n', start) - start, 64u);

    // An inset that leaves no rectangle leaves the logo out.
    const QRCode::LogoTemplate tooDeep(solidImage(40, 40, {255, 0, 0, 255}), square, 30, true);
    const std::string none = code.svg(290, *design, &tooDeep);
    EXPECT_EQ(none.find("<image"), std::string::npos);
    EXPECT_EQ(none.find("inf"), std::string::npos);
    EXPECT_EQ(none.find("logo-mask"), std::string::npos);
}

TEST(SVGWriter, NumbersAndPathData) {
    for (double v : {0.0, -0.0, 1.0, 0.5, 1.0 / 3, 2.0 / 3, -0.0004, 1e-9, 123456789.1235, -7.25, 0.0005, 0.0015, 1e20,
                     std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        std::string text;
        QRCode::svg::appendNumber(text, v);
        EXPECT_EQ(text, foundation::svgNumberText(v)) << v;
    }
    // A dimension that is not a multiple of the module count: fractions
    // with at most three digits, whole numbers in the header.
    const std::string text = singleModule().svg(251, *handDesign(), nullptr);
    EXPECT_NE(text.find("height=\"251\" width=\"251\""), std::string::npos);
    EXPECT_NE(text.find("M120.48 120.48 L130.52 120.48 "), std::string::npos);
}

TEST(SVGWriter, XmlLintAcceptsTheText) {
    const QRCode::QRCode code(std::string("svg check"), QRCode::ErrorCorrection::high);
    auto design = blackOnWhite();
    design->style()->setShadow(QRCode::Shadow());
    design->style()->setEyeBackground(gfx::Color::sRGB(1, 1, 0));
    design->style()->setOnPixelsBackground(gfx::Color::sRGB(0.9, 0.9, 1));
    auto logo = QRCode::LogoTemplate::CircleCenter(solidImage(32, 32, {0, 0, 255, 255}));
    testsupport::TempDir dir;
    testsupport::writeTextFile(dir / "code.svg", code.svg(300, *design, logo.get()));
    EXPECT_EQ(testsupport::runCommand("xmllint --noout '" + (dir / "code.svg").string() + "'"), 0);
}
