// The bars, Pointy, the square grids, Razor, Rounded path and Rounded end
// indent: registry entries, settings rules, the outlines that depend on a
// module's neighbours, and real symbols drawn with each that must scan.
#include "QRCode/generators/pixel/Bars.h"
#include "QRCode/generators/pixel/detail/BarAndPathShapeClasses.h"
#include "QRCode/generators/pixel/RoundedPath.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/pixel/TileShapes.h"
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

using pixelshapetest::count;
using pixelshapetest::covered;
using pixelshapetest::drawn;
using pixelshapetest::expectCovered;
using pixelshapetest::expectRect;
using pixelshapetest::grid;
using pixelshapetest::make;

// The points at which sub-paths start, in order.
std::vector<Point> subpathStarts(const gfx::Path& path) {
    std::vector<Point> starts;
    for (const auto& e : path.elements()) {
        if (e.type == ET::moveToPoint) starts.push_back(e.points[0]);
    }
    return starts;
}

bool near(double a, double b) { return std::fabs(a - b) < 1e-9; }

} // namespace

// ---- Family contract -------------------------------------------------------

using shapefamilytest::Family;
using shapefamilytest::ShapeFamily;

INSTANTIATE_TEST_SUITE_P(BarAndPath, ShapeFamily,
                         testing::Values(Family{"BarAndPathShapes",
                                                shapefamilytest::Kind::pixel,
                                                {{"vertical", "Vertical bars"},
                                                 {"horizontal", "Horizontal bars"},
                                                 {"pointy", "Pointy"},
                                                 {"grid2x2", "2x2 Square Grid"},
                                                 {"grid3x3", "3x3 Square Grid"},
                                                 {"grid4x4", "4x4 Square Grid"},
                                                 {"razor", "Razor"},
                                                 {"roundedPath", "Rounded path"},
                                                 {"roundedEndIndent", "Rounded end indent"}},
                                                shapefamilytest::namesAndTitles(barAndPathShapeClasses())}),
                         shapefamilytest::familyLabel);

// ---- Bars ------------------------------------------------------------------

TEST(Bars, LoneModuleIsACircleAndAFullRowOneBar) {
    Horizontal horizontal(Horizontal::DefaultInset, Horizontal::DefaultCornerRadius);
    const gfx::Path lone = horizontal.generatePath(grid({"...", ".#.", "..."}), Size{30, 30});
    gfx::Path circle;
    circle.addRoundedRect(gfx::Rect(10.5, 10.5, 9, 9), 4.5, 4.5);
    EXPECT_EQ(lone, circle);

    const gfx::Path row = horizontal.generatePath(grid({"....", "####", "....", "...."}), Size{40, 40});
    EXPECT_EQ(count(row, ET::moveToPoint), 1U);
    expectRect(row.boundingBox(), 0.5, 10.5, 39, 9);
    EXPECT_TRUE(row.contains({20, 15}));
    EXPECT_FALSE(row.contains({0.8, 10.8})); // a semicircular end, not a corner

    // A row that ends with on-modules still emits its bar; modules above each
    // other are separate bars.
    const gfx::Path ends = horizontal.generatePath(grid({"#.##", "...#", "....", "...."}), Size{40, 40});
    EXPECT_EQ(count(ends, ET::moveToPoint), 3U);
    Vertical vertical(Vertical::DefaultInset, Vertical::DefaultCornerRadius);
    const gfx::Path column = vertical.generatePath(grid({"#.##", "...#", "....", "...."}), Size{40, 40});
    EXPECT_EQ(count(column, ET::moveToPoint), 3U);
    expectRect(vertical.generatePath(grid({".#..", ".#..", ".#..", ".#.."}), Size{40, 40}).boundingBox(), 10.5, 0.5, 9,
               39);
}

