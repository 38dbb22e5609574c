// Path generation of the template pixel shapes as the preview runs it on
// every edit: a version-22 symbol (105 x 105 modules, about half of them on)
// laid out in 1024 x 1024 points. Each module appends the shared outline
// through one transform.
#include "QRCode/generators/pixel/TemplateShapes.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace QRCode;

namespace {

BoolMatrix symbolLikeMatrix() {
    std::mt19937 rng(22);
    BoolMatrix m(105);
    for (int r = 0; r < 105; ++r) {
        for (int c = 0; c < 105; ++c) m.set(r, c, (rng() & 1) != 0);
    }
    return m;
}

template <class Shape> void BM_Template(benchmark::State& state) {
    const BoolMatrix m = symbolLikeMatrix();
    auto shape = Shape::Create();
    for (auto _ : state) benchmark::DoNotOptimize(shape->generatePath(m, gfx::Size{1024, 1024}));
}

// The outlines with the fewest and the most elements, the two-outline shape
// and the two that the common generator places differently.
BENCHMARK(BM_Template<PixelShape::Star>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Template<PixelShape::Gear>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Template<PixelShape::Shiny>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Template<PixelShape::Circle>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Template<PixelShape::Stitch>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Template<PixelShape::RoundedRect>)->Unit(benchmark::kMicrosecond);

void BM_FlowerTurnedByWave(benchmark::State& state) {
    const BoolMatrix m = symbolLikeMatrix();
    auto shape = PixelShape::Flower::Create({{"rotationGeneratorName", "horizontalWave"}, {"rotationFraction", 0.5}});
    for (auto _ : state) benchmark::DoNotOptimize(shape->generatePath(m, gfx::Size{1024, 1024}));
}
BENCHMARK(BM_FlowerTurnedByWave)->Unit(benchmark::kMicrosecond);

} // namespace
