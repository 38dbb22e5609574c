#pragma once

// JSON coding of settings values: the "codable" side of the settings store.
// A type is codable when JSONCoding<T> provides
//     static JSON encode(const T&);          // may throw JSONEncodingError
//     static T decode(const JSON&);          // throws JSONDecodingError
// The standard types below have it; a type of the program's own becomes
// codable by declaring nlohmann-style to_json/from_json functions next to it
// (found by argument-dependent lookup). Inside from_json, read members with
// decodeJSONField, which is strict: an integer member refuses 4.5, a Float
// member refuses a number outside its range, and a missing member is an
// error.

#include "platform/defaults/PropertyList.h"

#include <charconv>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace Defaults {

using JSON = nlohmann::json;

class JSONEncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The encoded text would not be valid UTF-8 (a string member held bytes that
// are no UTF-8).
class JSONInvalidUTF8Error : public JSONEncodingError {
public:
    using JSONEncodingError::JSONEncodingError;
};

class JSONDecodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

template <class T> struct JSONCoding;

namespace detail::adl {
void to_json() = delete;
void from_json() = delete;

template <class T>
concept HasADLJSON = requires(JSON& j, const JSON& cj, const T& t, T& u) {
    to_json(j, t);
    from_json(cj, u);
};

template <class T> void callToJSON(JSON& j, const T& t) { to_json(j, t); }
template <class T> void callFromJSON(const JSON& j, T& t) { from_json(j, t); }
} // namespace detail::adl

template <class T>
concept Codable = requires(const T& t, const JSON& j) {
    { JSONCoding<T>::encode(t) } -> std::same_as<JSON>;
    { JSONCoding<T>::decode(j) } -> std::same_as<T>;
};

template <Codable T> JSON encodeJSON(const T& value) { return JSONCoding<T>::encode(value); }
template <Codable T> T decodeJSON(const JSON& json) { return JSONCoding<T>::decode(json); }

// A member of a JSON object, strictly decoded; a missing member is an error.
template <Codable T> T decodeJSONField(const JSON& object, std::string_view name) {
    if (!object.is_object()) throw JSONDecodingError("Expected an object holding \"" + std::string(name) + "\"");
    auto it = object.find(name);
    if (it == object.end()) throw JSONDecodingError("No value associated with key \"" + std::string(name) + "\"");
    try {
        return JSONCoding<T>::decode(*it);
    } catch (const JSONDecodingError& e) {
        throw JSONDecodingError(std::string(name) + ": " + e.what());
    }
}

// A member that may be missing (or null): nothing then.
template <Codable T> std::optional<T> decodeJSONFieldIfPresent(const JSON& object, std::string_view name) {
    if (!object.is_object()) throw JSONDecodingError("Expected an object holding \"" + std::string(name) + "\"");
    auto it = object.find(name);
    if (it == object.end() || it->is_null()) return std::nullopt;
    try {
        return JSONCoding<T>::decode(*it);
    } catch (const JSONDecodingError& e) {
        throw JSONDecodingError(std::string(name) + ": " + e.what());
    }
}

// The compact text of a JSON value: object members sorted by key, no
// whitespace. Throws JSONEncodingError, naming the place, for a NaN or an
// infinity anywhere in the value (JSON cannot hold one, and writing null
// instead would lose it), and JSONInvalidUTF8Error for text that is no UTF-8.
std::string jsonText(const JSON& value);

// Parses JSON text; throws JSONDecodingError for anything that is not one
// complete JSON value.
JSON parseJSON(std::string_view text);

// Writes the description of an error as one diagnostic line (see
// foundation::diagnostic), the way conversions report the failures they do
// not hide.
void printError(const std::exception& error);

// ---- standard codable types ----

namespace detail {
std::string jsonTypeName(const JSON& j);
std::string base64Encode(const std::vector<std::uint8_t>& bytes);
std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text);
} // namespace detail

template <class T>
requires detail::adl::HasADLJSON<T>
struct JSONCoding<T> {
    static JSON encode(const T& value) {
        JSON j;
        detail::adl::callToJSON(j, value);
        return j;
    }
    static T decode(const JSON& j) {
        T value{};
        try {
            detail::adl::callFromJSON(j, value);
        } catch (const JSONDecodingError&) {
            throw;
        } catch (const std::exception& e) {
            throw JSONDecodingError(e.what());
        }
        return value;
    }
};

template <> struct JSONCoding<bool> {
    static JSON encode(bool v) { return v; }
    static bool decode(const JSON& j) {
        if (!j.is_boolean()) throw JSONDecodingError("Expected to decode Bool but found " + detail::jsonTypeName(j));
        return j.get<bool>();
    }
};

