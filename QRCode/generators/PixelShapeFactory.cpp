#include "QRCode/generators/PixelShapeFactory.h"

#include "QRCode/generators/pixel/Abstract.h"
#include "QRCode/generators/pixel/detail/BarAndPathShapeClasses.h"
#include "QRCode/generators/pixel/detail/TileAndRingShapeClasses.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/pixel/TemplateShapes.h"
#include "QRCode/generators/detail/SampleImageContext.h"

#include <array>

namespace QRCode {

namespace {

using ::QRCode::generatorClass;
using ::QRCode::PixelShapeClass;

// The pixel shapes that belong to the framework itself.
constexpr std::array<PixelShapeClass, 2> kFrameworkShapes{{
    generatorClass<::QRCode::PixelShape::Square, QRCodePixelShapeGenerator>(),
    generatorClass<::QRCode::PixelShape::Abstract, QRCodePixelShapeGenerator>(),
}};

// Every pixel shape family of the library, one line per family.
// A family module offers its classes as a list built with
// generatorClass<Class, Interface>(), e.g.
//   std::span<const PixelShapeClass> templatePixelShapes();
// The order only matters for equal titles, which the registry keeps.
std::vector<PixelShapeClass> registrationList() {
    return ::QRCode::concatenateFamilies<QRCodePixelShapeGenerator>({
        kFrameworkShapes,
        ::QRCode::PixelShape::templatePixelShapes(),
        ::QRCode::PixelShape::barAndPathShapeClasses(),
        ::QRCode::PixelShape::tileAndRingShapeClasses(),
    });
}

} // namespace

QRCodePixelShapeFactory::QRCodePixelShapeFactory() : GeneratorRegistry(registrationList()) {}

const QRCodePixelShapeFactory& QRCodePixelShapeFactory::shared() {
    static const QRCodePixelShapeFactory factory;
    return factory;
}

const BoolMatrix& QRCodePixelShapeFactory::sampleMatrix() {
    static const BoolMatrix matrix = [] {
        static constexpr int cells[49] = {
            0, 0, 0, 0, 0, 0, 0, //
            0, 0, 0, 1, 1, 0, 0, //
            0, 0, 0, 0, 1, 0, 0, //
            0, 1, 0, 1, 1, 1, 0, //
            0, 1, 1, 1, 1, 0, 0, //
            0, 0, 0, 1, 0, 1, 0, //
            0, 0, 0, 0, 0, 0, 0, //
        };
        return BoolMatrix::fromRawFlattenedInt(7, cells);
    }();
    return matrix;
}

gfx::ImagePtr QRCodePixelShapeFactory::image(QRCodePixelShapeGenerator& generator, double dimension,
                                             const gfx::Color& foregroundColor,
                                             const std::optional<gfx::Color>& backgroundColor,
                                             const BoolMatrix* samplePixelMatrix, bool isOn) {
    auto context = ::QRCode::detail::makeSampleContext(dimension, backgroundColor);
    const BoolMatrix& matrix = samplePixelMatrix != nullptr ? *samplePixelMatrix : sampleMatrix();
    const gfx::Size size{dimension, dimension};
    const gfx::Path path = isOn ? generator.generatePath(matrix, size) : generator.generatePath(matrix.flipped(), size);
    context->setFillColor(foregroundColor);
    context->fillPath(path, gfx::FillRule::nonZero);
    return ::QRCode::detail::finishSampleImage(*context);
}

std::vector<std::pair<std::string, gfx::ImagePtr>> QRCodePixelShapeFactory::sampleImages(
    double dimension, const gfx::Color& foregroundColor, const std::optional<gfx::Color>& backgroundColor,
    const BoolMatrix* samplePixelMatrix) const {
    std::vector<std::pair<std::string, gfx::ImagePtr>> images;
    for (const auto& generator : all()) {
        images.emplace_back(std::string(generator->name()),
                            image(*generator, dimension, foregroundColor, backgroundColor, samplePixelMatrix, true));
    }
    return images;
}

} // namespace QRCode
