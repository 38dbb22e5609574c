#include "QRCode/generators/pixel/JoinedTileShapes.h"

#include "QRCode/generators/pixel/detail/TileWalk.h"

#include <array>

namespace QRCode::PixelShape {

namespace {

using namespace outline;

constexpr double kCornerRadius = 3;

// Rounded corners of an on-module's square, one bit per corner.
enum Corner : unsigned { topLeft = 1, topRight = 2, bottomRight = 4, bottomLeft = 8 };

// The square traced clockwise on screen from the top edge; a rounded corner
// is a line to 3 units before the corner and a cubic whose first control is
// the corner and whose second is its own end point (not a circular arc).
gfx::Path blobSquare(unsigned rounded) {
    const double r = kCornerRadius;
    gfx::Path p;
    p.moveTo({(rounded & topLeft) != 0 ? r : 0, 0});
    if ((rounded & topRight) != 0) {
        p.lineTo({10 - r, 0});
        p.curveTo({10, 0}, {10, r}, {10, r});
    } else {
        p.lineTo({10, 0});
    }
    if ((rounded & bottomRight) != 0) {
        p.lineTo({10, 10 - r});
        p.curveTo({10, 10}, {10 - r, 10}, {10 - r, 10});
    } else {
        p.lineTo({10, 10});
    }
    if ((rounded & bottomLeft) != 0) {
        p.lineTo({r, 10});
        p.curveTo({0, 10}, {0, 10 - r}, {0, 10 - r});
    } else {
        p.lineTo({0, 10});
    }
    if ((rounded & topLeft) != 0) {
        p.lineTo({0, r});
        p.curveTo({0, 0}, {r, 0}, {r, 0});
    } else {
        p.lineTo({0, 0});
    }
    p.closeSubpath();
    return p;
}

const gfx::Path& onTile(unsigned rounded) {
    static const std::array<gfx::Path, 16> tiles = [] {
        std::array<gfx::Path, 16> built;
        for (unsigned i = 0; i < 16; ++i) built[i] = blobSquare(i);
        return built;
    }();
    return tiles[rounded];
}

// The fillets of an off-module's concave corners: each fills the region
// between the box corner and a curve from the middle of one of the corner's
// edges to the middle of the other.
constexpr OutlineStep kFilletTopLeft[] = {
    M(0, 5), C({1.1, 1.2}, {0, 5}, {0, 2.4}), C({5, 0}, {2.2, 0}, {5, 0}), L(0, 0), L(0, 5), Z(),
};
constexpr OutlineStep kFilletTopRight[] = {
    M(10, 5), C({8.9, 1.2}, {10, 5}, {10, 2.4}), C({5, 0}, {7.8, 0}, {5, 0}), L(10, 0), L(10, 5), Z(),
};
constexpr OutlineStep kFilletBottomLeft[] = {
    M(0, 5), C({1.1, 8.8}, {0, 5}, {0, 7.6}), C({5, 10}, {2.2, 10}, {5, 10}), L(0, 10), L(0, 5), Z(),
};
constexpr OutlineStep kFilletBottomRight[] = {
    M(10, 5), C({8.9, 8.8}, {10, 5}, {10, 7.6}), C({5, 10}, {7.8, 10}, {5, 10}), L(10, 10), L(10, 5), Z(),
};

const std::array<gfx::Path, 4>& fillets() {
    static const std::array<gfx::Path, 4> tiles{
        outlinePath(kFilletTopLeft),
        outlinePath(kFilletTopRight),
        outlinePath(kFilletBottomLeft),
        outlinePath(kFilletBottomRight),
    };
    return tiles;
}

} // namespace

void Blob::drawOutlines(const BoolMatrix& matrix, gfx::Size size, gfx::OutlineSink& out) {
    neighbours::tiledOutlines(matrix, size, out,
                                 [&](const neighbours::TileSink& sink, std::int64_t row, std::int64_t column, bool on) {
                                     const BoolMatrix::NeighbourInfo n = matrix.neighbourInfo(row, column);
                                     if (on) {
                                         // A corner is rounded only when all three modules touching it are off.
                                         unsigned rounded = 0;
                                         if (!n.left && !n.top && !n.topLeft) rounded |= topLeft;
                                         if (!n.right && !n.top && !n.topRight) rounded |= topRight;
                                         if (!n.right && !n.bottom && !n.bottomRight) rounded |= bottomRight;
                                         if (!n.left && !n.bottom && !n.bottomLeft) rounded |= bottomLeft;
                                         sink.appendFixed(onTile(rounded));
                                         return;
                                     }
                                     // An off-module between two on-modules meeting at its corner gets a
                                     // fillet there; the diagonal module is not looked at.
                                     const auto& f = fillets();
                                     if (n.left && n.top) sink.appendFixed(f[0]);
                                     if (n.top && n.right) sink.appendFixed(f[1]);
                                     if (n.left && n.bottom) sink.appendFixed(f[2]);
                                     if (n.bottom && n.right) sink.appendFixed(f[3]);
                                 });
}

} // namespace QRCode::PixelShape
