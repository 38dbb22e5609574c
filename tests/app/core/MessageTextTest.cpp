#include "app/core/MessageText.h"

#include <gtest/gtest.h>

using namespace Tessivo;

TEST(MessageText, TextAndUrlAndUnknownKindsGiveTheTypedTextUnchanged) {
    MessageFields f;
    f.qrText = "   ";
    EXPECT_EQ(messageText(0, f), "   ");
    f.qrText = "www.example.com/a b";
    for (long long kind : {0LL, 1LL, 9LL, -1LL, 1LL << 40}) EXPECT_EQ(messageText(kind, f), f.qrText) << kind;
    f.qrText.clear();
    EXPECT_EQ(messageText(1, f), "");
}

TEST(MessageText, EmailEncodesTheQueryAndNeedsARecipient) {
    MessageFields f;
    f.msgEmailSubject = "Hi";
    f.msgEmailBody = "Thanks";
    EXPECT_EQ(messageText(2, f), "");
    f.msgEmailTo = "desk@example.com";
    f.msgEmailSubject.clear();
    f.msgEmailBody.clear();
    EXPECT_EQ(messageText(2, f), "mailto:desk@example.com");
    f.msgEmailSubject = "Hi there";
    EXPECT_EQ(messageText(2, f), "mailto:desk@example.com?subject=Hi%20there");
    // "&", "=" and "+" inside a value are encoded so a reader cannot take
    // them for the query's own separators.
    f.msgEmailSubject = "a&b=c+d/e?";
    f.msgEmailBody = "Thanks";
    EXPECT_EQ(messageText(2, f), "mailto:desk@example.com?subject=a%26b%3Dc%2Bd/e?&body=Thanks");
    f.msgEmailSubject.clear();
    f.msgEmailBody = "100% \xC3\xA9t\xC3\xA9\n#";
    EXPECT_EQ(messageText(2, f), "mailto:desk@example.com?body=100%25%20%C3%A9t%C3%A9%0A%23");
}

TEST(MessageText, PhoneAndSmsKeepTheNumberAsTyped) {
    MessageFields f;
    EXPECT_EQ(messageText(3, f), "");
    f.msgPhone = "+1 555 555 5555";
    EXPECT_EQ(messageText(3, f), "tel:+1 555 555 5555");
    f.msgSmsBody = "Hi";
    EXPECT_EQ(messageText(4, f), "");
    f.msgSmsTo = "555";
    EXPECT_EQ(messageText(4, f), "SMSTO:555:Hi");
    f.msgSmsBody.clear();
    EXPECT_EQ(messageText(4, f), "SMSTO:555");
}

TEST(MessageText, WifiEscapesNameAndPasswordAndEndsInTwoSemicolons) {
    MessageFields f;
    f.msgWifiPassword = "secret";
    EXPECT_EQ(messageText(5, f), "");
    f.msgWifiSSID = "Lobby";
    f.msgWifiAuth = wifiNoPassword;
    EXPECT_EQ(messageText(5, f), "WIFI:T:nopass;S:Lobby;;");
    f.msgWifiAuth = wifiWPA;
    f.msgWifiPassword.clear();
    EXPECT_EQ(messageText(5, f), "WIFI:T:WPA;S:Lobby;P:;;");
    f.msgWifiSSID = "Cafe;Guest";
    f.msgWifiAuth = wifiWEP;
    f.msgWifiPassword = R"(a:b,c"d\e)";
    f.msgWifiHidden = true;
    EXPECT_EQ(messageText(5, f), R"(WIFI:T:WEP;S:Cafe\;Guest;P:a\:b\,c\"d\\e;H:true;;)");
    f.msgWifiAuth = 7; // never offered; taken as WPA, never read past the table
    f.msgWifiHidden = false;
    EXPECT_EQ(messageText(5, f), R"(WIFI:T:WPA;S:Cafe\;Guest;P:a\:b\,c\"d\\e;;)");
}

TEST(MessageText, ContactNeedsNamePhoneOrEmailAndEscapesValues) {
    MessageFields f;
    f.msgVcardOrg = "Acme";
    EXPECT_EQ(messageText(6, f), "");
    f.msgVcardOrg.clear();
    f.msgVcardName = "Front Desk";
    f.msgVcardPhone = "+1 555 555 5555";
    EXPECT_EQ(messageText(6, f), "BEGIN:VCARD\nVERSION:3.0\nFN:Front Desk\nTEL:+1 555 555 5555\nEND:VCARD");
    f.msgVcardName = "Doe, Jane";
    f.msgVcardOrg = "Acme; R&D\\Labs";
    f.msgVcardPhone.clear();
    f.msgVcardEmail = "jane@example.com";
    EXPECT_EQ(messageText(6, f),
              "BEGIN:VCARD\nVERSION:3.0\nFN:Doe\\, Jane\nORG:Acme\\; R&D\\\\Labs\nEMAIL:jane@example.com\nEND:VCARD");
}
