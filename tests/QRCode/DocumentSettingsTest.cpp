#include "QRCode/Document.h"
#include "tests/QRCode/TestDrawing.h"
#include "tests/QRCode/ErrorOf.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/QRCodeError.h"
#include "image-read-write/ImageLoading.h"
#include "image-read-write/ImageReadWriteError.h"
#include "platform/detector/QRDetector.h"
#include "platform/foundation/Json.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

using QRCode::BoolMatrix;
using QRCode::QRCodeError;
using QRCode::QRCodeException;

using QRCode::Document;
using QRCode::ErrorCorrection;
using QRCode::LogoTemplate;

namespace {

using qrcodetest::errorOf;

gfx::ImagePtr logoImage(int w, int h) {
    auto image = std::make_shared<gfx::Image>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->setPixel(x, y, gfx::Pixel{std::uint8_t(x * 20), 40, 200, std::uint8_t(x < w / 2 ? 255 : 128)});
    return image;
}

std::string text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::shared_ptr<Document> styledDocument() {
    auto doc = std::make_shared<Document>("styled", ErrorCorrection::high);
    doc->design()->foregroundColor(gfx::Color::sRGB(0.2, 0, 0.6, 1)).backgroundColor(gfx::Color::sRGB(1, 1, 0.9, 1));
    doc->design()->setAdditionalQuietZonePixels(3);
    return doc;
}

} // namespace

TEST(DocumentSettings, DictionaryKeysFollowTheContent) {
    auto doc = styledDocument();
    const auto settings = doc->settings();
    EXPECT_EQ(settings["correction"], "H");
    EXPECT_EQ(settings["text"], "styled");
    EXPECT_FALSE(settings.contains("data"));
    EXPECT_FALSE(settings.contains("logoTemplate"));
    EXPECT_EQ(settings["design"], doc->design()->settings());
    EXPECT_EQ(settings.size(), 3u);

    doc->setData(std::vector<std::uint8_t>{0, 1, 2, 250});
    EXPECT_EQ(doc->settings()["data"], "AAEC+g==");
    EXPECT_FALSE(doc->settings().contains("text"));

    doc->setLogoTemplate(LogoTemplate::CircleCenter(logoImage(8, 8)));
    EXPECT_TRUE(doc->settings()["logoTemplate"].is_object());
}

TEST(DocumentSettings, JsonIsIndentedWithSortedKeysAndRoundTrips) {
    auto doc = styledDocument();
    doc->setLogoTemplate(LogoTemplate::CircleBottomRight(logoImage(10, 6), 2.5));
    const auto json = doc->jsonData(true);
    const std::string formatted = text(json);
    EXPECT_EQ(formatted, doc->jsonStringFormatted());
    EXPECT_EQ(formatted.rfind("{\n  \"correction\": \"H\",\n  \"design\": {", 0), 0u) << formatted.substr(0, 80);
    const auto correction = formatted.find("\"correction\"");
    const auto design = formatted.find("\n  \"design\"");
    const auto logo = formatted.find("\n  \"logoTemplate\"");
    const auto textKey = formatted.find("\n  \"text\"");
    EXPECT_LT(correction, design);
    EXPECT_LT(design, logo);
    EXPECT_LT(logo, textKey);
    const std::string compact = text(doc->jsonData(false));
    EXPECT_EQ(compact.find('\n'), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(compact), nlohmann::json::parse(formatted));

    // Text, level, design and logo come back as they were written.
    const auto loaded = Document::CreateFromJsonData(json);
    EXPECT_EQ(loaded->jsonData(true), json);
    EXPECT_EQ(loaded->logoTemplate()->image()->width(), 10);
    EXPECT_EQ(loaded->boolMatrix(), doc->boolMatrix());

    // Bytes survive too, and the engine stays the one the caller chose.
    doc->setData(std::vector<std::uint8_t>{9, 8, 7, 0});
    const auto external = std::make_shared<QRCode::QRCodeEngineExternal>();
    const auto fromSettings = Document::Create(doc->settings(), external);
    EXPECT_EQ(fromSettings->data(), (std::vector<std::uint8_t>{9, 8, 7, 0}));
    EXPECT_EQ(fromSettings->engine(), external);
}

