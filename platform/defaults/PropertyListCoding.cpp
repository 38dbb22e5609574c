#include "platform/defaults/PropertyListCoding.h"

#include "platform/foundation/Base64.h"

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

} // namespace

nlohmann::json propertyListToJSON(const PropertyList& value) {
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
        auto out = nlohmann::json::array();
        for (const auto& e : *value.asArray()) out.push_back(propertyListToJSON(e));
        return out;
    }
    case Kind::Dictionary: {
        auto out = nlohmann::json::object();
        for (const auto& [k, v] : *value.asDictionary()) out[k] = propertyListToJSON(v);
        if (out.size() == 1 && out.begin().key().starts_with("$"))
            return nlohmann::json::object({{"$dict", std::move(out)}});
        return out;
    }
    }
    return nullptr;
}

PropertyList propertyListFromJSON(const nlohmann::json& j) {
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
        PropertyListArray out;
        out.reserve(j.size());
        for (const auto& e : j) out.push_back(propertyListFromJSON(e));
        return out;
    }
    case nlohmann::json::value_t::object: {
        if (j.size() == 1 && j.begin().key().starts_with("$")) {
            const auto& key = j.begin().key();
            const auto& inner = j.begin().value();
            if (key == "$data" && inner.is_string()) return Data(unbase64(inner.get<std::string>()));
            if (key == "$date") return Date{realFromJSON(inner)};
            if (key == "$real") return realFromJSON(j);
            if (key == "$dict" && inner.is_object()) {
                PropertyListDictionary out;
                for (auto it = inner.begin(); it != inner.end(); ++it) out.emplace(it.key(), propertyListFromJSON(it.value()));
                return out;
            }
            throw PropertyListFormatError("unknown tag " + key);
        }
        PropertyListDictionary out;
        for (auto it = j.begin(); it != j.end(); ++it) out.emplace(it.key(), propertyListFromJSON(it.value()));
        return out;
    }
    default: break;
    }
    throw PropertyListFormatError(std::string("a value of JSON type ") + j.type_name() + " is no property-list object");
}

} // namespace platform
