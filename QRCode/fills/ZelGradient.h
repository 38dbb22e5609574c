#pragma once

#include "platform/gfx/Color.h"
#include "platform/gfx/GraphicsContext.h"

#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace QRCode {

// An immutable colour ramp: colour stops ("pins") in ascending order of
// position, and the drawable gradient made from them. Stored as the RGBA
// gradient string "0.0:1,0,0,1|1.0:0,0,1,1".
class ZelGradient {
public:
    enum class GradientError : int {
        couldntConvertColorspace = 0,
        tooFewPins = 1,
        invalidPin = 2,
        invalidColor = 3,
        cannotCreateCoreGraphicsGradient = 4,
    };

    class Exception : public std::exception {
    public:
        explicit Exception(GradientError error) noexcept : code_(error) {}
        GradientError code() const noexcept { return code_; }
        // "GradientError." followed by the case's name.
        const char* what() const noexcept override;

    private:
        GradientError code_;
    };

    // One colour stop. The position is always within 0...1: larger values
    // become 1, smaller ones and NaN 0.
    class Pin {
    public:
        Pin(gfx::Color color, double position);
        // The colour read from hex text in sRGB; throws
        // QRCodeException(invalidHexColorString).
        static Pin fromHexColor(std::string_view hexColor, double position);

        Pin copyPin() const { return Pin(color_, position_); }
        double position() const { return position_; }
        const gfx::Color& color() const { return color_; }

        friend bool operator==(const Pin&, const Pin&) = default;

    private:
        gfx::Color color_;
        double position_;
    };

    // The pins sorted by position (stable: equal positions keep their order).
    // Fewer than two pins cannot make a gradient: throws
    // Exception(cannotCreateCoreGraphicsGradient).
    ZelGradient(std::vector<Pin> pins, gfx::ColorSpace colorspace);
    // One pin per (position, colour) pair, in sRGB.
    explicit ZelGradient(const std::vector<std::pair<double, gfx::Color>>& pins);
    // One pin per (position, hex text) pair, in sRGB; the first unreadable
    // hex text throws QRCodeException(invalidHexColorString).
    static ZelGradient fromHexPins(const std::vector<std::pair<double, std::string>>& pins);
    // Reads an RGBA gradient string; throws Exception with the first fault
    // in text order.
    static ZelGradient fromRGBAGradientString(std::string_view text);

    // The RGBA gradient string: positions in their shortest form, components
    // in sRGB with at most four fraction digits.
    std::string asRGBAGradientString() const;
    // New pins with the same colours and positions, in sRGB.
    ZelGradient copyGradient() const;

    const std::vector<Pin>& pins() const { return pins_; }
    gfx::ColorSpace colorspace() const { return colorspace_; }
    // The drawable form of the pins.
    const gfx::Gradient& cgGradient() const { return cgGradient_; }

    friend bool operator==(const ZelGradient& a, const ZelGradient& b) { return a.pins_ == b.pins_; }

private:
    std::vector<Pin> pins_;
    gfx::ColorSpace colorspace_;
    gfx::Gradient cgGradient_;
};

using ZelGradientPin = ZelGradient::Pin;

} // namespace QRCode
