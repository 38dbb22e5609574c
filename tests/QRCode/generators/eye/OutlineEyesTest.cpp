// The outline eye shapes: registry entries, settings rules, default pupils,
// geometry that rendering relies on (holes, bounds, mirrors) and symbols
// that still scan with each eye.
#include "QRCode/design/Design.h"
#include "QRCode/generators/eye/CRTDotDragEyes.h"
#include "QRCode/generators/eye/CircleBarEyes.h"
#include "QRCode/generators/eye/CompositeEyes.h"
#include "QRCode/generators/eye/CorneredPixelsEye.h"
#include "QRCode/generators/eye/DrawnOutlineEyes.h"
#include "QRCode/generators/eye/EdgesPixelsLeafEyes.h"
#include "QRCode/generators/eye/FixedOutlineEyes.h"
#include "QRCode/generators/eye/FlippingEyes.h"
#include "QRCode/generators/eye/OutlineEyes.h"
#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/pupil/CirclePupils.h"
#include "QRCode/generators/pupil/PixelPupils.h"
#include "QRCode/generators/pupil/RoundedPupils.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/QRCode.h"
#include "QRCode/design/Shape.h"
#include "QRCode/design/Style.h"
#include "platform/detector/QRDetector.h"
#include "tests/QRCode/generators/ShapeFamilyTest.h"
#include "platform/gfx/GraphicsContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace QRCode;
using QRCode::EyeShape::Eye;

namespace {

// Every eye of this family: Name, Title and default pupil Name.
struct Entry {
    std::string_view name, title, pupil;
};
const std::vector<Entry> kFamily{
    {"arc", "Arc", "arc"},
    {"barsHorizontal", "Horizontal bars", "barsHorizontal"},
    {"barsVertical", "Vertical bars", "barsVertical"},
    {"crt", "CRT", "crt"},
    {"circle", "Circle", "circle"},
    {"cloud", "Cloud", "cloud"},
    {"cloudCircle", "Cloud Circle", "cloudCircle"},
    {"corneredPixels", "Cornered pixels", "corneredPixels"},
    {"diagonalStripes", "Diagonal Stripes", "diagonalStripes"},
    {"dotDragHorizontal", "Dot Drag Horizontal", "dotDragHorizontal"},
    {"dotDragVertical", "Dot Drag Vertical", "dotDragVertical"},
    {"edges", "Edges", "edges"},
    {"explode", "Explode", "explode"},
    {"eye", "Eye", "circle"},
    {"fabricScissors", "Fabric Scissors", "fabricScissors"},
    {"fireball", "Fireball", "teardrop"},
    {"flame", "Flame", "flame"},
    {"headlight", "Headlight", "circle"},
    {"holePunch", "Hole Punch", "circle"},
    {"leaf", "Leaf", "leaf"},
    {"peacock", "Peacock", "circle"},
    {"pinch", "Pinch", "pinch"},
    {"pixels", "Pixels", "pixels"},
    {"roundedOuter", "Rounded outer", "roundedOuter"},
};

std::shared_ptr<QRCodeEyeShapeGenerator> named(std::string_view name, const SettingsDict& settings = SettingsDict()) {
    return QRCodeEyeShapeFactory::shared().named(name, settings);
}

// Alpha coverage of the path filled in a bitmap of the eye box, `scale`
// pixels per unit.
std::vector<std::uint8_t> coverage(const gfx::Path& path, gfx::FillRule rule, int scale = 2) {
    const int side = 90 * scale;
    auto context = gfx::GraphicsContext::makeBitmap(side, side);
    context->setFillColor(gfx::Color::gray(0, 1));
    context->fillPath(path.transformed(gfx::AffineTransform::scale(scale, scale)), rule);
    const auto image = context->makeImage();
    std::vector<std::uint8_t> alpha;
    alpha.reserve(static_cast<std::size_t>(side * side));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) alpha.push_back(image->pixel(x, y).a);
    return alpha;
}

// How many pixels differ by more than anti-aliasing can explain.
int differingPixels(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) count += std::abs(int(a[i]) - int(b[i])) > 64 ? 1 : 0;
    return count;
}

gfx::Path mirrored(const gfx::Path& path, Flip flip) {
    gfx::Path out;
    out.addPath(path, QRCode::flipTransform(flip));
    return out;
}

bool inside(const gfx::Path& path, double x, double y) {
    return path.contains({x, y}, gfx::FillRule::nonZero) && path.contains({x, y}, gfx::FillRule::evenOdd);
}

bool outside(const gfx::Path& path, double x, double y) {
    return !path.contains({x, y}, gfx::FillRule::nonZero) && !path.contains({x, y}, gfx::FillRule::evenOdd);
}

