#include "QRCode/generators/pixel/TileShapes.h"

#include "QRCode/generators/pixel/detail/TileWalk.h"

#include <array>
#include <span>

namespace QRCode::PixelShape {

namespace {

using namespace outline;
using neighbours::tiledOutlines;
using neighbours::TileSink;

// An outline mirrored inside the unit cell: x -> 10 - x and/or y -> 10 - y.
template <std::size_t N>
constexpr std::array<OutlineStep, N> mirrored(const std::array<OutlineStep, N>& steps, bool mirrorX, bool mirrorY) {
    std::array<OutlineStep, N> result = steps;
    const auto flip = [&](gfx::Point p) { return gfx::Point{mirrorX ? 10 - p.x : p.x, mirrorY ? 10 - p.y : p.y}; };
    for (auto& s : result) {
        if (s.kind == OutlineStep::close) continue;
        s.to = flip(s.to);
        s.c1 = flip(s.c1);
        s.c2 = flip(s.c2);
    }
    return result;
}

// ---- Pointy ---------------------------------------------------------------

// Pentagons: the full half of the square on the neighbour's side, a right
// angled point at the middle of the opposite edge.
constexpr std::array<OutlineStep, 6> kPointTowardsY10{{M(0, 0), L(10, 0), L(10, 5), L(5, 10), L(0, 5), Z()}};
constexpr std::array<OutlineStep, 6> kPointTowardsY0{{M(0, 10), L(10, 10), L(10, 5), L(5, 0), L(0, 5), Z()}};
constexpr std::array<OutlineStep, 6> kPointTowardsX10{{M(0, 0), L(0, 10), L(5, 10), L(10, 5), L(5, 0), Z()}};
constexpr std::array<OutlineStep, 6> kPointTowardsX0{{M(10, 0), L(5, 0), L(0, 5), L(5, 10), L(10, 10), Z()}};

// ---- Grids ----------------------------------------------------------------

// One small square of a grid tile: move, three lines, back to the start,
// close.
constexpr std::array<OutlineStep, 6> gridSquare(double xa, double xb, double ya, double yb) {
    return {{M(xa, ya), L(xb, ya), L(xb, yb), L(xa, yb), L(xa, ya), Z()}};
}

template <std::size_t Squares>
constexpr std::array<OutlineStep, Squares * 6> gridTile(const std::array<std::array<double, 4>, Squares>& squares) {
    std::array<OutlineStep, Squares * 6> steps{};
    for (std::size_t i = 0; i < Squares; ++i) {
        const auto& q = squares[i];
        const auto one = gridSquare(q[0], q[1], q[2], q[3]);
        for (std::size_t k = 0; k < 6; ++k) steps[i * 6 + k] = one[k];
    }
    return steps;
}

// {xa, xb, ya, yb} in drawing order.
constexpr auto kGrid2x2 = gridTile<4>({{
    {0.5, 5, 0, 4.5},
    {5.5, 10, 0, 4.5},
    {0.5, 5, 5, 9.5},
    {5.5, 10, 5, 9.5},
}});

// Column by column. These values are kept exactly (the last column ends at
// 9.99): the gaps are 0.33 inside a module and 0.34 across module edges.
constexpr auto kGrid3x3 = gridTile<9>({{
    {0.33, 3.33, 0, 3},
    {0.33, 3.33, 3.33, 6.33},
    {0.33, 3.33, 6.66, 9.66},
    {3.66, 6.66, 0, 3},
    {3.66, 6.66, 3.33, 6.33},
    {3.66, 6.66, 6.66, 9.66},
    {6.99, 9.99, 0, 3},
    {6.99, 9.99, 3.33, 6.33},
    {6.99, 9.99, 6.66, 9.66},
}});

// Quadrant by quadrant: upper right, upper left, lower right, lower left;
// within a quadrant row by row.
constexpr auto kGrid4x4 = gridTile<16>({{
    {5.25, 7.5, 0.25, 2.5},
    {7.75, 10, 0.25, 2.5},
    {5.25, 7.5, 2.75, 5},
    {7.75, 10, 2.75, 5},
    {0.25, 2.5, 0.25, 2.5},
    {2.75, 5, 0.25, 2.5},
    {0.25, 2.5, 2.75, 5},
    {2.75, 5, 2.75, 5},
    {5.25, 7.5, 5.25, 7.5},
    {7.75, 10, 5.25, 7.5},
    {5.25, 7.5, 7.75, 10},
    {7.75, 10, 7.75, 10},
    {0.25, 2.5, 5.25, 7.5},
    {2.75, 5, 5.25, 7.5},
    {0.25, 2.5, 7.75, 10},
    {2.75, 5, 7.75, 10},
}});

// The tile's squares are one fixed path, flattened once for a whole code.
void gridOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out, const gfx::Path& tile) {
    tiledOutlines(matrix, size, out, [&](const TileSink& sink, std::int64_t, std::int64_t, bool on) {
        if (on) sink.appendFixed(tile);
    });
}

// ---- Razor ----------------------------------------------------------------

// A corner region swept away by a curve that starts at the adjacent corner.
constexpr std::array<OutlineStep, 7> kRazorCut0_10{{
    M(0, 0),
    L(10, 0),
    L(10, 10),
    C({2, 8}, {10, 10}, {4.5, 9.5}),
    C({0, 4}, {-0.5, 6.5}, {0, 4}),
    L(0, 0),
    Z(),
}};
constexpr std::array<OutlineStep, 7> kRazorCut10_10{{
    M(0, 0),
    L(10, 0),
    C({8, 8}, {10, 0}, {9.5, 5.5}),
    C({4, 10}, {6.5, 10.5}, {4, 10}),
    L(0, 10),
    L(0, 0),
    Z(),
}};
constexpr std::array<OutlineStep, 7> kRazorCut0_0{{
    M(2, 2),
    C({6, 0}, {3.5, -0.5}, {6, 0}),
    L(10, 0),
    L(10, 10),
    L(0, 10),
    C({2, 2}, {0, 10}, {0.5, 4.5}),
    Z(),
}};
constexpr std::array<OutlineStep, 7> kRazorCut10_0{{
    M(0, 0),
    C({8, 2}, {0, 0}, {5.5, 0.5}),
    C({10, 6}, {10.5, 3.5}, {10, 6}),
    L(10, 10),
    L(0, 10),
    L(0, 0),
    Z(),
}};

// The square with its corner at (0, 0) rounded (radius 3 along the edges,
// two cubics through (1.22, 0.58)). The first two curves run straight along
// x = 10 and the last line has zero length; both are part of the outline.
constexpr std::array<OutlineStep, 10> kRazorRounded0_0{{
    M(10, 10),
    C({10, 3}, {10, 10}, {10, 3}),
    C({10, 0}, {10, 1.32}, {10, 0}),
    L(3, 0),
    C({1.22, 0.58}, {2.34, 0}, {1.72, 0.22}),
    C({0, 3}, {0.48, 1.13}, {0, 2.01}),
    L(0, 10),
    L(10, 10),
    L(10, 10),
    Z(),
}};
constexpr auto kRazorRounded10_0 = mirrored(kRazorRounded0_0, true, false);
constexpr auto kRazorRounded0_10 = mirrored(kRazorRounded0_0, false, true);
constexpr auto kRazorRounded10_10 = mirrored(kRazorRounded0_0, true, true);

// A small concave piece filling the corner (0, 0) of an off-module, reaching
// 1.25 along each edge.
constexpr std::array<OutlineStep, 5> kRazorFillet0_0{{
    M(1.25, 0),
    L(0, 0),
    C({0, 1.25}, {0, 0}, {0, 0.625}),
    C({1.25, 0}, {0, 0.625}, {0.625, 0}),
    Z(),
}};
constexpr auto kRazorFillet10_0 = mirrored(kRazorFillet0_0, true, false);
constexpr auto kRazorFillet0_10 = mirrored(kRazorFillet0_0, false, true);
constexpr auto kRazorFillet10_10 = mirrored(kRazorFillet0_0, true, true);

} // namespace

