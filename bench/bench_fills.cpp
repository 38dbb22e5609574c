// Fill styles painting the modules of a version-10 sized symbol into a
// 1024 x 1024 bitmap, with and without shadows.
#include "QRCode/fills/GradientFills.h"
#include "QRCode/fills/ImageFill.h"
#include "QRCode/fills/Solid.h"

#include <benchmark/benchmark.h>

using QRCode::QRCodeFillStylePtr;
using QRCode::ZelGradient;

namespace {

constexpr int kModules = 57;
constexpr double kSize = 1024;

gfx::Path modulePath() {
    gfx::Path p;
    const double m = kSize / kModules;
    std::uint32_t bits = 0x9E3779B9u;
    for (int y = 0; y < kModules; ++y)
        for (int x = 0; x < kModules; ++x) {
            bits = bits * 1664525u + 1013904223u;
            if (bits & 0x80000000u) p.addRect(gfx::Rect(x * m, y * m, m, m));
        }
    return p;
}

QRCodeFillStylePtr fillOf(int kind) {
    const ZelGradient ramp({{0.0, gfx::Color::sRGB(1, 0, 0)}, {1.0, gfx::Color::sRGB(0, 0, 1)}});
    switch (kind) {
    case 0: return QRCode::FillStyle::Solid::sRGB(0, 0, 0);
    case 1: return std::make_shared<QRCode::FillStyle::LinearGradient>(ramp, gfx::Point{0, 0}, gfx::Point{1, 1});
    default: {
        auto img = std::make_shared<gfx::Image>(256, 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) img->setPixel(x, y, {std::uint8_t(x), std::uint8_t(y), 128, 255});
        return std::make_shared<QRCode::FillStyle::Image>(img);
    }
    }
}

// Arguments: fill (0 solid, 1 linear gradient, 2 image), shadow (0 none,
// 1 drop, 2 inner).
void BM_FillPathWithShadow(benchmark::State& state) {
    const gfx::Path path = modulePath();
    const auto fill = fillOf(int(state.range(0)));
    const QRCode::Shadow drop;
    const QRCode::Shadow inner(QRCode::ShadowType::innerShadow, 0.2, -0.2, 4, gfx::Color::gray(0, 0.8));
    const QRCode::Shadow* shadow = state.range(1) == 1 ? &drop : state.range(1) == 2 ? &inner : nullptr;
    auto ctx = gfx::GraphicsContext::makeBitmap(int(kSize), int(kSize));
    for (auto _ : state) {
        ctx->saveGState();
        fill->fill(*ctx, gfx::Rect(0, 0, kSize, kSize), path, kSize / kModules, shadow);
        ctx->restoreGState();
    }
}
BENCHMARK(BM_FillPathWithShadow)->ArgsProduct({{0, 1, 2}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

} // namespace
