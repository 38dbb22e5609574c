// The template pixel shapes: their outlines, their settings and that a real
// symbol drawn with each of them still scans.
#include "QRCode/design/Design.h"
#include "QRCode/generators/pixel/detail/TemplateOutlines.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/pixel/TemplateShapes.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/QRCode.h"
#include "QRCode/encoding/QRCodeEngine.h"
#include "QRCode/design/Shape.h"
#include "platform/detector/QRDetector.h"
#include "tests/QRCode/generators/ShapeFamilyTest.h"
#include "tests/QRCode/generators/pixel/PixelShapeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

using namespace QRCode;
using namespace QRCode::PixelShape;
using gfx::Path;
using gfx::Point;
using gfx::Rect;
using gfx::Size;
using ET = gfx::Path::ElementType;

namespace {

// The 19 members that take the four inset and rotation keys, and the square.
using OrdinaryShapes = std::tuple<Square, Arrow, CRT, Diagonal, Diamond, Flame, Flower, Gear, Heart, Hexa, Hexagon,
                                  Koala, Leaf, RoundedTriangle, Sharp, SpikyCircle, Squircle, Star, Wave, Wex>;

template <class F> void forEachOrdinaryShape(F&& f) {
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (f(static_cast<std::tuple_element_t<I, OrdinaryShapes>*>(nullptr)), ...);
    }
    (std::make_index_sequence<std::tuple_size_v<OrdinaryShapes>>());
}

const Path& outline(PixelType type, int index = 0) {
    const Path* path = templatePath(type, index);
    if (path == nullptr)
        throw std::runtime_error("no outline for " + std::string(CommonPixelGenerator::rawValue(type)));
    return *path;
}

using pixelshapetest::allOn;
using pixelshapetest::figureBounds;

void expectBounds(const Rect& r, double minX, double minY, double maxX, double maxY, double tolerance,
                  const std::string& what) {
    EXPECT_NEAR(r.minX(), minX, tolerance) << what;
    EXPECT_NEAR(r.minY(), minY, tolerance) << what;
    EXPECT_NEAR(r.maxX(), maxX, tolerance) << what;
    EXPECT_NEAR(r.maxY(), maxY, tolerance) << what;
}

SettingsDict defaultFourKeys(double inset = 0) {
    return SettingsDict{{"insetGeneratorName", "fixed"},
                        {"insetFraction", inset},
                        {"rotationGeneratorName", "fixed"},
                        {"rotationFraction", 0.0}};
}

} // namespace

using shapefamilytest::ShapeFamily;

INSTANTIATE_TEST_SUITE_P(Template, ShapeFamily,
                         testing::Values(shapefamilytest::Family{"TemplateShapes",
                                                                 shapefamilytest::Kind::pixel,
                                                                 shapefamilytest::namesAndTitles(templatePixelShapes()),
                                                                 {}}),
                         shapefamilytest::familyLabel);

TEST(TemplateShapes, EveryClassIsAPixelType) {
    // Order and titles are the registry suite's; here the tie to the outline
    // table: each class's Name must be a pixel type's raw value.
    for (const auto& type : templatePixelShapes()) {
        EXPECT_TRUE(CommonPixelGenerator::pixelTypeFromRawValue(type.name).has_value()) << type.name;
    }
}

TEST(TemplateOutlines, EveryTypeHasItsOutlinesBuiltOnce) {
    for (const PixelType type : CommonPixelGenerator::allPixelTypes) {
        SCOPED_TRACE(std::string(CommonPixelGenerator::rawValue(type)));
        if (type == PixelType::roundedRect) {
            EXPECT_EQ(templatePath(type), nullptr); // drawn from each module's own rectangle
            continue;
        }
        ASSERT_NE(templatePath(type), nullptr);
        EXPECT_EQ(templatePath(type), templatePath(type)); // shared, not rebuilt
        EXPECT_TRUE(templatePath(type)->isFinite());
        EXPECT_EQ(templatePath(type, 1) != nullptr, type == PixelType::shiny);
    }
}

