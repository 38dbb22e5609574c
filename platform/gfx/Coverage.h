#pragma once

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Path.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace gfx::detail {

// Anti-aliased coverage of a filled outline by exact pixel areas: every edge
// adds the signed area it sweeps to the cells it crosses, and one pass along
// each row sums them into coverage. The cost follows the edges' length and the
// pixels, not edges times sub-sample rows as a scan converter's does, which
// makes it the fast way for outlines of thousands of small curves.
//
// Coverage is the winding number weighted by area, held to 0..1: the non-zero
// rule's wherever the figures do not overlap (overlaps count twice in pixels
// their edges cross; orientSubpaths finds them). Subpaths that turn the other
// way are counted with the sign given to setOrientation, so that separate
// figures drawn in opposite senses add up instead of cancelling.
class CoverageRaster {
public:
    // A raster of `width` x `height` pixels whose top left pixel is at
    // (originX, originY) in device space (y down).
    CoverageRaster(int originX, int originY, int width, int height);

    void moveTo(Point p);
    void lineTo(Point p);
    // Curves are flattened to within `tolerance` device pixels.
    void quadTo(Point control, Point end, double tolerance);
    void curveTo(Point c1, Point c2, Point end, double tolerance);
    void closeSubpath();
    // Edges added from now on count with this sign (1 or -1).
    void setOrientation(float sign) { sign_ = sign; }

    // Writes coverage (0..255) into an 8-bit plane of the raster's size.
    void resolve(std::uint8_t* data, int stride) const;

private:
    void edge(Point a, Point b);

    int originX_, originY_, width_, height_;
    // One accumulation row is width + 2 cells: edges right of the raster
    // collapse onto its right border and still close their rows.
    std::vector<float> cells_;
    Point start_{}, current_{};
    bool open_ = false;
    float sign_ = 1;
};

// Exact coverage (non-zero rule) of a path whose segments all run along the
// axes under `m`, as merged square modules do, into the width x height plane
// `data` (its first pixel at the origin of m's space). Unlike the signed
// areas above, the winding is resolved before it is summed, so outlines with
// holes and overlapping subpaths come out exact too. False, with nothing
// written, when a segment is curved, slanted or not finite.
bool rectilinearCoverage(const Path& path, const AffineTransform& m, std::uint8_t* data, int width, int height,
                         int stride);

// The points a raster's quadTo or curveTo from p0 draws its chords to.
void flattenQuad(Point p0, Point control, Point end, double tolerance, std::vector<Point>& out);
void flattenCubic(Point p0, Point c1, Point c2, Point end, double tolerance, std::vector<Point>& out);

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
