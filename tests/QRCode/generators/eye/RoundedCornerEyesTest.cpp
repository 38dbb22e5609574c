// The eyes with rounded, notched and pointed corners, the teardrop and UFO
// rings, the spiky circle, square peg and surrounding bars rings and the eye
// drawn with the design's pixel shape: registry, settings, geometry in the
// 90 x 90 box, default pupils, and real symbols that must scan.
#include "tests/QRCode/ShapeTestDoubles.h"
#include "QRCode/generators/eye/RoundedCornerEyes.h"
#include "QRCode/generators/eye/RoundedPointing.h"
#include "QRCode/generators/eye/RoundedRectSquircle.h"
#include "QRCode/generators/eye/Shield.h"
#include "QRCode/generators/eye/SpikyPegBars.h"
#include "QRCode/generators/eye/TeardropUFO.h"
#include "QRCode/generators/eye/UsePixelShape.h"
#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/pupil/PixelPupils.h"
#include "QRCode/generators/pupil/RoundedPupils.h"
#include "QRCode/generators/pupil/ShieldPupils.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/generators/pupil/UsePixelShape.h"
#include "QRCode/design/Design.h"
#include "QRCode/QRCode.h"
#include "QRCode/design/Shape.h"
#include "platform/detector/QRDetector.h"
#include "tests/QRCode/generators/ShapeFamilyTest.h"
#include "platform/gfx/GraphicsContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace QRCode;
using namespace QRCode::EyeShape;

namespace {

// Every class of the family with its title, in catalogue order.
const std::vector<std::pair<std::string, std::string>> kClasses{
    {"roundedRect", "Rounded rectangle"},
    {"squircle", "Squircle"},
    {"roundedPointingIn", "Rounded Pointing In"},
    {"roundedPointingOut", "Rounded pointing out"},
    {"shield", "Shield"},
    {"usePixelShape", "Use Pixel Shape"},
    {"teardrop", "Teardrop"},
    {"ufo", "UFO"},
    {"ufoRounded", "UFO Rounded"},
    {"squarePeg", "Square Peg"},
    {"spikyCircle", "Spiky Circle"},
    {"surroundingBars", "Surrounding bars"},
};

std::shared_ptr<QRCodeEyeShapeGenerator> eyeNamed(const std::string& name, const SettingsDict& settings = {}) {
    return QRCodeEyeShapeFactory::shared().named(name, settings);
}

// Every eye of the family in its default settings and in the settings that
// change its outline.
std::vector<std::pair<std::string, std::shared_ptr<QRCodeEyeShapeGenerator>>> eyeVariants() {
    std::vector<std::pair<std::string, std::shared_ptr<QRCodeEyeShapeGenerator>>> eyes;
    for (const auto& [name, title] : kClasses) eyes.emplace_back(name, eyeNamed(name));
    for (double f : {0.0, 0.5, 1.0}) {
        eyes.emplace_back("roundedRect " + std::to_string(f), eyeNamed("roundedRect", {{"cornerRadiusFraction", f}}));
    }
    for (int c : {0, 5, 6, 10}) eyes.emplace_back("shield " + std::to_string(c), eyeNamed("shield", {{"corners", c}}));
    for (const char* name : {"roundedPointingIn", "teardrop", "ufo", "ufoRounded"}) {
        for (int flip : {1, 2, 3}) {
            eyes.emplace_back(std::string(name) + " flip " + std::to_string(flip), eyeNamed(name, {{"flip", flip}}));
        }
    }
    return eyes;
}

bool filled(const gfx::Path& path, gfx::Point p, gfx::FillRule rule = gfx::FillRule::nonZero) {
    return path.contains(p, rule);
}

gfx::Path mirroredTopToBottom(const gfx::Path& path) {
    return path.transformed(gfx::AffineTransform::scale(1, -1).then(gfx::AffineTransform::translation(0, 90)));
}

} // namespace

using shapefamilytest::ShapeFamily;

