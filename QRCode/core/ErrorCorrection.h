#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace QRCode {

// The error-correction level asked of an encoding engine.
enum class ErrorCorrection : std::int64_t {
    low = 0,
    medium = 1,
    quartile = 2,
    high = 3,
};

// The level used wherever none is given or a stored one is unusable.
inline constexpr ErrorCorrection defaultErrorCorrection = ErrorCorrection::quartile;

// Every level in raw-value order: L, M, Q, H.
inline constexpr std::array<ErrorCorrection, 4> allErrorCorrections{ErrorCorrection::low, ErrorCorrection::medium,
                                                                    ErrorCorrection::quartile, ErrorCorrection::high};

// The settings letters, indexed by raw value.
inline constexpr std::array<std::string_view, 4> errorCorrectionLetters{"L", "M", "Q", "H"};

constexpr std::int64_t rawValue(ErrorCorrection level) noexcept { return static_cast<std::int64_t>(level); }

// 0...3 give a level; every other integer gives std::nullopt.
constexpr std::optional<ErrorCorrection> errorCorrectionFromRawValue(std::int64_t raw) noexcept {
    if (raw < 0 || raw > 3) return std::nullopt;
    return static_cast<ErrorCorrection>(raw);
}

// The one-letter upper-case settings text ("L", "M", "Q", "H").
constexpr std::string_view errorCorrectionLetter(ErrorCorrection level) noexcept {
    const auto raw = static_cast<std::size_t>(rawValue(level));
    return raw < errorCorrectionLetters.size() ? errorCorrectionLetters[raw] : std::string_view("Q");
}

// "l", "m", "q", "h" in either case; anything else gives std::nullopt.
constexpr std::optional<ErrorCorrection> errorCorrectionFromCharacter(char c) noexcept {
    switch (c) {
    case 'l':
    case 'L': return ErrorCorrection::low;
    case 'm':
    case 'M': return ErrorCorrection::medium;
    case 'q':
    case 'Q': return ErrorCorrection::quartile;
    case 'h':
    case 'H': return ErrorCorrection::high;
    default: return std::nullopt;
    }
}

// The level of a settings string, from its first character only ("low",
// "L" and "l" all give low); an empty or unknown text gives std::nullopt.
constexpr std::optional<ErrorCorrection> errorCorrectionFromString(std::string_view text) noexcept {
    if (text.empty()) return std::nullopt;
    return errorCorrectionFromCharacter(text.front());
}

// As errorCorrectionFromString, with quartile for an empty or unknown text.
constexpr ErrorCorrection errorCorrectionFromSettingsString(std::string_view text) noexcept {
    return errorCorrectionFromString(text).value_or(defaultErrorCorrection);
}

} // namespace QRCode
