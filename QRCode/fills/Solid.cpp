#include "QRCode/fills/Solid.h"

#include "QRCode/core/Colors.h"
#include "QRCode/fills/detail/FillShadows.h"
#include "QRCode/QRCodeError.h"
#include "QRCode/core/detail/SVGText.h"
#include "platform/foundation/NumberText.h"

namespace QRCode::FillStyle {

std::shared_ptr<Solid> Solid::sRGB(double red, double green, double blue, double alpha) {
    return make(CGColorSRGB(red, green, blue, alpha));
}

std::shared_ptr<Solid> Solid::genericRGB(double red, double green, double blue, double alpha) {
    return make(gfx::Color::genericRGB(red, green, blue, alpha));
}

std::shared_ptr<Solid> Solid::gray(double gray, double alpha) { return make(gfx::Color::gray(gray, alpha)); }

std::shared_ptr<Solid> Solid::hexString(std::string_view hex) {
    return make(CGColorFromHexString(hex, sRGBColorSpace));
}

std::shared_ptr<QRCodeFillStyleGenerator> Solid::copyStyle() const { return make(color_); }

foundation::SettingsDict Solid::settings() const {
    foundation::SettingsDict dict = foundation::SettingsDict::object();
    dict["color"] = CGColorRGBAString(color_);
    return dict;
}

std::shared_ptr<Solid> Solid::Create(const foundation::SettingsDict& settings) {
    const auto text = foundation::settingString(settings, "color");
    if (!text) throw QRCodeException(QRCodeError::cannotCreateGenerator);
    return make(CGColorFromRGBAString(*text));
}

void Solid::fill(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const {
    ctx.setFillColor(color_);
    ctx.fillRect(rect);
}

void Solid::fill(gfx::GraphicsContext& ctx, const gfx::Rect&, const gfx::Path& path, double expectedPixelSize,
                 const Shadow* shadow) const {
    if (shadow && shadow->type == ShadowType::dropShadow) {
        ctx.setShadow(detail::shadowOffset(*shadow, expectedPixelSize), shadow->blur, shadow->color);
    }
    ctx.setFillColor(color_);
    ctx.fillPath(path, gfx::FillRule::nonZero);
    if (shadow && shadow->type == ShadowType::innerShadow) {
        detail::drawInnerShadow(ctx, path, *shadow, expectedPixelSize);
    }
}

SVGDefinition Solid::svgRepresentation(std::string_view styleIdentifier, double expectedPixelSize,
                                       const Shadow* shadow) const {
    std::string attribute;
    svg::appendAttribute(attribute, "fill", CGColorHexRGBString(color_));
    attribute += ' ';
    svg::appendAttribute(attribute, "fill-opacity", foundation::shortestNumberText(color_.alpha()));
    attribute += ' ';
    if (!shadow) return SVGDefinition(std::move(attribute), std::nullopt);

    const std::string filterId = svg::shadowFilterId(styleIdentifier);
    std::string definition = shadow->svgFilter(filterId, expectedPixelSize);
    svg::appendFilterStyle(attribute, filterId);
    return SVGDefinition(std::move(attribute), std::move(definition));
}

} // namespace QRCode::FillStyle
