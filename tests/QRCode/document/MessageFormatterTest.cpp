#include "tests/QRCode/ErrorOf.h"
#include "tests/QRCode/TestDrawing.h"
#include "QRCode/document/Message.h"
#include "QRCode/QRCodeError.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using QRCode::QRCodeError;
using QRCode::QRCodeException;

namespace Message = QRCode::Message;
using Message::Contact;

namespace {

using qrcodetest::bytesOf;
using qrcodetest::errorOf;

Message::Date utc(int y, unsigned m, unsigned d, int hh, int mm, int ss) {
    using namespace std::chrono;
    return sys_days{year{y} / month{m} / day{d}} + hours{hh} + minutes{mm} + seconds{ss};
}

QRCode::URL url(std::string_view s) { return *QRCode::URL::fromString(s); }

// The fields a standard parser (vobject for "vcard", icalendar for "vevent")
// reads from the text; null when the parser is not installed.
nlohmann::json readBack(const char* mode, const std::string& text) {
    testsupport::TempDir dir;
    testsupport::writeTextFile(dir / "message", text);
    const auto script = testsupport::sourceDir() / "tests" / "QRCode" / "document" / "read_message.py";
    std::string output;
    const int status = testsupport::runCommand(
        "/usr/bin/python3 '" + script.string() + "' " + mode + " '" + (dir / "message").string() + "' 2>&1", &output);
    if (status != 0 && output.find("No module named") != std::string::npos) return nullptr;
    EXPECT_EQ(status, 0) << output;
    return status == 0 ? nlohmann::json::parse(output) : nlohmann::json::object();
}

} // namespace

TEST(ContactMessage, MinimalCardHasNoTrailingLineFeedAndInvalidUTF8IsRefused) {
    const Contact card(Contact::Name(), "Ada", {}, std::nullopt, std::nullopt, {}, {}, {}, {});
    EXPECT_EQ(*card.text(), "BEGIN:VCARD\nVERSION:3.0\nN:;;;;\nFN:Ada\nEND:VCARD");
    EXPECT_EQ(card.data(), bytesOf(*card.text()));
    EXPECT_EQ(errorOf([] { Contact(Contact::Name(), "\xff", {}, std::nullopt, std::nullopt, {}, {}, {}, {}); }),
              QRCodeError::unableToConvertTextToRequestedEncoding);
}

