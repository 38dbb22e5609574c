#include "QRCode/generators/pupil/ShieldPupils.h"

#include "QRCode/generators/detail/OutlineSteps.h"

#include <array>

namespace QRCode::PupilShape {

namespace {

using namespace outline;

// The quarter of each corner bit in the two forms: cut (bit set) and
// rounded by 4 (bit clear).
struct ShieldQuarter {
    std::int64_t bit;
    std::array<OutlineStep, 7> cut;
    std::array<OutlineStep, 7> rounded;
};

constexpr ShieldQuarter kShieldQuarters[] = {
    {1,
     {{M(37.58, 60), C({30, 52.42}, {36.03, 56.66}, {33.34, 53.97}), C({30, 45}, {30, 48.7}, {30, 45}), L(45, 45),
       L(45, 60), L(37.58, 60), Z()}},
     {{M(45, 45), L(30, 45), L(30, 56), C({34, 60}, {30, 58.21}, {31.79, 60}), L(45, 60), L(45, 45),
       Z()}}},
    {2,
     {{M(52.42, 60), C({60, 52.42}, {53.97, 56.66}, {56.66, 53.97}), C({60, 45}, {60, 48.7}, {60, 45}), L(45, 45),
       L(45, 60), L(52.42, 60), Z()}},
     {{M(45, 45), L(60, 45), L(60, 56), C({56, 60}, {60, 58.21}, {58.21, 60}), L(45, 60), L(45, 45),
       Z()}}},
    {4,
     {{M(37.58, 30), C({30, 37.58}, {36.03, 33.34}, {33.34, 36.03}), C({30, 45}, {30, 41.3}, {30, 45}), L(45, 45),
       L(45, 30), L(37.58, 30), Z()}},
     {{M(45, 45), L(30, 45), L(30, 34), C({34, 30}, {30, 31.79}, {31.79, 30}), L(45, 30), L(45, 45),
       Z()}}},
    {8,
     {{M(52.42, 30), C({60, 37.58}, {53.97, 33.34}, {56.66, 36.03}), C({60, 45}, {60, 41.3}, {60, 45}), L(45, 45),
       L(45, 30), L(52.42, 30), Z()}},
     {{M(45, 45), L(60, 45), L(60, 34), C({56, 30}, {60, 31.79}, {58.21, 30}), L(45, 30), L(45, 45),
       Z()}}},
};

constexpr OutlineStep kPinch[] = {
    M(30.5, 45),
    C({30, 30}, {30.5, 37.5}, {30, 30}),
    C({45, 30.5}, {30, 30}, {37.5, 30.5}),
    C({60, 30}, {52.5, 30.5}, {60, 30}),
    C({59.5, 45}, {60, 30}, {59.5, 37.5}),
    C({60, 60}, {59.5, 52.5}, {60, 60}),
    C({45, 59.5}, {60, 60}, {52.5, 59.5}),
    C({30, 60}, {37.5, 59.5}, {30, 60}),
    C({30.5, 45}, {30, 60}, {30.5, 52.5}),
    Z(),
};

constexpr OutlineStep kSquircle[] = {
    M(45, 30),
    C({57.61, 32.39}, {51.57, 30}, {55.23, 30}),
    C({60, 45}, {60, 34.77}, {60, 38.43}),
    C({57.61, 57.61}, {60, 51.57}, {60, 55.23}),
    C({45, 60}, {55.23, 60}, {51.57, 60}),
    C({32.39, 57.61}, {38.43, 60}, {34.77, 60}),
    C({30, 45}, {30, 55.23}, {30, 51.57}),
    C({32.39, 32.39}, {30, 38.43}, {30, 34.77}),
    C({45, 30}, {34.77, 30}, {38.43, 30}),
    Z(),
};

constexpr OutlineStep kSeal[] = {
    M(37.04, 33.54),
    C({34.39, 34.4}, {35.84, 33.54}, {34.96, 33.82}),
    C({33.53, 37.04}, {33.81, 34.97}, {33.53, 35.85}),
    L(33.53, 39.87),
    C({33.27, 40.52}, {33.53, 40.12}, {33.44, 40.34}),
    L(31.27, 42.53),
    C({30, 45}, {30.43, 43.37}, {30, 44.19}),
    C({31.27, 47.48}, {30, 45.8}, {30.42, 46.63}),
    L(33.27, 49.48),
    C({33.53, 50.13}, {33.44, 49.66}, {33.53, 49.88}),
    L(33.53, 52.96),
    C({34.38, 55.62}, {33.53, 54.17}, {33.81, 55.05}),
    C({37.04, 56.47}, {34.96, 56.19}, {35.84, 56.47}),
    L(39.87, 56.47),
    C({40.5, 56.73}, {40.12, 56.47}, {40.33, 56.56}),
    L(42.52, 58.73),
    C({45, 60}, {43.37, 59.57}, {44.2, 60}),
    C({47.47, 58.73}, {45.8, 60}, {46.63, 59.58}),
    L(49.48, 56.73),
    C({50.13, 56.47}, {49.65, 56.56}, {49.87, 56.47}),
    L(52.96, 56.47),
    C({55.61, 55.61}, {54.16, 56.47}, {55.04, 56.19}),
    C({56.46, 52.96}, {56.18, 55.03}, {56.46, 54.15}),
    L(56.46, 50.13),
    C({56.73, 49.48}, {56.46, 49.88}, {56.55, 49.66}),
    L(58.72, 47.48),
    C({60, 45}, {59.57, 46.63}, {60, 45.8}),
    C({58.72, 42.53}, {60, 44.19}, {59.58, 43.37}),
    L(56.73, 40.52),
    C({56.46, 39.87}, {56.55, 40.34}, {56.46, 40.12}),
    L(56.46, 37.04),
    C({55.6, 34.39}, {56.46, 35.84}, {56.18, 34.96}),
    C({52.96, 33.54}, {55.03, 33.82}, {54.15, 33.54}),
    L(50.13, 33.54),
    C({49.48, 33.27}, {49.87, 33.54}, {49.65, 33.45}),
    L(47.47, 31.28),
    C({45, 30}, {46.63, 30.43}, {45.81, 30}),
    C({42.52, 31.28}, {44.2, 30}, {43.37, 30.42}),
    L(40.5, 33.27),
    C({39.87, 33.54}, {40.33, 33.45}, {40.12, 33.54}),
    L(37.04, 33.54),
    Z(),
};

// 19 spikes: from each tip a curve to a notch, from each notch a curve to
// the next tip.
constexpr OutlineStep kSpikyCircle[] = {
    M(55.32, 33.92),
    C({52.61, 33.53}, {55.32, 33.92}, {53.3, 33.98}),
    C({51.16, 31.21}, {51.92, 33.08}, {51.16, 31.21}),
    C({48.46, 31.72}, {51.16, 31.21}, {49.26, 31.92}),
    C({46.34, 30}, {47.67, 31.52}, {46.34, 30}),
    C({43.95, 31.35}, {46.34, 30}, {44.77, 31.28}),
    C({41.38, 30.41}, {43.14, 31.42}, {41.38, 30.41}),
    C({39.57, 32.46}, {41.38, 30.41}, {40.32, 32.13}),
    C({36.83, 32.41}, {38.82, 32.79}, {36.83, 32.41}),
    C({35.78, 34.93}, {36.83, 32.41}, {36.39, 34.38}),
    C({33.18, 35.77}, {35.18, 35.49}, {33.18, 35.77}),
    C({33.01, 38.49}, {33.18, 35.77}, {33.4, 37.77}),
    C({30.81, 40.13}, {32.62, 39.21}, {30.81, 40.13}),
    C({31.54, 42.76}, {30.81, 40.13}, {31.68, 41.95}),
    C({30, 45.01}, {31.41, 43.57}, {30, 45.01}),
    C({31.55, 47.27}, {30, 45.01}, {31.41, 46.46}),
    C({30.82, 49.9}, {31.68, 48.08}, {30.82, 49.9}),
    C({33.02, 51.53}, {30.82, 49.9}, {32.63, 50.81}),
    C({33.19, 54.26}, {33.41, 52.25}, {33.19, 54.26}),
    C({35.8, 55.09}, {33.19, 54.26}, {35.2, 54.53}),
    C({36.85, 57.61}, {36.41, 55.64}, {36.85, 57.61}),
    C({39.59, 57.55}, {36.85, 57.61}, {38.84, 57.22}),
    C({41.41, 59.6}, {40.35, 57.88}, {41.41, 59.6}),
    C({43.98, 58.65}, {41.41, 59.6}, {43.16, 58.59}),
    C({46.36, 60}, {44.8, 58.72}, {46.36, 60}),
    C({48.49, 58.28}, {46.36, 60}, {47.69, 58.48}),
    C({51.18, 58.78}, {49.28, 58.07}, {51.18, 58.78}),
    C({52.63, 56.46}, {51.18, 58.78}, {51.94, 56.91}),
    C({55.34, 56.07}, {53.32, 56.01}, {55.34, 56.07}),
    C({55.95, 53.4}, {55.34, 56.07}, {55.45, 54.05}),
    C({58.39, 52.15}, {56.46, 52.76}, {58.39, 52.15}),
    C({58.1, 49.44}, {58.39, 52.15}, {57.84, 50.21}),
    C({60, 47.47}, {58.37, 48.66}, {60, 47.47}),
    C({58.84, 44.99}, {60, 47.47}, {58.84, 45.81}),
    C({60, 42.51}, {58.84, 44.17}, {60, 42.51}),
    C({58.1, 40.54}, {60, 42.51}, {58.36, 41.32}),
    C({58.38, 37.83}, {57.83, 39.77}, {58.38, 37.83}),
    C({55.94, 36.58}, {58.38, 37.83}, {56.44, 37.22}),
    C({55.32, 33.92}, {55.43, 35.93}, {55.32, 33.92}),
    Z(),
};

} // namespace

std::shared_ptr<Shield> Shield::Create(const SettingsDict& settings)
{
    const auto raw = foundation::settingInteger(settings, SettingsKey::corners);
    return raw ? std::make_shared<Shield>(Corners(*raw)) : std::make_shared<Shield>();
}

std::shared_ptr<QRCodePupilShapeGenerator> Shield::copyShape() const { return Create(settings()); }

SettingsDict Shield::settings() const
{
    SettingsDict dict = SettingsDict::object();
    dict[std::string(SettingsKey::corners)] = corners_.rawValue;
    return dict;
}

bool Shield::setSettingValue(const OptionalSettingsValue& value, std::string_view key)
{
    if (key != SettingsKey::corners) return false;
    const auto corners = cornersFromSettingValue(value);
    if (!corners) return false;
    corners_ = *corners;
    return true;
}

gfx::Path Shield::pupilPath()
{
    gfx::Path path;
    path.reserve(4 * 7);
    for (const auto& quarter : kShieldQuarters) {
        const bool cut = (corners_.rawValue & quarter.bit) != 0;
        path.addPath(outlinePath(cut ? quarter.cut : quarter.rounded));
    }
    return path;
}
gfx::Path Pinch::pupilPath() { return outlinePath(kPinch); }

gfx::Path Seal::pupilPath() { return outlinePath(kSeal); }

gfx::Path SpikyCircle::pupilPath()
{
    static const gfx::Path outline = outlinePath(kSpikyCircle);
    return outline;
}

gfx::Path Squircle::pupilPath() { return outlinePath(kSquircle); }

std::span<const PupilShapeClass> shieldPupils()
{
    static constexpr std::array<PupilShapeClass, 5> classes{{
        generatorClass<Squircle, QRCodePupilShapeGenerator>(),
        generatorClass<Shield, QRCodePupilShapeGenerator>(),
        generatorClass<Seal, QRCodePupilShapeGenerator>(),
        generatorClass<Pinch, QRCodePupilShapeGenerator>(),
        generatorClass<SpikyCircle, QRCodePupilShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PupilShape
