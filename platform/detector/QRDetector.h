#pragma once

#include "platform/gfx/Image.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One QR symbol found in an image.
struct DetectedQRCode {
    struct Point {
        int x = 0, y = 0;
    };
    // The message as text (UTF-8), as the decoder interprets the bytes.
    std::string text;
    // False when the decoder took the message for binary data rather than
    // text (then `text` is only the decoder's best guess).
    bool hasText = true;
    // The message bytes exactly as stored in the symbol.
    std::vector<std::uint8_t> bytes;
    // Corners in image pixels (origin top-left): top-left, top-right,
    // bottom-right, bottom-left of the symbol as it is oriented.
    std::array<Point, 4> corners{};
};

// Finds and decodes the QR symbols of an image, in the decoder's order.
// Transparent parts are read as if the image lay on white, the way it is
// shown. Never throws on image content: an image without symbols (or an
// empty image) gives an empty list.
std::vector<DetectedQRCode> detectQRCodes(const gfx::Image& image);

struct DetectOptions {
    // Slower, more thorough search (more binarisation and rotation tries).
    bool tryHarder = true;
};
std::vector<DetectedQRCode> detectQRCodes(const gfx::Image& image, const DetectOptions& options);

} // namespace platform
