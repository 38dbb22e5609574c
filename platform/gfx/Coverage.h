#pragma once

#include "platform/gfx/Geometry.h"
#include "platform/gfx/GraphicsContext.h"
#include "platform/gfx/OutlineSink.h"
#include "platform/gfx/Path.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

namespace gfx::detail {

// Anti-aliased coverage of filled outlines by exact pixel areas: every edge
// adds the signed area it sweeps to the cells it crosses, and one pass along
// each row sums them into coverage (the winding number weighted by area,
// held to 0..1). The cost follows the edges' length and the pixels, not
// edges times sub-sample rows as a scan converter's does, which makes it the
// fast way for outlines of thousands of small curves.
//
// Figures known to be `apart` are only summed, each counted with the sign
// it is given, so that separate figures drawn in opposite senses add up
// instead of cancelling (orientSubpaths finds the signs, or that figures
// may overlap). Figures that overlap, as the figures of neighbouring
// modules that reach into each other do, are each counted in their own
// direction: in a pixel that the edges of one subpath alone cross, the
// others' winding is whole there and the sum is exact. Pixels that the edges
// of two or more subpaths cross are worked out again from those subpaths
// alone, band by band between their vertices and crossings, with the
// winding the rest give the pixel (what the sum holds beyond theirs); the
// cost then follows the pixels where figures meet too. Polygons are kept as
// they are added and rasterised by resolve in bands of rows, which are
// independent: large rasters share them out among the processor's cores,
// with the same pixels as one core gives.
class UnionCoverage {
public:
    // A raster of `width` x `height` pixels whose top left pixel is at
    // (originX, originY) in device space (y down), resolved by at most
    // `threads` threads (0: as many as the processor runs at once).
    UnionCoverage(int originX, int originY, int width, int height, unsigned threads = 0,
                  Figures figures = Figures::overlapping);

