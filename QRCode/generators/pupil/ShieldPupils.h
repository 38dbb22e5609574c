#pragma once

// The shield pupil (four quarters, each cut or rounded by its corner
// setting) and four fixed outlines: pinch, seal, spiky circle, squircle.

#include "QRCode/core/Corners.h"
#include "QRCode/generators/pupil/detail/PupilKinds.h"

#include <span>

namespace QRCode::PupilShape {

// Four quarters of the pupil square; a quarter whose corner is in `corners`
// has its outer corner cut concavely, the others are rounded by 4. Any raw
// value is kept; only the bits 1, 2, 4 and 8 matter. With the box's y axis
// pointing up, top-left is the quarter x 30...45, y 45...60.
class Shield final : public QRCodePupilShapeGenerator {
public:
    static constexpr std::string_view Name = "shield";
    static constexpr std::string_view Title = "Shield";

    Shield() noexcept = default;
    Shield(bool topLeft, bool topRight, bool bottomLeft, bool bottomRight) noexcept
        : corners_(Corners::fromFlags(topLeft, topRight, bottomLeft, bottomRight)) {}
    explicit Shield(Corners corners) noexcept : corners_(corners) {}
    // An integer under "corners" (unmasked), else all four.
    static std::shared_ptr<Shield> Create(const SettingsDict& settings = SettingsDict());

    Corners corners() const noexcept { return corners_; }
    void setCorners(Corners corners) noexcept { corners_ = corners; }

    std::shared_ptr<QRCodePupilShapeGenerator> copyShape() const override;
    void reset() override { corners_ = Corners::all; }
    gfx::Path pupilPath() override;
    SettingsDict settings() const override;
    bool supportsSettingValueForKey(std::string_view key) const override { return key == SettingsKey::corners; }
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }

private:
    Corners corners_ = Corners::all;
};

// The pupil square with each side bowed inwards by 0.5.
class Pinch final : public FixedPupil<Pinch> {
public:
    static constexpr std::string_view Name = "pinch";
    static constexpr std::string_view Title = "Pinch";
    gfx::Path pupilPath() override;
};

// A rounded square with a rounded point on the middle of each side.
class Seal final : public FixedPupil<Seal> {
public:
    static constexpr std::string_view Name = "seal";
    static constexpr std::string_view Title = "Seal";
    gfx::Path pupilPath() override;
};

// A circle with 19 spikes about (45, 45).
class SpikyCircle final : public FixedPupil<SpikyCircle> {
public:
    static constexpr std::string_view Name = "spikyCircle";
    static constexpr std::string_view Title = "Spiky Circle";
    gfx::Path pupilPath() override;
};

// A rounded square through the side midpoints.
class Squircle final : public FixedPupil<Squircle> {
public:
    static constexpr std::string_view Name = "squircle";
    static constexpr std::string_view Title = "Squircle";
    gfx::Path pupilPath() override;
};

std::span<const PupilShapeClass> shieldPupils();

} // namespace QRCode::PupilShape
