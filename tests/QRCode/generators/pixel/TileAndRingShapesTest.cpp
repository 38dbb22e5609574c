// Curve pixel, the drips, diagonal stripes, donut, blob, circuit, crosshatch
// and vortex: registry entries, settings rules, the tiles chosen by a
// module's neighbours, and real symbols drawn with each that must scan.
#include "QRCode/generators/pixel/CurvePixel.h"
#include "QRCode/generators/pixel/detail/TileAndRingShapeClasses.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/design/Design.h"
#include "QRCode/QRCode.h"
#include "QRCode/design/Shape.h"
#include "platform/detector/QRDetector.h"

#include "tests/QRCode/generators/ShapeFamilyTest.h"
#include "tests/QRCode/generators/pixel/PixelShapeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace QRCode;
using namespace QRCode::PixelShape;
using gfx::Point;
using gfx::Size;
using ET = gfx::Path::ElementType;

namespace {

using pixelshapetest::covered;
using pixelshapetest::drawn;
using pixelshapetest::expectCovered;
using pixelshapetest::expectRect;
using pixelshapetest::grid;
using pixelshapetest::make;
using pixelshapetest::subpaths;

// The 3 x 3 matrix whose centre is on and whose eight neighbours are the
// bits of `mask` in the order of `offsets`.
BoolMatrix centreWith(unsigned mask, const std::vector<std::pair<int, int>>& offsets) {
    BoolMatrix m(3);
    m.set(1, 1, true);
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        if ((mask >> i) & 1U) m.set(1 + offsets[i].first, 1 + offsets[i].second, true);
    }
    return m;
}

} // namespace

// ---- Family contract -------------------------------------------------------

using shapefamilytest::Family;
using shapefamilytest::ShapeFamily;

INSTANTIATE_TEST_SUITE_P(TileAndRing, ShapeFamily,
                         testing::Values(Family{"TileAndRingShapes",
                                                shapefamilytest::Kind::pixel,
                                                {{"curvePixel", "Curve pixel"},
                                                 {"dripVertical", "Drip Vertical"},
                                                 {"dripHorizontal", "Drip Horizontal"},
                                                 {"diagonalStripes", "DiagonalStripes"},
                                                 {"donut", "Donut"},
                                                 {"blob", "Blob"},
                                                 {"circuit", "Circuit"},
                                                 {"crosshatch", "Crosshatch"},
                                                 {"vortex", "Vortex"}},
                                                shapefamilytest::namesAndTitles(tileAndRingShapeClasses())}),
                         shapefamilytest::familyLabel);

// ---- Curve pixel -----------------------------------------------------------

