#include "QRCodeGenerator/QRCode.h"
#include "QRCodeGenerator/detail/Construction.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using QRCodeGenerator::QRCode;
using QRCodeGenerator::QRCodeECC;
using QRCodeGenerator::QRCodeError;
using QRCodeGenerator::QRSegment;
namespace detail = QRCodeGenerator::detail;

namespace {

std::vector<std::uint8_t> bytesOf(std::size_t n, std::uint8_t value = 'a') {
    return std::vector<std::uint8_t>(n, value);
}

// The 15 format bits as read back from the first copy of a symbol.
std::uint32_t readFormatBits(const QRCode& qr) {
    std::uint32_t bits = 0;
    auto put = [&](int i, int x, int y) { bits |= static_cast<std::uint32_t>(qr.getModule(x, y)) << i; };
    for (int i = 0; i <= 5; ++i) put(i, 8, i);
    put(6, 8, 7);
    put(7, 8, 8);
    put(8, 7, 8);
    for (int i = 9; i < 15; ++i) put(i, 14 - i, 8);
    return bits;
}

std::uint32_t readSecondFormatCopy(const QRCode& qr) {
    std::uint32_t bits = 0;
    const int s = qr.size();
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint32_t>(qr.getModule(s - 1 - i, 8)) << i;
    for (int i = 8; i < 15; ++i) bits |= static_cast<std::uint32_t>(qr.getModule(8, s - 15 + i)) << i;
    return bits;
}

} // namespace

TEST(Encoder, CapacityAtVersion40Low) {
    const auto fits = QRCode::encodeBinary(bytesOf(2953), QRCodeECC::low);
    EXPECT_EQ(fits.version(), 40);
    EXPECT_EQ(fits.size(), 177);
    EXPECT_EQ(fits.errorCorrectionLevel(), QRCodeECC::low);
    try {
        QRCode::encodeBinary(bytesOf(2954), QRCodeECC::low);
        FAIL() << "2954 bytes must not fit";
    } catch (const QRCodeError& e) {
        EXPECT_EQ(e.code(), QRCodeError::Code::dataTooLong);
        EXPECT_STREQ(e.what(), "Data length = 23652 bits, Max capacity = 23648 bits");
    }
    try {
        QRCode::encodeBinary(bytesOf(65536), QRCodeECC::low);
        FAIL();
    } catch (const QRCodeError& e) {
        EXPECT_STREQ(e.what(), "Segment too long");
    }
}

TEST(Encoder, EveryModeAndLevelHoldsItsCapacityAndNotOneCharacterMore) {
    // The most characters of each mode in a version-40 symbol, by level.
    struct Capacity {
        char fill;
        std::size_t atLevel[4];
    };
    for (const Capacity& c : {Capacity{'7', {7089, 5596, 3993, 3057}}, Capacity{'A', {4296, 3391, 2420, 1852}},
                              Capacity{'a', {2953, 2331, 1663, 1273}}}) {
        for (int level = 0; level < 4; ++level) {
            const auto ecl = static_cast<QRCodeECC>(level);
            const std::size_t most = c.atLevel[level];
            const auto full = QRCode::encode(std::string(most, c.fill), ecl);
            EXPECT_EQ(full.version(), 40) << c.fill << level;
            EXPECT_EQ(full.errorCorrectionLevel(), ecl) << c.fill << level;
            EXPECT_THROW(QRCode::encode(std::string(most + 1, c.fill), ecl), QRCodeError) << c.fill << level;
        }
    }
    EXPECT_EQ(QRCode::encodeBinary(bytesOf(1273), QRCodeECC::high).version(), 40);
    EXPECT_THROW(QRCode::encodeBinary(bytesOf(1274), QRCodeECC::high), QRCodeError);
}

TEST(Encoder, AMessageBeyondAnySymbolIsRefusedWithoutBuildingIt) {
    // 24 MB: building its bits alone would take as much again.
    const std::string digits(std::size_t(24) << 20, '7');
    const std::string letters(std::size_t(24) << 20, 'Q');
    const std::vector<std::uint8_t> bytes(std::size_t(24) << 20, 0xA5);
    const std::size_t before = testsupport::peakResidentBytes();
    for (const std::string* text : {&digits, &letters}) {
        try {
            QRCode::encode(*text, QRCodeECC::low);
            FAIL() << "24 MB must not fit";
        } catch (const QRCodeError& e) {
            EXPECT_EQ(e.code(), QRCodeError::Code::dataTooLong);
            EXPECT_STREQ(e.what(), "Segment too long");
        }
    }
    EXPECT_THROW(QRCode::encodeBinary(bytes, QRCodeECC::low), QRCodeError);
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(4) << 20);

    // Just beyond the count field the refusal names the bits, as the version
    // search would.
    try {
        QRCode::encode(std::string(7090, '7'), QRCodeECC::low);
        FAIL();
    } catch (const QRCodeError& e) {
        EXPECT_STREQ(e.what(), "Data length = 23652 bits, Max capacity = 23648 bits");
    }
}

