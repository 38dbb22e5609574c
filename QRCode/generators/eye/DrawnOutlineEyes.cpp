#include "QRCode/generators/eye/DrawnOutlineEyes.h"

#include "QRCode/generators/eye/CircleBarEyes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace QRCode::EyeShape {

namespace {

using namespace outline;

// ---------------------------------------------------------------------------
// Arc

// The ring as drawn, before it is mirrored top to bottom: the outer contour
// (a large arc at the corner (10, 80), corners of radius 10 elsewhere), then
// the hole (corners of radius 5 and a quarter circle of radius 32 about
// (52, 38) at the corner (20, 70)), running the other way.
constexpr std::array<OutlineStep, 30> kArcRingDrawn{{
    M(51.07, 79.96),
    C({10, 37}, {28.22, 78.95}, {10, 60.1}),
    C({10, 36}, {10, 36.77}, {10, 36.11}),
    L(10, 20),
    C({19.52, 10.01}, {10, 14.48}, {14.48, 10.01}),
    C({19.72, 10}, {19.59, 10.01}, {19.65, 10}),
    C({20, 10}, {19.81, 10}, {19.91, 10}),
    L(70, 10),
    C({80, 20}, {75.52, 10}, {80, 14.48}),
    L(80, 70),
    L(80, 70.25),
    L(79.99, 70.48),
    C({70, 80}, {79.74, 75.78}, {75.36, 80}),
    C({51.07, 79.96}, {70, 80}, {51.38, 79.99}),
    Z(),

    M(52, 70),
    L(65, 70),
    C({70, 65}, {67.76, 70}, {70, 67.76}),
    C({70, 64.46}, {70, 65}, {70, 64.8}),
    C({70, 52}, {70, 62}, {70, 52}),
    C({70, 25}, {70, 40.32}, {70, 25}),
    C({65, 20}, {70, 22.24}, {67.76, 20}),
    C({52.55, 20}, {65, 20}, {59.47, 20}),
    C({33.71, 20}, {46.4, 20}, {39.15, 20}),
    C({25.54, 20}, {28.92, 20}, {25.54, 20}),
    L(25, 20),
    C({20, 25}, {22.24, 20}, {20, 22.24}),
    L(20, 38),
    C({52, 70}, {20, 55.67}, {34.33, 70}),
    Z(),
}};

// The background as returned (rendering mirrors it): corners of radius 15
// and a large arc at the corner (0, 90).
constexpr std::array<OutlineStep, 20> kArcBackground{{
    M(0.01, 40.6),
    C({0, 40}, {0, 40.4}, {0, 40.2}),
    C({0, 39.5}, {0, 40}, {0, 39.82}),
    C({0, 15}, {0, 35.97}, {0, 15}),
    C({15, 0}, {0, 6.72}, {6.72, 0}),
    L(19.03, 0),
    C({21, 0}, {20.12, 0}, {21, 0}),
    C({74.96, 0}, {21.02, 0}, {74.96, 0}),
    C({83.64, 2.74}, {78.22, 0}, {81.2, 1.01}),
    C({90, 15}, {87.49, 5.45}, {90, 9.93}),
    C({90, 64}, {90, 15}, {90, 46.68}),
    C({90, 70.97}, {90, 64}, {90, 67.83}),
    C({90, 75}, {90, 73.15}, {90, 75}),
    C({75, 90}, {90, 83.28}, {83.28, 90}),
    L(52, 90),
    C({51.47, 89.99}, {51.82, 90}, {51.65, 90}),
    C({50.5, 90}, {51.15, 90}, {50.82, 90}),
    C({0.01, 40.6}, {22.98, 90}, {0.6, 67.98}),
    Z(),
}};

gfx::Path buildArcRing() {
    // Mirrored once, when built, so that the ring's arc meets the arc of
    // the background after rendering has mirrored the background.
    return mirroredTopDown(outlinePath(kArcRingDrawn), kShapeBoxSize);
}

// ---------------------------------------------------------------------------
// Cloud

// One wavy side from `from` to `to` (parallel to an axis): crests on that
// line moved by `shift`, notches `depth` units further towards `inward` (a
// unit vector across the side), `waves` whole waves; the ends stay at `from`
// and `to`, where the corners meet the side. Each crest meets the side's
// line smoothly; each notch is a soft point, as in the drawn background.
void addWavySide(gfx::Path& path, gfx::Point from, gfx::Point to, gfx::Point inward, double depth, int waves,
                 gfx::Point shift = {}) {
    const gfx::Point along = (to - from) * (1.0 / (2 * waves)); // one half-wave
    const gfx::Point dip = inward * depth;
    for (int i = 0; i < waves; ++i) {
        const gfx::Point crest = i == 0 ? from : from + along * (2 * i) + shift;
        const gfx::Point notch = from + along * (2 * i + 1) + shift + dip;
        const gfx::Point next = i + 1 == waves ? to : from + along * (2 * i + 2) + shift;
        path.curveTo(crest + along * 0.36, notch - along * 0.3 - dip * 0.6, notch);
        path.curveTo(notch + along * 0.3 - dip * 0.6, next - along * 0.36, next);
    }
}

// A quarter turn of radius 5 from `from` to `to` about the corner's centre.
void addCorner(gfx::Path& path, gfx::Point from, gfx::Point corner, gfx::Point to) {
    constexpr double k = 0.552; // handle length of a quarter circle per radius
    path.curveTo(from + (corner - from) * k, to + (corner - to) * k, to);
}

gfx::Path buildCloudRing() {
    constexpr gfx::Point kDrawnShift{-0.25, 0};
    gfx::Path path;
    // Outer contour: the square 10...80 with corners rounded by 5, each side
    // waving between the edge and 2 units inside it in waves 7.5 long; the
    // waves of the left and right sides sit 0.25 further left, as drawn.
    constexpr int outerWaves = 8;
    path.moveTo({80, 75});
    addWavySide(path, {80, 75}, {80, 15}, {-1, 0}, 2, outerWaves, kDrawnShift);
    addCorner(path, {80, 15}, {80, 10}, {75, 10});
    addWavySide(path, {75, 10}, {15, 10}, {0, 1}, 2, outerWaves);
    addCorner(path, {15, 10}, {10, 10}, {10, 15});
    addWavySide(path, {10, 15}, {10, 75}, {1, 0}, 2, outerWaves, kDrawnShift);
    addCorner(path, {10, 75}, {10, 80}, {15, 80});
    addWavySide(path, {15, 80}, {75, 80}, {0, -1}, 2, outerWaves);
    addCorner(path, {75, 80}, {80, 80}, {80, 75});
    path.closeSubpath();

    // The hole, the other way round: the square 20...70, each side waving
    // between the edge and 2 units outside it, into the ring; left and right
    // again 0.25 further left.
    constexpr int innerWaves = 7;
    path.moveTo({70, 70});
    addWavySide(path, {70, 70}, {20, 70}, {0, 1}, 2, innerWaves);
    addWavySide(path, {20, 70}, {20, 20}, {-1, 0}, 2, innerWaves, kDrawnShift);
    addWavySide(path, {20, 20}, {70, 20}, {0, -1}, 2, innerWaves);
    addWavySide(path, {70, 20}, {70, 70}, {1, 0}, 2, innerWaves, kDrawnShift);
    path.closeSubpath();
    return path;
}

// The square 0...90 with scalloped sides; returned as drawn.
constexpr std::array<OutlineStep, 40> kCloudBackground{{
    M(90, 75),
    C({88.27, 68}, {90, 72.47}, {89.37, 70.09}),
    C({90, 61}, {89.37, 65.91}, {90, 63.53}),
    C({87.69, 53}, {90, 58.06}, {89.15, 55.32}),
    C({90, 45}, {89.15, 50.68}, {90, 47.94}),
    C({88.27, 38}, {90, 42.47}, {89.37, 40.09}),
    C({90, 31}, {89.37, 35.91}, {90, 33.53}),
    C({87.69, 23}, {90, 28.06}, {89.15, 25.32}),
    C({90, 15}, {89.15, 20.68}, {90, 17.94}),
    C({75, 0}, {90, 6.72}, {83.28, 0}),
    C({67.5, 2.01}, {72.27, 0}, {69.71, 0.73}),
    C({60, 0}, {65.29, 0.73}, {62.73, 0}),
    C({52.5, 2.01}, {57.27, 0}, {54.71, 0.73}),
    C({45, 0}, {50.29, 0.73}, {47.73, 0}),
    C({37.5, 2.01}, {42.27, 0}, {39.71, 0.73}),
    C({30, 0}, {35.29, 0.73}, {32.73, 0}),
    C({22.5, 2.01}, {27.27, 0}, {24.71, 0.73}),
    C({15, 0}, {20.29, 0.73}, {17.73, 0}),
    C({4.81, 3.99}, {11.07, 0}, {7.49, 1.51}),
    C({2.62, 6.52}, {3.99, 4.75}, {3.26, 5.6}),
    C({0, 15}, {0.97, 8.94}, {0, 11.85}),
    C({2.31, 23}, {0, 17.94}, {0.85, 20.68}),
    C({0, 31}, {0.85, 25.32}, {0, 28.06}),
    C({1.73, 38}, {0, 33.53}, {0.63, 35.91}),
    C({0, 45}, {0.63, 40.09}, {0, 42.47}),
    C({2.31, 53}, {0, 47.94}, {0.85, 50.68}),
    C({0, 61}, {0.85, 55.32}, {0, 58.06}),
    C({1.73, 68}, {0, 63.53}, {0.63, 65.91}),
    C({0, 75}, {0.63, 70.09}, {0, 72.47}),
    C({15, 90}, {0, 83.28}, {6.72, 90}),
    C({22.5, 87.99}, {17.73, 90}, {20.29, 89.27}),
    C({30, 90}, {24.71, 89.27}, {27.27, 90}),
    C({37.5, 87.99}, {32.73, 90}, {35.29, 89.27}),
    C({45, 90}, {39.71, 89.27}, {42.27, 90}),
    C({52.5, 87.99}, {47.73, 90}, {50.29, 89.27}),
    C({60, 90}, {54.71, 89.27}, {57.27, 90}),
    C({67.5, 87.99}, {62.73, 90}, {65.29, 89.27}),
    C({75, 90}, {69.71, 89.27}, {72.27, 90}),
    C({90, 75}, {83.28, 90}, {90, 83.28}),
    Z(),
}};

// ---------------------------------------------------------------------------
// Cloud Circle

constexpr gfx::Point kCentre{45, 45};

gfx::Point polar(double angle, double radius) {
    return {kCentre.x + radius * std::cos(angle), kCentre.y + radius * std::sin(angle)};
}

// A scalloped circle about the box centre: `count` scallops whose notches
// lie at `notchRadius` and whose crests lie at `crestRadius`, starting at the
// notch at `startAngle` and running by `direction` (+1 or -1).
void addScallopedCircle(gfx::Path& path, double startAngle, double notchRadius, double crestRadius, int count,
                        int direction) {
    const double half = direction * std::numbers::pi / count; // notch to crest
    const double rise = crestRadius - notchRadius;
    const auto radial = [](double angle) { return gfx::Point{std::cos(angle), std::sin(angle)}; };
    const auto tangent = [](double angle) { return gfx::Point{-std::sin(angle), std::cos(angle)}; };
    const double reach = std::abs(half) * crestRadius * 0.4; // crest handle length

    path.moveTo(polar(startAngle, notchRadius));
    for (int i = 0; i < count; ++i) {
        const double notchAngle = startAngle + 2 * half * i;
        const double crestAngle = notchAngle + half;
        const double nextAngle = crestAngle + half;
        const gfx::Point crest = polar(crestAngle, crestRadius);
        const gfx::Point crestTangent = tangent(crestAngle) * (direction * reach);
        // Leave each notch mostly across the circle, meet each crest along it.
        path.curveTo(polar(notchAngle, notchRadius) + radial(notchAngle) * (rise * 0.8) +
                         tangent(notchAngle) * (direction * reach * 0.5),
                     crest - crestTangent, crest);
        path.curveTo(crest + crestTangent,
                     polar(nextAngle, notchRadius) + radial(nextAngle) * (rise * 0.8) -
                         tangent(nextAngle) * (direction * reach * 0.5),
                     polar(nextAngle, notchRadius));
    }
    path.closeSubpath();
}

gfx::Path buildCloudCircleRing() {
    gfx::Path path;
    // Outer contour: 32 scallops bulging outward from radius 35 to 35.9.
    addScallopedCircle(path, std::atan2(79.78 - 45, 48.62 - 45), 35, 35.9, 32, +1);
    // The hole, the other way round: 32 scallops bulging inward from radius
    // 24.6 to 23.9.
    addScallopedCircle(path, std::atan2(69.49 - 45, 42.63 - 45), 24.6, 23.9, 32, -1);
    return path;
}

constexpr std::array<OutlineStep, 6> kCloudCircleBackground{{
    M(90, 45),
    C({45, 0}, {90, 20.15}, {69.85, 0}),
    C({0, 45}, {20.15, 0}, {0, 20.15}),
    C({45, 90}, {0, 69.85}, {20.15, 90}),
    C({90, 45}, {69.85, 90}, {90, 69.85}),
    Z(),
}};

// ---------------------------------------------------------------------------
// Diagonal Stripes

// Bands c <= x - y <= c + width, c = first + step * k for k = 0...27.
constexpr double kStripeFirst = -62.63;
constexpr double kStripeStep = 4.555;
constexpr double kStripeWidth = 2.58;
constexpr int kStripeCount = 28;

// The hole spans -50...50 in x - y. No band may straddle either end of that
// range, or the piece beside the hole's corner would not be convex.
constexpr bool bandsClearHoleCorners() {
    for (int k = 0; k < kStripeCount; ++k) {
        const double c = kStripeFirst + kStripeStep * k;
        for (double end : {-50.0, 50.0}) {
            if (c < end && end < c + kStripeWidth) return false;
        }
        if (c < 0 && 0 < c + kStripeWidth) return false;
    }
    return true;
}
static_assert(bandsClearHoleCorners());

// The half-plane a x + b y <= limit.
struct HalfPlane {
    double a, b, limit;
};

// The convex polygon clipped to a half-plane (Sutherland-Hodgman).
std::vector<gfx::Point> clip(const std::vector<gfx::Point>& polygon, HalfPlane h) {
    std::vector<gfx::Point> out;
    const auto value = [&h](gfx::Point p) { return h.a * p.x + h.b * p.y - h.limit; };
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const gfx::Point p = polygon[i];
        const gfx::Point q = polygon[(i + 1) % polygon.size()];
        const double vp = value(p), vq = value(q);
        if (vp <= 0) out.push_back(p);
        if ((vp < 0 && vq > 0) || (vp > 0 && vq < 0)) {
            const double t = vp / (vp - vq);
            out.push_back(p + (q - p) * t);
        }
    }
    return out;
}

