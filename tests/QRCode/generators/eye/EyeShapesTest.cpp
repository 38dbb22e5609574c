// The eye shapes: registry entries, default pupils, the geometry rendering
// relies on (ring in 10...80 with an open hole, background behind it once
// mirrored, both alike under either fill rule), flips, settings, particular
// outlines and symbols that still scan with each eye.
#include "tests/QRCode/ShapeTestDoubles.h"
#include "QRCode/design/Design.h"
#include "QRCode/design/Shape.h"
#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/PupilShapeFactory.h"
#include "QRCode/generators/eye/CRTDotDragEyes.h"
#include "QRCode/generators/eye/CircleBarEyes.h"
#include "QRCode/generators/eye/CompositeEyes.h"
#include "QRCode/generators/eye/CorneredPixelsEye.h"
#include "QRCode/generators/eye/DrawnOutlineEyes.h"
#include "QRCode/generators/eye/EdgesPixelsLeafEyes.h"
#include "QRCode/generators/eye/FixedOutlineEyes.h"
#include "QRCode/generators/eye/FlippingEyes.h"
#include "QRCode/generators/eye/OutlineEyes.h"
#include "QRCode/generators/eye/RoundedCornerEyes.h"
#include "QRCode/generators/eye/RoundedPointing.h"
#include "QRCode/generators/eye/RoundedRectSquircle.h"
#include "QRCode/generators/eye/Shield.h"
#include "QRCode/generators/eye/SpikyPegBars.h"
#include "QRCode/generators/eye/TeardropUFO.h"
#include "QRCode/generators/eye/UsePixelShape.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/pupil/CirclePupils.h"
#include "QRCode/generators/pupil/RoundedPupils.h"
#include "QRCode/generators/pupil/ShieldPupils.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/generators/pupil/UsePixelShape.h"
#include "QRCode/QRCode.h"
#include "platform/detector/QRDetector.h"
#include "platform/gfx/GraphicsContext.h"
#include "tests/QRCode/generators/ShapeFamilyTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

using namespace QRCode;
using namespace QRCode::EyeShape;

namespace {

// How an eye hands out its default pupil: one per eye class (copies and
// other instances share it), one per eye object, or a new one per call.
enum class Sharing { perClass, perEye, perCall };

struct EyeEntry {
    std::string name, title, pupil;
    Sharing sharing;
};

// Every eye but the plain square, with its Title and default pupil.
const std::vector<EyeEntry> kEyes{
    {"arc", "Arc", "arc", Sharing::perClass},
    {"barsHorizontal", "Horizontal bars", "barsHorizontal", Sharing::perClass},
    {"barsVertical", "Vertical bars", "barsVertical", Sharing::perClass},
    {"crt", "CRT", "crt", Sharing::perClass},
    {"circle", "Circle", "circle", Sharing::perClass},
    {"cloud", "Cloud", "cloud", Sharing::perClass},
    {"cloudCircle", "Cloud Circle", "cloudCircle", Sharing::perClass},
    {"corneredPixels", "Cornered pixels", "corneredPixels", Sharing::perCall},
    {"diagonalStripes", "Diagonal Stripes", "diagonalStripes", Sharing::perClass},
    {"dotDragHorizontal", "Dot Drag Horizontal", "dotDragHorizontal", Sharing::perClass},
    {"dotDragVertical", "Dot Drag Vertical", "dotDragVertical", Sharing::perClass},
    {"edges", "Edges", "edges", Sharing::perClass},
    {"explode", "Explode", "explode", Sharing::perClass},
    {"eye", "Eye", "circle", Sharing::perClass},
    {"fabricScissors", "Fabric Scissors", "fabricScissors", Sharing::perClass},
    {"fireball", "Fireball", "teardrop", Sharing::perEye},
    {"flame", "Flame", "flame", Sharing::perClass},
    {"headlight", "Headlight", "circle", Sharing::perClass},
    {"holePunch", "Hole Punch", "circle", Sharing::perClass},
    {"leaf", "Leaf", "leaf", Sharing::perClass},
    {"peacock", "Peacock", "circle", Sharing::perEye},
    {"pinch", "Pinch", "pinch", Sharing::perClass},
    {"pixels", "Pixels", "pixels", Sharing::perCall},
    {"roundedOuter", "Rounded outer", "roundedOuter", Sharing::perEye},
    {"roundedRect", "Rounded rectangle", "roundedRect", Sharing::perEye},
    {"squircle", "Squircle", "squircle", Sharing::perClass},
    {"roundedPointingIn", "Rounded Pointing In", "roundedPointingIn", Sharing::perEye},
    {"roundedPointingOut", "Rounded pointing out", "roundedPointingOut", Sharing::perEye},
    {"shield", "Shield", "shield", Sharing::perCall},
    {"usePixelShape", "Use Pixel Shape", "usePixelShape", Sharing::perCall},
    {"teardrop", "Teardrop", "teardrop", Sharing::perEye},
    {"ufo", "UFO", "ufo", Sharing::perEye},
    {"ufoRounded", "UFO Rounded", "ufoRounded", Sharing::perEye},
    {"squarePeg", "Square Peg", "squircle", Sharing::perClass},
    {"spikyCircle", "Spiky Circle", "spikyCircle", Sharing::perClass},
    {"surroundingBars", "Surrounding bars", "roundedRect", Sharing::perEye},
};

// The eyes with a flip setting.
const std::vector<std::string> kFlipping{"roundedOuter", "headlight", "eye",       "roundedPointingIn",
                                         "teardrop",     "ufo",       "ufoRounded"};

std::shared_ptr<QRCodeEyeShapeGenerator> named(const std::string& name, const SettingsDict& settings = {}) {
    return QRCodeEyeShapeFactory::shared().named(name, settings);
}

std::string describe(const QRCodeEyeShapeGenerator& eye) {
    return std::string(eye.name()) + " " + eye.settings().dump();
}

// Every eye in its default settings and in each setting that changes its
// outline.
std::vector<std::shared_ptr<QRCodeEyeShapeGenerator>> everyVariant() {
    std::vector<std::shared_ptr<QRCodeEyeShapeGenerator>> eyes;
    eyes.push_back(named("square"));
    for (const auto& entry : kEyes) eyes.push_back(named(entry.name));
    for (std::int64_t f = 1; f <= 3; ++f) {
        for (const auto& name : kFlipping) {
            if (name != "eye") eyes.push_back(named(name, {{"flip", f}}));
        }
        for (std::int64_t style = 1; style <= 2; ++style) {
            eyes.push_back(named("eye", {{"flip", f}, {"eyeInnerStyle", style}}));
        }
    }
    for (double fraction : {0.0, 0.3, 1.0}) {
        for (const char* name : {"corneredPixels", "pixels", "edges", "roundedRect"}) {
            eyes.push_back(named(name, {{"cornerRadiusFraction", fraction}}));
        }
    }
    for (int corners : {0, 5, 6, 10}) eyes.push_back(named("shield", {{"corners", corners}}));
    return eyes;
}

bool inside(const gfx::Path& path, double x, double y) {
    return path.contains({x, y}, gfx::FillRule::nonZero) && path.contains({x, y}, gfx::FillRule::evenOdd);
}

bool outside(const gfx::Path& path, double x, double y) {
    return !path.contains({x, y}, gfx::FillRule::nonZero) && !path.contains({x, y}, gfx::FillRule::evenOdd);
}

gfx::Path mirrored(const gfx::Path& path, Flip flip) { return path.transformed(QRCode::flipTransform(flip)); }

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
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) alpha.push_back(image->pixel(x, y).a);
    }
    return alpha;
}

