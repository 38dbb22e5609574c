#include "QRCode/generators/eye/SpikyPegBars.h"

#include "QRCode/generators/eye/CircleBarEyes.h"
#include "QRCode/generators/pupil/PixelPupils.h"
#include "QRCode/generators/pupil/ShieldPupils.h"

#include <array>
#include <utility>
#include <cmath>
#include <numbers>

namespace QRCode::EyeShape {

using namespace outline;

namespace {

// Spiky circles. The 19 tips point in the directions 84.8 + k * 360/19
// degrees about (45, 45) (angles from +x towards +y). A tip is a sharp point
// (the control next to it coincides with it); a valley halfway between two
// tips is smooth, its controls on the circle's tangent. Tips sit on one
// radius except the four nearest the axes, which are pushed out to touch the
// outline's box exactly.
struct SpikyForm {
    double boxMin, boxMax; // the outline's box on both axes
    double tipRadius;
    double valleyRadius;
    double handle; // distance of a valley's controls from it
    int startTip;  // k of the first tip
    int step;      // +1 or -1: the next tip's k
    bool mirrored; // directions mirrored by y -> 90 - y
    bool lineBack; // ends with a line back to the start before closing
    // Stretches (tip to valley or valley to tip, counted from the start)
    // drawn as several curves, as traced, and into how many.
    std::array<std::pair<int, int>, 4> splits;
    // Where the first tip lies as traced, when that differs from the
    // computed point by rounding; (0, 0) for the computed point.
    gfx::Point tracedStart;
};

// `path` continued by the cubic from its current point via c1, c2 to `to`,
// cut into `parts` equal pieces of the parameter (the same curve).
void splitCurveTo(gfx::Path& path, gfx::Point c1, gfx::Point c2, gfx::Point to, int parts) {
    gfx::Point p0 = path.currentPoint(), p1 = c1, p2 = c2;
    const gfx::Point p3 = to;
    for (int remaining = parts; remaining > 1; --remaining) {
        // Cut off the first 1/remaining of what is left (de Casteljau).
        const double t = 1.0 / remaining;
        const auto lerp = [t](gfx::Point a, gfx::Point b) { return a + (b - a) * t; };
        const gfx::Point a = lerp(p0, p1), b = lerp(p1, p2), c = lerp(p2, p3);
        const gfx::Point d = lerp(a, b), e = lerp(b, c), m = lerp(d, e);
        path.curveTo(a, d, m);
        p0 = m;
        p1 = e;
        p2 = c;
    }
    path.curveTo(p1, p2, p3);
}

gfx::Path spikyCircle(const SpikyForm& form) {
    constexpr int tips = 19;
    constexpr double centre = 45;
    const auto direction = [&form](double k) {
        const double degrees = 84.8 + k * 360.0 / tips;
        return (form.mirrored ? -degrees : degrees) * std::numbers::pi / 180;
    };
    const auto index = [](int k) { return static_cast<std::size_t>(((k % tips) + tips) % tips); };

    std::array<double, tips> radius;
    radius.fill(form.tipRadius);
    // Push the tip that reaches furthest towards each side of the box onto
    // that side.
    for (int axis = 0; axis < 2; ++axis) {
        for (const double sign : {-1.0, 1.0}) {
            int best = 0;
            double reach = -2;
            for (int k = 0; k < tips; ++k) {
                const double a = direction(k);
                const double component = sign * (axis == 0 ? std::cos(a) : std::sin(a));
                if (component > reach) {
                    reach = component;
                    best = k;
                }
            }
            const double bound = sign > 0 ? form.boxMax - centre : centre - form.boxMin;
            radius[index(best)] = bound / reach;
        }
    }

    const auto tipPoint = [&](int k) {
        if (index(k) == index(form.startTip) && form.tracedStart != gfx::Point{}) return form.tracedStart;
        const double a = direction(k);
        const double r = radius[index(k)];
        return gfx::Point{centre + r * std::cos(a), centre + r * std::sin(a)};
    };

    gfx::Path path;
    path.reserve(2 * tips + 8);
    const gfx::Point start = tipPoint(form.startTip);
    path.moveTo(start);
    int stretch = 0;
    const auto stretchTo = [&](gfx::Point c1, gfx::Point c2, gfx::Point to) {
        int parts = 1;
        for (const auto& [at, count] : form.splits) {
            if (at == stretch && count > 1) parts = count;
        }
        splitCurveTo(path, c1, c2, to, parts);
        ++stretch;
    };
    for (int i = 0; i < tips; ++i) {
        const int k = form.startTip + i * form.step;
        const int next = k + form.step;
        const double a = direction(k + 0.5 * form.step);
        const gfx::Point valley{centre + form.valleyRadius * std::cos(a), centre + form.valleyRadius * std::sin(a)};
        // The tangent in the direction of travel.
        const double travel = direction(next) > direction(k) ? 1.0 : -1.0;
        const gfx::Point tangent{-std::sin(a) * travel, std::cos(a) * travel};
        const gfx::Point tip = tipPoint(k);
        const gfx::Point nextTip = tipPoint(next);
        stretchTo(tip, valley - tangent * form.handle, valley);
        stretchTo(valley + tangent * form.handle, nextTip, nextTip);
    }
    if (form.lineBack) path.lineTo(start);
    path.closeSubpath();
    return path;
}

// Ring: the outer edge from the tip at 84.8 degrees (48.18, 80) with
// decreasing angle, then the hole from its tip at 84.8 degrees (47.27, 70)
// the other way round, so the hole stays open under either fill rule.
constexpr SpikyForm kSpikyOuter{
    10, 80, 35.0, 32.2, 1.9, 0, -1, false, true, {{{3, 2}, {13, 2}, {22, 2}, {32, 2}}}, {48.18, 80}};
constexpr SpikyForm kSpikyHole{
    20, 70, 25.0, 22.9, 1.37, 0, 1, false, false, {{{5, 2}, {17, 3}, {30, 2}, {-1, 1}}}, {47.27, 70}};
// Background, stated upside down: its tips point the mirrored way, so the
// renderer's mirror puts them behind the ring's tips. It starts at the tip
// near (76, 12) and runs with decreasing angle.
constexpr SpikyForm kSpikyBackground{
    0, 90, 45.4, 41.2, 2.46, 17, 1, true, false, {{{-1, 1}, {-1, 1}, {-1, 1}, {-1, 1}}}, {}};

// Square Peg: the shared circular hole, then this rounded square edge.
constexpr OutlineStep kSquarePegEdge[] = {
    M(80, 70),
    L(80, 20),
    C({70, 10}, {80, 14.48}, {75.52, 10}),
    L(20, 10),
    C({10, 20}, {14.48, 10}, {10, 14.48}),
    L(10, 70),
    C({20, 80}, {10, 75.52}, {14.48, 80}),
    L(70, 80),
    C({80, 70}, {75.52, 80}, {80, 75.52}),
    Z(),
};

constexpr OutlineStep kSurroundingBarsBackground[] = {
    M(79.55, 79.55),
    C({90, 66}, {85.56, 77.98}, {90, 72.51}),
    L(90, 24),
    C({79.55, 10.45}, {90, 17.49}, {85.56, 12.02}),
    C({66, 0}, {77.98, 4.44}, {72.51, 0}),
    L(24, 0),
    C({10.45, 10.45}, {17.49, 0}, {12.02, 4.44}),
    C({0, 24}, {4.44, 12.02}, {0, 17.49}),
    L(0, 66),
    C({10.45, 79.55}, {0, 72.51}, {4.44, 77.98}),
    C({24, 90}, {12.02, 85.56}, {17.49, 90}),
    L(66, 90),
    C({79.55, 79.55}, {72.51, 90}, {77.98, 85.56}),
    Z(),
};

// A bar with every corner rounded by radius 5, each corner one cubic whose
// controls lie 2.76 from its ends; it starts on the left edge just above
// the bottom-left corner and runs to that corner first.
void addBar(gfx::Path& path, double x0, double y0, double x1, double y1) {
    constexpr double r = 5, k = 2.76;
    path.moveTo({x0, y0 + r});
    path.curveTo({x0, y0 + r - k}, {x0 + r - k, y0}, {x0 + r, y0});
    path.lineTo({x1 - r, y0});
    path.curveTo({x1 - r + k, y0}, {x1, y0 + r - k}, {x1, y0 + r});
    path.lineTo({x1, y1 - r});
    path.curveTo({x1, y1 - r + k}, {x1 - r + k, y1}, {x1 - r, y1});
    path.lineTo({x0 + r, y1});
    path.curveTo({x0 + r - k, y1}, {x0, y1 - r + k}, {x0, y1 - r});
    path.closeSubpath();
}

} // namespace

// Spiky circle

gfx::Path SpikyCircle::eyePath() {
    static const gfx::Path ring = [] {
        gfx::Path path = spikyCircle(kSpikyOuter);
        path.addPath(spikyCircle(kSpikyHole));
        return path;
    }();
    return ring;
}

gfx::Path SpikyCircle::eyeBackgroundPath() {
    static const gfx::Path background = spikyCircle(kSpikyBackground);
    return background;
}

std::shared_ptr<QRCodePupilShapeGenerator> SpikyCircle::defaultPupil() {
    return sharedDefaultPupil<SpikyCircle, PupilShape::SpikyCircle>();
}

// Square peg

gfx::Path SquarePeg::eyePath() { return joinedOutlines({kCircularHole, kSquarePegEdge}); }

gfx::Path SquarePeg::eyeBackgroundPath() { return roundedSquareBackground(); }

std::shared_ptr<QRCodePupilShapeGenerator> SquarePeg::defaultPupil() {
    return sharedDefaultPupil<SquarePeg, PupilShape::Squircle>();
}

// Surrounding bars

SurroundingBars::SurroundingBars()
    : pupil_(std::make_shared<PupilShape::RoundedRect>(PupilShape::RoundedRect::DefaultRadius)) {}

gfx::Path SurroundingBars::eyePath() {
    static const gfx::Path ring = [] {
        gfx::Path path;
        addBar(path, 10, 20, 20, 70); // left
        addBar(path, 70, 20, 80, 70); // right
        addBar(path, 20, 70, 70, 80); // top
        addBar(path, 20, 10, 70, 20); // bottom
        return path;
    }();
    return ring;
}

gfx::Path SurroundingBars::eyeBackgroundPath() { return cachedOutline<kSurroundingBarsBackground>(); }

} // namespace QRCode::EyeShape
