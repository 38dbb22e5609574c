#include "app/core/ColorText.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace Tessivo {

namespace {

int toByte(double component) {
    if (std::isnan(component)) return 0;
    return int(std::clamp(std::round(component * 255.0), 0.0, 255.0));
}

bool isSpace(UChar32 c) { return c >= 0 && u_isUWhiteSpace(c); }

} // namespace

std::string_view trimmedWhitespace(std::string_view text) {
    // Text pasted from elsewhere brings no-break, ideographic and other
    // Unicode spaces and line separators along, not only ASCII ones. A byte
    // that is not UTF-8 stops the trimming at that end.
    if (text.size() > std::size_t(INT32_MAX)) return text;
    const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
    std::int32_t start = 0, end = std::int32_t(text.size());
    while (start < end) {
        std::int32_t next = start;
        UChar32 c;
        U8_NEXT(s, next, end, c);
        if (!isSpace(c)) break;
        start = next;
    }
    while (end > start) {
        std::int32_t previous = end;
        UChar32 c;
        U8_PREV(s, start, previous, c);
        if (!isSpace(c)) break;
        end = previous;
    }
    return text.substr(std::size_t(start), std::size_t(end - start));
}

gfx::Color toGraphicsColor(const Color& color) {
    const auto& c = color.components;
    const auto& name = color.colorSpaceName;
    auto expected = Color::componentCount(name);
    if (!expected || c.size() != *expected + 1) return gfx::Color::sRGB(0, 0, 0);
    const double alpha = c.back();
    if (*expected == 1) {
        if (name == "kCGColorSpaceExtendedGray") return gfx::Color::extendedGray(c[0], alpha);
        if (name == "kCGColorSpaceLinearGray" || name == "kCGColorSpaceExtendedLinearGray")
            return gfx::Color::linearSRGB(c[0], c[0], c[0], alpha);
        return gfx::Color::gray(c[0], alpha);
    }
    if (*expected == 4) {
        // Naive CMYK: enough to keep a colour from another program visible.
        const double k = 1 - c[3];
        return gfx::Color::sRGB((1 - c[0]) * k, (1 - c[1]) * k, (1 - c[2]) * k, alpha);
    }
    if (name == "kCGColorSpaceSRGB") return gfx::Color::sRGB(c[0], c[1], c[2], alpha);
    if (name == "kCGColorSpaceGenericRGB") return gfx::Color::genericRGB(c[0], c[1], c[2], alpha);
    if (name == "kCGColorSpaceLinearSRGB" || name == "kCGColorSpaceExtendedLinearSRGB" ||
        name == "kCGColorSpaceGenericRGBLinear")
        return gfx::Color::linearSRGB(c[0], c[1], c[2], alpha);
    // Extended sRGB, and the wide-gamut spaces taken as sRGB.
    return gfx::Color::extendedSRGB(c[0], c[1], c[2], alpha);
}

std::string colorToHex(const Color& color) {
    const gfx::RGBA rgba = toGraphicsColor(color).toSRGB();
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", toByte(rgba.r), toByte(rgba.g), toByte(rgba.b));
    return text;
}

std::optional<Color> hexToColor(std::string_view text) {
    text = trimmedWhitespace(text);
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.size() != 6) return std::nullopt;

    std::string_view digits = text;
    bool negative = false;
    if (digits.front() == '+' || digits.front() == '-') {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    std::int64_t value = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    if (negative) value = -value;
    const auto bits = std::uint64_t(value);
    return Color::sRGB(double((bits >> 16) & 0xFF) / 255.0, double((bits >> 8) & 0xFF) / 255.0,
                       double(bits & 0xFF) / 255.0, 1);
}

} // namespace Tessivo
