#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

namespace QRCode::EyeShape {

// The square 0...90 with corners rounded by 12.86 (a seventh of the box):
// the background of the bar eyes, which other eyes reuse.
gfx::Path roundedSquareBackground();

// A circular ring of radii 25 and 35 about the box centre, on a round
// background.
class Circle final : public EyeWithoutSettings<Circle> {
public:
    static constexpr std::string_view Name = "circle";
    static constexpr std::string_view Title = "Circle";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// A rounded-square ring with a pupil of horizontal bars.
class BarsHorizontal final : public EyeWithoutSettings<BarsHorizontal> {
public:
    static constexpr std::string_view Name = "barsHorizontal";
    static constexpr std::string_view Title = "Horizontal bars";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// The same ring as BarsHorizontal with a pupil of vertical bars.
class BarsVertical final : public EyeWithoutSettings<BarsVertical> {
public:
    static constexpr std::string_view Name = "barsVertical";
    static constexpr std::string_view Title = "Vertical bars";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

} // namespace QRCode::EyeShape
