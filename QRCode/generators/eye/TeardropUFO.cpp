#include "QRCode/generators/eye/TeardropUFO.h"

#include "QRCode/generators/pupil/RoundedPupils.h"

namespace QRCode::EyeShape {

using namespace outline;

namespace {

// In every ring the hole comes first and runs against the outer edge. The
// backgrounds are stated upside down, as the renderer mirrors them by
// y -> 90 - y before placing them under the ring.

constexpr OutlineStep kTeardropRing[] = {
    M(45, 70),
    C({20, 45}, {31.19, 70}, {20, 58.81}),
    L(20, 20),
    L(45, 20),
    C({70, 45}, {58.81, 20}, {70, 31.19}),
    C({45, 70}, {70, 58.81}, {58.81, 70}),
    Z(),
    M(80, 45),
    C({45, 10}, {80, 25.67}, {64.33, 10}),
    L(10, 10),
    L(10, 45),
    C({45, 80}, {10, 64.33}, {25.67, 80}),
    C({80, 45}, {64.33, 80}, {80, 64.33}),
    Z(),
};

constexpr OutlineStep kTeardropBackground[] = {
    M(90, 45), C({45, 90}, {90, 69.85}, {69.85, 90}), L(0, 90),
    L(0, 45),  C({45, 0}, {0, 20.15}, {20.15, 0}),    C({90, 45}, {69.85, 0}, {90, 20.15}),
    Z(),
};

constexpr OutlineStep kUFORing[] = {
    M(70, 70),
    L(45, 70),
    C({20, 45}, {31.19, 70}, {20, 58.81}),
    L(20, 20),
    L(45, 20),
    C({70, 45}, {58.81, 20}, {70, 31.19}),
    C({70, 58.44}, {70, 45}, {70, 51.89}),
    C({70, 70}, {70, 64.36}, {70, 70}),
    Z(),
    M(80, 80),
    C({80, 74.22}, {80, 80}, {80, 77.67}),
    C({80, 45}, {80, 64.28}, {80, 45}),
    C({45, 10}, {80, 25.67}, {64.33, 10}),
    L(10, 10),
    L(10, 45),
    C({45, 80}, {10, 64.33}, {25.67, 80}),
    L(80, 80),
    Z(),
};

constexpr OutlineStep kUFOBackground[] = {
    M(90, 0),
    C({90, 45}, {90, 0}, {90, 45}),
    C({45, 90}, {90, 69.85}, {69.85, 90}),
    L(0, 90),
    L(0, 45),
    C({45, 0}, {0, 20.15}, {20.15, 0}),
    L(90, 0),
    Z(),
};

constexpr OutlineStep kUFORoundedRing[] = {
    M(62, 70),
    L(45, 70),
    C({20, 45}, {31.19, 70}, {20, 58.81}),
    L(20, 28),
    C({23.87, 21.14}, {20, 25.09}, {21.55, 22.55}),
    C({28, 20}, {25.08, 20.42}, {26.49, 20}),
    L(45, 20),
    C({70, 45}, {58.81, 20}, {70, 31.19}),
    L(70, 62),
    C({62, 70}, {70, 66.42}, {66.42, 70}),
    Z(),
    M(80, 62.5),
    L(80, 45),
    C({45, 10}, {80, 25.67}, {64.33, 10}),
    L(27.5, 10),
    C({20.54, 11.44}, {25.03, 10}, {22.67, 10.51}),
    C({17.14, 13.39}, {19.33, 11.96}, {18.19, 12.62}),
    C({10, 27.5}, {12.81, 16.58}, {10, 21.71}),
    L(10, 45),
    C({45, 80}, {10, 64.33}, {25.67, 80}),
    L(62.5, 80),
    C({80, 62.5}, {72.16, 80}, {80, 72.16}),
    Z(),
};

constexpr OutlineStep kUFORoundedBackground[] = {
    M(90, 22.5),
    L(90, 45),
    C({45, 90}, {90, 69.85}, {69.85, 90}),
    L(22.5, 90),
    C({9.18, 85.64}, {17.52, 90}, {12.91, 88.38}),
    C({0, 67.5}, {3.61, 81.54}, {0, 74.94}),
    L(0, 45),
    C({45, 0}, {0, 20.15}, {20.15, 0}),
    L(67.5, 0),
    C({90, 22.5}, {79.93, 0}, {90, 10.07}),
    Z(),
};

} // namespace

const gfx::Path& Teardrop::ring() { return cachedOutline<kTeardropRing>(); }

const gfx::Path& Teardrop::background() { return cachedOutline<kTeardropBackground>(); }

std::shared_ptr<QRCodePupilShapeGenerator> Teardrop::makePupil() { return PupilShape::Teardrop::Create(); }

const gfx::Path& UFO::ring() { return cachedOutline<kUFORing>(); }

const gfx::Path& UFO::background() { return cachedOutline<kUFOBackground>(); }

std::shared_ptr<QRCodePupilShapeGenerator> UFO::makePupil() { return PupilShape::UFO::Create(); }

const gfx::Path& UFORounded::ring() { return cachedOutline<kUFORoundedRing>(); }

const gfx::Path& UFORounded::background() { return cachedOutline<kUFORoundedBackground>(); }

std::shared_ptr<QRCodePupilShapeGenerator> UFORounded::makePupil() { return PupilShape::UFORounded::Create(); }

} // namespace QRCode::EyeShape