TEST(Bars, NoInsetAndNoRadiusGiveExactRuns) {
    Horizontal horizontal(0, 0);
    gfx::Path expected;
    expected.addRect(gfx::Rect(0, 0, 10, 10));
    expected.addRect(gfx::Rect(20, 0, 20, 10));
    expected.addRect(gfx::Rect(0, 10, 10, 10));
    EXPECT_EQ(horizontal.generatePath(grid({"#.##", "#...", "....", "...."}), Size{40, 40}), expected);

    Vertical vertical(0, 0);
    gfx::Path columns;
    columns.addRect(gfx::Rect(0, 0, 10, 20));
    columns.addRect(gfx::Rect(20, 0, 10, 10));
    columns.addRect(gfx::Rect(30, 0, 10, 10));
    EXPECT_EQ(vertical.generatePath(grid({"#.##", "#...", "....", "...."}), Size{40, 40}), columns);
}

TEST(Bars, SettingsRules) {
    // (The corner radius follows the shared rule table.) Create clamps the
    // inset; setSettingValue stores numbers as given, and copies clamp.
    EXPECT_EQ(Horizontal::Create({{"insetFraction", 2}})->insetFraction(), 1.0);
    EXPECT_EQ(Vertical::Create({{"insetFraction", "0.5"}})->insetFraction(), 0.1);
    auto bars = Horizontal::Create();
    EXPECT_TRUE(bars->setSettingValue(SettingsValue(2), "cornerRadiusFraction"));
    EXPECT_EQ(bars->copyShape()->settingValue<double>("cornerRadiusFraction"), 1.0);
    EXPECT_TRUE(bars->setSettingValue(SettingsValue(false), "insetFraction"));
    EXPECT_EQ(bars->insetFraction(), 0.0);
    EXPECT_TRUE(bars->setSettingValue(std::nullopt, "insetFraction"));
    EXPECT_EQ(bars->insetFraction(), 0.1);
    EXPECT_FALSE(bars->setSettingValue(SettingsValue("0.3"), "insetFraction"));
    EXPECT_FALSE(bars->setSettingValue(SettingsValue(0.3), "InsetFraction"));
    EXPECT_EQ(bars->insetFraction(), 0.1);
}

TEST(Bars, StoredFractionsOutsideTheUnitRangeStillDrawSoundBars) {
    const BoolMatrix m = grid({"##.", "...", "..#"});
    for (const char* key : {"insetFraction", "cornerRadiusFraction"}) {
        for (double value : {-3.0, 7.0, double(NAN)}) {
            auto bars = Vertical::Create();
            ASSERT_TRUE(bars->setSettingValue(SettingsValue(value), key));
            auto clamped = Vertical::Create();
            clamped->setSettingValue(SettingsValue(std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0)), key);
            const gfx::Path path = bars->generatePath(m, Size{30, 30});
            EXPECT_TRUE(path.isFinite());
            EXPECT_EQ(path, clamped->generatePath(m, Size{30, 30})) << key << " " << value;
        }
    }
}

// ---- Pointy ----------------------------------------------------------------

TEST(Pointy, LineEndsComeToAPoint) {
    Pointy pointy;
    // A full matrix is exact squares, so its bounds are the grid's, centred
    // in the longer side.
    const BoolMatrix full = grid({"###", "###", "###"});
    expectRect(pointy.generatePath(full, Size{50, 30}).boundingBox(), 10, 0, 30, 30);
    expectRect(pointy.generatePath(full, Size{30, 50}).boundingBox(), 0, 10, 30, 30);
    // A lone module is a full square.
    const gfx::Path lone = drawn(pointy, grid({"...", ".#.", "..."}));
    EXPECT_TRUE(covered(lone, 1, 1, 0.3, 0.3));
    EXPECT_TRUE(covered(lone, 1, 1, 9.7, 9.7));

    // A line of three: the ends point outwards, the middle is square.
    const gfx::Path line = drawn(pointy, grid({"...", "###", "..."}));
    expectCovered(line, {{1, 0, 0.5, 5}, {1, 0, 9.5, 0.5}, {1, 1, 0.5, 0.5}, {1, 2, 9.5, 5}}, true);
    expectCovered(line, {{1, 0, 0.5, 0.5}, {1, 0, 0.5, 9.5}, {1, 2, 9.5, 0.5}}, false);

    // A vertical pair on the matrix's edge: each points away from the other,
    // the outside counting as off.
    const gfx::Path pair = drawn(pointy, grid({"#..", "#..", "..."}));
    expectCovered(pair, {{0, 0, 5, 0.5}, {0, 0, 0.5, 9.5}, {1, 0, 5, 9.5}}, true);
    expectCovered(pair, {{0, 0, 0.5, 0.5}, {1, 0, 9.5, 9.5}}, false);

    // An L corner (two neighbours at right angles) is square.
    const gfx::Path corner = drawn(pointy, grid({"##.", "#..", "..."}));
    for (double x : {0.3, 9.7}) {
        for (double y : {0.3, 9.7}) EXPECT_TRUE(covered(corner, 0, 0, x, y));
    }
}

