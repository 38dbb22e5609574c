#pragma once

// Leaf-like pupils with a flip: their base outline is built once and shared;
// a flip other than none mirrors it into a new path.

#include "QRCode/generators/pupil/detail/PupilKinds.h"

#include <span>

namespace QRCode::PupilShape {

// A tilted leaf whose stalk points to (30.56, 30) unflipped.
class Forest final : public FlipPupil<Forest> {
public:
    static constexpr std::string_view Name = "forest";
    static constexpr std::string_view Title = "Forest";
    using FlipPupil::FlipPupil;
    const gfx::Path& baseOutline() const;
};

// The pupil square with the corners (60, 30) and (30, 60) cut off
// diagonally, every vertex rounded by 3. Unflipped the outline ends on its
// first point without a close.
class HexagonLeaf final : public FlipPupil<HexagonLeaf> {
public:
    static constexpr std::string_view Name = "hexagonLeaf";
    static constexpr std::string_view Title = "Hexagon Leaf";
    using FlipPupil::FlipPupil;
    const gfx::Path& baseOutline() const;
};

// A rounded leaf tilted along the diagonal.
class Koala final : public FlipPupil<Koala> {
public:
    static constexpr std::string_view Name = "koala";
    static constexpr std::string_view Title = "Koala";
    explicit Koala(Flip flip = Flip::none) noexcept : FlipPupil(flip) {}
    const gfx::Path& baseOutline() const;
};

// The pupil square with the corners (60, 30) and (30, 60) rounded by 6.
class Leaf final : public FlipPupil<Leaf> {
public:
    static constexpr std::string_view Name = "leaf";
    static constexpr std::string_view Title = "Leaf";
    using FlipPupil::FlipPupil;
    const gfx::Path& baseOutline() const;
};

std::span<const PupilShapeClass> leafPupils();

} // namespace QRCode::PupilShape
