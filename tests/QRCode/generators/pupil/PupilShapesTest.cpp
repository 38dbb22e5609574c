// The pupil shapes: registry, settings and their refusals, flips, corners,
// outlines that catch transcription and construction faults, and symbols
// with each pupil on their finder patterns that must still scan.
#include "tests/QRCode/ShapeTestDoubles.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "QRCode/generators/pupil/BarPupils.h"
#include "QRCode/generators/pupil/CirclePupils.h"
#include "QRCode/generators/pupil/EmblemPupils.h"
#include "QRCode/generators/pupil/LeafPupils.h"
#include "QRCode/generators/pupil/PixelPupils.h"
#include "QRCode/generators/pupil/RoundedPupils.h"
#include "QRCode/generators/pupil/ShieldPupils.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/generators/pupil/UsePixelShape.h"
#include "QRCode/generators/PupilShapeFactory.h"
#include "QRCode/core/Components.h"
#include "QRCode/design/Design.h"
#include "QRCode/QRCode.h"
#include "QRCode/design/Shape.h"
#include "platform/detector/QRDetector.h"
#include "tests/QRCode/generators/ShapeFamilyTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

using namespace QRCode;
using namespace QRCode::PupilShape;
using gfx::Path;
using gfx::Point;

namespace {

using Element = Path::Element;
using Type = Path::ElementType;

// The number of subpaths (moves) and of elements of one type.
std::size_t countOf(const Path& path, Type type) {
    std::size_t n = 0;
    for (const auto& e : path.elements()) n += e.type == type ? 1 : 0;
    return n;
}

// Every point of `path`, control points included.
std::vector<Point> pointsOf(const Path& path) {
    std::vector<Point> points;
    for (const auto& e : path.elements()) {
        for (int i = 0; i < Path::pointCount(e.type); ++i) points.push_back(e.points[static_cast<std::size_t>(i)]);
    }
    return points;
}

bool hasPoint(const Path& path, Point p, double tolerance = 1e-9) {
    for (const auto& q : pointsOf(path)) {
        if (std::abs(q.x - p.x) <= tolerance && std::abs(q.y - p.y) <= tolerance) return true;
    }
    return false;
}

// The share of a 0.5-unit grid over the pupil square that the outline fills.
double coverage(const Path& path) {
    int inside = 0, total = 0;
    for (double y = 30.25; y < 60; y += 0.5) {
        for (double x = 30.25; x < 60; x += 0.5) {
            ++total;
            inside += path.contains({x, y}) ? 1 : 0;
        }
    }
    return double(inside) / total;
}

} // namespace

// ---------------------------------------------------------------------------
// Registry

// Every pupil with its title, in the registry's title order (byte-wise:
// "CRT" before "Circle", "Rounded Pointing In" before "Rounded outer").
const std::vector<std::pair<std::string, std::string>> kPupils{{"arc", "Arc"},
                                                               {"arrow", "Arrow"},
                                                               {"blade", "Blade"},
                                                               {"blobby", "Blobby"},
                                                               {"crt", "CRT"},
                                                               {"circle", "Circle"},
                                                               {"cloud", "Cloud"},
                                                               {"cloudCircle", "Cloud Circle"},
                                                               {"corneredPixels", "Cornered pixels"},
                                                               {"cross", "Cross"},
                                                               {"crossCurved", "CrossCurved"},
                                                               {"diagonalStripes", "Diagonal Stripes"},
                                                               {"dotDragHorizontal", "Dot Drag Horizontal"},
                                                               {"dotDragVertical", "Dot Drag Vertical"},
                                                               {"edges", "Edges"},
                                                               {"explode", "Explode"},
                                                               {"fabricScissors", "Fabric Scissors"},
                                                               {"flame", "Flame"},
                                                               {"forest", "Forest"},
                                                               {"gear", "Gear"},
                                                               {"heart", "Heart"},
                                                               {"hexagonLeaf", "Hexagon Leaf"},
                                                               {"barsHorizontal", "Horizontal bars"},
                                                               {"koala", "Koala"},
                                                               {"leaf", "Leaf"},
                                                               {"orbits", "Orbits"},
                                                               {"pinch", "Pinch"},
                                                               {"pixels", "Pixels"},
                                                               {"roundedPointingIn", "Rounded Pointing In"},
                                                               {"roundedOuter", "Rounded outer"},
                                                               {"roundedPointingOut", "Rounded pointing out"},
                                                               {"roundedRect", "Rounded rectangle"},
                                                               {"seal", "Seal"},
                                                               {"shield", "Shield"},
                                                               {"spikyCircle", "Spiky Circle"},
                                                               {"square", "Square"},
                                                               {"barsHorizontalSquare", "Square horizontal bars"},
                                                               {"barsVerticalSquare", "Square vertical bars"},
                                                               {"squircle", "Squircle"},
                                                               {"teardrop", "Teardrop"},
                                                               {"ufo", "UFO"},
                                                               {"ufoRounded", "UFO Rounded"},
                                                               {"usePixelShape", "Use Pixel Shape"},
                                                               {"barsVertical", "Vertical bars"}};

