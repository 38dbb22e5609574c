#include "QRCode/generators/PupilShapeFactory.h"

#include "QRCode/generators/pupil/BarPupils.h"
#include "QRCode/generators/pupil/CirclePupils.h"
#include "QRCode/generators/pupil/EmblemPupils.h"
#include "QRCode/generators/pupil/LeafPupils.h"
#include "QRCode/generators/pupil/PixelPupils.h"
#include "QRCode/generators/pupil/RoundedPupils.h"
#include "QRCode/generators/pupil/ShieldPupils.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/generators/pupil/UsePixelShape.h"
#include "QRCode/generators/detail/SampleImageContext.h"

#include <array>

namespace QRCode {

namespace {

using ::QRCode::generatorClass;
using ::QRCode::PupilShapeClass;

// The pupil shapes that belong to the framework itself.
constexpr std::array<PupilShapeClass, 1> kFrameworkPupils{{
    generatorClass<::QRCode::PupilShape::Square, QRCodePupilShapeGenerator>(),
}};

// Every pupil shape family of the library, one line per family.
// A family module offers its classes as a list built with
// generatorClass<Class, Interface>(), e.g.
//   std::span<const PupilShapeClass> circlePupils();
// The order only matters for equal titles, which the registry keeps.
std::vector<PupilShapeClass> registrationList() {
    return ::QRCode::concatenateFamilies<QRCodePupilShapeGenerator>({
        kFrameworkPupils,
        ::QRCode::PupilShape::circlePupils(),
        ::QRCode::PupilShape::barPupils(),
        ::QRCode::PupilShape::pixelPupils(),
        ::QRCode::PupilShape::emblemPupils(),
        ::QRCode::PupilShape::leafPupils(),
        ::QRCode::PupilShape::roundedPupils(),
        ::QRCode::PupilShape::shieldPupils(),
        ::QRCode::PupilShape::usePixelShapePupils(),
    });
}

} // namespace

bool QRCode::detail::isUsePixelShapePupil(const QRCodePupilShapeGenerator& pupil) noexcept {
    return dynamic_cast<const ::QRCode::PupilShape::UsePixelShape*>(&pupil) != nullptr;
}

QRCodePupilShapeFactory::QRCodePupilShapeFactory() : GeneratorRegistry(registrationList()) {}

const QRCodePupilShapeFactory& QRCodePupilShapeFactory::shared() {
    static const QRCodePupilShapeFactory factory;
    return factory;
}

gfx::ImagePtr QRCodePupilShapeFactory::image(QRCodePupilShapeGenerator& pupil, double dimension,
                                             const gfx::Color& foregroundColor,
                                             const std::optional<gfx::Color>& backgroundColor) {
    auto context = ::QRCode::detail::makeSampleContext(dimension, backgroundColor);
    context->scaleBy(dimension / 90, dimension / 90);

    // Twice the size, moved so that the pupil sits about the middle.
    const auto doubled = gfx::AffineTransform::translation(-22, -22).then(gfx::AffineTransform::scale(2, 2));
    gfx::Path path;
    if (::QRCode::detail::isUsePixelShapePupil(pupil)) {
        gfx::Path bars;
        bars.addRect(gfx::Rect(30, 50, 30, 10));
        bars.addRect(gfx::Rect(30, 30, 30, 10));
        path.addPath(bars, doubled);
    } else {
        path.addPath(pupil.pupilPath(), doubled);
    }
    context->setFillColor(foregroundColor);
    context->fillPath(path, gfx::FillRule::nonZero);
    return ::QRCode::detail::finishSampleImage(*context);
}

std::vector<std::pair<std::string, gfx::ImagePtr>> QRCodePupilShapeFactory::sampleImages(
    double dimension, const gfx::Color& foregroundColor, const std::optional<gfx::Color>& backgroundColor) {
    std::vector<std::pair<std::string, gfx::ImagePtr>> images;
    for (const auto& pupil : shared().all()) {
        images.emplace_back(std::string(pupil->name()), image(*pupil, dimension, foregroundColor, backgroundColor));
    }
    return images;
}

} // namespace QRCode
