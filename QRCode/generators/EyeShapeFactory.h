#pragma once

#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/generators/GeneratorRegistry.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Image.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace QRCode {

// The registry of eye shape classes: finds them by Name, makes them from
// their stored form and draws preview images.
class QRCodeEyeShapeFactory : public ::QRCode::GeneratorRegistry<QRCodeEyeShapeGenerator> {
public:
    // The one shared factory, built on first use.
    static const QRCodeEyeShapeFactory& shared();

    // A factory over every eye shape class of the library.
    QRCodeEyeShapeFactory();

    // A preview of one eye with `pupil` (the eye's default pupil when null):
    // the 90 x 90 box scaled to dimension x dimension, y down, on a bitmap of
    // the truncated dimension in pixels; the eye background is drawn only
    // when its colour is given. Throws QRCodeException(cannotGenerateImage)
    // when the dimension is not finite or gives no bitmap.
    static gfx::ImagePtr image(QRCodeEyeShapeGenerator& eye, QRCodePupilShapeGenerator* pupil, double dimension,
                               const gfx::Color& foregroundColor,
                               const std::optional<gfx::Color>& backgroundColor = std::nullopt,
                               const std::optional<gfx::Color>& eyeBackgroundColor = std::nullopt);

    // (Name, preview) of every eye of the shared factory's all(), each with
    // its default pupil.
    static std::vector<std::pair<std::string, gfx::ImagePtr>> sampleImages(
        double dimension, const gfx::Color& foregroundColor,
        const std::optional<gfx::Color>& backgroundColor = std::nullopt,
        const std::optional<gfx::Color>& eyeBackgroundColor = std::nullopt);
};

} // namespace QRCode
