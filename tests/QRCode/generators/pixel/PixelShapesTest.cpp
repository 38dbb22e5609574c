#include "QRCode/design/Design.h"
#include "QRCode/design/Shape.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/generators/pixel/Abstract.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/QRCode.h"
#include "platform/detector/QRDetector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
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

// (The four keys' shared rules are checked over every template shape, the
// square among them.)
TEST(SquarePixelShape, DefaultsDrawExactModuleSquares) {
    EXPECT_EQ(Square::Create(SettingsDict::array())->settings(), defaultSquareSettings());
    EXPECT_EQ(Square::Create()->common().pixelType(), PixelType::square);
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
    auto named = Square::Create({{"insetGeneratorName", "punch"}, {"rotationGeneratorName", "horizontalWave"}});
    EXPECT_EQ(named->common().insetGenerator()->name(), "punch");
    EXPECT_EQ(named->common().rotationGenerator()->name(), "horizontalWave");
    // A name of another kind falls back to the Boolean key.
    EXPECT_EQ(Square::Create({{"insetGeneratorName", 3}, {"useRandomInset", true}})->common().insetGenerator()->name(),
              "random");
    EXPECT_EQ(Square::Create({{"insetFraction", -0.25}})->common().insetFraction(), -0.25);
}

TEST(SquarePixelShape, SetSettingValue) {
    // (What each setter does with a value is the common generator's suite;
    // here which key reaches which setter.)
    auto square = Square::Create();
    EXPECT_TRUE(square->setSettingValue(SettingsValue(3), "rotationFraction"));
    EXPECT_EQ(std::dynamic_pointer_cast<Square>(square->copyShape())->common().rotationFraction(), 1);
    EXPECT_TRUE(square->setSettingValue(SettingsValue(0.5), "insetFraction"));
    EXPECT_EQ(square->common().insetFraction(), 0.5);

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

    for (const char* key : {"insetFraction", "insetGeneratorName", "rotationFraction", "rotationGeneratorName"}) {
        EXPECT_TRUE(square->supportsSettingValueForKey(key)) << key;
    }
    for (const char* key : {"useRandomInset", "useRandomRotation", "InsetFraction", ""}) {
        EXPECT_FALSE(square->supportsSettingValueForKey(key)) << key;
    }
}

TEST(SquarePixelShape, CopyHasItsOwnGenerators) {
    auto square = Square::Create({{"insetGeneratorName", "random"}, {"insetFraction", 0.8}});
    square->setSettingValue(SettingsValue(0.5), "rotationFraction");
    square->setSettingValue(SettingsValue("random"), "rotationGeneratorName");
    auto copy = std::dynamic_pointer_cast<Square>(square->copyShape());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->common().insetGenerator(), square->common().insetGenerator());
    EXPECT_NE(copy->common().rotationGenerator(), square->common().rotationGenerator());

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

// Every pixel shape, drawn by the renderer for the on-pixels of real symbols
// (square eyes and pupils, black on white), must scan at every module size
// tried, in its default settings and at the extremes of its corner radius.
// A decoder samples each module at its centre, which some shapes leave
// unreliable by design; those are read only at the sizes where they scan:
// the square grids' light lattice and the stitch's gap, which blur shut at a
// few pixels a module; the donut's hole, which is that centre; and the
// diagonal stripes, which put a band's edge through it at some sizes.
TEST(PixelShapes, SymbolsDrawnWithEveryShapeScan) {
    const std::vector<int> everySize{3, 4, 6, 8, 10, 12, 16};
    const std::map<std::string, std::vector<int>> onlyAt{{"grid2x2", {3, 4}}, {"grid3x3", {3, 4}},
                                                         {"grid4x4", {3, 4}}, {"stitch", {5}},
                                                         {"donut", {3, 4}},   {"diagonalStripes", {3, 4, 6, 12, 16}}};
    const std::string message = "https://example.com/tessivo?shapes=tiles&n=42";
    const auto& factory = QRCodePixelShapeFactory::shared();
    for (const auto level : {ErrorCorrection::low, ErrorCorrection::high}) {
        const ::QRCode::QRCode code(message, level);
        const std::int64_t n = code.current().dimension();
        for (const auto& type : factory.registeredTypes()) {
            const std::string name(type.name);
            const auto& sizes = onlyAt.contains(name) ? onlyAt.at(name) : everySize;
            std::vector<SettingsDict> variants{SettingsDict()};
            if (factory.named(name)->settings().contains("cornerRadiusFraction")) {
                variants.push_back({{"cornerRadiusFraction", 0}});
                variants.push_back({{"cornerRadiusFraction", 1}, {"hasInnerCorners", true}});
            }
            for (const auto& settings : variants) {
                Design design(gfx::Color::sRGB(0, 0, 0), gfx::Color::sRGB(1, 1, 1)), squares;
                design.setAdditionalQuietZonePixels(3);
                squares.setAdditionalQuietZonePixels(3);
                design.shape()->setOnPixels(factory.named(name, settings));
                for (int modulePixels : sizes) {
                    SCOPED_TRACE(name + " " + settings.dump() + " at " + std::to_string(modulePixels) + " level " +
                                 std::to_string(int(level)));
                    const auto image = code.cgImage((n + 6) * modulePixels, design, nullptr);
                    const auto found = platform::detectQRCodes(*image);
                    EXPECT_EQ(found.size(), 1U);
                    if (found.size() == 1) {
                        EXPECT_EQ(found[0].text, message);
                    }
                    if (name != "square" && settings.empty() && modulePixels == sizes.back()) {
                        // The shape is what was drawn, not the plain squares.
                        const auto plain = code.cgImage((n + 6) * modulePixels, squares, nullptr);
                        EXPECT_FALSE(std::equal(image->data(), image->data() + image->stride() * image->height(),
                                                plain->data()));
                    }
                }
            }
        }
    }
}

