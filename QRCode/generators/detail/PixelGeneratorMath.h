#pragma once

#include "QRCode/core/SplitMix64.h"

#include <cmath>
#include <cstdint>

// Small numeric helpers of the per-module inset and rotation generators.
namespace QRCode::pixelmath {

// `value` limited to lower...upper; NaN counts as 0, so a stored value that
// is not a number behaves as "no effect".
inline double clampedFraction(double value, double lower, double upper) noexcept {
    if (std::isnan(value)) return 0;
    return value < lower ? lower : (value > upper ? upper : value);
}

// A fraction of the shapes (corner radius, inset) limited to 0...1, NaN as
// 0.
inline double unitFraction(double value) noexcept { return clampedFraction(value, 0, 1); }

// Rises from 0 at the edge (t = 0) to 1 in the middle (t = h) and falls
// again; h is half the matrix dimension and must be positive.
inline double wave(double t, double h) noexcept { return t < h ? t / h : 1 - (t - h) / h; }

constexpr std::uint64_t kTwoPow53 = std::uint64_t(1) << 53;

// A uniform integer in 0...2^53 (2^53 + 1 values) by the multiply-high
// method with rejection: one generator step per attempt. A draw is rejected
// only when the low half of the product falls below (2^64 - range) mod range.
inline std::uint64_t drawClosed53(SplitMix64& rng) noexcept {
    constexpr std::uint64_t range = kTwoPow53 + 1;
    constexpr std::uint64_t threshold = (0 - range) % range; // (2^64 - range) mod range
    for (;;) {
        const unsigned __int128 product = static_cast<unsigned __int128>(rng.next()) * range;
        const auto low = static_cast<std::uint64_t>(product);
        if (low >= threshold) return static_cast<std::uint64_t>(product >> 64);
    }
}

// A uniform value of the closed range 0...upper (upper finite, >= 0).
inline double drawClosedFromZero(SplitMix64& rng, double upper) noexcept {
    const std::uint64_t k = drawClosed53(rng);
    if (k == kTwoPow53) return upper;
    return 0 + (static_cast<double>(k) * 0x1p-53) * (upper - 0);
}

// A uniform value of the closed range -magnitude...magnitude (magnitude
// finite, >= 0).
inline double drawSymmetric(SplitMix64& rng, double magnitude) noexcept {
    const std::uint64_t k = drawClosed53(rng);
    if (k == kTwoPow53) return magnitude;
    return 2 * magnitude * (static_cast<double>(k) * 0x1p-53) - magnitude;
}

} // namespace QRCode::pixelmath
