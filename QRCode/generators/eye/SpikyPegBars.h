#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

#include <memory>

namespace QRCode::EyeShape {

// A ring whose two edges are spiky circles of 19 sharp tips with smooth
// valleys between them. Outlines built once; one spiky circle pupil shared
// by every spiky circle eye.
class SpikyCircle final : public EyeWithoutSettings<SpikyCircle> {
public:
    static constexpr std::string_view Name = "spikyCircle";
    static constexpr std::string_view Title = "Spiky Circle";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// A square ring with corners of radius 10 around a circular hole that
// bulges towards (20, 20). Its default pupil is a squircle pupil shared by
// every square peg eye (not the one of the squircle eye).
class SquarePeg final : public EyeWithoutSettings<SquarePeg> {
public:
    static constexpr std::string_view Name = "squarePeg";
    static constexpr std::string_view Title = "Square Peg";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// Four separate rounded bars along the ring's sides, the corner squares
// left open. The eye owns a rounded rectangle pupil of fraction 0.3.
class SurroundingBars final : public EyeWithoutSettings<SurroundingBars> {
public:
    static constexpr std::string_view Name = "surroundingBars";
    static constexpr std::string_view Title = "Surrounding bars";

    SurroundingBars();

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override { return pupil_; }

private:
    std::shared_ptr<QRCodePupilShapeGenerator> pupil_;
};

} // namespace QRCode::EyeShape
