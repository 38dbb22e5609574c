#include "platform/foundation/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace foundation {

std::string shortestNumberText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";

    char buffer[64];
    const double magnitude = std::fabs(value);
    const bool plain = magnitude == 0.0 || (magnitude >= 1e-4 && magnitude < 1e16);
    const auto format = plain ? std::chars_format::fixed : std::chars_format::scientific;
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    std::string text(buffer, result.ptr);
    if (plain && text.find('.') == std::string::npos) text += ".0";
    return text;
}

std::string fixedNumberText(double value, int maxFractionDigits) {
    if (!std::isfinite(value)) return "0";
    if (maxFractionDigits < 0) maxFractionDigits = 0;
    // Up to 309 integer digits, a sign, a point and the fraction digits.
    std::string buffer(320 + static_cast<std::size_t>(maxFractionDigits), '\0');
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, maxFractionDigits);
    buffer.resize(static_cast<std::size_t>(result.ptr - buffer.data()));
    if (buffer.find('.') != std::string::npos) {
        while (buffer.back() == '0') buffer.pop_back();
        if (buffer.back() == '.') buffer.pop_back();
    }
    // A negative value that rounds to zero is written as plain zero.
    if (buffer == "-0") buffer = "0";
    return buffer;
}

std::string svgNumberText(double value) { return fixedNumberText(value, 3); }

std::string gradientComponentText(double value) { return fixedNumberText(value, 4); }

} // namespace foundation
