#pragma once

#include "QRCode/generators/pixel/detail/NeighbourShapeSupport.h"

#include <array>
#include <span>

// The walk of the tile pixel shapes over the neighbour-shape helpers.
namespace QRCode::PixelShape::neighbours {

// Visits every module row by row, column by column, and lets
// `draw(sink, row, column, isOn)` append the module's outlines in unit-cell
// coordinates through `sink`. Empty when there is nothing to lay out.
// `elementsPerOnModule` sizes the result up front (a hint, not a limit).
template <class Draw>
gfx::Path tiledPath(const BoolMatrix& matrix, gfx::Size size, std::size_t elementsPerOnModule, Draw&& draw) {
    gfx::Path path;
    const auto layout = ModuleLayout::of(matrix, size);
    if (!layout) return path;
    path.reserve(onModuleCount(matrix) * elementsPerOnModule);
    forEachModule(matrix, *layout,
                  [&](std::int64_t row, std::int64_t column, bool on, const gfx::AffineTransform& placement) {
                      draw(TileSink(path, placement), row, column, on);
                  });
    return path;
}

// The sixteen tiles of a shape that joins an on-module to the neighbours
// named by four bits: tile 0 (no neighbour on) is the disc of radius 4 about
// the cell's centre, every other tile the outline listed for its bits.
inline std::array<gfx::Path, 16> discOrOutlineTiles(const std::array<std::span<const OutlineStep>, 16>& outlines) {
    std::array<gfx::Path, 16> tiles;
    tiles[0].addEllipse(gfx::Rect(1, 1, 8, 8));
    for (unsigned i = 1; i < 16; ++i) tiles[i] = outlinePath(outlines[i]);
    return tiles;
}

} // namespace QRCode::PixelShape::neighbours