TEST(DocumentSettings, LoadingOrderDefaultsAndKeptValues) {
    auto doc = styledDocument();
    const auto logo = LogoTemplate::SquareCenter(logoImage(4, 4));
    doc->setLogoTemplate(logo);
    const auto designSettings = doc->design()->settings();

    // An empty dictionary: zero bytes, quartile, design and logo kept.
    doc->load(nlohmann::json::object());
    EXPECT_EQ(doc->data(), std::vector<std::uint8_t>{});
    EXPECT_EQ(doc->errorCorrection(), ErrorCorrection::quartile);
    EXPECT_EQ(doc->design()->settings(), designSettings);
    EXPECT_EQ(doc->logoTemplate(), logo);

    // "data" wins; invalid base64 falls through to "text".
    doc->load({{"data", "AAE="}, {"text", "t"}});
    EXPECT_EQ(doc->data(), (std::vector<std::uint8_t>{0, 1}));
    doc->load({{"data", "AA E="}, {"text", "t"}});
    EXPECT_EQ(doc->utf8String(), "t");
    doc->load({{"data", 12}});
    EXPECT_EQ(doc->data(), std::vector<std::uint8_t>{});

    for (const auto& [value, level] :
         std::vector<std::pair<nlohmann::json, ErrorCorrection>>{{"high", ErrorCorrection::high},
                                                                 {"h", ErrorCorrection::high},
                                                                 {"low", ErrorCorrection::low},
                                                                 {"M", ErrorCorrection::medium},
                                                                 {"", ErrorCorrection::quartile},
                                                                 {"x", ErrorCorrection::quartile},
                                                                 {3, ErrorCorrection::quartile}}) {
        doc->setErrorCorrection(ErrorCorrection::low == level ? ErrorCorrection::high : ErrorCorrection::low);
        doc->load({{"correction", value}});
        EXPECT_EQ(doc->errorCorrection(), level) << value;
    }

    // A logo that cannot be read, or none, never removes the current one;
    // an unreadable design keeps the current one.
    doc->load({{"logoTemplate", {{"image", "not an image"}}}, {"design", "not a dictionary"}});
    EXPECT_EQ(doc->logoTemplate(), logo);
    EXPECT_EQ(doc->design()->settings(), designSettings);
    doc->load({{"logoTemplate", nlohmann::json::array()}});
    EXPECT_EQ(doc->logoTemplate(), logo);
}

TEST(DocumentSettings, LoadReportsOnlyTheFinalRegeneration) {
    Document doc("before", ErrorCorrection::high);
    const BoolMatrix good = doc.boolMatrix();
    const std::string big(2000, 'z');
    testing::internal::CaptureStdout();
    EXPECT_EQ(errorOf([&] { doc.load({{"text", big}, {"correction", "H"}}); }), QRCodeError::cannotGenerateImage);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("QRCode.Document: Could not regenerate."), std::string::npos);
    EXPECT_EQ(doc.utf8String(), big);
    EXPECT_EQ(doc.errorCorrection(), ErrorCorrection::high);
    EXPECT_EQ(doc.boolMatrix(), good);
    EXPECT_THROW(doc.pngData(100), QRCodeException);
}

TEST(DocumentSettings, MalformedJsonErrors) {
    Document doc;
    for (const std::string json : {"[1, 2]", "\"text\"", "12", "null"}) {
        try {
            doc.loadJsonData(json);
            ADD_FAILURE() << json;
        } catch (const QRCode::DocumentError& e) {
            EXPECT_EQ(e.domain(), "QRCodeDocument");
            EXPECT_EQ(e.code(), -1);
            EXPECT_STREQ(e.what(), "Unable to decode object");
        }
    }
    // Text that is not JSON at all: the parser's own error.
    EXPECT_THROW(doc.loadJsonData("{\"text\": "), nlohmann::json::parse_error);
    EXPECT_THROW(Document::CreateFromJsonData(std::string_view("")), nlohmann::json::parse_error);
    EXPECT_THROW(Document::CreateFromJsonData(std::string_view("[]")), QRCode::DocumentError);
}

