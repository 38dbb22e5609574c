#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/generators/PixelShapeFactory.h"

#include <memory>
#include <string>
#include <vector>

// Helpers shared by the pixel-shape suites.
namespace pixelshapetest {

inline std::shared_ptr<QRCode::QRCodePixelShapeGenerator> make(const std::string& name,
                                                       const QRCode::SettingsDict& settings = {})
{
    return QRCode::QRCodePixelShapeFactory::shared().named(name, settings);
}

// A matrix from rows of '#' (on) and '.' (off).
inline QRCode::BoolMatrix grid(const std::vector<std::string>& rows)
{
    QRCode::BoolMatrix m(static_cast<std::int64_t>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) m.set(std::int64_t(r), std::int64_t(c), rows[r][c] == '#');
    }
    return m;
}

// Drawn with 10 units per module: module (r, c) spans x 10c...10c + 10 and
// y 10r...10r + 10, so its unit-cell points are shifted by its origin.
inline gfx::Path drawn(QRCode::QRCodePixelShapeGenerator& shape, const QRCode::BoolMatrix& m)
{
    const double side = 10.0 * static_cast<double>(m.dimension());
    return shape.generatePath(m, gfx::Size{side, side});
}

} // namespace pixelshapetest
