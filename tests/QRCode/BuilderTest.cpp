#include "tests/QRCode/ErrorOf.h"
#include "tests/QRCode/TestDrawing.h"
#include "QRCode/Builder.h"
#include "QRCode/core/Colors.h"
#include "QRCode/design/Design.h"
#include "QRCode/encoding/Detection.h"
#include "QRCode/generators/eye/Square.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/document/FormattedContent.h"
#include "QRCode/design/LogoTemplate.h"
#include "QRCode/document/Message.h"
#include "QRCode/generators/PixelInsetGenerator.h"
#include "QRCode/generators/PixelRotationGenerator.h"
#include "QRCode/generators/pixel/Abstract.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/QRCodeError.h"
#include "QRCode/design/Shape.h"
#include "QRCode/design/Style.h"
#include "image-read-write/ImageLoading.h"
#include "platform/gfx/GraphicsContext.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <sstream>
#include <type_traits>
#include <string>
#include <vector>

using QRCode::BoolMatrix;
using QRCode::CGColorSRGB;
using QRCode::QRCodeError;
using QRCode::QRCodeException;
using QRCode::QRCodePixelShapeFactory;

using QRCode::Builder;
using QRCode::DetectionAccuracy;
using QRCode::Document;
using QRCode::ErrorCorrection;
using QRCode::FormattedContent;

namespace {

using qrcodetest::bytesOf;
using qrcodetest::errorOf;
using qrcodetest::solidImage;

// Captures standard output while it lives.
class CaptureStdout {
public:
    CaptureStdout() { testing::internal::CaptureStdout(); }
    std::string text() { return testing::internal::GetCapturedStdout(); }
};

std::vector<std::string> decodedStrings(const gfx::Image& image) {
    return QRCode::QRCode::DetectQRStrings(image, DetectionAccuracy::high);
}

// Several rendered symbols side by side on a white canvas.
gfx::ImagePtr canvasWith(const std::vector<gfx::ImagePtr>& symbols, int symbolSize) {
    const int width = static_cast<int>(symbols.size()) * (symbolSize + 40) + 40;
    auto canvas = std::make_shared<gfx::Image>(width, symbolSize + 80);
    for (int y = 0; y < canvas->height(); ++y)
        for (int x = 0; x < canvas->width(); ++x) canvas->setPixel(x, y, gfx::Pixel{255, 255, 255, 255});
    for (std::size_t i = 0; i < symbols.size(); ++i)
        for (int y = 0; y < symbolSize; ++y)
            for (int x = 0; x < symbolSize; ++x)
                canvas->setPixel(40 + static_cast<int>(i) * (symbolSize + 40) + x, 40 + y, symbols[i]->pixel(x, y));
    return canvas;
}

} // namespace

// ---- Builder ----

TEST(Builder, FluentChainExportsAScannablePayload) {
    const QRCode::Message::Mail mail("ada@example.org", "Hi & bye", "body");
    auto builder = QRCode::build();
    const auto png = builder.text(*mail.text())
                         .errorCorrection(ErrorCorrection::high)
                         .foregroundColor("#102030")
                         .backgroundColor("fff")
                         .quietZonePixelCount(2)
                         .onPixels()
                         .shape(QRCodePixelShapeFactory::shared().named("square"))
                         .color("#000080")
                         .eye()
                         .shape(std::make_shared<QRCode::EyeShape::Square>())
                         .color(CGColorSRGB(0.5, 0, 0, 1))
                         .pupil()
                         .color("#200000")
                         .background()
                         .cornerRadius(0.3)
                         .generate()
                         .pngData(400, 144);
    const auto image = ImageReadWrite::load(png);
    ASSERT_EQ(image->width(), 400);
    EXPECT_EQ(decodedStrings(*image), std::vector<std::string>{*mail.text()});
    EXPECT_EQ(builder.document()->errorCorrection(), ErrorCorrection::high);
    EXPECT_EQ(builder.document()->design()->additionalQuietZonePixels(), 2u);
    EXPECT_DOUBLE_EQ(builder.document()->design()->style()->backgroundFractionalCornerRadius(), 0.3);

    // The other exports of the same chain reach the document's matching ones.
    const auto generate = builder.generate();
    EXPECT_EQ(decodedStrings(*ImageReadWrite::load(generate.jpegData(300, 72, 1.0))),
              std::vector<std::string>{*mail.text()});
    const auto pdf = generate.pdfData(300);
    EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 5), "%PDF-");
    const auto svg = generate.svgData(300);
    EXPECT_EQ(std::string(svg.begin(), svg.begin() + 4), "<svg");
}

