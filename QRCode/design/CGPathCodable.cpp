#include "QRCode/design/CGPathCodable.h"

#include "QRCode/core/detail/SVGText.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/NumberText.h"

#include <cmath>

namespace QRCode {

namespace {

using Type = gfx::Path::ElementType;

nlohmann::ordered_json coordinate(double v) {
    if (!std::isfinite(v)) throw foundation::JsonError("path coordinate is not a finite number");
    // Whole numbers are written without a fraction, as the stored files have them.
    if (v == std::trunc(v) && std::fabs(v) < 9007199254740992.0) return std::int64_t(v);
    return v;
}

double readNumber(const nlohmann::json& v) {
    if (!v.is_number()) throw CGPathCodable::DecodingError("path point coordinate is not a number");
    const double d = v.get<double>();
    if (!std::isfinite(d)) throw CGPathCodable::DecodingError("path point coordinate is not finite");
    return d;
}

std::int64_t readType(const nlohmann::json& v) {
    if (v.is_number_integer()) return v.get<std::int64_t>();
    if (v.is_number_float()) {
        const double d = v.get<double>();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18) return std::int64_t(d);
    }
    throw CGPathCodable::DecodingError("path element type is not an integer");
}

} // namespace

std::vector<std::uint8_t> CGPathCodable::encodeJSON() const {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& e : path.elements()) {
        nlohmann::ordered_json record = nlohmann::ordered_json::object();
        record["type"] = int(e.type);
        const int count = gfx::Path::pointCount(e.type);
        if (count > 0) {
            nlohmann::ordered_json points = nlohmann::ordered_json::array();
            for (int i = 0; i < count; ++i) {
                points.push_back(nlohmann::ordered_json::array(
                    {coordinate(e.points[std::size_t(i)].x), coordinate(e.points[std::size_t(i)].y)}));
            }
            record["points"] = std::move(points);
        }
        list.push_back(std::move(record));
    }
    const std::string text = list.dump(2);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

gfx::Path CGPathCodable::decode(std::span<const std::uint8_t> jsonData) {
    return decode(std::string_view(reinterpret_cast<const char*>(jsonData.data()), jsonData.size()));
}

gfx::Path CGPathCodable::decode(std::string_view jsonText) {
    nlohmann::json doc;
    try {
        doc = foundation::parseJson(jsonText);
    } catch (const nlohmann::json::exception& e) {
        throw DecodingError(std::string("path JSON is malformed: ") + e.what());
    }
    if (!doc.is_array()) throw DecodingError("path JSON is not an array");

    // Built as it is read: a bad record anywhere throws, and the half-built
    // path goes with it. (No list of records first: a stored path may hold
    // hundreds of thousands.)
    gfx::Path out;
    out.reserve(doc.size());
    std::vector<gfx::Point> points;
    for (const auto& item : doc) {
        if (!item.is_object()) throw DecodingError("path element is not an object");
        const auto type = item.find("type");
        if (type == item.end()) throw DecodingError("path element has no type");
        const std::int64_t kind = readType(*type);
        points.clear();
        const auto found = item.find("points");
        if (found != item.end() && !found->is_null()) {
            if (!found->is_array()) throw DecodingError("path element points are not an array");
            for (const auto& p : *found) {
                if (!p.is_array() || p.size() != 2) throw DecodingError("path point is not a pair of numbers");
                points.push_back({readNumber(p[0]), readNumber(p[1])});
            }
        }
        if (kind >= 0 && kind <= 4 && points.size() < std::size_t(gfx::Path::pointCount(static_cast<Type>(kind))))
            throw DecodingError("path element has fewer points than its kind needs");
        switch (kind) {
        case 0: out.moveTo(points[0]); break;
        case 1: out.lineTo(points[0]); break;
        case 2: out.quadTo(points[0], points[1]); break;
        case 3: out.curveTo(points[0], points[1], points[2]); break;
        case 4: out.closeSubpath(); break;
        default: break; // unknown kinds are skipped
        }
    }
    return out;
}

nlohmann::json CGPathCodable::codingValue() const {
    const auto bytes = encodeJSON();
    return foundation::base64Encode(std::span<const std::uint8_t>(bytes));
}

CGPathCodable CGPathCodable::fromCodingValue(const nlohmann::json& value) {
    if (!value.is_string()) throw DecodingError("coded path is not a string");
    const auto bytes = foundation::base64Decode(value.get<std::string>());
    if (!bytes) throw DecodingError("coded path is not base64");
    return CGPathCodable{decode(std::span<const std::uint8_t>(*bytes))};
}

std::string svgPathCommand(const gfx::Path::Element& e) {
    std::string text;
    svg::appendPathCommand(text, e);
    return text;
}

void appendSpaceSeparated(std::string& text, const gfx::Path::Element& element) {
    svg::appendPathCommand(text, element);
    text += ' ';
}

std::string svgPathData(const gfx::Path& path) {
    std::string text;
    svg::appendPathData(text, path);
    return text;
}

} // namespace QRCode
