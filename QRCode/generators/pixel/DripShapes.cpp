#include "QRCode/generators/pixel/DripShapes.h"

#include "QRCode/generators/pixel/detail/TileWalk.h"

#include <array>

namespace QRCode::PixelShape {

namespace {

using namespace outline;

// The dot, shared by both directions: a circle of radius 4.5 about (5, 5).
constexpr OutlineStep kDripDot[] = {
    M(9.5, 5),
    C({5, 0.5}, {9.5, 2.51}, {7.49, 0.5}),
    C({0.5, 5}, {2.51, 0.5}, {0.5, 2.51}),
    C({5, 9.5}, {0.5, 7.49}, {2.51, 9.5}),
    C({9.5, 5}, {7.49, 9.5}, {9.5, 7.49}),
    Z(),
};

// The joined tiles are drawn with y growing towards row - 1 and stored
// flipped top to bottom. The small differences between the neck spans of
// the single and double joins are part of the design.
constexpr OutlineStep kDripRightJoin[] = {
    M(5, 9.5),
    C({8.88, 7.28}, {6.65, 9.5}, {8.1, 8.61}),
    C({9.11, 7.09}, {8.95, 7.21}, {9.03, 7.15}),
    C({10, 6.9}, {9.55, 6.79}, {10, 6.9}),
    L(10, 3.17),
    C({9.11, 2.91}, {10, 3.17}, {9.55, 3.22}),
    C({8.89, 2.73}, {9.03, 2.86}, {8.96, 2.8}),
    C({8.74, 2.5}, {8.84, 2.65}, {8.79, 2.58}),
    C({5, 0.5}, {7.93, 1.29}, {6.56, 0.5}),
    C({0.5, 5}, {2.51, 0.5}, {0.5, 2.51}),
    C({5, 9.5}, {0.5, 7.49}, {2.51, 9.5}),
    Z(),
};
constexpr OutlineStep kDripLeftJoin[] = {
    M(5, 9.5),
    C({1.12, 7.28}, {3.35, 9.5}, {1.9, 8.61}),
    C({0.89, 7.09}, {1.05, 7.21}, {0.97, 7.15}),
    C({0, 6.9}, {0.45, 6.79}, {0, 6.9}),
    L(0, 3.17),
    C({0.89, 2.91}, {0, 3.17}, {0.45, 3.22}),
    C({1.11, 2.73}, {0.97, 2.86}, {1.04, 2.8}),
    C({1.26, 2.5}, {1.16, 2.65}, {1.21, 2.58}),
    C({5, 0.5}, {2.07, 1.29}, {3.44, 0.5}),
    C({9.5, 5}, {7.49, 0.5}, {9.5, 2.51}),
    C({5, 9.5}, {9.5, 7.49}, {7.49, 9.5}),
    Z(),
};
constexpr OutlineStep kDripHorizontalBoth[] = {
    M(10.01, 3.1),
    C({9.11, 2.91}, {10.01, 3.1}, {9.56, 3.21}),
    C({8.89, 2.72}, {9.04, 2.85}, {8.96, 2.79}),
    C({5.01, 0.5}, {8.1, 1.39}, {6.66, 0.5}),
    C({1.13, 2.72}, {3.36, 0.5}, {1.91, 1.39}),
    C({0.9, 2.91}, {1.05, 2.79}, {0.98, 2.85}),
    C({0.01, 3.1}, {0.45, 3.21}, {0.01, 3.1}),
    L(0.01, 6.83),
    C({0.9, 7.09}, {0.01, 6.83}, {0.45, 6.78}),
    C({1.12, 7.27}, {0.97, 7.14}, {1.05, 7.2}),
    C({1.27, 7.5}, {1.17, 7.35}, {1.21, 7.42}),
    C({5.01, 9.5}, {2.07, 8.71}, {3.45, 9.5}),
    C({8.89, 7.27}, {6.67, 9.5}, {8.11, 8.6}),
    C({9.11, 7.09}, {8.97, 7.2}, {9.04, 7.14}),
    C({10.01, 6.83}, {9.56, 6.78}, {10.01, 6.83}),
    L(10.01, 3.1),
    L(10.01, 3.1),
    Z(),
};
constexpr OutlineStep kDripTopJoin[] = {
    M(9.5, 5),
    C({7.28, 8.88}, {9.5, 6.65}, {8.61, 8.1}),
    C({7.09, 9.11}, {7.21, 8.95}, {7.15, 9.03}),
    C({6.9, 10}, {6.79, 9.55}, {6.9, 10}),
    L(3.17, 10),
    C({2.91, 9.11}, {3.17, 10}, {3.22, 9.55}),
    C({2.73, 8.89}, {2.86, 9.03}, {2.8, 8.96}),
    C({2.5, 8.74}, {2.65, 8.84}, {2.58, 8.79}),
    C({0.5, 5}, {1.29, 7.93}, {0.5, 6.56}),
    C({5, 0.5}, {0.5, 2.51}, {2.51, 0.5}),
    C({9.5, 5}, {7.49, 0.5}, {9.5, 2.51}),
    Z(),
};
constexpr OutlineStep kDripBottomJoin[] = {
    M(9.51, 5),
    C({7.29, 1.12}, {9.51, 3.35}, {8.62, 1.9}),
    C({7.1, 0.89}, {7.22, 1.05}, {7.15, 0.97}),
    C({6.91, 0}, {6.79, 0.45}, {6.91, 0}),
    L(3.18, 0),
    C({2.92, 0.89}, {3.18, 0}, {3.23, 0.45}),
    C({2.74, 1.11}, {2.87, 0.97}, {2.81, 1.04}),
    C({2.51, 1.26}, {2.66, 1.16}, {2.58, 1.21}),
    C({0.51, 5}, {1.3, 2.07}, {0.51, 3.44}),
    C({5.01, 9.5}, {0.51, 7.49}, {2.52, 9.5}),
    C({9.51, 5}, {7.49, 9.5}, {9.51, 7.49}),
    Z(),
};
constexpr OutlineStep kDripVerticalBoth[] = {
    M(6.91, 10),
    C({7.1, 9.11}, {6.91, 10}, {6.79, 9.55}),
    C({7.29, 8.88}, {7.15, 9.03}, {7.22, 8.95}),
    C({9.51, 5}, {8.62, 8.1}, {9.51, 6.65}),
    C({7.29, 1.12}, {9.51, 3.35}, {8.62, 1.9}),
    C({7.1, 0.89}, {7.22, 1.05}, {7.15, 0.97}),
    C({6.91, 0}, {6.79, 0.45}, {6.91, 0}),
    L(3.18, 0),
    C({2.92, 0.89}, {3.18, 0}, {3.23, 0.45}),
    C({2.74, 1.11}, {2.87, 0.97}, {2.81, 1.04}),
    C({2.51, 1.26}, {2.66, 1.16}, {2.58, 1.21}),
    C({0.51, 5}, {1.3, 2.07}, {0.51, 3.44}),
    C({2.74, 8.89}, {0.51, 6.66}, {1.4, 8.11}),
    C({2.92, 9.11}, {2.81, 8.96}, {2.87, 9.03}),
    C({3.18, 10}, {3.23, 9.55}, {3.18, 10}),
    L(6.91, 10),
    L(6.91, 10),
    Z(),
};

// Index: 0 none, 1 first neighbour only, 2 second only, 3 both.
const std::array<gfx::Path, 4>& horizontalTiles() {
    static const std::array<gfx::Path, 4> tiles{
        outlinePath(kDripDot),
        mirroredTopDown(outlinePath(kDripLeftJoin), 10),
        mirroredTopDown(outlinePath(kDripRightJoin), 10),
        mirroredTopDown(outlinePath(kDripHorizontalBoth), 10),
    };
    return tiles;
}

const std::array<gfx::Path, 4>& verticalTiles() {
    static const std::array<gfx::Path, 4> tiles{
        outlinePath(kDripDot),
        mirroredTopDown(outlinePath(kDripTopJoin), 10),
        mirroredTopDown(outlinePath(kDripBottomJoin), 10),
        mirroredTopDown(outlinePath(kDripVerticalBoth), 10),
    };
    return tiles;
}

template <class Pick>
void dripOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out, const std::array<gfx::Path, 4>& tiles,
                  Pick pick) {
    neighbours::tiledOutlines(matrix, size, out,
                              [&](const neighbours::TileSink& sink, std::int64_t row, std::int64_t column, bool on) {
                                  if (on) sink.appendFixed(tiles[pick(matrix.neighbourInfo(row, column))]);
                              });
}

} // namespace

void DripHorizontal::drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    dripOutlines(matrix, size, out, horizontalTiles(), [](const BoolMatrix::NeighbourInfo& info) {
        return (info.left ? 1U : 0U) | (info.right ? 2U : 0U);
    });
}

void DripVertical::drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    dripOutlines(matrix, size, out, verticalTiles(), [](const BoolMatrix::NeighbourInfo& info) {
        return (info.top ? 1U : 0U) | (info.bottom ? 2U : 0U);
    });
}

} // namespace QRCode::PixelShape
