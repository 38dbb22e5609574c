#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

namespace QRCode::EyeShape {

// The ring as its 24 modules, each a 9 x 9 square with a unit gap to the
// next, the outer corner of each of the four corner modules rounded by
// cornerRadiusFraction x 5 units.
class CorneredPixels final : public CornerRadiusEye<CorneredPixels> {
public:
    static constexpr std::string_view Name = "corneredPixels";
    static constexpr std::string_view Title = "Cornered pixels";
    static constexpr double DefaultCornerRadius = 0.65;

    using CornerRadiusEye::CornerRadiusEye;
    // The radius follows the stored fraction unclamped (drawing limits it).
    static double radiusFor(double fraction) noexcept { return fraction * 5; }

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    // A new pupil on every call, with this eye's fraction.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

} // namespace QRCode::EyeShape