TEST(CurvePixel, CornersRoundOnlyWhereBothSideNeighboursAreOff) {
    // One square module in the corner of 25 x 25 modules at 200 x 100: cells
    // of 4, the grid moved 50 to the right.
    BoolMatrix corner(25);
    corner.set(0, 0, true);
    CurvePixel sharp(0);
    expectRect(sharp.generatePath(corner, Size{200, 100}).boundingBox(), 50.2, 0.2, 3.6, 3.6);
    expectRect(sharp.generatePath(corner, Size{100, 200}).boundingBox(), 0.2, 50.2, 3.6, 3.6);

    CurvePixel shape(1);
    // A lone module is a circle of diameter 9 about the middle of its cell.
    const gfx::Path lone = drawn(shape, grid({"#"}));
    expectRect(lone.pathBoundingBox(), 0.5, 0.5, 9, 9, 1e-6);
    EXPECT_TRUE(covered(lone, 0, 0, 5, 0.6));
    EXPECT_FALSE(covered(lone, 0, 0, 1.3, 1.3));

    // A row of three along the top border: the ends are rounded away from
    // the run, the middle one is the plain square, and a gap of one unit
    // always separates neighbours.
    const gfx::Path row = drawn(shape, grid({"###", "...", "..."}));
    EXPECT_EQ(subpaths(row), 3U);
    expectCovered(row, {{0, 0, 9.4, 0.6}, {0, 0, 9.4, 9.4}, {0, 1, 0.6, 0.6}, {0, 1, 9.4, 9.4}, {0, 2, 0.6, 9.4}},
                  true);
    expectCovered(row, {{0, 0, 0.8, 0.8}, {0, 0, 0.8, 9.2}, {0, 2, 9.2, 0.8}, {0, 1, 0, 5}}, false);

    // An L: the corner module has its top and right neighbours and rounds
    // only its bottom-left corner.
    const gfx::Path ell = drawn(shape, grid({"#..", "##.", "..."}));
    expectCovered(ell, {{1, 0, 0.6, 0.6}, {1, 0, 9.4, 9.4}, {1, 0, 9.4, 0.6}}, true);
    expectCovered(ell, {{1, 0, 0.8, 9.2}}, false);

    // Diagonal neighbours play no part: a checkerboard is all circles.
    const gfx::Path checker = drawn(shape, grid({"#.#", ".#.", "#.#"}));
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            if ((r + c) % 2 == 0) {
                EXPECT_FALSE(covered(checker, r, c, 1.3, 1.3));
            }
        }
    }

    // At fraction 0 every module is the plain 9 x 9 square.
    CurvePixel flat(0);
    const gfx::Path square = drawn(flat, grid({"#"}));
    EXPECT_TRUE(covered(square, 0, 0, 0.6, 0.6));
    EXPECT_TRUE(covered(square, 0, 0, 9.4, 9.4));
    expectRect(square.boundingBox(), 0.5, 0.5, 9, 9);
}

TEST(CurvePixel, SettingsRules) {
    // (The corner radius follows the shared rule table.) A Boolean counts as
    // a number; the radius is the fraction of the 9-unit module's half.
    EXPECT_EQ(*make("curvePixel", {{"cornerRadiusFraction", false}})->settingValue<double>("cornerRadiusFraction"),
              0.0);
    CurvePixel shape(0.5);
    EXPECT_DOUBLE_EQ(shape.actualRadius(), 2.25);
    EXPECT_TRUE(shape.setSettingValue(SettingsValue(2), "cornerRadiusFraction"));
    EXPECT_DOUBLE_EQ(shape.actualRadius(), 4.5);
    EXPECT_TRUE(shape.setSettingValue(SettingsValue(-1), "cornerRadiusFraction"));
    EXPECT_EQ(shape.actualRadius(), 0.0);
    // A fraction that is not a number never reaches the outline.
    shape.setCornerRadiusFraction(NAN);
    EXPECT_EQ(shape.cornerRadiusFraction(), 0.0);
    EXPECT_TRUE(drawn(shape, grid({"#.", ".#"})).isFinite());
}

// ---- Drips -----------------------------------------------------------------

TEST(Drip, RunsChainOnlyAlongTheShapesDirection) {
    const auto horizontal = make("dripHorizontal");
    const auto vertical = make("dripVertical");
    // (The dot and the joins' outlines are pinned in the outline data.) Side
    // by side: joined by a neck in the horizontal shape only. The
    // stored right-join neck spans 3.1...6.83 at the box edge (its outline
    // is drawn the other way up and flipped when the tile is built).
    const BoolMatrix pair = grid({"##", ".."});
    const gfx::Path joined = drawn(*horizontal, pair);
    EXPECT_EQ(subpaths(joined), 2U);
    expectCovered(joined, {{0, 0, 9.95, 5}, {0, 1, 0.05, 5}, {0, 0, 9.95, 3.15}}, true);
    expectCovered(joined, {{0, 0, 9.95, 6.87}}, false);
    EXPECT_FALSE(covered(drawn(*vertical, pair), 0, 0, 9.95, 5));

    // A column of three in the vertical shape: bottom join, both joins, top
    // join; the top one starts on the border and gets no neck upwards.
    const BoolMatrix column = grid({"#..", "#..", "#.."});
    const gfx::Path chain = drawn(*vertical, column);
    expectCovered(chain, {{0, 0, 5, 9.95}, {1, 0, 5, 0.05}, {1, 0, 5, 9.95}, {2, 0, 5, 0.05}}, true);
    expectCovered(chain, {{0, 0, 5, 0.05}, {2, 0, 5, 9.95}}, false);
    // The same column in the horizontal shape is three dots.
    const gfx::Path dots = drawn(*horizontal, column);
    EXPECT_FALSE(covered(dots, 0, 0, 5, 9.95));
    EXPECT_FALSE(covered(dots, 1, 0, 5, 0.05));
}

