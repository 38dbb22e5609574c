#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/core/Components.h"
#include "QRCode/design/Shape.h"
#include "platform/gfx/Path.h"

namespace QRCode {

class LogoTemplate;

namespace rendering {

// The composition behind QRCode::path over any matrix. With `mergeSquares`
// the parts drawn with plain squares come back as the traced outline of
// their union instead of one square per module: the same area, far fewer
// edges, for filling (the SVG text keeps one square per module).
gfx::Path composePath(const BoolMatrix& matrix, gfx::Size size, Components components, const Shape& shape,
                      const LogoTemplate* logoTemplate, double additionalQuietSpace, bool extend, bool mirror,
                      bool mergeSquares = false);

// The modules a pixel layer of composePath draws at grid side `side`: the
// on-modules less the reserved cells, the off-modules (less the reserved
// cells unless `extend`), or every off-module for negated on-pixels; each
// masked by the logo.
enum class PixelLayer { on, off, negatedOn };
BoolMatrix layerModules(const BoolMatrix& matrix, PixelLayer layer, const LogoTemplate* logoTemplate, double side,
                        bool extend);

// Sets every cell of the outer ring and of the three 9 x 9 eye blocks off.
void clearReservedCells(BoolMatrix& matrix);

// Whether the generator draws every on-module as the exact square of its
// cell (a square shape with no inset and no rotation).
bool isPlainSquare(const QRCodePixelShapeGenerator& generator);

// The outline of the union of the matrix's on-modules laid out in `size` as
// a pixel generator lays them out (cells of min(w, h) / n, grid centred),
// moved by `offset`: closed polygons, outer edges clockwise in a y-down
// space and holes the other way, so either fill rule gives the union.
void appendMergedSquares(gfx::Path& out, const BoolMatrix& matrix, gfx::Size size, gfx::Point offset);

} // namespace rendering
} // namespace QRCode
