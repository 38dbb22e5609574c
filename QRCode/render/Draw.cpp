#include "QRCode/design/Design.h"
#include "QRCode/core/detail/DrawingHelpers.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/fills/detail/FillShadows.h"
#include "QRCode/design/LogoTemplate.h"
#include "QRCode/render/detail/PathComposition.h"
#include "QRCode/generators/detail/PixelShapeLink.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/QRCode.h"
#include "QRCode/QRCodeError.h"
#include "image-read-write/ImageEncoding.h"
#include "platform/foundation/Diagnostics.h"
#include "platform/gfx/Coverage.h"
#include "platform/gfx/GraphicsContext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace QRCode {

namespace {

// Layout of one drawing, derived from the rectangle and the design.
struct Layout {
    double m = 0; // module size
    double q = 0; // extra quiet-zone width
    gfx::Rect R;  // the rectangle less the quiet zone
    double p = 0; // pixel size handed to the fills
};

class LayerPainter {
public:
    LayerPainter(gfx::GraphicsContext& ctx, const BoolMatrix& matrix, const Layout& layout,
                 const LogoTemplate* logoTemplate)
        : ctx_(ctx), matrix_(matrix), layout_(layout), logo_(logoTemplate) {}

    gfx::Path path(Components components, const Shape& shape, bool extend, bool mirror) const {
        return rendering::composePath(matrix_, layout_.R.size, components, shape, logo_, layout_.q, extend, mirror,
                                      /*mergeSquares*/ true);
    }

    void fill(const QRCodeFillStyleGenerator& style, const gfx::Path& path, const Shadow* shadow) const {
        usingGState(ctx_, [&](gfx::GraphicsContext& ctx) { style.fill(ctx, layout_.R, path, layout_.p, shadow); });
    }

    // Fills a pixel layer: straight from the modules' outlines where that
    // gives the path's pixels (a solid fill without a shadow on a bitmap, a
    // shape whose outlines stay in their modules), otherwise through the
    // layer's path.
    void fillPixels(const QRCodeFillStyleGenerator& style, Components component, rendering::PixelLayer layer,
                    const Shape& shape, QRCodePixelShapeGenerator* generator, bool extend, const Shadow* shadow) const {
        if (!fillStreamed(style, layer, generator, extend, shadow)) {
            fill(style, path(component, shape, extend, true), shadow);
        }
    }

    void fillColor(const gfx::Color& color, const gfx::Path& path) const {
        usingGState(ctx_, [&](gfx::GraphicsContext& ctx) {
            ctx.setFillColor(color);
            ctx.fillPath(path, gfx::FillRule::nonZero);
        });
    }

private:
    bool fillStreamed(const QRCodeFillStyleGenerator& style, rendering::PixelLayer layer,
                      QRCodePixelShapeGenerator* generator, bool extend, const Shadow* shadow) const {
        const auto* solid = dynamic_cast<const FillStyle::Solid*>(&style);
        // A drop shadow is cast from the fill's own coverage; an inner one
        // is drawn through the path.
        if (solid == nullptr || (shadow != nullptr && shadow->type != ShadowType::dropShadow) || generator == nullptr ||
            rendering::isPlainSquare(*generator)) {
            return false;
        }
        // Figures that reach past their cells are summed only where a few
        // neighbouring modules show they cannot overlap; figures that may
        // overlap are united, when the shape hands them over module by
        // module (otherwise its path is built anyway, and filled).
        const bool inModules = generator->outlinesStayInModules();
        std::optional<double> overhang =
            inModules ? std::optional<double>(generator->outlinesReach()) : generator->alikeModulesOverhang();
        if (overhang && !(*overhang <= kMaxStreamedOverhang)) overhang.reset();
        if (!overhang && !generator->outlinesByModule()) return false;
        bool drawn = false;
        usingGState(ctx_, [&](gfx::GraphicsContext& ctx) {
            ctx.setFillColor(solid->color());
            if (shadow != nullptr) {
                ctx.setShadow(FillStyle::detail::shadowOffset(*shadow, layout_.p), shadow->blur, shadow->color);
            }
            // The layer's path lies in user space moved by the quiet zone.
            const gfx::Size size = layout_.R.size;
            const double side = std::min(size.width, size.height);
            const double cell = side / static_cast<double>(matrix_.dimension());
            const gfx::AffineTransform toUser = gfx::AffineTransform::translation(layout_.q, layout_.q);
            std::unique_ptr<gfx::CoverageFill> coverage;
            if (overhang && (inModules || neighboursApart(ctx, *generator, *overhang, cell))) {
                const double reach = *overhang * cell;
                coverage = ctx.makeCoverageFill(toUser, gfx::Rect(layout_.q - reach, layout_.q - reach,
                                                                  size.width + 2 * reach, size.height + 2 * reach));
            } else if (generator->outlinesByModule() && !loneFigureAlongAxes(*generator)) {
                // How far such figures reach is not known: all that shows.
                coverage = ctx.makeCoverageFill(toUser, ctx.clipBoundingBox(), gfx::Figures::overlapping);
            }
            if (!coverage) return;
            generator->generateOutlines(rendering::layerModules(matrix_, layer, logo_, side, extend), size, *coverage);
            drawn = ctx.fillCoverage(*coverage);
        });
        return drawn;
    }

