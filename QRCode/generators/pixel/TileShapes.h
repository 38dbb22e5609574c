#pragma once

#include "QRCode/generators/pixel/detail/TileWalk.h"

#include <string_view>

// Pixel shapes that draw each module as one or more fixed outlines of the
// 10 x 10 unit cell, chosen (for Pointy and Razor) from the module's edge
// neighbours. None of them has settings.
namespace QRCode::PixelShape {

// Every on-module a square, except the end of a line (exactly one edge
// neighbour on), which comes to a point facing away from that neighbour.
class Pointy final : public neighbours::TiledShape<Pointy> {
public:
    static constexpr std::string_view Name = "pointy";
    static constexpr std::string_view Title = "Pointy";
    static constexpr std::size_t elementsPerModule = 6;
    static constexpr bool staysInModules = true;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

// Every on-module a grid of small squares whose gaps continue across module
// edges, so that neighbouring modules form one lattice.
class Grid2x2 final : public neighbours::TiledShape<Grid2x2> {
public:
    static constexpr std::string_view Name = "grid2x2";
    static constexpr std::string_view Title = "2x2 Square Grid";
    static constexpr std::size_t elementsPerModule = 24;
    static constexpr bool staysInModules = true;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

class Grid3x3 final : public neighbours::TiledShape<Grid3x3> {
public:
    static constexpr std::string_view Name = "grid3x3";
    static constexpr std::string_view Title = "3x3 Square Grid";
    static constexpr std::size_t elementsPerModule = 54;
    static constexpr bool staysInModules = true;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

class Grid4x4 final : public neighbours::TiledShape<Grid4x4> {
public:
    static constexpr std::string_view Name = "grid4x4";
    static constexpr std::string_view Title = "4x4 Square Grid";
    static constexpr std::size_t elementsPerModule = 96;
    static constexpr bool staysInModules = true;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

// Connected modules as one smooth body: line ends swept off at one corner
// (in a pinwheel order), outer corners of bends rounded, lone modules
// rounded squares, and the inner corners of the on-region filled with small
// concave fillets drawn in the off-module that sits in the corner.
class Razor final : public neighbours::TiledShape<Razor> {
public:
    static constexpr std::string_view Name = "razor";
    static constexpr std::string_view Title = "Razor";
    static constexpr std::size_t elementsPerModule = 10;
    // A line end's sweep bulges 0.0408 units (of 10) past the side whose
    // neighbour is off, halfway along it, where that neighbour has no
    // fillet: no two modules' figures overlap.
    static constexpr bool staysInModules = true;
    static constexpr double reach = 0.005;
    void drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink);
};

} // namespace QRCode::PixelShape
