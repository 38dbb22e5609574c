#include "QRCode/generators/eye/FlippingEyes.h"

#include "QRCode/generators/SettingsKey.h"

#include <array>

namespace QRCode::EyeShape {

namespace {

using namespace outline;

// RoundedOuter: the square 10...80 with the corner at (10, 10) rounded by 20
// around the square 20...70 with the corner at (20, 20) rounded by 11.
constexpr std::array<OutlineStep, 14> kRoundedOuterRing{{
    M(20, 70),
    L(70, 70),
    L(70, 20),
    L(31, 20),
    C({20, 31}, {24.92, 20}, {20, 24.92}),
    L(20, 70),
    Z(),
    M(10, 80),
    C({10, 30}, {10, 80}, {10, 30}),
    C({30, 10}, {10, 18.95}, {18.95, 10}),
    L(80, 10),
    C({80, 80}, {80, 10.34}, {80, 80}),
    L(10, 80),
    Z(),
}};

// The square 0...90 with the corner at (0, 90) rounded by 25.71.
constexpr std::array<OutlineStep, 7> kRoundedOuterBackground{{
    M(0, 0),
    C({0, 64.29}, {0, 0}, {0, 64.29}),
    C({25.71, 90}, {0, 78.49}, {11.51, 90}),
    L(90, 90),
    C({90, 0}, {90, 89.56}, {90, 0}),
    L(0, 0),
    Z(),
}};

// Headlight: a circle of radius 25 (one quarter split at (34.91, 67.88))
// inside the square 10...80 with the corner at (10, 10) rounded by 35.
constexpr std::array<OutlineStep, 14> kHeadlightRing{{
    M(45, 20),
    C({20, 45}, {31.19, 20}, {20, 31.19}),
    C({34.91, 67.88}, {20, 55.22}, {26.13, 64}),
    C({45, 70}, {37.99, 69.24}, {41.41, 70}),
    C({70, 45}, {58.81, 70}, {70, 58.81}),
    C({45, 20}, {70, 31.19}, {58.81, 20}),
    Z(),
    M(80, 10),
    C({80, 80}, {80, 10}, {80, 80}),
    L(10, 80),
    L(10, 45),
    C({45, 10}, {10, 25.67}, {25.67, 10}),
    L(80, 10),
    Z(),
}};

// The square 0...90 with the corner at (0, 90) rounded by 45.
constexpr std::array<OutlineStep, 7> kHeadlightBackground{{
    M(0, 0),
    L(90, 0),
    L(90, 90),
    L(45, 90),
    C({0, 45}, {20.15, 90}, {0, 69.85}),
    L(0, 0),
    Z(),
}};

// Eye: the holes of the two squared inner styles (the circular one is the
// shared circular hole), each running opposite to the ring.
constexpr std::array<OutlineStep, 7> kEyeHoleSquaredFarCorner{{
    M(70, 70),
    L(45, 70),
    C({20, 45}, {31.19, 70}, {20, 58.81}),
    C({45, 20}, {20, 31.19}, {31.19, 20}),
    C({70, 45}, {58.81, 20}, {70, 31.19}),
    L(70, 70),
    Z(),
}};

constexpr std::array<OutlineStep, 7> kEyeHoleSquaredNearCorner{{
    M(45, 70),
    C({20, 45}, {31.19, 70}, {20, 58.81}),
    L(20, 20),
    L(45, 20),
    C({70, 45}, {58.81, 20}, {70, 31.19}),
    C({45, 70}, {70, 58.81}, {58.81, 70}),
    Z(),
}};

// The square 10...80 with the corners at (80, 10) and (10, 80) rounded by 35.
constexpr std::array<OutlineStep, 8> kEyeRing{{
    M(80, 80),
    L(80, 45),
    C({45, 10}, {80, 25.67}, {64.33, 10}),
    L(10, 10),
    L(10, 45),
    C({45, 80}, {10, 64.33}, {25.67, 80}),
    L(80, 80),
    Z(),
}};

// The square 0...90 with the corners at (90, 90) and (0, 0) rounded by 45.
constexpr std::array<OutlineStep, 8> kEyeBackground{{
    M(90, 0),
    C({90, 45}, {90, 0}, {90, 45}),
    C({45, 90}, {90, 69.85}, {69.85, 90}),
    L(0, 90),
    L(0, 45),
    C({45, 0}, {0, 20.15}, {20.15, 0}),
    L(90, 0),
    Z(),
}};

} // namespace

// ---------------------------------------------------------------------------
// RoundedOuter

const gfx::Path& RoundedOuter::ring() { return cachedOutline<kRoundedOuterRing>(); }

const gfx::Path& RoundedOuter::background() { return cachedOutline<kRoundedOuterBackground>(); }

std::shared_ptr<QRCodePupilShapeGenerator> RoundedOuter::makePupil() {
    return std::make_shared<PupilShape::RoundedOuter>(Flip::none);
}

// ---------------------------------------------------------------------------
// Headlight

const gfx::Path& Headlight::ring() { return cachedOutline<kHeadlightRing>(); }

const gfx::Path& Headlight::background() { return cachedOutline<kHeadlightBackground>(); }

// ---------------------------------------------------------------------------
// Eye

gfx::Path Eye::ring() const {
    gfx::Path path;
    switch (eyeInnerStyle_) {
    case Style::circular: appendOutline(path, kCircularHole); break;
    case Style::squaredFarCorner: appendOutline(path, kEyeHoleSquaredFarCorner); break;
    case Style::squaredNearCorner: appendOutline(path, kEyeHoleSquaredNearCorner); break;
    }
    appendOutline(path, kEyeRing);
    return path;
}

const gfx::Path& Eye::background() { return cachedOutline<kEyeBackground>(); }

void Eye::writeOtherSettings(SettingsDict& settings) const {
    settings[std::string(SettingsKey::eyeInnerStyle)] = static_cast<std::int64_t>(eyeInnerStyle_);
}

std::optional<bool> Eye::setOtherSetting(const OptionalSettingsValue& value, std::string_view key) {
    if (key != SettingsKey::eyeInnerStyle) return std::nullopt;
    const auto raw = integerSetting(value);
    eyeInnerStyle_ = raw == 1 ? Style::squaredFarCorner : raw == 2 ? Style::squaredNearCorner : Style::circular;
    return true;
}

} // namespace QRCode::EyeShape
