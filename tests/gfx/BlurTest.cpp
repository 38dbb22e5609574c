// The shadow blur skips what only zeros reach; whatever it skips, it must
// give the values of the three box passes computed everywhere.

#include "platform/gfx/Blur.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// The same three boxes, each window's exact sum (outside counts as zero)
// taken from prefix sums of its row or column, rounded as the blur rounds.
void referenceBlur(std::vector<std::uint8_t>& data, int w, int h, int stride, double sigma) {
    const double wIdeal = std::sqrt(12 * sigma * sigma / 3 + 1);
    int wl = int(std::floor(wIdeal));
    if (wl % 2 == 0) --wl;
    const int m = int(std::lround((12 * sigma * sigma - 3 * wl * wl - 12.0 * wl - 9) / (-4.0 * wl - 4)));
    std::vector<std::uint8_t> tmp(data.size());
    for (int i = 0; i < 3; ++i) {
        const int r = ((i < m ? wl : wl + 2) - 1) / 2;
        if (r <= 0) continue;
        const std::uint64_t recip =
            ((std::uint64_t(1) << 32) + std::uint64_t(2 * r + 1) / 2) / std::uint64_t(2 * r + 1);
        auto div = [&](std::uint64_t sum) { return std::uint8_t((sum * recip + (std::uint64_t(1) << 31)) >> 32); };
        for (int pass = 0; pass < 2; ++pass) {
            const auto& src = pass == 0 ? data : tmp;
            auto& dst = pass == 0 ? tmp : data;
            // Lines are rows in the first pass and columns in the second.
            const int lines = pass == 0 ? h : w, length = pass == 0 ? w : h;
            auto at = [&](int line, int i) {
                return pass == 0 ? std::size_t(line) * stride + i : std::size_t(i) * stride + line;
            };
            std::vector<std::uint64_t> prefix(std::size_t(length) + 1);
            for (int line = 0; line < lines; ++line) {
                for (int i = 0; i < length; ++i) prefix[std::size_t(i) + 1] = prefix[std::size_t(i)] + src[at(line, i)];
                for (int i = 0; i < length; ++i) {
                    const int lo = std::max(i - r, 0), hi = std::min(i + r + 1, length);
                    dst[at(line, i)] = div(prefix[std::size_t(hi)] - prefix[std::size_t(lo)]);
                }
            }
        }
    }
}

} // namespace

TEST(Blur, SparseAndDensePlanesMatchTheDirectSums) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        // Now and then a wide plane with a blur beyond 16-bit window sums.
        const bool wide = round % 10 == 9;
        const int w = 1 + int(rng() % (wide ? 300 : 60)), h = 1 + int(rng() % 60), stride = w + int(rng() % 4);
        const double sigma = double(rng() % (wide ? 1600 : 160)) / 10;
        std::vector<std::uint8_t> plane(std::size_t(stride) * h, 0);
        // Dense noise, scattered dots, or one block in a corner (an eye's shadow).
        const int kind = round % 3;
        const int bx = int(rng() % unsigned(w)), by = int(rng() % unsigned(h));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool on = kind == 0 ? rng() % 2 == 0 : kind == 1 ? rng() % 40 == 0 : (x >= bx && y <= by);
                plane[std::size_t(y) * stride + x] = on ? std::uint8_t(1 + rng() % 255) : 0;
            }
        }
        // Bytes beyond the width belong to nobody: the blur leaves them alone.
        for (int y = 0; y < h; ++y)
            for (int x = w; x < stride; ++x) plane[std::size_t(y) * stride + x] = 0xAB;
        auto expected = plane;
        referenceBlur(expected, w, h, stride, sigma);
        gfx::detail::blurAlpha(plane.data(), w, h, stride, sigma);
        ASSERT_EQ(plane, expected) << w << " x " << h << ", stride " << stride << ", sigma " << sigma << ", kind "
                                   << kind;
    }
}

