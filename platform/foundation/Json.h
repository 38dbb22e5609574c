#pragma once

#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

namespace foundation {

// Raised when a value cannot be written as JSON: a NaN or infinite number
// anywhere in the tree, or a string that is not valid UTF-8.
class JsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class JsonStyle {
    compact,    // no whitespace at all
    formatted,  // indented by two spaces, one member or element per line
};

// JSON text of `value`, object keys in sorted order. Throws JsonError
// instead of writing a non-finite number as null.
std::string writeJson(const nlohmann::json& value, JsonStyle style = JsonStyle::compact);

// True when the tree holds no NaN or infinite number.
bool isJsonWritable(const nlohmann::json& value) noexcept;

} // namespace foundation
