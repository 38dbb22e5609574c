#pragma once

#include "QRCode/generators/pixel/detail/NeighbourShapeSupport.h"

#include <span>

// The walk of the tile pixel shapes over the neighbour-shape helpers.
namespace QRCode::PixelShape::neighbours {

// Visits every module row by row, column by column, and lets
// `draw(sink, row, column, isOn)` append the module's outlines in unit-cell
// coordinates through `sink`. Empty when there is nothing to lay out.
// `elementsPerOnModule` sizes the result up front (a hint, not a limit).
template <class Draw>
gfx::Path tiledPath(const BoolMatrix& matrix, gfx::Size size, std::size_t elementsPerOnModule, Draw&& draw)
{
    gfx::Path path;
    const auto layout = ModuleLayout::of(matrix, size);
    if (!layout) return path;
    std::size_t onModules = 0;
    const std::uint8_t* cells = matrix.data();
    for (std::int64_t i = 0, count = layout->n * layout->n; i < count; ++i) onModules += cells[i];
    path.reserve(onModules * elementsPerOnModule);
    forEachModule(matrix, *layout, [&](std::int64_t row, std::int64_t column, bool on,
                                       const gfx::AffineTransform& placement) {
        draw(TileSink(path, placement), row, column, on);
    });
    return path;
}

} // namespace QRCode::PixelShape::neighbours
