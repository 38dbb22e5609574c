#include "platform/gfx/Coverage.h"

#include <algorithm>
#include <cmath>

namespace gfx::detail {

CoverageRaster::CoverageRaster(int originX, int originY, int width, int height)
    : originX_(originX), originY_(originY), width_(std::max(width, 0)), height_(std::max(height, 0)),
      cells_(std::size_t(width_ + 2) * std::size_t(height_), 0.0f) {}

void CoverageRaster::moveTo(Point p) {
    closeSubpath();
    start_ = current_ = {p.x - originX_, p.y - originY_};
    open_ = true;
}

void CoverageRaster::lineTo(Point p) {
    const Point q{p.x - originX_, p.y - originY_};
    if (!open_) {
        start_ = current_ = q;
        open_ = true;
        return;
    }
    edge(current_, q);
    current_ = q;
}

void CoverageRaster::closeSubpath() {
    if (open_) edge(current_, start_);
    current_ = start_;
}

namespace {

// Segments for a curve whose second derivative is at most the bound: uniform steps keep the distance to the curve
// within the tolerance (the deviation of a chord is an eighth of the second derivative's bound times the step squared).
int stepsFor(double secondDerivativeBound, double tolerance) {
    const double n = std::ceil(std::sqrt(secondDerivativeBound / (8 * tolerance)));
    return std::isfinite(n) ? int(std::clamp(n, 1.0, 1000.0)) : 1;
}

} // namespace

void CoverageRaster::quadTo(Point control, Point end, double tolerance) {
    const Point p0{current_.x + originX_, current_.y + originY_};
    const Point dd = p0 - control * 2 + end;
    const int n = stepsFor(2 * std::sqrt(dd.x * dd.x + dd.y * dd.y), tolerance);
    for (int i = 1; i < n; ++i) {
        const double t = double(i) / n, u = 1 - t;
        lineTo(p0 * (u * u) + control * (2 * u * t) + end * (t * t));
    }
    lineTo(end);
}

void CoverageRaster::curveTo(Point c1, Point c2, Point end, double tolerance) {
    const Point p0{current_.x + originX_, current_.y + originY_};
    const Point d1 = p0 - c1 * 2 + c2, d2 = c1 - c2 * 2 + end;
    const int n = stepsFor(6 * std::sqrt(std::max(d1.x * d1.x + d1.y * d1.y, d2.x * d2.x + d2.y * d2.y)), tolerance);
    for (int i = 1; i < n; ++i) {
        const double t = double(i) / n, u = 1 - t;
        lineTo(p0 * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + end * (t * t * t));
    }
    lineTo(end);
}

void CoverageRaster::edge(Point a, Point b) {
    if (a.y == b.y) return;
    float dir = 1;
    if (a.y > b.y) {
        std::swap(a, b);
        dir = -1;
    }
    const double w = double(width_);
    const double dxdy = (b.x - a.x) / (b.y - a.y);
    const int rowBegin = int(std::max(std::floor(a.y), 0.0));
    const int rowEnd = int(std::min(std::ceil(b.y), double(height_)));
    const std::size_t rowCells = std::size_t(width_ + 2);
    for (int row = rowBegin; row < rowEnd; ++row) {
        const double top = std::max(double(row), a.y), bottom = std::min(double(row + 1), b.y);
        const float d = float(bottom - top) * dir;
        // Parts left of the raster count from its left border, parts right
        // of it from beyond its last pixel: the pixels inside see the same.
        const double xTop = std::clamp(a.x + dxdy * (top - a.y), 0.0, w);
        const double xBottom = std::clamp(a.x + dxdy * (bottom - a.y), 0.0, w);
        float* cell = &cells_[std::size_t(row) * rowCells];
        const double x0 = std::min(xTop, xBottom), x1 = std::max(xTop, xBottom);
        const double x0floor = std::floor(x0);
        const int x0i = int(x0floor);
        const double x1ceil = std::ceil(x1);
        const int x1i = int(x1ceil);
        if (x1i <= x0i + 1) {
            // Within one pixel: the area right of the edge's midpoint.
            const float xmf = float(0.5 * (xTop + xBottom) - x0floor);
            cell[x0i] += d - d * xmf;
            cell[x0i + 1] += d * xmf;
        } else {
            const double s = 1.0 / (x1 - x0);
            const double x0f = x0 - x0floor;
            const double a0 = 0.5 * s * (1 - x0f) * (1 - x0f);
            const double x1f = x1 - x1ceil + 1;
            const double am = 0.5 * s * x1f * x1f;
            cell[x0i] += d * float(a0);
            if (x1i == x0i + 2) {
                cell[x0i + 1] += d * float(1 - a0 - am);
            } else {
                const double a1 = s * (1.5 - x0f);
                cell[x0i + 1] += d * float(a1 - a0);
                for (int xi = x0i + 2; xi < x1i - 1; ++xi) cell[xi] += d * float(s);
                const double a2 = a1 + (x1i - x0i - 3) * s;
                cell[x1i - 1] += d * float(1 - a2 - am);
            }
            cell[x1i] += d * float(am);
        }
    }
}

void CoverageRaster::resolve(std::uint8_t* data, int stride) const {
    const std::size_t rowCells = std::size_t(width_ + 2);
    for (int row = 0; row < height_; ++row) {
        const float* cell = &cells_[std::size_t(row) * rowCells];
        std::uint8_t* out = data + std::ptrdiff_t(row) * stride;
        float sum = 0;
        for (int x = 0; x < width_; ++x) {
            sum += cell[x];
            const float c = std::min(std::fabs(sum), 1.0f);
            out[x] = std::uint8_t(c * 255.0f + 0.5f);
        }
    }
}

} // namespace gfx::detail
