#include "QRCode/core/detail/DrawingHelpers.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

using QRCode::drawCenteredImage;
using QRCode::drawInnerShadow;
using QRCode::isEven;
using QRCode::isOdd;
using QRCode::makeSRGBBitmapImage;
using QRCode::PathFromRectCorners;
using QRCode::RectPathBuilder;
using QRCode::squareSize;
using QRCode::usingGState;
using QRCode::usingTransparencyLayer;

using gfx::Color;
using gfx::Path;
using gfx::Point;
using gfx::Rect;
using Type = gfx::Path::ElementType;

namespace {
std::vector<Type> types(const Path& p) {
    std::vector<Type> out;
    for (const auto& e : p.elements()) out.push_back(e.type);
    return out;
}
gfx::Pixel at(const gfx::Image& img, double x, double y) { return img.pixel(int(x), img.height() - 1 - int(y)); }
} // namespace

TEST(DrawingHelpers, StateBlocksRestoreEvenWhenTheBodyThrows) {
    auto ctx = gfx::GraphicsContext::makeBitmap(10, 10);
    EXPECT_THROW(usingGState(*ctx,
                             [](gfx::GraphicsContext& c) {
                                 c.translateBy(5, 5);
                                 throw std::runtime_error("stop");
                             }),
                 std::runtime_error);
    EXPECT_TRUE(ctx->ctm().isIdentity());
    EXPECT_EQ(usingGState(*ctx, [](gfx::GraphicsContext&) { return 7; }), 7);

    ctx->setShadow({1, 1}, 0, Color::sRGB(0, 0, 0));
    usingTransparencyLayer(*ctx, [](gfx::GraphicsContext& c) { EXPECT_FALSE(c.shadow().isSet); });
    EXPECT_TRUE(ctx->shadow().isSet);
}

TEST(DrawingHelpers, InnerShadowStaysInsideThePath) {
    auto ctx = gfx::GraphicsContext::makeBitmap(100, 100);
    Path circle;
    circle.addEllipse(Rect(20, 20, 60, 60));
    ctx->setFillColor(Color::sRGB(1, 1, 1));
    ctx->fillPath(circle);
    drawInnerShadow(*ctx, circle, Color::sRGB(1, 0, 0), {0, -6}, 4);
    drawInnerShadow(*ctx, circle, std::nullopt, {0, -6}, 4); // nothing without a colour
    auto img = ctx->makeImage();
    for (const Point p : {Point{5, 5}, Point{50, 95}, Point{50, 15}, Point{19, 50}, Point{85, 85}}) {
        EXPECT_EQ(at(*img, p.x, p.y).a, 0) << p.x << "," << p.y;
    }
    // The shadow falls down from the top edge (offset y -6, y up) ...
    const auto top = at(*img, 50, 77);
    EXPECT_GT(top.r, 200);
    EXPECT_LT(top.g, 120);
    // ... not at the bottom, and not in the middle.
    EXPECT_GT(at(*img, 50, 23).g, 230);
    EXPECT_GT(at(*img, 50, 50).g, 230);
    EXPECT_FALSE(ctx->shadow().isSet);
}

TEST(DrawingHelpers, SRGBBitmapImages) {
    const auto img =
        makeSRGBBitmapImage(Color::sRGB(0, 0, 1), {20.9, 10.2}, [](gfx::GraphicsContext& c, gfx::Size size) {
            EXPECT_EQ(size, (gfx::Size{20.9, 10.2}));
            c.setFillColor(Color::sRGB(1, 0, 0));
            c.fillRect(Rect(0, 0, 10, 10.2));
        });
    ASSERT_TRUE(img);
    EXPECT_EQ(img->width(), 20);
    EXPECT_EQ(img->height(), 10);
    EXPECT_EQ(img->pixel(2, 2), (gfx::Pixel{255, 0, 0, 255}));
    EXPECT_EQ(img->pixel(15, 2), (gfx::Pixel{0, 0, 255, 255}));
    EXPECT_TRUE(makeSRGBBitmapImage(std::nullopt, {4, 4}));
    for (const gfx::Size bad :
         {gfx::Size{0, 10}, gfx::Size{0.5, 10}, gfx::Size{-3, 3}, gfx::Size{std::numeric_limits<double>::infinity(), 1},
          gfx::Size{std::numeric_limits<double>::quiet_NaN(), 1}, gfx::Size{1e30, 1e30}}) {
        EXPECT_FALSE(makeSRGBBitmapImage(std::nullopt, bad)) << bad.width;
    }
}

