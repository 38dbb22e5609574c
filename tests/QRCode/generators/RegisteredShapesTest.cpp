// What every registered pixel, eye and pupil class owes the registry and the
// stored design: its Name and Title, defaults that agree however it is made,
// copies and archives that keep its settings and its drawing, and settings
// keys it either stores or refuses. Each family's suite instantiates the
// checks with its own class list.
#include "tests/QRCode/generators/ShapeFamilyTest.h"

#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/generators/PupilShapeFactory.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

using namespace QRCode;
using shapefamilytest::Family;
using shapefamilytest::Kind;
using shapefamilytest::ShapeFamily;

namespace {

// The keys that one family or another stores.
constexpr std::string_view kKnownKeys[] = {
    "cornerRadiusFraction", "insetFraction", "hasInnerCorners", "flip", "corners", "eyeInnerStyle"};

BoolMatrix sampleMatrix() {
    BoolMatrix m(3);
    const char* rows[] = {"##.", ".##", "#.#"};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) m.set(r, c, rows[r][c] == '#');
    }
    return m;
}

gfx::Path drawing(QRCodePixelShapeGenerator& shape) { return shape.generatePath(sampleMatrix(), gfx::Size{30, 30}); }
gfx::Path drawing(QRCodeEyeShapeGenerator& eye) { return eye.eyePath(); }
gfx::Path drawing(QRCodePupilShapeGenerator& pupil) { return pupil.pupilPath(); }

SettingsDict archive(const QRCodePixelShapeGenerator& g) { return pixelShapeArchive(g); }
SettingsDict archive(const QRCodeEyeShapeGenerator& g) { return eyeShapeArchive(g); }
SettingsDict archive(const QRCodePupilShapeGenerator& g) { return pupilShapeArchive(g); }

template <class Registry> void expectListedWithTitles(const Registry& registry, const Family& family) {
    if (!family.listed.empty()) {
        auto listed = family.listed, classes = family.classes;
        std::sort(listed.begin(), listed.end());
        std::sort(classes.begin(), classes.end());
        EXPECT_EQ(listed, classes);
    }
    for (const auto& [name, title] : family.classes) {
        const auto* type = registry.classNamed(name);
        ASSERT_NE(type, nullptr) << name;
        EXPECT_EQ(type->title, title);
    }
}

template <class Registry>
void expectContract(const Registry& registry, const std::string& name, const std::string& title) {
    SCOPED_TRACE(name);
    const auto shape = registry.named(name);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->name(), name);
    EXPECT_EQ(shape->title(), title);
    const SettingsDict defaults = shape->settings();
    EXPECT_TRUE(defaults.is_object());

    // Nothing and an empty dictionary both give the defaults.
    const auto* type = registry.classNamed(name);
    EXPECT_EQ(type->create(SettingsDict())->settings(), defaults);
    EXPECT_EQ(type->create(SettingsDict::object())->settings(), defaults);

    // A copy and the stored form keep the settings and draw the same.
    const auto copy = shape->copyShape();
    EXPECT_NE(copy.get(), shape.get());
    EXPECT_EQ(copy->name(), name);
    EXPECT_EQ(copy->settings(), defaults);
    const auto again = registry.create(archive(*shape));
    EXPECT_EQ(again->name(), name);
    EXPECT_EQ(again->settings(), defaults);
    const gfx::Path drawn = drawing(*shape);
    EXPECT_EQ(drawing(*copy), drawn);
    EXPECT_EQ(drawing(*again), drawn);

    // Every setting changed from its default survives a copy and the stored
    // form, and draws the same there.
    const auto changed = registry.named(name);
    for (const auto& [key, value] : defaults.items()) {
        const SettingsValue other = value.is_boolean()          ? SettingsValue(!value.template get<bool>())
                                    : value.is_number_integer() ? SettingsValue(2)
                                    : value.is_number()         ? SettingsValue(0.3)
                                                                : SettingsValue("random");
        EXPECT_TRUE(changed->setSettingValue(other, key)) << key;
    }
    EXPECT_EQ(changed->copyShape()->settings(), changed->settings());
    const auto restored = registry.create(archive(*changed));
    EXPECT_EQ(restored->settings(), changed->settings());
    EXPECT_EQ(drawing(*restored), drawing(*changed));

    // A class takes exactly the keys it stores.
    for (const auto& [key, value] : defaults.items()) EXPECT_TRUE(shape->supportsSettingValueForKey(key)) << key;
    for (const std::string_view key : kKnownKeys) {
        const bool stored = defaults.contains(std::string(key));
        EXPECT_EQ(shape->supportsSettingValueForKey(key), stored) << key;
        if (!stored) {
            EXPECT_FALSE(shape->setSettingValue(SettingsValue(1), key)) << key;
        }
    }
    EXPECT_FALSE(shape->supportsSettingValueForKey("unknown"));
    EXPECT_FALSE(shape->setSettingValue(SettingsValue(1), "unknown"));
    EXPECT_EQ(shape->settings(), defaults);
}

