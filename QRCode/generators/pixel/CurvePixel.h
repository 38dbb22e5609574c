#pragma once

#include "QRCode/generators/pixel/detail/NeighbourShapeSupport.h"

namespace QRCode::PixelShape {

// Every on-module a 9 x 9 square centred in its cell, whose corners that
// face two off side neighbours are rounded; an isolated module becomes a
// rounded square (a circle at the default radius). Diagonal neighbours play
// no part. One setting: "cornerRadiusFraction", 0 (sharp) ... 1 (the largest
// radius, 4.5 units).
class CurvePixel final : public QRCodePixelShapeGenerator {
public:
    static constexpr std::string_view Name = "curvePixel";
    static constexpr std::string_view Title = "Curve pixel";
    static constexpr double DefaultCornerRadiusValue = 1.0;

    // The fraction limited to 0...1 (NaN as 0).
    explicit CurvePixel(double cornerRadiusFraction);
    // "cornerRadiusFraction" when it is a number, else the default.
    static std::shared_ptr<CurvePixel> Create(const SettingsDict& settings = SettingsDict());

    double cornerRadiusFraction() const noexcept { return cornerRadius_; }
    // Limited to 0...1 (NaN as 0); the radius follows.
    void setCornerRadiusFraction(double value) noexcept;
    // The corner radius in unit-cell units: the fraction times 4.5.
    double actualRadius() const noexcept { return actualRadius_; }

    std::shared_ptr<QRCodePixelShapeGenerator> copyShape() const override;
    void reset() override { setCornerRadiusFraction(DefaultCornerRadiusValue); }
    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override;
    // Each module's figure lies inside its cell.
    void generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink) override;
    bool outlinesByModule() const override { return true; }
    bool outlinesStayInModules() const override { return true; }
    SettingsDict settings() const override;
    // "cornerRadiusFraction": no value restores the default; a number is
    // taken (limited); anything else is refused. Other keys are refused.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    bool canGenerateEyeAndPupilShapes() const override { return true; }
    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }

private:
    double actualRadius_ = 4.5;
    double cornerRadius_ = DefaultCornerRadiusValue;
};

} // namespace QRCode::PixelShape
