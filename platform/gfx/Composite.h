#pragma once

#include <cstddef>
#include <cstdint>

namespace gfx::detail {

// A colour in a bitmap's pixel format (premultiplied 0xAARRGGBB) as Cairo's
// image backend composites it: each premultiplied channel to 16 bits, then
// its high byte. Channels and alpha are 0...1.
std::uint32_t solidPixel(double red, double green, double blue, double alpha);

// Composites `colour` through the 8-bit `mask` over n premultiplied pixels
// with Cairo's own rounding for OVER: each channel of the colour times the
// mask value, and of the pixel times 255 less the masked alpha, each product
// divided by 255 and rounded, summed and held to 255. Pixels under a zero
// mask are not touched.
void maskSolidOver(std::uint32_t colour, const std::uint8_t* mask, std::uint32_t* pixels, std::size_t n);

} // namespace gfx::detail
