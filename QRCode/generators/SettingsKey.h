#pragma once

#include <string_view>

namespace QRCode {

// Key texts that several generators share in their settings dictionaries;
// each value is its own name.
struct SettingsKey {
    static constexpr std::string_view cornerRadiusFraction = "cornerRadiusFraction";
    static constexpr std::string_view insetFraction = "insetFraction";
    static constexpr std::string_view hasInnerCorners = "hasInnerCorners";
    static constexpr std::string_view insetGeneratorName = "insetGeneratorName";
    static constexpr std::string_view rotationGeneratorName = "rotationGeneratorName";
    static constexpr std::string_view rotationFraction = "rotationFraction";
    static constexpr std::string_view useRandomRotation = "useRandomRotation";
    static constexpr std::string_view corners = "corners";
    static constexpr std::string_view additionalQuietZonePixels = "additionalQuietZonePixels";
    static constexpr std::string_view eyeInnerStyle = "eyeInnerStyle";
    static constexpr std::string_view flip = "flip";
    static constexpr std::string_view useRandomInset = "useRandomInset";
};

} // namespace QRCode
