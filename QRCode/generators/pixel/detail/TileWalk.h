#pragma once

#include "QRCode/generators/pixel/detail/NeighbourShapeSupport.h"

#include <array>
#include <span>

// The walk of the tile pixel shapes over the neighbour-shape helpers.
namespace QRCode::PixelShape::neighbours {

// Visits every module row by row, column by column, and lets
// `draw(sink, row, column, isOn)` hand the module's outlines in unit-cell
// coordinates to `out` through `sink`, ending each module's figures with
// out.endFigure(). Nothing when there is nothing to lay out.
template <class Draw> void tiledOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out, Draw&& draw) {
    const auto layout = ModuleLayout::of(matrix, size);
    if (!layout) return;
    forEachModule(matrix, *layout,
                  [&](std::int64_t row, std::int64_t column, bool on, const gfx::AffineTransform& placement) {
                      draw(TileSink(out, placement), row, column, on);
                      out.endFigure();
                  });
}

// A shape without settings that hands its outlines over module by module:
// Derived declares
//   void drawOutlines(const BoolMatrix&, gfx::Size, gfx::OutlineSink&);
//   static constexpr std::size_t elementsPerModule; // sizes a path up front
// and, when every module's figures stay inside its cell without overlapping,
//   static constexpr bool staysInModules = true;
// with, where curves bulge a little past the cell into a neighbour that
// draws nothing there, how far in cells:
//   static constexpr double reach;
template <class Derived> class TiledShape : public ShapeWithoutSettings<Derived> {
public:
    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override {
        return gfx::pathOfOutlines(onModuleCount(matrix) * Derived::elementsPerModule, [&](gfx::OutlineSink& sink) {
            static_cast<Derived&>(*this).drawOutlines(matrix, size, sink);
        });
    }
    void generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink) override {
        static_cast<Derived&>(*this).drawOutlines(matrix, size, sink);
    }
    bool outlinesByModule() const override { return true; }
    bool outlinesStayInModules() const override {
        if constexpr (requires { Derived::staysInModules; }) {
            return Derived::staysInModules;
        } else {
            return false;
        }
    }
    double outlinesReach() const override {
        if constexpr (requires { Derived::reach; }) {
            return Derived::reach;
        } else {
            return 0;
        }
    }
};

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
