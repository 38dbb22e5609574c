#pragma once

#include "QRCode/core/Corners.h"
#include "QRCode/generators/EyeShapeGenerator.h"

#include <memory>

namespace QRCode::EyeShape {

// A ring of four quarter pieces that meet on the centre lines; each corner
// is a plain rounded corner or a notched shield corner, as "corners" says
// (top left 1, top right 2, bottom left 4, bottom right 8; the top is the
// side of larger y). The raw value is kept as given: bits above the four
// corners are reported back but draw nothing.
class Shield final : public QRCodeEyeShapeGenerator {
public:
    static constexpr std::string_view Name = "shield";
    static constexpr std::string_view Title = "Shield";

    explicit Shield(Corners corners) : corners_(corners) {}
    Shield(bool topLeft, bool topRight, bool bottomLeft, bool bottomRight)
        : corners_(Corners::fromFlags(topLeft, topRight, bottomLeft, bottomRight)) {}
    // The integer value of a number under "corners", else all four corners.
    static std::shared_ptr<Shield> Create(const SettingsDict& settings = SettingsDict());

    Corners corners() const noexcept { return corners_; }
    void setCorners(Corners corners) noexcept { corners_ = corners; }

    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override;
    void reset() override { corners_ = Corners::all; }
    gfx::Path eyePath() override;
    // The same for every corner value.
    gfx::Path eyeBackgroundPath() override;
    // A new shield pupil with this eye's corners on every call.
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
    SettingsDict settings() const override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    // A number under "corners" is stored as its integer value: true. No
    // value, a value that is not a number or has no 64-bit integer value, or
    // another key: false, no change.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }

private:
    Corners corners_ = Corners::all;
};

} // namespace QRCode::EyeShape
