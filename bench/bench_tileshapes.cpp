// Path generation of the tile and ring pixel shapes at preview size: a
// version-22 symbol (105 x 105 modules, about half of them on) laid out in
// 1024 x 1024 points.
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

void BM_TileShape(benchmark::State& state, const std::string& name) {
    const BoolMatrix m = symbolLikeMatrix();
    auto shape = QRCodePixelShapeFactory::shared().named(name);
    for (auto _ : state) benchmark::DoNotOptimize(shape->generatePath(m, gfx::Size{1024, 1024}));
}

} // namespace

BENCHMARK_CAPTURE(BM_TileShape, curvePixel, std::string("curvePixel"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TileShape, dripHorizontal, std::string("dripHorizontal"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TileShape, diagonalStripes, std::string("diagonalStripes"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TileShape, donut, std::string("donut"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TileShape, blob, std::string("blob"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TileShape, circuit, std::string("circuit"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TileShape, crosshatch, std::string("crosshatch"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TileShape, vortex, std::string("vortex"))->Unit(benchmark::kMicrosecond);
