#include "app/core/MessageText.h"

#include <vector>

namespace Tessivo {

std::optional<MessageType> messageTypeFromRaw(long long raw) {
    if (raw < 0 || raw > 6) return std::nullopt;
    return MessageType(raw);
}

std::string_view title(MessageType type) {
    switch (type) {
    case MessageType::text: return "Text";
    case MessageType::url: return "URL";
    case MessageType::email: return "Email";
    case MessageType::phone: return "Phone";
    case MessageType::sms: return "SMS";
    case MessageType::wifi: return "Wi-Fi";
    case MessageType::vcard: return "Contact";
    }
    return "Text";
}

std::string wifiEscaped(std::string_view text) {
    // Byte-wise is character-wise here: the five characters are ASCII and
    // never occur inside a multi-byte UTF-8 sequence.
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\' || c == ';' || c == ',' || c == ':' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

std::string mailtoQueryEncoded(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    auto keep = [](unsigned char c) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
        switch (c) {
        case '-':
        case '.':
        case '_':
        case '~': // unreserved
        case '!':
        case '$':
        case '\'':
        case '(':
        case ')':
        case '*': // sub-delimiters but & = +
        case ',':
        case ';':
        case ':':
        case '@':
        case '/':
        case '?': return true;
        default: return false;
        }
    };
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (keep(c)) {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string vcardEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == ';' || c == ',') {
            out += '\\';
            out += c;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

std::string emailText(const MessageFields& f) {
    if (f.msgEmailTo.empty()) return {};
    std::vector<std::string> items;
    if (!f.msgEmailSubject.empty()) items.push_back("subject=" + mailtoQueryEncoded(f.msgEmailSubject));
    if (!f.msgEmailBody.empty()) items.push_back("body=" + mailtoQueryEncoded(f.msgEmailBody));
    std::string text = "mailto:" + f.msgEmailTo;
    for (std::size_t i = 0; i < items.size(); ++i) text += (i == 0 ? "?" : "&") + items[i];
    return text;
}

std::string smsText(const MessageFields& f) {
    if (f.msgSmsTo.empty()) return {};
    if (f.msgSmsBody.empty()) return "SMSTO:" + f.msgSmsTo;
    return "SMSTO:" + f.msgSmsTo + ":" + f.msgSmsBody;
}

std::string wifiText(const MessageFields& f) {
    if (f.msgWifiSSID.empty()) return {};
    // The security comes from a three-entry picker; anything else is taken
    // as the first entry rather than read past the table.
    static constexpr std::string_view tokens[] = {"WPA", "WEP", "nopass"};
    const int auth = (f.msgWifiAuth >= 0 && f.msgWifiAuth <= 2) ? f.msgWifiAuth : int(wifiWPA);
    std::string text = "WIFI:T:";
    text += tokens[auth];
    text += ";S:" + wifiEscaped(f.msgWifiSSID) + ";";
    if (auth != wifiNoPassword) text += "P:" + wifiEscaped(f.msgWifiPassword) + ";";
    if (f.msgWifiHidden) text += "H:true;";
    text += ";";
    return text;
}

std::string vcardText(const MessageFields& f) {
    if (f.msgVcardName.empty() && f.msgVcardPhone.empty() && f.msgVcardEmail.empty()) return {};
    std::string text = "BEGIN:VCARD\nVERSION:3.0";
    if (!f.msgVcardName.empty()) text += "\nFN:" + vcardEscaped(f.msgVcardName);
    if (!f.msgVcardOrg.empty()) text += "\nORG:" + vcardEscaped(f.msgVcardOrg);
    if (!f.msgVcardPhone.empty()) text += "\nTEL:" + vcardEscaped(f.msgVcardPhone);
    if (!f.msgVcardEmail.empty()) text += "\nEMAIL:" + vcardEscaped(f.msgVcardEmail);
    text += "\nEND:VCARD";
    return text;
}

} // namespace

std::string messageText(long long messageTypeRaw, const MessageFields& f) {
    switch (messageTypeRaw) {
    case 2: return emailText(f);
    case 3: return f.msgPhone.empty() ? std::string() : "tel:" + f.msgPhone;
    case 4: return smsText(f);
    case 5: return wifiText(f);
    case 6: return vcardText(f);
    default: return f.qrText;
    }
}

} // namespace Tessivo
