#include "QRCode/generators/pupil/UsePixelShape.h"

#include "QRCode/generators/pixel/Square.h"

#include <array>

namespace QRCode::PupilShape {

const BoolMatrix& UsePixelShape::pupilMatrix() {
    static const BoolMatrix matrix = [] {
        // Rows and columns 3...5 of a 6 x 6 grid: at 10 units a module the
        // block covers 30...60 on both axes, the pupil square.
        std::array<int, 36> cells{};
        for (int row = 3; row < 6; ++row) {
            for (int column = 3; column < 6; ++column) cells[static_cast<std::size_t>(row * 6 + column)] = 1;
        }
        return BoolMatrix::fromRawFlattenedInt(6, cells);
    }();
    return matrix;
}

gfx::Path UsePixelShape::pupilPath() {
    std::shared_ptr<QRCodePixelShapeGenerator> shape = pixelShape_.lock();
    if (!shape || !shape->canGenerateEyeAndPupilShapes()) shape = PixelShape::Square::Create();
    return shape->generatePath(pupilMatrix(), gfx::Size{60, 60});
}

std::span<const PupilShapeClass> usePixelShapePupils() {
    static constexpr std::array<PupilShapeClass, 1> classes{{
        generatorClass<UsePixelShape, QRCodePupilShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PupilShape
