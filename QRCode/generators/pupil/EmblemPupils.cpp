#include "QRCode/generators/pupil/EmblemPupils.h"

#include "QRCode/generators/detail/OutlineSteps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace QRCode::PupilShape {

namespace {

using namespace outline;

constexpr OutlineStep kCross[] = {
    M(30, 50), L(34, 45), L(30, 40), L(30, 30), L(40, 30), L(45, 34), L(50, 30), L(60, 30), L(60, 40),
    L(56, 45), L(60, 50), L(60, 60), L(50, 60), L(45, 56), L(40, 60), L(30, 60), L(30, 50), Z(),
};

constexpr OutlineStep kCrossCurved[] = {
    M(30, 50),
    C({34, 45}, {30, 50}, {34, 49}),
    C({30, 40}, {34, 41}, {30, 40}),
    L(30, 30),
    L(40, 30),
    C({45, 34}, {40, 30}, {41, 34}),
    C({50, 30}, {49, 34}, {50, 30}),
    L(60, 30),
    L(60, 40),
    C({56, 45}, {60, 40}, {56, 41}),
    C({60, 50}, {56, 49}, {60, 50}),
    L(60, 60),
    L(50, 60),
    C({45, 56}, {50, 60}, {49, 56}),
    C({40, 60}, {41, 56}, {40, 60}),
    L(30, 60),
    L(30, 50),
    Z(),
};

constexpr OutlineStep kDotDragHorizontal[] = {
    M(30, 55),
    C({35, 50}, {30, 52.24}, {32.24, 50}),
    L(55, 50),
    C({60, 55}, {57.76, 50}, {60, 52.24}),
    L(60, 55),
    C({55, 60}, {60, 57.76}, {57.76, 60}),
    L(35, 60),
    C({30, 55}, {32.24, 60}, {30, 57.76}),
    Z(),
    M(30, 45),
    C({35, 40}, {30, 42.24}, {32.24, 40}),
    L(55, 40),
    C({60, 45}, {57.76, 40}, {60, 42.24}),
    L(60, 45),
    C({55, 50}, {60, 47.76}, {57.76, 50}),
    L(35, 50),
    C({30, 45}, {32.24, 50}, {30, 47.76}),
    Z(),
    M(30, 35),
    C({35, 30}, {30, 32.24}, {32.24, 30}),
    L(55, 30),
    C({60, 35}, {57.76, 30}, {60, 32.24}),
    L(60, 35),
    C({55, 40}, {60, 37.76}, {57.76, 40}),
    L(35, 40),
    C({30, 35}, {32.24, 40}, {30, 37.76}),
    Z(),
};

constexpr OutlineStep kDotDragVertical[] = {
    M(55, 60),
    C({50, 55}, {52.24, 60}, {50, 57.76}),
    L(50, 35),
    C({55, 30}, {50, 32.24}, {52.24, 30}),
    L(55, 30),
    C({60, 35}, {57.76, 30}, {60, 32.24}),
    L(60, 55),
    C({55, 60}, {60, 57.76}, {57.76, 60}),
    Z(),
    M(45, 60),
    C({40, 55}, {42.24, 60}, {40, 57.76}),
    L(40, 35),
    C({45, 30}, {40, 32.24}, {42.24, 30}),
    L(45, 30),
    C({50, 35}, {47.76, 30}, {50, 32.24}),
    L(50, 55),
    C({45, 60}, {50, 57.76}, {47.76, 60}),
    Z(),
    M(35, 60),
    C({30, 55}, {32.24, 60}, {30, 57.76}),
    L(30, 35),
    C({35, 30}, {30, 32.24}, {32.24, 30}),
    L(35, 30),
    C({40, 35}, {37.76, 30}, {40, 32.24}),
    L(40, 55),
    C({35, 60}, {40, 57.76}, {37.76, 60}),
    Z(),
};

constexpr OutlineStep kExplode[] = {
    M(32.5, 45.5),
    C({30, 30}, {32.5, 38}, {30, 30}),
    C({45, 32.5}, {30, 30}, {37.5, 32.5}),
    C({60, 30}, {52.5, 32.5}, {60, 30}),
    C({57.5, 45}, {60, 30}, {57.5, 37.5}),
    C({60, 60}, {57.5, 52.5}, {60, 60}),
    C({45, 57.5}, {60, 60}, {52.5, 57.5}),
    C({30, 60}, {37.5, 57.5}, {30, 60}),
    C({32.5, 45.5}, {30, 60}, {32.5, 53}),
    Z(),
};

constexpr OutlineStep kOrbits[] = {
    M(52, 53),
    C({52, 52}, {52, 53}, {52, 52.63}),
    L(53, 52),
    C({60, 45}, {56.87, 52}, {60, 48.87}),
    C({53, 38}, {60, 41.13}, {56.87, 38}),
    L(52, 38),
    C({52, 37}, {52, 37.37}, {52, 37}),
    C({45, 30}, {52, 33.13}, {48.87, 30}),
    C({38, 37}, {41.13, 30}, {38, 33.13}),
    C({38, 38}, {38, 37}, {38, 37.37}),
    L(37, 38),
    C({30, 45}, {33.13, 38}, {30, 41.13}),
    C({37, 52}, {30, 48.87}, {33.13, 52}),
    L(38, 52),
    C({38, 53}, {38, 52.63}, {38, 53}),
    C({45, 60}, {38, 56.87}, {41.13, 60}),
    C({52, 53}, {48.87, 60}, {52, 56.87}),
    Z(),
};

// Listed top-down; stored mirrored. The right edge lies at x 60.01.
constexpr OutlineStep kFlame[] = {
    M(32.62, 34.67),
    C({37.13, 30}, {32.93, 30.97}, {33, 30.07}),
    L(60.01, 30),
    L(60.01, 53.59),
    C({55.5, 58.33}, {60.02, 57.35}, {59.21, 57.98}),
    L(31.01, 60),
    L(32.62, 34.67),
    Z(),
};

// Listed top-down (tip at (45, 31)); stored mirrored.
constexpr OutlineStep kHeart[] = {
    M(60, 50.29),
    C({45, 31}, {60, 38.45}, {45, 31}),
    C({30, 50.29}, {45, 31}, {30, 38.45}),
    C({37.67, 59}, {30, 53.35}, {31.58, 59}),
    C({45, 54.69}, {42.55, 59}, {45, 54.69}),
    C({52.33, 59}, {45, 54.69}, {47.45, 59}),
    C({60, 50.29}, {58.42, 59}, {60, 53.35}),
    Z(),
};

// One tooth of the gear, from the end of the flat tip at angle 0 to the end
// of the flat tip at 45 degrees; the gear is eight of these turned about
// (45, 45) by multiples of 45 degrees.
constexpr gfx::Point kGearStart{60, 46.54};
constexpr OutlineStep kGearTooth[] = {
    C({59.16, 47.53}, {59.99, 47.02}, {59.64, 47.43}), L(56.61, 47.98),
    C({56.47, 47.98}, {56.56, 47.98}, {56.52, 47.98}), C({55.22, 51}, {56.2, 49.04}, {55.78, 50.06}),
    C({55.31, 51.11}, {55.25, 51.03}, {55.28, 51.07}), L(56.8, 53.23),
    C({56.69, 54.52}, {57.07, 53.63}, {57.03, 54.17}), L(54.52, 56.69),
};

// Vertices of the pinking-shears square, starting and ending at (34.95, 59.9).
constexpr gfx::Point kFabricScissors[] = {
    {34.95, 59.9}, {37.45, 57.4}, {39.95, 59.9}, {42.45, 57.4}, {44.95, 59.9}, {47.45, 57.4},
    {49.95, 59.9}, {52.45, 57.4}, {54.95, 59.9}, {59.9, 54.95}, {57.4, 52.45}, {59.9, 49.95},
    {57.4, 47.45}, {59.9, 44.95}, {57.4, 42.45}, {59.9, 39.95}, {57.4, 37.45}, {59.9, 34.95},
    {54.95, 30},   {52.45, 32.5}, {49.95, 30},   {47.45, 32.5}, {44.95, 30},   {42.45, 32.5},
    {39.95, 30},   {37.45, 32.5}, {34.95, 30},   {30, 34.95},   {32.5, 37.45}, {30, 39.95},
    {32.5, 42.45}, {30, 44.95},   {32.5, 47.45}, {30, 49.95},   {32.5, 52.45}, {30, 54.95},
};

// Bounds of y - x of each diagonal stripe, in drawing order.
constexpr std::array<std::array<double, 2>, 12> kStripeBands{{
    {23.62, 26.2},
    {19.07, 21.65},
    {14.51, 17.1},
    {9.96, 12.55},
    {5.4, 7.99},
    {0.85, 3.44},
    {-3.71, -1.11},
    {-26.47, -23.89},
    {-21.91, -19.33},
    {-17.36, -14.78},
    {-12.81, -10.22},
    {-8.26, -5.67},
}};

// The boundary of the pupil square with corners rounded by 4, walked as
// eight pieces: a side, then the corner arc that follows it.
struct BoundaryPiece {
    bool isArc;
    gfx::Point from, to;   // a side
    gfx::Point centre;     // an arc of radius 4...
    double startAngle = 0; // ...from this angle, a quarter turn on
};

constexpr double kCornerRadius = 4;

std::array<BoundaryPiece, 8> roundedSquareBoundary() {
    constexpr double q = std::numbers::pi / 2;
    return {{
        {false, {34, 30}, {56, 30}, {}, 0},
        {true, {}, {}, {56, 34}, -q},
        {false, {60, 34}, {60, 56}, {}, 0},
        {true, {}, {}, {56, 56}, 0},
        {false, {56, 60}, {34, 60}, {}, 0},
        {true, {}, {}, {34, 56}, q},
        {false, {30, 56}, {30, 34}, {}, 0},
        {true, {}, {}, {34, 34}, 2 * q},
    }};
}

// A point of the boundary at parameter t (piece index + fraction along it).
gfx::Point boundaryPoint(const std::array<BoundaryPiece, 8>& pieces, double t) {
    const int i = std::clamp(static_cast<int>(std::floor(t)), 0, 7);
    const double f = t - i;
    const auto& p = pieces[i];
    if (!p.isArc) return p.from + (p.to - p.from) * f;
    const double angle = p.startAngle + f * std::numbers::pi / 2;
    return {p.centre.x + kCornerRadius * std::cos(angle), p.centre.y + kCornerRadius * std::sin(angle)};
}

// Parameters at which the boundary crosses the line y - x = d.
std::vector<double> boundaryCrossings(const std::array<BoundaryPiece, 8>& pieces, double d) {
    std::vector<double> result;
    for (int i = 0; i < 8; ++i) {
        const auto& p = pieces[i];
        if (!p.isArc) {
            const double d0 = p.from.y - p.from.x, d1 = p.to.y - p.to.x;
            if (d0 == d1) continue;
            const double f = (d - d0) / (d1 - d0);
            if (f >= 0 && f < 1) result.push_back(i + f);
        } else {
            // y - x on the arc is (cy - cx) + r*sqrt(2)*sin(angle - pi/4).
            const double s = (d - (p.centre.y - p.centre.x)) / (kCornerRadius * std::numbers::sqrt2);
            if (s < -1 || s > 1) continue;
            const double base = std::asin(s);
            for (const double a : {base, std::numbers::pi - base}) {
                for (int turn = -2; turn <= 2; ++turn) {
                    const double angle = a + std::numbers::pi / 4 + turn * 2 * std::numbers::pi;
                    const double f = (angle - p.startAngle) / (std::numbers::pi / 2);
                    if (f >= 0 && f < 1) result.push_back(i + f);
                }
            }
        }
    }
    std::sort(result.begin(), result.end());
    return result;
}

// Appends the boundary from parameter t0 forward to t1 (wrapping past the
// end), curves as cubics.
void appendBoundary(gfx::Path& path, const std::array<BoundaryPiece, 8>& pieces, double t0, double t1) {
    if (t1 < t0) t1 += 8;
    double t = t0;
    while (t < t1 - 1e-12) {
        const double pieceEnd = std::floor(t) + 1;
        const double next = std::min(pieceEnd, t1);
        const int i = static_cast<int>(std::floor(t)) % 8;
        const auto& p = pieces[i];
        const double tw = t - std::floor(t) + i, nw = next - std::floor(t) + i;
        if (!p.isArc) {
            path.lineTo(boundaryPoint(pieces, nw));
        } else {
            const double a0 = p.startAngle + (tw - i) * std::numbers::pi / 2;
            const double a1 = p.startAngle + (nw - i) * std::numbers::pi / 2;
            const double k = 4.0 / 3.0 * std::tan((a1 - a0) / 4) * kCornerRadius;
            const gfx::Point start{p.centre.x + kCornerRadius * std::cos(a0),
                                   p.centre.y + kCornerRadius * std::sin(a0)};
            const gfx::Point end{p.centre.x + kCornerRadius * std::cos(a1), p.centre.y + kCornerRadius * std::sin(a1)};
            path.curveTo({start.x - k * std::sin(a0), start.y + k * std::cos(a0)},
                         {end.x + k * std::sin(a1), end.y - k * std::cos(a1)}, end);
        }
        t = next;
    }
}

gfx::Path diagonalStripes() {
    const auto pieces = roundedSquareBoundary();
    gfx::Path path;
    for (const auto& [lower, upper] : kStripeBands) {
        struct Crossing {
            double t;
            bool upper;
        };
        std::vector<Crossing> crossings;
        for (const double t : boundaryCrossings(pieces, lower)) crossings.push_back({t, false});
        for (const double t : boundaryCrossings(pieces, upper)) crossings.push_back({t, true});
        if (crossings.size() != 4) continue;
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.t < b.t; });
        // Start where the boundary enters the band, so the walk is: along the
        // boundary to the other line, across on it, along the boundary back
        // to the first line, and across on that.
        for (std::size_t i = 0; i < 4; ++i) {
            const Crossing& a = crossings[i];
            const Crossing& b = crossings[(i + 1) % 4];
            if (a.upper == b.upper) continue;
            double mid = (a.t + b.t) / 2;
            if (b.t < a.t) mid = std::fmod((a.t + b.t + 8) / 2, 8.0);
            const gfx::Point m = boundaryPoint(pieces, mid);
            const double dm = m.y - m.x;
            if (dm < lower || dm > upper) continue;
            const Crossing& c = crossings[(i + 2) % 4];
            const Crossing& e = crossings[(i + 3) % 4];
            path.moveTo(boundaryPoint(pieces, a.t));
            appendBoundary(path, pieces, a.t, b.t);
            path.lineTo(boundaryPoint(pieces, c.t));
            appendBoundary(path, pieces, c.t, e.t);
            path.closeSubpath();
            break;
        }
    }
    return path;
}

