#pragma once

#include <nlohmann/json.hpp>

#include <optional>

// Property names of the dictionary handed to a bitmap encoder.
namespace ImageProperty {
inline constexpr const char* pixelWidth = "PixelWidth";
inline constexpr const char* pixelHeight = "PixelHeight";
inline constexpr const char* dpiWidth = "DPIWidth";
inline constexpr const char* dpiHeight = "DPIHeight";
inline constexpr const char* lossyCompressionQuality = "LossyCompressionQuality";
inline constexpr const char* excludeGPS = "ExcludeGPS";
} // namespace ImageProperty

// A JSON object from property name to value.
using ImageProperties = nlohmann::json;

namespace ImageReadWrite {

// Clamps a lossy quality to 0...1; NaN and negative values become 0.
double clampedQuality(double compression);

// The properties of a bitmap encoding: pixel width and height (whole
// numbers), DPI width and height (reals), the clamped quality when one is
// given, ExcludeGPS true when asked, then each extra property replacing any
// entry of the same name.
// Throws invalidDPI when the DPI is not a finite number above zero.
ImageProperties imageProperties(int pixelWidth, int pixelHeight, double dpi, std::optional<double> compression,
                                bool excludeGPSData, const ImageProperties* otherProperties = nullptr);

// The properties of a GIF: pixel size and a fixed 72 dpi, then the extras.
ImageProperties gifImageProperties(int pixelWidth, int pixelHeight, const ImageProperties* otherProperties = nullptr);

} // namespace ImageReadWrite
