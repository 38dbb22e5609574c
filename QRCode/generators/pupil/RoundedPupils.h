#pragma once

// The pupil square with some corners rounded or replaced by a quarter circle
// and one or two corners left sharp; all but RoundedPointingOut flip.

#include "QRCode/generators/pupil/detail/PupilKinds.h"

#include <span>

namespace QRCode::PupilShape {

// The pupil square with only its corner at (30, 30) rounded, radius 6.
class RoundedOuter final : public FlipPupil<RoundedOuter> {
public:
    static constexpr std::string_view Name = "roundedOuter";
    static constexpr std::string_view Title = "Rounded outer";
    using FlipPupil::FlipPupil;
    gfx::Path baseOutline() const;
};

// The pupil square with three corners rounded by 6; the corner at (60, 60) stays sharp.
class RoundedPointingIn final : public FlipPupil<RoundedPointingIn> {
public:
    static constexpr std::string_view Name = "roundedPointingIn";
    static constexpr std::string_view Title = "Rounded Pointing In";
    using FlipPupil::FlipPupil;
    gfx::Path baseOutline() const;
};

// RoundedPointingIn turned by a half turn: the sharp corner at (30, 30).
class RoundedPointingOut final : public FixedPupil<RoundedPointingOut> {
public:
    static constexpr std::string_view Name = "roundedPointingOut";
    static constexpr std::string_view Title = "Rounded pointing out";
    gfx::Path pupilPath() override;

private:
    RoundedPointingIn pupilShape_{Flip::both};
};

// The circle of radius 15 about (45, 45) with its quarter towards (30, 30) squared off.
class Teardrop final : public FlipPupil<Teardrop> {
public:
    static constexpr std::string_view Name = "teardrop";
    static constexpr std::string_view Title = "Teardrop";
    using FlipPupil::FlipPupil;
    gfx::Path baseOutline() const;
};

// The circle of radius 15 about (45, 45) with square corners at (30, 30) and (60, 60).
class UFO final : public FlipPupil<UFO> {
public:
    static constexpr std::string_view Name = "ufo";
    static constexpr std::string_view Title = "UFO";
    using FlipPupil::FlipPupil;
    const gfx::Path& baseOutline() const;
};

// The UFO outline with its two square corners slightly rounded.
class UFORounded final : public FlipPupil<UFORounded> {
public:
    static constexpr std::string_view Name = "ufoRounded";
    static constexpr std::string_view Title = "UFO Rounded";
    using FlipPupil::FlipPupil;
    const gfx::Path& baseOutline() const;
};

std::span<const PupilShapeClass> roundedPupils();

} // namespace QRCode::PupilShape
