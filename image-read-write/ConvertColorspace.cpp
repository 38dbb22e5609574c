#include "image-read-write/ConvertColorspace.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

namespace ImageReadWrite {
namespace {

ColorspaceImage makeTarget(const gfx::ImagePtr& source, ColorspaceImage::ColorSpace space, ColorspaceImage::Alpha alpha,
                           int bytesPerPixel) {
    if (!source || source->empty()) throw ImageReadWriteException(ImageReadWriteError::cannotConvertColorspace);
    ColorspaceImage target;
    target.colorSpace = space;
    target.alpha = alpha;
    target.width = source->width();
    target.height = source->height();
    target.bitsPerPixel = bytesPerPixel * 8;
    target.bytesPerRow = source->width() * bytesPerPixel;
    try {
        target.data.assign(std::size_t(target.bytesPerRow) * std::size_t(target.height), 0);
    } catch (const std::bad_alloc&) {
        throw ImageReadWriteException(ImageReadWriteError::cannotConvertColorspace);
    }
    return target;
}

// sRGB component (0...255) to linear light, and linear light to gamma 2.2.
const std::array<double, 256>& linearTable() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            t[std::size_t(i)] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table;
}

} // namespace

ConvertColorspace::ConvertColorspace(gfx::ImagePtr image) : image_(std::move(image)) {}

ColorspaceImage ConvertColorspace::toCMYK() const {
    ColorspaceImage target =
        makeTarget(image_, ColorspaceImage::ColorSpace::genericCMYK, ColorspaceImage::Alpha::none, 4);
    std::uint8_t* out = target.data.data();
    for (int y = 0; y < target.height; ++y) {
        const std::uint32_t* row = image_->row(y);
        for (int x = 0; x < target.width; ++x, out += 4) {
            // Composite over the white of an empty CMYK page, then separate.
            const std::uint32_t v = row[x];
            const unsigned a = v >> 24;
            const double r = (((v >> 16) & 0xFF) + (255 - a)) / 255.0;
            const double g = (((v >> 8) & 0xFF) + (255 - a)) / 255.0;
            const double b = ((v & 0xFF) + (255 - a)) / 255.0;
            const double k = 1 - std::max({r, g, b});
            auto ink = [k](double c) { return k >= 1 ? 0.0 : (1 - c - k) / (1 - k); };
            out[0] = std::uint8_t(std::lround(ink(r) * 255));
            out[1] = std::uint8_t(std::lround(ink(g) * 255));
            out[2] = std::uint8_t(std::lround(ink(b) * 255));
            out[3] = std::uint8_t(std::lround(k * 255));
        }
    }
    return target;
}

ColorspaceImage ConvertColorspace::toGray() const {
    ColorspaceImage target =
        makeTarget(image_, ColorspaceImage::ColorSpace::genericGray, ColorspaceImage::Alpha::none, 1);
    const auto& linear = linearTable();
    std::uint8_t* out = target.data.data();
    for (int y = 0; y < target.height; ++y) {
        const std::uint32_t* row = image_->row(y);
        for (int x = 0; x < target.width; ++x) {
            // Premultiplied components are the image over the black of an
            // empty grey context.
            const std::uint32_t v = row[x];
            const double luminance =
                0.2126 * linear[(v >> 16) & 0xFF] + 0.7152 * linear[(v >> 8) & 0xFF] + 0.0722 * linear[v & 0xFF];
            *out++ = std::uint8_t(std::lround(std::pow(luminance, 1 / 2.2) * 255));
        }
    }
    return target;
}

ColorspaceImage ConvertColorspace::toSRGB() const {
    ColorspaceImage target =
        makeTarget(image_, ColorspaceImage::ColorSpace::sRGB, ColorspaceImage::Alpha::premultipliedLast, 4);
    std::uint8_t* out = target.data.data();
    for (int y = 0; y < target.height; ++y) {
        const std::uint32_t* row = image_->row(y);
        for (int x = 0; x < target.width; ++x, out += 4) {
            const std::uint32_t v = row[x];
            out[0] = std::uint8_t(v >> 16);
            out[1] = std::uint8_t(v >> 8);
            out[2] = std::uint8_t(v);
            out[3] = std::uint8_t(v >> 24);
        }
    }
    return target;
}

} // namespace ImageReadWrite