// ---- Grids -----------------------------------------------------------------

TEST(Grids, SquaresFormOneLatticeAcrossModules) {
    const BoolMatrix full = grid({"##", "##"});
    const gfx::Path two = drawn(*Grid2x2::Create(), full);
    EXPECT_EQ(count(two, ET::moveToPoint), 4U * 4U);
    // Gaps of 0.5 inside a module and across module edges, in both axes.
    for (double x : {0.25, 5.25, 10.25, 15.25}) EXPECT_FALSE(two.contains({x, 2}));
    for (double y : {4.75, 9.75, 14.75, 19.75}) EXPECT_FALSE(two.contains({2, y}));
    for (double x : {0.75, 4.75, 5.75, 9.75, 10.75, 19.75}) EXPECT_TRUE(two.contains({x, 2}));

    const gfx::Path three = drawn(*Grid3x3::Create(), full);
    EXPECT_EQ(count(three, ET::moveToPoint), 9U * 4U);
    // 0.33 apart inside a module, 0.34 across the edge (9.99 to 10.33).
    EXPECT_FALSE(three.contains({3.5, 1}));
    EXPECT_FALSE(three.contains({9.995, 1}));
    EXPECT_FALSE(three.contains({10.2, 1}));
    EXPECT_TRUE(three.contains({10.4, 1}));
    EXPECT_TRUE(three.contains({1, 9.6}));
    EXPECT_FALSE(three.contains({1, 9.8}));
    EXPECT_TRUE(three.contains({1, 10.1})); // the next row starts at its cell edge

    const gfx::Path four = drawn(*Grid4x4::Create(), full);
    EXPECT_EQ(count(four, ET::moveToPoint), 16U * 4U);
    for (double v : {0.1, 2.6, 5.1, 7.6, 10.1, 12.6}) {
        EXPECT_FALSE(four.contains({v, 1})) << v;
        EXPECT_FALSE(four.contains({1, v})) << v;
    }
    // Drawn quadrant by quadrant, the upper-right one first.
    const auto starts = subpathStarts(drawn(*Grid4x4::Create(), grid({"#"})));
    ASSERT_EQ(starts.size(), 16U);
    EXPECT_EQ(starts[0], (Point{5.25, 0.25}));
    EXPECT_EQ(starts[4], (Point{0.25, 0.25}));
    EXPECT_EQ(starts[8], (Point{5.25, 5.25}));
    EXPECT_EQ(starts[15], (Point{2.75, 7.75}));
}

// ---- Razor -----------------------------------------------------------------

