#include "QRCode/generators/eye/CircleBarEyes.h"

#include <array>

namespace QRCode::EyeShape {

namespace {

using namespace outline;

// Circles of radius 25 and 35 about (45, 45), each with one extra on-curve
// point in its quarter of small x and large y; opposite directions.
constexpr std::array<OutlineStep, 14> kCircleRing{{
    M(45, 20),
    C({20, 45}, {31.19, 20}, {20, 31.19}),
    C({21.28, 52.92}, {20, 47.77}, {20.45, 50.43}),
    C({45, 70}, {24.59, 62.85}, {33.96, 70}),
    C({70, 45}, {58.81, 70}, {70, 58.81}),
    C({45, 20}, {70, 31.19}, {58.81, 20}),
    Z(),
    M(80, 45),
    C({45, 80}, {80, 64.33}, {64.33, 80}),
    C({11.64, 55.61}, {29.37, 80}, {16.13, 69.76}),
    C({10, 45}, {10.57, 52.27}, {10, 48.7}),
    C({45, 10}, {10, 25.67}, {25.67, 10}),
    C({80, 45}, {64.33, 10}, {80, 25.67}),
    Z(),
}};

// The square 20...70 with corners of radius 5 inside the square 10...80 with
// corners of radius 10; opposite directions.
constexpr std::array<OutlineStep, 20> kBarRing{{
    M(65, 20),
    L(25, 20),
    C({20, 25}, {22.24, 20}, {20, 22.24}),
    L(20, 65),
    C({25, 70}, {20, 67.76}, {22.24, 70}),
    L(65, 70),
    C({70, 65}, {67.76, 70}, {70, 67.76}),
    L(70, 25),
    C({65, 20}, {70, 22.24}, {67.76, 20}),
    Z(),
    M(80, 20),
    L(80, 70),
    C({70, 80}, {80, 75.52}, {75.52, 80}),
    L(20, 80),
    C({10, 70}, {14.48, 80}, {10, 75.52}),
    L(10, 20),
    C({20, 10}, {10, 14.48}, {14.48, 10}),
    L(70, 10),
    C({80, 20}, {75.52, 10}, {80, 14.48}),
    Z(),
}};

constexpr std::array<OutlineStep, 10> kRoundedSquareBackground{{
    M(90, 77.14),
    L(90, 12.86),
    C({77.14, 0}, {90, 5.76}, {84.24, 0}),
    L(12.86, 0),
    C({0, 12.86}, {5.76, 0}, {0, 5.76}),
    L(0, 77.14),
    C({12.86, 90}, {0, 84.24}, {5.76, 90}),
    L(77.14, 90),
    C({90, 77.14}, {84.24, 90}, {90, 84.24}),
    Z(),
}};

} // namespace

gfx::Path roundedSquareBackground() { return outlinePath(kRoundedSquareBackground); }

gfx::Path Circle::eyePath() { return outlinePath(kCircleRing); }

gfx::Path Circle::eyeBackgroundPath() {
    gfx::Path path;
    path.addEllipse(gfx::Rect(0, 0, 90, 90));
    return path;
}

gfx::Path BarsHorizontal::eyePath() { return outlinePath(kBarRing); }

gfx::Path BarsHorizontal::eyeBackgroundPath() { return roundedSquareBackground(); }

gfx::Path BarsVertical::eyePath() { return outlinePath(kBarRing); }

gfx::Path BarsVertical::eyeBackgroundPath() { return roundedSquareBackground(); }

} // namespace QRCode::EyeShape