using shapefamilytest::ShapeFamily;

INSTANTIATE_TEST_SUITE_P(Pupils, ShapeFamily,
                         testing::Values(shapefamilytest::Family{"Pupils", shapefamilytest::Kind::pupil, kPupils, {}}),
                         shapefamilytest::familyLabel);

TEST(PupilRegistry, HoldsEveryPupilSortedByTitle) {
    const auto& factory = QRCodePupilShapeFactory::shared();
    std::vector<std::pair<std::string, std::string>> registered;
    for (const auto& type : factory.registeredTypes()) registered.emplace_back(type.name, type.title);
    EXPECT_EQ(registered, kPupils);
}

// ---------------------------------------------------------------------------
// Outlines of every member

TEST(PupilOutlines, EveryOutlineFillsThePupilSquareAndStaysNearIt) {
    const std::set<std::string> exactBox{"circle", "arc", "blade", "blobby", "crt", "cloud", "cloudCircle"};
    for (const auto& pupil : QRCodePupilShapeFactory::shared().all()) {
        SCOPED_TRACE(std::string(pupil->name()));
        const Path path = pupil->pupilPath();
        ASSERT_FALSE(path.isEmpty());
        EXPECT_TRUE(path.isFinite());
        // The drawn figure lies in the pupil square (Flame reaches 60.01).
        const auto bounds = path.pathBoundingBox();
        // Listed curves may overshoot their end points by a hair.
        EXPECT_GE(bounds.minX(), 30 - 0.005);
        EXPECT_GE(bounds.minY(), 30 - 0.005);
        EXPECT_LE(bounds.maxX(), 60.01 + 0.005);
        EXPECT_LE(bounds.maxY(), 60 + 0.005);
        // Each fills a good part of it; an empty, inside-out or misplaced
        // outline does not.
        const double share = coverage(path);
        EXPECT_GT(share, 0.45);
        EXPECT_LE(share, 1.0);
        // The same outline on every call.
        EXPECT_EQ(pupil->pupilPath(), path);
        // The round members hold every point, control points too, inside
        // the pupil square and touch all four of its sides.
        if (exactBox.contains(std::string(pupil->name()))) {
            const auto box = path.boundingBox();
            EXPECT_NEAR(box.minX(), 30, 1e-9);
            EXPECT_NEAR(box.minY(), 30, 1e-9);
            EXPECT_NEAR(box.maxX(), 60, 1e-9);
            EXPECT_NEAR(box.maxY(), 60, 1e-9);
        }
    }
}

TEST(PupilOutlines, BarsLeaveTheirGapsEmpty) {
    const Path horizontal = BarsHorizontal().pupilPath();
    EXPECT_EQ(countOf(horizontal, Type::moveToPoint), 3u);
    for (const double y : {35.0, 45.0, 55.0}) EXPECT_TRUE(horizontal.contains({45, y}));
    for (const double y : {39.83, 50.16, 59.995}) EXPECT_FALSE(horizontal.contains({45, y}));
    EXPECT_FALSE(horizontal.contains({30.2, 30.2})); // rounded corner

    const Path vertical = SquareBarsVertical().pupilPath();
    EXPECT_EQ(vertical.elements().front().points[0], (Point{30, 30}));
    EXPECT_TRUE(vertical.contains({30.05, 30.05})); // sharp corner
    for (const double x : {39.83, 50.16}) EXPECT_FALSE(vertical.contains({x, 45}));
    EXPECT_FALSE(SquareBarsHorizontal().pupilPath().contains({45, 40}));
    EXPECT_FALSE(BarsVertical().pupilPath().contains({40, 45}));
}

