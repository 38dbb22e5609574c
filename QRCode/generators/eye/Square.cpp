#include "QRCode/generators/eye/Square.h"

#include "QRCode/generators/pupil/Square.h"

namespace QRCode::EyeShape {

gfx::Path Square::eyePath() {
    gfx::Path path;
    // The inner square and the outer one run in opposite directions, so the
    // inside is a hole under both fill rules.
    path.moveTo({70, 70});
    path.lineTo({20, 70});
    path.lineTo({20, 20});
    path.lineTo({70, 20});
    path.lineTo({70, 70});
    path.closeSubpath();

    path.moveTo({80, 80});
    path.curveTo({80, 80}, {80, 10}, {80, 10});
    path.lineTo({10, 10});
    path.lineTo({10, 80});
    path.lineTo({80, 80});
    path.lineTo({80, 80});
    path.closeSubpath();
    return path;
}

gfx::Path Square::eyeBackgroundPath() {
    gfx::Path path;
    path.addRect(gfx::Rect(0, 0, 90, 90));
    return path;
}

std::shared_ptr<QRCodePupilShapeGenerator> Square::defaultPupil() {
    static const std::shared_ptr<QRCodePupilShapeGenerator> pupil = ::QRCode::PupilShape::Square::Create();
    return pupil;
}

} // namespace QRCode::EyeShape