// Every eye of the family in every setting worth drawing.
std::vector<std::shared_ptr<QRCodeEyeShapeGenerator>> everyVariant() {
    std::vector<std::shared_ptr<QRCodeEyeShapeGenerator>> eyes;
    for (const auto& entry : kFamily) eyes.push_back(named(entry.name));
    for (std::int64_t f = 1; f <= 3; ++f) {
        eyes.push_back(named("roundedOuter", {{"flip", f}}));
        eyes.push_back(named("headlight", {{"flip", f}}));
        for (std::int64_t style = 0; style <= 2; ++style)
            eyes.push_back(named("eye", {{"flip", f}, {"eyeInnerStyle", style}}));
    }
    for (double fraction : {0.0, 0.3, 1.0}) {
        eyes.push_back(named("corneredPixels", {{"cornerRadiusFraction", fraction}}));
        eyes.push_back(named("pixels", {{"cornerRadiusFraction", fraction}}));
        eyes.push_back(named("edges", {{"cornerRadiusFraction", fraction}}));
    }
    return eyes;
}

std::string describe(const QRCodeEyeShapeGenerator& eye) {
    return std::string(eye.name()) + " " + eye.settings().dump();
}

} // namespace

// ---------------------------------------------------------------------------
// Registry

using shapefamilytest::ShapeFamily;

INSTANTIATE_TEST_SUITE_P(Outline, ShapeFamily, testing::Values([] {
                             shapefamilytest::Family family{"OutlineEyes",
                                                            shapefamilytest::Kind::eye,
                                                            {},
                                                            shapefamilytest::namesAndTitles(outlineEyeShapes())};
                             for (const auto& entry : kFamily) family.classes.emplace_back(entry.name, entry.title);
                             return family;
                         }()),
                         shapefamilytest::familyLabel);

TEST(OutlineEyes, StoredFormKeepsChangedSettings) {
    const auto eye = named("eye", {{"flip", 2}, {"eyeInnerStyle", 1}});
    EXPECT_EQ(QRCodeEyeShapeFactory::shared().create(eyeShapeArchive(*eye))->settings(), eye->settings());
}

// ---------------------------------------------------------------------------
// Geometry shared by the family

TEST(OutlineEyes, OutlinesFillAlikeUnderBothRulesAndStayInTheirBox) {
    for (const auto& eye : everyVariant()) {
        SCOPED_TRACE(describe(*eye));
        const gfx::Path ring = eye->eyePath();
        ASSERT_FALSE(ring.isEmpty());
        EXPECT_EQ(differingPixels(coverage(ring, gfx::FillRule::nonZero), coverage(ring, gfx::FillRule::evenOdd)), 0);
        // The ring is the finder's: 10...80, give or take a drawn wave.
        const gfx::Rect bounds = ring.pathBoundingBox();
        EXPECT_GE(bounds.minX(), 9 - 1e-9);
        EXPECT_GE(bounds.minY(), 9 - 1e-9);
        EXPECT_LE(bounds.maxX(), 81 + 1e-9);
        EXPECT_LE(bounds.maxY(), 81 + 1e-9);
        // The pupil's square stays clear, so the pupil shows.
        EXPECT_TRUE(outside(ring, 45, 45));
        EXPECT_TRUE(outside(ring, 32, 32));
        EXPECT_TRUE(outside(ring, 58, 58));

        const gfx::Path background = eye->eyeBackgroundPath();
        const gfx::Rect backgroundBounds = background.pathBoundingBox();
        EXPECT_GE(backgroundBounds.minX(), -1e-9);
        EXPECT_GE(backgroundBounds.minY(), -1e-9);
        EXPECT_LE(backgroundBounds.maxX(), 90 + 1e-9);
        EXPECT_LE(backgroundBounds.maxY(), 90 + 1e-9);
        EXPECT_TRUE(inside(background, 45, 45));
        EXPECT_EQ(
            differingPixels(coverage(background, gfx::FillRule::nonZero), coverage(background, gfx::FillRule::evenOdd)),
            0);
    }
}

TEST(OutlineEyes, HolesAreOpenRingsAreFilled) {
    // A point in the middle of each side of the ring (15 units from the box
    // edge) and in the hole near its edge.
    const std::vector<std::string_view> fullRings{
        "barsHorizontal", "barsVertical", "crt",       "cloud", "explode", "flame", "holePunch", "pinch",
        "fabricScissors", "roundedOuter", "headlight", "eye",   "leaf",    "arc",   "fireball",  "peacock"};
    for (const auto name : fullRings) {
        SCOPED_TRACE(name);
        const gfx::Path ring = named(name)->eyePath();
        for (const auto& [x, y] : std::vector<std::pair<double, double>>{{45, 14}, {45, 76}, {14, 45}, {76, 45}})
            EXPECT_TRUE(inside(ring, x, y)) << x << "," << y;
        for (const auto& [x, y] : std::vector<std::pair<double, double>>{{45, 26}, {45, 64}, {26, 45}, {64, 45}})
            EXPECT_TRUE(outside(ring, x, y)) << x << "," << y;
    }
    // Circle: the annulus between radius 25 and 35.
    const gfx::Path circle = EyeShape::Circle().eyePath();
    for (int degrees = 0; degrees < 360; degrees += 15) {
        const double a = degrees * 3.14159265358979 / 180;
        EXPECT_TRUE(inside(circle, 45 + 30 * std::cos(a), 45 + 30 * std::sin(a))) << degrees;
        EXPECT_TRUE(outside(circle, 45 + 24 * std::cos(a), 45 + 24 * std::sin(a))) << degrees;
        EXPECT_TRUE(outside(circle, 45 + 36 * std::cos(a), 45 + 36 * std::sin(a))) << degrees;
        EXPECT_TRUE(inside(EyeShape::CloudCircle().eyePath(), 45 + 30 * std::cos(a), 45 + 30 * std::sin(a)));
    }
    // Hole Punch: the square 10...80 around a circle, so the hole's corners
    // are filled.
    EXPECT_TRUE(inside(EyeShape::HolePunch().eyePath(), 22, 22));
    EXPECT_TRUE(inside(EyeShape::HolePunch().eyePath(), 68, 68));
}

