#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

namespace QRCode {

// What a document encodes: bytes handed to the engine as they are, or text
// that the engine turns into bytes itself. A value type. The default content
// is empty bytes (not empty text).
class Content {
public:
    using Bytes = std::vector<std::uint8_t>;

    // Raised by fromCodingValue for a value of the wrong type under a key.
    class DecodingError : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // The keys of the coded form, in their order.
    enum class CodingKey { data = 0, text = 1 };
    // "data" and "text" give their key; every other string gives none.
    static std::optional<CodingKey> codingKey(std::string_view stringValue);
    // Keys are never made from integers.
    static std::optional<CodingKey> codingKey(int intValue);

    Content() = default;
    static Content data(Bytes bytes) { return Content(std::move(bytes)); }
    static Content text(std::string text) { return Content(std::move(text)); }

    bool isData() const { return std::holds_alternative<Bytes>(value_); }
    bool isText() const { return std::holds_alternative<std::string>(value_); }
    // The payload of the matching case, or nullptr.
    const Bytes* dataValue() const { return std::get_if<Bytes>(&value_); }
    const std::string* textValue() const { return std::get_if<std::string>(&value_); }

    bool operator==(const Content&) const = default;

    // The keyed coded form: {"text": string} or {"data": standard base64}.
    nlohmann::json codingValue() const;
    // "data" first (it wins when both are present), then "text"; neither
    // throws QRCodeException(invalidContent). A non-string value, or "data"
    // that is not base64, throws DecodingError.
    static Content fromCodingValue(const nlohmann::json& value);

private:
    explicit Content(Bytes bytes) : value_(std::move(bytes)) {}
    explicit Content(std::string text) : value_(std::move(text)) {}

    std::variant<Bytes, std::string> value_;
};

} // namespace QRCode
