#pragma once

// What the eye shape classes share: outline tables, the "flip" setting and
// its mirrors, fraction settings, shared default pupils and a base for the
// classes without settings.

#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/core/Flip.h"
#include "QRCode/generators/detail/OutlineSteps.h"
#include "QRCode/generators/detail/PixelGeneratorMath.h"
#include "QRCode/generators/detail/WithoutSettings.h"
#include "QRCode/generators/PupilShapeGenerator.h"
#include "QRCode/generators/SettingsKey.h"
#include "platform/foundation/SettingsValue.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Path.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace QRCode::EyeShape {

// Outline parts several eyes are made of. The circular hole: radius 25 about
// (45, 45), one quarter split at (34.91, 22.12), running against the ring.
inline constexpr std::array<OutlineStep, 7> kCircularHole{{
    outline::M(45, 70),
    outline::C({20, 45}, {31.19, 70}, {20, 58.81}),
    outline::C({34.91, 22.12}, {20, 34.78}, {26.13, 26}),
    outline::C({45, 20}, {37.99, 20.76}, {41.41, 20}),
    outline::C({70, 45}, {58.81, 20}, {70, 31.19}),
    outline::C({45, 70}, {70, 58.81}, {58.81, 70}),
    outline::Z(),
}};

// The full square 10...80 drawn from (80, 80), as the ring's outer edge.
inline constexpr std::array<OutlineStep, 6> kFullSquareEdge{{
    outline::M(80, 80),
    outline::C({80, 10}, {80, 80}, {80, 10}),
    outline::L(10, 10),
    outline::L(10, 80),
    outline::L(80, 80),
    outline::Z(),
}};

// A setting value as a real number: integers, reals and Booleans count as
// numbers; a missing value, text and everything else do not.
std::optional<double> numberSetting(const OptionalSettingsValue& value);
// A setting value as an integer, fractions truncated toward zero; nothing for
// a non-number or a number no integer can hold (NaN, infinities, overflow).
std::optional<std::int64_t> integerSetting(const OptionalSettingsValue& value);

// One default pupil per eye class (`EyeClass` is the tag), made on first use
// by the pupil's Create with no settings and shared by every eye of the
// class and their copies. Creation is safe when several threads ask first.
template <class EyeClass, class Pupil> std::shared_ptr<QRCodePupilShapeGenerator> sharedDefaultPupil() {
    static const std::shared_ptr<QRCodePupilShapeGenerator> pupil = Pupil::Create(SettingsDict());
    return pupil;
}

// An eye class without settings.
template <class Derived> using EyeWithoutSettings = WithoutSettings<Derived, QRCodeEyeShapeGenerator>;

// The common part of the eyes with one "cornerRadiusFraction" setting
// (cornered pixels, pixels, edges). Creation, copying and the setting clamp
// the fraction to 0...1; setCornerRadiusFraction stores it as given and the
// radius in box units follows it by the class's own rule (by default the
// fraction clamped, times 5; a class may declare
//   static double radiusFor(double fraction);
// ). The derived class declares Name, Title, DefaultCornerRadius and draws.
template <class Derived> class CornerRadiusEye : public QRCodeEyeShapeGenerator {
public:
    explicit CornerRadiusEye(double cornerRadiusFraction) {
        setCornerRadiusFraction(pixelmath::unitFraction(cornerRadiusFraction));
    }
    // "cornerRadiusFraction" when it holds a number, else the default.
    static std::shared_ptr<Derived> Create(const SettingsDict& settings = SettingsDict()) {
        const auto fraction = foundation::settingDouble(settings, SettingsKey::cornerRadiusFraction);
        return std::make_shared<Derived>(fraction.value_or(Derived::DefaultCornerRadius));
    }

    SettingsDict settings() const override {
        SettingsDict dict = SettingsDict::object();
        dict[std::string(SettingsKey::cornerRadiusFraction)] = cornerRadiusFraction_;
        return dict;
    }
    bool supportsSettingValueForKey(std::string_view key) const override {
        return key == SettingsKey::cornerRadiusFraction;
    }
    // A number under "cornerRadiusFraction" is clamped to 0...1 and taken;
    // everything else is refused.
    bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) override {
        if (key != SettingsKey::cornerRadiusFraction) return false;
        const auto number = numberSetting(value);
        if (!number) return false;
        setCornerRadiusFraction(pixelmath::unitFraction(*number));
        return true;
    }
    std::shared_ptr<QRCodeEyeShapeGenerator> copyShape() const override { return Create(settings()); }
    void reset() override { setCornerRadiusFraction(Derived::DefaultCornerRadius); }

    double cornerRadiusFraction() const noexcept { return cornerRadiusFraction_; }
    void setCornerRadiusFraction(double fraction) noexcept {
        cornerRadiusFraction_ = fraction;
        if constexpr (requires { Derived::radiusFor(fraction); }) {
            actualCornerRadius_ = Derived::radiusFor(fraction);
        } else {
            actualCornerRadius_ = pixelmath::unitFraction(fraction) * 5;
        }
    }
    // The corner radius in box units.
    double actualCornerRadius() const noexcept { return actualCornerRadius_; }

    std::string_view name() const noexcept override { return Derived::Name; }
    std::string_view title() const noexcept override { return Derived::Title; }

private:
    double cornerRadiusFraction_ = 0;
    double actualCornerRadius_ = 0;
};

} // namespace QRCode::EyeShape
