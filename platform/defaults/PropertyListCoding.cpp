#include "platform/defaults/PropertyListCoding.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/Json.h"

#include <cmath>
#include <optional>
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

namespace {

using Json = nlohmann::json;

// Shared by both passes over the text: the depth limit and the errors.
struct SaxBase {
    std::size_t depth = 0;

    void enter(std::size_t position) {
        if (++depth > foundation::maxJsonDepth)
            throw Json::parse_error::create(101, position,
                                            "syntax error: nested deeper than " +
                                                std::to_string(foundation::maxJsonDepth) + " levels",
                                            nullptr);
    }
    bool null() { throw PropertyListFormatError("a value of JSON type null is no property-list object"); }
    bool binary(Json::binary_t&) { throw PropertyListFormatError("binary values are no property-list objects"); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) {
        if (const auto* error = dynamic_cast<const Json::parse_error*>(&e)) throw *error;
        throw Json::parse_error::create(101, 0, e.what(), nullptr);
    }
};

// First pass: the number of elements of every array, in the order the
// arrays open.
struct ArraySizes : SaxBase {
    std::vector<std::size_t> sizes;
    std::vector<std::size_t> open; // indices into sizes; SIZE_MAX for an object

    void value() {
        if (!open.empty() && open.back() != std::numeric_limits<std::size_t>::max()) ++sizes[open.back()];
    }
    bool boolean(bool) { return value(), true; }
    bool number_integer(Json::number_integer_t) { return value(), true; }
    bool number_unsigned(Json::number_unsigned_t) { return value(), true; }
    bool number_float(Json::number_float_t, const Json::string_t&) { return value(), true; }
    bool string(Json::string_t&) { return value(), true; }
    bool key(Json::string_t&) { return true; }
    bool start_object(std::size_t) {
        value();
        enter(0);
        open.push_back(std::numeric_limits<std::size_t>::max());
        return true;
    }
    bool start_array(std::size_t) {
        value();
        enter(0);
        open.push_back(sizes.size());
        sizes.push_back(0);
        return true;
    }
    bool end_object() { return open.pop_back(), --depth, true; }
    bool end_array() { return open.pop_back(), --depth, true; }
};

// Second pass: the values as the text holds them, objects as plain
// dictionaries (tags are read afterwards, when each object's parent is
// known), arrays reserved at the size the first pass found.
struct RawBuilder : SaxBase {
    const std::vector<std::size_t>& sizes;
    std::size_t nextArray = 0;
    struct Frame {
        PropertyList value;
        std::string key; // the member being read, in an object
    };
    std::vector<Frame> open;
    std::optional<PropertyList> top;

    explicit RawBuilder(const std::vector<std::size_t>& s) : sizes(s) {}

    void add(PropertyList value) {
        if (open.empty()) {
            top = std::move(value);
            return;
        }
        Frame& frame = open.back();
        if (auto* array = frame.value.mutableArray())
            array->push_back(std::move(value));
        else // the last of equal names wins, as in a JSON tree
            frame.value.mutableDictionary()->insert_or_assign(frame.key, std::move(value));
    }
    bool boolean(bool v) { return add(v), true; }
    bool number_integer(Json::number_integer_t v) { return add(std::int64_t(v)), true; }
    bool number_unsigned(Json::number_unsigned_t v) {
        if (v <= std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            add(std::int64_t(v));
        else
            add(std::uint64_t(v));
        return true;
    }
    bool number_float(Json::number_float_t v, const Json::string_t&) { return add(double(v)), true; }
    bool string(Json::string_t& v) { return add(std::move(v)), true; }
    bool key(Json::string_t& k) { return open.back().key = std::move(k), true; }
    bool start_object(std::size_t) {
        enter(0);
        open.push_back({PropertyList(PropertyListDictionary{}), {}});
        return true;
    }
    bool start_array(std::size_t) {
        enter(0);
        PropertyListArray array;
        array.reserve(nextArray < sizes.size() ? sizes[nextArray] : 0);
        ++nextArray;
        open.push_back({PropertyList(std::move(array)), {}});
        return true;
    }
    bool finish() {
        PropertyList done = std::move(open.back().value);
        open.pop_back();
        --depth;
        add(std::move(done));
        return true;
    }
    bool end_object() { return finish(); }
    bool end_array() { return finish(); }
};

double realFromRaw(const PropertyList& value) {
    if (const double* v = value.asReal()) return *v;
    if (const auto* dict = value.asDictionary(); dict && dict->size() == 1 && dict->begin()->first == "$real") {
        if (const std::string* s = dict->begin()->second.asString()) {
            if (*s == "nan") return std::numeric_limits<double>::quiet_NaN();
            if (*s == "inf") return std::numeric_limits<double>::infinity();
            if (*s == "-inf") return -std::numeric_limits<double>::infinity();
        }
    }
    throw PropertyListFormatError("a real number was expected");
}

// Reads the tags of a raw value in place, as fromJSON reads a JSON value.
void readTags(PropertyList& value, std::size_t depth) {
    if (auto* array = value.mutableArray()) {
        checkDepth(depth + 1);
        for (auto& e : *array) readTags(e, depth + 1);
        return;
    }
    auto* dict = value.mutableDictionary();
    if (!dict) return;
    checkDepth(depth + 1);
    if (dict->size() == 1 && dict->begin()->first.starts_with("$")) {
        const std::string key = dict->begin()->first;
        PropertyList& inner = dict->begin()->second;
        if (key == "$data" && inner.isString()) {
            value = Data(unbase64(*inner.asString()));
            return;
        }
        if (key == "$date") {
            value = Date{realFromRaw(inner)};
            return;
        }
        if (key == "$real") {
            value = realFromRaw(value);
            return;
        }
        if (key == "$dict" && inner.isDictionary()) {
            PropertyList plain = std::move(inner);
            for (auto& [k, v] : *plain.mutableDictionary()) readTags(v, depth + 1);
            value = std::move(plain);
            return;
        }
        throw PropertyListFormatError("unknown tag " + key);
    }
    for (auto& [k, v] : *dict) readTags(v, depth + 1);
}

} // namespace

PropertyListDictionary propertyListDictionaryFromJSONText(std::string text) {
    ArraySizes counter;
    Json::sax_parse(text.begin(), text.end(), &counter);
    RawBuilder builder(counter.sizes);
    Json::sax_parse(text.begin(), text.end(), &builder);
    std::string().swap(text);
    std::vector<std::size_t>().swap(counter.sizes);
    if (!builder.top || !builder.top->isDictionary())
        throw PropertyListFormatError("the file does not hold a JSON object");
    PropertyListDictionary values = std::move(*builder.top->mutableDictionary());
    for (auto& [key, value] : values) readTags(value, 0);
    return values;
}

} // namespace platform
