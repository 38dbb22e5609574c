#include "QRCode/generators/pixel/RoundedPath.h"

#include "QRCode/generators/detail/PixelGeneratorMath.h"
#include "QRCode/generators/pixel/detail/NeighbourShapeSupport.h"
#include "QRCode/generators/SettingsKey.h"

#include <algorithm>
#include <array>

namespace QRCode::PixelShape {

namespace {

using namespace outline;
using neighbours::TileSink;

// The end of a run (one side neighbour on): the free side keeps its corners
// sharp and bows in by two units at its middle, whatever the radius.
constexpr std::array<OutlineStep, 7> kIndentFreeBottom{{
    M(0, 0),
    L(10, 0),
    L(10, 10),
    C({5, 8}, {10, 10}, {9, 8}),
    C({0, 10}, {1, 8}, {0, 10}),
    L(0, 0),
    Z(),
}};
constexpr std::array<OutlineStep, 7> kIndentFreeRight{{
    M(0, 0),
    L(10, 0),
    C({8, 5}, {10, 0}, {8, 1}),
    C({10, 10}, {8, 9}, {10, 10}),
    L(0, 10),
    L(0, 0),
    Z(),
}};
constexpr std::array<OutlineStep, 7> kIndentFreeLeft{{
    M(10, 0),
    L(0, 0),
    C({2, 5}, {0, 0}, {2, 1}),
    C({0, 10}, {2, 9}, {0, 10}),
    L(10, 10),
    L(10, 0),
    Z(),
}};
constexpr std::array<OutlineStep, 7> kIndentFreeTop{{
    M(0, 10),
    L(10, 10),
    L(10, 0),
    C({5, 2}, {10, 0}, {9, 2}),
    C({0, 0}, {1, 2}, {0, 0}),
    L(0, 10),
    Z(),
}};

// Draws one module's outline in unit-cell coordinates. A rounded corner is
// one cubic from the point R from the corner on one side to the point R on
// the other, its first control the corner itself and its second equal to
// its end. With R = 0 the curves are left out, so every outline is the
// plain square traced from (0, 0).
struct Outliner {
    const TileSink& sink;
    double r;

    void corner(gfx::Point cornerPoint, gfx::Point end) const {
        if (r > 0) sink.curveTo(cornerPoint, end, end);
    }

