#include "platform/gfx/Color.h"

#include <gtest/gtest.h>

#include <cmath>

using gfx::Color;

TEST(Color, SpacesConvertToSRGBAndOnlyExtendedOnesLeaveTheUnitRange) {
    EXPECT_EQ(Color::gray(0.25, 0.5).toSRGB(), (gfx::RGBA{0.25, 0.25, 0.25, 0.5}));
    EXPECT_EQ(Color::genericRGB(0.1, 0.2, 0.3).toSRGB(), (gfx::RGBA{0.1, 0.2, 0.3, 1}));
    const auto lin = Color::linearSRGB(0.5, 0, 1).toSRGB();
    EXPECT_NEAR(lin.r, 0.735357, 1e-5);
    EXPECT_EQ(lin.g, 0);
    EXPECT_NEAR(lin.b, 1, 1e-12);
    // Only extended spaces leave the unit range.
    EXPECT_EQ(Color::sRGB(2, -1, 0.5, 3).toSRGB(), (gfx::RGBA{1, 0, 0.5, 1}));
    EXPECT_EQ(Color::extendedGray(1.5).toSRGB().r, 1.5);
    EXPECT_EQ(Color::extendedSRGB(-0.5, 0, 1.25).toSRGB().b, 1.25);
    const auto n = Color::extendedSRGB(NAN, 0, 0, NAN).toSRGB();
    EXPECT_EQ(n.r, 0);
    EXPECT_EQ(n.a, 0);
    EXPECT_EQ(Color::sRGB(1, 0, 0).withAlpha(0.5).toSRGB(), (gfx::RGBA{1, 0, 0, 0.5}));
}
