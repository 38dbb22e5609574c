#include "QRCode/document/Message.h"
#include "QRCode/QRCodeError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace Message = QRCode::Message;
using Message::Contact;

namespace {

QRCodeError errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const QRCodeException& e) {
        return e.code();
    }
    ADD_FAILURE() << "no QRCodeException";
    return QRCodeError::unsupportedExportType;
}

std::vector<std::uint8_t> bytesOf(std::string_view s) { return {s.begin(), s.end()}; }

Message::Date utc(int y, unsigned m, unsigned d, int hh, int mm, int ss) {
    using namespace std::chrono;
    return sys_days{year{y} / month{m} / day{d}} + hours{hh} + minutes{mm} + seconds{ss};
}

QRCode::URL url(std::string_view s) { return *QRCode::URL::fromString(s); }

} // namespace

TEST(ContactMessage, MinimalCardHasNoTrailingLineFeed) {
    const Contact card(Contact::Name(), "Ada", {}, std::nullopt, std::nullopt, {}, {}, {}, {});
    EXPECT_EQ(*card.text(), "BEGIN:VCARD\nVERSION:3.0\nN:;;;;\nFN:Ada\nEND:VCARD");
    EXPECT_EQ(card.data(), bytesOf(*card.text()));
}

TEST(ContactMessage, FullCardInFieldOrder) {
    const Contact card(Contact::Name("Lovelace", "Ada", std::nullopt, "Lady", std::nullopt), "Ada Lovelace",
                       {Contact::Address("home", std::nullopt, std::nullopt, "1 Main St", "London", std::nullopt,
                                         "N1", "UK"),
                        Contact::Address("work")},
                       std::string(), "Countess", {"+44 1", "+44 2"}, {"ada@example.org"},
                       {url("https://example.org/ada")}, {"a, b\n\n  c", "second"});
    EXPECT_EQ(*card.text(), "BEGIN:VCARD\n"
                            "VERSION:3.0\n"
                            "N:Lovelace;Ada;;Lady;\n"
                            "FN:Ada Lovelace\n"
                            "ADR;TYPE=home:;;1 Main St;London;;N1;UK\n"
                            "ADR;TYPE=work:;;;;;;\n"
                            "ORG:\n"
                            "TITLE:Countess\n"
                            "EMAIL:ada@example.org\n"
                            "TEL:+44 1\n"
                            "TEL:+44 2\n"
                            "URL:https://example.org/ada\n"
                            "NOTE:a\\, b c\n"
                            "NOTE:second\n"
                            "END:VCARD");
}

TEST(ContactMessage, SeparatorsAndLineBreaksInFieldsAreEscaped) {
    // Unescaped, "Smith;Jr" would move "Jr" into the first-name field and a
    // line feed in the formatted name would start a new property.
    const Contact card(Contact::Name("Smith;Jr", "A,B"), "X\nORG:Evil", {Contact::Address("ho:me;x", "a\\b")},
                       std::nullopt, std::nullopt, {"1\r\n2"}, {}, {}, {"x;y\\z \t\u00A0end"});
    EXPECT_EQ(*card.text(), "BEGIN:VCARD\n"
                            "VERSION:3.0\n"
                            "N:Smith\\;Jr;A\\,B;;;\n"
                            "FN:X\\nORG:Evil\n"
                            "ADR;TYPE=homex:a\\\\b;;;;;;\n"
                            "TEL:1\\n2\n"
                            "NOTE:x\\;y\\\\z end\n"
                            "END:VCARD");
}

TEST(ContactMessage, InvalidUTF8IsRefused) {
    EXPECT_EQ(errorOf([] { Contact(Contact::Name(), "\xff", {}, std::nullopt, std::nullopt, {}, {}, {}, {}); }),
              QRCodeError::unableToConvertTextToRequestedEncoding);
}

TEST(EventMessage, BlockWithUTCTimesAndCRLF) {
    const Message::Event event("Lunch\r\nMeeting", "Cafe", utc(2024, 1, 2, 3, 4, 5), utc(2024, 1, 2, 4, 0, 0));
    EXPECT_EQ(*event.text(), "BEGIN:VEVENT\r\n"
                             "SUMMARY:LunchMeeting\r\n"
                             "LOCATION:Cafe\r\n"
                             "DTSTART:20240102T030405Z\r\n"
                             "DTEND:20240102T040000Z\r\n"
                             "END:VEVENT");
    EXPECT_EQ(event.data(), bytesOf(*event.text()));
}

TEST(EventMessage, LoneLineBreaksAndSeparatorsAreEscaped) {
    const auto start = utc(1999, 12, 31, 23, 59, 59) + std::chrono::milliseconds(999);
    const Message::Event event("a\nb\rc, d; e\\", "", start, start);
    EXPECT_EQ(*event.text(), "BEGIN:VEVENT\r\n"
                             "SUMMARY:a\\nb\\nc\\, d\\; e\\\\\r\n"
                             "LOCATION:\r\n"
                             "DTSTART:19991231T235959Z\r\n"
                             "DTEND:19991231T235959Z\r\n"
                             "END:VEVENT");
}

