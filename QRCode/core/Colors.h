#pragma once

#include "platform/gfx/Color.h"

#include <exception>
#include <string>
#include <string_view>

namespace QRCode {

// Shared colours and the two text forms of a colour: the RGBA text (four
// components joined by commas, used by every settings dictionary that stores
// a colour) and the hexadecimal text "#rrggbb".

// Created once and shared; immutable.
const gfx::Color& standardWhite(); // generic grey 1, alpha 1
const gfx::Color& standardBlack(); // generic grey 0, alpha 1
const gfx::Color& standardClear(); // generic grey 0, alpha 0

inline constexpr gfx::ColorSpace sRGBColorSpace = gfx::ColorSpace::sRGB;
inline constexpr gfx::ColorSpace genericRGBLinearColorSpace = gfx::ColorSpace::linearSRGB;
inline constexpr gfx::ColorSpace extendedGrayColorSpace = gfx::ColorSpace::extendedGray;

enum class RGBAComponentsError : int {
    unableToUnarchiveColor = 0, // carries the text that could not be read
    unableToConvertToRGBA = 1,
};

class RGBAComponentsException : public std::exception {
public:
    explicit RGBAComponentsException(RGBAComponentsError error, std::string text = {});
    RGBAComponentsError code() const noexcept { return code_; }
    // The unreadable text of unableToUnarchiveColor; empty otherwise.
    const std::string& text() const noexcept { return text_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    RGBAComponentsError code_;
    std::string text_;
    std::string message_;
};

// Red, green, blue and alpha in sRGB, nominally 0...1.
class RGBAComponents {
public:
    RGBAComponents(double r, double g, double b, double a) : r_(r), g_(g), b_(b), a_(a) {}
    // The colour matched into sRGB. Throws RGBAComponentsException
    // (unableToConvertToRGBA) for a colour without four sRGB components.
    explicit RGBAComponents(const gfx::Color& color);

    double r() const { return r_; }
    double g() const { return g_; }
    double b() const { return b_; }
    double a() const { return a_; }

    // "r,g,b,a", each the shortest text that reads back to the same double,
    // always with a fractional part or exponent: "1.0,0.5,0.0,1.0".
    std::string stringValue() const;

private:
    double r_, g_, b_, a_;
};

// The RGBA text of a colour; throws RGBAComponentsException.
std::string CGColorRGBAString(const gfx::Color& color);
// Reads RGBA text into an sRGB colour: pieces between commas, trimmed of
// spaces and tabs; pieces that are not numbers are skipped; each number is
// limited to 0...1 (NaN gives 1). Anything but exactly four numbers throws
// RGBAComponentsException (unableToUnarchiveColor, carrying the text).
gfx::Color CGColorFromRGBAString(std::string_view text);
// "#rrggbb" in lower case, each component limited to 0...1, times 255,
// truncated; alpha is not written. Throws RGBAComponentsException.
std::string CGColorHexRGBString(const gfx::Color& color);
// Reads "#rgb", "#rgba", "#rrggbb" or "#rrggbbaa" (the "#" optional, any
// case) into a colour of `space`. Throws
// QRCodeException(QRCodeError::invalidHexColorString) for anything else.
gfx::Color CGColorFromHexString(std::string_view text, gfx::ColorSpace space = sRGBColorSpace);
// An sRGB colour from its four components.
gfx::Color CGColorSRGB(double r, double g, double b, double a);

} // namespace QRCode
