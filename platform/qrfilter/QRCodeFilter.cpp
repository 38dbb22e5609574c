#include "platform/qrfilter/QRCodeFilter.h"

#include <qrencode.h>

#include <climits>
#include <memory>

namespace platform {

namespace {

struct QRcodeDeleter {
    void operator()(QRcode* code) const { QRcode_free(code); }
};
struct QRinputDeleter {
    void operator()(QRinput* input) const { QRinput_free(input); }
};

std::optional<QRecLevel> levelFromLetter(const std::string& letter) {
    if (letter == "L") return QR_ECLEVEL_L;
    if (letter == "M") return QR_ECLEVEL_M;
    if (letter == "Q") return QR_ECLEVEL_Q;
    if (letter == "H") return QR_ECLEVEL_H;
    return std::nullopt;
}

} // namespace

std::optional<GrayImage> QRCodeFilter::outputImage() const {
    const auto level = levelFromLetter(level_);
    if (!level || message_.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;

    // libqrencode refuses a zero-length data entry, but an input with no
    // entries at all encodes as a symbol that holds no data, which is what an
    // empty message means.
    std::unique_ptr<QRinput, QRinputDeleter> input(QRinput_new2(0, *level));
    if (!input) return std::nullopt;
    if (!message_.empty() &&
        QRinput_append(input.get(), QR_MODE_8, static_cast<int>(message_.size()), message_.data()) != 0)
        return std::nullopt;
    std::unique_ptr<QRcode, QRcodeDeleter> code(QRcode_encodeInput(input.get()));
    if (!code || code->width <= 0) return std::nullopt;

    const int symbol = code->width;
    const int side = symbol + 2 * kMargin;
    GrayImage image;
    image.width = side;
    image.height = side;
    image.pixels.assign(static_cast<std::size_t>(side) * side, 255);
    for (int y = 0; y < symbol; ++y) {
        const unsigned char* src = code->data + static_cast<std::size_t>(y) * symbol;
        std::uint8_t* dst = image.pixels.data() + static_cast<std::size_t>(y + kMargin) * side + kMargin;
        for (int x = 0; x < symbol; ++x)
            if (src[x] & 1) dst[x] = 0;
    }
    return image;
}

} // namespace platform
