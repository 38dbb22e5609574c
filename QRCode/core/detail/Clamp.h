#pragma once

#include <algorithm>
#include <cmath>
#include <concepts>
#include <limits>
#include <stdexcept>
#include <type_traits>

namespace QRCode {

// Ranges to clamp to. The returning form is clamped(value, range), the
// in-place form clamp(value, range).
template <typename T> struct ClosedRange {
    T lower;
    T upper;
}; // lower...upper
template <typename T> struct HalfOpenRange {
    T lower;
    T upper;
};                                                             // lower..<upper
template <typename T> struct PartialRangeUpTo { T upper; };    // ..<upper
template <typename T> struct PartialRangeThrough { T upper; }; // ...upper
template <typename T> struct PartialRangeFrom { T lower; };    // lower...

namespace detail {
// The largest value below `upper`: the next representable double (or
// float) for floating-point types, upper - 1 for integers. There is no
// integer below the minimum, so that range is refused.
template <typename T> T largestBelow(T upper) {
    if constexpr (std::is_floating_point_v<T>) {
        return std::nextafter(upper, -std::numeric_limits<T>::infinity());
    } else {
        if (upper == std::numeric_limits<T>::min()) throw std::invalid_argument("clamped: empty range");
        return upper - 1;
    }
}
} // namespace detail

template <typename T> T clamped(T value, ClosedRange<T> r) { return std::min(std::max(value, r.lower), r.upper); }
template <typename T> T clamped(T value, HalfOpenRange<T> r) {
    return std::min(std::max(value, r.lower), detail::largestBelow(r.upper));
}
template <typename T> T clamped(T value, PartialRangeUpTo<T> r) {
    return std::min(value, detail::largestBelow(r.upper));
}
template <typename T> T clamped(T value, PartialRangeThrough<T> r) { return std::min(value, r.upper); }
template <typename T> T clamped(T value, PartialRangeFrom<T> r) { return std::max(value, r.lower); }

template <typename T, typename Range> void clamp(T& value, Range range) { value = clamped(value, range); }

// 0...1 for a floating-point value.
template <std::floating_point T> T clampedToUnit(T value) { return std::min(std::max(value, T(0)), T(1)); }
template <std::floating_point T> void clampToUnit(T& value) { value = clampedToUnit(value); }

} // namespace QRCode
