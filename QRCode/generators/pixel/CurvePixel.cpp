#include "QRCode/generators/pixel/CurvePixel.h"

#include "QRCode/generators/detail/PixelGeneratorMath.h"
#include "QRCode/generators/SettingsKey.h"

#include "QRCode/generators/pixel/detail/TileWalk.h"

#include <array>

namespace QRCode::PixelShape {

namespace {

// The drawn square: the cell inset by 0.5 on every side, so that
// neighbouring modules always stay 1 unit apart.
constexpr double kLow = 0.5;
constexpr double kHigh = 9.5;
constexpr double kHalfSide = 4.5;

// Side neighbours, one bit each.
enum Side : unsigned { left = 1, top = 2, right = 4, bottom = 8 };

const gfx::Path& plainSquare() {
    static const gfx::Path square = [] {
        gfx::Path p;
        p.addRect(gfx::Rect(kLow, kLow, kHigh - kLow, kHigh - kLow));
        return p;
    }();
    return square;
}

// The square traced from its top-left corner towards the top-right, rounding
// each corner whose two side neighbours are both off. A rounded corner is a
// line to rho before the corner and a cubic whose first control is the
// corner and whose second is its own end point.
gfx::Path partlyRounded(unsigned on, double rho) {
    const bool round = rho > 0;
    const bool tl = round && (on & (left | top)) == 0;
    const bool tr = round && (on & (top | right)) == 0;
    const bool br = round && (on & (right | bottom)) == 0;
    const bool bl = round && (on & (bottom | left)) == 0;
    gfx::Path p;
    p.moveTo({tl ? kLow + rho : kLow, kLow});
    if (tr) {
        p.lineTo({kHigh - rho, kLow});
        p.curveTo({kHigh, kLow}, {kHigh, kLow + rho}, {kHigh, kLow + rho});
    } else {
        p.lineTo({kHigh, kLow});
    }
    if (br) {
        p.lineTo({kHigh, kHigh - rho});
        p.curveTo({kHigh, kHigh}, {kHigh - rho, kHigh}, {kHigh - rho, kHigh});
    } else {
        p.lineTo({kHigh, kHigh});
    }
    if (bl) {
        p.lineTo({kLow + rho, kHigh});
        p.curveTo({kLow, kHigh}, {kLow, kHigh - rho}, {kLow, kHigh - rho});
    } else {
        p.lineTo({kLow, kHigh});
    }
    if (tl) {
        p.lineTo({kLow, kLow + rho});
        p.curveTo({kLow, kLow}, {kLow + rho, kLow}, {kLow + rho, kLow});
    } else {
        p.lineTo({kLow, kLow});
    }
    p.closeSubpath();
    return p;
}

} // namespace

CurvePixel::CurvePixel(double cornerRadiusFraction) { setCornerRadiusFraction(cornerRadiusFraction); }

std::shared_ptr<CurvePixel> CurvePixel::Create(const SettingsDict& settings) {
    return std::make_shared<CurvePixel>(
        foundation::settingDouble(settings, SettingsKey::cornerRadiusFraction).value_or(DefaultCornerRadiusValue));
}

void CurvePixel::setCornerRadiusFraction(double value) noexcept {
    cornerRadius_ = pixelmath::unitFraction(value);
    actualRadius_ = cornerRadius_ * kHalfSide;
}

std::shared_ptr<QRCodePixelShapeGenerator> CurvePixel::copyShape() const {
    return std::make_shared<CurvePixel>(cornerRadius_);
}

SettingsDict CurvePixel::settings() const {
    SettingsDict result = SettingsDict::object();
    result[std::string(SettingsKey::cornerRadiusFraction)] = cornerRadius_;
    return result;
}

bool CurvePixel::supportsSettingValueForKey(std::string_view key) const {
    return key == SettingsKey::cornerRadiusFraction;
}

bool CurvePixel::setSettingValue(const OptionalSettingsValue& value, std::string_view key) {
    if (key != SettingsKey::cornerRadiusFraction) return false;
    if (!value) {
        reset();
        return true;
    }
    const auto number = foundation::settingDouble(*value);
    if (!number) return false;
    setCornerRadiusFraction(*number);
    return true;
}

gfx::Path CurvePixel::generatePath(const BoolMatrix& matrix, gfx::Size size) {
    return gfx::pathOfOutlines(neighbours::onModuleCount(matrix) * 10,
                               [&](gfx::OutlineSink& sink) { generateOutlines(matrix, size, sink); });
}

void CurvePixel::generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    // The outlines depend only on which side neighbours are on and on the
    // radius, so each is made once per build.
    const double rho = actualRadius_;
    std::array<gfx::Path, 16> outlines;
    std::array<bool, 16> made{};
    const auto outline = [&](unsigned on) -> const gfx::Path& {
        // A module inside a straight run, across either axis, stays square.
        if ((on & (left | right)) == (left | right) || (on & (top | bottom)) == (top | bottom)) return plainSquare();
        if (!made[on]) {
            if (on == 0) {
                outlines[on].addRoundedRect(gfx::Rect(kLow, kLow, kHigh - kLow, kHigh - kLow), rho, rho);
            } else {
                outlines[on] = partlyRounded(on, rho);
            }
            made[on] = true;
        }
        return outlines[on];
    };

    neighbours::tiledOutlines(matrix, size, out,
                              [&](const neighbours::TileSink& sink, std::int64_t row, std::int64_t column, bool on) {
                                  if (!on) return;
                                  using neighbours::isOn;
                                  const unsigned sides = (isOn(matrix, row, column - 1) ? left : 0U) |
                                                         (isOn(matrix, row - 1, column) ? top : 0U) |
                                                         (isOn(matrix, row, column + 1) ? right : 0U) |
                                                         (isOn(matrix, row + 1, column) ? bottom : 0U);
                                  sink.append(outline(sides));
                              });
}

} // namespace QRCode::PixelShape
