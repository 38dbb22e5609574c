#include "QRCode/generators/pupil/RoundedPupils.h"

#include "QRCode/core/detail/DrawingHelpers.h"
#include "QRCode/generators/detail/OutlineSteps.h"

#include <array>

namespace QRCode::PupilShape {

namespace {

using namespace outline;

constexpr OutlineStep kRoundedOuter[] = {
    M(36, 30), L(60, 30), L(60, 60), L(30, 60), L(30, 36), C({36, 30}, {30, 30}, {36, 30}), Z(),
};

constexpr OutlineStep kTeardrop[] = {
    M(60, 45), C({45, 30}, {60, 36.72}, {53.28, 30}), L(30, 30),
    L(30, 45), C({45, 60}, {30, 53.28}, {36.72, 60}), C({60, 45}, {53.28, 60}, {60, 53.28}),
    Z(),
};

// The first curve has its controls on its chord: a straight edge.
constexpr OutlineStep kUFO[] = {
    M(60, 60),
    C({60, 45}, {60, 60}, {60, 45}),
    C({45, 30}, {60, 36.72}, {53.28, 30}),
    L(30, 30),
    L(30, 45),
    C({45, 60}, {30, 53.28}, {36.72, 60}),
    L(60, 60),
    L(60, 60),
    Z(),
};

constexpr OutlineStep kUFORounded[] = {
    M(60, 56),
    L(60, 45),
    C({45, 30}, {60, 36.72}, {53.28, 30}),
    L(34, 30),
    C({32.47, 30.3}, {33.46, 30}, {32.94, 30.11}),
    C({30, 34}, {31.02, 30.9}, {30, 32.33}),
    L(30, 45),
    C({45, 60}, {30, 53.28}, {36.72, 60}),
    L(56, 60),
    C({60, 56}, {58.21, 60}, {60, 58.21}),
    Z(),
};

} // namespace

gfx::Path RoundedOuter::baseOutline() const { return outlinePath(kRoundedOuter); }

// The corners (30, 30), (60, 30) and (30, 60) rounded by 6.
gfx::Path RoundedPointingIn::baseOutline() const { return PathFromRectCorners(11, gfx::Rect(30, 30, 30, 30), 6); }

gfx::Path RoundedPointingOut::pupilPath() { return pupilShape_.pupilPath(); }

gfx::Path Teardrop::baseOutline() const { return outlinePath(kTeardrop); }

const gfx::Path& UFO::baseOutline() const { return cachedOutline<kUFO>(); }

const gfx::Path& UFORounded::baseOutline() const { return cachedOutline<kUFORounded>(); }

std::span<const PupilShapeClass> roundedPupils() {
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
