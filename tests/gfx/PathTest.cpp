#include "platform/gfx/Path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

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

    // Appended through a transform, or transformed in place as a temporary,
    // a path is what its transformed copy is: elements, current point (a
    // subpath after a close starts there) and finiteness alike.
    const gfx::AffineTransform turn = gfx::AffineTransform::scale(2, -1).then(gfx::AffineTransform::translation(3, 7));
    Path open = r;
    open.moveTo({1, 1});
    open.quadTo({4, 2}, {5, 5});
    Path appended;
    appended.addRect(Rect(-5, -5, 1, 1));
    appended.addPath(open, turn);
    Path expected;
    expected.addRect(Rect(-5, -5, 1, 1));
    expected.addPath(open.transformed(turn));
    EXPECT_EQ(appended, expected);
    EXPECT_EQ(appended.currentPoint(), turn.apply(open.currentPoint()));
    const Path moved = Path(open).transformed(turn);
    EXPECT_EQ(moved, open.transformed(turn));
    EXPECT_EQ(moved.currentPoint(), turn.apply(open.currentPoint()));
    EXPECT_FALSE(Path(open).transformed(gfx::AffineTransform::scale(INFINITY, 1)).isFinite());
    appended.addPath(open, gfx::AffineTransform::scale(INFINITY, 1));
    EXPECT_FALSE(appended.isFinite());
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

TEST(Path, CurvesReachingFarOutAreFlattenedWithoutOverflow) {
    // A control point 1e18 away makes the curve's length larger than any
    // int: the step count is held to its range before it is converted (the
    // sanitizer build reports a conversion that is not). Quadratics take the
    // same way through their cubic controls.
    for (const double far : {1e17, 1e18, 1e300}) {
        SCOPED_TRACE(far);
        Path p;
        p.moveTo({0, 0});
        p.curveTo({far, far}, {-far, far}, {1, 0});
        p.quadTo({0.5, -far}, {0, 0});
        p.closeSubpath();
        ASSERT_TRUE(p.isFinite());
        EXPECT_FALSE(p.contains({-5, -5}));
        const auto winding = p.windingNumbersAtCellCentres(-2, -2, 4, 4);
        EXPECT_EQ(winding.size(), 16u);
        EXPECT_EQ(winding[0], 0); // the cell centred on (-1.5, -1.5) lies outside every part
    }
}

namespace {

// The winding at (x, y) as `contains` tells it, under both rules: 0 outside,
// 1 inside an odd count, 2 inside an even nonzero count.
int containsClass(const Path& p, Point at) {
    const bool nonZero = p.contains(at, FillRule::nonZero), odd = p.contains(at, FillRule::evenOdd);
    return odd ? 1 : nonZero ? 2 : 0;
}

int windingClass(int winding) { return winding % 2 != 0 ? 1 : winding != 0 ? 2 : 0; }

// Random outlines of lines, quadratics and cubics in a 12 x 12 area, half of
// their points on the quarter grid so that many pass exactly through cell
// centres and along their rows; some subpaths left open.
Path randomOutline(std::uint64_t& seed) {
    auto next = [&seed] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return seed >> 33;
    };
    auto coordinate = [&] { return next() % 2 ? double(next() % 49) / 4 : double(next() % 120000) / 10000; };
    auto point = [&] { return Point{coordinate() - 0.5, coordinate() - 0.5}; };
    Path p;
    for (int sub = 0, subs = 1 + int(next() % 3); sub < subs; ++sub) {
        p.moveTo(point());
        for (int k = 0, pieces = 1 + int(next() % 6); k < pieces; ++k) {
            switch (next() % 3) {
            case 0: p.lineTo(point()); break;
            case 1: p.quadTo(point(), point()); break;
            default: p.curveTo(point(), point(), point()); break;
            }
        }
        if (next() % 4) p.closeSubpath();
    }
    return p;
}

} // namespace

TEST(Path, WindingNumbersOfACellBlockAgreeWithContainsAtEveryCentre) {
    std::uint64_t seed = 42;
    std::vector<Path> paths;
    for (int i = 0; i < 300; ++i) paths.push_back(randomOutline(seed));
    // Edges exactly on the centres' rows and columns, twice over, and a
    // figure with a hole wound the other way.
    Path box;
    box.addRect(Rect(2.5, 3.5, 4, 5));
    box.addRect(Rect(2.5, 3.5, 4, 5));
    box.moveTo({4.5, 5.5});
    box.lineTo({4.5, 7.5});
    box.lineTo({5.5, 7.5});
    box.closeSubpath();
    paths.push_back(box);
    Path ellipse;
    ellipse.addEllipse(Rect(-3, 1.25, 14, 7.5));
    paths.push_back(ellipse);

    for (std::size_t i = 0; i < paths.size(); ++i) {
        const Path& p = paths[i];
        // A block reaching past the outline on every side.
        const std::int64_t c0 = -2, r0 = -1, columns = 16, rows = 15;
        const std::vector<int> winding = p.windingNumbersAtCellCentres(c0, r0, columns, rows);
        ASSERT_EQ(winding.size(), std::size_t(columns * rows));
        for (std::int64_t r = 0; r < rows; ++r) {
            for (std::int64_t c = 0; c < columns; ++c) {
                const Point centre{double(c0 + c) + 0.5, double(r0 + r) + 0.5};
                ASSERT_EQ(windingClass(winding[std::size_t(r * columns + c)]), containsClass(p, centre))
                    << "path " << i << " at " << centre.x << ", " << centre.y;
            }
        }
    }
    // An offset block reads the same windings as the whole.
    const auto whole = ellipse.windingNumbersAtCellCentres(0, 0, 12, 12);
    const auto part = ellipse.windingNumbersAtCellCentres(3, 4, 5, 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 5; ++c) EXPECT_EQ(part[std::size_t(r * 5 + c)], whole[std::size_t((r + 4) * 12 + c + 3)]);

    // Nothing is inside an empty or a non-finite path.
    Path broken = box;
    broken.lineTo({std::numeric_limits<double>::quiet_NaN(), 1});
    for (const Path& p : {Path(), broken}) {
        const auto none = p.windingNumbersAtCellCentres(0, 0, 10, 10);
        EXPECT_EQ(std::count(none.begin(), none.end(), 0), 100);
    }
    EXPECT_TRUE(box.windingNumbersAtCellCentres(0, 0, 0, 5).empty());
}
