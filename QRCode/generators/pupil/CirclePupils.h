#pragma once

// Round and scalloped pupils with fixed outlines, each within the pupil
// square 30...60.

#include "QRCode/generators/pupil/detail/PupilKinds.h"

#include <span>

namespace QRCode::PupilShape {

// The circle of radius 15 about (45, 45); a new path on every call.
class Circle final : public FixedPupil<Circle> {
public:
    static constexpr std::string_view Name = "circle";
    static constexpr std::string_view Title = "Circle";
    gfx::Path pupilPath() override;
};

// The pupil square with its corner at (30, 30) rounded by a quarter circle
// of radius 23 and the other three slightly rounded.
class Arc final : public FixedPupil<Arc> {
public:
    static constexpr std::string_view Name = "arc";
    static constexpr std::string_view Title = "Arc";
    gfx::Path pupilPath() override;
};

// The pupil square with each side hollowed off centre, like a turning blade.
class Blade final : public FixedPupil<Blade> {
public:
    static constexpr std::string_view Name = "blade";
    static constexpr std::string_view Title = "Blade";
    gfx::Path pupilPath() override;
};

// Three round lobes per side, one per module.
class Blobby final : public FixedPupil<Blobby> {
public:
    static constexpr std::string_view Name = "blobby";
    static constexpr std::string_view Title = "Blobby";
    gfx::Path pupilPath() override;
};

// A square with bulging sides, like an old picture tube.
class CRT final : public FixedPupil<CRT> {
public:
    static constexpr std::string_view Name = "crt";
    static constexpr std::string_view Title = "CRT";
    gfx::Path pupilPath() override;
};

// A square with rounded corners and small scallops along every side.
class Cloud final : public FixedPupil<Cloud> {
public:
    static constexpr std::string_view Name = "cloud";
    static constexpr std::string_view Title = "Cloud";
    gfx::Path pupilPath() override;
};

// A roughly circular outline with a scalloped edge.
class CloudCircle final : public FixedPupil<CloudCircle> {
public:
    static constexpr std::string_view Name = "cloudCircle";
    static constexpr std::string_view Title = "Cloud Circle";
    gfx::Path pupilPath() override;
};

std::span<const PupilShapeClass> circlePupils();

} // namespace QRCode::PupilShape
