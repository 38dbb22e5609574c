#include "QRCode/generators/pupil/BarPupils.h"

#include "QRCode/generators/detail/OutlineSteps.h"

#include <array>

namespace QRCode::PupilShape {

namespace {

using namespace outline;

// Authored with y growing downward; stored mirrored. The outer corner is a
// polygonal quarter circle of radius 7.5 about (37.5, 52.5). The outline
// ends on its start point without a close.
constexpr OutlineStep kArrow[] = {
    M(60, 52.5),
    C({52.5, 45}, {60, 48.36}, {56.64, 45}),
    C({46, 45}, {52.5, 45}, {46.49, 45.01}),
    C({45.33, 44.66}, {45.51, 44.99}, {45.33, 44.66}),
    C({45, 44}, {45.33, 44.66}, {45, 44.34}),
    C({45, 37.5}, {45, 40.62}, {45, 37.5}),
    C({37.5, 30}, {45, 33.36}, {41.64, 30}),
    C({30, 37.5}, {33.36, 30}, {30, 33.36}),
    L(30, 52.5),
    L(30, 52.69),
    L(30.01, 52.89),
    L(30.02, 53.08),
    L(30.04, 53.27),
    L(30.06, 53.46),
    L(30.09, 53.64),
    L(30.12, 53.83),
    L(30.15, 54.01),
    L(30.19, 54.19),
    L(30.24, 54.37),
    L(30.28, 54.55),
    L(30.34, 54.73),
    L(30.39, 54.91),
    L(30.46, 55.08),
    L(30.52, 55.25),
    L(30.59, 55.42),
    L(30.66, 55.59),
    L(30.74, 55.75),
    L(30.82, 55.91),
    L(30.91, 56.07),
    L(30.99, 56.23),
    L(31.09, 56.39),
    L(31.18, 56.54),
    L(31.28, 56.69),
    L(31.38, 56.84),
    L(31.49, 56.99),
    L(31.6, 57.13),
    L(31.71, 57.27),
    L(31.83, 57.41),
    L(31.95, 57.54),
    L(32.07, 57.67),
    L(32.2, 57.8),
    L(32.33, 57.93),
    L(32.46, 58.05),
    L(32.59, 58.17),
    L(32.73, 58.29),
    L(32.87, 58.4),
    L(33.01, 58.51),
    L(33.16, 58.62),
    L(33.31, 58.72),
    L(33.46, 58.82),
    L(33.61, 58.91),
    L(33.77, 59.01),
    L(33.93, 59.09),
    L(34.09, 59.18),
    L(34.25, 59.26),
    L(34.41, 59.34),
    L(34.58, 59.41),
    L(34.75, 59.48),
    L(34.92, 59.54),
    L(35.09, 59.61),
    L(35.27, 59.66),
    L(35.45, 59.72),
    L(35.63, 59.76),
    L(35.81, 59.81),
    L(35.99, 59.85),
    L(36.17, 59.88),
    L(36.36, 59.91),
    L(36.54, 59.94),
    L(36.73, 59.96),
    L(36.92, 59.98),
    L(37.11, 59.99),
    L(37.31, 60),
    L(37.5, 60),
    L(52.5, 60),
    C({60, 52.5}, {56.64, 60}, {60, 56.64}),
};

constexpr double kBarThickness = 9.33;
constexpr double kBarOrigins[] = {30, 40.33, 50.66};

// Three bars across the pupil square, stacked along y when horizontal.
gfx::Path bars(bool horizontal, double cornerRadius) {
    gfx::Path path;
    for (const double origin : kBarOrigins) {
        const gfx::Rect rect =
            horizontal ? gfx::Rect(30, origin, 30, kBarThickness) : gfx::Rect(origin, 30, kBarThickness, 30);
        gfx::Path bar;
        if (cornerRadius > 0) {
            bar.addRoundedRect(rect, cornerRadius, cornerRadius);
        } else {
            bar.addRect(rect);
        }
        path.addPath(bar);
    }
    path.closeSubpath();
    return path;
}

} // namespace

const gfx::Path& Arrow::baseOutline() const {
    static const gfx::Path outline = mirroredTopDown(outlinePath(kArrow), kShapeBoxSize);
    return outline;
}

gfx::Path BarsHorizontal::pupilPath() { return bars(true, 4); }
gfx::Path BarsVertical::pupilPath() { return bars(false, 4); }
gfx::Path SquareBarsHorizontal::pupilPath() { return bars(true, 0); }
gfx::Path SquareBarsVertical::pupilPath() { return bars(false, 0); }

std::span<const PupilShapeClass> barPupils() {
    static constexpr std::array<PupilShapeClass, 5> classes{{
        generatorClass<BarsVertical, QRCodePupilShapeGenerator>(),
        generatorClass<BarsHorizontal, QRCodePupilShapeGenerator>(),
        generatorClass<SquareBarsHorizontal, QRCodePupilShapeGenerator>(),
        generatorClass<SquareBarsVertical, QRCodePupilShapeGenerator>(),
        generatorClass<Arrow, QRCodePupilShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PupilShape
