#pragma once

#include <cmath>

namespace gfx {

struct Point {
    double x = 0;
    double y = 0;

    friend bool operator==(const Point&, const Point&) = default;
    Point operator+(Point o) const { return {x + o.x, y + o.y}; }
    Point operator-(Point o) const { return {x - o.x, y - o.y}; }
    Point operator*(double f) const { return {x * f, y * f}; }
    bool isFinite() const { return std::isfinite(x) && std::isfinite(y); }
};

struct Size {
    double width = 0;
    double height = 0;

    friend bool operator==(const Size&, const Size&) = default;
    Size operator*(double f) const { return {width * f, height * f}; }
};

// A rectangle with an origin and a size. Sizes may be negative; the min/max
// accessors and the operations below work on the standardized rectangle, as
// the platform's rectangles do. The null rectangle (origin at +infinity, zero
// size) is what an inset that overshoots or a disjoint intersection gives.
struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(Point o, Size s) : origin(o), size(s) {}
    Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}

    static Rect null();
    bool isNull() const { return std::isinf(origin.x) && std::isinf(origin.y) && origin.x > 0 && origin.y > 0; }
    // True for the null rectangle and for any rectangle of zero width or height.
    bool isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

    double width() const { return std::fabs(size.width); }
    double height() const { return std::fabs(size.height); }
    double minX() const { return size.width < 0 ? origin.x + size.width : origin.x; }
    double minY() const { return size.height < 0 ? origin.y + size.height : origin.y; }
    double maxX() const { return size.width < 0 ? origin.x : origin.x + size.width; }
    double maxY() const { return size.height < 0 ? origin.y : origin.y + size.height; }
    double midX() const { return (minX() + maxX()) * 0.5; }
    double midY() const { return (minY() + maxY()) * 0.5; }

    Rect standardized() const;
    // Moves every edge inward by dx (left and right) and dy (bottom and top);
    // negative values grow the rectangle. A result with negative width or
    // height is the null rectangle.
    Rect insetBy(double dx, double dy) const;
    Rect offsetBy(double dx, double dy) const;
    // The smallest rectangle holding both; the null rectangle is ignored.
    Rect unionWith(const Rect& other) const;
    // The common part; the null rectangle when they do not meet.
    Rect intersection(const Rect& other) const;
    // Half-open containment (min edges inside, max edges outside).
    bool contains(Point p) const;

    friend bool operator==(const Rect& a, const Rect& b) { return a.origin == b.origin && a.size == b.size; }
};

// An affine transform in the platform's layout:
//   x' = a*x + c*y + tx
//   y' = b*x + d*y + ty
// Points are row vectors multiplied on the left: [x y 1] * M.
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static AffineTransform identity() { return {}; }
    static AffineTransform translation(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }
    static AffineTransform scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Counter-clockwise by `radians` in a y-up space.
    static AffineTransform rotation(double radians);

    // This transform applied first, `next` after it (the platform's
    // "concat(this, next)").
    AffineTransform then(const AffineTransform& next) const;

    // The platform's modifiers: each puts the new operation *before* this
    // transform, the way a drawing context's translate/scale/rotate act on
    // user space (translation(tx, ty).then(*this), and so on).
    AffineTransform translatedBy(double tx, double ty) const { return translation(tx, ty).then(*this); }
    AffineTransform scaledBy(double sx, double sy) const { return scale(sx, sy).then(*this); }
    AffineTransform rotatedBy(double radians) const { return rotation(radians).then(*this); }

    // The inverse; the transform itself unchanged when it cannot be inverted
    // (as the platform does).
    AffineTransform inverted() const;
    bool isInvertible() const;
    bool isIdentity() const { return *this == AffineTransform{}; }
    bool isFinite() const;

    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // Applies the linear part only (no translation).
    Size apply(Size s) const { return {a * s.width + c * s.height, b * s.width + d * s.height}; }
    // The bounding box of the transformed corners.
    Rect apply(const Rect& r) const;

    friend bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

} // namespace gfx