// Which way each outline faces: points inside and outside it that a
// mirrored, turned or mistranscribed outline gets wrong. (The coordinates
// themselves are pinned by the outline-data suite.)
TEST(TemplateOutlines, FaceTheRightWay) {
    struct Case {
        PixelType type;
        int index;
        std::vector<Point> in, out;
    };
    const Case cases[] = {
        {PixelType::heart, 0, {{2.5, 1.5}, {5, 10.2}}, {{5, 1}}}, // lobes at the top, tip below the box
        {PixelType::diagonal, 0, {{0.5, 0.5}, {9.5, 9.5}}, {{0.5, 9.5}, {9.5, 0.5}}},
        {PixelType::flame, 0, {{5, 9.95}, {5, 0.7}}, {{5, 0.3}}},              // straight side along y = 10
        {PixelType::leaf, 0, {{0.1, 0.1}}, {{0.3, 9.7}, {9.7, 0.3}}},          // square corner at (0, 0)
        {PixelType::roundedTriangle, 0, {{5, 0.7}, {1.5, 9.3}}, {{1.5, 0.7}}}, // apex up
        {PixelType::arrow, 0, {{5, 7}}, {{5, 9}}},                             // the notch in the rear edge
        {PixelType::flower, 0, {{5, 5}}, {{10, 5}, {5, 0}, {0, 5}, {5, 10}}},
        {PixelType::star, 0, {{5, 5}}, {{5, 9.5}}},
        {PixelType::sharp, 0, {{0.2, 0.2}}, {{5, 0.5}}},
        {PixelType::shiny, 1, {{5, 5}}, {{5, 2}}},
        {PixelType::stitch, 0, {{4.5, 3}, {6, 3}}, {{5.25, 3}}}, // the gap between the halves
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(CommonPixelGenerator::rawValue(c.type)) + " " + std::to_string(c.index));
        for (const Point p : c.in) EXPECT_TRUE(outline(c.type, c.index).contains(p)) << p.x << "," << p.y;
        for (const Point p : c.out) {
            EXPECT_FALSE(outline(c.type, c.index).contains(p)) << p.x << "," << p.y;
            EXPECT_FALSE(outline(c.type, c.index).contains(p, gfx::FillRule::evenOdd)) << p.x << "," << p.y;
        }
    }
    // Koala is mirrored within its own height (11), not about y = 5.
    const Rect koala = outline(PixelType::koala).boundingBox();
    EXPECT_NEAR(koala.minY(), 0.32, 1e-9);
    EXPECT_NEAR(koala.maxY(), 11.32, 1e-9);
}

TEST(ShinyPixelShape, AlternatesItsOutlinesAndReachesPastTheModule) {
    // A 3 x 3 block of 10-unit modules: corners and centre get the rounded
    // diamond, inside its module; the middles of the sides get the star,
    // reaching an eighth of a module past it on every side.
    auto shiny = Shiny::Create();
    const auto parts = figureBounds(shiny->generatePath(allOn(3), Size{30, 30}));
    ASSERT_EQ(parts.size(), 9U);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const Rect r = parts[static_cast<std::size_t>(row * 3 + column)];
            const double x = column * 10, y = row * 10;
            if ((row + column) % 2 == 0) {
                expectBounds(r, x + 0.128125, y + 0.128125, x + 9.871875, y + 9.871875, 1e-6, "diamond");
            } else {
                expectBounds(r, x - 1.25, y - 1.25, x + 11.25, y + 11.25, 1e-6, "star");
            }
        }
    }
}

TEST(FixedTemplateShapes, ShinyAndStitchTakeNoSettings) {
    // (That they store and take no keys is the shared contract's.) Inset and
    // rotation keys, and those set on the drawing shape, change nothing.
    for (const char* name : {"shiny", "stitch"}) {
        SCOPED_TRACE(name);
        const BoolMatrix m = allOn(4);
        auto plain = QRCodePixelShapeFactory::shared().named(name);
        const Path expected = plain->generatePath(m, Size{40, 40});
        for (const char* key : {"rotationFraction", "insetGeneratorName", "useRandomInset"}) {
            EXPECT_FALSE(plain->setSettingValue(SettingsValue(0.5), key));
            EXPECT_FALSE(plain->setSettingValue(std::nullopt, key));
        }
        const auto created =
            QRCodePixelShapeFactory::shared().named(name, {{"insetFraction", 0.5}, {"rotationFraction", 0.25}});
        EXPECT_EQ(created->generatePath(m, Size{40, 40}), expected);
        EXPECT_EQ(plain->generatePath(m, Size{40, 40}), expected);
    }

    // Stitch: two halves per module, placed in the module's own cell.
    const auto parts = figureBounds(Stitch::Create()->generatePath(allOn(2), Size{20, 20}));
    ASSERT_EQ(parts.size(), 8U);
    expectBounds(parts[6], 10.5, 10.5, 15, 20, 1e-9, "stitch left half");
    expectBounds(parts[7], 15.5, 10.5, 20, 20, 1e-9, "stitch right half");
}

