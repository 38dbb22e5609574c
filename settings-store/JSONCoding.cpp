#include "settings-store/JSONCoding.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/Diagnostics.h"
#include "platform/foundation/Json.h"

namespace Defaults {

namespace {

void refuseNonFinite(const JSON& value, std::string& path) {
    if (value.is_number_float()) {
        double v = value.get<double>();
        if (!std::isfinite(v)) {
            const char* name = std::isnan(v) ? "nan" : (v > 0 ? "inf" : "-inf");
            throw JSONEncodingError("Unable to encode the non-finite number " + std::string(name) + " in JSON at \"" +
                                    (path.empty() ? "(top level)" : path) + "\"");
        }
    } else if (value.is_array()) {
        std::size_t index = 0;
        for (const auto& e : value) {
            auto mark = path.size();
            path += (path.empty() ? "" : ".") + std::to_string(index++);
            refuseNonFinite(e, path);
            path.resize(mark);
        }
    } else if (value.is_object()) {
        for (auto it = value.begin(); it != value.end(); ++it) {
            auto mark = path.size();
            path += (path.empty() ? "" : ".") + it.key();
            refuseNonFinite(it.value(), path);
            path.resize(mark);
        }
    }
}

} // namespace

std::string jsonText(const JSON& value) {
    if (!foundation::isJsonWritable(value)) {
        std::string path;
        refuseNonFinite(value, path); // throws, naming the place
    }
    try {
        return foundation::writeJson(value, foundation::JsonStyle::compact);
    } catch (const foundation::JsonError& e) {
        // Numbers are known to be finite here: the text is no UTF-8.
        throw JSONInvalidUTF8Error(e.what());
    }
}

JSON parseJSON(std::string_view text) {
    try {
        return foundation::parseJson(text);
    } catch (const JSON::exception& e) {
        throw JSONDecodingError(std::string("The given data was not valid JSON: ") + e.what());
    }
}

void printError(const std::exception& error) { foundation::diagnostic(error.what()); }

namespace detail {

std::string jsonTypeName(const JSON& j) {
    if (j.is_number_float()) return "a real number";
    if (j.is_number()) return "an integer";
    return std::string("a ") + j.type_name();
}

std::string base64Encode(const std::vector<std::uint8_t>& bytes) { return foundation::base64Encode(bytes); }

std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text) { return foundation::base64Decode(text); }

} // namespace detail

} // namespace Defaults
