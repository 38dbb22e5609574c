#pragma once

#include "image-read-write/ImageReadWriteError.h"
#include "platform/gfx/Image.h"

#include <cstdint>
#include <vector>

namespace ImageReadWrite {

// A bitmap in a colour space other than the premultiplied ARGB32 of
// gfx::Image: 8 bits per component, rows top-down.
struct ColorspaceImage {
    enum class ColorSpace { genericCMYK, genericGray, sRGB };
    enum class Alpha { none, premultipliedLast };

    ColorSpace colorSpace = ColorSpace::sRGB;
    Alpha alpha = Alpha::none;
    int width = 0;
    int height = 0;
    int bitsPerComponent = 8;
    int bitsPerPixel = 0;
    int bytesPerRow = 0;
    std::vector<std::uint8_t> data;
};

// Redraws an image into another colour space, keeping its pixel size.
class ConvertColorspace {
public:
    explicit ConvertColorspace(gfx::ImagePtr image);
    const gfx::ImagePtr& image() const { return image_; }

    // C, M, Y, K per pixel, no alpha; transparency shows as white paper.
    ColorspaceImage toCMYK() const;
    // One grey byte per pixel (gamma 2.2), no alpha; transparency shows as black.
    ColorspaceImage toGray() const;
    // R, G, B, A per pixel, premultiplied, alpha last.
    ColorspaceImage toSRGB() const;

private:
    gfx::ImagePtr image_;
};

} // namespace ImageReadWrite