INSTANTIATE_TEST_SUITE_P(RoundedCorner, ShapeFamily,
                         testing::Values(shapefamilytest::Family{"RoundedCornerEyes", shapefamilytest::Kind::eye,
                                                                 kClasses,
                                                                 shapefamilytest::namesAndTitles(roundedCornerEyes())}),
                         shapefamilytest::familyLabel);

// The ring lies within 10...80, the pupil square (and so the hole's middle)
// stays empty and the ring's sides are drawn, all alike under both fill
// rules; the background lies within the box and, once mirrored top to bottom
// as rendering does, behind every point of the ring.
TEST(RoundedCornerEyes, RingHoleAndBackgroundInTheBox) {
    for (const auto& [label, eye] : eyeVariants()) {
        SCOPED_TRACE(label);
        const gfx::Path ring = eye->eyePath();
        const gfx::Rect box = ring.pathBoundingBox();
        // (The notched shield corner's curve reaches 0.0002 past the edge.)
        EXPECT_GE(box.minX(), 10 - 1e-3);
        EXPECT_GE(box.minY(), 10 - 1e-3);
        EXPECT_LE(box.maxX(), 80 + 1e-3);
        EXPECT_LE(box.maxY(), 80 + 1e-3);

        const gfx::Path background = eye->eyeBackgroundPath();
        const gfx::Rect backgroundBox = background.pathBoundingBox();
        EXPECT_GE(backgroundBox.minX(), -0.03);
        EXPECT_GE(backgroundBox.minY(), -0.03);
        EXPECT_LE(backgroundBox.maxX(), 90.03);
        EXPECT_LE(backgroundBox.maxY(), 90.03);
        const gfx::Path placedBackground = mirroredTopToBottom(background);

        for (double y = 10.5; y < 80; y += 1.0) {
            for (double x = 10.5; x < 80; x += 1.0) {
                const gfx::Point p{x, y};
                const bool nonZero = filled(ring, p);
                ASSERT_EQ(nonZero, filled(ring, p, gfx::FillRule::evenOdd)) << x << "," << y;
                if (x > 30 && x < 60 && y > 30 && y < 60) {
                    ASSERT_FALSE(nonZero) << x << "," << y;
                }
                if (nonZero) {
                    ASSERT_TRUE(filled(placedBackground, p)) << x << "," << y;
                }
            }
        }
        for (const gfx::Point p : {gfx::Point{45, 15}, gfx::Point{15, 45}, gfx::Point{75, 45}, gfx::Point{45, 75}}) {
            EXPECT_TRUE(filled(ring, p)) << p.x << "," << p.y;
        }
    }
}

TEST(RoundedCornerEyes, DefaultPupils) {
    // Shared by every eye of the class and its copies.
    for (const char* name : {"squircle", "squarePeg", "spikyCircle"}) {
        const auto a = eyeNamed(name);
        EXPECT_EQ(a->defaultPupil(), eyeNamed(name)->defaultPupil()) << name;
        EXPECT_EQ(a->defaultPupil(), a->copyShape()->defaultPupil()) << name;
    }
    const auto squirclePupil = eyeNamed("squircle")->defaultPupil();
    const auto pegPupil = eyeNamed("squarePeg")->defaultPupil();
    EXPECT_NE(squirclePupil, pegPupil);
    EXPECT_NE(dynamic_cast<PupilShape::Squircle*>(squirclePupil.get()), nullptr);
    EXPECT_NE(dynamic_cast<PupilShape::Squircle*>(pegPupil.get()), nullptr);
    EXPECT_NE(dynamic_cast<PupilShape::SpikyCircle*>(eyeNamed("spikyCircle")->defaultPupil().get()), nullptr);

    // Owned: one object per eye, the same on every call, a new one per copy.
    for (const char* name : {"roundedRect", "roundedPointingIn", "roundedPointingOut", "teardrop", "ufo", "ufoRounded",
                             "surroundingBars"}) {
        const auto eye = eyeNamed(name);
        EXPECT_EQ(eye->defaultPupil(), eye->defaultPupil()) << name;
        EXPECT_NE(eye->defaultPupil(), eye->copyShape()->defaultPupil()) << name;
        EXPECT_NE(eye->defaultPupil(), eyeNamed(name)->defaultPupil()) << name;
    }
    EXPECT_EQ(eyeNamed("roundedPointingIn")->defaultPupil()->name(), "roundedPointingIn");
    EXPECT_EQ(eyeNamed("roundedPointingOut")->defaultPupil()->name(), "roundedPointingOut");
    EXPECT_EQ(eyeNamed("teardrop")->defaultPupil()->name(), "teardrop");
    EXPECT_EQ(eyeNamed("ufo")->defaultPupil()->name(), "ufo");
    EXPECT_EQ(eyeNamed("ufoRounded")->defaultPupil()->name(), "ufoRounded");
    const auto barsPupil = eyeNamed("surroundingBars")->defaultPupil();
    EXPECT_EQ(barsPupil->name(), "roundedRect");
    EXPECT_DOUBLE_EQ(barsPupil->settingValue<double>("cornerRadiusFraction").value_or(-1), 0.3);

    // New on every call.
    const auto shield = eyeNamed("shield", {{"corners", 9}});
    EXPECT_NE(shield->defaultPupil(), shield->defaultPupil());
    const auto pixelEye = eyeNamed("usePixelShape");
    const auto p1 = pixelEye->defaultPupil();
    const auto p2 = pixelEye->defaultPupil();
    EXPECT_NE(p1, p2);
    const auto* usePixelPupil = dynamic_cast<PupilShape::UsePixelShape*>(p1.get());
    ASSERT_NE(usePixelPupil, nullptr);
    EXPECT_EQ(usePixelPupil->pixelShape(), nullptr);
}

