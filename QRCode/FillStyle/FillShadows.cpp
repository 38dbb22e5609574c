#include "QRCode/FillStyle/FillShadows.h"

#include <cmath>

namespace QRCode::FillStyle::detail {

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

void drawInnerShadow(gfx::GraphicsContext& ctx, const gfx::Path& path, const Shadow& shadow,
                     double expectedPixelSize) {
    const gfx::Size offset = shadowOffset(shadow, expectedPixelSize);
    ctx.saveGState();
    ctx.setShouldAntialias(true);
    ctx.clip(path, gfx::FillRule::nonZero);
    ctx.clearShadow();
    ctx.beginTransparencyLayer();
    // The outside of the path, filled with the shadow colour, would cast
    // colour x alpha x (1 - the path's own shadow) into the path: paint the
    // colour over the whole clip, then take away the path's shadow.
    const double alpha = shadow.color.alpha();
    ctx.setFillColor(shadow.color.withAlpha(alpha * alpha));
    ctx.fillRect(ctx.clipBoundingBox());
    ctx.setBlendMode(gfx::BlendMode::destinationOut);
    paintShadowOnly(ctx, path, offset, shadow.blur, gfx::Color::gray(0, 1));
    ctx.endTransparencyLayer();
    ctx.restoreGState();
}

void drawOuterShadow(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path, const Shadow& shadow,
                     double expectedPixelSize) {
    const gfx::Size offset = shadowOffset(shadow, expectedPixelSize);
    ctx.saveGState();
    ctx.clipToRect(rect);
    ctx.clearShadow();
    ctx.setBlendMode(gfx::BlendMode::normal);
    ctx.beginTransparencyLayer();
    paintShadowOnly(ctx, path, offset, shadow.blur, shadow.color);
    // Nothing of the shadow stays under the path, which the fill covers.
    ctx.setBlendMode(gfx::BlendMode::destinationOut);
    ctx.setFillColor(gfx::Color::gray(0, 1));
    ctx.fillPath(path, gfx::FillRule::nonZero);
    ctx.endTransparencyLayer();
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
