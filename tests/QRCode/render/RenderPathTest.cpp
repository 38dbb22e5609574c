#include "tests/QRCode/ShapeTestDoubles.h"
#include "tests/QRCode/render/RenderTestSupport.h"

#include "QRCode/render/detail/PathComposition.h"
#include "QRCode/generators/detail/PixelShapeLink.h"
#include "QRCode/QRCodeError.h"
#include "platform/gfx/GraphicsContext.h"

#include <gtest/gtest.h>

using QRCode::BoolMatrix;
using QRCode::QRCodeEyeShapeGenerator;
using QRCode::QRCodePixelShapeGenerator;
using QRCode::QRCodePupilShapeGenerator;

using QRCode::Components;
using namespace rendertest;
using shapetest::CornerEye;
using shapetest::NoSettings;

namespace {

// A square eye that records the pixel shape it is handed.
class BorrowingEye final : public NoSettings<QRCodeEyeShapeGenerator>, public QRCode::PixelShapeBorrower {
public:
    std::weak_ptr<QRCodePixelShapeGenerator> borrowed;
    void setPixelShape(std::weak_ptr<QRCodePixelShapeGenerator> pixelShape) override { borrowed = pixelShape; }
    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override { return std::make_shared<BorrowingEye>(); }
    gfx::Path eyePath() override { return QRCode::EyeShape::Square().eyePath(); }
    gfx::Path eyeBackgroundPath() override { return eyePath(); }
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override {
        return QRCode::EyeShape::Square().defaultPupil();
    }
    std::string_view name() const noexcept override { return "borrowing"; }
    std::string_view title() const noexcept override { return "Borrowing"; }
};

gfx::Point cellCentre(int r, int c, double m, gfx::Point origin = {}) {
    return {origin.x + (c + 0.5) * m, origin.y + (r + 0.5) * m};
}

} // namespace

TEST(Components, RawValuesAndSetAlgebra) {
    EXPECT_EQ(Components::offPixelsBackground().rawValue(), -128);
    EXPECT_EQ(Components::standard(),
              (Components{Components::eyeOuter(), Components::eyePupil(), Components::onPixels()}));
    EXPECT_EQ(Components::allPrimary().rawValue(), 31);
    EXPECT_TRUE(Components::eyePupil().contains(Components::standard()));
    EXPECT_FALSE(Components::eyePupil().isSuperset(Components::standard()));
    EXPECT_TRUE(Components::eye().isSubset(Components::standard()));
    EXPECT_TRUE(Components().isEmpty());

    Components set;
    EXPECT_TRUE(set.insert(Components::offPixelsBackground()));
    EXPECT_FALSE(set.insert(Components::offPixelsBackground()));
    EXPECT_EQ(set.rawValue(), -128);
    EXPECT_EQ(set.remove(Components::eyeOuter()), std::nullopt);
    EXPECT_EQ(set.update(Components::eyeOuter()), std::nullopt);
    EXPECT_EQ(set.remove(Components::offPixelsBackground()), Components::offPixelsBackground());
    EXPECT_EQ(set, Components::eyeOuter());
    EXPECT_EQ((Components::standard() ^ Components::eye()), Components::onPixels());
    EXPECT_EQ(Components::standard().subtracting(Components::eye()), Components::onPixels());
}

TEST(PathComposition, WideSizeCentresTheGridAndPlacesTheEyeBlocks) {
    // 300 x 200 with n = 25: m = 8, grid 200 wide from x = 50, D = 128.
    const auto code = holder(BoolMatrix(25));
    const QRCode::Shape shape;
    const gfx::Path pupils = code.path({300, 200}, Components::eyePupil(), shape, nullptr, 0, false, true);
    // The square pupil is 30...60 of the 90-unit box: 24...48 of a 72-pixel block.
    const gfx::Rect b = pupils.pathBoundingBox();
    EXPECT_DOUBLE_EQ(b.minX(), 50 + 24);
    EXPECT_DOUBLE_EQ(b.minY(), 24);
    EXPECT_DOUBLE_EQ(b.maxX(), 178 + 48);
    EXPECT_DOUBLE_EQ(b.maxY(), 128 + 48);
    for (gfx::Point p : {gfx::Point{86, 36}, gfx::Point{86, 164}, gfx::Point{214, 36}}) EXPECT_TRUE(pupils.contains(p));
    EXPECT_FALSE(pupils.contains({214, 164}));

    // The whole eye block of the first eye lies at (50, 0) with side 72.
    QRCode::Shape cornerShape;
    cornerShape.setEye(std::make_shared<CornerEye>());
    const gfx::Path eyes = code.path({300, 200}, Components::eyeOuter(), cornerShape, nullptr, 0, false, false);
    EXPECT_TRUE(eyes.contains({54, 4}));
    EXPECT_TRUE(eyes.contains({54, 132}));
    EXPECT_TRUE(eyes.contains({182, 4}));
}

