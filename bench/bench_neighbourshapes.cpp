// Path generation of the neighbour-aware and tile pixel shapes at preview
// size: a version-22-sized matrix (105 x 105 modules, about half on) laid out
// in 1024 x 1024 points.
#include "QRCode/generators/PixelShapeFactory.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

using QRCode::BoolMatrix;
using QRCode::QRCodePixelShapeFactory;

namespace {

BoolMatrix symbolLikeMatrix() {
    std::mt19937 rng(22);
    BoolMatrix m(105);
    for (int r = 0; r < 105; ++r) {
        for (int c = 0; c < 105; ++c) m.set(r, c, (rng() & 1) != 0);
    }
    return m;
}

void BM_NeighbourShape(benchmark::State& state, const std::string& name) {
    const BoolMatrix m = symbolLikeMatrix();
    auto shape = QRCodePixelShapeFactory::shared().named(name);
    for (auto _ : state) benchmark::DoNotOptimize(shape->generatePath(m, gfx::Size{1024, 1024}));
}

BENCHMARK_CAPTURE(BM_NeighbourShape, horizontal, std::string("horizontal"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_NeighbourShape, pointy, std::string("pointy"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_NeighbourShape, grid4x4, std::string("grid4x4"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_NeighbourShape, razor, std::string("razor"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_NeighbourShape, roundedPath, std::string("roundedPath"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_NeighbourShape, roundedEndIndent, std::string("roundedEndIndent"))->Unit(benchmark::kMicrosecond);

} // namespace