TEST(PupilOutlines, EmblemsKeepTheirListedExtents) {
    // (Flame reaches 0.01 past the square.)
    EXPECT_NEAR(Flame().pupilPath().pathBoundingBox().maxX(), 60.01, 1e-3);
    const auto scissors = FabricScissors().pupilPath().boundingBox();
    EXPECT_NEAR(scissors.maxX(), 59.9, 1e-9);
    EXPECT_NEAR(scissors.maxY(), 59.9, 1e-9);
    EXPECT_NEAR(scissors.minX(), 30, 1e-9);
}

TEST(PupilOutlines, GearHasEightTeethOnAClosedRing) {
    const Path gear = Gear().pupilPath();
    EXPECT_EQ(countOf(gear, Type::moveToPoint), 1u);
    EXPECT_EQ(gear.elements().back().type, Type::closeSubpath);
    // Each copy of the tooth ends where the next one starts, so the whole
    // outline returns exactly to its start.
    const auto& elements = gear.elements();
    EXPECT_EQ(elements[elements.size() - 2].points[0], elements.front().points[0]);
    // Tips at radius 15, valleys at about 11.85, in every direction.
    for (int k = 0; k < 8; ++k) {
        const double a = k * M_PI / 4, v = a + M_PI / 8;
        EXPECT_TRUE(gear.contains({45 + 14.5 * std::cos(a), 45 + 14.5 * std::sin(a)})) << k;
        EXPECT_FALSE(gear.contains({45 + 12.5 * std::cos(v), 45 + 12.5 * std::sin(v)})) << k;
        EXPECT_TRUE(gear.contains({45 + 11 * std::cos(v), 45 + 11 * std::sin(v)})) << k;
    }
    // The second copy starts where the text says.
    EXPECT_TRUE(hasPoint(gear, {54.52, 90 - 56.69}, 0.011));
}

TEST(PupilOutlines, DiagonalStripesFollowTheirBands) {
    const Path stripes = DiagonalStripes().pupilPath();
    EXPECT_EQ(countOf(stripes, Type::moveToPoint), 12u);
    EXPECT_EQ(countOf(stripes, Type::closeSubpath), 12u);
    const double bands[12][2] = {{23.62, 26.2},    {19.07, 21.65},   {14.51, 17.1},    {9.96, 12.55},
                                 {5.4, 7.99},      {0.85, 3.44},     {-3.71, -1.11},   {-26.47, -23.89},
                                 {-21.91, -19.33}, {-17.36, -14.78}, {-12.81, -10.22}, {-8.26, -5.67}};
    for (const auto& band : bands) {
        // Inside the band across the whole square, outside just beyond it.
        for (const double s : {-0.8, 0.0, 0.8}) {
            const double mid = (band[0] + band[1]) / 2;
            const double reach = (30 - std::abs(mid)) / 2 * s; // along the stripe
            const Point centre{45 - mid / 2 + reach, 45 + mid / 2 + reach};
            EXPECT_TRUE(stripes.contains(centre)) << mid;
            // Moving left raises y - x: just past the upper line, then just
            // below the lower one.
            EXPECT_FALSE(stripes.contains({centre.x - (band[1] - mid) - 0.05, centre.y})) << mid;
            EXPECT_FALSE(stripes.contains({centre.x + (mid - band[0]) + 0.05, centre.y})) << mid;
            if (s == 0) {
                EXPECT_TRUE(stripes.contains({centre.x - (band[1] - mid) + 0.05, centre.y})) << mid;
            }
        }
    }
    for (const auto& p : pointsOf(stripes)) {
        EXPECT_GE(p.x, 30 - 1e-9);
        EXPECT_LE(p.x, 60 + 1e-9);
        EXPECT_GE(p.y, 30 - 1e-9);
        EXPECT_LE(p.y, 60 + 1e-9);
    }
    // Every stripe's straight edge lies on one of its two lines.
    for (const auto& e : stripes.elements()) {
        if (e.type != Type::addLineToPoint) continue;
        const double d = e.points[0].y - e.points[0].x;
        bool onBand = false;
        for (const auto& band : bands) onBand = onBand || std::abs(d - band[0]) < 1e-6 || std::abs(d - band[1]) < 1e-6;
        // Lines along the square's sides end anywhere on a side.
        const bool onSide = std::abs(e.points[0].x - 30) < 1e-9 || std::abs(e.points[0].x - 60) < 1e-9 ||
                            std::abs(e.points[0].y - 30) < 1e-9 || std::abs(e.points[0].y - 60) < 1e-9;
        EXPECT_TRUE(onBand || onSide) << e.points[0].x << "," << e.points[0].y;
    }
    // The rounded corners stay empty.
    EXPECT_FALSE(stripes.contains({30.3, 30.3}));
    EXPECT_FALSE(stripes.contains({59.7, 59.7}));
}

