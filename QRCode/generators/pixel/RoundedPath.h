#pragma once

#include "QRCode/generators/PixelShapeGenerator.h"

#include <memory>
#include <string_view>

namespace QRCode::PixelShape {

// On-modules as connected, softly rounded blobs: a module's corner is
// rounded (radius 5 x cornerRadiusFraction of the 10-unit cell) only where
// both side neighbours meeting at it are off. With hasInnerCorners the
// concave corners of the blobs get small fillets (radius 5/3 x fraction)
// drawn in the off-module sitting in the corner.
//
// The fraction is always held within 0...1 (NaN as 0), whichever way it is
// set, and the radius follows it in the same step.
class RoundedPathBase : public QRCodePixelShapeGenerator {
public:
    // Fillet radius per unit of cornerRadiusFraction.
    static constexpr double innerRadius = 5.0 / 3.0;
    // The corner-radius fraction of both classes by default and after reset.
    static constexpr double DefaultCornerRadius = 0.65;

    double cornerRadiusFraction() const noexcept { return cornerRadius_; }
    void setCornerRadiusFraction(double fraction) noexcept;
    bool hasInnerCorners() const noexcept { return hasInnerCorners_; }
    void setHasInnerCorners(bool value) noexcept { hasInnerCorners_ = value; }
    // The corner radius in the 10 x 10 unit cell: 5 x cornerRadiusFraction.
    double actualRadius() const noexcept { return actualRadius_; }
    gfx::Size actualRadiusSize() const noexcept { return {actualRadius_, actualRadius_}; }

    void reset() override;
    SettingsDict settings() const override;
    // "cornerRadiusFraction": nil restores the default, a number is clamped
    // to 0...1. "hasInnerCorners": nil restores the class's default, a number
    // is read as a flag. Other values and keys are refused, changing nothing.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    bool canGenerateEyeAndPupilShapes() const override { return true; }
    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override;
    // Each module's outline, and each off-module's fillets, lie in the
    // module's cell and meet their neighbours only along the cells' sides.
    void generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink) override;
    bool outlinesByModule() const override { return true; }
    bool outlinesStayInModules() const override { return true; }

protected:
    RoundedPathBase(double cornerRadiusFraction, bool hasInnerCorners, bool defaultHasInnerCorners, bool indentedEnds);

private:
    double actualRadius_ = 0;
    double cornerRadius_ = 0;
    bool hasInnerCorners_;
    bool defaultHasInnerCorners_;
    // Ends of runs (exactly one side neighbour on) notched in, not rounded.
    bool indentedEnds_;
};

class RoundedPath final : public RoundedPathBase {
public:
    static constexpr std::string_view Name = "roundedPath";
    static constexpr std::string_view Title = "Rounded path";
    static constexpr double DefaultCornerRadiusValue = DefaultCornerRadius;
    static constexpr bool DefaultHasInnerCorners = true;

    RoundedPath(double cornerRadiusFraction, bool hasInnerCorners)
        : RoundedPathBase(cornerRadiusFraction, hasInnerCorners, DefaultHasInnerCorners, false) {}
    static std::shared_ptr<RoundedPath> Create(const SettingsDict& settings = SettingsDict());

    std::shared_ptr<QRCodePixelShapeGenerator> copyShape() const override;
    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }
};

// As RoundedPath, but the free end of every run of modules is cut in with a
// curved notch instead of being rounded, and the fillets are off by default.
class RoundedEndIndent final : public RoundedPathBase {
public:
    static constexpr std::string_view Name = "roundedEndIndent";
    static constexpr std::string_view Title = "Rounded end indent";
    static constexpr bool DefaultHasInnerCorners = false;

    RoundedEndIndent(double cornerRadiusFraction, bool hasInnerCorners)
        : RoundedPathBase(cornerRadiusFraction, hasInnerCorners, DefaultHasInnerCorners, true) {}
    static std::shared_ptr<RoundedEndIndent> Create(const SettingsDict& settings = SettingsDict());

    std::shared_ptr<QRCodePixelShapeGenerator> copyShape() const override;
    std::string_view name() const noexcept override { return Name; }
    std::string_view title() const noexcept override { return Title; }
};

} // namespace QRCode::PixelShape
