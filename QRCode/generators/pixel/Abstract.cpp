#include "QRCode/generators/pixel/Abstract.h"

#include "QRCode/core/SplitMix64.h"
#include "QRCode/generators/pixel/detail/NeighbourShapeSupport.h"

#include <algorithm>
#include <cmath>

namespace QRCode::PixelShape {

gfx::Path Abstract::generatePath(const BoolMatrix& matrix, gfx::Size size) {
    // At most a move, four lines, four curves and a close a module.
    return gfx::pathOfOutlines(neighbours::onModuleCount(matrix) * 10,
                               [&](gfx::OutlineSink& sink) { generateOutlines(matrix, size, sink); });
}

void Abstract::generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    const auto layout = neighbours::ModuleLayout::of(matrix, size);
    if (!layout) return;
    const std::int64_t n = layout->n;
    const double cell = layout->cell;
    const double xOffset = layout->x0;
    const double yOffset = layout->y0;
    const double s = cell / 10;

    SplitMix64 rng(seed);
    const std::uint8_t* cells = matrix.data();
    for (std::int64_t row = 0; row < n; ++row) {
        const double ty = static_cast<double>(row) * cell + yOffset;
        for (std::int64_t column = 0; column < n; ++column) {
            if (cells[row * n + column] == 0) continue;
            const double tx = static_cast<double>(column) * cell + xOffset;
            // Tile coordinates scaled to the cell, then moved onto it.
            const auto at = [&](double x, double y) { return gfx::Point{x * s + tx, y * s + ty}; };

            // One draw per corner, in this order; an even value rounds it.
            const double a = (rng.next() % 2 == 0) ? 5 : 0; // top-left
            const double b = (rng.next() % 2 == 0) ? 5 : 0; // top-right
            const double c = (rng.next() % 2 == 0) ? 5 : 0; // bottom-left
            const double e = (rng.next() % 2 == 0) ? 5 : 0; // bottom-right

            out.moveTo(at(a, 0));
            if (b == 0) {
                out.lineTo(at(10, 0));
            } else {
                out.lineTo(at(10 - b, 0));
                out.curveTo(at(10, 0), at(10, b), at(10, b));
            }
            if (e == 0) {
                out.lineTo(at(10, 10));
            } else {
                out.lineTo(at(10, 10 - e));
                out.curveTo(at(10, 10), at(10 - e, 10), at(10 - e, 10));
            }
            if (c == 0) {
                out.lineTo(at(0, 10));
            } else {
                out.lineTo(at(c, 10));
                out.curveTo(at(0, 10), at(0, 10 - c), at(0, 10 - c));
            }
            if (a == 0) {
                out.lineTo(at(0, 0));
            } else {
                out.lineTo(at(0, a));
                out.curveTo(at(0, 0), at(a, 0), at(a, 0));
            }
            out.closeSubpath();
            out.endFigure();
        }
    }
}

} // namespace QRCode::PixelShape