TEST(Razor, LoneModulesPairsAndBends) {
    Razor razor;
    // A lone module: a rounded square of radius 3.
    const gfx::Path lone = drawn(razor, grid({"#"}));
    gfx::Path rounded;
    rounded.addRoundedRect(gfx::Rect(0, 0, 10, 10), 3, 3);
    EXPECT_EQ(lone, rounded);

    // A horizontal pair on the matrix's top edge: the left module is swept
    // at (0, 0), the right one at (10, 10) (a pinwheel, not a mirror).
    const gfx::Path pair = drawn(razor, grid({"##", ".."}));
    expectCovered(pair, {{0, 0, 9.5, 9.5}, {0, 0, 1, 9.5}, {0, 1, 9.5, 0.5}}, true);
    expectCovered(pair, {{0, 0, 1, 1}, {0, 1, 9.5, 9.5}}, false);

    // A vertical pair: the upper one swept at (10, 0), the lower at (0, 10).
    const gfx::Path column = drawn(razor, grid({"#.", "#."}));
    expectCovered(column, {{0, 0, 0.5, 0.5}, {1, 0, 9.5, 9.5}}, true);
    expectCovered(column, {{0, 0, 9.5, 0.5}, {1, 0, 0.5, 9.5}}, false);

    // An L: the corner module is rounded at its outer corner only; the
    // off-module in the bend gets the fillet at its (0, 0) corner.
    const gfx::Path bend = drawn(razor, grid({"##.", "#..", "..."}));
    expectCovered(bend, {{0, 0, 9.7, 9.7}, {1, 1, 0.2, 0.2}}, true);
    expectCovered(bend, {{0, 0, 0.3, 0.3}, {1, 1, 1, 1}, {1, 1, 9.8, 0.2}}, false);

    // A 2 by 2 block reads as one rounded square, with no fillets.
    const gfx::Path block = drawn(razor, grid({"##", "##"}));
    EXPECT_EQ(count(block, ET::moveToPoint), 4U);
    expectCovered(block, {{0, 0, 9.9, 9.9}}, true);
    expectCovered(block, {{0, 0, 0.3, 0.3}, {1, 1, 9.7, 9.7}}, false);
}

TEST(Razor, FilletsNeedTheDiagonalAndComeInCornerOrder) {
    Razor razor;
    const gfx::Path ring = drawn(razor, grid({"###", "#.#", "###"}));
    // In module order: four on-modules, the centre's four fillets, four more.
    const auto starts = subpathStarts(ring);
    ASSERT_EQ(starts.size(), 12U);
    EXPECT_EQ(starts[4], (Point{11.25, 10}));
    EXPECT_EQ(starts[5], (Point{18.75, 10}));
    EXPECT_EQ(starts[6], (Point{11.25, 20}));
    EXPECT_EQ(starts[7], (Point{18.75, 20}));
    for (double x : {0.2, 9.8}) {
        for (double y : {0.2, 9.8}) EXPECT_TRUE(covered(ring, 1, 1, x, y));
    }
    EXPECT_FALSE(covered(ring, 1, 1, 5, 5));

    // Both side neighbours on but the diagonal off: no fillet.
    const gfx::Path open = drawn(razor, grid({".#.", "#..", "..."}));
    EXPECT_FALSE(covered(open, 1, 1, 0.2, 0.2));
    EXPECT_FALSE(covered(open, 0, 0, 9.8, 9.8));
}

// ---- Rounded path ----------------------------------------------------------

TEST(RoundedPath, CornersRoundOnlyWhereBothSidesAreFree) {
    auto shape = RoundedPath::Create();
    // A lone module: the rounded rectangle of radius 3.25 units.
    gfx::Path lone;
    lone.addRoundedRect(gfx::Rect(0, 0, 10, 10), 3.25, 3.25);
    EXPECT_EQ(drawn(*shape, grid({"#"})), lone);
    shape->setCornerRadiusFraction(1);
    gfx::Path circle;
    circle.addRoundedRect(gfx::Rect(0, 0, 10, 10), 5, 5);
    EXPECT_EQ(drawn(*shape, grid({"#"})), circle);
    shape->setCornerRadiusFraction(0.65);

    // Side by side: the outer corners round, the shared edge stays square.
    const gfx::Path pair = drawn(*shape, grid({"##", ".."}));
    expectCovered(pair, {{0, 0, 9.7, 0.3}, {0, 1, 0.3, 9.7}}, true);
    expectCovered(pair, {{0, 0, 0.3, 0.3}, {0, 0, 0.3, 9.7}, {0, 1, 9.7, 0.3}, {0, 1, 9.7, 9.7}}, false);

    // A 3 by 3 block: only the four outer corners are rounded.
    const gfx::Path block = drawn(*shape, grid({"###", "###", "###"}));
    EXPECT_EQ(count(block, ET::addCurveToPoint), 4U);
    expectCovered(block, {{0, 1, 0.3, 0.3}, {1, 1, 0.1, 0.1}, {0, 0, 9.7, 9.7}}, true);
    expectCovered(block, {{0, 0, 0.3, 0.3}, {2, 2, 9.7, 9.7}}, false);

    // Diagonals do not matter to an on-module.
    const gfx::Path diagonal = drawn(*shape, grid({"#.", ".#"}));
    EXPECT_EQ(count(diagonal, ET::moveToPoint), 2U);
    EXPECT_FALSE(covered(diagonal, 0, 0, 9.7, 9.7));
}

