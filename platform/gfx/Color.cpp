#include "platform/gfx/Color.h"

#include <algorithm>
#include <cmath>

namespace gfx {

namespace {

double unit(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); }

bool isExtended(ColorSpace s) {
    return s == ColorSpace::extendedSRGB || s == ColorSpace::extendedGray || s == ColorSpace::linearSRGB;
}

// The sRGB tone curve, mirrored for negative values of the extended range.
double encodeSRGB(double v) {
    const double m = std::fabs(v);
    const double e = m <= 0.0031308 ? 12.92 * m : 1.055 * std::pow(m, 1.0 / 2.4) - 0.055;
    return v < 0 ? -e : e;
}

} // namespace

Color::Color(ColorSpace space, double c0, double c1, double c2, double a) : space_(space), alpha_(unit(a)) {
    if (isGray()) c1 = c2 = c0;
    c_ = {c0, c1, c2};
    for (double& c : c_) {
        if (!isExtended(space))
            c = unit(c);
        else if (std::isnan(c))
            c = 0;
    }
}

Color Color::withAlpha(double a) const {
    Color c = *this;
    c.alpha_ = unit(a);
    return c;
}

RGBA Color::toSRGB() const {
    if (space_ == ColorSpace::linearSRGB) {
        return {encodeSRGB(c_[0]), encodeSRGB(c_[1]), encodeSRGB(c_[2]), alpha_};
    }
    return {c_[0], c_[1], c_[2], alpha_};
}

} // namespace gfx
