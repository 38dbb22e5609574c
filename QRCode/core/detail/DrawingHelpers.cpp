#include "QRCode/core/detail/DrawingHelpers.h"

#include "QRCode/fills/detail/FillShadows.h"
#include "QRCode/design/Shadow.h"

#include <cmath>

namespace QRCode {

void drawInnerShadow(gfx::GraphicsContext& ctx, const gfx::Path& path, const std::optional<gfx::Color>& color,
                     gfx::Size offset, double blur) {
    if (!color) return;
    // The fills' inner shadow follows the path's nonzero coverage, so
    // overlapping subpaths shadow like their union instead of leaving patches
    // where an even-odd trick would count the overlap as outside.
    const ::QRCode::Shadow shadow(::QRCode::ShadowType::innerShadow, offset, blur, *color);
    ::QRCode::FillStyle::detail::drawInnerShadow(ctx, path, shadow, 1.0);
}

gfx::ImagePtr makeSRGBBitmapImage(const std::optional<gfx::Color>& fill, gfx::Size size,
                                  const std::function<void(gfx::GraphicsContext&, gfx::Size)>& draw) {
    // Sizes beyond what a bitmap can hold are refused before the conversion
    // to whole pixels could overflow.
    constexpr double kLimit = 1 << 30;
    if (!(size.width >= 1 && size.width < kLimit && size.height >= 1 && size.height < kLimit)) return nullptr;
    const int w = int(std::trunc(size.width)), h = int(std::trunc(size.height));
    auto ctx = gfx::GraphicsContext::makeBitmap(w, h);
    if (!ctx) return nullptr;
    ctx->setShouldAntialias(true);
    ctx->setInterpolationQuality(gfx::InterpolationQuality::high);
    if (fill) {
        usingGState(*ctx, [&](gfx::GraphicsContext& c) {
            c.setFillColor(*fill);
            c.fillRect(gfx::Rect(0, 0, size.width, size.height));
        });
    }
    if (draw) {
        usingGState(*ctx, [&](gfx::GraphicsContext& c) { draw(c, size); });
    }
    return ctx->makeImage();
}

void drawCenteredImage(gfx::GraphicsContext& ctx, gfx::Size canvasSize, const gfx::ImagePtr& image,
                       gfx::Size imageSize) {
    ctx.drawImage(image, gfx::Rect((canvasSize.width - imageSize.width) * 0.5,
                                   (canvasSize.height - imageSize.height) * 0.5, imageSize.width, imageSize.height));
}

gfx::Path PathFromRectCorners(std::int64_t flags, const gfx::Rect& rect, double radius) {
    const double r1 = (flags & 1) ? radius : 0, r2 = (flags & 2) ? radius : 0;
    const double r4 = (flags & 4) ? radius : 0, r8 = (flags & 8) ? radius : 0;
    const double x = rect.origin.x, y = rect.origin.y;
    const double minX = rect.minX(), minY = rect.minY(), maxX = rect.maxX(), maxY = rect.maxY();
    gfx::Path p;
    p.moveTo({x + r1, y});
    if (r2 == 0) {
        p.lineTo({maxX, minY});
    } else {
        p.lineTo({maxX - r2, minY});
        p.curveTo({maxX, minY}, {maxX, minY + r2}, {maxX, minY + r2});
    }
    if (r4 == 0) {
        p.lineTo({maxX, maxY});
    } else {
        p.lineTo({maxX, maxY - r4});
        p.curveTo({maxX, maxY}, {maxX - r4, maxY}, {maxX - r4, maxY});
    }
    if (r8 == 0) {
        p.lineTo({minX, maxY});
    } else {
        p.lineTo({minX + r8, maxY});
        p.curveTo({minX, maxY}, {minX, maxY - r8}, {minX, maxY - r8});
    }
    if (r1 == 0) {
        p.lineTo({x, y});
    } else {
        p.lineTo({x, y + r1});
        p.curveTo({x, y}, {x + r1, y}, {x + r1, y});
    }
    p.closeSubpath();
    return p;
}

gfx::Path RectPathBuilder(bool rounded, const gfx::Rect& rect, double radius) {
    const double r = rounded ? radius : 0;
    const double x = rect.origin.x, y = rect.origin.y;
    const double minX = rect.minX(), minY = rect.minY(), maxX = rect.maxX(), maxY = rect.maxY();
    const double midX = rect.midX(), midY = rect.midY();
    gfx::Path p;
    if (!(r > 0)) {
        p.moveTo({x, y});
        p.lineTo({midX, minY});
        p.lineTo({maxX, midY});
        p.lineTo({maxX, maxY});
        p.lineTo({midX, maxY});
        p.lineTo({minX, midY});
        p.lineTo({x, y});
        return p;
    }
    p.moveTo({x + r, y});
    p.lineTo({midX - r, minY});
    p.curveTo({midX, minY}, {midX + r, minY + r}, {midX + r, minY + r});
    p.lineTo({maxX - r, midY - r});
    p.curveTo({maxX, midY}, {maxX, midY + r}, {maxX, midY + r});
    p.lineTo({maxX, maxY - r});
    p.curveTo({maxX, maxY}, {maxX - r, maxY}, {maxX - r, maxY});
    p.lineTo({midX + r, maxY});
    p.curveTo({midX, maxY}, {midX - r, maxY - r}, {midX - r, maxY - r});
    p.lineTo({minX + r, midY + r});
    p.curveTo({minX, midY}, {minX, midY - r}, {minX, midY - r});
    p.lineTo({x, y + r});
    p.curveTo({x, y}, {x + r, y}, {x + r, y});
    return p;
}

} // namespace QRCode
