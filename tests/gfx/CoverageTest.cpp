// Shadows of paths along the axes (merged square modules) take their mask
// from rectilinearCoverage instead of Cairo; it must give Cairo's pixels.

#include "platform/gfx/Coverage.h"
#include "platform/gfx/GraphicsContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using gfx::AffineTransform;
using gfx::Path;
using gfx::Rect;

TEST(Coverage, RectilinearPathsGetTheScanConvertersPixels) {
    std::mt19937 rng(11);
    bool onTies = false; // every third round: on a grid of 1/512, halfway between fixed-point steps
    auto uniform = [&](double lo, double hi) {
        const double v = std::uniform_real_distribution<double>(lo, hi)(rng);
        return onTies ? std::round(v * 512) / 512 : v;
    };
    for (int round = 0; round < 300; ++round) {
        onTies = round % 3 == 0;
        const int w = 20 + int(rng() % 60), h = 20 + int(rng() % 60);
        // Rectangles and L shapes drawn in the other sense (holes, overlaps,
        // parts beyond the raster), under flips, scales and fractional moves.
        Path path;
        for (int k = 0; k < 6; ++k) {
            const double x = uniform(-20, 80), y = uniform(-20, 80), sw = uniform(0.01, 30), sh = uniform(0.01, 30);
            if (k % 2 == 0) {
                path.addRect(Rect(x, y, sw, sh));
            } else {
                path.moveTo({x, y});
                path.lineTo({x, y + sh});
                path.lineTo({x + sw, y + sh});
                path.lineTo({x + sw, y + sh / 2});
                path.lineTo({x + sw / 2, y + sh / 2});
                path.lineTo({x + sw / 2, y});
                path.closeSubpath();
            }
        }
        const double sx = (rng() % 2 ? 1 : -1) * (onTies ? 1 : uniform(0.3, 2));
        const double sy = (rng() % 2 ? 1 : -1) * (onTies ? 1 : uniform(0.3, 2));
        const AffineTransform userToDevice{
            sx, 0, 0, sy, (sx < 0 ? w : 0) + uniform(-5, 5), (sy < 0 ? h : 0) + uniform(-5, 5)};

        auto ctx = gfx::GraphicsContext::makeBitmap(w, h);
        ASSERT_TRUE(ctx);
        ctx->concatCTM(userToDevice);
        ctx->setFillColor(gfx::Color::sRGB(1, 1, 1));
        ctx->fillPath(path);
        const auto image = ctx->makeImage();
        // The context's device space has y up; rows of the plane run down.
        const AffineTransform toRows = userToDevice.then(AffineTransform{1, 0, 0, -1, 0, double(h)});
        std::vector<std::uint8_t> plane(std::size_t(w + 3) * h, 0xAB);
        ASSERT_TRUE(gfx::detail::rectilinearCoverage(path, toRows, plane.data(), w, h, w + 3));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(int(plane[std::size_t(y) * (w + 3) + x]), int(image->pixel(x, y).a))
                    << "round " << round << " at " << x << ", " << y;
            }
            EXPECT_EQ(plane[std::size_t(y) * (w + 3) + w], 0xAB);
        }
    }

    // Curves, slanted lines and coordinates beyond doubles are refused before
    // anything is written.
    Path curve;
    curve.addEllipse(Rect(2, 2, 10, 10));
    Path slant;
    slant.moveTo({1, 1});
    slant.lineTo({10, 1});
    slant.lineTo({9, 10});
    Path square;
    square.addRect(Rect(1, 1, 5, 5));
    const double huge = std::numeric_limits<double>::max();
    std::vector<std::uint8_t> plane(16 * 16, 0xAB);
    EXPECT_FALSE(gfx::detail::rectilinearCoverage(curve, {}, plane.data(), 16, 16, 16));
    EXPECT_FALSE(gfx::detail::rectilinearCoverage(slant, {}, plane.data(), 16, 16, 16));
    EXPECT_FALSE(
        gfx::detail::rectilinearCoverage(square, AffineTransform{huge, 0, 0, huge, huge, 0}, plane.data(), 16, 16, 16));
    EXPECT_EQ(plane, std::vector<std::uint8_t>(16 * 16, 0xAB));
}
