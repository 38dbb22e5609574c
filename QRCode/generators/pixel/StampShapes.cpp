#include "QRCode/generators/pixel/StampShapes.h"

#include "QRCode/generators/pixel/detail/TileWalk.h"

namespace QRCode::PixelShape {

namespace {

using namespace outline;

// Seven bands 1.25 units high rising 0.753 units per unit of x, from the
// bottom-left corner to the top-right one. The curves are straight to
// within 0.005 units.
constexpr OutlineStep kDiagonalStripes[] = {
    M(0, 7.56),
    C({0, 8.81}, {0, 8.03}, {0, 8.45}),
    C({1.57, 10}, {0.52, 9.2}, {1.04, 9.6}),
    L(3.23, 10),
    C({0, 7.56}, {2.15, 9.18}, {1.04, 8.35}),
    Z(),
    M(0, 5.06),
    C({0, 6.31}, {0, 5.48}, {0, 5.9}),
    C({4.9, 10}, {1.54, 7.47}, {3.29, 8.79}),
    L(6.56, 10),
    C({0, 5.06}, {4.49, 8.44}, {2, 6.57}),
    Z(),
    M(4.08, 5.63),
    C({0, 2.55}, {2.6, 4.51}, {1.16, 3.42}),
    C({0, 3.81}, {0, 2.95}, {0, 3.37}),
    C({6.08, 8.39}, {1.77, 5.14}, {4.04, 6.85}),
    C({8.22, 10}, {6.84, 8.96}, {7.56, 9.51}),
    L(9.88, 10),
    C({4.08, 5.63}, {8.36, 8.86}, {6.19, 7.22}),
    Z(),
    M(10, 7.59),
    C({0.08, 0.11}, {6.92, 5.27}, {2.34, 1.81}),
    L(0, 0.05),
    C({0, 1.3}, {0, 0.2}, {0, 0.66}),
    C({2.08, 2.87}, {0.6, 1.75}, {1.31, 2.29}),
    C({10, 8.84}, {4.61, 4.78}, {7.82, 7.19}),
    C({10, 7.59}, {10, 8.48}, {10, 8.05}),
    Z(),
    M(10, 1.32),
    C({10, 0.07}, {10, 0.7}, {10, 0.24}),
    L(9.9, 0),
    L(8.24, 0),
    C({10, 1.32}, {8.83, 0.44}, {9.42, 0.89}),
    Z(),
    M(10, 3.83),
    C({10, 2.58}, {10, 3.39}, {10, 2.97}),
    C({6.58, 0}, {8.88, 1.73}, {7.7, 0.84}),
    L(4.92, 0),
    C({10, 3.83}, {6.53, 1.21}, {8.35, 2.59}),
    Z(),
    M(10, 5.08),
    C({3.26, 0}, {7.84, 3.45}, {5.27, 1.51}),
    L(1.6, 0),
    C({10, 6.33}, {3.85, 1.7}, {7.35, 4.33}),
    C({10, 5.08}, {10, 5.92}, {10, 5.5}),
    Z(),
};

// The hole (radius 1.5) first, then the outer circle (radius 5) the other
// way round, so the hole stays empty under either fill rule.
constexpr OutlineStep kDonut[] = {
    M(5, 6.5),
    C({3.5, 5}, {4.17, 6.5}, {3.5, 5.83}),
    C({4.72, 3.53}, {3.5, 4.27}, {4.03, 3.66}),
    C({5, 3.5}, {4.81, 3.51}, {4.91, 3.5}),
    C({6.5, 5}, {5.83, 3.5}, {6.5, 4.17}),
    C({5, 6.5}, {6.5, 5.83}, {5.83, 6.5}),
    Z(),
    M(10, 5),
    C({5, 0}, {10, 2.24}, {7.76, 0}),
    C({2.04, 0.97}, {3.89, 0}, {2.87, 0.36}),
    C({0, 5}, {0.8, 1.88}, {0, 3.35}),
    C({5, 10}, {0, 7.76}, {2.24, 10}),
    C({10, 5}, {7.76, 10}, {10, 7.76}),
    Z(),
};

void stampOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out, const gfx::Path& stamp) {
    neighbours::tiledOutlines(matrix, size, out,
                              [&](const neighbours::TileSink& sink, std::int64_t, std::int64_t, bool on) {
                                  if (on) sink.appendFixed(stamp);
                              });
}

} // namespace

void DiagonalStripes::drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    static const gfx::Path stamp = outlinePath(kDiagonalStripes);
    stampOutlines(matrix, size, out, stamp);
}

void Donut::drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    static const gfx::Path stamp = outlinePath(kDonut);
    stampOutlines(matrix, size, out, stamp);
}

} // namespace QRCode::PixelShape
