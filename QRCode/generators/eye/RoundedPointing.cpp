#include "QRCode/generators/eye/RoundedPointing.h"

#include "QRCode/generators/pupil/RoundedPupils.h"

namespace QRCode::EyeShape {

using namespace outline;

namespace {

// Unflipped: the outer square 10...80 and the hole 20...70, each with the
// corners away from (80, 80) rounded (radius 23 outside, 13 inside). The
// hole runs first and against the outer edge.
constexpr OutlineStep kRing[] = {
    M(57, 20),
    L(33, 20),
    C({20, 33}, {25.82, 20}, {20, 25.82}),
    L(20, 57),
    C({33, 70}, {20, 64.18}, {25.82, 70}),
    L(70, 70),
    L(70, 33),
    C({57, 20}, {70, 25.82}, {64.18, 20}),
    Z(),
    M(80, 33),
    L(80, 80),
    L(33, 80),
    C({10, 57}, {20.3, 80}, {10, 69.7}),
    L(10, 33),
    C({33, 10}, {10, 20.3}, {20.3, 10}),
    L(57, 10),
    C({80, 33}, {69.7, 10}, {80, 20.3}),
    Z(),
};

// Unflipped: the whole box with a sharp corner at (90, 0), which the
// renderer's top-to-bottom mirror puts under the ring's sharp corner.
constexpr OutlineStep kBackground[] = {
    M(90, 60.43), L(90, 0),
    L(29.57, 0),  C({0, 29.57}, {13.24, 0}, {0, 13.24}),
    L(0, 60.43),  C({29.57, 90}, {0, 76.76}, {13.24, 90}),
    L(60.43, 90), C({90, 60.43}, {76.76, 90}, {90, 76.76}),
    Z(),
};

} // namespace

const gfx::Path& RoundedPointingIn::ring() { return cachedOutline<kRing>(); }

const gfx::Path& RoundedPointingIn::background() { return cachedOutline<kBackground>(); }

std::shared_ptr<QRCodePupilShapeGenerator> RoundedPointingIn::makePupil() {
    return PupilShape::RoundedPointingIn::Create();
}

RoundedPointingOut::RoundedPointingOut() : pupil_(PupilShape::RoundedPointingOut::Create()) {}

} // namespace QRCode::EyeShape
