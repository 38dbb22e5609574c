#pragma once

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Path.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_pattern cairo_pattern_t;

namespace gfx {

class CoverageFill;
namespace detail {
class Crew;
class FlatOutline;
} // namespace detail
// Whether the figures handed to a coverage fill keep apart (they are summed)
// or may overlap (they are united).
enum class Figures { apart, overlapping };

struct GradientStop {
    double location = 0; // 0...1 along the gradient
    Color color;
};

// Colour stops of a gradient, interpolated in sRGB.
class Gradient {
public:
    // Drawing costs Cairo time in proportion to the stops for every stop it
    // is given and for every pixel where the colour moves past one, so the
    // stops drawn are capped: beyond kMostStops, the ramp is cut into
    // kMostStops / 2 equal spans and only the first and the last stop of
    // each span are kept.
    static constexpr std::size_t kMostStops = 256;

    Gradient() = default;
    // The stops as drawn: locations limited to 0...1, sorted by location
    // (stably: stops at one location keep their order), of the stops at one
    // location only the first and the last (the ones in between never
    // show), and capped as above.
    explicit Gradient(std::vector<GradientStop> stops);
    const std::vector<GradientStop>& stops() const { return stops_; }

private:
    std::vector<GradientStop> stops_;
};

enum class BlendMode {
    normal,
    copy,
    clear,
    sourceIn,
    sourceOut,
    sourceAtop,
    destinationOver,
    destinationOut,
    multiply
};
enum class InterpolationQuality { defaultQuality, none, low, medium, high };

// The drawing state that saveGState/restoreGState keep.
struct ShadowState {
    Size offset;     // device space, y up
    double blur = 0; // the Gaussian's sigma is blur / 2, in device units
    Color color;
    bool isSet = false;
};

// A drawing context on a bitmap or a one-page PDF, drawn with Cairo.
//
// User space starts with its origin at the bottom-left corner and y growing
// upward (callers that want y downward flip it themselves with
// scaleBy(1, -1) and translateBy(0, -height)). Shadows are offset in device
// space with y up, whatever the current transform.
//
// A context is used by one thread at a time.
class GraphicsContext {
public:
    // A transparent bitmap of width x height pixels; nullptr when the size is
    // not positive or too large.
    static std::unique_ptr<GraphicsContext> makeBitmap(int width, int height);
    // A one-page PDF whose media box is (0, 0, size) in points; nullptr when
    // the size is not positive and finite.
    static std::unique_ptr<GraphicsContext> makePDF(Size mediaBoxSize);

    ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    bool isPDF() const { return pdf_; }
    // Samples per device unit of a raster that a PDF receives over an area
    // of width x height points: `finest`, or fewer where that would pass
    // 2^22 samples or 16384 a side (a huge page's rasters get coarser, not
    // larger); `finest` for an empty or unbounded area.
    static double pdfRasterScale(double width, double height, double finest);
    // Device size: pixels for a bitmap, points for a PDF.
    Size deviceSize() const { return deviceSize_; }

    // A copy of the bitmap drawn so far; nullptr for a PDF context.
    ImagePtr makeImage();
    // The bitmap itself, without a copy; the context draws nothing afterwards.
    // nullptr for a PDF context or when already taken.
    ImagePtr takeImage();
    // Ends the page and the document and returns its bytes. Nothing is drawn
    // afterwards. Empty when the context is not a PDF context, was already
    // finished, or Cairo reported an error. The document carries no date.
    std::optional<std::vector<std::uint8_t>> finishPDF();

    // Graphics state: transform, clip, fill colour, shadow, antialiasing,
    // interpolation quality, blend mode, alpha.
    void saveGState();
    // Does nothing without a matching save (or across a transparency layer).
    void restoreGState();

    void translateBy(double tx, double ty);
    void scaleBy(double sx, double sy);
    void rotateBy(double radians);
    void concatCTM(const AffineTransform& t);
    // The user-to-device transform (device space y up, origin bottom-left).
    AffineTransform ctm() const { return state_.ctm; }