TEST(OutlineEyes, BackgroundsAreAuthoredUpsideDown) {
    // Rendering mirrors the background by y -> 90 - y; an asymmetric one only
    // lies under its ring after that.
    struct Case {
        std::string_view name;
        gfx::Point ringCorner;       // an empty corner of the ring's bounding square
        gfx::Point backgroundCorner; // the same corner of the box, empty after mirroring
    };
    for (const auto& c : std::vector<Case>{{"roundedOuter", {11, 11}, {1, 1}},
                                           {"headlight", {11, 11}, {1, 1}},
                                           {"arc", {11, 11}, {8, 14}},
                                           {"leaf", {11, 79}, {1, 89}}}) {
        SCOPED_TRACE(c.name);
        const auto eye = named(c.name);
        EXPECT_TRUE(outside(eye->eyePath(), c.ringCorner.x, c.ringCorner.y));
        const gfx::Path background = eye->eyeBackgroundPath();
        EXPECT_TRUE(inside(background, c.backgroundCorner.x, c.backgroundCorner.y));
        EXPECT_TRUE(outside(mirrored(background, Flip::vertical), c.backgroundCorner.x, c.backgroundCorner.y));
    }
    // Symmetric backgrounds are unaffected.
    for (const auto name : {"circle", "cloudCircle", "barsHorizontal", "crt", "pinch", "fabricScissors"}) {
        const gfx::Path background = named(name)->eyeBackgroundPath();
        EXPECT_EQ(differingPixels(coverage(background, gfx::FillRule::nonZero),
                                  coverage(mirrored(background, Flip::vertical), gfx::FillRule::nonZero)),
                  0)
            << name;
    }
}

// ---------------------------------------------------------------------------
// Flips

TEST(OutlineEyes, FlipsMirrorBothOutlines) {
    for (const auto name : {"roundedOuter", "headlight", "eye"}) {
        for (std::int64_t style = 0; style <= (std::string_view(name) == "eye" ? 2 : 0); ++style) {
            const auto plain = named(name, {{"eyeInnerStyle", style}});
            for (std::int64_t f = 1; f <= 3; ++f) {
                SCOPED_TRACE(std::string(name) + " flip " + std::to_string(f) + " style " + std::to_string(style));
                const auto flipped = named(name, {{"flip", f}, {"eyeInnerStyle", style}});
                const Flip flip = static_cast<Flip>(f);
                EXPECT_EQ(differingPixels(coverage(flipped->eyePath(), gfx::FillRule::evenOdd),
                                          coverage(mirrored(plain->eyePath(), flip), gfx::FillRule::evenOdd)),
                          0);
                EXPECT_EQ(differingPixels(coverage(flipped->eyeBackgroundPath(), gfx::FillRule::nonZero),
                                          coverage(mirrored(plain->eyeBackgroundPath(), flip), gfx::FillRule::nonZero)),
                          0);
            }
        }
    }
    // Flip both puts the rounded corner of Rounded outer at (80, 80).
    EyeShape::RoundedOuter both(Flip::both);
    EXPECT_TRUE(outside(both.eyePath(), 79, 79));
    EXPECT_TRUE(inside(both.eyePath(), 11, 11));
    EXPECT_TRUE(inside(both.eyePath(), 69, 69)); // the hole's rounded corner
    EXPECT_TRUE(outside(both.eyePath(), 21, 21));
    // Flip none keeps the drawn outline as it is.
    EXPECT_EQ(EyeShape::Headlight(Flip::none).eyePath(), EyeShape::Headlight(Flip::none).eyePath());
    EXPECT_EQ(EyeShape::Headlight(Flip::horizontal).eyePath(), EyeShape::Headlight(Flip::horizontal).eyePath());
}

TEST(OutlineEyes, FlipSettingKeepsTheOtherSettings) {
    // The number rule is the flip-setting suite's; here only that a flip
    // leaves the inner style alone and is not taken as a style.
    Eye eye(Flip::none, Eye::Style::squaredFarCorner);
    EXPECT_TRUE(eye.setSettingValue(SettingsValue(2), "flip"));
    EXPECT_EQ(eye.settings(), (SettingsDict{{"flip", 2}, {"eyeInnerStyle", 1}}));
    EyeShape::Headlight headlight(Flip::both);
    EXPECT_FALSE(headlight.setSettingValue(SettingsValue(1), "eyeInnerStyle"));
    EXPECT_EQ(named("headlight", {{"flip", 2}})->copyShape()->settings(), (SettingsDict{{"flip", 2}}));
}

