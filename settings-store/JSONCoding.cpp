#include "settings-store/JSONCoding.h"

#include <cstdio>

namespace Defaults {

namespace {

void refuseNonFinite(const JSON& value, std::string& path) {
    if (value.is_number_float()) {
        double v = value.get<double>();
        if (!std::isfinite(v)) {
            const char* name = std::isnan(v) ? "nan" : (v > 0 ? "inf" : "-inf");
            throw JSONEncodingError("Unable to encode the non-finite number " + std::string(name) +
                                    " in JSON at \"" + (path.empty() ? "(top level)" : path) + "\"");
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

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

std::string jsonText(const JSON& value) {
    std::string path;
    refuseNonFinite(value, path);
    try {
        // nlohmann keeps object members in a std::map, so they come out sorted
        // by key (byte order).
        return value.dump(-1, ' ', false, JSON::error_handler_t::strict);
    } catch (const JSON::type_error& e) {
        throw JSONInvalidUTF8Error(e.what());
    }
}

JSON parseJSON(std::string_view text) {
    try {
        return JSON::parse(text.begin(), text.end());
    } catch (const JSON::exception& e) {
        throw JSONDecodingError(std::string("The given data was not valid JSON: ") + e.what());
    }
}

void printError(const std::exception& error) {
    std::string line = std::string(error.what()) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

namespace detail {

std::string jsonTypeName(const JSON& j) {
    if (j.is_number_float()) return "a real number";
    if (j.is_number()) return "an integer";
    return std::string("a ") + j.type_name();
}

std::string base64Encode(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t n = std::uint32_t(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= std::uint32_t(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) n |= bytes[i + 2];
        out += kAlphabet[(n >> 18) & 63];
        out += kAlphabet[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kAlphabet[n & 63] : '=';
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
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
            else if (c == '=' && i + 4 == text.size() && j >= 2) v = -1;
            else return std::nullopt;
            if (v < 0) {
                ++padding;
                v = 0;
            } else if (padding) {
                return std::nullopt;
            }
            n = (n << 6) | std::uint32_t(v);
        }
        out.push_back(std::uint8_t(n >> 16));
        if (padding < 2) out.push_back(std::uint8_t(n >> 8));
        if (padding < 1) out.push_back(std::uint8_t(n));
    }
    return out;
}

} // namespace detail

} // namespace Defaults