void addPolygon(gfx::Path& path, std::vector<gfx::Point> polygon) {
    if (polygon.size() < 3) return;
    // Every piece runs the same way round.
    double area = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const gfx::Point p = polygon[i], q = polygon[(i + 1) % polygon.size()];
        area += p.x * q.y - q.x * p.y;
    }
    if (area < 0) std::reverse(polygon.begin(), polygon.end());
    path.moveTo(polygon.front());
    for (std::size_t i = 1; i < polygon.size(); ++i) path.lineTo(polygon[i]);
    path.closeSubpath();
}

gfx::Path buildDiagonalStripesRing() {
    const std::vector<gfx::Point> square{{10, 10}, {80, 10}, {80, 80}, {10, 80}};
    gfx::Path path;
    for (int k = 0; k < kStripeCount; ++k) {
        const double c = kStripeFirst + kStripeStep * k;
        auto band = clip(clip(square, {-1, 1, -c}), {1, -1, c + kStripeWidth}); // c <= x - y <= c + w
        const bool crossesHole = c + kStripeWidth > -50 && c < 50;
        if (!crossesHole) {
            addPolygon(path, band);
        } else if (c >= 0) {
            // Above the diagonal the band meets the hole's edge y = 20 first
            // and leaves it through x = 70.
            addPolygon(path, clip(band, {0, 1, 20}));
            addPolygon(path, clip(band, {-1, 0, -70}));
        } else {
            // Below it, through x = 20 and then y = 70.
            addPolygon(path, clip(band, {1, 0, 20}));
            addPolygon(path, clip(band, {0, -1, -70}));
        }
    }
    return path;
}

} // namespace

gfx::Path Arc::eyePath() {
    static const gfx::Path ring = buildArcRing();
    return ring;
}

gfx::Path Arc::eyeBackgroundPath() { return cachedOutline<kArcBackground>(); }

gfx::Path Cloud::eyePath() {
    static const gfx::Path ring = buildCloudRing();
    return ring;
}

gfx::Path Cloud::eyeBackgroundPath() { return cachedOutline<kCloudBackground>(); }

gfx::Path CloudCircle::eyePath() {
    static const gfx::Path ring = buildCloudCircleRing();
    return ring;
}

gfx::Path CloudCircle::eyeBackgroundPath() { return cachedOutline<kCloudCircleBackground>(); }

gfx::Path DiagonalStripes::eyePath() {
    static const gfx::Path ring = buildDiagonalStripesRing();
    return ring;
}

gfx::Path DiagonalStripes::eyeBackgroundPath() {
    static const gfx::Path background = roundedSquareBackground();
    return background;
}

} // namespace QRCode::EyeShape
