#pragma once

// Fixed outlines of the shape families (pixel templates and tiles, eyes,
// pupils) written as tables of steps in their own box. A curve is written
// end point first, then its two control points, the way the outlines are
// written down (gfx::Path::curveTo takes the controls first).

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Path.h"

#include <cstdint>
#include <span>

namespace QRCode {

struct OutlineStep {
    enum Kind : std::uint8_t { move, line, curve, close };
    Kind kind = close;
    gfx::Point to{};
    gfx::Point c1{};
    gfx::Point c2{};
};

// The makers outline tables are written with: M moves, L draws a line, C a
// cubic (end point, control 1, control 2), Z closes.
namespace outline {
constexpr OutlineStep M(double x, double y) { return {OutlineStep::move, {x, y}, {}, {}}; }
constexpr OutlineStep L(double x, double y) { return {OutlineStep::line, {x, y}, {}, {}}; }
constexpr OutlineStep C(gfx::Point to, gfx::Point c1, gfx::Point c2) { return {OutlineStep::curve, to, c1, c2}; }
constexpr OutlineStep Z() { return {OutlineStep::close, {}, {}, {}}; }
} // namespace outline

// Appends the steps to `path` in order, each point through `transform`.
void appendOutline(gfx::Path& path, std::span<const OutlineStep> steps,
                   const gfx::AffineTransform& transform = gfx::AffineTransform());
// A new path of the steps.
gfx::Path outlinePath(std::span<const OutlineStep> steps);

} // namespace QRCode