gfx::Path gear() {
    gfx::Path pattern;
    pattern.moveTo(kGearStart);
    for (int k = 0; k < 8; ++k) {
        const auto turn = gfx::AffineTransform::translation(-45, -45)
                              .then(gfx::AffineTransform::rotation(k * std::numbers::pi / 4))
                              .then(gfx::AffineTransform::translation(45, 45));
        for (std::size_t s = 0; s < std::size(kGearTooth); ++s) {
            const auto& step = kGearTooth[s];
            // The last step returns exactly to the start.
            const bool last = k == 7 && s + 1 == std::size(kGearTooth);
            const gfx::Point end = last ? kGearStart : turn.apply(step.to);
            if (step.kind == OutlineStep::line) {
                pattern.lineTo(end);
            } else {
                pattern.curveTo(turn.apply(step.c1), turn.apply(step.c2), end);
            }
        }
    }
    pattern.closeSubpath();
    return mirroredTopDown(pattern, kShapeBoxSize);
}

} // namespace

gfx::Path Cross::pupilPath() { return outlinePath(kCross); }

gfx::Path CrossCurved::pupilPath() { return cachedOutline<kCrossCurved>(); }

gfx::Path DotDragHorizontal::pupilPath() { return cachedOutline<kDotDragHorizontal>(); }

