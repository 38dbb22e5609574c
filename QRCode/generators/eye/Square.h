#pragma once

#include "QRCode/generators/EyeShapeGenerator.h"

namespace QRCode::EyeShape {

// The plain eye: the one-module ring between 10...80 and 20...70. No
// settings; its default pupil is the square pupil, one object shared by
// every square eye.
class Square final : public QRCodeEyeShapeGenerator {
public:
    static constexpr std::string_view Name = "square";
    static constexpr std::string_view Title = "Square";

    Square() = default;
    static std::shared_ptr<Square> Create(const SettingsDict& = SettingsDict()) { return std::make_shared<Square>(); }

    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override { return Create(); }
    void reset() override {}
    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
    SettingsDict settings() const override { return SettingsDict::object(); }
    bool supportsSettingValueForKey(std::string_view) const override { return false; }
    bool setSettingValue(const OptionalSettingsValue&, std::string_view) override { return false; }
    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }
};

} // namespace QRCode::EyeShape
