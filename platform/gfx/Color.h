#pragma once

#include <array>

namespace gfx {

// The colour spaces the library uses. Device and generic RGB are treated as
// sRGB; the grey spaces hold one component; the extended spaces allow values
// outside 0...1; linear sRGB has the sRGB primaries without the tone curve.
enum class ColorSpace { sRGB, extendedSRGB, deviceRGB, genericRGB, linearSRGB, genericGray, extendedGray };

// Straight (not premultiplied) sRGB components.
struct RGBA {
    double r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const RGBA&, const RGBA&) = default;
};

// An immutable colour: a colour space, its components and an alpha.
class Color {
public:
    // Opaque black in generic grey.
    Color() = default;

    static Color sRGB(double r, double g, double b, double a = 1) { return Color(ColorSpace::sRGB, r, g, b, a); }
    static Color extendedSRGB(double r, double g, double b, double a = 1) {
        return Color(ColorSpace::extendedSRGB, r, g, b, a);
    }
    static Color genericRGB(double r, double g, double b, double a = 1) {
        return Color(ColorSpace::genericRGB, r, g, b, a);
    }
    static Color deviceRGB(double r, double g, double b, double a = 1) {
        return Color(ColorSpace::deviceRGB, r, g, b, a);
    }
    static Color linearSRGB(double r, double g, double b, double a = 1) {
        return Color(ColorSpace::linearSRGB, r, g, b, a);
    }
    static Color gray(double gray, double a = 1) { return Color(ColorSpace::genericGray, gray, gray, gray, a); }
    static Color extendedGray(double gray, double a = 1) {
        return Color(ColorSpace::extendedGray, gray, gray, gray, a);
    }
    // A colour from components in `space`: three for the RGB spaces, the first
    // one only for the grey spaces. Components of the non-extended spaces are
    // limited to 0...1, alpha always is; NaN
    // becomes 0 everywhere.
    static Color withComponents(ColorSpace space, double c0, double c1, double c2, double a) {
        return Color(space, c0, c1, c2, a);
    }

    ColorSpace space() const { return space_; }
    bool isGray() const { return space_ == ColorSpace::genericGray || space_ == ColorSpace::extendedGray; }
    // Colour components without alpha: 1 for grey spaces, 3 otherwise.
    int numberOfComponents() const { return isGray() ? 1 : 3; }
    // The i-th colour component (0-based; i == numberOfComponents() is alpha).
    double component(int i) const { return i >= numberOfComponents() ? alpha_ : c_[std::size_t(i)]; }
    double alpha() const { return alpha_; }

    Color withAlpha(double a) const;

    // The colour matched into sRGB. Values outside 0...1 survive from the
    // extended spaces.
    RGBA toSRGB() const;

    friend bool operator==(const Color&, const Color&) = default;

private:
    Color(ColorSpace space, double c0, double c1, double c2, double a);

    ColorSpace space_ = ColorSpace::genericGray;
    std::array<double, 3> c_{0, 0, 0};
    double alpha_ = 1;
};

} // namespace gfx