TEST(Builder, ContentOperations) {
    auto builder = QRCode::build();
    builder.base64(bytesOf("abc"));
    EXPECT_EQ(builder.document()->utf8String(), "YWJj");
    builder.url(*QRCode::URL::fromString("https://example.org/x"));
    EXPECT_EQ(builder.document()->utf8String(), "https://example.org/x");
    builder.content().data(bytesOf("raw"));
    EXPECT_EQ(builder.document()->data(), bytesOf("raw"));
    builder.formattedContent(FormattedContent::phone("+1 555"));
    EXPECT_EQ(builder.document()->utf8String(), "TEL:+1555");
    builder.engine(QRCode::QRCode::QRCodeAvailableEngines().back());
    EXPECT_EQ(builder.document()->engine()->name(), "external");
    EXPECT_EQ(decodedStrings(*builder.generate().image(300)), std::vector<std::string>{"TEL:+1555"});
}

TEST(Builder, MegabytesOfContentAreStoredAndRefusedWithoutEncodingThem) {
    const std::string text(std::size_t(4) << 20, 'm');
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    auto builder = QRCode::build().text("small");
    const auto good = builder.document()->boolMatrix();
    const std::size_t before = testsupport::peakResidentBytes();
    testing::internal::CaptureStdout();
    builder.text(text);
    EXPECT_EQ(builder.document()->utf8String()->size(), text.size());
    builder.content().data(bytes);
    EXPECT_EQ(builder.document()->data()->size(), bytes.size());
    builder.base64(bytes);
    const std::string out = testing::internal::GetCapturedStdout();
    // The stored copies (the base-64 text a third larger), and no more.
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(32) << 20);
    // One printed line per change, never a throw.
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3) << out;
    EXPECT_NE(out.find("QRCodeError.cannotGenerateImage"), std::string::npos) << out;
    EXPECT_EQ(builder.document()->boolMatrix(), good);
    EXPECT_FALSE(builder.document()->isMatrixCurrent());
}

TEST(Builder, MessageRegeneratesAtQuartileWithoutStoringIt) {
    auto builder = QRCode::build().text("x").errorCorrection(ErrorCorrection::high);
    const QRCode::Message::Text message("message text");
    builder.content().message(message);
    EXPECT_EQ(builder.document()->errorCorrection(), ErrorCorrection::high);
    EXPECT_EQ(builder.document()->utf8String(), "x");
    EXPECT_EQ(builder.document()->qrcode().currentErrorCorrection(), ErrorCorrection::quartile);
    EXPECT_EQ(decodedStrings(*builder.generate().image(300)), std::vector<std::string>{"message text"});
}

TEST(Builder, HexColoursThatDoNotParseChangeNothing) {
    auto builder = QRCode::build();
    const auto style = builder.document()->design()->style();
    const auto onPixels = style->onPixels();
    const auto background = style->background();
    EXPECT_EQ(errorOf([&] { builder.foregroundColor("zz"); }), QRCodeError::invalidHexColorString);
    EXPECT_EQ(errorOf([&] { builder.backgroundColor("#12345"); }), QRCodeError::invalidHexColorString);
    EXPECT_EQ(errorOf([&] { builder.onPixels().color("g"); }), QRCodeError::invalidHexColorString);
    EXPECT_EQ(errorOf([&] { builder.eye().backgroundColor("#"); }), QRCodeError::invalidHexColorString);
    EXPECT_EQ(style->onPixels(), onPixels);
    EXPECT_EQ(style->background(), background);
    EXPECT_FALSE(style->eyeBackground().has_value());
}

