#include "QRCode/generators/eye/CRTDotDragEyes.h"

#include "QRCode/generators/eye/CircleBarEyes.h"

#include <array>

namespace QRCode::EyeShape {

namespace {

using namespace outline;

// On-curve points at the middle of each side and just inside the corners,
// control points on the axis through the side's middle: the sides bulge.
constexpr std::array<OutlineStep, 22> kCRTRing{{
    M(45, 70),
    C({22.14, 67.86}, {32.5, 70}, {22.14, 67.86}),
    C({20, 45}, {22.14, 67.86}, {20, 57.5}),
    C({22.14, 22.14}, {20, 32.5}, {22.14, 22.14}),
    C({45, 20}, {22.14, 22.14}, {32.5, 20}),
    C({67.86, 22.14}, {57.5, 20}, {67.86, 22.14}),
    C({70, 45}, {67.86, 22.14}, {70, 32.5}),
    C({67.86, 67.86}, {70, 57.5}, {67.86, 67.86}),
    C({45, 70}, {67.86, 67.86}, {57.5, 70}),
    Z(),
    M(77, 77),
    C({80, 45}, {77, 77}, {80, 62.5}),
    C({77, 13}, {80, 27.5}, {77, 13}),
    C({45, 10}, {77, 13}, {62.5, 10}),
    C({13, 13}, {27.5, 10}, {13, 13}),
    C({10, 45}, {13, 13}, {10, 27.5}),
    C({13, 77}, {10, 62.5}, {13, 77}),
    C({45, 80}, {13, 77}, {27.5, 80}),
    C({77, 77}, {62.5, 80}, {77, 77}),
    L(77, 77),
    Z(),
}};

constexpr std::array<OutlineStep, 10> kCRTBackground{{
    M(0, 45),
    C({3.86, 3.86}, {0, 22.5}, {3.86, 3.86}),
    C({45, 0}, {3.86, 3.86}, {22.5, 0}),
    C({86.14, 3.86}, {67.5, 0}, {86.14, 3.86}),
    C({90, 45}, {86.14, 3.86}, {90, 22.5}),
    C({86.14, 86.14}, {90, 67.5}, {86.14, 86.14}),
    C({45, 90}, {86.14, 86.14}, {67.5, 90}),
    C({3.86, 86.14}, {22.5, 90}, {3.86, 86.14}),
    C({0, 45}, {3.86, 86.14}, {0, 67.5}),
    Z(),
}};

// Quarter circles of radius 5 are cubics with handles 2.76 long.
constexpr double kHandle = 2.76;
constexpr double kReach = 5 - kHandle; // 2.24

// A bar 50 x 10 with semicircular ends along x, its top edge at y.
void addHorizontalBar(gfx::Path& path, double y) {
    path.moveTo({20, y + 5});
    path.curveTo({20, y + kReach}, {20 + kReach, y}, {25, y});
    path.lineTo({65, y});
    path.curveTo({65 + kHandle, y}, {70, y + kReach}, {70, y + 5});
    path.lineTo({70, y + 5}); // zero length, kept as drawn
    path.curveTo({70, y + 5 + kHandle}, {65 + kHandle, y + 10}, {65, y + 10});
    path.lineTo({25, y + 10});
    path.curveTo({20 + kReach, y + 10}, {20, y + 5 + kHandle}, {20, y + 5});
    path.closeSubpath();
}

// A bar 10 x 50 with semicircular ends along y, its left edge at x.
void addVerticalBar(gfx::Path& path, double x) {
    path.moveTo({x + 5, 70});
    path.curveTo({x + kReach, 70}, {x, 65 + kHandle}, {x, 65});
    path.lineTo({x, 25});
    path.curveTo({x, 20 + kReach}, {x + kReach, 20}, {x + 5, 20});
    path.lineTo({x + 5, 20}); // zero length, kept as drawn
    path.curveTo({x + 5 + kHandle, 20}, {x + 10, 20 + kReach}, {x + 10, 25});
    path.lineTo({x + 10, 65});
    path.curveTo({x + 10, 65 + kHandle}, {x + 5 + kHandle, 70}, {x + 5, 70});
    path.closeSubpath();
}

// A dot of radius 5 starting at its rightmost point.
void addDotFromRight(gfx::Path& path, double cx, double cy) {
    path.moveTo({cx + 5, cy});
    path.curveTo({cx + 5, cy - kHandle}, {cx + kHandle, cy - 5}, {cx, cy - 5});
    path.curveTo({cx - kHandle, cy - 5}, {cx - 5, cy - kHandle}, {cx - 5, cy});
    path.curveTo({cx - 5, cy + kHandle}, {cx - kHandle, cy + 5}, {cx, cy + 5});
    path.curveTo({cx + kHandle, cy + 5}, {cx + 5, cy + kHandle}, {cx + 5, cy});
    path.closeSubpath();
}

// A dot of radius 5 starting at its point of least y.
void addDotFromTop(gfx::Path& path, double cx, double cy) {
    path.moveTo({cx, cy - 5});
    path.curveTo({cx - kHandle, cy - 5}, {cx - 5, cy - kHandle}, {cx - 5, cy});
    path.curveTo({cx - 5, cy + kHandle}, {cx - kHandle, cy + 5}, {cx, cy + 5});
    path.curveTo({cx + kHandle, cy + 5}, {cx + 5, cy + kHandle}, {cx + 5, cy});
    path.curveTo({cx + 5, cy - kHandle}, {cx + kHandle, cy - 5}, {cx, cy - 5});
    path.closeSubpath();
}

constexpr std::array<double, 5> kDotCentres{55, 45, 35, 25, 65};

gfx::Path buildDotDragHorizontalRing() {
    gfx::Path path;
    addHorizontalBar(path, 70);
    addHorizontalBar(path, 10);
    for (double cy : kDotCentres) addDotFromRight(path, 75, cy);
    for (double cy : kDotCentres) addDotFromRight(path, 15, cy);
    return path;
}

gfx::Path buildDotDragVerticalRing() {
    gfx::Path path;
    addVerticalBar(path, 70);
    addVerticalBar(path, 10);
    for (double cx : kDotCentres) addDotFromTop(path, cx, 15);
    for (double cx : kDotCentres) addDotFromTop(path, cx, 75);
    return path;
}

// Both dot-drag eyes share one background outline.
const gfx::Path& dotDragBackground() {
    static const gfx::Path background = roundedSquareBackground();
    return background;
}

} // namespace

gfx::Path CRT::eyePath() { return outlinePath(kCRTRing); }

gfx::Path CRT::eyeBackgroundPath() { return outlinePath(kCRTBackground); }

gfx::Path DotDragHorizontal::eyePath() {
    static const gfx::Path ring = buildDotDragHorizontalRing();
    return ring;
}

gfx::Path DotDragHorizontal::eyeBackgroundPath() { return dotDragBackground(); }

gfx::Path DotDragVertical::eyePath() {
    static const gfx::Path ring = buildDotDragVerticalRing();
    return ring;
}

gfx::Path DotDragVertical::eyeBackgroundPath() { return dotDragBackground(); }

} // namespace QRCode::EyeShape
