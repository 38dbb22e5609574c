#include "platform/graphics/Blur.h"

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
        return std::uint8_t(std::min<std::uint64_t>(255, (sum * recip + (std::uint64_t(1) << 31)) >> 32));
    }
};

void horizontal(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int stride, int r) {
    const Divider div(2 * r + 1);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = src + std::size_t(y) * stride;
        std::uint8_t* d = dst + std::size_t(y) * stride;
        std::uint32_t acc = 0;
        for (int x = 0; x < std::min(r, w); ++x) acc += s[x];
        for (int x = 0; x < w; ++x) {
            if (x + r < w) acc += s[x + r];
            d[x] = div(acc);
            if (x - r >= 0) acc -= s[x - r];
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
    for (int y = 0; y < h; ++y) {
        if (y + r < h) {
            const std::uint8_t* add = src + std::size_t(y + r) * stride;
            for (int x = 0; x < w; ++x) acc[std::size_t(x)] += add[x];
        }
        std::uint8_t* d = dst + std::size_t(y) * stride;
        for (int x = 0; x < w; ++x) d[x] = div(acc[std::size_t(x)]);
        if (y - r >= 0) {
            const std::uint8_t* sub = src + std::size_t(y - r) * stride;
            for (int x = 0; x < w; ++x) acc[std::size_t(x)] -= sub[x];
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
    for (int r : radii) {
        if (r <= 0) continue;
        horizontal(data, tmp.data(), width, height, stride, r);
        vertical(tmp.data(), data, width, height, stride, r, acc);
    }
}

} // namespace gfx::detail
