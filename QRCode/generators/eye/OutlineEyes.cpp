#include "QRCode/generators/eye/OutlineEyes.h"

#include "QRCode/generators/eye/CRTDotDragEyes.h"
#include "QRCode/generators/eye/CircleBarEyes.h"
#include "QRCode/generators/eye/CompositeEyes.h"
#include "QRCode/generators/eye/CorneredPixelsEye.h"
#include "QRCode/generators/eye/DrawnOutlineEyes.h"
#include "QRCode/generators/eye/EdgesPixelsLeafEyes.h"
#include "QRCode/generators/eye/FixedOutlineEyes.h"
#include "QRCode/generators/eye/FlippingEyes.h"
#include "QRCode/generators/pupil/BarPupils.h"
#include "QRCode/generators/pupil/CirclePupils.h"
#include "QRCode/generators/pupil/EmblemPupils.h"
#include "QRCode/generators/pupil/LeafPupils.h"
#include "QRCode/generators/pupil/PixelPupils.h"
#include "QRCode/generators/pupil/RoundedPupils.h"
#include "QRCode/generators/pupil/ShieldPupils.h"

#include <array>

namespace QRCode {

namespace {

template <class T> constexpr EyeShapeClass eye() { return generatorClass<T, QRCodeEyeShapeGenerator>(); }

constexpr std::array kOutlineEyes{
    eye<EyeShape::Circle>(),
    eye<EyeShape::Edges>(),
    eye<EyeShape::RoundedOuter>(),
    eye<EyeShape::Leaf>(),
    eye<EyeShape::BarsVertical>(),
    eye<EyeShape::BarsHorizontal>(),
    eye<EyeShape::Pixels>(),
    eye<EyeShape::CorneredPixels>(),
    eye<EyeShape::Fireball>(),
    eye<EyeShape::Peacock>(),
    eye<EyeShape::Pinch>(),
    eye<EyeShape::CRT>(),
    eye<EyeShape::Eye>(),
    eye<EyeShape::Explode>(),
    eye<EyeShape::DotDragHorizontal>(),
    eye<EyeShape::DotDragVertical>(),
    eye<EyeShape::Headlight>(),
    eye<EyeShape::Cloud>(),
    eye<EyeShape::FabricScissors>(),
    eye<EyeShape::DiagonalStripes>(),
    eye<EyeShape::Flame>(),
    eye<EyeShape::CloudCircle>(),
    eye<EyeShape::HolePunch>(),
    eye<EyeShape::Arc>(),
};

} // namespace

std::span<const EyeShapeClass> outlineEyeShapes() { return kOutlineEyes; }

// ---------------------------------------------------------------------------
// Default pupils. Shared ones are made once per eye class on first use.

namespace EyeShape {

std::shared_ptr<QRCodePupilShapeGenerator> Circle::defaultPupil() {
    return sharedDefaultPupil<Circle, PupilShape::Circle>();
}

std::shared_ptr<QRCodePupilShapeGenerator> BarsHorizontal::defaultPupil() {
    return sharedDefaultPupil<BarsHorizontal, PupilShape::BarsHorizontal>();
}

std::shared_ptr<QRCodePupilShapeGenerator> BarsVertical::defaultPupil() {
    return sharedDefaultPupil<BarsVertical, PupilShape::BarsVertical>();
}

std::shared_ptr<QRCodePupilShapeGenerator> CorneredPixels::defaultPupil() {
    return std::make_shared<PupilShape::CorneredPixels>(cornerRadiusFraction());
}

std::shared_ptr<QRCodePupilShapeGenerator> CRT::defaultPupil() { return sharedDefaultPupil<CRT, PupilShape::CRT>(); }

std::shared_ptr<QRCodePupilShapeGenerator> DotDragHorizontal::defaultPupil() {
    return sharedDefaultPupil<DotDragHorizontal, PupilShape::DotDragHorizontal>();
}

std::shared_ptr<QRCodePupilShapeGenerator> DotDragVertical::defaultPupil() {
    return sharedDefaultPupil<DotDragVertical, PupilShape::DotDragVertical>();
}

std::shared_ptr<QRCodePupilShapeGenerator> Arc::defaultPupil() { return sharedDefaultPupil<Arc, PupilShape::Arc>(); }

std::shared_ptr<QRCodePupilShapeGenerator> Cloud::defaultPupil() {
    return sharedDefaultPupil<Cloud, PupilShape::Cloud>();
}

std::shared_ptr<QRCodePupilShapeGenerator> CloudCircle::defaultPupil() {
    return sharedDefaultPupil<CloudCircle, PupilShape::CloudCircle>();
}

std::shared_ptr<QRCodePupilShapeGenerator> DiagonalStripes::defaultPupil() {
    return sharedDefaultPupil<DiagonalStripes, PupilShape::DiagonalStripes>();
}

std::shared_ptr<QRCodePupilShapeGenerator> Headlight::defaultPupil() {
    return sharedDefaultPupil<Headlight, PupilShape::Circle>();
}

std::shared_ptr<QRCodePupilShapeGenerator> Eye::defaultPupil() { return sharedDefaultPupil<Eye, PupilShape::Circle>(); }

std::shared_ptr<QRCodePupilShapeGenerator> Edges::defaultPupil() {
    // Rounded by the pupil's own default whatever the eye's fraction.
    static const std::shared_ptr<QRCodePupilShapeGenerator> pupil =
        std::make_shared<PupilShape::Edges>(PupilShape::Edges::DefaultCornerRadius);
    return pupil;
}

std::shared_ptr<QRCodePupilShapeGenerator> Pixels::defaultPupil() {
    return std::make_shared<PupilShape::Pixels>(cornerRadiusFraction());
}

std::shared_ptr<QRCodePupilShapeGenerator> Leaf::defaultPupil() { return sharedDefaultPupil<Leaf, PupilShape::Leaf>(); }

std::shared_ptr<QRCodePupilShapeGenerator> Fireball::makePupil() {
    return std::make_shared<PupilShape::Teardrop>(Flip::none);
}

std::shared_ptr<QRCodePupilShapeGenerator> Peacock::makePupil() { return std::make_shared<PupilShape::Circle>(); }

std::shared_ptr<QRCodePupilShapeGenerator> Explode::defaultPupil() {
    return sharedDefaultPupil<Explode, PupilShape::Explode>();
}

std::shared_ptr<QRCodePupilShapeGenerator> Flame::defaultPupil() {
    return sharedDefaultPupil<Flame, PupilShape::Flame>();
}

std::shared_ptr<QRCodePupilShapeGenerator> HolePunch::defaultPupil() {
    return sharedDefaultPupil<HolePunch, PupilShape::Circle>();
}

std::shared_ptr<QRCodePupilShapeGenerator> Pinch::defaultPupil() {
    return sharedDefaultPupil<Pinch, PupilShape::Pinch>();
}

std::shared_ptr<QRCodePupilShapeGenerator> FabricScissors::defaultPupil() {
    return sharedDefaultPupil<FabricScissors, PupilShape::FabricScissors>();
}

} // namespace EyeShape

} // namespace QRCode