template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>) struct JSONCoding<T> {
    static JSON encode(T v) {
        if constexpr (std::is_signed_v<T>)
            return std::int64_t(v);
        else
            return std::uint64_t(v);
    }
    static T decode(const JSON& j) {
        if (j.is_number_unsigned()) {
            auto v = j.get<std::uint64_t>();
            if (v <= std::uint64_t(std::numeric_limits<T>::max())) return T(v);
        } else if (j.is_number_integer()) {
            auto v = j.get<std::int64_t>();
            if (std::in_range<T>(v)) return T(v);
        } else {
            throw JSONDecodingError("Expected to decode an integer but found " + detail::jsonTypeName(j));
        }
        throw JSONDecodingError("Parsed JSON number <" + j.dump() + "> does not fit in the integer type");
    }
};

template <std::floating_point T> struct JSONCoding<T> {
    static JSON encode(T v) { return double(v); }
    static T decode(const JSON& j) {
        if (!j.is_number()) throw JSONDecodingError("Expected to decode a number but found " + detail::jsonTypeName(j));
        double v = j.get<double>();
        if (std::isfinite(v) && std::fabs(v) > double(std::numeric_limits<T>::max()))
            throw JSONDecodingError("Parsed JSON number <" + j.dump() + "> does not fit in Float");
        return T(v);
    }
};

template <> struct JSONCoding<std::string> {
    static JSON encode(const std::string& v) { return v; }
    static std::string decode(const JSON& j) {
        if (!j.is_string()) throw JSONDecodingError("Expected to decode String but found " + detail::jsonTypeName(j));
        return j.get<std::string>();
    }
};

// Bytes as base64 text.
template <> struct JSONCoding<platform::Data> {
    static JSON encode(const platform::Data& v) { return detail::base64Encode(v.bytes); }
    static platform::Data decode(const JSON& j) {
        if (!j.is_string()) throw JSONDecodingError("Expected to decode Data but found " + detail::jsonTypeName(j));
        auto bytes = detail::base64Decode(j.get_ref<const std::string&>());
        if (!bytes) throw JSONDecodingError("Encountered Data is not valid Base64.");
        return platform::Data(std::move(*bytes));
    }
};

// A date as its seconds since 1970.
template <> struct JSONCoding<platform::Date> {
    static JSON encode(const platform::Date& v) { return v.timeIntervalSince1970; }
    static platform::Date decode(const JSON& j) { return {JSONCoding<double>::decode(j)}; }
};

template <Codable T> struct JSONCoding<std::optional<T>> {
    static JSON encode(const std::optional<T>& v) { return v ? JSONCoding<T>::encode(*v) : JSON(nullptr); }
    static std::optional<T> decode(const JSON& j) {
        if (j.is_null()) return std::nullopt;
        return JSONCoding<T>::decode(j);
    }
};

template <Codable T> struct JSONCoding<std::vector<T>> {
    static JSON encode(const std::vector<T>& v) {
        JSON out = JSON::array();
        for (const auto& e : v) out.push_back(JSONCoding<T>::encode(e));
        return out;
    }
    static std::vector<T> decode(const JSON& j) {
        if (!j.is_array()) throw JSONDecodingError("Expected to decode Array but found " + detail::jsonTypeName(j));
        std::vector<T> out;
        out.reserve(j.size());
        for (const auto& e : j) out.push_back(JSONCoding<T>::decode(e));
        return out;
    }
};

template <Codable T> struct JSONCoding<std::set<T>> {
    static JSON encode(const std::set<T>& v) {
        JSON out = JSON::array();
        for (const auto& e : v) out.push_back(JSONCoding<T>::encode(e));
        return out;
    }
    static std::set<T> decode(const JSON& j) {
        if (!j.is_array()) throw JSONDecodingError("Expected to decode Set but found " + detail::jsonTypeName(j));
        std::set<T> out;
        for (const auto& e : j) out.insert(JSONCoding<T>::decode(e));
        return out;
    }
};

template <Codable T> struct JSONCoding<std::map<std::string, T>> {
    static JSON encode(const std::map<std::string, T>& v) {
        JSON out = JSON::object();
        for (const auto& [k, e] : v) out[k] = JSONCoding<T>::encode(e);
        return out;
    }
    static std::map<std::string, T> decode(const JSON& j) {
        if (!j.is_object())
            throw JSONDecodingError("Expected to decode Dictionary but found " + detail::jsonTypeName(j));
        std::map<std::string, T> out;
        for (auto it = j.begin(); it != j.end(); ++it) out.emplace(it.key(), JSONCoding<T>::decode(it.value()));
        return out;
    }
};

} // namespace Defaults