void Pointy::drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    tiledOutlines(matrix, size, out, [&](const TileSink& sink, std::int64_t row, std::int64_t column, bool on) {
        if (!on) return;
        const auto nb = matrix.neighbourInfo(row, column);
        if (neighbours::edgeNeighbourCount(nb) != 1) {
            sink.appendRect(0, 0, 10, 10);
        } else if (nb.top) {
            sink.appendFixed(cachedOutline<kPointTowardsY10>());
        } else if (nb.bottom) {
            sink.appendFixed(cachedOutline<kPointTowardsY0>());
        } else if (nb.left) {
            sink.appendFixed(cachedOutline<kPointTowardsX10>());
        } else {
            sink.appendFixed(cachedOutline<kPointTowardsX0>());
        }
    });
}

void Grid2x2::drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    gridOutlines(matrix, size, out, cachedOutline<kGrid2x2>());
}
void Grid3x3::drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    gridOutlines(matrix, size, out, cachedOutline<kGrid3x3>());
}
void Grid4x4::drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    gridOutlines(matrix, size, out, cachedOutline<kGrid4x4>());
}

void Razor::drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    tiledOutlines(matrix, size, out, [&](const TileSink& sink, std::int64_t row, std::int64_t column, bool on) {
        const auto nb = matrix.neighbourInfo(row, column);
        if (!on) {
            if (nb.left && nb.top && nb.topLeft) sink.append(kRazorFillet0_0);
            if (nb.top && nb.right && nb.topRight) sink.append(kRazorFillet10_0);
            if (nb.left && nb.bottom && nb.bottomLeft) sink.append(kRazorFillet0_10);
            if (nb.right && nb.bottom && nb.bottomRight) sink.append(kRazorFillet10_10);
            return;
        }
        switch (neighbours::edgeNeighbourCount(nb)) {
        case 0: sink.appendRoundedRect(0, 0, 10, 10, 3); return;
        case 1:
            if (nb.left)
                sink.append(kRazorCut10_10);
            else if (nb.top)
                sink.append(kRazorCut0_10);
            else if (nb.right)
                sink.append(kRazorCut0_0);
            else
                sink.append(kRazorCut10_0);
            return;
        case 2:
            if (nb.left && nb.top)
                sink.append(kRazorRounded10_10);
            else if (nb.top && nb.right)
                sink.append(kRazorRounded0_10);
            else if (nb.right && nb.bottom)
                sink.append(kRazorRounded0_0);
            else if (nb.left && nb.bottom)
                sink.append(kRazorRounded10_0);
            else
                sink.appendRect(0, 0, 10, 10); // a straight run through the module
            return;
        default: sink.appendRect(0, 0, 10, 10); return;
        }
    });
}

} // namespace QRCode::PixelShape
