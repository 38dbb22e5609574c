#include "QRCode/PupilShape/PixelPupils.h"

#include <array>

namespace QRCode::PupilShape {

gfx::Path CorneredPixels::pupilPath() { return {}; }
gfx::Path Pixels::pupilPath() { return {}; }
gfx::Path Edges::pupilPath() { return {}; }
std::shared_ptr<RoundedRect> RoundedRect::Create(const SettingsDict& settings)
{
    return std::make_shared<RoundedRect>(
        foundation::settingDouble(settings, SettingsKey::cornerRadiusFraction).value_or(DefaultRadius));
}

void RoundedRect::setCornerRadiusFraction(double fraction) noexcept { fraction_ = detail::unitFraction(fraction); }

std::shared_ptr<QRCodePupilShapeGenerator> RoundedRect::copyShape() const
{
    return std::make_shared<RoundedRect>(fraction_);
}

SettingsDict RoundedRect::settings() const
{
    SettingsDict dict = SettingsDict::object();
    dict[std::string(SettingsKey::cornerRadiusFraction)] = fraction_;
    return dict;
}

bool RoundedRect::supportsSettingValueForKey(std::string_view key) const
{
    return key == SettingsKey::cornerRadiusFraction;
}

bool RoundedRect::setSettingValue(const OptionalSettingsValue& value, std::string_view key)
{
    if (key != SettingsKey::cornerRadiusFraction || !value) return false;
    const auto fraction = foundation::settingDouble(*value);
    if (!fraction) return false;
    setCornerRadiusFraction(*fraction);
    return true;
}

gfx::Path RoundedRect::pupilPath() { return {}; }

std::span<const PupilShapeClass> pixelPupils()
{
    static constexpr std::array<PupilShapeClass, 4> classes{{
        generatorClass<CorneredPixels, QRCodePupilShapeGenerator>(),
        generatorClass<Edges, QRCodePupilShapeGenerator>(),
        generatorClass<RoundedRect, QRCodePupilShapeGenerator>(),
        generatorClass<Pixels, QRCodePupilShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PupilShape
