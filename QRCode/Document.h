#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/document/ChangeNotifier.h"
#include "QRCode/core/Components.h"
#include "QRCode/encoding/Content.h"
#include "QRCode/design/Design.h"
#include "QRCode/core/ErrorCorrection.h"
#include "QRCode/design/LogoTemplate.h"
#include "QRCode/QRCode.h"
#include "QRCode/encoding/QRCodeEngine.h"
#include "platform/foundation/SettingsValue.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Path.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace QRCode {

class QRCodeMessageFormatter;

} // namespace QRCode

namespace gfx {
class GraphicsContext;
}

namespace QRCode {

struct FormattedContent;

// An error of the document that is not a QRCodeError: a domain, a code and
// a description (what()). Loading JSON whose top level is not an object
// throws domain "QRCodeDocument", code -1, "Unable to decode object".
class DocumentError : public std::runtime_error {
public:
    DocumentError(std::string domain, int code, const std::string& description)
        : std::runtime_error(description), domain_(std::move(domain)), code_(code) {}
    const std::string& domain() const noexcept { return domain_; }
    int code() const noexcept { return code_; }

private:
    std::string domain_;
    int code_;
};

// One content to encode, its error-correction level, a design, an optional
// logo and the module matrix generated from them.
//
// Every change of content, level, design, logo or engine regenerates the
// matrix at once. A setter that cannot regenerate keeps the new value and the
// previous matrix and prints one line on standard output; the initialisers,
// the throwing text and message setters, the updates and loading throw the
// engine's QRCodeException instead. While the last regeneration has failed
// the matrix belongs to older values, so the image, PDF and SVG exports
// throw QRCodeException(cannotGenerateQRCode) until a regeneration succeeds.
//
// Shared by reference (std::shared_ptr) between the application and its
// views; no lock: callers must not change a document while another thread
// renders it.
class Document {
public:
    using Bytes = std::vector<std::uint8_t>;
    // Typed content (QRCode/FormattedContent.h).
    using FormattedContent = ::QRCode::FormattedContent;

    // The formats of exportData().
    struct ExportType {
        struct PNG {
            double dpi = 72;
        };
        struct JPG {
            double dpi = 72;
            double compression = 0.9;
        };
        struct TIFF {
            double dpi = 72;
        };
        struct PDF {
            double pdfResolution = 72;
        };
        struct SVG {};
        std::variant<PNG, JPG, TIFF, PDF, SVG> value;

        static ExportType png(double dpi) { return {PNG{dpi}}; }
        static ExportType jpg(double dpi, double compression) { return {JPG{dpi, compression}}; }
        static ExportType tiff(double dpi) { return {TIFF{dpi}}; }
        static ExportType pdf(double pdfResolution) { return {PDF{pdfResolution}}; }
        static ExportType svg() { return {SVG{}}; }
    };

    // ---- Initialisers. Each starts from level quartile, a fresh default
    // design and no logo, then generates; an engine failure throws and no
    // document exists. A null engine means a new default engine. ----

    // Zero bytes at level quartile with the default engine.
    Document();
    // Zero bytes at level quartile.
    explicit Document(std::shared_ptr<QRCodeEngine> engine);
    Document(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection,
             std::shared_ptr<QRCodeEngine> engine = nullptr);
    Document(std::string_view utf8String, ErrorCorrection errorCorrection,
             std::shared_ptr<QRCodeEngine> engine = nullptr);
    // The message's text when it has one, else its bytes.
    Document(const QRCodeMessageFormatter& message, ErrorCorrection errorCorrection,
             std::shared_ptr<QRCodeEngine> engine = nullptr);
    // Text content holding the URL's absolute string.
    static std::shared_ptr<Document> fromURL(std::string_view absoluteURLString, ErrorCorrection errorCorrection,
                                             std::shared_ptr<QRCodeEngine> engine = nullptr);

    // Zero bytes at the level, then set(formattedContent). The engine's and
    // the formatter's errors pass on.
    Document(const FormattedContent& formattedContent, ErrorCorrection errorCorrection,
             std::shared_ptr<QRCodeEngine> engine = nullptr);

    // A new document loaded from a settings dictionary or its JSON (see
    // load() and loadJsonData()).
    static std::shared_ptr<Document> Create(const SettingsDict& settings,
                                            std::shared_ptr<QRCodeEngine> engine = nullptr);
    static std::shared_ptr<Document> CreateFromJsonData(std::span<const std::uint8_t> jsonData,
                                                        std::shared_ptr<QRCodeEngine> engine = nullptr);
    static std::shared_ptr<Document> CreateFromJsonData(std::string_view jsonText,
                                                        std::shared_ptr<QRCodeEngine> engine = nullptr);

    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // ---- Properties. Every setter stores, then regenerates (report-only),
    // also when the value is unchanged. ----

