#pragma once

#include "QRCode/generators/pixel/detail/NeighbourShapeSupport.h"

namespace QRCode::PixelShape {

// Every on-module filled with seven parallel diagonal bands; neighbours are
// not looked at. No settings.
class DiagonalStripes final : public neighbours::ShapeWithoutSettings<DiagonalStripes> {
public:
    static constexpr std::string_view Name = "diagonalStripes";
    static constexpr std::string_view Title = "DiagonalStripes";
    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override;
};

// Every on-module a disc of diameter 10 with a round hole of diameter 3.
// No settings.
class Donut final : public neighbours::ShapeWithoutSettings<Donut> {
public:
    static constexpr std::string_view Name = "donut";
    static constexpr std::string_view Title = "Donut";
    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override;
};

} // namespace QRCode::PixelShape
