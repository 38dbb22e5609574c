#include "QRCode/Builder.h"

#include "QRCode/core/Colors.h"
#include "QRCode/design/Design.h"
#include "QRCode/fills/ImageFill.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/design/LogoTemplate.h"
#include "QRCode/generators/PixelInsetGenerator.h"
#include "QRCode/generators/PixelRotationGenerator.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "QRCode/design/Shape.h"
#include "QRCode/design/Style.h"
#include "image-read-write/ImageEncoding.h"
#include "platform/foundation/Base64.h"

#include <cmath>

namespace QRCode {

namespace {

Shape& shapeOf(Document& document) { return *document.design()->shape(); }
Style& styleOf(Document& document) { return *document.design()->style(); }

std::shared_ptr<FillStyle::Solid> solid(const gfx::Color& color) { return FillStyle::Solid::make(color); }

// Hex colours are read in sRGB; a bad string throws before anything changes.
gfx::Color hexColor(std::string_view hexString) { return CGColorFromHexString(hexString); }

// Limits a fraction to lower...1; not a number gives 0.
double clampedFraction(double value, double lower) {
    if (std::isnan(value)) return 0;
    if (value <= lower) return lower;
    return value > 1 ? 1 : value;
}

// Writes a generator name and its fraction into the on-pixel shape, when
// the shape takes that generator.
void setPixelGenerator(Document& document, std::string_view nameKey, std::string_view name,
                       std::string_view fractionKey, double fraction) {
    const auto& pixels = shapeOf(document).onPixels();
    if (!pixels || !pixels->supportsSettingValueForKey(nameKey)) return;
    pixels->setSettingValue(SettingsValue(std::string(name)), nameKey);
    pixels->setSettingValue(SettingsValue(fraction), fractionKey);
}

} // namespace

// ---- Builder ----

Builder::Builder() : document_(std::make_shared<Document>()) {}

Builder::Content Builder::content() const { return {{*this}}; }
Builder::Foreground Builder::foreground() const { return {{*this}}; }
Builder::Background Builder::background() const { return {{*this}}; }
Builder::OnPixels Builder::onPixels() const { return {{*this}}; }
Builder::Eye Builder::eye() const { return {{*this}}; }
Builder::Pupil Builder::pupil() const { return {{*this}}; }
Builder::OffPixels Builder::offPixels() const { return {{*this}}; }
Builder::Generate Builder::generate() const { return {{*this}}; }

Builder Builder::engine(std::shared_ptr<QRCodeEngine> engine) {
    document_->setEngine(std::move(engine));
    return *this;
}

Builder Builder::text(std::string text) {
    document_->setContent(::QRCode::Content::text(std::move(text)));
    return *this;
}

Builder Builder::base64(std::span<const std::uint8_t> bytes) {
    document_->setContent(::QRCode::Content::text(foundation::base64Encode(bytes)));
    return *this;
}

Builder Builder::url(const URL& url) {
    document_->setContent(::QRCode::Content::text(url.absoluteString()));
    return *this;
}

Builder Builder::formattedContent(const FormattedContent& content) {
    document_->set(content);
    return *this;
}

Builder Builder::errorCorrection(ErrorCorrection errorCorrection) {
    document_->setErrorCorrection(errorCorrection);
    return *this;
}

Builder Builder::quietZonePixelCount(std::uint64_t pixels) {
    document_->design()->setAdditionalQuietZonePixels(pixels);
    return *this;
}

Builder Builder::negatedOnPixelsOnly(bool negated) {
    shapeOf(*document_).setNegatedOnPixelsOnly(negated);
    return *this;
}

Builder Builder::when(bool condition, const std::function<void(Builder&)>& block) {
    if (condition && block) block(*this);
    return *this;
}

Builder Builder::foregroundColor(const gfx::Color& color) {
    document_->design()->foregroundColor(color);
    return *this;
}

Builder Builder::foregroundColor(std::string_view hexString) { return foregroundColor(hexColor(hexString)); }

Builder Builder::backgroundColor(const gfx::Color& color) {
    document_->design()->backgroundColor(color);
    return *this;
}

Builder Builder::backgroundColor(std::string_view hexString) { return backgroundColor(hexColor(hexString)); }

Builder Builder::shadow(std::optional<Shadow> shadow) {
    styleOf(*document_).setShadow(std::move(shadow));
    return *this;
}

Builder Builder::shadow(ShadowType type, gfx::Size offset, double blur, const gfx::Color& color) {
    return shadow(Shadow(type, offset, blur, color));
}

Builder Builder::shadow(ShadowType type, double dx, double dy, double blur, const gfx::Color& color) {
    return shadow(Shadow(type, dx, dy, blur, color));
}

Builder Builder::logoTemplate(LogoTemplatePtr logoTemplate) {
    document_->setLogoTemplate(std::move(logoTemplate));
    return *this;
}

Builder Builder::logo(gfx::ImagePtr image, const LogoPosition& position) {
    using Kind = LogoPosition::Kind;
    const bool center = position.kind == Kind::circleCenter || position.kind == Kind::squareCenter;
    const bool circle = position.kind == Kind::circleCenter || position.kind == Kind::circleBottomRight;
    const double origin = center ? 0.375 : 0.7;
    const gfx::Rect rect{origin, origin, 0.25, 0.25};
    gfx::Path path;
    if (circle)
        path.addEllipse(rect);
    else
        path.addRect(rect);
    return logoTemplate(std::make_shared<LogoTemplate>(std::move(image), std::move(path), position.inset, true));
}

Builder Builder::logo(gfx::ImagePtr image, gfx::ImagePtr maskImage) {
    return logoTemplate(std::make_shared<LogoTemplate>(std::move(image), std::move(maskImage), true));
}

Builder Builder::logo(gfx::ImagePtr image, const gfx::Rect& unitRect, double inset) {
    gfx::Path path;
    path.addRect(unitRect);
    return logoTemplate(std::make_shared<LogoTemplate>(std::move(image), std::move(path), inset, true));
}

// ---- Ways between the stages ----

Builder::Content BuilderStage::content() const { return builder.content(); }
Builder::Foreground BuilderStage::foreground() const { return builder.foreground(); }
Builder::Background BuilderStage::background() const { return builder.background(); }
Builder::OnPixels BuilderStage::onPixels() const { return builder.onPixels(); }
Builder::Eye BuilderStage::eye() const { return builder.eye(); }
Builder::Pupil BuilderStage::pupil() const { return builder.pupil(); }
Builder::OffPixels BuilderStage::offPixels() const { return builder.offPixels(); }
Builder::Generate BuilderStage::generate() const { return builder.generate(); }

template <class Stage> Stage FillStage<Stage>::color(const gfx::Color& color) {
    return static_cast<Stage&>(*this).style(solid(color));
}

template <class Stage> Stage FillStage<Stage>::color(std::string_view hexString) { return color(hexColor(hexString)); }

template struct FillStage<Builder::OnPixels>;
template struct FillStage<Builder::Eye>;
template struct FillStage<Builder::Pupil>;
template struct FillStage<Builder::OffPixels>;

// ---- Content ----

Builder::Content Builder::Content::data(std::span<const std::uint8_t> bytes) {
    document().setData(Document::Bytes(bytes.begin(), bytes.end()));
    return *this;
}

Builder::Content Builder::Content::message(const QRCodeMessageFormatter& message) {
    document().update(message, ErrorCorrection::quartile);
    return *this;
}

// ---- Background ----

Builder::Background Builder::Background::color(const gfx::Color& color) {
    document().design()->backgroundColor(color);
    return *this;
}

Builder::Background Builder::Background::image(gfx::ImagePtr image) {
    styleOf(document()).setBackground(std::make_shared<FillStyle::Image>(std::move(image)));
    return *this;
}

Builder::Background Builder::Background::style(std::shared_ptr<QRCodeFillStyleGenerator> fill) {
    styleOf(document()).setBackground(std::move(fill));
    return *this;
}

Builder::Background Builder::Background::cornerRadius(double fraction) {
    styleOf(document()).setBackgroundFractionalCornerRadius(fraction);
    return *this;
}

// ---- On-pixels ----

Builder::OnPixels Builder::OnPixels::shape(std::shared_ptr<QRCodePixelShapeGenerator> shape) {
    shapeOf(document()).setOnPixels(std::move(shape));
    return *this;
}

Builder::OnPixels Builder::OnPixels::style(std::shared_ptr<QRCodeFillStyleGenerator> fill) {
    styleOf(document()).setOnPixels(std::move(fill));
    return *this;
}

Builder::OnPixels Builder::OnPixels::backgroundColor(const gfx::Color& color) {
    styleOf(document()).setOnPixelsBackground(color);
    return *this;
}

Builder::OnPixels Builder::OnPixels::backgroundColor(std::string_view hexString) {
    return backgroundColor(hexColor(hexString));
}

Builder::OnPixels Builder::OnPixels::insetGenerator(const QRCodePixelInsetGenerator& generator, double fraction) {
    setPixelGenerator(document(), "insetGeneratorName", insetGeneratorName(generator), "insetFraction",
                      clampedFraction(fraction, 0));
    return *this;
}

Builder::OnPixels Builder::OnPixels::rotationGenerator(const QRCodePixelRotationGenerator& generator, double fraction) {
    setPixelGenerator(document(), "rotationGeneratorName", rotationGeneratorName(generator), "rotationFraction",
                      clampedFraction(fraction, -1));
    return *this;
}

// ---- Eye ----

Builder::Eye Builder::Eye::shape(std::shared_ptr<QRCodeEyeShapeGenerator> shape) {
    shapeOf(document()).setEye(std::move(shape));
    shapeOf(document()).setPupil(nullptr);
    return *this;
}

Builder::Eye Builder::Eye::style(std::shared_ptr<QRCodeFillStyleGenerator> fill) {
    styleOf(document()).setEye(std::move(fill));
    return *this;
}

Builder::Eye Builder::Eye::backgroundColor(const gfx::Color& color) {
    styleOf(document()).setEyeBackground(color);
    return *this;
}

Builder::Eye Builder::Eye::backgroundColor(std::string_view hexString) { return backgroundColor(hexColor(hexString)); }

Builder::Eye Builder::Eye::mirrorEyePathsAroundQRCodeCenter(bool mirror) {
    shapeOf(document()).setMirrorEyePathsAroundQRCodeCenter(mirror);
    return *this;
}

// ---- Pupil ----

Builder::Pupil Builder::Pupil::shape(std::shared_ptr<QRCodePupilShapeGenerator> shape) {
    shapeOf(document()).setPupil(std::move(shape));
    return *this;
}

Builder::Pupil Builder::Pupil::style(std::shared_ptr<QRCodeFillStyleGenerator> fill) {
    styleOf(document()).setPupil(std::move(fill));
    return *this;
}

// ---- Off-pixels ----

Builder::OffPixels Builder::OffPixels::shape(std::shared_ptr<QRCodePixelShapeGenerator> shape) {
    shapeOf(document()).setOffPixels(std::move(shape));
    return *this;
}

Builder::OffPixels Builder::OffPixels::style(std::shared_ptr<QRCodeFillStyleGenerator> fill) {
    styleOf(document()).setOffPixels(std::move(fill));
    return *this;
}

Builder::OffPixels Builder::OffPixels::backgroundColor(const gfx::Color& color) {
    styleOf(document()).setOffPixelsBackground(color);
    return *this;
}

Builder::OffPixels Builder::OffPixels::backgroundColor(std::string_view hexString) {
    return backgroundColor(hexColor(hexString));
}

Builder::OffPixels Builder::OffPixels::extendOffPixelsIntoEmptyQRCodeComponents(bool extend) {
    shapeOf(document()).setExtendOffPixelsIntoEmptyQRCodeComponents(extend);
    return *this;
}

// ---- Exports ----

gfx::ImagePtr Builder::Generate::image(std::int64_t dimension) const { return document().cgImage(dimension); }

Document::Bytes Builder::Generate::imageData(std::int64_t dimension, const ImageExportType& type) const {
    const auto image = document().cgImage(dimension);
    return ImageReadWrite::imageData(*image, type);
}

Document::Bytes Builder::Generate::pngData(std::int64_t dimension, double dpi) const {
    return document().pngData(dimension, dpi);
}

Document::Bytes Builder::Generate::jpegData(std::int64_t dimension, double dpi, double compression) const {
    return document().jpegData(dimension, dpi, compression);
}

Document::Bytes Builder::Generate::pdfData(std::int64_t dimension, double resolution) const {
    return document().pdfData(dimension, resolution);
}

Document::Bytes Builder::Generate::svgData(std::int64_t dimension) const { return document().svgData(dimension); }

gfx::Path Builder::Generate::path(std::int64_t dimension) const {
    return document().path(dimension, Components::eyeOuter() | Components::eyePupil() | Components::onPixels());
}

std::string Builder::Generate::asciiRepresentation() const { return document().asciiRepresentation(); }

std::string Builder::Generate::smallAsciiRepresentation() const { return document().smallAsciiRepresentation(); }

} // namespace QRCode
