#include "QRCode/Document.h"

#include "QRCode/QRCodeError.h"
#include "QRCode/document/QRCodeMessageFormatter.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/Diagnostics.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace QRCode {

namespace {

QRCode makeHolder(const Content& content, ErrorCorrection errorCorrection, std::shared_ptr<QRCodeEngine> engine) {
    if (const std::string* text = content.textValue())
        return QRCode(std::string_view(*text), errorCorrection, std::move(engine));
    return QRCode(std::span<const std::uint8_t>(*content.dataValue()), errorCorrection, std::move(engine));
}

Content messageContent(const QRCodeMessageFormatter& message) {
    if (std::optional<std::string> text = message.text()) return Content::text(std::move(*text));
    return Content::data(message.data());
}

} // namespace

// ---- Initialisers ----

Document::Document(InitTag, Content content, ErrorCorrection errorCorrection, std::shared_ptr<QRCodeEngine> engine)
    : errorCorrection_(errorCorrection), design_(Design::create()),
      qrcode_(makeHolder(content, errorCorrection, std::move(engine))), content_(std::move(content)) {}

Document::Document() : Document(InitTag{}, Content(), ErrorCorrection::quartile, nullptr) {}

Document::Document(std::shared_ptr<QRCodeEngine> engine)
    : Document(InitTag{}, Content(), ErrorCorrection::quartile, std::move(engine)) {}

Document::Document(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection,
                   std::shared_ptr<QRCodeEngine> engine)
    : Document(InitTag{}, Content::data(Bytes(data.begin(), data.end())), errorCorrection, std::move(engine)) {}

Document::Document(std::string_view utf8String, ErrorCorrection errorCorrection, std::shared_ptr<QRCodeEngine> engine)
    : Document(InitTag{}, Content::text(std::string(utf8String)), errorCorrection, std::move(engine)) {}

Document::Document(const QRCodeMessageFormatter& message, ErrorCorrection errorCorrection,
                   std::shared_ptr<QRCodeEngine> engine)
    : Document(InitTag{}, messageContent(message), errorCorrection, std::move(engine)) {}

std::shared_ptr<Document> Document::fromURL(std::string_view absoluteURLString, ErrorCorrection errorCorrection,
                                            std::shared_ptr<QRCodeEngine> engine) {
    return std::make_shared<Document>(absoluteURLString, errorCorrection, std::move(engine));
}

// ---- Regeneration ----

void Document::regenerate() {
    try {
        qrcode_.update(content_, errorCorrection_);
    } catch (...) {
        matrixCurrent_ = false;
        throw;
    }
    matrixCurrent_ = true;
}

void Document::regenerateReportingErrors() {
    try {
        regenerate();
    } catch (const std::exception& error) {
        foundation::diagnostic(std::string("QRCode.Document: Could not regenerate. Error was '") + error.what() + "'");
    }
}

void Document::requireCurrentMatrix() const {
    if (!matrixCurrent_) throw QRCodeException(QRCodeError::cannotGenerateQRCode);
}

// ---- Properties ----

void Document::setErrorCorrection(ErrorCorrection errorCorrection) {
    errorCorrection_ = errorCorrection;
    regenerateReportingErrors();
}

std::optional<Document::Bytes> Document::data() const {
    if (const Bytes* bytes = content_.dataValue()) return *bytes;
    return std::nullopt;
}

void Document::setData(std::optional<Bytes> data) { setContent(Content::data(data ? std::move(*data) : Bytes())); }

std::optional<std::string> Document::utf8String() const {
    if (const std::string* text = content_.textValue()) return *text;
    return std::nullopt;
}

void Document::setUtf8String(std::optional<std::string> text) {
    setContent(Content::text(text ? std::move(*text) : std::string()));
}

std::string Document::decodedText() const {
    if (const std::string* text = content_.textValue()) return *text;
    return foundation::base64Encode(*content_.dataValue());
}

void Document::setContent(Content content) {
    content_ = std::move(content);
    regenerateReportingErrors();
}

void Document::setDesign(DesignPtr design) {
    if (!design) throw std::invalid_argument("QRCode::Document::setDesign: a document needs a design");
    design_ = std::move(design);
    regenerateReportingErrors();
}

void Document::setLogoTemplate(LogoTemplatePtr logoTemplate) {
    logoTemplate_ = std::move(logoTemplate);
    regenerateReportingErrors();
}

void Document::setEngine(std::shared_ptr<QRCodeEngine> engine) {
    qrcode_.setEngine(std::move(engine)); // null installs a new default engine
    regenerateReportingErrors();
}

// ---- Content operations ----

void Document::setMessage(const QRCodeMessageFormatter& message) {
    // Both kinds of message report an engine failure to the caller.
    setContent(messageContent(message));
    regenerate();
}

void Document::setText(std::string text) {
    setContent(Content::text(std::move(text)));
    regenerate();
}

void Document::update(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection) {
    const Bytes bytes(data.begin(), data.end()); // `data` may view the current content
    setContent(Content::data(bytes));
    qrcode_.update(std::span<const std::uint8_t>(bytes), errorCorrection);
    matrixCurrent_ = true;
}

void Document::update(std::string_view text, ErrorCorrection errorCorrection) {
    qrcode_.update(text, errorCorrection);
    matrixCurrent_ = true;
}

void Document::update(const QRCodeMessageFormatter& message, ErrorCorrection errorCorrection) {
    qrcode_.update(message, errorCorrection);
    matrixCurrent_ = true;
}