    ErrorCorrection errorCorrection() const { return errorCorrection_; }
    void setErrorCorrection(ErrorCorrection errorCorrection);

    // The bytes of data content, else absent.
    std::optional<Bytes> data() const;
    // Data content; absent gives zero bytes.
    void setData(std::optional<Bytes> data);
    // The text of text content, else absent.
    std::optional<std::string> utf8String() const;
    // Text content; absent gives the empty text.
    void setUtf8String(std::optional<std::string> text);
    // The text of text content, else the standard base64 of the bytes.
    std::string decodedText() const;

    const Content& content() const { return content_; }
    void setContent(Content content);

    // The design itself (shared, not a copy). Changing it in place needs no
    // regeneration: the matrix does not depend on it.
    const DesignPtr& design() const { return design_; }
    // Null throws std::invalid_argument (a document always has a design).
    void setDesign(DesignPtr design);

    const LogoTemplatePtr& logoTemplate() const { return logoTemplate_; }
    // Null removes the logo.
    void setLogoTemplate(LogoTemplatePtr logoTemplate);

    const std::shared_ptr<QRCodeEngine>& engine() const { return qrcode_.engine(); }
    // Null installs a new default engine.
    void setEngine(std::shared_ptr<QRCodeEngine> engine);

    // The matrix holder (its engine and current matrix).
    const QRCode& qrcode() const { return qrcode_; }
    const BoolMatrix& boolMatrix() const { return qrcode_.boolMatrix(); }
    std::int64_t cellDimension() const { return qrcode_.cellDimension(); }
    // dimension / cellDimension(), unrounded.
    double cellSize(std::int64_t imageDimension) const { return qrcode_.cellSize(imageDimension); }

    // False after a regeneration failed, until the next one succeeds: the
    // matrix then no longer matches the content, level or engine.
    bool isMatrixCurrent() const { return matrixCurrent_; }

    // ---- Content operations that throw the engine's error. ----

    // Text content from the message's text; without text, data content from
    // its bytes. Throws the engine's error in both cases (the content stays
    // set, the previous matrix stays current).
    void setMessage(const QRCodeMessageFormatter& message);
    // Text content, then a throwing regeneration.
    void setText(std::string text);
    void setURL(std::string_view absoluteURLString) { setText(std::string(absoluteURLString)); }

    // Data content from the bytes (report-only regeneration at the stored
    // level), then the matrix from the bytes at `errorCorrection`, which is
    // not stored.
    void update(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection);
    // The matrix from the text (or the message's bytes) at the level; neither
    // content nor level changes.
    void update(std::string_view text, ErrorCorrection errorCorrection);
    void update(const QRCodeMessageFormatter& message, ErrorCorrection errorCorrection);

    // The payload of the typed content becomes the content (text for every
    // kind but raw bytes) through setContent, so an engine failure is only
    // printed. A formatter's error is thrown before anything changes.
    void set(const FormattedContent& formattedContent);
    // setErrorCorrection (report-only), then set(formattedContent): a
    // formatter's error leaves the new level and the old content.
    void update(const FormattedContent& formattedContent, ErrorCorrection errorCorrection);

    // A new document (default engine) with the same content, a copy of the
    // design, a copy of the logo and the same level. A failure to copy the
    // design passes on.
    std::shared_ptr<Document> copyDocument() const;

    // ---- Change notification. Setters send nothing: notifyChanged() tells
    // the subscribers on demand. ----
    [[nodiscard]] ChangeNotifier::Subscription observeChanges(ChangeNotifier::Callback callback) {
        return notifier_.subscribe(std::move(callback));
    }
    void notifyChanged() const { notifier_.notify(); }

    // ---- Drawing and paths. ----

    // Draws the whole code into `rect` of a context whose y axis grows down.
    void draw(gfx::GraphicsContext& ctx, const gfx::Rect& rect) const;
    // The outline of the components within `size`, inside the design's extra
    // quiet zone. A size too small for that quiet zone prints
    // "additionalQuietSpace too large" and gives an empty path.
    gfx::Path path(gfx::Size size, Components components) const;
    gfx::Path path(std::int64_t dimension, Components components) const;

    // ---- Exports (sizes in pixels). The renderer's and the image module's
    // errors pass on. ----

