#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace foundation {

enum class Base64Lines {
    single,    // the whole text on one line
    lines64LF, // lines of 64 characters separated by LF (no LF after the last)
};

// Standard alphabet (A-Z a-z 0-9 + /) with "=" padding.
std::string base64Encode(std::span<const std::uint8_t> bytes, Base64Lines lines = Base64Lines::single);
std::string base64Encode(std::string_view bytes, Base64Lines lines = Base64Lines::single);

// Strict decoding: the text must be whole groups of four characters of the
// standard alphabet, padded with one or two "=" only at the very end.
// Whitespace, line breaks, other characters and
// bad padding give std::nullopt. "" decodes to empty bytes.
std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text);

} // namespace foundation