    // Whether the figures of modules all on, as many as every figure can
    // reach, overlap none of their neighbours where the context would sum
    // them: then no two modules of a code overlap either, as every pair of
    // them draws the same figures as a pair in this patch.
    static bool neighboursApart(gfx::GraphicsContext& ctx, QRCodePixelShapeGenerator& generator, double overhang,
                                double cell) {
        // Figures k cells apart can meet while k < 1 + 2 * overhang; the
        // patch holds every such offset from a module of either parity.
        const int k = std::max(1, static_cast<int>(std::ceil(2 * overhang)));
        const int n = 2 * k + 1;
        const BoolMatrix patch(n, std::vector<bool>(static_cast<std::size_t>(n * n), true));
        return ctx.figuresApart(generator.generatePath(patch, gfx::Size{n * cell, n * cell}));
    }

    // Whether a lone module's figures run along the axes (squares, grown or
    // inset): overlapping, they abut along whole sides, too often for the
    // union, and the path's fill along the axes is exact and faster.
    static bool loneFigureAlongAxes(QRCodePixelShapeGenerator& generator) {
        const BoolMatrix lone(1, std::vector<bool>{true});
        const gfx::Path path = generator.generatePath(lone, gfx::Size{10, 10});
        gfx::Point last{}, start{};
        for (const auto& e : path.elements()) {
            switch (e.type) {
            case gfx::Path::ElementType::moveToPoint: last = start = e.points[0]; break;
            case gfx::Path::ElementType::addLineToPoint:
                if (e.points[0].x != last.x && e.points[0].y != last.y) return false;
                last = e.points[0];
                break;
            case gfx::Path::ElementType::closeSubpath:
                if (start.x != last.x && start.y != last.y) return false;
                last = start;
                break;
            default: return false;
            }
        }
        return true;
    }

    // Figures that reach farther than this past their cells are filled
    // through the layer's path.
    static constexpr double kMaxStreamedOverhang = 1;

