#include "QRCode/PupilShape/EmblemPupils.h"

#include <array>

namespace QRCode::PupilShape {

gfx::Path Cross::pupilPath() { return {}; }
gfx::Path CrossCurved::pupilPath() { return {}; }
gfx::Path DotDragHorizontal::pupilPath() { return {}; }
gfx::Path DotDragVertical::pupilPath() { return {}; }
gfx::Path Explode::pupilPath() { return {}; }
gfx::Path Orbits::pupilPath() { return {}; }
gfx::Path Flame::pupilPath() { return {}; }
gfx::Path Heart::pupilPath() { return {}; }
gfx::Path Gear::pupilPath() { return {}; }
gfx::Path FabricScissors::pupilPath() { return {}; }
gfx::Path DiagonalStripes::pupilPath() { return {}; }

std::span<const PupilShapeClass> emblemPupils()
{
    static constexpr std::array<PupilShapeClass, 11> classes{{
        generatorClass<Cross, QRCodePupilShapeGenerator>(),
        generatorClass<CrossCurved, QRCodePupilShapeGenerator>(),
        generatorClass<Explode, QRCodePupilShapeGenerator>(),
        generatorClass<DotDragHorizontal, QRCodePupilShapeGenerator>(),
        generatorClass<DotDragVertical, QRCodePupilShapeGenerator>(),
        generatorClass<Orbits, QRCodePupilShapeGenerator>(),
        generatorClass<FabricScissors, QRCodePupilShapeGenerator>(),
        generatorClass<DiagonalStripes, QRCodePupilShapeGenerator>(),
        generatorClass<Flame, QRCodePupilShapeGenerator>(),
        generatorClass<Gear, QRCodePupilShapeGenerator>(),
        generatorClass<Heart, QRCodePupilShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PupilShape
