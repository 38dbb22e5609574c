#include "platform/gfx/Path.h"
#include "platform/gfx/OutlineSink.h"

#include <algorithm>
#include <cmath>

namespace gfx {

namespace {

// Quarter-circle cubic approximation constant.
constexpr double kKappa = 0.5522847498307936;

struct Bounds {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool any = false;
    void add(Point p) {
        if (!any) {
            x0 = x1 = p.x;
            y0 = y1 = p.y;
            any = true;
            return;
        }
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    Rect rect() const { return any ? Rect(x0, y0, x1 - x0, y1 - y0) : Rect::null(); }
};

Point cubicAt(Point p0, Point p1, Point p2, Point p3, double t) {
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y};
}

// Parameters in (0, 1) where one coordinate of a cubic has a zero derivative.
void cubicExtremes(double p0, double p1, double p2, double p3, std::vector<double>& out) {
    // Derivative / 3: a t^2 + b t + c
    const double a = -p0 + 3 * p1 - 3 * p2 + p3;
    const double b = 2 * (p0 - 2 * p1 + p2);
    const double c = p1 - p0;
    auto push = [&](double t) {
        if (t > 0 && t < 1) out.push_back(t);
    };
    if (std::fabs(a) < 1e-12) {
        if (std::fabs(b) > 1e-12) push(-c / b);
        return;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0) return;
    const double s = std::sqrt(disc);
    push((-b + s) / (2 * a));
    push((-b - s) / (2 * a));
}

// Adds the winding contribution of the segment p -> q for a ray cast from
// `pt` toward +x.
void windSegment(Point p, Point q, Point pt, int& winding) {
    if (p.y == q.y) return;
    const bool up = q.y > p.y;
    const double ylo = up ? p.y : q.y, yhi = up ? q.y : p.y;
    if (pt.y < ylo || pt.y >= yhi) return;
    const double x = p.x + (pt.y - p.y) * (q.x - p.x) / (q.y - p.y);
    if (x > pt.x) winding += up ? 1 : -1;
}

// Splits curves into line segments fine enough for containment tests.
template <class F> void flatten(const std::vector<Path::Element>& elements, F&& segment) {
    Point cur{}, start{};
    bool open = false;
    auto closeIt = [&] {
        if (open && !(cur == start)) segment(cur, start);
        cur = start;
        open = false;
    };
    for (const auto& e : elements) {
        switch (e.type) {
        case Path::ElementType::moveToPoint:
            closeIt();
            cur = start = e.points[0];
            break;
        case Path::ElementType::addLineToPoint:
            open = true;
            segment(cur, e.points[0]);
            cur = e.points[0];
            break;
        case Path::ElementType::addQuadCurveToPoint:
        case Path::ElementType::addCurveToPoint: {
            open = true;
            Point c1, c2, end;
            if (e.type == Path::ElementType::addQuadCurveToPoint) {
                const auto cc = cubicControlsForQuad(cur, e.points[0], e.points[1]);
                c1 = cc[0];
                c2 = cc[1];
                end = e.points[1];
            } else {
                c1 = e.points[0];
                c2 = e.points[1];
                end = e.points[2];
            }
            // Enough steps that the chord error stays tiny for design-sized curves.
            // Held to its range before it becomes an integer: a control point
            // far out makes the length larger than any int.
            const double len = std::hypot(c1.x - cur.x, c1.y - cur.y) + std::hypot(c2.x - c1.x, c2.y - c1.y) +
                               std::hypot(end.x - c2.x, end.y - c2.y);
            const double wanted = std::sqrt(len) * 4;
            const int steps = wanted >= 4 ? int(std::min(wanted, 256.0)) : 4;
            Point prev = cur;
            for (int i = 1; i <= steps; ++i) {
                const Point p = i == steps ? end : cubicAt(cur, c1, c2, end, double(i) / steps);
                segment(prev, p);
                prev = p;
            }
            cur = end;
            break;
        }
        case Path::ElementType::closeSubpath: closeIt(); break;
        }
    }
    closeIt();
}

} // namespace

std::array<Point, 2> cubicControlsForQuad(Point start, Point control, Point end) {
    constexpr double k = 2.0 / 3.0;
    return {start + (control - start) * k, end + (control - end) * k};
}

void Path::append(ElementType type, std::initializer_list<Point> points) {
    // Built in place: outlines of whole codes are hundreds of thousands of
    // elements, and a copy of each costs a call to memcpy.
    Element& e = elements_.emplace_back();
    e.type = type;
    std::size_t i = 0;
    for (const Point& p : points) {
        e.points[i++] = p;
        finite_ = finite_ && p.isFinite();
    }
}

void Path::moveTo(Point p) {
    append(ElementType::moveToPoint, {p});
    current_ = subpathStart_ = p;
}

void Path::lineTo(Point p) {
    // As on the platform, drawing without a current subpath starts one at the
    // current point.
    if (elements_.empty()) moveTo(current_);
    append(ElementType::addLineToPoint, {p});
    current_ = p;
}

void Path::quadTo(Point control, Point end) {
    if (elements_.empty()) moveTo(current_);
    append(ElementType::addQuadCurveToPoint, {control, end});
    current_ = end;
}

void Path::curveTo(Point control1, Point control2, Point end) {
    if (elements_.empty()) moveTo(current_);
    append(ElementType::addCurveToPoint, {control1, control2, end});
    current_ = end;
}

void Path::closeSubpath() {
    if (elements_.empty() || elements_.back().type == ElementType::closeSubpath) return;
    append(ElementType::closeSubpath, {});
    current_ = subpathStart_;
}

void Path::addRect(const Rect& r) {
    if (r.isNull()) return;
    moveTo({r.minX(), r.minY()});
    lineTo({r.maxX(), r.minY()});
    lineTo({r.maxX(), r.maxY()});
    lineTo({r.minX(), r.maxY()});
    closeSubpath();
}

void Path::addRoundedRect(const Rect& r, double cw, double ch) {
    addRoundedRect(r, cw, ch, AffineTransform::identity());
}

namespace {

// The elements of a rounded rectangle (see Path::addRoundedRect), each point
// through `t`, handed to `out` (a Path or an OutlineSink).
template <class Out> void roundedRectElements(Out& out, const Rect& r, double cw, double ch, const AffineTransform& t) {
    if (r.isNull()) return;
    const bool identity = t.isIdentity();
    const auto map = [&](Point p) { return identity ? p : t.apply(p); };
    const double x0 = r.minX(), x1 = r.maxX(), y0 = r.minY(), y1 = r.maxY();
    if (!(cw > 0) || !(ch > 0)) {
        out.moveTo(map({x0, y0}));
        out.lineTo(map({x1, y0}));
        out.lineTo(map({x1, y1}));
        out.lineTo(map({x0, y1}));
        out.closeSubpath();
        return;
    }
    cw = std::min(cw, r.width() / 2);
    ch = std::min(ch, r.height() / 2);
    const double kx = cw * kKappa, ky = ch * kKappa;
    out.moveTo(map({x1, y0 + ch}));
    out.lineTo(map({x1, y1 - ch}));
    out.curveTo(map({x1, y1 - ch + ky}), map({x1 - cw + kx, y1}), map({x1 - cw, y1}));
    out.lineTo(map({x0 + cw, y1}));
    out.curveTo(map({x0 + cw - kx, y1}), map({x0, y1 - ch + ky}), map({x0, y1 - ch}));
    out.lineTo(map({x0, y0 + ch}));
    out.curveTo(map({x0, y0 + ch - ky}), map({x0 + cw - kx, y0}), map({x0 + cw, y0}));
    out.lineTo(map({x1 - cw, y0}));
    out.curveTo(map({x1 - cw + kx, y0}), map({x1, y0 + ch - ky}), map({x1, y0 + ch}));
    out.closeSubpath();
}

} // namespace

void Path::addRoundedRect(const Rect& r, double cw, double ch, const AffineTransform& t) {
    roundedRectElements(*this, r, cw, ch, t);
}

void OutlineSink::addRoundedRect(const Rect& r, double cw, double ch, const AffineTransform& t) {
    roundedRectElements(*this, r, cw, ch, t);
}

void OutlineSink::append(const Path& path, const AffineTransform& t) {
    for (const auto& e : path.elements()) {
        switch (e.type) {
        case Path::ElementType::moveToPoint: moveTo(t.apply(e.points[0])); break;
        case Path::ElementType::addLineToPoint: lineTo(t.apply(e.points[0])); break;
        case Path::ElementType::addQuadCurveToPoint: quadTo(t.apply(e.points[0]), t.apply(e.points[1])); break;
        case Path::ElementType::addCurveToPoint:
            curveTo(t.apply(e.points[0]), t.apply(e.points[1]), t.apply(e.points[2]));
            break;
        case Path::ElementType::closeSubpath: closeSubpath(); break;
        }
    }
}

void Path::addEllipse(const Rect& r) {
    if (r.isNull()) return;
    const double cx = r.midX(), cy = r.midY(), rx = r.width() / 2, ry = r.height() / 2;
    const double kx = rx * kKappa, ky = ry * kKappa;
    moveTo({cx + rx, cy});
    curveTo({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
    curveTo({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
    curveTo({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
    curveTo({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
    closeSubpath();
}

void Path::addPath(const Path& other) {
    if (other.isEmpty()) return;
    elements_.insert(elements_.end(), other.elements_.begin(), other.elements_.end());
    finite_ = finite_ && other.finite_;
    current_ = other.current_;
    subpathStart_ = other.subpathStart_;
}

namespace {

// The element's points through t; whether they are all finite.
bool transformElement(Path::Element& e, const AffineTransform& t) {
    bool finite = true;
    for (int i = 0; i < Path::pointCount(e.type); ++i) {
        e.points[i] = t.apply(e.points[i]);
        finite = finite && e.points[i].isFinite();
    }
    return finite;
}

} // namespace

void Path::addPath(const Path& other, const AffineTransform& t) {
    if (t.isIdentity()) {
        addPath(other);
        return;
    }
    if (other.isEmpty()) return;
    // Each element goes through t as it is appended (one copy, not two).
    elements_.reserve(elements_.size() + other.elements_.size());
    for (Element e : other.elements_) {
        finite_ = transformElement(e, t) && finite_;
        elements_.push_back(e);
    }
    current_ = t.apply(other.current_);
    subpathStart_ = t.apply(other.subpathStart_);
}

Path Path::transformed(const AffineTransform& t) const& {
    Path out = *this;
    return std::move(out).transformed(t);
}

Path Path::transformed(const AffineTransform& t) && {
    finite_ = true;
    for (auto& e : elements_) finite_ = transformElement(e, t) && finite_;
    current_ = t.apply(current_);
    subpathStart_ = t.apply(subpathStart_);
    return std::move(*this);
}

Rect Path::boundingBox() const {
    Bounds b;
    for (const auto& e : elements_) {
        for (int i = 0; i < pointCount(e.type); ++i) b.add(e.points[i]);
    }
    return b.rect();
}

Rect Path::pathBoundingBox() const {
    Bounds b;
    Point cur{};
    std::vector<double> ts;
    for (const auto& e : elements_) {
        switch (e.type) {
        case ElementType::moveToPoint:
        case ElementType::addLineToPoint:
            b.add(e.points[0]);
            cur = e.points[0];
            break;
        case ElementType::addQuadCurveToPoint:
        case ElementType::addCurveToPoint: {
            Point c1, c2, end;
            if (e.type == ElementType::addQuadCurveToPoint) {
                const auto cc = cubicControlsForQuad(cur, e.points[0], e.points[1]);
                c1 = cc[0];
                c2 = cc[1];
                end = e.points[1];
            } else {
                c1 = e.points[0];
                c2 = e.points[1];
                end = e.points[2];
            }
            b.add(cur);
            b.add(end);
            ts.clear();
            cubicExtremes(cur.x, c1.x, c2.x, end.x, ts);
            cubicExtremes(cur.y, c1.y, c2.y, end.y, ts);
            for (double t : ts) b.add(cubicAt(cur, c1, c2, end, t));
            cur = end;
            break;
        }
        case ElementType::closeSubpath: break;
        }
    }
    return b.rect();
}

bool Path::contains(Point p, FillRule rule) const {
    if (!finite_ || !p.isFinite() || elements_.empty()) return false;
    int winding = 0;
    flatten(elements_, [&](Point a, Point b) { windSegment(a, b, p, winding); });
    return rule == FillRule::evenOdd ? (winding % 2) != 0 : winding != 0;
}

std::vector<int> Path::windingNumbersAtCellCentres(std::int64_t firstColumn, std::int64_t firstRow,
                                                   std::int64_t columns, std::int64_t rows) const {
    if (columns <= 0 || rows <= 0) return {};
    // Per row, a difference list over the columns: a crossing at x adds its
    // direction to every cell whose centre lies left of x, so it adds at the
    // row's start and takes away again after the last such cell.
    const std::size_t stride = std::size_t(columns) + 1;
    std::vector<int> diff(stride * std::size_t(rows), 0);
    if (finite_ && !elements_.empty()) {
        const auto centre = [](std::int64_t i) { return double(i) + 0.5; };
        // The first index in [lo, hi] whose centre satisfies `after`, or
        // hi + 1; `after` holds from some index on. Starts from `guess` and
        // steps to the exact answer, so rounding in the guess never decides.
        const auto firstWhere = [](double guess, std::int64_t lo, std::int64_t hi, auto after) {
            std::int64_t i = std::isnan(guess) ? lo : std::int64_t(std::clamp(guess, double(lo), double(hi + 1)));
            while (i > lo && after(i - 1)) --i;
            while (i <= hi && !after(i)) ++i;
            return i;
        };
        const std::int64_t lastRow = firstRow + rows - 1, lastColumn = firstColumn + columns - 1;
        flatten(elements_, [&](Point a, Point b) {
            // The rows whose centre line the segment crosses, as windSegment
            // counts them: ylo <= y < yhi.
            if (a.y == b.y) return;
            const bool up = b.y > a.y;
            const double ylo = up ? a.y : b.y, yhi = up ? b.y : a.y;
            const std::int64_t r0 = firstWhere(std::ceil(ylo - 0.5), firstRow, lastRow,
                                               [&](std::int64_t r) { return !(centre(r) < ylo); });
            const std::int64_t r1 = firstWhere(std::ceil(yhi - 0.5), firstRow, lastRow,
                                               [&](std::int64_t r) { return centre(r) >= yhi; });
            for (std::int64_t r = r0; r < r1; ++r) {
                const double y = centre(r);
                const double x = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
                if (std::isnan(x)) continue;
                // The cells with x > centre are those before the first
                // centre at or right of x.
                const std::int64_t end = firstWhere(std::ceil(x - 0.5), firstColumn, lastColumn,
                                                    [&](std::int64_t c) { return !(x > centre(c)); });
                if (end == firstColumn) continue;
                int* row = diff.data() + std::size_t(r - firstRow) * stride;
                row[0] += up ? 1 : -1;
                row[end - firstColumn] -= up ? 1 : -1;
            }
        });
    }
    std::vector<int> winding(std::size_t(columns) * std::size_t(rows));
    for (std::int64_t r = 0; r < rows; ++r) {
        int sum = 0;
        for (std::int64_t c = 0; c < columns; ++c) {
            sum += diff[std::size_t(r) * stride + std::size_t(c)];
            winding[std::size_t(r) * std::size_t(columns) + std::size_t(c)] = sum;
        }
    }
    return winding;
}

Path Path::withCubicsOnly() const {
    Path out;
    out.elements_.reserve(elements_.size());
    out.finite_ = finite_;
    Point cur{}, start{};
    for (const auto& e : elements_) {
        Element n = e;
        switch (e.type) {
        case ElementType::moveToPoint: cur = start = e.points[0]; break;
        case ElementType::addLineToPoint: cur = e.points[0]; break;
        case ElementType::addQuadCurveToPoint: {
            const auto cc = cubicControlsForQuad(cur, e.points[0], e.points[1]);
            n.type = ElementType::addCurveToPoint;
            n.points = {cc[0], cc[1], e.points[1]};
            cur = e.points[1];
            break;
        }
        case ElementType::addCurveToPoint: cur = e.points[2]; break;
        case ElementType::closeSubpath: cur = start; break;
        }
        out.elements_.push_back(n);
    }
    out.current_ = current_;
    out.subpathStart_ = subpathStart_;
    return out;
}

} // namespace gfx