    // The closed polygon through `count` device points, each moved by
    // `shift`; figures apart are summed with `sign` (-1 for a hole drawn in
    // its figure's sense), overlapping ones each in its own direction.
    void addPolygon(const Point* points, std::size_t count, Point shift, float sign = 1);
    // Keeps a set of polygons to be placed again and again (a shape's
    // outline in module after module): polygon k runs through points
    // [ends[k - 1], ends[k]) (from 0 for the first), summed with signs[k] as
    // addPolygon sums. Returns the number place() takes.
    std::uint32_t keep(std::span<const Point> points, std::span<const std::size_t> ends, std::span<const float> signs);
    // The kept set's polygons moved by `shift`, as if each were added in turn;
    // nothing is copied, so a thousand modules cost a thousand records.
    void place(std::uint32_t kept, Point shift);
    // Figures apart only: polygons made by resolve's threads, each figure
    // once, instead of one after another by the caller; a band is summed
    // once its figures are made. make(figure, scratch, emit) calls
    // emit(points, count, sign) for each polygon of `figure` (device points,
    // moved by `shift` as addPolygon moves them); `scratch` is the calling
    // thread's to make them in. Any exception but std::bad_alloc (which
    // fails the resolve) ends the program.
    using Emit = std::function<void(const Point*, std::size_t, float)>;
    using Make = std::function<void(std::size_t, std::vector<Point>&, const Emit&)>;
    void makeLater(Make make, Point shift);
    // Figure number `figure` (each number once, from 0 up), summed in turn
    // with the polygons added and placed; its points lie between device
    // rows low and high (moved as its points are), and number about `points`.
    void addLater(std::size_t figure, double low, double high, std::size_t points);
    // Points of the polygons added and placed.
    std::size_t points() const { return pointCount_; }
    // Whether figures with these meetings and points are better left to
    // Cairo: each pixel worked out again costs about as much as a few Cairo
    // scans of an edge, so figures that meet at more pixels than they have
    // edges (abutting along whole sides; from a few thousand meetings on),
    // or at more than a million pixels.
    static bool tooManyMeetings(std::size_t meetings, std::size_t points) {
        constexpr std::size_t kLooked = std::size_t(1) << 12, kMost = std::size_t(1) << 20;
        return (meetings > kLooked && meetings > points / 2) || meetings > kMost;
    }
    // Writes coverage (0..255) into an 8-bit plane of the raster's size;
    // false (the plane half written) when the pixels where figures meet
    // would take too long to work out, or, unless `anyMeetings`, when they
    // meet too often (see tooManyMeetings). It may be called again, each
    // time with every figure moved by `shift` (each way at least 0 and below
    // 1 pixel; a shadow's fraction of a pixel).
    bool resolve(std::uint8_t* data, int stride, bool anyMeetings = false, Point shift = {});
    // After resolve: pixels where the edges of two or more subpaths meet,
    // each once per subpath (at least twice the pixels worked out again).
    std::size_t meetings() const { return meetings_; }

private:
    struct Band;
    // A polygon added alone, a kept set placed, or a figure made later:
    // subpaths firstId, firstId + 1, ... (numbered from 1 in the order they
    // came; a figure made later is one), their points each moved by
    // `origin`.
    struct Item {
        std::uint32_t firstId;
        std::int32_t kept;     // which of kept_; -1: a polygon of points_, -2: a figure made later
        std::uint32_t polygon; // which of points_'s polygons, or the figure
        int top, bottom;       // the rows it reaches
        Point origin;
    };
    struct Kept {
        std::vector<Point> points;
        std::vector<std::uint32_t> starts; // polygon k: starts[k] ... starts[k + 1]
        std::vector<float> signs;
        std::vector<std::pair<double, double>> ys; // each polygon's lowest and highest y
        double low, high;
    };
    // One subpath's points as the raster sees them: each p[i] + origin.
    struct Polygon {
        const Point* p;
        std::uint32_t count;
        Point origin;
        float sign;
    };
    // A subpath added or placed (figures made later are never united, and
    // never looked up).
    Polygon subpath(std::uint32_t id) const;
    // The polygons made later, in runs of figures that one thread makes.
    struct Made {
        std::vector<Point> points;
        std::vector<std::uint32_t> ends; // polygon k: ends[k - 1] (0 for the first) ... ends[k]
        std::vector<float> signs;
    };
    struct MadeFigure {
        std::uint32_t run, first, count; // its polygons in made_[run]
    };
    // Makes the figures of run r (see makeLater).
    void makeRun(std::size_t r, std::size_t figuresPerRun);
    void addItem(std::int32_t kept, std::uint32_t polygon, Point origin, std::size_t subpaths, std::size_t points,
                 double low, double high);
    // The summed cells and the meetings of rows r0 <= row < r1, which the
    // edges of `items` (in the order they were added) reach, and those
    // rows' coverage as the sum has it.
    void sumRows(int r0, int r1, std::span<const std::uint32_t> items, Band& band, std::uint8_t* data, int stride);
    // The exact coverage of the band's meeting pixels, adding the pieces it
    // looks at to `work`, shared by all bands; false once that passes the
    // budget.
    bool uniteRows(int r0, int r1, Band& band, std::uint8_t* data, int stride, std::atomic<std::size_t>& work) const;

    int originX_, originY_, width_, height_;
    unsigned threads_;
    bool unite_;
    std::unique_ptr<float[]> cells_;
    // Per pixel the last subpath (from 1) whose edges crossed it, 0 for none.
    std::unique_ptr<std::uint32_t[]> owner_;
    // Rows of the bands drawn into (cleared); the others are empty.
    std::vector<std::uint8_t> rowsUsed_;
    // The polygons added alone, one after another, already moved.
    std::vector<Point> points_;
    std::vector<std::uint32_t> polygonStarts_{0};
    std::vector<float> signs_;
    std::vector<Kept> kept_;
    Make make_;
    Point makeOrigin_{};
    std::vector<Made> made_;
    std::vector<MadeFigure> madeFigures_;
    std::vector<Item> items_;
    std::uint32_t subpaths_ = 0;
    std::size_t pointCount_ = 0;
    std::size_t meetings_ = 0;
    // Every figure moved by this in the resolve under way.
    Point shift_{};
};

// Exact coverage (non-zero rule) of a path whose segments all run along the
// axes under `m`, as merged square modules do, into the width x height plane
// `data` (its first pixel at the origin of m's space). Unlike the signed
// areas above, the winding is resolved before it is summed, so outlines with
// holes and overlapping subpaths come out exact too. False, with nothing
// written, when a segment is curved, slanted or not finite.
bool rectilinearCoverage(const Path& path, const AffineTransform& m, std::uint8_t* data, int width, int height,
                         int stride);

// The same worked in bands of rows, which may go to different threads: the
// edges are found and ordered once, and each band finds the edges crossing
// its first row itself. Any split gives the same bytes as one band.
class RectilinearCoverage {
public:
    struct Edge {
        std::int64_t x, top, bottom; // 24.8 fixed point
        int winding;                 // +1 downward, -1 upward
    };

