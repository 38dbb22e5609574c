#include "QRCode/generators/detail/OutlineSteps.h"

namespace QRCode {

void appendOutline(gfx::Path& path, std::span<const OutlineStep> steps, const gfx::AffineTransform& transform)
{
    const bool identity = transform == gfx::AffineTransform();
    const auto map = [&](gfx::Point p) { return identity ? p : transform.apply(p); };
    for (const OutlineStep& step : steps) {
        switch (step.kind) {
        case OutlineStep::move: path.moveTo(map(step.to)); break;
        case OutlineStep::line: path.lineTo(map(step.to)); break;
        case OutlineStep::curve: path.curveTo(map(step.c1), map(step.c2), map(step.to)); break;
        case OutlineStep::close: path.closeSubpath(); break;
        }
    }
}

gfx::Path outlinePath(std::span<const OutlineStep> steps)
{
    gfx::Path path;
    path.reserve(steps.size());
    appendOutline(path, steps);
    return path;
}

} // namespace QRCode