TEST(Builder, StagesWriteTheirPartsOfShapeAndStyle) {
    auto builder = QRCode::build();
    const auto shape = builder.document()->design()->shape();
    const auto style = builder.document()->design()->style();
    const auto red = CGColorSRGB(1, 0, 0, 1);
    const auto eyeFill = QRCode::FillStyle::Solid::make(red);
    builder.eye().style(eyeFill);
    const auto abstract = std::make_shared<QRCode::PixelShape::Abstract>();
    builder.onPixels().style(QRCode::FillStyle::Solid::make(red)).backgroundColor("#00ff00");
    EXPECT_EQ(style->eye(), eyeFill); // the on-pixel fill leaves the eye fill alone
    EXPECT_TRUE(style->onPixelsBackground().has_value());

    builder.offPixels()
        .shape(abstract)
        .color(red)
        .backgroundColor(red)
        .extendOffPixelsIntoEmptyQRCodeComponents(true)
        .eye()
        .backgroundColor(red)
        .mirrorEyePathsAroundQRCodeCenter(false);
    EXPECT_EQ(shape->offPixels(), abstract);
    EXPECT_NE(style->offPixels(), nullptr);
    EXPECT_TRUE(style->offPixelsBackground().has_value());
    EXPECT_TRUE(shape->extendOffPixelsIntoEmptyQRCodeComponents());
    EXPECT_TRUE(style->eyeBackground().has_value());
    EXPECT_FALSE(shape->mirrorEyePathsAroundQRCodeCenter());

    // The eye shape clears an earlier pupil; a pupil set afterwards stays.
    const auto pupil = std::make_shared<QRCode::PupilShape::Square>();
    builder.pupil().shape(pupil).eye().shape(std::make_shared<QRCode::EyeShape::Square>());
    EXPECT_EQ(shape->pupil(), nullptr);
    builder.eye().shape(std::make_shared<QRCode::EyeShape::Square>()).pupil().shape(pupil);
    EXPECT_EQ(shape->pupil(), pupil);

    builder.background().image(solidImage(4, 4, {0, 0, 255, 255}));
    EXPECT_EQ(style->background()->name(), "image");
    builder.background().color(red).cornerRadius(7);
    EXPECT_EQ(style->background()->name(), "solid");
    EXPECT_DOUBLE_EQ(style->backgroundFractionalCornerRadius(), 7); // not clamped

    builder.negatedOnPixelsOnly(true).shadow(QRCode::ShadowType::innerShadow, 2, -3, 4, red);
    EXPECT_TRUE(shape->negatedOnPixelsOnly());
    ASSERT_TRUE(style->shadow().has_value());
    EXPECT_EQ(style->shadow()->type, QRCode::ShadowType::innerShadow);
    builder.shadow(std::nullopt);
    EXPECT_FALSE(style->shadow().has_value());
}

TEST(Builder, InsetAndRotationGeneratorsAreClampedAndOnlyWrittenWhenSupported) {
    auto builder = QRCode::build();
    builder.onPixels().shape(QRCodePixelShapeFactory::shared().named("square"));
    const auto& pixels = builder.document()->design()->shape()->onPixels();
    builder.onPixels().insetGenerator(*QRCode::PixelInset::Random::Create(), -0.5);
    EXPECT_EQ(pixels->settings().at("insetGeneratorName"), "random");
    EXPECT_DOUBLE_EQ(pixels->settings().at("insetFraction").get<double>(), 0);
    builder.onPixels().insetGenerator(*QRCode::PixelInset::Fixed::Create(), 1.7);
    EXPECT_EQ(pixels->settings().at("insetGeneratorName"), "fixed");
    EXPECT_DOUBLE_EQ(pixels->settings().at("insetFraction").get<double>(), 1);
    builder.onPixels().rotationGenerator(*QRCode::PixelRotation::Random::Create(), -3);
    EXPECT_EQ(pixels->settings().at("rotationGeneratorName"), "random");
    EXPECT_DOUBLE_EQ(pixels->settings().at("rotationFraction").get<double>(), -1);

    auto abstract = std::make_shared<QRCode::PixelShape::Abstract>();
    builder.onPixels().shape(abstract).insetGenerator(*QRCode::PixelInset::Fixed::Create(), 0.5);
    EXPECT_TRUE(abstract->settings().empty());
}

