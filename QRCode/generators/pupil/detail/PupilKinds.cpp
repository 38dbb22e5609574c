#include "QRCode/generators/pupil/detail/PupilKinds.h"


#include <limits>

namespace QRCode::PupilShape {

gfx::Path flippedPupilOutline(gfx::Path base, Flip flip)
{
    using gfx::AffineTransform;
    AffineTransform mirror;
    switch (flip) {
    case Flip::horizontal: mirror = AffineTransform::translation(-90, 0).then(AffineTransform::scale(-1, 1)); break;
    case Flip::vertical: mirror = AffineTransform::translation(0, -90).then(AffineTransform::scale(1, -1)); break;
    case Flip::both: mirror = AffineTransform::translation(-90, -90).then(AffineTransform::scale(-1, -1)); break;
    default: return base;
    }
    gfx::Path path;
    path.reserve(base.size() + 1);
    path.addPath(base, mirror);
    path.closeSubpath();
    return path;
}

gfx::Path mirroredTopDown(const gfx::Path& authored)
{
    using gfx::AffineTransform;
    gfx::Path path;
    path.reserve(authored.size());
    path.addPath(authored, AffineTransform::translation(0, -90).then(AffineTransform::scale(1, -1)));
    return path;
}

namespace detail {

std::optional<Flip> flipFromSettingValue(const SettingsValue& value)
{
    if (!foundation::settingDouble(value)) return std::nullopt;
    // A number beyond the integers (or NaN) selects none like any other
    // integer outside 0...3.
    const auto raw = foundation::settingInteger(value);
    return raw ? flipFromRawValue(*raw).value_or(Flip::none) : Flip::none;
}

double finiteFraction(double fraction) noexcept
{
    if (std::isnan(fraction)) return 0;
    if (std::isinf(fraction)) return fraction > 0 ? 1 : 0;
    return fraction;
}

double unitFraction(double fraction) noexcept
{
    if (!(fraction > 0)) return 0;
    return fraction < 1 ? fraction : 1;
}

} // namespace detail

} // namespace QRCode::PupilShape
