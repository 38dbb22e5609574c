#include "QRCode/document/Message.h"

#include "QRCode/QRCodeError.h"
#include "platform/foundation/Base64.h"

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

namespace QRCode::Message {

namespace {

[[noreturn]] void throwEncodingError() { throw QRCodeException(QRCodeError::unableToConvertTextToRequestedEncoding); }

bool isValidUTF8(std::string_view text) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) return false;
    for (std::int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c < 0) return false;
    }
    return true;
}

std::string orEmpty(const std::optional<std::string>& value) { return value ? *value : std::string(); }

// Escapes a vCard or iCalendar text value: backslash, ";" and "," get a
// backslash; CR LF, CR and LF become "\n".
std::string escapedText(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case ';': out += "\\;"; break;
        case ',': out += "\\,"; break;
        case '\r':
            if (i + 1 < value.size() && value[i + 1] == '\n') ++i;
            out += "\\n";
            break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    return out;
}

std::string escapedOptional(const std::optional<std::string>& value) {
    return escapedText(std::string_view(orEmpty(value)));
}

// A note: "," escaped (with backslash and ";"), then every run of white
// space (line breaks included) collapsed to one space.
std::string noteText(std::string_view note) {
    std::string out;
    const auto* s = reinterpret_cast<const std::uint8_t*>(note.data());
    const auto length = static_cast<std::int32_t>(note.size());
    bool inSpace = false;
    for (std::int32_t i = 0; i < length;) {
        const std::int32_t start = i;
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c >= 0 && u_isUWhiteSpace(c)) {
            if (!inSpace) out += ' ';
            inSpace = true;
            continue;
        }
        inSpace = false;
        if (c == '\\' || c == ';' || c == ',') out += '\\';
        out.append(note.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
    }
    return out;
}

// Percent-encodes every UTF-8 byte outside the query-allowed characters
// (unreserved, sub-delimiters, ":", "@", "/", "?"), and every character of
// `alsoEncode`.
std::string percentEncoded(std::string_view text, std::string_view alsoEncode) {
    static constexpr std::string_view allowed = "-._~!$&'()*+,;=:@/?";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const bool keep = ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           allowed.find(ch) != std::string_view::npos) &&
                          alsoEncode.find(ch) == std::string_view::npos;
        if (keep) {
            out += ch;
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        }
    }
    return out;
}

std::string utcTimestamp(Date date) {
    using namespace std::chrono;
    const auto secs = floor<seconds>(date);
    const auto days = floor<std::chrono::days>(secs);
    const year_month_day ymd{days};
    const hh_mm_ss<seconds> time{secs - days};
    // The year of the era, as a date pattern's "yyyy" writes it.
    int year = static_cast<int>(ymd.year());
    if (year <= 0) year = 1 - year;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d%02u%02uT%02d%02d%02dZ", year, static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
    return buf;
}

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
}

std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

// Calls `visit` with each grapheme cluster of the text.
template <class Visit> void forEachCharacter(const icu::UnicodeString& text, Visit&& visit) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it) {
        // Without break rules every code point counts as a character.
        for (std::int32_t i = 0; i < text.length();) {
            const std::int32_t next = text.moveIndex32(i, 1);
            visit(icu::UnicodeString(text, i, next - i));
            i = next;
        }
        return;
    }
    it->setText(text);
    std::int32_t start = it->first();
    for (std::int32_t end = it->next(); end != icu::BreakIterator::DONE; start = end, end = it->next())
        visit(icu::UnicodeString(text, start, end - start));
}

} // namespace

void FormatterBase::setUTF8Text(std::string text) {
    if (!isValidUTF8(text)) throwEncodingError();
    data_.assign(text.begin(), text.end());
    text_ = std::move(text);
}

// ---- String utilities ----

std::string removingCharacters(std::string_view text, std::string_view characters) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    auto canonical = [&](const icu::UnicodeString& s) {
        UErrorCode st = U_ZERO_ERROR;
        if (!nfd) return s;
        icu::UnicodeString out = nfd->normalize(s, st);
        return U_SUCCESS(st) ? out : s;
    };
    std::vector<icu::UnicodeString> removed;
    forEachCharacter(unicode(characters), [&](const icu::UnicodeString& c) { removed.push_back(canonical(c)); });
    icu::UnicodeString out;
    forEachCharacter(unicode(text), [&](const icu::UnicodeString& c) {
        const icu::UnicodeString key = canonical(c);
        for (const auto& r : removed)
            if (r == key) return;
        out += c;
    });
    return utf8(out);
}