// How many pixels of two fillings differ by more than anti-aliasing explains.
int differingPixels(const gfx::Path& a, gfx::FillRule ruleA, const gfx::Path& b, gfx::FillRule ruleB) {
    const auto first = coverage(a, ruleA), second = coverage(b, ruleB);
    int count = 0;
    for (std::size_t i = 0; i < first.size(); ++i) count += std::abs(int(first[i]) - int(second[i])) > 64 ? 1 : 0;
    return count;
}

int rulesDiffer(const gfx::Path& path) {
    return differingPixels(path, gfx::FillRule::nonZero, path, gfx::FillRule::evenOdd);
}

} // namespace

using shapefamilytest::ShapeFamily;

INSTANTIATE_TEST_SUITE_P(Eyes, ShapeFamily, testing::Values([] {
                             shapefamilytest::Family family{"Eyes", shapefamilytest::Kind::eye, {}, {}};
                             for (const auto& entry : kEyes) family.classes.emplace_back(entry.name, entry.title);
                             for (const auto& list : {outlineEyeShapes(), roundedCornerEyes()}) {
                                 for (const auto& listed : shapefamilytest::namesAndTitles(list)) {
                                     family.listed.push_back(listed);
                                 }
                             }
                             return family;
                         }()),
                         shapefamilytest::familyLabel);

// ---------------------------------------------------------------------------
// Geometry every eye owes the renderer

TEST(EyeShapes, RingHoleAndBackgroundInTheBox) {
    // Rings that are drawn wavy or notched reach a little past 10...80, and
    // some backgrounds a little past the box: the tolerance per class.
    const std::map<std::string, double> ringSlack{
        {"cloud", 0.25}, {"cloudCircle", 0.9}, {"fabricScissors", 0.07}, {"shield", 1e-3}};
    const std::map<std::string, double> backgroundSlack{{"shield", 0.03}};
    // Rings that draw all four sides solid, with the hole open up to them.
    const std::vector<std::string> fullRings{
        "square",         "barsHorizontal", "barsVertical", "crt", "cloud", "explode", "flame",    "holePunch", "pinch",
        "fabricScissors", "roundedOuter",   "headlight",    "eye", "leaf",  "arc",     "fireball", "peacock"};
    // Rings whose four sides are drawn, whatever their hole.
    const std::vector<std::string> solidSides{
        "roundedRect", "squircle",   "roundedPointingIn", "roundedPointingOut", "shield",          "teardrop",
        "ufo",         "ufoRounded", "squarePeg",         "spikyCircle",        "surroundingBars", "usePixelShape"};
    for (const auto& eye : everyVariant()) {
        SCOPED_TRACE(describe(*eye));
        const std::string name(eye->name());
        const gfx::Path ring = eye->eyePath();
        ASSERT_FALSE(ring.isEmpty());
        const double slack = ringSlack.contains(name) ? ringSlack.at(name) : 1e-9;
        const gfx::Rect box = ring.pathBoundingBox();
        EXPECT_GE(box.minX(), 10 - slack);
        EXPECT_GE(box.minY(), 10 - slack);
        EXPECT_LE(box.maxX(), 80 + slack);
        EXPECT_LE(box.maxY(), 80 + slack);
        EXPECT_EQ(rulesDiffer(ring), 0);

        const gfx::Path background = eye->eyeBackgroundPath();
        const double backgroundTolerance = backgroundSlack.contains(name) ? backgroundSlack.at(name) : 1e-9;
        const gfx::Rect backgroundBox = background.pathBoundingBox();
        EXPECT_GE(backgroundBox.minX(), -backgroundTolerance);
        EXPECT_GE(backgroundBox.minY(), -backgroundTolerance);
        EXPECT_LE(backgroundBox.maxX(), 90 + backgroundTolerance);
        EXPECT_LE(backgroundBox.maxY(), 90 + backgroundTolerance);
        EXPECT_TRUE(inside(background, 45, 45));
        EXPECT_EQ(rulesDiffer(background), 0);

        // The pupil square stays clear, and the background, mirrored top to
        // bottom as rendering does, lies behind every point of the ring.
        const gfx::Path placedBackground = mirrored(background, Flip::vertical);
        for (double y = 10.5; y < 80; y += 1.0) {
            for (double x = 10.5; x < 80; x += 1.0) {
                if (!ring.contains({x, y})) continue;
                ASSERT_FALSE(x > 30 && x < 60 && y > 30 && y < 60) << x << "," << y;
                ASSERT_TRUE(placedBackground.contains({x, y})) << x << "," << y;
            }
        }
        const bool full = std::find(fullRings.begin(), fullRings.end(), name) != fullRings.end();
        if (full || std::find(solidSides.begin(), solidSides.end(), name) != solidSides.end()) {
            for (const auto& [x, y] : std::vector<std::pair<double, double>>{{45, 14}, {45, 76}, {14, 45}, {76, 45}}) {
                EXPECT_TRUE(inside(ring, x, y)) << x << "," << y;
            }
        }
        if (full) {
            for (const auto& [x, y] : std::vector<std::pair<double, double>>{{45, 26}, {45, 64}, {26, 45}, {64, 45}}) {
                EXPECT_TRUE(outside(ring, x, y)) << x << "," << y;
            }
        }
    }
}

