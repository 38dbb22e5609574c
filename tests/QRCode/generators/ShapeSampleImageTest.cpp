#include "QRCode/generators/eye/Square.h"
#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/generators/PupilShapeFactory.h"

#include "platform/gfx/GraphicsContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace QRCode;

namespace {

const gfx::Color kBlack = gfx::Color::sRGB(0, 0, 0);
const gfx::Color kWhite = gfx::Color::sRGB(1, 1, 1);
const gfx::Color kRed = gfx::Color::sRGB(1, 0, 0);

bool isColour(const gfx::Image& image, int x, int y, gfx::Pixel expected) { return image.pixel(x, y) == expected; }
const gfx::Pixel kBlackPixel{0, 0, 0, 255};
const gfx::Pixel kWhitePixel{255, 255, 255, 255};
const gfx::Pixel kRedPixel{255, 0, 0, 255};

template <class F> void expectError(QRCodeError code, F&& call) {
    try {
        call();
        ADD_FAILURE() << "no error";
    } catch (const QRCodeException& e) {
        EXPECT_EQ(e.code(), code);
    }
}

} // namespace

TEST(PixelSampleImage, OnModulesOfTheSampleMatrix) {
    auto square = PixelShape::Square::Create();
    // 70 points for 7 modules: each module 10 pixels, row 0 at the top.
    const auto image = QRCodePixelShapeFactory::image(*square, 70, kBlack, kWhite);
    ASSERT_EQ(image->width(), 70);
    ASSERT_EQ(image->height(), 70);
    const BoolMatrix& m = QRCodePixelShapeFactory::sampleMatrix();
    EXPECT_EQ(m.description(), ".......\n...##..\n....#..\n.#.###.\n.####..\n...#.#.\n.......\n");
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 7; ++column) {
            for (int dy : {0, 5, 9}) {
                for (int dx : {0, 5, 9}) {
                    const gfx::Pixel p = image->pixel(column * 10 + dx, row * 10 + dy);
                    EXPECT_EQ(p, m(row, column) ? kBlackPixel : kWhitePixel) << row << "," << column;
                }
            }
        }
    }
}

TEST(PixelSampleImage, OffModulesIncludeTheBorder) {
    auto square = PixelShape::Square::Create();
    const auto image = QRCodePixelShapeFactory::image(*square, 70, kBlack, std::nullopt, nullptr, false);
    const BoolMatrix& m = QRCodePixelShapeFactory::sampleMatrix();
    int drawn = 0;
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 7; ++column) {
            const gfx::Pixel p = image->pixel(column * 10 + 5, row * 10 + 5);
            if (p == kBlackPixel) ++drawn;
            // No background given: what is not drawn stays transparent.
            EXPECT_EQ(p.a, m(row, column) ? 0 : 255);
        }
    }
    EXPECT_EQ(drawn, 36);
    EXPECT_EQ(image->pixel(0, 0), kBlackPixel);
    EXPECT_EQ(image->pixel(69, 69), kBlackPixel);
}

TEST(PixelSampleImage, FractionalDimensionAndOwnMatrix) {
    auto square = PixelShape::Square::Create();
    BoolMatrix one(1);
    one.set(0, 0, true);
    // The pixel count is truncated; the shape keeps the full 100.7 points,
    // so its lower edge falls below the image (fully covered to the last row).
    const auto image = QRCodePixelShapeFactory::image(*square, 100.7, kBlack, kWhite, &one);
    EXPECT_EQ(image->width(), 100);
    EXPECT_EQ(image->height(), 100);
    EXPECT_EQ(image->pixel(99, 99), kBlackPixel);
    EXPECT_EQ(image->pixel(0, 0), kBlackPixel);

    // The flipped space's top edge lies 0.7 above the image, so the
    // bottom-right module of a 2 x 2 grid covers image rows 49.65...100.
    BoolMatrix corner(2);
    corner.set(1, 1, true);
    const auto quarter = QRCodePixelShapeFactory::image(*square, 100.7, kBlack, kWhite, &corner);
    EXPECT_EQ(quarter->pixel(25, 25), kWhitePixel);
    EXPECT_EQ(quarter->pixel(75, 75), kBlackPixel);
}

