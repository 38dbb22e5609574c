#pragma once

#include "QRCode/generators/eye/detail/FlipEye.h"

#include <memory>

namespace QRCode::EyeShape {

// Rings with some corners rounded as quarter circles about the centre, the
// others sharp or lightly rounded, mirrored by "flip". Each owns a pupil of
// the matching pupil class that follows its flip.

// One sharp corner at (10, 10), three quarter-circle corners.
class Teardrop final : public FlipEye<Teardrop> {
public:
    static constexpr std::string_view Name = "teardrop";
    static constexpr std::string_view Title = "Teardrop";

    using FlipEye::FlipEye;

    static const gfx::Path& ring();
    static const gfx::Path& background();
    static std::shared_ptr<QRCodePupilShapeGenerator> makePupil();
};

// Sharp corners at (10, 10) and (80, 80), quarter circles at the other two.
class UFO final : public FlipEye<UFO> {
public:
    static constexpr std::string_view Name = "ufo";
    static constexpr std::string_view Title = "UFO";

    using FlipEye::FlipEye;

    static const gfx::Path& ring();
    static const gfx::Path& background();
    static std::shared_ptr<QRCodePupilShapeGenerator> makePupil();
};

// The UFO with its two sharp corners softened by small radii.
class UFORounded final : public FlipEye<UFORounded> {
public:
    static constexpr std::string_view Name = "ufoRounded";
    static constexpr std::string_view Title = "UFO Rounded";

    using FlipEye::FlipEye;

    static const gfx::Path& ring();
    static const gfx::Path& background();
    static std::shared_ptr<QRCodePupilShapeGenerator> makePupil();
};

} // namespace QRCode::EyeShape