    gfx::GraphicsContext& ctx_;
    const BoolMatrix& matrix_;
    const Layout& layout_;
    const LogoTemplate* logo_;
};

// Calls draw(context, outline) in the logo's space: the template's unit
// path is drawn with y up inside the unit square and the context is flipped
// once more, so the image comes out upright.
template <class Draw>
void inLogoSpace(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const Layout& layout, const LogoTemplate& logo,
                 Draw&& draw) {
    const double W = rect.width(), H = rect.height();
    const double s = std::min(layout.R.width(), layout.R.height());
    const gfx::Path logoPath = logo.path().transformed(gfx::AffineTransform::scale(1, -1)
                                                           .then(gfx::AffineTransform::translation(0, 1))
                                                           .then(gfx::AffineTransform::scale(s, s)));
    usingGState(ctx, [&](gfx::GraphicsContext& c) {
        c.scaleBy(1, -1);
        c.translateBy((W - s) / 2, (H - s) / 2 - H);
        draw(c, logoPath);
    });
}

void drawLogo(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const Layout& layout, const LogoTemplate& logo) {
    inLogoSpace(ctx, rect, layout, logo, [&](gfx::GraphicsContext& c, const gfx::Path& logoPath) {
        const gfx::Rect box = logoPath.pathBoundingBox().insetBy(logo.inset(), logo.inset());
        if (!box.isNull() && logo.image()) c.drawImage(logo.image(), box, logoPath);
    });
}

// Whether the logo's outline can be drawn at this size within the work a
// clip may take. One that cannot is left out with its masking, as a logo
// that cannot be read is: the code still scans.
bool logoDrawable(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const Layout& layout, const LogoTemplate& logo) {
    bool drawable = true;
    inLogoSpace(ctx, rect, layout, logo,
                [&](gfx::GraphicsContext& c, const gfx::Path& logoPath) { drawable = c.canClipTo(logoPath); });
    if (!drawable)
        foundation::diagnostic("Logo mask too complex to draw at this size; drawing the code without the logo");
    return drawable;
}

void requireFinite(double v) {
    if (!std::isfinite(v)) throw QRCodeException(QRCodeError::cannotGenerateImage);
}

std::optional<double> compressionValue(double compression) {
    if (compression == std::numeric_limits<double>::infinity()) return std::nullopt;
    return compression;
}

} // namespace

