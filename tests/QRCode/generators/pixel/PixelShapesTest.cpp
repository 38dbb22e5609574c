#include "QRCode/generators/pixel/Abstract.h"
#include "QRCode/generators/pixel/Square.h"

#include <gtest/gtest.h>

#include <vector>

using namespace QRCode;
using namespace QRCode::PixelShape;
using gfx::Point;
using gfx::Size;
using ET = gfx::Path::ElementType;

namespace {
SettingsDict defaultSquareSettings() {
    return SettingsDict{{"insetGeneratorName", "fixed"},
                        {"insetFraction", 0.0},
                        {"rotationGeneratorName", "fixed"},
                        {"rotationFraction", 0.0}};
}
} // namespace

TEST(SquarePixelShape, DefaultsDrawExactModuleSquares) {
    for (const auto& settings : {SettingsDict(), SettingsDict::object(), SettingsDict::array()}) {
        auto square = Square::Create(settings);
        EXPECT_EQ(square->settings(), defaultSquareSettings());
        EXPECT_EQ(square->common().pixelType(), PixelType::square);
        EXPECT_EQ(square->common().cornerRadiusFraction(), 0);
    }
    BoolMatrix m(2);
    m.set(1, 0, true);
    gfx::Path expected;
    expected.addRect(gfx::Rect(0, 10, 10, 10));
    EXPECT_EQ(Square::Create()->generatePath(m, Size{20, 20}), expected);
}

TEST(SquarePixelShape, CreateReadsSettingsAndLegacyKeys) {
    auto random = Square::Create({{"useRandomInset", true}});
    EXPECT_EQ(random->settingValue<std::string>("insetGeneratorName"), "random");
    EXPECT_EQ(random->settingValue<bool>("useRandomInset"), true);
    EXPECT_FALSE(random->settingValue<bool>("useRandomRotation"));

    // Numbers count as Booleans; other kinds do not.
    EXPECT_EQ(Square::Create({{"useRandomRotation", 1}})->common().rotationGenerator()->name(), "random");
    EXPECT_EQ(Square::Create({{"useRandomRotation", "true"}})->common().rotationGenerator()->name(), "fixed");
    EXPECT_EQ(Square::Create({{"useRandomInset", 0}})->common().insetGenerator()->name(), "fixed");

    // A text name wins over the Boolean key, even an unknown one.
    auto unknown = Square::Create({{"insetGeneratorName", "wobble"}, {"useRandomInset", true}});
    EXPECT_EQ(unknown->common().insetGenerator()->name(), "fixed");
    auto named = Square::Create({{"insetGeneratorName", "punch"}, {"rotationGeneratorName", "horizontalWave"}});
    EXPECT_EQ(named->common().insetGenerator()->name(), "punch");
    EXPECT_EQ(named->common().rotationGenerator()->name(), "horizontalWave");
    // A name of another kind falls back to the Boolean key.
    EXPECT_EQ(Square::Create({{"insetGeneratorName", 3}, {"useRandomInset", true}})->common().insetGenerator()->name(),
              "random");

    auto fractions = Square::Create({{"insetFraction", -0.25}, {"rotationFraction", 3}});
    EXPECT_EQ(fractions->common().insetFraction(), -0.25);
    EXPECT_EQ(fractions->common().rotationFraction(), 1);
    EXPECT_EQ(Square::Create({{"rotationFraction", -2.5}})->common().rotationFraction(), -1);
    EXPECT_EQ(Square::Create({{"insetFraction", "0.5"}})->common().insetFraction(), 0);
    EXPECT_EQ(Square::Create({{"insetFraction", 0.5}, {"unknown", 1}})->settingValue<double>("insetFraction"), 0.5);
}

