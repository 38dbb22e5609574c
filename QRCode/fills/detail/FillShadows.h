#pragma once

#include "QRCode/design/Shadow.h"
#include "platform/gfx/GraphicsContext.h"
#include "platform/gfx/Path.h"

// Shadow passes shared by the fill styles. Both follow the path's nonzero
// coverage, so a path whose subpaths overlap (rotated or grown modules) casts
// the same shadow as the union of its parts.
namespace QRCode::FillStyle::detail {

// The shadow's offset for the context: the design offset times the pixel size.
inline gfx::Size shadowOffset(const Shadow& shadow, double expectedPixelSize) {
    return {shadow.offset.width * expectedPixelSize, shadow.offset.height * expectedPixelSize};
}

// Paints only the shadow that a nonzero fill of `path` in `fillAlpha` would
// cast with the given offset, blur and colour; the fill itself is not drawn.
void paintShadowOnly(gfx::GraphicsContext& ctx, const gfx::Path& path, gfx::Size offset, double blur,
                     const gfx::Color& color, double fillAlpha = 1.0);

// The inner shadow: the shadow that everything outside the path casts into
// it, painted inside the path only. Leaves the graphics state as it was.
void drawInnerShadow(gfx::GraphicsContext& ctx, const gfx::Path& path, const Shadow& shadow, double expectedPixelSize);

// The drop shadow of a fill drawn through a clip (gradients, images): the
// path's shadow painted inside `rect` where the path is not, with nothing
// drawn over the path itself. Leaves the graphics state as it was.
void drawOuterShadow(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path, const Shadow& shadow,
                     double expectedPixelSize);

// The shadow pass of the gradient and image fills, by the shadow's type.
void drawClippedFillShadow(gfx::GraphicsContext& ctx, const gfx::Rect& rect, const gfx::Path& path,
                           const Shadow& shadow, double expectedPixelSize);

} // namespace QRCode::FillStyle::detail
