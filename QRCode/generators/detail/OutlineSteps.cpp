#include "QRCode/generators/detail/OutlineSteps.h"

#include "platform/foundation/SettingsValue.h"

namespace QRCode {

namespace {

template <class Out> void appendSteps(Out& out, std::span<const OutlineStep> steps, const gfx::AffineTransform& transform) {
    const bool identity = transform == gfx::AffineTransform();
    const auto map = [&](gfx::Point p) { return identity ? p : transform.apply(p); };
    for (const OutlineStep& step : steps) {
        switch (step.kind) {
        case OutlineStep::move: out.moveTo(map(step.to)); break;
        case OutlineStep::line: out.lineTo(map(step.to)); break;
        case OutlineStep::curve: out.curveTo(map(step.c1), map(step.c2), map(step.to)); break;
        case OutlineStep::close: out.closeSubpath(); break;
        }
    }
}

} // namespace

void appendOutline(gfx::Path& path, std::span<const OutlineStep> steps, const gfx::AffineTransform& transform) {
    appendSteps(path, steps, transform);
}

void appendOutline(gfx::OutlineSink& sink, std::span<const OutlineStep> steps, const gfx::AffineTransform& transform) {
    appendSteps(sink, steps, transform);
}

gfx::Path outlinePath(std::span<const OutlineStep> steps) {
    gfx::Path path;
    path.reserve(steps.size());
    appendOutline(path, steps);
    return path;
}

gfx::Path joinedOutlines(std::initializer_list<std::span<const OutlineStep>> parts) {
    gfx::Path path;
    for (const auto part : parts) appendOutline(path, part);
    return path;
}

gfx::Path mirroredTopDown(const gfx::Path& path, double height) {
    gfx::Path mirrored;
    mirrored.reserve(path.size());
    mirrored.addPath(path, gfx::AffineTransform{1, 0, 0, -1, 0, height});
    return mirrored;
}

std::optional<Flip> flipFromSettingValue(const OptionalSettingsValue& value) {
    if (!value || !foundation::settingDouble(*value)) return std::nullopt;
    const auto raw = foundation::settingInteger(*value);
    return raw ? flipFromRawValue(*raw).value_or(Flip::none) : Flip::none;
}

std::optional<Corners> cornersFromSettingValue(const OptionalSettingsValue& value) {
    if (!value) return std::nullopt;
    const auto raw = foundation::settingInteger(*value);
    if (!raw) return std::nullopt;
    return Corners(*raw);
}

gfx::AffineTransform flipTransform(Flip flip) noexcept {
    switch (flip) {
    case Flip::horizontal: return {-1, 0, 0, 1, kShapeBoxSize, 0};
    case Flip::vertical: return {1, 0, 0, -1, 0, kShapeBoxSize};
    case Flip::both: return {-1, 0, 0, -1, kShapeBoxSize, kShapeBoxSize};
    case Flip::none: break;
    }
    return gfx::AffineTransform::identity();
}

gfx::Path flippedPath(const gfx::Path& path, Flip flip) {
    // None, or a raw value outside the four, draws unmirrored.
    if (flip != Flip::horizontal && flip != Flip::vertical && flip != Flip::both) return path;
    gfx::Path mirrored;
    mirrored.reserve(path.size() + 1);
    mirrored.addPath(path, flipTransform(flip));
    mirrored.closeSubpath();
    return mirrored;
}

} // namespace QRCode
