#pragma once

#include <cmath>
#include <concepts>
#include <limits>
#include <optional>

namespace foundation {

// The integer that `value` truncated toward zero gives, or std::nullopt when
// `value` is NaN, infinite or outside the range of T. Every conversion of a
// stored double to an integer goes through here (or saturatingInteger), so an
// out-of-range value never reaches the undefined built-in conversion.
template <std::integral T> std::optional<T> truncatedInteger(double value) noexcept {
    if (!std::isfinite(value)) return std::nullopt;
    const double t = std::trunc(value);
    // Both bounds are powers of two (or zero) and so exact as doubles.
    const double lower = static_cast<double>(std::numeric_limits<T>::min());
    const double upperExclusive = std::ldexp(1.0, std::numeric_limits<T>::digits);
    if (t < lower || t >= upperExclusive) return std::nullopt;
    return static_cast<T>(t);
}

// Truncation toward zero that saturates at the bounds of T instead of
// failing; NaN gives `nanValue`.
template <std::integral T> T saturatingInteger(double value, T nanValue = T(0)) noexcept {
    if (std::isnan(value)) return nanValue;
    if (auto v = truncatedInteger<T>(value)) return *v;
    return value < 0 ? std::numeric_limits<T>::min() : std::numeric_limits<T>::max();
}

} // namespace foundation