    void setFillColor(const Color& color) { state_.fill = color; }
    Color fillColor() const { return state_.fill; }
    void setShouldAntialias(bool on) { state_.antialias = on; }
    void setInterpolationQuality(InterpolationQuality q) { state_.interpolation = q; }
    void setBlendMode(BlendMode mode) { state_.blend = mode; }
    // Global alpha for everything drawn, 0...1.
    void setAlpha(double alpha);

    // Every fill or transparency layer made while a shadow is set casts it.
    // The blur is clamped to 0...4096 and the offset to +-1e7 device units;
    // a PDF's shadow raster is at most 2^22 samples (see pdfRasterScale).
    void setShadow(Size offset, double blur, const Color& color);
    void setShadow(Size offset, double blur); // black at one third alpha, as the platform does
    void clearShadow() { state_.shadow = ShadowState{}; }
    const ShadowState& shadow() const { return state_.shadow; }

    void fillPath(const Path& path, FillRule rule = FillRule::nonZero);

    // A coverage fill for figures handed over in the space that `toUser`
    // maps to user space, all within `userBounds`: see CoverageFill for what
    // the figures must keep to. nullptr where the context cannot take one (a
    // PDF, antialiasing off, a shadow set under a fill colour that is not
    // opaque, a transform that cannot be inverted, a raster beyond the
    // coverage limit; for overlapping figures also a clip that cuts pixels,
    // which Cairo applies exactly to a path): the caller fills a path. A
    // shadow set is cast by the figures, from the same raster.
    std::unique_ptr<CoverageFill> makeCoverageFill(
        const AffineTransform& toUser, const Rect& userBounds,
        Figures figures = Figures::apart) const;
    // Paints the fill colour through the coverage of the figures handed to
    // `fill` (nothing when one of their points was not finite), after the
    // shadow set (if any) cast by the same coverage, and answers true; or
    // answers false, with nothing drawn, for figures of so few
    // elements that fillPath would hand them to Cairo, or overlapping ones
    // that meet too often to be united: the caller fills their path, so that
    // both ways give the same pixels.
    bool fillCoverage(CoverageFill& fill);
    // Whether fillPath would sum the coverage of `path`'s figures (under the
    // current transform) as they stand: none overlaps another by more than
    // the summed fill allows. A caller about to hand a coverage fill many
    // copies of the same few figures checks a sample of them here.
    bool figuresApart(const Path& path) const;
    void fillRect(const Rect& rect);
    void fillEllipse(const Rect& rect);

    // Intersects the clip with the path.
    void clip(const Path& path, FillRule rule = FillRule::nonZero);
    void clipToRect(const Rect& rect);
    // The clip's bounds in user space.
    Rect clipBoundingBox() const;

    // Gradients paint the whole clip, padding with the end colours before the
    // start and after the end. One whose points or circles lie farther out
    // than Cairo's coordinates reach (and a PDF's numbers) is drawn as the
    // same ramp over the part that shows: a far circle as the ramp along the
    // direction from its centre, which is what it shows when the ramp is
    // padded there (exact), or nearly so when the circle is huge.
    void drawLinearGradient(const Gradient& gradient, Point start, Point end);
    void drawRadialGradient(const Gradient& gradient, Point startCenter, double startRadius, Point endCenter,
                            double endRadius);

    // Draws the image stretched into the rectangle, its first row at the
    // rectangle's maxY: upright in a y-up space (a flipped space shows it
    // upside down unless the caller flips back). Edges stay sharp. An image
    // placed farther out than Cairo's coordinates reach (and a PDF's
    // numbers) is drawn as the part of it that shows, sampled into a raster
    // on the device (a PDF's as fine as its shadows).
    void drawImage(const ImagePtr& image, const Rect& rect);
    void drawImage(const Image& image, const Rect& rect);
    // The same, seen only within `clipPath` (non-zero rule), as after
    // clip(clipPath); the clip itself is left as it was. On a bitmap an
    // outline of many elements (or whose curves take many chords) is
    // flattened here and turned into a mask of its own rather than Cairo's
    // clip, whose cost grows with the product of the outline's size and what
    // it covers and whose flattening of far-reaching curves has no bound.
    // An outline that canClipTo refuses shows nothing of the image. In a
    // PDF, an outline reaching beyond Cairo's coordinates clips as its
    // flattened polygons cut to the page.
    void drawImage(const ImagePtr& image, const Rect& rect, const Path& clipPath);
    // Whether drawImage within `outline` stays within its budget under the
    // current transform and clip: the outline's curves flattened at the size
    // they are drawn, and the crossings of its edges with the pixel rows.
    bool canClipTo(const Path& outline) const;

