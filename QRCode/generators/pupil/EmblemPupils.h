#pragma once

// Pupils drawn as one fixed emblem: notched crosses, stadium bars, stars,
// lobes, flame, heart, gear, pinking-shears square and diagonal stripes.

#include "QRCode/generators/pupil/detail/PupilKinds.h"

#include <span>

namespace QRCode::PupilShape {

// The pupil square with a notch 4 deep and 10 wide in the middle of each side.
class Cross final : public FixedPupil<Cross> {
public:
    static constexpr std::string_view Name = "cross";
    static constexpr std::string_view Title = "Cross";
    gfx::Path pupilPath() override;
};

// The notched square of Cross with curved notches.
class CrossCurved final : public FixedPupil<CrossCurved> {
public:
    static constexpr std::string_view Name = "crossCurved";
    static constexpr std::string_view Title = "CrossCurved";
    gfx::Path pupilPath() override;
};

// Three horizontal stadium bars, 10 high.
class DotDragHorizontal final : public FixedPupil<DotDragHorizontal> {
public:
    static constexpr std::string_view Name = "dotDragHorizontal";
    static constexpr std::string_view Title = "Dot Drag Horizontal";
    gfx::Path pupilPath() override;
};

// Three upright stadium bars, 10 wide.
class DotDragVertical final : public FixedPupil<DotDragVertical> {
public:
    static constexpr std::string_view Name = "dotDragVertical";
    static constexpr std::string_view Title = "Dot Drag Vertical";
    gfx::Path pupilPath() override;
};

// A four-pointed star with its points at the pupil square's corners.
class Explode final : public FixedPupil<Explode> {
public:
    static constexpr std::string_view Name = "explode";
    static constexpr std::string_view Title = "Explode";
    gfx::Path pupilPath() override;
};

// Four half-disc lobes of radius 7 about a central square.
class Orbits final : public FixedPupil<Orbits> {
public:
    static constexpr std::string_view Name = "orbits";
    static constexpr std::string_view Title = "Orbits";
    gfx::Path pupilPath() override;
};

// A flame-like tilted square; its right edge lies at x 60.01.
class Flame final : public FixedPupil<Flame> {
public:
    static constexpr std::string_view Name = "flame";
    static constexpr std::string_view Title = "Flame";
    gfx::Path pupilPath() override;
};

// A heart with its tip at (45, 59).
class Heart final : public FixedPupil<Heart> {
public:
    static constexpr std::string_view Name = "heart";
    static constexpr std::string_view Title = "Heart";
    gfx::Path pupilPath() override;
};

// A gear of eight teeth about (45, 45), tips at radius 15.
class Gear final : public FixedPupil<Gear> {
public:
    static constexpr std::string_view Name = "gear";
    static constexpr std::string_view Title = "Gear";
    gfx::Path pupilPath() override;
};

// A square with zigzag sides, as cut by pinking shears; it spans 30...59.9.
class FabricScissors final : public FixedPupil<FabricScissors> {
public:
    static constexpr std::string_view Name = "fabricScissors";
    static constexpr std::string_view Title = "Fabric Scissors";
    gfx::Path pupilPath() override;
};

// Twelve stripes at 45 degrees cut out of a square with corners rounded by 4.
class DiagonalStripes final : public FixedPupil<DiagonalStripes> {
public:
    static constexpr std::string_view Name = "diagonalStripes";
    static constexpr std::string_view Title = "Diagonal Stripes";
    gfx::Path pupilPath() override;
};

std::span<const PupilShapeClass> emblemPupils();

} // namespace QRCode::PupilShape
