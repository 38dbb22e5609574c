#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// An 8-bit grey bitmap, rows top to bottom, `width` bytes per row.
struct GrayImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// The platform's QR-code image filter, on libqrencode. It takes the message
// bytes and a correction level letter and produces a square grey image: one
// pixel per module, dark modules exactly 0, light ones 255, with a light
// margin of one module on every side. Version and mask are its own choice;
// bytes are always encoded in byte mode.
//
// One filter serves one call at a time (its inputs belong to the call in
// progress); separate filters may be used from separate threads.
class QRCodeFilter {
public:
    static constexpr int kMargin = 1;

    void setInputMessage(std::vector<std::uint8_t> message) { message_ = std::move(message); }
    // "L", "M", "Q" or "H"; any other text leaves the filter without output.
    void setInputCorrectionLevel(std::string level) { level_ = std::move(level); }

    const std::vector<std::uint8_t>& inputMessage() const { return message_; }
    const std::string& inputCorrectionLevel() const { return level_; }

    // The symbol image, or no value when the message does not fit a symbol
    // at the level or the level letter is unknown.
    std::optional<GrayImage> outputImage() const;

private:
    std::vector<std::uint8_t> message_;
    std::string level_ = "M";
};

} // namespace platform