TEST(Builder, ResultsKeptFromAChainOnTemporariesStayUsable) {
    // Every operation hands back a value: a reference would point into the
    // temporary stage (or builder) of the chain, gone at the semicolon.
    const auto circle = QRCodePixelShapeFactory::shared().named("circle");
    static_assert(!std::is_reference_v<decltype(QRCode::build().text(""))>);
    static_assert(!std::is_reference_v<decltype(QRCode::build().onPixels().shape(circle))>);
    static_assert(!std::is_reference_v<decltype(QRCode::build().content().data({}))>);
    static_assert(!std::is_reference_v<decltype(QRCode::build().background().cornerRadius(0))>);
    static_assert(!std::is_reference_v<decltype(QRCode::build().eye().mirrorEyePathsAroundQRCodeCenter(true))>);
    static_assert(!std::is_reference_v<decltype(QRCode::build().pupil().color("#000"))>);
    static_assert(
        !std::is_reference_v<decltype(QRCode::build().offPixels().extendOffPixelsIntoEmptyQRCodeComponents(true))>);

    const auto pixels = QRCode::build().text("kept").onPixels().shape(circle);
    const auto eye = pixels.eye().color("#ff0000");
    EXPECT_EQ(eye.builder.document(), pixels.builder.document());
    EXPECT_EQ(pixels.builder.document()->design()->shape()->onPixels(), circle);
    EXPECT_EQ(QRCode::detectQRStrings(*eye.generate().image(300)), std::vector<std::string>{"kept"});
}

TEST(Builder, WhenCallsTheBlockOnlyOnTrue) {
    auto builder = QRCode::build();
    int calls = 0;
    const Builder same = builder.when(false, [&](Builder&) { ++calls; });
    EXPECT_EQ(same.document(), builder.document());
    EXPECT_EQ(calls, 0);
    builder.when(true, [&](Builder& b) {
        ++calls;
        b.text("inside");
    });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(builder.document()->utf8String(), "inside");
}

TEST(Builder, LogoTemplates) {
    auto builder = QRCode::build().text("logo");
    const auto logo = solidImage(8, 8, {255, 0, 0, 255});
    // The positions are the presets of the same name.
    builder.logo(logo, Builder::LogoPosition::squareBottomRight(2));
    ASSERT_NE(builder.document()->logoTemplate(), nullptr);
    EXPECT_EQ(builder.document()->logoTemplate()->image(), logo);
    EXPECT_EQ(builder.document()->logoTemplate()->settings(),
              QRCode::LogoTemplate::SquareBottomRight(logo, 2)->settings());
    builder.logo(logo, Builder::LogoPosition::circleCenter());
    EXPECT_EQ(builder.document()->logoTemplate()->settings(), QRCode::LogoTemplate::CircleCenter(logo)->settings());

    const auto mask = solidImage(8, 8, {0, 0, 0, 255});
    builder.logo(logo, mask);
    auto tmpl = builder.document()->logoTemplate();
    EXPECT_TRUE(tmpl->useImageMasking());
    EXPECT_EQ(tmpl->maskImage(), mask);
    EXPECT_DOUBLE_EQ(tmpl->inset(), 0);

    builder.logo(logo, gfx::Rect{0.1, 0.2, 0.3, 0.4}, 1.5);
    tmpl = builder.document()->logoTemplate();
    const auto box = tmpl->path().boundingBox();
    EXPECT_DOUBLE_EQ(box.minX(), 0.1);
    EXPECT_DOUBLE_EQ(box.minY(), 0.2);
    EXPECT_DOUBLE_EQ(box.maxX(), 0.4);
    EXPECT_DOUBLE_EQ(box.maxY(), 0.6);
    EXPECT_DOUBLE_EQ(tmpl->inset(), 1.5);

    EXPECT_EQ(errorOf([&] { builder.logo(nullptr, Builder::LogoPosition::squareCenter()); }), QRCodeError::noImageSet);
    builder.logoTemplate(nullptr);
    EXPECT_EQ(builder.document()->logoTemplate(), nullptr);
}

