#pragma once

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Path.h"

#include <cstddef>

namespace gfx {

// Receives outlines element by element, as gfx::Path records them, without
// holding them: a path builder keeps them, a coverage fill rasterises them as
// they come. Figures are handed over in groups (a module's outlines); the
// sender ends each group with endFigure().
class OutlineSink {
public:
    virtual ~OutlineSink() = default;

    virtual void moveTo(Point p) = 0;
    virtual void lineTo(Point p) = 0;
    virtual void quadTo(Point control, Point end) = 0;
    virtual void curveTo(Point control1, Point control2, Point end) = 0;
    virtual void closeSubpath() = 0;
    // The outlines handed over since the last group end form one group.
    virtual void endFigure() {}

    // Every element of `path`, each point through `transform`.
    void append(const Path& path, const AffineTransform& transform);
    // The same for a path that stays alive and unchanged for as long as the
    // sink does (a shape's fixed outline, placed in module after module): a
    // sink may take it whole, as a coverage fill does, flattening it once.
    virtual void appendFixed(const Path& path, const AffineTransform& transform) { append(path, transform); }
    // Path::addRoundedRect's elements, each point through `transform`.
    void addRoundedRect(const Rect& r, double cornerWidth, double cornerHeight, const AffineTransform& transform);
};

// An outline sink that appends to a path.
class PathOutlineSink final : public OutlineSink {
public:
    explicit PathOutlineSink(Path& path) noexcept : path_(path) {}

    void moveTo(Point p) override { path_.moveTo(p); }
    void lineTo(Point p) override { path_.lineTo(p); }
    void quadTo(Point control, Point end) override { path_.quadTo(control, end); }
    void curveTo(Point control1, Point control2, Point end) override { path_.curveTo(control1, control2, end); }
    void closeSubpath() override { path_.closeSubpath(); }

private:
    Path& path_;
};

// The outlines draw(sink) hands over, as one path with room for `elements`
// made up front (a hint, not a limit).
template <class Draw> Path pathOfOutlines(std::size_t elements, Draw&& draw) {
    Path path;
    path.reserve(elements);
    PathOutlineSink sink(path);
    draw(static_cast<OutlineSink&>(sink));
    return path;
}

} // namespace gfx
