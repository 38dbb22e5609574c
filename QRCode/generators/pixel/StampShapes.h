#pragma once

#include "QRCode/generators/pixel/detail/TileWalk.h"

namespace QRCode::PixelShape {

// Every on-module filled with seven parallel diagonal bands; neighbours are
// not looked at. No settings.
class DiagonalStripes final : public neighbours::TiledShape<DiagonalStripes> {
public:
    static constexpr std::string_view Name = "diagonalStripes";
    static constexpr std::string_view Title = "DiagonalStripes";
    static constexpr std::size_t elementsPerModule = 40;
    static constexpr bool staysInModules = true;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

// Every on-module a disc of diameter 10 with a round hole of diameter 3.
// No settings.
class Donut final : public neighbours::TiledShape<Donut> {
public:
    static constexpr std::string_view Name = "donut";
    static constexpr std::string_view Title = "Donut";
    static constexpr std::size_t elementsPerModule = 14;
    static constexpr bool staysInModules = true;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

} // namespace QRCode::PixelShape
