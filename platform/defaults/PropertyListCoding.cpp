#include "platform/defaults/PropertyListCoding.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/Json.h"

#include <cmath>
#include <limits>

namespace platform {

namespace {

std::vector<std::uint8_t> unbase64(const std::string& text) {
    auto bytes = foundation::base64Decode(text);
    if (!bytes) throw PropertyListFormatError("bad base64 text");
    return std::move(*bytes);
}

nlohmann::json realToJSON(double v) {
    if (std::isfinite(v)) return v;
    return nlohmann::json::object({{"$real", std::isnan(v) ? "nan" : (v > 0 ? "inf" : "-inf")}});
}

double realFromJSON(const nlohmann::json& j) {
    if (j.is_number_float()) return j.get<double>();
    if (j.is_object() && j.size() == 1 && j.contains("$real") && j["$real"].is_string()) {
        const auto& s = j["$real"].get_ref<const std::string&>();
        if (s == "nan") return std::numeric_limits<double>::quiet_NaN();
        if (s == "inf") return std::numeric_limits<double>::infinity();
        if (s == "-inf") return -std::numeric_limits<double>::infinity();
    }
    throw PropertyListFormatError("a real number was expected");
}

// Arrays and dictionaries nested deeper than JSON files may be are refused
// on the way down, before the recursion could grow with the input.
void checkDepth(std::size_t depth) {
    if (depth > foundation::maxJsonDepth)
        throw PropertyListFormatError("nested deeper than " + std::to_string(foundation::maxJsonDepth) + " levels");
}

nlohmann::json toJSON(const PropertyList& value, std::size_t depth);
PropertyList fromJSON(const nlohmann::json& j, std::size_t depth);

} // namespace

nlohmann::json propertyListToJSON(const PropertyList& value) { return toJSON(value, 0); }

PropertyList propertyListFromJSON(const nlohmann::json& j) { return fromJSON(j, 0); }

namespace {

nlohmann::json toJSON(const PropertyList& value, std::size_t depth) {
    using Kind = PropertyList::Kind;
    switch (value.kind()) {
    case Kind::Bool: return *value.asBool();
    case Kind::Integer: return *value.asInt64();
    case Kind::Unsigned: return *value.asUInt64();
    case Kind::Real: return realToJSON(*value.asReal());
    case Kind::String: return *value.asString();
    case Kind::Data: return nlohmann::json::object({{"$data", foundation::base64Encode(value.asData()->bytes)}});
    case Kind::Date: return nlohmann::json::object({{"$date", realToJSON(value.asDate()->timeIntervalSince1970)}});
    case Kind::Array: {
        checkDepth(depth + 1);
        auto out = nlohmann::json::array();
        for (const auto& e : *value.asArray()) out.push_back(toJSON(e, depth + 1));
        return out;
    }
    case Kind::Dictionary: {
        checkDepth(depth + 1);
        auto out = nlohmann::json::object();
        for (const auto& [k, v] : *value.asDictionary()) out[k] = toJSON(v, depth + 1);
        if (out.size() == 1 && out.begin().key().starts_with("$"))
            return nlohmann::json::object({{"$dict", std::move(out)}});
        return out;
    }
    }
    return nullptr;
}

PropertyList fromJSON(const nlohmann::json& j, std::size_t depth) {
    switch (j.type()) {
    case nlohmann::json::value_t::boolean: return j.get<bool>();
    case nlohmann::json::value_t::number_integer: return j.get<std::int64_t>();
    case nlohmann::json::value_t::number_unsigned: {
        auto v = j.get<std::uint64_t>();
        if (v <= std::uint64_t(std::numeric_limits<std::int64_t>::max())) return std::int64_t(v);
        return v;
    }
    case nlohmann::json::value_t::number_float: return j.get<double>();
    case nlohmann::json::value_t::string: return j.get<std::string>();
    case nlohmann::json::value_t::array: {
        checkDepth(depth + 1);
        PropertyListArray out;
        out.reserve(j.size());
        for (const auto& e : j) out.push_back(fromJSON(e, depth + 1));
        return out;
    }
    case nlohmann::json::value_t::object: {
        checkDepth(depth + 1);
        if (j.size() == 1 && j.begin().key().starts_with("$")) {
            const auto& key = j.begin().key();
            const auto& inner = j.begin().value();
            if (key == "$data" && inner.is_string()) return Data(unbase64(inner.get<std::string>()));
            if (key == "$date") return Date{realFromJSON(inner)};
            if (key == "$real") return realFromJSON(j);
            if (key == "$dict" && inner.is_object()) {
                PropertyListDictionary out;
                for (auto it = inner.begin(); it != inner.end(); ++it)
                    out.emplace(it.key(), fromJSON(it.value(), depth + 1));
                return out;
            }
            throw PropertyListFormatError("unknown tag " + key);
        }
        PropertyListDictionary out;
        for (auto it = j.begin(); it != j.end(); ++it) out.emplace(it.key(), fromJSON(it.value(), depth + 1));
        return out;
    }
    default: break;
    }
    throw PropertyListFormatError(std::string("a value of JSON type ") + j.type_name() + " is no property-list object");
}

} // namespace

} // namespace platform
