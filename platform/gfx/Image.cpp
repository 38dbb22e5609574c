#include "platform/gfx/Image.h"

#include <stdexcept>

namespace gfx {

Image::Image(int width, int height) {
    if (width <= 0 || height <= 0 || std::int64_t(width) * height > kMaxPixels) {
        throw std::length_error("image size out of range");
    }
    width_ = width;
    height_ = height;
    // operator new aligns the buffer for any fundamental type, so rows can be
    // read as 32-bit words.
    data_.assign(std::size_t(width) * std::size_t(height) * 4, 0);
}

Pixel Image::premultipliedPixel(int x, int y) const {
    const std::uint32_t v = row(y)[x];
    return Pixel{std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v), std::uint8_t(v >> 24)};
}

Pixel Image::pixel(int x, int y) const {
    Pixel p = premultipliedPixel(x, y);
    if (p.a == 0) return Pixel{0, 0, 0, 0};
    if (p.a == 255) return p;
    auto un = [a = p.a](std::uint8_t c) { return std::uint8_t((c * 255 + a / 2) / a); };
    return Pixel{un(p.r), un(p.g), un(p.b), p.a};
}

void Image::setPixel(int x, int y, Pixel p) {
    auto pre = [a = p.a](std::uint8_t c) { return std::uint32_t((c * a + 127) / 255); };
    row(y)[x] = (std::uint32_t(p.a) << 24) | (pre(p.r) << 16) | (pre(p.g) << 8) | pre(p.b);
}

} // namespace gfx
