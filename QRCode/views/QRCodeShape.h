#pragma once

#include "QRCode/core/Components.h"
#include "QRCode/encoding/Content.h"
#include "QRCode/core/ErrorCorrection.h"
#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/design/LogoTemplate.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "QRCode/generators/PupilShapeGenerator.h"
#include "QRCode/QRCode.h"
#include "QRCode/encoding/QRCodeEngine.h"
#include "QRCode/design/Shape.h"

#include <QPainterPath>
#include <QRectF>

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace QRCode {
class QRCodeMessageFormatter;
}

// An immutable value that outlines chosen parts of one symbol as a painter
// path, for painting with any brush or pen. The content is encoded when the
// value is made or derived, never while outlining. A content that cannot be
// encoded prints one line and outlines an empty matrix.
//
// Copies share the design shape, logo and matrix; derived values get their
// own matrix and copies of the design shape and logo, and share the engine.
class QRCodeShape {
public:
    QRCodeShape(std::span<const std::uint8_t> data, QRCode::ErrorCorrection errorCorrection,
                QRCode::Components components, std::shared_ptr<QRCode::Shape> shape,
                QRCode::LogoTemplatePtr logoTemplate = nullptr, std::shared_ptr<QRCode::QRCodeEngine> engine = nullptr);
    QRCodeShape(std::string_view text, QRCode::ErrorCorrection errorCorrection, QRCode::Components components,
                std::shared_ptr<QRCode::Shape> shape, QRCode::LogoTemplatePtr logoTemplate = nullptr,
                std::shared_ptr<QRCode::QRCodeEngine> engine = nullptr);
    // The message's bytes, read once.
    QRCodeShape(const QRCode::QRCodeMessageFormatter& message, QRCode::ErrorCorrection errorCorrection,
                QRCode::Components components, std::shared_ptr<QRCode::Shape> shape,
                QRCode::LogoTemplatePtr logoTemplate = nullptr, std::shared_ptr<QRCode::QRCodeEngine> engine = nullptr);

    // The outline laid out from (0, 0) to the rectangle's size (its origin
    // is not used), eyes mirrored around the centre, off pixels not
    // extended, no extra quiet space.
    QPainterPath path(const QRectF& rect) const;

    // Derived values; the receiver stays as it is.
    QRCodeShape errorCorrection(QRCode::ErrorCorrection errorCorrection) const;
    QRCodeShape components(QRCode::Components components) const;
    // A copy of the given design shape replaces the receiver's.
    QRCodeShape shape(const QRCode::Shape& shape) const;
    QRCodeShape onPixels(std::shared_ptr<QRCode::QRCodePixelShapeGenerator> generator) const;
    // Other names for onPixels() and shape().
    QRCodeShape pixels(std::shared_ptr<QRCode::QRCodePixelShapeGenerator> generator) const {
        return onPixels(std::move(generator));
    }
    QRCodeShape pixelShape(std::shared_ptr<QRCode::QRCodePixelShapeGenerator> generator) const {
        return onPixels(std::move(generator));
    }
    QRCodeShape withDesignShape(const QRCode::Shape& shape) const { return this->shape(shape); }
    // Null clears the off-pixel generator.
    QRCodeShape offPixels(std::shared_ptr<QRCode::QRCodePixelShapeGenerator> generator) const;
    // Also clears the pupil generator.
    QRCodeShape eye(std::shared_ptr<QRCode::QRCodeEyeShapeGenerator> generator) const;
    // Null clears the pupil generator (the eye's own pupil is drawn).
    QRCodeShape pupil(std::shared_ptr<QRCode::QRCodePupilShapeGenerator> generator) const;
    // Stored as given.
    QRCodeShape logoTemplate(QRCode::LogoTemplatePtr logoTemplate) const;

    const QRCode::Content& content() const { return content_; }
    const std::shared_ptr<QRCode::Shape>& designShape() const { return shape_; }
    QRCode::Components componentSet() const { return components_; }
    QRCode::ErrorCorrection errorCorrectionLevel() const { return errorCorrection_; }
    const QRCode::LogoTemplatePtr& logo() const { return logoTemplate_; }
    const QRCode::QRCode& qrcode() const { return *qrcode_; }

private:
    QRCodeShape(QRCode::Content content, QRCode::ErrorCorrection errorCorrection, QRCode::Components components,
                std::shared_ptr<QRCode::Shape> shape, QRCode::LogoTemplatePtr logoTemplate,
                std::shared_ptr<QRCode::QRCodeEngine> engine, bool replaceEngine);
    // A derived value: copies of shape and logo (unless given), same engine.
    QRCodeShape derive(std::shared_ptr<QRCode::Shape> shape, QRCode::LogoTemplatePtr logoTemplate, bool keepLogo,
                       QRCode::Components components, QRCode::ErrorCorrection errorCorrection) const;

    QRCode::Content content_;
    std::shared_ptr<QRCode::Shape> shape_;
    QRCode::Components components_;
    QRCode::ErrorCorrection errorCorrection_;
    QRCode::LogoTemplatePtr logoTemplate_;
    std::shared_ptr<const QRCode::QRCode> qrcode_;
};
