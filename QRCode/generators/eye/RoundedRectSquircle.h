#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"
#include "QRCode/generators/EyeShapeGenerator.h"

#include <memory>

namespace QRCode::PupilShape {
class RoundedRect;
}

namespace QRCode::EyeShape {

// A ring whose corners round by one fraction (0: the square ring, 1: a
// circular ring of diameters 70 and 50). The eye owns its pupil, a rounded
// rectangle pupil that it keeps at its own fraction.
class RoundedRect final : public QRCodeEyeShapeGenerator {
public:
    static constexpr std::string_view Name = "roundedRect";
    static constexpr std::string_view Title = "Rounded rectangle";
    static constexpr double DefaultRadius = 0.3;

    // The fraction limited to 0...1 (a NaN counts as 0).
    explicit RoundedRect(double cornerRadiusFraction);
    // A number under "cornerRadiusFraction", else the default.
    static std::shared_ptr<RoundedRect> Create(const SettingsDict& settings = SettingsDict());

    double cornerRadiusFraction() const noexcept { return cornerRadiusFraction_; }
    // Limited to 0...1 (a NaN counts as 0) and written into the pupil too.
    void setCornerRadiusFraction(double fraction);

    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override;
    // Back to the default fraction, in the pupil as well.
    void reset() override;
    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    // The owned pupil: the same object on every call, so it follows later
    // changes of the fraction.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
    SettingsDict settings() const override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    // A number under "cornerRadiusFraction" (limited to 0...1, and written
    // into the pupil): true, as every eye with settings reports a value it
    // took. No value, another kind of value or another key: false, no change.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }

private:
    double cornerRadiusFraction_ = DefaultRadius;
    std::shared_ptr<PupilShape::RoundedRect> pupil_;
};

// A ring with superellipse-like sides. Its default pupil is one squircle
// pupil shared by every squircle eye.
class Squircle final : public EyeWithoutSettings<Squircle> {
public:
    static constexpr std::string_view Name = "squircle";
    static constexpr std::string_view Title = "Squircle";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

} // namespace QRCode::EyeShape
