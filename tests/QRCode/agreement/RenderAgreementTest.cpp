#include "tests/QRCode/render/RenderTestSupport.h"

#include "image-read-write/ImageLoading.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace rendertest;

// The same design as a bitmap, as SVG rasterised by rsvg-convert and as PDF
// rasterised by pdftoppm: every module centre (quiet zone included) is dark
// or light alike in all three.
TEST(RenderAgreement, BitmapSVGAndPDFAgreeAtEveryModuleCentre) {
    const QRCode::QRCode code(std::string("https://example.com/agreement"), QRCode::ErrorCorrection::medium);
    const auto n = static_cast<int>(code.current().dimension());
    auto design = blackOnWhite();
    design->setAdditionalQuietZonePixels(2);
    design->style()->setEye(QRCode::FillStyle::Solid::make(gfx::Color::sRGB(0.1, 0.1, 0.5)));
    design->style()->setEyeBackground(gfx::Color::sRGB(1, 1, 0.8));
    const int cells = n + 4;
    const int d = cells * 9 + 3; // module size 9.1: edges off the pixel grid

    testsupport::TempDir dir;
    const auto png = code.cgImage(d, *design, nullptr);
    testsupport::writeTextFile(dir / "code.svg", code.svg(d, *design, nullptr));
    testsupport::writeFile(dir / "code.pdf", code.pdfData(d, 72, *design, nullptr));
    const std::string size = std::to_string(d);
    ASSERT_EQ(testsupport::runCommand("rsvg-convert -w " + size + " -h " + size + " -o '" + (dir / "svg.png").string() +
                                      "' '" + (dir / "code.svg").string() + "'"),
              0);
    ASSERT_EQ(testsupport::runCommand("pdftoppm -r 72 -png -singlefile '" + (dir / "code.pdf").string() + "' '" +
                                      (dir / "pdf").string() + "'"),
              0);
    const auto svg = ImageReadWrite::loadFile(dir / "svg.png");
    const auto pdf = ImageReadWrite::loadFile(dir / "pdf.png");
    ASSERT_TRUE(svg && pdf);
    ASSERT_EQ(svg->width(), d);
    ASSERT_EQ(pdf->width(), d);

    const double m = double(d) / cells;
    int dark = 0;
    for (int r = 0; r < cells; ++r)
        for (int c = 0; c < cells; ++c) {
            const int x = int((c + 0.5) * m), y = int((r + 0.5) * m);
            const bool expected = greyOnWhite(*png, x, y) < 128;
            dark += expected;
            EXPECT_EQ(greyOnWhite(*svg, x, y) < 128, expected) << "svg " << r << "," << c;
            EXPECT_EQ(greyOnWhite(*pdf, x, y) < 128, expected) << "pdf " << r << "," << c;
        }
    EXPECT_GT(dark, cells * cells / 5);
}

// A drop shadow in a PDF is a raster at a resolution that follows its blur:
// the file stays small, and pdftoppm's picture of it matches the bitmap
// render (on average within a few levels; edges differ a little between the
// two rasterisers).
TEST(RenderAgreement, ShadowedPDFIsSmallAndMatchesTheBitmap) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += char('a' + (i * 7) % 26);
    const QRCode::QRCode code(text, QRCode::ErrorCorrection::low);
    auto design = blackOnWhite();
    design->style()->setShadow(QRCode::Shadow());
    constexpr int d = 1024;

    testsupport::TempDir dir;
    const auto bitmap = code.cgImage(d, *design, nullptr);
    const auto pdfBytes = code.pdfData(d, 72, *design, nullptr);
    EXPECT_LT(pdfBytes.size(), 400u * 1024);
    testsupport::writeFile(dir / "code.pdf", pdfBytes);
    ASSERT_EQ(testsupport::runCommand("pdftoppm -r 72 -png -singlefile '" + (dir / "code.pdf").string() + "' '" +
                                      (dir / "pdf").string() + "'"),
              0);
    const auto pdf = ImageReadWrite::loadFile(dir / "pdf.png");
    ASSERT_TRUE(pdf);
    ASSERT_EQ(pdf->width(), d);
    double sum = 0;
    for (int y = 0; y < d; ++y)
        for (int x = 0; x < d; ++x) sum += std::abs(greyOnWhite(*pdf, x, y) - greyOnWhite(*bitmap, x, y));
    EXPECT_LT(sum / (double(d) * d), 8.0);
}