TEST(RoundedRectEye, FractionClampedAndKeptInStepWithItsPupil) {
    const auto fraction = [](const SettingsDict& settings) {
        return RoundedRect::Create(settings)->cornerRadiusFraction();
    };
    EXPECT_DOUBLE_EQ(fraction({{"cornerRadiusFraction", 2.5}}), 1);
    EXPECT_DOUBLE_EQ(fraction({{"cornerRadiusFraction", -1}}), 0);
    EXPECT_DOUBLE_EQ(fraction({{"cornerRadiusFraction", "0.5"}}), 0.3);
    EXPECT_DOUBLE_EQ(fraction({}), 0.3);
    EXPECT_DOUBLE_EQ(fraction(SettingsDict()), 0.3);
    EXPECT_DOUBLE_EQ(RoundedRect(std::nan("")).cornerRadiusFraction(), 0);

    const auto eye = RoundedRect::Create();
    const auto pupil = eye->defaultPupil();
    EXPECT_DOUBLE_EQ(pupil->settingValue<double>("cornerRadiusFraction").value_or(-1), 0.3);
    EXPECT_TRUE(eye->setSettingValue(SettingsValue(0.5), "cornerRadiusFraction"));
    EXPECT_EQ(eye->settings(), (SettingsDict{{"cornerRadiusFraction", 0.5}}));
    EXPECT_DOUBLE_EQ(pupil->settingValue<double>("cornerRadiusFraction").value_or(-1), 0.5);
    EXPECT_TRUE(eye->setSettingValue(SettingsValue(7), "cornerRadiusFraction"));
    EXPECT_DOUBLE_EQ(eye->cornerRadiusFraction(), 1);
    EXPECT_DOUBLE_EQ(pupil->settingValue<double>("cornerRadiusFraction").value_or(-1), 1);

    EXPECT_FALSE(eye->setSettingValue(SettingsValue(0.2), "radius"));
    EXPECT_FALSE(eye->setSettingValue(std::nullopt, "cornerRadiusFraction"));
    EXPECT_FALSE(eye->setSettingValue(SettingsValue("0.2"), "cornerRadiusFraction"));
    EXPECT_FALSE(eye->supportsSettingValueForKey("radius"));
    EXPECT_DOUBLE_EQ(eye->cornerRadiusFraction(), 1);

    const auto copy = std::dynamic_pointer_cast<RoundedRect>(eye->copyShape());
    ASSERT_NE(copy, nullptr);
    EXPECT_DOUBLE_EQ(copy->cornerRadiusFraction(), 1);
    EXPECT_DOUBLE_EQ(copy->defaultPupil()->settingValue<double>("cornerRadiusFraction").value_or(-1), 1);

    eye->setCornerRadiusFraction(-3);
    EXPECT_DOUBLE_EQ(pupil->settingValue<double>("cornerRadiusFraction").value_or(-1), 0);
    eye->reset();
    EXPECT_DOUBLE_EQ(eye->cornerRadiusFraction(), 0.3);
    EXPECT_DOUBLE_EQ(pupil->settingValue<double>("cornerRadiusFraction").value_or(-1), 0.3);
}

