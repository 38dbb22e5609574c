#include "QRCode/design/Shadow.h"

#include "QRCode/core/Colors.h"
#include "QRCode/core/detail/SVGText.h"
#include "platform/foundation/NumberText.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

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

// The attribute lines of one filter element: name and value pairs.
using Attributes = std::initializer_list<std::pair<std::string_view, std::string_view>>;

// One filter element: its opening at `indent`, then one attribute a line,
// the last one closing the element. `lastIndent` indents the last line.
void appendFilterElement(std::string& s, std::string_view indent, std::string_view name, Attributes attributes,
                         std::string_view lastIndent = "      ") {
    s.append(indent).append("<").append(name).append("\n");
    std::size_t i = 0;
    for (const auto& [key, value] : attributes) {
        const bool last = ++i == attributes.size();
        svg::appendAttributeLine(s, last ? lastIndent : "      ", key, value, last ? " />\n" : "\n");
    }
}

// The opening of a filter: its style, id and region; the inner shadow's
// indents its first two lines by one space, the drop shadow by three.
void appendFilterOpening(std::string& s, std::string_view id, std::string_view indent) {
    s.append("<filter\n");
    svg::appendAttributeLine(s, indent, "style", "color-interpolation-filters:sRGB");
    svg::appendAttributeLine(s, indent, "id", id);
    svg::appendAttributeLine(s, "   ", "x", "-0.1");
    svg::appendAttributeLine(s, "   ", "y", "-0.1");
    svg::appendAttributeLine(s, "   ", "width", "1.2");
    svg::appendAttributeLine(s, "   ", "height", "1.2", ">\n");
}

// The flood, blur and offset elements shared by both filters, then the two
// composites that make the drop or the inner shadow of them.
void appendFilterBody(std::string& s, std::string_view id, const FilterValues& v, std::string_view indent,
                      Attributes firstComposite, Attributes secondComposite, std::string_view lastIndent) {
    const std::string sid(id);
    const std::string rgb = "rgb(" + v.red + "," + v.green + "," + v.blue + ")";
    appendFilterElement(s, indent, "feFlood",
                        {{"result", "flood-" + sid},
                         {"in", "SourceGraphic"},
                         {"flood-opacity", v.opacity},
                         {"flood-color", rgb},
                         {"id", "feFlood-" + sid}});
    appendFilterElement(
        s, indent, "feGaussianBlur",
        {{"result", "blur"}, {"in", "SourceGraphic"}, {"stdDeviation", v.deviation}, {"id", "feGaussian-" + sid}});
    appendFilterElement(
        s, indent, "feOffset",
        {{"result", "offset-" + sid}, {"in", "blur"}, {"dx", v.dx}, {"dy", v.dy}, {"id", "feOffset-" + sid}});
    appendFilterElement(s, indent, "feComposite", firstComposite);
    appendFilterElement(s, indent, "feComposite", secondComposite, lastIndent);
}

} // namespace

std::string Shadow::svgDropShadowFilter(std::string_view id, double pixelSize) const {
    const std::string sid(id);
    std::string s;
    appendFilterOpening(s, id, "   ");
    appendFilterBody(s, id, filterValues(*this, pixelSize), "     ",
                     {{"result", "comp1"},
                      {"operator", "in"},
                      {"in", "flood-" + sid},
                      {"in2", "offset-" + sid},
                      {"id", "feComposite-" + sid + "-6"}},
                     {{"result", "comp2"},
                      {"operator", "over"},
                      {"in", "SourceGraphic"},
                      {"in2", "comp1"},
                      {"id", "feComposite-" + sid + "-7"}},
                     "      ");
    s.append("   </filter>\n");
    return s;
}

std::string Shadow::svgInnerShadowFilter(std::string_view id, double pixelSize) const {
    const std::string sid(id);
    std::string s;
    appendFilterOpening(s, id, " ");
    appendFilterBody(s, id, filterValues(*this, pixelSize), "  ",
                     {{"result", "comp1"},
                      {"operator", "out"},
                      {"in", "flood-" + sid},
                      {"in2", "offset-" + sid},
                      {"id", "feComposite-" + sid + "-6"}},
                     {{"result", "comp2"},
                      {"operator", "atop"},
                      {"in", "comp1"},
                      {"in2", "SourceGraphic"},
                      {"id", "feComposite-" + sid + "-7"}},
                     "     ");
    s.append("</filter>\n");
    return s;
}

std::string Shadow::svgFilter(std::string_view id, double pixelSize) const {
    return type == ShadowType::innerShadow ? svgInnerShadowFilter(id, pixelSize) : svgDropShadowFilter(id, pixelSize);
}

} // namespace QRCode
