#include "QRCode/generators/PixelInsetGenerator.h"
#include "QRCode/generators/PixelRotationGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace QRCode;

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
} // namespace

TEST(PixelInsetAndRotation, RegistryOrderAndExactLookup) {
    std::vector<std::string> insets, rotations;
    for (const auto& entry : PixelInset::generators()) insets.emplace_back(entry.name);
    for (const auto& entry : PixelRotation::generators()) rotations.emplace_back(entry.name);
    EXPECT_EQ(insets,
              (std::vector<std::string>{"fixed", "random", "pinch", "punch", "horizontalWave", "verticalWave"}));
    EXPECT_EQ(rotations, (std::vector<std::string>{"fixed", "random", "horizontalWave", "verticalWave"}));
    for (const auto& name : insets) {
        auto generator = PixelInset::generator(name);
        ASSERT_NE(generator, nullptr) << name;
        EXPECT_EQ(insetGeneratorName(*generator), name);
        EXPECT_EQ(generator->copyInsetGenerator()->name(), name);
    }
    for (const auto& name : rotations) {
        auto generator = PixelRotation::generator(name);
        ASSERT_NE(generator, nullptr) << name;
        EXPECT_EQ(rotationGeneratorName(*generator), name);
        EXPECT_EQ(generator->copyRotationGenerator()->name(), name);
    }
    for (const char* name : {"Random", " random", ""}) EXPECT_EQ(PixelInset::generator(name), nullptr) << name;
    EXPECT_EQ(PixelRotation::generator("Fixed"), nullptr);
    EXPECT_EQ(PixelRotation::generator("pinch"), nullptr);
}

TEST(PixelInset, WaveValuesOn25Modules) {
    const BoolMatrix m(25);
    PixelInset::HorizontalWave horizontal;
    EXPECT_DOUBLE_EQ(horizontal.insetValueFor(m, 3, 0, 1), 0);
    EXPECT_DOUBLE_EQ(horizontal.insetValueFor(m, 3, 12, 1), 0.96);
    EXPECT_DOUBLE_EQ(horizontal.insetValueFor(m, 3, 13, 1), 0.96);
    EXPECT_DOUBLE_EQ(horizontal.insetValueFor(m, 3, 24, 1), 0.08);
    EXPECT_DOUBLE_EQ(horizontal.insetValueFor(m, 3, 24, 0.5), 0.04);

    PixelInset::VerticalWave vertical;
    EXPECT_DOUBLE_EQ(vertical.insetValueFor(m, 12, 0, 1), 0.96);
    EXPECT_DOUBLE_EQ(vertical.insetValueFor(m, 0, 12, 1), 0);

    // Punch: the smaller wave, 0 along row 0 and column 0, small at the far edges.
    PixelInset::Punch punch;
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(punch.insetValueFor(m, 0, i, 1), 0);
        EXPECT_EQ(punch.insetValueFor(m, i, 0, 1), 0);
        EXPECT_LE(punch.insetValueFor(m, 24, i, 1), 2.0 / 25 + 1e-12);
        EXPECT_LE(punch.insetValueFor(m, i, 24, 1), 2.0 / 25 + 1e-12);
    }
    EXPECT_DOUBLE_EQ(punch.insetValueFor(m, 12, 6, 1), 6 / 12.5);
}

TEST(PixelInset, PinchGrowsWithDistanceFromTheCentre) {
    PixelInset::Pinch pinch;
    const BoolMatrix even(4);
    EXPECT_EQ(pinch.insetValueFor(even, 2, 2, 1), 0); // exact centre only for even n
    EXPECT_NEAR(pinch.insetValueFor(even, 0, 0, 1), std::sqrt(2.0), 1e-12);
    const BoolMatrix odd(5);
    EXPECT_GT(pinch.insetValueFor(odd, 2, 2, 1), 0);
    EXPECT_NEAR(pinch.insetValueFor(odd, 0, 0, 1), std::sqrt(2.0), 1e-12);
}

TEST(PixelRotation, WaveValues) {
    const BoolMatrix m(10);
    PixelRotation::HWave h;
    PixelRotation::VWave v;
    EXPECT_EQ(h.rotationValueFor(m, 5, 0, 1), 0);
    EXPECT_DOUBLE_EQ(h.rotationValueFor(m, 5, 9, 1), 0.9);
    EXPECT_DOUBLE_EQ(v.rotationValueFor(m, 9, 5, 1), 0.9);
    EXPECT_DOUBLE_EQ(v.rotationValueFor(m, 4, 0, -0.5), -0.2);
}

TEST(PixelGenerators, FixedReturnTheFractionUnchanged) {
    const BoolMatrix m(3);
    PixelInset::Fixed inset;
    PixelRotation::Fixed rotation;
    EXPECT_EQ(inset.insetValueFor(m, 0, 0, -0.5), -0.5);
    EXPECT_EQ(inset.insetValueFor(m, 2, 1, 3), 3);
    EXPECT_EQ(rotation.rotationValueFor(m, 1, 1, 0.25), 0.25);
}

