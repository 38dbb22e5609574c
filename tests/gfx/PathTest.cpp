#include "platform/gfx/Path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using gfx::FillRule;
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
} // namespace

TEST(Path, RectangleUsesThePlatformElementOrder) {
    Path p;
    p.addRect(Rect(1, 2, 3, 4));
    ASSERT_EQ(types(p), (std::vector<Type>{Type::moveToPoint, Type::addLineToPoint, Type::addLineToPoint,
                                           Type::addLineToPoint, Type::closeSubpath}));
    const Point corners[] = {{1, 2}, {4, 2}, {4, 6}, {1, 6}};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(p.elements()[i].points[0], corners[i]) << i;
}

TEST(Path, QuadraticsStayQuadraticUntilConverted) {
    Path p;
    p.moveTo({0, 0});
    p.quadTo({3, 3}, {6, 0});
    EXPECT_EQ(p.elements()[1].type, Type::addQuadCurveToPoint);
    const Path c = p.withCubicsOnly();
    ASSERT_EQ(c.elements()[1].type, Type::addCurveToPoint);
    EXPECT_NEAR(c.elements()[1].points[0].x, 2, 1e-12);
    EXPECT_NEAR(c.elements()[1].points[0].y, 2, 1e-12);
    EXPECT_NEAR(c.elements()[1].points[1].x, 4, 1e-12);
    EXPECT_NEAR(c.elements()[1].points[1].y, 2, 1e-12);
    EXPECT_EQ(c.elements()[1].points[2], (Point{6, 0}));
}

TEST(Path, BoundsWithAndWithoutControlPoints) {
    Path p;
    p.moveTo({0, 0});
    p.curveTo({0, 10}, {10, 10}, {10, 0});
    EXPECT_EQ(p.boundingBox(), Rect(0, 0, 10, 10));
    const Rect tight = p.pathBoundingBox();
    EXPECT_NEAR(tight.maxY(), 7.5, 1e-9); // the curve's extreme at t = 1/2
    EXPECT_NEAR(tight.width(), 10, 1e-12);
    EXPECT_TRUE(Path().boundingBox().isNull());

    Path e;
    e.addEllipse(Rect(0, 0, 20, 10));
    const Rect eb = e.pathBoundingBox();
    EXPECT_NEAR(eb.minX(), 0, 1e-9);
    EXPECT_NEAR(eb.maxX(), 20, 1e-9);
    EXPECT_NEAR(eb.maxY(), 10, 1e-9);
    EXPECT_EQ(e.elements()[0].points[0], (Point{20, 5}));
}

TEST(Path, ContainmentFollowsTheFillRule) {
    Path p;
    p.addRect(Rect(0, 0, 10, 10));
    p.addRect(Rect(2, 2, 6, 6)); // same direction: nonzero keeps the hole filled
    EXPECT_TRUE(p.contains({5, 5}, FillRule::nonZero));
    EXPECT_FALSE(p.contains({5, 5}, FillRule::evenOdd));
    EXPECT_TRUE(p.contains({1, 1}, FillRule::evenOdd));
    EXPECT_FALSE(p.contains({11, 5}));

    // Open subpaths count as closed; curves are followed.
    Path tri;
    tri.moveTo({0, 0});
    tri.lineTo({10, 0});
    tri.lineTo({0, 10});
    EXPECT_TRUE(tri.contains({2, 2}));
    EXPECT_FALSE(tri.contains({6, 6}));
    Path circle;
    circle.addEllipse(Rect(0, 0, 10, 10));
    EXPECT_TRUE(circle.contains({5, 9.8}));
    EXPECT_FALSE(circle.contains({0.5, 0.5}));
}

TEST(Path, RoundedRectTransformAndAppend) {
    Path r;
    r.addRoundedRect(Rect(0, 0, 10, 10), 2, 3);
    EXPECT_EQ(r.pathBoundingBox().standardized().size.width, 10);
    EXPECT_FALSE(r.contains({0.1, 0.1}));
    EXPECT_TRUE(r.contains({5, 0.1}));

    Path a;
    a.addPath(r, gfx::AffineTransform::translation(100, 0));
    EXPECT_NEAR(a.boundingBox().minX(), 100, 1e-12);
    EXPECT_EQ(a.size(), r.size());
    EXPECT_EQ(r.transformed(gfx::AffineTransform::translation(100, 0)), a);
}

TEST(Path, NonFiniteCoordinatesAreFlagged) {
    Path p;
    p.moveTo({0, 0});
    EXPECT_TRUE(p.isFinite());
    p.lineTo({std::numeric_limits<double>::quiet_NaN(), 1});
    EXPECT_FALSE(p.isFinite());
    EXPECT_FALSE(p.contains({0, 0}));
    Path q;
    q.addRect(Rect(0, 0, 1, 1));
    EXPECT_FALSE(q.transformed(gfx::AffineTransform::scale(INFINITY, 1)).isFinite());
    Path r;
    r.addPath(p);
    EXPECT_FALSE(r.isFinite());
}
