#pragma once

#include "QRCode/generators/PupilShapeGenerator.h"
#include "QRCode/generators/detail/WithoutSettings.h"

namespace QRCode::PupilShape {

// The plain pupil: the square 30...60 on both axes. No settings.
class Square final : public WithoutSettings<Square, QRCodePupilShapeGenerator> {
public:
    static constexpr std::string_view Name = "square";
    static constexpr std::string_view Title = "Square";

    gfx::Path pupilPath() override;
};

} // namespace QRCode::PupilShape
