#include "image-read-write/Codecs.h"

#include "image-read-write/ImageReadWriteError.h"

#include <algorithm>
#include <cmath>

namespace ImageReadWrite::detail {

void checkDecodedSize(std::int64_t width, std::int64_t height, std::int64_t maxPixels) {
    // The cap is a square: neither side may pass its root, so that a limit
    // stated as sides holds for long thin images too.
    const std::int64_t cap = std::min(maxPixels, gfx::Image::kMaxPixels);
    std::int64_t side = std::int64_t(std::sqrt(double(std::max<std::int64_t>(cap, 0))));
    while (side * side > cap) --side;
    while ((side + 1) * (side + 1) <= cap) ++side;
    if (width <= 0 || height <= 0 || width > side || height > side) {
        failDecoding();
    }
}

void checkEncodable(const gfx::Image& image, const char* typeIdentifier) {
    if (image.empty()) failEncoding(typeIdentifier);
}

void failEncoding(const char* typeIdentifier) {
    throw ImageReadWriteException(ImageReadWriteError::cannotCreateImageOfType, typeIdentifier);
}

void failDecoding() { throw ImageReadWriteException(ImageReadWriteError::unableToDecodeImage); }

bool isOpaque(const gfx::Image& image) {
    for (int y = 0; y < image.height(); ++y) {
        const std::uint32_t* row = image.row(y);
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] >> 24) != 0xFF) return false;
        }
    }
    return true;
}

void straightRow(const std::uint32_t* row, int width, bool withAlpha, std::uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        std::uint8_t a;
        unpremultiply(row[x], out[0], out[1], out[2], a);
        if (withAlpha) {
            out[3] = a;
            out += 4;
        } else {
            out += 3;
        }
    }
}

} // namespace ImageReadWrite::detail
