#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

namespace QRCode::EyeShape {

// Four rounded bars on the middle of the ring's sides; the ring's corners
// stay empty. cornerRadiusFraction 1 gives bar ends of full half-circles.
class Edges final : public QRCodeEyeShapeGenerator {
public:
    static constexpr std::string_view Name = "edges";
    static constexpr std::string_view Title = "Edges";
    static constexpr double DefaultCornerRadius = 1.0;

    // The fraction is clamped to 0...1.
    explicit Edges(double cornerRadiusFraction) : cornerRadiusFraction_(pixelmath::unitFraction(cornerRadiusFraction)) {}
    static std::shared_ptr<Edges> Create(const SettingsDict& settings = SettingsDict());

    SettingsDict settings() const override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    // A number under "cornerRadiusFraction" is clamped to 0...1 and taken.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override;
    void reset() override { cornerRadiusFraction_ = DefaultCornerRadius; }

    double cornerRadiusFraction() const noexcept { return cornerRadiusFraction_; }
    // Stores the value as given; drawing clamps it.
    void setCornerRadiusFraction(double fraction) noexcept { cornerRadiusFraction_ = fraction; }

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    // One pupil shared by every Edges eye, rounded by 0.65 whatever the
    // eye's own fraction.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;

    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }

private:
    double cornerRadiusFraction_ = DefaultCornerRadius;
};

// The ring as its 24 modules, each a 9 x 9 square rounded by the fraction
// clamped to 0...1, times 5 (at most 4.5, half the square).
class Pixels final : public QRCodeEyeShapeGenerator {
public:
    static constexpr std::string_view Name = "pixels";
    static constexpr std::string_view Title = "Pixels";
    static constexpr double DefaultCornerRadius = 0.65;

    // The fraction is clamped to 0...1.
    explicit Pixels(double cornerRadiusFraction);
    static std::shared_ptr<Pixels> Create(const SettingsDict& settings = SettingsDict());

    SettingsDict settings() const override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    // A number under "cornerRadiusFraction" is clamped to 0...1 and taken.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override;
    void reset() override;

    double cornerRadiusFraction() const noexcept { return cornerRadiusFraction_; }
    // Stores the value as given; the radius is the value clamped, times 5.
    void setCornerRadiusFraction(double fraction) noexcept;
    double actualCornerRadius() const noexcept { return actualCornerRadius_; }

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    // A new pupil on every call, with this eye's fraction.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;

    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }

private:
    double cornerRadiusFraction_ = DefaultCornerRadius;
    double actualCornerRadius_ = DefaultCornerRadius * 5;
};

// A ring with the corners at (10, 80) and (80, 10) rounded by 20 around a
// hole with the corners at (70, 20) and (20, 70) rounded by 10.
class Leaf final : public EyeWithoutSettings<Leaf> {
public:
    static constexpr std::string_view Name = "leaf";
    static constexpr std::string_view Title = "Leaf";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

} // namespace QRCode::EyeShape
