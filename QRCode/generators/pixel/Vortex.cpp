#include "QRCode/generators/pixel/Vortex.h"

#include "QRCode/generators/pixel/detail/TileWalk.h"

#include <array>
#include <span>

namespace QRCode::PixelShape {

namespace {

using namespace outline;

// Tubes run between 1 and 9 across their direction and reach the box edge
// where they join; ends and dots are arcs of radius 4 about (5, 5); a bend
// is two pieces that meet along y = 9 (or 1) and leaves its inside corner
// empty. The zero-length lines in the caps are part of the outlines.
// dot
constexpr OutlineStep kDot[] = {
    M(9, 5),
    C({5, 1}, {9, 2.79}, {7.21, 1}),
    C({1, 5}, {2.79, 1}, {1, 2.79}),
    C({5, 9}, {1, 7.21}, {2.79, 9}),
    C({9, 5}, {7.21, 9}, {9, 7.21}),
    Z(),
};
// left cap (rounded end on the left)
constexpr OutlineStep kLeftCap[] = {
    M(1, 5), C({5, 1}, {1, 2.79}, {2.79, 1}), L(10, 1), L(10, 9), L(5, 9), C({1, 5}, {2.79, 9}, {1, 7.21}), Z(),
};
// right cap (rounded end on the right)
constexpr OutlineStep kRightCap[] = {
    M(0, 1), L(5, 1), C({9, 5}, {7.21, 1}, {9, 2.79}), L(9, 5), C({5, 9}, {9, 7.21}, {7.21, 9}), L(0, 9), L(0, 1), Z(),
};
// top cap (rounded end at the top)
constexpr OutlineStep kTopCap[] = {
    M(1, 10), L(9, 10), L(9, 5), C({5, 1}, {9, 2.79}, {7.21, 1}), L(5, 1), C({1, 5}, {2.79, 1}, {1, 2.79}),
    L(1, 10), Z(),
};
// bottom cap (rounded end at the bottom)
constexpr OutlineStep kBottomCap[] = {
    M(1, 5), C({5, 9}, {1, 7.21}, {2.79, 9}), L(5, 9), C({9, 5}, {7.21, 9}, {9, 7.21}), L(9, 0), L(1, 0), L(1, 5), Z(),
};
// horizontal bar
constexpr OutlineStep kHorizontalBar[] = {
    M(0, 1), L(10, 1), L(10, 9), L(0, 9), L(0, 1), Z(),
};
// vertical bar
constexpr OutlineStep kVerticalBar[] = {
    M(1, 0), L(9, 0), L(9, 10), L(1, 10), L(1, 0), Z(),
};
// top-left bend (outer corner at the top left rounded)
constexpr OutlineStep kTopLeftBend[] = {
    M(1, 9), L(10, 9), L(10, 1), L(5, 1), C({1, 5}, {2.79, 1}, {1, 2.79}), L(1, 9), Z(), M(1, 10), L(9, 10),
    L(9, 9), L(1, 9),  L(1, 10), Z(),
};
// top-right bend (outer corner at the top right rounded)
constexpr OutlineStep kTopRightBend[] = {
    M(9, 9), L(0, 9), L(0, 1),  L(5, 1), C({9, 5}, {7.21, 1}, {9, 2.79}), L(9, 9), Z(), M(9, 10), L(1, 10),
    L(1, 9), L(9, 9), L(9, 10), Z(),
};
// bottom-left bend (outer corner at the bottom left rounded)
constexpr OutlineStep kBottomLeftBend[] = {
    M(1, 1), L(10, 1), L(10, 9), L(5, 9), C({1, 5}, {2.79, 9}, {1, 7.21}), L(1, 1), Z(), M(1, 0), L(9, 0),
    L(9, 1), L(1, 1),  L(1, 0),  Z(),
};
// bottom-right bend (outer corner at the bottom right rounded)
constexpr OutlineStep kBottomRightBend[] = {
    M(9, 1), L(0, 1), L(0, 9), L(5, 9), C({9, 5}, {7.21, 9}, {9, 7.21}), L(9, 1), Z(), M(9, 0), L(1, 0),
    L(1, 1), L(9, 1), L(9, 0), Z(),
};

enum Tile : std::size_t {
    dot,
    leftCap,
    rightCap,
    topCap,
    bottomCap,
    horizontalBar,
    verticalBar,
    topLeftBend,
    topRightBend,
    bottomLeftBend,
    bottomRightBend,
    tileCount
};

// Which tile an on-module of the ring takes from its two neighbours along
// the ring: none, only the first, only the second, both.
struct Choice {
    Tile none, first, second, both;
    Tile pick(bool a, bool b) const noexcept { return a ? (b ? both : first) : (b ? second : none); }
};

constexpr Choice kTopLeftCorner{dot, leftCap, topCap, topLeftBend};             // right, bottom
constexpr Choice kTopRightCorner{dot, rightCap, topCap, topRightBend};          // left, bottom
constexpr Choice kBottomLeftCorner{dot, leftCap, bottomCap, bottomLeftBend};    // right, top
constexpr Choice kBottomRightCorner{dot, rightCap, bottomCap, bottomRightBend}; // left, top
constexpr Choice kRowBetween{dot, rightCap, leftCap, horizontalBar};            // left, right
constexpr Choice kColumnBetween{dot, bottomCap, topCap, verticalBar};           // top, bottom

} // namespace

gfx::Path Vortex::generatePath(const BoolMatrix& matrix, gfx::Size size) {
    return gfx::pathOfOutlines(neighbours::onModuleCount(matrix) * 8,
                               [&](gfx::OutlineSink& sink) { generateOutlines(matrix, size, sink); });
}

void Vortex::generateOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& sink) {
    const std::int64_t d = matrix.dimension();
    if (d < 2) return;
    const auto layout = neighbours::ModuleLayout::of(matrix, size);
    if (!layout) return;

    // The shape keeps no tiles: each outline is drawn from its table
    // straight into the result.
    const std::array<std::span<const OutlineStep>, tileCount> tiles{
        kDot,         kLeftCap,     kRightCap,     kTopCap,         kBottomCap,       kHorizontalBar,
        kVerticalBar, kTopLeftBend, kTopRightBend, kBottomLeftBend, kBottomRightBend,
    };
    const auto place = [&](std::int64_t row, std::int64_t column, Tile tileIndex) {
        neighbours::TileSink(sink, layout->unitCellTransform(row, column)).append(tiles[tileIndex]);
        sink.endFigure();
    };

    for (std::int64_t k = 0; k < d / 2; ++k) {
        const std::int64_t first = k;
        const std::int64_t last = d - k - 1;
        // The two rows of the ring, corners included, left to right.
        for (const std::int64_t row : {first, last}) {
            for (std::int64_t column = first; column <= last; ++column) {
                if (!matrix(row, column)) continue;
                const BoolMatrix::NeighbourInfo n = matrix.neighbourInfo(row, column);
                Tile chosen;
                if (column == first) {
                    chosen =
                        row == first ? kTopLeftCorner.pick(n.right, n.bottom) : kBottomLeftCorner.pick(n.right, n.top);
                } else if (column == last) {
                    chosen =
                        row == first ? kTopRightCorner.pick(n.left, n.bottom) : kBottomRightCorner.pick(n.left, n.top);
                } else {
                    chosen = kRowBetween.pick(n.left, n.right);
                }
                place(row, column, chosen);
            }
        }
        // The two columns between the corners, top to bottom.
        for (const std::int64_t column : {first, last}) {
            for (std::int64_t row = first + 1; row < last; ++row) {
                if (!matrix(row, column)) continue;
                const BoolMatrix::NeighbourInfo n = matrix.neighbourInfo(row, column);
                place(row, column, kColumnBetween.pick(n.top, n.bottom));
            }
        }
    }
    if (d % 2 == 1 && matrix(d / 2, d / 2)) place(d / 2, d / 2, dot);
}

} // namespace QRCode::PixelShape
