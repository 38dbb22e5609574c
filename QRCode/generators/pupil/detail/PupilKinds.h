#pragma once

// What the pupil classes share, by the kind of state they hold:
//  - FixedPupil: no settings; the outline never changes.
//  - FlipPupil: one "flip" setting that mirrors a base outline in the box.
//  - CornerRadiusPupil: one "cornerRadiusFraction" setting; the outline uses
//    five times the fraction clamped to 0...1 (half a module at most).
// Each is a base template over the concrete class, which supplies Name, Title
// and the outline.

#include "QRCode/core/Flip.h"
#include "QRCode/generators/detail/OutlineSteps.h"
#include "QRCode/generators/detail/PixelGeneratorMath.h"
#include "QRCode/generators/detail/WithoutSettings.h"
#include "QRCode/generators/PupilShapeGenerator.h"
#include "QRCode/generators/SettingsKey.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <string_view>

namespace QRCode::PupilShape {

// A pupil class without settings.
template <class Derived> using FixedPupil = WithoutSettings<Derived, QRCodePupilShapeGenerator>;

template <class Derived> class FlipPupil : public QRCodePupilShapeGenerator {
public:
    explicit FlipPupil(Flip flip) noexcept : flip_(flip) {}

    // Starts with flip none and takes every entry it understands; unknown
    // keys and unusable values leave the default.
    static std::shared_ptr<Derived> Create(const SettingsDict& settings = SettingsDict()) {
        auto pupil = std::make_shared<Derived>(Flip::none);
        if (settings.is_object()) {
            for (const auto& [key, value] : settings.items()) pupil->setSettingValue(value, key);
        }
        return pupil;
    }

    Flip flip() const noexcept { return flip_; }
    void setFlip(Flip flip) noexcept { flip_ = flip; }

    std::shared_ptr<QRCodePupilShapeGenerator> copyShape() const override { return std::make_shared<Derived>(flip_); }
    void reset() override { flip_ = Flip::none; }
    SettingsDict settings() const override {
        SettingsDict dict = SettingsDict::object();
        dict[std::string(SettingsKey::flip)] = static_cast<std::int64_t>(flip_);
        return dict;
    }
    bool supportsSettingValueForKey(std::string_view key) const override { return key == SettingsKey::flip; }
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override {
        if (key != SettingsKey::flip) return false;
        const auto flip = flipFromSettingValue(value);
        if (!flip) return false;
        flip_ = *flip;
        return true;
    }
    gfx::Path pupilPath() override { return flippedPath(static_cast<const Derived&>(*this).baseOutline(), flip_); }
    std::string_view name() const noexcept override { return Derived::Name; }
    std::string_view title() const noexcept override { return Derived::Title; }

private:
    Flip flip_;
};

namespace detail {
// The stored form of a fraction given to an initialiser or property: kept as
// given when finite; a NaN becomes 0 and an infinity the bound it points to,
// so that the settings stay writable as JSON.
double finiteFraction(double fraction) noexcept;
} // namespace detail

template <class Derived> class CornerRadiusPupil : public QRCodePupilShapeGenerator {
public:
    static constexpr double DefaultCornerRadius = 0.65;

    explicit CornerRadiusPupil(double cornerRadiusFraction) noexcept { setCornerRadiusFraction(cornerRadiusFraction); }

    // A number under "cornerRadiusFraction" is taken as given; anything
    // else gives the default.
    static std::shared_ptr<Derived> Create(const SettingsDict& settings = SettingsDict()) {
        return std::make_shared<Derived>(
            foundation::settingDouble(settings, SettingsKey::cornerRadiusFraction).value_or(DefaultCornerRadius));
    }

    double cornerRadiusFraction() const noexcept { return fraction_; }
    // Stores the fraction as given (see detail::finiteFraction).
    void setCornerRadiusFraction(double fraction) noexcept {
        fraction_ = detail::finiteFraction(fraction);
        radius_ = 5 * pixelmath::unitFraction(fraction_);
    }
    // The radius in box units the outline uses: 0...5.
    double actualCornerRadius() const noexcept { return radius_; }

    std::shared_ptr<QRCodePupilShapeGenerator> copyShape() const override {
        return std::make_shared<Derived>(fraction_);
    }
    void reset() override { setCornerRadiusFraction(DefaultCornerRadius); }
    SettingsDict settings() const override {
        SettingsDict dict = SettingsDict::object();
        dict[std::string(SettingsKey::cornerRadiusFraction)] = fraction_;
        return dict;
    }
    bool supportsSettingValueForKey(std::string_view key) const override {
        return key == SettingsKey::cornerRadiusFraction;
    }
    // Unlike the initialiser, a setting is stored clamped to 0...1.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override {
        if (key != SettingsKey::cornerRadiusFraction || !value) return false;
        const auto fraction = foundation::settingDouble(*value);
        if (!fraction) return false;
        setCornerRadiusFraction(pixelmath::unitFraction(*fraction));
        return true;
    }
    std::string_view name() const noexcept override { return Derived::Name; }
    std::string_view title() const noexcept override { return Derived::Title; }

private:
    double fraction_ = DefaultCornerRadius;
    double radius_ = 5 * DefaultCornerRadius;
};

} // namespace QRCode::PupilShape