// Nothing to lay out, or no usable size, draws nothing; a full block drawn
// in a wider or taller size stays inside the grid, which is centred in the
// longer side (give or take the reach of a shape whose outline leaves its
// module by design); every shape but the vortex rings can draw eyes and
// pupils.
void expectPixelShapeLayout(const std::string& name) {
    const std::map<std::string, double> reach{{"heart", 0.29}, {"koala", 0.7}, {"shiny", 1.25}};
    const double slack = (reach.contains(name) ? reach.at(name) : 0) + 1e-9;
    SCOPED_TRACE(name);
    const auto shape = QRCodePixelShapeFactory::shared().named(name);
    EXPECT_EQ(shape->canGenerateEyeAndPupilShapes(), name != "vortex");
    BoolMatrix full(3), empty(3);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) full.set(r, c, true);
    }
    for (const auto& [size, grid] : {std::pair{gfx::Size{50, 30}, gfx::Rect(10, 0, 30, 30)},
                                     std::pair{gfx::Size{30, 50}, gfx::Rect(0, 10, 30, 30)}}) {
        const gfx::Rect box = shape->generatePath(full, size).pathBoundingBox();
        EXPECT_GE(box.minX(), grid.minX() - slack);
        EXPECT_LE(box.maxX(), grid.maxX() + slack);
        EXPECT_GE(box.minY(), grid.minY() - slack);
        EXPECT_LE(box.maxY(), grid.maxY() + slack);
    }
    EXPECT_TRUE(shape->generatePath(BoolMatrix(), gfx::Size{100, 100}).isEmpty());
    EXPECT_TRUE(shape->generatePath(empty, gfx::Size{30, 30}).isEmpty());
    EXPECT_TRUE(shape->generatePath(full, gfx::Size{0, 30}).isEmpty());
    EXPECT_TRUE(shape->generatePath(full, gfx::Size{NAN, 30}).isEmpty());
    EXPECT_TRUE(shape->generatePath(full, gfx::Size{INFINITY, INFINITY}).isEmpty());
}

// Every class that stores a flip reads it by one rule: numbers (Booleans
// too) count toward zero and anything outside 0...3 is no flip; text, null,
// nothing and a misspelt key are refused and leave the flip alone. Create
// reads its dictionary by the same rule and ignores keys it does not know.
template <class Registry> void expectFlipRule(const Registry& registry) {
    const struct {
        SettingsValue value;
        bool taken;
        std::int64_t flip;
    } cases[] = {{SettingsValue(3), true, 3},   {SettingsValue(2.9), true, 2},  {SettingsValue(7), true, 0},
                 {SettingsValue(-1), true, 0},  {SettingsValue(true), true, 1}, {SettingsValue(1e300), true, 0},
                 {SettingsValue(NAN), true, 0}, {SettingsValue("1"), false, 2}, {SettingsValue(nullptr), false, 2}};
    int members = 0;
    for (const auto& type : registry.registeredTypes()) {
        const auto shape = type.create(SettingsDict());
        if (!shape->settings().contains("flip")) continue;
        ++members;
        SCOPED_TRACE(std::string(type.name));
        for (const auto& c : cases) {
            shape->setSettingValue(SettingsValue(2), "flip");
            EXPECT_EQ(shape->setSettingValue(c.value, "flip"), c.taken) << c.value.dump();
            EXPECT_EQ(shape->settings()["flip"], c.flip) << c.value.dump();
        }
        EXPECT_FALSE(shape->setSettingValue(std::nullopt, "flip"));
        EXPECT_FALSE(shape->setSettingValue(SettingsValue(1), "Flip"));
        EXPECT_EQ(shape->settings()["flip"], 2);
        EXPECT_EQ(type.create({{"flip", 3}, {"other", 1}})->settings()["flip"], 3);
        EXPECT_EQ(type.create({{"flip", 9}})->settings()["flip"], 0);
        EXPECT_EQ(type.create({{"flip", "1"}})->settings()["flip"], 0);
    }
    EXPECT_GT(members, 5);
}

} // namespace

