// The document's settings dictionary and JSON, design transfer and templates.
#include "QRCode/Document.h"

#include "QRCode/QRCodeError.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/Json.h"

namespace QRCode {

namespace {

constexpr const char* kCorrection = "correction";
constexpr const char* kDesign = "design";
constexpr const char* kText = "text";
constexpr const char* kData = "data";
constexpr const char* kLogoTemplate = "logoTemplate";

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

} // namespace

SettingsDict Document::settings() const {
    SettingsDict result = SettingsDict::object();
    result[kCorrection] = std::string(errorCorrectionLetter(errorCorrection_));
    result[kDesign] = design_->settings();
    if (const std::string* text = content_.textValue())
        result[kText] = *text;
    else
        result[kData] = foundation::base64Encode(*content_.dataValue());
    if (logoTemplate_) result[kLogoTemplate] = logoTemplate_->settings();
    return result;
}

Document::Bytes Document::jsonData(bool formatted) const {
    const std::string text = foundation::writeJson(settings(), formatted ? foundation::JsonStyle::formatted
                                                                         : foundation::JsonStyle::compact);
    return Bytes(text.begin(), text.end());
}

std::string Document::jsonStringFormatted() const {
    const std::string text = foundation::writeJson(settings(), foundation::JsonStyle::formatted);
    // The writer refuses text that is not UTF-8, so this holds; the check
    // keeps the promise should the writer ever change.
    if (!isValidUTF8(text)) throw QRCodeException(QRCodeError::cannotGenerateJSON);
    return text;
}

void Document::load(const SettingsDict& settings) {
    // 1. Content: "data" when it decodes, else "text", else zero bytes.
    std::optional<Content> content;
    if (const auto data = foundation::settingString(settings, kData)) {
        if (auto bytes = foundation::base64Decode(*data)) content = Content::data(std::move(*bytes));
    }
    if (!content) {
        if (auto text = foundation::settingString(settings, kText)) content = Content::text(std::move(*text));
    }
    setContent(content ? std::move(*content) : Content());

    // 2. Level: always set; no usable letter gives quartile.
    const auto letter = foundation::settingString(settings, kCorrection);
    setErrorCorrection(letter ? errorCorrectionFromSettingsString(*letter) : defaultErrorCorrection);

    // 3. Design: only a readable dictionary replaces the current one.
    if (const SettingsValue* design = foundation::settingEntry(settings, kDesign); design && design->is_object()) {
        std::shared_ptr<Design> loaded;
        try {
            loaded = Design::Create(*design);
        } catch (const std::exception&) {
            loaded = nullptr; // an unreadable design keeps the current one
        }
        if (loaded) setDesign(std::move(loaded));
    }

    // 4. Logo: only a readable dictionary replaces it; loading never removes one.
    if (const SettingsValue* logo = foundation::settingEntry(settings, kLogoTemplate); logo && logo->is_object()) {
        std::shared_ptr<LogoTemplate> loaded;
        try {
            loaded = LogoTemplate::Create(*logo);
        } catch (const std::exception&) {
            loaded = nullptr;
        }
        if (loaded) setLogoTemplate(std::move(loaded));
    }

    // 5. The one failure that loading reports.
    regenerate();
}

void Document::loadJsonData(std::span<const std::uint8_t> jsonData) {
    const SettingsValue parsed = foundation::parseJson(jsonData);
    if (!parsed.is_object()) throw DocumentError("QRCodeDocument", -1, "Unable to decode object");
    load(parsed);
}

void Document::loadJsonData(std::string_view jsonText) { loadJsonData(bytesOf(jsonText)); }

std::shared_ptr<Document> Document::Create(const SettingsDict& settings, std::shared_ptr<QRCodeEngine> engine) {
    auto document = std::make_shared<Document>(std::move(engine));
    document->load(settings);
    return document;
}

std::shared_ptr<Document> Document::CreateFromJsonData(std::span<const std::uint8_t> jsonData,
                                                       std::shared_ptr<QRCodeEngine> engine) {
    auto document = std::make_shared<Document>(std::move(engine));
    document->loadJsonData(jsonData);
    return document;
}

std::shared_ptr<Document> Document::CreateFromJsonData(std::string_view jsonText,
                                                       std::shared_ptr<QRCodeEngine> engine) {
    return CreateFromJsonData(bytesOf(jsonText), std::move(engine));
}

// ---- Design transfer ----

void Document::applyDesign(const Document& source, bool includeLogoTemplate) {
    // Copy first: a failure leaves this document as it was.
    DesignPtr design = source.design_->copy();
    LogoTemplatePtr logo;
    if (includeLogoTemplate && source.logoTemplate_) logo = source.logoTemplate_->copyLogoTemplate();
    setDesign(std::move(design));
    if (includeLogoTemplate) setLogoTemplate(std::move(logo));
}

std::shared_ptr<Document> Document::applyingDesign(const Document& source, bool includeLogoTemplate) const {
    auto copy = copyDocument();
    copy->applyDesign(source, includeLogoTemplate);
    return copy;
}

// ---- Templates ----

std::shared_ptr<Document> Document::UsingTemplate(std::span<const std::uint8_t> templateJSONData,
                                                  std::string_view text) {
    auto document = CreateFromJsonData(templateJSONData);
    // A text that cannot be encoded fails here rather than leaving the
    // template's own content in the matrix.
    document->setText(std::string(text));
    return document;
}

Document::Bytes Document::PNGUsingTemplate(std::span<const std::uint8_t> templateJSONData, std::string_view text,
                                           std::int64_t dimension) {
    return UsingTemplate(templateJSONData, text)->pngData(dimension, 72);
}

Document::Bytes Document::PDFUsingTemplate(std::span<const std::uint8_t> templateJSONData, std::string_view text,
                                           std::int64_t dimension, double resolution) {
    return UsingTemplate(templateJSONData, text)->pdfData(dimension, resolution);
}

} // namespace QRCode
