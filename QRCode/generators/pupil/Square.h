#pragma once

#include "QRCode/generators/PupilShapeGenerator.h"

namespace QRCode::PupilShape {

// The plain pupil: the square 30...60 on both axes. No settings.
class Square final : public QRCodePupilShapeGenerator {
public:
    static constexpr std::string_view Name = "square";
    static constexpr std::string_view Title = "Square";

    Square() = default;
    static std::shared_ptr<Square> Create(const SettingsDict& = SettingsDict()) { return std::make_shared<Square>(); }

    std::shared_ptr<QRCodePupilShapeGenerator> copyShape() const override { return Create(); }
    void reset() override {}
    gfx::Path pupilPath() override;
    SettingsDict settings() const override { return SettingsDict::object(); }
    bool supportsSettingValueForKey(std::string_view) const override { return false; }
    bool setSettingValue(const OptionalSettingsValue&, std::string_view) override { return false; }
    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }
};

} // namespace QRCode::PupilShape
