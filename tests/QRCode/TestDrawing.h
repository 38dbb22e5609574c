#pragma once

// Small pictures, paths and contexts that several suites draw with.
#include "platform/gfx/GraphicsContext.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Path.h"

#include <memory>
#include <string_view>
#include <vector>

namespace qrcodetest {

inline gfx::ImagePtr solidImage(int w, int h, gfx::Pixel colour) {
    auto image = std::make_shared<gfx::Image>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image->setPixel(x, y, colour);
    return image;
}

// A bitmap context with y running down, as the renderer draws.
inline std::unique_ptr<gfx::GraphicsContext> flippedBitmap(int w, int h) {
    auto ctx = gfx::GraphicsContext::makeBitmap(w, h);
    ctx->scaleBy(1, -1);
    ctx->translateBy(0, -h);
    return ctx;
}

inline gfx::Path rectPath(double x, double y, double w, double h) {
    gfx::Path p;
    p.addRect(gfx::Rect(x, y, w, h));
    return p;
}

inline std::vector<std::uint8_t> bytesOf(std::string_view s) { return {s.begin(), s.end()}; }

} // namespace qrcodetest
