#include "QRCode/PupilShape/LeafPupils.h"

#include <array>

namespace QRCode::PupilShape {

const gfx::Path& Forest::baseOutline() const { static const gfx::Path outline; return outline; }
const gfx::Path& HexagonLeaf::baseOutline() const { static const gfx::Path outline; return outline; }
const gfx::Path& Koala::baseOutline() const { static const gfx::Path outline; return outline; }
const gfx::Path& Leaf::baseOutline() const { static const gfx::Path outline; return outline; }

std::span<const PupilShapeClass> leafPupils()
{
    static constexpr std::array<PupilShapeClass, 4> classes{{
        generatorClass<Leaf, QRCodePupilShapeGenerator>(),
        generatorClass<HexagonLeaf, QRCodePupilShapeGenerator>(),
        generatorClass<Forest, QRCodePupilShapeGenerator>(),
        generatorClass<Koala, QRCodePupilShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PupilShape