TEST(OutlineEyes, EyeInnerStyleSetting) {
    Eye eye(Flip::horizontal, Eye::Style::squaredNearCorner);
    EXPECT_EQ(eye.settings(), (SettingsDict{{"flip", 1}, {"eyeInnerStyle", 2}}));
    const auto copy = eye.copyShape();
    EXPECT_EQ(copy->settings(), eye.settings());
    EXPECT_EQ(copy->eyePath(), eye.eyePath());

    EXPECT_TRUE(eye.setSettingValue(SettingsValue(5), "eyeInnerStyle"));
    EXPECT_EQ(eye.eyeInnerStyle(), Eye::Style::circular);
    EXPECT_EQ(eye.eyePath(), Eye(Flip::horizontal, Eye::Style::circular).eyePath());
    EXPECT_TRUE(eye.setSettingValue(SettingsValue(1.7), "eyeInnerStyle"));
    EXPECT_EQ(eye.eyeInnerStyle(), Eye::Style::squaredFarCorner);
    EXPECT_TRUE(eye.setSettingValue(SettingsValue("2"), "eyeInnerStyle"));
    EXPECT_EQ(eye.eyeInnerStyle(), Eye::Style::circular);
    eye.setEyeInnerStyle(Eye::Style::squaredNearCorner);
    EXPECT_TRUE(eye.setSettingValue(std::nullopt, "eyeInnerStyle"));
    EXPECT_EQ(eye.eyeInnerStyle(), Eye::Style::circular);
    // A missing flip leaves the flip alone.
    EXPECT_FALSE(eye.setSettingValue(std::nullopt, "flip"));
    EXPECT_EQ(eye.flip(), Flip::horizontal);

    // The background follows the flip, not the style.
    EXPECT_EQ(Eye(Flip::none, Eye::Style::squaredFarCorner).eyeBackgroundPath(),
              Eye(Flip::none, Eye::Style::circular).eyeBackgroundPath());
    // Each style squares its own quarter of the hole.
    EXPECT_TRUE(inside(Eye(Flip::none, Eye::Style::circular).eyePath(), 22, 22));
    EXPECT_TRUE(outside(Eye(Flip::none, Eye::Style::squaredNearCorner).eyePath(), 21, 21));
    EXPECT_TRUE(inside(Eye(Flip::none, Eye::Style::squaredNearCorner).eyePath(), 69, 69));
    EXPECT_TRUE(outside(Eye(Flip::none, Eye::Style::squaredFarCorner).eyePath(), 69, 69));
    eye.reset();
    EXPECT_EQ(eye.settings(), (SettingsDict{{"flip", 0}, {"eyeInnerStyle", 0}}));
}

TEST(OutlineEyes, RoundedOuterKeepsItsPupilFlippedLikeItself) {
    auto eye = std::static_pointer_cast<EyeShape::RoundedOuter>(named("roundedOuter", {{"flip", 3}}));
    const auto pupil = eye->defaultPupil();
    EXPECT_EQ(pupil, eye->defaultPupil());
    EXPECT_EQ(pupil->name(), "roundedOuter");
    EXPECT_EQ(pupil->settings(), (SettingsDict{{"flip", 3}}));
    eye->setSettingValue(SettingsValue(1), "flip");
    EXPECT_EQ(pupil->settings(), (SettingsDict{{"flip", 1}}));
    eye->setFlip(Flip::vertical);
    EXPECT_EQ(pupil->settings(), (SettingsDict{{"flip", 2}}));
    const auto copy = eye->copyShape();
    EXPECT_NE(copy->defaultPupil(), pupil);
    EXPECT_EQ(copy->defaultPupil()->settings(), (SettingsDict{{"flip", 2}}));
    eye->reset();
    EXPECT_EQ(eye->settings(), (SettingsDict{{"flip", 0}}));
    EXPECT_EQ(pupil->settings(), (SettingsDict{{"flip", 0}}));
    EXPECT_EQ(copy->defaultPupil()->settings(), (SettingsDict{{"flip", 2}}));
    EXPECT_EQ(EyeShape::RoundedOuter(Flip::horizontal).defaultPupil()->settings(), (SettingsDict{{"flip", 1}}));
}

// ---------------------------------------------------------------------------
// Corner-radius eyes

