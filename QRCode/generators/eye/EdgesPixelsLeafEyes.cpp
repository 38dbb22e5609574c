#include "QRCode/generators/eye/EdgesPixelsLeafEyes.h"

#include "QRCode/generators/SettingsKey.h"
#include "platform/foundation/SettingsValue.h"

#include <array>

namespace QRCode::EyeShape {

namespace {

using namespace outline;

gfx::Path wholeBox() {
    gfx::Path path;
    path.addRect(gfx::Rect(0, 0, 90, 90));
    return path;
}

constexpr std::array<OutlineStep, 16> kLeafRing{{
    M(20, 20),
    L(60, 20),
    C({70, 30}, {65.52, 20}, {70, 24.48}),
    L(70, 70),
    L(30, 70),
    C({20, 60}, {24.48, 70}, {20, 65.52}),
    L(20, 20),
    Z(),
    M(10, 10),
    C({10, 60}, {10, 10}, {10, 60}),
    C({30, 80}, {10, 71.05}, {18.95, 80}),
    L(80, 80),
    L(80, 30),
    C({60, 10}, {80, 18.95}, {71.05, 10}),
    L(10, 10),
    Z(),
}};

constexpr std::array<OutlineStep, 8> kLeafBackground{{
    M(90, 0),
    C({90, 64.29}, {90, 0}, {90, 64.29}),
    C({64.29, 90}, {90, 78.49}, {78.49, 90}),
    L(0, 90),
    L(0, 25.71),
    C({25.71, 0}, {0, 11.51}, {11.51, 0}),
    L(90, 0),
    Z(),
}};

} // namespace

// ---------------------------------------------------------------------------
// Edges

gfx::Path Edges::eyePath() {
    const double r = actualCornerRadius();
    gfx::Path path;
    path.addRoundedRect(gfx::Rect(30, 70, 30, 10), r, r);
    path.addRoundedRect(gfx::Rect(30, 10, 30, 10), r, r);
    path.addRoundedRect(gfx::Rect(10, 30, 10, 30), r, r);
    path.addRoundedRect(gfx::Rect(70, 30, 10, 30), r, r);
    return path;
}

gfx::Path Edges::eyeBackgroundPath() { return wholeBox(); }

// ---------------------------------------------------------------------------
// Pixels

gfx::Path Pixels::eyePath() {
    // A radius above 4.5 (fractions above 0.9) is limited to half the
    // square's side by the rounded rectangle itself.
    const double r = actualCornerRadius();
    gfx::Path path;
    const auto module = [&path, r](double x, double y) { path.addRoundedRect(gfx::Rect(x, y, 9, 9), r, r); };
    for (double y = 10; y <= 70; y += 10) module(10, y);
    for (double y = 10; y <= 70; y += 10) module(70, y);
    for (double x = 20; x <= 60; x += 10) module(x, 10);
    for (double x = 20; x <= 60; x += 10) module(x, 70);
    return path;
}

gfx::Path Pixels::eyeBackgroundPath() { return wholeBox(); }

// ---------------------------------------------------------------------------
// Leaf

gfx::Path Leaf::eyePath() { return outlinePath(kLeafRing); }

gfx::Path Leaf::eyeBackgroundPath() { return outlinePath(kLeafBackground); }

} // namespace QRCode::EyeShape