TEST(PathComposition, MirroringFlipsTheSecondAndThirdEyeInsideTheirBlocks) {
    const auto code = holder(BoolMatrix(25));
    QRCode::Shape shape;
    shape.setEye(std::make_shared<CornerEye>());
    // m = 10, blocks of 90 at (0, 0), (0, 160), (160, 0); the corner square is 10 wide.
    const gfx::Path mirrored = code.path(250, Components::eyeOuter(), shape, nullptr, 0, false, true);
    EXPECT_TRUE(mirrored.contains({5, 5}));
    EXPECT_TRUE(mirrored.contains({5, 245})); // last rows: flipped top to bottom
    EXPECT_TRUE(mirrored.contains({245, 5})); // last columns: flipped left to right
    EXPECT_FALSE(mirrored.contains({5, 165}));
    EXPECT_FALSE(mirrored.contains({165, 5}));

    // The background is flipped before placement: the first eye's is at the
    // bottom of its block, the second's (flipped twice) at the top.
    const gfx::Path backgrounds = code.path(250, Components::eyeBackground(), shape, nullptr, 0, false, true);
    EXPECT_TRUE(backgrounds.contains({5, 85}));
    EXPECT_TRUE(backgrounds.contains({5, 165}));
    EXPECT_TRUE(backgrounds.contains({245, 85}));

    const gfx::Path plain = code.path(250, Components::eyeOuter(), shape, nullptr, 0, false, false);
    EXPECT_TRUE(plain.contains({5, 165}));
    EXPECT_TRUE(plain.contains({165, 5}));
    EXPECT_FALSE(plain.contains({5, 245}));
}

TEST(PathComposition, ReservedCellsNeverCarryPixelsUnlessOffPixelsExtend) {
    const int n = 25;
    const QRCode::Shape shape;
    const auto allOn = holder(BoolMatrix(n).flipped());
    const auto allOff = holder(BoolMatrix(n));
    for (bool merge : {false, true}) {
        const gfx::Path on = QRCode::rendering::composePath(allOn.current(), {250, 250}, Components::onPixels(), shape,
                                                            nullptr, 0, false, true, merge);
        const gfx::Path onBackground = QRCode::rendering::composePath(
            allOn.current(), {250, 250}, Components::onPixelsBackground(), shape, nullptr, 0, true, true, merge);
        const gfx::Path off = QRCode::rendering::composePath(allOff.current(), {250, 250}, Components::offPixels(),
                                                             shape, nullptr, 0, false, true, merge);
        const gfx::Path offExtended = QRCode::rendering::composePath(
            allOff.current(), {250, 250}, Components::offPixels(), shape, nullptr, 0, true, true, merge);
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c) {
                const gfx::Point p = cellCentre(r, c, 10);
                const bool reserved = isReserved(r, c, n);
                EXPECT_EQ(on.contains(p), !reserved) << r << "," << c << " merge " << merge;
                EXPECT_EQ(onBackground.contains(p), !reserved) << r << "," << c;
                EXPECT_EQ(off.contains(p), !reserved) << r << "," << c;
                EXPECT_TRUE(offExtended.contains(p)) << r << "," << c;
            }
    }
}

TEST(PathComposition, NegatedImageIsExclusiveAndCoversEveryLightCell) {
    const int n = 25;
    const BoolMatrix matrix = randomMatrix(n);
    const auto code = holder(matrix);
    const QRCode::Shape shape;
    const gfx::Path negated =
        code.path(250, Components::negatedOnPixels() | Components::standard() | Components::eyeBackground(), shape,
                  nullptr, 0, false, true);
    EXPECT_EQ(negated, code.path(250, Components::negatedOnPixels(), shape, nullptr, 0, false, true));
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) EXPECT_EQ(negated.contains(cellCentre(r, c, 10)), !matrix(r, c)) << r << "," << c;
}

