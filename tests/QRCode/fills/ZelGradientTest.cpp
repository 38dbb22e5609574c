#include "QRCode/fills/ZelGradient.h"
#include "tests/QRCode/ErrorOf.h"
#include "QRCode/core/Colors.h"
#include "QRCode/QRCodeError.h"

#include <gtest/gtest.h>

#include <cmath>

using QRCode::QRCodeError;
using QRCode::QRCodeException;
using QRCode::sRGBColorSpace;
using QRCode::ZelGradient;

using gfx::Color;
using Pin = ZelGradient::Pin;
using GradientError = ZelGradient::GradientError;

namespace {
GradientError readError(std::string_view text) {
    try {
        ZelGradient::fromRGBAGradientString(text);
    } catch (const ZelGradient::Exception& e) {
        return e.code();
    }
    ADD_FAILURE() << "read without error: " << text;
    return GradientError::cannotCreateCoreGraphicsGradient;
}
} // namespace

TEST(ZelGradient, PinPositionsAreClamped) {
    EXPECT_EQ(Pin(Color::sRGB(1, 0, 0), -0.2).position(), 0);
    EXPECT_EQ(Pin(Color::sRGB(1, 0, 0), 7).position(), 1);
    EXPECT_EQ(Pin(Color::sRGB(1, 0, 0), std::nan("")).position(), 0);
    EXPECT_EQ(Pin::fromHexColor("#00ff00", 0.5).color(), Color::sRGB(0, 1, 0, 1));
    EXPECT_EQ(qrcodetest::errorOf([] { Pin::fromHexColor("#ggg", 0); }), QRCodeError::invalidHexColorString);
}

TEST(ZelGradient, PinsSortStablyAndFewerThanTwoAreRefused) {
    const Color red = Color::sRGB(1, 0, 0), green = Color::sRGB(0, 1, 0), blue = Color::sRGB(0, 0, 1);
    const ZelGradient g({Pin(blue, 1), Pin(red, 0.5), Pin(green, 0.5), Pin(red, 0)}, sRGBColorSpace);
    ASSERT_EQ(g.pins().size(), 4u);
    EXPECT_EQ(g.pins()[0].position(), 0);
    EXPECT_EQ(g.pins()[1].color(), red);
    EXPECT_EQ(g.pins()[2].color(), green);
    EXPECT_EQ(g.pins()[3].color(), blue);
    ASSERT_EQ(g.cgGradient().stops().size(), 4u);
    EXPECT_EQ(g.cgGradient().stops()[1].color, red);
    EXPECT_EQ(g.cgGradient().stops()[2].color, green);
    EXPECT_EQ(g.asRGBAGradientString(), "0.0:1,0,0,1|0.5:1,0,0,1|0.5:0,1,0,1|1.0:0,0,1,1");

    for (std::size_t n : {0u, 1u}) {
        std::vector<Pin> pins(n, Pin(red, 0));
        try {
            ZelGradient(pins, sRGBColorSpace);
            FAIL() << n;
        } catch (const ZelGradient::Exception& e) {
            EXPECT_EQ(e.code(), GradientError::cannotCreateCoreGraphicsGradient);
        }
    }
}

TEST(ZelGradient, StringWriting) {
    const ZelGradient g({{0.0, Color::sRGB(1, 0, 0)}, {1.0, Color::sRGB(0, 0, 1)}});
    EXPECT_EQ(g.asRGBAGradientString(), "0.0:1,0,0,1|1.0:0,0,1,1");
    EXPECT_EQ(ZelGradient::fromRGBAGradientString(g.asRGBAGradientString()).asRGBAGradientString(),
              "0.0:1,0,0,1|1.0:0,0,1,1");

    const ZelGradient h(
        {{0.5, Color::sRGB(0.5, 0.25, 0, 1)}, {1.0, Color::sRGB(0.123456, 0, 0, 1)}, {0.00001, Color::gray(0.5, 0.5)}});
    EXPECT_EQ(h.asRGBAGradientString(), "1e-05:0.5,0.5,0.5,0.5|0.5:0.5,0.25,0,1|1.0:0.1235,0,0,1");

    const auto fromHex = ZelGradient::fromHexPins({{0, "#ff0000"}, {1, "00f"}});
    EXPECT_EQ(fromHex.asRGBAGradientString(), "0.0:1,0,0,1|1.0:0,0,1,1");
    EXPECT_THROW(ZelGradient::fromHexPins({{0, "#ff0000"}, {1, "nothex"}}), QRCodeException);
}

