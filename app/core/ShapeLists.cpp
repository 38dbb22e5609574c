#include "app/core/ShapeLists.h"

#include "app/core/SettingsKeys.h"

#include "QRCode/core/Corners.h"
#include "QRCode/generators/eye/CircleBarEyes.h"
#include "QRCode/generators/eye/CorneredPixelsEye.h"
#include "QRCode/generators/eye/EdgesPixelsLeafEyes.h"
#include "QRCode/generators/eye/FlippingEyes.h"
#include "QRCode/generators/eye/RoundedPointing.h"
#include "QRCode/generators/eye/RoundedRectSquircle.h"
#include "QRCode/generators/eye/Shield.h"
#include "QRCode/generators/eye/Square.h"
#include "QRCode/core/Flip.h"
#include "QRCode/generators/PixelInsetGenerator.h"
#include "QRCode/generators/PixelRotationGenerator.h"
#include "QRCode/generators/pixel/Bars.h"
#include "QRCode/generators/pixel/CurvePixel.h"
#include "QRCode/generators/pixel/RoundedPath.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/pixel/TemplateShapes.h"
#include "QRCode/generators/pixel/TileShapes.h"
#include "QRCode/generators/pupil/BarPupils.h"
#include "QRCode/generators/pupil/CirclePupils.h"
#include "QRCode/generators/pupil/LeafPupils.h"
#include "QRCode/generators/pupil/PixelPupils.h"
#include "QRCode/generators/pupil/RoundedPupils.h"
#include "QRCode/generators/pupil/ShieldPupils.h"
#include "QRCode/generators/pupil/Square.h"

using QRCode::QRCodeEyeShapeGenerator;
using QRCode::QRCodePixelShapeGenerator;
using QRCode::QRCodePupilShapeGenerator;

namespace Tessivo {

namespace {
namespace Eye = QRCode::EyeShape;
namespace Pupil = QRCode::PupilShape;
namespace Pixel = QRCode::PixelShape;
using QRCode::Flip;

std::shared_ptr<QRCode::PixelInset::Fixed> fixedInset() { return QRCode::PixelInset::Fixed::Create(); }
std::shared_ptr<QRCode::PixelRotation::Fixed> fixedRotation() { return QRCode::PixelRotation::Fixed::Create(); }

// Template shapes take their own fixed inset and rotation generators, both 0.
template <class T> std::shared_ptr<QRCodePixelShapeGenerator> templateShape() {
    return std::make_shared<T>(fixedInset(), 0.0, fixedRotation(), 0.0);
}
} // namespace

ShapeLists::ShapeLists() {
    eyeShapes = {
        std::make_shared<Eye::Square>(),
        std::make_shared<Eye::Circle>(),
        std::make_shared<Eye::RoundedRect>(0.3),
        std::make_shared<Eye::RoundedOuter>(Flip::none),
        std::make_shared<Eye::RoundedPointingIn>(Flip::none),
        std::make_shared<Eye::Leaf>(),
        std::make_shared<Eye::Squircle>(),
        std::make_shared<Eye::BarsHorizontal>(),
        std::make_shared<Eye::BarsVertical>(),
        std::make_shared<Eye::Pixels>(0.65),
        std::make_shared<Eye::CorneredPixels>(0.65),
        std::make_shared<Eye::Shield>(QRCode::Corners::all),
        std::make_shared<Eye::Edges>(1.0),
    };
    pupilShapes = {
        std::make_shared<Pupil::Square>(),
        std::make_shared<Pupil::Circle>(),
        std::make_shared<Pupil::RoundedRect>(0.3),
        std::make_shared<Pupil::RoundedOuter>(Flip::none),
        std::make_shared<Pupil::RoundedPointingIn>(Flip::none),
        std::make_shared<Pupil::Leaf>(Flip::none),
        std::make_shared<Pupil::Squircle>(),
        std::make_shared<Pupil::BarsHorizontal>(),
        std::make_shared<Pupil::BarsVertical>(),
        std::make_shared<Pupil::Pixels>(0.65),
        std::make_shared<Pupil::CorneredPixels>(0.65),
        std::make_shared<Pupil::Shield>(),
        std::make_shared<Pupil::HexagonLeaf>(Flip::none),
        std::make_shared<Pupil::Seal>(),
        std::make_shared<Pupil::Blobby>(),
    };
    pixelShapes = {
        templateShape<Pixel::Square>(),
        std::make_shared<Pixel::Circle>(fixedInset(), 0.0),
        std::make_shared<Pixel::CurvePixel>(1.0),
        std::make_shared<Pixel::RoundedRect>(0.65, fixedInset(), 0.0, fixedRotation(), 0.0),
        std::make_shared<Pixel::Horizontal>(0.1, 1.0),
        std::make_shared<Pixel::Vertical>(0.1, 1.0),
        std::make_shared<Pixel::RoundedPath>(0.65, true),
        std::make_shared<Pixel::RoundedEndIndent>(0.65, false),
        templateShape<Pixel::Squircle>(),
        std::make_shared<Pixel::Pointy>(),
        templateShape<Pixel::Sharp>(),
        templateShape<Pixel::Star>(),
        templateShape<Pixel::Flower>(),
        std::make_shared<Pixel::Shiny>(),
    };
}

ShapeLists ShapeLists::copy() const {
    ShapeLists out{Empty{}};
    for (const auto& g : eyeShapes) out.eyeShapes.push_back(g->copyShape());
    for (const auto& g : pupilShapes) out.pupilShapes.push_back(g->copyShape());
    for (const auto& g : pixelShapes) out.pixelShapes.push_back(g->copyShape());
    return out;
}

const std::shared_ptr<QRCodeEyeShapeGenerator>& ShapeLists::eye(int index) const {
    return eyeShapes[std::size_t(clampedIndex(index, int(eyeShapes.size())))];
}
const std::shared_ptr<QRCodePupilShapeGenerator>& ShapeLists::pupil(int index) const {
    return pupilShapes[std::size_t(clampedIndex(index, int(pupilShapes.size())))];
}
const std::shared_ptr<QRCodePixelShapeGenerator>& ShapeLists::pixel(int index) const {
    return pixelShapes[std::size_t(clampedIndex(index, int(pixelShapes.size())))];
}

} // namespace Tessivo