TEST(OutlineEyes, CorneredPixelsSettings) {
    auto make = [](const SettingsDict& settings) {
        return std::static_pointer_cast<EyeShape::CorneredPixels>(named("corneredPixels", settings));
    };
    auto eye = make(SettingsDict());
    EXPECT_DOUBLE_EQ(eye->cornerRadiusFraction(), 0.65);
    EXPECT_DOUBLE_EQ(eye->actualCornerRadius(), 3.25);
    EXPECT_DOUBLE_EQ(make({{"cornerRadiusFraction", 2}})->actualCornerRadius(), 5);
    EXPECT_DOUBLE_EQ(make({{"cornerRadiusFraction", -1}})->cornerRadiusFraction(), 0);
    EXPECT_DOUBLE_EQ(make({{"cornerRadiusFraction", "0.5"}})->cornerRadiusFraction(), 0.65);

    EXPECT_TRUE(eye->setSettingValue(SettingsValue(0.4), "cornerRadiusFraction"));
    EXPECT_EQ(eye->settings(), (SettingsDict{{"cornerRadiusFraction", 0.4}}));
    EXPECT_FALSE(eye->setSettingValue(SettingsValue(0.2), "radius"));
    EXPECT_FALSE(eye->setSettingValue(std::nullopt, "cornerRadiusFraction"));
    EXPECT_FALSE(eye->setSettingValue(SettingsValue("0.2"), "cornerRadiusFraction"));
    EXPECT_DOUBLE_EQ(eye->cornerRadiusFraction(), 0.4);
    EXPECT_TRUE(eye->setSettingValue(SettingsValue(3), "cornerRadiusFraction"));
    EXPECT_DOUBLE_EQ(eye->cornerRadiusFraction(), 1);

    eye->setCornerRadiusFraction(1.5); // the property stores what it is given
    EXPECT_DOUBLE_EQ(eye->cornerRadiusFraction(), 1.5);
    EXPECT_DOUBLE_EQ(eye->actualCornerRadius(), 7.5);
    EXPECT_EQ(eye->copyShape()->settings(), (SettingsDict{{"cornerRadiusFraction", 1.0}}));
    eye->reset();
    EXPECT_DOUBLE_EQ(eye->actualCornerRadius(), 3.25);

    // A new pupil on every call, with the eye's fraction.
    eye->setSettingValue(SettingsValue(0.2), "cornerRadiusFraction");
    const auto p1 = eye->defaultPupil(), p2 = eye->defaultPupil();
    EXPECT_NE(p1, p2);
    EXPECT_EQ(p1->name(), "corneredPixels");
    EXPECT_EQ(p1->settings(), (SettingsDict{{"cornerRadiusFraction", 0.2}}));
}

TEST(OutlineEyes, CorneredPixelsOutline) {
    // Fraction 0: 24 squares of 9 units, the ring ending at 79.
    const gfx::Path square = EyeShape::CorneredPixels(0).eyePath();
    EXPECT_EQ(square.pathBoundingBox(), gfx::Rect(10, 10, 69, 69));
    int contours = 0;
    for (const auto& e : square.elements()) contours += e.type == gfx::Path::ElementType::moveToPoint ? 1 : 0;
    EXPECT_EQ(contours, 24);
    EXPECT_TRUE(inside(square, 10.2, 10.2));
    EXPECT_TRUE(inside(square, 78.8, 78.8));
    EXPECT_TRUE(outside(square, 19.5, 15)); // the gap between modules
    for (const auto& e : square.elements()) EXPECT_NE(e.type, gfx::Path::ElementType::addCurveToPoint);

    // Fraction 1: the first corner module starts at (15, 10) and closes with
    // the curve from (10, 15) whose first control point is the corner.
    const gfx::Path round = EyeShape::CorneredPixels(1).eyePath();
    const auto& elements = round.elements();
    EXPECT_EQ(elements[0].points[0], (gfx::Point{15, 10}));
    ASSERT_EQ(elements[5].type, gfx::Path::ElementType::addCurveToPoint);
    EXPECT_EQ(elements[4].points[0], (gfx::Point{10, 15}));
    EXPECT_EQ(elements[5].points[0], (gfx::Point{10, 10}));
    EXPECT_EQ(elements[5].points[2], (gfx::Point{15, 10}));
    EXPECT_TRUE(outside(round, 10.5, 10.5));
    EXPECT_TRUE(outside(round, 78.5, 78.5));
    EXPECT_TRUE(inside(round, 18.5, 10.5));

    // A fraction stored through the property beyond 0...1 still draws
    // inside each corner module.
    EyeShape::CorneredPixels wild(0.5);
    for (double fraction : {40.0, -3.0, std::numeric_limits<double>::quiet_NaN()}) {
        wild.setCornerRadiusFraction(fraction);
        const gfx::Path ring = wild.eyePath();
        EXPECT_TRUE(ring.isFinite()) << fraction;
        EXPECT_EQ(ring.pathBoundingBox(), gfx::Rect(10, 10, 69, 69)) << fraction;
        EXPECT_EQ(differingPixels(coverage(ring, gfx::FillRule::nonZero), coverage(ring, gfx::FillRule::evenOdd)), 0);
    }
}