namespace {

// Records the figures a shape hands over, one path per group.
class GroupRecorder final : public gfx::OutlineSink {
public:
    void moveTo(Point p) override { current_.moveTo(p); }
    void lineTo(Point p) override { current_.lineTo(p); }
    void quadTo(Point c, Point end) override { current_.quadTo(c, end); }
    void curveTo(Point c1, Point c2, Point end) override { current_.curveTo(c1, c2, end); }
    void closeSubpath() override { current_.closeSubpath(); }
    void endFigure() override {
        if (!current_.isEmpty()) groups.push_back(std::move(current_));
        current_ = gfx::Path();
    }
    std::vector<gfx::Path> groups;

private:
    gfx::Path current_;
};

BoolMatrix scattered(int n, unsigned seed) {
    BoolMatrix m(n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            seed = seed * 1103515245u + 12345u;
            m.set(r, c, (seed >> 16) % 3 != 0);
        }
    return m;
}

} // namespace

// The outlines a shape hands over are its path's, element for element; a
// shape that says its outlines stay in their modules hands each module's
// over as a group that lies within one module cell (grown by the reach it
// states).
TEST(PixelShapeOutlines, AreThePathsAndKeepToTheirModulesWhereTheShapeSaysSo) {
    const auto& factory = QRCodePixelShapeFactory::shared();
    for (const auto& name : factory.availableGeneratorNames()) {
        SCOPED_TRACE(name);
        for (const unsigned seed : {3u, 17u}) {
            const BoolMatrix matrix = scattered(19, seed);
            const Size size{190, 190}; // 10 units a module
            const auto shape = factory.named(name);
            GroupRecorder recorder;
            shape->generateOutlines(matrix, size, recorder);
            recorder.endFigure();
            gfx::Path joined;
            for (const auto& g : recorder.groups) joined.addPath(g);
            EXPECT_EQ(joined.elements(), shape->generatePath(matrix, size).elements());
            if (!shape->outlinesStayInModules()) continue;
            EXPECT_GT(recorder.groups.size(), 100u);
            const double reach = 10 * shape->outlinesReach() + 1e-9;
            EXPECT_LT(reach, 1);
            for (const auto& g : recorder.groups) {
                const gfx::Rect box = g.pathBoundingBox();
                const double column = std::floor(box.midX() / 10), row = std::floor(box.midY() / 10);
                EXPECT_TRUE(box.minX() >= 10 * column - reach && box.minY() >= 10 * row - reach &&
                            box.maxX() <= 10 * column + 10 + reach && box.maxY() <= 10 * row + 10 + reach)
                    << "a group reaches from " << box.minX() << ", " << box.minY() << " to " << box.maxX() << ", "
                    << box.maxY();
            }
        }
    }
}