    // False when a segment is curved, slanted or not finite; rows() may not
    // be called then.
    bool prepare(const Path& path, const AffineTransform& m, int width, int height);
    // Writes rows r0 ... r1 - 1 of the plane (those of them inside it), row
    // r0 at `first`. Calls may run at once.
    void rows(int r0, int r1, std::uint8_t* first, int stride) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<Edge> edges_; // by the row they begin in
    std::vector<std::uint32_t> firstOfRow_;
    std::vector<std::uint8_t> rowEvents_;
};

class FlatOutline;

// Sample lines per pixel row that match Cairo's own anti-aliasing.
constexpr int kWindingSubrows = 15;

// An outline's edges as horizontal sample lines meet them: `subrows` lines
// through each pixel row, at y = row + (k + 0.5) / subrows. Along a line
// the winding number is known exactly between crossings, so the non-zero
// rule holds for any outline, overlapping or crossing itself. The cost
// follows the crossings: the edges times the sample lines each one meets.
class WindingEdges {
public:
    // More edges than this are not held (160 MB).
    static constexpr std::size_t kMaxEdges = std::size_t(1) << 22;

    // The edges of `path` under `m`, curves flattened to `tolerance`, for a
    // raster of `height` rows whose first pixel is device pixel (originX,
    // originY). False for a path that is not finite or has too many edges.
    bool build(const Path& path, const AffineTransform& m, double tolerance, int originX, int originY, int height,
               int subrows);
    // The same for polygons already flattened in device space.
    bool build(const FlatOutline& outline, int originX, int originY, int height, int subrows);
    // How many crossings a scan meets.
    std::size_t crossings() const { return crossings_; }
    // Calls `line(j, crossings)` for every sample line j from the top with
    // its crossings (x relative to the raster, direction +1 or -1) in
    // increasing x.
    void scan(const std::function<void(int, std::span<const std::pair<double, int>>)>& line) const;
    // Writes anti-aliased coverage (0..255) of a raster `width` pixels
    // wide: along each sample line the spans of non-zero winding count
    // with their exact horizontal extent, as in Cairo's own scan converter.
    void resolve(int width, std::uint8_t* data, int stride) const;

private:
    void start(int height, int subrows);
    // Adds the closed polygon's edges, moved by -origin into raster
    // coordinates; false for a point that is not finite or once there are
    // too many.
    bool addPolygon(std::span<const Point> points, Point origin = {});
    void finish();
    // Sample lines first <= j < end cross the edge, at x0 + (y - y0) * dxdy.
    struct Edge {
        double x0, y0, dxdy;
        int first, end;
        int dir;
    };
    std::vector<Edge> edges_;
    std::size_t crossings_ = 0;
    int subrows_ = 1;
    int lines_ = 0;
};

// An outline's subpaths as closed polygons in device space, flattened the
// way Cairo's fill flattens them: every point on Cairo's 1/256 grid, each
// curve halved until both inner control points lie within the tolerance of
// its chord. Filled by Cairo, the polygons give the pixels Cairo gives the
// outline itself, while the work stays within a budget: Cairo's own
// flattening of a curve that reaches far out has no bound. A curve whose
// control points all lie on one side outside `window` becomes its chord,
// which changes no winding number inside the window.
class FlatOutline {
public:
    // False, with nothing kept, for an outline that is not finite or that
    // takes more than `maxPoints` points.
    bool flatten(const Path& path, const AffineTransform& m, double tolerance, const Rect& window,
                 std::size_t maxPoints);
    // Cuts every polygon to the convex polygon through `region`'s corners
    // (in either sense): inside it every winding number stays as it was.
    void clip(std::span<const Point> region);
    // The crossings of the polygons' edges with `subrows` sample lines a
    // pixel row (as WindingEdges places them) in rows y0 <= row < y0 + height.
    std::size_t crossings(int y0, int height, int subrows) const;
    std::span<const Point> points() const { return points_; }
    // Polygon k runs through points [ends[k - 1], ends[k]) (from 0 for the
    // first), its closing edge implied.
    std::span<const std::size_t> ends() const { return ends_; }
    // Whether the outline's points all lie well within Cairo's coordinate
    // range (beyond it Cairo's own flattening is not this one).
    bool withinCairosRange() const { return withinCairosRange_; }

private:
    std::vector<Point> points_;
    std::vector<std::size_t> ends_;
    bool withinCairosRange_ = true;
};

// The points a raster's quadTo or curveTo from p0 draws its chords to.
void flattenQuad(Point p0, Point control, Point end, double tolerance, std::vector<Point>& out);
void flattenCubic(Point p0, Point c1, Point c2, Point end, double tolerance, std::vector<Point>& out);

// Calls polygon(points) with each subpath of `path` under `m` as the
// polygon through its points (its closing edge implied), curves flattened to
// `tolerance`; polygon(points, subpath) also gets the number of the subpath
// the polygon belongs to, counted as subpathExtents counts them (the first
// begins with the first point, each later one at a move: the segments after
// a close without a move belong to the closed subpath, from its start).
// Stops when polygon returns false, and returns false then. The elements
// looked at may be limited to [first, last), from a move or the path's
// start, the subpaths then counted from there; `points` holds the polygon
// being made.
template <class Polygon>
bool forEachPolygon(const Path& path, const AffineTransform& m, double tolerance, Polygon&& polygon,
                    std::vector<Point>& points, std::size_t first = 0,
                    std::size_t last = std::numeric_limits<std::size_t>::max()) {
    points.clear();
    Point start{};
    std::size_t subpath = 0;
    bool started = false;
    const auto end = [&] {
        bool go = true;
        if (!points.empty()) {
            if constexpr (std::is_invocable_v<Polygon&, std::span<const Point>, std::size_t>) {
                go = polygon(std::span<const Point>(points), subpath);
            } else {
                go = polygon(std::span<const Point>(points));
            }
        }
        points.clear();
        return go;
    };
    const auto& elements = path.elements();
    for (std::size_t index = first, stop = std::min(last, elements.size()); index < stop; ++index) {
        const auto& e = elements[index];
        const auto p = [&](int k) { return m.apply(e.points[std::size_t(k)]); };
        // A path begins with a move; after a close the next subpath starts
        // where the closed one did.
        if (e.type != Path::ElementType::moveToPoint && e.type != Path::ElementType::closeSubpath && points.empty())
            points.push_back(start);
        switch (e.type) {
        case Path::ElementType::moveToPoint:
            if (!end()) return false;
            if (started) ++subpath;
            points.push_back(start = p(0));
            break;
        case Path::ElementType::addLineToPoint: points.push_back(p(0)); break;
        case Path::ElementType::addQuadCurveToPoint: flattenQuad(points.back(), p(0), p(1), tolerance, points); break;
        case Path::ElementType::addCurveToPoint:
            flattenCubic(points.back(), p(0), p(1), p(2), tolerance, points);
            break;
        case Path::ElementType::closeSubpath:
            if (!end()) return false;
            break;
        }
        started = started || e.type != Path::ElementType::closeSubpath;
    }
    return end();
}

template <class Polygon>
bool forEachPolygon(const Path& path, const AffineTransform& m, double tolerance, Polygon&& polygon) {
    std::vector<Point> points;
    return forEachPolygon(path, m, tolerance, std::forward<Polygon>(polygon), points);
}

// Device bounds and twice the signed area (of the control polygon) of one
// subpath.
struct SubpathExtent {
    double x0, y0, x1, y1;
    double twiceArea;
};

// The sign each subpath's edges need so that summed coverage is the non-zero
// rule's: every figure counts positively, and a subpath nested inside a figure
// of the other sense (a hole) counts against it. Nesting is judged by bounds:
// the sense that counts is that of the largest subpath whose bounds hold this
// one's. Returns false (summing would be wrong) when two figures may overlap
// by more than a quarter of 1/255 of a pixel's area: bounds that overlap that
// much, other than a hole's within its figure's, are looked at again through
// the convex hulls of the polygons the raster fills, whose corners
// `pointsOf(i, out)` lists; so are figures nested in one of their own sense.
// Past a number of comparisons proportional to the subpaths it gives up.
bool orientSubpaths(const std::vector<SubpathExtent>& subpaths,
                    const std::function<void(std::size_t, std::vector<Point>&)>& pointsOf,
                    std::vector<float>& signs);

} // namespace gfx::detail

