#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/core/Components.h"
#include "QRCode/core/ErrorCorrection.h"
#include "QRCode/encoding/QRCodeEngine.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Path.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {
class GraphicsContext;
}
namespace QRCode {

class QRCodePixelShapeGenerator;
class QRCodeMessageFormatter;

} // namespace QRCode

namespace QRCode {

class Content;
enum class DetectionAccuracy : int;
struct QRCodeFeature;
class LogoTemplate;
class Shape;
class Design;

// Holds the module matrix of one symbol with the level it was made with and
// the engine that makes it. Every update asks the engine; a failed update
// throws the engine's QRCodeException and leaves matrix and level as they
// were. Used by one thread at a time. Not copyable (its engine serves one
// call at a time); `copy()` makes an independent holder.
class QRCode {
public:
    // File extension and type identifier of the library's document format.
    static constexpr std::string_view EncodingExtension = "qrjcode";
    static constexpr std::string_view EncodingUTI = "org.morvane.qrcode.encoding.qrjcode";

    // Default engine, empty matrix, level quartile; nothing is generated.
    QRCode();
    // The given engine (the default one when null), then an update with
    // empty data at level quartile.
    explicit QRCode(std::shared_ptr<QRCodeEngine> engine);
    // Bytes and a level with an engine (the default one when null).
    QRCode(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection,
           std::shared_ptr<QRCodeEngine> engine = nullptr);
    // UTF-8 text and a level with an engine (the default one when null).
    QRCode(std::string_view utf8String, ErrorCorrection errorCorrection,
           std::shared_ptr<QRCodeEngine> engine = nullptr);
    // The message's bytes and a level with an engine (the default one when null).
    QRCode(const QRCodeMessageFormatter& message, ErrorCorrection errorCorrection,
           std::shared_ptr<QRCodeEngine> engine = nullptr);

    QRCode(const QRCode&) = delete;
    QRCode& operator=(const QRCode&) = delete;
    QRCode(QRCode&&) noexcept = default;
    QRCode& operator=(QRCode&&) noexcept = default;

    const std::shared_ptr<QRCodeEngine>& engine() const { return engine_; }
    // A null engine installs the default engine.
    void setEngine(std::shared_ptr<QRCodeEngine> engine);

    const BoolMatrix& current() const { return current_; }
    ErrorCorrection currentErrorCorrection() const { return currentErrorCorrection_; }

    void update(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection);
    void update(std::string_view text, ErrorCorrection errorCorrection);
    // Text content through the engine's text path, data through its bytes path.
    void update(const Content& content, ErrorCorrection errorCorrection);
    // The message's bytes.
    void update(const QRCodeMessageFormatter& message, ErrorCorrection errorCorrection);

    const BoolMatrix& boolMatrix() const { return current_; }
    std::int64_t cellDimension() const { return current_.dimension(); }
    // The image dimension over the matrix dimension; not finite for an
    // empty matrix.
    double cellSize(std::int64_t imageDimension) const;

    // A new holder with the default engine and level quartile over an equal
    // matrix; the receiver's engine and level are not carried over.
    QRCode copy() const;

    // Text art: two characters per module (two full blocks or two spaces),
    // every row ended by a line feed.
    std::string asciiRepresentation() const;
    // Text art with two module rows per line of half blocks.
    std::string smallAsciiRepresentation() const;

    static bool canGenerateQRCode(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection,
                                  std::shared_ptr<QRCodeEngine> engine = nullptr);
    static bool canGenerateQRCode(std::string_view text, ErrorCorrection errorCorrection,
                                  std::shared_ptr<QRCodeEngine> engine = nullptr);

    // A new default engine (the platform filter's).
    static std::shared_ptr<QRCodeEngine> QRCodeDefaultEngine();
    // New instances of every engine: "coreimage", then "external".
    static std::vector<std::shared_ptr<QRCodeEngine>> QRCodeAvailableEngines();

    // ---- Detection (QRCode/Detection.h). None throws: an image without
    // codes, or one that cannot be read, gives an empty list. ----

    // The QR codes of the image in the detector's order.
    static std::vector<QRCodeFeature> DetectQRCodes(const gfx::Image& image, DetectionAccuracy accuracy);
    // The message of each code found that has one, in the same order.
    static std::vector<std::string> DetectQRStrings(const gfx::Image& image, DetectionAccuracy accuracy);
    // The QR codes of encoded image data (any format the image module
    // reads), searched with accuracy high.
    static std::vector<QRCodeFeature> DetectQRCodesIn(std::span<const std::uint8_t> encodedImage);

    // ---- Rendering ----

