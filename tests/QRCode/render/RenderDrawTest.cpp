#include "tests/QRCode/ErrorOf.h"
#include "tests/QRCode/TestDrawing.h"
#include "tests/QRCode/render/RenderTestSupport.h"
#include "tests/support/TestSupport.h"

#include "QRCode/design/LogoTemplate.h"
#include "QRCode/QRCodeError.h"
#include "image-read-write/ImageLoading.h"
#include "image-read-write/ImageReadWriteError.h"
#include "platform/detector/QRDetector.h"
#include "platform/gfx/GraphicsContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

using QRCode::BoolMatrix;
using QRCode::QRCodeError;
using QRCode::QRCodeException;

using namespace rendertest;

namespace {

using qrcodetest::solidImage;

using qrcodetest::errorOf;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

bool isRed(const gfx::Image& image, int x, int y) {
    const auto p = image.pixel(x, y);
    return p.r > 200 && p.g < 50 && p.b < 50 && p.a > 200;
}

std::string decoded(const gfx::Image& image) {
    const auto found = platform::detectQRCodes(image);
    return found.empty() ? std::string("<nothing>") : found.front().text;
}

} // namespace

TEST(RenderDraw, QuietZoneGeometryAndRoundedBackground) {
    // 290 x 290, n = 25, two extra quiet modules: m = 10, q = 20.
    const BoolMatrix matrix = randomMatrix(25);
    const auto code = holder(matrix);
    auto design = blackOnWhite();
    design->setAdditionalQuietZonePixels(2);
    design->style()->setBackgroundFractionalCornerRadius(1.5); // radius 15
    const auto image = code.cgImage(290, *design, nullptr);
    ASSERT_EQ(image->width(), 290);
    EXPECT_EQ(image->premultipliedPixel(1, 1).a, 0); // outside the rounded corner
    EXPECT_EQ(image->premultipliedPixel(288, 288).a, 0);
    EXPECT_EQ(image->pixel(145, 0), (gfx::Pixel{255, 255, 255, 255}));
    EXPECT_EQ(image->pixel(10, 145), (gfx::Pixel{255, 255, 255, 255})); // quiet zone
    for (int r = 0; r < 25; ++r)
        for (int c = 0; c < 25; ++c) {
            if (isReserved(r, c, 25)) continue;
            const int grey = greyOnWhite(*image, 25 + 10 * c, 25 + 10 * r);
            EXPECT_EQ(grey < 128, matrix(r, c)) << r << "," << c;
        }
    // The first eye ring (module 1 of its block) is black at the top left.
    EXPECT_LT(greyOnWhite(*image, 35, 35), 128);
}

TEST(RenderDraw, CornerRadiusIsHeldToHalfTheSmallerSide) {
    const auto code = holder(randomMatrix(25));
    auto design = blackOnWhite();
    design->style()->setBackgroundFractionalCornerRadius(1000);
    design->style()->setOnPixels(QRCode::FillStyle::Solid::make(gfx::Color::gray(0, 0)));
    design->style()->setEye(design->style()->onPixels());
    const auto image = code.cgImage(gfx::Size{300, 200}, *design, nullptr);
    // A radius of 100 on a 300 x 200 rectangle: the sides' midpoints and the
    // centre are painted, the corners are not.
    EXPECT_EQ(image->pixel(150, 1).a, 255);
    EXPECT_EQ(image->pixel(150, 100).a, 255);
    EXPECT_EQ(image->pixel(1, 100).a, 255);
    EXPECT_EQ(image->premultipliedPixel(3, 3).a, 0);
    EXPECT_EQ(image->premultipliedPixel(296, 196).a, 0);
}

TEST(RenderDraw, NegatedModeDrawsLightModulesInTheOnPixelFill) {
    const BoolMatrix matrix = randomMatrix(25);
    const auto code = holder(matrix);
    auto design = blackOnWhite();
    design->shape()->setNegatedOnPixelsOnly(true);
    design->style()->setEye(QRCode::FillStyle::Solid::make(gfx::Color::sRGB(1, 0, 0)));
    const auto image = code.cgImage(250, *design, nullptr);
    for (int r = 0; r < 25; ++r)
        for (int c = 0; c < 25; ++c) {
            const auto p = image->pixel(5 + 10 * c, 5 + 10 * r);
            EXPECT_EQ(p.r < 128, !matrix(r, c)) << r << "," << c; // the eye fill is never used
            EXPECT_EQ(p.g < 128, !matrix(r, c)) << r << "," << c;
        }
}

