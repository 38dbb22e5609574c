#include "QRCode/generators/EyeShapeFactory.h"

#include "QRCode/generators/eye/OutlineEyes.h"
#include "QRCode/generators/eye/RoundedCornerEyes.h"
#include "QRCode/generators/eye/Square.h"
#include "QRCode/generators/eye/UsePixelShape.h"
#include "QRCode/generators/PupilShapeFactory.h"
#include "QRCode/generators/detail/OutlineSteps.h"
#include "QRCode/generators/detail/SampleImageContext.h"

#include <array>

namespace QRCode {

namespace {

using ::QRCode::EyeShapeClass;
using ::QRCode::generatorClass;

// The eye shapes that belong to the framework itself.
constexpr std::array<EyeShapeClass, 1> kFrameworkEyes{{
    generatorClass<::QRCode::EyeShape::Square, QRCodeEyeShapeGenerator>(),
}};

// Every eye shape family of the library, one line per family.
// A family module offers its classes as a list built with
// generatorClass<Class, Interface>(), e.g.
//   std::span<const EyeShapeClass> circleAndBarEyes();
// The order only matters for equal titles, which the registry keeps.
std::vector<EyeShapeClass> registrationList() {
    return ::QRCode::concatenateFamilies<QRCodeEyeShapeGenerator>({
        kFrameworkEyes,
        ::QRCode::outlineEyeShapes(),
        ::QRCode::EyeShape::roundedCornerEyes(),
    });
}

} // namespace

QRCodeEyeShapeFactory::QRCodeEyeShapeFactory() : GeneratorRegistry(registrationList()) {}

const QRCodeEyeShapeFactory& QRCodeEyeShapeFactory::shared() {
    static const QRCodeEyeShapeFactory factory;
    return factory;
}

gfx::ImagePtr QRCodeEyeShapeFactory::image(QRCodeEyeShapeGenerator& eye, QRCodePupilShapeGenerator* pupil,
                                           double dimension, const gfx::Color& foregroundColor,
                                           const std::optional<gfx::Color>& backgroundColor,
                                           const std::optional<gfx::Color>& eyeBackgroundColor) {
    auto context = ::QRCode::detail::makeSampleContext(dimension, backgroundColor);
    const auto toImage = gfx::AffineTransform::scale(dimension / 90, dimension / 90);

    if (eyeBackgroundColor) {
        // The background outline is mirrored top to bottom inside the box;
        // the eye and pupil outlines are not.
        const gfx::Path background = flippedPath(eye.eyeBackgroundPath(), Flip::vertical);
        context->saveGState();
        context->setFillColor(*eyeBackgroundColor);
        context->fillPath(background.transformed(toImage), gfx::FillRule::nonZero);
        context->restoreGState();
    }

    gfx::Path path;
    // The eye drawn with the design's pixel shape has no shape of its own to
    // show: previews draw two bars in its place.
    if (dynamic_cast<const ::QRCode::EyeShape::UsePixelShape*>(&eye) != nullptr) {
        gfx::Path bars;
        bars.addRect(gfx::Rect(10, 70, 70, 10));
        bars.addRect(gfx::Rect(10, 10, 70, 10));
        path.addPath(bars, toImage);
    } else {
        path.addPath(eye.eyePath(), toImage);
    }

    std::shared_ptr<QRCodePupilShapeGenerator> ownPupil;
    if (pupil == nullptr) {
        ownPupil = eye.defaultPupil();
        pupil = ownPupil.get();
    }
    if (pupil != nullptr) {
        if (::QRCode::detail::isUsePixelShapePupil(*pupil)) {
            gfx::Path bars;
            bars.addRect(gfx::Rect(30, 50, 30, 10));
            bars.addRect(gfx::Rect(30, 30, 30, 10));
            path.addPath(bars, toImage);
        } else {
            path.addPath(pupil->pupilPath(), toImage);
        }
    }

    context->setFillColor(foregroundColor);
    context->fillPath(path, gfx::FillRule::nonZero);
    return ::QRCode::detail::finishSampleImage(*context);
}

std::vector<std::pair<std::string, gfx::ImagePtr>> QRCodeEyeShapeFactory::sampleImages(
    double dimension, const gfx::Color& foregroundColor, const std::optional<gfx::Color>& backgroundColor,
    const std::optional<gfx::Color>& eyeBackgroundColor) {
    std::vector<std::pair<std::string, gfx::ImagePtr>> images;
    for (const auto& eye : shared().all()) {
        images.emplace_back(std::string(eye->name()),
                            image(*eye, nullptr, dimension, foregroundColor, backgroundColor, eyeBackgroundColor));
    }
    return images;
}

} // namespace QRCode