TEST(OutlineEyes, EdgesAndPixelsSettings) {
    auto edges = std::static_pointer_cast<EyeShape::Edges>(named("edges", SettingsDict::object()));
    auto pixels = std::static_pointer_cast<EyeShape::Pixels>(named("pixels", SettingsDict::object()));
    EXPECT_DOUBLE_EQ(edges->cornerRadiusFraction(), 1.0);
    EXPECT_DOUBLE_EQ(pixels->cornerRadiusFraction(), 0.65);

    EXPECT_TRUE(pixels->setSettingValue(SettingsValue(1.7), "cornerRadiusFraction"));
    EXPECT_DOUBLE_EQ(pixels->cornerRadiusFraction(), 1.0);
    EXPECT_TRUE(pixels->setSettingValue(SettingsValue(-0.2), "cornerRadiusFraction"));
    EXPECT_DOUBLE_EQ(pixels->cornerRadiusFraction(), 0.0);
    EXPECT_FALSE(pixels->setSettingValue(SettingsValue("0.5"), "cornerRadiusFraction"));
    EXPECT_FALSE(edges->setSettingValue(std::nullopt, "cornerRadiusFraction"));
    EXPECT_FALSE(edges->setSettingValue(SettingsValue(0.5), "flip"));
    EXPECT_DOUBLE_EQ(edges->cornerRadiusFraction(), 1.0);

    pixels->setCornerRadiusFraction(2.0);
    EXPECT_EQ(pixels->settings(), (SettingsDict{{"cornerRadiusFraction", 2.0}}));
    EXPECT_DOUBLE_EQ(pixels->actualCornerRadius(), 5);
    // A radius above half a module is drawn as half a module: round dots.
    const gfx::Path dots = pixels->eyePath();
    EXPECT_TRUE(outside(dots, 10.5, 10.5));
    EXPECT_TRUE(inside(dots, 14.5, 14.5));
    EXPECT_EQ(pixels->copyShape()->settings(), (SettingsDict{{"cornerRadiusFraction", 1.0}}));
    pixels->reset();
    EXPECT_DOUBLE_EQ(pixels->actualCornerRadius(), 3.25);

    // Edges: fraction 0 draws sharp bars, 1 bar ends of radius 5.
    EXPECT_TRUE(inside(EyeShape::Edges(0).eyePath(), 30.2, 70.2));
    EXPECT_TRUE(outside(EyeShape::Edges(1).eyePath(), 30.5, 70.5));
    EXPECT_TRUE(inside(EyeShape::Edges(1).eyePath(), 35, 75));
    EXPECT_TRUE(outside(EyeShape::Edges(1).eyePath(), 15, 15)); // the ring's corners stay empty
    edges->setCornerRadiusFraction(-4);                         // stored as given, drawn clamped
    EXPECT_EQ(edges->settings(), (SettingsDict{{"cornerRadiusFraction", -4.0}}));
    EXPECT_EQ(edges->eyePath(), EyeShape::Edges(0).eyePath());

    // Edges' pupil is shared and rounded by 0.65; Pixels' is new and carries
    // the eye's fraction.
    edges->setSettingValue(SettingsValue(0.2), "cornerRadiusFraction");
    pixels->setSettingValue(SettingsValue(0.2), "cornerRadiusFraction");
    EXPECT_EQ(edges->defaultPupil(), EyeShape::Edges(0.9).defaultPupil());
    EXPECT_EQ(edges->defaultPupil()->settings(), (SettingsDict{{"cornerRadiusFraction", 0.65}}));
    EXPECT_NE(pixels->defaultPupil(), pixels->defaultPupil());
    EXPECT_EQ(pixels->defaultPupil()->settings(), (SettingsDict{{"cornerRadiusFraction", 0.2}}));
}

// ---------------------------------------------------------------------------
// Particular outlines

TEST(OutlineEyes, BarEyesShareTheirRingButNotTheirPupil) {
    EyeShape::BarsHorizontal horizontal;
    EyeShape::BarsVertical vertical;
    EXPECT_EQ(horizontal.eyePath(), vertical.eyePath());
    EXPECT_EQ(horizontal.eyeBackgroundPath(), vertical.eyeBackgroundPath());
    EXPECT_NE(horizontal.defaultPupil(), vertical.defaultPupil());
    EXPECT_EQ(horizontal.eyeBackgroundPath(), EyeShape::roundedSquareBackground());
    EXPECT_EQ(EyeShape::DiagonalStripes().eyeBackgroundPath(), EyeShape::roundedSquareBackground());
    EXPECT_EQ(EyeShape::DotDragVertical().eyeBackgroundPath(), EyeShape::DotDragHorizontal().eyeBackgroundPath());
}

TEST(OutlineEyes, DotDragRings) {
    const gfx::Path horizontal = EyeShape::DotDragHorizontal().eyePath();
    const gfx::Path vertical = EyeShape::DotDragVertical().eyePath();
    for (const gfx::Path* ring : {&horizontal, &vertical}) {
        for (const auto& [x, y] : std::vector<std::pair<double, double>>{{15, 15}, {75, 15}, {15, 75}, {75, 75}})
            EXPECT_TRUE(outside(*ring, x, y)) << x << "," << y;
    }
    EXPECT_TRUE(inside(horizontal, 45, 75));
    EXPECT_TRUE(inside(horizontal, 15, 45));
    // A quarter turn about the centre takes one onto the other.
    const auto quarter = gfx::AffineTransform::translation(-45, -45)
                             .then(gfx::AffineTransform{0, 1, -1, 0, 0, 0})
                             .then(gfx::AffineTransform::translation(45, 45));
    EXPECT_EQ(differingPixels(coverage(horizontal.transformed(quarter), gfx::FillRule::nonZero),
                              coverage(vertical, gfx::FillRule::nonZero)),
              0);
}