TEST(RenderDraw, LogoIsClippedToItsPathOverTheModuleGrid) {
    const auto code = holder(BoolMatrix(25).flipped());
    auto design = blackOnWhite();
    design->setAdditionalQuietZonePixels(2); // q = 20, grid 250 from 20
    gfx::Path square;
    square.addRect(gfx::Rect(0.4, 0.4, 0.2, 0.2));
    const QRCode::LogoTemplate logo(solidImage(8, 8, {255, 0, 0, 255}), square, 0, true);
    const auto image = code.cgImage(290, *design, &logo);
    EXPECT_TRUE(isRed(*image, 121, 121));
    EXPECT_TRUE(isRed(*image, 168, 168));
    EXPECT_TRUE(isRed(*image, 145, 145));
    EXPECT_FALSE(isRed(*image, 118, 145));
    EXPECT_FALSE(isRed(*image, 145, 172));
    // The masked modules around the logo's edge are gone: module (10, 10)
    // has its centre at (125, 125), inside the logo, module (9, 9) does not.
    EXPECT_LT(greyOnWhite(*image, 115, 115), 128);

    // An image with a top half of blue comes out upright.
    auto split = std::make_shared<gfx::Image>(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            split->setPixel(x, y, y < 4 ? gfx::Pixel{0, 0, 255, 255} : gfx::Pixel{255, 0, 0, 255});
    const QRCode::LogoTemplate upright(split, square, 0, true);
    const auto flipped = code.cgImage(290, *design, &upright);
    EXPECT_EQ(flipped->pixel(145, 125).b, 255);
    EXPECT_TRUE(isRed(*flipped, 145, 165));

    // An inset larger than the box draws no image (and does not fail).
    const QRCode::LogoTemplate tooDeep(solidImage(8, 8, {255, 0, 0, 255}), square, 40, true);
    const auto none = code.cgImage(290, *design, &tooDeep);
    EXPECT_FALSE(isRed(*none, 145, 145));
}

TEST(RenderDraw, EmptyMatrixOrRectDrawsNothingAndSaysWhy) {
    const auto empty = holder(BoolMatrix());
    testing::internal::CaptureStdout();
    const auto image = empty.cgImage(64, *blackOnWhite(), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "additionalQuietSpace too large\n");
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(image->premultipliedPixel(x, y).a, 0);

    auto ctx = gfx::GraphicsContext::makeBitmap(10, 10);
    testing::internal::CaptureStdout();
    holder(randomMatrix(25)).draw(*ctx, gfx::Rect(0, 0, 0, 10), *blackOnWhite(), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "additionalQuietSpace too large\n");
}

TEST(RenderDraw, BitmapSizesAndRefusals) {
    const auto code = holder(randomMatrix(25));
    const auto design = blackOnWhite();
    const auto odd = code.cgImage(gfx::Size{100.7, 100.7}, *design, nullptr);
    EXPECT_EQ(odd->width(), 100);
    EXPECT_EQ(odd->height(), 100);
    // The top of the symbol is in the first rows: with no data modules, eyes
    // at the top left, top right and bottom left, none at the bottom right.
    const auto top = holder(BoolMatrix(25)).cgImage(250, *design, nullptr);
    EXPECT_LT(greyOnWhite(*top, 15, 15), 128);
    EXPECT_LT(greyOnWhite(*top, 235, 15), 128);
    EXPECT_GT(greyOnWhite(*top, 235, 235), 128);

    for (gfx::Size bad : {gfx::Size{0, 10}, gfx::Size{10, -1}, gfx::Size{kNaN, 10}, gfx::Size{10, kInf},
                          gfx::Size{0.5, 0.5}, gfx::Size{1e9, 1e9}, gfx::Size{1e300, 1}}) {
        EXPECT_EQ(errorOf([&] { code.cgImage(bad, *design, nullptr); }), QRCodeError::cannotGenerateImage)
            << bad.width << " x " << bad.height;
    }
    for (double resolution : {0.0, -72.0, kNaN, kInf}) {
        EXPECT_EQ(errorOf([&] { code.pdfData(100, resolution, *design, nullptr); }), QRCodeError::cannotGenerateImage)
            << resolution;
    }
    for (gfx::Size bad : {gfx::Size{1e300, 1e300}, gfx::Size{0, 100}, gfx::Size{kNaN, 100}}) {
        EXPECT_EQ(errorOf([&] { code.pdfData(bad, 72, *design, nullptr); }), QRCodeError::cannotGenerateImage)
            << bad.width << " x " << bad.height;
    }
    EXPECT_EQ(errorOf([&] { code.pngData(100, kNaN, *design, nullptr); }), QRCodeError::cannotGenerateImage);
    for (double dpi : {0.0, -1.0}) {
        try {
            code.pngData(100, dpi, *design, nullptr);
            ADD_FAILURE() << dpi;
        } catch (const ImageReadWriteException& e) {
            EXPECT_EQ(e.code(), ImageReadWriteError::invalidDPI);
        }
    }
}

TEST(RenderDraw, PDFPageFollowsTheResolutionAndPNGCarriesTheDPI) {
    const auto code = holder(randomMatrix(25));
    const auto design = blackOnWhite();
    auto mediaBox = [](const std::vector<std::uint8_t>& pdf) {
        const std::string text(pdf.begin(), pdf.end());
        const auto at = text.find("/MediaBox");
        if (at == std::string::npos) return std::string("none");
        std::istringstream fields(text.substr(at + 9, 64));
        std::string open, x0, y0, width, height;
        fields >> open >> x0 >> y0 >> width >> height;
        if (open != "[" || x0 != "0" || y0 != "0") return std::string("none");
        return width + "x" + height;
    };
    EXPECT_EQ(mediaBox(code.pdfData(1024, 144, *design, nullptr)), "512x512");
    EXPECT_EQ(mediaBox(code.pdfData(1024, 72, *design, nullptr)), "1024x1024");

    const auto png = code.pngData(512, 144, *design, nullptr);
    const auto loaded = ImageReadWrite::load(png);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->width(), 512);
    // pHYs: 144 dpi is 5669 pixels per metre on both axes, unit metre.
    const std::string text(png.begin(), png.end());
    const auto at = text.find("pHYs");
    ASSERT_NE(at, std::string::npos);
    const auto be32 = [&](std::size_t i) {
        return (std::uint32_t(png[i]) << 24) | (std::uint32_t(png[i + 1]) << 16) | (std::uint32_t(png[i + 2]) << 8) |
               std::uint32_t(png[i + 3]);
    };
    EXPECT_EQ(be32(at + 4), 5669u);
    EXPECT_EQ(be32(at + 8), 5669u);

    EXPECT_FALSE(code.jpegData(128, 72, *design, nullptr, kInf).empty());
    EXPECT_FALSE(code.tiffData(128, 72, *design, nullptr, 0.5).empty());
}

