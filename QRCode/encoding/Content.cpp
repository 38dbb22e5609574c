#include "QRCode/encoding/Content.h"

#include "QRCode/QRCodeError.h"
#include "platform/foundation/Base64.h"

namespace QRCode {

std::optional<Content::CodingKey> Content::codingKey(std::string_view stringValue) {
    if (stringValue == "data") return CodingKey::data;
    if (stringValue == "text") return CodingKey::text;
    return std::nullopt;
}

std::optional<Content::CodingKey> Content::codingKey(int) { return std::nullopt; }

nlohmann::json Content::codingValue() const {
    nlohmann::json result = nlohmann::json::object();
    if (const std::string* text = textValue())
        result["text"] = *text;
    else
        result["data"] = foundation::base64Encode(*dataValue());
    return result;
}

Content Content::fromCodingValue(const nlohmann::json& value) {
    if (!value.is_object()) throw DecodingError("Content: expected a keyed container");
    if (const auto data = value.find("data"); data != value.end()) {
        if (!data->is_string()) throw DecodingError("Content: \"data\" is not a string");
        auto bytes = foundation::base64Decode(data->get_ref<const std::string&>());
        if (!bytes) throw DecodingError("Content: \"data\" is not base64");
        return Content::data(std::move(*bytes));
    }
    if (const auto text = value.find("text"); text != value.end()) {
        if (!text->is_string()) throw DecodingError("Content: \"text\" is not a string");
        return Content::text(text->get<std::string>());
    }
    throw QRCodeException(QRCodeError::invalidContent);
}

} // namespace QRCode