// ---- Diagonal stripes and donut -------------------------------------------

TEST(DiagonalStripesAndDonut, EveryModuleStampsTheSameTemplate) {
    const BoolMatrix m = grid({"#.", ".#"});
    for (const auto& [name, perModule] : {std::pair<std::string, std::size_t>{"diagonalStripes", 7}, {"donut", 2}}) {
        const gfx::Path path = drawn(*make(name), m);
        ASSERT_EQ(subpaths(path), 2 * perModule) << name;
        // The second module's elements are the first's moved by one cell.
        const auto& e = path.elements();
        const std::size_t half = e.size() / 2;
        for (std::size_t i = 0; i < half; ++i) {
            ASSERT_EQ(e[i].type, e[half + i].type);
            for (int k = 0; k < gfx::Path::pointCount(e[i].type); ++k) {
                EXPECT_NEAR(e[half + i].points[k].x, e[i].points[k].x + 10, 1e-9);
                EXPECT_NEAR(e[half + i].points[k].y, e[i].points[k].y + 10, 1e-9);
            }
        }
        expectRect(drawn(*make(name), grid({"#"})).pathBoundingBox(), 0, 0, 10, 10, 0.05);
    }

    // The hole stays empty under both rules; neighbouring donuts only touch.
    const gfx::Path donuts = drawn(*make("donut"), grid({"##", ".."}));
    expectCovered(donuts, {{0, 0, 5, 2}, {0, 0, 9.95, 5}, {0, 1, 0.05, 5}}, true);
    expectCovered(donuts, {{0, 0, 5, 5}, {0, 1, 5, 5}, {0, 0, 10, 4}}, false);
}

// ---- Blob ------------------------------------------------------------------

