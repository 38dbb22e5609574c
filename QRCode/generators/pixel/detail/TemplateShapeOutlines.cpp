#include "QRCode/generators/detail/OutlineSteps.h"
#include "QRCode/generators/pixel/TemplateShapes.h"

#include <span>

// The outlines of the template pixel shapes, each as the commands that draw
// it in the 10 x 10 unit box. A curve step lists its end point first, then
// its two control points. Each outline is built once (TemplateOutlines.cpp
// keeps it) and only transformed afterwards.

namespace QRCode::PixelShape {

namespace {

using namespace outline;

// The outline turned upside down within its own height: (x, y) -> (x, H - y)
// with H the height of the box around every point, control points included.
// Some tables below hold their outline upside down for a layout whose row 0
// is at the top, and are turned once when built. H is the box's height, not its top edge, so an outline
// that reaches below y = 0 (the koala's controls) also moves down by that
// amount.
gfx::Path mirroredInOwnHeight(std::span<const OutlineStep> steps) {
    const gfx::Path outline = outlinePath(steps);
    return mirroredTopDown(outline, outline.boundingBox().height());
}

constexpr OutlineStep kArrow[] = {
    M(5, 0), L(10, 2), L(10, 10), L(5, 8), L(0, 10), L(0, 2), L(5, 0), Z(),
};

constexpr OutlineStep kCrt[] = {
    M(0, 5),
    C({0.6, 0.6}, {0, 2.5}, {0.6, 0.6}),
    C({5, 0}, {0.6, 0.6}, {2.5, 0}),
    C({9.4, 0.6}, {7.5, 0}, {9.4, 0.6}),
    C({10, 5}, {9.4, 0.6}, {10, 2.5}),
    C({9.4, 9.4}, {10, 7.5}, {9.4, 9.4}),
    C({5, 10}, {9.4, 9.4}, {7.5, 10}),
    C({0.6, 9.4}, {2.5, 10}, {0.6, 9.4}),
    C({0, 5}, {0.6, 9.4}, {0, 7.5}),
    Z(),
};

constexpr OutlineStep kDiagonal[] = {
    M(0, 10), L(0, 5), L(5, 0), L(10, 0), L(10, 5), L(5, 10), L(0, 10),
};

constexpr OutlineStep kDiamond[] = {
    M(1, 1), L(10, 0), L(9, 9), L(0, 10), L(1, 1), Z(),
};

constexpr OutlineStep kFlame[] = {
    M(1, 1),  C({2, 0}, {1, 0.45}, {1.45, 0}),
    L(9, 0),  C({10, 1}, {9.55, 0}, {10, 0.45}),
    L(10, 8), C({9, 9}, {10, 8.55}, {9.55, 9}),
    L(1, 10), C({0, 9}, {0.45, 10}, {0, 9.55}),
    L(1, 1),  Z(),
};

constexpr OutlineStep kFlower[] = {
    M(10, 7.5),
    C({8.49, 5.21}, {10, 6.47}, {9.38, 5.59}),
    C({8.5, 5}, {8.5, 5.14}, {8.5, 5.07}),
    C({8.49, 4.79}, {8.5, 4.93}, {8.5, 4.86}),
    C({10, 2.5}, {9.38, 4.41}, {10, 3.53}),
    C({7.5, 0}, {10, 1.12}, {8.88, 0}),
    C({5.36, 1.2}, {6.59, 0}, {5.8, 0.48}),
    C({5.21, 1.51}, {5.3, 1.3}, {5.25, 1.4}),
    C({5, 1.5}, {5.14, 1.5}, {5.07, 1.5}),
    C({4.79, 1.51}, {4.93, 1.5}, {4.86, 1.5}),
    C({2.5, 0}, {4.41, 0.62}, {3.53, 0}),
    C({1.04, 0.47}, {1.96, 0}, {1.45, 0.17}),
    L(0.95, 0.54),
    C({0, 2.5}, {0.37, 0.99}, {0, 1.7}),
    C({1.51, 4.79}, {0, 3.53}, {0.62, 4.41}),
    C({1.5, 5}, {1.5, 4.86}, {1.5, 4.93}),
    C({1.51, 5.21}, {1.5, 5.07}, {1.5, 5.14}),
    C({0, 7.5}, {0.62, 5.59}, {0, 6.47}),
    C({2.5, 10}, {0, 8.88}, {1.12, 10}),
    C({4.79, 8.49}, {3.53, 10}, {4.41, 9.38}),
    C({5, 8.5}, {4.86, 8.5}, {4.93, 8.5}),
    C({5.21, 8.49}, {5.07, 8.5}, {5.14, 8.5}),
    C({7.5, 10}, {5.59, 9.38}, {6.47, 10}),
    C({10, 7.5}, {8.88, 10}, {10, 8.88}),
    Z(),
};

constexpr OutlineStep kGear[] = {
    M(10, 5.51),
    C({9.72, 5.84}, {10, 5.67}, {9.88, 5.81}),
    L(8.87, 5.99),
    C({8.82, 6}, {8.85, 5.99}, {8.84, 6}),
    C({8.41, 7}, {8.73, 6.35}, {8.59, 6.69}),
    C({8.44, 7.04}, {8.42, 7.01}, {8.43, 7.02}),
    L(8.93, 7.74),
    C({8.9, 8.17}, {9.02, 7.88}, {9.01, 8.06}),
    L(8.17, 8.9),
    C({7.74, 8.94}, {8.06, 9.01}, {7.88, 9.02}),
    L(7.03, 8.44),
    C({7, 8.41}, {7.02, 8.43}, {7.01, 8.42}),
    C({5.99, 8.82}, {6.69, 8.59}, {6.35, 8.73}),
    C({5.99, 8.87}, {5.99, 8.84}, {5.99, 8.85}),
    L(5.84, 9.72),
    C({5.51, 10}, {5.81, 9.88}, {5.67, 9.99}),
    L(4.49, 10),
    C({4.16, 9.72}, {4.32, 9.99}, {4.19, 9.88}),
    L(4.01, 8.87),
    C({4, 8.83}, {4.01, 8.86}, {4, 8.84}),
    C({3, 8.41}, {3.65, 8.73}, {3.31, 8.59}),
    C({2.96, 8.44}, {2.99, 8.42}, {2.98, 8.43}),
    L(2.26, 8.93),
    C({1.83, 8.9}, {2.12, 9.02}, {1.94, 9.01}),
    L(1.1, 8.17),
    C({1.06, 7.74}, {0.99, 8.05}, {0.98, 7.88}),
    L(1.56, 7.03),
    C({1.59, 7}, {1.57, 7.02}, {1.58, 7.01}),
    C({1.18, 5.99}, {1.41, 6.69}, {1.27, 6.35}),
    C({1.13, 5.99}, {1.16, 5.99}, {1.15, 5.99}),
    L(0.28, 5.84),
    C({0, 5.51}, {0.12, 5.81}, {0.01, 5.67}),
    L(0, 4.49),
    C({0.28, 4.16}, {0.01, 4.33}, {0.12, 4.19}),
    L(1.13, 4.01),
    C({1.18, 4.01}, {1.15, 4.01}, {1.16, 4.01}),
    C({1.59, 3}, {1.27, 3.65}, {1.41, 3.31}),
    C({1.56, 2.96}, {1.58, 2.99}, {1.57, 2.98}),
    L(1.06, 2.26),
    C({1.1, 1.83}, {0.98, 2.12}, {0.99, 1.95}),
    L(1.83, 1.1),
    C({2.26, 1.07}, {1.94, 0.99}, {2.12, 0.98}),
    L(2.97, 1.56),
    C({3, 1.59}, {2.98, 1.57}, {2.99, 1.58}),
    C({4.01, 1.18}, {3.31, 1.41}, {3.65, 1.27}),
    C({4.01, 1.13}, {4.01, 1.16}, {4.01, 1.15}),
    L(4.16, 0.28),
    C({4.49, 0}, {4.19, 0.12}, {4.33, 0}),
    L(5.51, 0),
    C({5.84, 0.28}, {5.67, 0.01}, {5.81, 0.12}),
    L(5.99, 1.13),
    C({5.99, 1.18}, {5.99, 1.15}, {5.99, 1.16}),
    C({7, 1.59}, {6.35, 1.27}, {6.69, 1.41}),
    C({7.04, 1.56}, {7.01, 1.58}, {7.02, 1.57}),
    L(7.74, 1.07),
    C({8.17, 1.1}, {7.88, 0.98}, {8.06, 0.99}),
    L(8.9, 1.83),
    C({8.94, 2.26}, {9.01, 1.94}, {9.02, 2.12}),
    L(8.44, 2.96),
    C({8.41, 3}, {8.43, 2.98}, {8.42, 2.99}),
    C({8.82, 4.01}, {8.59, 3.31}, {8.73, 3.65}),
    C({8.87, 4.01}, {8.84, 4.01}, {8.85, 4.01}),
    L(9.72, 4.16),
    C({10, 4.49}, {9.88, 4.19}, {10, 4.33}),
    L(10, 5.51),
    Z(),
};

constexpr OutlineStep kHeart[] = {
    M(9.24, 9.12),
    C({5.59, 9.12}, {8.23, 10.29}, {6.6, 10.29}),
    L(5, 8.44),
    L(4.41, 9.12),
    C({0.76, 9.12}, {3.4, 10.29}, {1.76, 10.29}),
    C({0.76, 4.9}, {-0.25, 7.96}, {-0.25, 6.07}),
    L(5, 0),
    L(8.65, 4.22),
    L(9.24, 4.9),
    C({9.24, 9.12}, {10.25, 6.07}, {10.25, 7.96}),
    Z(),
};

constexpr OutlineStep kHexa[] = {
    M(0, 5), L(2.5, 9.5), L(7.5, 9.5), L(10, 5), L(7.5, 0.5), L(2.5, 0.5), L(0, 5), Z(),
};

constexpr OutlineStep kHexagon[] = {
    M(0, 2), L(0, 8), L(2, 10), L(8, 10), L(10, 8), L(10, 2), L(8, 0), L(2, 0), L(0, 2), Z(),
};

constexpr OutlineStep kKoala[] = {
    M(0.82, 9.18),
    C({9.62, 6.38}, {2.32, 10.68}, {8.92, 8.58}),
    C({3.62, 0.38}, {10.32, 4.18}, {5.82, -0.32}),
    C({0.82, 9.18}, {1.42, 1.08}, {-0.68, 7.68}),
    Z(),
};

constexpr OutlineStep kLeaf[] = {
    M(10, 5),
    C({5, 0}, {10, 2.24}, {7.76, 0}),
    C({2.04, 0.97}, {3.89, 0}, {2.87, 0.36}),
    C({0, 5}, {0.8, 1.88}, {0, 3.35}),
    L(0, 10),
    L(5, 10),
    C({10, 5}, {7.76, 10}, {10, 7.76}),
    Z(),
};

constexpr OutlineStep kRoundedTriangle[] = {
    M(1.69, 0.5),
    C({1.06, 0.67}, {1.45, 0.5}, {1.23, 0.56}),
    C({0.64, 1.14}, {0.88, 0.79}, {0.74, 0.95}),
    C({0.5, 1.81}, {0.55, 1.34}, {0.5, 1.56}),
    C({0.67, 2.48}, {0.5, 2.04}, {0.56, 2.27}),
    L(3.98, 8.84),
    C({4.42, 9.33}, {4.09, 9.06}, {4.24, 9.22}),
    C({5, 9.5}, {4.61, 9.44}, {4.8, 9.5}),
    C({5.57, 9.33}, {5.2, 9.5}, {5.39, 9.44}),
    C({6.02, 8.84}, {5.76, 9.22}, {5.91, 9.06}),
    L(9.33, 2.48),
    C({9.46, 2.15}, {9.39, 2.37}, {9.43, 2.26}),
    C({9.5, 1.81}, {9.49, 2.03}, {9.5, 1.92}),
    C({9.36, 1.14}, {9.5, 1.56}, {9.45, 1.34}),
    C({8.94, 0.67}, {9.26, 0.95}, {9.12, 0.79}),
    C({8.31, 0.5}, {8.77, 0.56}, {8.55, 0.5}),
    L(1.69, 0.5),
    Z(),
};

constexpr OutlineStep kSharp[] = {
    M(1, 5),
    C({0, 0}, {1, 2.5}, {0, 0}),
    C({5, 1}, {0, 0}, {2.5, 1}),
    C({10, 0}, {7.5, 1}, {10, 0}),
    C({9, 5}, {10, 0}, {9, 2.5}),
    C({10, 10}, {9, 7.5}, {10, 10}),
    C({5, 9}, {10, 10}, {7.5, 9}),
    C({0, 10}, {2.5, 9}, {0, 10}),
    C({1, 5}, {0, 10}, {1, 7.5}),
    Z(),
};

// Shiny where row + column is even: a diamond with rounded tips.
constexpr OutlineStep kShiny[] = {
    M(1.47, 5.88), C({1.47, 4.12}, {0.98, 5.4}, {0.98, 4.6}),
    L(4.12, 1.47), C({5.88, 1.47}, {4.6, 0.98}, {5.4, 0.98}),
    L(8.53, 4.12), C({8.53, 5.88}, {9.02, 4.6}, {9.02, 5.4}),
    L(5.88, 8.53), C({4.12, 8.53}, {5.4, 9.02}, {4.6, 9.02}),
    L(1.47, 5.88), Z(),
};

// Shiny where row + column is odd: a star whose points are the box corners.
constexpr OutlineStep kShinyOdd[] = {
    M(3, 5),
    C({0, 0}, {3, 3.33}, {0, 0}),
    C({5, 3}, {0, 0}, {3.33, 3}),
    C({10, 0}, {6.67, 3}, {10, 0}),
    C({7, 5}, {10, 0}, {7, 3.33}),
    C({10, 10}, {7, 6.67}, {10, 10}),
    C({5, 7}, {10, 10}, {6.67, 7}),
    C({0, 10}, {3.33, 7}, {0, 10}),
    C({3, 5}, {0, 10}, {3, 6.67}),
    Z(),
};

constexpr OutlineStep kSpikyCircle[] = {
    M(9, 1.87),
    C({7.27, 1.63}, {9, 1.87}, {7.67, 1.92}),
    C({6.47, 0.02}, {6.87, 1.34}, {6.47, 0.02}),
    C({4.94, 0.88}, {6.47, 0.02}, {5.42, 0.87}),
    C({3.38, 0.07}, {4.45, 0.89}, {3.38, 0.07}),
    C({2.63, 1.71}, {3.38, 0.07}, {3.02, 1.4}),
    C({0.91, 2}, {2.24, 2.01}, {0.91, 2}),
    C({1.22, 3.79}, {0.91, 2}, {1.37, 3.3}),
    C({0, 5.08}, {1.08, 4.28}, {0, 5.08}),
    C({1.26, 6.34}, {0, 5.08}, {1.11, 5.86}),
    C({1, 8.13}, {1.42, 6.82}, {1, 8.13}),
    C({2.73, 8.37}, {1, 8.13}, {2.33, 8.08}),
    C({3.53, 9.99}, {3.13, 8.66}, {3.53, 9.99}),
    C({5.06, 9.12}, {3.53, 9.99}, {4.58, 9.13}),
    C({6.62, 9.93}, {5.55, 9.11}, {6.62, 9.93}),
    C({7.37, 8.29}, {6.62, 9.93}, {6.98, 8.6}),
    C({9.09, 8}, {7.76, 7.99}, {9.09, 8}),
    C({8.78, 6.21}, {9.09, 8}, {8.63, 6.7}),
    C({10, 4.92}, {8.92, 5.72}, {10, 4.92}),
    C({8.74, 3.66}, {10, 4.92}, {8.89, 4.15}),
    C({9, 1.87}, {8.58, 3.18}, {9, 1.87}),
    Z(),
};

constexpr OutlineStep kSquircle[] = {
    M(5, 0),
    C({9.2, 0.8}, {7.19, 0}, {8.41, 0}),
    C({10, 5}, {10, 1.59}, {10, 2.81}),
    C({9.2, 9.2}, {10, 7.19}, {10, 8.41}),
    C({5, 10}, {8.41, 10}, {7.19, 10}),
    C({0.8, 9.2}, {2.81, 10}, {1.59, 10}),
    C({0, 5}, {0, 8.41}, {0, 7.19}),
    C({0.8, 0.8}, {0, 2.81}, {0, 1.59}),
    C({5, 0}, {1.59, 0}, {2.81, 0}),
    Z(),
};

constexpr OutlineStep kStar[] = {
    M(5, 0),       L(6.85, 2.83), L(9.99, 3.8), L(8, 6.52),    L(8.09, 9.95), L(5, 8.8),
    L(1.91, 9.95), L(2, 6.52),    L(0.01, 3.8), L(3.15, 2.83), Z(),
};

// Two halves, the second the mirror of the first about x = 5.25.
constexpr OutlineStep kStitch[] = {
    M(5, 4.77),
    C({5, 0.9}, {5, 4.77}, {5, 1.3}),
    C({4.63, 0.5}, {5, 0.5}, {4.63, 0.5}),
    C({0.5, 5.72}, {2.35, 0.5}, {0.5, 2.84}),
    C({0.55, 9.6}, {0.5, 5.72}, {0.55, 9.2}),
    C({0.88, 10}, {0.55, 10}, {0.88, 10}),
    C({5, 4.77}, {3.15, 10}, {5, 7.66}),
    Z(),
    M(5.5, 4.77),
    C({5.5, 0.9}, {5.5, 4.77}, {5.5, 1.3}),
    C({5.87, 0.5}, {5.5, 0.5}, {5.87, 0.5}),
    C({10, 5.72}, {8.15, 0.5}, {10, 2.84}),
    C({9.95, 9.6}, {10, 5.72}, {9.95, 9.2}),
    C({9.62, 10}, {9.95, 10}, {9.62, 10}),
    C({5.5, 4.77}, {7.35, 10}, {5.5, 7.66}),
    Z(),
};

constexpr OutlineStep kWave[] = {
    M(0, 2),
    C({2.5, 1}, {0, 2}, {1, 2}),
    C({5, 0}, {4, 0}, {5, 0}),
    C({7.5, 1}, {5, 0}, {6, 0}),
    C({10, 2}, {9, 2}, {10, 2}),
    L(10, 10),
    C({7.5, 9}, {10, 10}, {9, 10}),
    C({5, 8}, {6, 8}, {5, 8}),
    C({2.5, 9}, {5, 8}, {4, 8}),
    C({0, 10}, {1, 10}, {0, 10}),
    L(0, 2),
    Z(),
};

constexpr OutlineStep kWex[] = {
    M(0, 2), L(1, 5),  L(0, 8), L(2, 10), L(5, 9), L(8, 10), L(10, 8),
    L(9, 5), L(10, 2), L(8, 0), L(5, 1),  L(2, 0), L(0, 2),  Z(),
};

} // namespace

gfx::Path arrowTemplate() { return outlinePath(kArrow); }
gfx::Path crtTemplate() { return outlinePath(kCrt); }

gfx::Path circleTemplate() {
    gfx::Path path;
    path.addEllipse(gfx::Rect(0, 0, 10, 10));
    return path;
}

// The last point meets the first without a close; filled, it is the same.
gfx::Path diagonalTemplate() { return mirroredInOwnHeight(kDiagonal); }
gfx::Path diamondTemplate() { return outlinePath(kDiamond); }
gfx::Path flameTemplate() { return mirroredInOwnHeight(kFlame); }
gfx::Path flowerTemplate() { return outlinePath(kFlower); }
gfx::Path gearTemplate() { return outlinePath(kGear); }
gfx::Path heartTemplate() { return mirroredInOwnHeight(kHeart); }
gfx::Path hexaTemplate() { return outlinePath(kHexa); }
gfx::Path hexagonTemplate() { return outlinePath(kHexagon); }
gfx::Path koalaTemplate() { return mirroredInOwnHeight(kKoala); }
gfx::Path leafTemplate() { return mirroredInOwnHeight(kLeaf); }
gfx::Path roundedTriangleTemplate() { return mirroredTopDown(outlinePath(kRoundedTriangle), 10); }
gfx::Path sharpTemplate() { return outlinePath(kSharp); }
gfx::Path shinyTemplate() { return outlinePath(kShiny); }
gfx::Path shinyOddTemplate() { return outlinePath(kShinyOdd); }
gfx::Path spikyCircleTemplate() { return outlinePath(kSpikyCircle); }
gfx::Path squircleTemplate() { return outlinePath(kSquircle); }
gfx::Path starTemplate() { return outlinePath(kStar); }
gfx::Path stitchTemplate() { return outlinePath(kStitch); }
gfx::Path waveTemplate() { return outlinePath(kWave); }
gfx::Path wexTemplate() { return outlinePath(kWex); }

} // namespace QRCode::PixelShape
