#pragma once

#include "QRCode/generators/pixel/detail/TileWalk.h"

namespace QRCode::PixelShape {

// Every on-module a square whose outer corners are rounded (radius 3) where
// nothing touches them, and every concave corner between two on-modules
// filled with a small fillet, so touching modules flow into one another.
// No settings.
class Blob final : public neighbours::TiledShape<Blob> {
public:
    static constexpr std::string_view Name = "blob";
    static constexpr std::string_view Title = "Blob";
    static constexpr std::size_t elementsPerModule = 10;
    static constexpr bool staysInModules = true;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

// Every on-module a round pad with a straight trace to each on-module
// beside, above or below it. No settings.
class Circuit final : public neighbours::TiledShape<Circuit> {
public:
    static constexpr std::string_view Name = "circuit";
    static constexpr std::string_view Title = "Circuit";
    static constexpr std::size_t elementsPerModule = 14;
    static constexpr bool staysInModules = true;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

// Every on-module a disc with an arm through each corner whose diagonal
// neighbour is on, so diagonal runs become chains of beads. No settings.
class Crosshatch final : public neighbours::TiledShape<Crosshatch> {
public:
    static constexpr std::string_view Name = "crosshatch";
    static constexpr std::string_view Title = "Crosshatch";
    static constexpr std::size_t elementsPerModule = 14;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

} // namespace QRCode::PixelShape
