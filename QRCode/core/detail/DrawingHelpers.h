#pragma once

#include "platform/gfx/GraphicsContext.h"

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>

namespace QRCode {

// Small drawing and outline helpers shared by the logo template and the
// shape families.

// Runs `body(ctx)` between a save and a restore of the graphics state; the
// state is restored also when `body` throws, and the exception passes on.
template <class F> decltype(auto) usingGState(gfx::GraphicsContext& ctx, F&& body) {
    struct Restore {
        gfx::GraphicsContext& ctx;
        ~Restore() { ctx.restoreGState(); }
    };
    ctx.saveGState();
    Restore restore{ctx};
    return std::forward<F>(body)(ctx);
}

// Runs `body(ctx)` inside a transparency layer, which is ended also when
// `body` throws.
template <class F> decltype(auto) usingTransparencyLayer(gfx::GraphicsContext& ctx, F&& body) {
    struct End {
        gfx::GraphicsContext& ctx;
        ~End() { ctx.endTransparencyLayer(); }
    };
    ctx.beginTransparencyLayer();
    End end{ctx};
    return std::forward<F>(body)(ctx);
}

// Paints the shadow that the path's edge casts inside the path: everything
// outside the path is filled with a shadow while clipped to the path, so
// only the shadow shows. Nothing without a colour. Leaves the state as it was.
void drawInnerShadow(gfx::GraphicsContext& ctx, const gfx::Path& path, const std::optional<gfx::Color>& color,
                     gfx::Size offset, double blur);

// A new sRGB bitmap of size (truncated to whole pixels), first filled with
// `fill` when given, then drawn by `draw(ctx, size)` when given (each inside
// its own save and restore). nullptr when no bitmap of that size can be
// made (a zero, negative, non-finite or too large size).
gfx::ImagePtr makeSRGBBitmapImage(const std::optional<gfx::Color>& fill, gfx::Size size,
                                  const std::function<void(gfx::GraphicsContext&, gfx::Size)>& draw = {});

// Draws the image stretched into a rectangle of `imageSize` centred on a
// canvas of `canvasSize`.
void drawCenteredImage(gfx::GraphicsContext& ctx, gfx::Size canvasSize, const gfx::ImagePtr& image,
                       gfx::Size imageSize);

// A rectangle whose flagged corners are rounded by one cubic each (from the
// sharp corner toward the end point, not a circular arc). Flags: 1 for
// (minX, minY), 2 for (maxX, minY), 4 for (maxX, maxY), 8 for (minX, maxY);
// other bits are ignored.
gfx::Path PathFromRectCorners(std::int64_t cornerFlags, const gfx::Rect& rect, double radius);

// The hexagonal leaf outline of a rectangle: the corners (maxX, minY) and
// (minX, maxY) cut off diagonally; its vertices rounded by `radius` when
// `rounded` is true. The outline ends on its first point without a close.
gfx::Path RectPathBuilder(bool rounded, const gfx::Rect& rect, double radius);

inline gfx::Size squareSize(std::integral auto n) { return {double(n), double(n)}; }
inline gfx::Size squareSize(double d) { return {d, d}; }

template <std::integral T> constexpr bool isEven(T v) { return v % 2 == 0; }
template <std::integral T> constexpr bool isOdd(T v) { return !isEven(v); }

} // namespace QRCode
