#include "QRCode/generators/pixel/TemplateShapes.h"

#include <span>

// The outlines of the template pixel shapes, each as the commands that draw
// it in the 10 x 10 unit box. A curve step lists its end point first, then
// its two control points. Each outline is built once (TemplateOutlines.cpp
// keeps it) and only transformed afterwards.

namespace QRCode::PixelShape {

namespace {

enum class Op { move, line, curve, close };

struct Step {
    Op op;
    gfx::Point end{};
    gfx::Point control1{};
    gfx::Point control2{};
};

gfx::Path build(std::span<const Step> steps)
{
    gfx::Path path;
    path.reserve(steps.size());
    for (const Step& s : steps) {
        switch (s.op) {
        case Op::move: path.moveTo(s.end); break;
        case Op::line: path.lineTo(s.end); break;
        case Op::curve: path.curveTo(s.control1, s.control2, s.end); break;
        case Op::close: path.closeSubpath(); break;
        }
    }
    return path;
}

// The outline turned upside down within its own height: (x, y) -> (x, H - y)
// with H the height of the box around every point, control points included.
// Some tables below hold their outline upside down for a layout whose row 0
// is at the top, and are turned once when built. H is the box's height, not its top edge, so an outline
// that reaches below y = 0 (the koala's controls) also moves down by that
// amount.
gfx::Path mirroredInOwnHeight(std::span<const Step> steps)
{
    const gfx::Path outline = build(steps);
    const double height = outline.boundingBox().height();
    return outline.transformed(gfx::AffineTransform{1, 0, 0, -1, 0, height});
}

// The same within the fixed 10-unit box.
gfx::Path mirroredInBox(std::span<const Step> steps)
{
    return build(steps).transformed(gfx::AffineTransform{1, 0, 0, -1, 0, 10});
}

constexpr Step kArrow[] = {
    {Op::move, {5, 0}},
    {Op::line, {10, 2}},
    {Op::line, {10, 10}},
    {Op::line, {5, 8}},
    {Op::line, {0, 10}},
    {Op::line, {0, 2}},
    {Op::line, {5, 0}},
    {Op::close},
};

constexpr Step kCrt[] = {
    {Op::move, {0, 5}},
    {Op::curve, {0.6, 0.6}, {0, 2.5}, {0.6, 0.6}},
    {Op::curve, {5, 0}, {0.6, 0.6}, {2.5, 0}},
    {Op::curve, {9.4, 0.6}, {7.5, 0}, {9.4, 0.6}},
    {Op::curve, {10, 5}, {9.4, 0.6}, {10, 2.5}},
    {Op::curve, {9.4, 9.4}, {10, 7.5}, {9.4, 9.4}},
    {Op::curve, {5, 10}, {9.4, 9.4}, {7.5, 10}},
    {Op::curve, {0.6, 9.4}, {2.5, 10}, {0.6, 9.4}},
    {Op::curve, {0, 5}, {0.6, 9.4}, {0, 7.5}},
    {Op::close},
};

constexpr Step kDiagonal[] = {
    {Op::move, {0, 10}},
    {Op::line, {0, 5}},
    {Op::line, {5, 0}},
    {Op::line, {10, 0}},
    {Op::line, {10, 5}},
    {Op::line, {5, 10}},
    {Op::line, {0, 10}},
};

constexpr Step kDiamond[] = {
    {Op::move, {1, 1}},
    {Op::line, {10, 0}},
    {Op::line, {9, 9}},
    {Op::line, {0, 10}},
    {Op::line, {1, 1}},
    {Op::close},
};

constexpr Step kFlame[] = {
    {Op::move, {1, 1}},
    {Op::curve, {2, 0}, {1, 0.45}, {1.45, 0}},
    {Op::line, {9, 0}},
    {Op::curve, {10, 1}, {9.55, 0}, {10, 0.45}},
    {Op::line, {10, 8}},
    {Op::curve, {9, 9}, {10, 8.55}, {9.55, 9}},
    {Op::line, {1, 10}},
    {Op::curve, {0, 9}, {0.45, 10}, {0, 9.55}},
    {Op::line, {1, 1}},
    {Op::close},
};

constexpr Step kFlower[] = {
    {Op::move, {10, 7.5}},
    {Op::curve, {8.49, 5.21}, {10, 6.47}, {9.38, 5.59}},
    {Op::curve, {8.5, 5}, {8.5, 5.14}, {8.5, 5.07}},
    {Op::curve, {8.49, 4.79}, {8.5, 4.93}, {8.5, 4.86}},
    {Op::curve, {10, 2.5}, {9.38, 4.41}, {10, 3.53}},
    {Op::curve, {7.5, 0}, {10, 1.12}, {8.88, 0}},
    {Op::curve, {5.36, 1.2}, {6.59, 0}, {5.8, 0.48}},
    {Op::curve, {5.21, 1.51}, {5.3, 1.3}, {5.25, 1.4}},
    {Op::curve, {5, 1.5}, {5.14, 1.5}, {5.07, 1.5}},
    {Op::curve, {4.79, 1.51}, {4.93, 1.5}, {4.86, 1.5}},
    {Op::curve, {2.5, 0}, {4.41, 0.62}, {3.53, 0}},
    {Op::curve, {1.04, 0.47}, {1.96, 0}, {1.45, 0.17}},
    {Op::line, {0.95, 0.54}},
    {Op::curve, {0, 2.5}, {0.37, 0.99}, {0, 1.7}},
    {Op::curve, {1.51, 4.79}, {0, 3.53}, {0.62, 4.41}},
    {Op::curve, {1.5, 5}, {1.5, 4.86}, {1.5, 4.93}},
    {Op::curve, {1.51, 5.21}, {1.5, 5.07}, {1.5, 5.14}},
    {Op::curve, {0, 7.5}, {0.62, 5.59}, {0, 6.47}},
    {Op::curve, {2.5, 10}, {0, 8.88}, {1.12, 10}},
    {Op::curve, {4.79, 8.49}, {3.53, 10}, {4.41, 9.38}},
    {Op::curve, {5, 8.5}, {4.86, 8.5}, {4.93, 8.5}},
    {Op::curve, {5.21, 8.49}, {5.07, 8.5}, {5.14, 8.5}},
    {Op::curve, {7.5, 10}, {5.59, 9.38}, {6.47, 10}},
    {Op::curve, {10, 7.5}, {8.88, 10}, {10, 8.88}},
    {Op::close},
};

constexpr Step kGear[] = {
    {Op::move, {10, 5.51}},
    {Op::curve, {9.72, 5.84}, {10, 5.67}, {9.88, 5.81}},
    {Op::line, {8.87, 5.99}},
    {Op::curve, {8.82, 6}, {8.85, 5.99}, {8.84, 6}},
    {Op::curve, {8.41, 7}, {8.73, 6.35}, {8.59, 6.69}},
    {Op::curve, {8.44, 7.04}, {8.42, 7.01}, {8.43, 7.02}},
    {Op::line, {8.93, 7.74}},
    {Op::curve, {8.9, 8.17}, {9.02, 7.88}, {9.01, 8.06}},
    {Op::line, {8.17, 8.9}},
    {Op::curve, {7.74, 8.94}, {8.06, 9.01}, {7.88, 9.02}},
    {Op::line, {7.03, 8.44}},
    {Op::curve, {7, 8.41}, {7.02, 8.43}, {7.01, 8.42}},
    {Op::curve, {5.99, 8.82}, {6.69, 8.59}, {6.35, 8.73}},
    {Op::curve, {5.99, 8.87}, {5.99, 8.84}, {5.99, 8.85}},
    {Op::line, {5.84, 9.72}},
    {Op::curve, {5.51, 10}, {5.81, 9.88}, {5.67, 9.99}},
    {Op::line, {4.49, 10}},
    {Op::curve, {4.16, 9.72}, {4.32, 9.99}, {4.19, 9.88}},
    {Op::line, {4.01, 8.87}},
    {Op::curve, {4, 8.83}, {4.01, 8.86}, {4, 8.84}},
    {Op::curve, {3, 8.41}, {3.65, 8.73}, {3.31, 8.59}},
    {Op::curve, {2.96, 8.44}, {2.99, 8.42}, {2.98, 8.43}},
    {Op::line, {2.26, 8.93}},
    {Op::curve, {1.83, 8.9}, {2.12, 9.02}, {1.94, 9.01}},
    {Op::line, {1.1, 8.17}},
    {Op::curve, {1.06, 7.74}, {0.99, 8.05}, {0.98, 7.88}},
    {Op::line, {1.56, 7.03}},
    {Op::curve, {1.59, 7}, {1.57, 7.02}, {1.58, 7.01}},
    {Op::curve, {1.18, 5.99}, {1.41, 6.69}, {1.27, 6.35}},
    {Op::curve, {1.13, 5.99}, {1.16, 5.99}, {1.15, 5.99}},
    {Op::line, {0.28, 5.84}},
    {Op::curve, {0, 5.51}, {0.12, 5.81}, {0.01, 5.67}},
    {Op::line, {0, 4.49}},
    {Op::curve, {0.28, 4.16}, {0.01, 4.33}, {0.12, 4.19}},
    {Op::line, {1.13, 4.01}},
    {Op::curve, {1.18, 4.01}, {1.15, 4.01}, {1.16, 4.01}},
    {Op::curve, {1.59, 3}, {1.27, 3.65}, {1.41, 3.31}},
    {Op::curve, {1.56, 2.96}, {1.58, 2.99}, {1.57, 2.98}},
    {Op::line, {1.06, 2.26}},
    {Op::curve, {1.1, 1.83}, {0.98, 2.12}, {0.99, 1.95}},
    {Op::line, {1.83, 1.1}},
    {Op::curve, {2.26, 1.07}, {1.94, 0.99}, {2.12, 0.98}},
    {Op::line, {2.97, 1.56}},
    {Op::curve, {3, 1.59}, {2.98, 1.57}, {2.99, 1.58}},
    {Op::curve, {4.01, 1.18}, {3.31, 1.41}, {3.65, 1.27}},
    {Op::curve, {4.01, 1.13}, {4.01, 1.16}, {4.01, 1.15}},
    {Op::line, {4.16, 0.28}},
    {Op::curve, {4.49, 0}, {4.19, 0.12}, {4.33, 0}},
    {Op::line, {5.51, 0}},
    {Op::curve, {5.84, 0.28}, {5.67, 0.01}, {5.81, 0.12}},
    {Op::line, {5.99, 1.13}},
    {Op::curve, {5.99, 1.18}, {5.99, 1.15}, {5.99, 1.16}},
    {Op::curve, {7, 1.59}, {6.35, 1.27}, {6.69, 1.41}},
    {Op::curve, {7.04, 1.56}, {7.01, 1.58}, {7.02, 1.57}},
    {Op::line, {7.74, 1.07}},
    {Op::curve, {8.17, 1.1}, {7.88, 0.98}, {8.06, 0.99}},
    {Op::line, {8.9, 1.83}},
    {Op::curve, {8.94, 2.26}, {9.01, 1.94}, {9.02, 2.12}},
    {Op::line, {8.44, 2.96}},
    {Op::curve, {8.41, 3}, {8.43, 2.98}, {8.42, 2.99}},
    {Op::curve, {8.82, 4.01}, {8.59, 3.31}, {8.73, 3.65}},
    {Op::curve, {8.87, 4.01}, {8.84, 4.01}, {8.85, 4.01}},
    {Op::line, {9.72, 4.16}},
    {Op::curve, {10, 4.49}, {9.88, 4.19}, {10, 4.33}},
    {Op::line, {10, 5.51}},
    {Op::close},
};

constexpr Step kHeart[] = {
    {Op::move, {9.24, 9.12}},
    {Op::curve, {5.59, 9.12}, {8.23, 10.29}, {6.6, 10.29}},
    {Op::line, {5, 8.44}},
    {Op::line, {4.41, 9.12}},
    {Op::curve, {0.76, 9.12}, {3.4, 10.29}, {1.76, 10.29}},
    {Op::curve, {0.76, 4.9}, {-0.25, 7.96}, {-0.25, 6.07}},
    {Op::line, {5, 0}},
    {Op::line, {8.65, 4.22}},
    {Op::line, {9.24, 4.9}},
    {Op::curve, {9.24, 9.12}, {10.25, 6.07}, {10.25, 7.96}},
    {Op::close},
};

constexpr Step kHexa[] = {
    {Op::move, {0, 5}},
    {Op::line, {2.5, 9.5}},
    {Op::line, {7.5, 9.5}},
    {Op::line, {10, 5}},
    {Op::line, {7.5, 0.5}},
    {Op::line, {2.5, 0.5}},
    {Op::line, {0, 5}},
    {Op::close},
};

constexpr Step kHexagon[] = {
    {Op::move, {0, 2}},
    {Op::line, {0, 8}},
    {Op::line, {2, 10}},
    {Op::line, {8, 10}},
    {Op::line, {10, 8}},
    {Op::line, {10, 2}},
    {Op::line, {8, 0}},
    {Op::line, {2, 0}},
    {Op::line, {0, 2}},
    {Op::close},
};

constexpr Step kKoala[] = {
    {Op::move, {0.82, 9.18}},
    {Op::curve, {9.62, 6.38}, {2.32, 10.68}, {8.92, 8.58}},
    {Op::curve, {3.62, 0.38}, {10.32, 4.18}, {5.82, -0.32}},
    {Op::curve, {0.82, 9.18}, {1.42, 1.08}, {-0.68, 7.68}},
    {Op::close},
};

constexpr Step kLeaf[] = {
    {Op::move, {10, 5}},
    {Op::curve, {5, 0}, {10, 2.24}, {7.76, 0}},
    {Op::curve, {2.04, 0.97}, {3.89, 0}, {2.87, 0.36}},
    {Op::curve, {0, 5}, {0.8, 1.88}, {0, 3.35}},
    {Op::line, {0, 10}},
    {Op::line, {5, 10}},
    {Op::curve, {10, 5}, {7.76, 10}, {10, 7.76}},
    {Op::close},
};

constexpr Step kRoundedTriangle[] = {
    {Op::move, {1.69, 0.5}},
    {Op::curve, {1.06, 0.67}, {1.45, 0.5}, {1.23, 0.56}},
    {Op::curve, {0.64, 1.14}, {0.88, 0.79}, {0.74, 0.95}},
    {Op::curve, {0.5, 1.81}, {0.55, 1.34}, {0.5, 1.56}},
    {Op::curve, {0.67, 2.48}, {0.5, 2.04}, {0.56, 2.27}},
    {Op::line, {3.98, 8.84}},
    {Op::curve, {4.42, 9.33}, {4.09, 9.06}, {4.24, 9.22}},
    {Op::curve, {5, 9.5}, {4.61, 9.44}, {4.8, 9.5}},
    {Op::curve, {5.57, 9.33}, {5.2, 9.5}, {5.39, 9.44}},
    {Op::curve, {6.02, 8.84}, {5.76, 9.22}, {5.91, 9.06}},
    {Op::line, {9.33, 2.48}},
    {Op::curve, {9.46, 2.15}, {9.39, 2.37}, {9.43, 2.26}},
    {Op::curve, {9.5, 1.81}, {9.49, 2.03}, {9.5, 1.92}},
    {Op::curve, {9.36, 1.14}, {9.5, 1.56}, {9.45, 1.34}},
    {Op::curve, {8.94, 0.67}, {9.26, 0.95}, {9.12, 0.79}},
    {Op::curve, {8.31, 0.5}, {8.77, 0.56}, {8.55, 0.5}},
    {Op::line, {1.69, 0.5}},
    {Op::close},
};

constexpr Step kSharp[] = {
    {Op::move, {1, 5}},
    {Op::curve, {0, 0}, {1, 2.5}, {0, 0}},
    {Op::curve, {5, 1}, {0, 0}, {2.5, 1}},
    {Op::curve, {10, 0}, {7.5, 1}, {10, 0}},
    {Op::curve, {9, 5}, {10, 0}, {9, 2.5}},
    {Op::curve, {10, 10}, {9, 7.5}, {10, 10}},
    {Op::curve, {5, 9}, {10, 10}, {7.5, 9}},
    {Op::curve, {0, 10}, {2.5, 9}, {0, 10}},
    {Op::curve, {1, 5}, {0, 10}, {1, 7.5}},
    {Op::close},
};

// Shiny where row + column is even: a diamond with rounded tips.
constexpr Step kShiny[] = {
    {Op::move, {1.47, 5.88}},
    {Op::curve, {1.47, 4.12}, {0.98, 5.4}, {0.98, 4.6}},
    {Op::line, {4.12, 1.47}},
    {Op::curve, {5.88, 1.47}, {4.6, 0.98}, {5.4, 0.98}},
    {Op::line, {8.53, 4.12}},
    {Op::curve, {8.53, 5.88}, {9.02, 4.6}, {9.02, 5.4}},
    {Op::line, {5.88, 8.53}},
    {Op::curve, {4.12, 8.53}, {5.4, 9.02}, {4.6, 9.02}},
    {Op::line, {1.47, 5.88}},
    {Op::close},
};

// Shiny where row + column is odd: a star whose points are the box corners.
constexpr Step kShinyOdd[] = {
    {Op::move, {3, 5}},
    {Op::curve, {0, 0}, {3, 3.33}, {0, 0}},
    {Op::curve, {5, 3}, {0, 0}, {3.33, 3}},
    {Op::curve, {10, 0}, {6.67, 3}, {10, 0}},
    {Op::curve, {7, 5}, {10, 0}, {7, 3.33}},
    {Op::curve, {10, 10}, {7, 6.67}, {10, 10}},
    {Op::curve, {5, 7}, {10, 10}, {6.67, 7}},
    {Op::curve, {0, 10}, {3.33, 7}, {0, 10}},
    {Op::curve, {3, 5}, {0, 10}, {3, 6.67}},
    {Op::close},
};

constexpr Step kSpikyCircle[] = {
    {Op::move, {9, 1.87}},
    {Op::curve, {7.27, 1.63}, {9, 1.87}, {7.67, 1.92}},
    {Op::curve, {6.47, 0.02}, {6.87, 1.34}, {6.47, 0.02}},
    {Op::curve, {4.94, 0.88}, {6.47, 0.02}, {5.42, 0.87}},
    {Op::curve, {3.38, 0.07}, {4.45, 0.89}, {3.38, 0.07}},
    {Op::curve, {2.63, 1.71}, {3.38, 0.07}, {3.02, 1.4}},
    {Op::curve, {0.91, 2}, {2.24, 2.01}, {0.91, 2}},
    {Op::curve, {1.22, 3.79}, {0.91, 2}, {1.37, 3.3}},
    {Op::curve, {0, 5.08}, {1.08, 4.28}, {0, 5.08}},
    {Op::curve, {1.26, 6.34}, {0, 5.08}, {1.11, 5.86}},
    {Op::curve, {1, 8.13}, {1.42, 6.82}, {1, 8.13}},
    {Op::curve, {2.73, 8.37}, {1, 8.13}, {2.33, 8.08}},
    {Op::curve, {3.53, 9.99}, {3.13, 8.66}, {3.53, 9.99}},
    {Op::curve, {5.06, 9.12}, {3.53, 9.99}, {4.58, 9.13}},
    {Op::curve, {6.62, 9.93}, {5.55, 9.11}, {6.62, 9.93}},
    {Op::curve, {7.37, 8.29}, {6.62, 9.93}, {6.98, 8.6}},
    {Op::curve, {9.09, 8}, {7.76, 7.99}, {9.09, 8}},
    {Op::curve, {8.78, 6.21}, {9.09, 8}, {8.63, 6.7}},
    {Op::curve, {10, 4.92}, {8.92, 5.72}, {10, 4.92}},
    {Op::curve, {8.74, 3.66}, {10, 4.92}, {8.89, 4.15}},
    {Op::curve, {9, 1.87}, {8.58, 3.18}, {9, 1.87}},
    {Op::close},
};

constexpr Step kSquircle[] = {
    {Op::move, {5, 0}},
    {Op::curve, {9.2, 0.8}, {7.19, 0}, {8.41, 0}},
    {Op::curve, {10, 5}, {10, 1.59}, {10, 2.81}},
    {Op::curve, {9.2, 9.2}, {10, 7.19}, {10, 8.41}},
    {Op::curve, {5, 10}, {8.41, 10}, {7.19, 10}},
    {Op::curve, {0.8, 9.2}, {2.81, 10}, {1.59, 10}},
    {Op::curve, {0, 5}, {0, 8.41}, {0, 7.19}},
    {Op::curve, {0.8, 0.8}, {0, 2.81}, {0, 1.59}},
    {Op::curve, {5, 0}, {1.59, 0}, {2.81, 0}},
    {Op::close},
};

constexpr Step kStar[] = {
    {Op::move, {5, 0}},
    {Op::line, {6.85, 2.83}},
    {Op::line, {9.99, 3.8}},
    {Op::line, {8, 6.52}},
    {Op::line, {8.09, 9.95}},
    {Op::line, {5, 8.8}},
    {Op::line, {1.91, 9.95}},
    {Op::line, {2, 6.52}},
    {Op::line, {0.01, 3.8}},
    {Op::line, {3.15, 2.83}},
    {Op::close},
};

// Two halves, the second the mirror of the first about x = 5.25.
constexpr Step kStitch[] = {
    {Op::move, {5, 4.77}},
    {Op::curve, {5, 0.9}, {5, 4.77}, {5, 1.3}},
    {Op::curve, {4.63, 0.5}, {5, 0.5}, {4.63, 0.5}},
    {Op::curve, {0.5, 5.72}, {2.35, 0.5}, {0.5, 2.84}},
    {Op::curve, {0.55, 9.6}, {0.5, 5.72}, {0.55, 9.2}},
    {Op::curve, {0.88, 10}, {0.55, 10}, {0.88, 10}},
    {Op::curve, {5, 4.77}, {3.15, 10}, {5, 7.66}},
    {Op::close},
    {Op::move, {5.5, 4.77}},
    {Op::curve, {5.5, 0.9}, {5.5, 4.77}, {5.5, 1.3}},
    {Op::curve, {5.87, 0.5}, {5.5, 0.5}, {5.87, 0.5}},
    {Op::curve, {10, 5.72}, {8.15, 0.5}, {10, 2.84}},
    {Op::curve, {9.95, 9.6}, {10, 5.72}, {9.95, 9.2}},
    {Op::curve, {9.62, 10}, {9.95, 10}, {9.62, 10}},
    {Op::curve, {5.5, 4.77}, {7.35, 10}, {5.5, 7.66}},
    {Op::close},
};

constexpr Step kWave[] = {
    {Op::move, {0, 2}},
    {Op::curve, {2.5, 1}, {0, 2}, {1, 2}},
    {Op::curve, {5, 0}, {4, 0}, {5, 0}},
    {Op::curve, {7.5, 1}, {5, 0}, {6, 0}},
    {Op::curve, {10, 2}, {9, 2}, {10, 2}},
    {Op::line, {10, 10}},
    {Op::curve, {7.5, 9}, {10, 10}, {9, 10}},
    {Op::curve, {5, 8}, {6, 8}, {5, 8}},
    {Op::curve, {2.5, 9}, {5, 8}, {4, 8}},
    {Op::curve, {0, 10}, {1, 10}, {0, 10}},
    {Op::line, {0, 2}},
    {Op::close},
};

constexpr Step kWex[] = {
    {Op::move, {0, 2}},
    {Op::line, {1, 5}},
    {Op::line, {0, 8}},
    {Op::line, {2, 10}},
    {Op::line, {5, 9}},
    {Op::line, {8, 10}},
    {Op::line, {10, 8}},
    {Op::line, {9, 5}},
    {Op::line, {10, 2}},
    {Op::line, {8, 0}},
    {Op::line, {5, 1}},
    {Op::line, {2, 0}},
    {Op::line, {0, 2}},
    {Op::close},
};

} // namespace

gfx::Path arrowTemplate() { return build(kArrow); }
gfx::Path crtTemplate() { return build(kCrt); }

gfx::Path circleTemplate()
{
    gfx::Path path;
    path.addEllipse(gfx::Rect(0, 0, 10, 10));
    return path;
}

// The last point meets the first without a close; filled, it is the same.
gfx::Path diagonalTemplate() { return mirroredInOwnHeight(kDiagonal); }
gfx::Path diamondTemplate() { return build(kDiamond); }
gfx::Path flameTemplate() { return mirroredInOwnHeight(kFlame); }
gfx::Path flowerTemplate() { return build(kFlower); }
gfx::Path gearTemplate() { return build(kGear); }
gfx::Path heartTemplate() { return mirroredInOwnHeight(kHeart); }
gfx::Path hexaTemplate() { return build(kHexa); }
gfx::Path hexagonTemplate() { return build(kHexagon); }
gfx::Path koalaTemplate() { return mirroredInOwnHeight(kKoala); }
gfx::Path leafTemplate() { return mirroredInOwnHeight(kLeaf); }
gfx::Path roundedTriangleTemplate() { return mirroredInBox(kRoundedTriangle); }
gfx::Path sharpTemplate() { return build(kSharp); }
gfx::Path shinyTemplate() { return build(kShiny); }
gfx::Path shinyOddTemplate() { return build(kShinyOdd); }
gfx::Path spikyCircleTemplate() { return build(kSpikyCircle); }
gfx::Path squircleTemplate() { return build(kSquircle); }
gfx::Path starTemplate() { return build(kStar); }
gfx::Path stitchTemplate() { return build(kStitch); }
gfx::Path waveTemplate() { return build(kWave); }
gfx::Path wexTemplate() { return build(kWex); }

} // namespace QRCode::PixelShape
