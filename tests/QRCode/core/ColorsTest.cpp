#include "QRCode/core/Colors.h"

#include "QRCode/QRCodeError.h"

#include <gtest/gtest.h>

#include <cmath>

using QRCode::CGColorFromHexString;
using QRCode::CGColorFromRGBAString;
using QRCode::CGColorHexRGBString;
using QRCode::CGColorRGBAString;
using QRCode::CGColorSRGB;
using QRCode::extendedGrayColorSpace;
using QRCode::QRCodeError;
using QRCode::QRCodeException;
using QRCode::RGBAComponents;
using QRCode::RGBAComponentsError;
using QRCode::RGBAComponentsException;
using QRCode::standardBlack;
using QRCode::standardClear;
using QRCode::standardWhite;

namespace {

void expectRGBA(const gfx::Color& c, double r, double g, double b, double a) {
    const auto s = c.toSRGB();
    EXPECT_NEAR(s.r, r, 1e-12);
    EXPECT_NEAR(s.g, g, 1e-12);
    EXPECT_NEAR(s.b, b, 1e-12);
    EXPECT_NEAR(s.a, a, 1e-12);
}

void expectHexFails(const std::string& text) {
    try {
        CGColorFromHexString(text);
        ADD_FAILURE() << "read \"" << text << "\"";
    } catch (const QRCodeException& e) {
        EXPECT_EQ(e.code(), QRCodeError::invalidHexColorString) << text;
    }
}

void expectRGBAFails(const std::string& text) {
    try {
        CGColorFromRGBAString(text);
        ADD_FAILURE() << "read \"" << text << "\"";
    } catch (const RGBAComponentsException& e) {
        EXPECT_EQ(e.code(), RGBAComponentsError::unableToUnarchiveColor);
        EXPECT_EQ(e.text(), text);
    }
}

} // namespace

TEST(Colors, HexTextsReadInEveryLength) {
    for (const char* white : {"#fff", "fff", "#FFFF", "#ffffff", "#ffffffff"}) {
        SCOPED_TRACE(white);
        expectRGBA(CGColorFromHexString(white), 1, 1, 1, 1);
    }
    expectRGBA(CGColorFromHexString("#abc"), 0xaa / 255.0, 0xbb / 255.0, 0xcc / 255.0, 1);
    expectRGBA(CGColorFromHexString("#12345678"), 0x12 / 255.0, 0x34 / 255.0, 0x56 / 255.0, 0x78 / 255.0);
    EXPECT_EQ(CGColorFromHexString("#808080", extendedGrayColorSpace).space(), gfx::ColorSpace::extendedGray);
    for (const char* bad : {"#ff", "#fffff", "#ggg", "#", "", " #fff", "#fff ", "##fff", "#-ffffff", "#0x12345"}) {
        expectHexFails(bad);
    }
}

TEST(Colors, HexWritingTruncatesAndClamps) {
    EXPECT_EQ(CGColorHexRGBString(standardWhite()), "#ffffff");
    EXPECT_EQ(CGColorHexRGBString(gfx::Color::sRGB(0.5, 0, 0)), "#7f0000");
    EXPECT_EQ(CGColorHexRGBString(gfx::Color::sRGB(0.999, 0, 0)), "#fe0000");
    EXPECT_EQ(CGColorHexRGBString(gfx::Color::sRGB(0.2, 0.4, 0.6, 0.5)),
              CGColorHexRGBString(gfx::Color::sRGB(0.2, 0.4, 0.6, 1)));
    // Extended-range colours still give two digits per channel.
    EXPECT_EQ(CGColorHexRGBString(gfx::Color::extendedSRGB(1.5, -0.25, 2)), "#ff00ff");
    EXPECT_EQ(CGColorHexRGBString(gfx::Color::extendedGray(7)), "#ffffff");
    // Round trip of whole bytes.
    EXPECT_EQ(CGColorHexRGBString(CGColorFromHexString("#0a7fe3")), "#0a7fe3");
}

TEST(Colors, RGBATextReadsLeniently) {
    expectRGBA(CGColorFromRGBAString("1,0,0,1"), 1, 0, 0, 1);
    expectRGBA(CGColorFromRGBAString(" 1 , 0 , 0 , 1 "), 1, 0, 0, 1);
    expectRGBA(CGColorFromRGBAString("\t0.5,,0.25,0,1"), 0.5, 0.25, 0, 1);
    expectRGBA(CGColorFromRGBAString("2,-1,0,1"), 1, 0, 0, 1);
    expectRGBA(CGColorFromRGBAString("x,1,0,0,1"), 1, 0, 0, 1);
    expectRGBA(CGColorFromRGBAString("nan,0,0,1"), 1, 0, 0, 1);
    EXPECT_EQ(CGColorFromRGBAString("1,0,0,1").space(), gfx::ColorSpace::sRGB);
    for (const char* bad : {"1,0,0", "1,0,0,1,1", "", "1;0;0;1", "1.0.0,0,0,1,"}) expectRGBAFails(bad);
}

TEST(Colors, RGBATextRoundTrips) {
    EXPECT_EQ(RGBAComponents(1, 0.5, 0, 1).stringValue(), "1.0,0.5,0.0,1.0");
    EXPECT_EQ(CGColorRGBAString(standardClear()), "0.0,0.0,0.0,0.0");
    for (const auto& c : {gfx::Color::sRGB(1.0 / 3, 0.1, 0.7, 0.25), gfx::Color::sRGB(1e-5, 0.999999, 0, 1),
                          gfx::Color::gray(0.123456789, 0.5)}) {
        const std::string text = CGColorRGBAString(c);
        EXPECT_EQ(CGColorFromRGBAString(text).toSRGB(), c.toSRGB()) << text;
        EXPECT_EQ(CGColorRGBAString(CGColorFromRGBAString(text)), text);
    }
}
