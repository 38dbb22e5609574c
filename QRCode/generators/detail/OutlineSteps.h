#pragma once

// Fixed outlines of the shape families (pixel templates and tiles, eyes,
// pupils) written as tables of steps in their own box. A curve is written
// end point first, then its two control points, the way the outlines are
// written down (gfx::Path::curveTo takes the controls first).

#include "QRCode/core/Corners.h"
#include "QRCode/core/Flip.h"
#include "QRCode/generators/GeneratorRegistry.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/OutlineSink.h"
#include "platform/gfx/Path.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
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
void appendOutline(gfx::OutlineSink& sink, std::span<const OutlineStep> steps, const gfx::AffineTransform& transform);
// A new path of the steps.
gfx::Path outlinePath(std::span<const OutlineStep> steps);
// A new path of the tables one after the other (outlines built from shared parts).
gfx::Path joinedOutlines(std::initializer_list<std::span<const OutlineStep>> parts);

// The path of a fixed table, built once on first use and kept.
template <const auto& Steps> const gfx::Path& cachedOutline() {
    static const gfx::Path path = outlinePath(Steps);
    return path;
}

// The box eyes and pupils are drawn in: 90 x 90 units, 10 per module.
inline constexpr double kShapeBoxSize = 90;

// `path` turned upside down within `height`: every point (x, y) becomes
// (x, height - y). Outlines written with y growing the other way are stored
// like this once, when built.
gfx::Path mirroredTopDown(const gfx::Path& path, double height);

// The "flip" setting of the flipping eyes and pupils: a missing value or a
// non-number is refused (std::nullopt); a number is read as an integer, 0...3
// select that mirror and any other number (NaN and numbers beyond the
// integers too) selects none.
std::optional<Flip> flipFromSettingValue(const OptionalSettingsValue& value);

// The "corners" setting of the shield eye and pupil: a number read as an
// integer gives those corner bits; a missing value or a non-number is
// refused (std::nullopt).
std::optional<Corners> cornersFromSettingValue(const OptionalSettingsValue& value);

// The mirror of a flip inside the 90-unit box: horizontal maps (x, y) to
// (90 - x, y), vertical to (x, 90 - y), both to (90 - x, 90 - y).
gfx::AffineTransform flipTransform(Flip flip) noexcept;

// `path` under the flip's mirror. Flip none (or a raw value that is no
// flip) gives the path unchanged;
// otherwise a new path with every subpath mirrored (which reverses each
// subpath's direction, so holes stay holes), its last subpath closed.
gfx::Path flippedPath(const gfx::Path& path, Flip flip);

} // namespace QRCode
