#include "platform/gfx/Coverage.h"

#include <algorithm>
#include <barrier>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <span>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx::detail {

namespace {

// Segments for a curve whose second derivative is at most sqrt(squaredBound):
// uniform steps keep the distance to the curve within the tolerance (the
// deviation of a chord is an eighth of the second derivative's bound times the
// step squared). That is the least n with n^4 >= bound^2 / (8 tolerance)^2;
// small curves, the most common, find it without a square root.
int stepsFor(double squaredBound, double tolerance) {
    const double k = squaredBound / (64 * tolerance * tolerance);
    if (!(k <= 1e12)) return std::isfinite(k) ? 1000 : 1; // 1000^4 is the cap; NaN or infinity: one chord
    int n = 1;
    while (n < 4 && double(n * n) * double(n * n) < k) ++n;
    if (double(n * n) * double(n * n) >= k) return n;
    return int(std::clamp(std::ceil(std::sqrt(std::sqrt(k))), 5.0, 1000.0));
}

// Calls emit with the end of each chord of the curve from p0, the last one
// being `end` itself: the points flattenQuad and flattenCubic list and the
// raster draws its edges to.
template <class Emit> void quadChords(Point p0, Point control, Point end, double tolerance, Emit&& emit) {
    const Point dd = p0 - control * 2 + end;
    const int n = stepsFor(4 * (dd.x * dd.x + dd.y * dd.y), tolerance);
    for (int i = 1; i < n; ++i) {
        const double t = double(i) / n, u = 1 - t;
        emit(p0 * (u * u) + control * (2 * u * t) + end * (t * t));
    }
    emit(end);
}

template <class Emit> void cubicChords(Point p0, Point c1, Point c2, Point end, double tolerance, Emit&& emit) {
    const Point d1 = p0 - c1 * 2 + c2, d2 = c1 - c2 * 2 + end;
    const int n = stepsFor(36 * std::max(d1.x * d1.x + d1.y * d1.y, d2.x * d2.x + d2.y * d2.y), tolerance);
    for (int i = 1; i < n; ++i) {
        const double t = double(i) / n, u = 1 - t;
        emit(p0 * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + end * (t * t * t));
    }
    emit(end);
}

} // namespace

void flattenQuad(Point p0, Point control, Point end, double tolerance, std::vector<Point>& out) {
    quadChords(p0, control, end, tolerance, [&](Point p) { out.push_back(p); });
}

void flattenCubic(Point p0, Point c1, Point c2, Point end, double tolerance, std::vector<Point>& out) {
    cubicChords(p0, c1, c2, end, tolerance, [&](Point p) { out.push_back(p); });
}

namespace {

// Adds the signed area the edge from a to b sweeps to the accumulation
// cells (rows of width + 2) of rows rowBegin <= row < rowEnd of a raster
// `width` pixels wide; before it adds to a row it calls touch(row, x0, x1)
// with the pixels x0 <= x < x1 the edge crosses there (x0 may be the
// raster's width).
template <class Touch>
inline void accumulateEdge(Point a, Point b, float sign, int width, int rowBegin, int rowEnd, float* cells,
                           Touch&& touch) {
    if (a.y == b.y) return;
    float dir = sign;
    if (a.y > b.y) {
        std::swap(a, b);
        dir = -dir;
    }
    const double yTop = std::max(a.y, double(rowBegin)), yEnd = std::min(b.y, double(rowEnd));
    if (!(yTop < yEnd)) return;
    const double w = double(width);
    const double dxdy = (b.x - a.x) / (b.y - a.y);
    const std::size_t rowCells = std::size_t(width + 2);
    // yTop is at least 0: truncation is the floor.
    int row = int(yTop);
    float* cell = &cells[std::size_t(row) * rowCells];
    double top = yTop;
    // Parts left of the raster count from its left border, parts right of
    // it from beyond its last pixel: the pixels inside see the same.
    double xTop = std::clamp(a.x + dxdy * (top - a.y), 0.0, w);
    while (top < yEnd) {
        const double bottom = std::min(double(row + 1), yEnd);
        const float d = float(bottom - top) * dir;
        const double xBottom = std::clamp(a.x + dxdy * (bottom - a.y), 0.0, w);
        const double x0 = std::min(xTop, xBottom), x1 = std::max(xTop, xBottom);
        // Both are at least 0: truncation is the floor.
        const int x0i = int(x0);
        const double x0floor = double(x0i);
        int x1i = int(x1);
        if (double(x1i) < x1) ++x1i;
        touch(row, x0i, std::max(x1i, x0i + 1));
        if (x1i <= x0i + 1) {
            // Within one pixel: the area right of the edge's midpoint.
            const float xmf = float(0.5 * (xTop + xBottom) - x0floor);
            cell[x0i] += d - d * xmf;
            cell[x0i + 1] += d * xmf;
        } else {
            const double s = 1.0 / (x1 - x0);
            const double x0f = x0 - x0floor;
            const double a0 = 0.5 * s * (1 - x0f) * (1 - x0f);
            const double x1f = x1 - double(x1i) + 1;
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
        top = bottom;
        xTop = xBottom;
        ++row;
        cell += rowCells;
    }
}

} // namespace

namespace {

// Coverage from accumulation cells (rows of width + 2): the running sum along
// each row, its magnitude held to 1.
void resolveCells(const float* cells, int width, int height, std::uint8_t* data, int stride,
                  const std::uint8_t* rowsUsed = nullptr) {
    const std::size_t rowCells = std::size_t(width + 2);
    for (int row = 0; row < height; ++row) {
        const float* cell = &cells[std::size_t(row) * rowCells];
        std::uint8_t* out = data + std::ptrdiff_t(row) * stride;
        if (rowsUsed != nullptr && rowsUsed[row] == 0) {
            std::memset(out, 0, std::size_t(width));
            continue;
        }
        float sum = 0;
        int x = 0;
#if defined(__SSE2__)
        // Four running sums at a time: each lane adds the cells before it
        // (two shifted adds) and the sum carried from the last four.
        const __m128 one = _mm_set1_ps(1.0f), scale = _mm_set1_ps(255.0f), half = _mm_set1_ps(0.5f);
        const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
        __m128 carry = _mm_setzero_ps();
        const auto levels = [&](const float* at) {
            __m128 v = _mm_loadu_ps(at);
            v = _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 4)));
            v = _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 8)));
            v = _mm_add_ps(v, carry);
            carry = _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3));
            const __m128 c = _mm_min_ps(_mm_and_ps(v, magnitude), one);
            return _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(c, scale), half));
        };
        for (; x + 16 <= width; x += 16) {
            const __m128i a = levels(cell + x), b = levels(cell + x + 4);
            const __m128i c = levels(cell + x + 8), d = levels(cell + x + 12);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                             _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d)));
        }
        sum = _mm_cvtss_f32(carry);
#endif
        for (; x < width; ++x) {
            sum += cell[x];
            const float c = std::min(std::fabs(sum), 1.0f);
            out[x] = std::uint8_t(c * 255.0f + 0.5f);
        }
    }
}

} // namespace

// MARK: overlapping figures

namespace {

// Pieces of edges looked at in working out the pixels where figures meet,
// past which the union is given up (about a tenth of a second; a code's
// figures take a tenth of it): outlines whose edges meet by the hundred in
// a pixel.
constexpr std::size_t kMostWork = std::size_t(1) << 24;

} // namespace

UnionCoverage::UnionCoverage(int originX, int originY, int width, int height, unsigned threads, Figures figures)
    : originX_(originX), originY_(originY), width_(std::max(width, 0)), height_(std::max(height, 0)),
      threads_(threads == 0 ? std::max(std::thread::hardware_concurrency(), 1u) : threads),
      unite_(figures == Figures::overlapping),
      cells_(std::make_unique_for_overwrite<float[]>(std::size_t(width_ + 2) * std::size_t(height_))),
      owner_(unite_ ? std::make_unique_for_overwrite<std::uint32_t[]>(std::size_t(width_) * std::size_t(height_))
                    : nullptr),
      rowsUsed_(std::size_t(height_), 0) {}

void UnionCoverage::addItem(std::int32_t kept, std::uint32_t polygon, Point origin, std::size_t subpaths,
                            std::size_t points, double low, double high) {
    // Subpaths are numbered, and points counted, in 32 bits.
    constexpr std::size_t kMost = std::numeric_limits<std::uint32_t>::max();
    if (subpaths >= kMost - subpaths_ || points >= kMost - pointCount_ || items_.size() >= kMost) {
        throw std::bad_alloc();
    }
    // The rows it reaches (a level edge along a row's top reaches none).
    const double rows = double(height_);
    items_.push_back({subpaths_ + 1, kept, polygon, int(std::clamp(std::floor(low), 0.0, rows)),
                      int(std::clamp(std::ceil(high), 0.0, rows)), origin});
    subpaths_ += std::uint32_t(subpaths);
    pointCount_ += points;
}

void UnionCoverage::addPolygon(const Point* points, std::size_t count, Point shift, float sign) {
    if (count < 3) return;
    if (count >= std::numeric_limits<std::uint32_t>::max() - points_.size()) throw std::bad_alloc();
    const Point origin{shift.x - originX_, shift.y - originY_};
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (std::size_t i = 0; i < count; ++i) {
        const Point p = points[i] + origin;
        points_.push_back(p);
        low = std::min(low, p.y), high = std::max(high, p.y);
    }
    const auto polygon = std::uint32_t(signs_.size());
    polygonStarts_.push_back(std::uint32_t(points_.size()));
    signs_.push_back(unite_ ? 1.0f : sign);
    addItem(-1, polygon, {0, 0}, 1, count, low, high);
}

