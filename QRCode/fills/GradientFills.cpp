#include "QRCode/fills/GradientFills.h"

#include "QRCode/core/Colors.h"
#include "QRCode/fills/detail/FillShadows.h"
#include "QRCode/QRCodeError.h"
#include "QRCode/core/detail/SVGText.h"
#include "platform/foundation/NumberText.h"

namespace QRCode::FillStyle {

namespace {

double requiredNumber(const foundation::SettingsDict& settings, std::string_view key) {
    const auto value = foundation::settingDouble(settings, key);
    if (!value) throw QRCodeException(QRCodeError::cannotCreateGenerator);
    return *value;
}

ZelGradient requiredGradient(const foundation::SettingsDict& settings) {
    const auto text = foundation::settingString(settings, "gradient");
    if (!text) throw QRCodeException(QRCodeError::cannotCreateGenerator);
    return ZelGradient::fromRGBAGradientString(*text);
}

std::string number(double v) { return foundation::shortestNumberText(v); }

// One stop line per pin, in position order.
void appendStops(std::string& s, const ZelGradient& gradient, std::string_view indent) {
    for (const ZelGradient::Pin& pin : gradient.pins()) {
        s.append(indent);
        s.append("<stop offset=\"").append(number(pin.position()));
        s.append("\" stop-color=\"").append(CGColorHexRGBString(pin.color()));
        s.append("\" stop-opacity=\"").append(number(pin.color().alpha()));
        s.append("\" />\n");
    }
}

// The gradient element, then (after its closing tag: a filter may not sit
// inside a gradient) the shadow's filter.
SVGDefinition gradientDefinition(std::string definition, std::string_view styleIdentifier, double expectedPixelSize,
                                 const Shadow* shadow) {
    std::string attribute = "fill=\"url(#";
    attribute.append(styleIdentifier).append(")\" ");
    if (shadow) {
        const std::string filterId = svg::shadowFilterId(styleIdentifier);
        definition += shadow->svgFilter(filterId, expectedPixelSize);
        svg::appendFilterStyle(attribute, filterId);
    }
    return SVGDefinition(std::move(attribute), std::move(definition));
}

// Paints `paint` inside the path, then the shadow pass.
template <class Paint>
void fillPath(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path, double expectedPixelSize,
              const Shadow* shadow, Paint&& paint) {
    ctx.saveGState();
    ctx.clip(path, gfx::FillRule::nonZero);
    paint();
    ctx.restoreGState();
    if (shadow) detail::drawClippedFillShadow(ctx, rect, path, *shadow, expectedPixelSize);
}

constexpr double kRadialRadiusDivisor = 1.75;

} // namespace

// MARK: linear

LinearGradient::LinearGradient(ZelGradient gradient, gfx::Point startPoint, gfx::Point endPoint)
    : gradient_(std::move(gradient)), startPoint_(startPoint), endPoint_(endPoint) {}

LinearGradient::LinearGradient(std::vector<ZelGradient::Pin> pins, gfx::Point startPoint, gfx::Point endPoint)
    : LinearGradient(ZelGradient(std::move(pins), sRGBColorSpace), startPoint, endPoint) {}

std::shared_ptr<QRCodeFillStyleGenerator> LinearGradient::copyStyle() const {
    return std::make_shared<LinearGradient>(gradient_.copyGradient(), startPoint_, endPoint_);
}

foundation::SettingsDict LinearGradient::settings() const {
    foundation::SettingsDict dict = foundation::SettingsDict::object();
    dict["startX"] = startPoint_.x;
    dict["startY"] = startPoint_.y;
    dict["endX"] = endPoint_.x;
    dict["endY"] = endPoint_.y;
    dict["gradient"] = gradient_.asRGBAGradientString();
    return dict;
}

std::shared_ptr<LinearGradient> LinearGradient::Create(const foundation::SettingsDict& settings) {
    const double startX = requiredNumber(settings, "startX");
    const double startY = requiredNumber(settings, "startY");
    const double endX = requiredNumber(settings, "endX");
    const double endY = requiredNumber(settings, "endY");
    return std::make_shared<LinearGradient>(requiredGradient(settings), gfx::Point{startX, startY},
                                            gfx::Point{endX, endY});
}

void LinearGradient::fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const {
    const double x = rect.minX(), y = rect.minY(), w = rect.width(), h = rect.height();
    ctx.drawLinearGradient(gradient_.cgGradient(), {x + startPoint_.x * w, y + startPoint_.y * h},
                           {x + endPoint_.x * w, y + endPoint_.y * h});
}

void LinearGradient::fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path,
                          double expectedPixelSize, const Shadow* shadow) const {
    fillPath(ctx, rect, path, expectedPixelSize, shadow, [&] { fill(ctx, rect); });
}

