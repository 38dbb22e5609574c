#include "QRCode/core/Corners.h"
#include "QRCode/core/ErrorCorrection.h"
#include "QRCode/core/Flip.h"
#include "QRCode/QRCodeError.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace QRCode;

TEST(ErrorCorrection, LettersRawValuesAndParsing) {
    std::string letters;
    for (auto level : allErrorCorrections) letters += errorCorrectionLetter(level);
    EXPECT_EQ(letters, "LMQH");
    EXPECT_EQ(errorCorrectionFromRawValue(2), ErrorCorrection::quartile);
    EXPECT_FALSE(errorCorrectionFromRawValue(4));
    EXPECT_FALSE(errorCorrectionFromRawValue(-1));
    // The first character decides, in either case.
    EXPECT_EQ(errorCorrectionFromString("q"), ErrorCorrection::quartile);
    EXPECT_EQ(errorCorrectionFromString("LOW"), ErrorCorrection::low);
    EXPECT_EQ(errorCorrectionFromString("medium"), ErrorCorrection::medium);
    EXPECT_EQ(errorCorrectionFromString("h"), ErrorCorrection::high);
    EXPECT_FALSE(errorCorrectionFromString(""));
    EXPECT_FALSE(errorCorrectionFromString("?"));
    EXPECT_FALSE(errorCorrectionFromString(" L"));
    EXPECT_EQ(errorCorrectionFromSettingsString(""), ErrorCorrection::quartile);
    EXPECT_EQ(errorCorrectionFromSettingsString("x"), ErrorCorrection::quartile);
    EXPECT_EQ(errorCorrectionFromSettingsString("low"), ErrorCorrection::low);
}

TEST(QRCodeError, FixedOrdinalsAndNames) {
    EXPECT_EQ(static_cast<int>(QRCodeError::cannotGenerateQRCode), 0);
    EXPECT_EQ(static_cast<int>(QRCodeError::invalidHexColorString), 12);
    EXPECT_EQ(static_cast<int>(QRCodeError::unsupportedExportType), 13);
    EXPECT_EQ(qrCodeErrorName(QRCodeError::cannotGenerateJSON), "cannotGenerateJSON");
    EXPECT_EQ(qrCodeErrorName(static_cast<QRCodeError>(14)), "unknown");
    try {
        throw QRCodeException(QRCodeError::invalidContent);
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "QRCodeError.invalidContent");
        EXPECT_EQ(dynamic_cast<const QRCodeException&>(e).code(), QRCodeError::invalidContent);
    }
}

TEST(Corners, SetOperationsOnRawBits) {
    Corners c = Corners::of({Corners::topLeft, Corners::bottomRight});
    EXPECT_EQ(c.rawValue, 9);
    EXPECT_FALSE(c.remove(Corners::topRight));
    EXPECT_EQ(c.rawValue, 9);
    EXPECT_EQ(c.remove(Corners::topLeft | Corners::topRight), Corners::topLeft);
    EXPECT_EQ(c, Corners::bottomRight);
    EXPECT_TRUE(c.insert(Corners::bottomLeft));
    EXPECT_FALSE(c.insert(Corners::bottomLeft));
    EXPECT_EQ(c.rawValue, 12);

    const Corners all(15);
    for (auto member : {Corners::topLeft, Corners::topRight, Corners::bottomLeft, Corners::bottomRight}) {
        EXPECT_TRUE(all.isSuperset(member));
        EXPECT_TRUE(member.isSubset(all));
        EXPECT_TRUE(Corners().isDisjoint(member));
    }
    EXPECT_EQ(all, Corners::all);
    EXPECT_TRUE(Corners(0).isEmpty());
    EXPECT_TRUE(Corners::of({}).isEmpty());
    EXPECT_EQ((Corners(6) ^ Corners(3)).rawValue, 5);
    EXPECT_EQ((Corners(7) - Corners(2)).rawValue, 5);
    EXPECT_EQ((Corners(6) & Corners(3)).rawValue, 2);
    EXPECT_EQ(Corners::fromFlags(true, false, false, true).rawValue, 9);
    EXPECT_EQ(Corners(0x70 | 1).rawValue, 0x71); // unknown bits stay
}

TEST(Corners, CodedAsTheBareInteger) {
    EXPECT_EQ(nlohmann::json(Corners::topRight).dump(), "2");
    EXPECT_EQ(nlohmann::json::parse("9").get<Corners>(), Corners(9));
    EXPECT_THROW(nlohmann::json::parse("\"9\"").get<Corners>(), std::invalid_argument);
    EXPECT_THROW(nlohmann::json::parse("1.5").get<Corners>(), std::invalid_argument);
}

TEST(Flip, RawValues) {
    EXPECT_EQ(flipFromRawValue(3), Flip::both);
    EXPECT_FALSE(flipFromRawValue(7));
    EXPECT_FALSE(flipFromRawValue(-1));
    EXPECT_EQ(flipFromSetting(7), Flip::none);
    EXPECT_EQ(flipFromSetting(3), Flip::both);
    EXPECT_EQ(flipFromSetting(std::nullopt), Flip::none);
}
