#include "platform/gfx/GraphicsContext.h"

#include "platform/gfx/Blur.h"
#include "platform/gfx/Composite.h"
#include "platform/gfx/Coverage.h"
#include "platform/gfx/Crew.h"

#include <cairo-pdf.h>
#include <cairo.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <stdexcept>

namespace gfx {

namespace {

// Resolution of a PDF's shadow raster, in samples per point. A sharp shadow
// gets two (a viewer shows the page larger than its points); a blurred one
// is held by one and a half samples per standard deviation, drawn with
// smoothing. Fewer samples keep the image, and the time spent blurring and
// compressing it, small: for the default shadow (sigma 2) a seventh of the
// samples of two per point, and a file of 350 KB instead of 1.6 MB for a
// 1024-point code. A viewer that does not smooth images shows the shadow's
// edge up to about 30 levels off in places, against 20 at one sample per
// point (which makes a 500 KB file).
constexpr double kPdfShadowScaleMax = 2.0;
constexpr double kPdfShadowScaleMin = 0.25;
constexpr double kPdfShadowSamplesPerSigma = 1.5;

double pdfShadowScale(double sigma) {
    if (!(sigma > 0)) return kPdfShadowScaleMax;
    return std::clamp(kPdfShadowSamplesPerSigma / sigma, kPdfShadowScaleMin, kPdfShadowScaleMax);
}
// Fills of fewer path elements go to Cairo as they are, and so do bitmaps
// larger than this (the coverage raster holds a float per pixel).
constexpr std::size_t kCoverageMinElements = 2048;
// Below this many elements Cairo fills an outline along the axes about as
// fast as the rectilinear raster.
constexpr std::size_t kRectilinearMinElements = 256;
constexpr double kCoverageMaxPixels = 4.0 * 1024 * 1024;
// Beyond Cairo's own coordinate range the coverage rasters' arithmetic would
// lose its precision (or overflow); Cairo handles such paths.
constexpr double kCoverageMaxCoordinate = 1e7;
// A clip outline too crossed for Cairo's fill is scanned here on as many
// lines a pixel row (one at the fewest) as keep this many crossings (about a
// second); one that crosses more even on one line a row is refused. Summed
// areas are no shortcut here: where many turns of one outline pass through a
// pixel they count it many times over.
constexpr std::size_t kMaxCoarseWindingCrossings = std::size_t(1) << 26;
// A clip outline flattens to at most this many points at the size it is
// drawn (32 MB, and 80 MB of edges for the coarse scan); past it the
// outline is refused rather than handed to Cairo, whose flattening of
// far-reaching curves has no bound.
constexpr std::size_t kOutlineMaxPoints = std::size_t(1) << 21;
// Cairo fills a flattened outline of up to this many points (its own edges
// take some hundred bytes each) and clips to one of fewer elements that
// flattens to up to this many.
constexpr std::size_t kCairoFillMaxPoints = std::size_t(1) << 19;
constexpr std::size_t kCairoClipMaxPoints = std::size_t(1) << 14;
// Cairo sorts its active edges on each of its fifteen lines a row: past this
// many crossings (a few tenths of a second there) the scan here, which
// merges new edges in, takes over.
constexpr std::size_t kCairoFillMaxCrossings = std::size_t(1) << 22;
// Largest blur margin (device units) kept around a shadow; beyond this the
// Gaussian's tail is cut, which keeps a huge blur from a huge allocation.
constexpr double kMaxShadowMargin = 1024.0;

// How far (device units) a shadow of this blur reaches beyond its shape: the
// Gaussian's tail is cut at three sigma (sigma is blur / 2).
double shadowReach(double blur) { return std::min(std::ceil(3 * (blur / 2)), kMaxShadowMargin); }

// A raster that a PDF receives (a shadow's, a picture's) gets coarser rather
// than larger than this many samples (4 MB of coverage), or this many
// samples a side: a page at a tiny resolution is huge in points but needs no
// finer shadow than a normal one.
constexpr double kMaxPdfRasterSamples = double(1 << 22);
constexpr double kMaxPdfRasterSide = 16384.0;
// Blurs and shadow offsets are clamped to these (device units): a blur's
// tail is cut at kMaxShadowMargin anyway, and an offset beyond the largest
// page only moves the shadow out of sight.
constexpr double kMaxShadowBlur = 4096.0;
// A bitmap's shadow of this many mask pixels or more (a 512-pixel square; a
// 1024-pixel code's is over a million) is drawn in bands of this many rows
// by a crew of threads, when its blur reaches no further than a quarter of
// a band (each band's coverage and blur take that much more on either side).
constexpr double kBandedShadowMinPixels = 512.0 * 512.0;
constexpr int kShadowBandRows = 64;
constexpr double kMaxShadowOffset = 1e7;
// Device coordinates beyond this reach past what Cairo holds exactly (24.8
// fixed point, +-2^23; its bitmaps' transforms are 16.16), and a PDF's
// numbers past what its readers take: images and gradients placed farther
// out are drawn as the part of them that shows.
constexpr double kMaxDrawnCoordinate = double(1 << 22);
// A far image is sampled in bands of at most this many samples.
constexpr double kFarImageBandSamples = double(1 << 22);

bool withinDrawnRange(Point p) {
    return std::fabs(p.x) <= kMaxDrawnCoordinate && std::fabs(p.y) <= kMaxDrawnCoordinate;
}

cairo_operator_t cairoOperator(BlendMode m) {
    switch (m) {
    case BlendMode::normal: return CAIRO_OPERATOR_OVER;
    case BlendMode::copy: return CAIRO_OPERATOR_SOURCE;
    case BlendMode::clear: return CAIRO_OPERATOR_CLEAR;
    case BlendMode::sourceIn: return CAIRO_OPERATOR_IN;
    case BlendMode::sourceOut: return CAIRO_OPERATOR_OUT;
    case BlendMode::sourceAtop: return CAIRO_OPERATOR_ATOP;
    case BlendMode::destinationOver: return CAIRO_OPERATOR_DEST_OVER;
    case BlendMode::destinationOut: return CAIRO_OPERATOR_DEST_OUT;
    case BlendMode::multiply: return CAIRO_OPERATOR_MULTIPLY;
    }
    return CAIRO_OPERATOR_OVER;
}

cairo_filter_t cairoFilter(InterpolationQuality q) {
    switch (q) {
    case InterpolationQuality::none: return CAIRO_FILTER_NEAREST;
    case InterpolationQuality::low: return CAIRO_FILTER_BILINEAR;
    default: return CAIRO_FILTER_GOOD;
    }
}

void toCairo(const AffineTransform& t, cairo_matrix_t& m) { cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty); }

double unit(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); }

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        return CAIRO_STATUS_NO_MEMORY;
    }
    return CAIRO_STATUS_SUCCESS;
}

// A Cairo surface reading the image's pixels in place; the surface keeps the
// image alive for as long as Cairo holds it (a PDF surface keeps its sources
// until the document is finished).
cairo_surface_t* surfaceForImage(const ImagePtr& image) {
    static const cairo_user_data_key_t key{};
    auto* data = const_cast<unsigned char*>(image->data());
    cairo_surface_t* s = cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, image->width(), image->height(),
                                                             image->stride());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return s;
    auto holder = std::make_unique<ImagePtr>(image);
    if (cairo_surface_set_user_data(s, &key, holder.get(), [](void* p) {
            std::unique_ptr<ImagePtr>(static_cast<ImagePtr*>(p));
        }) == CAIRO_STATUS_SUCCESS) {
        holder.release();
    }
    return s;
}

struct CairoDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
    void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
template <class T> using CairoPtr = std::unique_ptr<T, CairoDeleter>;

// A render allocates a few large blocks (the bitmap, shadow masks, Cairo's
// edge lists and spans) and frees them at the end. With its default,
// self-adjusting thresholds the C library maps blocks above 128 KB freshly
// from the system and hands freed memory at the top of the heap back, so
// every render of a 1024-pixel code faulted in about 30 MB of new pages
// again (a seventh of its time for round modules). Fixed thresholds keep up
// to 128 MB of freed memory in the process for the next render; blocks
// above 32 MB (bitmaps beyond about 2800 pixels a side) are still mapped on
// their own and returned when freed. Set once, at the first context.
void keepRenderMemory() {
#ifdef __GLIBC__
    static const bool once = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
        return true;
    }();
    (void)once;
#endif
}

// Device bounds of the groups of subpaths whose shadows can meet: two groups
// more than two blur margins apart cast shadows that never touch, so each
// can be rasterised, blurred and composited on its own, which gives the same
// pixels as one raster over both. An eye's three squares sit in three
// corners of the code: three small rasters instead of one the size of the
// code. Paths of many subpaths (the modules) are one group.
std::vector<Rect> shadowClusters(const Path& path, const AffineTransform& toDevice, double margin) {
    constexpr std::size_t kMaxSubpaths = 64;
    const auto& elements = path.elements();
    if (elements.empty() || elements.front().type != Path::ElementType::moveToPoint) {
        return {toDevice.apply(path.boundingBox())};
    }
    std::vector<Rect> boxes;
    bool open = false;
    for (const auto& e : elements) {
        const int n = Path::pointCount(e.type);
        if (e.type == Path::ElementType::moveToPoint || !open) {
            if (boxes.size() == kMaxSubpaths) return {toDevice.apply(path.boundingBox())};
            boxes.push_back(Rect::null());
            open = true;
        }
        for (int i = 0; i < n; ++i) {
            const Point p = toDevice.apply(e.points[std::size_t(i)]);
            boxes.back() = boxes.back().unionWith(Rect(p.x, p.y, 0, 0));
        }
    }
    std::erase_if(boxes, [](const Rect& r) { return r.isNull(); });
    // Merge groups until no two of them come within reach of each other.
    auto near = [margin](const Rect& a, const Rect& b) {
        return a.minX() - margin <= b.maxX() + margin && b.minX() - margin <= a.maxX() + margin &&
               a.minY() - margin <= b.maxY() + margin && b.minY() - margin <= a.maxY() + margin;
    };
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < boxes.size() && !merged; ++i) {
            for (std::size_t j = i + 1; j < boxes.size(); ++j) {
                if (!near(boxes[i], boxes[j])) continue;
                boxes[i] = boxes[i].unionWith(boxes[j]);
                boxes.erase(boxes.begin() + std::ptrdiff_t(j));
                merged = true;
                break;
            }
        }
    }
    return boxes;
}