TEST(RoundedRectEye, OutlinesFromSquareToCircle) {
    // Fraction 1: the annulus between diameters 70 and 50, and a round
    // background of diameter 90.
    const auto round = RoundedRect::Create({{"cornerRadiusFraction", 1}});
    const gfx::Path ring = round->eyePath();
    for (double angle = 0; angle < 6.28; angle += 0.1) {
        const auto at = [angle](double r) { return gfx::Point{45 + r * std::cos(angle), 45 + r * std::sin(angle)}; };
        for (const auto rule : {gfx::FillRule::nonZero, gfx::FillRule::evenOdd}) {
            EXPECT_FALSE(filled(ring, at(24.5), rule));
            EXPECT_TRUE(filled(ring, at(25.5), rule));
            EXPECT_TRUE(filled(ring, at(34.5), rule));
            EXPECT_FALSE(filled(ring, at(35.5), rule));
        }
        EXPECT_TRUE(filled(round->eyeBackgroundPath(), at(44.5)));
        EXPECT_FALSE(filled(round->eyeBackgroundPath(), at(45.5)));
    }
    // Fraction 0: the square ring with sharp corners.
    const auto square = RoundedRect::Create({{"cornerRadiusFraction", 0}});
    EXPECT_TRUE(filled(square->eyePath(), {10.2, 10.2}));
    EXPECT_TRUE(filled(square->eyePath(), {19.8, 19.8}));
    EXPECT_FALSE(filled(square->eyePath(), {20.2, 20.2}));
    EXPECT_TRUE(filled(square->eyeBackgroundPath(), {0.2, 0.2}));
    // Default 0.3: outer radius 10.5, so the very corner is empty.
    EXPECT_FALSE(filled(RoundedRect::Create()->eyePath(), {11, 11}));
}

