#pragma once

// Internal to the TIFF codec: pictures whose samples are put together here
// rather than by libtiff's RGBA reader (which has no routine for them, or
// one that drops their alpha), and the turn that a picture's orientation
// asks for.

#include "platform/gfx/Image.h"

#include <tiffio.h>

#include <cstdint>

namespace ImageReadWrite::detail {

// The most any one buffer of a TIFF decode may take, libtiff's own
// included: the bytes of the largest image.
constexpr std::int64_t kMostTIFFBufferBytes = gfx::Image::kMaxPixels * 4;

// A sample of `bits` bits (1, 2, 4, 8 or 16) as an 8-bit level: 16-bit
// samples rounded to the nearest, so that a picture reads as it does saved
// at 8 bits.
std::uint32_t eightBitLevel(std::uint32_t sample, int bits);

// Where the pixel stored at column c of row r lands in the picture as it
// is shown: at pixel index first + c * column + r * row of a shown image of
// width x height.
struct Placement {
    int width = 0, height = 0;
    std::int64_t first = 0, column = 1, row = 0;
};
// For a TIFF Orientation (1 to 8; anything else is taken as 1, stored as
// shown) and the stored picture's size.
Placement placement(std::uint16_t orientation, int storedWidth, int storedHeight);

// The stored picture turned as its orientation shows it.
gfx::ImagePtr turned(const gfx::Image& stored, std::uint16_t orientation);

// Whether the current directory is a picture read here: CMYK at 16 bits,
// with alpha, or in more than four planes; a palette picture with alpha.
// Samples of floating point, and codecs not built in, are not.
bool readsBySamples(TIFF* tif);

// Reads such a picture, shown as its orientation asks. Throws
// unableToDecodeImage.
gfx::ImagePtr readBySamples(TIFF* tif, std::uint32_t width, std::uint32_t height);

} // namespace ImageReadWrite::detail
