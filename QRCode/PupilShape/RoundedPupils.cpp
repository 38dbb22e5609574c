#include "QRCode/PupilShape/RoundedPupils.h"

#include <array>

namespace QRCode::PupilShape {

gfx::Path RoundedPointingOut::pupilPath() { return {}; }
gfx::Path RoundedOuter::baseOutline() const { return {}; }
gfx::Path RoundedPointingIn::baseOutline() const { return {}; }
gfx::Path Teardrop::baseOutline() const { return {}; }
const gfx::Path& UFO::baseOutline() const { static const gfx::Path outline; return outline; }
const gfx::Path& UFORounded::baseOutline() const { static const gfx::Path outline; return outline; }

std::span<const PupilShapeClass> roundedPupils()
{
    static constexpr std::array<PupilShapeClass, 6> classes{{
        generatorClass<RoundedPointingIn, QRCodePupilShapeGenerator>(),
        generatorClass<RoundedPointingOut, QRCodePupilShapeGenerator>(),
        generatorClass<RoundedOuter, QRCodePupilShapeGenerator>(),
        generatorClass<Teardrop, QRCodePupilShapeGenerator>(),
        generatorClass<UFO, QRCodePupilShapeGenerator>(),
        generatorClass<UFORounded, QRCodePupilShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PupilShape