std::string phoneNumberCharacters(std::string_view text) {
    icu::UnicodeString out;
    forEachCharacter(unicode(text), [&](const icu::UnicodeString& c) {
        const UChar32 first = c.char32At(0);
        if (first == '+' || u_getIntPropertyValue(first, UCHAR_NUMERIC_TYPE) != U_NT_NONE) out += c;
    });
    return utf8(out);
}

// ---- Contact ----

Contact::Name::Name(std::optional<std::string> lastName, std::optional<std::string> firstName,
                    std::optional<std::string> additionalName, std::optional<std::string> namePrefix,
                    std::optional<std::string> nameSuffix)
    : lastName_(std::move(lastName)), firstName_(std::move(firstName)), additionalName_(std::move(additionalName)),
      namePrefix_(std::move(namePrefix)), nameSuffix_(std::move(nameSuffix)) {}

std::string Contact::Name::vcard() const {
    return "N:" + escapedOptional(lastName_) + ";" + escapedOptional(firstName_) + ";" +
           escapedOptional(additionalName_) + ";" + escapedOptional(namePrefix_) + ";" + escapedOptional(nameSuffix_) +
           "\n";
}

Contact::Address::Address(std::string type, std::optional<std::string> postOfficeAddress,
                          std::optional<std::string> extendedAddress, std::optional<std::string> street,
                          std::optional<std::string> locality, std::optional<std::string> region,
                          std::optional<std::string> postalCode, std::optional<std::string> country)
    : type_(std::move(type)), postOfficeAddress_(std::move(postOfficeAddress)),
      extendedAddress_(std::move(extendedAddress)), street_(std::move(street)), locality_(std::move(locality)),
      region_(std::move(region)), postalCode_(std::move(postalCode)), country_(std::move(country)) {}

std::string Contact::Address::vcard() const {
    // The type is a parameter value: characters that would end the parameter
    // or the line are dropped.
    std::string type;
    for (const char c : type_)
        if (c != ':' && c != ';' && c != '\r' && c != '\n' && c != '"') type += c;
    return "ADR;TYPE=" + type + ":" + escapedOptional(postOfficeAddress_) + ";" + escapedOptional(extendedAddress_) +
           ";" + escapedOptional(street_) + ";" + escapedOptional(locality_) + ";" + escapedOptional(region_) + ";" +
           escapedOptional(postalCode_) + ";" + escapedOptional(country_) + "\n";
}

Contact::Contact(const Name& name, std::string_view formattedName, const std::vector<Address>& addresses,
                 const std::optional<std::string>& organization, const std::optional<std::string>& title,
                 const std::vector<std::string>& telephone, const std::vector<std::string>& email,
                 const std::vector<URL>& urls, const std::vector<std::string>& notes) {
    std::string card = "BEGIN:VCARD\nVERSION:3.0\n";
    card += name.vcard();
    card += "FN:" + escapedText(formattedName) + "\n";
    for (const auto& address : addresses) card += address.vcard();
    if (organization) card += "ORG:" + escapedText(*organization) + "\n";
    if (title) card += "TITLE:" + escapedText(*title) + "\n";
    for (const auto& mail : email) card += "EMAIL:" + escapedText(mail) + "\n";
    for (const auto& phone : telephone) card += "TEL:" + escapedText(phone) + "\n";
    for (const auto& url : urls) card += "URL:" + escapedText(url.absoluteString()) + "\n";
    for (const auto& note : notes) card += "NOTE:" + noteText(note) + "\n";
    card += "END:VCARD";
    setUTF8Text(std::move(card));
}

// ---- Data ----

Data::Data(std::span<const std::uint8_t> bytes) { data_.assign(bytes.begin(), bytes.end()); }

DataBase64::DataBase64(std::span<const std::uint8_t> bytes) { setUTF8Text(foundation::base64Encode(bytes)); }

