#include "QRCode/PixelShape/NeighbourShapesB.h"

#include "QRCode/PixelShape/CurvePixel.h"
#include "QRCode/PixelShape/DripShapes.h"
#include "QRCode/PixelShape/StampShapes.h"
#include "QRCode/PixelShape/JoinedTileShapes.h"
#include "QRCode/PixelShape/Vortex.h"

#include <array>

namespace QRCode::PixelShape {

std::span<const PixelShapeClass> neighbourShapesB()
{
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
