#pragma once

#include "platform/gfx/Geometry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gfx {

enum class FillRule { nonZero, evenOdd };

// A vector outline: a list of elements in the platform's numbering. Quadratic
// curves are kept as quadratics (stored paths and SVG output need them); only
// the hand-over to Cairo turns them into cubics.
class Path {
public:
    enum class ElementType : int {
        moveToPoint = 0,
        addLineToPoint = 1,
        addQuadCurveToPoint = 2,
        addCurveToPoint = 3,
        closeSubpath = 4
    };

    struct Element {
        ElementType type = ElementType::closeSubpath;
        // Only the first pointCount(type) points are meaningful.
        std::array<Point, 3> points{};
        friend bool operator==(const Element&, const Element&) = default;
    };
    static constexpr int pointCount(ElementType type) {
        switch (type) {
        case ElementType::moveToPoint:
        case ElementType::addLineToPoint: return 1;
        case ElementType::addQuadCurveToPoint: return 2;
        case ElementType::addCurveToPoint: return 3;
        case ElementType::closeSubpath: return 0;
        }
        return 0;
    }

    void moveTo(Point p);
    void lineTo(Point p);
    void quadTo(Point control, Point end);
    void curveTo(Point control1, Point control2, Point end);
    void closeSubpath();

    // Move to (minX, minY), lines to (maxX, minY), (maxX, maxY), (minX, maxY), close.
    void addRect(const Rect& r);
    // Corners rounded by elliptical quarter arcs of the given width and height
    // (each limited to half the side); plain rectangle when either is 0 or less.
    void addRoundedRect(const Rect& r, double cornerWidth, double cornerHeight);
    // The same elements with every point through `transform`, without an
    // intermediate path (for callers that place many small figures).
    void addRoundedRect(const Rect& r, double cornerWidth, double cornerHeight, const AffineTransform& transform);
    // Four cubics starting at (maxX, midY), counter-clockwise in a y-up space.
    void addEllipse(const Rect& r);
    void addPath(const Path& other);
    void addPath(const Path& other, const AffineTransform& transform);

    Path transformed(const AffineTransform& transform) const&;
    // The same, the path's own elements changed in place (a code's outline
    // runs to megabytes).
    Path transformed(const AffineTransform& transform) &&;

    const std::vector<Element>& elements() const { return elements_; }
    std::size_t size() const { return elements_.size(); }
    void reserve(std::size_t n) { elements_.reserve(n); }
    bool isEmpty() const { return elements_.empty(); }
    // False when any coordinate is NaN or infinite. Such a path is drawn,
    // clipped to and written to SVG as if it were empty.
    bool isFinite() const { return finite_; }
    // The point the next element starts from (the start of the subpath after
    // a close); (0, 0) for an empty path.
    Point currentPoint() const { return current_; }

    // Bounds of all points, control points included; the null rectangle when
    // the path is empty.
    Rect boundingBox() const;
    // Bounds of the drawn figure: curves contribute their extremes, not their
    // control points.
    Rect pathBoundingBox() const;

    // Whether a point lies inside the figure; open subpaths count as closed.
    bool contains(Point p, FillRule rule = FillRule::nonZero) const;
    // The winding numbers `contains` finds at the centres (c + 0.5, r + 0.5)
    // of a block of unit cells (columns firstColumn... and rows firstRow...,
    // row by row), from one pass over the outline: the cost grows with the
    // outline plus the rows each of its pieces crosses, not with their
    // product with the cells. Zero everywhere for a path that is empty or
    // not finite.
    std::vector<int> windingNumbersAtCellCentres(std::int64_t firstColumn, std::int64_t firstRow,
                                                 std::int64_t columns, std::int64_t rows) const;

    // A copy in which every quadratic is the equal cubic.
    Path withCubicsOnly() const;

    friend bool operator==(const Path& a, const Path& b) { return a.elements_ == b.elements_; }

private:
    void append(ElementType type, std::initializer_list<Point> points);

    std::vector<Element> elements_;
    Point current_{};
    Point subpathStart_{};
    bool finite_ = true;
};

// The two control points of the cubic equal to the quadratic from `start`
// with `control` to `end`.
std::array<Point, 2> cubicControlsForQuad(Point start, Point control, Point end);

} // namespace gfx
