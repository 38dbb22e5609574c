#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace QRCode {

// Anything that can be encoded as a message: the bytes to encode and, unless
// the payload is raw bytes, the same payload as text. The matrix holder and
// the document accept any such object.
class QRCodeMessageFormatter {
public:
    virtual ~QRCodeMessageFormatter() = default;

    // The bytes to encode.
    virtual std::vector<std::uint8_t> data() const = 0;
    // The payload as text; absent only for raw bytes.
    virtual std::optional<std::string> text() const = 0;
};

} // namespace QRCode