TEST(Blob, CornersRoundWhereNothingTouchesAndFilletsBridgeConcaveCorners) {
    const auto blob = make("blob");
    // Alone: all four corners rounded, no fillets around it.
    const gfx::Path lone = drawn(*blob, grid({"...", ".#.", "..."}));
    EXPECT_EQ(subpaths(lone), 1U);
    for (const auto& [x, y] : {std::pair{0.3, 0.3}, {9.7, 0.3}, {0.3, 9.7}, {9.7, 9.7}}) {
        EXPECT_FALSE(covered(lone, 1, 1, x, y));
    }
    EXPECT_TRUE(covered(lone, 1, 1, 0.3, 5));

    // Side by side: the shared edge's corners stay square, no fillet.
    const gfx::Path pair = drawn(*blob, grid({"##", ".."}));
    EXPECT_EQ(subpaths(pair), 2U);
    expectCovered(pair, {{0, 0, 9.9, 0.1}, {0, 1, 0.1, 9.9}}, true);
    expectCovered(pair, {{0, 0, 0.3, 0.3}}, false);

    // Touching at a corner: the facing corners stay square and the two off
    // modules between them get the fillets that bridge them.
    const gfx::Path diagonal = drawn(*blob, grid({"#.", ".#"}));
    EXPECT_EQ(subpaths(diagonal), 4U);
    expectCovered(diagonal, {{0, 0, 9.9, 9.9}, {0, 1, 0.3, 9.7}, {1, 0, 9.7, 0.3}}, true);
    expectCovered(diagonal, {{0, 1, 5, 5}}, false);

    // An off module between four on ones gets four fillets, in the order
    // top-left, top-right, bottom-left, bottom-right (told by the point each
    // curve first reaches).
    const gfx::Path ring = drawn(*blob, grid({".#.", "#.#", ".#."}));
    std::vector<Point> firstCurveEnds;
    const auto& e = ring.elements();
    for (std::size_t i = 0; i + 1 < e.size(); ++i) {
        if (e[i].type == ET::moveToPoint && e[i + 1].type == ET::addCurveToPoint) {
            firstCurveEnds.push_back(e[i + 1].points[2]);
        }
    }
    const std::vector<Point> expected{{11.1, 11.2}, {18.9, 11.2}, {11.1, 18.8}, {18.9, 18.8}};
    ASSERT_GE(firstCurveEnds.size(), expected.size());
    // The fillets are the only sub-paths of the centre module, after the
    // on modules of row 0 and before those of row 1's right and row 2.
    std::vector<Point> centre;
    for (const auto& p : firstCurveEnds) {
        if (p.x > 10 && p.x < 20 && p.y > 10 && p.y < 20) centre.push_back(p);
    }
    ASSERT_EQ(centre.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(centre[i].x, expected[i].x, 1e-9);
        EXPECT_NEAR(centre[i].y, expected[i].y, 1e-9);
    }
    EXPECT_FALSE(covered(ring, 1, 1, 5, 5));
}

// ---- Circuit and crosshatch ------------------------------------------------

TEST(Circuit, StemsPointExactlyAtTheOnSideNeighbours) {
    const auto circuit = make("circuit");
    // left, top, right, bottom; every diagonal is on and must not matter.
    const std::vector<std::pair<int, int>> sides{{0, -1}, {-1, 0}, {0, 1}, {1, 0}};
    const std::vector<std::pair<double, double>> stemEnds{{0.1, 5}, {5, 0.1}, {9.9, 5}, {5, 9.9}};
    for (unsigned mask = 0; mask < 16; ++mask) {
        BoolMatrix m = centreWith(mask, sides);
        for (const auto& [r, c] : {std::pair{0, 0}, {0, 2}, {2, 0}, {2, 2}}) m.set(r, c, true);
        const gfx::Path path = drawn(*circuit, m);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(covered(path, 1, 1, stemEnds[i].first, stemEnds[i].second), ((mask >> i) & 1U) != 0)
                << "stems " << mask << ", side " << i;
        }
        EXPECT_TRUE(covered(path, 1, 1, 5, 5));
        EXPECT_FALSE(covered(path, 1, 1, 1.2, 1.2));
    }
    // Stems of neighbours meet along the shared edge only within the trace.
    const gfx::Path pair = drawn(*circuit, grid({"##", ".."}));
    EXPECT_TRUE(covered(pair, 0, 0, 10, 5));
    EXPECT_FALSE(covered(pair, 0, 0, 10, 3.5));
    // No stem leaves the matrix, and a lone pad is the circle of radius 4.
    expectRect(drawn(*circuit, grid({"###", "###", "###"})).pathBoundingBox(), 1, 1, 28, 28, 1e-6);
    expectRect(drawn(*circuit, grid({"#"})).pathBoundingBox(), 1, 1, 8, 8, 1e-6);
}

