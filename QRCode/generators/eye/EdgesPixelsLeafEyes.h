#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

namespace QRCode::EyeShape {

// Four rounded bars on the middle of the ring's sides; the ring's corners
// stay empty. cornerRadiusFraction 1 gives bar ends of full half-circles.
class Edges final : public CornerRadiusEye<Edges> {
public:
    static constexpr std::string_view Name = "edges";
    static constexpr std::string_view Title = "Edges";
    static constexpr double DefaultCornerRadius = 1.0;

    using CornerRadiusEye::CornerRadiusEye;

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    // One pupil shared by every Edges eye, rounded by the pupil's default
    // whatever the eye's own fraction.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// The ring as its 24 modules, each a 9 x 9 square rounded by the fraction
// clamped to 0...1, times 5 (at most 4.5, half the square).
class Pixels final : public CornerRadiusEye<Pixels> {
public:
    static constexpr std::string_view Name = "pixels";
    static constexpr std::string_view Title = "Pixels";
    static constexpr double DefaultCornerRadius = 0.65;

    using CornerRadiusEye::CornerRadiusEye;

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    // A new pupil on every call, with this eye's fraction.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// A ring with the corners at (10, 80) and (80, 10) rounded by 20 around a
// hole with the corners at (70, 20) and (20, 70) rounded by 10.
class Leaf final : public EyeWithoutSettings<Leaf> {
public:
    static constexpr std::string_view Name = "leaf";
    static constexpr std::string_view Title = "Leaf";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

} // namespace QRCode::EyeShape
