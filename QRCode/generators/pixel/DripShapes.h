#pragma once

#include "QRCode/generators/pixel/detail/TileWalk.h"

namespace QRCode::PixelShape {

// Every on-module a round dot of diameter 9, joined by a narrow neck to its
// on neighbours along the rows: runs become chains of drops. No settings.
class DripHorizontal final : public neighbours::TiledShape<DripHorizontal> {
public:
    static constexpr std::string_view Name = "dripHorizontal";
    static constexpr std::string_view Title = "Drip Horizontal";
    static constexpr std::size_t elementsPerModule = 14;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

// As DripHorizontal, joined along the columns instead.
class DripVertical final : public neighbours::TiledShape<DripVertical> {
public:
    static constexpr std::string_view Name = "dripVertical";
    static constexpr std::string_view Title = "Drip Vertical";
    static constexpr std::size_t elementsPerModule = 14;
    static constexpr bool staysInModules = true;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

} // namespace QRCode::PixelShape