// ---- Formatted content ----

TEST(FormattedContent, EveryKindBecomesItsPayload) {
    Document doc;
    doc.set(FormattedContent::base64(bytesOf("abc")));
    EXPECT_EQ(doc.utf8String(), "YWJj");
    doc.set(FormattedContent::rawData({}));
    ASSERT_TRUE(doc.data().has_value());
    EXPECT_TRUE(doc.data()->empty());
    doc.set(FormattedContent::phone("+1 555"));
    EXPECT_EQ(doc.utf8String(), "TEL:+1555");
    doc.set(FormattedContent::location(1, 2));
    EXPECT_EQ(doc.utf8String(), "geo:1.0,2.0?q=1.0,2.0");
    doc.set(FormattedContent::sms("+44 20", "Hi"));
    EXPECT_EQ(doc.utf8String(), "SMSTO:+4420:Hi");
    doc.set(FormattedContent::link(*QRCode::URL::fromString("https://x.org")));
    EXPECT_EQ(doc.utf8String(), "https://x.org");
    doc.set(FormattedContent::text("plain"));
    EXPECT_EQ(doc.utf8String(), "plain");
    using namespace std::chrono;
    const sys_seconds start = sys_days{2024y / 1 / 2} + hours{3};
    doc.set(FormattedContent::event("S", "L", start, start + hours{1}));
    EXPECT_EQ(doc.utf8String(), "BEGIN:VEVENT\r\nSUMMARY:S\r\nLOCATION:L\r\nDTSTART:20240102T030000Z\r\n"
                                "DTEND:20240102T040000Z\r\nEND:VEVENT");
    EXPECT_EQ(decodedStrings(*doc.cgImage(400)), std::vector<std::string>{*doc.utf8String()});
}

TEST(FormattedContent, FailingFormatterKeepsContentButUpdateKeepsNewLevel) {
    Document doc(std::string_view("before"), ErrorCorrection::low);
    EXPECT_EQ(errorOf([&] { doc.update(FormattedContent::location(std::nan(""), 0), ErrorCorrection::high); }),
              QRCodeError::invalidContent);
    EXPECT_EQ(doc.errorCorrection(), ErrorCorrection::high);
    EXPECT_EQ(doc.utf8String(), "before");
    EXPECT_EQ(errorOf([&] { doc.set(FormattedContent::phone("\xff")); }),
              QRCodeError::unableToConvertTextToRequestedEncoding);
    EXPECT_EQ(doc.utf8String(), "before");
}

TEST(FormattedContent, ConstructorAndEngineFailureIsOnlyPrinted) {
    const Document doc(FormattedContent::sms("1", "x"), ErrorCorrection::medium);
    EXPECT_EQ(doc.utf8String(), "SMSTO:1:x");
    EXPECT_EQ(doc.errorCorrection(), ErrorCorrection::medium);
    EXPECT_EQ(errorOf([] { Document(FormattedContent::location(0, INFINITY), ErrorCorrection::low); }),
              QRCodeError::invalidContent);

    Document big(std::string_view("small"), ErrorCorrection::high);
    CaptureStdout out;
    big.set(FormattedContent::text(std::string(3000, 'x')));
    EXPECT_EQ(out.text().rfind("QRCode.Document: Could not regenerate. Error was '", 0), 0u);
    EXPECT_EQ(big.utf8String()->size(), 3000u);
}

