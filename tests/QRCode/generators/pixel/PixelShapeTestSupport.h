#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/generators/PixelShapeFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

// Helpers shared by the pixel-shape suites.
namespace pixelshapetest {

inline std::shared_ptr<QRCode::QRCodePixelShapeGenerator> make(const std::string& name,
                                                               const QRCode::SettingsDict& settings = {}) {
    return QRCode::QRCodePixelShapeFactory::shared().named(name, settings);
}

// A matrix from rows of '#' (on) and '.' (off).
inline QRCode::BoolMatrix grid(const std::vector<std::string>& rows) {
    QRCode::BoolMatrix m(static_cast<std::int64_t>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) m.set(std::int64_t(r), std::int64_t(c), rows[r][c] == '#');
    }
    return m;
}

// Drawn with 10 units per module: module (r, c) spans x 10c...10c + 10 and
// y 10r...10r + 10, so its unit-cell points are shifted by its origin.
inline gfx::Path drawn(QRCode::QRCodePixelShapeGenerator& shape, const QRCode::BoolMatrix& m) {
    const double side = 10.0 * static_cast<double>(m.dimension());
    return shape.generatePath(m, gfx::Size{side, side});
}

inline QRCode::BoolMatrix allOn(int n) {
    return QRCode::BoolMatrix(n, std::vector<bool>(std::size_t(n) * std::size_t(n), true));
}

// Whether the unit-cell point (x, y) of module (row, column) of a drawing
// at 10 units per module is covered under the non-zero rule, and (where
// tiles must not overlap) alike under the even-odd rule.
inline bool covered(const gfx::Path& path, int row, int column, double x, double y, bool rulesAgree = true) {
    const gfx::Point p{column * 10 + x, row * 10 + y};
    const bool nonZero = path.contains(p, gfx::FillRule::nonZero);
    if (rulesAgree) {
        EXPECT_EQ(nonZero, path.contains(p, gfx::FillRule::evenOdd)) << "at " << p.x << ", " << p.y;
    }
    return nonZero;
}

// A point of a module's unit cell, as `covered` takes it.
struct ModulePoint {
    int row, column;
    double x, y;
};

// Expects every point covered (or, with `expected` false, every point
// left empty).
inline void expectCovered(const gfx::Path& path, std::initializer_list<ModulePoint> points, bool expected,
                          bool rulesAgree = true) {
    for (const auto& p : points) {
        EXPECT_EQ(covered(path, p.row, p.column, p.x, p.y, rulesAgree), expected)
            << "module " << p.row << "," << p.column << " at " << p.x << "," << p.y;
    }
}

// The bounds of each closed figure of a path, in order.
inline std::vector<gfx::Rect> figureBounds(const gfx::Path& path) {
    std::vector<gfx::Rect> rects;
    gfx::Path figure;
    for (const auto& e : path.elements()) {
        if (e.type == gfx::Path::ElementType::moveToPoint) figure = gfx::Path();
        switch (e.type) {
        case gfx::Path::ElementType::moveToPoint: figure.moveTo(e.points[0]); break;
        case gfx::Path::ElementType::addLineToPoint: figure.lineTo(e.points[0]); break;
        case gfx::Path::ElementType::addQuadCurveToPoint: figure.quadTo(e.points[0], e.points[1]); break;
        case gfx::Path::ElementType::addCurveToPoint: figure.curveTo(e.points[0], e.points[1], e.points[2]); break;
        case gfx::Path::ElementType::closeSubpath: rects.push_back(figure.pathBoundingBox()); break;
        }
    }
    return rects;
}

inline std::size_t count(const gfx::Path& path, gfx::Path::ElementType type) {
    return static_cast<std::size_t>(std::count_if(path.elements().begin(), path.elements().end(),
                                                  [type](const auto& e) { return e.type == type; }));
}

inline std::size_t subpaths(const gfx::Path& path) { return count(path, gfx::Path::ElementType::moveToPoint); }

inline void expectRect(const gfx::Rect& actual, double x, double y, double w, double h, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.minX(), x, tolerance);
    EXPECT_NEAR(actual.minY(), y, tolerance);
    EXPECT_NEAR(actual.width(), w, tolerance);
    EXPECT_NEAR(actual.height(), h, tolerance);
}

} // namespace pixelshapetest
