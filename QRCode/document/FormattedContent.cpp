#include "QRCode/Document.h"
#include "QRCode/document/FormattedContent.h"
#include "QRCode/document/Message.h"
#include "platform/foundation/Base64.h"

#include <type_traits>

namespace QRCode {

namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
// Spelled out for compilers without deduction for aggregates (clang 14).
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

std::string textOf(const QRCodeMessageFormatter& formatter) { return formatter.text().value_or(std::string()); }

// The content a typed value stands for; a formatter's error passes on.
Content payload(const FormattedContent& formatted) {
    using FC = FormattedContent;
    return std::visit(
        Overloaded{
            [](const FC::Text& c) { return Content::text(c.text); },
            [](const FC::Base64& c) { return Content::text(foundation::base64Encode(c.data)); },
            [](const FC::RawData& c) { return Content::data(c.data); },
            [](const FC::Link& c) { return Content::text(textOf(Message::Link(c.url))); },
            [](const FC::Location& c) { return Content::text(textOf(Message::Location(c.lat, c.lon))); },
            [](const FC::Phone& c) { return Content::text(textOf(Message::Phone(c.phoneNumber))); },
            [](const FC::SMS& c) { return Content::text(textOf(Message::SMS(c.mobileNumber, c.message))); },
            [](const FC::Event& c) {
                return Content::text(textOf(Message::Event(c.summary, c.location, c.start, c.end)));
            },
        },
        formatted.value);
}

} // namespace

Document::Document(const FormattedContent& formattedContent, ErrorCorrection errorCorrection,
                   std::shared_ptr<QRCodeEngine> engine)
    : Document(std::span<const std::uint8_t>(), errorCorrection, std::move(engine)) {
    set(formattedContent);
}

void Document::set(const FormattedContent& formattedContent) { setContent(payload(formattedContent)); }

void Document::update(const FormattedContent& formattedContent, ErrorCorrection errorCorrection) {
    setErrorCorrection(errorCorrection);
    set(formattedContent);
}

} // namespace QRCode