// Radii above 127 take 32-bit sums, and the narrow windows of radii near it
// divide by widths with no 16-bit reciprocal; both must round every window
// as the reference does. The planes are large and dense, so that the blurred
// levels stay high and every rounding shows, and their widths leave tails
// after the vector steps.
TEST(Blur, WideBlursOfLargeDensePlanesMatchTheDirectSums) {
    std::mt19937 rng(17);
    const struct {
        int w, h;
        double sigma;
    } cases[] = {{1000, 1000, 110}, {1000, 1000, 150}, {1003, 517, 110}, {1001, 601, 150}, {999, 700, 127.5}};
    for (const auto& c : cases) {
        std::vector<std::uint8_t> plane(std::size_t(c.w) * c.h);
        // Blocks of high and low levels with noise on top.
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                plane[std::size_t(y) * c.w + x] =
                    std::uint8_t(((x / 90 + y / 70) % 3 == 0 ? 40 : 200) + int(rng() % 56));
        auto expected = plane;
        referenceBlur(expected, c.w, c.h, c.w, c.sigma);
        gfx::detail::blurAlpha(plane.data(), c.w, c.h, c.w, c.sigma);
        std::size_t differing = 0;
        for (std::size_t i = 0; i < plane.size(); ++i) differing += plane[i] != expected[i];
        EXPECT_EQ(differing, 0u) << c.w << " x " << c.h << ", sigma " << c.sigma;
        // The middle is far from the edges' fall-off: dense, not thinned out.
        EXPECT_GT(expected[std::size_t(c.h / 2) * c.w + c.w / 2], 90) << c.sigma;
    }
}

// A shadow's mask repeats its rows (the inside rows of a row of modules) and
// holds bands of zeros; the blur reuses the sums of repeated rows, which
// must give the values computed row by row, wherever the repeats start and
// end relative to the windows.
TEST(Blur, RepeatedRowsAndZeroBandsMatchTheDirectSums) {
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        const int w = 1 + int(rng() % 70), h = 1 + int(rng() % 90), stride = w + int(rng() % 3);
        const double sigma = double(rng() % 120) / 10;
        std::vector<std::uint8_t> plane(std::size_t(stride) * h, 0);
        std::vector<std::uint8_t> pattern(static_cast<std::size_t>(w));
        for (int y = 0; y < h;) {
            // A band of equal rows, of zeros now and then, between single edge rows.
            const int band = 1 + int(rng() % 12);
            const bool zeros = rng() % 4 == 0;
            for (auto& v : pattern) v = zeros ? 0 : std::uint8_t(rng() % 3 == 0 ? 0 : 255 - rng() % 3);
            for (int i = 0; i < band && y < h; ++i, ++y) {
                std::copy(pattern.begin(), pattern.end(), plane.begin() + std::ptrdiff_t(y) * stride);
            }
            if (y < h && rng() % 2 == 0) {
                for (int x = 0; x < w; ++x) plane[std::size_t(y) * stride + x] = std::uint8_t(rng() % 256);
                ++y;
            }
        }
        auto expected = plane;
        referenceBlur(expected, w, h, stride, sigma);
        gfx::detail::blurAlpha(plane.data(), w, h, stride, sigma);
        ASSERT_EQ(plane, expected) << w << " x " << h << ", stride " << stride << ", sigma " << sigma;
    }
}

// A plane may be blurred in overlapping pieces (a shadow drawn in bands of
// rows): each row of the result depends only on the rows within blurReach.
TEST(Blur, RowsDependOnlyOnTheRowsWithinTheReach) {
    std::mt19937 rng(13);
    for (const double sigma : {0.4, 0.5, 1.0, 2.0, 3.5, 6.0, 12.0}) {
        SCOPED_TRACE(sigma);
        const int w = 37, h = 90, reach = gfx::detail::blurReach(sigma);
        std::vector<std::uint8_t> plane(std::size_t(w) * h);
        for (auto& v : plane) v = rng() % 3 == 0 ? 0 : std::uint8_t(rng() % 256);
        auto whole = plane;
        gfx::detail::blurAlpha(whole.data(), w, h, w, sigma);
        // Rows 40...49 from the rows reach beyond them.
        const int from = 40 - reach, to = 50 + reach;
        std::vector<std::uint8_t> piece(plane.begin() + std::ptrdiff_t(from) * w,
                                        plane.begin() + std::ptrdiff_t(to) * w);
        gfx::detail::blurAlpha(piece.data(), w, to - from, w, sigma);
        EXPECT_TRUE(std::equal(piece.begin() + std::ptrdiff_t(reach) * w,
                               piece.begin() + std::ptrdiff_t(reach + 10) * w, whole.begin() + 40 * w));
    }
}
