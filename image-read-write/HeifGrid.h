#pragma once

// Internal to the module: a HEIF file whose primary image is a grid of
// pictures coded apart, for pictures larger than one HEVC picture may be.

#include "image-read-write/Codecs.h"

#include <cstdint>
#include <vector>

namespace ImageReadWrite::detail {

// Joins `tiles` (complete single-picture HEIF files as libheif writes them,
// all of one size, row by row, `columns` x `rows` of them; each with its
// alpha picture when the first has one) into one file showing their grid cut
// to width x height. The first tile's Exif block, when it has one, becomes
// the grid's. Throws cannotCreateImageOfType(heic) for tiles it cannot read.
Bytes heifGrid(std::uint32_t width, std::uint32_t height, int columns, int rows, const std::vector<Bytes>& tiles);

} // namespace ImageReadWrite::detail
