#pragma once

// The arrow pupil (an L of two rounded strokes, with flip) and the four
// pupils of three parallel bars.

#include "QRCode/generators/pupil/detail/PupilKinds.h"

#include <span>

namespace QRCode::PupilShape {

// An L of two 15-unit strokes with round ends; the quadrant it leaves out
// is x 45...60, y 45...60 unflipped.
class Arrow final : public FlipPupil<Arrow> {
public:
    static constexpr std::string_view Name = "arrow";
    static constexpr std::string_view Title = "Arrow";
    using FlipPupil::FlipPupil;
    const gfx::Path& baseOutline() const;
};

// Three horizontal bars 9.33 thick, 1 apart, corners rounded by 4.
class BarsHorizontal final : public FixedPupil<BarsHorizontal> {
public:
    static constexpr std::string_view Name = "barsHorizontal";
    static constexpr std::string_view Title = "Horizontal bars";
    gfx::Path pupilPath() override;
};

// Three vertical bars 9.33 thick, 1 apart, corners rounded by 4.
class BarsVertical final : public FixedPupil<BarsVertical> {
public:
    static constexpr std::string_view Name = "barsVertical";
    static constexpr std::string_view Title = "Vertical bars";
    gfx::Path pupilPath() override;
};

// The horizontal bars with sharp corners.
class SquareBarsHorizontal final : public FixedPupil<SquareBarsHorizontal> {
public:
    static constexpr std::string_view Name = "barsHorizontalSquare";
    static constexpr std::string_view Title = "Square horizontal bars";
    gfx::Path pupilPath() override;
};

// The vertical bars with sharp corners.
class SquareBarsVertical final : public FixedPupil<SquareBarsVertical> {
public:
    static constexpr std::string_view Name = "barsVerticalSquare";
    static constexpr std::string_view Title = "Square vertical bars";
    gfx::Path pupilPath() override;
};

std::span<const PupilShapeClass> barPupils();

} // namespace QRCode::PupilShape