TEST(CirclePixelShape, InsetOnlyAndNeverTurned) {
    auto circle = Circle::Create();
    EXPECT_EQ(circle->settings(), (SettingsDict{{"insetFraction", 0.0}, {"insetGeneratorName", "fixed"}}));
    EXPECT_TRUE(circle->supportsSettingValueForKey("useRandomInset"));
    EXPECT_TRUE(circle->supportsSettingValueForKey("insetGeneratorName"));
    EXPECT_FALSE(circle->supportsSettingValueForKey("rotationFraction"));
    EXPECT_FALSE(circle->supportsSettingValueForKey("insetfraction"));
    EXPECT_FALSE(circle->setSettingValue(SettingsValue(0.25), "rotationFraction"));
    EXPECT_FALSE(circle->setSettingValue(SettingsValue("random"), "rotationGeneratorName"));

    // Rotation keys are not read, and the legacy flag is never written.
    auto turned = Circle::Create({{"rotationFraction", 0.25},
                                  {"rotationGeneratorName", "random"},
                                  {"useRandomInset", true},
                                  {"insetFraction", 0.4}});
    EXPECT_EQ(turned->settings(), (SettingsDict{{"insetFraction", 0.4}, {"insetGeneratorName", "random"}}));
    EXPECT_EQ(turned->common().rotationFraction(), 0);
    EXPECT_EQ(turned->insetFraction(), 0.4);

    // An inset of 0.5 draws a circle half the cell wide, centred in it.
    EXPECT_TRUE(circle->setSettingValue(SettingsValue(0.5), "insetFraction"));
    const auto parts = figureBounds(circle->generatePath(allOn(3), Size{60, 60}));
    ASSERT_EQ(parts.size(), 9U);
    expectBounds(parts[4], 25, 25, 35, 35, 1e-9, "inset circle");

    EXPECT_TRUE(circle->setSettingValue(SettingsValue(true), "useRandomInset"));
    EXPECT_EQ(circle->settingValue<std::string>("insetGeneratorName"), "random");
    EXPECT_FALSE(circle->settings().contains("useRandomInset"));
    auto copy = circle->copyShape();
    EXPECT_EQ(copy->settings(), circle->settings());
    circle->reset();
    EXPECT_EQ(circle->settings(), Circle::Create()->settings());
    EXPECT_EQ(copy->settingValue<std::string>("insetGeneratorName"), "random");
}

