#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace gfx {

// Colour components of one pixel, 8 bits each.
struct Pixel {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

// An immutable-by-convention bitmap: width x height pixels, premultiplied
// alpha, stored exactly as Cairo's CAIRO_FORMAT_ARGB32 (one native-endian
// 32-bit word per pixel, 0xAARRGGBB), rows top to bottom with no padding
// beyond `stride()`. Images are shared through `std::shared_ptr<const Image>`.
class Image {
public:
    // Largest pixel count an image may hold; constructors refuse more so that
    // a corrupt size never turns into a huge allocation.
    static constexpr std::int64_t kMaxPixels = std::int64_t(1) << 28; // 16384 x 16384

    Image() = default;
    // A fully transparent image. Throws std::length_error for a size that is
    // not positive or larger than kMaxPixels.
    Image(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    int stride() const { return width_ * 4; }

    std::uint8_t* data() { return data_.data(); }
    const std::uint8_t* data() const { return data_.data(); }
    std::size_t byteCount() const { return data_.size(); }

    std::uint32_t* row(int y) { return reinterpret_cast<std::uint32_t*>(data_.data() + std::size_t(y) * stride()); }
    const std::uint32_t* row(int y) const {
        return reinterpret_cast<const std::uint32_t*>(data_.data() + std::size_t(y) * stride());
    }

    // The premultiplied components of the pixel at (x, y), origin top-left.
    Pixel premultipliedPixel(int x, int y) const;
    // The straight (unpremultiplied) components of the pixel at (x, y).
    Pixel pixel(int x, int y) const;
    // Writes straight components (they are premultiplied on the way in).
    void setPixel(int x, int y, Pixel p);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> data_;
};

using ImagePtr = std::shared_ptr<const Image>;

} // namespace gfx
