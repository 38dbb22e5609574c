#include "QRCode/QRCode.h"
#include "QRCodeGenerator/QRCode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using QRCode::BoolMatrix;

namespace {

// Splits into lines (each must end in "\n") and counts code points per line.
std::vector<std::u32string> lines(const std::string& art) {
    std::vector<std::u32string> result;
    std::u32string line;
    for (std::size_t i = 0; i < art.size();) {
        const unsigned char c = static_cast<unsigned char>(art[i]);
        char32_t cp;
        int len;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if (c < 0xE0) {
            cp = c & 0x1F;
            len = 2;
        } else if (c < 0xF0) {
            cp = c & 0x0F;
            len = 3;
        } else {
            cp = c & 0x07;
            len = 4;
        }
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(art[i + static_cast<std::size_t>(k)]) & 0x3F);
        i += static_cast<std::size_t>(len);
        if (cp == U'\n') {
            result.push_back(line);
            line.clear();
        } else {
            line.push_back(cp);
        }
    }
    EXPECT_TRUE(line.empty()) << "art must end with a line feed";
    return result;
}

} // namespace

TEST(TextArt, FullAndSmallFormsOfASymbol) {
    // A 21x21 matrix: the encoder's version-1 symbol without border.
    const auto symbol = QRCodeGenerator::QRCode::encode("TEXT ART", QRCodeGenerator::QRCodeECC::low);
    ASSERT_EQ(symbol.size(), 21);
    BoolMatrix m(21);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x) m.set(y, x, symbol.getModule(x, y));

    const auto full = lines(QRCode::asciiRepresentation(m));
    ASSERT_EQ(full.size(), 21U);
    for (int r = 0; r < 21; ++r) {
        ASSERT_EQ(full[static_cast<std::size_t>(r)].size(), 42U);
        for (int c = 0; c < 21; ++c) {
            const char32_t expected = m(r, c) ? U'\u2588' : U' ';
            EXPECT_EQ(full[static_cast<std::size_t>(r)][static_cast<std::size_t>(2 * c)], expected);
            EXPECT_EQ(full[static_cast<std::size_t>(r)][static_cast<std::size_t>(2 * c + 1)], expected);
        }
    }

    const auto small = lines(QRCode::smallAsciiRepresentation(m));
    ASSERT_EQ(small.size(), 11U);
    for (int line = 0; line < 11; ++line) {
        ASSERT_EQ(small[static_cast<std::size_t>(line)].size(), 21U);
        for (int c = 0; c < 21; ++c) {
            const bool top = m(2 * line, c);
            const bool bottom = 2 * line + 1 < 21 && m(2 * line + 1, c);
            const char32_t expected = top && bottom ? U'\u2588' : top ? U'\u2580' : bottom ? U'\u2584' : U' ';
            EXPECT_EQ(small[static_cast<std::size_t>(line)][static_cast<std::size_t>(c)], expected);
        }
    }
    for (char32_t cp : small.back()) EXPECT_TRUE(cp == U'\u2580' || cp == U' ');
}

TEST(TextArt, SmallMatricesAndEmpty) {
    EXPECT_EQ(QRCode::asciiRepresentation(BoolMatrix()), "");
    EXPECT_EQ(QRCode::smallAsciiRepresentation(BoolMatrix()), "");
    EXPECT_EQ(QRCode::QRCode().asciiRepresentation(), "");

    BoolMatrix light(3);
    EXPECT_EQ(QRCode::asciiRepresentation(light), "      \n      \n      \n");
    EXPECT_EQ(QRCode::smallAsciiRepresentation(light), "   \n   \n");

    BoolMatrix m(2);
    m.set(0, 0, true);
    m.set(1, 0, true);
    m.set(0, 1, true);
    EXPECT_EQ(QRCode::asciiRepresentation(m), "\u2588\u2588\u2588\u2588\n\u2588\u2588  \n");
    EXPECT_EQ(QRCode::smallAsciiRepresentation(m), "\u2588\u2580\n");
    m.set(0, 1, false);
    m.set(1, 1, true);
    m.set(1, 0, false);
    EXPECT_EQ(QRCode::smallAsciiRepresentation(m), "\u2580\u2584\n");
}
