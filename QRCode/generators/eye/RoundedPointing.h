#pragma once

#include "QRCode/generators/eye/detail/FlipEye.h"
#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

#include <memory>

namespace QRCode::EyeShape {

// A ring with three corners rounded and a sharp one (at (80, 80) unflipped),
// mirrored by "flip"; its owned pointing-in pupil follows the flip.
class RoundedPointingIn final : public FlipEye<RoundedPointingIn> {
public:
    static constexpr std::string_view Name = "roundedPointingIn";
    static constexpr std::string_view Title = "Rounded Pointing In";

    using FlipEye::FlipEye;

    static const gfx::Path& ring();
    static const gfx::Path& background();
    static std::shared_ptr<QRCodePupilShapeGenerator> makePupil();
};

// The pointing-in ring turned by half a turn (sharp corner at (10, 10)),
// with the pointing-out pupil, which it owns. No settings.
class RoundedPointingOut final : public EyeWithoutSettings<RoundedPointingOut> {
public:
    static constexpr std::string_view Name = "roundedPointingOut";
    static constexpr std::string_view Title = "Rounded pointing out";

    RoundedPointingOut();

    gfx::Path eyePath() override { return coreEye_.eyePath(); }
    gfx::Path eyeBackgroundPath() override { return coreEye_.eyeBackgroundPath(); }
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override { return pupil_; }

private:
    RoundedPointingIn coreEye_{Flip::both};
    std::shared_ptr<QRCodePupilShapeGenerator> pupil_;
};

} // namespace QRCode::EyeShape
