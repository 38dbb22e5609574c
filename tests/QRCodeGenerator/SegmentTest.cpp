#include "QRCodeGenerator/BitBuffer.h"
#include "QRCodeGenerator/QRSegment.h"

#include <gtest/gtest.h>

#include <string>

using QRCodeGenerator::BitBuffer;
using QRCodeGenerator::QRSegment;
using Mode = QRSegment::Mode;

namespace {

std::vector<bool> bitsOf(const std::string& text) {
    std::vector<bool> bits;
    for (char c : text) bits.push_back(c == '1');
    return bits;
}

} // namespace

TEST(BitBuffer, AppendsLowBitsMostSignificantFirst) {
    BitBuffer bb;
    bb.appendBits(0b1011, 4);
    bb.appendBits(0xFFFFFFFF, 0);
    EXPECT_EQ(bb.bits, bitsOf("1011"));
    bb.appendBits(1, 34); // positions 32 and 33 read as 0
    EXPECT_EQ(bb.size(), 38U);
    EXPECT_EQ(std::vector<bool>(bb.bits.begin() + 4, bb.bits.end()), bitsOf(std::string(33, '0') + "1"));
    EXPECT_THROW(bb.appendBits(1, -1), std::invalid_argument);
}

TEST(QRSegment, TextPicksTheNarrowestModeForTheWholeText) {
    struct Case {
        const char* text;
        Mode mode;
        std::size_t chars;
    };
    // Arabic-Indic digits are digits, but not ASCII ones; a digit with a
    // combining mark is one character that is not a digit.
    for (const Case& c :
         {Case{"01234567", Mode::numeric, 8}, Case{"AC-42", Mode::alphanumeric, 5}, Case{"ac-42", Mode::byte, 5},
          Case{"\u0661\u0662\u0663", Mode::byte, 6}, Case{"12\u0301", Mode::byte, 4}}) {
        const auto segs = QRSegment::makeSegments(c.text);
        ASSERT_EQ(segs.size(), 1U) << c.text;
        EXPECT_EQ(segs[0].mode, c.mode) << c.text;
        EXPECT_EQ(segs[0].numChars, c.chars) << c.text;
    }
    EXPECT_EQ(QRSegment::makeSegments("01234567")[0].data, bitsOf("0000001100"
                                                                  "0101011001"
                                                                  "1000011"));
    EXPECT_EQ(QRSegment::makeNumeric("5").data, bitsOf("0101"));
    EXPECT_EQ(QRSegment::makeSegments("AC-42")[0].data, bitsOf("00111001110"
                                                               "11100111001"
                                                               "000010"));
    EXPECT_EQ(QRSegment::makeSegments("ac-42")[0].data.size(), 40U);

    EXPECT_TRUE(QRSegment::makeSegments("").empty());
    const auto empty = QRSegment::makeBytes({});
    EXPECT_EQ(empty.mode, Mode::byte);
    EXPECT_EQ(empty.numChars, 0U);
    EXPECT_TRUE(empty.data.empty());

    EXPECT_THROW(QRSegment::makeAlphanumeric("a"), std::invalid_argument);
    try {
        QRSegment::makeAlphanumeric("A?");
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "String contains unencodable characters in alphanumeric mode");
    }
}

TEST(QRSegment, EciDesignatorLengths) {
    EXPECT_EQ(QRSegment::makeEci(127).data.size(), 8U);
    const auto two = QRSegment::makeEci(128).data;
    ASSERT_EQ(two.size(), 16U);
    EXPECT_EQ(std::vector<bool>(two.begin(), two.begin() + 2), bitsOf("10"));
    const auto three = QRSegment::makeEci(16384).data;
    ASSERT_EQ(three.size(), 24U);
    EXPECT_EQ(std::vector<bool>(three.begin(), three.begin() + 3), bitsOf("110"));
    EXPECT_EQ(QRSegment::makeEci(5).numChars, 0U);
    EXPECT_THROW(QRSegment::makeEci(1000000), std::invalid_argument);
}

TEST(QRSegment, TotalBitsRespectsCountFieldWidth) {
    const std::vector<std::uint8_t> bytes(256, 0x41);
    const std::vector<QRSegment> segs{QRSegment::makeBytes(bytes)};
    EXPECT_FALSE(QRSegment::getTotalBits(segs, 9).has_value());
    EXPECT_EQ(QRSegment::getTotalBits(segs, 10), 2068U);
    EXPECT_EQ(QRSegment::getTotalBits({}, 1), 0U);
    EXPECT_EQ(QRSegment::numCharCountBits(Mode::numeric, 26), 12);
    EXPECT_EQ(QRSegment::numCharCountBits(Mode::numeric, 27), 14);
    EXPECT_EQ(QRSegment::numCharCountBits(Mode::kanji, 40), 12);
    EXPECT_EQ(QRSegment::modeBits(Mode::eci), 7U);
}
