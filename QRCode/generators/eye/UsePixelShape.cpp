#include "QRCode/generators/eye/UsePixelShape.h"

#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/pupil/UsePixelShape.h"

#include <array>

namespace QRCode::EyeShape {

const BoolMatrix& UsePixelShape::ringMatrix() {
    static const BoolMatrix matrix = [] {
        std::array<int, 81> cells{};
        for (int row = 1; row <= 7; ++row) {
            for (int col = 1; col <= 7; ++col) {
                if (row == 1 || row == 7 || col == 1 || col == 7) cells[static_cast<std::size_t>(row * 9 + col)] = 1;
            }
        }
        return BoolMatrix::fromRawFlattenedInt(9, cells);
    }();
    return matrix;
}

gfx::Path UsePixelShape::eyePath() {
    std::shared_ptr<QRCodePixelShapeGenerator> shape = pixelShape_.lock();
    if (!shape || !shape->canGenerateEyeAndPupilShapes()) {
        // Plain squares: no inset, no rounding, no rotation.
        shape = PixelShape::Square::Create();
    }
    return shape->generatePath(ringMatrix(), gfx::Size{90, 90});
}

gfx::Path UsePixelShape::eyeBackgroundPath() {
    gfx::Path path;
    path.addRect(gfx::Rect(0, 0, 90, 90));
    return path;
}

std::shared_ptr<QRCodePupilShapeGenerator> UsePixelShape::defaultPupil() { return PupilShape::UsePixelShape::Create(); }

} // namespace QRCode::EyeShape
