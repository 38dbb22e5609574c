#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace QRCode {

// An absolute or relative URL reference, kept as the text it was made from.
// Only texts made of URL characters are accepted: the RFC 3986 unreserved and
// reserved characters and well-formed "%" escapes, at most one "#", not
// empty. Spaces, control characters and non-ASCII characters are refused
// (they must arrive percent-encoded).
class URL {
public:
    static std::optional<URL> fromString(std::string_view text);

    // The URL as text, unchanged.
    const std::string& absoluteString() const { return text_; }

    bool operator==(const URL&) const = default;

private:
    explicit URL(std::string text) : text_(std::move(text)) {}
    std::string text_;
};

} // namespace QRCode