TEST(PathComposition, QuietSpaceMovesEveryPartAndEmptyInputsGiveEmptyOrZeroPaths) {
    const auto code = holder(randomMatrix(25));
    const QRCode::Shape shape;
    for (Components parts : {Components::allPrimary(), Components::negatedOnPixels()}) {
        const gfx::Path plain = code.path(250, parts, shape, nullptr, 0, true, true);
        const gfx::Path moved = code.path(250, parts, shape, nullptr, 20, true, true);
        EXPECT_EQ(moved, plain.transformed(gfx::AffineTransform::translation(20, 20)));
    }
    EXPECT_TRUE(code.path(250, Components(), shape, nullptr, 0, false, true).isEmpty());

    const auto empty = holder(BoolMatrix());
    gfx::Path zero;
    zero.addRect(gfx::Rect(0, 0, 0, 0));
    EXPECT_EQ(empty.path(250, Components::standard(), shape, nullptr, 10, false, true), zero);
}

TEST(PathComposition, OrderIsEyesThenPixels) {
    const auto code = holder(randomMatrix(25));
    const QRCode::Shape shape;
    const gfx::Path both =
        code.path(250, Components::eyeOuter() | Components::onPixels(), shape, nullptr, 0, false, true);
    gfx::Path expected = code.path(250, Components::eyeOuter(), shape, nullptr, 0, false, true);
    expected.addPath(code.path(250, Components::onPixels(), shape, nullptr, 0, false, true));
    EXPECT_EQ(both, expected);
}

TEST(PathComposition, MergedSquaresCoverExactlyWhatTheModulesCover) {
    // Diagonal neighbours, holes and rings: the traced outline fills the same
    // pixels as one square per module, at a size that puts edges off the grid.
    for (std::uint32_t seed : {1u, 7u, 99u}) {
        const BoolMatrix matrix = randomMatrix(33, seed);
        const gfx::Size size{517.3, 517.3};
        const gfx::Path modules = QRCode::PixelShape::Square::Create()->generatePath(matrix, size);
        gfx::Path merged;
        QRCode::rendering::appendMergedSquares(merged, matrix, size, {0, 0});
        EXPECT_LT(merged.size(), modules.size() / 2);

        auto render = [&](const gfx::Path& path) {
            auto ctx = gfx::GraphicsContext::makeBitmap(520, 520);
            ctx->setFillColor(gfx::Color::gray(0, 1));
            ctx->fillPath(path);
            return ctx->takeImage();
        };
        const auto a = render(modules);
        const auto b = render(merged);
        int worst = 0;
        for (int y = 0; y < 520; ++y)
            for (int x = 0; x < 520; ++x)
                worst =
                    std::max(worst, std::abs(int(a->premultipliedPixel(x, y).a) - int(b->premultipliedPixel(x, y).a)));
        EXPECT_LE(worst, 1) << "seed " << seed;
    }
}

TEST(PathComposition, PixelShapeSamplePath) {
    const QRCode::QRCode code;
    const gfx::Path sample = code.pixelShapeSamplePath(QRCode::PixelShape::Square::Create(), {50, 50});
    const int expected[5][5] = {{0, 0, 1, 1, 0}, {0, 0, 0, 1, 0}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, 0}, {0, 0, 1, 0, 1}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) EXPECT_EQ(sample.contains(cellCentre(r, c, 10)), expected[r][c] != 0) << r << c;
}

TEST(PathComposition, EyesThatBorrowThePixelShapeAreLinkedOnEveryNonEmptyRequest) {
    QRCode::Shape shape;
    auto eye = std::make_shared<BorrowingEye>();
    shape.setEye(eye);
    holder(BoolMatrix()).path(100, Components::standard(), shape, nullptr, 0, false, true);
    EXPECT_TRUE(eye->borrowed.expired());
    holder(randomMatrix(25)).path(100, Components(), shape, nullptr, 0, false, true);
    EXPECT_EQ(eye->borrowed.lock(), shape.onPixels());
}
