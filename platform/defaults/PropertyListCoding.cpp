#include "platform/defaults/PropertyListCoding.h"

#include <cmath>
#include <limits>

namespace platform {

namespace {

const char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        std::uint32_t n = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        out += kBase64Alphabet[(n >> 18) & 63];
        out += kBase64Alphabet[(n >> 12) & 63];
        out += kBase64Alphabet[(n >> 6) & 63];
        out += kBase64Alphabet[n & 63];
    }
    if (i < bytes.size()) {
        std::uint32_t n = bytes[i] << 16;
        if (i + 1 < bytes.size()) n |= bytes[i + 1] << 8;
        out += kBase64Alphabet[(n >> 18) & 63];
        out += kBase64Alphabet[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kBase64Alphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::vector<std::uint8_t> unbase64(const std::string& text) {
    if (text.size() % 4 != 0) throw PropertyListFormatError("base64 text of bad length");
    std::vector<std::uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::uint32_t n = 0;
        int padding = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            char c = text[i + j];
            int v;
            if (c >= 'A' && c <= 'Z') v = c - 'A';
            else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
            else if (c >= '0' && c <= '9') v = c - '0' + 52;
            else if (c == '+') v = 62;
            else if (c == '/') v = 63;
            else if (c == '=' && i + 4 == text.size() && j >= 2) { v = 0; ++padding; }
            else throw PropertyListFormatError("bad base64 text");
            if (padding && c != '=') throw PropertyListFormatError("bad base64 text");
            n = (n << 6) | std::uint32_t(v);
        }
        out.push_back(std::uint8_t(n >> 16));
        if (padding < 2) out.push_back(std::uint8_t(n >> 8));
        if (padding < 1) out.push_back(std::uint8_t(n));
    }
    return out;
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
    case Kind::Data: return nlohmann::json::object({{"$data", base64(value.asData()->bytes)}});
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
