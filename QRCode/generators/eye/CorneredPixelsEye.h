#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

namespace QRCode::EyeShape {

// The ring as its 24 modules, each a 9 x 9 square with a unit gap to the
// next, the outer corner of each of the four corner modules rounded by
// cornerRadiusFraction x 5 units.
class CorneredPixels final : public QRCodeEyeShapeGenerator {
public:
    static constexpr std::string_view Name = "corneredPixels";
    static constexpr std::string_view Title = "Cornered pixels";
    static constexpr double DefaultCornerRadius = 0.65;

    // The fraction is clamped to 0...1.
    explicit CorneredPixels(double cornerRadiusFraction);
    // "cornerRadiusFraction" when it holds a number, else the default.
    static std::shared_ptr<CorneredPixels> Create(const SettingsDict& settings = SettingsDict());

    SettingsDict settings() const override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    // A number under "cornerRadiusFraction" is clamped to 0...1 and taken;
    // everything else is refused.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override;
    void reset() override;

    double cornerRadiusFraction() const noexcept { return cornerRadiusFraction_; }
    // Stores the value as given (unclamped); the radius follows it.
    void setCornerRadiusFraction(double fraction) noexcept;
    // The corner radius in box units: the fraction x 5.
    double actualCornerRadius() const noexcept { return actualCornerRadius_; }

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    // A new pupil on every call, with this eye's fraction.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;

    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }

private:
    double actualCornerRadius_ = DefaultCornerRadius * 5;
    double cornerRadiusFraction_ = DefaultCornerRadius;
};

} // namespace QRCode::EyeShape