TEST(ContactMessage, FullCardInFieldOrder) {
    const Contact card(
        Contact::Name("Lovelace", "Ada", std::nullopt, "Lady", std::nullopt), "Ada Lovelace",
        {Contact::Address("home", std::nullopt, std::nullopt, "1 Main St", "London", std::nullopt, "N1", "UK"),
         Contact::Address("work")},
        std::string(), "Countess", {"+44 1", "+44 2"}, {"ada@example.org"}, {url("https://example.org/ada")},
        {"a, b\n\n  c", "second"});
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

TEST(ContactMessage, EveryFieldReadsBackExactlyWithAStandardParser) {
    const std::string hostile = "a;b,c\\d\ne";
    const Contact card(
        Contact::Name(hostile, "A,B", "x;y", "Dr.", "Jr\\"), "F;N, " + hostile,
        {Contact::Address("home", "PO;1", "ext,2", "1, Main St; Flat 2", "Town\\", "Re;g", "N1", "UK,\nEU")},
        "Acme; Inc, Ltd", "Head; of, things", {"+44 1;2"}, {"a,b@example.org"},
        {url("https://example.org/a?b=c,d;e"), url("https://example.org/p;q,r")}, {"one, two;\n  three\\"});
    const auto fields = readBack("vcard", *card.text());
    if (fields.is_null()) GTEST_SKIP() << "python3-vobject is not installed; ./test installs it";
    using Strings = std::vector<std::string>;
    EXPECT_EQ(fields["n"].get<Strings>(), (Strings{hostile, "A,B", "x;y", "Dr.", "Jr\\"}));
    EXPECT_EQ(fields["fn"], "F;N, " + hostile);
    EXPECT_EQ(
        fields["adr"].get<std::vector<Strings>>(),
        (std::vector<Strings>{{"home", "PO;1", "ext,2", "1, Main St; Flat 2", "Town\\", "Re;g", "N1", "UK,\nEU"}}));
    EXPECT_EQ(fields["org"].get<std::vector<Strings>>(), (std::vector<Strings>{{"Acme; Inc, Ltd"}}));
    EXPECT_EQ(fields["title"].get<Strings>(), Strings{"Head; of, things"});
    EXPECT_EQ(fields["tel"].get<Strings>(), Strings{"+44 1;2"});
    EXPECT_EQ(fields["email"].get<Strings>(), Strings{"a,b@example.org"});
    EXPECT_EQ(fields["url"].get<Strings>(), (Strings{url("https://example.org/a?b=c,d;e").absoluteString(),
                                                     url("https://example.org/p;q,r").absoluteString()}));
    // Notes have their white space collapsed on purpose; nothing else changes.
    EXPECT_EQ(fields["note"].get<Strings>(), Strings{"one, two; three\\"});
}

TEST(EventMessage, BlockWithUTCTimesCRLFAndEscapes) {
    const Message::Event event("Lunch\r\nMeeting", "Cafe", utc(2024, 1, 2, 3, 4, 5), utc(2024, 1, 2, 4, 0, 0));
    EXPECT_EQ(*event.text(), "BEGIN:VEVENT\r\n"
                             "SUMMARY:LunchMeeting\r\n"
                             "LOCATION:Cafe\r\n"
                             "DTSTART:20240102T030405Z\r\n"
                             "DTEND:20240102T040000Z\r\n"
                             "END:VEVENT");
    EXPECT_EQ(event.data(), bytesOf(*event.text()));

    // Lone line breaks and separators are escaped; times drop their fraction.
    const auto start = utc(1999, 12, 31, 23, 59, 59) + std::chrono::milliseconds(999);
    const Message::Event escaped("a\nb\rc, d; e\\", "", start, start);
    EXPECT_EQ(*escaped.text(), "BEGIN:VEVENT\r\n"
                               "SUMMARY:a\\nb\\nc\\, d\\; e\\\\\r\n"
                               "LOCATION:\r\n"
                               "DTSTART:19991231T235959Z\r\n"
                               "DTEND:19991231T235959Z\r\n"
                               "END:VEVENT");
}

TEST(EventMessage, ReadsBackExactlyWithAStandardParser) {
    const Message::Event event("Lunch; with, \"friends\"\\\nand more", "Caf\u00e9, 1; 2", utc(2024, 2, 29, 23, 59, 58),
                               utc(2024, 3, 1, 0, 30, 0));
    const auto fields = readBack("vevent", *event.text());
    if (fields.is_null()) GTEST_SKIP() << "python3-icalendar is not installed; ./test installs it";
    EXPECT_EQ(fields["summary"], "Lunch; with, \"friends\"\\\nand more");
    EXPECT_EQ(fields["location"], "Caf\u00e9, 1; 2");
    EXPECT_EQ(fields["start"], "2024-02-29T23:59:58+00:00");
    EXPECT_EQ(fields["end"], "2024-03-01T00:30:00+00:00");
}

TEST(MailMessage, PercentEncodingAndQuery) {
    EXPECT_EQ(*Message::Mail("a b", "Hi there").text(), "mailto:a%20b?subject=Hi%20there");
    EXPECT_EQ(*Message::Mail("a b").text(), "mailto:a%20b");
    EXPECT_EQ(*Message::Mail("x@y.z", std::string()).text(), "mailto:x@y.z?subject=");
    EXPECT_EQ(*Message::Mail("x@y.z", std::nullopt, "line1\nl\u00e9").text(), "mailto:x@y.z?body=line1%0Al%C3%A9");
    EXPECT_EQ(*Message::Mail("x@y.z", "s", "b").text(), "mailto:x@y.z?subject=s&body=b");
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

TEST(LocationMessage, ShortestPlainDecimalsWithinRange) {
    EXPECT_EQ(*Message::Location(51.5, -0.12).text(), "geo:51.5,-0.12?q=51.5,-0.12");
    EXPECT_EQ(*Message::Location(0, -0.0).text(), "geo:0.0,0.0?q=0.0,0.0");
    // Near the equator or the prime meridian: no exponent form, which geo
    // URIs do not allow.
    EXPECT_EQ(*Message::Location(51, 1e-05).text(), "geo:51.0,0.00001?q=51.0,0.00001");
    EXPECT_EQ(*Message::Location(-2.5e-7, 1.0 / 3).text(),
              "geo:-0.00000025,0.3333333333333333?q=-0.00000025,0.3333333333333333");
    EXPECT_EQ(*Message::Location(-90, 180).text(), "geo:-90.0,180.0?q=-90.0,180.0");
    for (const auto& [lat, lon] : std::vector<std::pair<double, double>>{{std::nan(""), 0},
                                                                         {0, std::numeric_limits<double>::infinity()},
                                                                         {90.000001, 0},
                                                                         {-91, 0},
                                                                         {0, 180.5},
                                                                         {0, -1e300}}) {
        EXPECT_EQ(errorOf([&] { Message::Location(lat, lon); }), QRCodeError::invalidContent) << lat << "," << lon;
    }
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
