#include "QRCode/generators/eye/RoundedCornerEyes.h"

#include "QRCode/generators/eye/RoundedPointing.h"
#include "QRCode/generators/eye/RoundedRectSquircle.h"
#include "QRCode/generators/eye/Shield.h"
#include "QRCode/generators/eye/SpikyPegBars.h"
#include "QRCode/generators/eye/TeardropUFO.h"
#include "QRCode/generators/eye/UsePixelShape.h"

#include <array>

namespace QRCode::EyeShape {

std::span<const EyeShapeClass> roundedCornerEyes() {
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