TEST(DocumentSettings, FillSettingsNestedTooDeeplyAreRefusedNotWalked) {
    // Once the tree was copied recursively and 50,000 levels ended the process.
    const std::size_t depth = 100000;
    const std::string prefix =
        R"({"text": "deep", "design": {"style": {"onPixels": {"type": "solid", "settings": {"x": )";
    const std::string text = prefix + std::string(depth, '[') + std::string(depth, ']') + "}}}}}";
    Document doc("kept", ErrorCorrection::low);
    EXPECT_THROW(doc.loadJsonData(text), nlohmann::json::parse_error);
    EXPECT_EQ(*doc.content().textValue(), "kept");

    // The same tree handed over as settings: the design is unreadable and
    // the document keeps its own, like any other unreadable design.
    foundation::SettingsValue junk = 1;
    for (std::size_t i = 0; i < depth; ++i) {
        foundation::SettingsValue array = foundation::SettingsValue::array();
        array.push_back(std::move(junk));
        junk = std::move(array);
    }
    foundation::SettingsDict settings = foundation::parseJson(prefix + "0}}}}}");
    settings["design"]["style"]["onPixels"]["settings"]["x"] = std::move(junk);
    const auto loaded = Document::Create(settings);
    EXPECT_EQ(*loaded->content().textValue(), "deep");
    EXPECT_EQ(loaded->design()->settings(), Document().design()->settings());
    EXPECT_THROW(QRCode::Design::Create(settings["design"]), QRCodeException);
    EXPECT_THROW(QRCode::QRCodeFillStyleFactory::shared().Create(settings["design"]["style"]["onPixels"]),
                 QRCodeException);
}

TEST(DocumentSettings, NonFiniteNumbersInTheDesignFailTheJson) {
    Document doc("nan", ErrorCorrection::low);
    doc.design()->style()->setBackgroundFractionalCornerRadius(std::numeric_limits<double>::infinity());
    EXPECT_THROW(doc.jsonData(false), foundation::JsonError);
    EXPECT_THROW(doc.jsonData(true), foundation::JsonError);
    EXPECT_THROW(doc.jsonStringFormatted(), foundation::JsonError);
}

TEST(DocumentDesign, ApplyDesignCopiesDesignAndOptionallyTheLogo) {
    auto source = styledDocument();
    source->setLogoTemplate(LogoTemplate::CircleCenter(logoImage(6, 6), 1));
    Document receiver("receiver", ErrorCorrection::low);
    const BoolMatrix matrix = receiver.boolMatrix();

    receiver.applyDesign(*source, false);
    EXPECT_EQ(receiver.design()->settings(), source->design()->settings());
    EXPECT_NE(receiver.design(), source->design());
    EXPECT_FALSE(receiver.logoTemplate());
    EXPECT_EQ(receiver.utf8String(), "receiver");
    EXPECT_EQ(receiver.errorCorrection(), ErrorCorrection::low);
    EXPECT_EQ(receiver.boolMatrix(), matrix);

    receiver.applyDesign(*source, true);
    ASSERT_TRUE(receiver.logoTemplate());
    EXPECT_NE(receiver.logoTemplate(), source->logoTemplate());
    EXPECT_EQ(receiver.logoTemplate()->inset(), 1);

    // Editing the source afterwards leaves the receiver alone.
    const auto applied = receiver.design()->settings();
    source->design()->foregroundColor(gfx::Color::sRGB(1, 0, 0, 1));
    source->design()->setAdditionalQuietZonePixels(9);
    EXPECT_EQ(receiver.design()->settings(), applied);

    // With the logo from a source without one: the logo goes; without: it stays.
    Document plain("plain", ErrorCorrection::low);
    receiver.applyDesign(plain, false);
    EXPECT_TRUE(receiver.logoTemplate());
    receiver.applyDesign(plain, true);
    EXPECT_FALSE(receiver.logoTemplate());

    // Into a copy: the receiver does not change.
    const auto before = receiver.design()->settings();
    const auto copy = receiver.applyingDesign(*source, true);
    EXPECT_EQ(receiver.design()->settings(), before);
    EXPECT_EQ(copy->design()->settings(), source->design()->settings());
    EXPECT_TRUE(copy->logoTemplate());
    EXPECT_EQ(copy->utf8String(), "receiver");
}

