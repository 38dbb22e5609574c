#include "QRCode/generators/eye/FixedOutlineEyes.h"

#include <array>
#include <cmath>
#include <span>

namespace QRCode::EyeShape {

namespace {

using namespace outline;

// Explode: a four-pointed star of a hole in the full square 10...80.
constexpr std::array<OutlineStep, 10> kExplodeStar{{
    M(75, 75),
    C({45, 68}, {75, 75}, {60, 68}),
    C({15, 75}, {30, 68}, {15, 75}),
    C({22, 45}, {15, 75}, {22, 60}),
    C({15, 15}, {22, 30}, {15, 15}),
    C({45, 22}, {15, 15}, {30, 22}),
    C({75, 15}, {60, 22}, {75, 15}),
    C({68, 45}, {75, 15}, {68, 30}),
    C({75, 75}, {68, 60}, {75, 75}),
    Z(),
}};

// The square 0...90 drawn from (0, 0).
constexpr std::array<OutlineStep, 6> kSquareBackground{{
    M(0, 0),
    L(90, 0),
    L(90, 90),
    L(0, 90),
    L(0, 0),
    Z(),
}};

// Flame: a sharp point at (10, 10), a square corner at (80, 80), two
// rounded corners; the hole repeats the form.
constexpr std::array<OutlineStep, 16> kFlameRing{{
    M(21, 20),
    L(23.72, 62.22),
    C({31.34, 70}, {24, 70}, {25, 70}),
    L(70, 70),
    L(70, 31),
    C({65, 23}, {70, 24.44}, {70.05, 23.25}),
    L(21, 20),
    Z(),
    M(10, 10),
    C({69.11, 13.89}, {10, 10}, {69.11, 13.89}),
    C({80, 24.78}, {75.12, 13.89}, {80, 18.76}),
    L(80, 80),
    L(24.78, 80),
    C({13.89, 69.11}, {18.76, 80}, {13.89, 75.12}),
    L(10, 10),
    Z(),
}};

constexpr std::array<OutlineStep, 8> kFlameBackground{{
    M(5, 76),
    C({19, 90}, {5, 83.73}, {11.27, 90}),
    L(90, 90),
    L(90, 19),
    C({76, 5}, {90, 11.27}, {83.73, 5}),
    L(0, 0),
    L(5, 76),
    Z(),
}};

// Pinch: the ring's sides bowed inward by 2, the hole's by 1.43; here the
// outer contour comes first.
constexpr std::array<OutlineStep, 20> kPinchRing{{
    M(80, 80),
    C({78, 45}, {80, 80}, {78, 62.5}),
    C({80, 10}, {78, 27.5}, {80, 10}),
    C({45, 12}, {80, 10}, {62.5, 12}),
    C({10, 10}, {27.5, 12}, {10, 10}),
    C({12, 45}, {10, 10}, {12, 27.5}),
    C({10, 80}, {12, 62.5}, {10, 80}),
    C({45, 78}, {10, 80}, {27.5, 78}),
    C({80, 80}, {62.5, 78}, {80, 80}),
    Z(),
    M(70, 70),
    C({45, 68.57}, {70, 70}, {57.5, 68.57}),
    C({20, 70}, {32.5, 68.57}, {20, 70}),
    C({21.43, 45}, {20, 70}, {21.43, 57.5}),
    C({20, 20}, {21.43, 32.5}, {20, 20}),
    C({45, 21.43}, {20, 20}, {32.5, 21.43}),
    C({70, 20}, {57.5, 21.43}, {70, 20}),
    C({68.57, 45}, {70, 20}, {68.57, 32.5}),
    C({70, 70}, {68.57, 57.5}, {70, 70}),
    Z(),
}};

constexpr std::array<OutlineStep, 10> kPinchBackground{{
    M(3, 45),
    C({0, 0}, {3, 22.5}, {0, 0}),
    C({45, 3}, {0, 0}, {22.5, 3}),
    C({90, 0}, {67.5, 3}, {90, 0}),
    C({87, 45}, {90, 0}, {87, 22.5}),
    C({90, 90}, {87, 67.5}, {90, 90}),
    C({45, 87}, {90, 90}, {67.5, 87}),
    C({0, 90}, {22.5, 87}, {0, 90}),
    C({3, 45}, {0, 90}, {3, 67.5}),
    Z(),
}};

// ---------------------------------------------------------------------------
// Fabric Scissors

// One side of a square seen from its corner: t runs along the side, u
// across it (positive toward `normal`).
struct SideFrame {
    gfx::Point corner;
    gfx::Point direction;
    gfx::Point normal;
    gfx::Point at(double t, double u) const { return corner + direction * t + normal * u; }
};

// The four sides of the square lo...hi, walked from (lo, hi) through
// (hi, hi), (hi, lo) and (lo, lo); the normal points into the square when
// `inward`, else out of it.
std::array<SideFrame, 4> squareSides(double lo, double hi, bool inward) {
    const double s = inward ? 1 : -1;
    return {{
        {{lo, hi}, {1, 0}, {0, -s}},
        {{hi, hi}, {0, -1}, {-s, 0}},
        {{hi, lo}, {-1, 0}, {0, s}},
        {{lo, lo}, {0, 1}, {s, 0}},
    }};
}

// Tooth flanks are straight cubics, as in the drawn outline.
void straightTo(gfx::Path& path, gfx::Point to) {
    const gfx::Point from = path.currentPoint();
    path.curveTo(from, to, to);
}

// Straight cubics through the teeth of one side: from the tip at tips[from]
// to the tip at tips[to] (either way along the side), a notch halfway
// between two tips and half their distance deep, so the flanks run at 45
// degrees.
void teeth(gfx::Path& path, const SideFrame& side, std::span<const double> tips, std::size_t from, std::size_t to) {
    const int step = to > from ? 1 : -1;
    for (std::size_t i = from; i != to; i += static_cast<std::size_t>(step)) {
        const double a = tips[i], b = tips[i + static_cast<std::size_t>(step)];
        straightTo(path, side.at((a + b) / 2, std::abs(b - a) / 2));
        straightTo(path, side.at(b, 0));
    }
}

// Tip positions along a side of the ring (20, 25, ..., 70 from the side's
// corner at 10...80, so 10 ... 60 along it) and of the hole (0 ... 50 along
// the hole's side of 20...70).
constexpr std::array<double, 11> kRingTips{10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60};
constexpr std::array<double, 11> kHoleTips{0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50};

gfx::Path buildFabricScissorsRing() {
    gfx::Path path;
    // Outer contour: the square 10...80, tooth tips on the edge every 5 units
    // from 20 to 70, notches 2.5 inside between them; each corner cut back by
    // a square notch whose inner corner lies 3 units inside on both axes. It
    // starts next to the tip (60, 80), as traced, and returns there by a
    // line.
    const auto sides = squareSides(10, 80, true);
    const gfx::Point start{59.97, 80.07};
    const gfx::Point firstTip = sides[0].at(50, 0); // (60, 80)
    path.moveTo(start);
    straightTo(path, firstTip);
    for (std::size_t s = 0; s < 4; ++s) {
        const SideFrame& side = sides[s];
        const SideFrame& next = sides[(s + 1) % 4];
        teeth(path, side, kRingTips, s == 0 ? 8 : 0, 10);
        path.lineTo(side.at(67, 0));
        straightTo(path, side.at(67, 3));
        straightTo(path, next.at(3, 0));
        straightTo(path, next.at(kRingTips[0], 0));
    }
    // The last pass ran the corner into the first side again: finish its
    // teeth up to the start.
    teeth(path, sides[0], kRingTips, 0, 8);
    path.lineTo(start);
    path.closeSubpath();

    // The hole, the other way round: the square 20...70, tips on its edge
    // every 5 units (the corners among them), notches 2.5 outward into the
    // ring. It starts at the notch next to (47.5, 72.5) and splits the
    // stretch into each corner in two, as traced.
    const auto hole = squareSides(20, 70, false);
    const gfx::Point holeStart{47.46, 72.5};
    path.moveTo(holeStart);
    straightTo(path, hole[0].at(kHoleTips[5], 0));
    for (std::size_t n = 0; n < 4; ++n) {
        const SideFrame& side = hole[(4 - n) % 4];
        teeth(path, side, kHoleTips, n == 0 ? 5 : 10, 1);
        // Into the corner: the last flank in two halves.
        const gfx::Point notch = side.at(2.5, 2.5);
        straightTo(path, (path.currentPoint() + notch) * 0.5);
        straightTo(path, notch);
        straightTo(path, side.at(0, 0));
    }
    teeth(path, hole[0], kHoleTips, 10, 6);
    straightTo(path, hole[0].at(47.5 - 20, 2.5));
    straightTo(path, holeStart);
    path.closeSubpath();
    return path;
}

gfx::Path buildFabricScissorsBackground() {
    // The square 0.45...89.55 with tips on its edge from 5.4 to 84.6 about
    // 4.95 apart, notches halfway between them and half as deep, and each
    // corner cut off by a 45 degree chamfer from the last tip of one side to
    // the first of the next. It starts at the tip (79.61, 89.55); each
    // chamfer is drawn in two halves, the first pair as curves, the others
    // as a curve and a line, as traced.
    constexpr double lo = 0.45, hi = 89.55;
    constexpr std::array<double, 17> tips{5.4,   10.32, 15.3,  20.25, 25.2,  30.15, 35.1,  40.05, 45,
                                          49.95, 54.9,  59.85, 64.8,  69.75, 74.7,  79.61, 84.6};
    const auto along = [](double position) { return position - lo; };
    std::array<double, 17> local{};
    for (std::size_t i = 0; i < tips.size(); ++i) local[i] = along(tips[i]);

    const auto sides = squareSides(lo, hi, true);
    gfx::Path path;
    path.moveTo(sides[0].at(local[15], 0));
    for (std::size_t s = 0; s < 4; ++s) {
        const SideFrame& side = sides[s];
        const SideFrame& next = sides[(s + 1) % 4];
        teeth(path, side, local, s == 0 ? 15 : 0, 16);
        const gfx::Point end = next.at(local[0], 0);
        straightTo(path, (path.currentPoint() + end) * 0.5);
        if (s == 0) {
            straightTo(path, end);
        } else {
            path.lineTo(end);
        }
    }
    teeth(path, sides[0], local, 0, 15);
    path.closeSubpath();
    return path;
}

} // namespace

gfx::Path Explode::eyePath() { return joinedOutlines({kExplodeStar, kFullSquareEdge}); }

gfx::Path Explode::eyeBackgroundPath() { return outlinePath(kSquareBackground); }

gfx::Path Flame::eyePath() { return cachedOutline<kFlameRing>(); }

gfx::Path Flame::eyeBackgroundPath() { return cachedOutline<kFlameBackground>(); }

gfx::Path HolePunch::eyePath() {
    // The circular hole of the Eye's circular style in the full square 10...80.
    static const gfx::Path ring = joinedOutlines({kCircularHole, kFullSquareEdge});
    return ring;
}

gfx::Path HolePunch::eyeBackgroundPath() { return cachedOutline<kSquareBackground>(); }

gfx::Path Pinch::eyePath() { return outlinePath(kPinchRing); }

gfx::Path Pinch::eyeBackgroundPath() { return outlinePath(kPinchBackground); }

gfx::Path FabricScissors::eyePath() {
    static const gfx::Path ring = buildFabricScissorsRing();
    return ring;
}

gfx::Path FabricScissors::eyeBackgroundPath() {
    static const gfx::Path background = buildFabricScissorsBackground();
    return background;
}

} // namespace QRCode::EyeShape
