#include "QRCode/generators/pupil/LeafPupils.h"

#include "QRCode/core/detail/DrawingHelpers.h"
#include "QRCode/generators/detail/OutlineSteps.h"

#include <array>

namespace QRCode::PupilShape {

namespace {

using namespace outline;

// Listed top-down; kept mirrored. Control points reach beyond the pupil
// square.
constexpr OutlineStep kForest[] = {
    M(36.68, 33.18),
    C({30.56, 60}, {27.26, 40.33}, {30.56, 60}),
    C({35.74, 57.76}, {30.56, 60}, {31.7, 57.76}),
    C({56.45, 53.29}, {42.33, 57.76}, {50.33, 60}),
    C({57.86, 33.18}, {63.51, 46.59}, {57.86, 33.18}),
    C({36.68, 33.18}, {57.86, 33.18}, {46.09, 26.03}),
    Z(),
};

// Listed top-down; kept mirrored.
constexpr OutlineStep kKoala[] = {
    M(31.62, 58.38),
    C({59.77, 49.43}, {36.42, 63.18}, {57.53, 56.46}),
    C({40.57, 30.23}, {62, 42.39}, {47.61, 28}),
    C({31.62, 58.38}, {33.54, 32.47}, {26.82, 53.58}),
    Z(),
};

const gfx::Rect kPupilSquare(30, 30, 30, 30);

} // namespace

const gfx::Path& Forest::baseOutline() const {
    static const gfx::Path outline = [] {
        gfx::Path path = mirroredTopDown(outlinePath(kForest), kShapeBoxSize);
        path.closeSubpath();
        return path;
    }();
    return outline;
}

const gfx::Path& HexagonLeaf::baseOutline() const {
    static const gfx::Path outline = RectPathBuilder(true, kPupilSquare, 3);
    return outline;
}

const gfx::Path& Koala::baseOutline() const {
    static const gfx::Path outline = mirroredTopDown(outlinePath(kKoala), kShapeBoxSize);
    return outline;
}

const gfx::Path& Leaf::baseOutline() const {
    static const gfx::Path outline = PathFromRectCorners(10, kPupilSquare, 6);
    return outline;
}

std::span<const PupilShapeClass> leafPupils() {
    static constexpr std::array<PupilShapeClass, 4> classes{{
        generatorClass<Leaf, QRCodePupilShapeGenerator>(),
        generatorClass<HexagonLeaf, QRCodePupilShapeGenerator>(),
        generatorClass<Forest, QRCodePupilShapeGenerator>(),
        generatorClass<Koala, QRCodePupilShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PupilShape