TEST(ZelGradient, StringReadingErrorsInCheckOrder) {
    EXPECT_EQ(readError(""), GradientError::tooFewPins);
    EXPECT_EQ(readError("0:1,0,0,1"), GradientError::tooFewPins);
    EXPECT_EQ(readError("||0:1,0,0,1|"), GradientError::tooFewPins);
    EXPECT_EQ(readError("0:1,0,0,1|1"), GradientError::tooFewPins);
    EXPECT_EQ(readError("0:1,0,0,1|1:0,0,1,1:5"), GradientError::tooFewPins);
    EXPECT_EQ(readError("x:1,0,0,1|1:0,0,1,1"), GradientError::invalidPin);
    EXPECT_EQ(readError("0:1,0,0|1:0,0,1,1"), GradientError::invalidColor);
    EXPECT_EQ(readError("0:1,0,0,1,1|1:0,0,1,1"), GradientError::invalidColor);
    // The first fault in text order wins: a bad position before a bad colour,
    // a pin count fault of a later pin after an earlier pin's colour fault.
    EXPECT_EQ(readError("x:1,0|1:0,0,1,1"), GradientError::invalidPin);
    EXPECT_EQ(readError("0:1,0|1"), GradientError::invalidColor);
    // Line breaks are not blanks: they stay and spoil the number.
    EXPECT_EQ(readError("0\n:1,0,0,1|1:0,0,1,1"), GradientError::invalidPin);
    EXPECT_EQ(readError("0:1,0,0,1\n|1:0,0,1,1"), GradientError::invalidColor);
}

TEST(ZelGradient, StringReadingIsLenient) {
    const auto skipped = ZelGradient::fromRGBAGradientString("0:1,abc,0,0,1|1:0,0,1,1");
    EXPECT_EQ(skipped.pins()[0].color(), Color::sRGB(1, 0, 0, 1));
    EXPECT_EQ(ZelGradient::fromRGBAGradientString(" 0 : 1, 0, 0, 1 | 1 : 0, 0, 1, 1 ").asRGBAGradientString(),
              "0.0:1,0,0,1|1.0:0,0,1,1");
    EXPECT_EQ(ZelGradient::fromRGBAGradientString("\t0\xC2\xA0:\xE3\x80\x80 1,0,0,1|1:0,0,1,1").asRGBAGradientString(),
              "0.0:1,0,0,1|1.0:0,0,1,1");
    EXPECT_EQ(ZelGradient::fromRGBAGradientString("0::1,0,0,1|1:0,0,1,1").asRGBAGradientString(),
              "0.0:1,0,0,1|1.0:0,0,1,1");
    EXPECT_EQ(ZelGradient::fromRGBAGradientString("0:2,-1,0,1|1:0,0,1,1").pins()[0].color(), Color::sRGB(1, 0, 0, 1));
    EXPECT_EQ(ZelGradient::fromRGBAGradientString("0:.5,0.25,0,1|1:0,0,1,1").pins()[0].color(),
              Color::sRGB(0.5, 0.25, 0, 1));
    EXPECT_EQ(ZelGradient::fromRGBAGradientString("1e-1:1,0,0,1|5:0,0,1,1").asRGBAGradientString(),
              "0.1:1,0,0,1|1.0:0,0,1,1");
    // Pins out of order come back sorted.
    EXPECT_EQ(ZelGradient::fromRGBAGradientString("1:0,0,1,1|0:1,0,0,1").asRGBAGradientString(),
              "0.0:1,0,0,1|1.0:0,0,1,1");
}

TEST(ZelGradient, CopyIsInSRGBWithEqualPins) {
    const ZelGradient g({Pin(Color::gray(0.5), 0), Pin(Color::deviceRGB(0, 1, 0), 1)}, gfx::ColorSpace::genericGray);
    const ZelGradient copy = g.copyGradient();
    EXPECT_EQ(copy.colorspace(), sRGBColorSpace);
    EXPECT_EQ(copy.pins(), g.pins());
    EXPECT_EQ(copy.asRGBAGradientString(), g.asRGBAGradientString());
}