TEST(Encoder, VersionChoiceAndLevelBoost) {
    const std::vector<QRSegment> digits{QRSegment::makeNumeric("12345678901234567")};
    const auto boosted = QRCode::encode(digits, QRCodeECC::low);
    EXPECT_EQ(boosted.version(), 1);
    EXPECT_EQ(boosted.errorCorrectionLevel(), QRCodeECC::high);
    const auto plain = QRCode::encode(digits, QRCodeECC::low, 1, 40, std::nullopt, false);
    EXPECT_EQ(plain.version(), 1);
    EXPECT_EQ(plain.errorCorrectionLevel(), QRCodeECC::low);

    // A stronger request is never lowered by the boost.
    EXPECT_EQ(QRCode::encode("HELLO WORLD", QRCodeECC::high).errorCorrectionLevel(), QRCodeECC::high);
    const auto hello = QRCode::encode("HELLO WORLD", QRCodeECC::quartile);
    EXPECT_EQ(hello.size(), 21);
    EXPECT_EQ(hello.errorCorrectionLevel(), QRCodeECC::quartile);

    const auto empty = QRCode::encode(std::vector<QRSegment>{}, QRCodeECC::low);
    EXPECT_EQ(empty.version(), 1);
    EXPECT_EQ(empty.errorCorrectionLevel(), QRCodeECC::high);

    // A minimum version is honoured; a range that cannot hold the data fails.
    EXPECT_EQ(QRCode::encode(digits, QRCodeECC::low, 5, 10).version(), 5);
    const std::vector<QRSegment> hundred{QRSegment::makeBytes(bytesOf(100))};
    EXPECT_THROW(QRCode::encode(hundred, QRCodeECC::high, 1, 2), QRCodeError);
    EXPECT_EQ(QRCode::encode(hundred, QRCodeECC::high).version(), 10);
}

