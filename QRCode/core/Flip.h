#pragma once

#include <cstdint>
#include <optional>

namespace QRCode {

// The mirroring of an eye or pupil outline inside its own box.
enum class Flip : std::int64_t {
    none = 0,
    horizontal = 1, // x scaled by -1
    vertical = 2,   // y scaled by -1
    both = 3,
};

// 0...3 give a flip; every other integer gives std::nullopt.
constexpr std::optional<Flip> flipFromRawValue(std::int64_t raw) noexcept {
    if (raw < 0 || raw > 3) return std::nullopt;
    return static_cast<Flip>(raw);
}

// A stored flip: an absent or unknown integer gives none.
constexpr Flip flipFromSetting(std::optional<std::int64_t> raw) noexcept {
    return raw ? flipFromRawValue(*raw).value_or(Flip::none) : Flip::none;
}

} // namespace QRCode
