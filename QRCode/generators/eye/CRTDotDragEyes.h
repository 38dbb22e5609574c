#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

namespace QRCode::EyeShape {

// A ring with slightly bulging sides, like an old screen.
class CRT final : public EyeWithoutSettings<CRT> {
public:
    static constexpr std::string_view Name = "crt";
    static constexpr std::string_view Title = "CRT";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// Two horizontal bars with round ends (top and bottom rows of the ring) and
// two columns of five dots; the ring's corner modules stay empty.
class DotDragHorizontal final : public EyeWithoutSettings<DotDragHorizontal> {
public:
    static constexpr std::string_view Name = "dotDragHorizontal";
    static constexpr std::string_view Title = "Dot Drag Horizontal";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// DotDragHorizontal turned by a quarter: vertical bars and rows of dots.
class DotDragVertical final : public EyeWithoutSettings<DotDragVertical> {
public:
    static constexpr std::string_view Name = "dotDragVertical";
    static constexpr std::string_view Title = "Dot Drag Vertical";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

} // namespace QRCode::EyeShape