    // The outline of the chosen parts of the symbol laid out in `size` (the
    // area without the quiet zone), every part moved by
    // (additionalQuietSpace, additionalQuietSpace). The two flags are taken
    // from the arguments, not from the shape. An empty matrix gives the
    // zero rectangle. Never fails.
    gfx::Path path(gfx::Size size, Components components, const Shape& shape, const LogoTemplate* logoTemplate,
                   double additionalQuietSpace, bool extendOffPixelsIntoEmptyQRCodeComponents,
                   bool mirrorEyePathsAroundQRCodeCenter) const;
    gfx::Path path(double dimension, Components components, const Shape& shape, const LogoTemplate* logoTemplate,
                   double additionalQuietSpace, bool extendOffPixelsIntoEmptyQRCodeComponents,
                   bool mirrorEyePathsAroundQRCodeCenter) const {
        return path(gfx::Size{dimension, dimension}, components, shape, logoTemplate, additionalQuietSpace,
                    extendOffPixelsIntoEmptyQRCodeComponents, mirrorEyePathsAroundQRCodeCenter);
    }
    // The on-pixel path of `pixelShape` over a fixed 5 x 5 sample, for
    // previews. Throws the engine's error when no holder can be made with it.
    gfx::Path pixelShapeSamplePath(const std::shared_ptr<QRCodePixelShapeGenerator>& pixelShape, gfx::Size size) const;

    // Paints the design into `rect` of a context whose y axis grows
    // downward. Each layer is drawn between a save and a restore.
    void draw(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const Design& design,
              const LogoTemplate* logoTemplate) const;

    // A bitmap of the size (truncated to whole pixels), the top of the
    // symbol in its first row. Throws QRCodeException(cannotGenerateImage)
    // for a size that is not finite and positive or too large.
    gfx::ImagePtr cgImage(gfx::Size size, const Design& design, const LogoTemplate* logoTemplate) const;
    gfx::ImagePtr cgImage(std::int64_t dimension, const Design& design, const LogoTemplate* logoTemplate) const;

    // Longest side of a PDF page, in points (about 350 m): far beyond any
    // paper, a page's numbers would be written with hundreds of digits.
    static constexpr double kMaxPDFPageSide = 1e6;

    // A one-page PDF whose page is the size scaled by 72 / pdfResolution.
    // Throws QRCodeException(cannotGenerateImage), also for a page with a
    // side above kMaxPDFPageSide.
    std::vector<std::uint8_t> pdfData(gfx::Size size, double pdfResolution, const Design& design,
                                      const LogoTemplate* logoTemplate) const;
    std::vector<std::uint8_t> pdfData(std::int64_t dimension, double pdfResolution, const Design& design,
                                      const LogoTemplate* logoTemplate) const;

    // Encoded bitmaps at `dpi` (written into the file). A compression of
    // +infinity gives the encoder no quality. Throw the renderer's
    // QRCodeException or the image module's ImageReadWriteException.
    std::vector<std::uint8_t> pngData(gfx::Size size, double dpi, const Design& design,
                                      const LogoTemplate* logoTemplate) const;
    std::vector<std::uint8_t> pngData(std::int64_t dimension, double dpi, const Design& design,
                                      const LogoTemplate* logoTemplate) const;
    std::vector<std::uint8_t> jpegData(gfx::Size size, double dpi, const Design& design,
                                       const LogoTemplate* logoTemplate, double compression) const;
    std::vector<std::uint8_t> jpegData(std::int64_t dimension, double dpi, const Design& design,
                                       const LogoTemplate* logoTemplate, double compression) const;
    std::vector<std::uint8_t> tiffData(gfx::Size size, double dpi, const Design& design,
                                       const LogoTemplate* logoTemplate, double compression) const;
    std::vector<std::uint8_t> tiffData(std::int64_t dimension, double dpi, const Design& design,
                                       const LogoTemplate* logoTemplate, double compression) const;

    // The SVG 1.1 text of the design, `dimension` pixels a side. Throws the
    // fill styles' errors.
    std::string svg(std::int64_t dimension, const Design& design, const LogoTemplate* logoTemplate) const;
    std::vector<std::uint8_t> svgData(std::int64_t dimension, const Design& design,
                                      const LogoTemplate* logoTemplate) const;

private:
    std::shared_ptr<QRCodeEngine> engine_;
    BoolMatrix current_;
    ErrorCorrection currentErrorCorrection_ = ErrorCorrection::quartile;
};

// The text art of any matrix, as QRCode::asciiRepresentation and
// QRCode::smallAsciiRepresentation draw it.
std::string asciiRepresentation(const BoolMatrix& matrix);
std::string smallAsciiRepresentation(const BoolMatrix& matrix);

} // namespace QRCode