// ---- Detection ----

TEST(Detection, FindsRenderedSymbolWithBoundsInImageCoordinates) {
    const Document doc(std::string_view("detect me"), ErrorCorrection::medium);
    const auto symbol = doc.cgImage(300);
    const auto canvas = canvasWith({symbol}, 300);
    for (const auto accuracy : {DetectionAccuracy::low, DetectionAccuracy::high}) {
        const auto features = QRCode::QRCode::DetectQRCodes(*canvas, accuracy);
        ASSERT_EQ(features.size(), 1u);
        EXPECT_EQ(features[0].messageString, "detect me");
        EXPECT_EQ(features[0].messageBytes, bytesOf("detect me"));
        // The symbol sits at (40, 40) with a quiet zone inside its 300 pixels.
        const auto& b = features[0].bounds;
        EXPECT_GE(b.minX(), 40);
        EXPECT_GE(b.minY(), 40);
        EXPECT_LE(b.maxX(), 341);
        EXPECT_LE(b.maxY(), 341);
        EXPECT_GT(b.width(), 200);
        EXPECT_LT(features[0].topLeft.x, features[0].topRight.x);
        EXPECT_LT(features[0].topLeft.y, features[0].bottomLeft.y);
    }
    EXPECT_EQ(QRCode::QRCode::DetectQRCodesIn(doc.pngData(300)).at(0).messageString, "detect me");
}

TEST(Detection, NothingInBlankOrUnreadableImagesAndAccuracyFromRawValue) {
    EXPECT_EQ(QRCode::detectionAccuracy(0), DetectionAccuracy::low);
    EXPECT_EQ(QRCode::detectionAccuracy(1), DetectionAccuracy::high);
    EXPECT_FALSE(QRCode::detectionAccuracy(2).has_value());
    EXPECT_FALSE(QRCode::detectionAccuracy(-1).has_value());
    const auto blank = solidImage(200, 200, {255, 255, 255, 255});
    EXPECT_TRUE(QRCode::QRCode::DetectQRCodes(*blank, DetectionAccuracy::high).empty());
    EXPECT_TRUE(QRCode::QRCode::DetectQRStrings(*blank, DetectionAccuracy::low).empty());
    EXPECT_TRUE(QRCode::QRCode::DetectQRCodes(gfx::Image(), DetectionAccuracy::high).empty());
    EXPECT_TRUE(QRCode::QRCode::DetectQRCodesIn(bytesOf("not an image")).empty());
    EXPECT_TRUE(QRCode::QRCode::DetectQRCodesIn({}).empty());
}

TEST(Detection, SeveralSymbolsAndBinaryContent) {
    const Document a(std::string_view("first"), ErrorCorrection::medium);
    const Document b(std::string_view("second"), ErrorCorrection::medium);
    const std::vector<std::uint8_t> binary{0x00, 0x01, 0xfe, 0xff, 0x80, 0x7f};
    const Document c(std::span<const std::uint8_t>(binary), ErrorCorrection::medium);
    const auto canvas = canvasWith({a.cgImage(240), b.cgImage(240), c.cgImage(240)}, 240);
    const auto features = QRCode::QRCode::DetectQRCodes(*canvas, DetectionAccuracy::high);
    ASSERT_EQ(features.size(), 3u);
    std::vector<std::string> strings;
    int withoutText = 0;
    for (const auto& f : features) {
        if (f.messageString)
            strings.push_back(*f.messageString);
        else {
            ++withoutText;
            EXPECT_EQ(f.messageBytes, binary);
        }
    }
    std::sort(strings.begin(), strings.end());
    EXPECT_EQ(strings, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(withoutText, 1);
    EXPECT_EQ(QRCode::QRCode::DetectQRStrings(*canvas, DetectionAccuracy::high).size(), 2u);
    auto found = QRCode::detectQRStrings(*canvas); // the image-level form searches thoroughly
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(QRCode::detectQRStrings(gfx::Image()).empty());
}
