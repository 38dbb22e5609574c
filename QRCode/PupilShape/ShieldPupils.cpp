#include "QRCode/PupilShape/ShieldPupils.h"

#include <array>

namespace QRCode::PupilShape {

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
    if (key != SettingsKey::corners || !value) return false;
    const auto raw = foundation::settingInteger(*value);
    if (!raw) return false;
    corners_ = Corners(*raw);
    return true;
}

gfx::Path Shield::pupilPath() { return {}; }
gfx::Path Pinch::pupilPath() { return {}; }
gfx::Path Seal::pupilPath() { return {}; }
gfx::Path SpikyCircle::pupilPath() { return {}; }
gfx::Path Squircle::pupilPath() { return {}; }

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
