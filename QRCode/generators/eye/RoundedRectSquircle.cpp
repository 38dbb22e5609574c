#include "QRCode/generators/eye/RoundedRectSquircle.h"

#include "QRCode/generators/pupil/PixelPupils.h"
#include "QRCode/generators/pupil/ShieldPupils.h"
#include "QRCode/generators/SettingsKey.h"

#include <algorithm>

namespace QRCode::EyeShape {

using namespace outline;

namespace {

// The hole runs from (45, 70) through (20, 45), (45, 20) and (70, 45); the
// outer edge the other way round. The quarter of smallest x and largest y
// carries one more curve than the other three.
constexpr OutlineStep kSquircleRing[] = {
    M(45, 70),
    C({23.98, 66.02}, {34.05, 70}, {27.96, 70}),
    C({20.58, 58.68}, {22.1, 64.14}, {21.11, 61.79}),
    C({20, 45}, {20, 55.21}, {20, 50.78}),
    C({23.98, 23.98}, {20, 34.05}, {20, 27.96}),
    C({45, 20}, {27.96, 20}, {34.05, 20}),
    C({66.02, 23.98}, {55.95, 20}, {62.04, 20}),
    C({70, 45}, {70, 27.96}, {70, 34.05}),
    C({66.02, 66.02}, {70, 55.95}, {70, 62.04}),
    C({45, 70}, {62.04, 70}, {55.95, 70}),
    Z(),
    M(74.43, 74.43),
    C({80, 45}, {80, 68.86}, {80, 60.34}),
    C({74.43, 15.57}, {80, 29.66}, {80, 21.14}),
    C({45, 10}, {68.86, 10}, {60.34, 10}),
    C({15.57, 15.57}, {29.66, 10}, {21.14, 10}),
    C({10, 45}, {10, 21.14}, {10, 29.66}),
    C({12.05, 68.91}, {10, 56}, {10, 63.49}),
    C({15.57, 74.43}, {12.86, 71.04}, {13.99, 72.86}),
    C({45, 80}, {21.14, 80}, {29.66, 80}),
    C({74.43, 74.43}, {60.34, 80}, {68.86, 80}),
    Z(),
};

constexpr OutlineStep kSquircleBackground[] = {
    M(82.84, 82.84),
    C({90, 45}, {90, 75.68}, {90, 64.72}),
    C({82.84, 7.16}, {90, 25.28}, {90, 14.32}),
    C({45, 0}, {75.68, 0}, {64.72, 0}),
    C({7.16, 7.16}, {25.28, 0}, {14.32, 0}),
    C({0, 45}, {0, 14.32}, {0, 25.28}),
    C({2.64, 75.74}, {0, 59.14}, {0, 68.78}),
    C({7.16, 82.84}, {3.68, 78.48}, {5.13, 80.81}),
    C({45, 90}, {14.32, 90}, {25.28, 90}),
    C({82.84, 82.84}, {64.72, 90}, {75.68, 90}),
    Z(),
};

} // namespace

// Rounded rectangle

RoundedRect::RoundedRect(double cornerRadiusFraction)
    : cornerRadiusFraction_(pixelmath::unitFraction(cornerRadiusFraction)),
      pupil_(std::make_shared<PupilShape::RoundedRect>(cornerRadiusFraction_)) {}

std::shared_ptr<RoundedRect> RoundedRect::Create(const SettingsDict& settings) {
    return std::make_shared<RoundedRect>(
        foundation::settingDouble(settings, SettingsKey::cornerRadiusFraction).value_or(DefaultRadius));
}

void RoundedRect::setCornerRadiusFraction(double fraction) {
    cornerRadiusFraction_ = pixelmath::unitFraction(fraction);
    pupil_->setCornerRadiusFraction(cornerRadiusFraction_);
}

std::shared_ptr<QRCodePupilShapeGenerator> RoundedRect::defaultPupil() { return pupil_; }

std::shared_ptr<QRCodeEyeShapeGenerator> RoundedRect::copyShape() const {
    return std::make_shared<RoundedRect>(cornerRadiusFraction_);
}

void RoundedRect::reset() { setCornerRadiusFraction(DefaultRadius); }

SettingsDict RoundedRect::settings() const {
    SettingsDict result = SettingsDict::object();
    result[std::string(SettingsKey::cornerRadiusFraction)] = cornerRadiusFraction_;
    return result;
}

bool RoundedRect::supportsSettingValueForKey(std::string_view key) const {
    return key == SettingsKey::cornerRadiusFraction;
}

bool RoundedRect::setSettingValue(const OptionalSettingsValue& value, std::string_view key) {
    if (key != SettingsKey::cornerRadiusFraction) return false;
    const auto fraction = numberSetting(value);
    if (!fraction) return false;
    setCornerRadiusFraction(*fraction);
    return true;
}

gfx::Path RoundedRect::eyePath() {
    const double outerRadius = std::clamp(35 * cornerRadiusFraction_, 0.0, 35.0);
    const double innerRadius = std::clamp(outerRadius - 7.5, 0.0, 25.0);

    gfx::Path path;
    path.addRoundedRect(gfx::Rect(10, 10, 70, 70), outerRadius, outerRadius);
    // The mirror x -> 90 - x maps the inner square onto itself but reverses
    // its outline, so it cuts the hole under either fill rule.
    gfx::Path inner;
    inner.addRoundedRect(gfx::Rect(20, 20, 50, 50), innerRadius, innerRadius);
    path.addPath(inner, flipTransform(Flip::horizontal));
    path.closeSubpath();
    return path;
}

gfx::Path RoundedRect::eyeBackgroundPath() {
    const double radius = 45 * cornerRadiusFraction_;
    gfx::Path path;
    path.addRoundedRect(gfx::Rect(0, 0, 90, 90), radius, radius);
    return path;
}

// Squircle

gfx::Path Squircle::eyePath() { return outlinePath(kSquircleRing); }

gfx::Path Squircle::eyeBackgroundPath() { return outlinePath(kSquircleBackground); }

std::shared_ptr<QRCodePupilShapeGenerator> Squircle::defaultPupil() {
    return sharedDefaultPupil<Squircle, PupilShape::Squircle>();
}

} // namespace QRCode::EyeShape
