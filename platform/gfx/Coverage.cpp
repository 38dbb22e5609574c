#include "platform/gfx/Coverage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// Rectilinear paths are measured as Cairo measures them, so that either may
// draw one: coordinates in 24.8 fixed point (rounded half to even), the area
// of a pixel in 1/65536ths, its value the area's 256ths, 256 held to 255.
constexpr int kFixedOne = 256;

struct VerticalEdge {
    std::int64_t x, top, bottom; // 24.8 fixed point
    int winding;                 // +1 downward, -1 upward
};

// The path's vertical edges under m, in fixed point, for a raster of width x
// height pixels; false when a segment is neither vertical nor horizontal
// (horizontal ones change no winding along a row) or not finite.
bool verticalEdges(const Path& path, const AffineTransform& m, int width, int height,
                   std::vector<VerticalEdge>& edges) {
    // Coordinates beyond the raster are held a pixel outside it, where they
    // still bound the same pixels inside, before they turn into integers.
    auto fixed = [](double v, int limit) {
        return std::int64_t(std::nearbyint(std::clamp(v, -1.0, double(limit) + 1.0) * kFixedOne));
    };
    Point start{}, current{};
    bool open = false;
    auto segment = [&](Point a, Point b) {
        if (a.x == b.x) {
            const std::int64_t x = fixed(a.x, width), ya = fixed(a.y, height), yb = fixed(b.y, height);
            if (ya < yb) edges.push_back({x, ya, yb, 1});
            if (ya > yb) edges.push_back({x, yb, ya, -1});
            return true;
        }
        return a.y == b.y;
    };
    auto point = [&](Point p, Point& out) {
        out = m.apply(p);
        return std::isfinite(out.x) && std::isfinite(out.y);
    };
    for (const auto& e : path.elements()) {
        switch (e.type) {
        case Path::ElementType::moveToPoint:
            if (open && !segment(current, start)) return false;
            if (!point(e.points[0], start)) return false;
            current = start;
            open = true;
            break;
        case Path::ElementType::addLineToPoint: {
            Point p;
            if (!point(e.points[0], p)) return false;
            if (!open) {
                start = p;
                open = true;
            } else if (!segment(current, p)) {
                return false;
            }
            current = p;
            break;
        }
        case Path::ElementType::closeSubpath:
            if (open && !segment(current, start)) return false;
            current = start;
            break;
        default: return false;
        }
    }
    return !open || segment(current, start);
}

void addToAll(std::int32_t* cells, std::size_t n, std::int32_t value) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i v = _mm_set1_epi32(value);
    for (; i + 4 <= n; i += 4) {
        auto* p = reinterpret_cast<__m128i*>(cells + i);
        _mm_storeu_si128(p, _mm_add_epi32(_mm_loadu_si128(p), v));
    }
#endif
    for (; i < n; ++i) cells[i] += value;
}

// Areas in 1/65536ths of a pixel to 0...255.
void resolveCover(const std::int32_t* cover, std::uint8_t* out, std::size_t n) {
    std::size_t x = 0;
#if defined(__SSE2__)
    auto load = [&](std::size_t i) {
        return _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cover + i)), 8);
    };
    for (; x + 16 <= n; x += 16) {
        // At most 256 after the shift: the packs keep it, the unsigned pack
        // holds it to 255.
        const __m128i a = _mm_packs_epi32(load(x), load(x + 4));
        const __m128i b = _mm_packs_epi32(load(x + 8), load(x + 12));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(a, b));
    }
#endif
    for (; x < n; ++x) out[x] = std::uint8_t(std::min(cover[x] >> 8, 255));
}

} // namespace

