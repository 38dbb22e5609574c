#include "QRCode/generators/pixel/Bars.h"

#include "QRCode/generators/detail/PixelGeneratorMath.h"
#include "QRCode/generators/pixel/detail/NeighbourShapeSupport.h"
#include "QRCode/generators/SettingsKey.h"

namespace QRCode::PixelShape {

BarsBase::Fractions BarsBase::fractionsFrom(const SettingsDict& settings) {
    return {foundation::settingDouble(settings, SettingsKey::insetFraction).value_or(DefaultInset),
            foundation::settingDouble(settings, SettingsKey::cornerRadiusFraction).value_or(DefaultCornerRadius)};
}

BarsBase::BarsBase(double insetFraction, double cornerRadiusFraction)
    : insetFraction_(pixelmath::unitFraction(insetFraction)),
      cornerRadiusFraction_(pixelmath::unitFraction(cornerRadiusFraction)) {}

void BarsBase::reset() {
    insetFraction_ = DefaultInset;
    cornerRadiusFraction_ = DefaultCornerRadius;
}

SettingsDict BarsBase::settings() const {
    SettingsDict result = SettingsDict::object();
    result[std::string(SettingsKey::insetFraction)] = insetFraction_;
    result[std::string(SettingsKey::cornerRadiusFraction)] = cornerRadiusFraction_;
    return result;
}

bool BarsBase::supportsSettingValueForKey(std::string_view key) const {
    return key == SettingsKey::insetFraction || key == SettingsKey::cornerRadiusFraction;
}

bool BarsBase::setSettingValue(const OptionalSettingsValue& value, std::string_view key) {
    double* field = nullptr;
    double fallback = 0;
    if (key == SettingsKey::insetFraction) {
        field = &insetFraction_;
        fallback = DefaultInset;
    } else if (key == SettingsKey::cornerRadiusFraction) {
        field = &cornerRadiusFraction_;
        fallback = DefaultCornerRadius;
    } else {
        return false;
    }
    if (!value) {
        *field = fallback;
        return true;
    }
    const auto number = foundation::settingDouble(*value);
    if (!number) return false;
    *field = *number;
    return true;
}

gfx::Path BarsBase::barsPath(const BoolMatrix& matrix, gfx::Size size, bool horizontal) const {
    gfx::Path path;
    const auto layout = neighbours::ModuleLayout::of(matrix, size);
    if (!layout) return path;
    const double inset = pixelmath::unitFraction(insetFraction_);
    const double corner = pixelmath::unitFraction(cornerRadiusFraction_);
    const std::int64_t n = layout->n;
    const double cell = layout->cell;
    const std::uint8_t* cells = matrix.data();
    // At most one bar per on-module, ten elements each.
    path.reserve(neighbours::onModuleCount(matrix) * 10);

    // A run of k modules from position `start` along line `line` (a row for
    // horizontal bars, a column for vertical ones).
    const auto emit = [&](std::int64_t line, std::int64_t start, std::int64_t k) {
        const double along = static_cast<double>(k) * cell;
        const gfx::Point o = horizontal ? layout->origin(line, start) : layout->origin(start, line);
        const gfx::Rect run = horizontal ? gfx::Rect(o.x, o.y, along, cell) : gfx::Rect(o.x, o.y, cell, along);
        const double d = cell * inset * 0.5; // the run's thickness is one module
        const gfx::Rect bar(run.origin.x + d, run.origin.y + d, run.size.width - 2 * d, run.size.height - 2 * d);
        const double radius = (cell - 2 * d) * 0.5 * corner;
        path.addRoundedRect(bar, radius, radius);
    };

    for (std::int64_t line = 0; line < n; ++line) {
        std::int64_t start = 0, length = 0;
        for (std::int64_t i = 0; i < n; ++i) {
            const bool on = horizontal ? cells[line * n + i] != 0 : cells[i * n + line] != 0;
            if (on) {
                if (length == 0) start = i;
                ++length;
            } else if (length > 0) {
                emit(line, start, length);
                length = 0;
            }
        }
        if (length > 0) emit(line, start, length);
    }
    return path;
}

} // namespace QRCode::PixelShape