// Whether a segment of `path` is curved.
bool hasCurves(const Path& path) {
    return std::any_of(path.elements().begin(), path.elements().end(), [](const Path::Element& e) {
        return e.type == Path::ElementType::addQuadCurveToPoint || e.type == Path::ElementType::addCurveToPoint;
    });
}

// A shadow's mask drawn by coverage where that gives Cairo's own pixels (an
// opaque fill of a path along the axes, such as merged square modules), at
// several times Cairo's speed: the whole A8 surface behind `mc` gets the
// path's coverage under `toMask`. False (nothing drawn) when the path does
// not qualify.
bool maskByCoverage(cairo_t* mc, const Path& path, const AffineTransform& toMask) {
    cairo_surface_t* s = cairo_get_target(mc);
    if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_A8) return false;
    cairo_surface_flush(s);
    try {
        if (!detail::rectilinearCoverage(path, toMask, cairo_image_surface_get_data(s),
                                         cairo_image_surface_get_width(s), cairo_image_surface_get_height(s),
                                         cairo_image_surface_get_stride(s))) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    cairo_surface_mark_dirty(s);
    return true;
}

// Copies a w x h plane into the plane `to` (toWidth x toHeight) with its
// first pixel at (x, y) there, as far as they overlap.
void copyPlane(const std::uint8_t* from, int fromStride, int w, int h, std::uint8_t* to, int toStride, int toWidth,
               int toHeight, int x, int y) {
    const int left = std::max(0, x), right = std::min(toWidth, x + w);
    if (left >= right) return;
    for (int row = std::max(0, y), end = std::min(toHeight, y + h); row < end; ++row) {
        std::memcpy(to + std::ptrdiff_t(row) * toStride + left,
                    from + std::ptrdiff_t(row - y) * fromStride + (left - x), std::size_t(right - left));
    }
}

} // namespace

namespace {

// Keeps the first and the last stop of every run that `sameRun` groups:
// between them the ramp goes straight from one to the other, so the stops
// inside a run at one location never show, and the ones inside a bucket are
// what the cap gives up.
template <class SameRun> void keepFirstAndLastOfRuns(std::vector<GradientStop>& stops, SameRun sameRun) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < stops.size();) {
        std::size_t end = i + 1;
        while (end < stops.size() && sameRun(stops[i], stops[end])) ++end;
        stops[kept++] = stops[i];
        if (end - i > 1) stops[kept++] = stops[end - 1];
        i = end;
    }
    stops.resize(kept);
}

} // namespace

Gradient::Gradient(std::vector<GradientStop> stops) : stops_(std::move(stops)) {
    for (auto& s : stops_) s.location = unit(s.location);
    // Cairo orders stops stably by location; so do we, once, so that what
    // is handed to it needs no reordering.
    auto byLocation = [](const GradientStop& a, const GradientStop& b) { return a.location < b.location; };
    if (!std::is_sorted(stops_.begin(), stops_.end(), byLocation))
        std::stable_sort(stops_.begin(), stops_.end(), byLocation);
    keepFirstAndLastOfRuns(stops_,
                           [](const GradientStop& a, const GradientStop& b) { return a.location == b.location; });
    if (stops_.size() > kMostStops) {
        constexpr double spans = kMostStops / 2;
        auto span = [&](const GradientStop& s) { return std::min(std::floor(s.location * spans), spans - 1); };
        keepFirstAndLastOfRuns(stops_,
                               [&](const GradientStop& a, const GradientStop& b) { return span(a) == span(b); });
    }
    stops_.shrink_to_fit();
}

std::unique_ptr<GraphicsContext> GraphicsContext::makeBitmap(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    keepRenderMemory();
    std::unique_ptr<GraphicsContext> ctx(new GraphicsContext());
    try {
        ctx->bitmap_ = Image(width, height);
    } catch (const std::exception&) {
        return nullptr;
    }
    if (cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width) != ctx->bitmap_.stride()) return nullptr;
    ctx->surface_ = cairo_image_surface_create_for_data(ctx->bitmap_.data(), CAIRO_FORMAT_ARGB32, width, height,
                                                        ctx->bitmap_.stride());
    if (cairo_surface_status(ctx->surface_) != CAIRO_STATUS_SUCCESS) return nullptr;
    ctx->cr_ = cairo_create(ctx->surface_);
    if (cairo_status(ctx->cr_) != CAIRO_STATUS_SUCCESS) return nullptr;
    ctx->deviceSize_ = {double(width), double(height)};
    ctx->base_ = AffineTransform{1, 0, 0, -1, 0, double(height)};
    return ctx;
}

double GraphicsContext::pdfRasterScale(double width, double height, double finest) {
    const double side = std::max(width, height), area = width * height;
    if (!(area > 0) || !std::isfinite(area)) return finest;
    return std::min({finest, std::sqrt(kMaxPdfRasterSamples / area), kMaxPdfRasterSide / side});
}

std::unique_ptr<GraphicsContext> GraphicsContext::makePDF(Size size) {
    if (!(size.width > 0) || !(size.height > 0) || !std::isfinite(size.width) || !std::isfinite(size.height)) {
        return nullptr;
    }
    keepRenderMemory();
    std::unique_ptr<GraphicsContext> ctx(new GraphicsContext());
    ctx->pdf_ = true;
    ctx->surface_ = cairo_pdf_surface_create_for_stream(appendBytes, &ctx->pdfBytes_, size.width, size.height);
    if (cairo_surface_status(ctx->surface_) != CAIRO_STATUS_SUCCESS) return nullptr;
    // An empty creation date leaves the date out, so equal drawings give
    // equal bytes.
    cairo_pdf_surface_set_metadata(ctx->surface_, CAIRO_PDF_METADATA_CREATE_DATE, "");
    ctx->cr_ = cairo_create(ctx->surface_);
    if (cairo_status(ctx->cr_) != CAIRO_STATUS_SUCCESS) return nullptr;
    ctx->deviceSize_ = size;
    ctx->base_ = AffineTransform{1, 0, 0, -1, 0, size.height};
    return ctx;
}

GraphicsContext::~GraphicsContext() {
    if (cr_) cairo_destroy(cr_);
    if (surface_) {
        // Finishing here (not only in finishPDF) makes sure Cairo stops
        // writing into pdfBytes_ before it goes away.
        cairo_surface_finish(surface_);
        cairo_surface_destroy(surface_);
    }
}

bool GraphicsContext::usable() const { return cr_ && !finished_ && cairo_status(cr_) == CAIRO_STATUS_SUCCESS; }

ImagePtr GraphicsContext::makeImage() {
    if (pdf_ || !cr_) return nullptr;
    cairo_surface_flush(surface_);
    auto img = std::make_shared<Image>(bitmap_);
    cairo_surface_mark_dirty(surface_);
    return img;
}

ImagePtr GraphicsContext::takeImage() {
    if (pdf_ || !cr_) return nullptr;
    cairo_destroy(cr_);
    cr_ = nullptr;
    cairo_surface_finish(surface_);
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    finished_ = true;
    return std::make_shared<const Image>(std::move(bitmap_));
}

