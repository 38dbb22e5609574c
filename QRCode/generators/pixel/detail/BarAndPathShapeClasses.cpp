#include "QRCode/generators/pixel/detail/BarAndPathShapeClasses.h"

#include "QRCode/generators/pixel/Bars.h"
#include "QRCode/generators/pixel/RoundedPath.h"
#include "QRCode/generators/pixel/TileShapes.h"

#include <array>

namespace QRCode::PixelShape {

std::span<const PixelShapeClass> barAndPathShapeClasses() {
    static constexpr std::array<PixelShapeClass, 9> classes{{
        generatorClass<Vertical, QRCodePixelShapeGenerator>(),
        generatorClass<Horizontal, QRCodePixelShapeGenerator>(),
        generatorClass<Pointy, QRCodePixelShapeGenerator>(),
        generatorClass<Grid2x2, QRCodePixelShapeGenerator>(),
        generatorClass<Grid3x3, QRCodePixelShapeGenerator>(),
        generatorClass<Grid4x4, QRCodePixelShapeGenerator>(),
        generatorClass<Razor, QRCodePixelShapeGenerator>(),
        generatorClass<RoundedPath, QRCodePixelShapeGenerator>(),
        generatorClass<RoundedEndIndent, QRCodePixelShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PixelShape