TEST(RoundedPath, ZeroRadiusDrawsSharpSquaresAndCornerFillets) {
    auto shape = RoundedPath::Create({{"cornerRadiusFraction", 0}});
    const BoolMatrix m = grid({"##.#", "#.##", "###.", ".#.#"});
    const gfx::Path path = drawn(*shape, m);
    // The only curves left are the fillets', collapsed into a module corner.
    std::size_t fillets = 0;
    for (const auto& e : path.elements()) {
        if (e.type != ET::addCurveToPoint) continue;
        ++fillets;
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(near(std::fmod(e.points[i].x, 10), 0));
            EXPECT_TRUE(near(std::fmod(e.points[i].y, 10), 0));
        }
    }
    EXPECT_GT(fillets, 0U); // fillets are on by default and are still emitted
    // Every module is exactly covered.
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(covered(path, r, c, 0.2, 0.2), m(r, c));
            EXPECT_EQ(covered(path, r, c, 9.8, 9.8), m(r, c));
        }
    }
    // A one-neighbour module is the square traced from (0, 0).
    const gfx::Path end = drawn(*shape, grid({"##", ".."}));
    ASSERT_EQ(end.size(), 12U);
    const std::vector<Point> expected{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(end.elements()[i].points[0], expected[i]);
}

TEST(RoundedPath, InnerCornerFillets) {
    auto shape = RoundedPath::Create();
    // The bend of an L gets one fillet in the off-module, in its top-left.
    const gfx::Path bend = drawn(*shape, grid({"##.", "#..", "..."}));
    EXPECT_TRUE(covered(bend, 1, 1, 0.15, 0.15));
    EXPECT_FALSE(covered(bend, 1, 1, 0.6, 0.6));
    // With its diagonal off there is no fillet.
    const gfx::Path open = drawn(*shape, grid({".#.", "#..", "..."}));
    EXPECT_FALSE(covered(open, 1, 1, 0.15, 0.15));

    // Surrounded: four fillets, top-left, top-right, bottom-left, bottom-right.
    const auto starts = subpathStarts(drawn(*shape, grid({"###", "#.#", "###"})));
    ASSERT_EQ(starts.size(), 12U);
    const double f = 5.0 / 3.0 * 0.65;
    EXPECT_NEAR(starts[4].x, 10 + f, 1e-9);
    EXPECT_NEAR(starts[4].y, 10, 1e-9);
    EXPECT_NEAR(starts[5].x, 20 - f, 1e-9);
    EXPECT_NEAR(starts[6].x, 10 + f, 1e-9);
    EXPECT_NEAR(starts[6].y, 20, 1e-9);
    EXPECT_NEAR(starts[7].x, 20 - f, 1e-9);

    // Switched off: nothing in off-modules.
    shape->setHasInnerCorners(false);
    EXPECT_EQ(subpathStarts(drawn(*shape, grid({"###", "#.#", "###"}))).size(), 8U);
}

