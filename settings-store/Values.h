#pragma once

// Small value types that settings store through bridges of their own:
// identifiers, resource locators, colours and ranges.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace Defaults {

// A 128-bit identifier. Its text is the canonical 36-character form,
// upper-case hexadecimal in groups of 8, 4, 4, 4 and 12.
struct UUID {
    std::array<std::uint8_t, 16> bytes{};

    std::string uuidString() const;
    // Parses the canonical form (either letter case); nothing for other text.
    static std::optional<UUID> fromString(std::string_view text);

    friend bool operator==(const UUID&, const UUID&) = default;
    friend auto operator<=>(const UUID&, const UUID&) = default;
};

// A resource locator, kept as its text.
struct URL {
    std::string absoluteString;

    // Nothing for text that cannot be a locator: empty, or holding spaces or
    // control characters.
    static std::optional<URL> fromString(std::string_view text);

    friend bool operator==(const URL&, const URL&) = default;
    friend auto operator<=>(const URL&, const URL&) = default;
};

// A colour: the name of its colour space and its components followed by
// alpha, in the space's order. An empty name is a colour whose space has no
// name (a device-dependent colour from another program, say): its
// components are kept as they are, alpha last, and it is stored as a keyed
// archive rather than as a pair.
struct Color {
    std::string colorSpaceName;
    std::vector<double> components;

    static constexpr std::string_view sRGBName = "kCGColorSpaceSRGB";
    static constexpr std::string_view extendedGrayName = "kCGColorSpaceExtendedGray";
    static constexpr std::string_view genericRGBLinearName = "kCGColorSpaceGenericRGBLinear";

    // The number of components (without alpha) of a known colour space;
    // nothing for a name that names no colour space.
    static std::optional<std::size_t> componentCount(std::string_view colorSpaceName);

    // Nothing unless the space is known and the list has exactly its
    // components plus alpha, every one finite (a NaN or infinite component
    // draws nothing a user could mean).
    static std::optional<Color> make(std::string_view colorSpaceName, std::vector<double> components);
    static Color sRGB(double red, double green, double blue, double alpha = 1);
    static Color gray(double white, double alpha = 1);
    // Whether every component is a finite number.
    static bool allFinite(const std::vector<double>& components);

    friend bool operator==(const Color&, const Color&) = default;
};

// The half-open range lowerBound ..< upperBound.
template <class B> struct Range {
    using Bound = B;
    Bound lowerBound;
    Bound upperBound;

    // Throws std::invalid_argument when upper < lower.
    Range(Bound lower, Bound upper) : lowerBound(std::move(lower)), upperBound(std::move(upper)) {
        if (upperBound < lowerBound) throw std::invalid_argument("Range requires lowerBound <= upperBound");
    }
    static Range uncheckedBounds(Bound lower, Bound upper) { return Range(std::move(lower), std::move(upper), 0); }

    friend bool operator==(const Range&, const Range&) = default;

private:
    Range(Bound lower, Bound upper, int) : lowerBound(std::move(lower)), upperBound(std::move(upper)) {}
};

// The closed range lowerBound ... upperBound.
template <class B> struct ClosedRange {
    using Bound = B;
    Bound lowerBound;
    Bound upperBound;

    ClosedRange(Bound lower, Bound upper) : lowerBound(std::move(lower)), upperBound(std::move(upper)) {
        if (upperBound < lowerBound) throw std::invalid_argument("ClosedRange requires lowerBound <= upperBound");
    }
    static ClosedRange uncheckedBounds(Bound lower, Bound upper) {
        return ClosedRange(std::move(lower), std::move(upper), 0);
    }

    friend bool operator==(const ClosedRange&, const ClosedRange&) = default;

private:
    ClosedRange(Bound lower, Bound upper, int) : lowerBound(std::move(lower)), upperBound(std::move(upper)) {}
};

} // namespace Defaults
