#include "QRCode/generators/pixel/detail/CommonPixelGenerator.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/pixel/detail/TemplateOutlines.h"
#include "tests/QRCode/generators/pixel/PixelShapeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace QRCode;
using namespace QRCode::PixelShape;
using gfx::Path;
using gfx::Point;
using gfx::Rect;
using gfx::Size;
using ET = gfx::Path::ElementType;

namespace {

using pixelshapetest::allOn;
using pixelshapetest::figureBounds;

CommonPixelGenerator makeCommon(PixelType type, double inset = 0, double rotation = 0, double corner = 0,
                                std::shared_ptr<QRCodePixelInsetGenerator> insetGenerator = nullptr,
                                std::shared_ptr<QRCodePixelRotationGenerator> rotationGenerator = nullptr) {
    return CommonPixelGenerator(type, insetGenerator ? insetGenerator : PixelInset::Fixed::Create(), inset, corner,
                                rotationGenerator ? rotationGenerator : PixelRotation::Fixed::Create(), rotation);
}

} // namespace

TEST(PixelType, RawValuesInCaseOrder) {
    const std::vector<std::string_view> expected{
        "square", "circle",          "crt",   "roundedRect", "squircle", "sharp",       "star",
        "heart",  "flower",          "shiny", "arrow",       "wave",     "spikyCircle", "gear",
        "stitch", "hexagon",         "hexa",  "wex",         "diamond",  "koala",       "diagonal",
        "flame",  "roundedTriangle", "leaf"};
    ASSERT_EQ(CommonPixelGenerator::allPixelTypes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const PixelType type = CommonPixelGenerator::allPixelTypes[i];
        EXPECT_EQ(CommonPixelGenerator::rawValue(type), expected[i]);
        EXPECT_EQ(CommonPixelGenerator::pixelTypeFromRawValue(expected[i]), type);
    }
    EXPECT_FALSE(CommonPixelGenerator::pixelTypeFromRawValue("Square"));
    EXPECT_FALSE(CommonPixelGenerator::pixelTypeFromRawValue("abstract"));
    EXPECT_FALSE(CommonPixelGenerator::pixelTypeFromRawValue(""));
}

TEST(CommonPixelGenerator, ThreeByThreeIn90By60) {
    auto common = makeCommon(PixelType::square);
    const Path path = common.generatePath(allOn(3), Size{90, 60});
    // Cells of 20 points, the grid centred across (xOffset 15), flush at the top.
    ASSERT_EQ(path.size(), 9u * 5u);
    const auto rects = figureBounds(path);
    ASSERT_EQ(rects.size(), 9u);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            EXPECT_EQ(rects[std::size_t(row * 3 + column)], Rect(15 + 20.0 * column, 20.0 * row, 20, 20));
        }
    }
    // The template's element order, scaled onto the first cell.
    const auto& e = path.elements();
    EXPECT_EQ(e[0].type, ET::moveToPoint);
    EXPECT_EQ(e[0].points[0], (Point{15, 0}));
    EXPECT_EQ(e[1].points[0], (Point{35, 0}));
    EXPECT_EQ(e[2].points[0], (Point{35, 20}));
    EXPECT_EQ(e[3].points[0], (Point{15, 20}));
    EXPECT_EQ(e[4].type, ET::closeSubpath);
}

TEST(CommonPixelGenerator, OnlyOnModulesInRowMajorOrder) {
    BoolMatrix m(3);
    m.set(2, 0, true);
    m.set(0, 2, true);
    auto common = makeCommon(PixelType::square);
    const auto rects = figureBounds(common.generatePath(m, Size{30, 30}));
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0], Rect(20, 0, 10, 10));
    EXPECT_EQ(rects[1], Rect(0, 20, 10, 10));
}

TEST(CommonPixelGenerator, InsetShrinksOrGrowsAboutTheCellCentre) {
    BoolMatrix one(3);
    one.set(1, 1, true);
    auto shrink = makeCommon(PixelType::square, 0.5);
    pixelshapetest::expectRect(shrink.generatePath(one, Size{60, 60}).pathBoundingBox(), 25, 25, 10, 10);
    auto grow = makeCommon(PixelType::square, -0.5);
    pixelshapetest::expectRect(grow.generatePath(one, Size{60, 60}).pathBoundingBox(), 15, 15, 30, 30);
}

TEST(CommonPixelGenerator, InsetThatLeavesNoRectangleSkipsTheModule) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double inset : {1.5, nan, inf, -inf}) {
        auto common = makeCommon(PixelType::square, inset);
        const Path path = common.generatePath(allOn(3), Size{30, 30});
        EXPECT_TRUE(path.isEmpty()) << inset;
        EXPECT_TRUE(path.isFinite());
    }
    // Exactly 1 leaves a point: drawn, but empty in area.
    auto full = makeCommon(PixelType::square, 1);
    EXPECT_TRUE(full.generatePath(allOn(1), Size{10, 10}).isFinite());

    // A pinch whose values pass 1 at the corners keeps the middle modules.
    auto pinch = makeCommon(PixelType::square, 1, 0, 0, PixelInset::Pinch::Create());
    const Path pinched = pinch.generatePath(allOn(4), Size{40, 40});
    EXPECT_TRUE(pinched.isFinite());
    const auto rects = figureBounds(pinched);
    EXPECT_LT(rects.size(), 16u);
    EXPECT_GT(rects.size(), 0u);
}