// ---- Event ----

Event::Event(std::string_view summary, std::string_view location, Date start, Date end) {
    if (!isValidUTF8(summary) || !isValidUTF8(location)) throwEncodingError();
    const std::string crlf = "\r\n";
    std::string block = "BEGIN:VEVENT\r\n";
    block += "SUMMARY:" + escapedText(removingCharacters(summary, crlf)) + "\r\n";
    block += "LOCATION:" + escapedText(removingCharacters(location, crlf)) + "\r\n";
    block += "DTSTART:" + utcTimestamp(start) + "\r\n";
    block += "DTEND:" + utcTimestamp(end) + "\r\n";
    block += "END:VEVENT";
    setUTF8Text(std::move(block));
}

// ---- Link ----

Link::Link(const URL& url) { setUTF8Text(url.absoluteString()); }

Link Link::fromString(std::string_view urlString) {
    const auto url = URL::fromString(urlString);
    if (!url) throw QRCodeException(QRCodeError::invalidURL);
    return Link(*url);
}

// ---- Location ----

namespace {

// The shortest plain decimal that reads back as the same double, integral
// values keeping ".0" ("51.0", "0.00001"); geo URIs allow no exponent form.
std::string geoNumberText(double value) {
    if (value == 0) value = 0; // no "-0.0"
    char buf[512];             // the longest fixed form of a coordinate fits easily
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    std::string text(buf, result.ptr);
    if (text.find('.') == std::string::npos) text += ".0";
    return text;
}

} // namespace

Location::Location(double latitude, double longitude) {
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::abs(latitude) > 90 || std::abs(longitude) > 180)
        throw QRCodeException(QRCodeError::invalidContent);
    const std::string c = geoNumberText(latitude) + "," + geoNumberText(longitude);
    setUTF8Text("geo:" + c + "?q=" + c);
}

// ---- Mail ----

Mail::Mail(std::string_view mailTo, const std::optional<std::string>& subject, const std::optional<std::string>& body) {
    std::string text = "mailto:" + percentEncoded(mailTo, "?");
    std::string query;
    if (subject) query += "subject=" + percentEncoded(*subject, "&=+");
    if (body) {
        if (!query.empty()) query += "&";
        query += "body=" + percentEncoded(*body, "&=+");
    }
    if (!query.empty()) text += "?" + query;
    if (!isValidUTF8(mailTo) || (subject && !isValidUTF8(*subject)) || (body && !isValidUTF8(*body)))
        throwEncodingError();
    setUTF8Text(std::move(text));
}

// ---- Phone and SMS ----

Phone::Phone(std::string_view number) {
    if (!isValidUTF8(number)) throwEncodingError();
    setUTF8Text("TEL:" + phoneNumberCharacters(number));
}

SMS::SMS(std::string_view mobileNumber, std::string_view message) {
    if (!isValidUTF8(mobileNumber)) throwEncodingError();
    setUTF8Text("SMSTO:" + phoneNumberCharacters(mobileNumber) + ":" + std::string(message));
}

// ---- Text ----

Text::Text(std::string text) { setUTF8Text(std::move(text)); }

Text::Text(std::string text, std::string_view encoding) {
    if (!isValidUTF8(text)) throwEncodingError();
    UErrorCode status = U_ZERO_ERROR;
    const std::string name(encoding);
    std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open(name.c_str(), &status), &ucnv_close);
    if (U_FAILURE(status) || !converter) throwEncodingError();
    // Stop at the first character the encoding lacks instead of substituting.
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    const icu::UnicodeString source = unicode(text);
    status = U_ZERO_ERROR;
    const std::int32_t needed =
        ucnv_fromUChars(converter.get(), nullptr, 0, source.getBuffer(), source.length(), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) throwEncodingError();
    Bytes bytes(static_cast<std::size_t>(needed));
    status = U_ZERO_ERROR;
    ucnv_reset(converter.get());
    ucnv_fromUChars(converter.get(), reinterpret_cast<char*>(bytes.data()), needed, source.getBuffer(), source.length(),
                    &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) throwEncodingError();
    data_ = std::move(bytes);
    text_ = std::move(text);
}

} // namespace QRCode::Message
