#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"
#include "QRCode/generators/eye/FlippingEyes.h"

namespace QRCode::EyeShape {

// Eyes that draw with an Eye of a fixed inner style and hand out a pupil of
// their own. No settings; a copy gets its own inner eye and pupil. The
// derived class declares Name, Title, the inner style and
//   static std::shared_ptr<QRCodePupilShapeGenerator> makePupil();
template <class Derived> class CompositeEye : public EyeWithoutSettings<Derived> {
public:
    CompositeEye() : coreEyeGenerator_(Flip::none, Derived::innerStyle), corePupilGenerator_(Derived::makePupil()) {}

    gfx::Path eyePath() override { return coreEyeGenerator_.eyePath(); }
    gfx::Path eyeBackgroundPath() override { return coreEyeGenerator_.eyeBackgroundPath(); }
    // The eye's own pupil, the same object on every call.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override { return corePupilGenerator_; }

private:
    Eye coreEyeGenerator_;
    std::shared_ptr<QRCodePupilShapeGenerator> corePupilGenerator_;
};

// Fireball: the Eye ring with the hole's quarter toward (20, 20) squared,
// and a teardrop pupil.
class Fireball final : public CompositeEye<Fireball> {
public:
    static constexpr std::string_view Name = "fireball";
    static constexpr std::string_view Title = "Fireball";
    static constexpr Eye::Style innerStyle = Eye::Style::squaredNearCorner;
    static std::shared_ptr<QRCodePupilShapeGenerator> makePupil();
};

// Peacock: the Eye ring with the hole's quarter toward (70, 70) squared, and
// a circle pupil.
class Peacock final : public CompositeEye<Peacock> {
public:
    static constexpr std::string_view Name = "peacock";
    static constexpr std::string_view Title = "Peacock";
    static constexpr Eye::Style innerStyle = Eye::Style::squaredFarCorner;
    static std::shared_ptr<QRCodePupilShapeGenerator> makePupil();
};

} // namespace QRCode::EyeShape
