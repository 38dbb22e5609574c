#include "QRCode/generators/pixel/JoinedTileShapes.h"

#include "QRCode/generators/pixel/detail/TileWalk.h"

#include <array>
#include <span>

namespace QRCode::PixelShape {

namespace {

using neighbours::close;
using neighbours::curve;
using neighbours::line;
using neighbours::move;
using neighbours::OutlineStep;

// Discs of radius 4 about (5, 5); arms about 2 units wide along the
// diagonals, cut square just past the box corner so that the arms of two
// diagonal neighbours overlap into one bar. Every tile with arms runs the
// same way round, so overlapping arms add up under the non-zero rule. The
// short runs of lines and repeated points are part of the outlines.
constexpr OutlineStep kCrosshatchTopLeft[] = {
    move(0.74, -0.74), curve({3.01, 1.53}, {0.74, -0.74}, {1.82, 0.34}), curve({5, 1}, {3.6, 1.19}, {4.28, 1}),
    curve({9, 5}, {7.21, 1}, {9, 2.79}), curve({5, 9}, {9, 7.21}, {7.21, 9}),
    curve({2.94, 8.43}, {4.25, 9}, {3.54, 8.79}), curve({1, 5}, {1.78, 7.73}, {1, 6.46}),
    curve({1.58, 2.92}, {1, 4.24}, {1.21, 3.53}), curve({0.56, 1.9}, {1.22, 2.56}, {0.87, 2.21}),
    curve({-0.67, 0.67}, {-0.15, 1.19}, {-0.67, 0.67}), line(0.74, -0.74), close(),
};
constexpr OutlineStep kCrosshatchTopRight[] = {
    move(9.26, -0.74), curve({10.67, 0.67}, {9.26, -0.74}, {10.67, 0.67}),
    curve({8.42, 2.92}, {10.67, 0.67}, {9.6, 1.74}), curve({9, 5}, {8.79, 3.53}, {9, 4.24}),
    curve({5, 9}, {9, 7.21}, {7.21, 9}), curve({2.94, 8.43}, {4.25, 9}, {3.54, 8.79}),
    curve({1, 5}, {1.78, 7.73}, {1, 6.46}), curve({5, 1}, {1, 2.79}, {2.79, 1}),
    curve({6.99, 1.53}, {5.72, 1}, {6.4, 1.19}), curve({9.26, -0.74}, {8.18, 0.34}, {9.26, -0.74}),
    line(9.26, -0.74), close(),
};
constexpr OutlineStep kCrosshatchBottomLeft[] = {
    move(9, 5), curve({5, 9}, {9, 7.21}, {7.21, 9}), curve({2.97, 8.45}, {4.26, 9}, {3.56, 8.8}),
    curve({0.77, 10.65}, {1.83, 9.59}, {0.77, 10.65}), curve({0.05, 9.93}, {0.77, 10.65}, {0.41, 10.29}),
    curve({-0.65, 9.23}, {-0.3, 9.58}, {-0.65, 9.23}), curve({1.55, 7.03}, {-0.65, 9.23}, {0.41, 8.17}),
    curve({1, 5}, {1.2, 6.44}, {1, 5.74}), curve({5, 1}, {1, 2.79}, {2.79, 1}), curve({9, 5}, {7.21, 1}, {9, 2.79}),
    close(),
};
constexpr OutlineStep kCrosshatchBottomRight[] = {
    move(9, 5), curve({8.47, 6.99}, {9, 5.72}, {8.81, 6.4}), curve({10.74, 9.26}, {9.69, 8.21}, {10.74, 9.26}),
    line(9.33, 10.67), curve({7.08, 8.42}, {9.33, 10.67}, {8.29, 9.63}), curve({5, 9}, {6.47, 8.79}, {5.76, 9}),
    curve({2.94, 8.43}, {4.25, 9}, {3.54, 8.79}), curve({1, 5}, {1.78, 7.73}, {1, 6.46}),
    curve({5, 1}, {1, 2.79}, {2.79, 1}), curve({9, 5}, {7.21, 1}, {9, 2.79}), close(),
};
constexpr OutlineStep kCrosshatchTopLeftTopRight[] = {
    move(9.26, -0.74), line(10.67, 0.67), curve({8.42, 2.92}, {10.67, 0.67}, {9.6, 1.74}),
    curve({9, 5}, {8.79, 3.53}, {9, 4.24}), curve({5, 9}, {9, 7.21}, {7.21, 9}),
    curve({2.94, 8.43}, {4.25, 9}, {3.54, 8.79}), curve({1, 5}, {1.78, 7.73}, {1, 6.46}),
    curve({1.58, 2.92}, {1, 4.24}, {1.21, 3.53}), curve({0.56, 1.9}, {1.22, 2.56}, {0.87, 2.21}),
    curve({-0.67, 0.67}, {-0.15, 1.19}, {-0.67, 0.67}), line(0.74, -0.74),
    curve({3.01, 1.53}, {0.74, -0.74}, {1.82, 0.34}), curve({5, 1}, {3.6, 1.19}, {4.28, 1}),
    curve({6.99, 1.53}, {5.72, 1}, {6.4, 1.19}), curve({9.26, -0.74}, {8.18, 0.34}, {9.26, -0.74}), close(),
};
constexpr OutlineStep kCrosshatchTopLeftBottomLeft[] = {
    move(0.74, -0.74), curve({3.01, 1.53}, {0.74, -0.74}, {1.82, 0.34}), curve({5, 1}, {3.6, 1.19}, {4.28, 1}),
    curve({9, 5}, {7.21, 1}, {9, 2.79}), curve({5, 9}, {9, 7.21}, {7.21, 9}),
    curve({2.97, 8.45}, {4.26, 9}, {3.56, 8.8}), curve({0.77, 10.65}, {1.83, 9.59}, {0.77, 10.65}),
    curve({0.05, 9.93}, {0.54, 10.42}, {0.3, 10.18}), line(0.01, 9.89),
    curve({-0.65, 9.23}, {-0.33, 9.55}, {-0.65, 9.23}), curve({0.11, 8.48}, {-0.65, 9.23}, {-0.35, 8.93}),
    curve({1.55, 7.03}, {0.5, 8.08}, {1.02, 7.57}), curve({1, 5}, {1.2, 6.44}, {1, 5.74}),
    curve({1.58, 2.92}, {1, 4.24}, {1.21, 3.53}), curve({0.56, 1.91}, {1.22, 2.57}, {0.87, 2.22}),
    curve({-0.67, 0.67}, {-0.15, 1.19}, {-0.67, 0.67}), line(0.74, -0.74), close(),
};
constexpr OutlineStep kCrosshatchBottomLeftBottomRight[] = {
    move(9, 5), curve({8.47, 6.99}, {9, 5.72}, {8.81, 6.4}), curve({10.75, 9.24}, {9.56, 8.06}, {10.75, 9.24}),
    line(9.35, 10.66), curve({7.07, 8.42}, {9.35, 10.66}, {8.16, 9.49}), curve({5, 9}, {6.47, 8.79}, {5.76, 9}),
    curve({2.97, 8.45}, {4.26, 9}, {3.56, 8.8}), curve({0.77, 10.65}, {1.83, 9.59}, {0.77, 10.65}),
    curve({0.07, 9.95}, {0.77, 10.65}, {0.42, 10.3}), curve({-0.65, 9.23}, {-0.29, 9.59}, {-0.65, 9.23}),
    curve({1.55, 7.03}, {-0.65, 9.23}, {0.41, 8.17}), curve({1, 5}, {1.2, 6.44}, {1, 5.74}),
    curve({5, 1}, {1, 2.79}, {2.79, 1}), curve({9, 5}, {7.21, 1}, {9, 2.79}), close(),
};
constexpr OutlineStep kCrosshatchTopRightBottomRight[] = {
    move(9.26, -0.74), line(10.67, 0.67), curve({8.42, 2.92}, {10.67, 0.67}, {9.6, 1.74}),
    curve({9, 5}, {8.79, 3.53}, {9, 4.24}), curve({8.47, 6.99}, {9, 5.72}, {8.81, 6.4}),
    curve({10.74, 9.26}, {9.64, 8.16}, {10.74, 9.26}), line(9.33, 10.67),
    curve({8.94, 10.28}, {9.33, 10.67}, {9.18, 10.52}), curve({8.79, 10.14}, {8.89, 10.23}, {8.84, 10.19}),
    line(8.72, 10.06), line(8.67, 10.02), line(8.63, 9.98), curve({7.96, 9.31}, {8.44, 9.78}, {8.21, 9.55}),
    line(7.91, 9.25), curve({7.64, 8.98}, {7.82, 9.16}, {7.73, 9.07}), line(7.58, 8.92), line(7.52, 8.87),
    line(7.47, 8.81), line(7.41, 8.75), line(7.35, 8.7), line(7.29, 8.64), line(7.08, 8.42),
    curve({5, 9}, {6.47, 8.79}, {5.76, 9}), curve({2.94, 8.43}, {4.25, 9}, {3.54, 8.79}),
    curve({1, 5}, {1.78, 7.73}, {1, 6.46}), curve({5, 1}, {1, 2.79}, {2.79, 1}),
    curve({6.99, 1.53}, {5.72, 1}, {6.4, 1.19}), curve({9.26, -0.74}, {8.18, 0.34}, {9.26, -0.74}), close(),
};
constexpr OutlineStep kCrosshatchTopRightBottomLeft[] = {
    move(9.26, -0.74), line(10.67, 0.67), curve({8.42, 2.92}, {10.67, 0.67}, {9.6, 1.74}),
    curve({9, 5}, {8.79, 3.53}, {9, 4.24}), curve({5, 9}, {9, 7.21}, {7.21, 9}),
    curve({2.96, 8.44}, {4.26, 9}, {3.56, 8.8}), curve({0.77, 10.65}, {1.83, 9.59}, {0.77, 10.65}),
    curve({0.06, 9.93}, {0.54, 10.42}, {0.3, 10.18}), curve({-0.65, 9.23}, {-0.3, 9.58}, {-0.65, 9.23}),
    curve({1.55, 7.03}, {-0.65, 9.23}, {0.41, 8.17}), curve({1, 5}, {1.2, 6.44}, {1, 5.74}),
    curve({5, 1}, {1, 2.79}, {2.79, 1}), curve({6.99, 1.53}, {5.72, 1}, {6.4, 1.19}),
    curve({9.26, -0.74}, {8.18, 0.34}, {9.26, -0.74}), close(),
};
constexpr OutlineStep kCrosshatchTopLeftBottomRight[] = {
    move(0.74, -0.74), curve({3.01, 1.53}, {0.74, -0.74}, {1.82, 0.34}), curve({5, 1}, {3.6, 1.19}, {4.28, 1}),
    curve({9, 5}, {7.21, 1}, {9, 2.79}), curve({8.47, 6.99}, {9, 5.72}, {8.81, 6.4}),
    curve({10.75, 9.24}, {9.56, 8.06}, {10.75, 9.24}), line(9.35, 10.66),
    curve({7.07, 8.42}, {9.35, 10.66}, {8.16, 9.49}), curve({5, 9}, {6.47, 8.79}, {5.76, 9}),
    curve({2.94, 8.43}, {4.25, 9}, {3.54, 8.79}), curve({1, 5}, {1.78, 7.73}, {1, 6.46}),
    curve({1.58, 2.92}, {1, 4.24}, {1.21, 3.53}), curve({0.56, 1.9}, {1.22, 2.56}, {0.87, 2.21}),
    curve({-0.67, 0.67}, {-0.15, 1.19}, {-0.67, 0.67}), line(0.74, -0.74), close(),
};
constexpr OutlineStep kCrosshatchTopLeftTopRightBottomLeft[] = {
    move(9.26, -0.74), line(10.67, 0.67), curve({8.42, 2.92}, {10.67, 0.67}, {9.6, 1.74}),
    curve({9, 5}, {8.79, 3.53}, {9, 4.24}), curve({5, 9}, {9, 7.21}, {7.21, 9}),
    curve({2.96, 8.44}, {4.26, 9}, {3.56, 8.8}), curve({0.77, 10.65}, {1.83, 9.59}, {0.77, 10.65}),
    curve({0.06, 9.93}, {0.54, 10.42}, {0.3, 10.18}), curve({-0.65, 9.23}, {-0.3, 9.58}, {-0.65, 9.23}),
    curve({1.55, 7.03}, {-0.65, 9.23}, {0.41, 8.17}), curve({1, 5}, {1.2, 6.44}, {1, 5.74}),
    curve({1.58, 2.92}, {1, 4.24}, {1.21, 3.53}), curve({0.56, 1.91}, {1.22, 2.57}, {0.87, 2.22}),
    curve({-0.67, 0.67}, {-0.15, 1.19}, {-0.67, 0.67}), line(0.74, -0.74),
    curve({3.01, 1.53}, {0.74, -0.74}, {1.82, 0.34}), curve({5, 1}, {3.6, 1.19}, {4.28, 1}),
    curve({6.99, 1.53}, {5.72, 1}, {6.4, 1.19}), curve({9.26, -0.74}, {8.18, 0.34}, {9.26, -0.74}), close(),
};
constexpr OutlineStep kCrosshatchTopLeftTopRightBottomRight[] = {
    move(9.26, -0.74), curve({10.67, 0.67}, {9.26, -0.74}, {10.67, 0.67}),
    curve({8.42, 2.92}, {10.67, 0.67}, {9.6, 1.74}), curve({9, 5}, {8.79, 3.53}, {9, 4.24}),
    curve({8.47, 6.99}, {9, 5.72}, {8.81, 6.4}), curve({10.75, 9.24}, {9.56, 8.06}, {10.75, 9.24}),
    line(9.35, 10.66), curve({7.07, 8.42}, {9.35, 10.66}, {8.16, 9.49}), curve({5, 9}, {6.47, 8.79}, {5.76, 9}),
    curve({2.94, 8.43}, {4.25, 9}, {3.54, 8.79}), curve({1, 5}, {1.78, 7.73}, {1, 6.46}),
    curve({1.58, 2.92}, {1, 4.24}, {1.21, 3.53}), curve({0.56, 1.91}, {1.22, 2.57}, {0.87, 2.22}),
    curve({-0.67, 0.67}, {-0.15, 1.19}, {-0.67, 0.67}), line(0.74, -0.74),
    curve({3.01, 1.53}, {0.74, -0.74}, {1.82, 0.34}), curve({5, 1}, {3.6, 1.19}, {4.28, 1}),
    curve({6.99, 1.53}, {5.72, 1}, {6.4, 1.19}), curve({9.26, -0.74}, {8.18, 0.34}, {9.26, -0.74}),
    line(9.26, -0.74), close(),
};
constexpr OutlineStep kCrosshatchTopRightBottomLeftBottomRight[] = {
    move(9.26, -0.74), line(10.67, 0.67), curve({8.42, 2.92}, {10.67, 0.67}, {9.6, 1.74}),
    curve({9, 5}, {8.79, 3.53}, {9, 4.24}), curve({8.47, 6.99}, {9, 5.72}, {8.81, 6.4}),
    curve({10.75, 9.24}, {9.56, 8.06}, {10.75, 9.24}), line(9.35, 10.66),
    curve({7.07, 8.42}, {9.35, 10.66}, {8.16, 9.49}), curve({5, 9}, {6.47, 8.79}, {5.76, 9}),
    curve({2.97, 8.45}, {4.26, 9}, {3.56, 8.8}), curve({0.77, 10.65}, {1.83, 9.59}, {0.77, 10.65}),
    curve({0.07, 9.95}, {0.77, 10.65}, {0.42, 10.3}), curve({-0.65, 9.23}, {-0.29, 9.59}, {-0.65, 9.23}),
    curve({1.55, 7.03}, {-0.65, 9.23}, {0.41, 8.17}), curve({1, 5}, {1.2, 6.44}, {1, 5.74}),
    curve({5, 1}, {1, 2.79}, {2.79, 1}), curve({6.99, 1.53}, {5.72, 1}, {6.4, 1.19}),
    curve({9.26, -0.74}, {8.18, 0.34}, {9.26, -0.74}), close(),
};
constexpr OutlineStep kCrosshatchTopLeftBottomLeftBottomRight[] = {
    move(0.74, -0.74), curve({3.01, 1.53}, {0.74, -0.74}, {1.82, 0.34}), curve({5, 1}, {3.6, 1.19}, {4.28, 1}),
    curve({9, 5}, {7.21, 1}, {9, 2.79}), curve({8.47, 6.99}, {9, 5.72}, {8.81, 6.4}),
    curve({10.75, 9.24}, {9.56, 8.06}, {10.75, 9.24}), line(9.35, 10.66),
    curve({7.07, 8.42}, {9.35, 10.66}, {8.16, 9.49}), curve({5, 9}, {6.47, 8.79}, {5.76, 9}),
    curve({2.97, 8.45}, {4.26, 9}, {3.56, 8.8}), curve({0.77, 10.65}, {1.83, 9.59}, {0.77, 10.65}),
    curve({0.05, 9.93}, {0.54, 10.42}, {0.3, 10.18}), line(0.01, 9.89),
    curve({-0.65, 9.23}, {-0.33, 9.55}, {-0.65, 9.23}), curve({0.11, 8.48}, {-0.65, 9.23}, {-0.35, 8.93}),
    curve({1.55, 7.03}, {0.5, 8.08}, {1.02, 7.57}), curve({1, 5}, {1.2, 6.44}, {1, 5.74}),
    curve({1.58, 2.92}, {1, 4.24}, {1.21, 3.53}), curve({0.56, 1.91}, {1.22, 2.57}, {0.87, 2.22}),
    curve({-0.67, 0.67}, {-0.15, 1.19}, {-0.67, 0.67}), line(0.74, -0.74), close(),
};
constexpr OutlineStep kCrosshatchAllFour[] = {
    move(9.26, -0.74), line(10.67, 0.67), curve({8.42, 2.92}, {10.67, 0.67}, {9.6, 1.74}),
    curve({9, 5}, {8.79, 3.53}, {9, 4.24}), curve({8.47, 6.99}, {9, 5.72}, {8.81, 6.4}),
    curve({10.75, 9.24}, {9.56, 8.06}, {10.75, 9.24}), line(9.35, 10.66),
    curve({7.07, 8.42}, {9.35, 10.66}, {8.16, 9.49}), curve({5, 9}, {6.47, 8.79}, {5.76, 9}),
    curve({2.96, 8.44}, {4.26, 9}, {3.56, 8.8}), curve({0.77, 10.65}, {1.83, 9.59}, {0.77, 10.65}),
    curve({0.06, 9.93}, {0.54, 10.42}, {0.3, 10.18}), curve({-0.65, 9.23}, {-0.3, 9.58}, {-0.65, 9.23}),
    curve({1.55, 7.03}, {-0.65, 9.23}, {0.41, 8.17}), curve({1, 5}, {1.2, 6.44}, {1, 5.74}),
    curve({1.58, 2.92}, {1, 4.24}, {1.21, 3.53}), curve({0.56, 1.9}, {1.22, 2.56}, {0.87, 2.21}),
    curve({-0.67, 0.67}, {-0.15, 1.19}, {-0.67, 0.67}), line(0.74, -0.74),
    curve({2.29, 0.8}, {0.74, -0.74}, {1.42, -0.07}), curve({3.01, 1.53}, {2.52, 1.03}, {2.76, 1.28}),
    curve({5, 1}, {3.6, 1.19}, {4.28, 1}), curve({6.99, 1.53}, {5.72, 1}, {6.4, 1.19}),
    curve({9.26, -0.74}, {8.18, 0.34}, {9.26, -0.74}), close(),
};

// Indexed by the arms: topLeft 1, topRight 2, bottomLeft 4, bottomRight 8; no
// arm draws the plain disc.
constexpr std::array<std::span<const OutlineStep>, 16> kCrosshatchTiles{{
    {},
    kCrosshatchTopLeft,
    kCrosshatchTopRight,
    kCrosshatchTopLeftTopRight,
    kCrosshatchBottomLeft,
    kCrosshatchTopLeftBottomLeft,
    kCrosshatchTopRightBottomLeft,
    kCrosshatchTopLeftTopRightBottomLeft,
    kCrosshatchBottomRight,
    kCrosshatchTopLeftBottomRight,
    kCrosshatchTopRightBottomRight,
    kCrosshatchTopLeftTopRightBottomRight,
    kCrosshatchBottomLeftBottomRight,
    kCrosshatchTopLeftBottomLeftBottomRight,
    kCrosshatchTopRightBottomLeftBottomRight,
    kCrosshatchAllFour,
}};

const gfx::Path& crosshatchTile(unsigned arms)
{
    static const std::array<gfx::Path, 16> tiles = [] {
        std::array<gfx::Path, 16> built;
        built[0].addEllipse(gfx::Rect(1, 1, 8, 8));
        for (unsigned i = 1; i < 16; ++i) built[i] = neighbours::outlinePath(kCrosshatchTiles[i]);
        return built;
    }();
    return tiles[arms];
}

} // namespace

gfx::Path Crosshatch::generatePath(const BoolMatrix& matrix, gfx::Size size)
{
    return neighbours::tiledPath(matrix, size, 14, [&](const neighbours::TileSink& sink, std::int64_t row,
                                                   std::int64_t column, bool on) {
        if (!on) return;
        const BoolMatrix::NeighbourInfo n = matrix.neighbourInfo(row, column);
        const unsigned arms = (n.topLeft ? 1U : 0U) | (n.topRight ? 2U : 0U) | (n.bottomLeft ? 4U : 0U) |
                              (n.bottomRight ? 8U : 0U);
        sink.append(crosshatchTile(arms));
    });
}

} // namespace QRCode::PixelShape