TEST(RenderDraw, RenderedSymbolsDecode) {
    const std::string message = "https://example.com/rendering/check?id=1234567890";
    const QRCode::QRCode code(message, QRCode::ErrorCorrection::high);

    EXPECT_EQ(decoded(*code.cgImage(512, *blackOnWhite(), nullptr)), message);

    auto shadowed = blackOnWhite();
    shadowed->style()->setShadow(QRCode::Shadow());
    EXPECT_EQ(decoded(*code.cgImage(512, *shadowed, nullptr)), message);

    auto logo = QRCode::LogoTemplate::CircleCenter(solidImage(16, 16, {200, 30, 30, 255}));
    auto quiet = blackOnWhite();
    quiet->setAdditionalQuietZonePixels(3);
    EXPECT_EQ(decoded(*code.cgImage(512, *quiet, logo.get())), message);
}

TEST(RenderDraw, EyeBackgroundAndOffPixelLayers) {
    // Module size 10 on 250: the first eye's light ring is module 2 of its
    // block, the outer ring is module 0.
    BoolMatrix matrix(25);
    matrix.set(12, 12, true);
    const auto code = holder(matrix);
    auto design = blackOnWhite();
    design->style()->setEyeBackground(gfx::Color::sRGB(1, 1, 0));
    design->style()->setOffPixels(QRCode::FillStyle::Solid::make(gfx::Color::sRGB(0, 0, 1)));
    design->style()->setOffPixelsBackground(gfx::Color::sRGB(0, 1, 0));

    // Without an off-pixel generator neither off-pixel layer is drawn.
    auto image = code.cgImage(250, *design, nullptr);
    EXPECT_EQ(image->pixel(25, 25), (gfx::Pixel{255, 255, 0, 255})); // eye background shows in the ring gap
    EXPECT_EQ(image->pixel(15, 15), (gfx::Pixel{0, 0, 0, 255}));     // the eye ring is over it
    EXPECT_EQ(image->pixel(115, 115), (gfx::Pixel{255, 255, 255, 255}));

    auto offShape = QRCode::PixelShape::Square::Create();
    offShape->common().setInsetFraction(0.5); // leaves the background's edge showing
    design->shape()->setOffPixels(offShape);
    image = code.cgImage(250, *design, nullptr);
    EXPECT_EQ(image->pixel(115, 115), (gfx::Pixel{0, 0, 255, 255}));   // off pixel
    EXPECT_EQ(image->pixel(111, 111), (gfx::Pixel{0, 255, 0, 255}));   // its square background
    EXPECT_EQ(image->pixel(125, 125), (gfx::Pixel{0, 0, 0, 255}));     // the on module
    EXPECT_EQ(image->pixel(5, 125), (gfx::Pixel{255, 255, 255, 255})); // outer ring left alone

    design->shape()->setExtendOffPixelsIntoEmptyQRCodeComponents(true);
    image = code.cgImage(250, *design, nullptr);
    EXPECT_EQ(image->pixel(5, 125), (gfx::Pixel{0, 0, 255, 255}));
}

