#pragma once

// Internal to the module: a HEIF file whose primary image is a grid of
// pictures coded apart, for pictures larger than one HEVC picture may be;
// and what decoding a file's primary image costs, from the same boxes.

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

// Whether decoding the primary image of a HEIF file (with its alpha) costs
// about what its pixels cost: every coded picture and derived image of it
// is decoded once, coded at about the size it declares (by every sequence
// parameter set, in its configuration or its data) and its data in the
// file once, a grid's tiles lie
// inside the grid, and the pictures add up to at most four times the
// image's pixels (plus a margin of 64 on each side) and the padding the
// image's grid's tiles need to cover it (up to kMostPaddingPerTile a tile),
// at least 128 x 128 on average. False, too, for boxes that cannot be
// followed.
bool heifDecodingBounded(ByteView file);

} // namespace ImageReadWrite::detail
