#pragma once

#include "QRCode/Document.h"
#include "QRCode/document/FormattedContent.h"
#include "QRCode/design/Shadow.h"
#include "QRCode/document/URL.h"
#include "image-read-write/ImageExportType.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Path.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace QRCode {

class QRCodeEyeShapeGenerator;
class QRCodeFillStyleGenerator;
class QRCodePixelInsetGenerator;
class QRCodePixelRotationGenerator;
class QRCodePixelShapeGenerator;
class QRCodePupilShapeGenerator;

} // namespace QRCode

namespace QRCode {

// A fluent front end over one document: short chained calls set content,
// level, colours, shapes, fills, shadow and logo, and an export of the
// Generate stage ends the chain. Every call writes straight into the
// document; nothing is buffered.
//
// A Builder is a handle: copies share the same document. The stage values
// (Content, Background, OnPixels, Eye, Pupil, OffPixels, Generate) hold the
// builder and nothing else; each stage offers its own operations and the
// accessors to every other stage and back to the builder. Every operation
// returns its stage (or builder) by value, so a result kept in a variable
// never refers to a temporary that has gone.
//
//   auto png = QRCode::build().text("hello").errorCorrection(ErrorCorrection::high)
//                  .onPixels().shape(circle).color(red)
//                  .eye().shape(squircle)
//                  .generate().pngData(512, 144);
class Builder {
public:
    struct Content;
    struct Foreground;
    struct Background;
    struct OnPixels;
    struct Eye;
    struct Pupil;
    struct OffPixels;
    struct Generate;

    // A logo placement with its inset (output units).
    struct LogoPosition {
        enum class Kind { circleCenter, circleBottomRight, squareCenter, squareBottomRight };
        Kind kind;
        double inset = 0;
        static LogoPosition circleCenter(double inset = 0) { return {Kind::circleCenter, inset}; }
        static LogoPosition circleBottomRight(double inset = 0) { return {Kind::circleBottomRight, inset}; }
        static LogoPosition squareCenter(double inset = 0) { return {Kind::squareCenter, inset}; }
        static LogoPosition squareBottomRight(double inset = 0) { return {Kind::squareBottomRight, inset}; }
    };

    // Part of the interface; no operation raises it.
    enum class BuilderError { cannotCreate, unableToEncodeText };

    // A fresh document: zero bytes at level quartile, default design.
    Builder();

    const std::shared_ptr<Document>& document() const { return document_; }

    // ---- Stages ----
    Content content() const;
    Foreground foreground() const;
    Background background() const;
    OnPixels onPixels() const;
    Eye eye() const;
    Pupil pupil() const;
    OffPixels offPixels() const;
    Generate generate() const;

    // ---- Content and level (regeneration failures are printed) ----
    Builder engine(std::shared_ptr<QRCodeEngine> engine);
    Builder text(std::string text);
    // Text content: the standard base-64 text of the bytes.
    Builder base64(std::span<const std::uint8_t> bytes);
    Builder url(const URL& url);
    // Throws the formatter's error; nothing changes then.
    Builder formattedContent(const FormattedContent& content);
    Builder errorCorrection(ErrorCorrection errorCorrection);

    // ---- Design ----
    Builder quietZonePixelCount(std::uint64_t pixels);
    Builder negatedOnPixelsOnly(bool negated);
    // Calls `block` with this builder only when `condition` holds.
    Builder when(bool condition, const std::function<void(Builder&)>& block);
    Builder foregroundColor(const gfx::Color& color);
    // Throws QRCodeException(invalidHexColorString); nothing changes then.
    Builder foregroundColor(std::string_view hexString);
    Builder backgroundColor(const gfx::Color& color);
    Builder backgroundColor(std::string_view hexString);
    // No shadow removes it.
    Builder shadow(std::optional<Shadow> shadow);
    Builder shadow(ShadowType type, gfx::Size offset, double blur, const gfx::Color& color);
    Builder shadow(ShadowType type, double dx, double dy, double blur, const gfx::Color& color);

    // ---- Logo (stored through the document, which regenerates) ----
    Builder logoTemplate(LogoTemplatePtr logoTemplate);
    // A null image throws QRCodeException(noImageSet).
    Builder logo(gfx::ImagePtr image, const LogoPosition& position);
    // The whole unit square, masked by the mask image's transparency.
    Builder logo(gfx::ImagePtr image, gfx::ImagePtr maskImage);
    // The unit-square rectangle as the logo's path.
    Builder logo(gfx::ImagePtr image, const gfx::Rect& unitRect, double inset);

private:
    std::shared_ptr<Document> document_;
};

// A new builder with a fresh document.
inline Builder build() { return Builder(); }

// What every stage shares: the builder and the ways to the other stages.
struct BuilderStage {
    Builder builder;

