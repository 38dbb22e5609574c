#include "settings-store/qt/PlatformColor.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Defaults::Color;

constexpr std::string_view extendedSRGBName = "kCGColorSpaceExtendedSRGB";
constexpr std::string_view genericCMYKName = "kCGColorSpaceGenericCMYK";

bool isLinear(std::string_view space) {
    return space == "kCGColorSpaceLinearSRGB" || space == "kCGColorSpaceExtendedLinearSRGB" ||
           space == "kCGColorSpaceGenericRGBLinear" || space == "kCGColorSpaceLinearGray" ||
           space == "kCGColorSpaceExtendedLinearGray";
}

// The sRGB transfer curve, mirrored below zero for extended values.
double encodeSRGB(double linear) {
    const double magnitude = std::abs(linear);
    const double encoded = magnitude <= 0.0031308 ? 12.92 * magnitude : 1.055 * std::pow(magnitude, 1 / 2.4) - 0.055;
    return std::copysign(encoded, linear);
}

Color storedColorOfAnySpec(const QColor& color) {
    switch (color.spec()) {
    case QColor::Invalid: throw archive::ArchiveError::invalid("An invalid colour has no components to archive.");
    case QColor::Cmyk: {
        float c, m, y, k, a;
        color.getCmykF(&c, &m, &y, &k, &a);
        return Color{std::string(genericCMYKName), {c, m, y, k, a}};
    }
    case QColor::ExtendedRgb:
        return Color{std::string(extendedSRGBName), {color.redF(), color.greenF(), color.blueF(), color.alphaF()}};
    default: {
        const QColor rgb = color.toRgb();
        return Color::sRGB(rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF());
    }
    }
}

// An extended-range colour can hold infinities; no archive does.
Color storedColor(const QColor& color) {
    Color stored = storedColorOfAnySpec(color);
    if (!Color::allFinite(stored.components))
        throw archive::ArchiveError::invalid("The colour has components that are not finite.");
    return stored;
}

[[noreturn]] void refuse() { throw archive::ArchiveError::corrupt("The colour's components make no platform colour."); }

// `color` as the colour archive decodes it: at least one component, every
// one finite.
QColor platformColor(const Color& color) {
    const auto& values = color.components;
    const double alpha = values.back();
    if (!(alpha >= 0 && alpha <= 1)) refuse();
    const std::size_t count = values.size() - 1;
    const std::string_view space = color.colorSpaceName;
    const bool named = !space.empty();
    if ((named && space == genericCMYKName) || (!named && count == 4)) {
        if (!std::all_of(values.begin(), values.end(), [](double v) { return v >= 0 && v <= 1; })) refuse();
        return QColor::fromCmykF(float(values[0]), float(values[1]), float(values[2]), float(values[3]), float(alpha));
    }
    if (count != 1 && count != 3) refuse(); // an unnamed colour of another size
    std::vector<double> rgb;
    for (std::size_t i = 0; i < 3; ++i) {
        const double value = values[count == 1 ? 0 : i];
        rgb.push_back(named && isLinear(space) ? encodeSRGB(value) : value);
    }
    // Out of 0...1 Qt keeps the values as an extended-range colour, in half
    // precision: values beyond its range would become infinite.
    const QColor result = QColor::fromRgbF(float(rgb[0]), float(rgb[1]), float(rgb[2]), float(alpha));
    if (!Color::allFinite({result.redF(), result.greenF(), result.blueF()})) refuse();
    return result;
}

} // namespace

namespace archive {

void Archivable<QColor>::encode(const QColor& color, KeyedEncoder& coder) {
    Archivable<Defaults::Color>::encode(storedColor(color), coder);
}

QColor Archivable<QColor>::decode(const KeyedDecoder& coder) {
    return platformColor(Archivable<Defaults::Color>::decode(coder));
}

} // namespace archive