TEST(Crosshatch, ArmsPointExactlyAtTheOnDiagonalNeighbours) {
    const auto crosshatch = make("crosshatch");
    // topLeft, topRight, bottomLeft, bottomRight.
    const std::vector<std::pair<int, int>> corners{{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    const std::vector<std::pair<double, double>> armPoints{{0.8, 0.8}, {9.2, 0.8}, {0.8, 9.2}, {9.2, 9.2}};
    for (unsigned mask = 0; mask < 16; ++mask) {
        const gfx::Path path = drawn(*crosshatch, centreWith(mask, corners));
        EXPECT_EQ(subpaths(path), 1U + static_cast<std::size_t>(std::popcount(mask)));
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(covered(path, 1, 1, armPoints[i].first, armPoints[i].second, false), ((mask >> i) & 1U) != 0)
                << "arms " << mask << ", corner " << i;
        }
    }
    // Side neighbours stay apart; diagonal ones join through their corner,
    // where both arms wind the same way.
    EXPECT_FALSE(covered(drawn(*crosshatch, grid({"##", ".."})), 0, 0, 10, 5));
    const gfx::Path chain = drawn(*crosshatch, grid({"#.", ".#"}));
    for (double t : {9.5, 10.0, 10.5}) EXPECT_TRUE(covered(chain, 0, 0, t, t, false)) << t;
    // No arm leaves the matrix.
    expectRect(drawn(*crosshatch, grid({"###", "###", "###"})).pathBoundingBox(), 1, 1, 28, 28, 1e-6);
}

// ---- Vortex ----------------------------------------------------------------

TEST(Vortex, RingsJoinAlongThemselvesOnly) {
    const auto vortex = make("vortex");
    // A lone module with no room for a ring is left undrawn.
    EXPECT_TRUE(drawn(*vortex, grid({"#"})).isEmpty());
    // A lone module anywhere is a dot of radius 4; the centre of an odd
    // matrix too.
    for (const auto& [r, c] : {std::pair{0, 0}, {0, 2}, {1, 4}, {2, 2}, {4, 4}}) {
        BoolMatrix m(5);
        m.set(r, c, true);
        const gfx::Path dot = drawn(*vortex, m);
        EXPECT_EQ(subpaths(dot), 1U);
        expectRect(dot.pathBoundingBox(), c * 10 + 1, r * 10 + 1, 8, 8, 1e-6);
    }

    // 2 x 2: a loop of four bends with rounded outer corners and a square hole.
    const gfx::Path loop = drawn(*vortex, grid({"##", "##"}));
    EXPECT_EQ(subpaths(loop), 8U);
    expectRect(loop.pathBoundingBox(), 1, 1, 18, 18, 1e-6);
    expectCovered(loop, {{0, 0, 5, 9.5}, {0, 0, 9.5, 5}}, true);
    expectCovered(loop, {{1, 1, 0, 0}, {0, 0, 1.3, 1.3}}, false);

    // A full row 0 is one capsule: cap, three bars, cap.
    const gfx::Path capsule = drawn(*vortex, grid({"#####", ".....", ".....", ".....", "....."}));
    EXPECT_EQ(subpaths(capsule), 5U);
    for (int c = 1; c < 5; ++c) EXPECT_TRUE(covered(capsule, 0, c, 0, 5)) << c;
    EXPECT_FALSE(covered(capsule, 0, 0, 0.5, 5));
    EXPECT_FALSE(covered(capsule, 0, 4, 9.5, 5));

    // Touching modules on different rings stay two dots.
    const gfx::Path apart = drawn(*vortex, grid({"..#..", "..#..", ".....", ".....", "....."}));
    EXPECT_EQ(subpaths(apart), 2U);
    EXPECT_FALSE(covered(apart, 1, 2, 5, 0));

    // 5 x 5 all on: two closed loops and the centre dot.
    const BoolMatrix full = grid({"#####", "#####", "#####", "#####", "#####"});
    const gfx::Path rings = drawn(*vortex, full);
    EXPECT_EQ(subpaths(rings), 33U);
    expectCovered(rings, {{2, 2, 5, 5}, {0, 2, 5, 5}, {2, 4, 5, 0}}, true);
    expectCovered(rings, {{1, 2, 5, 0}, {2, 1, 0, 5}}, false);
}