    Builder::Content content() const;
    Builder::Foreground foreground() const;
    Builder::Background background() const;
    Builder::OnPixels onPixels() const;
    Builder::Eye eye() const;
    Builder::Pupil pupil() const;
    Builder::OffPixels offPixels() const;
    Builder::Generate generate() const;

protected:
    Document& document() const { return *builder.document(); }
};

struct Builder::Content : BuilderStage {
    Content data(std::span<const std::uint8_t> bytes);
    // Regenerates from the message at level quartile, whatever the
    // document's level; neither content nor level changes. Throws the
    // engine's error (the previous matrix stays).
    Content message(const QRCodeMessageFormatter& message);
};

struct Builder::Foreground : BuilderStage {};

struct Builder::Background : BuilderStage {
    Background color(const gfx::Color& color);
    // An image fill holding the image.
    Background image(gfx::ImagePtr image);
    Background style(std::shared_ptr<QRCodeFillStyleGenerator> fill);
    // Stored as given.
    Background cornerRadius(double fraction);
};

struct Builder::OnPixels : BuilderStage {
    OnPixels shape(std::shared_ptr<QRCodePixelShapeGenerator> shape);
    OnPixels color(const gfx::Color& color);
    OnPixels color(std::string_view hexString);
    // Only the on-pixel fill; eye and pupil fills stay.
    OnPixels style(std::shared_ptr<QRCodeFillStyleGenerator> fill);
    OnPixels backgroundColor(const gfx::Color& color);
    OnPixels backgroundColor(std::string_view hexString);
    // When the on-pixel shape takes an inset generator: its name and the
    // fraction limited to 0...1 (not a number gives 0).
    OnPixels insetGenerator(const QRCodePixelInsetGenerator& generator, double fraction);
    // When the on-pixel shape takes a rotation generator: its name and the
    // fraction limited to -1...1 (not a number gives 0).
    OnPixels rotationGenerator(const QRCodePixelRotationGenerator& generator, double fraction);
};

struct Builder::Eye : BuilderStage {
    // Also removes the pupil shape, so the eye's default pupil is used.
    Eye shape(std::shared_ptr<QRCodeEyeShapeGenerator> shape);
    Eye color(const gfx::Color& color);
    Eye color(std::string_view hexString);
    Eye style(std::shared_ptr<QRCodeFillStyleGenerator> fill);
    Eye backgroundColor(const gfx::Color& color);
    Eye backgroundColor(std::string_view hexString);
    Eye mirrorEyePathsAroundQRCodeCenter(bool mirror);
};

struct Builder::Pupil : BuilderStage {
    Pupil shape(std::shared_ptr<QRCodePupilShapeGenerator> shape);
    Pupil color(const gfx::Color& color);
    Pupil color(std::string_view hexString);
    Pupil style(std::shared_ptr<QRCodeFillStyleGenerator> fill);
};

struct Builder::OffPixels : BuilderStage {
    OffPixels shape(std::shared_ptr<QRCodePixelShapeGenerator> shape);
    OffPixels color(const gfx::Color& color);
    OffPixels color(std::string_view hexString);
    OffPixels style(std::shared_ptr<QRCodeFillStyleGenerator> fill);
    OffPixels backgroundColor(const gfx::Color& color);
    OffPixels backgroundColor(std::string_view hexString);
    OffPixels extendOffPixelsIntoEmptyQRCodeComponents(bool extend);
};

// The exports; all but the path and the text art throw the document's errors.
struct Builder::Generate : BuilderStage {
    gfx::ImagePtr image(std::int64_t dimension) const;
    Document::Bytes imageData(std::int64_t dimension, const ImageExportType& type) const;
    Document::Bytes pngData(std::int64_t dimension, double dpi = 72) const;
    Document::Bytes jpegData(std::int64_t dimension, double dpi, double compression) const;
    Document::Bytes pdfData(std::int64_t dimension, double resolution = 72) const;
    Document::Bytes svgData(std::int64_t dimension) const;
    // Eye outlines, pupils and on-pixels.
    gfx::Path path(std::int64_t dimension) const;
    std::string asciiRepresentation() const;
    std::string smallAsciiRepresentation() const;
};

} // namespace QRCode
