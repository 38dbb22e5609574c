#include "QRCode/EyeShape/RoundedCornerEyes.h"

#include "QRCode/EyeShape/RoundedPointing.h"
#include "QRCode/EyeShape/RoundedRectSquircle.h"
#include "QRCode/EyeShape/Shield.h"
#include "QRCode/EyeShape/SpikyPegBars.h"
#include "QRCode/EyeShape/TeardropUFO.h"
#include "QRCode/EyeShape/UsePixelShape.h"

#include <array>

namespace QRCode::EyeShape {

std::span<const EyeShapeClass> roundedCornerEyes()
{
    // In the order of registration (which only matters for equal titles).
    static constexpr std::array<EyeShapeClass, 12> classes{{
        generatorClass<RoundedRect, QRCodeEyeShapeGenerator>(),
        generatorClass<Squircle, QRCodeEyeShapeGenerator>(),
        generatorClass<RoundedPointingIn, QRCodeEyeShapeGenerator>(),
        generatorClass<RoundedPointingOut, QRCodeEyeShapeGenerator>(),
        generatorClass<Shield, QRCodeEyeShapeGenerator>(),
        generatorClass<UsePixelShape, QRCodeEyeShapeGenerator>(),
        generatorClass<Teardrop, QRCodeEyeShapeGenerator>(),
        generatorClass<UFO, QRCodeEyeShapeGenerator>(),
        generatorClass<UFORounded, QRCodeEyeShapeGenerator>(),
        generatorClass<SquarePeg, QRCodeEyeShapeGenerator>(),
        generatorClass<SpikyCircle, QRCodeEyeShapeGenerator>(),
        generatorClass<SurroundingBars, QRCodeEyeShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::EyeShape
