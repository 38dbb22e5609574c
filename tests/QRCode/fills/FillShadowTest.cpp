// Shadows of paths whose subpaths overlap (rotated or grown modules) follow
// the union of the parts; paths without overlaps shadow as with the classic
// even-odd construction.
#include "QRCode/fills/GradientFills.h"
#include "tests/QRCode/TestDrawing.h"
#include "QRCode/fills/ImageFill.h"
#include "QRCode/fills/Solid.h"
#include "image-read-write/ImageLoading.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using QRCode::QRCodeFillStyleGenerator;
using QRCode::QRCodeFillStylePtr;
using QRCode::ZelGradient;

using gfx::Color;
using QRCode::Shadow;
using QRCode::ShadowType;
namespace FillStyle = QRCode::FillStyle;

namespace {

using qrcodetest::flippedBitmap;

// Two squares drawn the same way round that overlap in (18...26)^2: the
// overlap has winding number 2.
gfx::Path overlapping() {
    gfx::Path p;
    p.addRect(gfx::Rect(10, 10, 16, 16));
    p.addRect(gfx::Rect(18, 18, 16, 16));
    return p;
}

gfx::Path separateSquares() {
    gfx::Path p;
    p.addRect(gfx::Rect(6, 6, 12, 12));
    p.addRect(gfx::Rect(24, 8, 10, 20));
    return p;
}

std::vector<QRCodeFillStylePtr> allFills() {
    auto image = std::make_shared<gfx::Image>(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) image->setPixel(x, y, {200, 100, std::uint8_t(50 * (x + y)), 255});
    const ZelGradient ramp({{0.0, Color::sRGB(1, 0, 0)}, {1.0, Color::sRGB(0, 0, 1)}});
    return {FillStyle::Solid::sRGB(1, 0, 0),
            std::make_shared<FillStyle::LinearGradient>(ramp, gfx::Point{0, 0}, gfx::Point{1, 1}),
            std::make_shared<FillStyle::RadialGradient>(ramp, gfx::Point{0.5, 0.5}),
            std::make_shared<FillStyle::Image>(image)};
}

gfx::ImagePtr render(const QRCodeFillStyleGenerator& fill, const gfx::Path& path, const Shadow* shadow) {
    auto ctx = flippedBitmap(44, 44);
    ctx->saveGState();
    fill.fill(*ctx, gfx::Rect(0, 0, 44, 44), path, 4, shadow);
    ctx->restoreGState();
    return ctx->takeImage();
}

// The even-odd construction that treats overlaps as outside; right for
// paths without overlaps, which is what it is compared on.
void referenceInnerShadow(gfx::GraphicsContext& ctx, const gfx::Path& path, const Shadow& s, double px) {
    ctx.saveGState();
    ctx.setShouldAntialias(true);
    ctx.clip(path);
    ctx.saveGState();
    gfx::Path outside;
    outside.addRect(gfx::Rect(-100000, -100000, 200000, 200000));
    outside.addPath(path);
    ctx.setFillColor(s.color);
    ctx.setShadow({s.offset.width * px, s.offset.height * px}, s.blur, s.color);
    ctx.fillPath(outside, gfx::FillRule::evenOdd);
    ctx.restoreGState();
    ctx.restoreGState();
}

void referenceDropShadow(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path, const Shadow& s,
                         double px) {
    ctx.saveGState();
    gfx::Path outside;
    outside.addRect(rect);
    outside.addPath(path);
    ctx.clip(outside, gfx::FillRule::evenOdd);
    ctx.setShadow({s.offset.width * px, s.offset.height * px}, s.blur, s.color);
    ctx.setFillColor(Color::gray(1, 1));
    ctx.fillPath(path);
    ctx.restoreGState();
}

int maxDifference(const gfx::Image& a, const gfx::Image& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const auto p = a.premultipliedPixel(x, y), q = b.premultipliedPixel(x, y);
            worst =
                std::max({worst, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b), std::abs(p.a - q.a)});
        }
    return worst;
}

} // namespace

TEST(FillShadows, EveryFillShadowsOnTheRightSideOfItsEdgeWithoutPatches) {
    const Shadow inner(ShadowType::innerShadow, 0.5, -0.5, 0, Color::sRGB(0, 1, 0, 1));
    const Shadow drop(ShadowType::dropShadow, 0.5, -0.5, 0, Color::sRGB(0, 1, 0, 1));
    for (const auto& fill : allFills()) {
        const auto plain = render(*fill, overlapping(), nullptr);
        for (const Shadow* shadow : {&inner, &drop}) {
            const auto img = render(*fill, overlapping(), shadow);
            // Deep inside the overlap (at least 4 from the union's edge) the
            // fill shows unchanged: no solid shadow, no white.
            for (int y = 19; y < 25; ++y)
                for (int x = 19; x < 25; ++x)
                    ASSERT_EQ(img->pixel(x, y), plain->pixel(x, y)) << fill->name() << " " << x << "," << y;
        }
        // The drop shadow leaves the whole union as the fill painted it.
        const auto dropped = render(*fill, overlapping(), &drop);
        for (int y = 0; y < 44; ++y) {
            for (int x = 0; x < 44; ++x) {
                if (overlapping().contains({x + 0.5, y + 0.5})) {
                    ASSERT_EQ(dropped->pixel(x, y), plain->pixel(x, y)) << fill->name() << " " << x << "," << y;
                }
            }
        }
        // The shadow itself is there, right of and below the union, and
        // nothing above it.
        EXPECT_EQ(dropped->pixel(35, 30), (gfx::Pixel{0, 255, 0, 255})) << fill->name();
        EXPECT_EQ(dropped->pixel(15, 5).a, 0) << fill->name();
        EXPECT_EQ(dropped->pixel(5, 15).a, 0) << fill->name();
        // The inner shadow stays inside: the outside, moved (2, 2) on
        // screen, falls on the top and left edges; nothing outside the union.
        const auto inside = render(*fill, overlapping(), &inner);
        EXPECT_EQ(inside->pixel(11, 15), (gfx::Pixel{0, 255, 0, 255})) << fill->name();
        EXPECT_EQ(inside->pixel(15, 11), (gfx::Pixel{0, 255, 0, 255})) << fill->name();
        for (int i = 0; i < 44; ++i) {
            EXPECT_EQ(inside->pixel(i, 5).a, 0) << fill->name();
            EXPECT_EQ(inside->pixel(5, i).a, 0) << fill->name();
            EXPECT_EQ(inside->pixel(i, 38).a, 0) << fill->name();
            EXPECT_EQ(inside->pixel(38, i).a, 0) << fill->name();
        }
    }
}