TEST(OutlineEyes, DrawnOutlines) {
    // The arc ring is mirrored when built; its background is not.
    EXPECT_EQ(EyeShape::Arc().eyePath().elements().front().points[0].x, 51.07);
    EXPECT_NEAR(EyeShape::Arc().eyePath().elements().front().points[0].y, 10.04, 1e-9);
    EXPECT_EQ(EyeShape::Arc().eyeBackgroundPath().elements().front().points[0], (gfx::Point{0.01, 40.6}));
    EXPECT_TRUE(outside(EyeShape::Arc().eyePath(), 14, 14));
    EXPECT_TRUE(inside(EyeShape::Arc().eyePath(), 14, 76));

    // The diagonal stripes cover nothing outside the ring, and about half of it.
    const gfx::Path stripes = EyeShape::DiagonalStripes().eyePath();
    const auto alpha = coverage(stripes, gfx::FillRule::nonZero, 4);
    int inRing = 0, ringPixels = 0;
    for (int y = 0; y < 360; ++y)
        for (int x = 0; x < 360; ++x) {
            const double ux = (x + 0.5) / 4, uy = (y + 0.5) / 4;
            const bool ring = ux > 10 && ux < 80 && uy > 10 && uy < 80 && !(ux > 20 && ux < 70 && uy > 20 && uy < 70);
            const int a = alpha[static_cast<std::size_t>(y * 360 + x)];
            const bool clearOfRing =
                ux < 9.8 || ux > 80.2 || uy < 9.8 || uy > 80.2 || (ux > 20.2 && ux < 69.8 && uy > 20.2 && uy < 69.8);
            if (clearOfRing) {
                ASSERT_EQ(a, 0) << ux << "," << uy;
            }
            ringPixels += ring ? 1 : 0;
            inRing += ring && a > 127 ? 1 : 0;
        }
    EXPECT_NEAR(double(inRing) / ringPixels, 2.58 / 4.555, 0.05);

    // The cloud rings wave about the ring's edges.
    const gfx::Path cloud = EyeShape::Cloud().eyePath();
    EXPECT_TRUE(inside(cloud, 45, 15));
    EXPECT_TRUE(outside(cloud, 45, 25));
    EXPECT_NEAR(cloud.pathBoundingBox().minX(), 9.75, 1e-9); // the left waves sit 0.25 further left
    EXPECT_NEAR(cloud.pathBoundingBox().maxY(), 80, 1e-9);
}

TEST(OutlineEyes, CompositesDrawWithTheirInnerEye) {
    EyeShape::Fireball fireball;
    EyeShape::Peacock peacock;
    EXPECT_EQ(fireball.eyePath(), Eye(Flip::none, Eye::Style::squaredNearCorner).eyePath());
    EXPECT_EQ(peacock.eyePath(), Eye(Flip::none, Eye::Style::squaredFarCorner).eyePath());
    EXPECT_EQ(fireball.eyeBackgroundPath(), Eye(Flip::none, Eye::Style::circular).eyeBackgroundPath());
    EXPECT_EQ(named("fireball", {{"flip", 1}})->eyePath(), fireball.eyePath());
    EXPECT_FALSE(fireball.setSettingValue(SettingsValue(1), "flip"));
    EXPECT_EQ(peacock.defaultPupil(), peacock.defaultPupil());
    EXPECT_NE(peacock.defaultPupil(), EyeShape::Peacock().defaultPupil());
    EXPECT_NE(fireball.copyShape()->defaultPupil(), fireball.defaultPupil());
    EXPECT_EQ(fireball.defaultPupil()->settings(), (SettingsDict{{"flip", 0}}));
}

TEST(OutlineEyes, FixedOutlines) {
    // Hole Punch's hole is exactly the Eye's circular hole.
    const auto holePunch = EyeShape::HolePunch().eyePath().elements();
    const auto eye = Eye(Flip::none, Eye::Style::circular).eyePath().elements();
    EXPECT_TRUE(std::equal(eye.begin(), eye.begin() + 7, holePunch.begin()));
    // Explode's hole is a four-pointed star.
    const gfx::Path explode = EyeShape::Explode().eyePath();
    EXPECT_TRUE(outside(explode, 17, 17));
    EXPECT_TRUE(inside(explode, 21, 45));
    EXPECT_TRUE(outside(explode, 23, 45));
    // Pinch bows every side inward.
    const gfx::Path pinch = EyeShape::Pinch().eyePath();
    EXPECT_TRUE(outside(pinch, 45, 11.5));
    EXPECT_TRUE(inside(pinch, 10.5, 10.5));
    // Fabric Scissors: teeth on the edges, the corners notched.
    const gfx::Path scissors = EyeShape::FabricScissors().eyePath();
    EXPECT_TRUE(inside(scissors, 20, 10.5));
    EXPECT_TRUE(outside(scissors, 22.5, 10.5));
    EXPECT_TRUE(outside(scissors, 78.5, 11.5));
    EXPECT_TRUE(inside(scissors, 22.5, 13));
    EXPECT_TRUE(outside(scissors, 22.5, 18.5));
    // Flame points at (10, 10).
    EXPECT_TRUE(inside(EyeShape::Flame().eyePath(), 11, 11.5));
    EXPECT_TRUE(outside(EyeShape::Flame().eyePath(), 79, 12));
}

