#include "tests/QRCode/ErrorOf.h"
#include "QRCode/encoding/Content.h"
#include "QRCode/Document.h"
#include "QRCode/QRCodeError.h"
#include "QRCode/document/QRCodeMessageFormatter.h"
#include "image-read-write/ImageLoading.h"
#include "platform/detector/QRDetector.h"
#include "platform/foundation/Base64.h"
#include "tests/support/CapturedDiagnostics.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using QRCode::BoolMatrix;
using QRCode::QRCodeError;
using QRCode::QRCodeException;
using QRCode::QRCodeMessageFormatter;

using QRCode::Content;
using QRCode::Document;
using QRCode::ErrorCorrection;

namespace {

// A real engine that counts its calls, to see every regeneration.
class CountingEngine final : public QRCode::QRCodeEngine {
public:
    int calls = 0;
    std::string name() const override { return "external"; }
    BoolMatrix generate(std::string_view text, ErrorCorrection level) override {
        ++calls;
        return inner_.generate(text, level);
    }
    BoolMatrix generate(std::span<const std::uint8_t> data, ErrorCorrection level) override {
        ++calls;
        return inner_.generate(data, level);
    }

private:
    QRCode::QRCodeEngineExternal inner_;
};

struct Message final : QRCodeMessageFormatter {
    std::vector<std::uint8_t> bytes;
    std::optional<std::string> payload;
    std::vector<std::uint8_t> data() const override { return bytes; }
    std::optional<std::string> text() const override { return payload; }
};

// 2,000 bytes: version 40 holds them at level L, not at H.
std::vector<std::uint8_t> bigData() { return std::vector<std::uint8_t>(2000, 'x'); }

using qrcodetest::errorOf;

std::string decode(const std::vector<std::uint8_t>& png) {
    const auto image = ImageReadWrite::load(png);
    const auto found = platform::detectQRCodes(*image);
    return found.size() == 1 ? found[0].text : std::string("<" + std::to_string(found.size()) + " symbols>");
}

const std::string kRegenerateLine = "QRCode.Document: Could not regenerate. Error was '";

} // namespace

TEST(Content, DefaultCodedFormAndDecodingOrder) {
    EXPECT_TRUE(Content().isData());
    EXPECT_TRUE(Content().dataValue()->empty());

    const Content emptyText = Content::text("");
    EXPECT_EQ(emptyText.codingValue(), (nlohmann::json{{"text", ""}}));
    EXPECT_EQ(Content::fromCodingValue(emptyText.codingValue()), emptyText);
    const Content bytes = Content::data({0, 255, 7});
    EXPECT_EQ(Content::fromCodingValue(bytes.codingValue()), bytes);

    // "data" wins over "text" and is read first.
    EXPECT_EQ(Content::fromCodingValue({{"text", "hi"}, {"data", "AAE="}}), Content::data({0, 1}));
    EXPECT_EQ(errorOf([] { Content::fromCodingValue(nlohmann::json::object()); }), QRCodeError::invalidContent);
    EXPECT_THROW(Content::fromCodingValue({{"text", 3}}), Content::DecodingError);
    EXPECT_THROW(Content::fromCodingValue({{"data", "not base64!"}}), Content::DecodingError);

    EXPECT_EQ(Content::codingKey("data"), Content::CodingKey::data);
    EXPECT_EQ(Content::codingKey("text"), Content::CodingKey::text);
    EXPECT_FALSE(Content::codingKey("Text").has_value());
    EXPECT_FALSE(Content::codingKey(0).has_value());
}

TEST(Document, InitialisersSetContentLevelAndGenerate) {
    const Document plain;
    EXPECT_EQ(plain.data(), std::vector<std::uint8_t>{});
    EXPECT_EQ(plain.errorCorrection(), ErrorCorrection::quartile);
    EXPECT_EQ(plain.engine()->name(), "coreimage");
    EXPECT_GT(plain.cellDimension(), 0);

    const Document text("hello", ErrorCorrection::high, std::make_shared<QRCode::QRCodeEngineExternal>());
    EXPECT_EQ(text.utf8String(), "hello");
    EXPECT_FALSE(text.data());
    EXPECT_EQ(text.errorCorrection(), ErrorCorrection::high);
    EXPECT_EQ(text.engine()->name(), "external");
    EXPECT_EQ(text.cellDimension(), 23); // version 1 with a one-module border

    Message withText;
    withText.bytes = {1, 2};
    withText.payload = "payload";
    EXPECT_EQ(Document(withText, ErrorCorrection::low).utf8String(), "payload");
    Message raw;
    raw.bytes = {1, 2};
    EXPECT_EQ(Document(raw, ErrorCorrection::low).data(), (std::vector<std::uint8_t>{1, 2}));

    EXPECT_EQ(Document::fromURL("https://example.com/a", ErrorCorrection::medium)->utf8String(),
              "https://example.com/a");

    // No document exists without a matrix: the engine's error is the result.
    const auto big = bigData();
    EXPECT_EQ(errorOf([&] { Document d(big, ErrorCorrection::high); }), QRCodeError::cannotGenerateImage);
    EXPECT_EQ(
        errorOf([&] { Document d(big, ErrorCorrection::high, std::make_shared<QRCode::QRCodeEngineExternal>()); }),
        QRCodeError::cannotGenerateQRCode);
    EXPECT_EQ(errorOf([] { Document d(std::string_view("\xff"), ErrorCorrection::low); }),
              QRCodeError::unableToConvertTextToRequestedEncoding);
}