TEST(Encoder, CodewordCountsReedSolomonAndPadding) {
    EXPECT_EQ(QRCode::getNumDataCodewords(1, QRCodeECC::medium), 16);
    EXPECT_EQ(detail::getNumRawDataModules(1) / 8, 26);
    EXPECT_EQ(QRCode::getNumDataCodewords(40, QRCodeECC::low), 2956);
    EXPECT_EQ(detail::getNumRawDataModules(40), 29648);

    // The worked example of the standard: "01234567" at 1-M.
    const std::vector<std::uint8_t> data{0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11,
                                         0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
    const auto all = detail::addEccAndInterleave(data, 1, QRCodeECC::medium);
    ASSERT_EQ(all.size(), 26U);
    const std::vector<std::uint8_t> ecc(all.begin() + 16, all.end());
    EXPECT_EQ(ecc, (std::vector<std::uint8_t>{0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55}));

    EXPECT_EQ(detail::reedSolomonMultiply(0x80, 0x02), 0x1D);
    EXPECT_EQ(detail::reedSolomonMultiply(0x53, 0xCA), 0x8F); // 0x53 * 0xCA over 0x11D
    EXPECT_EQ(detail::reedSolomonComputeDivisor(2), (std::vector<std::uint8_t>{0x03, 0x02}));

    // Empty text: the terminator, then 0xEC 0x11 ... (9 data codewords at 1-H).
    const std::vector<std::uint8_t> padding{0x00, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
    const QRCode fromCodewords(1, QRCodeECC::high, padding);
    const auto encoded = QRCode::encode("", QRCodeECC::low);
    EXPECT_EQ(encoded.modules(), fromCodewords.modules());
    EXPECT_EQ(encoded.mask(), fromCodewords.mask());
}

TEST(Encoder, CallerErrorsAreRefusedOutsideReadsLightAndEncodingStable) {
    const auto bogus = static_cast<QRCodeECC>(9);
    EXPECT_THROW(QRCode::encode("x", bogus), std::invalid_argument);
    EXPECT_THROW(QRCode::getNumDataCodewords(41, QRCodeECC::low), std::invalid_argument);
    EXPECT_THROW(detail::getAlignmentPatternPositions(0), std::invalid_argument);
    EXPECT_THROW(QRCode(1, QRCodeECC::low, std::vector<std::uint8_t>(3)), std::invalid_argument);
    EXPECT_THROW(QRCode::encode(QRSegment::makeSegments("x"), QRCodeECC::low, 1, 40, 8), std::logic_error);
    EXPECT_THROW(QRCode::encode(QRSegment::makeSegments("x"), QRCodeECC::low, 5, 4), std::invalid_argument);
    EXPECT_THROW(detail::reedSolomonComputeRemainder(std::vector<std::uint8_t>{1}, std::vector<std::uint8_t>(300, 1)),
                 std::invalid_argument);
    // Reading outside the symbol gives light modules; encoding is stable.
    const auto a = QRCode::encode("https://example.com/stable", QRCodeECC::medium);
    EXPECT_FALSE(a.getModule(-1, 0));
    EXPECT_FALSE(a.getModule(a.size(), 0));
    EXPECT_FALSE(a.getModule(0, a.size()));
    EXPECT_TRUE(a.getModule(0, 0)); // finder corner
    const auto b = QRCode::encode("https://example.com/stable", QRCodeECC::medium);
    EXPECT_EQ(a.mask(), b.mask());
    EXPECT_EQ(a.modules(), b.modules());
}

TEST(Encoder, AlignmentPatternPositions) {
    EXPECT_TRUE(detail::getAlignmentPatternPositions(1).empty());
    EXPECT_EQ(detail::getAlignmentPatternPositions(2), (std::vector<int>{6, 18}));
    EXPECT_EQ(detail::getAlignmentPatternPositions(7), (std::vector<int>{6, 22, 38}));
    EXPECT_EQ(detail::getAlignmentPatternPositions(32), (std::vector<int>{6, 34, 60, 86, 112, 138}));
    EXPECT_EQ(detail::getAlignmentPatternPositions(40), (std::vector<int>{6, 30, 58, 86, 114, 142, 170}));

    // Version 2's alignment pattern at (18, 18): dark centre, light ring.
    const QRCode v2 = QRCode::encode(std::vector<QRSegment>{}, QRCodeECC::low, 2, 2);
    EXPECT_TRUE(v2.getModule(18, 18));
    EXPECT_FALSE(v2.getModule(17, 18));
    EXPECT_TRUE(v2.getModule(16, 16));
}

TEST(Encoder, FormatAndVersionBits) {
    EXPECT_EQ(detail::formatBits(QRCodeECC::medium, 0), 0b101010000010010U);
    EXPECT_EQ(detail::formatBits(QRCodeECC::low, 4), 0b110011000101111U);

    for (QRCodeGenerator::QRCodeMask mask = 0; mask < 8; ++mask) {
        const auto qr = QRCode::encode(QRSegment::makeSegments("format"), QRCodeECC::quartile, 1, 40, mask, false);
        EXPECT_EQ(qr.mask(), mask);
        EXPECT_EQ(readFormatBits(qr), detail::formatBits(QRCodeECC::quartile, mask));
        EXPECT_EQ(readSecondFormatCopy(qr), detail::formatBits(QRCodeECC::quartile, mask));
        EXPECT_TRUE(qr.getModule(8, qr.size() - 8));
    }

    // Version 7's information block is 0x07C94, bit 0 at (size - 11, 0).
    const QRCode v7 = QRCode::encode(std::vector<QRSegment>{}, QRCodeECC::low, 7, 7);
    std::uint32_t bits = 0, mirrored = 0;
    for (int i = 0; i < 18; ++i) {
        bits |= static_cast<std::uint32_t>(v7.getModule(v7.size() - 11 + i % 3, i / 3)) << i;
        mirrored |= static_cast<std::uint32_t>(v7.getModule(i / 3, v7.size() - 11 + i % 3)) << i;
    }
    EXPECT_EQ(bits, 0x07C94U);
    EXPECT_EQ(mirrored, 0x07C94U);
}

TEST(Encoder, SvgText) {
    const auto qr = QRCode::encode("SVG", QRCodeECC::low);
    const std::string svg = qr.toSvgString(4, std::string("#FFFFFF"), "#000000", std::string("200"));
    EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE svg PUBLIC", 0), 0U);
    EXPECT_NE(svg.find("viewBox=\"0 0 29 29\" stroke=\"none\" width=\"200\">"), std::string::npos);
    EXPECT_NE(svg.find("\n  <rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n"), std::string::npos);
    EXPECT_NE(svg.find("<path d=\"M4,4h1v1h-1z M5,4h1v1h-1z "), std::string::npos);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");

    std::size_t dark = 0;
    for (auto m : qr.modules()) dark += m;
    std::size_t pieces = 0;
    for (std::size_t p = svg.find("h1v1h-1z"); p != std::string::npos; p = svg.find("h1v1h-1z", p + 1)) ++pieces;
    EXPECT_EQ(pieces, dark);

    const std::string bare = qr.toSvgString(0);
    EXPECT_EQ(bare.find("<rect"), std::string::npos);
    EXPECT_EQ(bare.find("width="), std::string::npos);
    EXPECT_NE(bare.find("d=\"M0,0h1v1h-1z "), std::string::npos);
}
