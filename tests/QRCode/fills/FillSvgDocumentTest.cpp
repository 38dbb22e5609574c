// Every fill's SVG fragments, with and without shadows, make a document that
// an XML validator accepts and a renderer draws.
#include "QRCode/fills/GradientFills.h"
#include "QRCode/fills/ImageFill.h"
#include "QRCode/fills/Solid.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using QRCode::QRCodeFillStylePtr;
using QRCode::ZelGradient;

using gfx::Color;
using QRCode::Shadow;
using QRCode::ShadowType;
namespace FillStyle = QRCode::FillStyle;

TEST(FillSvgDocument, XmllintAcceptsEveryFragment) {
    if (testsupport::runCommand("command -v xmllint >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint is not installed";
    auto image = std::make_shared<gfx::Image>(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) image->setPixel(x, y, {std::uint8_t(x * 30), std::uint8_t(y * 30), 128, 255});
    const ZelGradient ramp({{0.0, Color::sRGB(1, 0, 0)}, {0.5, Color::gray(1, 0.5)}, {1.0, Color::sRGB(0, 0, 1)}});
    const std::vector<QRCodeFillStylePtr> fills = {
        FillStyle::Solid::sRGB(0.2, 0.4, 0.6, 0.8),
        std::make_shared<FillStyle::LinearGradient>(ramp, gfx::Point{0, 0}, gfx::Point{1, 1}),
        std::make_shared<FillStyle::RadialGradient>(ramp, gfx::Point{0.5, 0.5}),
        std::make_shared<FillStyle::Image>(image),
    };
    const Shadow drop;
    const Shadow inner(ShadowType::innerShadow, 0.1, 0.1, 2, Color::sRGB(0, 0, 0, 0.5));

    std::string defs, body;
    int n = 0;
    for (const auto& fill : fills) {
        for (const Shadow* shadow : {static_cast<const Shadow*>(nullptr), &drop, &inner}) {
            const std::string id = "fill" + std::to_string(n);
            const auto svg = fill->svgRepresentation(id, 10, shadow);
            if (svg.styleDefinition()) defs += *svg.styleDefinition();
            body += "<rect x=\"" + std::to_string(10 + (n % 3) * 100) + "\" y=\"" + std::to_string(10 + (n / 3) * 100) +
                    "\" width=\"80\" height=\"80\" " + svg.styleAttribute() + "/>\n";
            ++n;
        }
    }
    const std::string document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"300\" "
        "height=\"400\" viewBox=\"0 0 300 400\">\n<defs>\n" +
        defs + "</defs>\n" + body + "</svg>\n";
    testsupport::TempDir dir;
    testsupport::writeTextFile(dir / "fills.svg", document);
    std::string output;
    EXPECT_EQ(testsupport::runCommand("xmllint --noout '" + (dir / "fills.svg").string() + "' 2>&1", &output), 0)
        << output;
    // No filter inside a gradient element.
    for (const char* open : {"<linearGradient", "<radialGradient"}) {
        for (std::size_t at = defs.find(open); at != std::string::npos; at = defs.find(open, at + 1)) {
            const std::size_t close = defs.find("Gradient>", at);
            EXPECT_EQ(defs.substr(at, close - at).find("<filter"), std::string::npos);
        }
    }
}
