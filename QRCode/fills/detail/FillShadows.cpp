#include "QRCode/fills/detail/FillShadows.h"

#include "platform/foundation/Diagnostics.h"

#include <algorithm>
#include <cmath>

namespace QRCode::FillStyle::detail {

namespace {

// Samples per device unit of an offscreen picture of width x height device
// units: a bitmap's pixel; for a PDF two per point, which a viewer shows
// larger, or fewer on a page so large that the picture would pass the PDF's
// raster budget (a shadow drawn there looks like a small page's scaled up).
double offscreenScale(const gfx::GraphicsContext& ctx, double width, double height) {
    return ctx.isPDF() ? gfx::GraphicsContext::pdfRasterScale(width, height, 2.0) : 1.0;
}

// Draws with `draw(offscreen, scale)` into a transparent bitmap that covers
// the current clip in device space, then paints that bitmap into `ctx`
// through the current clip. The offscreen starts in the user space of `ctx`
// (scaled by `scale` in device space, which shadow offsets and blurs must
// follow). Compositing that a PDF cannot express (erasing) thus stays in the
// bitmap, and the PDF receives one image, as it does for a shadow.
// `reach` (device space, y up) bounds what the drawing can touch.
template <class Draw> void drawThroughOffscreen(gfx::GraphicsContext& ctx, const gfx::Rect& reach, Draw&& draw) {
    const gfx::AffineTransform toDevice = ctx.ctm();
    if (!toDevice.isInvertible()) return;
    const gfx::Rect clip = ctx.clipBoundingBox();
    if (clip.isNull() || clip.isEmpty()) return;
    const gfx::Size device = ctx.deviceSize();
    const gfx::Rect area =
        toDevice.apply(clip).intersection(gfx::Rect(0, 0, device.width, device.height)).intersection(reach);
    if (area.isNull() || area.isEmpty()) return;
    const double x0 = std::floor(area.minX()), y0 = std::floor(area.minY());
    const double x1 = std::ceil(area.maxX()), y1 = std::ceil(area.maxY());
    const double scale = offscreenScale(ctx, x1 - x0, y1 - y0);
    // Whole samples that cover the area (a sample of a coarse picture may
    // reach past it, which the clip cuts).
    const double w = std::ceil((x1 - x0) * scale), h = std::ceil((y1 - y0) * scale);
    auto offscreen = gfx::GraphicsContext::makeBitmap(int(w), int(h));
    if (!offscreen) {
        foundation::diagnostic("Not enough memory for a fill's shadow; drawing it without the shadow");
        return;
    }
    offscreen->concatCTM(
        toDevice.then(gfx::AffineTransform::translation(-x0, -y0)).then(gfx::AffineTransform::scale(scale, scale)));
    draw(*offscreen, scale);
    const gfx::ImagePtr picture = offscreen->takeImage();

    ctx.saveGState();
    ctx.clearShadow();
    ctx.setBlendMode(gfx::BlendMode::normal);
    ctx.concatCTM(toDevice.inverted());
    // The picture lies on the device grid (a PDF's at up to twice its
    // resolution): smoothing would only soften its edges against the vector
    // drawing.
    ctx.setInterpolationQuality(gfx::InterpolationQuality::none);
    ctx.drawImage(picture, gfx::Rect(x0, y0, w / scale, h / scale));
    ctx.restoreGState();
}

// Device bounds of the path's shadow: the path's bounds, moved by the
// offset, grown by the blur's reach (three standard deviations of blur / 2).
gfx::Rect shadowReach(const gfx::GraphicsContext& ctx, const gfx::Path& path, gfx::Size offset, double blur) {
    const gfx::Rect bounds = ctx.ctm().apply(path.boundingBox());
    const double margin = std::ceil(1.5 * std::max(0.0, blur)) + 2.0;
    return bounds.offsetBy(offset.width, offset.height).insetBy(-margin, -margin);
}

} // namespace

void paintShadowOnly(gfx::GraphicsContext& ctx, const gfx::Path& path, gfx::Size offset, double blur,
                     const gfx::Color& color, double fillAlpha) {
    if (path.isEmpty() || !path.isFinite()) return;
    const gfx::AffineTransform toDevice = ctx.ctm();
    if (!toDevice.isInvertible()) return;
    const gfx::Rect bounds = toDevice.apply(path.boundingBox());
    // Draw the path beside the device, far enough that none of it shows, and
    // move its shadow back by the same distance. Whole device units keep the
    // shape on the same raster grid, so the shadow is the one the path would
    // cast in place.
    const double shift = std::ceil(ctx.deviceSize().width - bounds.minX()) + 1.0;
    if (!std::isfinite(shift)) return;
    const gfx::Size userShift = toDevice.inverted().apply(gfx::Size{shift, 0});
    const gfx::Path moved = path.transformed(gfx::AffineTransform::translation(userShift.width, userShift.height));

    ctx.saveGState();
    ctx.setShadow({offset.width - shift, offset.height}, blur, color);
    ctx.setFillColor(gfx::Color::gray(1, fillAlpha));
    ctx.fillPath(moved, gfx::FillRule::nonZero);
    ctx.restoreGState();
}

void drawInnerShadow(gfx::GraphicsContext& ctx, const gfx::Path& path, const Shadow& shadow, double expectedPixelSize) {
    const gfx::Size offset = shadowOffset(shadow, expectedPixelSize);
    ctx.saveGState();
    ctx.setShouldAntialias(true);
    ctx.clip(path, gfx::FillRule::nonZero);
    // Everything outside the path, filled with the shadow colour, would cast
    // colour x alpha x (1 - the path's own shadow) into the path: paint the
    // colour everywhere, take the path's shadow away, and show the result
    // through the clip.
    const gfx::Rect everywhere(-1e9, -1e9, 2e9, 2e9);
    drawThroughOffscreen(ctx, everywhere, [&](gfx::GraphicsContext& off, double scale) {
        const double alpha = shadow.color.alpha();
        off.setFillColor(shadow.color.withAlpha(alpha * alpha));
        off.fillRect(off.clipBoundingBox());
        off.setBlendMode(gfx::BlendMode::destinationOut);
        paintShadowOnly(off, path, offset * scale, shadow.blur * scale, gfx::Color::gray(0, 1));
    });
    ctx.restoreGState();
}

void drawOuterShadow(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path, const Shadow& shadow,
                     double expectedPixelSize) {
    const gfx::Size offset = shadowOffset(shadow, expectedPixelSize);
    ctx.saveGState();
    ctx.clipToRect(rect);
    drawThroughOffscreen(ctx, shadowReach(ctx, path, offset, shadow.blur),
                         [&](gfx::GraphicsContext& off, double scale) {
                             paintShadowOnly(off, path, offset * scale, shadow.blur * scale, shadow.color);
                             // Nothing of the shadow stays under the path, which the fill covers.
                             off.setBlendMode(gfx::BlendMode::destinationOut);
                             off.setFillColor(gfx::Color::gray(0, 1));
                             off.fillPath(path, gfx::FillRule::nonZero);
                         });
    ctx.restoreGState();
}

void drawClippedFillShadow(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path,
                           const Shadow& shadow, double expectedPixelSize) {
    switch (shadow.type) {
    case ShadowType::dropShadow: drawOuterShadow(ctx, rect, path, shadow, expectedPixelSize); break;
    case ShadowType::innerShadow: drawInnerShadow(ctx, path, shadow, expectedPixelSize); break;
    }
}

} // namespace QRCode::FillStyle::detail
