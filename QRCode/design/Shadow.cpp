#include "QRCode/design/Shadow.h"

#include "QRCode/core/Colors.h"
#include "platform/foundation/NumberText.h"

#include <algorithm>
#include <cmath>

namespace QRCode {

Shadow::Shadow() : Shadow(ShadowType::dropShadow, 0.2, -0.2, 4.0, standardBlack().withAlpha(0.8)) {}

Shadow::Shadow(ShadowType type, double dx, double dy, double blur, gfx::Color color)
    : offset{dx, dy}, blur(blur), color(color), type(type) {}

Shadow::Shadow(ShadowType type, gfx::Size offset, double blur, gfx::Color color)
    : Shadow(type, offset.width, offset.height, blur, color) {}

foundation::SettingsDict Shadow::settings() const {
    foundation::SettingsDict dict = foundation::SettingsDict::object();
    dict["offset-width"] = offset.width;
    dict["offset-height"] = offset.height;
    dict["blur"] = blur;
    dict["type"] = static_cast<int>(type);
    dict["color"] = CGColorRGBAString(color);
    return dict;
}

std::optional<Shadow> Shadow::Create(const foundation::SettingsDict* settings) {
    if (!settings || !settings->is_object()) return std::nullopt;
    const auto width = foundation::settingDouble(*settings, "offset-width");
    const auto height = foundation::settingDouble(*settings, "offset-height");
    const auto blur = foundation::settingDouble(*settings, "blur");
    const auto type = foundation::settingInteger(*settings, "type");
    const auto colorText = foundation::settingString(*settings, "color");
    if (!width || !height || !blur || !type || !colorText) return std::nullopt;
    if (*type != 0 && *type != 1) return std::nullopt;
    try {
        const gfx::Color color = CGColorFromRGBAString(*colorText);
        return Shadow(static_cast<ShadowType>(*type), *width, *height, *blur, color);
    } catch (const RGBAComponentsException&) {
        return std::nullopt;
    }
}

namespace {

// A colour channel of the flood colour: 0...255, truncated toward zero.
int channel(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::clamp(v, 0.0, 1.0) * 255.0);
}

struct FilterValues {
    std::string opacity, red, green, blue, dx, dy, deviation;
};

FilterValues filterValues(const Shadow& shadow, double pixelSize) {
    const RGBAComponents c(shadow.color);
    using foundation::shortestNumberText;
    return {shortestNumberText(c.a()),
            std::to_string(channel(c.r())),
            std::to_string(channel(c.g())),
            std::to_string(channel(c.b())),
            shortestNumberText(shadow.offset.width * pixelSize),
            shortestNumberText(-shadow.offset.height * pixelSize),
            shortestNumberText(shadow.blur * 0.5)};
}

// The flood, blur and offset elements shared by both filters; `indent` opens
// each element.
void appendFloodBlurOffset(std::string& s, std::string_view id, const FilterValues& v, std::string_view indent) {
    s.append(indent).append("<feFlood\n");
    s.append("      result='flood-").append(id).append("'\n");
    s.append("      in='SourceGraphic'\n");
    s.append("      flood-opacity='").append(v.opacity).append("'\n");
    s.append("      flood-color='rgb(")
        .append(v.red)
        .append(",")
        .append(v.green)
        .append(",")
        .append(v.blue)
        .append(")'\n");
    s.append("      id='feFlood-").append(id).append("' />\n");
    s.append(indent).append("<feGaussianBlur\n");
    s.append("      result='blur'\n");
    s.append("      in='SourceGraphic'\n");
    s.append("      stdDeviation='").append(v.deviation).append("'\n");
    s.append("      id='feGaussian-").append(id).append("' />\n");
    s.append(indent).append("<feOffset\n");
    s.append("      result='offset-").append(id).append("'\n");
    s.append("      in='blur'\n");
    s.append("      dx='").append(v.dx).append("'\n");
    s.append("      dy='").append(v.dy).append("'\n");
    s.append("      id='feOffset-").append(id).append("' />\n");
}

} // namespace

std::string Shadow::svgDropShadowFilter(std::string_view id, double pixelSize) const {
    const FilterValues v = filterValues(*this, pixelSize);
    std::string s;
    s.append("<filter\n");
    s.append("   style='color-interpolation-filters:sRGB'\n");
    s.append("   id='").append(id).append("'\n");
    s.append("   x='-0.1'\n");
    s.append("   y='-0.1'\n");
    s.append("   width='1.2'\n");
    s.append("   height='1.2'>\n");
    appendFloodBlurOffset(s, id, v, "     ");
    s.append("     <feComposite\n");
    s.append("      result='comp1'\n");
    s.append("      operator='in'\n");
    s.append("      in='flood-").append(id).append("'\n");
    s.append("      in2='offset-").append(id).append("'\n");
    s.append("      id='feComposite-").append(id).append("-6' />\n");
    s.append("     <feComposite\n");
    s.append("      result='comp2'\n");
    s.append("      operator='over'\n");
    s.append("      in='SourceGraphic'\n");
    s.append("      in2='comp1'\n");
    s.append("      id='feComposite-").append(id).append("-7' />\n");
    s.append("   </filter>\n");
    return s;
}

std::string Shadow::svgInnerShadowFilter(std::string_view id, double pixelSize) const {
    const FilterValues v = filterValues(*this, pixelSize);
    std::string s;
    s.append("<filter\n");
    s.append(" style='color-interpolation-filters:sRGB'\n");
    s.append(" id='").append(id).append("'\n");
    s.append("   x='-0.1'\n");
    s.append("   y='-0.1'\n");
    s.append("   width='1.2'\n");
    s.append("   height='1.2'>\n");
    appendFloodBlurOffset(s, id, v, "  ");
    s.append("  <feComposite\n");
    s.append("      result='comp1'\n");
    s.append("      operator='out'\n");
    s.append("      in='flood-").append(id).append("'\n");
    s.append("      in2='offset-").append(id).append("'\n");
    s.append("      id='feComposite-").append(id).append("-6' />\n");
    s.append("  <feComposite\n");
    s.append("      result='comp2'\n");
    s.append("      operator='atop'\n");
    s.append("      in='comp1'\n");
    s.append("      in2='SourceGraphic'\n");
    s.append("     id='feComposite-").append(id).append("-7' />\n");
    s.append("</filter>\n");
    return s;
}

std::string Shadow::svgFilter(std::string_view id, double pixelSize) const {
    return type == ShadowType::innerShadow ? svgInnerShadowFilter(id, pixelSize) : svgDropShadowFilter(id, pixelSize);
}

} // namespace QRCode
