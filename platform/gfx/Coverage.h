#pragma once

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Path.h"

#include <cstdint>
#include <vector>

namespace gfx::detail {

// Anti-aliased coverage of a filled outline by exact pixel areas: every edge
// adds the signed area it sweeps to the cells it crosses, and one pass along
// each row sums them into coverage. The cost follows the edges' length and the
// pixels, not edges times sub-sample rows as a scan converter's does, which
// makes it the fast way for outlines of thousands of small curves.
//
// Coverage is the winding number weighted by area, held to 0..1: exact for
// the non-zero rule except in pixels where edges of different windings meet
// (overlapping subpaths), where it is within a few levels.
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
};

// Exact coverage (non-zero rule) of a path whose segments all run along the
// axes under `m`, as merged square modules do, into the width x height plane
// `data` (its first pixel at the origin of m's space). Unlike the signed
// areas above, the winding is resolved before it is summed, so outlines with
// holes and overlapping subpaths come out exact too. False, with nothing
// written, when a segment is curved, slanted or not finite.
bool rectilinearCoverage(const Path& path, const AffineTransform& m, std::uint8_t* data, int width, int height,
                         int stride);

} // namespace gfx::detail