TEST(PixelGenerators, RandomAndWaveFractionsAreClamped) {
    const BoolMatrix m(25);
    PixelInset::HorizontalWave horizontal;
    PixelInset::VerticalWave vertical;
    PixelInset::Punch punch;
    EXPECT_DOUBLE_EQ(horizontal.insetValueFor(m, 0, 12, 5), 0.96);
    EXPECT_EQ(horizontal.insetValueFor(m, 0, 12, -2), 0);
    EXPECT_EQ(horizontal.insetValueFor(m, 0, 12, kNaN), 0);
    EXPECT_DOUBLE_EQ(vertical.insetValueFor(m, 12, 0, kInf), 0.96);
    EXPECT_EQ(punch.insetValueFor(m, 12, 12, kNaN), 0);

    PixelRotation::HWave hwave;
    EXPECT_DOUBLE_EQ(hwave.rotationValueFor(m, 0, 5, 7), 0.2);
    EXPECT_DOUBLE_EQ(hwave.rotationValueFor(m, 0, 5, -kInf), -0.2);
    EXPECT_EQ(hwave.rotationValueFor(m, 0, 5, kNaN), 0);

    PixelInset::Random randomInset;
    PixelRotation::Random randomRotation;
    for (int i = 0; i < 200; ++i) {
        const double a = randomInset.insetValueFor(m, 0, 0, i % 2 ? 40.0 : kInf);
        EXPECT_TRUE(a >= 0 && a <= 1) << a;
        EXPECT_EQ(randomInset.insetValueFor(m, 0, 0, kNaN), 0);
        EXPECT_EQ(randomInset.insetValueFor(m, 0, 0, -3), 0);
        const double r = randomRotation.rotationValueFor(m, 0, 0, i % 2 ? -40.0 : kInf);
        EXPECT_TRUE(r >= -1 && r <= 1) << r;
        EXPECT_EQ(randomRotation.rotationValueFor(m, 0, 0, kNaN), 0);
    }
}

TEST(PixelGenerators, EmptyMatrixGivesZeroInsteadOfDividingByZero) {
    const BoolMatrix empty;
    EXPECT_EQ(PixelInset::Pinch().insetValueFor(empty, 0, 0, 1), 0);
    EXPECT_EQ(PixelInset::HorizontalWave().insetValueFor(empty, 0, 0, 1), 0);
    EXPECT_EQ(PixelRotation::VWave().rotationValueFor(empty, 0, 0, 1), 0);
}

TEST(PixelGenerators, RandomFirstDrawsArePinned) {
    const BoolMatrix m(3);
    PixelInset::Random inset;
    EXPECT_EQ(inset.insetValueFor(m, 0, 0, 1), 0.5219830829158851);
    PixelRotation::Random rotation;
    EXPECT_EQ(rotation.rotationValueFor(m, 0, 0, 1), 0.043966165831770265);
    // With a fraction of 0.5 the first inset is half as large (same draw).
    PixelInset::Random half;
    EXPECT_EQ(half.insetValueFor(m, 0, 0, 0.5), 0.5219830829158851 / 2);
}

TEST(PixelGenerators, RandomSequencesRestartOnResetAndCopiesStartFresh) {
    const BoolMatrix m(3);
    auto first = PixelInset::Random::Create();
    std::vector<double> a;
    for (int i = 0; i < 20; ++i) a.push_back(first->insetValueFor(m, 0, i, 1));

    // Another generator, made later, gives the same sequence.
    PixelInset::Random second;
    for (int i = 0; i < 20; ++i) EXPECT_EQ(second.insetValueFor(m, 0, i, 1), a[std::size_t(i)]);

    // A copy of an advanced generator starts from the seed, not where the
    // source is.
    auto copy = first->copyInsetGenerator();
    EXPECT_EQ(copy->insetValueFor(m, 0, 0, 1), a[0]);

    first->reset();
    for (int i = 0; i < 20; ++i) EXPECT_EQ(first->insetValueFor(m, 0, i, 1), a[std::size_t(i)]);

    PixelRotation::Random rotation;
    const double r0 = rotation.rotationValueFor(m, 0, 0, 1);
    const double r1 = rotation.rotationValueFor(m, 0, 1, 1);
    EXPECT_NE(r0, r1);
    rotation.reset();
    EXPECT_EQ(rotation.rotationValueFor(m, 0, 0, 1), r0);
    EXPECT_EQ(rotation.randomGenerator.state, SplitMix64(308653205).state + 0x9e3779b97f4a7c15ULL);
}

TEST(PixelGenerators, RandomValuesSpreadOverTheWholeRange) {
    const BoolMatrix m(3);
    PixelRotation::Random rotation;
    double lo = 1, hi = -1;
    for (int i = 0; i < 2000; ++i) {
        const double r = rotation.rotationValueFor(m, 0, 0, 0.5);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    EXPECT_LT(lo, -0.45);
    EXPECT_GT(hi, 0.45);
    EXPECT_GE(lo, -0.5);
    EXPECT_LE(hi, 0.5);
}
