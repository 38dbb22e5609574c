#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace foundation {

// Raised when a value cannot be written as JSON: a NaN or infinite number
// anywhere in the tree, or a string that is not valid UTF-8.
class JsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class JsonStyle {
    compact,   // no whitespace at all
    formatted, // indented by two spaces, one member or element per line
};

// JSON text of `value`, object keys in sorted order. Throws JsonError
// instead of writing a non-finite number as null, and for a tree nested
// deeper than maxJsonDepth.
std::string writeJson(const nlohmann::json& value, JsonStyle style = JsonStyle::compact);

// True when the tree holds no NaN or infinite number.
bool isJsonWritable(const nlohmann::json& value) noexcept;

// The deepest nesting of arrays and objects that documents, designs, settings
// and stored property lists may have. Real ones nest fewer than twenty levels;
// the limit keeps every recursive walk of a tree (copies, comparisons,
// writing) far from the end of the stack.
inline constexpr std::size_t maxJsonDepth = 512;

// How deeply `value` nests: 0 for a scalar, 1 for an array or object of
// scalars. Counted without recursion; stops counting above `limit`.
std::size_t jsonDepth(const nlohmann::json& value, std::size_t limit = maxJsonDepth);

// Parses JSON text as nlohmann::json::parse does, but refuses text nested
// deeper than maxJsonDepth before building any of it: that throws
// nlohmann::json::parse_error like any other malformed text.
nlohmann::json parseJson(std::string_view text);
nlohmann::json parseJson(std::span<const std::uint8_t> bytes);

} // namespace foundation