std::shared_ptr<Document> Document::copyDocument() const {
    auto copy = std::make_shared<Document>();
    copy->setContent(content_);
    copy->setDesign(design_->copy());
    copy->setLogoTemplate(logoTemplate_ ? logoTemplate_->copyLogoTemplate() : nullptr);
    copy->setErrorCorrection(errorCorrection_);
    return copy;
}

// ---- Drawing and paths ----

void Document::draw(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const {
    qrcode_.draw(ctx, rect, *design_, logoTemplate_.get());
}

gfx::Path Document::path(gfx::Size size, Components components) const {
    const auto q = static_cast<double>(design_->additionalQuietZonePixels());
    const auto n = static_cast<double>(cellDimension());
    const double quiet = size.width / (2 * q + n) * q;
    const double border = 2 * quiet;
    if (!(size.width > border)) {
        foundation::diagnostic("additionalQuietSpace too large");
        return gfx::Path();
    }
    const Shape& shape = *design_->shape();
    if (shape.negatedOnPixelsOnly()) components.formUnion(Components::negatedOnPixels());
    return qrcode_.path(gfx::Size{size.width - border, size.height - border}, components, shape, logoTemplate_.get(),
                        quiet, shape.extendOffPixelsIntoEmptyQRCodeComponents(),
                        shape.mirrorEyePathsAroundQRCodeCenter());
}

gfx::Path Document::path(std::int64_t dimension, Components components) const {
    const auto d = static_cast<double>(dimension);
    return path(gfx::Size{d, d}, components);
}

// ---- Exports ----

gfx::ImagePtr Document::cgImage(std::int64_t dimension) const {
    const auto d = static_cast<double>(dimension);
    return cgImage(gfx::Size{d, d});
}

gfx::ImagePtr Document::cgImage(double width, double height) const { return cgImage(gfx::Size{width, height}); }

gfx::ImagePtr Document::cgImage(gfx::Size size) const {
    requireCurrentMatrix();
    return qrcode_.cgImage(size, *design_, logoTemplate_.get());
}

Document::Bytes Document::pngData(std::int64_t dimension, double dpi) const {
    requireCurrentMatrix();
    return qrcode_.pngData(dimension, dpi, *design_, logoTemplate_.get());
}

Document::Bytes Document::jpegData(std::int64_t dimension, double dpi, double compression) const {
    requireCurrentMatrix();
    // NaN counts as "0 or less"; the clamp never hands on a value outside 0...1.
    const double clamped = compression > 0 ? std::min(compression, 1.0) : 0.0;
    return qrcode_.jpegData(dimension, dpi, *design_, logoTemplate_.get(), clamped);
}

Document::Bytes Document::tiffData(std::int64_t dimension, double dpi) const {
    requireCurrentMatrix();
    // No compression value: the encoder's own default.
    return qrcode_.tiffData(dimension, dpi, *design_, logoTemplate_.get(), std::numeric_limits<double>::infinity());
}

Document::Bytes Document::pdfData(std::int64_t dimension, double pdfResolution) const {
    const auto d = static_cast<double>(dimension);
    return pdfData(gfx::Size{d, d}, pdfResolution);
}

Document::Bytes Document::pdfData(double width, double height, double pdfResolution) const {
    return pdfData(gfx::Size{width, height}, pdfResolution);
}

Document::Bytes Document::pdfData(gfx::Size size, double pdfResolution) const {
    requireCurrentMatrix();
    return qrcode_.pdfData(size, pdfResolution, *design_, logoTemplate_.get());
}

std::string Document::svg(std::int64_t dimension) const {
    requireCurrentMatrix();
    return qrcode_.svg(dimension, *design_, logoTemplate_.get());
}

Document::Bytes Document::svgData(std::int64_t dimension) const {
    requireCurrentMatrix();
    return qrcode_.svgData(dimension, *design_, logoTemplate_.get());
}

Document::Bytes Document::exportData(const ExportType& type, std::int64_t dimension) const {
    struct Visitor {
        const Document& document;
        std::int64_t dimension;
        Bytes operator()(const ExportType::PNG& t) const { return document.pngData(dimension, t.dpi); }
        Bytes operator()(const ExportType::JPG& t) const { return document.jpegData(dimension, t.dpi, t.compression); }
        Bytes operator()(const ExportType::TIFF& t) const { return document.tiffData(dimension, t.dpi); }
        Bytes operator()(const ExportType::PDF& t) const { return document.pdfData(dimension, t.pdfResolution); }
        Bytes operator()(const ExportType::SVG&) const { return document.svgData(dimension); }
    };
    return std::visit(Visitor{*this, dimension}, type.value);
}

// ---- One-call conveniences ----

gfx::ImagePtr makeImage(std::string_view text, std::int64_t dimension, const gfx::Color& foregroundColor,
                        const gfx::Color& backgroundColor, ErrorCorrection errorCorrection) {
    const Document document(text, errorCorrection);
    document.design()->foregroundColor(foregroundColor).backgroundColor(backgroundColor);
    return document.cgImage(dimension);
}

gfx::ImagePtr makeImage(std::string_view text, std::int64_t dimension, ErrorCorrection errorCorrection,
                        std::shared_ptr<Shape> shape, std::shared_ptr<Style> style) {
    const Document document(text, errorCorrection);
    if (shape) document.design()->setShape(std::move(shape));
    if (style) document.design()->setStyle(std::move(style));
    return document.cgImage(dimension);
}

gfx::Path makePath(std::string_view text, std::int64_t dimension, Components components,
                   ErrorCorrection errorCorrection, std::shared_ptr<Shape> shape) {
    const Document document(text, errorCorrection);
    if (shape) document.design()->setShape(std::move(shape));
    return document.path(dimension, components);
}

} // namespace QRCode