TEST(Document, EverySetterRegeneratesOnceEvenWithTheSameValue) {
    auto engine = std::make_shared<CountingEngine>();
    Document doc("abc", ErrorCorrection::medium, engine);
    EXPECT_EQ(engine->calls, 1);

    const std::vector<std::function<void()>> setters{
        [&] { doc.setErrorCorrection(doc.errorCorrection()); },
        [&] { doc.setUtf8String("abc"); },
        [&] { doc.setData(std::vector<std::uint8_t>{1}); },
        [&] { doc.setContent(doc.content()); },
        [&] { doc.setDesign(doc.design()); },
        [&] { doc.setLogoTemplate(nullptr); },
        [&] { doc.setEngine(engine); },
    };
    for (std::size_t i = 0; i < setters.size(); ++i) {
        const int before = engine->calls;
        setters[i]();
        EXPECT_EQ(engine->calls, before + 1) << "setter " << i;
    }

    // The matrix follows the level and the content.
    doc.setUtf8String("https://example.com/some/longer/path");
    doc.setErrorCorrection(ErrorCorrection::low);
    const auto low = doc.cellDimension();
    doc.setErrorCorrection(ErrorCorrection::high);
    EXPECT_GT(doc.cellDimension(), low);
    EXPECT_EQ(doc.qrcode().currentErrorCorrection(), ErrorCorrection::high);
}

TEST(Document, FailedSetterKeepsValueAndLastGoodMatrixAndRefusesExports) {
    Document doc("short", ErrorCorrection::high);
    const BoolMatrix good = doc.boolMatrix();

    testing::internal::CaptureStdout();
    doc.setData(bigData());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, kRegenerateLine + "QRCodeError.cannotGenerateImage'\n");

    EXPECT_EQ(doc.data(), bigData());  // the new value is stored
    EXPECT_EQ(doc.boolMatrix(), good); // the previous matrix stays
    EXPECT_FALSE(doc.isMatrixCurrent());

    // Exports would show the old content: they refuse.
    EXPECT_EQ(errorOf([&] { doc.pngData(64); }), QRCodeError::cannotGenerateQRCode);
    EXPECT_EQ(errorOf([&] { doc.pdfData(64); }), QRCodeError::cannotGenerateQRCode);
    EXPECT_EQ(errorOf([&] { doc.svg(64); }), QRCodeError::cannotGenerateQRCode);
    EXPECT_EQ(errorOf([&] { doc.exportData(Document::ExportType::tiff(72), 64); }), QRCodeError::cannotGenerateQRCode);
    EXPECT_EQ(errorOf([&] { doc.cgImage(64); }), QRCodeError::cannotGenerateQRCode);
    EXPECT_FALSE(doc.asciiRepresentation().empty()); // text art never fails

    // A setter that succeeds brings matrix and document back in line.
    testing::internal::CaptureStdout();
    doc.setErrorCorrection(ErrorCorrection::low);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(doc.isMatrixCurrent());
    EXPECT_NE(doc.boolMatrix(), good);
    EXPECT_NO_THROW(doc.pngData(200));
}

