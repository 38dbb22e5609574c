#include "QRCode/generators/pixel/detail/TileAndRingShapeClasses.h"

#include "QRCode/generators/pixel/CurvePixel.h"
#include "QRCode/generators/pixel/DripShapes.h"
#include "QRCode/generators/pixel/StampShapes.h"
#include "QRCode/generators/pixel/JoinedTileShapes.h"
#include "QRCode/generators/pixel/Vortex.h"

#include <array>

namespace QRCode::PixelShape {

std::span<const PixelShapeClass> tileAndRingShapeClasses() {
    static constexpr std::array<PixelShapeClass, 9> classes{{
        generatorClass<CurvePixel, QRCodePixelShapeGenerator>(),
        generatorClass<DripVertical, QRCodePixelShapeGenerator>(),
        generatorClass<DripHorizontal, QRCodePixelShapeGenerator>(),
        generatorClass<DiagonalStripes, QRCodePixelShapeGenerator>(),
        generatorClass<Donut, QRCodePixelShapeGenerator>(),
        generatorClass<Blob, QRCodePixelShapeGenerator>(),
        generatorClass<Circuit, QRCodePixelShapeGenerator>(),
        generatorClass<Crosshatch, QRCodePixelShapeGenerator>(),
        generatorClass<Vortex, QRCodePixelShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PixelShape