TEST(FillShadows, PathsWithoutOverlapsShadowAsTheEvenOddConstruction) {
    const Shadow inner(ShadowType::innerShadow, 0.75, 0.5, 3, Color::sRGB(0, 0.5, 1, 0.7));
    const Shadow drop(ShadowType::dropShadow, 0.75, -0.5, 3, Color::sRGB(0, 0.5, 1, 0.7));
    const gfx::Rect rect(0, 0, 44, 44);
    const ZelGradient ramp({{0.0, Color::sRGB(1, 0, 0)}, {1.0, Color::sRGB(1, 1, 0)}});
    const FillStyle::LinearGradient fill(ramp, {0, 0}, {1, 0});
    for (const Shadow* shadow : {&inner, &drop}) {
        auto ours = flippedBitmap(44, 44);
        fill.fill(*ours, rect, separateSquares(), 4, shadow);
        auto reference = flippedBitmap(44, 44);
        reference->saveGState();
        reference->clip(separateSquares());
        fill.fill(*reference, rect);
        reference->restoreGState();
        if (shadow->type == ShadowType::innerShadow)
            referenceInnerShadow(*reference, separateSquares(), *shadow, 4);
        else
            referenceDropShadow(*reference, rect, separateSquares(), *shadow, 4);
        EXPECT_LE(maxDifference(*ours->takeImage(), *reference->takeImage()), 2);
    }
}

TEST(FillShadows, PdfShadowsAgreeWithTheBitmap) {
    if (testsupport::runCommand("command -v pdftoppm >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm is not installed";
    const Shadow inner(ShadowType::innerShadow, 1, -1, 0, Color::sRGB(0, 0, 0, 1));
    const Shadow drop(ShadowType::dropShadow, 1, -1, 0, Color::sRGB(0, 0, 0, 1));
    const ZelGradient ramp({{0.0, Color::sRGB(1, 0, 0)}, {1.0, Color::sRGB(0, 0, 1)}});
    const FillStyle::LinearGradient fill(ramp, {0, 0}, {1, 1});
    const auto draw = [&](gfx::GraphicsContext& ctx) {
        ctx.scaleBy(1, -1);
        ctx.translateBy(0, -50);
        ctx.setFillColor(Color::gray(1));
        ctx.fillRect(gfx::Rect(0, 0, 100, 50));
        gfx::Path left = overlapping(), right;
        right.addPath(overlapping(), gfx::AffineTransform::translation(50, 0));
        ctx.saveGState();
        fill.fill(ctx, gfx::Rect(0, 0, 50, 50), left, 4, &inner);
        ctx.restoreGState();
        ctx.saveGState();
        fill.fill(ctx, gfx::Rect(50, 0, 50, 50), right, 4, &drop);
        ctx.restoreGState();
    };
    auto bitmap = gfx::GraphicsContext::makeBitmap(100, 50);
    draw(*bitmap);
    const auto expected = bitmap->takeImage();
    auto pdf = gfx::GraphicsContext::makePDF({100, 50});
    draw(*pdf);
    const auto bytes = pdf->finishPDF();
    ASSERT_TRUE(bytes);
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "fills.pdf", *bytes);
    ASSERT_EQ(testsupport::runCommand("pdftoppm -r 72 -png -singlefile '" + (dir / "fills.pdf").string() + "' '" +
                                      (dir / "page").string() + "'"),
              0);
    const auto page = ImageReadWrite::loadFile(dir / "page.png");
    ASSERT_EQ(page->width(), 100);
    // Away from edges (antialiasing differs) the two agree: the inner
    // shadow's bands along the top and left edges, the drop shadow right of
    // and below the union, the fill inside the overlaps, the page outside.
    const int points[][2] = {{20, 12}, {12, 20}, {22, 22}, {30, 30}, {40, 40}, {86, 30},
                             {78, 36}, {66, 28}, {72, 22}, {62, 28}, {95, 5}};
    for (const auto& [x, y] : points) {
        const auto a = expected->pixel(x, y), b = page->pixel(x, y);
        EXPECT_NEAR(a.r, b.r, 12) << x << "," << y;
        EXPECT_NEAR(a.g, b.g, 12) << x << "," << y;
        EXPECT_NEAR(a.b, b.b, 12) << x << "," << y;
    }
}