TEST(EyeShapes, AsymmetricBackgroundsAreAuthoredUpsideDown) {
    // Only after rendering's mirror does an asymmetric background lie under
    // its ring.
    struct Case {
        std::string name;
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
    for (const char* name : {"circle", "cloudCircle", "barsHorizontal", "crt", "pinch", "fabricScissors"}) {
        const gfx::Path background = named(name)->eyeBackgroundPath();
        EXPECT_EQ(differingPixels(background, gfx::FillRule::nonZero, mirrored(background, Flip::vertical),
                                  gfx::FillRule::nonZero),
                  0)
            << name;
    }
}

// ---------------------------------------------------------------------------
// Default pupils

TEST(EyeShapes, DefaultPupils) {
    for (const auto& entry : kEyes) {
        SCOPED_TRACE(entry.name);
        const auto eye = named(entry.name);
        const auto pupil = eye->defaultPupil();
        ASSERT_NE(pupil, nullptr);
        EXPECT_EQ(pupil->name(), entry.pupil);
        const auto again = eye->defaultPupil();
        const auto other = named(entry.name)->defaultPupil();
        const auto copied = eye->copyShape()->defaultPupil();
        switch (entry.sharing) {
        case Sharing::perCall: EXPECT_NE(pupil, again); break;
        case Sharing::perEye:
            EXPECT_EQ(pupil, again);
            EXPECT_NE(pupil, other);
            EXPECT_NE(pupil, copied);
            break;
        case Sharing::perClass:
            EXPECT_EQ(pupil, again);
            EXPECT_EQ(pupil, other);
            EXPECT_EQ(pupil, copied);
            break;
        }
    }
    // Shared pupils are one per eye class, even where the pupil class is the same.
    EXPECT_NE(named("circle")->defaultPupil(), named("headlight")->defaultPupil());
    EXPECT_NE(named("eye")->defaultPupil(), named("holePunch")->defaultPupil());
    EXPECT_NE(named("squircle")->defaultPupil(), named("squarePeg")->defaultPupil());
    // The flipping eyes' shared circle does not follow the flip.
    EXPECT_EQ(named("headlight", {{"flip", 2}})->defaultPupil(), named("headlight")->defaultPupil());
    EXPECT_DOUBLE_EQ(
        named("surroundingBars")->defaultPupil()->settingValue<double>("cornerRadiusFraction").value_or(-1), 0.3);
    EXPECT_EQ(named("fireball")->defaultPupil()->settings(), (SettingsDict{{"flip", 0}}));
    const auto usePixel = std::dynamic_pointer_cast<PupilShape::UsePixelShape>(named("usePixelShape")->defaultPupil());
    ASSERT_NE(usePixel, nullptr);
    EXPECT_EQ(usePixel->pixelShape(), nullptr);
}

// ---------------------------------------------------------------------------
// Flips

TEST(FlippingEyes, FlipsMirrorBothOutlines) {
    for (const auto& name : kFlipping) {
        for (std::int64_t style = 0; style <= (name == "eye" ? 2 : 0); ++style) {
            const auto plain = named(name, {{"eyeInnerStyle", style}});
            for (std::int64_t f = 1; f <= 3; ++f) {
                SCOPED_TRACE(name + " flip " + std::to_string(f) + " style " + std::to_string(style));
                const auto flipped = named(name, {{"flip", f}, {"eyeInnerStyle", style}});
                const Flip flip = static_cast<Flip>(f);
                EXPECT_EQ(differingPixels(flipped->eyePath(), gfx::FillRule::evenOdd, mirrored(plain->eyePath(), flip),
                                          gfx::FillRule::evenOdd),
                          0);
                EXPECT_EQ(differingPixels(flipped->eyeBackgroundPath(), gfx::FillRule::nonZero,
                                          mirrored(plain->eyeBackgroundPath(), flip), gfx::FillRule::nonZero),
                          0);
            }
        }
    }
    // Flip both puts the rounded corner of Rounded outer at (80, 80).
    RoundedOuter both(Flip::both);
    EXPECT_TRUE(outside(both.eyePath(), 79, 79));
    EXPECT_TRUE(inside(both.eyePath(), 11, 11));
    EXPECT_TRUE(inside(both.eyePath(), 69, 69)); // the hole's rounded corner
    EXPECT_TRUE(outside(both.eyePath(), 21, 21));
}

TEST(FlippingEyes, OwnedPupilFollowsTheFlip) {
    for (const char* name : {"roundedOuter", "roundedPointingIn", "teardrop", "ufo", "ufoRounded"}) {
        SCOPED_TRACE(name);
        const auto flipOf = [](const auto& generator) {
            return generator->template settingValue<std::int64_t>("flip");
        };
        const auto eye = named(name, {{"flip", 3}});
        const auto pupil = eye->defaultPupil();
        EXPECT_EQ(pupil->name(), name);
        EXPECT_EQ(flipOf(pupil), 3);
        EXPECT_TRUE(eye->setSettingValue(SettingsValue(1), "flip"));
        EXPECT_EQ(flipOf(pupil), 1);
        EXPECT_TRUE(eye->setSettingValue(SettingsValue(7), "flip"));
        EXPECT_EQ(flipOf(pupil), 0);
        EXPECT_TRUE(eye->setSettingValue(SettingsValue(2), "flip"));
        EXPECT_FALSE(eye->setSettingValue(SettingsValue("3"), "flip"));
        EXPECT_FALSE(eye->setSettingValue(SettingsValue(3), "corners"));
        EXPECT_EQ(flipOf(pupil), 2);

        const auto copy = eye->copyShape();
        EXPECT_NE(copy->defaultPupil(), pupil);
        EXPECT_EQ(flipOf(copy->defaultPupil()), 2);
        EXPECT_EQ(copy->eyePath(), eye->eyePath());
        eye->reset();
        EXPECT_EQ(flipOf(eye), 0);
        EXPECT_EQ(flipOf(pupil), 0);
        EXPECT_EQ(flipOf(copy->defaultPupil()), 2);
        EXPECT_EQ(named(name, {{"flip", 2}, {"other", 1}})->settings(), (SettingsDict{{"flip", 2}}));
    }
    // The setter, not only the settings key, reaches a pupil taken earlier.
    const auto eye = RoundedPointingIn::Create();
    const auto pupil = std::dynamic_pointer_cast<PupilShape::RoundedPointingIn>(eye->defaultPupil());
    ASSERT_NE(pupil, nullptr);
    eye->setFlip(Flip::horizontal);
    EXPECT_EQ(pupil->flip(), Flip::horizontal);
}

TEST(FlippingEyes, SharpCornersFollowTheFlip) {
    // Which corners of the ring (10, 10), (80, 10), (10, 80), (80, 80) and of
    // the box are sharp, so fill their very tip.
    const auto marks = [](const gfx::Path& path, double in) {
        std::string result;
        for (const gfx::Point p :
             {gfx::Point{in, in}, gfx::Point{90 - in, in}, gfx::Point{in, 90 - in}, gfx::Point{90 - in, 90 - in}}) {
            result += path.contains(p) ? 'S' : '.';
        }
        return result;
    };
    struct Case {
        std::string name;
        std::int64_t flip;
        std::string ring, background;
    };
    for (const auto& c : std::vector<Case>{{"roundedPointingIn", 0, "...S", ".S.."},
                                           {"roundedPointingIn", 1, "..S.", "S..."},
                                           {"roundedPointingOut", 0, "S...", "..S."},
                                           {"teardrop", 0, "S...", "..S."},
                                           {"teardrop", 3, "...S", ".S.."},
                                           {"ufo", 0, "S..S", ".SS."},
                                           {"ufo", 1, ".SS.", ""},
                                           {"ufoRounded", 0, "....", ""}}) {
        SCOPED_TRACE(c.name + " flip " + std::to_string(c.flip));
        const auto eye = named(c.name, {{"flip", c.flip}});
        EXPECT_EQ(marks(eye->eyePath(), 11), c.ring);
        if (!c.background.empty()) {
            EXPECT_EQ(marks(eye->eyeBackgroundPath(), 1), c.background);
        }
    }
    // The pointing-out eye has no flip of its own.
    EXPECT_FALSE(named("roundedPointingOut")->setSettingValue(SettingsValue(0), "flip"));
}

// ---------------------------------------------------------------------------
// Settings of particular classes

TEST(EyeShapes, EyeInnerStyleSetting) {
    Eye eye(Flip::horizontal, Eye::Style::squaredNearCorner);
    EXPECT_EQ(eye.settings(), (SettingsDict{{"flip", 1}, {"eyeInnerStyle", 2}}));
    EXPECT_EQ(eye.copyShape()->eyePath(), eye.eyePath());
    EXPECT_EQ(QRCodeEyeShapeFactory::shared().create(eyeShapeArchive(eye))->settings(), eye.settings());

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
    // A missing flip leaves the flip alone; a flip leaves the style alone.
    EXPECT_FALSE(eye.setSettingValue(std::nullopt, "flip"));
    EXPECT_EQ(eye.flip(), Flip::horizontal);
    eye.setEyeInnerStyle(Eye::Style::squaredFarCorner);
    EXPECT_TRUE(eye.setSettingValue(SettingsValue(2), "flip"));
    EXPECT_EQ(eye.settings(), (SettingsDict{{"flip", 2}, {"eyeInnerStyle", 1}}));
    EXPECT_FALSE(Headlight(Flip::both).setSettingValue(SettingsValue(1), "eyeInnerStyle"));

    // The background follows the flip, not the style; each style squares its
    // own quarter of the hole.
    EXPECT_EQ(Eye(Flip::none, Eye::Style::squaredFarCorner).eyeBackgroundPath(),
              Eye(Flip::none, Eye::Style::circular).eyeBackgroundPath());
    EXPECT_TRUE(inside(Eye(Flip::none, Eye::Style::circular).eyePath(), 22, 22));
    EXPECT_TRUE(outside(Eye(Flip::none, Eye::Style::squaredNearCorner).eyePath(), 21, 21));
    EXPECT_TRUE(inside(Eye(Flip::none, Eye::Style::squaredNearCorner).eyePath(), 69, 69));
    EXPECT_TRUE(outside(Eye(Flip::none, Eye::Style::squaredFarCorner).eyePath(), 69, 69));
    eye.reset();
    EXPECT_EQ(eye.settings(), (SettingsDict{{"flip", 0}, {"eyeInnerStyle", 0}}));
}

TEST(EyeShapes, CornerRadiusSettings) {
    // (Create, setSettingValue and reset follow the shared rule table.) The
    // property stores what it is given and draws it clamped; copies go back
    // within range.
    auto cornered = std::static_pointer_cast<CorneredPixels>(named("corneredPixels", {{"cornerRadiusFraction", 2}}));
    EXPECT_DOUBLE_EQ(cornered->actualCornerRadius(), 5);
    cornered->setCornerRadiusFraction(1.5);
    EXPECT_DOUBLE_EQ(cornered->cornerRadiusFraction(), 1.5);
    EXPECT_DOUBLE_EQ(cornered->actualCornerRadius(), 7.5);
    EXPECT_EQ(cornered->copyShape()->settings(), (SettingsDict{{"cornerRadiusFraction", 1.0}}));
    cornered->reset();
    EXPECT_DOUBLE_EQ(cornered->actualCornerRadius(), 3.25);

    auto pixels = std::static_pointer_cast<Pixels>(named("pixels"));
    pixels->setCornerRadiusFraction(2.0);
    EXPECT_EQ(pixels->settings(), (SettingsDict{{"cornerRadiusFraction", 2.0}}));
    EXPECT_DOUBLE_EQ(pixels->actualCornerRadius(), 5);
    // A radius above half a module is drawn as half a module: round dots.
    EXPECT_TRUE(outside(pixels->eyePath(), 10.5, 10.5));
    EXPECT_TRUE(inside(pixels->eyePath(), 14.5, 14.5));
    EXPECT_EQ(pixels->copyShape()->settings(), (SettingsDict{{"cornerRadiusFraction", 1.0}}));

    auto edges = std::static_pointer_cast<Edges>(named("edges"));
    EXPECT_FALSE(edges->setSettingValue(SettingsValue(0.5), "flip"));
    edges->setCornerRadiusFraction(-4);
    EXPECT_EQ(edges->settings(), (SettingsDict{{"cornerRadiusFraction", -4.0}}));
    EXPECT_EQ(edges->eyePath(), Edges(0).eyePath());

    // Edges' pupil is shared and rounded by 0.65; the others' are new and
    // carry the eye's fraction.
    edges->setSettingValue(SettingsValue(0.2), "cornerRadiusFraction");
    pixels->setSettingValue(SettingsValue(0.2), "cornerRadiusFraction");
    cornered->setSettingValue(SettingsValue(0.2), "cornerRadiusFraction");
    EXPECT_EQ(edges->defaultPupil()->settings(), (SettingsDict{{"cornerRadiusFraction", 0.65}}));
    EXPECT_EQ(pixels->defaultPupil()->settings(), (SettingsDict{{"cornerRadiusFraction", 0.2}}));
    EXPECT_EQ(cornered->defaultPupil()->settings(), (SettingsDict{{"cornerRadiusFraction", 0.2}}));
}

TEST(EyeShapes, RoundedRectKeepsItsPupilInStep) {
    // (The fraction itself follows the shared rule table.)
    EXPECT_DOUBLE_EQ(RoundedRect(std::nan("")).cornerRadiusFraction(), 0);

    const auto eye = RoundedRect::Create();
    const auto pupil = eye->defaultPupil();
    const auto pupilFraction = [](const auto& p) { return p->template settingValue<double>("cornerRadiusFraction"); };
    EXPECT_DOUBLE_EQ(pupilFraction(pupil).value_or(-1), 0.3);
    EXPECT_TRUE(eye->setSettingValue(SettingsValue(0.5), "cornerRadiusFraction"));
    EXPECT_DOUBLE_EQ(pupilFraction(pupil).value_or(-1), 0.5);
    EXPECT_TRUE(eye->setSettingValue(SettingsValue(7), "cornerRadiusFraction"));
    EXPECT_DOUBLE_EQ(eye->cornerRadiusFraction(), 1);
    EXPECT_DOUBLE_EQ(pupilFraction(pupil).value_or(-1), 1);
    EXPECT_FALSE(eye->setSettingValue(std::nullopt, "cornerRadiusFraction"));
    EXPECT_FALSE(eye->setSettingValue(SettingsValue("0.2"), "cornerRadiusFraction"));
    EXPECT_DOUBLE_EQ(pupilFraction(eye->copyShape()->defaultPupil()).value_or(-1), 1);
    eye->setCornerRadiusFraction(-3);
    EXPECT_DOUBLE_EQ(pupilFraction(pupil).value_or(-1), 0);
    eye->reset();
    EXPECT_DOUBLE_EQ(eye->cornerRadiusFraction(), 0.3);
    EXPECT_DOUBLE_EQ(pupilFraction(pupil).value_or(-1), 0.3);
}

TEST(EyeShapes, ShieldCornersAndSettings) {
    // A point of each outer corner that a notch cuts away: top left, top
    // right, bottom left, bottom right (the top is the side of larger y).
    const auto notched = [](Shield eye) {
        const gfx::Path ring = eye.eyePath();
        std::string marks;
        for (const gfx::Point p : {gfx::Point{16, 72}, gfx::Point{74, 72}, gfx::Point{16, 18}, gfx::Point{74, 18}}) {
            marks += ring.contains(p) ? '-' : 'N';
        }
        return marks;
    };
    EXPECT_EQ(notched(Shield(Corners(0))), "----");
    EXPECT_EQ(notched(Shield(Corners(15))), "NNNN");
    EXPECT_EQ(notched(Shield(Corners(5))), "N-N-");
    EXPECT_EQ(notched(Shield(Corners(6))), "-NN-");
    EXPECT_EQ(notched(Shield(Corners(1))), "N---");
    EXPECT_EQ(notched(Shield(Corners(8))), "---N");
    EXPECT_EQ(Shield(true, false, false, false).corners(), Corners(1));
    EXPECT_EQ(Shield(false, true, true, false).corners(), Corners(6));
    // Higher bits are kept and reported but draw nothing; the background
    // does not depend on the corners.
    EXPECT_EQ(Shield(Corners(31)).eyePath(), Shield(Corners(15)).eyePath());
    EXPECT_EQ(Shield(Corners(31)).settings(), (SettingsDict{{"corners", 31}}));
    EXPECT_EQ(Shield(Corners(0)).eyeBackgroundPath(), Shield(Corners(15)).eyeBackgroundPath());

    // (The setting's number rule is the shared corners-setting check.) The
    // eye hands its corners to a new pupil.
    const auto eye = Shield::Create();
    EXPECT_TRUE(eye->setSettingValue(SettingsValue(9), "corners"));
    const auto pupil = std::dynamic_pointer_cast<PupilShape::Shield>(eye->defaultPupil());
    ASSERT_NE(pupil, nullptr);
    EXPECT_EQ(pupil->corners(), Corners(9));
    eye->reset();
    EXPECT_EQ(eye->corners(), Corners(15));
    EXPECT_EQ(pupil->corners(), Corners(9)); // a pupil taken earlier does not follow
}

// ---------------------------------------------------------------------------
// Particular outlines

TEST(EyeShapes, RoundOutlines) {
    // Circle and Rounded rectangle at fraction 1: the annulus between radius
    // 25 and 35; the latter's background the disc of radius 45.
    const gfx::Path circle = Circle().eyePath();
    const auto round = RoundedRect::Create({{"cornerRadiusFraction", 1}});
    for (int degrees = 0; degrees < 360; degrees += 15) {
        const double a = degrees * 3.14159265358979 / 180;
        const auto at = [a](double r) { return gfx::Point{45 + r * std::cos(a), 45 + r * std::sin(a)}; };
        for (const gfx::Path& ring : {circle, round->eyePath()}) {
            EXPECT_TRUE(outside(ring, at(24.5).x, at(24.5).y)) << degrees;
            EXPECT_TRUE(inside(ring, at(25.5).x, at(25.5).y)) << degrees;
            EXPECT_TRUE(inside(ring, at(34.5).x, at(34.5).y)) << degrees;
            EXPECT_TRUE(outside(ring, at(35.5).x, at(35.5).y)) << degrees;
        }
        EXPECT_TRUE(inside(CloudCircle().eyePath(), at(30).x, at(30).y));
        EXPECT_TRUE(round->eyeBackgroundPath().contains(at(44.5)));
        EXPECT_FALSE(round->eyeBackgroundPath().contains(at(45.5)));
    }
    // Rounded rectangle at 0 has sharp corners; at the default 0.3 the outer
    // radius is 10.5, so the very corner is empty.
    const auto square = RoundedRect::Create({{"cornerRadiusFraction", 0}});
    EXPECT_TRUE(inside(square->eyePath(), 10.2, 10.2));
    EXPECT_TRUE(inside(square->eyePath(), 19.8, 19.8));
    EXPECT_TRUE(outside(square->eyePath(), 20.2, 20.2));
    EXPECT_TRUE(square->eyeBackgroundPath().contains({0.2, 0.2}));
    EXPECT_TRUE(outside(RoundedRect::Create()->eyePath(), 11, 11));

    // Hole Punch: the square 10...80 around a circle whose hole is exactly
    // the Eye's circular one, so the hole's corners are filled.
    EXPECT_TRUE(inside(HolePunch().eyePath(), 22, 22));
    EXPECT_TRUE(inside(HolePunch().eyePath(), 68, 68));
    const auto holePunch = HolePunch().eyePath().elements();
    const auto eyeHole = Eye(Flip::none, Eye::Style::circular).eyePath().elements();
    EXPECT_TRUE(std::equal(eyeHole.begin(), eyeHole.begin() + 7, holePunch.begin()));
}

TEST(EyeShapes, CorneredPixelsOutline) {
    // Fraction 0: 24 squares of 9 units, the ring ending at 79.
    const gfx::Path square = CorneredPixels(0).eyePath();
    EXPECT_EQ(square.pathBoundingBox(), gfx::Rect(10, 10, 69, 69));
    int contours = 0;
    for (const auto& e : square.elements()) {
        contours += e.type == gfx::Path::ElementType::moveToPoint ? 1 : 0;
        EXPECT_NE(e.type, gfx::Path::ElementType::addCurveToPoint);
    }
    EXPECT_EQ(contours, 24);
    EXPECT_TRUE(inside(square, 10.2, 10.2));
    EXPECT_TRUE(inside(square, 78.8, 78.8));
    EXPECT_TRUE(outside(square, 19.5, 15)); // the gap between modules

    // Fraction 1: the first corner module starts at (15, 10) and closes with
    // the curve from (10, 15) whose first control point is the corner.
    const gfx::Path round = CorneredPixels(1).eyePath();
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
    CorneredPixels wild(0.5);
    for (double fraction : {40.0, -3.0, std::numeric_limits<double>::quiet_NaN()}) {
        wild.setCornerRadiusFraction(fraction);
        const gfx::Path ring = wild.eyePath();
        EXPECT_TRUE(ring.isFinite()) << fraction;
        EXPECT_EQ(ring.pathBoundingBox(), gfx::Rect(10, 10, 69, 69)) << fraction;
        EXPECT_EQ(rulesDiffer(ring), 0);
    }
    // Edges: fraction 0 draws sharp bars, 1 bar ends of radius 5; the
    // ring's corners stay empty.
    EXPECT_TRUE(inside(Edges(0).eyePath(), 30.2, 70.2));
    EXPECT_TRUE(outside(Edges(1).eyePath(), 30.5, 70.5));
    EXPECT_TRUE(inside(Edges(1).eyePath(), 35, 75));
    EXPECT_TRUE(outside(Edges(1).eyePath(), 15, 15));
}

TEST(EyeShapes, SharedAndBorrowedOutlines) {
    EXPECT_EQ(BarsHorizontal().eyePath(), BarsVertical().eyePath());
    EXPECT_NE(BarsHorizontal().defaultPupil(), BarsVertical().defaultPupil());
    EXPECT_EQ(BarsHorizontal().eyeBackgroundPath(), roundedSquareBackground());
    EXPECT_EQ(BarsVertical().eyeBackgroundPath(), roundedSquareBackground());
    EXPECT_EQ(DiagonalStripes().eyeBackgroundPath(), roundedSquareBackground());
    EXPECT_EQ(DotDragVertical().eyeBackgroundPath(), DotDragHorizontal().eyeBackgroundPath());

    // Fireball and Peacock draw the Eye with one of its squared styles and
    // take no flip.
    Fireball fireball;
    EXPECT_EQ(fireball.eyePath(), Eye(Flip::none, Eye::Style::squaredNearCorner).eyePath());
    EXPECT_EQ(Peacock().eyePath(), Eye(Flip::none, Eye::Style::squaredFarCorner).eyePath());
    EXPECT_EQ(fireball.eyeBackgroundPath(), Eye(Flip::none, Eye::Style::circular).eyeBackgroundPath());
    EXPECT_EQ(named("fireball", {{"flip", 1}})->eyePath(), fireball.eyePath());
    EXPECT_FALSE(fireball.setSettingValue(SettingsValue(1), "flip"));

    // Dot drag: the ring's corners stay empty, and a quarter turn about the
    // centre takes one onto the other.
    const gfx::Path horizontal = DotDragHorizontal().eyePath();
    const gfx::Path vertical = DotDragVertical().eyePath();
    for (const gfx::Path* ring : {&horizontal, &vertical}) {
        for (const auto& [x, y] : std::vector<std::pair<double, double>>{{15, 15}, {75, 15}, {15, 75}, {75, 75}}) {
            EXPECT_TRUE(outside(*ring, x, y)) << x << "," << y;
        }
    }
    EXPECT_TRUE(inside(horizontal, 45, 75));
    EXPECT_TRUE(inside(horizontal, 15, 45));
    const auto quarter = gfx::AffineTransform::translation(-45, -45)
                             .then(gfx::AffineTransform{0, 1, -1, 0, 0, 0})
                             .then(gfx::AffineTransform::translation(45, 45));
    EXPECT_EQ(
        differingPixels(horizontal.transformed(quarter), gfx::FillRule::nonZero, vertical, gfx::FillRule::nonZero), 0);

    // Surrounding bars: the corner squares stay open.
    const gfx::Path bars = SurroundingBars().eyePath();
    for (double v = 10.2; v < 20; v += 0.5) {
        for (double w = 10.2; w < 20; w += 0.5) {
            EXPECT_FALSE(bars.contains({v, w}));
            EXPECT_FALSE(bars.contains({90 - v, 90 - w}));
        }
    }
}

TEST(EyeShapes, DrawnOutlines) {
    // The arc ring is mirrored when built; its background is not.
    EXPECT_EQ(Arc().eyePath().elements().front().points[0].x, 51.07);
    EXPECT_NEAR(Arc().eyePath().elements().front().points[0].y, 10.04, 1e-9);
    EXPECT_EQ(Arc().eyeBackgroundPath().elements().front().points[0], (gfx::Point{0.01, 40.6}));
    EXPECT_TRUE(outside(Arc().eyePath(), 14, 14));
    EXPECT_TRUE(inside(Arc().eyePath(), 14, 76));

    // The diagonal stripes cover nothing outside the ring, and about half of it.
    const auto alpha = coverage(DiagonalStripes().eyePath(), gfx::FillRule::nonZero, 4);
    int inRing = 0, ringPixels = 0;
    for (int y = 0; y < 360; ++y) {
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
    }
    EXPECT_NEAR(double(inRing) / ringPixels, 2.58 / 4.555, 0.05);
}

using shapetest::MarkPixels;

TEST(UsePixelShape, EyeAndPupilDrawWithTheHandedPixelShapeOrPlainSquares) {
    // The eye draws the 24 ring modules of a 9 x 9 grid over the 90-unit
    // box, the pupil its matrix over 60 units (the pupil square 30...60).
    // Without a pixel shape, with one that draws no eyes, and once the shape
    // is released elsewhere (neither keeps it alive) they draw plain squares;
    // copies start without one.
    const auto check = [](auto& shape, const auto& draw, const BoolMatrix& matrix, gfx::Size size) {
        const gfx::Path squares = PixelShape::Square::Create()->generatePath(matrix, size);
        EXPECT_EQ(draw(shape), squares);
        shape.setPixelShape(std::make_shared<MarkPixels>(MarkPixels::Mark::diamond, false));
        EXPECT_EQ(draw(shape), squares);
        auto diamonds = std::make_shared<MarkPixels>(MarkPixels::Mark::diamond, true);
        shape.setPixelShape(diamonds);
        EXPECT_EQ(draw(shape), diamonds->generatePath(matrix, size));
        EXPECT_NE(draw(shape), squares);
        EXPECT_EQ(draw(*shape.copyShape()), squares);
        diamonds.reset();
        EXPECT_EQ(shape.pixelShape(), nullptr);
        EXPECT_EQ(draw(shape), squares);
    };
    UsePixelShape eye;
    check(eye, [](auto& e) { return e.eyePath(); }, UsePixelShape::ringMatrix(), {90, 90});
    PupilShape::UsePixelShape pupil;
    check(pupil, [](auto& p) { return p.pupilPath(); }, PupilShape::UsePixelShape::pupilMatrix(), {60, 60});

    const BoolMatrix& ringMatrix = UsePixelShape::ringMatrix();
    ASSERT_EQ(ringMatrix.dimension(), 9);
    int on = 0;
    for (std::int64_t r = 0; r < 9; ++r) {
        for (std::int64_t c = 0; c < 9; ++c) on += ringMatrix(r, c) ? 1 : 0;
    }
    EXPECT_EQ(on, 24);
    gfx::Path box;
    box.addRect(gfx::Rect(0, 0, 90, 90));
    EXPECT_EQ(eye.eyeBackgroundPath(), box);
    // The pupil's plain squares: nine modules filling the pupil square.
    const gfx::Path squares = pupil.pupilPath();
    EXPECT_EQ(squares.pathBoundingBox(), gfx::Rect(30, 30, 30, 30));
    int modules = 0;
    for (const auto& e : squares.elements()) modules += e.type == gfx::Path::ElementType::moveToPoint ? 1 : 0;
    EXPECT_EQ(modules, 9);
    EXPECT_TRUE(inside(squares, 30.1, 30.1));
    EXPECT_TRUE(inside(squares, 59.9, 59.9));
    // Previews know the pupil class, not just its name.
    EXPECT_TRUE(::QRCode::detail::isUsePixelShapePupil(pupil));
    EXPECT_FALSE(::QRCode::detail::isUsePixelShapePupil(PupilShape::Square()));

    // The eye's preview draws bars for the class.
    const gfx::Pixel black{0, 0, 0, 255}, white{255, 255, 255, 255};
    PupilShape::Square square;
    UsePixelShape plain;
    const auto image =
        QRCodeEyeShapeFactory::image(plain, &square, 90, gfx::Color::sRGB(0, 0, 0), gfx::Color::sRGB(1, 1, 1));
    EXPECT_EQ(image->pixel(45, 15), black); // bar
    EXPECT_EQ(image->pixel(15, 45), white); // no ring side
    const auto squircle = QRCodeEyeShapeFactory::image(*named("squircle"), &square, 90, gfx::Color::sRGB(0, 0, 0),
                                                       gfx::Color::sRGB(1, 1, 1));
    EXPECT_EQ(squircle->pixel(15, 45), black);
}

// ---------------------------------------------------------------------------
// Scanning

TEST(EyeShapes, SymbolsWithEachEyeScan) {
    // Whether a finder pattern is found depends on the eye and pupil
    // together (the decoder checks run lengths across and diagonally through
    // the centre), so each eye must scan with at least one of its default
    // pupil, the square pupil and the circle pupil at one of a few sizes.
    // Eyes whose drawing leaves the ring's corners empty (dot drag, edges,
    // surrounding bars), cuts the ring into stripes, or fills the ring's
    // corners around a round hole (headlight) break those run lengths by
    // design and are not read by this decoder at any size; they are drawn
    // only.
    const std::vector<std::string_view> unreadable{"diagonalStripes", "dotDragHorizontal", "dotDragVertical",
                                                   "edges",           "headlight",         "surroundingBars"};
    const std::string message = "https://example.org/eyes?shape=outline&n=2718";
    ::QRCode::QRCode code(message, ErrorCorrection::quartile);
    for (const auto& eye : everyVariant()) {
        SCOPED_TRACE(describe(*eye));
        const bool readable = std::find(unreadable.begin(), unreadable.end(), eye->name()) == unreadable.end();
        bool read = false;
        for (int pupil = 0; pupil < 3 && !read; ++pupil) {
            Design design(gfx::Color::gray(0, 1), gfx::Color::gray(1, 1));
            design.setAdditionalQuietZonePixels(3);
            design.shape()->setEye(eye);
            if (pupil == 1) design.shape()->setPupil(std::make_shared<PupilShape::Square>());
            if (pupil == 2) design.shape()->setPupil(std::make_shared<PupilShape::Circle>());
            for (int size : {410, 330, 490, 570}) {
                const auto image = code.cgImage(size, design, nullptr);
                ASSERT_EQ(image->width(), size);
                if (!readable) break;
                const auto found = platform::detectQRCodes(*image);
                if (found.size() == 1 && found.front().text == message) {
                    read = true;
                    break;
                }
            }
            if (!readable) break;
        }
        EXPECT_TRUE(read || !readable);
    }
}
