// The matrix holder's updates from a content value or a message.
#include "QRCode/encoding/Content.h"
#include "QRCode/QRCode.h"
#include "QRCode/document/QRCodeMessageFormatter.h"

namespace QRCode {

QRCode::QRCode(const QRCodeMessageFormatter& message, ErrorCorrection errorCorrection,
               std::shared_ptr<QRCodeEngine> engine)
    : QRCode(std::span<const std::uint8_t>(message.data()), errorCorrection, std::move(engine)) {}

void QRCode::update(const Content& content, ErrorCorrection errorCorrection) {
    if (const std::string* text = content.textValue())
        update(std::string_view(*text), errorCorrection);
    else
        update(std::span<const std::uint8_t>(*content.dataValue()), errorCorrection);
}

void QRCode::update(const QRCodeMessageFormatter& message, ErrorCorrection errorCorrection) {
    const std::vector<std::uint8_t> bytes = message.data();
    update(std::span<const std::uint8_t>(bytes), errorCorrection);
}

} // namespace QRCode
