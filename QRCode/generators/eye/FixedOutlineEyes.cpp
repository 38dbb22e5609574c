#include "QRCode/generators/eye/FixedOutlineEyes.h"

#include <array>

namespace QRCode::EyeShape {

namespace {

using S = OutlineStep;

// Explode: a four-pointed star of a hole in the full square 10...80.
constexpr std::array<OutlineStep, 16> kExplodeRing{{
    {S::move, {75, 75}},
    {S::curve, {45, 68}, {75, 75}, {60, 68}},
    {S::curve, {15, 75}, {30, 68}, {15, 75}},
    {S::curve, {22, 45}, {15, 75}, {22, 60}},
    {S::curve, {15, 15}, {22, 30}, {15, 15}},
    {S::curve, {45, 22}, {15, 15}, {30, 22}},
    {S::curve, {75, 15}, {60, 22}, {75, 15}},
    {S::curve, {68, 45}, {75, 15}, {68, 30}},
    {S::curve, {75, 75}, {68, 60}, {75, 75}},
    {S::close},
    {S::move, {80, 80}},
    {S::curve, {80, 10}, {80, 80}, {80, 10}},
    {S::line, {10, 10}},
    {S::line, {10, 80}},
    {S::line, {80, 80}},
    {S::close},
}};

// The square 0...90 drawn from (0, 0).
constexpr std::array<OutlineStep, 6> kSquareBackground{{
    {S::move, {0, 0}},
    {S::line, {90, 0}},
    {S::line, {90, 90}},
    {S::line, {0, 90}},
    {S::line, {0, 0}},
    {S::close},
}};

// Flame: a sharp point at (10, 10), a square corner at (80, 80), two
// rounded corners; the hole repeats the form.
constexpr std::array<OutlineStep, 16> kFlameRing{{
    {S::move, {21, 20}},
    {S::line, {23.72, 62.22}},
    {S::curve, {31.34, 70}, {24, 70}, {25, 70}},
    {S::line, {70, 70}},
    {S::line, {70, 31}},
    {S::curve, {65, 23}, {70, 24.44}, {70.05, 23.25}},
    {S::line, {21, 20}},
    {S::close},
    {S::move, {10, 10}},
    {S::curve, {69.11, 13.89}, {10, 10}, {69.11, 13.89}},
    {S::curve, {80, 24.78}, {75.12, 13.89}, {80, 18.76}},
    {S::line, {80, 80}},
    {S::line, {24.78, 80}},
    {S::curve, {13.89, 69.11}, {18.76, 80}, {13.89, 75.12}},
    {S::line, {10, 10}},
    {S::close},
}};

constexpr std::array<OutlineStep, 8> kFlameBackground{{
    {S::move, {5, 76}},
    {S::curve, {19, 90}, {5, 83.73}, {11.27, 90}},
    {S::line, {90, 90}},
    {S::line, {90, 19}},
    {S::curve, {76, 5}, {90, 11.27}, {83.73, 5}},
    {S::line, {0, 0}},
    {S::line, {5, 76}},
    {S::close},
}};

// Hole Punch: the circular hole of the Eye's circular style in the full
// square 10...80.
constexpr std::array<OutlineStep, 13> kHolePunchRing{{
    {S::move, {45, 70}},
    {S::curve, {20, 45}, {31.19, 70}, {20, 58.81}},
    {S::curve, {34.91, 22.12}, {20, 34.78}, {26.13, 26}},
    {S::curve, {45, 20}, {37.99, 20.76}, {41.41, 20}},
    {S::curve, {70, 45}, {58.81, 20}, {70, 31.19}},
    {S::curve, {45, 70}, {70, 58.81}, {58.81, 70}},
    {S::close},
    {S::move, {80, 80}},
    {S::curve, {80, 10}, {80, 80}, {80, 10}},
    {S::line, {10, 10}},
    {S::line, {10, 80}},
    {S::line, {80, 80}},
    {S::close},
}};

// Pinch: the ring's sides bowed inward by 2, the hole's by 1.43; here the
// outer contour comes first.
constexpr std::array<OutlineStep, 20> kPinchRing{{
    {S::move, {80, 80}},
    {S::curve, {78, 45}, {80, 80}, {78, 62.5}},
    {S::curve, {80, 10}, {78, 27.5}, {80, 10}},
    {S::curve, {45, 12}, {80, 10}, {62.5, 12}},
    {S::curve, {10, 10}, {27.5, 12}, {10, 10}},
    {S::curve, {12, 45}, {10, 10}, {12, 27.5}},
    {S::curve, {10, 80}, {12, 62.5}, {10, 80}},
    {S::curve, {45, 78}, {10, 80}, {27.5, 78}},
    {S::curve, {80, 80}, {62.5, 78}, {80, 80}},
    {S::close},
    {S::move, {70, 70}},
    {S::curve, {45, 68.57}, {70, 70}, {57.5, 68.57}},
    {S::curve, {20, 70}, {32.5, 68.57}, {20, 70}},
    {S::curve, {21.43, 45}, {20, 70}, {21.43, 57.5}},
    {S::curve, {20, 20}, {21.43, 32.5}, {20, 20}},
    {S::curve, {45, 21.43}, {20, 20}, {32.5, 21.43}},
    {S::curve, {70, 20}, {57.5, 21.43}, {70, 20}},
    {S::curve, {68.57, 45}, {70, 20}, {68.57, 32.5}},
    {S::curve, {70, 70}, {68.57, 57.5}, {70, 70}},
    {S::close},
}};

constexpr std::array<OutlineStep, 10> kPinchBackground{{
    {S::move, {3, 45}},
    {S::curve, {0, 0}, {3, 22.5}, {0, 0}},
    {S::curve, {45, 3}, {0, 0}, {22.5, 3}},
    {S::curve, {90, 0}, {67.5, 3}, {90, 0}},
    {S::curve, {87, 45}, {90, 0}, {87, 22.5}},
    {S::curve, {90, 90}, {87, 67.5}, {90, 90}},
    {S::curve, {45, 87}, {90, 90}, {67.5, 87}},
    {S::curve, {0, 90}, {22.5, 87}, {0, 90}},
    {S::curve, {3, 45}, {0, 90}, {3, 67.5}},
    {S::close},
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

// The four sides of the square lo...hi, walked from (hi, hi) through
// (hi, lo), (lo, lo) and (lo, hi); `inward` picks the normal's side.
std::array<SideFrame, 4> squareSides(double lo, double hi, bool inward)
{
    const double s = inward ? 1 : -1;
    return {{
        {{hi, hi}, {0, -1}, {-s, 0}},
        {{hi, lo}, {-1, 0}, {0, s}},
        {{lo, lo}, {0, 1}, {s, 0}},
        {{lo, hi}, {1, 0}, {0, -s}},
    }};
}

// Tooth flanks are straight cubics, as the drawn outline has them.
void straightTo(gfx::Path& path, gfx::Point to)
{
    const gfx::Point from = path.currentPoint();
    path.curveTo(from, to, to);
}

gfx::Path buildFabricScissorsRing()
{
    gfx::Path path;
    // Outer contour: the square 10...80, tooth tips on the edge every 5 units
    // from 20 to 70, notches 2.5 inside between them; each corner cut back by
    // a square notch whose inner corner lies 3 units inside on both axes.
    bool first = true;
    for (const SideFrame& side : squareSides(10, 80, true)) {
        const gfx::Point start = side.at(3, 0);
        if (first) {
            path.moveTo(start);
            first = false;
        } else {
            path.lineTo(start);
        }
        path.lineTo(side.at(10, 0));
        for (int i = 0; i < 10; ++i) {
            straightTo(path, side.at(12.5 + 5 * i, 2.5));
            straightTo(path, side.at(15 + 5 * i, 0));
        }
        straightTo(path, side.at(67, 0));
        straightTo(path, side.at(67, 3));
    }
    path.closeSubpath();

    // The hole, the other way round: the square 20...70, tips on its edge
    // every 5 units, notches 2.5 outward into the ring.
    const auto holeSides = squareSides(20, 70, false);
    path.moveTo(holeSides[0].corner); // the far end of the last side
    for (int s = 3; s >= 0; --s) {
        const SideFrame& side = holeSides[static_cast<std::size_t>(s)];
        // Walk this side backwards, from its far end to its corner.
        for (int i = 9; i >= 0; --i) {
            straightTo(path, side.at(2.5 + 5 * i, 2.5));
            straightTo(path, side.at(5 * i, 0));
        }
    }
    path.closeSubpath();
    return path;
}

gfx::Path buildFabricScissorsBackground()
{
    // The square 0.45...89.55 with tips on its edge every 4.95 units from
    // 5.4 to 84.6, notches 2.475 inside, and each corner cut off by a 45
    // degree chamfer from the last tip of one side to the first of the next.
    constexpr double lo = 0.45, hi = 89.55, pitch = 4.95;
    gfx::Path path;
    bool first = true;
    for (const SideFrame& side : squareSides(lo, hi, true)) {
        const gfx::Point start = side.at(pitch, 0);
        if (first) {
            path.moveTo(start);
            first = false;
        } else {
            path.lineTo(start); // the chamfer
        }
        for (int i = 1; i <= 16; ++i) {
            straightTo(path, side.at(pitch * (i + 0.5), pitch / 2));
            straightTo(path, side.at(pitch * (i + 1), 0));
        }
    }
    path.closeSubpath();
    return path;
}

} // namespace

gfx::Path Explode::eyePath()
{
    return outlinePath(kExplodeRing);
}

gfx::Path Explode::eyeBackgroundPath()
{
    return outlinePath(kSquareBackground);
}

gfx::Path Flame::eyePath()
{
    static const gfx::Path ring = outlinePath(kFlameRing);
    return ring;
}

gfx::Path Flame::eyeBackgroundPath()
{
    static const gfx::Path background = outlinePath(kFlameBackground);
    return background;
}

gfx::Path HolePunch::eyePath()
{
    static const gfx::Path ring = outlinePath(kHolePunchRing);
    return ring;
}

gfx::Path HolePunch::eyeBackgroundPath()
{
    static const gfx::Path background = outlinePath(kSquareBackground);
    return background;
}

gfx::Path Pinch::eyePath()
{
    return outlinePath(kPinchRing);
}

gfx::Path Pinch::eyeBackgroundPath()
{
    return outlinePath(kPinchBackground);
}

gfx::Path FabricScissors::eyePath()
{
    static const gfx::Path ring = buildFabricScissorsRing();
    return ring;
}

gfx::Path FabricScissors::eyeBackgroundPath()
{
    static const gfx::Path background = buildFabricScissorsBackground();
    return background;
}

} // namespace QRCode::EyeShape
