#include "QRCode/generators/eye/FlippingEyes.h"

#include "QRCode/generators/SettingsKey.h"

#include <array>

namespace QRCode::EyeShape {

namespace {

using S = OutlineStep;

// Hands every entry of a settings dictionary to the generator in turn.
template <class Generator>
void applySettings(Generator& generator, const SettingsDict& settings)
{
    if (!settings.is_object()) return;
    for (const auto& [key, value] : settings.items()) generator.setSettingValue(value, key);
}

SettingsDict flipSettings(Flip flip)
{
    SettingsDict dict = SettingsDict::object();
    dict[std::string(SettingsKey::flip)] = static_cast<std::int64_t>(flip);
    return dict;
}

// RoundedOuter: the square 10...80 with the corner at (10, 10) rounded by 20
// around the square 20...70 with the corner at (20, 20) rounded by 11.
constexpr std::array<OutlineStep, 14> kRoundedOuterRing{{
    {S::move, {20, 70}},
    {S::line, {70, 70}},
    {S::line, {70, 20}},
    {S::line, {31, 20}},
    {S::curve, {20, 31}, {24.92, 20}, {20, 24.92}},
    {S::line, {20, 70}},
    {S::close},
    {S::move, {10, 80}},
    {S::curve, {10, 30}, {10, 80}, {10, 30}},
    {S::curve, {30, 10}, {10, 18.95}, {18.95, 10}},
    {S::line, {80, 10}},
    {S::curve, {80, 80}, {80, 10.34}, {80, 80}},
    {S::line, {10, 80}},
    {S::close},
}};

// The square 0...90 with the corner at (0, 90) rounded by 25.71.
constexpr std::array<OutlineStep, 7> kRoundedOuterBackground{{
    {S::move, {0, 0}},
    {S::curve, {0, 64.29}, {0, 0}, {0, 64.29}},
    {S::curve, {25.71, 90}, {0, 78.49}, {11.51, 90}},
    {S::line, {90, 90}},
    {S::curve, {90, 0}, {90, 89.56}, {90, 0}},
    {S::line, {0, 0}},
    {S::close},
}};

// Headlight: a circle of radius 25 (one quarter split at (34.91, 67.88))
// inside the square 10...80 with the corner at (10, 10) rounded by 35.
constexpr std::array<OutlineStep, 14> kHeadlightRing{{
    {S::move, {45, 20}},
    {S::curve, {20, 45}, {31.19, 20}, {20, 31.19}},
    {S::curve, {34.91, 67.88}, {20, 55.22}, {26.13, 64}},
    {S::curve, {45, 70}, {37.99, 69.24}, {41.41, 70}},
    {S::curve, {70, 45}, {58.81, 70}, {70, 58.81}},
    {S::curve, {45, 20}, {70, 31.19}, {58.81, 20}},
    {S::close},
    {S::move, {80, 10}},
    {S::curve, {80, 80}, {80, 10}, {80, 80}},
    {S::line, {10, 80}},
    {S::line, {10, 45}},
    {S::curve, {45, 10}, {10, 25.67}, {25.67, 10}},
    {S::line, {80, 10}},
    {S::close},
}};

// The square 0...90 with the corner at (0, 90) rounded by 45.
constexpr std::array<OutlineStep, 7> kHeadlightBackground{{
    {S::move, {0, 0}},
    {S::line, {90, 0}},
    {S::line, {90, 90}},
    {S::line, {45, 90}},
    {S::curve, {0, 45}, {20.15, 90}, {0, 69.85}},
    {S::line, {0, 0}},
    {S::close},
}};

// Eye: the holes of the three inner styles, each running opposite to the ring.
constexpr std::array<OutlineStep, 7> kEyeHoleCircular{{
    {S::move, {45, 70}},
    {S::curve, {20, 45}, {31.19, 70}, {20, 58.81}},
    {S::curve, {34.91, 22.12}, {20, 34.78}, {26.13, 26}},
    {S::curve, {45, 20}, {37.99, 20.76}, {41.41, 20}},
    {S::curve, {70, 45}, {58.81, 20}, {70, 31.19}},
    {S::curve, {45, 70}, {70, 58.81}, {58.81, 70}},
    {S::close},
}};

constexpr std::array<OutlineStep, 7> kEyeHoleSquaredFarCorner{{
    {S::move, {70, 70}},
    {S::line, {45, 70}},
    {S::curve, {20, 45}, {31.19, 70}, {20, 58.81}},
    {S::curve, {45, 20}, {20, 31.19}, {31.19, 20}},
    {S::curve, {70, 45}, {58.81, 20}, {70, 31.19}},
    {S::line, {70, 70}},
    {S::close},
}};

constexpr std::array<OutlineStep, 7> kEyeHoleSquaredNearCorner{{
    {S::move, {45, 70}},
    {S::curve, {20, 45}, {31.19, 70}, {20, 58.81}},
    {S::line, {20, 20}},
    {S::line, {45, 20}},
    {S::curve, {70, 45}, {58.81, 20}, {70, 31.19}},
    {S::curve, {45, 70}, {70, 58.81}, {58.81, 70}},
    {S::close},
}};

// The square 10...80 with the corners at (80, 10) and (10, 80) rounded by 35.
constexpr std::array<OutlineStep, 8> kEyeRing{{
    {S::move, {80, 80}},
    {S::line, {80, 45}},
    {S::curve, {45, 10}, {80, 25.67}, {64.33, 10}},
    {S::line, {10, 10}},
    {S::line, {10, 45}},
    {S::curve, {45, 80}, {10, 64.33}, {25.67, 80}},
    {S::line, {80, 80}},
    {S::close},
}};

// The square 0...90 with the corners at (90, 90) and (0, 0) rounded by 45.
constexpr std::array<OutlineStep, 8> kEyeBackground{{
    {S::move, {90, 0}},
    {S::curve, {90, 45}, {90, 0}, {90, 45}},
    {S::curve, {45, 90}, {90, 69.85}, {69.85, 90}},
    {S::line, {0, 90}},
    {S::line, {0, 45}},
    {S::curve, {45, 0}, {0, 20.15}, {20.15, 0}},
    {S::line, {90, 0}},
    {S::close},
}};

} // namespace

// ---------------------------------------------------------------------------
// RoundedOuter

RoundedOuter::RoundedOuter(Flip flip) : flip_(flip), pupil_(std::make_shared<PupilShape::RoundedOuter>(flip)) {}

std::shared_ptr<RoundedOuter> RoundedOuter::Create(const SettingsDict& settings)
{
    auto eye = std::make_shared<RoundedOuter>(Flip::none);
    applySettings(*eye, settings);
    return eye;
}

SettingsDict RoundedOuter::settings() const
{
    return flipSettings(flip_);
}

bool RoundedOuter::supportsSettingValueForKey(std::string_view key) const
{
    return key == SettingsKey::flip;
}

bool RoundedOuter::setSettingValue(const OptionalSettingsValue& value, std::string_view key)
{
    if (key != SettingsKey::flip) return false;
    const auto flip = flipFromSettingValue(value);
    if (!flip) return false;
    setFlip(*flip);
    return true;
}

std::shared_ptr<QRCodeEyeShapeGenerator> RoundedOuter::copyShape() const
{
    return std::make_shared<RoundedOuter>(flip_);
}

void RoundedOuter::reset()
{
    setFlip(Flip::none);
}

void RoundedOuter::setFlip(Flip flip)
{
    flip_ = flip;
    pupil_->setFlip(flip);
}

gfx::Path RoundedOuter::eyePath()
{
    return flippedPath(outlinePath(kRoundedOuterRing), flip_);
}

gfx::Path RoundedOuter::eyeBackgroundPath()
{
    return flippedPath(outlinePath(kRoundedOuterBackground), flip_);
}

std::shared_ptr<QRCodePupilShapeGenerator> RoundedOuter::defaultPupil()
{
    return pupil_;
}

// ---------------------------------------------------------------------------
// Headlight

std::shared_ptr<Headlight> Headlight::Create(const SettingsDict& settings)
{
    auto eye = std::make_shared<Headlight>(Flip::none);
    applySettings(*eye, settings);
    return eye;
}

SettingsDict Headlight::settings() const
{
    return flipSettings(flip_);
}

bool Headlight::supportsSettingValueForKey(std::string_view key) const
{
    return key == SettingsKey::flip;
}

bool Headlight::setSettingValue(const OptionalSettingsValue& value, std::string_view key)
{
    if (key != SettingsKey::flip) return false;
    const auto flip = flipFromSettingValue(value);
    if (!flip) return false;
    flip_ = *flip;
    return true;
}

std::shared_ptr<QRCodeEyeShapeGenerator> Headlight::copyShape() const
{
    return std::make_shared<Headlight>(flip_);
}

gfx::Path Headlight::eyePath()
{
    static const gfx::Path ring = outlinePath(kHeadlightRing);
    return flippedPath(ring, flip_);
}

gfx::Path Headlight::eyeBackgroundPath()
{
    static const gfx::Path background = outlinePath(kHeadlightBackground);
    return flippedPath(background, flip_);
}

// ---------------------------------------------------------------------------
// Eye

std::shared_ptr<Eye> Eye::Create(const SettingsDict& settings)
{
    auto eye = std::make_shared<Eye>(Flip::none, Style::circular);
    applySettings(*eye, settings);
    return eye;
}

SettingsDict Eye::settings() const
{
    SettingsDict dict = flipSettings(flip_);
    dict[std::string(SettingsKey::eyeInnerStyle)] = static_cast<std::int64_t>(eyeInnerStyle_);
    return dict;
}

bool Eye::supportsSettingValueForKey(std::string_view key) const
{
    return key == SettingsKey::flip || key == SettingsKey::eyeInnerStyle;
}

bool Eye::setSettingValue(const OptionalSettingsValue& value, std::string_view key)
{
    if (key == SettingsKey::flip) {
        const auto flip = flipFromSettingValue(value);
        if (!flip) return false;
        flip_ = *flip;
        return true;
    }
    if (key == SettingsKey::eyeInnerStyle) {
        const auto raw = integerSetting(value);
        eyeInnerStyle_ = raw == 1 ? Style::squaredFarCorner : raw == 2 ? Style::squaredNearCorner : Style::circular;
        return true;
    }
    return false;
}

std::shared_ptr<QRCodeEyeShapeGenerator> Eye::copyShape() const
{
    return Create(settings());
}

void Eye::reset()
{
    flip_ = Flip::none;
    eyeInnerStyle_ = Style::circular;
}

gfx::Path Eye::eyePath()
{
    gfx::Path path;
    switch (eyeInnerStyle_) {
    case Style::circular: appendOutline(path, kEyeHoleCircular); break;
    case Style::squaredFarCorner: appendOutline(path, kEyeHoleSquaredFarCorner); break;
    case Style::squaredNearCorner: appendOutline(path, kEyeHoleSquaredNearCorner); break;
    }
    appendOutline(path, kEyeRing);
    return flippedPath(path, flip_);
}

gfx::Path Eye::eyeBackgroundPath()
{
    return flippedPath(outlinePath(kEyeBackground), flip_);
}

} // namespace QRCode::EyeShape