// ---------------------------------------------------------------------------
// Default pupils

TEST(OutlineEyes, DefaultPupils) {
    const std::vector<std::string_view> newPerCall{"corneredPixels", "pixels"};
    const std::vector<std::string_view> owned{"roundedOuter", "fireball", "peacock"};
    for (const auto& entry : kFamily) {
        SCOPED_TRACE(entry.name);
        const auto eye = named(entry.name);
        const auto pupil = eye->defaultPupil();
        ASSERT_NE(pupil, nullptr);
        EXPECT_EQ(pupil->name(), entry.pupil);
        const auto again = eye->defaultPupil();
        const auto other = named(entry.name)->defaultPupil();
        const auto copied = eye->copyShape()->defaultPupil();
        if (std::find(newPerCall.begin(), newPerCall.end(), entry.name) != newPerCall.end()) {
            EXPECT_NE(pupil, again);
        } else if (std::find(owned.begin(), owned.end(), entry.name) != owned.end()) {
            EXPECT_EQ(pupil, again);
            EXPECT_NE(pupil, other);
            EXPECT_NE(pupil, copied);
        } else {
            EXPECT_EQ(pupil, again);
            EXPECT_EQ(pupil, other);
            EXPECT_EQ(pupil, copied);
        }
    }
    // Shared pupils are one per eye class, even where the pupil class is the same.
    EXPECT_NE(named("circle")->defaultPupil(), named("headlight")->defaultPupil());
    EXPECT_NE(named("eye")->defaultPupil(), named("holePunch")->defaultPupil());
    // The flipping eyes' shared circle does not follow the flip.
    EXPECT_EQ(named("headlight", {{"flip", 2}})->defaultPupil(), named("headlight")->defaultPupil());
}

TEST(OutlineEyes, FirstUseFromManyThreadsMakesOneOutlineAndOnePupil) {
    std::vector<std::shared_ptr<QRCodePupilShapeGenerator>> pupils(8);
    std::vector<gfx::Path> rings(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < 8; ++i) {
        threads.emplace_back([&, i] {
            EyeShape::FabricScissors eye;
            rings[i] = eye.eyePath();
            pupils[i] = EyeShape::Cloud().defaultPupil();
        });
    }
    for (auto& t : threads) t.join();
    for (std::size_t i = 1; i < 8; ++i) {
        EXPECT_EQ(rings[i], rings[0]);
        EXPECT_EQ(pupils[i], pupils[0]);
    }
}

// ---------------------------------------------------------------------------
// Scanning

TEST(OutlineEyes, SymbolsWithEachEyeScan) {
    // Whether a finder pattern is found depends on the eye and pupil
    // together (the decoder checks run lengths across and diagonally through
    // the centre), so each eye must scan with at least one of its default
    // pupil, the square pupil and the circle pupil at one of a few sizes.
    // Eyes whose drawing leaves the ring's corners empty (dot drag, edges),
    // cuts the ring into stripes, or fills the ring's corners around a round
    // hole (headlight) break those run lengths by design and are not read by
    // this decoder at any size.
    const std::vector<std::string_view> unreadable{"diagonalStripes", "dotDragHorizontal", "dotDragVertical", "edges",
                                                   "headlight"};
    const std::string message = "https://example.org/eyes?shape=outline&n=2718";
    ::QRCode::QRCode code(message, ErrorCorrection::quartile);
    std::vector<std::shared_ptr<QRCodeEyeShapeGenerator>> eyes;
    for (const auto& entry : kFamily) eyes.push_back(named(entry.name));
    eyes.push_back(named("corneredPixels", {{"cornerRadiusFraction", 0}}));
    eyes.push_back(named("pixels", {{"cornerRadiusFraction", 1}}));
    eyes.push_back(named("roundedOuter", {{"flip", 3}}));
    for (const auto& eye : eyes) {
        SCOPED_TRACE(describe(*eye));
        if (std::find(unreadable.begin(), unreadable.end(), eye->name()) != unreadable.end()) continue;
        bool read = false;
        for (int pupil = 0; pupil < 3 && !read; ++pupil) {
            Design design(gfx::Color::gray(0, 1), gfx::Color::gray(1, 1));
            design.setAdditionalQuietZonePixels(3);
            design.shape()->setEye(eye);
            if (pupil == 1) design.shape()->setPupil(std::make_shared<PupilShape::Square>());
            if (pupil == 2) design.shape()->setPupil(std::make_shared<PupilShape::Circle>());
            for (int size : {330, 410, 490, 570}) {
                const auto found = platform::detectQRCodes(*code.cgImage(size, design, nullptr));
                if (found.size() == 1 && found.front().text == message) {
                    read = true;
                    break;
                }
            }
        }
        EXPECT_TRUE(read);
    }
}