bool rectilinearCoverage(const Path& path, const AffineTransform& m, std::uint8_t* data, int width, int height,
                         int stride) {
    if (width <= 0 || height <= 0) return false;
    std::vector<VerticalEdge> edges;
    if (!verticalEdges(path, m, width, height, edges)) return false;
    std::sort(edges.begin(), edges.end(), [](const VerticalEdge& a, const VerticalEdge& b) { return a.top < b.top; });

    // Each pixel row is cut where an edge begins or ends; within a band the
    // winding along the row changes only at the edges crossing it, so the
    // band adds its height times the covered width to the pixels where the
    // winding is not zero. Spans within a band do not overlap, so no pixel
    // gathers more than its whole area.
    const std::int64_t right = std::int64_t(width) * kFixedOne;
    std::vector<std::int32_t> cover(std::size_t(width) + 1, 0);
    std::vector<const VerticalEdge*> active;
    std::vector<std::int64_t> cuts;
    std::vector<const VerticalEdge*> merged;
    // Everything is allocated before the first row is written.
    active.reserve(edges.size());
    merged.reserve(edges.size());
    cuts.reserve(2 * edges.size() + 2);
    std::size_t touchedBegin = 0, touchedEnd = 0; // the cells of cover a row has written
    auto addSpan = [&](std::int64_t x0, std::int64_t x1, std::int32_t band) {
        x0 = std::clamp<std::int64_t>(x0, 0, right);
        x1 = std::clamp<std::int64_t>(x1, 0, right);
        if (x1 <= x0) return;
        const auto i0 = std::size_t(x0 / kFixedOne), i1 = std::size_t(x1 / kFixedOne);
        touchedBegin = std::min(touchedBegin, i0);
        touchedEnd = std::max(touchedEnd, i1 + 1);
        if (i0 == i1) {
            cover[i0] += band * std::int32_t(x1 - x0);
            return;
        }
        cover[i0] += band * std::int32_t(std::int64_t(i0 + 1) * kFixedOne - x0);
        addToAll(cover.data() + i0 + 1, i1 - i0 - 1, band * kFixedOne);
        cover[i1] += band * std::int32_t(x1 - std::int64_t(i1) * kFixedOne);
    };
    std::size_t next = 0;
    // A row crossed by the same edges as the one above, neither of them cut,
    // repeats it: most rows of a module do.
    bool aboveWhole = false;
    for (int row = 0; row < height; ++row) {
        const std::int64_t top = std::int64_t(row) * kFixedOne, bottom = top + kFixedOne;
        std::uint8_t* out = data + std::ptrdiff_t(row) * stride;
        // The edges crossing the row, kept in order along it.
        const std::size_t crossingAbove = active.size();
        std::erase_if(active, [top](const VerticalEdge* e) { return e->bottom <= top; });
        const std::size_t staying = active.size();
        for (; next < edges.size() && edges[next].top < bottom; ++next) {
            if (edges[next].bottom > top) active.push_back(&edges[next]);
        }
        const bool changed = active.size() != crossingAbove || staying != crossingAbove;
        if (active.size() != staying) {
            auto byX = [](const VerticalEdge* a, const VerticalEdge* b) { return a->x < b->x; };
            const auto added = active.begin() + std::ptrdiff_t(staying);
            std::sort(added, active.end(), byX);
            merged.clear();
            std::merge(active.begin(), added, added, active.end(), std::back_inserter(merged), byX);
            active.swap(merged);
        }
        const bool whole = std::none_of(active.begin(), active.end(), [top, bottom](const VerticalEdge* e) {
            return e->top > top || e->bottom < bottom;
        });
        if (whole && aboveWhole && !changed) {
            std::memcpy(out, out - stride, std::size_t(width));
            continue;
        }
        aboveWhole = whole;
        touchedBegin = std::size_t(width);
        touchedEnd = 0;
        if (!active.empty()) {
            cuts.assign({top, bottom});
            for (const VerticalEdge* e : active) {
                if (e->top > top) cuts.push_back(e->top);
                if (e->bottom < bottom) cuts.push_back(e->bottom);
            }
            std::sort(cuts.begin(), cuts.end());
            cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
            for (std::size_t b = 0; b + 1 < cuts.size(); ++b) {
                const std::int64_t y0 = cuts[b], y1 = cuts[b + 1];
                const auto band = std::int32_t(y1 - y0);
                // Edges at one x may come in any order: a span of no width
                // adds nothing, and one split there adds the same.
                int winding = 0;
                std::int64_t spanStart = 0;
                for (const VerticalEdge* e : active) {
                    if (e->top > y0 || e->bottom < y1) continue;
                    const int before = winding;
                    winding += e->winding;
                    if (before == 0 && winding != 0) spanStart = e->x;
                    if (before != 0 && winding == 0) addSpan(spanStart, e->x, band);
                }
            }
        }
        if (touchedBegin >= touchedEnd) {
            std::memset(out, 0, std::size_t(width));
            continue;
        }
        const std::size_t end = std::min(touchedEnd, std::size_t(width));
        std::memset(out, 0, touchedBegin);
        std::memset(out + end, 0, std::size_t(width) - end);
        resolveCover(cover.data() + touchedBegin, out + touchedBegin, end - touchedBegin);
        std::fill(cover.begin() + std::ptrdiff_t(touchedBegin), cover.begin() + std::ptrdiff_t(touchedEnd), 0);
    }
    return true;
}

} // namespace gfx::detail