TEST(DocumentDesign, CopyDocumentSharesNothingAndUsesTheDefaultEngine) {
    auto source = styledDocument();
    source->setEngine(std::make_shared<QRCode::QRCodeEngineExternal>());
    source->setLogoTemplate(LogoTemplate(logoImage(5, 5), logoImage(5, 5)).copyLogoTemplate());
    const auto copy = source->copyDocument();
    EXPECT_EQ(copy->utf8String(), source->utf8String());
    EXPECT_EQ(copy->errorCorrection(), ErrorCorrection::high);
    EXPECT_EQ(copy->engine()->name(), "coreimage");
    EXPECT_NE(copy->design(), source->design());
    EXPECT_EQ(copy->design()->settings(), source->design()->settings());
    ASSERT_TRUE(copy->logoTemplate());
    EXPECT_NE(copy->logoTemplate(), source->logoTemplate());
    EXPECT_TRUE(copy->logoTemplate()->useImageMasking());
    EXPECT_TRUE(copy->logoTemplate()->maskImage());
}

// A logo that leaves the modules under it visible (the right half of the
// picture is half transparent, so they show through) stays so in a copied
// document and in a design transferred with its logo: each renders exactly
// like the source and stores the same settings.
TEST(DocumentDesign, CopiesOfALogoThatShowsTheModulesRenderLikeTheSource) {
    gfx::Path box;
    box.addRect(gfx::Rect(0.3, 0.3, 0.4, 0.4));
    auto source = styledDocument();
    source->setLogoTemplate(std::make_shared<LogoTemplate>(logoImage(8, 8), box, 0, false));
    const auto png = source->pngData(240);
    Document masked("styled", ErrorCorrection::high);
    masked.setDesign(source->design()->copy());
    masked.setLogoTemplate(std::make_shared<LogoTemplate>(logoImage(8, 8), box, 0, true));
    ASSERT_NE(masked.pngData(240), png); // masking shows in the picture

    const auto copy = source->copyDocument();
    EXPECT_EQ(copy->pngData(240), png);
    EXPECT_EQ(copy->settings(), source->settings());
    masked.applyDesign(*source, true);
    EXPECT_EQ(masked.pngData(240), png);
    EXPECT_EQ(Document("styled", ErrorCorrection::high).applyingDesign(*source, true)->pngData(240), png);
}

// A logo whose picture cannot be stored fails the document's settings and
// JSON rather than writing them without it (they would load without a logo).
TEST(DocumentSettings, ALogoThatCannotBeStoredFailsTheSettings) {
    auto doc = styledDocument();
    doc->setLogoTemplate(LogoTemplate::CircleCenter(std::make_shared<gfx::Image>()));
    EXPECT_THROW(doc->settings(), ImageReadWriteException);
    EXPECT_THROW(doc->jsonData(true), ImageReadWriteException);
}

