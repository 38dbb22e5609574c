#include "platform/gfx/Blur.h"

#include <algorithm>
#include <cmath>
#include <utility>
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
    const double w = wl;
    const double mIdeal = (12 * sigma * sigma - n * w * w - 4.0 * n * w - 3.0 * n) / (-4.0 * w - 4);
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

// Shadows are mostly empty away from their shapes (an eye's shadow is three
// corner squares in a plane the size of the code), so both passes skip what
// only zeros reach: a row is blurred between its first and last set sample
// (plus the radius), and a row whose whole vertical window is empty is
// written as zeros. The sums are exact, so skipping changes no value.
//
// Columns of src that can hold set samples: [columns.first, columns.second),
// empty when first >= second. Fills rowSet (one flag per row of dst) and
// returns the columns of dst that can hold set samples.
std::pair<int, int> horizontal(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int stride, int r,
                               std::vector<std::uint8_t>& padded, std::vector<std::uint8_t>& rowSet) {
    const Divider div(2 * r + 1);
    // Each row between r transparent pixels on either side, so the running
    // sum needs no edge tests. Only the part of a row that is read is copied;
    // the padding is never written.
    padded.assign(std::size_t(w) + 2 * std::size_t(r) + 1, 0);
    rowSet.assign(std::size_t(h), 0);
    std::uint8_t* p = padded.data();
    int minX = w, maxX = -1;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = src + std::size_t(y) * stride;
        std::uint8_t* d = dst + std::size_t(y) * stride;
        int first = 0;
        while (first < w && s[first] == 0) ++first;
        if (first == w) {
            std::fill(d, d + w, std::uint8_t(0));
            continue;
        }
        int last = w - 1;
        while (s[last] == 0) --last;
        const int lo = std::max(0, first - r), hi = std::min(w - 1, last + r);
        std::copy(s + lo, s + hi + 1, p + r + lo);
        // The window of x reads p[x .. x + 2r], that is src[x - r .. x + r].
        std::fill(p + std::max(0, lo - r) + r, p + lo + r, std::uint8_t(0));
        std::fill(p + hi + 1 + r, p + std::min(w - 1, hi + r) + 1 + r, std::uint8_t(0));
        std::fill(d, d + lo, std::uint8_t(0));
        // The first window holds zeros up to p[lo + r], then at most r of
        // the row's samples: only those are summed, whatever the radius.
        std::uint32_t acc = 0;
        for (int i = lo + r; i < lo + 2 * r && i <= hi + r; ++i) acc += p[i];
        for (int x = lo; x <= hi; ++x) {
            acc += p[x + 2 * r];
            d[x] = div(acc);
            acc -= p[x];
        }
        std::fill(d + hi + 1, d + w, std::uint8_t(0));
        rowSet[std::size_t(y)] = 1;
        minX = std::min(minX, lo);
        maxX = std::max(maxX, hi);
    }
    return {minX, maxX + 1};
}

void vertical(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int stride, int r,
              std::vector<std::uint32_t>& acc, const std::vector<std::uint8_t>& rowSet, std::pair<int, int> columns) {
    const Divider div(2 * r + 1);
    const int x0 = columns.first, x1 = std::max(columns.first, columns.second);
    const int n = x1 - x0;
    acc.assign(std::size_t(std::max(n, 0)), 0);
    auto isSet = [&](int y) { return y >= 0 && y < h && rowSet[std::size_t(y)] != 0; };
    int setInWindow = 0; // set rows among y - r ... y + r
    for (int y = 0; y < std::min(r, h); ++y) {
        if (!isSet(y)) continue;
        ++setInWindow;
        const std::uint8_t* s = src + std::size_t(y) * stride + x0;
        for (int x = 0; x < n; ++x) acc[std::size_t(x)] += s[x];
    }
    // One pass per row: add the row entering the window, write, take away
    // the row leaving it. Rows that are not set hold zeros and are skipped.
    std::uint32_t* a = acc.data();
    for (int y = 0; y < h; ++y) {
        const bool addSet = isSet(y + r), subSet = isSet(y - r);
        std::uint8_t* row = dst + std::size_t(y) * stride;
        if (addSet) ++setInWindow;
        if (setInWindow == 0 || n <= 0) {
            std::fill(row, row + w, std::uint8_t(0));
            if (subSet) --setInWindow;
            continue;
        }
        std::fill(row, row + x0, std::uint8_t(0));
        std::fill(row + x1, row + w, std::uint8_t(0));
        std::uint8_t* d = row + x0;
        const std::uint8_t* add = addSet ? src + std::size_t(y + r) * stride + x0 : nullptr;
        const std::uint8_t* sub = subSet ? src + std::size_t(y - r) * stride + x0 : nullptr;
        if (add && sub) {
            for (int x = 0; x < n; ++x) {
                const std::uint32_t v = a[x] + add[x];
                d[x] = div(v);
                a[x] = v - sub[x];
            }
        } else if (add) {
            for (int x = 0; x < n; ++x) {
                const std::uint32_t v = a[x] + add[x];
                d[x] = div(v);
                a[x] = v;
            }
        } else if (sub) {
            for (int x = 0; x < n; ++x) {
                d[x] = div(a[x]);
                a[x] -= sub[x];
            }
        } else {
            for (int x = 0; x < n; ++x) d[x] = div(a[x]);
        }
        if (subSet) --setInWindow;
    }
}

} // namespace

void blurAlpha(std::uint8_t* data, int width, int height, int stride, double sigma) {
    if (!(sigma >= 0.5) || width <= 0 || height <= 0) return;
    // Box radii far beyond the plane only thin the result out further; the
    // cap keeps every radius and window sum well inside an int.
    sigma = std::min(sigma, kMaxBlurSigma);
    int radii[3];
    boxRadii(sigma, radii);
    std::vector<std::uint8_t> tmp(std::size_t(stride) * std::size_t(height));
    std::vector<std::uint32_t> acc;
    std::vector<std::uint8_t> padded, rowSet;
    for (int r : radii) {
        if (r <= 0) continue;
        const auto columns = horizontal(data, tmp.data(), width, height, stride, r, padded, rowSet);
        vertical(tmp.data(), data, width, height, stride, r, acc, rowSet, columns);
    }
}

} // namespace gfx::detail