TEST(DrawingHelpers, CenteredImageDrawing) {
    auto logo = std::make_shared<gfx::Image>(1, 1);
    logo->setPixel(0, 0, {0, 255, 0, 255});
    const auto img = makeSRGBBitmapImage(std::nullopt, {40, 40}, [&](gfx::GraphicsContext& c, gfx::Size s) {
        drawCenteredImage(c, s, logo, {10, 20});
    });
    EXPECT_EQ(img->pixel(20, 20).g, 255);
    EXPECT_EQ(img->pixel(15, 10).a, 255);
    EXPECT_EQ(img->pixel(14, 20).a, 0);
    EXPECT_EQ(img->pixel(25, 20).a, 0);
    EXPECT_EQ(img->pixel(20, 9).a, 0);
}

TEST(DrawingHelpers, PathFromRectCornersRoundsOnlyFlaggedCorners) {
    const Path plain = PathFromRectCorners(0, Rect(1, 2, 3, 4), 1);
    Path expected;
    expected.moveTo({1, 2});
    expected.lineTo({4, 2});
    expected.lineTo({4, 6});
    expected.lineTo({1, 6});
    expected.lineTo({1, 2});
    expected.closeSubpath();
    EXPECT_EQ(plain, expected);

    const Path p = PathFromRectCorners(2 + 8 + 16, Rect(30, 30, 30, 30), 6);
    EXPECT_EQ(types(p), (std::vector<Type>{Type::moveToPoint, Type::addLineToPoint, Type::addCurveToPoint,
                                           Type::addLineToPoint, Type::addLineToPoint, Type::addCurveToPoint,
                                           Type::addLineToPoint, Type::closeSubpath}));
    EXPECT_EQ(p.elements()[2].points[0], (Point{60, 30})); // control at the sharp corner
    EXPECT_EQ(p.elements()[2].points[1], (Point{60, 36})); // second control equals the end
    EXPECT_EQ(p.elements()[2].points[2], (Point{60, 36}));
    EXPECT_TRUE(p.contains({30.2, 30.2}));  // sharp
    EXPECT_TRUE(p.contains({59.8, 59.8}));  // sharp
    EXPECT_FALSE(p.contains({59.8, 30.2})); // rounded
    EXPECT_FALSE(p.contains({30.2, 59.8})); // rounded
}

TEST(DrawingHelpers, RectPathBuilderCutsTwoCorners) {
    const Path flat = RectPathBuilder(false, Rect(30, 30, 30, 30), 3);
    ASSERT_EQ(flat.size(), 7u);
    EXPECT_EQ(flat.elements()[1].points[0], (Point{45, 30}));
    EXPECT_EQ(flat.elements()[2].points[0], (Point{60, 45}));
    EXPECT_EQ(flat.elements()[6].points[0], (Point{30, 30}));
    EXPECT_FALSE(flat.contains({59, 31}));
    EXPECT_FALSE(flat.contains({31, 59}));
    EXPECT_TRUE(flat.contains({45, 45}));

    const Path round = RectPathBuilder(true, Rect(30, 30, 30, 30), 3);
    ASSERT_EQ(round.size(), 13u);
    EXPECT_EQ(round.elements()[0].points[0], (Point{33, 30}));
    EXPECT_EQ(round.elements()[12].points[2], (Point{33, 30})); // ends where it started, no close
    EXPECT_EQ(round.elements()[12].type, Type::addCurveToPoint);
}

TEST(DrawingHelpers, NumericConveniences) {
    EXPECT_EQ(squareSize(3), (gfx::Size{3, 3}));
    EXPECT_EQ(squareSize(2.5), (gfx::Size{2.5, 2.5}));
    EXPECT_TRUE(isOdd(-3));
    EXPECT_TRUE(isEven(-4));
    EXPECT_TRUE(isEven(0));
    EXPECT_EQ((Point{1, 2} * 3), (Point{3, 6}));
}