    gfx::ImagePtr cgImage(std::int64_t dimension) const;
    gfx::ImagePtr cgImage(double width, double height) const;
    gfx::ImagePtr cgImage(gfx::Size size) const;
    Bytes pngData(std::int64_t dimension, double dpi = 72) const;
    // The compression is clamped to 0...1 first.
    Bytes jpegData(std::int64_t dimension, double dpi, double compression) const;
    Bytes tiffData(std::int64_t dimension, double dpi = 72) const;
    // One page of size x 72 / pdfResolution points.
    Bytes pdfData(std::int64_t dimension, double pdfResolution = 72) const;
    Bytes pdfData(double width, double height, double pdfResolution) const;
    Bytes pdfData(gfx::Size size, double pdfResolution = 72) const;
    std::string svg(std::int64_t dimension) const;
    Bytes svgData(std::int64_t dimension) const;
    // One of the exports above, chosen by the type.
    Bytes exportData(const ExportType& type, std::int64_t dimension) const;

    // Text art of the current matrix (never fails).
    std::string asciiRepresentation() const { return qrcode_.asciiRepresentation(); }
    std::string smallAsciiRepresentation() const { return qrcode_.smallAsciiRepresentation(); }

    // ---- Settings and JSON. ----

    // {"correction", "design", "text" or "data", "logoTemplate" (with a
    // logo)}. The design's and the logo's errors pass on.
    SettingsDict settings() const;
    // Formatted: indented, keys sorted; otherwise compact. A number that is
    // not finite throws foundation::JsonError.
    Bytes jsonData(bool formatted) const;
    std::string jsonStringFormatted() const;
    // Content, level, design and logo from the dictionary, each through its
    // setter; an unreadable design or logo keeps the current one (loading
    // never removes a logo). Then a throwing regeneration.
    void load(const SettingsDict& settings);
    // Parses JSON (a parse error, text nested deeper than
    // foundation::maxJsonDepth included, passes on as nlohmann::json::parse_error);
    // a top level that is not an object throws DocumentError("QRCodeDocument",
    // -1, "Unable to decode object").
    void loadJsonData(std::span<const std::uint8_t> jsonData);
    void loadJsonData(std::string_view jsonText);

    // ---- Design transfer and templates. ----

    // A copy of the source's design (and, when asked, a copy of its logo or
    // no logo when it has none). Content and level stay. A failure to copy
    // the design changes nothing.
    void applyDesign(const Document& source, bool includeLogoTemplate);
    // The same applied to a copy of this document.
    std::shared_ptr<Document> applyingDesign(const Document& source, bool includeLogoTemplate) const;

    // A document from template JSON with its content replaced by `text`.
    // Throws when the template cannot be loaded or the text cannot be
    // encoded with the template's level.
    static std::shared_ptr<Document> UsingTemplate(std::span<const std::uint8_t> templateJSONData,
                                                   std::string_view text);
    static Bytes PNGUsingTemplate(std::span<const std::uint8_t> templateJSONData, std::string_view text,
                                  std::int64_t dimension);
    static Bytes PDFUsingTemplate(std::span<const std::uint8_t> templateJSONData, std::string_view text,
                                  std::int64_t dimension, double resolution);

private:
    struct InitTag {};
    Document(InitTag, Content content, ErrorCorrection errorCorrection, std::shared_ptr<QRCodeEngine> engine);

    // One regeneration from content and level; throws the engine's error.
    void regenerate();
    // The same, printing the failure instead of throwing.
    void regenerateReportingErrors();
    // Throws cannotGenerateQRCode unless the matrix matches the document.
    void requireCurrentMatrix() const;

    ErrorCorrection errorCorrection_ = ErrorCorrection::quartile;
    DesignPtr design_;
    LogoTemplatePtr logoTemplate_;
    QRCode qrcode_;
    Content content_;
    bool matrixCurrent_ = true;
    ChangeNotifier notifier_;
};

using DocumentPtr = std::shared_ptr<Document>;

// One-call conveniences: a throw-away document of the text (default engine)
// rendered once.
gfx::ImagePtr makeImage(std::string_view text, std::int64_t dimension, const gfx::Color& foregroundColor,
                        const gfx::Color& backgroundColor, ErrorCorrection errorCorrection);
gfx::ImagePtr makeImage(std::string_view text, std::int64_t dimension, ErrorCorrection errorCorrection,
                        std::shared_ptr<Shape> shape, std::shared_ptr<Style> style);
gfx::Path makePath(std::string_view text, std::int64_t dimension, Components components,
                   ErrorCorrection errorCorrection, std::shared_ptr<Shape> shape);

} // namespace QRCode