TEST(CommonPixelGenerator, SkippedModulesStillAdvanceTheRandomRotation) {
    // The rotation of a module must not depend on whether an earlier module
    // was drawn.
    BoolMatrix m(2);
    m.set(0, 0, true);
    m.set(0, 1, true);
    auto rotation = PixelRotation::Random::Create();
    auto common = makeCommon(PixelType::square, 0, 1, 0, nullptr, rotation);
    const Path both = common.generatePath(m, Size{20, 20});

    // Same draws, but the first module pushed out by a huge inset from a
    // generator that only hits (0, 0).
    struct FirstGone final : QRCodePixelInsetGenerator {
        void reset() override {}
        std::shared_ptr<QRCodePixelInsetGenerator> copyInsetGenerator() const override {
            return std::make_shared<FirstGone>();
        }
        double insetValueFor(const BoolMatrix&, std::int64_t row, std::int64_t column, double) override {
            return row == 0 && column == 0 ? 5 : 0;
        }
        std::string_view name() const noexcept override { return "firstGone"; }
    };
    auto skipping = makeCommon(PixelType::square, 0, 1, 0, std::make_shared<FirstGone>(), rotation);
    const Path second = skipping.generatePath(m, Size{20, 20});
    ASSERT_EQ(second.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(second.elements()[i], both.elements()[5 + i]);
}

TEST(CommonPixelGenerator, QuarterTurnAboutTheCellCentre) {
    BoolMatrix one(3);
    one.set(0, 0, true);
    auto common = makeCommon(PixelType::square, 0, 0.25);
    const Path path = common.generatePath(one, Size{90, 60});
    // Cell (15, 0, 20, 20), centre (25, 10): the template's origin corner
    // turns onto the cell's top-right corner, the outline onto itself.
    ASSERT_EQ(path.size(), 5u);
    const Point start = path.elements()[0].points[0];
    EXPECT_NEAR(start.x, 35, 1e-9);
    EXPECT_NEAR(start.y, 0, 1e-9);
    pixelshapetest::expectRect(path.pathBoundingBox(), 15, 0, 20, 20);

    // An eighth of a turn about the centre of an inset cell: the rotation
    // is about the cell's centre, not the inset rectangle's (both coincide).
    auto eighth = makeCommon(PixelType::square, 0.5, 0.125);
    const Rect box = eighth.generatePath(one, Size{90, 60}).pathBoundingBox();
    const double halfDiagonal = 5 * std::sqrt(2.0);
    pixelshapetest::expectRect(box, 25 - halfDiagonal, 10 - halfDiagonal, 2 * halfDiagonal, 2 * halfDiagonal);
}

TEST(CommonPixelGenerator, RoundedRectRadii) {
    BoolMatrix one(1);
    one.set(0, 0, true);
    auto roundest = makeCommon(PixelType::roundedRect, 0, 0, 1);
    const Path round = roundest.generatePath(one, Size{20, 20});
    // Radius half the height: a circle through the side midpoints.
    EXPECT_EQ(round.elements()[0].points[0], (Point{20, 10}));
    EXPECT_TRUE(round.contains({10, 10}));
    EXPECT_FALSE(round.contains({1, 1}));
    EXPECT_FALSE(round.contains({19, 19}));
    pixelshapetest::expectRect(round.pathBoundingBox(), 0, 0, 20, 20);

    auto half = makeCommon(PixelType::roundedRect, 0.5, 0, 0.5);
    const Path halfRound = half.generatePath(one, Size{20, 20});
    // Inset rectangle (5, 5, 10, 10), radius 10 * 0.5 * 0.5 = 2.5.
    EXPECT_EQ(halfRound.elements()[0].points[0], (Point{15, 7.5}));
    pixelshapetest::expectRect(halfRound.pathBoundingBox(), 5, 5, 10, 10);

    auto plain = makeCommon(PixelType::roundedRect, 0, 0, 0);
    const Path square = plain.generatePath(one, Size{20, 20});
    EXPECT_EQ(square.size(), 5u);
    EXPECT_TRUE(square.contains({0.5, 0.5}));

    // A stored fraction above 1 still gives the roundest corners, not a
    // broken outline.
    auto over = makeCommon(PixelType::roundedRect, 0, 0, 7);
    EXPECT_EQ(over.generatePath(one, Size{20, 20}), round);

    // Rounded rectangles turn with the rotation.
    auto turned = makeCommon(PixelType::roundedRect, 0.5, 0.125, 0);
    const Rect box = turned.generatePath(one, Size{20, 20}).pathBoundingBox();
    EXPECT_NEAR(box.width(), 10 * std::sqrt(2.0), 1e-9);
}

TEST(CommonPixelGenerator, RandomPathsRepeat) {
    auto common = makeCommon(PixelType::square, 1, 1, 0, PixelInset::Random::Create(), PixelRotation::Random::Create());
    const BoolMatrix m = allOn(5);
    const Path first = common.generatePath(m, Size{100, 100});
    const Path second = common.generatePath(m, Size{100, 100});
    EXPECT_EQ(first, second);
    EXPECT_EQ(figureBounds(first).size(), 25u);

    // The first module uses the pinned first draws: inset 0.5219830829158851
    // of half the 20-point cell on each side.
    auto insetOnly = makeCommon(PixelType::square, 1, 0, 0, PixelInset::Random::Create());
    const auto rects = figureBounds(insetOnly.generatePath(m, Size{100, 100}));
    const double d = 20 * 0.5 * 0.5219830829158851;
    pixelshapetest::expectRect(rects[0], d, d, 20 - 2 * d, 20 - 2 * d);
    // The modules differ from one another.
    EXPECT_NE(rects[0].width(), rects[1].width());
}

TEST(CommonPixelGenerator, TypesWithoutARegisteredOutlineDrawNothing) {
    for (const PixelType type : CommonPixelGenerator::allPixelTypes) {
        if (type == PixelType::roundedRect) continue;
        auto common = makeCommon(type);
        const Path path = common.generatePath(allOn(2), Size{20, 20});
        EXPECT_EQ(path.isEmpty(), templatePath(type) == nullptr) << CommonPixelGenerator::rawValue(type);
    }
    EXPECT_EQ(*templatePath(PixelType::square), squareTemplate());
    EXPECT_EQ(templatePath(PixelType::square, 2), nullptr);
}

TEST(CommonPixelGenerator, SettingSetters) {
    auto c = makeCommon(PixelType::roundedRect, 0.2, 0.3, 0.4);

    EXPECT_TRUE(c.setInsetFraction(OptionalSettingsValue(1.5)));
    EXPECT_EQ(c.insetFraction(), 1.5); // not clamped
    EXPECT_TRUE(c.setInsetFraction(OptionalSettingsValue(true)));
    EXPECT_EQ(c.insetFraction(), 1);
    EXPECT_FALSE(c.setInsetFraction(OptionalSettingsValue("0.5")));
    EXPECT_EQ(c.insetFraction(), 1);
    EXPECT_TRUE(c.setInsetFraction(std::nullopt));
    EXPECT_EQ(c.insetFraction(), 0);

    EXPECT_TRUE(c.setRotationFraction(OptionalSettingsValue(3)));
    EXPECT_EQ(c.rotationFraction(), 3); // stored as given; creation and copy limit it
    EXPECT_TRUE(c.setRotationFraction(OptionalSettingsValue(-0.25)));
    EXPECT_EQ(c.rotationFraction(), -0.25);
    EXPECT_FALSE(c.setRotationFraction(OptionalSettingsValue("x")));
    EXPECT_EQ(c.rotationFraction(), -0.25);
    EXPECT_FALSE(c.setRotationFraction(OptionalSettingsValue(SettingsValue())));
    EXPECT_TRUE(c.setRotationFraction(OptionalSettingsValue(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(c.rotationFraction(), 0);
    c.setRotationFraction(0.5);
    EXPECT_TRUE(c.setRotationFraction(std::nullopt));
    EXPECT_EQ(c.rotationFraction(), 0);

    EXPECT_TRUE(c.setCornerRadiusFraction(OptionalSettingsValue(2)));
    EXPECT_EQ(c.cornerRadiusFraction(), 1);
    EXPECT_TRUE(c.setCornerRadiusFraction(OptionalSettingsValue(-1)));
    EXPECT_EQ(c.cornerRadiusFraction(), 0);
    c.setCornerRadiusFraction(0.5);
    EXPECT_FALSE(c.setCornerRadiusFraction(OptionalSettingsValue("1")));
    EXPECT_EQ(c.cornerRadiusFraction(), 0.5);
    EXPECT_TRUE(c.setCornerRadiusFraction(std::nullopt));
    EXPECT_EQ(c.cornerRadiusFraction(), 0);

    EXPECT_TRUE(c.setInsetGenerator(OptionalSettingsValue("pinch")));
    EXPECT_EQ(c.insetGenerator()->name(), "pinch");
    EXPECT_FALSE(c.setInsetGenerator(OptionalSettingsValue("Pinch")));
    EXPECT_FALSE(c.setInsetGenerator(OptionalSettingsValue(1)));
    EXPECT_FALSE(c.setInsetGenerator(std::nullopt));
    EXPECT_EQ(c.insetGenerator()->name(), "pinch");

    EXPECT_TRUE(c.setRotationGenerator(OptionalSettingsValue("verticalWave")));
    EXPECT_EQ(c.rotationGenerator()->name(), "verticalWave");
    EXPECT_FALSE(c.setRotationGenerator(OptionalSettingsValue("pinch")));
    EXPECT_FALSE(c.setRotationGenerator(std::nullopt));
    EXPECT_EQ(c.rotationGenerator()->name(), "verticalWave");
    EXPECT_EQ(c.pixelType(), PixelType::roundedRect);
}
