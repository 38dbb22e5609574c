#pragma once

#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/generators/detail/WithoutSettings.h"

namespace QRCode::EyeShape {

// The plain eye: the one-module ring between 10...80 and 20...70. No
// settings; its default pupil is the square pupil, one object shared by
// every square eye.
class Square final : public WithoutSettings<Square, QRCodeEyeShapeGenerator> {
public:
    static constexpr std::string_view Name = "square";
    static constexpr std::string_view Title = "Square";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

} // namespace QRCode::EyeShape
