#include "settings-store/Values.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Defaults {

std::string UUID::uuidString() const {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(36);
    for (std::size_t i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::optional<UUID> UUID::fromString(std::string_view text) {
    if (text.size() != 36) return std::nullopt;
    UUID id;
    std::size_t byte = 0;
    for (std::size_t i = 0; i < 36;) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-') return std::nullopt;
            ++i;
            continue;
        }
        auto nibble = [](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            return -1;
        };
        int high = nibble(text[i]), low = nibble(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        id.bytes[byte++] = std::uint8_t(high << 4 | low);
        i += 2;
    }
    return id;
}

std::optional<URL> URL::fromString(std::string_view text) {
    if (text.empty()) return std::nullopt;
    for (unsigned char c : text)
        if (c <= 0x20 || c == 0x7f) return std::nullopt;
    return URL{std::string(text)};
}

std::optional<std::size_t> Color::componentCount(std::string_view name) {
    static constexpr std::pair<std::string_view, std::size_t> spaces[] = {
        {"kCGColorSpaceSRGB", 3},
        {"kCGColorSpaceExtendedSRGB", 3},
        {"kCGColorSpaceLinearSRGB", 3},
        {"kCGColorSpaceExtendedLinearSRGB", 3},
        {"kCGColorSpaceDisplayP3", 3},
        {"kCGColorSpaceExtendedDisplayP3", 3},
        {"kCGColorSpaceGenericRGB", 3},
        {"kCGColorSpaceGenericRGBLinear", 3},
        {"kCGColorSpaceAdobeRGB1998", 3},
        {"kCGColorSpaceGenericGray", 1},
        {"kCGColorSpaceGenericGrayGamma2_2", 1},
        {"kCGColorSpaceExtendedGray", 1},
        {"kCGColorSpaceLinearGray", 1},
        {"kCGColorSpaceExtendedLinearGray", 1},
        {"kCGColorSpaceGenericCMYK", 4},
    };
    for (const auto& [spaceName, count] : spaces)
        if (spaceName == name) return count;
    return std::nullopt;
}

std::optional<Color> Color::make(std::string_view colorSpaceName, std::vector<double> components) {
    auto count = componentCount(colorSpaceName);
    if (!count || components.size() != *count + 1) return std::nullopt;
    if (!allFinite(components)) return std::nullopt;
    return Color{std::string(colorSpaceName), std::move(components)};
}

bool Color::allFinite(const std::vector<double>& components) {
    return std::all_of(components.begin(), components.end(), [](double c) { return std::isfinite(c); });
}

Color Color::sRGB(double red, double green, double blue, double alpha) {
    return Color{std::string(sRGBName), {red, green, blue, alpha}};
}

Color Color::gray(double white, double alpha) { return Color{std::string(extendedGrayName), {white, alpha}}; }

} // namespace Defaults
