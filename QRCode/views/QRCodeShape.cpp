#include "QRCode/views/QRCodeShape.h"

#include "QRCode/document/QRCodeMessageFormatter.h"
#include "QRCode/views/ImageConversion.h"
#include "platform/foundation/Diagnostics.h"

#include <exception>
#include <string>

using QRCode::QRCodeEyeShapeGenerator;
using QRCode::QRCodeMessageFormatter;
using QRCode::QRCodePixelShapeGenerator;
using QRCode::QRCodePupilShapeGenerator;

namespace {

std::shared_ptr<QRCode::Shape> orDefault(std::shared_ptr<QRCode::Shape> shape) {
    return shape ? std::move(shape) : QRCode::Shape::create();
}

} // namespace

QRCodeShape::QRCodeShape(QRCode::Content content, QRCode::ErrorCorrection errorCorrection,
                         QRCode::Components components, std::shared_ptr<QRCode::Shape> shape,
                         QRCode::LogoTemplatePtr logoTemplate, std::shared_ptr<QRCode::QRCodeEngine> engine,
                         bool replaceEngine)
    : content_(std::move(content)), shape_(orDefault(std::move(shape))), components_(components),
      errorCorrection_(errorCorrection), logoTemplate_(std::move(logoTemplate)) {
    auto holder = std::make_shared<QRCode::QRCode>();
    if (replaceEngine && engine) holder->setEngine(std::move(engine));
    try {
        holder->update(content_, errorCorrection_);
    } catch (const std::exception& error) {
        foundation::diagnostic(std::string("QRCodeShape: Error creating shape. Error was '") + error.what() + "'");
    }
    qrcode_ = std::move(holder);
}

QRCodeShape::QRCodeShape(std::span<const std::uint8_t> data, QRCode::ErrorCorrection errorCorrection,
                         QRCode::Components components, std::shared_ptr<QRCode::Shape> shape,
                         QRCode::LogoTemplatePtr logoTemplate, std::shared_ptr<QRCode::QRCodeEngine> engine)
    : QRCodeShape(QRCode::Content::data(QRCode::Content::Bytes(data.begin(), data.end())), errorCorrection, components,
                  std::move(shape), std::move(logoTemplate), std::move(engine), true) {}

QRCodeShape::QRCodeShape(std::string_view text, QRCode::ErrorCorrection errorCorrection, QRCode::Components components,
                         std::shared_ptr<QRCode::Shape> shape, QRCode::LogoTemplatePtr logoTemplate,
                         std::shared_ptr<QRCode::QRCodeEngine> engine)
    : QRCodeShape(QRCode::Content::text(std::string(text)), errorCorrection, components, std::move(shape),
                  std::move(logoTemplate), std::move(engine), true) {}

QRCodeShape::QRCodeShape(const QRCodeMessageFormatter& message, QRCode::ErrorCorrection errorCorrection,
                         QRCode::Components components, std::shared_ptr<QRCode::Shape> shape,
                         QRCode::LogoTemplatePtr logoTemplate, std::shared_ptr<QRCode::QRCodeEngine> engine)
    : QRCodeShape(QRCode::Content::data(message.data()), errorCorrection, components, std::move(shape),
                  std::move(logoTemplate), std::move(engine), true) {}

QPainterPath QRCodeShape::path(const QRectF& rect) const {
    const gfx::Path outline = qrcode_->path(gfx::Size{rect.width(), rect.height()}, components_, *shape_,
                                            logoTemplate_.get(), 0, false, true);
    return QRCode::views::toQPainterPath(outline);
}

QRCodeShape QRCodeShape::derive(std::shared_ptr<QRCode::Shape> shape, QRCode::LogoTemplatePtr logoTemplate,
                                bool keepLogo, QRCode::Components components,
                                QRCode::ErrorCorrection errorCorrection) const {
    // A logo whose image cannot be duplicated is dropped from the new value.
    QRCode::LogoTemplatePtr logo =
        keepLogo ? (logoTemplate_ ? logoTemplate_->copyLogoTemplate() : nullptr) : std::move(logoTemplate);
    return QRCodeShape(content_, errorCorrection, components, std::move(shape), std::move(logo), qrcode_->engine(),
                       true);
}

QRCodeShape QRCodeShape::errorCorrection(QRCode::ErrorCorrection errorCorrection) const {
    return derive(shape_->copyShape(), nullptr, true, components_, errorCorrection);
}

QRCodeShape QRCodeShape::components(QRCode::Components components) const {
    return derive(shape_->copyShape(), nullptr, true, components, errorCorrection_);
}

QRCodeShape QRCodeShape::shape(const QRCode::Shape& shape) const {
    return derive(shape.copyShape(), nullptr, true, components_, errorCorrection_);
}

QRCodeShape QRCodeShape::onPixels(std::shared_ptr<QRCodePixelShapeGenerator> generator) const {
    auto copy = shape_->copyShape();
    if (generator) copy->setOnPixels(std::move(generator));
    return derive(std::move(copy), nullptr, true, components_, errorCorrection_);
}

QRCodeShape QRCodeShape::offPixels(std::shared_ptr<QRCodePixelShapeGenerator> generator) const {
    auto copy = shape_->copyShape();
    copy->setOffPixels(std::move(generator));
    return derive(std::move(copy), nullptr, true, components_, errorCorrection_);
}

QRCodeShape QRCodeShape::eye(std::shared_ptr<QRCodeEyeShapeGenerator> generator) const {
    auto copy = shape_->copyShape();
    if (generator)
        copy->setEye(std::move(generator));
    else
        copy->setPupil(nullptr);
    return derive(std::move(copy), nullptr, true, components_, errorCorrection_);
}

QRCodeShape QRCodeShape::pupil(std::shared_ptr<QRCodePupilShapeGenerator> generator) const {
    auto copy = shape_->copyShape();
    copy->setPupil(std::move(generator));
    return derive(std::move(copy), nullptr, true, components_, errorCorrection_);
}

QRCodeShape QRCodeShape::logoTemplate(QRCode::LogoTemplatePtr logoTemplate) const {
    return derive(shape_->copyShape(), std::move(logoTemplate), false, components_, errorCorrection_);
}