// ---------------------------------------------------------------------------
// Flip members

namespace {
std::vector<std::shared_ptr<QRCodePupilShapeGenerator>> flipMembers() {
    return {std::make_shared<Arrow>(Flip::none),
            std::make_shared<Forest>(Flip::none),
            std::make_shared<HexagonLeaf>(Flip::none),
            std::make_shared<Koala>(),
            std::make_shared<Leaf>(Flip::none),
            std::make_shared<RoundedOuter>(Flip::none),
            std::make_shared<RoundedPointingIn>(Flip::none),
            std::make_shared<Teardrop>(Flip::none),
            std::make_shared<UFO>(Flip::none),
            std::make_shared<UFORounded>(Flip::none)};
}
} // namespace

TEST(FlipPupils, FlipsMirrorTheBaseAboutTheBoxCentre) {
    for (const auto& pupil : flipMembers()) {
        SCOPED_TRACE(std::string(pupil->name()));
        const Path base = pupil->pupilPath();
        struct Case {
            int flip;
            double sx, sy;
        };
        for (const Case c : {Case{1, -1, 1}, Case{2, 1, -1}, Case{3, -1, -1}}) {
            ASSERT_TRUE(pupil->setSettingValue(SettingsValue(c.flip), "flip"));
            const Path flipped = pupil->pupilPath();
            // A new closed path (a base that ends closed gets no second close).
            ASSERT_GE(flipped.size(), base.size());
            ASSERT_LE(flipped.size(), base.size() + 1);
            EXPECT_EQ(flipped.elements().back().type, Type::closeSubpath);
            for (std::size_t i = 0; i < base.size(); ++i) {
                const auto& b = base.elements()[i];
                const auto& f = flipped.elements()[i];
                ASSERT_EQ(b.type, f.type);
                for (int k = 0; k < Path::pointCount(b.type); ++k) {
                    const auto p = b.points[static_cast<std::size_t>(k)], q = f.points[static_cast<std::size_t>(k)];
                    EXPECT_NEAR(q.x, c.sx < 0 ? 90 - p.x : p.x, 1e-9);
                    EXPECT_NEAR(q.y, c.sy < 0 ? 90 - p.y : p.y, 1e-9);
                }
            }
            EXPECT_EQ(pupil->settings(), (SettingsDict{{"flip", c.flip}}));
            EXPECT_EQ(pupil->copyShape()->pupilPath(), flipped);
        }
        pupil->reset();
        EXPECT_EQ(pupil->settings(), (SettingsDict{{"flip", 0}}));
        EXPECT_EQ(pupil->pupilPath(), base);
    }
}

