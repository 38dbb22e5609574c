#pragma once

// Pupils whose corners follow a corner-radius fraction: the nine modules as
// separate squares (Pixels, CorneredPixels) and the pupil square as one
// rounded rectangle (Edges, RoundedRect).

#include "QRCode/generators/pupil/detail/PupilKinds.h"

#include <span>

namespace QRCode::PupilShape {

// Nine 9-unit squares on a 10-unit pitch; only the four outermost corners
// of the pupil are rounded.
class CorneredPixels final : public CornerRadiusPupil<CorneredPixels> {
public:
    static constexpr std::string_view Name = "corneredPixels";
    static constexpr std::string_view Title = "Cornered pixels";
    using CornerRadiusPupil::CornerRadiusPupil;
    gfx::Path pupilPath() override;
};

// Nine 9-unit squares on a 10-unit pitch, each with rounded corners.
class Pixels final : public CornerRadiusPupil<Pixels> {
public:
    static constexpr std::string_view Name = "pixels";
    static constexpr std::string_view Title = "Pixels";
    using CornerRadiusPupil::CornerRadiusPupil;
    gfx::Path pupilPath() override;
};

// The pupil square with every corner rounded by the radius.
class Edges final : public CornerRadiusPupil<Edges> {
public:
    static constexpr std::string_view Name = "edges";
    static constexpr std::string_view Title = "Edges";
    using CornerRadiusPupil::CornerRadiusPupil;
    gfx::Path pupilPath() override;
};

// The pupil square as one rounded rectangle of radius fraction x 13.5. The
// fraction is always kept within 0...1.
class RoundedRect final : public QRCodePupilShapeGenerator {
public:
    static constexpr std::string_view Name = "roundedRect";
    static constexpr std::string_view Title = "Rounded rectangle";
    static constexpr double DefaultRadius = 0.3;

    explicit RoundedRect(double cornerRadiusFraction) noexcept { setCornerRadiusFraction(cornerRadiusFraction); }
    // A number under "cornerRadiusFraction" (clamped), else the default.
    static std::shared_ptr<RoundedRect> Create(const SettingsDict& settings = SettingsDict());

    double cornerRadiusFraction() const noexcept { return fraction_; }
    // Stores the fraction clamped to 0...1.
    void setCornerRadiusFraction(double fraction) noexcept;

    std::shared_ptr<QRCodePupilShapeGenerator> copyShape() const override;
    void reset() override { fraction_ = DefaultRadius; }
    gfx::Path pupilPath() override;
    SettingsDict settings() const override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }

private:
    double fraction_ = DefaultRadius;
};

std::span<const PupilShapeClass> pixelPupils();

} // namespace QRCode::PupilShape