TEST(MailMessage, PercentEncodingAndQuery) {
    EXPECT_EQ(*Message::Mail("a b", "Hi there").text(), "mailto:a%20b?subject=Hi%20there");
    EXPECT_EQ(*Message::Mail("a b").text(), "mailto:a%20b");
    EXPECT_EQ(*Message::Mail("x@y.z", std::string()).text(), "mailto:x@y.z?subject=");
    EXPECT_EQ(*Message::Mail("x@y.z", std::nullopt, "line1\nl\u00e9").text(), "mailto:x@y.z?body=line1%0Al%C3%A9");
    EXPECT_EQ(*Message::Mail("x@y.z", "s", "b").text(), "mailto:x@y.z?subject=s&body=b");
}

TEST(MailMessage, QuerySeparatorsInsideValuesAreEncoded) {
    // "a&body=x" as a subject must not become a second query item.
    EXPECT_EQ(*Message::Mail("who?@y.z", "a&body=x+1", "50%").text(),
              "mailto:who%3F@y.z?subject=a%26body%3Dx%2B1&body=50%25");
}

TEST(PhoneAndSMSMessages, KeepOnlyNumericCharactersAndPlus) {
    EXPECT_EQ(*Message::Phone("+1 (555) 010-9999").text(), "TEL:+15550109999");
    EXPECT_EQ(*Message::Phone("abc").text(), "TEL:");
    // Digits of other scripts and other numeric characters stay; a combining
    // mark stays with its digit.
    EXPECT_EQ(*Message::Phone("\u0661\u0662 \u00BD x1\u0301").text(), "TEL:\u0661\u0662\u00BD1\u0301");
    EXPECT_EQ(*Message::SMS("+44 20", "Hi: there").text(), "SMSTO:+4420:Hi: there");
    EXPECT_EQ(*Message::SMS("", "").text(), "SMSTO::");
}

TEST(LocationMessage, ShortestNumberTexts) {
    EXPECT_EQ(*Message::Location(51.5, -0.12).text(), "geo:51.5,-0.12?q=51.5,-0.12");
    EXPECT_EQ(*Message::Location(0, 0).text(), "geo:0.0,0.0?q=0.0,0.0");
    EXPECT_EQ(*Message::Location(51, 1e-05).text(), "geo:51.0,1e-05?q=51.0,1e-05");
    EXPECT_EQ(errorOf([] { Message::Location(std::nan(""), 0); }), QRCodeError::invalidContent);
    EXPECT_EQ(errorOf([] { Message::Location(0, std::numeric_limits<double>::infinity()); }),
              QRCodeError::invalidContent);
}

TEST(DataMessages, RawBytesAndBase64) {
    const std::vector<std::uint8_t> raw{0, 0xff, 'a'};
    const Message::Data data(raw);
    EXPECT_FALSE(data.text().has_value());
    EXPECT_EQ(data.data(), raw);
    const Message::DataBase64 b64(bytesOf("abc"));
    EXPECT_EQ(*b64.text(), "YWJj");
    EXPECT_EQ(b64.data(), bytesOf("YWJj"));
    EXPECT_EQ(*Message::DataBase64({}).text(), "");
}

TEST(LinkMessage, URLTextAndInvalidStrings) {
    EXPECT_EQ(*Message::Link(url("https://example.org/a?b=c#d")).text(), "https://example.org/a?b=c#d");
    EXPECT_EQ(*Message::Link::fromString("mailto:x@y.z").text(), "mailto:x@y.z");
    for (const char* bad : {"", "has space", "http://x/%zz", "http://x/%4", "a#b#c", "caf\u00e9", "tab\t"})
        EXPECT_EQ(errorOf([&] { Message::Link::fromString(bad); }), QRCodeError::invalidURL) << bad;
}

TEST(TextMessage, EncodingsAndLossyConversion) {
    const Message::Text plain("h\u00e9");
    EXPECT_EQ(*plain.text(), "h\u00e9");
    EXPECT_EQ(plain.data(), bytesOf("h\u00e9"));
    EXPECT_EQ(Message::Text("h\u00e9", "ISO-8859-1").data(), (std::vector<std::uint8_t>{'h', 0xE9}));
    EXPECT_EQ(Message::Text("", "US-ASCII").data(), std::vector<std::uint8_t>{});
    EXPECT_EQ(errorOf([] { Message::Text("h\u00e9", "US-ASCII"); }),
              QRCodeError::unableToConvertTextToRequestedEncoding);
    EXPECT_EQ(errorOf([] { Message::Text("x", "no-such-encoding"); }),
              QRCodeError::unableToConvertTextToRequestedEncoding);
    EXPECT_EQ(errorOf([] { Message::Text("\xc3"); }), QRCodeError::unableToConvertTextToRequestedEncoding);
}

TEST(MessageStringUtilities, RemovingCharactersByGraphemeAndCanonicalEquivalence) {
    // CR LF is one character: lone CR and LF stay.
    EXPECT_EQ(Message::removingCharacters("a\r\nb\nc\rd", "\r\n"), "ab\nc\rd");
    // A precomposed e-acute matches e + combining acute; a bare "e" does not
    // match the cluster "e" + acute.
    EXPECT_EQ(Message::removingCharacters("caf\u00e9 cafe\u0301", "e\u0301"), "caf caf");
    EXPECT_EQ(Message::removingCharacters("cafe\u0301", "e"), "cafe\u0301");
}
