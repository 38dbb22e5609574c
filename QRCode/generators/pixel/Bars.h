#pragma once

#include "QRCode/generators/PixelShapeGenerator.h"

#include <memory>
#include <string_view>

namespace QRCode::PixelShape {

// Runs of neighbouring on-modules merged into single rounded bars: along a
// row (Horizontal) or down a column (Vertical). Each bar is inset on all
// four sides by half of insetFraction of a module; its corners are rounded
// by cornerRadiusFraction of half the bar's thickness.
//
// The constructor, Create and copyShape hold both fractions within 0...1;
// setSettingValue stores a number as given (settings reports it so), and
// drawing uses it limited to 0...1, so no value leads to a bar of negative
// thickness or a corner larger than the bar.
class BarsBase : public QRCodePixelShapeGenerator {
public:
    static constexpr double DefaultInset = 0.1;
    static constexpr double DefaultCornerRadius = 1.0;

    double insetFraction() const noexcept { return insetFraction_; }
    double cornerRadiusFraction() const noexcept { return cornerRadiusFraction_; }

    void reset() override;
    SettingsDict settings() const override;
    // nil restores the key's default; a number (a Boolean too) is stored
    // unchanged; any other value or key is refused and changes nothing.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override;
    bool supportsSettingValueForKey(std::string_view key) const override;
    bool canGenerateEyeAndPupilShapes() const override { return true; }

protected:
    BarsBase(double insetFraction, double cornerRadiusFraction);
    struct Fractions {
        double inset;
        double cornerRadius;
    };
    // The two fractions of Create's settings, the defaults where missing.
    static Fractions fractionsFrom(const SettingsDict& settings);
    // The bars of every run, along rows (horizontal) or columns.
    gfx::Path barsPath(const BoolMatrix& matrix, gfx::Size size, bool horizontal) const;

private:
    double insetFraction_;
    double cornerRadiusFraction_;
};

// What Horizontal and Vertical share: making, copying and drawing the bars
// along rows (AlongRows) or down columns.
template <class Self, bool AlongRows> class OrientedBars : public BarsBase {
public:
    OrientedBars(double insetFraction, double cornerRadiusFraction) : BarsBase(insetFraction, cornerRadiusFraction) {}
    static std::shared_ptr<Self> Create(const SettingsDict& settings = SettingsDict()) {
        const Fractions f = fractionsFrom(settings);
        return std::make_shared<Self>(f.inset, f.cornerRadius);
    }

    std::shared_ptr<QRCodePixelShapeGenerator> copyShape() const override {
        return std::make_shared<Self>(insetFraction(), cornerRadiusFraction());
    }
    gfx::Path generatePath(const BoolMatrix& matrix, gfx::Size size) override {
        return barsPath(matrix, size, AlongRows);
    }
    std::string_view name() const noexcept override { return Self::Name; }
    std::string_view title() const noexcept override { return Self::Title; }
};

class Horizontal final : public OrientedBars<Horizontal, true> {
public:
    static constexpr std::string_view Name = "horizontal";
    static constexpr std::string_view Title = "Horizontal bars";
    using OrientedBars::OrientedBars;
};

class Vertical final : public OrientedBars<Vertical, false> {
public:
    static constexpr std::string_view Name = "vertical";
    static constexpr std::string_view Title = "Vertical bars";
    using OrientedBars::OrientedBars;
};

} // namespace QRCode::PixelShape