void QRCode::draw(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const Design& design,
                  const LogoTemplate* logoTemplate) const {
    const Shape& shape = *design.shape();
    const Style& style = *design.style();
    const BoolMatrix& matrix = current_;
    const double n = static_cast<double>(matrix.dimension());

    const double W = rect.width(), H = rect.height();
    const double sz = std::min(W, H);
    const double a = static_cast<double>(design.additionalQuietZonePixels());
    Layout layout;
    layout.m = sz / (n + 2 * a);
    layout.q = a * layout.m;
    if (!(sz > 2 * layout.q) || !std::isfinite(layout.m)) {
        foundation::diagnostic("additionalQuietSpace too large");
        return;
    }
    layout.R = rect.insetBy(layout.q, layout.q);
    layout.p = layout.R.width() / n;
    linkBorrowedPixelShape(shape);
    // Square modules with a shadow are drawn as one outline whose large
    // shadow the context shares out among threads: they start now, while
    // the background, the eyes and the outline are drawn.
    if (style.shadow() && style.onPixels() && shape.onPixels() && !shape.negatedOnPixelsOnly() &&
        rendering::isPlainSquare(*shape.onPixels())) {
        ctx.expectLargeShadows();
    }

    // Background, clipped to rounded corners when asked. The radius is held
    // to half the smaller side, past which the corners would overlap.
    {
        const QRCodeFillStyleGenerator& background =
            style.background() ? *style.background()
                               : static_cast<const QRCodeFillStyleGenerator&>(*FillStyle::clear());
        usingGState(ctx, [&](gfx::GraphicsContext& c) {
            if (style.backgroundFractionalCornerRadius() > 0) {
                double radius = style.backgroundFractionalCornerRadius() * layout.m;
                radius = std::min(radius, sz / 2);
                gfx::Path clip;
                clip.addRoundedRect(rect, radius, radius);
                c.clip(clip, gfx::FillRule::nonZero);
            }
            background.fill(c, rect);
        });
    }

    if (logoTemplate != nullptr && !logoDrawable(ctx, rect, layout, *logoTemplate)) logoTemplate = nullptr;
    const LayerPainter painter(ctx, matrix, layout, logoTemplate);
    // Plain squares for on-pixels, the square eye and its default pupil;
    // made per drawing, as generators keep state while they draw.
    const Shape squareShape;
    const Shadow* shadow = style.shadow() ? &*style.shadow() : nullptr;
    const bool extend = shape.extendOffPixelsIntoEmptyQRCodeComponents();
    const bool mirror = shape.mirrorEyePathsAroundQRCodeCenter();

    if (shape.negatedOnPixelsOnly()) {
        if (style.onPixelsBackground()) {
            painter.fillColor(*style.onPixelsBackground(),
                              painter.path(Components::negatedOnPixels(), squareShape, false, true));
        }
        if (style.offPixels() && shape.offPixels()) {
            painter.fill(*style.offPixels(), painter.path(Components::standard(), squareShape, extend, true), shadow);
        }
        if (style.onPixels()) {
            painter.fillPixels(*style.onPixels(), Components::negatedOnPixels(), rendering::PixelLayer::negatedOn,
                               shape, shape.onPixels().get(), false, shadow);
        }
    } else {
        if (style.eyeBackground()) {
            painter.fillColor(*style.eyeBackground(), painter.path(Components::eyeBackground(), shape, false, mirror));
        }
        if (const auto& eyeStyle = style.actualEyeStyle()) {
            painter.fill(*eyeStyle, painter.path(Components::eyeOuter(), shape, false, mirror), shadow);
        }
        if (const auto& pupilStyle = style.actualPupilStyle()) {
            painter.fill(*pupilStyle, painter.path(Components::eyePupil(), shape, false, mirror), shadow);
        }
        if (style.offPixels() && shape.offPixels() && style.offPixelsBackground()) {
            Shape backgroundShape;
            backgroundShape.setOffPixels(PixelShape::Square::Create());
            backgroundShape.setExtendOffPixelsIntoEmptyQRCodeComponents(extend);
            const auto solid = FillStyle::Solid::make(*style.offPixelsBackground());
            painter.fill(*solid, painter.path(Components::offPixelsBackground(), backgroundShape, extend, true),
                         nullptr);
        }
        if (style.offPixels() && shape.offPixels()) {
            painter.fillPixels(*style.offPixels(), Components::offPixels(), rendering::PixelLayer::off, shape,
                               shape.offPixels().get(), extend, nullptr);
        }
        if (style.onPixelsBackground()) {
            const auto solid = FillStyle::Solid::make(*style.onPixelsBackground());
            painter.fill(*solid, painter.path(Components::onPixels(), squareShape, false, true), shadow);
        }
        if (style.onPixels()) {
            painter.fillPixels(*style.onPixels(), Components::onPixels(), rendering::PixelLayer::on, shape,
                               shape.onPixels().get(), false, shadow);
        }
    }

    if (logoTemplate != nullptr) drawLogo(ctx, rect, layout, *logoTemplate);
}

gfx::ImagePtr QRCode::cgImage(gfx::Size size, const Design& design, const LogoTemplate* logoTemplate) const {
    const double width = size.width, height = size.height;
    // Whole pixels, truncated; anything not finite, below one pixel or beyond
    // what a bitmap holds is refused before any conversion.
    if (!(width >= 1) || !(height >= 1) || !std::isfinite(width) || !std::isfinite(height) ||
        std::trunc(width) * std::trunc(height) > static_cast<double>(gfx::Image::kMaxPixels)) {
        throw QRCodeException(QRCodeError::cannotGenerateImage);
    }
    auto ctx = gfx::GraphicsContext::makeBitmap(static_cast<int>(width), static_cast<int>(height));
    if (!ctx) throw QRCodeException(QRCodeError::cannotGenerateImage);
    ctx->scaleBy(1, -1);
    ctx->translateBy(0, -height);
    draw(*ctx, gfx::Rect(0, 0, width, height), design, logoTemplate);
    gfx::ImagePtr image = ctx->takeImage();
    if (!image) throw QRCodeException(QRCodeError::cannotGenerateImage);
    return image;
}

