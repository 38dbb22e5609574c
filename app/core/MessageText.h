#pragma once

// The kinds of message a code can carry and the text each kind encodes.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace Tessivo {

enum class MessageType { text = 0, url = 1, email = 2, phone = 3, sms = 4, wifi = 5, vcard = 6 };

inline constexpr std::array<MessageType, 7> allMessageTypes{MessageType::text,  MessageType::url, MessageType::email,
                                                            MessageType::phone, MessageType::sms, MessageType::wifi,
                                                            MessageType::vcard};

// 0...6 give a kind; every other integer gives nothing.
std::optional<MessageType> messageTypeFromRaw(long long raw);
constexpr int rawValue(MessageType type) { return int(type); }
// "Text", "URL", "Email", "Phone", "SMS", "Wi-Fi", "Contact".
std::string_view title(MessageType type);

// Wi-Fi security, the value of MessageFields::msgWifiAuth.
enum WifiAuth { wifiWPA = 0, wifiWEP = 1, wifiNoPassword = 2 };

// The message fields of the main window; none is saved. Text and URL share
// qrText.
struct MessageFields {
    std::string qrText;
    std::string msgEmailTo, msgEmailSubject, msgEmailBody;
    std::string msgPhone;
    std::string msgSmsTo, msgSmsBody;
    std::string msgWifiSSID, msgWifiPassword;
    int msgWifiAuth = wifiWPA;
    bool msgWifiHidden = false;
    std::string msgVcardName, msgVcardOrg, msgVcardPhone, msgVcardEmail;
};

// The text to encode for the stored kind (any raw value outside 2...6 gives
// qrText as typed). Empty when the kind's required field is empty: there is
// no message then. Nothing is trimmed.
std::string messageText(long long messageTypeRaw, const MessageFields& fields);

// Backslash before each of \ ; , : " (Wi-Fi network name and password).
std::string wifiEscaped(std::string_view text);

// A mail header value for a "mailto:" query: the RFC 3986 query characters
// stay, except "&", "=" and "+", which would end or change the value for a
// reader; every other byte of the UTF-8 text becomes %XX.
std::string mailtoQueryEncoded(std::string_view text);

// A vCard 3.0 text value: backslash before \ ; , and line breaks as \n.
std::string vcardEscaped(std::string_view text);

} // namespace Tessivo