TEST(DocumentTemplates, TemplatesKeepTheLookAndTakeTheText) {
    auto model = styledDocument();
    // A template whose logo carries a mask image keeps it.
    model->setLogoTemplate(LogoTemplate(logoImage(6, 6), logoImage(6, 6)).copyLogoTemplate());
    const auto doc = Document::UsingTemplate(model->jsonData(false), "https://example.org/new");
    EXPECT_EQ(doc->utf8String(), "https://example.org/new");
    EXPECT_EQ(doc->errorCorrection(), ErrorCorrection::high);
    EXPECT_EQ(doc->design()->settings(), model->design()->settings());
    ASSERT_TRUE(doc->logoTemplate());
    EXPECT_TRUE(doc->logoTemplate()->maskImage());

    model->setLogoTemplate(LogoTemplate::CircleCenter(logoImage(6, 6)));
    const auto templateJson = model->jsonData(false);

    const auto png = Document::PNGUsingTemplate(templateJson, "from template", 400);
    const auto found = platform::detectQRCodes(*ImageReadWrite::load(png));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text, "from template");
    const auto pdf = Document::PDFUsingTemplate(templateJson, "pdf", 100, 72);
    EXPECT_EQ(text(pdf).substr(0, 5), "%PDF-");

    // A text that the template's level cannot hold fails with the engine's
    // error, which names the cause; it never exports the template's own
    // content, and no document whose matrix is not its text's is handed out.
    const std::string tooLong(2000, 'q');
    testing::internal::CaptureStdout();
    EXPECT_EQ(errorOf([&] { Document::PNGUsingTemplate(templateJson, tooLong, 100); }),
              QRCodeError::cannotGenerateImage);
    EXPECT_EQ(errorOf([&] { Document::PDFUsingTemplate(templateJson, tooLong, 100, 72); }),
              QRCodeError::cannotGenerateImage);
    EXPECT_EQ(errorOf([&] { Document::UsingTemplate(templateJson, tooLong); }), QRCodeError::cannotGenerateImage);
    testing::internal::GetCapturedStdout();
    EXPECT_THROW(Document::UsingTemplate(qrcodetest::bytesOf("[]"), "x"), QRCode::DocumentError);
}

// The fuzzers start from these documents: a seed whose logo is dropped as
// unreadable would never lead them into drawing logos, and without seeds
// for each way a logo hides modules (by its path, by its picture's own
// transparency, by a mask picture of another size) they would reach only
// the ways they have. The same holds of what the inputs generator makes,
// but for the PNG bombs and the pictures larger than a document may carry,
// which are made to be refused.
TEST(DocumentSettings, EverySeedDocumentWithALogoLoadsItAndEachWayOfMaskingHasSeeds) {
    testsupport::TempDir generated;
    ASSERT_EQ(testsupport::runCommand("/usr/bin/python3 '" +
                                      (testsupport::sourceDir() / "fuzz/make_inputs.py").string() + "' '" +
                                      generated.path().string() + "'"),
              0);
    for (const auto& folder : {testsupport::sourceDir() / "fuzz/corpus/document", generated / "document"}) {
        SCOPED_TRACE(folder);
        int byPath = 0, byTransparency = 0, byMaskPicture = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename();
            if (name.starts_with("png-bomb") || name.starts_with("big-")) continue;
            const std::string text = testsupport::readTextFile(entry.path());
            // Among the documents without a logo are some too deep to parse.
            if (text.find("\"logoTemplate\"") == std::string::npos) continue;
            const nlohmann::json tree = foundation::parseJson(text);
            const auto* logo = foundation::settingEntry(tree, "logoTemplate");
            if (!logo || !logo->is_object()) continue;
            Document document;
            document.load(tree);
            ASSERT_TRUE(document.logoTemplate()) << name;
            const LogoTemplate& loaded = *document.logoTemplate();
            EXPECT_FALSE(loaded.path().isEmpty()) << name;
            if (const auto& mask = loaded.maskImage()) {
                EXPECT_TRUE(loaded.useImageMasking()) << name;
                EXPECT_NE(std::pair(mask->width(), mask->height()),
                          std::pair(loaded.image()->width(), loaded.image()->height()))
                    << name;
                ++byMaskPicture;
            } else {
                ++(loaded.useImageMasking() ? byTransparency : byPath);
            }
        }
        EXPECT_GE(byPath, 2);
        EXPECT_GE(byTransparency, 1);
        EXPECT_GE(byMaskPicture, 1);
    }
}