gfx::ImagePtr QRCode::cgImage(std::int64_t dimension, const Design& design, const LogoTemplate* logoTemplate) const {
    const auto d = static_cast<double>(dimension);
    return cgImage(gfx::Size{d, d}, design, logoTemplate);
}

std::vector<std::uint8_t> QRCode::pdfData(gfx::Size size, double pdfResolution, const Design& design,
                                          const LogoTemplate* logoTemplate) const {
    if (!(pdfResolution > 0) || !std::isfinite(pdfResolution)) {
        throw QRCodeException(QRCodeError::cannotGenerateImage);
    }
    const double factor = 72.0 / pdfResolution;
    const gfx::Size page{size.width * factor, size.height * factor};
    if (!(page.width > 0) || !(page.height > 0) || !(page.width <= kMaxPDFPageSide) ||
        !(page.height <= kMaxPDFPageSide)) {
        throw QRCodeException(QRCodeError::cannotGenerateImage);
    }
    auto ctx = gfx::GraphicsContext::makePDF(page);
    if (!ctx) throw QRCodeException(QRCodeError::cannotGenerateImage);
    ctx->concatCTM(gfx::AffineTransform{1, 0, 0, -1, 0, page.height});
    draw(*ctx, gfx::Rect(gfx::Point{0, 0}, page), design, logoTemplate);
    auto bytes = ctx->finishPDF();
    if (!bytes) throw QRCodeException(QRCodeError::cannotGenerateImage);
    return std::move(*bytes);
}

std::vector<std::uint8_t> QRCode::pdfData(std::int64_t dimension, double pdfResolution, const Design& design,
                                          const LogoTemplate* logoTemplate) const {
    const auto d = static_cast<double>(dimension);
    return pdfData(gfx::Size{d, d}, pdfResolution, design, logoTemplate);
}

std::vector<std::uint8_t> QRCode::pngData(gfx::Size size, double dpi, const Design& design,
                                          const LogoTemplate* logoTemplate) const {
    requireFinite(dpi);
    const gfx::ImagePtr image = cgImage(size, design, logoTemplate);
    return ImageReadWrite::imageData(*image, ImageExportType::png(dpi / 72.0, false));
}

std::vector<std::uint8_t> QRCode::pngData(std::int64_t dimension, double dpi, const Design& design,
                                          const LogoTemplate* logoTemplate) const {
    const auto d = static_cast<double>(dimension);
    return pngData(gfx::Size{d, d}, dpi, design, logoTemplate);
}

std::vector<std::uint8_t> QRCode::jpegData(gfx::Size size, double dpi, const Design& design,
                                           const LogoTemplate* logoTemplate, double compression) const {
    requireFinite(dpi);
    const gfx::ImagePtr image = cgImage(size, design, logoTemplate);
    return ImageReadWrite::imageData(*image, ImageExportType::jpg(dpi / 72.0, compressionValue(compression), false));
}

std::vector<std::uint8_t> QRCode::jpegData(std::int64_t dimension, double dpi, const Design& design,
                                           const LogoTemplate* logoTemplate, double compression) const {
    const auto d = static_cast<double>(dimension);
    return jpegData(gfx::Size{d, d}, dpi, design, logoTemplate, compression);
}

std::vector<std::uint8_t> QRCode::tiffData(gfx::Size size, double dpi, const Design& design,
                                           const LogoTemplate* logoTemplate, double compression) const {
    requireFinite(dpi);
    const gfx::ImagePtr image = cgImage(size, design, logoTemplate);
    return ImageReadWrite::imageData(*image, ImageExportType::tiff(dpi / 72.0, compressionValue(compression), false));
}

std::vector<std::uint8_t> QRCode::tiffData(std::int64_t dimension, double dpi, const Design& design,
                                           const LogoTemplate* logoTemplate, double compression) const {
    const auto d = static_cast<double>(dimension);
    return tiffData(gfx::Size{d, d}, dpi, design, logoTemplate, compression);
}

} // namespace QRCode