SVGDefinition LinearGradient::svgRepresentation(std::string_view styleIdentifier, double expectedPixelSize,
                                                const Shadow* shadow) const {
    std::string s = "<linearGradient ";
    svg::appendAttribute(s, "id", styleIdentifier);
    for (const auto& [name, value] : {std::pair{"x1", startPoint_.x}, std::pair{"y1", startPoint_.y},
                                      std::pair{"x2", endPoint_.x}, std::pair{"y2", endPoint_.y}}) {
        s += ' ';
        svg::appendAttribute(s, name, number(value));
    }
    s.append(">\n");
    appendStops(s, gradient_, "");
    s.append("</linearGradient>\n");
    return gradientDefinition(std::move(s), styleIdentifier, expectedPixelSize, shadow);
}

// MARK: radial

RadialGradient::RadialGradient(ZelGradient gradient, gfx::Point centerPoint)
    : gradient_(std::move(gradient)), centerPoint_(centerPoint) {}

RadialGradient::RadialGradient(std::vector<ZelGradient::Pin> pins, gfx::Point centerPoint)
    : RadialGradient(ZelGradient(std::move(pins), sRGBColorSpace), centerPoint) {}

std::shared_ptr<QRCodeFillStyleGenerator> RadialGradient::copyStyle() const {
    return std::make_shared<RadialGradient>(gradient_.copyGradient(), centerPoint_);
}

foundation::SettingsDict RadialGradient::settings() const {
    foundation::SettingsDict dict = foundation::SettingsDict::object();
    dict["centerX"] = centerPoint_.x;
    dict["centerY"] = centerPoint_.y;
    dict["gradient"] = gradient_.asRGBAGradientString();
    return dict;
}

std::shared_ptr<RadialGradient> RadialGradient::Create(const foundation::SettingsDict& settings) {
    const double centerX = requiredNumber(settings, "centerX");
    const double centerY = requiredNumber(settings, "centerY");
    return std::make_shared<RadialGradient>(requiredGradient(settings), gfx::Point{centerX, centerY});
}

void RadialGradient::fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const {
    const double w = rect.width(), h = rect.height();
    const gfx::Point center{rect.minX() + centerPoint_.x * w, rect.minY() + centerPoint_.y * h};
    ctx.drawRadialGradient(gradient_.cgGradient(), center, 0, center, w / kRadialRadiusDivisor);
}

void RadialGradient::fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path,
                          double expectedPixelSize, const Shadow* shadow) const {
    fillPath(ctx, rect, path, expectedPixelSize, shadow, [&] { fill(ctx, rect); });
}

SVGDefinition RadialGradient::svgRepresentation(std::string_view styleIdentifier, double expectedPixelSize,
                                                const Shadow* shadow) const {
    std::string s = "<radialGradient ";
    svg::appendAttribute(s, "id", styleIdentifier);
    s += ' ';
    svg::appendAttribute(s, "cx", number(centerPoint_.x));
    s += ' ';
    svg::appendAttribute(s, "cy", number(centerPoint_.y));
    s += ' ';
    svg::appendAttribute(s, "r", "0.5");
    s.append(">\n");
    appendStops(s, gradient_, "   ");
    s.append("</radialGradient>\n");
    return gradientDefinition(std::move(s), styleIdentifier, expectedPixelSize, shadow);
}

} // namespace QRCode::FillStyle
