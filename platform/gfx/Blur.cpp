#include "platform/gfx/Blur.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace gfx::detail {

namespace {

// Radii of three box filters whose succession has the variance of a Gaussian
// of `sigma` (the usual construction: widths wl and wl + 2, odd).
void boxRadii(double sigma, int radii[3]) {
    constexpr int n = 3;
    const double wIdeal = std::sqrt(12 * sigma * sigma / n + 1);
    int wl = int(std::floor(wIdeal));
    if (wl % 2 == 0) --wl;
    const int wu = wl + 2;
    const double mIdeal = (12 * sigma * sigma - n * wl * wl - 4.0 * n * wl - 3.0 * n) / (-4.0 * wl - 4);
    const int m = int(std::lround(mIdeal));
    for (int i = 0; i < n; ++i) radii[i] = ((i < m ? wl : wu) - 1) / 2;
}

struct Divider {
    std::uint64_t recip;
    explicit Divider(int d) : recip(((std::uint64_t(1) << 32) + std::uint64_t(d) / 2) / std::uint64_t(d)) {}
    std::uint8_t operator()(std::uint32_t sum) const {
        // A sum of at most 255 x d gives at most 255 (d is far below 2^24).
        return std::uint8_t((sum * recip + (std::uint64_t(1) << 31)) >> 32);
    }
};

void horizontal(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int stride, int r,
                std::vector<std::uint8_t>& padded) {
    const Divider div(2 * r + 1);
    // Each row between r transparent pixels on either side, so the running
    // sum needs no edge tests.
    padded.assign(std::size_t(w) + 2 * std::size_t(r) + 1, 0);
    std::uint8_t* p = padded.data();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = src + std::size_t(y) * stride;
        std::uint8_t* d = dst + std::size_t(y) * stride;
        std::copy(s, s + w, p + r);
        std::uint32_t acc = 0;
        for (int i = 0; i < 2 * r; ++i) acc += p[i];
        for (int x = 0; x < w; ++x) {
            acc += p[x + 2 * r];
            d[x] = div(acc);
            acc -= p[x];
        }
    }
}

void vertical(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int stride, int r,
              std::vector<std::uint32_t>& acc) {
    const Divider div(2 * r + 1);
    acc.assign(std::size_t(w), 0);
    for (int y = 0; y < std::min(r, h); ++y) {
        const std::uint8_t* s = src + std::size_t(y) * stride;
        for (int x = 0; x < w; ++x) acc[std::size_t(x)] += s[x];
    }
    // One pass per row: add the row entering the window, write, take away
    // the row leaving it.
    std::uint32_t* a = acc.data();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* add = y + r < h ? src + std::size_t(y + r) * stride : nullptr;
        const std::uint8_t* sub = y - r >= 0 ? src + std::size_t(y - r) * stride : nullptr;
        std::uint8_t* d = dst + std::size_t(y) * stride;
        if (add && sub) {
            for (int x = 0; x < w; ++x) {
                const std::uint32_t v = a[x] + add[x];
                d[x] = div(v);
                a[x] = v - sub[x];
            }
        } else if (add) {
            for (int x = 0; x < w; ++x) {
                const std::uint32_t v = a[x] + add[x];
                d[x] = div(v);
                a[x] = v;
            }
        } else if (sub) {
            for (int x = 0; x < w; ++x) {
                d[x] = div(a[x]);
                a[x] -= sub[x];
            }
        } else {
            for (int x = 0; x < w; ++x) d[x] = div(a[x]);
        }
    }
}

} // namespace

void blurAlpha(std::uint8_t* data, int width, int height, int stride, double sigma) {
    if (!(sigma >= 0.5) || width <= 0 || height <= 0) return;
    int radii[3];
    boxRadii(sigma, radii);
    std::vector<std::uint8_t> tmp(std::size_t(stride) * std::size_t(height));
    std::vector<std::uint32_t> acc;
    std::vector<std::uint8_t> padded;
    for (int r : radii) {
        if (r <= 0) continue;
        horizontal(data, tmp.data(), width, height, stride, r, padded);
        vertical(tmp.data(), data, width, height, stride, r, acc);
    }
}

} // namespace gfx::detail