TEST(FlipPupils, RawValueOutsideTheFourDrawsUnflipped) {
    // The setting's number rule is the flip-setting suite's. Settings that
    // are not a dictionary give the default.
    EXPECT_EQ(Leaf::Create(SettingsValue(5))->flip(), Flip::none);
    // A raw value outside the four draws unflipped instead of failing.
    Arrow odd(static_cast<Flip>(12));
    EXPECT_EQ(odd.pupilPath(), Arrow(Flip::none).pupilPath());
}

TEST(FlipPupils, ArrowLeavesOutTheQuadrantItsFlipChooses) {
    const struct {
        Flip flip;
        Point missing;
    } cases[] = {{Flip::none, {52.5, 52.5}},
                 {Flip::horizontal, {37.5, 52.5}},
                 {Flip::vertical, {52.5, 37.5}},
                 {Flip::both, {37.5, 37.5}}};
    for (const auto& c : cases) {
        const Path path = Arrow(c.flip).pupilPath();
        for (const Point p : {Point{37.5, 37.5}, Point{52.5, 37.5}, Point{37.5, 52.5}, Point{52.5, 52.5}}) {
            EXPECT_EQ(path.contains(p), !(p == c.missing)) << int(c.flip) << " " << p.x << "," << p.y;
        }
    }
    // Unflipped, the outline ends on its start without a close.
    const Path base = Arrow(Flip::none).pupilPath();
    EXPECT_NE(base.elements().back().type, Type::closeSubpath);
    EXPECT_EQ(base.currentPoint(), base.elements().front().points[0]);
}

TEST(FlipPupils, MembersOwnFlipRules) {
    // (Every member's flips mirror its pinned outline: see above.) Rounded
    // pointing out is pointing in turned, step for step, with no flip of
    // its own.
    RoundedPointingOut out;
    EXPECT_EQ(out.pupilPath(), RoundedPointingIn(Flip::both).pupilPath());
    EXPECT_FALSE(out.setSettingValue(SettingsValue(1), "flip"));

    // Hexagon leaf: open unflipped, closed when flipped.
    const Path hexagon = HexagonLeaf(Flip::none).pupilPath();
    EXPECT_EQ(hexagon.size(), 13u);
    EXPECT_EQ(countOf(hexagon, Type::closeSubpath), 0u);
    const Path hexagonFlipped = HexagonLeaf(Flip::horizontal).pupilPath();
    EXPECT_EQ(hexagonFlipped.elements().front().points[0], (Point{57, 30}));
    EXPECT_EQ(hexagonFlipped.elements().back().type, Type::closeSubpath);

    // Koala: flipped vertically, the two mirrorings cancel.
    EXPECT_EQ(Koala(Flip::vertical).pupilPath().elements().front().points[0], (Point{31.62, 58.38}));
    EXPECT_NEAR(Koala().pupilPath().elements().front().points[0].y, 90 - 58.38, 1e-9);
}

// ---------------------------------------------------------------------------
// Corner-radius members