TEST(RoundedPath, SettingsRules) {
    // (The corner radius follows the shared rule table.)
    auto shape = RoundedPath::Create({{"hasInnerCorners", 0}});
    EXPECT_FALSE(shape->hasInnerCorners());
    EXPECT_TRUE(shape->setSettingValue(SettingsValue(2), "cornerRadiusFraction"));
    EXPECT_EQ(shape->actualRadius(), 5.0);
    EXPECT_EQ(shape->actualRadiusSize(), (Size{5, 5}));
    EXPECT_TRUE(shape->setSettingValue(SettingsValue(NAN), "cornerRadiusFraction"));
    EXPECT_EQ(shape->cornerRadiusFraction(), 0.0);

    EXPECT_TRUE(shape->setSettingValue(SettingsValue(1), "hasInnerCorners"));
    EXPECT_TRUE(shape->setSettingValue(SettingsValue(0), "hasInnerCorners"));
    EXPECT_FALSE(shape->setSettingValue(SettingsValue("yes"), "hasInnerCorners"));
    EXPECT_FALSE(shape->hasInnerCorners());
    EXPECT_TRUE(shape->setSettingValue(std::nullopt, "hasInnerCorners"));
    EXPECT_TRUE(shape->hasInnerCorners());
    shape->setHasInnerCorners(false);
    shape->reset();
    EXPECT_EQ(shape->settings(), (SettingsDict{{"cornerRadiusFraction", 0.65}, {"hasInnerCorners", true}}));
}

// ---- Rounded end indent ----------------------------------------------------

TEST(RoundedEndIndent, RunEndsAreNotchedWhateverTheRadius) {
    auto shape = RoundedEndIndent::Create();
    const gfx::Path row = drawn(*shape, grid({"...", "###", "..."}));
    // Left end: notched in to (2, 5), corners kept sharp.
    expectCovered(
        row, {{1, 0, 2.5, 5}, {1, 0, 1, 0.3}, {1, 0, 1, 9.7}, {1, 1, 0.1, 0.1}, {1, 2, 7.5, 5}, {1, 2, 9, 9.7}}, true);
    expectCovered(row, {{1, 0, 1.5, 5}, {1, 2, 8.5, 5}}, false);

    const gfx::Path column = drawn(*shape, grid({"#.", "#."}));
    expectCovered(column, {{0, 0, 5, 2.5}, {1, 0, 9.8, 9.3}}, true);
    expectCovered(column, {{0, 0, 5, 1.5}, {1, 0, 5, 8.5}}, false);

    // The notches do not change with the fraction; the lone module does.
    const BoolMatrix ends = grid({"##", ".."});
    const gfx::Path reference = drawn(*shape, ends);
    for (double fraction : {0.0, 1.0}) {
        shape->setCornerRadiusFraction(fraction);
        EXPECT_EQ(drawn(*shape, ends), reference);
        gfx::Path lone;
        lone.addRoundedRect(gfx::Rect(0, 0, 10, 10), 5 * fraction, 5 * fraction);
        EXPECT_EQ(drawn(*shape, grid({"#"})), lone);
    }

    // Other cases are those of Rounded path.
    shape->setCornerRadiusFraction(0.65);
    const BoolMatrix bends = grid({"##.", "##.", "..#"});
    auto rounded = RoundedPath::Create({{"hasInnerCorners", false}});
    EXPECT_EQ(drawn(*shape, bends), drawn(*rounded, bends));
}

TEST(RoundedEndIndent, FilletsAreOffByDefault) {
    auto shape = RoundedEndIndent::Create();
    EXPECT_EQ(shape->settings(), (SettingsDict{{"cornerRadiusFraction", 0.65}, {"hasInnerCorners", false}}));
    const BoolMatrix bend = grid({"##.", "#..", "..."});
    EXPECT_FALSE(covered(drawn(*shape, bend), 1, 1, 0.15, 0.15));
    EXPECT_TRUE(shape->setSettingValue(SettingsValue(true), "hasInnerCorners"));
    EXPECT_TRUE(covered(drawn(*shape, bend), 1, 1, 0.15, 0.15));
    EXPECT_TRUE(shape->setSettingValue(std::nullopt, "hasInnerCorners"));
    EXPECT_FALSE(shape->hasInnerCorners());

    auto withFillets = RoundedEndIndent::Create({{"hasInnerCorners", true}, {"cornerRadiusFraction", 0.4}});
    EXPECT_TRUE(withFillets->hasInnerCorners());
    withFillets->reset();
    EXPECT_EQ(withFillets->settings(), (SettingsDict{{"cornerRadiusFraction", 0.65}, {"hasInnerCorners", false}}));
}
