#pragma once

#include "QRCode/document/Message.h"
#include "QRCode/document/URL.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace QRCode {

// Typed content that a document turns into its payload with the message
// formatters: text, bytes as base-64 text, raw bytes, a link, a location, a
// phone number, an SMS or an event. A value type.
struct FormattedContent {
    struct Text {
        std::string text;
    };
    struct Base64 {
        std::vector<std::uint8_t> data;
    };
    struct RawData {
        std::vector<std::uint8_t> data;
    };
    struct Link {
        URL url;
    };
    struct Location {
        double lat = 0;
        double lon = 0;
    };
    struct Phone {
        std::string phoneNumber;
    };
    struct SMS {
        std::string mobileNumber;
        std::string message;
    };
    struct Event {
        std::string summary;
        std::string location;
        Message::Date start;
        Message::Date end;
    };

    std::variant<Text, Base64, RawData, Link, Location, Phone, SMS, Event> value;

    static FormattedContent text(std::string s) { return {Text{std::move(s)}}; }
    static FormattedContent base64(std::vector<std::uint8_t> d) { return {Base64{std::move(d)}}; }
    static FormattedContent rawData(std::vector<std::uint8_t> d) { return {RawData{std::move(d)}}; }
    static FormattedContent link(URL u) { return {Link{std::move(u)}}; }
    static FormattedContent location(double lat, double lon) { return {Location{lat, lon}}; }
    static FormattedContent phone(std::string phoneNumber) { return {Phone{std::move(phoneNumber)}}; }
    static FormattedContent sms(std::string mobileNumber, std::string message) {
        return {SMS{std::move(mobileNumber), std::move(message)}};
    }
    static FormattedContent event(std::string summary, std::string location, Message::Date start, Message::Date end) {
        return {Event{std::move(summary), std::move(location), start, end}};
    }
};

} // namespace QRCode