gfx::Path DotDragVertical::pupilPath() { return cachedOutline<kDotDragVertical>(); }

gfx::Path Explode::pupilPath() { return cachedOutline<kExplode>(); }

gfx::Path Orbits::pupilPath() { return cachedOutline<kOrbits>(); }

gfx::Path Flame::pupilPath() {
    static const gfx::Path outline = mirroredTopDown(outlinePath(kFlame), kShapeBoxSize);
    return outline;
}

gfx::Path Heart::pupilPath() {
    static const gfx::Path outline = mirroredTopDown(outlinePath(kHeart), kShapeBoxSize);
    return outline;
}

gfx::Path Gear::pupilPath() {
    static const gfx::Path outline = gear();
    return outline;
}

gfx::Path FabricScissors::pupilPath() {
    static const gfx::Path outline = [] {
        gfx::Path path;
        path.moveTo(kFabricScissors[0]);
        for (std::size_t i = 1; i < std::size(kFabricScissors); ++i) path.lineTo(kFabricScissors[i]);
        path.lineTo(kFabricScissors[0]);
        path.closeSubpath();
        return path;
    }();
    return outline;
}

gfx::Path DiagonalStripes::pupilPath() {
    static const gfx::Path outline = diagonalStripes();
    return outline;
}

std::span<const PupilShapeClass> emblemPupils() {
    static constexpr std::array<PupilShapeClass, 11> classes{{
        generatorClass<Cross, QRCodePupilShapeGenerator>(),
        generatorClass<CrossCurved, QRCodePupilShapeGenerator>(),
        generatorClass<Explode, QRCodePupilShapeGenerator>(),
        generatorClass<DotDragHorizontal, QRCodePupilShapeGenerator>(),
        generatorClass<DotDragVertical, QRCodePupilShapeGenerator>(),
        generatorClass<Orbits, QRCodePupilShapeGenerator>(),
        generatorClass<FabricScissors, QRCodePupilShapeGenerator>(),
        generatorClass<DiagonalStripes, QRCodePupilShapeGenerator>(),
        generatorClass<Flame, QRCodePupilShapeGenerator>(),
        generatorClass<Gear, QRCodePupilShapeGenerator>(),
        generatorClass<Heart, QRCodePupilShapeGenerator>(),
    }};
    return classes;
}

} // namespace QRCode::PupilShape
