#include "platform/gfx/Image.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(Image, StartsTransparentStoresStraightColoursAndRefusesSizesItCannotHold) {
    gfx::Image image(3, 2);
    EXPECT_EQ(image.pixel(2, 1), (gfx::Pixel{0, 0, 0, 0}));

    image.setPixel(1, 1, {255, 128, 0, 255});
    EXPECT_EQ(image.pixel(1, 1), (gfx::Pixel{255, 128, 0, 255}));

    // Half-transparent colours are held premultiplied and read back straight.
    image.setPixel(0, 0, {200, 100, 50, 128});
    EXPECT_EQ(image.premultipliedPixel(0, 0), (gfx::Pixel{100, 50, 25, 128}));
    const auto straight = image.pixel(0, 0);
    EXPECT_NEAR(straight.r, 200, 1);
    EXPECT_NEAR(straight.g, 100, 1);
    EXPECT_NEAR(straight.b, 50, 1);

    EXPECT_THROW(gfx::Image(0, 10), std::length_error);
    EXPECT_THROW(gfx::Image(-1, 10), std::length_error);
    EXPECT_THROW(gfx::Image(100000, 100000), std::length_error);
}
