#pragma once

// Fixed outlines written as tables of steps in the 90 x 90 box.

#include "platform/gfx/Path.h"

#include <span>

namespace QRCode::PupilShape::detail {

// One step: 'M' move to (x, y), 'L' line to (x, y), 'C' cubic curve to
// (x, y) with the controls (a, b) and (c, d), 'Z' close. Curves are written
// end point first, as the outline tables list them.
struct OutlineStep {
    char op;
    double x = 0, y = 0, a = 0, b = 0, c = 0, d = 0;
};

// Appends the steps to `path`, untransformed.
void appendSteps(gfx::Path& path, std::span<const OutlineStep> steps);

inline gfx::Path outlineFromSteps(std::span<const OutlineStep> steps)
{
    gfx::Path path;
    path.reserve(steps.size());
    appendSteps(path, steps);
    return path;
}

} // namespace QRCode::PupilShape::detail
