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

    // Read every record before building, so a bad record anywhere builds nothing.
    struct Record {
        std::int64_t type;
        std::vector<gfx::Point> points;
    };
    std::vector<Record> records;
    records.reserve(doc.size());
    for (const auto& item : doc) {
        if (!item.is_object()) throw DecodingError("path element is not an object");
        const auto type = item.find("type");
        if (type == item.end()) throw DecodingError("path element has no type");
        Record r{readType(*type), {}};
        const auto points = item.find("points");
        if (points != item.end() && !points->is_null()) {
            if (!points->is_array()) throw DecodingError("path element points are not an array");
            for (const auto& p : *points) {
                if (!p.is_array() || p.size() != 2) throw DecodingError("path point is not a pair of numbers");
                r.points.push_back({readNumber(p[0]), readNumber(p[1])});
            }
        }
        if (r.type >= 0 && r.type <= 4 &&
            r.points.size() < std::size_t(gfx::Path::pointCount(static_cast<Type>(r.type)))) {
            throw DecodingError("path element has fewer points than its kind needs");
        }
        records.push_back(std::move(r));
    }

    gfx::Path out;
    for (const auto& r : records) {
        switch (r.type) {
        case 0: out.moveTo(r.points[0]); break;
        case 1: out.lineTo(r.points[0]); break;
        case 2: out.quadTo(r.points[0], r.points[1]); break;
        case 3: out.curveTo(r.points[0], r.points[1], r.points[2]); break;
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