namespace {

// A mask of `curves` cubics from the logo's middle out and back, their
// control points 1e3 to 1e6 logo sides away in all directions.
gfx::Path farReachingCurves(int curves) {
    std::uint32_t seed = 2024;
    const auto random = [&] {
        seed = seed * 1664525u + 1013904223u;
        return double(seed >> 8) / double(1u << 24);
    };
    const auto far = [&] {
        const double distance = std::pow(10.0, 3 + 3 * random()), angle = 2 * M_PI * random();
        return gfx::Point{0.5 + distance * std::cos(angle), 0.5 + distance * std::sin(angle)};
    };
    gfx::Path path;
    path.moveTo({0.5, 0.5});
    for (int i = 0; i < curves; ++i) path.curveTo(far(), far(), {0.35 + 0.3 * random(), 0.35 + 0.3 * random()});
    path.closeSubpath();
    return path;
}

// A spiral of `turns` half-turn cubics across the logo.
gfx::Path spiralMask(int turns) {
    constexpr double k = 4.0 / 3;
    gfx::Path path;
    path.moveTo({0.5, 0.5});
    for (int i = 0; i < turns; ++i) {
        const double r = 0.4 * (i + 1) / turns, side = i % 2 == 0 ? 1 : -1;
        path.curveTo({0.5 + side * r, 0.5 + side * k * r}, {0.5 - side * r, 0.5 + side * k * r}, {0.5 - side * r, 0.5});
    }
    path.closeSubpath();
    return path;
}

} // namespace

TEST(RenderDraw, LogoMasksAreDrawnWithinABudgetOrLeftOutWithAWarning) {
    const std::string message = "https://example.com/logo-masks";
    const QRCode::QRCode code(message, QRCode::ErrorCorrection::high);
    auto design = blackOnWhite();
    design->setAdditionalQuietZonePixels(3);
    const auto red = solidImage(16, 16, {255, 0, 0, 255});
    const std::size_t before = testsupport::peakResidentBytes();
    const std::string warning = "Logo mask too complex to draw at this size; drawing the code without the logo\n";
    struct Case {
        const char* name;
        gfx::Path mask;
        bool drawn;
    };
    // Curves reaching a million logo sides out flatten to more points at
    // any size than a clip may take; a spiral of ten thousand turns stays
    // within it up to 4096 pixels.
    for (const Case& c :
         {Case{"far-reaching", farReachingCurves(50000), false}, Case{"spiral", spiralMask(10000), true}}) {
        const QRCode::LogoTemplate logo(red, c.mask, 0, true);
        for (const int side : {64, 256, 4096}) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(side));
            testing::internal::CaptureStdout();
            const auto image = code.cgImage(side, *design, &logo);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), c.drawn ? "" : warning);
            EXPECT_EQ(isRed(*image, side / 2, side / 2), c.drawn);
            if (!c.drawn && side == 256) {
                EXPECT_EQ(decoded(*image), message);
            }
        }
    }
    // The address sanitizer keeps freed blocks aside for a while (and pads
    // each): it doubles what the renders above peak at.
#if defined(__SANITIZE_ADDRESS__)
    constexpr std::size_t budget = std::size_t(600) << 20;
#else
    constexpr std::size_t budget = std::size_t(300) << 20;
#endif
    EXPECT_LT(testsupport::peakResidentBytes() - before, budget);
}
