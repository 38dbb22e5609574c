#include "QRCode/PupilShape/UsePixelShape.h"

#include <array>

namespace QRCode::PupilShape {

gfx::Path UsePixelShape::pupilPath() { return {}; }

std::span<const PupilShapeClass> usePixelShapePupils()
{
    static constexpr std::array<PupilShapeClass, 1> classes{{
        generatorClass<UsePixelShape, QRCodePupilShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PupilShape
