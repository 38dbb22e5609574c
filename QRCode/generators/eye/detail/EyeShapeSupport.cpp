#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

#include "platform/foundation/SettingsValue.h"

#include <cmath>

namespace QRCode::EyeShape {

std::optional<double> numberSetting(const OptionalSettingsValue& value)
{
    if (!value) return std::nullopt;
    return foundation::settingDouble(*value);
}

std::optional<std::int64_t> integerSetting(const OptionalSettingsValue& value)
{
    if (!value) return std::nullopt;
    return foundation::settingInteger(*value);
}

double clampedFraction(double fraction) noexcept
{
    if (std::isnan(fraction) || fraction <= 0) return 0;
    return fraction > 1 ? 1 : fraction;
}

std::optional<Flip> flipFromSettingValue(const OptionalSettingsValue& value)
{
    if (!value || !numberSetting(value)) return std::nullopt;
    // A number too large for an integer is still a number: it names no
    // mirror, so it selects none like any other out-of-range integer.
    return flipFromRawValue(integerSetting(value).value_or(-1)).value_or(Flip::none);
}

gfx::AffineTransform flipTransform(Flip flip) noexcept
{
    switch (flip) {
    case Flip::horizontal: return {-1, 0, 0, 1, kEyeBoxSize, 0};
    case Flip::vertical: return {1, 0, 0, -1, 0, kEyeBoxSize};
    case Flip::both: return {-1, 0, 0, -1, kEyeBoxSize, kEyeBoxSize};
    case Flip::none: break;
    }
    return gfx::AffineTransform::identity();
}

gfx::Path flippedPath(const gfx::Path& path, Flip flip)
{
    if (flip == Flip::none) return path;
    gfx::Path mirrored;
    mirrored.addPath(path, flipTransform(flip));
    mirrored.closeSubpath();
    return mirrored;
}

} // namespace QRCode::EyeShape