namespace {

// The shape `name` with the given settings taken.
std::shared_ptr<QRCodePixelShapeGenerator> shapeWith(const std::string& name,
                                                     std::vector<std::pair<std::string, SettingsValue>> settings) {
    auto shape = QRCodePixelShapeFactory::shared().named(name);
    for (const auto& [key, value] : settings) EXPECT_TRUE(shape->setSettingValue(value, key)) << key;
    return shape;
}

} // namespace

// A shape that says its modules are alike draws, in every on-module, the
// figure of the first module of the same parity moved to its cell, reaching
// no farther past the cell than it says: what lets a renderer judge a whole
// code's overlaps from a few modules. Insets that vary, or a turn, make
// modules unlike.
TEST(PixelShapeOutlines, AlikeModulesDrawOneFigureMovedFromCellToCell) {
    const auto& factory = QRCodePixelShapeFactory::shared();
    std::vector<std::pair<std::string, std::shared_ptr<QRCodePixelShapeGenerator>>> shapes;
    for (const auto& name : factory.availableGeneratorNames()) shapes.emplace_back(name, factory.named(name));
    shapes.emplace_back("heart inset", shapeWith("heart", {{"insetFraction", SettingsValue(0.3)}}));
    shapes.emplace_back("koala grown", shapeWith("koala", {{"insetFraction", SettingsValue(-0.6)}}));
    shapes.emplace_back("star grown", shapeWith("star", {{"insetFraction", SettingsValue(-0.3)}}));
    int alike = 0;
    for (const auto& [name, shape] : shapes) {
        SCOPED_TRACE(name);
        const auto overhang = shape->alikeModulesOverhang();
        if (!overhang) continue;
        ++alike;
        const BoolMatrix matrix = scattered(19, 5);
        GroupRecorder recorder;
        shape->generateOutlines(matrix, Size{190, 190}, recorder);
        recorder.endFigure();
        std::vector<Point> cells;
        for (int r = 0; r < 19; ++r)
            for (int c = 0; c < 19; ++c)
                if (matrix(r, c)) cells.push_back({double(c), double(r)});
        ASSERT_EQ(recorder.groups.size(), cells.size());
        const gfx::Path* first[2] = {nullptr, nullptr};
        std::vector<gfx::Path> moved;
        moved.reserve(cells.size());
        for (std::size_t i = 0; i < cells.size(); ++i) {
            moved.push_back(
                recorder.groups[i].transformed(gfx::AffineTransform::translation(-10 * cells[i].x, -10 * cells[i].y)));
            const gfx::Rect box = moved.back().pathBoundingBox();
            const double reach = 10 * *overhang + 1e-9;
            EXPECT_TRUE(box.minX() >= -reach && box.minY() >= -reach && box.maxX() <= 10 + reach &&
                        box.maxY() <= 10 + reach)
                << box.minX() << ", " << box.minY() << " to " << box.maxX() << ", " << box.maxY();
        }
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const auto parity = std::size_t(cells[i].x + cells[i].y) % 2;
            if (first[parity] == nullptr) {
                first[parity] = &moved[i];
                continue;
            }
            const auto& a = moved[i].elements();
            const auto& b = first[parity]->elements();
            ASSERT_EQ(a.size(), b.size());
            for (std::size_t e = 0; e < a.size(); ++e) {
                ASSERT_EQ(a[e].type, b[e].type);
                for (std::size_t k = 0; k < std::size_t(gfx::Path::pointCount(a[e].type)); ++k) {
                    ASSERT_NEAR(a[e].points[k].x, b[e].points[k].x, 1e-9);
                    ASSERT_NEAR(a[e].points[k].y, b[e].points[k].y, 1e-9);
                }
            }
        }
    }
    EXPECT_GE(alike, 20);
    for (const char* name : {"heart", "koala"}) {
        const auto overhang = factory.named(name)->alikeModulesOverhang();
        ASSERT_TRUE(overhang) << name;
        EXPECT_GT(*overhang, 0) << name;
    }
    EXPECT_GT(*shapes[shapes.size() - 2].second->alikeModulesOverhang(), 0.25);
    EXPECT_GT(*shapes.back().second->alikeModulesOverhang(), 0.1);
    EXPECT_FALSE(
        shapeWith("heart", {{"insetFraction", SettingsValue(0.3)}, {"insetGeneratorName", SettingsValue("random")}})
            ->alikeModulesOverhang());
    EXPECT_FALSE(shapeWith("koala", {{"rotationFraction", SettingsValue(0.25)}})->alikeModulesOverhang());
}