namespace gfx {

// Outlines streamed straight into a coverage raster: each point goes to
// device space once, curves are flattened as they arrive (a fixed outline
// placed again is flattened once and moved) and each group of figures (one
// module's outlines) goes to the raster as polygons when it ends; no path
// of the whole code is built. Figures that are `apart` are summed: within a
// group every figure counts positively and a subpath nested in a larger one
// of the other sense (a hole) against it; groups must not overlap one
// another, nor a group's figures each other (summed coverage would count an
// overlap twice). Figures that may be `overlapping` are united instead,
// which gives the non-zero rule's coverage of any figures, and gives up
// where they meet too often (resolve says so). The raster is worked out in
// bands of rows, on several threads for a large one (see UnionCoverage).
// GraphicsContext::makeCoverageFill makes one and fillCoverage paints it.
class CoverageFill final : public OutlineSink {
public:
    // Points arrive in the space that `toDevice` maps to Cairo's device
    // space; the raster covers width x height pixels from (originX, originY).
    CoverageFill(const AffineTransform& toDevice, int originX, int originY, int width, int height,
                 double tolerance, Figures figures = Figures::apart);

    void moveTo(Point p) override;
    void lineTo(Point p) override;
    void quadTo(Point control, Point end) override;
    void curveTo(Point control1, Point control2, Point end) override;
    void closeSubpath() override;
    void endFigure() override;
    // A fixed path placed again under the same scale and turn as before (a
    // template in every module) is not flattened again: its device polygons
    // are moved to the new place.
    void appendFixed(const Path& path, const AffineTransform& transform) override;