    // Everything drawn up to the matching end is composited as one picture,
    // with the shadow and alpha in effect at the begin.
    void beginTransparencyLayer();
    void endTransparencyLayer();

    // Says that a large shadow of an outline along the axes is coming: on a
    // large bitmap the threads that draw it start now, so that they are
    // ready by then.
    void expectLargeShadows();

private:
    struct State {
        AffineTransform ctm;
        Color fill = Color::gray(0, 1);
        ShadowState shadow;
        bool antialias = true;
        InterpolationQuality interpolation = InterpolationQuality::defaultQuality;
        BlendMode blend = BlendMode::normal;
        double alpha = 1;
    };
    struct Layer {
        std::size_t depth = 0; // size of stack_ after the layer's own save
        ShadowState shadow;
        double alpha = 1;
    };

    GraphicsContext() = default;
    bool usable() const;
    // Loads the user-to-device transform into Cairo; false when it cannot be
    // inverted (nothing can be drawn through it).
    bool applyMatrix(cairo_t* cr) const;
    void applyDrawingState() const;
    void appendPath(cairo_t* cr, const Path& path) const;
    // Fills a path along the axes through the rectilinear raster's mask,
    // which gives Cairo's pixels; false (nothing drawn) when it does not
    // qualify.
    // `bounds`: the path's device bounds.
    bool fillRectilinear(const Path& path, const Rect& bounds);
    // Fills a path of many elements through an area-coverage mask on a
    // bitmap; false (nothing drawn) when the fill does not qualify.
    bool fillByCoverage(const Path& path);
    // A shadow's mask (the whole A8 surface behind `mc`) from the summed or
    // united coverage of `path` under `toMask`, for paths of many elements;
    // false (the mask left empty) when neither takes the path.
    bool maskByAreas(cairo_t* mc, const Path& path, const AffineTransform& toMask) const;
    // Whether fillByCoverage refuses the path from its first figures alone.
    bool coverageProbeRefuses(const Path& path) const;
    // Fills a path of many elements whose figures overlap through the union
    // raster's mask; false (nothing drawn) when it does not qualify.
    bool fillByUnion(const Path& path, const Rect& bounds);
    // `outline` flattened in device space and cut to the clip's extents;
    // false when that passes the budget canClipTo tells of.
    bool boundedOutline(const Path& outline, detail::FlatOutline& flat) const;
    // drawImage within a flattened outline through a mask: Cairo fills it
    // (its own pixels), or where its edges cross too many sample lines for
    // that, a scan on fewer lines a row.
    void drawImageByCoverage(const ImagePtr& image, const Rect& rect, detail::FlatOutline& outline);
    // Draws the image through `mask` (A8, its first pixel at device pixel
    // (maskX, maskY)) or, without one, within the current clip.
    void paintImage(const ImagePtr& image, const Rect& rect, cairo_surface_t* mask, int maskX, int maskY);
    // paintImage for an image whose pixels go to device space by
    // `imageToDevice` (Cairo's device, y down) reaching too far for Cairo:
    // what shows is sampled into rasters on the device, in bands.
    void paintFarImage(const Image& image, const AffineTransform& imageToDevice, cairo_surface_t* mask, int maskX,
                       int maskY);
    // Paints `pattern` (in user space) over the clip.
    void paintGradient(cairo_pattern_t* pattern);
    // Paints the ramp t(p) = t0 + (p - origin) . direction / length (user
    // space, `direction` a unit vector) through `gradient`'s stops over the
    // part of the clip that shows, with geometry near it.
    void paintFarRamp(const Gradient& gradient, Point origin, Point direction, double t0, double length);
    // Paints the fill colour through an A8 mask whose first pixel is at
    // device pixel (x, y).
    void paintMask(cairo_surface_t* mask, int x, int y);
    // Whether a coverage fill can cast the shadow set (if any) from its own
    // coverage.
    bool shadowFromCoverage() const;
    void setSource(const Color& c) const;
    // Device (Cairo, y down) bounds of the current clip.
    bool deviceClipExtents(double& x0, double& y0, double& x1, double& y1) const;
    // Whole device pixels, (x, y) the first.
    struct PixelArea {
        int x = 0, y = 0, width = 0, height = 0;
        bool empty() const { return width <= 0 || height <= 0; }
    };
    // The whole pixels where the device box (x0, y0)...(x1, y1) meets the
    // clip (grown by `grow` each way), for a coverage mask: empty where they
    // do not meet, nullopt where the area holds more pixels than a coverage
    // mask may.
    std::optional<PixelArea> coverageArea(double x0, double y0, double x1, double y1, double grow = 0) const;
    // A fill along the axes to be drawn band by band with its shadow.
    struct FillInBands;
    // Paints the shadow of whatever `drawCoverage(maskContext, deviceToMask)`
    // draws; the mask context starts in this context's user space. The
    // bounds (Cairo device space) limit where the shape can be. With
    // `withFill` (the path drawCoverage fills opaquely), a large shadow may
    // be drawn together with that fill, which is then marked done.
    // True unless drawCoverage (answering whether it drew) refused: then
    // nothing is drawn.
    template <class F>
    bool paintShadow(const ShadowState& shadow, double alpha, double bx0, double by0, double bx1, double by1,
                     F&& drawCoverage, FillInBands* withFill = nullptr);
    // What a fill of `path` needs to be drawn with its shadow in bands: the
    // fill the rectilinear raster would draw, composited without Cairo;
    // false when it does not qualify.
    bool prepareFillInBands(const Path& path, FillInBands& fill);
    // Draws the shadow of fill's path (its mask of width x height pixels
    // under `userToMask`, the mask's first sample at device pixel (dx, dy),
    // composited within x0, y0 ... x1, y1 in `colour`) and then the fill, in
    // bands of rows shared out among the crew; false, with nothing drawn,
    // when it does not qualify.
    bool shadowAndFillInBands(FillInBands& fill, const AffineTransform& userToMask, int width, int height, double sigma,
                              int dx, int dy, int x0, int y0, int x1, int y1, std::uint32_t colour);
    // The clip within x0, y0 ... x1, y1 as whole-pixel areas; false when it
    // is not made of whole pixels.
    bool clipAreas(int x0, int y0, int x1, int y1, std::vector<PixelArea>& areas);
    // Whether masks may be composited into the bitmap here without Cairo: a
    // bitmap's own surface, no transparency layer, the normal blend mode.
    bool compositesDirectly() const;
    // Whether the bitmap is large enough for a shadow drawn in bands to
    // gain from its threads.
    bool bandsPay() const;
    // Composites `rows` rows of an 8-bit mask, the first at device pixel
    // (dx, dy), in `colour` over the bitmap within `areas`, as Cairo would.
    void compositeRows(const std::vector<PixelArea>& areas, const std::uint8_t* mask, int width, int rows, int stride,
                       int dx, int dy, std::uint32_t colour);
    // Composites a bitmap shadow's blurred mask (its first sample at device
    // pixel (dx, dy)) in `colour` over the pixels of the whole-pixel area
    // (x0, y0)...(x1, y1), as Cairo would; false, with nothing drawn, where
    // Cairo must do it (a clip that is not made of whole pixels, or not
    // compositesDirectly).
    bool compositeShadowMask(const std::uint8_t* mask, int width, int height, int stride, int dx, int dy, int x0,
                             int y0, int x1, int y1, std::uint32_t colour);

    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    bool pdf_ = false;
    bool finished_ = false;
    Size deviceSize_;
    AffineTransform base_; // y-up user space to Cairo's y-down device space
    Image bitmap_;
    std::vector<std::uint8_t> pdfBytes_;
    State state_;
    std::vector<State> stack_;
    std::vector<Layer> layers_;
    // Threads for the large shadows of a bitmap, started at the first and
    // kept until the context ends (a code's fills may each cast one).
    std::unique_ptr<detail::Crew> crew_;
};

} // namespace gfx
