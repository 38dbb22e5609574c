#include "QRCode/generators/eye/Shield.h"

#include "QRCode/generators/eye/CircleBarEyes.h"
#include "QRCode/generators/pupil/ShieldPupils.h"
#include "QRCode/generators/SettingsKey.h"

namespace QRCode::EyeShape {

using namespace outline;

namespace {

// The top-left quarter (x 10...45, y 45...80) with a plain corner: the
// outer corner rounded by about 20, the inner by about 10. Its edge along
// the centre line runs exactly on y = 45 (the drawing it comes from strays
// by up to 0.04), so that the mirrored quarter below meets it without a
// sliver of a gap.
constexpr OutlineStep kRoundedTopLeft[] = {
    M(45, 80),
    C({45, 70}, {45, 80}, {45, 70}),
    L(30.61, 70),
    C({27.8, 69.49}, {29.85, 69.92}, {28.86, 69.76}),
    C({23, 67}, {26.12, 69.05}, {24.29, 68.29}),
    C({20, 59.39}, {20.89, 64.89}, {20.21, 61.34}),
    C({20, 49.99}, {20, 59.39}, {20, 54.14}),
    C({20, 45}, {20, 47.28}, {20, 45}),
    C({18.01, 45}, {20, 45}, {19.18, 45}),
    C({10, 45}, {15.1, 45}, {10, 45}),
    C({10, 58}, {10, 45}, {10, 53.92}),
    C({10, 60}, {10, 59.21}, {10, 60}),
    L(10.1, 60),
    C({15.5, 74.5}, {10.38, 63.43}, {11.45, 70.45}),
    C({30, 79.9}, {19.55, 78.55}, {26.57, 79.62}),
    L(45, 80),
    Z(),
};

// The top-left quarter with a notched corner: the outer edge bends inward
// between (22.9, 78.06) and (10, 60.1), the inner edge cuts the hole's
// corner through (26, 64).
constexpr OutlineStep kNotchedTopLeft[] = {
    M(22.9, 78.06),
    C({19.03, 71.61}, {20.9, 76.06}, {21.78, 74.36}),
    C({12.57, 67.74}, {16.28, 68.86}, {15.16, 70.32}),
    C({10, 60.1}, {10.2, 65.37}, {10.02, 60.83}),
    C({10, 45}, {10, 60.1}, {10, 45}),
    L(20, 45),
    C({20, 52.59}, {20, 45}, {20, 48.8}),
    C({20, 60}, {20, 55.99}, {20, 59.38}),
    C({26, 64}, {20, 60}, {23.5, 61.5}),
    C({30, 70}, {28.49, 66.49}, {29.99, 69.98}),
    C({37.42, 70}, {30, 70}, {33.69, 70}),
    C({45, 70}, {41.19, 70}, {45, 70}),
    L(45, 80),
    L(30, 80),
    C({22.9, 78.06}, {30, 80}, {24.9, 80.06}),
    Z(),
};

} // namespace

std::shared_ptr<Shield> Shield::Create(const SettingsDict& settings) {
    const auto raw = foundation::settingInteger(settings, SettingsKey::corners);
    return std::make_shared<Shield>(raw ? Corners(*raw) : Corners::all);
}

std::shared_ptr<QRCodeEyeShapeGenerator> Shield::copyShape() const { return Create(settings()); }

gfx::Path Shield::eyePath() {
    // Top left, top right, bottom left, bottom right: each the top-left
    // quarter mirrored onto its place. The pieces only touch, so the fill
    // rule does not matter.
    struct Quarter {
        Corners corner;
        Flip mirror;
    };
    static constexpr Quarter quarters[] = {
        {Corners::topLeft, Flip::none},
        {Corners::topRight, Flip::horizontal},
        {Corners::bottomLeft, Flip::vertical},
        {Corners::bottomRight, Flip::both},
    };
    const Corners drawn(corners_.rawValue & 0xFF);
    gfx::Path path;
    for (const Quarter& q : quarters) {
        gfx::Path piece = outlinePath(drawn.contains(q.corner) ? std::span<const OutlineStep>(kNotchedTopLeft)
                                                               : std::span<const OutlineStep>(kRoundedTopLeft));
        path.addPath(piece, flipTransform(q.mirror));
    }
    return path;
}

gfx::Path Shield::eyeBackgroundPath() { return roundedSquareBackground(); }

std::shared_ptr<QRCodePupilShapeGenerator> Shield::defaultPupil() {
    return std::make_shared<PupilShape::Shield>(corners_);
}

SettingsDict Shield::settings() const {
    SettingsDict result = SettingsDict::object();
    result[std::string(SettingsKey::corners)] = corners_.rawValue;
    return result;
}

bool Shield::supportsSettingValueForKey(std::string_view key) const { return key == SettingsKey::corners; }

bool Shield::setSettingValue(const OptionalSettingsValue& value, std::string_view key) {
    if (key != SettingsKey::corners) return false;
    const auto corners = cornersFromSettingValue(value);
    if (!corners) return false;
    corners_ = *corners;
    return true;
}

} // namespace QRCode::EyeShape