    void onModule(const BoolMatrix::NeighbourInfo& nb, bool indentedEnds) const {
        const int count = neighbours::edgeNeighbourCount(nb);
        if (count == 0) {
            sink.appendRoundedRect(0, 0, 10, 10, r);
            return;
        }
        if (count >= 3 || (nb.left && nb.right) || (nb.top && nb.bottom)) {
            sink.appendRect(0, 0, 10, 10);
            return;
        }
        if (count == 1 && indentedEnds) {
            if (nb.top)
                sink.append(kIndentFreeBottom);
            else if (nb.left)
                sink.append(kIndentFreeRight);
            else if (nb.right)
                sink.append(kIndentFreeLeft);
            else
                sink.append(kIndentFreeTop);
            return;
        }
        const double q = 10 - r;
        if (count == 1) {
            if (nb.top) { // bottom-left and bottom-right rounded
                sink.moveTo({0, 0});
                sink.lineTo({10, 0});
                sink.lineTo({10, q});
                corner({10, 10}, {q, 10});
                sink.lineTo({r, 10});
                corner({0, 10}, {0, q});
                sink.lineTo({0, 0});
            } else if (nb.left) { // top-right and bottom-right rounded
                sink.moveTo({0, 0});
                sink.lineTo({q, 0});
                corner({10, 0}, {10, r});
                sink.lineTo({10, q});
                corner({10, 10}, {q, 10});
                sink.lineTo({0, 10});
                sink.lineTo({0, 0});
            } else if (nb.right) { // top-left and bottom-left rounded
                sink.moveTo({r, 0});
                sink.lineTo({10, 0});
                sink.lineTo({10, 10});
                sink.lineTo({r, 10});
                corner({0, 10}, {0, q});
                sink.lineTo({0, r});
                corner({0, 0}, {r, 0});
            } else { // bottom: top-left and top-right rounded
                sink.moveTo({r, 0});
                sink.lineTo({q, 0});
                corner({10, 0}, {10, r});
                sink.lineTo({10, 10});
                sink.lineTo({0, 10});
                sink.lineTo({0, r});
                corner({0, 0}, {r, 0});
            }
            sink.close();
            return;
        }
        // Two side neighbours meeting at a corner: the opposite corner is
        // rounded.
        if (nb.top && nb.left) { // bottom-right
            sink.moveTo({0, 0});
            sink.lineTo({10, 0});
            sink.lineTo({10, q});
            corner({10, 10}, {q, 10});
            sink.lineTo({0, 10});
            sink.lineTo({0, 0});
        } else if (nb.top && nb.right) { // bottom-left
            sink.moveTo({0, 0});
            sink.lineTo({10, 0});
            sink.lineTo({10, 10});
            sink.lineTo({r, 10});
            corner({0, 10}, {0, q});
            sink.lineTo({0, 0});
        } else if (nb.left && nb.bottom) { // top-right
            sink.moveTo({0, 0});
            sink.lineTo({q, 0});
            corner({10, 0}, {10, r});
            sink.lineTo({10, 10});
            sink.lineTo({0, 10});
            sink.lineTo({0, 0});
        } else { // right and bottom: top-left
            sink.moveTo({r, 0});
            sink.lineTo({10, 0});
            sink.lineTo({10, 10});
            sink.lineTo({0, 10});
            sink.lineTo({0, r});
            corner({0, 0}, {r, 0});
        }
        sink.close();
    }
};

// The fillet of radius f in one corner of an off-module; the mirrors turn
// the top-left fillet into the others (x -> 10 - x, y -> 10 - y).
void fillet(const TileSink& sink, double f, bool mirrorX, bool mirrorY) {
    const auto at = [&](double x, double y) { return gfx::Point{mirrorX ? 10 - x : x, mirrorY ? 10 - y : y}; };
    const double h = f / 2;
    sink.moveTo(at(f, 0));
    sink.lineTo(at(0, 0));
    sink.curveTo(at(0, 0), at(0, h), at(0, f));
    sink.curveTo(at(0, h), at(h, 0), at(f, 0));
    sink.close();
}

} // namespace

RoundedPathBase::RoundedPathBase(double cornerRadiusFraction, bool hasInnerCorners, bool defaultHasInnerCorners,
                                 bool indentedEnds)
    : hasInnerCorners_(hasInnerCorners), defaultHasInnerCorners_(defaultHasInnerCorners), indentedEnds_(indentedEnds) {
    setCornerRadiusFraction(cornerRadiusFraction);
}

void RoundedPathBase::setCornerRadiusFraction(double fraction) noexcept {
    cornerRadius_ = pixelmath::unitFraction(fraction);
    actualRadius_ = 5 * cornerRadius_;
}

void RoundedPathBase::reset() {
    setCornerRadiusFraction(DefaultCornerRadius);
    hasInnerCorners_ = defaultHasInnerCorners_;
}

SettingsDict RoundedPathBase::settings() const {
    SettingsDict result = SettingsDict::object();
    result[std::string(SettingsKey::cornerRadiusFraction)] = cornerRadius_;
    result[std::string(SettingsKey::hasInnerCorners)] = hasInnerCorners_;
    return result;
}

bool RoundedPathBase::supportsSettingValueForKey(std::string_view key) const {
    return key == SettingsKey::cornerRadiusFraction || key == SettingsKey::hasInnerCorners;
}

bool RoundedPathBase::setSettingValue(const OptionalSettingsValue& value, std::string_view key) {
    if (key == SettingsKey::cornerRadiusFraction) {
        if (!value) {
            setCornerRadiusFraction(DefaultCornerRadius);
            return true;
        }
        const auto number = foundation::settingDouble(*value);
        if (!number) return false;
        setCornerRadiusFraction(*number);
        return true;
    }
    if (key == SettingsKey::hasInnerCorners) {
        if (!value) {
            hasInnerCorners_ = defaultHasInnerCorners_;
            return true;
        }
        const auto flag = foundation::settingBool(*value);
        if (!flag) return false;
        hasInnerCorners_ = *flag;
        return true;
    }
    return false;
}

gfx::Path RoundedPathBase::generatePath(const BoolMatrix& matrix, gfx::Size size) {
    const auto n = static_cast<std::size_t>(std::max<std::int64_t>(matrix.dimension(), 0));
    return gfx::pathOfOutlines(n * n * 8, [&](gfx::OutlineSink& out) { generateOutlines(matrix, size, out); });
}

void RoundedPathBase::generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    const auto layout = neighbours::ModuleLayout::of(matrix, size);
    if (!layout) return;
    const double r = actualRadius_;
    const double f = innerRadius * cornerRadius_;
    const bool fillets = hasInnerCorners_;
    const bool indented = indentedEnds_;
    neighbours::forEachModule(
        matrix, *layout, [&](std::int64_t row, std::int64_t column, bool on, const gfx::AffineTransform& placement) {
            if (!on && !fillets) return;
            const TileSink sink(out, placement);
            const auto nb = matrix.neighbourInfo(row, column);
            if (on) {
                Outliner{sink, r}.onModule(nb, indented);
                out.endFigure();
                return;
            }
            // An off-module's fillets fill the inner corners of the on-modules
            // around it, inside its own cell.
            if (nb.top && nb.left && nb.topLeft) fillet(sink, f, false, false);
            if (nb.top && nb.right && nb.topRight) fillet(sink, f, true, false);
            if (nb.bottom && nb.left && nb.bottomLeft) fillet(sink, f, false, true);
            if (nb.bottom && nb.right && nb.bottomRight) fillet(sink, f, true, true);
            out.endFigure();
        });
}

std::shared_ptr<RoundedPath> RoundedPath::Create(const SettingsDict& settings) {
    return std::make_shared<RoundedPath>(
        foundation::settingDouble(settings, SettingsKey::cornerRadiusFraction).value_or(DefaultCornerRadiusValue),
        foundation::settingBool(settings, SettingsKey::hasInnerCorners).value_or(DefaultHasInnerCorners));
}

std::shared_ptr<QRCodePixelShapeGenerator> RoundedPath::copyShape() const {
    return std::make_shared<RoundedPath>(cornerRadiusFraction(), hasInnerCorners());
}

std::shared_ptr<RoundedEndIndent> RoundedEndIndent::Create(const SettingsDict& settings) {
    return std::make_shared<RoundedEndIndent>(
        foundation::settingDouble(settings, SettingsKey::cornerRadiusFraction).value_or(DefaultCornerRadius),
        foundation::settingBool(settings, SettingsKey::hasInnerCorners).value_or(DefaultHasInnerCorners));
}

std::shared_ptr<QRCodePixelShapeGenerator> RoundedEndIndent::copyShape() const {
    return std::make_shared<RoundedEndIndent>(cornerRadiusFraction(), hasInnerCorners());
}

} // namespace QRCode::PixelShape
