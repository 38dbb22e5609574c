#include "QRCode/encoding/QRCodeEngine.h"

#include "QRCode/QRCodeError.h"
#include "QRCodeGenerator/QRCode.h"

#include <optional>

namespace QRCode {

namespace {

std::optional<std::string_view> levelLetter(ErrorCorrection level) {
    const auto raw = rawValue(level);
    if (raw < 0 || raw > 3) return std::nullopt;
    return errorCorrectionLetters[static_cast<std::size_t>(raw)];
}

std::optional<QRCodeGenerator::QRCodeECC> encoderLevel(std::string_view letter) {
    if (letter == "L") return QRCodeGenerator::QRCodeECC::low;
    if (letter == "M") return QRCodeGenerator::QRCodeECC::medium;
    if (letter == "Q") return QRCodeGenerator::QRCodeECC::quartile;
    if (letter == "H") return QRCodeGenerator::QRCodeECC::high;
    return std::nullopt;
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The symbol with a light border of one module on every side.
BoolMatrix withBorder(const QRCodeGenerator::QRCode& symbol) {
    const int s = symbol.size();
    BoolMatrix matrix(s + 2);
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x)
            if (symbol.getModule(x, y)) matrix.set(y + 1, x + 1, true);
    return matrix;
}

} // namespace

bool isValidUTF8(std::string_view text) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        unsigned lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0) lo = 0xA0; // overlong
            if (c == 0xED) hi = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0) lo = 0x90; // overlong
            if (c == 0xF4) hi = 0x8F; // above U+10FFFF
        } else {
            return false;
        }
        if (n - i <= static_cast<std::size_t>(extra)) return false;
        if (p[i + 1] < lo || p[i + 1] > hi) return false;
        for (int k = 2; k <= extra; ++k)
            if ((p[i + static_cast<std::size_t>(k)] & 0xC0) != 0x80) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

BoolMatrix QRCodeEngineCoreImage::generate(std::string_view text, ErrorCorrection errorCorrection) {
    if (!isValidUTF8(text)) throw QRCodeException(QRCodeError::unableToConvertTextToRequestedEncoding);
    return generate(bytesOf(text), errorCorrection);
}

BoolMatrix QRCodeEngineCoreImage::generate(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection) {
    // The filter encodes bytes, and no symbol holds more than this many
    // (version 40, level L); the filter's cost grows with what it is handed,
    // so a message that cannot fit is refused before it gets there.
    constexpr std::size_t kMostBytesASymbolHolds = 2953;
    if (data.size() > kMostBytesASymbolHolds) throw QRCodeException(QRCodeError::cannotGenerateImage);
    const auto letter = levelLetter(errorCorrection);
    filter_.setInputMessage({data.begin(), data.end()});
    filter_.setInputCorrectionLevel(letter ? std::string(*letter) : std::string());
    const std::optional<platform::GrayImage> image = filter_.outputImage();
    if (!image || image->width <= 0 || image->width != image->height ||
        image->pixels.size() != static_cast<std::size_t>(image->width) * image->height)
        throw QRCodeException(QRCodeError::cannotGenerateImage);

    // Black (exactly 0) is an on cell; there is no other threshold.
    const int w = image->width;
    BoolMatrix matrix(w);
    for (int y = 0; y < w; ++y) {
        const std::uint8_t* row = image->pixels.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x)
            if (row[x] == 0) matrix.set(y, x, true);
    }
    return matrix;
}

BoolMatrix QRCodeEngineExternal::generate(std::string_view text, ErrorCorrection errorCorrection) {
    if (!isValidUTF8(text)) throw QRCodeException(QRCodeError::unableToConvertTextToRequestedEncoding);
    const auto letter = levelLetter(errorCorrection);
    const auto level = letter ? encoderLevel(*letter) : std::nullopt;
    if (!level) throw QRCodeException(QRCodeError::cannotGenerateQRCode);
    try {
        return withBorder(QRCodeGenerator::QRCode::encode(text, *level));
    } catch (const QRCodeGenerator::QRCodeError&) {
        throw QRCodeException(QRCodeError::cannotGenerateQRCode);
    }
}

BoolMatrix QRCodeEngineExternal::generate(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection) {
    const auto letter = levelLetter(errorCorrection);
    const auto level = letter ? encoderLevel(*letter) : std::nullopt;
    if (!level) throw QRCodeException(QRCodeError::cannotGenerateQRCode);
    try {
        return withBorder(QRCodeGenerator::QRCode::encodeBinary(data, *level));
    } catch (const QRCodeGenerator::QRCodeError&) {
        throw QRCodeException(QRCodeError::cannotGenerateQRCode);
    }
}

} // namespace QRCode