TEST_P(ShapeFamily, ListsItsClassesWithTheirTitles) {
    const Family& family = GetParam();
    switch (family.kind) {
    case Kind::pixel: expectListedWithTitles(QRCodePixelShapeFactory::shared(), family); break;
    case Kind::eye: expectListedWithTitles(QRCodeEyeShapeFactory::shared(), family); break;
    case Kind::pupil: expectListedWithTitles(QRCodePupilShapeFactory::shared(), family); break;
    }
}

TEST_P(ShapeFamily, EveryClassKeepsTheGeneratorContract) {
    const Family& family = GetParam();
    for (const auto& [name, title] : family.classes) {
        switch (family.kind) {
        case Kind::pixel:
            expectContract(QRCodePixelShapeFactory::shared(), name, title);
            expectPixelShapeLayout(name);
            break;
        case Kind::eye: expectContract(QRCodeEyeShapeFactory::shared(), name, title); break;
        case Kind::pupil: expectContract(QRCodePupilShapeFactory::shared(), name, title); break;
        }
    }
}

TEST(FlipSetting, EveryEyeAndPupilReadsItByOneRule) {
    expectFlipRule(QRCodeEyeShapeFactory::shared());
    expectFlipRule(QRCodePupilShapeFactory::shared());
}

// Every class that stores corners reads them by one rule: all four by
// default and for text; a number counts toward zero and is kept as given,
// bits beyond the four and negative numbers too; text and nothing are
// refused; copies keep them.
TEST(CornersSetting, EveryEyeAndPupilReadsThemByOneRule) {
    int members = 0;
    const auto check = [&](const auto& registry) {
        for (const auto& type : registry.registeredTypes()) {
            if (!type.create(SettingsDict())->settings().contains("corners")) continue;
            ++members;
            SCOPED_TRACE(std::string(type.name));
            const auto corners = [](const auto& shape) { return shape->settings()["corners"]; };
            EXPECT_EQ(corners(type.create(SettingsDict())), 15);
            EXPECT_EQ(corners(type.create({{"corners", "6"}})), 15);
            EXPECT_EQ(corners(type.create({{"corners", 6.9}})), 6);
            const auto shape = type.create(SettingsDict());
            for (const int value : {-7, 21, 16}) {
                EXPECT_TRUE(shape->setSettingValue(SettingsValue(value), "corners"));
                EXPECT_EQ(corners(shape), value);
            }
            EXPECT_FALSE(shape->setSettingValue(SettingsValue("3"), "corners"));
            EXPECT_FALSE(shape->setSettingValue(std::nullopt, "corners"));
            EXPECT_EQ(corners(shape), 16);
            EXPECT_EQ(corners(shape->copyShape()), 16);
            shape->reset();
            EXPECT_EQ(corners(shape), 15);
        }
    };
    check(QRCodeEyeShapeFactory::shared());
    check(QRCodePupilShapeFactory::shared());
    EXPECT_EQ(members, 2);
}