TEST(CornerRadiusPupils, InitialiserKeepsTheFractionSettingsClampIt) {
    CorneredPixels pixels(1.5);
    EXPECT_EQ(pixels.settings(), (SettingsDict{{"cornerRadiusFraction", 1.5}}));
    EXPECT_DOUBLE_EQ(pixels.actualCornerRadius(), 5);
    pixels.setCornerRadiusFraction(-1);
    EXPECT_DOUBLE_EQ(pixels.cornerRadiusFraction(), -1);
    EXPECT_DOUBLE_EQ(pixels.actualCornerRadius(), 0);
    // (setSettingValue follows the shared rule table and holds 0...1.)
    EXPECT_TRUE(pixels.setSettingValue(SettingsValue(1.5), "cornerRadiusFraction"));
    EXPECT_DOUBLE_EQ(pixels.actualCornerRadius(), 5);
    pixels.reset();
    EXPECT_DOUBLE_EQ(pixels.actualCornerRadius(), 3.25);
    EXPECT_DOUBLE_EQ(Pixels::Create({{"cornerRadiusFraction", 2}})->actualCornerRadius(), 5);
    EXPECT_DOUBLE_EQ(Edges(2).copyShape()->settingValue<double>("cornerRadiusFraction").value(), 2);

    // Fractions that are no finite number keep the settings writable.
    Edges nan(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(nan.cornerRadiusFraction(), 0);
    EXPECT_TRUE(nan.pupilPath().isFinite());
    Edges infinite(std::numeric_limits<double>::infinity());
    EXPECT_DOUBLE_EQ(infinite.cornerRadiusFraction(), 1);
    EXPECT_DOUBLE_EQ(infinite.actualCornerRadius(), 5);
}

TEST(CornerRadiusPupils, CorneredPixelsRoundOnlyTheOuterCorners) {
    const Path path = CorneredPixels(0.65).pupilPath();
    EXPECT_EQ(path.elements().front().points[0], (Point{33.25, 30}));
    EXPECT_EQ(countOf(path, Type::moveToPoint), 9u);
    EXPECT_EQ(countOf(path, Type::addCurveToPoint), 4u);
    EXPECT_NEAR(path.boundingBox().maxX(), 59, 1e-9);
    EXPECT_NEAR(path.boundingBox().maxY(), 59, 1e-9);
    for (const Point p : {Point{30.3, 30.3}, Point{58.7, 30.3}, Point{30.3, 58.7}, Point{58.7, 58.7}}) {
        EXPECT_FALSE(path.contains(p));
    }
    EXPECT_TRUE(path.contains({39 - 0.2, 30.2})); // inner corner of a corner cell
    EXPECT_FALSE(path.contains({39.5, 35}));      // gap between cells
    EXPECT_EQ(countOf(CorneredPixels(0).pupilPath(), Type::addCurveToPoint), 0u);
    EXPECT_EQ(countOf(CorneredPixels(-1).pupilPath(), Type::addCurveToPoint), 0u);
}

TEST(CornerRadiusPupils, PixelsAndRoundedRectDrawTheirRadius) {
    Path expected;
    for (const double y : {30.0, 40.0, 50.0}) {
        for (const double x : {30.0, 40.0, 50.0}) expected.addRoundedRect(gfx::Rect(x, y, 9, 9), 2.5, 2.5);
    }
    EXPECT_EQ(Pixels(0.5).pupilPath(), expected);
    EXPECT_EQ(countOf(Pixels(-1).pupilPath(), Type::addCurveToPoint), 0u);
    Pixels pixels(0.65);
    pixels.setCornerRadiusFraction(0.8);
    EXPECT_DOUBLE_EQ(pixels.actualCornerRadius(), 4);
    // A radius beyond half the side draws as half the side.
    const Path full = Pixels(1).pupilPath();
    EXPECT_TRUE(full.isFinite());
    EXPECT_NEAR(full.pathBoundingBox().maxX(), 59, 1e-9);
    EXPECT_TRUE(full.contains({34.5, 34.5}));
    EXPECT_FALSE(full.contains({39.5, 34.5}));

    RoundedRect large(1.7);
    EXPECT_DOUBLE_EQ(large.cornerRadiusFraction(), 1);
    Path rounded;
    rounded.addRoundedRect(gfx::Rect(30, 30, 30, 30), 13.5, 13.5);
    EXPECT_EQ(large.pupilPath(), rounded);
    RoundedRect none(-0.3);
    EXPECT_DOUBLE_EQ(none.cornerRadiusFraction(), 0);
    Path square;
    square.addRect(gfx::Rect(30, 30, 30, 30));
    EXPECT_EQ(none.pupilPath(), square);

    Path edges;
    edges.addRoundedRect(gfx::Rect(30, 30, 30, 30), 3.25, 3.25);
    EXPECT_EQ(Edges(0.65).pupilPath(), edges);
}

// ---------------------------------------------------------------------------
// Shield

TEST(ShieldPupil, CornersSelectTheCutQuarters) {
    const Point tl{31, 55}, tr{59, 55}, bl{31, 35}, br{59, 35};
    const Path all = Shield().pupilPath();
    EXPECT_EQ(countOf(all, Type::moveToPoint), 4u);
    for (const Point p : {tl, tr, bl, br}) EXPECT_FALSE(all.contains(p));
    const Path none = Shield(Corners(0)).pupilPath();
    EXPECT_EQ(countOf(none, Type::moveToPoint), 4u);
    for (const Point p : {tl, tr, bl, br}) EXPECT_TRUE(none.contains(p));
    EXPECT_FALSE(none.contains({30.3, 59.7})); // rounded by 4

    Shield topLeft(true, false, false, false);
    EXPECT_EQ(topLeft.corners().rawValue, 1);
    EXPECT_FALSE(topLeft.pupilPath().contains(tl));
    EXPECT_TRUE(topLeft.pupilPath().contains(tr));

    // Bits above the four are kept but draw nothing.
    Shield odd;
    EXPECT_TRUE(odd.setSettingValue(SettingsValue(21), "corners"));
    const Path oddPath = odd.pupilPath();
    EXPECT_FALSE(oddPath.contains(tl));
    EXPECT_FALSE(oddPath.contains(bl));
    EXPECT_TRUE(oddPath.contains(tr));
    EXPECT_TRUE(oddPath.contains(br));
    EXPECT_EQ(countOf(oddPath, Type::moveToPoint), 4u);
}

using shapetest::MarkPixels;

// ---------------------------------------------------------------------------
// Scanning: a symbol with each pupil on its three finder patterns

// The decoder's finder search measures the 1:1:3:1:1 runs of the finder
// along rows, columns and diagonals, so a pupil far from a square (one
// quadrant missing, a tilted leaf) can hide the finder from it, while
// others are found at some sizes and not at others. A camera sees a symbol
// at many sizes; each pupil must decode at one of several, except the few
// this decoder is known never to find.
TEST(PupilScan, SymbolsWithEveryPupilDecode) {
    const std::string message = "https://example.org/pupils?every=shape";
    const ::QRCode::QRCode code(message, ErrorCorrection::medium);
    const auto dimension = code.boolMatrix().dimension();
    ASSERT_GT(dimension, 20);
    Design design;
    design.setAdditionalQuietZonePixels(3);
    std::vector<std::string> unread;
    const std::set<std::string> readOnlyWhenSmall{"barsHorizontal", "barsVertical", "corneredPixels",
                                                  "diagonalStripes"};
    for (const auto& pupil : QRCodePupilShapeFactory::shared().all()) {
        design.shape()->setPupil(pupil);
        bool read = false;
        // Pupils hollow at the decoder's sampling points (bars with gaps,
        // separate cells, stripes) are read only when small, where the gaps
        // blur shut; close up (around 1024 px) no decoder finds their
        // finders. That is their design: they must decode at 2 to 4 pixels
        // per module.
        const bool onlyWhenSmall = readOnlyWhenSmall.contains(std::string(pupil->name()));
        for (const int scale : {2, 3, 4, 5, 6, 8}) {
            if (onlyWhenSmall && scale > 4) break;
            const auto image = code.cgImage((dimension + 6) * scale, design, nullptr);
            ASSERT_NE(image, nullptr);
            const auto found = platform::detectQRCodes(*image);
            if (found.size() == 1 && found.front().text == message) {
                read = true;
                break;
            }
            EXPECT_LE(found.size(), 1u);
        }
        if (!read) unread.emplace_back(pupil->name());
    }
    // Far from a square, or broken into separate cells: the decoder may miss
    // the finder at every size.
    const std::set<std::string> finderHidden{"arrow", "forest", "hexagonLeaf", "koala", "orbits", "pixels"};
    for (const auto& name : unread) EXPECT_TRUE(finderHidden.contains(name)) << name << " no longer decodes";
}

TEST(PupilScan, RendererHandsTheOnPixelShapeToTheUsePixelShapePupil) {
    const ::QRCode::QRCode code("pupil", ErrorCorrection::low);
    Shape shape;
    auto circles = std::make_shared<MarkPixels>(MarkPixels::Mark::circle, true);
    auto pupil = std::make_shared<UsePixelShape>();
    shape.setOnPixels(circles);
    shape.setPupil(pupil);
    const Path path = code.path(gfx::Size{290, 290}, Components::eyePupil(), shape, nullptr, 0, false, false);
    EXPECT_EQ(pupil->pixelShape(), circles);
    EXPECT_FALSE(path.isEmpty());
}
