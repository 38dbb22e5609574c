#pragma once

#include "QRCode/generators/GeneratorRegistry.h"
#include "QRCode/generators/PupilShapeGenerator.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Image.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace QRCode {

// The registry of pupil shape classes: finds them by Name, makes them from
// their stored form and draws preview images.
class QRCodePupilShapeFactory : public ::QRCode::GeneratorRegistry<QRCodePupilShapeGenerator> {
public:
    // The one shared factory, built on first use.
    static const QRCodePupilShapeFactory& shared();

    // A factory over every pupil shape class of the library.
    QRCodePupilShapeFactory();

    // A preview of one pupil at twice its size (the square 30...60 of the box
    // lands on 16...76 of a 90 box), scaled to dimension x dimension, y down,
    // on a bitmap of the truncated dimension in pixels. Throws
    // QRCodeException(cannotGenerateImage) when the dimension is not finite
    // or gives no bitmap.
    static gfx::ImagePtr image(QRCodePupilShapeGenerator& pupil, double dimension, const gfx::Color& foregroundColor,
                               const std::optional<gfx::Color>& backgroundColor = std::nullopt);

    // (Name, preview) of every pupil of the shared factory's all().
    static std::vector<std::pair<std::string, gfx::ImagePtr>> sampleImages(
        double dimension, const gfx::Color& foregroundColor,
        const std::optional<gfx::Color>& backgroundColor = std::nullopt);
};

} // namespace QRCode

namespace QRCode::detail {
// Whether the pupil is drawn with the design's pixel shape
// (PupilShape::UsePixelShape): previews draw two bars in its place.
bool isUsePixelShapePupil(const QRCodePupilShapeGenerator& pupil) noexcept;
} // namespace QRCode::detail
