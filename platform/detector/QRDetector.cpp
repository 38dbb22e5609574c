#include "platform/detector/QRDetector.h"

// The decoder's text() is UTF-8 only with this switch on.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

namespace platform {

std::vector<DetectedQRCode> detectQRCodes(const gfx::Image& image) { return detectQRCodes(image, DetectOptions{}); }

std::vector<DetectedQRCode> detectQRCodes(const gfx::Image& image, const DetectOptions& options) {
    std::vector<DetectedQRCode> found;
    if (image.empty()) return found;

    // Luminance over a white backdrop: premultiplied components plus the
    // missing coverage in white.
    const int w = image.width(), h = image.height();
    std::vector<std::uint8_t> lum(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* row = image.row(y);
        std::uint8_t* out = lum.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = row[x];
            const unsigned a = p >> 24;
            const unsigned white = 255 - a;
            const unsigned r = ((p >> 16) & 0xFF) + white;
            const unsigned g = ((p >> 8) & 0xFF) + white;
            const unsigned b = (p & 0xFF) + white;
            out[x] = static_cast<std::uint8_t>((r * 306 + g * 601 + b * 117 + 512) >> 10);
        }
    }

    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(options.tryHarder);
    hints.setTryRotate(true);
    const ZXing::ImageView view(lum.data(), w, h, ZXing::ImageFormat::Lum);
    for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints)) {
        if (!result.isValid()) continue;
        DetectedQRCode code;
        code.text = result.text();
        code.hasText = result.contentType() != ZXing::ContentType::Binary;
        code.bytes.assign(result.bytes().begin(), result.bytes().end());
        const auto& pos = result.position();
        for (int i = 0; i < 4; ++i) code.corners[static_cast<std::size_t>(i)] = {pos[i].x, pos[i].y};
        found.push_back(std::move(code));
    }
    return found;
}

} // namespace platform
