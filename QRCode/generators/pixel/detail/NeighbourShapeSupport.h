#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/generators/detail/OutlineSteps.h"
#include "QRCode/generators/detail/WithoutSettings.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/OutlineSink.h"
#include "platform/gfx/Path.h"

#include <cmath>
#include <cstdint>
#include <algorithm>
#include <memory>
#include <optional>
#include <span>

// What the pixel shapes that look at their neighbours or draw fixed tiles
// share: where each module lies in the output, reading a module and its
// neighbours, and appending outlines of the 10 x 10 unit cell to the result
// without building a transformed copy per module.
namespace QRCode::PixelShape::neighbours {

// The module grid laid into an output size: cells of min(width, height) / n,
// the grid centred, row 0 at the top, x growing with the column.
struct ModuleLayout {
    std::int64_t n = 0;
    double cell = 0;
    double x0 = 0;
    double y0 = 0;

    // Nothing when there is nothing to draw: a matrix of dimension 0, or a
    // size that gives no positive, finite module size (a zero, negative or
    // non-finite size would otherwise produce degenerate or NaN geometry).
    static std::optional<ModuleLayout> of(const BoolMatrix& matrix, gfx::Size size) noexcept {
        const std::int64_t n = matrix.dimension();
        if (n <= 0) return std::nullopt;
        const auto dn = static_cast<double>(n);
        const double cell = std::min(size.width / dn, size.height / dn);
        if (!(cell > 0) || !std::isfinite(cell)) return std::nullopt;
        return ModuleLayout{n, cell, (size.width - dn * cell) * 0.5, (size.height - dn * cell) * 0.5};
    }

    gfx::Point origin(std::int64_t row, std::int64_t column) const noexcept {
        return {x0 + static_cast<double>(column) * cell, y0 + static_cast<double>(row) * cell};
    }

    gfx::Rect moduleRect(std::int64_t row, std::int64_t column) const noexcept {
        const gfx::Point o = origin(row, column);
        return {o.x, o.y, cell, cell};
    }

    // Places the 10 x 10 unit cell on a module: scale by cell / 10, then
    // translate to the module's origin.
    gfx::AffineTransform unitCellTransform(std::int64_t row, std::int64_t column) const noexcept {
        const gfx::Point o = origin(row, column);
        const double s = cell / 10;
        return {s, 0, 0, s, o.x, o.y};
    }
};

// How many modules are on (to size a path up front).
inline std::size_t onModuleCount(const BoolMatrix& matrix) noexcept {
    std::size_t count = 0;
    const std::uint8_t* cells = matrix.data();
    for (std::int64_t i = 0, n = matrix.dimension() * matrix.dimension(); i < n; ++i) count += cells[i];
    return count;
}

// Whether (row, column) is on; a cell outside the matrix counts as off.
inline bool isOn(const BoolMatrix& matrix, std::int64_t row, std::int64_t column) noexcept {
    const std::int64_t n = matrix.dimension();
    if (row < 0 || column < 0 || row >= n || column >= n) return false;
    return matrix.data()[row * n + column] != 0;
}

// How many of the four edge neighbours (left, top, right, bottom) are on.
inline int edgeNeighbourCount(const BoolMatrix::NeighbourInfo& info) noexcept {
    return int(info.left) + int(info.top) + int(info.right) + int(info.bottom);
}

// Hands unit-cell outlines to `out` through one transform (usually
// ModuleLayout::unitCellTransform).
class TileSink {
public:
    TileSink(gfx::OutlineSink& out, const gfx::AffineTransform& transform) noexcept : out_(out), m_(transform) {}

    gfx::Point map(gfx::Point p) const noexcept { return m_.apply(p); }

    void moveTo(gfx::Point p) const { out_.moveTo(map(p)); }
    void lineTo(gfx::Point p) const { out_.lineTo(map(p)); }
    void curveTo(gfx::Point c1, gfx::Point c2, gfx::Point end) const { out_.curveTo(map(c1), map(c2), map(end)); }
    void close() const { out_.closeSubpath(); }

    void append(std::span<const OutlineStep> steps) const { appendOutline(out_, steps, m_); }

    // A path (in unit-cell coordinates), element by element.
    void append(const gfx::Path& outline) const { out_.append(outline, m_); }
    // A path that outlives the sink unchanged (a shape's fixed outline).
    void appendFixed(const gfx::Path& outline) const { out_.appendFixed(outline, m_); }

    // The rectangle (x, y, w, h) of the unit cell as a rectangle path:
    // move to its top-left corner, lines round, close.
    void appendRect(double x, double y, double w, double h) const {
        moveTo({x, y});
        lineTo({x + w, y});
        lineTo({x + w, y + h});
        lineTo({x, y + h});
        close();
    }

    // The rectangle (x, y, w, h) of the unit cell with corners rounded by
    // `radius` (a plain rectangle when radius is 0 or less).
    void appendRoundedRect(double x, double y, double w, double h, double radius) const {
        appendRoundedRect(gfx::Rect(x, y, w, h), radius, radius);
    }
    // gfx::Path::addRoundedRect through the sink's transform.
    void appendRoundedRect(const gfx::Rect& r, double cornerWidth, double cornerHeight) const {
        out_.addRoundedRect(r, cornerWidth, cornerHeight, m_);
    }

private:
    gfx::OutlineSink& out_;
    gfx::AffineTransform m_;
};

// Visits every module row by row from row 0, column by column within a row,
// calling f(row, column, isOn, transform) with the module's unit-cell
// placement. Nothing is visited when the layout is empty.
template <class F> void forEachModule(const BoolMatrix& matrix, const ModuleLayout& layout, F&& f) {
    const std::uint8_t* cells = matrix.data();
    for (std::int64_t row = 0; row < layout.n; ++row) {
        for (std::int64_t column = 0; column < layout.n; ++column) {
            f(row, column, cells[row * layout.n + column] != 0, layout.unitCellTransform(row, column));
        }
    }
}

// The frame of a pixel shape without settings: made by its parameterless
// constructor, Create ignores its dictionary, copies are fresh instances,
// reset does nothing and every key is refused. Derived declares Name, Title
// and generatePath, and may declare
//   static constexpr bool canGenerateEyeAndPupil = false;
template <class Derived> class ShapeWithoutSettings : public WithoutSettings<Derived, QRCodePixelShapeGenerator> {
public:
    bool canGenerateEyeAndPupilShapes() const override {
        if constexpr (requires { Derived::canGenerateEyeAndPupil; }) {
            return Derived::canGenerateEyeAndPupil;
        } else {
            return true;
        }
    }
};

} // namespace QRCode::PixelShape::neighbours
