#include "platform/gfx/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using gfx::AffineTransform;
using gfx::Point;
using gfx::Rect;

namespace {
void expectNear(Point a, Point b) {
    EXPECT_NEAR(a.x, b.x, 1e-12);
    EXPECT_NEAR(a.y, b.y, 1e-12);
}
} // namespace

TEST(Rect, InsetEdgesUnionAndIntersectionOfStandardizedRects) {
    const Rect r(10, 20, 30, 40);
    EXPECT_EQ(r.insetBy(5, 5), Rect(15, 25, 20, 30));
    EXPECT_EQ(r.insetBy(-1, -2), Rect(9, 18, 32, 44));
    EXPECT_EQ(r.insetBy(15, 0), Rect(25, 20, 0, 40)); // exactly collapsed is not null
    EXPECT_TRUE(r.insetBy(15.5, 0).isNull());
    EXPECT_TRUE(r.insetBy(0, 21).isNull());
    EXPECT_TRUE(r.insetBy(0, 21).isEmpty());
    // A negative size is standardized first.
    const Rect negative(40, 60, -30, -40);
    EXPECT_EQ(negative.insetBy(5, 5), Rect(15, 25, 20, 30));
    EXPECT_EQ(negative.minX(), 10);
    EXPECT_EQ(negative.maxY(), 60);
    EXPECT_EQ(negative.midX(), 25);
    EXPECT_EQ(Rect(0, 0, 10, 10).intersection(Rect(5, 5, 10, 10)), Rect(5, 5, 5, 5));
    EXPECT_TRUE(Rect(0, 0, 1, 1).intersection(Rect(2, 2, 1, 1)).isNull());
    EXPECT_EQ(Rect::null().unionWith(Rect(1, 2, 3, 4)), Rect(1, 2, 3, 4));
    EXPECT_EQ(Rect(0, 0, 1, 1).unionWith(Rect(2, 3, 1, 1)), Rect(0, 0, 3, 4));
    EXPECT_TRUE(Rect(0, 0, 2, 2).contains({0, 0}));
    EXPECT_FALSE(Rect(0, 0, 2, 2).contains({2, 1}));
}

TEST(AffineTransform, ThenAppliesLeftOperandFirstAndRotationInvertAndDegenerateCases) {
    const auto scale = AffineTransform::scale(2, 3);
    const auto move = AffineTransform::translation(10, 0);
    expectNear(scale.then(move).apply(Point{1, 1}), {12, 3});
    expectNear(move.then(scale).apply(Point{1, 1}), {22, 3});
    // The modifiers act on user space first, as a context's translate does.
    expectNear(scale.translatedBy(10, 0).apply(Point{1, 1}), {22, 3});
    // Layout: x' = a x + c y + tx, y' = b x + d y + ty.
    const AffineTransform t{1, 2, 3, 4, 5, 6};
    expectNear(t.apply(Point{1, 1}), {9, 12});

    const auto r = AffineTransform::rotation(std::numbers::pi / 2);
    expectNear(r.apply(Point{1, 0}), {0, 1});
    const AffineTransform u = AffineTransform{2, 1, -1, 3, 4, 5};
    expectNear(u.then(u.inverted()).apply(Point{7, -3}), {7, -3});
    const auto singular = AffineTransform::scale(0, 1);
    EXPECT_FALSE(singular.isInvertible());
    EXPECT_EQ(singular.inverted(), singular);
    EXPECT_FALSE((AffineTransform{NAN, 0, 0, 1, 0, 0}).isInvertible());
    EXPECT_NEAR(AffineTransform::rotation(std::numbers::pi / 2).apply(Rect(0, 0, 2, 1)).size.width, 1, 1e-12);
}