TEST(SquarePixelShape, SettingsRoundTrip) {
    auto square = Square::Create({{"insetGeneratorName", "random"},
                                  {"insetFraction", 0.3},
                                  {"rotationGeneratorName", "verticalWave"},
                                  {"rotationFraction", -0.5}});
    const SettingsDict settings = square->settings();
    EXPECT_EQ(settings, (SettingsDict{{"insetGeneratorName", "random"},
                                      {"insetFraction", 0.3},
                                      {"rotationGeneratorName", "verticalWave"},
                                      {"rotationFraction", -0.5},
                                      {"useRandomInset", true}}));
    EXPECT_EQ(Square::Create(settings)->settings(), settings);
    const BoolMatrix m(4, std::vector<bool>(16, true));
    EXPECT_EQ(Square::Create(settings)->generatePath(m, Size{40, 40}), square->generatePath(m, Size{40, 40}));
}

TEST(SquarePixelShape, SetSettingValue) {
    auto square = Square::Create();
    EXPECT_TRUE(square->setSettingValue(SettingsValue(0.5), "insetFraction"));
    EXPECT_FALSE(square->setSettingValue(SettingsValue("0.7"), "insetFraction"));
    EXPECT_EQ(square->common().insetFraction(), 0.5);

    // A rotation fraction set by key is stored as given (a copy limits it);
    // a text is refused.
    EXPECT_TRUE(square->setSettingValue(SettingsValue(3), "rotationFraction"));
    EXPECT_EQ(square->common().rotationFraction(), 3);
    EXPECT_EQ(std::dynamic_pointer_cast<Square>(square->copyShape())->common().rotationFraction(), 1);
    EXPECT_TRUE(square->setSettingValue(SettingsValue(0.25), "rotationFraction"));
    EXPECT_FALSE(square->setSettingValue(SettingsValue("0.5"), "rotationFraction"));
    EXPECT_EQ(square->common().rotationFraction(), 0.25);
    EXPECT_TRUE(square->setSettingValue(std::nullopt, "rotationFraction"));
    EXPECT_EQ(square->common().rotationFraction(), 0);

    EXPECT_TRUE(square->setSettingValue(SettingsValue(true), "useRandomRotation"));
    EXPECT_EQ(square->settingValue<std::string>("rotationGeneratorName"), "random");
    EXPECT_EQ(square->settingValue<bool>("useRandomRotation"), true);
    EXPECT_TRUE(square->setSettingValue(std::nullopt, "useRandomRotation"));
    EXPECT_EQ(square->settingValue<std::string>("rotationGeneratorName"), "fixed");

    // false replaces even a wave generator with the fixed one.
    EXPECT_TRUE(square->setSettingValue(SettingsValue("horizontalWave"), "insetGeneratorName"));
    EXPECT_TRUE(square->setSettingValue(SettingsValue(false), "useRandomInset"));
    EXPECT_EQ(square->common().insetGenerator()->name(), "fixed");

    EXPECT_FALSE(square->setSettingValue(SettingsValue("nope"), "insetGeneratorName"));
    EXPECT_FALSE(square->setSettingValue(SettingsValue("random"), "rotationgeneratorname"));
    EXPECT_FALSE(square->setSettingValue(SettingsValue(1), "cornerRadiusFraction"));
    EXPECT_EQ(square->common().cornerRadiusFraction(), 0);

    for (const char* key : {"insetFraction", "insetGeneratorName", "rotationFraction", "rotationGeneratorName"}) {
        EXPECT_TRUE(square->supportsSettingValueForKey(key)) << key;
    }
    for (const char* key : {"useRandomInset", "useRandomRotation", "InsetFraction", "cornerRadiusFraction", ""}) {
        EXPECT_FALSE(square->supportsSettingValueForKey(key)) << key;
    }
}

