#include "tests/QRCode/ErrorOf.h"
#include "QRCode/QRCode.h"
#include "QRCodeGenerator/QRCode.h"
#include "QRCode/QRCodeError.h"
#include "platform/qrfilter/QRCodeFilter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using QRCode::BoolMatrix;
using QRCode::QRCodeError;
using QRCode::QRCodeException;

using QRCode::ErrorCorrection;

namespace {

using qrcodetest::errorOf;

bool borderIsLight(const BoolMatrix& m) {
    const auto n = m.dimension();
    for (std::int64_t i = 0; i < n; ++i)
        if (m(0, i) || m(n - 1, i) || m(i, 0) || m(i, n - 1)) return false;
    return true;
}

std::shared_ptr<QRCode::QRCodeEngine> external() { return std::make_shared<QRCode::QRCodeEngineExternal>(); }

} // namespace

TEST(QRCodeHolder, DefaultEngineEmptyMessagesAndCopies) {
    const QRCode::QRCode code;
    EXPECT_EQ(code.cellDimension(), 0);
    EXPECT_EQ(code.currentErrorCorrection(), ErrorCorrection::quartile);
    EXPECT_EQ(code.engine()->name(), "coreimage");
    EXPECT_FALSE(std::isfinite(code.cellSize(100)));
    const auto engines = QRCode::QRCode::QRCodeAvailableEngines();
    ASSERT_EQ(engines.size(), 2U);
    EXPECT_EQ(engines[0]->name(), "coreimage");
    EXPECT_EQ(engines[1]->name(), "external");
    QRCode::QRCode holder;
    holder.setEngine(nullptr);
    EXPECT_EQ(holder.engine()->name(), "coreimage");

    // An empty message still gives a symbol, through either engine.
    EXPECT_EQ(QRCode::QRCode(QRCode::QRCode::QRCodeDefaultEngine()).cellDimension(), 23);
    EXPECT_EQ(QRCode::QRCode(external()).cellDimension(), 23);
    EXPECT_EQ(QRCode::QRCode(std::string_view(""), ErrorCorrection::high).cellDimension(), 23);

    // A copy takes the default engine and level, and the same matrix.
    const QRCode::QRCode high(std::string_view("copy"), ErrorCorrection::high, external());
    const QRCode::QRCode copy = high.copy();
    EXPECT_EQ(copy.engine()->name(), "coreimage");
    EXPECT_EQ(copy.currentErrorCorrection(), ErrorCorrection::quartile);
    EXPECT_EQ(copy.current(), high.current());
}

TEST(QRCodeHolder, ExternalEngineAddsOneModuleBorder) {
    const QRCode::QRCode code(std::string_view("HELLO WORLD"), ErrorCorrection::quartile, external());
    EXPECT_EQ(code.cellDimension(), 23);
    EXPECT_TRUE(borderIsLight(code.boolMatrix()));
    EXPECT_TRUE(code.boolMatrix()(1, 1)); // finder corner just inside the border
    EXPECT_DOUBLE_EQ(code.cellSize(230), 10.0);

    // The border wraps exactly the encoder's symbol.
    const auto symbol = QRCodeGenerator::QRCode::encode("HELLO WORLD", QRCodeGenerator::QRCodeECC::quartile);
    for (int y = 0; y < symbol.size(); ++y)
        for (int x = 0; x < symbol.size(); ++x) ASSERT_EQ(code.boolMatrix()(y + 1, x + 1), symbol.getModule(x, y));
}

TEST(QRCodeHolder, FilterEngineReadsTheFilterImage) {
    const std::string text = "https://example.com";
    const QRCode::QRCode code(std::string_view(text), ErrorCorrection::medium);
    const auto& m = code.boolMatrix();

    platform::QRCodeFilter filter;
    filter.setInputMessage({text.begin(), text.end()});
    filter.setInputCorrectionLevel("M");
    const auto image = filter.outputImage();
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->width, image->height);
    ASSERT_EQ(m.dimension(), image->width);
    EXPECT_EQ(m.dimension(), 25 + 2); // version 2 plus the filter's margin
    EXPECT_TRUE(borderIsLight(m));
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            const std::uint8_t px = image->pixels[static_cast<std::size_t>(y * image->width + x)];
            ASSERT_TRUE(px == 0 || px == 255);
            ASSERT_EQ(m(y, x), px == 0);
        }
}