namespace {

// How one class reads "cornerRadiusFraction": its default (also what text
// gives), whether Create and setSettingValue hold a number within 0...1 or
// store it as given, and what setting nothing does.
enum class OnNothing { refused, fallback, zero };
struct RadiusRule {
    Kind kind;
    std::string name;
    double fallback;
    std::optional<bool> createLimits;
    bool setLimits;
    OnNothing onNothing;
};

template <class Registry> void expectRadiusRule(const Registry& registry, const RadiusRule& rule) {
    SCOPED_TRACE(rule.name);
    const std::string key = "cornerRadiusFraction";
    const auto value = [&](const auto& shape) { return shape->settings()[key].template get<double>(); };
    EXPECT_DOUBLE_EQ(value(registry.named(rule.name)), rule.fallback);
    EXPECT_DOUBLE_EQ(value(registry.named(rule.name, {{key, "0.5"}})), rule.fallback);
    EXPECT_DOUBLE_EQ(value(registry.named(rule.name, {{key, 0.25}})), 0.25);
    if (rule.createLimits) {
        EXPECT_DOUBLE_EQ(value(registry.named(rule.name, {{key, 2}})), *rule.createLimits ? 1 : 2);
        EXPECT_DOUBLE_EQ(value(registry.named(rule.name, {{key, -1}})), *rule.createLimits ? 0 : -1);
    }
    const auto shape = registry.named(rule.name);
    EXPECT_TRUE(shape->setSettingValue(SettingsValue(2), key));
    EXPECT_DOUBLE_EQ(value(shape), rule.setLimits ? 1 : 2);
    EXPECT_TRUE(shape->setSettingValue(SettingsValue(-0.5), key));
    EXPECT_DOUBLE_EQ(value(shape), rule.setLimits ? 0 : -0.5);
    EXPECT_TRUE(shape->setSettingValue(SettingsValue(0.4), key));
    EXPECT_FALSE(shape->setSettingValue(SettingsValue("0.2"), key));
    EXPECT_FALSE(shape->setSettingValue(SettingsValue(nullptr), key));
    EXPECT_DOUBLE_EQ(value(shape), 0.4);
    EXPECT_EQ(shape->setSettingValue(std::nullopt, key), rule.onNothing != OnNothing::refused);
    EXPECT_DOUBLE_EQ(value(shape), rule.onNothing == OnNothing::refused    ? 0.4
                                   : rule.onNothing == OnNothing::fallback ? rule.fallback
                                                                           : 0);
    shape->setSettingValue(SettingsValue(0.4), key);
    shape->reset();
    EXPECT_DOUBLE_EQ(value(shape), rule.fallback);
}

} // namespace

TEST(CornerRadiusSetting, EveryClassReadsItByItsRule) {
    const RadiusRule rules[] = {
        {Kind::pixel, "horizontal", 1.0, true, false, OnNothing::fallback},
        {Kind::pixel, "vertical", 1.0, true, false, OnNothing::fallback},
        {Kind::pixel, "roundedPath", 0.65, true, true, OnNothing::fallback},
        {Kind::pixel, "roundedEndIndent", 0.65, true, true, OnNothing::fallback},
        {Kind::pixel, "curvePixel", 1.0, true, true, OnNothing::fallback},
        {Kind::pixel, "roundedRect", 0.65, true, true, OnNothing::zero},
        {Kind::eye, "corneredPixels", 0.65, true, true, OnNothing::refused},
        {Kind::eye, "pixels", 0.65, true, true, OnNothing::refused},
        {Kind::eye, "edges", 1.0, true, true, OnNothing::refused},
        {Kind::eye, "roundedRect", 0.3, true, true, OnNothing::refused},
        {Kind::pupil, "corneredPixels", 0.65, std::nullopt, true, OnNothing::refused},
        {Kind::pupil, "pixels", 0.65, false, true, OnNothing::refused},
        {Kind::pupil, "edges", 0.65, std::nullopt, true, OnNothing::refused},
        {Kind::pupil, "roundedRect", 0.3, true, true, OnNothing::refused},
    };
    for (const auto& rule : rules) {
        switch (rule.kind) {
        case Kind::pixel: expectRadiusRule(QRCodePixelShapeFactory::shared(), rule); break;
        case Kind::eye: expectRadiusRule(QRCodeEyeShapeFactory::shared(), rule); break;
        case Kind::pupil: expectRadiusRule(QRCodePupilShapeFactory::shared(), rule); break;
        }
    }
}

// The classes that belong to no family list of their own.
INSTANTIATE_TEST_SUITE_P(Plain, ShapeFamily,
                         testing::Values(Family{"SquareAndAbstractPixels",
                                                Kind::pixel,
                                                {{"square", "Square"}, {"abstract", "Abstract"}},
                                                {}},
                                         Family{"SquareEye", Kind::eye, {{"square", "Square"}}, {}}),
                         shapefamilytest::familyLabel);
