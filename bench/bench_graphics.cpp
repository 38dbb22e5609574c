#include "platform/gfx/Blur.h"
#include "platform/gfx/GraphicsContext.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

// A layer the size of a QR code's on-pixels: a grid of small rounded squares.
gfx::Path modulePath(int modules, double size) {
    gfx::Path p;
    const double m = size / modules;
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            if ((x * 7 + y * 13) % 3 == 0) continue;
            p.addRoundedRect(gfx::Rect(x * m, y * m, m, m).insetBy(0.5, 0.5), m / 4, m / 4);
        }
    }
    return p;
}

void BM_FillLayer(benchmark::State& state) {
    const gfx::Path path = modulePath(int(state.range(0)), 1024);
    auto ctx = gfx::GraphicsContext::makeBitmap(1024, 1024);
    ctx->setFillColor(gfx::Color::sRGB(0.1, 0.2, 0.3));
    for (auto _ : state) ctx->fillPath(path);
}
BENCHMARK(BM_FillLayer)->Arg(25)->Arg(57)->Unit(benchmark::kMillisecond);

void BM_FillLayerWithShadow(benchmark::State& state) {
    const gfx::Path path = modulePath(57, 1024);
    auto ctx = gfx::GraphicsContext::makeBitmap(1024, 1024);
    ctx->setFillColor(gfx::Color::sRGB(0.1, 0.2, 0.3));
    ctx->setShadow({4, -4}, double(state.range(0)), gfx::Color::sRGB(0, 0, 0, 0.5));
    for (auto _ : state) ctx->fillPath(path);
}
BENCHMARK(BM_FillLayerWithShadow)->Arg(0)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);

void BM_InnerShadowOfHugeRectangle(benchmark::State& state) {
    gfx::Path shape;
    shape.addEllipse(gfx::Rect(100, 100, 824, 824));
    gfx::Path outside;
    outside.addRect(gfx::Rect(-100000, -100000, 200000, 200000));
    outside.addPath(shape);
    auto ctx = gfx::GraphicsContext::makeBitmap(1024, 1024);
    for (auto _ : state) {
        ctx->saveGState();
        ctx->clip(shape);
        ctx->setShadow({3, -3}, 6, gfx::Color::sRGB(0, 0, 0));
        ctx->fillPath(outside, gfx::FillRule::evenOdd);
        ctx->restoreGState();
    }
}
BENCHMARK(BM_InnerShadowOfHugeRectangle)->Unit(benchmark::kMillisecond);

void BM_LinearGradientThroughPathClip(benchmark::State& state) {
    const gfx::Path path = modulePath(57, 1024);
    const gfx::Gradient g({{0, gfx::Color::sRGB(1, 0, 0)}, {1, gfx::Color::sRGB(0, 0, 1)}});
    auto ctx = gfx::GraphicsContext::makeBitmap(1024, 1024);
    for (auto _ : state) {
        ctx->saveGState();
        ctx->clip(path);
        ctx->drawLinearGradient(g, {0, 0}, {1024, 1024});
        ctx->restoreGState();
    }
}
BENCHMARK(BM_LinearGradientThroughPathClip)->Unit(benchmark::kMillisecond);

} // namespace

// The shadow blur alone on a 1024 x 1024 coverage plane: argument 0 is a
// code-like plane (dark in about half of 9-pixel modules), 1 the same plane
// with only three corner squares set, as an eye's shadow is.
void BM_BlurAlpha(benchmark::State& state) {
    constexpr int n = 1024;
    std::vector<std::uint8_t> plane(std::size_t(n) * n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const bool eye = (x < 80 || x >= n - 80) && y < 80;
            const bool dark = state.range(0) == 0 ? (((x / 9) * 131 + (y / 9) * 71) * 2654435761u >> 16 & 1) != 0 : eye;
            plane[std::size_t(y) * n + x] = dark ? 204 : 0;
        }
    }
    std::vector<std::uint8_t> work(plane.size());
    for (auto _ : state) {
        std::copy(plane.begin(), plane.end(), work.begin());
        gfx::detail::blurAlpha(work.data(), n, n, n, 2.0);
        benchmark::DoNotOptimize(work.data());
    }
}
BENCHMARK(BM_BlurAlpha)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