TEST(Document, ItsDiagnosticsGoWhereTheProgramPointsThem) {
    Document doc("short", ErrorCorrection::high);
    testing::internal::CaptureStdout();
    {
        const testsupport::CapturedDiagnostics captured;
        doc.setData(bigData()); // a failed regeneration
        doc.setErrorCorrection(ErrorCorrection::low);
        EXPECT_TRUE(doc.path(0, QRCode::Components::standard()).isEmpty()); // no room inside the quiet zone
        EXPECT_EQ(captured.lines(), (std::vector<std::string>{kRegenerateLine + "QRCodeError.cannotGenerateImage'",
                                                              "additionalQuietSpace too large"}));
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(Document, AStoredMessageNoSymbolHoldsLoadsWithItsTextKeptAndCostsOnlyItsCopies) {
    const std::string text(std::size_t(4) << 20, 'd');
    const std::string json = nlohmann::json{{"correction", "L"}, {"text", text}}.dump();
    for (const auto& engine : QRCode::QRCode::QRCodeAvailableEngines()) {
        Document doc(engine);
        const std::size_t before = testsupport::peakResidentBytes();
        testing::internal::CaptureStdout();
        const QRCodeError error = errorOf([&] { doc.loadJsonData(json); });
        testing::internal::GetCapturedStdout();
        // The parsed tree and the stored text (with room for a sanitizer's
        // bookkeeping); the filter once took some 150 times the message.
        EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(64) << 20) << engine->name();
        EXPECT_EQ(error, engine->name() == "external" ? QRCodeError::cannotGenerateQRCode
                                                      : QRCodeError::cannotGenerateImage);
        EXPECT_EQ(doc.utf8String(), text); // nothing lost
        EXPECT_EQ(doc.errorCorrection(), ErrorCorrection::low);
        EXPECT_EQ(errorOf([&] { doc.setText(text); }), error);
    }
}

TEST(Document, ThrowingSettersAndUpdates) {
    Document doc("start", ErrorCorrection::high);
    const BoolMatrix good = doc.boolMatrix();
    const std::string tooLong(2000, 'y');

    testing::internal::CaptureStdout();
    EXPECT_EQ(errorOf([&] { doc.setText(tooLong); }), QRCodeError::cannotGenerateImage);
    Message text;
    text.payload = tooLong;
    EXPECT_EQ(errorOf([&] { doc.setMessage(text); }), QRCodeError::cannotGenerateImage);
    Message raw;
    raw.bytes = bigData();
    EXPECT_EQ(errorOf([&] { doc.setMessage(raw); }), QRCodeError::cannotGenerateImage);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find(kRegenerateLine), std::string::npos);
    EXPECT_EQ(doc.data(), bigData());
    EXPECT_EQ(doc.boolMatrix(), good);

    // Bytes that fit are taken like text that fits.
    Message fittingBytes;
    fittingBytes.bytes = {1, 2, 3};
    doc.setMessage(fittingBytes);
    EXPECT_EQ(doc.data(), fittingBytes.bytes);
    EXPECT_TRUE(doc.isMatrixCurrent());

    Message fitting;
    fitting.payload = "fits";
    doc.setMessage(fitting);
    EXPECT_EQ(doc.utf8String(), "fits");

    // update(text): the matrix only; content and level stay.
    const BoolMatrix fits = doc.boolMatrix();
    doc.update(std::string_view("another text entirely, somewhat longer"), ErrorCorrection::low);
    EXPECT_EQ(doc.utf8String(), "fits");
    EXPECT_EQ(doc.errorCorrection(), ErrorCorrection::high);
    EXPECT_NE(doc.boolMatrix(), fits);
    EXPECT_EQ(errorOf([&] { doc.update(std::string_view(tooLong), ErrorCorrection::high); }),
              QRCodeError::cannotGenerateImage);

    // update(data): the content becomes the bytes; the level is not stored.
    doc.setErrorCorrection(ErrorCorrection::low);
    testing::internal::CaptureStdout();
    doc.update(std::span<const std::uint8_t>(raw.bytes), ErrorCorrection::low);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(doc.data(), raw.bytes);
    EXPECT_EQ(doc.errorCorrection(), ErrorCorrection::low);
    doc.setErrorCorrection(ErrorCorrection::medium);
    testing::internal::CaptureStdout();
    EXPECT_EQ(errorOf([&] { doc.update(std::span<const std::uint8_t>(raw.bytes), ErrorCorrection::high); }),
              QRCodeError::cannotGenerateImage);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(doc.errorCorrection(), ErrorCorrection::medium);
}