TEST(PixelSampleImage, BadDimensionsAreRefused) {
    auto square = PixelShape::Square::Create();
    for (double d :
         {0.0, 0.99, -5.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e30}) {
        expectError(QRCodeError::cannotGenerateImage, [&] { QRCodePixelShapeFactory::image(*square, d, kBlack); });
    }
    EXPECT_EQ(QRCodePixelShapeFactory::image(*square, 1, kBlack)->width(), 1);
}

TEST(PixelSampleImage, OnePerGeneratorOfAll) {
    const auto& factory = QRCodePixelShapeFactory::shared();
    const auto images = factory.sampleImages(35, kBlack, kWhite);
    const auto all = factory.all();
    ASSERT_EQ(images.size(), all.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        EXPECT_EQ(images[i].first, all[i]->name());
        EXPECT_EQ(images[i].second->width(), 35);
    }
    expectError(QRCodeError::cannotGenerateImage, [&] { factory.sampleImages(0, kBlack); });
}

TEST(EyeSampleImage, SquareEyeWithItsPupil) {
    EyeShape::Square eye;
    const auto image = QRCodeEyeShapeFactory::image(eye, nullptr, 90, kBlack, kWhite);
    ASSERT_EQ(image->width(), 90);
    for (int y = 0; y < 90; ++y) {
        for (int x = 0; x < 90; ++x) {
            const bool ring = x >= 10 && x < 80 && y >= 10 && y < 80 && !(x >= 20 && x < 70 && y >= 20 && y < 70);
            const bool pupil = x >= 30 && x < 60 && y >= 30 && y < 60;
            ASSERT_TRUE(isColour(*image, x, y, ring || pupil ? kBlackPixel : kWhitePixel)) << x << "," << y;
        }
    }
}

TEST(EyeSampleImage, EyeBackgroundAndGivenPupil) {
    EyeShape::Square eye;
    PupilShape::Square pupil;
    const auto image = QRCodeEyeShapeFactory::image(eye, &pupil, 180, kBlack, kWhite, kRed);
    ASSERT_EQ(image->width(), 180);
    EXPECT_EQ(image->pixel(5, 5), kRedPixel);     // margin: eye background
    EXPECT_EQ(image->pixel(50, 50), kRedPixel);   // between ring and pupil
    EXPECT_EQ(image->pixel(30, 30), kBlackPixel); // ring
    EXPECT_EQ(image->pixel(90, 90), kBlackPixel); // pupil
    EXPECT_EQ(image->pixel(175, 175), kRedPixel);

    const auto sample = QRCodeEyeShapeFactory::sampleImages(45, kBlack);
    const auto all = QRCodeEyeShapeFactory::shared().all();
    ASSERT_EQ(sample.size(), all.size());
    for (std::size_t i = 0; i < sample.size(); ++i) EXPECT_EQ(sample[i].first, all[i]->name());
    expectError(QRCodeError::cannotGenerateImage, [&] { QRCodeEyeShapeFactory::image(eye, nullptr, 0.5, kBlack); });
}

TEST(PupilSampleImage, SquarePupilAtTwiceItsSize) {
    PupilShape::Square pupil;
    const auto image = QRCodePupilShapeFactory::image(pupil, 90, kBlack, kWhite);
    for (int y = 0; y < 90; ++y) {
        for (int x = 0; x < 90; ++x) {
            const bool inside = x >= 16 && x < 76 && y >= 16 && y < 76;
            ASSERT_TRUE(isColour(*image, x, y, inside ? kBlackPixel : kWhitePixel)) << x << "," << y;
        }
    }
    const auto sample = QRCodePupilShapeFactory::sampleImages(30, kBlack);
    ASSERT_EQ(sample.size(), QRCodePupilShapeFactory::shared().all().size());
    expectError(QRCodeError::cannotGenerateImage, [&] { QRCodePupilShapeFactory::image(pupil, std::nan(""), kBlack); });
}
