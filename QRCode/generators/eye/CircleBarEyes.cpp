#include "QRCode/generators/eye/CircleBarEyes.h"

#include <array>

namespace QRCode::EyeShape {

namespace {

using S = OutlineStep;

// Circles of radius 25 and 35 about (45, 45), each with one extra on-curve
// point in its quarter of small x and large y; opposite directions.
constexpr std::array<OutlineStep, 14> kCircleRing{{
    {S::move, {45, 20}},
    {S::curve, {20, 45}, {31.19, 20}, {20, 31.19}},
    {S::curve, {21.28, 52.92}, {20, 47.77}, {20.45, 50.43}},
    {S::curve, {45, 70}, {24.59, 62.85}, {33.96, 70}},
    {S::curve, {70, 45}, {58.81, 70}, {70, 58.81}},
    {S::curve, {45, 20}, {70, 31.19}, {58.81, 20}},
    {S::close},
    {S::move, {80, 45}},
    {S::curve, {45, 80}, {80, 64.33}, {64.33, 80}},
    {S::curve, {11.64, 55.61}, {29.37, 80}, {16.13, 69.76}},
    {S::curve, {10, 45}, {10.57, 52.27}, {10, 48.7}},
    {S::curve, {45, 10}, {10, 25.67}, {25.67, 10}},
    {S::curve, {80, 45}, {64.33, 10}, {80, 25.67}},
    {S::close},
}};

// The square 20...70 with corners of radius 5 inside the square 10...80 with
// corners of radius 10; opposite directions.
constexpr std::array<OutlineStep, 20> kBarRing{{
    {S::move, {65, 20}},
    {S::line, {25, 20}},
    {S::curve, {20, 25}, {22.24, 20}, {20, 22.24}},
    {S::line, {20, 65}},
    {S::curve, {25, 70}, {20, 67.76}, {22.24, 70}},
    {S::line, {65, 70}},
    {S::curve, {70, 65}, {67.76, 70}, {70, 67.76}},
    {S::line, {70, 25}},
    {S::curve, {65, 20}, {70, 22.24}, {67.76, 20}},
    {S::close},
    {S::move, {80, 20}},
    {S::line, {80, 70}},
    {S::curve, {70, 80}, {80, 75.52}, {75.52, 80}},
    {S::line, {20, 80}},
    {S::curve, {10, 70}, {14.48, 80}, {10, 75.52}},
    {S::line, {10, 20}},
    {S::curve, {20, 10}, {10, 14.48}, {14.48, 10}},
    {S::line, {70, 10}},
    {S::curve, {80, 20}, {75.52, 10}, {80, 14.48}},
    {S::close},
}};

constexpr std::array<OutlineStep, 10> kRoundedSquareBackground{{
    {S::move, {90, 77.14}},
    {S::line, {90, 12.86}},
    {S::curve, {77.14, 0}, {90, 5.76}, {84.24, 0}},
    {S::line, {12.86, 0}},
    {S::curve, {0, 12.86}, {5.76, 0}, {0, 5.76}},
    {S::line, {0, 77.14}},
    {S::curve, {12.86, 90}, {0, 84.24}, {5.76, 90}},
    {S::line, {77.14, 90}},
    {S::curve, {90, 77.14}, {84.24, 90}, {90, 84.24}},
    {S::close},
}};

} // namespace

gfx::Path roundedSquareBackground()
{
    return outlinePath(kRoundedSquareBackground);
}

gfx::Path Circle::eyePath()
{
    return outlinePath(kCircleRing);
}

gfx::Path Circle::eyeBackgroundPath()
{
    gfx::Path path;
    path.addEllipse(gfx::Rect(0, 0, 90, 90));
    return path;
}

gfx::Path BarsHorizontal::eyePath()
{
    return outlinePath(kBarRing);
}

gfx::Path BarsHorizontal::eyeBackgroundPath()
{
    return roundedSquareBackground();
}

gfx::Path BarsVertical::eyePath()
{
    return outlinePath(kBarRing);
}

gfx::Path BarsVertical::eyeBackgroundPath()
{
    return roundedSquareBackground();
}

} // namespace QRCode::EyeShape