std::uint32_t UnionCoverage::keep(std::span<const Point> points, std::span<const std::size_t> ends,
                                  std::span<const float> signs) {
    if (points.size() >= std::numeric_limits<std::uint32_t>::max() ||
        kept_.size() >= std::size_t(std::numeric_limits<std::int32_t>::max())) {
        throw std::bad_alloc();
    }
    Kept k{{}, {0}, {}, {}, std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    k.points.reserve(points.size());
    std::size_t first = 0;
    for (std::size_t i = 0; i < ends.size(); ++i) {
        const std::size_t end = std::clamp(ends[i], first, points.size());
        // Fewer than three points enclose nothing, as for addPolygon.
        if (end >= first + 3) {
            double low = std::numeric_limits<double>::infinity(), high = -low;
            for (std::size_t j = first; j < end; ++j) {
                k.points.push_back(points[j]);
                low = std::min(low, points[j].y), high = std::max(high, points[j].y);
            }
            k.starts.push_back(std::uint32_t(k.points.size()));
            k.signs.push_back(unite_ ? 1.0f : signs[i]);
            k.ys.emplace_back(low, high);
            k.low = std::min(k.low, low), k.high = std::max(k.high, high);
        }
        first = end;
    }
    kept_.push_back(std::move(k));
    return std::uint32_t(kept_.size() - 1);
}

void UnionCoverage::place(std::uint32_t kept, Point shift) {
    const Kept& k = kept_[kept];
    if (k.signs.empty()) return;
    const Point origin{shift.x - originX_, shift.y - originY_};
    // Adding a number keeps the order of the numbers it is added to: the
    // lowest point moved is the lowest point's move.
    addItem(std::int32_t(kept), 0, origin, k.signs.size(), k.points.size(), k.low + origin.y, k.high + origin.y);
}

void UnionCoverage::makeLater(Make make, Point shift) {
    if (unite_) throw std::logic_error("figures united are kept");
    make_ = std::move(make);
    makeOrigin_ = {shift.x - originX_, shift.y - originY_};
}

void UnionCoverage::addLater(std::size_t figure, double low, double high, std::size_t points) {
    if (!make_ || figure != madeFigures_.size()) throw std::logic_error("figures are numbered in turn");
    // A row more each way: the points made may stray from the bounds given
    // by a rounding.
    addItem(-2, std::uint32_t(figure), makeOrigin_, 1, points, low + makeOrigin_.y - 1, high + makeOrigin_.y + 1);
    madeFigures_.push_back({0, 0, 0});
}

void UnionCoverage::makeRun(std::size_t r, std::size_t figuresPerRun) {
    Made& run = made_[r];
    std::vector<Point> scratch;
    std::size_t figure = r * figuresPerRun;
    const Emit emit = [&](const Point* p, std::size_t count, float sign) {
        if (count < 3) return;
        if (count >= std::numeric_limits<std::uint32_t>::max() - run.points.size()) throw std::bad_alloc();
        run.points.insert(run.points.end(), p, p + count);
        run.ends.push_back(std::uint32_t(run.points.size()));
        run.signs.push_back(sign);
        ++madeFigures_[figure].count;
    };
    for (const std::size_t end = std::min(madeFigures_.size(), figure + figuresPerRun); figure < end; ++figure) {
        madeFigures_[figure] = {std::uint32_t(r), std::uint32_t(run.ends.size()), 0};
        make_(figure, scratch, emit);
    }
}

UnionCoverage::Polygon UnionCoverage::subpath(std::uint32_t id) const {
    const auto after = std::upper_bound(items_.begin(), items_.end(), id,
                                        [](std::uint32_t v, const Item& item) { return v < item.firstId; });
    const Item& item = *(after - 1);
    if (item.kept == -1) {
        const std::uint32_t begin = polygonStarts_[item.polygon];
        return {&points_[begin], polygonStarts_[item.polygon + 1] - begin, item.origin + shift_, signs_[item.polygon]};
    }
    const Kept& k = kept_[std::size_t(item.kept)];
    const std::uint32_t j = id - item.firstId;
    return {&k.points[k.starts[j]], k.starts[j + 1] - k.starts[j], item.origin + shift_, k.signs[j]};
}

// What a band of rows keeps between summing and uniting.
struct UnionCoverage::Band {
    // Pixel (row-major) in the high half, subpath in the low half.
    std::vector<std::uint64_t> meetings;
};

void UnionCoverage::sumRows(int r0, int r1, std::span<const std::uint32_t> items, Band& band, std::uint8_t* data,
                            int stride) {
    const std::size_t rowCells = std::size_t(width_ + 2);
    // Bands are cleared only when a figure reaches them: the rows around a
    // code cost nothing.
    if (!items.empty()) {
        std::fill_n(&cells_[std::size_t(r0) * rowCells], std::size_t(r1 - r0) * rowCells, 0.0f);
        if (unite_) std::fill_n(&owner_[std::size_t(r0) * std::size_t(width_)], std::size_t(r1 - r0) * std::size_t(width_), 0u);
        std::fill(rowsUsed_.begin() + r0, rowsUsed_.begin() + r1, std::uint8_t(1));
    }
    const auto sum = [&](std::uint32_t id, const Polygon& polygon) {
        const Point* p = polygon.p;
        const std::size_t count = polygon.count;
        const Point o = polygon.origin + shift_;
        if (!unite_) {
            for (std::size_t i = 0; i < count; ++i) {
                accumulateEdge(p[i] + o, p[i + 1 < count ? i + 1 : 0] + o, polygon.sign, width_, r0, r1, cells_.get(),
                               [](int, int, int) {});
            }
            return;
        }
        const auto touch = [&](int row, int x0, int x1) {
            std::uint32_t* owner = &owner_[std::size_t(row) * std::size_t(width_)];
            for (int x = x0, end = std::min(x1, width_); x < end; ++x) {
                if (owner[x] == id) continue;
                if (owner[x] != 0) {
                    const std::uint64_t pixel = std::uint64_t(row) * std::uint64_t(width_) + std::uint64_t(x);
                    band.meetings.push_back(pixel << 32 | owner[x]);
                    band.meetings.push_back(pixel << 32 | id);
                }
                owner[x] = id;
            }
        };
        for (std::size_t i = 0; i < count; ++i) {
            const Point a = p[i] + o, b = p[i + 1 < count ? i + 1 : 0] + o;
            if (a.y != b.y) {
                accumulateEdge(a, b, 1.0f, width_, r0, r1, cells_.get(), touch);
            } else if (a.y >= r0 && a.y < double(r1) && std::floor(a.y) != a.y) {
                // A level edge inside a row sums nothing, but the pixels below
                // it in the row are covered only in part: the pixels it runs
                // along are where the subpath's winding changes.
                const double w = double(width_);
                const int x0 = int(std::clamp(std::min(a.x, b.x), 0.0, w));
                const int x1 = int(std::clamp(std::max(a.x, b.x), 0.0, w));
                touch(int(a.y), x0, x1 + 1);
            }
        }
    };
    for (const std::uint32_t index : items) {
        const Item& item = items_[index];
        if (item.kept == -2) {
            const MadeFigure& f = madeFigures_[item.polygon];
            const Made& run = made_[f.run];
            for (std::uint32_t k = f.first; k < f.first + f.count; ++k) {
                const std::uint32_t begin = k == 0 ? 0 : run.ends[k - 1];
                sum(item.firstId, {&run.points[begin], run.ends[k] - begin, item.origin, run.signs[k]});
            }
            continue;
        }
        if (item.kept < 0) {
            const std::uint32_t begin = polygonStarts_[item.polygon];
            sum(item.firstId,
                {&points_[begin], polygonStarts_[item.polygon + 1] - begin, item.origin, signs_[item.polygon]});
            continue;
        }
        const Kept& k = kept_[std::size_t(item.kept)];
        for (std::size_t j = 0; j < k.signs.size(); ++j) {
            // A polygon above or below the band adds nothing to it.
            const double dy = item.origin.y + shift_.y;
            if (!(k.ys[j].first + dy < double(r1) && k.ys[j].second + dy > double(r0))) continue;
            sum(item.firstId + std::uint32_t(j),
                {&k.points[k.starts[j]], k.starts[j + 1] - k.starts[j], item.origin, k.signs[j]});
        }
    }
    resolveCells(&cells_[std::size_t(r0) * rowCells], width_, r1 - r0, data + std::ptrdiff_t(r0) * stride, stride,
                 rowsUsed_.data() + r0);
}

namespace {

// An edge clipped to a pixel row, from its top (y 0...1) to its bottom, x
// changing by dxdy a unit of y; dir +1 running down. Clipped to a row, x
// is in the raster's pixels; within one pixel, from its left side.
struct EdgePiece {
    double yt, yb, xt, xb;
    double dxdy;
    int dir;
};
// Where the winding along the pixel's left side changes by `dir`.
struct WallStep {
    double y;
    int dir;
};
struct BandEdge {
    double x0, x1; // at the band's top and bottom
    int dir;
};

// Sorts the few elements a pixel has by insertion; many, as outlines made
// to meet in one place bring, by std::sort.
template <class T, class Less> void insertionSort(T* first, T* last, Less less) {
    if (last - first > 32) {
        std::sort(first, last, less);
        return;
    }
    for (T* i = first + (first != last); i < last; ++i) {
        T v = *i;
        T* j = i;
        for (; j > first && less(v, *(j - 1)); --j) *j = *(j - 1);
        *j = v;
    }
}

// The area of the non-zero winding within the band y0...y1 of a pixel,
// `left` being the winding along its left side there (less that of the
// crossings within the band, when `lessCrossings`). Edges that cross
// within the band split it at their crossing, so that between the lines of
// a band the edges keep their order and each stretch of non-zero winding
// is a trapezoid. `edges` has room for one edge per piece (a split lets go
// of its band's edges before it works out its halves).
double bandArea(std::span<const EdgePiece> pieces, double y0, double y1, int left, bool lessCrossings,
                BandEdge* edges, std::size_t& work, int depth) {
    if (!(y1 > y0) || work > kMostWork) return 0;
    work += pieces.size() + 1;
    const double ym = 0.5 * (y0 + y1);
    BandEdge* first = edges;
    BandEdge* last = edges;
    for (const EdgePiece& p : pieces) {
        if (!(p.yt < ym && p.yb > ym)) continue;
        *last++ = {p.xt + (y0 - p.yt) * p.dxdy, p.xt + (y1 - p.yt) * p.dxdy, p.dir};
    }
    insertionSort(first, last, [](const BandEdge& a, const BandEdge& b) { return a.x0 + a.x1 < b.x0 + b.x1; });
    work += 8 * std::size_t(last - first); // the sort
    const double height = y1 - y0;
    double area = 0;
    // Crossings are looked for between neighbours in the middle's order:
    // two edges that cross change places with a neighbour somewhere.
    constexpr double kApart = 1e-12;
    constexpr int kMostSplits = 12;
    for (BandEdge* e = first; depth < kMostSplits && e + 1 < last; ++e) {
        const double d0 = e->x0 - (e + 1)->x0, d1 = e->x1 - (e + 1)->x1;
        if ((d0 > kApart && d1 < -kApart) || (d0 < -kApart && d1 > kApart)) {
            const double yc = y0 + d0 / (d0 - d1) * height;
            return bandArea(pieces, y0, yc, left, lessCrossings, edges, work, depth + 1) +
                   bandArea(pieces, yc, y1, left, lessCrossings, edges, work, depth + 1);
        }
    }
    int winding = left;
    if (lessCrossings)
        for (const BandEdge* e = first; e < last; ++e) winding -= e->dir;
    double from = 0;
    for (const BandEdge* e = first; e < last; ++e) {
        const int next = winding + e->dir;
        const double x = 0.5 * (e->x0 + e->x1);
        if (winding == 0 && next != 0) from = x;
        if (winding != 0 && next == 0) area += height * (x - from);
        winding = next;
    }
    if (winding != 0) area += height * (1 - from);
    return area;
}

// Buffers a pixel's work reuses; each is grown ahead to what the pixel's
// pieces can need, so that filling them costs no checks.
struct UnionScratch {
    std::vector<EdgePiece> pieces;
    std::vector<WallStep> leftWalls, rightWalls;
    std::vector<double> lines;
    std::vector<BandEdge> edges;
    std::size_t work = 0; // pieces looked at, for the budget
};

template <class T> T* roomFor(std::vector<T>& buffer, std::size_t n) {
    if (buffer.size() < n) buffer.resize(std::max(n, 2 * buffer.size()));
    return buffer.data();
}

// The edges of one side of a pixel: where the winding along it changes.
struct Walls {
    WallStep* steps;
    std::size_t size = 0;
    double area = 0; // the signed area the sum gives them in the pixel

    void add(double yt, double yb, int dir) {
        area += dir * (yb - yt);
        // The edges of a side of a figure come one after another: a wall
        // that continues the last one of its sense lengthens it.
        if (size >= 2) {
            WallStep& top = steps[size - 2];
            WallStep& bottom = steps[size - 1];
            if (top.dir == dir && bottom.y == yt) {
                bottom.y = yb;
                return;
            }
            if (top.dir == dir && top.y == yb) {
                top.y = yt;
                return;
            }
        }
        steps[size++] = {yt, dir};
        steps[size++] = {yb, -dir};
    }
};

// The exact coverage of pixel column px of a row by the subpaths (slots of
// rowRanges into rowPieces) whose edges meet in it, `sum` being what the
// summed raster holds there.
double exactPixel(int px, std::span<const std::uint32_t> subpaths, std::span<const EdgePiece> rowPieces,
                  std::span<const std::uint32_t> rowRanges, double sum, UnionScratch& scratch) {
    std::size_t total = 0;
    for (const std::uint32_t k : subpaths) total += rowRanges[k + 1] - rowRanges[k];
    scratch.work += total;
    // A piece is cut in at most three by the pixel's sides; each part is
    // one inner piece or one wall of two steps.
    EdgePiece* const pieces = roomFor(scratch.pieces, 3 * total);
    Walls left{roomFor(scratch.leftWalls, 6 * total)}, right{roomFor(scratch.rightWalls, 6 * total)};
    std::size_t inner = 0;
    // Edges left and right of the pixel count only as the winding they give
    // its sides; as every subpath is closed, the windings of a line's
    // crossings add up to nothing, and the winding along the left side is
    // minus that of the crossings within and right of the pixel. Whichever
    // side has fewer edges is the one looked at.
    double insideLeft = 0, insideRight = 0;
    for (const std::uint32_t k : subpaths) {
        for (std::uint32_t i = rowRanges[k]; i < rowRanges[k + 1]; ++i) {
            const EdgePiece& p = rowPieces[i];
            const double xt = p.xt - px, xb = p.xb - px;
            if (xt >= 1 && xb >= 1) {
                right.add(p.yt, p.yb, p.dir);
                continue;
            }
            if (xt <= 0 && xb <= 0) {
                left.add(p.yt, p.yb, p.dir);
                continue;
            }
            // Cut where it crosses the pixel's sides.
            double cuts[4];
            int n = 0;
            cuts[n++] = p.yt;
            if ((xt < 0) != (xb < 0)) cuts[n++] = p.yt + (0 - xt) / p.dxdy;
            if ((xt < 1) != (xb < 1)) cuts[n++] = p.yt + (1 - xt) / p.dxdy;
            if (n == 3 && cuts[1] > cuts[2]) std::swap(cuts[1], cuts[2]);
            cuts[n++] = p.yb;
            const double dxdy = p.dxdy;
            for (int c = 0; c + 1 < n; ++c) {
                const double y0 = std::clamp(cuts[c], p.yt, p.yb), y1 = std::clamp(cuts[c + 1], p.yt, p.yb);
                if (!(y1 > y0)) continue;
                const double x0 = xt + (y0 - p.yt) * dxdy, x1 = xt + (y1 - p.yt) * dxdy;
                const double xm = 0.5 * (x0 + x1);
                if (xm >= 1) {
                    right.add(y0, y1, p.dir);
                } else if (xm <= 0) {
                    left.add(y0, y1, p.dir);
                } else {
                    const double cx0 = std::clamp(x0, 0.0, 1.0), cx1 = std::clamp(x1, 0.0, 1.0);
                    pieces[inner++] = {y0, y1, cx0, cx1, dxdy, p.dir};
                    const double middle = 0.5 * (cx0 + cx1);
                    insideLeft += p.dir * (y1 - y0) * (1 - middle);
                    insideRight += p.dir * (y1 - y0) * middle;
                }
            }
        }
    }
    const bool fromRight = right.size < left.size;
    // The signed area these subpaths add to the pixel, as the sum has it;
    // the others' edges cross no part of it: theirs is a whole winding over
    // all of it.
    const double own = fromRight ? -right.area - insideRight : left.area + insideLeft;
    const int rest = int(std::lround(sum - own));
    const Walls& walls = fromRight ? right : left;
    const int side = fromRight ? -1 : 1;

    insertionSort(walls.steps, walls.steps + walls.size,
                  [](const WallStep& a, const WallStep& b) { return a.y < b.y; });
    double* const lines = roomFor(scratch.lines, 2 + walls.size + 2 * inner);
    std::size_t count = 0;
    lines[count++] = 0;
    lines[count++] = 1;
    for (std::size_t i = 0; i < walls.size;) {
        const double y = walls.steps[i].y;
        int change = 0;
        for (; i < walls.size && walls.steps[i].y == y; ++i) change += walls.steps[i].dir;
        if (change != 0) lines[count++] = y;
    }
    for (std::size_t i = 0; i < inner; ++i) {
        lines[count++] = pieces[i].yt;
        lines[count++] = pieces[i].yb;
    }
    insertionSort(lines, lines + count, std::less<double>());
    count = std::size_t(std::unique(lines, lines + count) - lines);
    BandEdge* const edges = roomFor(scratch.edges, inner);
    double area = 0;
    int wallWinding = 0;
    std::size_t w = 0;
    for (std::size_t b = 0; b + 1 < count; ++b) {
        const double y0 = lines[b], y1 = lines[b + 1];
        for (; w < walls.size && walls.steps[w].y <= y0; ++w) wallWinding += walls.steps[w].dir;
        area += bandArea(std::span<const EdgePiece>(pieces, inner), y0, y1, rest + side * wallWinding, fromRight,
                         edges, scratch.work, 0);
        if (scratch.work > kMostWork) return 0; // the caller gives up
    }
    return std::clamp(area, 0.0, 1.0);
}

} // namespace

bool UnionCoverage::uniteRows(int r0, int r1, Band& band, std::uint8_t* data, int stride,
                              std::atomic<std::size_t>& work) const {
    std::vector<std::uint64_t>& meetings = band.meetings;
    if (meetings.empty()) return true;
    // The meetings by row (a counting sort), then by pixel and subpath.
    std::vector<std::uint32_t> rowStart(std::size_t(r1 - r0) + 1, 0);
    const auto rowOf = [&](std::uint64_t m) { return std::size_t((m >> 32) / std::uint64_t(width_)) - std::size_t(r0); };
    for (const std::uint64_t m : meetings) ++rowStart[rowOf(m) + 1];
    for (std::size_t r = 1; r < rowStart.size(); ++r) rowStart[r] += rowStart[r - 1];
    std::vector<std::uint64_t> byRow(meetings.size());
    {
        std::vector<std::uint32_t> next(rowStart.begin(), rowStart.end() - 1);
        for (const std::uint64_t m : meetings) byRow[next[rowOf(m)]++] = m;
    }

    // For each row: the edges of the subpaths that meet in it, clipped to
    // the row once, then every pixel where they meet.
    std::vector<std::uint32_t> slot(std::size_t(subpaths_) + 1, 0), slotRow(std::size_t(subpaths_) + 1, 0);
    std::vector<std::uint32_t> rowSubpaths, rowRanges, pixelSubpaths;
    std::vector<EdgePiece> rowPieces;
    UnionScratch scratch;
    for (int row = r0; row < r1; ++row) {
        const auto first = byRow.begin() + rowStart[std::size_t(row - r0)];
        const auto last = byRow.begin() + rowStart[std::size_t(row - r0) + 1];
        if (first == last) continue;
        std::sort(first, last);
        rowSubpaths.clear(), rowPieces.clear(), rowRanges.assign(1, 0);
        const auto slotOf = [&](std::uint32_t id) {
            if (slotRow[id] == std::uint32_t(row) + 1) return slot[id];
            slotRow[id] = std::uint32_t(row) + 1;
            slot[id] = std::uint32_t(rowSubpaths.size());
            rowSubpaths.push_back(id);
            const Polygon polygon = subpath(id);
            const Point* p = polygon.p;
            const std::uint32_t end = polygon.count;
            scratch.work += end;
            const double top = row, bottom = row + 1;
            for (std::uint32_t i = 0; i < end; ++i) {
                Point a = p[i] + polygon.origin, b = p[i + 1 < end ? i + 1 : 0] + polygon.origin;
                if (a.y == b.y) continue;
                int dir = 1;
                if (a.y > b.y) {
                    std::swap(a, b);
                    dir = -1;
                }
                if (b.y <= top || a.y >= bottom) continue;
                const double dxdy = (b.x - a.x) / (b.y - a.y);
                const double yt = std::max(a.y, top), yb = std::min(b.y, bottom);
                const double xt = yt == a.y ? a.x : a.x + (yt - a.y) * dxdy;
                const double xb = yb == b.y ? b.x : a.x + (yb - a.y) * dxdy;
                rowPieces.push_back({yt - top, yb - top, xt, xb, dxdy, dir});
            }
            rowRanges.push_back(std::uint32_t(rowPieces.size()));
            return slot[id];
        };
        const float* cell = &cells_[std::size_t(row) * std::size_t(width_ + 2)];
        std::uint8_t* out = data + std::ptrdiff_t(row) * stride;
        double sum = 0;
        int summedTo = 0;
        for (auto m = first; m != last;) {
            const std::uint64_t pixel = *m >> 32;
            pixelSubpaths.clear();
            for (; m != last && (*m >> 32) == pixel; ++m) {
                const auto id = std::uint32_t(*m);
                if (pixelSubpaths.empty() || rowSubpaths[pixelSubpaths.back()] != id) pixelSubpaths.push_back(slotOf(id));
            }
            const int x = int(pixel % std::uint64_t(width_));
            // Four sums at a time: one alone waits on every addition.
            double lanes[4] = {0, 0, 0, 0};
            for (; summedTo + 4 <= x + 1; summedTo += 4)
                for (int k = 0; k < 4; ++k) lanes[k] += cell[summedTo + k];
            for (; summedTo <= x; ++summedTo) lanes[0] += cell[summedTo];
            sum += (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
            const double area = exactPixel(x, pixelSubpaths, rowPieces, rowRanges, sum, scratch);
            out[x] = std::uint8_t(area * 255 + 0.5);
            if (scratch.work > kMostWork) return false;
        }
        // The budget is the bands' together.
        if (work.fetch_add(scratch.work) + scratch.work > kMostWork) return false;
        scratch.work = 0;
    }
    return true;
}

bool UnionCoverage::resolve(std::uint8_t* data, int stride, bool anyMeetings, Point shift) {
    // A shift within a pixel moves an item's rows down by at most one.
    shift_ = {std::clamp(shift.x, 0.0, 1.0), std::clamp(shift.y, 0.0, 1.0)};
    const int moreRows = shift_.y > 0 ? 1 : 0;
    std::fill(rowsUsed_.begin(), rowsUsed_.end(), std::uint8_t(0));
    // Bands of rows, taken in turn by as many threads as the processor runs
    // at once; one thread does small rasters (starting others would cost
    // more than they save), all rows as one band.
    constexpr int kSharedBandRows = 16;
    constexpr std::size_t kPointsForThreads = std::size_t(1) << 14;
    constexpr unsigned kMostThreads = 8;
    unsigned threads = 1;
    if (pointCount_ >= kPointsForThreads && height_ > kSharedBandRows) {
        threads = std::clamp(threads_, 1u, std::min(kMostThreads, unsigned(height_ / kSharedBandRows)));
    }
    const int bandRows = threads > 1 ? kSharedBandRows : std::max(height_, 1);
    const int bands = (height_ + bandRows - 1) / bandRows;
    // Each band's items, in the order they were added: those reaching its
    // rows (a counting sort, as the bands are known).
    std::vector<std::uint32_t> bandStart(std::size_t(bands) + 1, 0);
    const auto bandsOf = [&](const Item& item) {
        const int bottom = std::min(height_, item.bottom + moreRows);
        return std::pair<int, int>{item.top / bandRows, bottom > item.top ? (bottom - 1) / bandRows + 1 : 0};
    };
    for (const Item& item : items_) {
        const auto [b0, b1] = bandsOf(item);
        for (int b = b0; b < b1; ++b) ++bandStart[std::size_t(b) + 1];
    }
    for (std::size_t b = 1; b < bandStart.size(); ++b) bandStart[b] += bandStart[b - 1];
    std::vector<std::uint32_t> bandItems(bandStart.back());
    // Figures made later are made first, in runs of a few dozen taken in
    // turn, each run by one thread; a band is summed once the runs of its
    // figures are made (those of a band follow each other, as figures come
    // row by row), so that threads started late find bands ready.
    const std::size_t figuresPerRun = std::max<std::size_t>(1, madeFigures_.size() / (std::size_t(threads) * 8));
    const std::size_t runs = (madeFigures_.size() + figuresPerRun - 1) / figuresPerRun;
    made_.assign(runs, {});
    const auto runsMade = std::make_unique<std::atomic<bool>[]>(runs);
    std::vector<std::pair<std::size_t, std::size_t>> bandRuns(std::size_t(bands), {runs, 0});
    {
        std::vector<std::uint32_t> next(bandStart.begin(), bandStart.end() - 1);
        for (std::size_t i = 0; i < items_.size(); ++i) {
            const Item& item = items_[i];
            const auto [b0, b1] = bandsOf(item);
            for (int b = b0; b < b1; ++b) {
                bandItems[next[std::size_t(b)]++] = std::uint32_t(i);
                if (item.kept == -2) {
                    auto& [first, end] = bandRuns[std::size_t(b)];
                    first = std::min(first, item.polygon / figuresPerRun);
                    end = std::max(end, item.polygon / figuresPerRun + 1);
                }
            }
        }
    }
    std::vector<Band> state(static_cast<std::size_t>(bands));
    std::atomic<int> nextToSum{0}, nextToUnite{0};
    std::atomic<std::size_t> work{0};
    std::atomic<bool> failed{false};
    // Every band is summed before any is united: whether figures meet too
    // often is known only then.
    bool giveUp = false, unite = false;
    const auto decide = [&]() noexcept {
        std::size_t meetings = 0;
        for (const Band& b : state) meetings += b.meetings.size();
        meetings_ = meetings;
        giveUp = unite_ && !anyMeetings && tooManyMeetings(meetings, pointCount_);
        unite = unite_ && !giveUp && !failed;
    };
    std::barrier summed(std::ptrdiff_t(threads), decide);
    std::atomic<std::size_t> nextToMake{0};
    const auto run = [&] {
        // A band's rows; the last band ends with the raster.
        const auto rows = [&](int b) { return std::pair<int, int>{b * bandRows, std::min(height_, (b + 1) * bandRows)}; };
        try {
            for (std::size_t r; !failed && (r = nextToMake++) < runs;) {
                makeRun(r, figuresPerRun);
                runsMade[r].store(true, std::memory_order_release);
            }
            for (int b; !failed && (b = nextToSum++) < bands;) {
                // The runs still being made are at work on other threads.
                for (auto [r, end] = bandRuns[std::size_t(b)]; r < end && !failed; ++r) {
                    while (!runsMade[r].load(std::memory_order_acquire) && !failed) std::this_thread::yield();
                }
                if (failed) break;
                const auto [r0, r1] = rows(b);
                const std::span<const std::uint32_t> items(bandItems.data() + bandStart[std::size_t(b)],
                                                           bandStart[std::size_t(b) + 1] - bandStart[std::size_t(b)]);
                sumRows(r0, r1, items, state[std::size_t(b)], data, stride);
            }
        } catch (const std::bad_alloc&) {
            failed = true;
        }
        summed.arrive_and_wait();
        if (!unite) return;
        try {
            for (int b; !failed && (b = nextToUnite++) < bands;) {
                const auto [r0, r1] = rows(b);
                if (!uniteRows(r0, r1, state[std::size_t(b)], data, stride, work)) failed = true;
            }
        } catch (const std::bad_alloc&) {
            failed = true;
        }
    };
    {
        std::vector<std::jthread> helpers;
        helpers.reserve(threads); // nothing to throw once a thread waits for the others
        for (unsigned t = 1; t < threads; ++t) {
            try {
                helpers.emplace_back(run);
            } catch (const std::system_error&) {
                // A thread that cannot be started is not waited for; the
                // others take its bands.
                summed.arrive_and_drop();
            }
        }
        run();
    }
    return !failed && !giveUp;
}

namespace {

// Rectilinear paths are measured as Cairo measures them, so that either may
// draw one: coordinates in 24.8 fixed point (rounded half to even), the area
// of a pixel in 1/65536ths, its value the area's 256ths, 256 held to 255.
constexpr int kFixedOne = 256;

using VerticalEdge = RectilinearCoverage::Edge;

// The path's vertical edges under m, in fixed point, for a raster of width x
// height pixels; false when a segment is neither vertical nor horizontal
// (horizontal ones change no winding along a row) or not finite.
bool verticalEdges(const Path& path, const AffineTransform& m, int width, int height,
                   std::vector<VerticalEdge>& edges) {
    // Coordinates beyond the raster are held a pixel outside it, where they
    // still bound the same pixels inside, before they turn into integers.
    auto fixed = [](double v, int limit) {
        // Adding and taking away 1.5 * 2^52 rounds as nearbyint does (to
        // even under the default mode), without a call per coordinate; the
        // clamped values are far below where that would lose bits.
        constexpr double kRound = 6755399441055744.0;
        const double scaled = std::clamp(v, -1.0, double(limit) + 1.0) * kFixedOne;
        return std::int64_t((scaled + kRound) - kRound);
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
    RectilinearCoverage coverage;
    if (!coverage.prepare(path, m, width, height)) return false;
    coverage.rows(0, height, data, stride);
    return true;
}

namespace {
enum : std::uint8_t { kEvent = 1, kCut = 2 };
}

bool RectilinearCoverage::prepare(const Path& path, const AffineTransform& m, int width, int height) {
    // Until it succeeds, rows() writes nothing.
    width_ = height_ = 0;
    edges_.clear();
    if (width <= 0 || height <= 0) return false;
    std::vector<VerticalEdge> unordered;
    unordered.reserve(path.size()); // at most one edge an element
    if (!verticalEdges(path, m, width, height, unordered)) return false;

    // The edges by the pixel row they begin in (those above the raster in
    // the first), and for each row whether an edge begins or ends in it,
    // and whether that cuts it: a counting sort, as the rows are known.
    const auto rowOf = [height](std::int64_t y) {
        return std::size_t(std::clamp<std::int64_t>(y / kFixedOne, 0, height));
    };
    rowEvents_.assign(std::size_t(height) + 1, 0);
    firstOfRow_.assign(std::size_t(height) + 2, 0);
    for (const VerticalEdge& e : unordered) {
        ++firstOfRow_[rowOf(e.top) + 1];
        for (const std::int64_t y : {e.top, e.bottom}) {
            if (y < 0) continue;
            rowEvents_[rowOf(y)] |= y % kFixedOne ? kEvent | kCut : kEvent;
        }
    }
    for (std::size_t r = 1; r < firstOfRow_.size(); ++r) firstOfRow_[r] += firstOfRow_[r - 1];
    edges_.resize(unordered.size());
    {
        std::vector<std::uint32_t> fill(firstOfRow_.begin(), firstOfRow_.end() - 1);
        for (const VerticalEdge& e : unordered) edges_[fill[rowOf(e.top)]++] = e;
    }
    width_ = width;
    height_ = height;
    return true;
}

void RectilinearCoverage::rows(int r0, int r1, std::uint8_t* first, int stride) const {
    if (r0 < 0) first += std::ptrdiff_t(-r0) * stride, r0 = 0;
    r1 = std::min(r1, height_);
    if (r0 >= r1) return;
    const int width = width_;
    const auto& edges = edges_;
    const auto& firstOfRow = firstOfRow_;
    const auto& rowEvents = rowEvents_;

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
    std::vector<int> windings;
    std::vector<std::int64_t> spanStarts;
    // Everything is allocated before the first row is written.
    active.reserve(edges.size());
    merged.reserve(edges.size());
    cuts.reserve(2 * edges.size() + 2);
    windings.reserve(2 * edges.size() + 1);
    spanStarts.reserve(2 * edges.size() + 1);
    auto byX = [](const VerticalEdge* a, const VerticalEdge* b) { return a->x < b->x; };
    // The edges begun above the first row that still cross it.
    {
        const std::int64_t top = std::int64_t(r0) * kFixedOne;
        for (std::size_t k = 0; k < firstOfRow[std::size_t(r0)]; ++k) {
            if (edges[k].bottom > top) active.push_back(&edges[k]);
        }
        std::sort(active.begin(), active.end(), byX);
    }
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
    // A row in which no edge begins or ends is crossed by the edges of the
    // row above; if they crossed that one whole too, it repeats it: most
    // rows of a module do.
    bool aboveWhole = false;
    for (int row = r0; row < r1; ++row) {
        const std::int64_t top = std::int64_t(row) * kFixedOne, bottom = top + kFixedOne;
        std::uint8_t* out = first + std::ptrdiff_t(row - r0) * stride;
        const std::uint8_t events = rowEvents[std::size_t(row)];
        if (events == 0 && aboveWhole) {
            std::memcpy(out, out - stride, std::size_t(width));
            continue;
        }
        const bool whole = !(events & kCut);
        aboveWhole = whole;
        // The edges crossing the row, kept in order along it.
        std::erase_if(active, [top](const VerticalEdge* e) { return e->bottom <= top; });
        const std::size_t staying = active.size();
        for (std::size_t k = firstOfRow[std::size_t(row)]; k < firstOfRow[std::size_t(row) + 1]; ++k) {
            if (edges[k].bottom > top) active.push_back(&edges[k]);
        }
        if (active.size() != staying) {
            const auto added = active.begin() + std::ptrdiff_t(staying);
            std::sort(added, active.end(), byX);
            merged.clear();
            std::merge(active.begin(), added, added, active.end(), std::back_inserter(merged), byX);
            active.swap(merged);
        }
        touchedBegin = std::size_t(width);
        touchedEnd = 0;
        if (!active.empty()) {
            cuts.assign({top, bottom});
            if (!whole) {
                for (const VerticalEdge* e : active) {
                    if (e->top > top) cuts.push_back(e->top);
                    if (e->bottom < bottom) cuts.push_back(e->bottom);
                }
                std::sort(cuts.begin(), cuts.end());
                cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
            }
            // All bands are walked along the row at once, each with its own
            // winding, which an edge changes in the bands it crosses. Edges
            // at one x may come in any order: a span of no width adds
            // nothing, and one split there adds the same.
            const std::size_t bands = cuts.size() - 1;
            windings.assign(bands, 0);
            spanStarts.assign(bands, 0);
            for (const VerticalEdge* e : active) {
                std::size_t b = 0, end = bands;
                if (e->top > top) b = std::size_t(std::lower_bound(cuts.begin(), cuts.end(), e->top) - cuts.begin());
                if (e->bottom < bottom) {
                    end = std::size_t(std::lower_bound(cuts.begin(), cuts.end(), e->bottom) - cuts.begin());
                }
                for (; b < end; ++b) {
                    const int before = windings[b];
                    windings[b] += e->winding;
                    if (before == 0) spanStarts[b] = e->x;
                    else if (windings[b] == 0) addSpan(spanStarts[b], e->x, std::int32_t(cuts[b + 1] - cuts[b]));
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
}

namespace {

// The sample lines first <= j < end, of `lines` lines S a pixel row, that an
// edge from y = ylo down to y = yhi crosses: line j lies at y = (j + 0.5) / S
// and counts the edge when ylo <= y < yhi.
std::pair<double, double> sampleLinesCrossed(double ylo, double yhi, double S, double lines) {
    return {std::clamp(std::ceil(ylo * S - 0.5), 0.0, lines), std::clamp(std::ceil(yhi * S - 0.5), 0.0, lines)};
}

} // namespace

void WindingEdges::start(int height, int subrows) {
    edges_.clear();
    crossings_ = 0;
    subrows_ = subrows;
    lines_ = std::max(height, 0) * subrows;
}

bool WindingEdges::addPolygon(std::span<const Point> points, Point origin) {
    const auto finite = [](Point p) { return std::isfinite(p.x) && std::isfinite(p.y); };
    if (!std::all_of(points.begin(), points.end(), finite)) return false;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point a = points[i] - origin, b = points[i + 1 < points.size() ? i + 1 : 0] - origin;
        if (!(a.y != b.y)) continue;
        const auto [lo, hi] = sampleLinesCrossed(std::min(a.y, b.y), std::max(a.y, b.y), subrows_, lines_);
        const int first = int(lo), end = int(hi);
        if (first >= end) continue;
        if (edges_.size() == kMaxEdges) return false;
        edges_.push_back({a.x, a.y, (b.x - a.x) / (b.y - a.y), first, end, b.y > a.y ? 1 : -1});
        crossings_ += std::size_t(end - first);
    }
    return true;
}

void WindingEdges::finish() {
    std::sort(edges_.begin(), edges_.end(), [](const Edge& a, const Edge& b) { return a.first < b.first; });
}

bool WindingEdges::build(const Path& path, const AffineTransform& m, double tolerance, int originX, int originY,
                         int height, int subrows) {
    start(height, subrows);
    const auto polygon = [&](std::span<const Point> points) { return addPolygon(points); };
    if (!forEachPolygon(path, m.then(AffineTransform::translation(-originX, -originY)), tolerance, polygon)) {
        return false;
    }
    finish();
    return true;
}

bool WindingEdges::build(const FlatOutline& outline, int originX, int originY, int height, int subrows) {
    start(height, subrows);
    const Point origin{double(originX), double(originY)};
    std::size_t from = 0;
    for (const std::size_t end : outline.ends()) {
        if (!addPolygon(outline.points().subspan(from, end - from), origin)) return false;
        from = end;
    }
    finish();
    return true;
}

namespace {

// Device coordinates as Cairo holds them: 24.8 fixed point, here in units of
// 1/256 pixel held by doubles (exact while below 2^53). Coordinates too large
// for that are left as they are: no drawable pixel is near them.
constexpr double kFixedUnit = 256;
constexpr double kFixedLimit = 4503599627370496.0; // 2^52
// How far (fixed units: a hundredth of a pixel) points may lie from the
// straight run that replaces them.
constexpr double kStraightTolerance = 2.56;
double toFixed(double v) {
    const double f = v * kFixedUnit;
    return std::fabs(f) < kFixedLimit ? std::nearbyint(f) : f;
}
Point toFixed(Point p) { return {toFixed(p.x), toFixed(p.y)}; }
// Half of Cairo's range (fixed units): beyond it its coordinates wrap.
constexpr double kCairoReach = double(std::int64_t(1) << 30);

// Cairo's halving of a fixed-point distance (an arithmetic shift).
double halfwayFixed(double a, double b) { return a + std::floor((b - a) / 2); }
Point halfwayFixed(Point a, Point b) { return {halfwayFixed(a.x, b.x), halfwayFixed(a.y, b.y)}; }

// The farther of the inner control points from the chord a-d, squared in
// pixels, as Cairo bounds a curve's distance from its chord.
double chordErrorSquared(Point a, Point b, Point c, Point d) {
    double bdx = (b.x - a.x) / kFixedUnit, bdy = (b.y - a.y) / kFixedUnit;
    double cdx = (c.x - a.x) / kFixedUnit, cdy = (c.y - a.y) / kFixedUnit;
    if (a.x != d.x || a.y != d.y) {
        const double dx = (d.x - a.x) / kFixedUnit, dy = (d.y - a.y) / kFixedUnit;
        const double v = dx * dx + dy * dy;
        const auto towardChord = [&](double& px, double& py) {
            const double u = px * dx + py * dy;
            if (u <= 0) return;
            if (u >= v) {
                px -= dx;
                py -= dy;
            } else {
                px -= u / v * dx;
                py -= u / v * dy;
            }
        };
        towardChord(bdx, bdy);
        towardChord(cdx, cdy);
    }
    return std::max(bdx * bdx + bdy * bdy, cdx * cdx + cdy * cdy);
}

// Positive on the left of the line from a to b (y up), negative on its right.
double sideOf(Point a, Point b, Point p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); }

// Drops the points of the polygon points[from...] that lie within
// `tolerance` (fixed units) of the straight run they are on, keeping the
// run's ends: points along the straight sides of a large outline would
// otherwise make every pixel row they cross be sampled line by line rather
// than measured whole, which moves edge pixels by up to a sixteenth.
// Each run grows while its end's direction seen from its start stays within
// the angles that keep every dropped point near the chord.
void mergeStraightRuns(std::vector<Point>& points, std::size_t from, double tolerance) {
    const std::size_t n = points.size();
    if (n - from < 3) return;
    std::size_t out = from + 1; // points[from] stays
    Point anchor = points[from];
    std::size_t end = from + 1; // the run's end so far
    Point reference{};
    double lo = 0, hi = 0, reach = 0;
    const auto startRun = [&](std::size_t i) {
        anchor = points[out - 1];
        end = i;
        reference = points[i] - anchor;
        lo = -M_PI, hi = M_PI;
        reach = std::hypot(reference.x, reference.y);
    };
    startRun(from + 1);
    for (std::size_t i = from + 2; i < n; ++i) {
        const Point p = points[i] - anchor, q = points[end] - anchor;
        const auto angle = [&](Point v) {
            return std::atan2(reference.x * v.y - reference.y * v.x, reference.x * v.x + reference.y * v.y);
        };
        const double d = std::hypot(p.x, p.y);
        double qlo = lo, qhi = hi;
        const double dq = std::hypot(q.x, q.y);
        if (dq > tolerance) {
            const double spread = std::asin(tolerance / dq), aq = angle(q);
            qlo = std::max(qlo, aq - spread), qhi = std::min(qhi, aq + spread);
        }
        const double a = angle(p);
        if (d >= reach && a >= qlo && a <= qhi) {
            lo = qlo, hi = qhi, reach = d;
            end = i;
            continue;
        }
        points[out++] = points[end];
        startRun(i);
    }
    points[out++] = points[end];
    points.resize(out);
}

} // namespace

bool FlatOutline::flatten(const Path& path, const AffineTransform& m, double tolerance, const Rect& window,
                          std::size_t maxPoints) {
    points_.clear();
    ends_.clear();
    withinCairosRange_ = true;
    const auto refuse = [&] {
        points_ = {};
        ends_ = {};
        return false;
    };
    if (!path.isFinite()) return refuse();
    // The window in fixed units, for telling which curves lie beside it.
    const double wx0 = toFixed(window.minX()), wy0 = toFixed(window.minY());
    const double wx1 = toFixed(window.maxX()), wy1 = toFixed(window.maxY());
    const double toleranceSquared = tolerance * tolerance;
    std::size_t polygonStart = 0;
    Point current{}, start{}, user{}, userStart{};
    bool open = false;
    const auto closePolygon = [&] {
        mergeStraightRuns(points_, polygonStart, kStraightTolerance);
        if (points_.size() > polygonStart) ends_.push_back(points_.size());
        polygonStart = points_.size();
        open = false;
    };
    const auto reach = [&](Point fixed) {
        withinCairosRange_ = withinCairosRange_ && std::fabs(fixed.x) < kCairoReach && std::fabs(fixed.y) < kCairoReach;
        return fixed;
    };
    const auto add = [&](Point fixed) {
        if (!open) {
            // A subpath drawn on after its close starts again from its start.
            points_.push_back(start);
            open = true;
        }
        if (points_.size() > polygonStart && points_.back().x == fixed.x && points_.back().y == fixed.y) return true;
        if (points_.size() >= maxPoints) return false;
        points_.push_back(fixed);
        return true;
    };
    struct Piece {
        Point a, b, c, d;
    };
    std::vector<Piece> pending;
    // Pieces looked at, for the budget: halving that ends in chords of no
    // length adds no point but costs as much.
    std::size_t pieces = 0;
    const auto curve = [&](Point b, Point c, Point d) {
        const Point a = current;
        current = d;
        const bool beside = std::max({a.x, b.x, c.x, d.x}) < wx0 || std::min({a.x, b.x, c.x, d.x}) > wx1 ||
                            std::max({a.y, b.y, c.y, d.y}) < wy0 || std::min({a.y, b.y, c.y, d.y}) > wy1;
        const bool straight = a.x == b.x && a.y == b.y && c.x == d.x && c.y == d.y;
        if (beside || straight) return add(d);
        // Depth first, the first half before the second: the points come
        // in order along the curve.
        pending.clear();
        pending.push_back({a, b, c, d});
        while (!pending.empty()) {
            Piece s1 = pending.back();
            pending.pop_back();
            if (++pieces > 4 * maxPoints) return false;
            if (chordErrorSquared(s1.a, s1.b, s1.c, s1.d) < toleranceSquared) {
                if (!add(s1.a)) return false;
                continue;
            }
            const Point ab = halfwayFixed(s1.a, s1.b), bc = halfwayFixed(s1.b, s1.c), cd = halfwayFixed(s1.c, s1.d);
            const Point abbc = halfwayFixed(ab, bc), bccd = halfwayFixed(bc, cd);
            const Point mid = halfwayFixed(abbc, bccd);
            pending.push_back({mid, bccd, cd, s1.d});
            pending.push_back({s1.a, ab, abbc, mid});
            // Halving stops where the halves no longer change; past that a
            // curve so far out needs more points than any budget.
            if (pending.size() > 256) return false;
        }
        return add(d);
    };
    for (const auto& e : path.elements()) {
        bool kept = true;
        switch (e.type) {
        case Path::ElementType::moveToPoint:
            closePolygon();
            user = userStart = e.points[0];
            current = start = reach(toFixed(m.apply(user)));
            break;
        case Path::ElementType::addLineToPoint:
            user = e.points[0];
            current = reach(toFixed(m.apply(user)));
            kept = add(current);
            break;
        case Path::ElementType::addQuadCurveToPoint: {
            // Cairo draws a quadratic curve as the cubic through the same
            // points, made in user space.
            const auto c = cubicControlsForQuad(user, e.points[0], e.points[1]);
            user = e.points[1];
            kept = curve(reach(toFixed(m.apply(c[0]))), reach(toFixed(m.apply(c[1]))), reach(toFixed(m.apply(user))));
            break;
        }
        case Path::ElementType::addCurveToPoint:
            user = e.points[2];
            kept = curve(reach(toFixed(m.apply(e.points[0]))), reach(toFixed(m.apply(e.points[1]))),
                         reach(toFixed(m.apply(user))));
            break;
        case Path::ElementType::closeSubpath:
            closePolygon();
            current = start;
            user = userStart;
            break;
        }
        if (!kept) return refuse();
    }
    closePolygon();
    for (Point& p : points_) p = p * (1 / kFixedUnit);
    return true;
}

void FlatOutline::clip(std::span<const Point> region) {
    if (region.size() < 3) return;
    // On the points' own grid, as Cairo holds a clip: an outline's corner
    // on the region's side stays inside it.
    std::vector<Point> corners;
    for (const Point& p : region) corners.push_back(toFixed(p) * (1 / kFixedUnit));
    double area = 0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const Point a = corners[i], b = corners[(i + 1) % corners.size()];
        area += a.x * b.y - b.x * a.y;
    }
    const double sense = area < 0 ? -1 : 1;
    std::vector<Point> in, out, kept;
    std::vector<std::size_t> keptEnds;
    std::size_t from = 0;
    for (const std::size_t end : ends_) {
        in.assign(points_.begin() + std::ptrdiff_t(from), points_.begin() + std::ptrdiff_t(end));
        from = end;
        for (std::size_t k = 0; k < corners.size() && !in.empty(); ++k) {
            const Point a = corners[k], b = corners[(k + 1) % corners.size()];
            out.clear();
            for (std::size_t i = 0; i < in.size(); ++i) {
                const Point p = in[i], q = in[(i + 1) % in.size()];
                const double sp = sense * sideOf(a, b, p), sq = sense * sideOf(a, b, q);
                if (sp >= 0) out.push_back(p);
                if ((sp < 0 && sq > 0) || (sp > 0 && sq < 0)) {
                    const double t = sp / (sp - sq);
                    out.push_back(toFixed(p + (q - p) * t) * (1 / kFixedUnit));
                }
            }
            in.swap(out);
        }
        if (in.size() < 3) continue;
        kept.insert(kept.end(), in.begin(), in.end());
        keptEnds.push_back(kept.size());
    }
    points_.swap(kept);
    ends_.swap(keptEnds);
}

std::size_t FlatOutline::crossings(int y0, int height, int subrows) const {
    const double S = subrows, lines = double(std::max(height, 0)) * S;
    std::size_t total = 0, from = 0;
    for (const std::size_t end : ends_) {
        for (std::size_t i = from; i < end; ++i) {
            const Point a = points_[i], b = points_[i + 1 < end ? i + 1 : from];
            const auto [first, last] = sampleLinesCrossed(std::min(a.y, b.y) - y0, std::max(a.y, b.y) - y0, S, lines);
            total += std::size_t(last - first);
        }
        from = end;
    }
    return total;
}

void WindingEdges::scan(const std::function<void(int, std::span<const std::pair<double, int>>)>& line) const {
    // The active edges with their x on the current line, kept in the order
    // of the line before: lines a fraction of a pixel apart seldom reorder
    // edges, so an insertion sort mostly just checks the order. Past a
    // budget of moves (edges that cross often) a full sort takes over.
    // Edges that begin on a line are sorted apart and merged in: among
    // thousands of active edges (a spiral's turns) one sorted in by
    // insertion would move past most of them.
    std::vector<std::pair<double, std::size_t>> active, added, merged;
    std::vector<std::pair<double, int>> crossings;
    std::size_t next = 0;
    for (int j = 0; j < lines_; ++j) {
        std::erase_if(active, [&](const auto& a) { return edges_[a.second].end <= j; });
        const double y = (j + 0.5) / subrows_;
        for (auto& [x, i] : active) {
            const Edge& e = edges_[i];
            x = e.x0 + (y - e.y0) * e.dxdy;
        }
        std::size_t moves = 0;
        const std::size_t budget = 4 * active.size() + 64;
        for (std::size_t k = 1; k < active.size() && moves <= budget; ++k) {
            for (std::size_t m = k; m > 0 && active[m].first < active[m - 1].first; --m, ++moves)
                std::swap(active[m], active[m - 1]);
        }
        if (moves > budget) std::sort(active.begin(), active.end());
        added.clear();
        for (; next < edges_.size() && edges_[next].first <= j; ++next) {
            const Edge& e = edges_[next];
            added.emplace_back(e.x0 + (y - e.y0) * e.dxdy, next);
        }
        if (!added.empty()) {
            std::sort(added.begin(), added.end());
            merged.clear();
            std::merge(active.begin(), active.end(), added.begin(), added.end(), std::back_inserter(merged));
            active.swap(merged);
        }
        crossings.clear();
        for (const auto& [x, i] : active) crossings.emplace_back(x, edges_[i].dir);
        line(j, crossings);
    }
}

void WindingEdges::resolve(int width, std::uint8_t* data, int stride) const {
    // Per pixel row: whole cells a span covers as a difference list, and
    // the part of a cell each end covers.
    std::vector<float> whole(std::size_t(width) + 1), part(std::size_t(width) + 1);
    const auto addSpan = [&](double xa, double xb) {
        xa = std::clamp(xa, 0.0, double(width)), xb = std::clamp(xb, 0.0, double(width));
        if (!(xb > xa)) return;
        const int ia = int(xa), ib = int(xb);
        whole[std::size_t(ia)] += 1, whole[std::size_t(ib)] -= 1;
        part[std::size_t(ib)] += float(xb - ib), part[std::size_t(ia)] -= float(xa - ia);
    };
    scan([&](int j, std::span<const std::pair<double, int>> crossings) {
        int winding = 0;
        double spanStart = 0;
        for (const auto& [x, dir] : crossings) {
            if (winding == 0) spanStart = x;
            winding += dir;
            if (winding == 0) addSpan(spanStart, x);
        }
        if ((j + 1) % subrows_ != 0) return;
        std::uint8_t* out = data + std::ptrdiff_t(j / subrows_) * stride;
        float run = 0;
        for (int x = 0; x < width; ++x) {
            run += whole[std::size_t(x)];
            const float c = std::clamp((run + part[std::size_t(x)]) / float(subrows_), 0.0F, 1.0F);
            out[x] = std::uint8_t(std::lround(c * 255));
        }
        std::fill(whole.begin(), whole.end(), 0.0F);
        std::fill(part.begin(), part.end(), 0.0F);
    });
}

} // namespace gfx::detail

namespace gfx::detail {

namespace {

// Appends the convex hull, counter-clockwise (y up), of the points (monotone
// chain; the points are sorted in place) to `out`.
void appendConvexHull(std::vector<Point>& points, std::vector<Point>& out) {
    std::sort(points.begin(), points.end(), [](Point a, Point b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    if (points.size() < 3) {
        out.insert(out.end(), points.begin(), points.end());
        return;
    }
    const auto cross = [](Point o, Point a, Point b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); };
    const std::size_t base = out.size();
    std::size_t k = 0;
    const auto at = [&](std::size_t i) -> Point& { return out[base + i]; };
    out.resize(base + 2 * points.size());
    for (const Point& p : points) {
        while (k >= 2 && cross(at(k - 2), at(k - 1), p) <= 0) --k;
        at(k++) = p;
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(at(k - 2), at(k - 1), points[i]) <= 0) --k;
        at(k++) = points[i];
    }
    out.resize(base + k - 1);
}

// Whether some edge of either hull has the other at most `slack` inside its
// outer side: figures within such hulls share at most a strip that thin. The
// edges facing the other hull are tried first, which finds the separating
// one of neighbouring figures in a step or two.
bool separated(std::span<const Point> a, std::span<const Point> b, double slack) {
    const auto centre = [](std::span<const Point> p) {
        Point c{};
        for (const Point& q : p) c = c + q;
        return c * (1.0 / double(p.size()));
    };
    const Point ca = centre(a), cb = centre(b);
    const auto apart = [slack](std::span<const Point> p, std::span<const Point> q, Point towards) {
        const std::size_t n = p.size();
        const auto normal = [&](std::size_t i) {
            const Point u = p[i], v = p[(i + 1) % n];
            // Outward normal of a counter-clockwise hull's edge.
            return Point{v.y - u.y, u.x - v.x};
        };
        std::size_t best = 0;
        double bestDot = -std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < n; ++i) {
            const Point nv = normal(i);
            const double len = std::sqrt(nv.x * nv.x + nv.y * nv.y);
            if (!(len > 0)) continue;
            const double dot = (nv.x * towards.x + nv.y * towards.y) / len;
            if (dot > bestDot) bestDot = dot, best = i;
        }
        for (std::size_t k = 0; k < n; ++k) {
            // best, best + 1, best - 1, best + 2, ...
            const std::size_t step = (k + 1) / 2;
            const std::size_t i = k % 2 ? (best + step) % n : (best + n - step % n) % n;
            const Point nv = normal(i);
            const double len = std::sqrt(nv.x * nv.x + nv.y * nv.y);
            if (!(len > 0)) continue;
            const double edge = (nv.x * p[i].x + nv.y * p[i].y) / len;
            bool beyond = true;
            for (const Point& w : q) {
                if ((nv.x * w.x + nv.y * w.y) / len < edge - slack) {
                    beyond = false;
                    break;
                }
            }
            if (beyond) return true;
        }
        return false;
    };
    return apart(a, b, cb - ca) || apart(b, a, ca - cb);
}

} // namespace

bool orientSubpaths(const std::vector<SubpathExtent>& subpaths,
                    const std::function<void(std::size_t, std::vector<Point>&)>& pointsOf,
                    std::vector<float>& signs) {
    const std::size_t n = subpaths.size();
    signs.assign(n, 1.0f);
    if (n == 0) return true;
    // Subpaths are binned by their bounds into square cells, so each one is
    // compared only with those near it.
    double gx0 = subpaths[0].x0, gy0 = subpaths[0].y0, gx1 = subpaths[0].x1, gy1 = subpaths[0].y1;
    for (const auto& s : subpaths) {
        gx0 = std::min(gx0, s.x0), gy0 = std::min(gy0, s.y0);
        gx1 = std::max(gx1, s.x1), gy1 = std::max(gy1, s.y1);
    }
    // Cells about the size of a typical subpath hold a few each.
    constexpr int kMaxCellsASide = 1024;
    double typical = 0;
    for (const auto& s : subpaths) typical += std::max(s.x1 - s.x0, s.y1 - s.y0);
    typical /= double(n);
    const double cell =
        std::max({(gx1 - gx0) / kMaxCellsASide, (gy1 - gy0) / kMaxCellsASide, typical, 1.0 / kMaxCellsASide});
    const int cols = std::clamp(int((gx1 - gx0) / cell) + 1, 1, kMaxCellsASide + 1);
    const int rows = std::clamp(int((gy1 - gy0) / cell) + 1, 1, kMaxCellsASide + 1);
    const double perCell = 1 / cell;
    struct Cells {
        int c0, r0, c1, r1;
    };
    std::vector<Cells> ranges(n);
    for (std::size_t i = 0; i < n; ++i) {
        const SubpathExtent& s = subpaths[i];
        const auto column = [&](double x) { return std::clamp(int((x - gx0) * perCell), 0, cols - 1); };
        const auto row = [&](double y) { return std::clamp(int((y - gy0) * perCell), 0, rows - 1); };
        ranges[i] = {column(s.x0), row(s.y0), column(s.x1), row(s.y1)};
    }
    // Counting sort of (cell, subpath) pairs.
    std::vector<std::uint32_t> start(std::size_t(cols) * std::size_t(rows) + 1, 0);
    for (const Cells& g : ranges) {
        for (int r = g.r0; r <= g.r1; ++r)
            for (int c = g.c0; c <= g.c1; ++c) ++start[std::size_t(r) * std::size_t(cols) + std::size_t(c) + 1];
    }
    for (std::size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
    std::vector<std::uint32_t> members(start.back());
    {
        std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        for (std::size_t i = 0; i < n; ++i) {
            const Cells& g = ranges[i];
            for (int r = g.r0; r <= g.r1; ++r)
                for (int c = g.c0; c <= g.c1; ++c)
                    members[fill[std::size_t(r) * std::size_t(cols) + std::size_t(c)]++] = std::uint32_t(i);
        }
    }

    const auto holds = [](const SubpathExtent& a, const SubpathExtent& b) {
        return a.x0 <= b.x0 && a.y0 <= b.y0 && a.x1 >= b.x1 && a.y1 >= b.y1;
    };
    // Overlap within a strip this thin covers under a quarter of 1/255 of any
    // pixel (up to four figures meet at a corner).
    constexpr double kSlack = 1.0 / 1536;
    // Hulls, made when first needed, one after another in a pool.
    constexpr std::size_t kNotMade = std::size_t(-1);
    std::vector<std::size_t> hullStart(n, kNotMade), hullEnd(n, 0);
    std::vector<Point> pool, scratch;
    const auto hull = [&](std::size_t i) {
        if (hullStart[i] == kNotMade) {
            scratch.clear();
            pointsOf(i, scratch);
            hullStart[i] = pool.size();
            appendConvexHull(scratch, pool);
            hullEnd[i] = pool.size();
        }
    };
    const auto hullsApart = [&](std::size_t i, std::size_t j) {
        hull(i);
        hull(j);
        const std::span<const Point> a(pool.data() + hullStart[i], hullEnd[i] - hullStart[i]);
        const std::span<const Point> b(pool.data() + hullStart[j], hullEnd[j] - hullStart[j]);
        // A figure of fewer than three distinct points covers nothing.
        return a.size() < 3 || b.size() < 3 || separated(a, b, kSlack);
    };
    // Subpaths piled on one another would be compared pair by pair; past
    // this many comparisons the fill is left to Cairo.
    std::size_t budget = 64 * n + 4096;
    for (std::size_t i = 0; i < n; ++i) {
        const SubpathExtent& a = subpaths[i];
        std::size_t root = i;
        double rootArea = (a.x1 - a.x0) * (a.y1 - a.y0);
        const Cells& ga = ranges[i];
        for (int r = ga.r0; r <= ga.r1; ++r)
            for (int c = ga.c0; c <= ga.c1; ++c) {
                const std::size_t k = std::size_t(r) * std::size_t(cols) + std::size_t(c);
                for (std::uint32_t m = start[k]; m < start[k + 1]; ++m) {
                    const std::size_t j = members[m];
                    if (j == i) continue;
                    const SubpathExtent& b = subpaths[j];
                    // Bounds that meet share the cell of their common top
                    // left corner; the pair is looked at there only.
                    const Cells& gb = ranges[j];
                    if (std::max(ga.c0, gb.c0) != c || std::max(ga.r0, gb.r0) != r) continue;
                    if (std::max(a.x0, b.x0) > std::min(a.x1, b.x1) || std::max(a.y0, b.y0) > std::min(a.y1, b.y1))
                        continue;
                    if (budget-- == 0) return false;
                    const bool inside = holds(b, a);
                    if (inside) {
                        const double area = (b.x1 - b.x0) * (b.y1 - b.y0);
                        if (area > rootArea || (area == rootArea && j < root)) root = j, rootArea = area;
                    }
                    // Each pair is judged once, from its first subpath. A
                    // hole is taken to lie inside its figure; a figure inside
                    // one of its own sense would be counted twice.
                    if (j < i) continue;
                    if ((inside || holds(a, b)) && (a.twiceArea < 0) != (b.twiceArea < 0)) continue;
                    // Bounds that overlap by under a quarter of 1/255 of a
                    // pixel cannot change one by a level.
                    const double ox = std::min(a.x1, b.x1) - std::max(a.x0, b.x0);
                    const double oy = std::min(a.y1, b.y1) - std::max(a.y0, b.y0);
                    if (!(ox > 0 && oy > 0 && std::min(ox, 1.0) * std::min(oy, 1.0) > 1.0 / 1024)) continue;
                    if (!hullsApart(i, j)) return false;
                }
            }
        signs[i] = subpaths[root].twiceArea < 0 ? -1.0f : 1.0f;
    }
    return true;
}

} // namespace gfx::detail

namespace gfx {

CoverageFill::CoverageFill(const AffineTransform& toDevice, int originX, int originY, int width, int height,
                           double tolerance, Figures figures)
    : toDevice_(toDevice), originX_(originX), originY_(originY), width_(std::max(width, 0)),
      height_(std::max(height, 0)), tolerance_(tolerance),
      raster_(originX, originY, width, height, 0, figures) {}



void CoverageFill::endSubpath() {
    if (!open_) return;
    open_ = false;
    const std::size_t first = subpathFirst_, end = points_.size();
    if (end - first < 3) {
        // Fewer than three points enclose nothing.
        points_.resize(first);
        return;
    }
    Subpath s{first, end, 0, points_[first].x, points_[first].y, points_[first].x, points_[first].y};
    Point last = points_[end - 1];
    for (std::size_t i = first; i < end; ++i) {
        const Point p = points_[i];
        s.twiceArea += last.x * p.y - p.x * last.y;
        s.x0 = std::min(s.x0, p.x), s.x1 = std::max(s.x1, p.x);
        s.y0 = std::min(s.y0, p.y), s.y1 = std::max(s.y1, p.y);
        last = p;
    }
    subpaths_.push_back(s);
}

void CoverageFill::moveTo(Point p) {
    const Point d = device(p);
    if (!placed_.empty()) materialise();
    ++elements_;
    closed_ = false;
    startAt(d);
}

void CoverageFill::startAt(Point d) {
    endSubpath();
    start_ = d;
    hasStart_ = true;
    subpathFirst_ = points_.size();
    points_.push_back(d);
    open_ = true;
}

bool CoverageFill::reopen() {
    // An element after a close starts a new subpath at the last start.
    if (!hasStart_) return false;
    subpathFirst_ = points_.size();
    points_.push_back(start_);
    open_ = true;
    return true;
}

// Each point goes to device space before anything else is called: a point
// kept in two halves across a call and read back whole stalls the processor
// (the loads cannot be forwarded from the stores).
bool CoverageFill::element(Point end) {
    if (!placed_.empty()) materialise();
    ++elements_;
    closed_ = false;
    if (open_ || reopen()) return true;
    startAt(end);
    return false;
}

void CoverageFill::lineTo(Point p) {
    const Point d = device(p);
    if (element(d)) points_.push_back(d);
}

void CoverageFill::quadTo(Point control, Point end) {
    const Point c = device(control), e = device(end);
    if (element(e)) detail::quadChords(points_.back(), c, e, tolerance_, [this](Point q) { points_.push_back(q); });
}

void CoverageFill::curveTo(Point control1, Point control2, Point end) {
    const Point c1 = device(control1), c2 = device(control2), e = device(end);
    if (element(e)) {
        detail::cubicChords(points_.back(), c1, c2, e, tolerance_, [this](Point q) { points_.push_back(q); });
    }
}

void CoverageFill::closeSubpath() {
    if (!placed_.empty()) materialise();
    // Counted as a path counts it: a close after a close adds nothing.
    if (elements_ > 0 && !closed_) ++elements_;
    closed_ = true;
    endSubpath();
}

void CoverageFill::signsOf(const std::vector<Subpath>& subpaths, std::vector<float>& signs) {
    const std::size_t n = subpaths.size();
    signs.assign(n, 1.0f);
    // Subpaths all of one sense count with that sense, nested or not.
    const bool oneSense = std::all_of(subpaths.begin(), subpaths.end(), [&](const Subpath& s) {
        return (s.twiceArea < 0) == (subpaths.front().twiceArea < 0);
    });
    // Otherwise the sense that counts for each subpath is that of the
    // largest one in the group whose bounds hold it: its own for a figure,
    // its figure's for a hole.
    for (std::size_t i = 0; i < n; ++i) {
        const Subpath& a = subpaths[i];
        std::size_t root = i;
        double rootArea = (a.x1 - a.x0) * (a.y1 - a.y0);
        for (std::size_t j = 0; j < n && !oneSense; ++j) {
            const Subpath& b = subpaths[j];
            if (j == i || !(b.x0 <= a.x0 && b.y0 <= a.y0 && b.x1 >= a.x1 && b.y1 >= a.y1)) continue;
            const double area = (b.x1 - b.x0) * (b.y1 - b.y0);
            if (area > rootArea || (area == rootArea && j < root)) root = j, rootArea = area;
        }
        signs[i] = subpaths[root].twiceArea < 0 ? -1.0f : 1.0f;
    }
}

void CoverageFill::endFigure() {
    endSubpath();
    if (subpaths_.empty() && placed_.size() == 1) {
        // One fixed outline alone: its polygons and signs as kept.
        const Stamp& stamp = stamps_[placed_.front().stamp];
        const Point shift = placed_.front().shift;
        placed_.clear();
        if (finite_) raster_.place(stamp.kept, shift);
        return;
    }
    materialise();
    signsOf(subpaths_, signs_);
    if (finite_) {
        for (std::size_t i = 0; i < subpaths_.size(); ++i) {
            const Subpath& s = subpaths_[i];
            raster_.addPolygon(points_.data() + s.first, s.end - s.first, {0, 0}, signs_[i]);
        }
    }
    points_.clear();
    subpaths_.clear();
}

void CoverageFill::appendFixed(const Path& path, const AffineTransform& transform) {
    const AffineTransform m = transform.then(toDevice_);
    // Only closed paths that start with a move are kept: what follows them
    // starts afresh, and they start nowhere else.
    const bool keepable = !path.isEmpty() && path.isFinite() &&
                          path.elements().front().type == Path::ElementType::moveToPoint &&
                          path.elements().back().type == Path::ElementType::closeSubpath && std::isfinite(m.tx) &&
                          std::isfinite(m.ty);
    if (!keepable) {
        append(path, transform);
        return;
    }
    const auto sameShape = [&](const Stamp& s) {
        return s.path == &path && s.placed.a == m.a && s.placed.b == m.b && s.placed.c == m.c && s.placed.d == m.d;
    };
    const auto stamp = std::find_if(stamps_.begin(), stamps_.end(), sameShape);
    if (stamp == stamps_.end()) {
        // Flattened here once, under this placement, and kept.
        materialise();
        endSubpath();
        const std::size_t firstPoint = points_.size(), firstSubpath = subpaths_.size(), elements = elements_;
        append(path, transform);
        endSubpath();
        constexpr std::size_t kMaxStamps = 32;
        if (stamps_.size() == kMaxStamps) return;
        Stamp made{&path, m, {}, {}, {}, elements_ - elements, start_, 0};
        made.points.assign(points_.begin() + std::ptrdiff_t(firstPoint), points_.end());
        for (std::size_t i = firstSubpath; i < subpaths_.size(); ++i) {
            Subpath sp = subpaths_[i];
            sp.first -= firstPoint;
            sp.end -= firstPoint;
            made.subpaths.push_back(sp);
        }
        signsOf(made.subpaths, made.signs);
        std::vector<std::size_t> ends;
        ends.reserve(made.subpaths.size());
        for (const Subpath& sp : made.subpaths) ends.push_back(sp.end);
        made.kept = raster_.keep(made.points, ends, made.signs);
        stamps_.push_back(std::move(made));
        return;
    }
    endSubpath();
    const Point shift{m.tx - stamp->placed.tx, m.ty - stamp->placed.ty};
    placed_.push_back({std::size_t(stamp - stamps_.begin()), shift});
    elements_ += stamp->elements;
    start_ = stamp->start + shift;
    hasStart_ = true;
    closed_ = true;
    open_ = false;
}

void CoverageFill::materialise() {
    for (const Placed& p : placed_) {
        const Stamp& stamp = stamps_[p.stamp];
        const std::size_t base = points_.size();
        for (const Point& q : stamp.points) points_.push_back(q + p.shift);
        for (Subpath sp : stamp.subpaths) {
            sp.first += base;
            sp.end += base;
            sp.x0 += p.shift.x, sp.x1 += p.shift.x, sp.y0 += p.shift.y, sp.y1 += p.shift.y;
            subpaths_.push_back(sp);
        }
    }
    placed_.clear();
}

bool CoverageFill::resolve(std::uint8_t* data, int stride, Point shift) {
    endFigure();
    // Moved figures meet where the first resolve found them to meet
    // (give or take a pixel): that resolve has already judged how often.
    const bool again = resolved_;
    resolved_ = true;
    return raster_.resolve(data, stride, again, shift);
}

} // namespace gfx