TEST(TemplateShapes, FamilySettingsRules) {
    forEachOrdinaryShape([](auto* tag) {
        using Shape = std::remove_pointer_t<decltype(tag)>;
        SCOPED_TRACE(std::string(Shape::Name));
        const double defaultInset = Shape::Name == "hexagon" ? 0.1 : 0.0;

        for (const auto& settings : {SettingsDict(), SettingsDict::object(), SettingsDict{{"insetFraction", "x"}}}) {
            auto shape = Shape::Create(settings);
            EXPECT_EQ(shape->settings(), defaultFourKeys(defaultInset));
            EXPECT_EQ(CommonPixelGenerator::rawValue(shape->common().pixelType()), Shape::Name);
        }
        EXPECT_EQ(Shape::Create({{"insetFraction", 0}})->common().insetFraction(), 0);

        EXPECT_EQ(Shape::Create({{"rotationFraction", 2.5}})->common().rotationFraction(), 1);
        EXPECT_EQ(Shape::Create({{"rotationFraction", -3}})->common().rotationFraction(), -1);
        EXPECT_EQ(
            Shape(PixelInset::Fixed::Create(), 0, PixelRotation::Fixed::Create(), 2.5).common().rotationFraction(), 1);

        // A text name wins over the Boolean key, even when it is unknown.
        auto named = Shape::Create({{"insetGeneratorName", "nonesuch"}, {"useRandomInset", true}});
        EXPECT_EQ(named->template settingValue<std::string>("insetGeneratorName"), "fixed");
        auto legacy = Shape::Create({{"useRandomRotation", true}});
        EXPECT_EQ(legacy->template settingValue<std::string>("rotationGeneratorName"), "random");
        EXPECT_EQ(legacy->template settingValue<bool>("useRandomRotation"), true);

        auto shape = Shape::Create({{"insetGeneratorName", "pinch"}, {"insetFraction", 0.3}});
        EXPECT_FALSE(shape->supportsSettingValueForKey("useRandomInset"));
        EXPECT_FALSE(shape->supportsSettingValueForKey("InsetFraction"));
        EXPECT_FALSE(shape->supportsSettingValueForKey("cornerRadiusFraction"));
        EXPECT_FALSE(shape->setSettingValue(SettingsValue("0.5"), "insetFraction"));
        EXPECT_EQ(shape->common().insetFraction(), 0.3);
        EXPECT_TRUE(shape->setSettingValue(SettingsValue(false), "useRandomInset"));
        EXPECT_EQ(shape->template settingValue<std::string>("insetGeneratorName"), "fixed");
        EXPECT_FALSE(shape->setSettingValue(SettingsValue(0.5), "cornerRadiusFraction"));
        EXPECT_EQ(shape->common().cornerRadiusFraction(), 0);

        shape->reset();
        EXPECT_EQ(shape->settings(), defaultFourKeys(defaultInset));
    });

    auto squircle = Squircle::Create();
    EXPECT_TRUE(squircle->setSettingValue(SettingsValue(0.3), "insetFraction"));
    EXPECT_EQ(squircle->insetFraction(), 0.3);
    squircle->reset();
    EXPECT_EQ(squircle->insetFraction(), 0);
}

TEST(TemplateShapes, OutlinesTurnWithTheModule) {
    // A quarter turn carries the arrow's rear notch round to a side.
    const BoolMatrix m = allOn(1);
    const Path upright = Arrow::Create()->generatePath(m, Size{10, 10});
    const Path turned = Arrow::Create({{"rotationFraction", 0.25}})->generatePath(m, Size{10, 10});
    EXPECT_FALSE(upright.contains({5, 9}));
    EXPECT_TRUE(upright.contains({1, 5}));
    EXPECT_TRUE(turned.contains({5, 9}));
    EXPECT_FALSE(turned.contains({1, 5}) && turned.contains({9, 5}));
}

TEST(RoundedRectPixelShape, DefaultsAndClamping) {
    // (The corner radius follows the shared rule table.)
    auto shape = RoundedRect::Create();
    EXPECT_EQ(shape->settings(), (SettingsDict{{"cornerRadiusFraction", 0.65},
                                               {"insetGeneratorName", "fixed"},
                                               {"insetFraction", 0.0},
                                               {"rotationGeneratorName", "fixed"},
                                               {"rotationFraction", 0.0}}));
    EXPECT_EQ(shape->insetFraction(), 0); // the default inset (0.1) is offered, not applied
    EXPECT_EQ(RoundedRect::Create({{"rotationFraction", 7}})->common().rotationFraction(), 1);

    const auto fixedInset = PixelInset::Fixed::Create();
    const auto fixedRotation = PixelRotation::Fixed::Create();
    EXPECT_EQ(RoundedRect(-1, fixedInset, 0, fixedRotation, 0).cornerRadiusFraction(), 0);
    EXPECT_EQ(RoundedRect(3, fixedInset, 0, fixedRotation, 0).cornerRadiusFraction(), 1);
    // A radius that is not a number never reaches the drawing.
    RoundedRect nan(std::numeric_limits<double>::quiet_NaN(), fixedInset, 0, fixedRotation, 0);
    EXPECT_EQ(nan.cornerRadiusFraction(), 0);
    EXPECT_TRUE(nan.generatePath(allOn(2), Size{20, 20}).isFinite());

    // The legacy rotation flag is taken but not offered.
    EXPECT_FALSE(shape->supportsSettingValueForKey("useRandomRotation"));
    EXPECT_TRUE(shape->setSettingValue(SettingsValue(true), "useRandomRotation"));
    EXPECT_EQ(shape->settingValue<bool>("useRandomRotation"), true);
}