    // False once a point was not finite: nothing is to be drawn then, as
    // for a path that is not finite.
    bool isFinite() const { return finite_; }
    // How many elements were handed over (a path of them would be as long).
    std::size_t elementCount() const { return elements_; }
    int originX() const { return originX_; }
    int originY() const { return originY_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Ends the last group and writes coverage (0...255) into an 8-bit plane
    // of the raster's size; false (the plane half written) when overlapping
    // figures meet too often to be united, and the path must be filled.
    // May be called again, with every figure moved by `shift` (each way at
    // least 0 and below 1 pixel): a shadow's coverage from the same figures.
    bool resolve(std::uint8_t* data, int stride, Point shift = {});

private:
    struct Subpath {
        std::size_t first, end; // its points in points_
        double twiceArea;
        double x0, y0, x1, y1;
    };
    Point device(Point p) {
        const Point d = toDevice_.apply(p);
        finite_ = finite_ && std::isfinite(d.x) && std::isfinite(d.y);
        return d;
    }
    void endSubpath();
    // Starts a subpath at the last start after a close; false before any.
    bool reopen();
    // Starts a subpath at device point d.
    void startAt(Point d);
    // Counts an element that ends at device point `end` and readies the
    // open subpath for it; false when it only started one there.
    bool element(Point end);

    AffineTransform toDevice_;
    int originX_, originY_, width_, height_;
    double tolerance_;
    detail::UnionCoverage raster_;
    // The open group: its subpaths' device points, one after another.
    std::vector<Point> points_;
    std::vector<Subpath> subpaths_;
    std::vector<float> signs_;
    std::size_t subpathFirst_ = 0;
    Point start_{}; // device space; a line after a close starts here
    bool hasStart_ = false;
    bool open_ = false;
    std::size_t elements_ = 0;
    // Paths flattened once: their polygons as drawn under `placed`.
    struct Stamp {
        const Path* path;
        AffineTransform placed; // the placement (to device space) they were flattened under
        std::vector<Point> points;
        std::vector<Subpath> subpaths;
        std::vector<float> signs; // as a group of its own
        std::size_t elements;
        Point start; // the start point after the path
        std::uint32_t kept; // the raster's copy, placed for a group of it alone
    };
    std::vector<Stamp> stamps_;
    // A stamp placed in the open group, not yet copied into it: a group of
    // that stamp alone is rasterised straight from it.
    struct Placed {
        std::size_t stamp;
        Point shift;
    };
    std::vector<Placed> placed_;
    // Copies the placed stamps into the open group.
    void materialise();
    // The signs of a group's subpaths (see endFigure).
    static void signsOf(const std::vector<Subpath>& subpaths, std::vector<float>& signs);
    bool closed_ = false; // the last element was a close
    bool finite_ = true;
    bool resolved_ = false;
};

} // namespace gfx