TEST(Document, ContentAccessorsAndEngine) {
    Document doc;
    doc.setUtf8String(std::nullopt);
    EXPECT_EQ(doc.utf8String(), "");
    EXPECT_FALSE(doc.data());
    EXPECT_EQ(doc.decodedText(), "");
    doc.setData(std::nullopt);
    EXPECT_EQ(doc.data(), std::vector<std::uint8_t>{});
    EXPECT_EQ(doc.decodedText(), "");
    doc.setData(std::vector<std::uint8_t>(100, 0xFB));
    EXPECT_EQ(doc.decodedText(), foundation::base64Encode(std::vector<std::uint8_t>(100, 0xFB)));
    EXPECT_EQ(doc.decodedText().find('\n'), std::string::npos);

    const auto before = doc.engine();
    doc.setEngine(nullptr);
    EXPECT_NE(doc.engine(), before);
    EXPECT_EQ(doc.engine()->name(), "coreimage");
    EXPECT_THROW(doc.setDesign(nullptr), std::invalid_argument);
}

TEST(Document, ChangeNotificationIsOnDemandAndUnsubscribesWithItsHandle) {
    auto doc = std::make_shared<Document>("x", ErrorCorrection::low);
    int calls = 0;
    {
        auto subscription = doc->observeChanges([&] { ++calls; });
        doc->setUtf8String("y"); // setters send nothing
        EXPECT_EQ(calls, 0);
        doc->notifyChanged();
        EXPECT_EQ(calls, 1);
    }
    doc->notifyChanged();
    EXPECT_EQ(calls, 1);

    // A handle may outlive the document; a callback may cancel itself.
    QRCode::ChangeNotifier::Subscription self;
    self = doc->observeChanges([&] {
        ++calls;
        self.cancel();
    });
    doc->notifyChanged();
    doc->notifyChanged();
    EXPECT_EQ(calls, 2);
    auto late = doc->observeChanges([] {});
    doc.reset();
    late.cancel();
}

TEST(Document, PathHonoursTheQuietZone) {
    Document doc("path", ErrorCorrection::medium);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(doc.path(0, QRCode::Components::standard()).isEmpty());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "additionalQuietSpace too large\n");

    doc.design()->setAdditionalQuietZonePixels(50);
    const gfx::Path path = doc.path(10, QRCode::Components::standard());
    EXPECT_FALSE(path.isEmpty());
    const gfx::Rect bounds = path.boundingBox();
    EXPECT_GT(bounds.minX(), 0);
    EXPECT_LT(bounds.maxX(), 10);
}

TEST(Document, ExportsProduceTheirFormatsAndScan) {
    Document doc("https://example.com", ErrorCorrection::medium);
    const auto png = doc.pngData(300, 144);
    EXPECT_EQ(decode(png), "https://example.com");
    EXPECT_EQ(doc.exportData(Document::ExportType::png(144), 300), png);

    const auto jpg = doc.jpegData(200, 72, 0.8);
    ASSERT_GE(jpg.size(), 3u);
    EXPECT_EQ(jpg[0], 0xFF);
    EXPECT_EQ(jpg[1], 0xD8);
    // The compression is clamped to 0...1 before it reaches the encoder.
    EXPECT_EQ(doc.jpegData(200, 72, 7), doc.jpegData(200, 72, 1));
    EXPECT_EQ(doc.jpegData(200, 72, -2), doc.jpegData(200, 72, 0));
    EXPECT_EQ(doc.jpegData(200, 72, std::nan("")), doc.jpegData(200, 72, 0));
    EXPECT_EQ(doc.exportData(Document::ExportType::jpg(72, 0.8), 200), jpg);

    const auto tiff = doc.tiffData(100, 300);
    EXPECT_TRUE(tiff.size() > 4 && (tiff[0] == 'I' || tiff[0] == 'M'));
    const auto pdf = doc.pdfData(100, 144);
    EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 5), "%PDF-");
    const std::string svg = doc.svg(120);
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_EQ(doc.exportData(Document::ExportType::svg(), 120), std::vector<std::uint8_t>(svg.begin(), svg.end()));

    const auto image = doc.cgImage(31.9, 20.2);
    EXPECT_EQ(image->width(), 31);
    EXPECT_EQ(image->height(), 20);
}

TEST(Document, OneCallCreators) {
    const auto image = QRCode::makeImage("one call", 150, gfx::Color::sRGB(0, 0, 0.5, 1),
                                         gfx::Color::sRGB(1, 1, 0.8, 1), ErrorCorrection::high);
    ASSERT_EQ(image->width(), 150);
    EXPECT_EQ(platform::detectQRCodes(*image).at(0).text, "one call");
    const auto plain = QRCode::makeImage("plain", 99, ErrorCorrection::low, nullptr, nullptr);
    EXPECT_EQ(platform::detectQRCodes(*plain).at(0).text, "plain");
    EXPECT_FALSE(
        QRCode::makePath("path", 100, QRCode::Components::standard(), ErrorCorrection::low, nullptr).isEmpty());
}