TEST(QRCodeHolder, DataThatDoesNotFit) {
    const std::vector<std::uint8_t> big(3000, 0x41);
    EXPECT_EQ(errorOf([&] {
                  QRCode::QRCodeEngineExternal().generate(std::span<const std::uint8_t>(big), ErrorCorrection::high);
              }),
              QRCodeError::cannotGenerateQRCode);
    EXPECT_EQ(errorOf([&] {
                  QRCode::QRCodeEngineCoreImage().generate(std::span<const std::uint8_t>(big), ErrorCorrection::high);
              }),
              QRCodeError::cannotGenerateImage);
    EXPECT_FALSE(QRCode::QRCode::canGenerateQRCode(std::span<const std::uint8_t>(big), ErrorCorrection::low));
    EXPECT_TRUE(
        QRCode::QRCode::canGenerateQRCode(std::span<const std::uint8_t>(big.data(), 2953), ErrorCorrection::low));
    EXPECT_FALSE(QRCode::QRCode::canGenerateQRCode(std::span<const std::uint8_t>(big.data(), 2954),
                                                   ErrorCorrection::low, external()));
    EXPECT_TRUE(QRCode::QRCode::canGenerateQRCode(std::string_view("hello"), ErrorCorrection::high, external()));

    // An out-of-range level is refused by both engines, never guessed.
    const auto bogus = static_cast<ErrorCorrection>(7);
    EXPECT_EQ(errorOf([&] { QRCode::QRCodeEngineExternal().generate(std::string_view("a"), bogus); }),
              QRCodeError::cannotGenerateQRCode);
    EXPECT_EQ(errorOf([&] { QRCode::QRCodeEngineCoreImage().generate(std::string_view("a"), bogus); }),
              QRCodeError::cannotGenerateImage);
}

TEST(QRCodeHolder, AMessageNoSymbolHoldsIsRefusedBeforeEncoding) {
    // Just beyond the most a symbol holds: the engines' own "does not fit".
    const std::string justOver(2954, 'a');
    const std::string digits(7089, '1');
    EXPECT_EQ(errorOf([&] { QRCode::QRCodeEngineCoreImage().generate(justOver, ErrorCorrection::low); }),
              QRCodeError::cannotGenerateImage);
    EXPECT_EQ(errorOf([&] { QRCode::QRCodeEngineExternal().generate(justOver, ErrorCorrection::low); }),
              QRCodeError::cannotGenerateQRCode);
    // What fits is still encoded: 7,089 digits by our encoder, 2,953 bytes by
    // the filter (which encodes bytes only).
    EXPECT_EQ(QRCode::QRCodeEngineExternal().generate(digits, ErrorCorrection::low).dimension(), 179);
    EXPECT_EQ(QRCode::QRCodeEngineCoreImage().generate(justOver.substr(1), ErrorCorrection::low).dimension(), 179);

    // Megabytes of text or data cost nothing beyond the message itself
    // (the filter once took some 150 times the message).
    const std::string text(std::size_t(8) << 20, 'a');
    const std::vector<std::uint8_t> data(text.begin(), text.end());
    const std::size_t before = testsupport::peakResidentBytes();
    for (const auto& engine : QRCode::QRCode::QRCodeAvailableEngines()) {
        const QRCodeError expected = engine->name() == "external" ? QRCodeError::cannotGenerateQRCode
                                                                  : QRCodeError::cannotGenerateImage;
        EXPECT_EQ(errorOf([&] { engine->generate(text, ErrorCorrection::low); }), expected) << engine->name();
        EXPECT_EQ(errorOf([&] { engine->generate(std::span<const std::uint8_t>(data), ErrorCorrection::low); }),
                  expected)
            << engine->name();
    }
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(4) << 20);
}

TEST(QRCodeHolder, TextThatIsNotUTF8) {
    for (const std::string& bad : {std::string("\xff"), std::string("ab\xc3"), std::string("\xed\xa0\x80"),
                                   std::string("\xc0\xaf"), std::string("\xf4\x90\x80\x80")}) {
        EXPECT_FALSE(QRCode::isValidUTF8(bad));
        EXPECT_EQ(
            errorOf([&] { QRCode::QRCodeEngineCoreImage().generate(std::string_view(bad), ErrorCorrection::low); }),
            QRCodeError::unableToConvertTextToRequestedEncoding);
        EXPECT_EQ(
            errorOf([&] { QRCode::QRCodeEngineExternal().generate(std::string_view(bad), ErrorCorrection::low); }),
            QRCodeError::unableToConvertTextToRequestedEncoding);
    }
    EXPECT_TRUE(QRCode::isValidUTF8("gr\u00fc\u00df \u20ac \U0001F600"));
    // The same bytes are fine as data.
    const std::vector<std::uint8_t> bytes{0xFF, 0xC3};
    EXPECT_EQ(QRCode::QRCode(std::span<const std::uint8_t>(bytes), ErrorCorrection::low).cellDimension(), 23);
}

TEST(QRCodeHolder, FailedUpdateKeepsTheLastGoodState) {
    QRCode::QRCode code(std::string_view("keep me"), ErrorCorrection::high, external());
    const BoolMatrix before = code.current();
    const std::vector<std::uint8_t> big(3000, 1);
    EXPECT_THROW(code.update(std::span<const std::uint8_t>(big), ErrorCorrection::medium), QRCodeException);
    EXPECT_EQ(code.current(), before);
    EXPECT_EQ(code.currentErrorCorrection(), ErrorCorrection::high);

    code.update(std::string_view("12345"), ErrorCorrection::low);
    EXPECT_EQ(code.currentErrorCorrection(), ErrorCorrection::low);
    EXPECT_NE(code.current(), before);
}
