#include "QRCode/generators/pupil/PixelPupils.h"

#include <array>
#include <algorithm>

namespace QRCode::PupilShape {

gfx::Path CorneredPixels::pupilPath() {
    const double r = actualCornerRadius();
    gfx::Path path;
    path.reserve(9 * 6);
    for (const double y : {30.0, 40.0, 50.0}) {
        for (const double x : {30.0, 40.0, 50.0}) {
            const bool left = x == 30, right = x == 50, top = y == 30, bottom = y == 50;
            if (!((left || right) && (top || bottom))) {
                path.addRect(gfx::Rect(x, y, 9, 9));
                continue;
            }
            // The corner cell's outer corner is rounded by one cubic whose
            // first control point is the sharp corner and whose second is
            // the curve's end.
            gfx::Path cell;
            if (left && top) {
                if (r == 0) {
                    cell.moveTo({30, 30});
                    cell.lineTo({39, 30});
                    cell.lineTo({39, 39});
                    cell.lineTo({30, 39});
                    cell.lineTo({30, 30});
                } else {
                    cell.moveTo({30 + r, 30});
                    cell.lineTo({39, 30});
                    cell.lineTo({39, 39});
                    cell.lineTo({30, 39});
                    cell.lineTo({30, 30 + r});
                    cell.curveTo({30, 30}, {30 + r, 30}, {30 + r, 30});
                }
            } else if (right && top) {
                cell.moveTo({50, 30});
                if (r == 0) {
                    cell.lineTo({59, 30});
                } else {
                    cell.lineTo({59 - r, 30});
                    cell.curveTo({59, 30}, {59, 30 + r}, {59, 30 + r});
                }
                cell.lineTo({59, 39});
                cell.lineTo({50, 39});
                cell.lineTo({50, 30});
            } else if (left && bottom) {
                cell.moveTo({30, 50});
                cell.lineTo({39, 50});
                cell.lineTo({39, 59});
                if (r == 0) {
                    cell.lineTo({30, 59});
                } else {
                    cell.lineTo({30 + r, 59});
                    cell.curveTo({30, 59}, {30, 59 - r}, {30, 59 - r});
                }
                cell.lineTo({30, 50});
            } else {
                cell.moveTo({50, 50});
                cell.lineTo({59, 50});
                if (r == 0) {
                    cell.lineTo({59, 59});
                } else {
                    cell.lineTo({59, 59 - r});
                    cell.curveTo({59, 59}, {59 - r, 59}, {59 - r, 59});
                }
                cell.lineTo({50, 59});
                cell.lineTo({50, 50});
            }
            cell.closeSubpath();
            path.addPath(cell);
        }
    }
    return path;
}

gfx::Path Pixels::pupilPath() {
    // A radius beyond half the 9-unit side is drawn as half the side.
    const double r = std::min(actualCornerRadius(), 4.5);
    gfx::Path path;
    path.reserve(9 * 10);
    for (const double y : {30.0, 40.0, 50.0}) {
        for (const double x : {30.0, 40.0, 50.0}) path.addRoundedRect(gfx::Rect(x, y, 9, 9), r, r);
    }
    return path;
}

gfx::Path Edges::pupilPath() {
    gfx::Path path;
    path.addRoundedRect(gfx::Rect(30, 30, 30, 30), actualCornerRadius(), actualCornerRadius());
    return path;
}
std::shared_ptr<RoundedRect> RoundedRect::Create(const SettingsDict& settings) {
    return std::make_shared<RoundedRect>(
        foundation::settingDouble(settings, SettingsKey::cornerRadiusFraction).value_or(DefaultRadius));
}

void RoundedRect::setCornerRadiusFraction(double fraction) noexcept { fraction_ = pixelmath::unitFraction(fraction); }

std::shared_ptr<QRCodePupilShapeGenerator> RoundedRect::copyShape() const {
    return std::make_shared<RoundedRect>(fraction_);
}

SettingsDict RoundedRect::settings() const {
    SettingsDict dict = SettingsDict::object();
    dict[std::string(SettingsKey::cornerRadiusFraction)] = fraction_;
    return dict;
}

bool RoundedRect::supportsSettingValueForKey(std::string_view key) const {
    return key == SettingsKey::cornerRadiusFraction;
}

bool RoundedRect::setSettingValue(const OptionalSettingsValue& value, std::string_view key) {
    if (key != SettingsKey::cornerRadiusFraction || !value) return false;
    const auto fraction = foundation::settingDouble(*value);
    if (!fraction) return false;
    setCornerRadiusFraction(*fraction);
    return true;
}

gfx::Path RoundedRect::pupilPath() {
    // At most 13.5: nine tenths of half the pupil square.
    const double r = fraction_ * 15 * 0.9;
    gfx::Path path;
    path.addRoundedRect(gfx::Rect(30, 30, 30, 30), r, r);
    return path;
}

std::span<const PupilShapeClass> pixelPupils() {
    static constexpr std::array<PupilShapeClass, 4> classes{{
        generatorClass<CorneredPixels, QRCodePupilShapeGenerator>(),
        generatorClass<Edges, QRCodePupilShapeGenerator>(),
        generatorClass<RoundedRect, QRCodePupilShapeGenerator>(),
        generatorClass<Pixels, QRCodePupilShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PupilShape
