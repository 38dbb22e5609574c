#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/generators/GeneratorRegistry.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Image.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace QRCode {

// The registry of pixel shape classes: finds them by Name, makes them from
// their stored form and draws preview images.
class QRCodePixelShapeFactory : public ::QRCode::GeneratorRegistry<QRCodePixelShapeGenerator> {
public:
    // The one shared factory, built on first use.
    static const QRCodePixelShapeFactory& shared();

    // A factory over every pixel shape class of the library.
    QRCodePixelShapeFactory();

    // The 7 x 7 sample matrix that previews use when given none.
    static const BoolMatrix& sampleMatrix();

    // A preview: `generator` drawing `samplePixelMatrix` (or the sample
    // matrix) in a dimension x dimension square, row 0 at the top, on a
    // bitmap of the truncated dimension in pixels. With isOn false the
    // off-modules are drawn instead. Throws
    // QRCodeException(cannotGenerateImage) when the dimension is not finite
    // or gives no bitmap.
    static gfx::ImagePtr image(QRCodePixelShapeGenerator& generator, double dimension,
                               const gfx::Color& foregroundColor,
                               const std::optional<gfx::Color>& backgroundColor = std::nullopt,
                               const BoolMatrix* samplePixelMatrix = nullptr, bool isOn = true);

    // (Name, preview) of every generator of all(), in that order.
    std::vector<std::pair<std::string, gfx::ImagePtr>> sampleImages(
        double dimension, const gfx::Color& foregroundColor,
        const std::optional<gfx::Color>& backgroundColor = std::nullopt,
        const BoolMatrix* samplePixelMatrix = nullptr) const;
};

} // namespace QRCode