TEST(SquarePixelShape, CopyIsIndependentAndRendersTheSame) {
    auto square = Square::Create({{"insetGeneratorName", "random"}, {"insetFraction", 0.8}});
    square->setSettingValue(SettingsValue(0.5), "rotationFraction");
    square->setSettingValue(SettingsValue("random"), "rotationGeneratorName");
    auto copy = std::dynamic_pointer_cast<Square>(square->copyShape());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->settings(), square->settings());
    EXPECT_NE(copy->common().insetGenerator(), square->common().insetGenerator());
    EXPECT_NE(copy->common().rotationGenerator(), square->common().rotationGenerator());
    const BoolMatrix m(5, std::vector<bool>(25, true));
    EXPECT_EQ(copy->generatePath(m, Size{50, 50}), square->generatePath(m, Size{50, 50}));

    copy->setSettingValue(SettingsValue(0.1), "insetFraction");
    EXPECT_EQ(square->common().insetFraction(), 0.8);
}

TEST(SquarePixelShape, ResetAndGeneratorsKeptByReference) {
    auto inset = PixelInset::Random::Create();
    Square square(inset, 0.4, PixelRotation::HWave::Create(), -7);
    EXPECT_EQ(square.common().insetGenerator(), inset);
    EXPECT_EQ(square.common().rotationFraction(), -1);
    square.reset();
    EXPECT_EQ(square.settings(), defaultSquareSettings());
    EXPECT_EQ(square.common().insetGenerator()->name(), "fixed");
}

TEST(AbstractPixelShape, CornersFollowTheSeededDraws) {
    BoolMatrix m(3);
    m.set(0, 1, true);
    m.set(2, 2, true);
    Abstract abstract;
    // 30 x 40: cells of 10, the grid moved down by 5.
    const gfx::Path path = abstract.generatePath(m, Size{30, 40});
    const auto& e = path.elements();

    // First module (0, 1) at (10, 5): only the bottom-right corner rounded.
    ASSERT_GE(e.size(), 7u);
    EXPECT_EQ(e[0].type, ET::moveToPoint);
    EXPECT_EQ(e[0].points[0], (Point{10, 5}));
    EXPECT_EQ(e[1].type, ET::addLineToPoint);
    EXPECT_EQ(e[1].points[0], (Point{20, 5}));
    EXPECT_EQ(e[2].points[0], (Point{20, 10}));
    EXPECT_EQ(e[3].type, ET::addCurveToPoint);
    EXPECT_EQ(e[3].points[0], (Point{20, 15}));
    EXPECT_EQ(e[3].points[1], (Point{15, 15}));
    EXPECT_EQ(e[3].points[2], (Point{15, 15}));
    EXPECT_EQ(e[4].points[0], (Point{10, 15}));
    EXPECT_EQ(e[5].points[0], (Point{10, 5}));
    EXPECT_EQ(e[6].type, ET::closeSubpath);

    // Second module (2, 2) at (20, 25): both bottom corners rounded.
    ASSERT_EQ(e.size(), 7u + 8u);
    EXPECT_EQ(e[7].points[0], (Point{20, 25}));
    EXPECT_EQ(e[8].points[0], (Point{30, 25}));
    EXPECT_EQ(e[9].points[0], (Point{30, 30}));
    EXPECT_EQ(e[10].type, ET::addCurveToPoint);
    EXPECT_EQ(e[10].points[2], (Point{25, 35}));
    EXPECT_EQ(e[11].points[0], (Point{25, 35}));
    EXPECT_EQ(e[12].type, ET::addCurveToPoint);
    EXPECT_EQ(e[12].points[0], (Point{20, 35}));
    EXPECT_EQ(e[12].points[2], (Point{20, 30}));
    EXPECT_EQ(e[13].points[0], (Point{20, 25}));

    // The same on every call and on every instance.
    EXPECT_EQ(abstract.generatePath(m, Size{30, 40}), path);
    EXPECT_EQ(Abstract().generatePath(m, Size{30, 40}), path);
    EXPECT_TRUE(abstract.generatePath(BoolMatrix(), Size{30, 40}).isEmpty());
}