TEST(ShieldEye, CornerSelection) {
    // A point of each outer corner that a notch cuts away and a plain
    // rounded corner keeps: top left, top right, bottom left, bottom right
    // (the top is the side of larger y).
    const auto notched = [](Shield eye) {
        const gfx::Path ring = eye.eyePath();
        std::string marks;
        for (const gfx::Point p : {gfx::Point{16, 72}, gfx::Point{74, 72}, gfx::Point{16, 18}, gfx::Point{74, 18}}) {
            marks += filled(ring, p) ? '-' : 'N';
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
    EXPECT_EQ(Shield(false, false, false, false).corners(), Corners(0));
    EXPECT_EQ(Shield(false, true, true, false).corners(), Corners(6));

    // Higher bits are kept and reported but draw nothing.
    Shield high(Corners(31));
    Shield all(Corners(15));
    EXPECT_EQ(high.eyePath(), all.eyePath());
    EXPECT_EQ(high.settings(), (SettingsDict{{"corners", 31}}));

    // The background does not depend on the corners.
    Shield none(Corners(0));
    EXPECT_EQ(none.eyeBackgroundPath(), all.eyeBackgroundPath());
}

TEST(ShieldEye, SettingsAndPupil) {
    EXPECT_EQ(Shield::Create({{"corners", "6"}})->corners(), Corners(15));
    EXPECT_EQ(Shield::Create({{"corners", 6}})->corners(), Corners(6));
    EXPECT_EQ(Shield::Create()->corners(), Corners(15));
    EXPECT_EQ(Shield::Create({{"corners", 6.9}})->corners(), Corners(6));

    const auto eye = Shield::Create();
    EXPECT_TRUE(eye->setSettingValue(SettingsValue(3), "corners"));
    EXPECT_EQ(eye->corners(), Corners(3));
    EXPECT_TRUE(eye->setSettingValue(SettingsValue(-7), "corners")); // kept unmasked
    EXPECT_EQ(eye->corners(), Corners(-7));
    EXPECT_FALSE(eye->setSettingValue(std::nullopt, "corners"));
    EXPECT_FALSE(eye->setSettingValue(SettingsValue("3"), "corners"));
    EXPECT_FALSE(eye->setSettingValue(SettingsValue(3), "flip"));
    EXPECT_EQ(eye->corners(), Corners(-7));
    EXPECT_TRUE(eye->supportsSettingValueForKey("corners"));
    EXPECT_FALSE(eye->supportsSettingValueForKey("flip"));

    EXPECT_TRUE(eye->setSettingValue(SettingsValue(9), "corners"));
    const auto copy = eye->copyShape();
    EXPECT_EQ(copy->settings(), (SettingsDict{{"corners", 9}}));
    const auto pupil = std::dynamic_pointer_cast<PupilShape::Shield>(eye->defaultPupil());
    ASSERT_NE(pupil, nullptr);
    EXPECT_EQ(pupil->corners(), Corners(9));
    eye->reset();
    EXPECT_EQ(eye->corners(), Corners(15));
    EXPECT_EQ(pupil->corners(), Corners(9)); // a pupil taken earlier does not follow
}

TEST(FlippingEyes, PupilFollowsTheFlip) {
    for (const char* name : {"roundedPointingIn", "teardrop", "ufo", "ufoRounded"}) {
        SCOPED_TRACE(name);
        const auto eye = eyeNamed(name);
        const auto pupil = eye->defaultPupil();
        const auto flipOf = [](const auto& generator) {
            return generator->template settingValue<std::int64_t>("flip");
        };
        EXPECT_EQ(flipOf(eye), 0);
        EXPECT_EQ(flipOf(pupil), 0);

        EXPECT_TRUE(eye->setSettingValue(SettingsValue(3), "flip"));
        EXPECT_EQ(flipOf(eye), 3);
        EXPECT_EQ(flipOf(pupil), 3);
        EXPECT_TRUE(eye->setSettingValue(SettingsValue(7), "flip"));
        EXPECT_EQ(flipOf(pupil), 0);
        EXPECT_TRUE(eye->setSettingValue(SettingsValue(1), "flip"));
        EXPECT_FALSE(eye->setSettingValue(SettingsValue("3"), "flip"));
        EXPECT_FALSE(eye->setSettingValue(SettingsValue(3), "corners"));
        EXPECT_EQ(flipOf(pupil), 1);

        eye->reset();
        EXPECT_EQ(flipOf(eye), 0);
        EXPECT_EQ(flipOf(pupil), 0);

        const auto created = eyeNamed(name, {{"flip", 2}, {"other", 1}});
        EXPECT_EQ(created->settings(), (SettingsDict{{"flip", 2}}));
        EXPECT_EQ(flipOf(created->defaultPupil()), 2);
        const auto copy = created->copyShape();
        EXPECT_EQ(flipOf(copy), 2);
        EXPECT_EQ(flipOf(copy->defaultPupil()), 2);
        EXPECT_EQ(copy->eyePath(), created->eyePath());

        // Unflipped outlines are the class's shared ones; a flip is their
        // mirror, and two flips of the same kind undo each other.
        const auto plain = eyeNamed(name);
        EXPECT_EQ(plain->eyePath(), eyeNamed(name)->eyePath());
        const auto both = eyeNamed(name, {{"flip", 3}});
        const gfx::Path undone = both->eyePath().transformed(
            gfx::AffineTransform::scale(-1, -1).then(gfx::AffineTransform::translation(90, 90)));
        for (double v = 11; v < 80; v += 3) {
            EXPECT_EQ(filled(undone, {v, 79}), filled(plain->eyePath(), {v, 79}));
            EXPECT_EQ(filled(undone, {79, v}), filled(plain->eyePath(), {79, v}));
        }
    }
}

TEST(FlippingEyes, SharpCornersFollowTheFlip) {
    // The ring's corner squares: sharp corners fill their very tip.
    const auto sharpCorners = [](const std::shared_ptr<QRCodeEyeShapeGenerator>& eye) {
        const gfx::Path ring = eye->eyePath();
        std::string marks;
        for (const gfx::Point p : {gfx::Point{11, 11}, gfx::Point{79, 11}, gfx::Point{11, 79}, gfx::Point{79, 79}}) {
            marks += filled(ring, p) ? 'S' : '.';
        }
        return marks;
    };
    const auto sharpBackground = [](const std::shared_ptr<QRCodeEyeShapeGenerator>& eye) {
        const gfx::Path background = eye->eyeBackgroundPath();
        std::string marks;
        for (const gfx::Point p : {gfx::Point{1, 1}, gfx::Point{89, 1}, gfx::Point{1, 89}, gfx::Point{89, 89}}) {
            marks += filled(background, p) ? 'S' : '.';
        }
        return marks;
    };
    // Corner order: (10, 10), (80, 10), (10, 80), (80, 80).
    EXPECT_EQ(sharpCorners(eyeNamed("roundedPointingIn")), "...S");
    EXPECT_EQ(sharpBackground(eyeNamed("roundedPointingIn")), ".S..");
    EXPECT_EQ(sharpCorners(eyeNamed("roundedPointingIn", {{"flip", 1}})), "..S.");
    EXPECT_EQ(sharpBackground(eyeNamed("roundedPointingIn", {{"flip", 1}})), "S...");
    EXPECT_EQ(sharpCorners(eyeNamed("roundedPointingOut")), "S...");
    EXPECT_EQ(sharpBackground(eyeNamed("roundedPointingOut")), "..S.");
    EXPECT_EQ(sharpCorners(eyeNamed("teardrop")), "S...");
    EXPECT_EQ(sharpBackground(eyeNamed("teardrop")), "..S.");
    EXPECT_EQ(sharpCorners(eyeNamed("teardrop", {{"flip", 3}})), "...S");
    EXPECT_EQ(sharpBackground(eyeNamed("teardrop", {{"flip", 3}})), ".S..");
    EXPECT_EQ(sharpCorners(eyeNamed("ufo")), "S..S");
    EXPECT_EQ(sharpBackground(eyeNamed("ufo")), ".SS.");
    EXPECT_EQ(sharpCorners(eyeNamed("ufo", {{"flip", 1}})), ".SS.");
    EXPECT_EQ(sharpCorners(eyeNamed("ufoRounded")), "....");

    // A pupil taken before a flip change follows it.
    const auto eye = RoundedPointingIn::Create();
    const auto pupil = std::dynamic_pointer_cast<PupilShape::RoundedPointingIn>(eye->defaultPupil());
    ASSERT_NE(pupil, nullptr);
    eye->setFlip(Flip::horizontal);
    EXPECT_EQ(pupil->flip(), Flip::horizontal);

    // The pointing-out eye has no flip of its own.
    const auto out = eyeNamed("roundedPointingOut");
    EXPECT_FALSE(out->setSettingValue(SettingsValue(0), "flip"));
    EXPECT_EQ(sharpCorners(out), "S...");
}

TEST(FixedEyes, SquarePegAndBarsOutlines) {
    // Square peg: a round hole of radius 25 in a square ring whose corners
    // are rounded by 10.
    SquarePeg peg;
    const gfx::Path pegRing = peg.eyePath();
    EXPECT_EQ(pegRing, SquarePeg().eyePath());
    for (const double dx : {-1.0, 1.0}) {
        for (const double dy : {-1.0, 1.0}) {
            EXPECT_TRUE(filled(pegRing, {45 + 19 * dx, 45 + 19 * dy}));  // 26.9 from the centre
            EXPECT_FALSE(filled(pegRing, {45 + 17 * dx, 45 + 17 * dy})); // 24.0 from the centre
            EXPECT_FALSE(filled(pegRing, {45 + 34.5 * dx, 45 + 34.5 * dy}));
        }
    }

    // Surrounding bars: the corner squares stay open.
    SurroundingBars bars;
    for (double v = 10.2; v < 20; v += 0.5) {
        for (double w = 10.2; w < 20; w += 0.5) {
            EXPECT_FALSE(filled(bars.eyePath(), {v, w}));
            EXPECT_FALSE(filled(bars.eyePath(), {90 - v, 90 - w}));
        }
    }
}

using shapetest::MarkPixels;

TEST(UsePixelShapeEye, DrawsWithTheHandedPixelShapeOrPlainSquares) {
    const BoolMatrix& ringMatrix = UsePixelShape::ringMatrix();
    ASSERT_EQ(ringMatrix.dimension(), 9);
    int on = 0;
    for (std::int64_t r = 0; r < 9; ++r) {
        for (std::int64_t c = 0; c < 9; ++c) on += ringMatrix(r, c) ? 1 : 0;
    }
    EXPECT_EQ(on, 24);

    const gfx::Path squares = PixelShape::Square::Create()->generatePath(ringMatrix, {90, 90});
    UsePixelShape eye;
    EXPECT_EQ(eye.eyePath(), squares);
    EXPECT_TRUE(filled(eye.eyePath(), {11, 11}));

    auto diamonds = std::make_shared<MarkPixels>(MarkPixels::Mark::diamond, true);
    eye.setPixelShape(diamonds);
    EXPECT_EQ(eye.eyePath(), diamonds->generatePath(ringMatrix, {90, 90}));
    EXPECT_FALSE(filled(eye.eyePath(), {11, 11}));
    // A copy does not carry the pixel shape over.
    EXPECT_EQ(eye.copyShape()->eyePath(), squares);
    // Released elsewhere: the eye does not keep it alive.
    diamonds.reset();
    EXPECT_EQ(eye.pixelShape(), nullptr);
    EXPECT_EQ(eye.eyePath(), squares);

    const auto refusing = std::make_shared<MarkPixels>(MarkPixels::Mark::diamond, false);
    eye.setPixelShape(refusing);
    EXPECT_EQ(eye.eyePath(), squares);

    gfx::Path box;
    box.addRect(gfx::Rect(0, 0, 90, 90));
    EXPECT_EQ(eye.eyeBackgroundPath(), box);
}

TEST(UsePixelShapeEye, PreviewDrawsBarsForTheClass) {
    const gfx::Color black = gfx::Color::sRGB(0, 0, 0);
    const gfx::Color white = gfx::Color::sRGB(1, 1, 1);
    const gfx::Pixel blackPixel{0, 0, 0, 255};
    const gfx::Pixel whitePixel{255, 255, 255, 255};
    UsePixelShape eye;
    PupilShape::Square pupil;
    const auto image = QRCodeEyeShapeFactory::image(eye, &pupil, 90, black, white);
    EXPECT_EQ(image->pixel(45, 15), blackPixel); // bar
    EXPECT_EQ(image->pixel(15, 45), whitePixel); // no ring side
    const auto squircle = QRCodeEyeShapeFactory::image(*eyeNamed("squircle"), &pupil, 90, black, white);
    EXPECT_EQ(squircle->pixel(15, 45), blackPixel);
}

// Every eye, drawn by the renderer with its default pupil on a real symbol,
// must scan. The surrounding bars leave the ring's corners open, which the
// decoder's finder-pattern check along the diagonals does not accept at any
// size: that shape is unscannable by design and only drawn here.
TEST(RoundedCornerEyes, SymbolsWithEachEyeScan) {
    const std::string message = "https://example.com/eyes?shape=rounded";
    const ::QRCode::QRCode code(message, ErrorCorrection::medium);
    for (const auto& [label, eye] : eyeVariants()) {
        Design design;
        design.shape()->setEye(eye);
        const auto image = code.cgImage(std::int64_t{400}, design, nullptr);
        ASSERT_EQ(image->width(), 400);
        if (label == "surroundingBars") continue;
        const auto found = platform::detectQRCodes(*image);
        ASSERT_EQ(found.size(), 1u) << label;
        EXPECT_EQ(found.front().text, message) << label;
    }
}
