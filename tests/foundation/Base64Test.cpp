#include "platform/foundation/Base64.h"

#include <gtest/gtest.h>

using foundation::base64Decode;
using foundation::base64Encode;
using foundation::Base64Lines;

namespace {
std::vector<std::uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }
} // namespace

TEST(Base64, StandardExamplesBothWaysAndEveryLengthRoundTrips) {
    for (const auto& [plain, encoded] :
         std::initializer_list<std::pair<std::string_view, std::string_view>>{{"", ""},
                                                                              {"f", "Zg=="},
                                                                              {"fo", "Zm8="},
                                                                              {"foo", "Zm9v"},
                                                                              {"foobar", "Zm9vYmFy"},
                                                                              {"\xfb\xff\xbf", "+/+/"}}) {
        EXPECT_EQ(base64Encode(plain), encoded);
        EXPECT_EQ(base64Decode(encoded), bytes(plain)) << encoded;
    }
    std::vector<std::uint8_t> all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<std::uint8_t>(i));
    for (std::size_t n = 0; n <= all.size(); n += 37) {
        std::vector<std::uint8_t> part(all.begin(), all.begin() + static_cast<long>(n));
        EXPECT_EQ(base64Decode(base64Encode(part)), part) << n;
    }
}

TEST(Base64, LineBrokenFormHas64CharacterLinesAndNoTrailingBreak) {
    const std::vector<std::uint8_t> data(100, 0xAB);
    const std::string text = base64Encode(data, Base64Lines::lines64LF);
    ASSERT_EQ(text.size(), 136u + 2u); // 136 characters, two LFs
    EXPECT_EQ(text[64], '\n');
    EXPECT_EQ(text[129], '\n');
    EXPECT_NE(text.back(), '\n');
    // Exactly 48 bytes fill one line: no break at all.
    EXPECT_EQ(base64Encode(std::vector<std::uint8_t>(48, 1), Base64Lines::lines64LF).find('\n'), std::string::npos);
    EXPECT_EQ(base64Encode(data), std::string(text).erase(129, 1).erase(64, 1));
}

TEST(Base64, RefusesWhitespaceBadCharactersAndBadPadding) {
    for (const char* bad : {"Zm9v\n", "Zm 9v", " Zm9v", "Zm9vYmFy\nZm9v", "Zm9", "Zg=", "Zg", "Z===", "====", "Zm=v",
                            "Zg==Zg==", "Zm9-", "Zm9_", "Zm9v=", "Zm9v====", "Z*9v"}) {
        EXPECT_FALSE(base64Decode(bad).has_value()) << '"' << bad << '"';
    }
    EXPECT_FALSE(base64Decode(std::string_view("Zm\0v", 4)).has_value());
}
