#include "QRCode/generators/eye/Square.h"
#include "QRCode/design/Shape.h"
#include "QRCode/design/LogoTemplate.h"
#include "QRCode/render/detail/PathComposition.h"
#include "QRCode/generators/detail/OutlineSteps.h"
#include "QRCode/generators/detail/PixelShapeLink.h"
#include "QRCode/generators/PixelInsetGenerator.h"
#include "QRCode/generators/PixelRotationGenerator.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/QRCode.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>

namespace QRCode {

namespace rendering {

namespace {

using gfx::AffineTransform;

// A plain square generator: exact module squares.
std::shared_ptr<QRCodePixelShapeGenerator> plainSquare() { return PixelShape::Square::Create(); }

// The matrix masked by the logo (sized to the module grid's side), or the
// matrix itself when there is no logo.
BoolMatrix masked(BoolMatrix matrix, const LogoTemplate* logoTemplate, double side) {
    if (logoTemplate == nullptr || !logoTemplate->masksQRCodePixels()) return matrix;
    return logoTemplate->applyingMask(matrix, side);
}

// Appends the pixel path of `matrix` drawn by `generator` at `size`, moved by
// (q, q); plain squares are merged when allowed.
void appendPixels(gfx::Path& out, QRCodePixelShapeGenerator& generator, const BoolMatrix& matrix, gfx::Size size,
                  double q, bool mergeSquares) {
    if (mergeSquares && isPlainSquare(generator)) {
        appendMergedSquares(out, matrix, size, {q, q});
        return;
    }
    gfx::Path pixels = generator.generatePath(matrix, size);
    if (out.isEmpty()) {
        // A version-40 outline runs to tens of megabytes: taken, not copied.
        out = q == 0 ? std::move(pixels) : std::move(pixels).transformed(AffineTransform::translation(q, q));
    } else if (q == 0) {
        out.addPath(pixels);
    } else {
        out.addPath(pixels, AffineTransform::translation(q, q));
    }
}

} // namespace

BoolMatrix layerModules(const BoolMatrix& matrix, PixelLayer layer, const LogoTemplate* logoTemplate, double side,
                        bool extend) {
    switch (layer) {
    case PixelLayer::negatedOn: return masked(matrix.inverted(), logoTemplate, side);
    case PixelLayer::off: {
        BoolMatrix off = matrix.inverted();
        if (!extend) clearReservedCells(off);
        return masked(std::move(off), logoTemplate, side);
    }
    case PixelLayer::on: break;
    }
    BoolMatrix on = matrix;
    clearReservedCells(on);
    return masked(std::move(on), logoTemplate, side);
}

void clearReservedCells(BoolMatrix& matrix) {
    const std::int64_t n = matrix.dimension();
    for (std::int64_t r = 0; r < n; ++r) {
        for (std::int64_t c = 0; c < n; ++c) {
            const bool reserved = r == 0 || r == n - 1 || c == 0 || c == n - 1 || (r < 9 && c < 9) ||
                                  (c < 9 && r >= n - 9) || (r < 9 && c >= n - 9);
            if (reserved && matrix(r, c)) matrix.set(r, c, false);
        }
    }
}

bool isPlainSquare(const QRCodePixelShapeGenerator& generator) {
    const auto* square = dynamic_cast<const PixelShape::Square*>(&generator);
    if (square == nullptr) return false;
    const PixelShape::CommonPixelGenerator& common = square->common();
    return common.insetGenerator() && common.insetGenerator()->name() == PixelInset::Fixed::Name &&
           common.insetFraction() == 0 && common.rotationGenerator() &&
           common.rotationGenerator()->name() == PixelRotation::Fixed::Name && common.rotationFraction() == 0;
}

void appendMergedSquares(gfx::Path& out, const BoolMatrix& matrix, gfx::Size size, gfx::Point offset) {
    const std::int64_t n = matrix.dimension();
    if (n == 0) return;
    const auto dn = static_cast<double>(n);
    const double cell = std::min(size.width / dn, size.height / dn);
    if (!(cell > 0) || !std::isfinite(cell)) return;
    const double ox = (size.width - dn * cell) / 2 + offset.x;
    const double oy = (size.height - dn * cell) / 2 + offset.y;

    // Directed boundary edges between on and off cells, kept at their start
    // vertex as bits: 1 right, 2 down, 4 left, 8 up (y down). Every vertex
    // has as many edges in as out, so each walk closes on its start.
    const std::int64_t stride = n + 1;
    std::vector<std::uint8_t> out_(static_cast<std::size_t>(stride * stride), 0);
    const std::uint8_t* cells = matrix.data();
    auto on = [&](std::int64_t r, std::int64_t c) {
        return r >= 0 && r < n && c >= 0 && c < n && cells[r * n + c] != 0;
    };
    bool any = false;
    for (std::int64_t r = 0; r < n; ++r) {
        for (std::int64_t c = 0; c < n; ++c) {
            if (cells[r * n + c] == 0) continue;
            any = true;
            if (!on(r - 1, c)) out_[r * stride + c] |= 1;
            if (!on(r, c + 1)) out_[r * stride + c + 1] |= 2;
            if (!on(r + 1, c)) out_[(r + 1) * stride + c + 1] |= 4;
            if (!on(r, c - 1)) out_[(r + 1) * stride + c] |= 8;
        }
    }
    if (!any) return;

    static constexpr std::int64_t dx[4] = {1, 0, -1, 0};
    static constexpr std::int64_t dy[4] = {0, 1, 0, -1};
    auto point = [&](std::int64_t vx, std::int64_t vy) {
        return gfx::Point{ox + static_cast<double>(vx) * cell, oy + static_cast<double>(vy) * cell};
    };

    for (std::int64_t start = 0; start < stride * stride; ++start) {
        while (out_[start] != 0) {
            std::int64_t vx = start % stride, vy = start / stride;
            int dir = std::countr_zero(static_cast<unsigned>(out_[start]));
            out.moveTo(point(vx, vy));
            for (;;) {
                out_[vy * stride + vx] &= std::uint8_t(~(1u << dir));
                vx += dx[dir];
                vy += dy[dir];
                assert(vx >= 0 && vx <= n && vy >= 0 && vy <= n && "boundary edges stay on the grid's vertices");
                const std::uint8_t bits = out_[vy * stride + vx];
                if (bits == 0) {
                    assert(vy * stride + vx == start && "a walk only runs out of edges where it began");
                    break; // back at the start
                }
                // Keep going straight where possible; at a vertex shared by two
                // diagonal cells turn clockwise, keeping the cells apart.
                int next;
                if (bits & (1u << dir)) {
                    next = dir;
                } else if (bits & (1u << ((dir + 1) & 3))) {
                    next = (dir + 1) & 3;
                } else {
                    next = (dir + 3) & 3;
                }
                assert((bits & (1u << next)) != 0 && "the chosen edge leaves this vertex");
                if (next != dir) out.lineTo(point(vx, vy));
                dir = next;
            }
            out.closeSubpath();
        }
    }
}

gfx::Path composePath(const BoolMatrix& matrix, gfx::Size size, Components components, const Shape& shape,
                      const LogoTemplate* logoTemplate, double q, bool extend, bool mirror, bool mergeSquares) {
    gfx::Path path;
    const std::int64_t n = matrix.dimension();
    if (n == 0) {
        path.addRect(gfx::Rect(0, 0, 0, 0));
        return path;
    }

    const double w = size.width, h = size.height;
    const double sz = std::min(w, h);
    const double dn = static_cast<double>(n);
    const double m = sz / dn;
    const double cx = (w - dn * m) / 2;
    const double cy = (h - dn * m) / 2;
    const double s = 9 * m / 90;
    const double D = (dn - 9) * m;

    const AffineTransform E = AffineTransform::scale(s, s).then(AffineTransform::translation(cx + q, cy + q));
    const AffineTransform Fy = flipTransform(Flip::vertical);
    const AffineTransform Fx = flipTransform(Flip::horizontal);
    const AffineTransform E1 = E;
    const AffineTransform E2 = (mirror ? Fy.then(E) : E).then(AffineTransform::translation(0, D));
    const AffineTransform E3 = (mirror ? Fx.then(E) : E).then(AffineTransform::translation(D, 0));
    auto addThree = [&](const gfx::Path& outline) {
        path.addPath(outline, E1);
        path.addPath(outline, E2);
        path.addPath(outline, E3);
    };

    linkBorrowedPixelShape(shape);

    if (components.contains(Components::negatedOnPixels())) {
        const BoolMatrix negated = layerModules(matrix, PixelLayer::negatedOn, logoTemplate, sz, extend);
        if (shape.onPixels()) appendPixels(path, *shape.onPixels(), negated, size, q, mergeSquares);
        return path;
    }

    if (components.contains(Components::eyeBackground()) && shape.eye()) {
        addThree(shape.eye()->eyeBackgroundPath().transformed(Fy));
    }
    if (components.contains(Components::eyeOuter()) && shape.eye()) {
        addThree(shape.eye()->eyePath());
    }
    if (components.contains(Components::eyePupil())) {
        std::shared_ptr<QRCodePupilShapeGenerator> pupil = shape.pupil();
        if (!pupil && shape.eye()) pupil = shape.eye()->defaultPupil();
        if (pupil) addThree(pupil->pupilPath());
    }

    const bool wantsOff =
        components.contains(Components::offPixelsBackground()) || components.contains(Components::offPixels());
    if (wantsOff) {
        const BoolMatrix off = layerModules(matrix, PixelLayer::off, logoTemplate, sz, extend);
        if (components.contains(Components::offPixelsBackground())) {
            appendPixels(path, *plainSquare(), off, size, q, mergeSquares);
        }
        if (components.contains(Components::offPixels())) {
            if (shape.offPixels()) {
                appendPixels(path, *shape.offPixels(), off, size, q, mergeSquares);
            } else {
                appendPixels(path, *plainSquare(), off, size, q, mergeSquares);
            }
        }
    }

    const bool wantsOn =
        components.contains(Components::onPixelsBackground()) || components.contains(Components::onPixels());
    if (wantsOn) {
        const BoolMatrix on = layerModules(matrix, PixelLayer::on, logoTemplate, sz, extend);
        if (components.contains(Components::onPixelsBackground())) {
            appendPixels(path, *plainSquare(), on, size, q, mergeSquares);
        }
        if (components.contains(Components::onPixels()) && shape.onPixels()) {
            appendPixels(path, *shape.onPixels(), on, size, q, mergeSquares);
        }
    }
    return path;
}

} // namespace rendering

void linkBorrowedPixelShape(const Shape& shape) {
    if (auto* eye = dynamic_cast<PixelShapeBorrower*>(shape.eye().get())) eye->setPixelShape(shape.onPixels());
    if (auto* pupil = dynamic_cast<PixelShapeBorrower*>(shape.pupil().get())) pupil->setPixelShape(shape.onPixels());
}

gfx::Path QRCode::path(gfx::Size size, Components components, const Shape& shape, const LogoTemplate* logoTemplate,
                       double additionalQuietSpace, bool extend, bool mirror) const {
    return rendering::composePath(current_, size, components, shape, logoTemplate, additionalQuietSpace, extend,
                                  mirror);
}

gfx::Path QRCode::pixelShapeSamplePath(const std::shared_ptr<QRCodePixelShapeGenerator>& pixelShape,
                                       gfx::Size size) const {
    // A holder made with this engine, as the sample is drawn for it; its
    // construction passes the engine's error on.
    const QRCode sample(engine_);
    (void)sample;
    static const int kSample[25] = {0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 1, 0, 1};
    const BoolMatrix matrix = BoolMatrix::fromRawFlattenedInt(5, kSample);
    // Every cell of a 5 x 5 matrix lies in the outer ring or an eye block, so
    // the on-pixel component would clear the whole sample: the generator
    // draws the sample as it stands instead.
    if (!pixelShape) return gfx::Path();
    return pixelShape->generatePath(matrix, size);
}

} // namespace QRCode
