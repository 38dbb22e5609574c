#pragma once

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Image.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace QRCode {

// How thoroughly images are searched for QR codes.
enum class DetectionAccuracy : int { low = 0, high = 1 };

// 0 and 1 give their case; any other integer gives none.
std::optional<DetectionAccuracy> detectionAccuracy(int rawValue);

// One QR code found in an image. Coordinates are image pixels with the
// origin at the top-left corner of the image and y growing downwards; the
// corners are those of the symbol as it is oriented (its top-left finder
// pattern is topLeft), so they are rotated along with the symbol.
struct QRCodeFeature {
    // The decoded message, absent when the symbol holds binary data that is
    // not text.
    std::optional<std::string> messageString;
    // The message bytes exactly as stored in the symbol.
    std::vector<std::uint8_t> messageBytes;
    // The smallest upright rectangle around the four corners.
    gfx::Rect bounds;
    gfx::Point topLeft, topRight, bottomLeft, bottomRight;
};

// The message texts of the codes found in the image, searched thoroughly;
// never throws (a failure gives an empty list).
std::vector<std::string> detectQRStrings(const gfx::Image& image);

} // namespace QRCode