std::optional<std::vector<std::uint8_t>> GraphicsContext::finishPDF() {
    if (!pdf_ || finished_ || !cr_) return std::nullopt;
    const bool ok = cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
    finished_ = true;
    cairo_destroy(cr_);
    cr_ = nullptr;
    cairo_surface_finish(surface_);
    if (!ok || cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    return std::move(pdfBytes_);
}

// MARK: state

void GraphicsContext::saveGState() {
    if (!cr_) return;
    stack_.push_back(state_);
    cairo_save(cr_);
}

void GraphicsContext::restoreGState() {
    if (!cr_ || stack_.empty()) return;
    if (!layers_.empty() && stack_.size() <= layers_.back().depth) return;
    state_ = stack_.back();
    stack_.pop_back();
    cairo_restore(cr_);
}

void GraphicsContext::translateBy(double tx, double ty) { state_.ctm = state_.ctm.translatedBy(tx, ty); }
void GraphicsContext::scaleBy(double sx, double sy) { state_.ctm = state_.ctm.scaledBy(sx, sy); }
void GraphicsContext::rotateBy(double radians) { state_.ctm = state_.ctm.rotatedBy(radians); }
void GraphicsContext::concatCTM(const AffineTransform& t) { state_.ctm = t.then(state_.ctm); }
void GraphicsContext::setAlpha(double alpha) { state_.alpha = unit(alpha); }

void GraphicsContext::setShadow(Size offset, double blur, const Color& color) {
    if (!std::isfinite(offset.width) || !std::isfinite(offset.height)) offset = {};
    offset.width = std::clamp(offset.width, -kMaxShadowOffset, kMaxShadowOffset);
    offset.height = std::clamp(offset.height, -kMaxShadowOffset, kMaxShadowOffset);
    state_.shadow = ShadowState{offset, std::isfinite(blur) ? std::clamp(blur, 0.0, kMaxShadowBlur) : 0.0, color, true};
}

void GraphicsContext::setShadow(Size offset, double blur) { setShadow(offset, blur, Color::gray(0, 1.0 / 3.0)); }

bool GraphicsContext::applyMatrix(cairo_t* cr) const {
    const AffineTransform m = state_.ctm.then(base_);
    if (!m.isInvertible()) return false;
    cairo_matrix_t cm;
    toCairo(m, cm);
    cairo_set_matrix(cr, &cm);
    return true;
}

void GraphicsContext::applyDrawingState() const {
    cairo_set_operator(cr_, cairoOperator(state_.blend));
    cairo_set_antialias(cr_, state_.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void GraphicsContext::setSource(const Color& c) const {
    const RGBA s = c.toSRGB();
    cairo_set_source_rgba(cr_, unit(s.r), unit(s.g), unit(s.b), unit(s.a) * state_.alpha);
}

void GraphicsContext::appendPath(cairo_t* cr, const Path& path) const {
    cairo_new_path(cr);
    Point cur{};
    for (const auto& e : path.elements()) {
        switch (e.type) {
        case Path::ElementType::moveToPoint:
            cairo_move_to(cr, e.points[0].x, e.points[0].y);
            cur = e.points[0];
            break;
        case Path::ElementType::addLineToPoint:
            cairo_line_to(cr, e.points[0].x, e.points[0].y);
            cur = e.points[0];
            break;
        case Path::ElementType::addQuadCurveToPoint: {
            const auto c = cubicControlsForQuad(cur, e.points[0], e.points[1]);
            cairo_curve_to(cr, c[0].x, c[0].y, c[1].x, c[1].y, e.points[1].x, e.points[1].y);
            cur = e.points[1];
            break;
        }
        case Path::ElementType::addCurveToPoint:
            cairo_curve_to(cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x,
                           e.points[2].y);
            cur = e.points[2];
            break;
        case Path::ElementType::closeSubpath: {
            cairo_close_path(cr);
            double x = 0, y = 0;
            if (cairo_has_current_point(cr)) cairo_get_current_point(cr, &x, &y);
            cur = {x, y};
            break;
        }
        }
    }
}

bool GraphicsContext::deviceClipExtents(double& x0, double& y0, double& x1, double& y1) const {
    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    cairo_clip_extents(cr_, &x0, &y0, &x1, &y1);
    cairo_restore(cr_);
    x0 = std::max(x0, 0.0);
    y0 = std::max(y0, 0.0);
    x1 = std::min(x1, deviceSize_.width);
    y1 = std::min(y1, deviceSize_.height);
    return x1 > x0 && y1 > y0;
}

std::optional<GraphicsContext::PixelArea> GraphicsContext::coverageArea(double x0, double y0, double x1, double y1,
                                                                        double grow) const {
    double cx0, cy0, cx1, cy1;
    if (!deviceClipExtents(cx0, cy0, cx1, cy1)) return PixelArea{};
    cx0 -= grow, cy0 -= grow, cx1 += grow, cy1 += grow;
    const double ax0 = std::floor(std::max(x0, cx0)), ay0 = std::floor(std::max(y0, cy0));
    const double ax1 = std::ceil(std::min(x1, cx1)), ay1 = std::ceil(std::min(y1, cy1));
    if (!(ax1 > ax0 && ay1 > ay0)) return PixelArea{};
    if (!((ax1 - ax0) * (ay1 - ay0) <= kCoverageMaxPixels)) return std::nullopt;
    return PixelArea{int(ax0), int(ay0), int(ax1 - ax0), int(ay1 - ay0)};
}

Rect GraphicsContext::clipBoundingBox() const {
    double x0, y0, x1, y1;
    if (!cr_ || !deviceClipExtents(x0, y0, x1, y1)) return Rect::null();
    const AffineTransform m = state_.ctm.then(base_);
    if (!m.isInvertible()) return Rect::null();
    return m.inverted().apply(Rect(x0, y0, x1 - x0, y1 - y0));
}

// MARK: shadows

template <class F>
bool GraphicsContext::paintShadow(const ShadowState& shadow, double alpha, double bx0, double by0, double bx1,
                                  double by1, F&& drawCoverage, FillInBands* withFill) {
    const RGBA sc = shadow.color.toSRGB();
    if (!(unit(sc.a) * alpha > 0)) return true;
    double cx0, cy0, cx1, cy1;
    if (!deviceClipExtents(cx0, cy0, cx1, cy1)) return true;

    // Device space of Cairo has y downward; the shadow's offset is y up.
    const double ox = shadow.offset.width, oy = -shadow.offset.height;
    const double sigma = shadow.blur / 2;
    // The reach is cut at the clip's own extent too: a blur wider than what
    // is drawn would otherwise make a small bitmap cost as much as the
    // largest one.
    const double margin = std::min(shadowReach(shadow.blur), std::ceil(std::max(cx1 - cx0, cy1 - cy0)));
    double scale = pdf_ ? pdfShadowScale(sigma) : 1.0;

    // Where shadow pixels can land: the clip, within reach of the shifted shape.
    const double tx0 = std::max(cx0, bx0 + ox - margin), ty0 = std::max(cy0, by0 + oy - margin);
    const double tx1 = std::min(cx1, bx1 + ox + margin), ty1 = std::min(cy1, by1 + oy + margin);
    if (!(tx1 > tx0 && ty1 > ty0)) return true;
    // The part of the unshifted shape that can reach there.
    const double sx0 = std::floor(tx0 - ox - margin), sy0 = std::floor(ty0 - oy - margin);
    const double sx1 = std::ceil(tx1 - ox + margin), sy1 = std::ceil(ty1 - oy + margin);
    if (pdf_) scale = pdfRasterScale(sx1 - sx0, sy1 - sy0, scale);
    // The raster spans the clip plus two margins; anything else means the
    // numbers lost their precision (an offset far beyond the page).
    const double dw = std::ceil((sx1 - sx0) * scale), dh = std::ceil((sy1 - sy0) * scale);
    const double limit = (std::max(cx1 - cx0, cy1 - cy0) + 4 * margin + 4) * scale;
    if (!(dw > 0 && dw <= limit && dh > 0 && dh <= limit)) return true;
    // On a bitmap the mask is composited at a whole-pixel offset, which
    // Cairo copies without resampling; the offset's fraction is drawn into
    // the mask instead (one more row and column hold it).
    const bool aligned = !pdf_;
    const double fx = aligned ? ox - std::floor(ox) : 0.0, fy = aligned ? oy - std::floor(oy) : 0.0;
    const int w = int(dw) + (aligned ? 1 : 0), h = int(dh) + (aligned ? 1 : 0);

    const AffineTransform deviceToMask =
        AffineTransform::translation(-sx0 + fx, -sy0 + fy).then(AffineTransform::scale(scale, scale));
    const AffineTransform userToMask = state_.ctm.then(base_).then(deviceToMask);
    const std::uint32_t colour = detail::solidPixel(unit(sc.r), unit(sc.g), unit(sc.b), unit(sc.a) * alpha);
    if (withFill != nullptr && aligned && double(w) * double(h) >= kBandedShadowMinPixels &&
        shadowAndFillInBands(*withFill, userToMask, w, h, sigma * scale, int(sx0 + std::floor(ox)),
                             int(sy0 + std::floor(oy)), int(std::floor(tx0)), int(std::floor(ty0)), int(std::ceil(tx1)),
                             int(std::ceil(ty1)), colour)) {
        return true;
    }

    CairoPtr<cairo_surface_t> mask(cairo_image_surface_create(CAIRO_FORMAT_A8, w, h));
    if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS) return true;
    {
        CairoPtr<cairo_t> mc(cairo_create(mask.get()));
        if (userToMask.isInvertible()) {
            cairo_matrix_t m;
            toCairo(userToMask, m);
            cairo_set_matrix(mc.get(), &m);
        }
        cairo_set_antialias(mc.get(), state_.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
        // A mask drawn by a caller's own raster may be refused (nothing
        // is drawn then); Cairo's is not.
        if (!drawCoverage(mc.get(), deviceToMask)) return false;
    }
    cairo_surface_flush(mask.get());
    detail::blurAlpha(cairo_image_surface_get_data(mask.get()), w, h, cairo_image_surface_get_stride(mask.get()),
                      sigma * scale);
    cairo_surface_mark_dirty(mask.get());

    if (aligned) {
        const double dx = sx0 + std::floor(ox), dy = sy0 + std::floor(oy);
        if (compositeShadowMask(cairo_image_surface_get_data(mask.get()), w, h,
                                cairo_image_surface_get_stride(mask.get()), int(dx), int(dy), int(std::floor(tx0)),
                                int(std::floor(ty0)), int(std::ceil(tx1)), int(std::ceil(ty1)), colour)) {
            return true;
        }
    }

    CairoPtr<cairo_pattern_t> pattern(cairo_pattern_create_for_surface(mask.get()));
    cairo_matrix_t pm;
    cairo_matrix_init_scale(&pm, scale, scale);
    cairo_matrix_translate(&pm, -(sx0 + ox - fx), -(sy0 + oy - fy));
    cairo_pattern_set_matrix(pattern.get(), &pm);
    cairo_pattern_set_filter(pattern.get(), aligned ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_BILINEAR);

    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    cairo_set_operator(cr_, cairoOperator(state_.blend));
    if (aligned) {
        // Whole pixels: the mask already holds the coverage of the pixels
        // the rectangle cuts (and reaches past them), so a cut would apply
        // that coverage twice and draw a sharp shadow's edge too light.
        cairo_rectangle(cr_, std::floor(tx0), std::floor(ty0), std::ceil(tx1) - std::floor(tx0),
                        std::ceil(ty1) - std::floor(ty0));
    } else {
        cairo_rectangle(cr_, tx0, ty0, tx1 - tx0, ty1 - ty0);
    }
    cairo_clip(cr_);
    cairo_set_source_rgba(cr_, unit(sc.r), unit(sc.g), unit(sc.b), unit(sc.a) * alpha);
    cairo_mask(cr_, pattern.get());
    cairo_restore(cr_);
    return true;
}

namespace {

// The clip within the device pixels x0...x1, y0...y1 as rectangles of whole
// pixels; null when it is not made of them.
using ClipRectangles = std::unique_ptr<cairo_rectangle_list_t, void (*)(cairo_rectangle_list_t*)>;
ClipRectangles wholePixelClip(cairo_t* cr, int x0, int y0, int x1, int y1) {
    // The area's own rectangle keeps a context without a clip from
    // reporting none.
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    cairo_clip(cr);
    ClipRectangles clip(cairo_copy_clip_rectangle_list(cr), cairo_rectangle_list_destroy);
    cairo_restore(cr);
    if (!clip || clip->status != CAIRO_STATUS_SUCCESS) return {nullptr, cairo_rectangle_list_destroy};
    for (int i = 0; i < clip->num_rectangles; ++i) {
        const cairo_rectangle_t& r = clip->rectangles[i];
        if (r.x != std::floor(r.x) || r.y != std::floor(r.y) || r.width != std::floor(r.width) ||
            r.height != std::floor(r.height)) {
            return {nullptr, cairo_rectangle_list_destroy};
        }
    }
    return clip;
}

} // namespace

bool GraphicsContext::bandsPay() const {
    return !pdf_ && double(bitmap_.width()) * double(bitmap_.height()) >= kBandedShadowMinPixels;
}

void GraphicsContext::expectLargeShadows() {
    if (crew_ || !bandsPay()) return;
    try {
        crew_ = std::make_unique<detail::Crew>();
    } catch (const std::bad_alloc&) {
    }
}

bool GraphicsContext::clipAreas(int x0, int y0, int x1, int y1, std::vector<PixelArea>& areas) {
    const auto clip = wholePixelClip(cr_, x0, y0, x1, y1);
    if (!clip) return false;
    areas.clear();
    for (int i = 0; i < clip->num_rectangles; ++i) {
        const cairo_rectangle_t& r = clip->rectangles[i];
        areas.push_back({int(r.x), int(r.y), int(r.width), int(r.height)});
    }
    return true;
}

bool GraphicsContext::compositesDirectly() const {
    return !pdf_ && layers_.empty() && state_.blend == BlendMode::normal && cairo_get_target(cr_) == surface_;
}

void GraphicsContext::compositeRows(const std::vector<PixelArea>& areas, const std::uint8_t* mask, int width, int rows,
                                    int stride, int dx, int dy, std::uint32_t colour) {
    for (const PixelArea& r : areas) {
        // Where the rectangle, the mask and the bitmap meet.
        const int left = std::max({r.x, dx, 0}), right = std::min({r.x + r.width, dx + width, bitmap_.width()});
        const int top = std::max({r.y, dy, 0}), bottom = std::min({r.y + r.height, dy + rows, bitmap_.height()});
        if (left >= right) continue;
        for (int y = top; y < bottom; ++y) {
            detail::maskSolidOver(colour, mask + std::ptrdiff_t(y - dy) * stride + (left - dx), bitmap_.row(y) + left,
                                  std::size_t(right - left));
        }
    }
}

bool GraphicsContext::compositeShadowMask(const std::uint8_t* mask, int width, int height, int stride, int dx, int dy,
                                          int x0, int y0, int x1, int y1, std::uint32_t colour) {
    std::vector<PixelArea> areas;
    try {
        if (!compositesDirectly() || !clipAreas(x0, y0, x1, y1, areas)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    cairo_surface_flush(surface_);
    compositeRows(areas, mask, width, height, stride, dx, dy, colour);
    cairo_surface_mark_dirty(surface_);
    return true;
}

struct GraphicsContext::FillInBands {
    const Path* path = nullptr;
    AffineTransform toArea; // user space to the area's pixels
    PixelArea area;         // the pixels the fill's mask covers
    std::vector<PixelArea> clip;
    std::uint32_t colour = 0;
    bool done = false;
};

bool GraphicsContext::prepareFillInBands(const Path& path, FillInBands& fill) {
    // The fill fillPath would draw through the rectilinear raster (see its
    // order of ways): an opaque-mask fill of a path along the axes whose
    // figures the summed coverage refuses at once (merged square modules).
    if (!bandsPay() || !state_.antialias || path.size() < kRectilinearMinElements || !compositesDirectly() ||
        hasCurves(path)) {
        return false;
    }
    if (path.size() >= kCoverageMinElements && !coverageProbeRefuses(path)) return false;
    const AffineTransform m = state_.ctm.then(base_);
    const Rect bounds = m.apply(path.boundingBox());
    const auto area = coverageArea(bounds.minX(), bounds.minY(), bounds.maxX(), bounds.maxY());
    if (!area || area->empty()) return false;
    try {
        if (!clipAreas(area->x, area->y, area->x + area->width, area->y + area->height, fill.clip)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    const RGBA c = state_.fill.toSRGB();
    fill.path = &path;
    fill.toArea = m.then(AffineTransform::translation(-area->x, -area->y));
    fill.area = *area;
    fill.colour = detail::solidPixel(unit(c.r), unit(c.g), unit(c.b), unit(c.a) * state_.alpha);
    return true;
}

bool GraphicsContext::shadowAndFillInBands(FillInBands& fill, const AffineTransform& userToMask, int width, int height,
                                           double sigma, int dx, int dy, int x0, int y0, int x1, int y1,
                                           std::uint32_t colour) {
    // Moving a mask from one core's cache to another's costs about as much
    // as the work on it, so each band of device rows stays with one thread
    // from the coverage of its shadow to the composite of its fill; the band
    // finds the shadow's coverage of the rows its blur reaches besides its
    // own. Every band's pixels are those of the whole: blurAlpha's rows
    // depend only on the rows within its reach, the rectilinear raster's on
    // nothing outside them, and the shadow is composited before the fill in
    // every row, as a whole shadow before a whole fill would be.
    const int reach = detail::blurReach(sigma);
    if (reach > kShadowBandRows / 4) return false;
    std::vector<PixelArea> areas;
    detail::RectilinearCoverage shadowCoverage, fillCoverage;
    const PixelArea& area = fill.area;
    // The bands cover the device rows of the shadow and of the fill.
    const int top = std::min(dy, area.y), bottom = std::max(dy + height, area.y + area.height);
    const int bands = (bottom - top + kShadowBandRows - 1) / kShadowBandRows;
    const int shadowStride = (width + 63) / 64 * 64, fillStride = (area.width + 63) / 64 * 64;
    const std::size_t shadowBytes = std::size_t(shadowStride) * std::size_t(kShadowBandRows + 2 * reach);
    const std::size_t fillBytes = std::size_t(fillStride) * std::size_t(kShadowBandRows);
    std::unique_ptr<std::uint8_t[]> planes;
    // What each band has composited: 1 its shadow, 2 its fill too.
    std::vector<std::uint8_t> stage;
    std::once_flag fillPrepared;
    bool fillRefused = false; // written once, under fillPrepared
    try {
        if (!compositesDirectly() || !clipAreas(x0, y0, x1, y1, areas)) return false;
        expectLargeShadows();
        if (!crew_ || crew_->helpers() == 0) return false;
        if (!shadowCoverage.prepare(*fill.path, userToMask, width, height)) return false;
        // All the bands' memory is had before any band is composited.
        planes = std::make_unique_for_overwrite<std::uint8_t[]>((shadowBytes + fillBytes) * std::size_t(bands));
        stage.assign(std::size_t(bands), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    cairo_surface_flush(surface_);
    const auto band = [&](std::size_t b) {
        const int first = top + int(b) * kShadowBandRows, end = std::min(bottom, first + kShadowBandRows);
        std::uint8_t* const plane = planes.get() + (shadowBytes + fillBytes) * b;
        if (stage[b] == 0) {
            // The shadow mask's rows in the band, and those its blur reaches.
            const int r0 = std::max(0, first - dy), r1 = std::min(height, end - dy);
            if (r0 < r1) {
                const int from = std::max(0, r0 - reach), to = std::min(height, r1 + reach);
                shadowCoverage.rows(from, to, plane, shadowStride);
                detail::blurAlpha(plane, width, to - from, shadowStride, sigma);
                compositeRows(areas, plane + std::ptrdiff_t(r0 - from) * shadowStride, width, r1 - r0, shadowStride, dx,
                              dy + r0, colour);
            }
            stage[b] = 1;
        }
        // The fill's rows in the band. Its edges are found by the first band
        // to need them, while the others draw their shadows; they are those
        // of the shadow's outline moved, so they are along the axes too.
        const int f0 = std::max(0, first - area.y), f1 = std::min(area.height, end - area.y);
        if (f0 < f1) {
            std::call_once(fillPrepared, [&] {
                // Rounding may still make a nearly level segment level in one
                // space and not in the other: the fill is then drawn after
                // the bands, as it would be without them.
                fillRefused = !fillCoverage.prepare(*fill.path, fill.toArea, area.width, area.height);
            });
        }
        if (f0 < f1 && !fillRefused) {
            std::uint8_t* const mask = plane + shadowBytes;
            fillCoverage.rows(f0, f1, mask, fillStride);
            compositeRows(fill.clip, mask, area.width, f1 - f0, fillStride, area.x, area.y + f0, fill.colour);
        }
        stage[b] = 2;
    };
    if (!crew_->forEach(std::size_t(bands), band)) {
        // Memory ran out in a band (its raster's or its blur's working
        // memory): what the bands left undone is tried again here, each part
        // once, so that nothing is left out or drawn twice while memory
        // allows.
        try {
            for (std::size_t b = 0; b < stage.size(); ++b) {
                if (stage[b] != 2) band(b);
            }
        } catch (const std::bad_alloc&) {
        }
    }
    cairo_surface_mark_dirty(surface_);
    fill.done = !fillRefused;
    return true;
}

// MARK: drawing

void GraphicsContext::fillPath(const Path& path, FillRule rule) {
    if (!usable() || path.isEmpty() || !path.isFinite()) return;
    if (!applyMatrix(cr_)) return;
    const cairo_fill_rule_t fr = rule == FillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
    if (state_.shadow.isSet) {
        const double fillAlpha = unit(state_.fill.toSRGB().a);
        const auto clusters = shadowClusters(path, state_.ctm.then(base_), shadowReach(state_.shadow.blur));
        // One large shadow along the axes (a code's merged square modules)
        // is drawn band by band with its fill, on several threads.
        FillInBands withFill;
        const bool banded =
            clusters.size() == 1 && rule == FillRule::nonZero && fillAlpha == 1 && prepareFillInBands(path, withFill);
        for (const Rect& b : clusters) {
            paintShadow(
                state_.shadow, state_.alpha, b.minX(), b.minY(), b.maxX(), b.maxY(),
                [&](cairo_t* mc, const AffineTransform& deviceToMask) {
                    if (rule == FillRule::nonZero && state_.antialias && fillAlpha == 1) {
                        const AffineTransform toMask = state_.ctm.then(base_).then(deviceToMask);
                        if (maskByCoverage(mc, path, toMask) || maskByAreas(mc, path, toMask)) return true;
                    }
                    appendPath(mc, path);
                    cairo_set_fill_rule(mc, fr);
                    cairo_set_source_rgba(mc, 0, 0, 0, fillAlpha);
                    cairo_fill(mc);
                    return true;
                },
                banded ? &withFill : nullptr);
        }
        if (withFill.done) return;
        applyMatrix(cr_);
    }
    if (rule == FillRule::nonZero && fillByCoverage(path)) return;
    if (rule == FillRule::nonZero && !pdf_ && state_.antialias && path.size() >= kRectilinearMinElements) {
        const Rect bounds = state_.ctm.then(base_).apply(path.boundingBox());
        if (fillRectilinear(path, bounds) || fillByUnion(path, bounds)) return;
    }
    applyDrawingState();
    appendPath(cr_, path);
    cairo_set_fill_rule(cr_, fr);
    setSource(state_.fill);
    cairo_fill(cr_);
}

namespace {

// Each subpath's device extent and twice its signed area under `m`, and the
// index of its first element, for the first `limit` subpaths; false when
// memory ran out.
bool subpathExtents(const Path& path, const AffineTransform& m, std::vector<detail::SubpathExtent>& extents,
                    std::vector<std::size_t>& firstElements,
                    std::size_t limit = std::numeric_limits<std::size_t>::max()) {
    detail::SubpathExtent current{};
    Point first{}, last{};
    bool inSubpath = false;
    const auto endSubpath = [&] {
        if (!inSubpath) return;
        current.twiceArea += last.x * first.y - first.x * last.y;
        extents.push_back(current);
        inSubpath = false;
    };
    try {
        const auto& elements = path.elements();
        for (std::size_t index = 0; index < elements.size(); ++index) {
            const auto& e = elements[index];
            if (e.type == Path::ElementType::moveToPoint) endSubpath();
            if (!inSubpath && extents.size() == limit) break;
            for (int k = 0; k < Path::pointCount(e.type); ++k) {
                const Point d = m.apply(e.points[std::size_t(k)]);
                if (inSubpath) {
                    current.twiceArea += last.x * d.y - d.x * last.y;
                    current.x0 = std::min(current.x0, d.x), current.x1 = std::max(current.x1, d.x);
                    current.y0 = std::min(current.y0, d.y), current.y1 = std::max(current.y1, d.y);
                } else {
                    current = {d.x, d.y, d.x, d.y, 0};
                    first = d;
                    inSubpath = true;
                    firstElements.push_back(index);
                }
                last = d;
            }
        }
        endSubpath();
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// The sign each subpath of `path` (under `m`, curves flattened to
// `tolerance`) is summed with; false when figures may overlap (see
// detail::orientSubpaths) or memory ran out.
bool orientForCoverage(const Path& path, const AffineTransform& m, double tolerance,
                       const std::vector<detail::SubpathExtent>& extents, const std::vector<std::size_t>& firstElements,
                       std::vector<float>& signs) {
    try {
        const auto pointsOf = [&](std::size_t i, std::vector<Point>& out) {
            const auto& elements = path.elements();
            Point start{}, at{};
            for (std::size_t index = firstElements[i]; index < elements.size(); ++index) {
                const auto& e = elements[index];
                if (index > firstElements[i] && e.type == Path::ElementType::moveToPoint) break;
                const auto p = [&](int k) { return m.apply(e.points[std::size_t(k)]); };
                switch (e.type) {
                case Path::ElementType::moveToPoint: out.push_back(start = at = p(0)); break;
                case Path::ElementType::addLineToPoint: out.push_back(at = p(0)); break;
                case Path::ElementType::addQuadCurveToPoint:
                    if (out.empty()) out.push_back(start = at = p(1));
                    detail::flattenQuad(at, p(0), p(1), tolerance, out);
                    at = out.back();
                    break;
                case Path::ElementType::addCurveToPoint:
                    if (out.empty()) out.push_back(start = at = p(2));
                    detail::flattenCubic(at, p(0), p(1), p(2), tolerance, out);
                    at = out.back();
                    break;
                case Path::ElementType::closeSubpath: at = start; break;
                }
            }
        };
        return detail::orientSubpaths(extents, pointsOf, signs);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The sign orientForCoverage picked for `subpath` (the last one for any
// past them, as none are; +1 where it picked none).
float signOf(const std::vector<float>& signs, std::size_t subpath) {
    return signs.empty() ? 1.0f : signs[std::min(subpath, signs.size() - 1)];
}

} // namespace

bool GraphicsContext::figuresApart(const Path& path) const {
    if (!usable()) return false;
    const AffineTransform m = state_.ctm.then(base_);
    std::vector<detail::SubpathExtent> extents;
    std::vector<std::size_t> firstElements;
    std::vector<float> signs;
    return subpathExtents(path, m, extents, firstElements) &&
           orientForCoverage(path, m, cairo_get_tolerance(cr_), extents, firstElements, signs);
}

bool GraphicsContext::maskByAreas(cairo_t* mc, const Path& path, const AffineTransform& toMask) const {
    // Cairo's scan converter costs a code of thousands of small curves tens
    // of milliseconds, on a PDF's shadow raster as on a bitmap; the summed
    // (or, for figures that overlap, united) pixel areas a fraction of that.
    if (path.size() < kCoverageMinElements) return false;
    cairo_surface_t* s = cairo_get_target(mc);
    if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_A8) return false;
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    if (!(double(w) * double(h) <= kCoverageMaxPixels)) return false;
    const int stride = cairo_image_surface_get_stride(s);
    std::uint8_t* const data = cairo_image_surface_get_data(s);
    const double tolerance = cairo_get_tolerance(cr_);
    try {
        std::vector<detail::SubpathExtent> extents;
        std::vector<std::size_t> firstElements;
        if (!subpathExtents(path, toMask, extents, firstElements)) return false;
        for (const auto& x : extents) {
            if (!(std::max({-x.x0, x.x1, -x.y0, x.y1}) <= kCoverageMaxCoordinate)) return false;
        }
        std::vector<float> signs;
        const bool apart = orientForCoverage(path, toMask, tolerance, extents, firstElements, signs);
        detail::UnionCoverage raster(0, 0, w, h, 0, apart ? Figures::apart : Figures::overlapping);
        detail::forEachPolygon(path, toMask, tolerance, [&](std::span<const Point> points, std::size_t subpath) {
            raster.addPolygon(points.data(), points.size(), {0, 0}, apart ? signOf(signs, subpath) : 1.0f);
            return true;
        });
        cairo_surface_flush(s);
        if (!raster.resolve(data, stride)) {
            // Half written: Cairo draws the mask afresh.
            for (int y = 0; y < h; ++y) std::memset(data + std::ptrdiff_t(y) * stride, 0, std::size_t(w));
            cairo_surface_mark_dirty(s);
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    cairo_surface_mark_dirty(s);
    return true;
}

bool GraphicsContext::fillRectilinear(const Path& path, const Rect& bounds) {
    // Outlines along the axes (merged square modules) get Cairo's own
    // pixels from rectilinearCoverage at a fraction of its scan converter's
    // cost; anything curved or slanted is refused.
    if (hasCurves(path)) return false;
    const AffineTransform m = state_.ctm.then(base_);
    const auto area = coverageArea(bounds.minX(), bounds.minY(), bounds.maxX(), bounds.maxY());
    if (!area || area->empty()) return false;
    // Cairo cuts its fill by a clip exactly; a mask painted under a clip
    // would multiply the two coverages where both edges cross a pixel. Only
    // a clip of whole pixels (or none) multiplies by 0 or 1.
    if (!wholePixelClip(cr_, area->x, area->y, area->x + area->width, area->y + area->height)) return false;
    CairoPtr<cairo_surface_t> mask(cairo_image_surface_create(CAIRO_FORMAT_A8, area->width, area->height));
    if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS) return false;
    cairo_surface_flush(mask.get());
    try {
        if (!detail::rectilinearCoverage(path, m.then(AffineTransform::translation(-area->x, -area->y)),
                                         cairo_image_surface_get_data(mask.get()), area->width, area->height,
                                         cairo_image_surface_get_stride(mask.get()))) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    cairo_surface_mark_dirty(mask.get());
    paintMask(mask.get(), area->x, area->y);
    return true;
}

bool GraphicsContext::coverageProbeRefuses(const Path& path) const {
    // Two figures that may overlap refuse the whole path, and in outlines
    // that have them (merged square modules: islands within holes, blobs
    // within each other's bounds) they come early: the first subpaths are
    // tried on their own before every subpath is measured. Among this few
    // the comparisons stay within orientSubpaths's budget, so a refusal here
    // is the one the whole path would get.
    constexpr std::size_t kProbeSubpaths = 64;
    const AffineTransform m = state_.ctm.then(base_);
    std::vector<detail::SubpathExtent> extents;
    std::vector<std::size_t> firstElements;
    std::vector<float> signs;
    return !subpathExtents(path, m, extents, firstElements, kProbeSubpaths) ||
           !orientForCoverage(path, m, cairo_get_tolerance(cr_), extents, firstElements, signs);
}

bool GraphicsContext::fillByCoverage(const Path& path) {
    // Cairo's scan converter samples every pixel row fifteen times across
    // all the edges the row meets, so a code of thousands of small curves
    // (flower or rounded pixels) costs it tens of milliseconds; the coverage
    // raster's cost follows the edges' length and the pixels instead.
    if (pdf_ || !state_.antialias || path.size() < kCoverageMinElements) return false;
    if (coverageProbeRefuses(path)) return false;
    const AffineTransform m = state_.ctm.then(base_);
    std::vector<float> signs;
    const double tolerance = cairo_get_tolerance(cr_);
    double px0 = std::numeric_limits<double>::infinity(), py0 = px0, px1 = -px0, py1 = -px0;
    // Summed coverage equals the non-zero rule only while the figures count
    // one way and do not overlap: where one turning each way meet in a pixel
    // (a shape of two halves drawn in opposite senses) they would cancel,
    // and where two overlap by a sliver the pixel would count it twice. Each
    // subpath's sense is the sign of its control polygon's area;
    // orientSubpaths picks the sign each subpath is counted with, or refuses
    // overlapping figures, which Cairo fills.
    std::vector<detail::SubpathExtent> extents;
    std::vector<std::size_t> firstElements;
    if (!subpathExtents(path, m, extents, firstElements)) return false;
    for (const auto& x : extents) {
        px0 = std::min(px0, x.x0), px1 = std::max(px1, x.x1);
        py0 = std::min(py0, x.y0), py1 = std::max(py1, x.y1);
    }
    if (!(std::max({-px0, px1, -py0, py1}) <= kCoverageMaxCoordinate)) return false;
    const auto area = coverageArea(px0, py0, px1, py1);
    if (!area || area->empty()) return false;
    const int w = area->width, h = area->height;
    // Curves are flattened to Cairo's tolerance, for the hulls and the raster alike.
    if (!orientForCoverage(path, m, tolerance, extents, firstElements, signs)) return false;

    CairoPtr<cairo_surface_t> mask(cairo_image_surface_create(CAIRO_FORMAT_A8, w, h));
    if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS) return false;
    try {
        // The figures are summed in bands of rows, shared out among threads
        // for a large raster, each subpath counted with its sign.
        detail::UnionCoverage raster(area->x, area->y, w, h, 0, Figures::apart);
        const auto& elements = path.elements();
        // Where subpath i's elements end. The raster calls back while it
        // resolves: all it reaches lives until then.
        const auto endOf = [&](std::size_t i) {
            return i + 1 < firstElements.size() ? firstElements[i + 1] : elements.size();
        };
        if (hasCurves(path) && elements[firstElements.front()].type == Path::ElementType::moveToPoint) {
            // Flattening curves costs as much as summing them: the raster's
            // threads flatten each subpath, from its move to the next, before
            // they sum it (lines alone are only copied, not worth the wait).
            raster.makeLater(
                [&](std::size_t i, std::vector<Point>& points, const detail::UnionCoverage::Emit& emit) {
                    detail::forEachPolygon(
                        path, m, tolerance,
                        [&](std::span<const Point> polygon) {
                            emit(polygon.data(), polygon.size(), signOf(signs, i));
                            return true;
                        },
                        points, firstElements[i], endOf(i));
                },
                {0, 0});
            for (std::size_t i = 0; i < firstElements.size(); ++i) {
                raster.addLater(i, extents[i].y0, extents[i].y1, 2 * (endOf(i) - firstElements[i]));
            }
        } else {
            detail::forEachPolygon(path, m, tolerance, [&](std::span<const Point> points, std::size_t subpath) {
                raster.addPolygon(points.data(), points.size(), {0, 0}, signOf(signs, subpath));
                return true;
            });
        }
        cairo_surface_flush(mask.get());
        if (!raster.resolve(cairo_image_surface_get_data(mask.get()), cairo_image_surface_get_stride(mask.get()),
                            true)) {
            return false;
        }
        cairo_surface_mark_dirty(mask.get());
    } catch (const std::bad_alloc&) {
        return false;
    }
    paintMask(mask.get(), area->x, area->y);
    return true;
}

bool GraphicsContext::fillByUnion(const Path& path, const Rect& bounds) {
    // Figures that overlap their neighbours (arms joining into one bar,
    // drips reaching into the next module) cannot be summed; Cairo's scan
    // converter samples every row fifteen times across all of their edges.
    // The union raster sums them and works out again only the pixels where
    // two figures' edges meet.
    if (path.size() < kCoverageMinElements) return false;
    const AffineTransform m = state_.ctm.then(base_);
    if (!(std::max({-bounds.minX(), bounds.maxX(), -bounds.minY(), bounds.maxY()}) <= kCoverageMaxCoordinate)) {
        return false;
    }
    const auto area = coverageArea(bounds.minX(), bounds.minY(), bounds.maxX(), bounds.maxY());
    if (!area || area->empty()) return false;
    // As for fillRectilinear: Cairo cuts its fill by a clip exactly.
    if (!wholePixelClip(cr_, area->x, area->y, area->x + area->width, area->y + area->height)) return false;
    CairoPtr<cairo_surface_t> mask;
    try {
        detail::UnionCoverage raster(area->x, area->y, area->width, area->height);
        detail::forEachPolygon(path, m, cairo_get_tolerance(cr_), [&](std::span<const Point> points) {
            raster.addPolygon(points.data(), points.size(), {0, 0});
            return true;
        });
        mask.reset(cairo_image_surface_create(CAIRO_FORMAT_A8, area->width, area->height));
        if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS) return false;
        cairo_surface_flush(mask.get());
        if (!raster.resolve(cairo_image_surface_get_data(mask.get()), cairo_image_surface_get_stride(mask.get()))) {
            return false;
        }
        cairo_surface_mark_dirty(mask.get());
    } catch (const std::bad_alloc&) {
        return false;
    }
    paintMask(mask.get(), area->x, area->y);
    return true;
}

void GraphicsContext::paintMask(cairo_surface_t* mask, int x, int y) {
    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    applyDrawingState();
    setSource(state_.fill);
    cairo_mask_surface(cr_, mask, x, y);
    cairo_restore(cr_);
    cairo_new_path(cr_);
}

std::unique_ptr<CoverageFill> GraphicsContext::makeCoverageFill(const AffineTransform& toUser, const Rect& userBounds,
                                                                Figures figures) const {
    if (!usable() || pdf_ || !state_.antialias || userBounds.isNull() || !shadowFromCoverage()) return nullptr;
    const AffineTransform m = toUser.then(state_.ctm).then(base_);
    if (!m.isInvertible()) return nullptr;
    const Rect device = state_.ctm.then(base_).apply(userBounds);
    // A shadow falls into the clip from figures outside it too, as far as
    // its offset and blur reach.
    const ShadowState& shadow = state_.shadow;
    const double grow = shadow.isSet ? shadowReach(shadow.blur) +
                                           std::max(std::abs(shadow.offset.width), std::abs(shadow.offset.height)) + 1
                                     : 0.0;
    const auto area = coverageArea(device.minX(), device.minY(), device.maxX(), device.maxY(), grow);
    if (!area || area->empty()) return nullptr;
    if (figures == Figures::overlapping &&
        !wholePixelClip(cr_, area->x, area->y, area->x + area->width, area->y + area->height)) {
        return nullptr;
    }
    // One more column and row hold the figures moved by a shadow's fraction
    // of a pixel.
    const int more = shadow.isSet ? 1 : 0;
    try {
        return std::make_unique<CoverageFill>(m, area->x, area->y, area->width + more, area->height + more,
                                              cairo_get_tolerance(cr_), figures);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool GraphicsContext::shadowFromCoverage() const {
    // A shadow's mask holds the fill's alpha: coverage alone is the mask of
    // an opaque fill.
    return !state_.shadow.isSet || unit(state_.fill.toSRGB().a) == 1;
}

bool GraphicsContext::fillCoverage(CoverageFill& fill) {
    if (fill.elementCount() < kCoverageMinElements || !shadowFromCoverage()) return false;
    if (!usable()) return true;
    fill.endFigure();
    if (!fill.isFinite() || fill.width() <= 0 || fill.height() <= 0) return true;
    CairoPtr<cairo_surface_t> mask(cairo_image_surface_create(CAIRO_FORMAT_A8, fill.width(), fill.height()));
    if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS) return false;
    cairo_surface_flush(mask.get());
    std::uint8_t* const coverage = cairo_image_surface_get_data(mask.get());
    const int stride = cairo_image_surface_get_stride(mask.get());
    if (!fill.resolve(coverage, stride)) return false;
    cairo_surface_mark_dirty(mask.get());
    if (state_.shadow.isSet) {
        // The shadow's mask from the same figures: their coverage as it
        // stands where the shadow moves them by whole pixels, otherwise
        // worked out again moved by the fraction of a pixel, which the mask
        // holds (see paintShadow); then blurred and composited as any
        // shadow is, before the fill.
        const int x0 = fill.originX(), y0 = fill.originY(), w = fill.width(), h = fill.height();
        const bool cast = paintShadow(
            state_.shadow, state_.alpha, x0, y0, x0 + w, y0 + h, [&](cairo_t* mc, const AffineTransform& deviceToMask) {
                cairo_surface_t* target = cairo_get_target(mc);
                const double fx = deviceToMask.tx - std::floor(deviceToMask.tx);
                const double fy = deviceToMask.ty - std::floor(deviceToMask.ty);
                const int mx = x0 + int(std::floor(deviceToMask.tx)), my = y0 + int(std::floor(deviceToMask.ty));
                std::vector<std::uint8_t> moved;
                const std::uint8_t* from = coverage;
                int fromStride = stride;
                try {
                    if (fx != 0 || fy != 0) {
                        moved.resize(std::size_t(w) * std::size_t(h));
                        if (!fill.resolve(moved.data(), w, {fx, fy})) return false;
                        from = moved.data(), fromStride = w;
                    }
                } catch (const std::bad_alloc&) {
                    return false;
                }
                cairo_surface_flush(target);
                copyPlane(from, fromStride, w, h, cairo_image_surface_get_data(target),
                          cairo_image_surface_get_stride(target), cairo_image_surface_get_width(target),
                          cairo_image_surface_get_height(target), mx, my);
                cairo_surface_mark_dirty(target);
                return true;
            });
        if (!cast) return false;
    }
    paintMask(mask.get(), fill.originX(), fill.originY());
    return true;
}

void GraphicsContext::fillRect(const Rect& rect) {
    Path p;
    p.addRect(rect);
    fillPath(p);
}

void GraphicsContext::fillEllipse(const Rect& rect) {
    Path p;
    p.addEllipse(rect);
    fillPath(p);
}

void GraphicsContext::clip(const Path& path, FillRule rule) {
    if (!usable()) return;
    cairo_new_path(cr_);
    if (path.isFinite() && !path.isEmpty() && applyMatrix(cr_)) {
        cairo_set_antialias(cr_, state_.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
        cairo_set_fill_rule(cr_, rule == FillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        appendPath(cr_, path);
    } else {
        // An empty or unusable outline clips everything away.
        cairo_identity_matrix(cr_);
        cairo_rectangle(cr_, 0, 0, 0, 0);
    }
    cairo_clip(cr_);
}

void GraphicsContext::clipToRect(const Rect& rect) {
    Path p;
    p.addRect(rect);
    clip(p);
}

namespace {

void addStops(cairo_pattern_t* p, const Gradient& gradient) {
    for (const auto& s : gradient.stops()) {
        const RGBA c = s.color.toSRGB();
        cairo_pattern_add_color_stop_rgba(p, s.location, unit(c.r), unit(c.g), unit(c.b), unit(c.a));
    }
}

// The ramp's colour at t, padded beyond its end stops (whose locations lie
// within 0...1, in order).
RGBA rampColor(const std::vector<GradientStop>& stops, double t) {
    const auto at = [&](std::size_t i) {
        const RGBA c = stops[i].color.toSRGB();
        return RGBA{unit(c.r), unit(c.g), unit(c.b), unit(c.a)};
    };
    if (!(t > stops.front().location)) return at(0);
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (t < stops[i].location) {
            const RGBA a = at(i - 1), b = at(i);
            const double f = (t - stops[i - 1].location) / (stops[i].location - stops[i - 1].location);
            return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f, a.a + (b.a - a.a) * f};
        }
    }
    return at(stops.size() - 1);
}

} // namespace

void GraphicsContext::paintGradient(cairo_pattern_t* pattern) {
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    applyDrawingState();
    cairo_set_source(cr_, pattern);
    cairo_paint_with_alpha(cr_, state_.alpha);
}

void GraphicsContext::paintFarRamp(const Gradient& gradient, Point origin, Point direction, double t0, double length) {
    const std::vector<GradientStop>& stops = gradient.stops();
    if (stops.empty() || !(length != 0) || !std::isfinite(length) || !std::isfinite(t0)) return;
    if (length < 0) direction = {-direction.x, -direction.y}, length = -length;
    // The ramp's extent over the clip: projections of its corners onto the
    // direction, from the origin (near the clip, so these are small).
    double x0, y0, x1, y1;
    if (!deviceClipExtents(x0, y0, x1, y1)) return;
    const AffineTransform toUser = state_.ctm.then(base_).inverted();
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (const Point corner : {Point{x0, y0}, Point{x1, y0}, Point{x0, y1}, Point{x1, y1}}) {
        const Point p = toUser.apply(corner);
        const double along = (p.x - origin.x) * direction.x + (p.y - origin.y) * direction.y;
        lo = std::min(lo, along), hi = std::max(hi, along);
    }
    if (!(hi >= lo)) return;
    const double tLo = t0 + lo / length, tHi = t0 + hi / length;
    CairoPtr<cairo_pattern_t> p;
    if (!(tHi > tLo) || !(hi - lo > 1e-9 * std::max(1.0, std::fabs(lo)))) {
        // Too little of the ramp shows to tell its ends apart.
        const RGBA c = rampColor(stops, t0 + (lo + hi) / 2 / length);
        p.reset(cairo_pattern_create_rgba(c.r, c.g, c.b, c.a));
    } else {
        p.reset(cairo_pattern_create_linear(origin.x + direction.x * lo, origin.y + direction.y * lo,
                                            origin.x + direction.x * hi, origin.y + direction.y * hi));
        const auto add = [&](double location, const RGBA& c) {
            cairo_pattern_add_color_stop_rgba(p.get(), location, c.r, c.g, c.b, c.a);
        };
        add(0, rampColor(stops, tLo));
        for (const GradientStop& s : stops) {
            if (s.location > tLo && s.location < tHi)
                add((s.location - tLo) / (tHi - tLo), rampColor(stops, s.location));
        }
        add(1, rampColor(stops, tHi));
    }
    paintGradient(p.get());
}

void GraphicsContext::drawLinearGradient(const Gradient& gradient, Point start, Point end) {
    if (!usable() || !start.isFinite() || !end.isFinite() || !applyMatrix(cr_)) return;
    const AffineTransform m = state_.ctm.then(base_);
    if (!withinDrawnRange(m.apply(start)) || !withinDrawnRange(m.apply(end))) {
        // Halves keep the differences of far points finite.
        const Point half{end.x / 2 - start.x / 2, end.y / 2 - start.y / 2};
        const double halfLength = std::hypot(half.x, half.y);
        if (!(halfLength > 0) || !std::isfinite(halfLength)) return;
        const Point direction{half.x / halfLength, half.y / halfLength};
        const Rect clip = clipBoundingBox();
        if (clip.isNull()) return;
        const Point origin{clip.midX(), clip.midY()};
        const double t0 =
            ((origin.x / 2 - start.x / 2) * direction.x + (origin.y / 2 - start.y / 2) * direction.y) / halfLength;
        paintFarRamp(gradient, origin, direction, t0, 2 * halfLength);
        return;
    }
    CairoPtr<cairo_pattern_t> p(cairo_pattern_create_linear(start.x, start.y, end.x, end.y));
    addStops(p.get(), gradient);
    paintGradient(p.get());
}

void GraphicsContext::drawRadialGradient(const Gradient& gradient, Point c0, double r0, Point c1, double r1) {
    if (!usable() || !c0.isFinite() || !c1.isFinite() || !std::isfinite(r0) || !std::isfinite(r1)) return;
    if (!applyMatrix(cr_)) return;
    r0 = std::max(0.0, r0), r1 = std::max(0.0, r1);
    const AffineTransform m = state_.ctm.then(base_);
    const double stretch = std::max(std::hypot(m.a, m.b), std::hypot(m.c, m.d));
    if (!withinDrawnRange(m.apply(c0)) || !withinDrawnRange(m.apply(c1)) || !(r0 * stretch <= kMaxDrawnCoordinate) ||
        !(r1 * stretch <= kMaxDrawnCoordinate)) {
        // Seen from the clip, a far circle's edge runs across the direction
        // from its centre.
        const Rect clip = clipBoundingBox();
        if (clip.isNull()) return;
        const Point origin{clip.midX(), clip.midY()};
        const Point half{origin.x / 2 - c1.x / 2, origin.y / 2 - c1.y / 2};
        const double halfDistance = std::hypot(half.x, half.y);
        const Point direction = halfDistance > 0 ? Point{half.x / halfDistance, half.y / halfDistance} : Point{1, 0};
        paintFarRamp(gradient, origin, direction, (2 * halfDistance - r0) / (r1 - r0), r1 - r0);
        return;
    }
    CairoPtr<cairo_pattern_t> p(cairo_pattern_create_radial(c0.x, c0.y, r0, c1.x, c1.y, r1));
    addStops(p.get(), gradient);
    paintGradient(p.get());
}

void GraphicsContext::drawImage(const Image& image, const Rect& rect) {
    if (image.empty()) return;
    drawImage(std::make_shared<const Image>(image), rect);
}

void GraphicsContext::drawImage(const ImagePtr& image, const Rect& rect) { paintImage(image, rect, nullptr, 0, 0); }

void GraphicsContext::drawImage(const ImagePtr& image, const Rect& rect, const Path& clipPath) {
    if (!usable() || !image || image->empty() || rect.isEmpty()) return;
    detail::FlatOutline outline;
    // An outline past the budget clips everything away, as one that is not
    // finite does.
    if (!boundedOutline(clipPath, outline)) return;
    if (pdf_ || (clipPath.size() < kCoverageMinElements && outline.points().size() <= kCairoClipMaxPoints &&
                 outline.withinCairosRange())) {
        cairo_save(cr_);
        if (outline.withinCairosRange()) {
            clip(clipPath);
        } else {
            // Cairo would wrap the far points around its fixed-point range:
            // the polygons, cut to what shows, hold the same clip there.
            cairo_new_path(cr_);
            cairo_identity_matrix(cr_);
            cairo_set_antialias(cr_, state_.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
            cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
            cairo_rectangle(cr_, 0, 0, 0, 0);
            std::size_t from = 0;
            for (const std::size_t end : outline.ends()) {
                for (std::size_t i = from; i < end; ++i) {
                    (i == from ? cairo_move_to : cairo_line_to)(cr_, outline.points()[i].x, outline.points()[i].y);
                }
                cairo_close_path(cr_);
                from = end;
            }
            cairo_clip(cr_);
        }
        paintImage(image, rect, nullptr, 0, 0);
        cairo_restore(cr_);
        return;
    }
    drawImageByCoverage(image, rect, outline);
}

bool GraphicsContext::canClipTo(const Path& outline) const {
    if (!cr_) return false;
    detail::FlatOutline flat;
    return boundedOutline(outline, flat);
}

bool GraphicsContext::boundedOutline(const Path& outline, detail::FlatOutline& flat) const {
    if (!outline.isFinite()) return false;
    double x0, y0, x1, y1;
    if (!deviceClipExtents(x0, y0, x1, y1)) return true; // nothing shows: nothing to flatten
    // A pixel's margin keeps the cut, and the edges it adds, off the pixels
    // that show.
    x0 = std::floor(x0) - 1, y0 = std::floor(y0) - 1, x1 = std::ceil(x1) + 1, y1 = std::ceil(y1) + 1;
    const double tolerance = cairo_get_tolerance(cr_);
    if (!flat.flatten(outline, state_.ctm.then(base_), tolerance, Rect(x0, y0, x1 - x0, y1 - y0),
                      kOutlineMaxPoints)) {
        return false;
    }
    const Point window[] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    flat.clip(window);
    // Scanned on a single line a row at the coarsest.
    return flat.crossings(int(y0), int(y1 - y0), 1) <= kMaxCoarseWindingCrossings;
}

void GraphicsContext::drawImageByCoverage(const ImagePtr& image, const Rect& rect, detail::FlatOutline& outline) {
    const AffineTransform m = state_.ctm.then(base_);
    // The mask holds the outline within the image's rectangle: cut to it
    // exactly rather than multiplied by a clip of its own, which would fade
    // the pixels along the edges they share twice.
    const Rect r = rect.standardized();
    const Point corners[] = {m.apply(Point{r.minX(), r.minY()}), m.apply(Point{r.maxX(), r.minY()}),
                             m.apply(Point{r.maxX(), r.maxY()}), m.apply(Point{r.minX(), r.maxY()})};
    for (const Point& p : corners) {
        if (!p.isFinite()) return;
    }
    outline.clip(corners);
    if (outline.points().empty()) return;
    double bx0 = outline.points()[0].x, by0 = outline.points()[0].y, bx1 = bx0, by1 = by0;
    for (const Point& p : outline.points()) {
        bx0 = std::min(bx0, p.x), by0 = std::min(by0, p.y), bx1 = std::max(bx1, p.x), by1 = std::max(by1, p.y);
    }
    double cx0, cy0, cx1, cy1;
    if (!deviceClipExtents(cx0, cy0, cx1, cy1)) return;
    const int x0 = int(std::floor(std::max(bx0, cx0))), y0 = int(std::floor(std::max(by0, cy0)));
    const int x1 = int(std::ceil(std::min(bx1, cx1))), y1 = int(std::ceil(std::min(by1, cy1)));
    if (x1 <= x0 || y1 <= y0) return;
    const int w = x1 - x0, h = y1 - y0;
    CairoPtr<cairo_surface_t> mask(cairo_image_surface_create(CAIRO_FORMAT_A8, w, h));
    if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS) return;
    const std::size_t crossings = outline.crossings(y0, h, detail::kWindingSubrows);
    if (outline.points().size() <= kCairoFillMaxPoints && crossings <= kCairoFillMaxCrossings) {
        // Cairo fills the polygons it would have made of the outline itself.
        CairoPtr<cairo_t> mc(cairo_create(mask.get()));
        cairo_translate(mc.get(), -x0, -y0);
        cairo_set_antialias(mc.get(), state_.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
        cairo_set_fill_rule(mc.get(), CAIRO_FILL_RULE_WINDING);
        std::size_t from = 0;
        for (const std::size_t end : outline.ends()) {
            cairo_move_to(mc.get(), outline.points()[from].x, outline.points()[from].y);
            for (std::size_t i = from + 1; i < end; ++i)
                cairo_line_to(mc.get(), outline.points()[i].x, outline.points()[i].y);
            cairo_close_path(mc.get());
            from = end;
        }
        cairo_fill(mc.get());
        if (cairo_status(mc.get()) != CAIRO_STATUS_SUCCESS) return;
    } else {
        // Too many crossings to scan finely (a spiral of thousands of turns
        // meets each sample line thousands of times): fewer sample lines a
        // row keep the scan's cost bounded.
        const int subrows = int(std::clamp(double(detail::kWindingSubrows) * double(kMaxCoarseWindingCrossings) /
                                               double(std::max<std::size_t>(crossings, 1)),
                                           1.0, double(detail::kWindingSubrows)));
        try {
            detail::WindingEdges edges;
            if (!edges.build(outline, x0, y0, h, subrows)) return;
            outline = {}; // the edges hold all that is needed
            cairo_surface_flush(mask.get());
            edges.resolve(w, cairo_image_surface_get_data(mask.get()), cairo_image_surface_get_stride(mask.get()));
            cairo_surface_mark_dirty(mask.get());
        } catch (const std::bad_alloc&) {
            return;
        }
    }
    paintImage(image, rect, mask.get(), x0, y0);
}

void GraphicsContext::paintImage(const ImagePtr& image, const Rect& rect, cairo_surface_t* mask, int maskX,
                                 int maskY) {
    if (!usable() || !image || image->empty() || rect.isEmpty()) return;
    const Rect r = rect.standardized();
    if (!std::isfinite(r.minX()) || !std::isfinite(r.minY()) || !std::isfinite(r.maxX()) || !std::isfinite(r.maxY()))
        return;
    if (!applyMatrix(cr_)) return;
    // User space to image pixels: the first row sits at the rectangle's maxY.
    const double sx = image->width() / r.width(), sy = image->height() / r.height();
    const AffineTransform imageToDevice =
        AffineTransform{1 / sx, 0, 0, -1 / sy, r.minX(), r.maxY()}.then(state_.ctm).then(base_);
    const double w = image->width(), h = image->height();
    for (const Point corner : {Point{0, 0}, Point{w, 0}, Point{0, h}, Point{w, h}}) {
        if (!withinDrawnRange(imageToDevice.apply(corner))) {
            paintFarImage(*image, imageToDevice, mask, maskX, maskY);
            return;
        }
    }
    CairoPtr<cairo_surface_t> surface(surfaceForImage(image));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return;
    CairoPtr<cairo_pattern_t> p(cairo_pattern_create_for_surface(surface.get()));
    cairo_matrix_t m;
    cairo_matrix_init(&m, sx, 0, 0, -sy, -r.minX() * sx, r.maxY() * sy);
    cairo_pattern_set_matrix(p.get(), &m);
    // Padding repeats the edge pixels, so sampling at the border does not fade
    // toward transparent.
    cairo_pattern_set_extend(p.get(), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(p.get(), cairoFilter(state_.interpolation));
    cairo_save(cr_);
    applyDrawingState();
    cairo_new_path(cr_);
    if (mask == nullptr) {
        // A mask holds the rectangle already.
        cairo_rectangle(cr_, r.minX(), r.minY(), r.width(), r.height());
        cairo_clip(cr_);
        cairo_set_source(cr_, p.get());
        cairo_paint_with_alpha(cr_, state_.alpha);
    } else {
        // The source keeps the user space it was set in; the mask lies in
        // device space.
        if (state_.alpha != 1) cairo_push_group(cr_);
        cairo_set_source(cr_, p.get());
        cairo_identity_matrix(cr_);
        cairo_mask_surface(cr_, mask, maskX, maskY);
        if (state_.alpha != 1) {
            cairo_pop_group_to_source(cr_);
            cairo_paint_with_alpha(cr_, state_.alpha);
        }
    }
    cairo_restore(cr_);
}

void GraphicsContext::paintFarImage(const Image& image, const AffineTransform& imageToDevice, cairo_surface_t* mask,
                                    int maskX, int maskY) {
    // The inverse, its linear part scaled down first: a placement near the
    // largest numbers has a determinant beyond them.
    const double k = std::max({std::fabs(imageToDevice.a), std::fabs(imageToDevice.b), std::fabs(imageToDevice.c),
                               std::fabs(imageToDevice.d)});
    const double a = imageToDevice.a / k, b = imageToDevice.b / k, c = imageToDevice.c / k, d = imageToDevice.d / k;
    const double det = a * d - b * c;
    if (!imageToDevice.isFinite() || !(det != 0) || !std::isfinite(det)) return;
    AffineTransform toImage{d / det / k, -b / det / k, -c / det / k, a / det / k, 0, 0};
    toImage.tx = -(toImage.a * imageToDevice.tx + toImage.c * imageToDevice.ty);
    toImage.ty = -(toImage.b * imageToDevice.tx + toImage.d * imageToDevice.ty);
    if (!toImage.isFinite()) return;
    // What shows: the clip (and the mask), within the image's bounds.
    double x0, y0, x1, y1;
    if (!deviceClipExtents(x0, y0, x1, y1)) return;
    if (mask != nullptr) {
        x0 = std::max(x0, double(maskX)), y0 = std::max(y0, double(maskY));
        x1 = std::min(x1, double(maskX) + cairo_image_surface_get_width(mask));
        y1 = std::min(y1, double(maskY) + cairo_image_surface_get_height(mask));
    }
    const Rect bounds = imageToDevice.apply(Rect(0, 0, image.width(), image.height()));
    x0 = std::floor(std::max(x0, bounds.minX())), y0 = std::floor(std::max(y0, bounds.minY()));
    x1 = std::ceil(std::min(x1, bounds.maxX())), y1 = std::ceil(std::min(y1, bounds.maxY()));
    if (!(x1 > x0 && y1 > y0)) return;
    // A bitmap's raster is its own pixels; a PDF's as fine as its shadows.
    const double scale = pdf_ ? pdfRasterScale(x1 - x0, y1 - y0, kPdfShadowScaleMax) : 1.0;
    const int width = int(std::ceil((x1 - x0) * scale)), height = int(std::ceil((y1 - y0) * scale));
    const int bandRows = std::clamp(int(kFarImageBandSamples / width), 1, height);
    for (int top = 0; top < height; top += bandRows) {
        const int rows = std::min(bandRows, height - top);
        CairoPtr<cairo_surface_t> band(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, rows));
        if (cairo_surface_status(band.get()) != CAIRO_STATUS_SUCCESS) return;
        cairo_surface_flush(band.get());
        std::uint8_t* const data = cairo_image_surface_get_data(band.get());
        const int stride = cairo_image_surface_get_stride(band.get());
        // Each sample takes the image pixel under its centre; outside the
        // image it stays transparent.
        for (int j = 0; j < rows; ++j) {
            auto* out = reinterpret_cast<std::uint32_t*>(data + std::ptrdiff_t(j) * stride);
            const Point first = toImage.apply(Point{x0 + 0.5 / scale, y0 + (top + j + 0.5) / scale});
            const double du = toImage.a / scale, dv = toImage.b / scale;
            for (int i = 0; i < width; ++i) {
                const double u = first.x + du * i, v = first.y + dv * i;
                out[i] = u >= 0 && u < image.width() && v >= 0 && v < image.height() ? image.row(int(v))[int(u)] : 0;
            }
        }
        cairo_surface_mark_dirty(band.get());

        CairoPtr<cairo_pattern_t> pattern(cairo_pattern_create_for_surface(band.get()));
        cairo_matrix_t pm;
        cairo_matrix_init_scale(&pm, scale, scale);
        cairo_matrix_translate(&pm, -x0, -(y0 + top / scale));
        cairo_pattern_set_matrix(pattern.get(), &pm);
        cairo_pattern_set_filter(pattern.get(), CAIRO_FILTER_NEAREST);
        cairo_save(cr_);
        cairo_identity_matrix(cr_);
        applyDrawingState();
        cairo_new_path(cr_);
        cairo_rectangle(cr_, x0, y0 + top / scale, x1 - x0, rows / scale);
        cairo_clip(cr_);
        if (mask == nullptr) {
            cairo_set_source(cr_, pattern.get());
            cairo_paint_with_alpha(cr_, state_.alpha);
        } else {
            if (state_.alpha != 1) cairo_push_group(cr_);
            cairo_set_source(cr_, pattern.get());
            cairo_mask_surface(cr_, mask, maskX, maskY);
            if (state_.alpha != 1) {
                cairo_pop_group_to_source(cr_);
                cairo_paint_with_alpha(cr_, state_.alpha);
            }
        }
        cairo_restore(cr_);
    }
}

void GraphicsContext::beginTransparencyLayer() {
    if (!cr_) return;
    Layer layer{0, state_.shadow, state_.alpha};
    saveGState();
    layer.depth = stack_.size();
    // Inside the layer nothing casts its own shadow or fades on its own: the
    // layer as a whole does both when it ends.
    state_.shadow = ShadowState{};
    state_.alpha = 1;
    state_.blend = BlendMode::normal;
    layers_.push_back(layer);
    cairo_push_group(cr_);
}

void GraphicsContext::endTransparencyLayer() {
    if (!cr_ || layers_.empty()) return;
    const Layer layer = layers_.back();
    while (stack_.size() > layer.depth) {
        state_ = stack_.back();
        stack_.pop_back();
        cairo_restore(cr_);
    }
    layers_.pop_back();
    cairo_identity_matrix(cr_);
    CairoPtr<cairo_pattern_t> group(cairo_pop_group(cr_));
    // Back to the state saved at the begin (still inside its save).
    state_ = stack_.back();
    if (usable() && group) {
        if (layer.shadow.isSet) {
            double cx0, cy0, cx1, cy1;
            if (deviceClipExtents(cx0, cy0, cx1, cy1)) {
                paintShadow(layer.shadow, layer.alpha, cx0, cy0, cx1, cy1,
                            [&](cairo_t* mc, const AffineTransform& deviceToMask) {
                                // The group is in device coordinates.
                                cairo_matrix_t m;
                                toCairo(deviceToMask, m);
                                cairo_set_matrix(mc, &m);
                                cairo_set_source(mc, group.get());
                                cairo_paint(mc);
                                return true;
                            });
            }
        }
        cairo_save(cr_);
        cairo_identity_matrix(cr_);
        cairo_set_operator(cr_, cairoOperator(state_.blend));
        cairo_set_source(cr_, group.get());
        cairo_paint_with_alpha(cr_, layer.alpha);
        cairo_restore(cr_);
    }
    restoreGState();
}

} // namespace gfx
