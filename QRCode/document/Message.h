#pragma once

#include "QRCode/document/QRCodeMessageFormatter.h"
#include "QRCode/document/URL.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Message formatters: small immutable objects that turn structured values
// into the exact payload a QR code carries. Each computes its text and bytes
// once, when it is made. A formatter whose text is not valid UTF-8 (or cannot
// be converted to the requested encoding) throws
// QRCodeException(unableToConvertTextToRequestedEncoding) and is not made.
namespace QRCode::Message {

using Bytes = std::vector<std::uint8_t>;
using Date = std::chrono::system_clock::time_point;

// The two stored results shared by every formatter.
class FormatterBase : public QRCodeMessageFormatter {
public:
    std::vector<std::uint8_t> data() const override { return data_; }
    std::optional<std::string> text() const override { return text_; }

protected:
    FormatterBase() = default;
    // Stores the text and its UTF-8 bytes; invalid UTF-8 throws.
    void setUTF8Text(std::string text);

    Bytes data_;
    std::optional<std::string> text_;
};

// A vCard 3.0 card (lines separated by LF, no LF after "END:VCARD"). Text
// values and URLs are escaped as vCard requires ("\\", "\;", "\,", "\n"), so
// that a separator or a line break inside a field cannot shift or add fields.
class Contact : public FormatterBase {
public:
    class Name {
    public:
        Name(std::optional<std::string> lastName = std::nullopt, std::optional<std::string> firstName = std::nullopt,
             std::optional<std::string> additionalName = std::nullopt,
             std::optional<std::string> namePrefix = std::nullopt,
             std::optional<std::string> nameSuffix = std::nullopt);
        // "N:" and the five parts joined by ";", then LF.
        std::string vcard() const;

        const std::optional<std::string>& lastName() const { return lastName_; }
        const std::optional<std::string>& firstName() const { return firstName_; }
        const std::optional<std::string>& additionalName() const { return additionalName_; }
        const std::optional<std::string>& namePrefix() const { return namePrefix_; }
        const std::optional<std::string>& nameSuffix() const { return nameSuffix_; }

    private:
        std::optional<std::string> lastName_, firstName_, additionalName_, namePrefix_, nameSuffix_;
    };

    class Address {
    public:
        explicit Address(std::string type, std::optional<std::string> postOfficeAddress = std::nullopt,
                         std::optional<std::string> extendedAddress = std::nullopt,
                         std::optional<std::string> street = std::nullopt,
                         std::optional<std::string> locality = std::nullopt,
                         std::optional<std::string> region = std::nullopt,
                         std::optional<std::string> postalCode = std::nullopt,
                         std::optional<std::string> country = std::nullopt);
        // "ADR;TYPE=" type ":" and the seven parts joined by ";", then LF.
        std::string vcard() const;

        const std::string& type() const { return type_; }

    private:
        std::string type_;
        std::optional<std::string> postOfficeAddress_, extendedAddress_, street_, locality_, region_, postalCode_,
            country_;
    };

    Contact(const Name& name, std::string_view formattedName, const std::vector<Address>& addresses,
            const std::optional<std::string>& organization, const std::optional<std::string>& title,
            const std::vector<std::string>& telephone, const std::vector<std::string>& email,
            const std::vector<URL>& urls, const std::vector<std::string>& notes);
};

// Raw bytes; no text.
class Data : public FormatterBase {
public:
    explicit Data(std::span<const std::uint8_t> bytes);
};

// The standard base-64 text of the bytes (one line); the data is that text.
class DataBase64 : public FormatterBase {
public:
    explicit DataBase64(std::span<const std::uint8_t> bytes);
};

// A calendar event block (CR LF between lines, none after "END:VEVENT"),
// times in UTC as yyyyMMdd'T'HHmmss'Z'. CR LF pairs are removed from the
// summary and location; what remains is escaped as iCalendar text ("\\",
// "\;", "\,", and "\n" for a lone CR or LF).
class Event : public FormatterBase {
public:
    Event(std::string_view summary, std::string_view location, Date start, Date end);
};

// The URL's absolute string.
class Link : public FormatterBase {
public:
    explicit Link(const URL& url);
    // Throws QRCodeException(invalidURL) when the string is not a URL.
    static Link fromString(std::string_view urlString);
};

// "geo:lat,long?q=lat,long" with the shortest round-trip number texts in
// plain decimal form (never an exponent, which geo URIs do not allow). A
// latitude outside -90...90 or a longitude outside -180...180 (or one that
// is not finite) throws QRCodeException(invalidContent).
class Location : public FormatterBase {
public:
    Location(double latitude, double longitude);
};

// "mailto:" with the percent-encoded address and optional "subject" and
// "body" query items. Inside the values "&", "=" and "+" are encoded too, and
// "?" inside the address, so that they cannot end a field early.
class Mail : public FormatterBase {
public:
    Mail(std::string_view mailTo, const std::optional<std::string>& subject = std::nullopt,
         const std::optional<std::string>& body = std::nullopt);
};

// "TEL:" and the numeric characters and "+" of the number.
class Phone : public FormatterBase {
public:
    explicit Phone(std::string_view number);
};

// "SMSTO:" number ":" message, the number filtered as for Phone.
class SMS : public FormatterBase {
public:
    SMS(std::string_view mobileNumber, std::string_view message);
};

// The text unchanged; the data is the text in the requested encoding (an
// ICU converter name such as "UTF-8", "US-ASCII", "ISO-8859-1",
// "Shift_JIS"). A character the encoding cannot represent, or an unknown
// encoding, throws QRCodeException(unableToConvertTextToRequestedEncoding).
class Text : public FormatterBase {
public:
    explicit Text(std::string text);
    Text(std::string text, std::string_view encoding);
};

// ---- String utilities of the formatters. ----

// The UTF-8 text without every user-perceived character (extended grapheme
// cluster) that is canonically equivalent to one of the characters of
// `characters`.
std::string removingCharacters(std::string_view text, std::string_view characters);

// The characters of a number that a dialler keeps: every user-perceived
// character whose first code point has a numeric type, and "+".
std::string phoneNumberCharacters(std::string_view text);

} // namespace QRCode::Message
