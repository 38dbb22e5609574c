// Path generation of the pixel shapes, as the preview runs it on every edit:
// a version-22 symbol (105 x 105 modules, about half of them on) laid out in
// 1024 x 1024 points.
#include "QRCode/generators/pixel/Abstract.h"
#include "QRCode/generators/pixel/detail/CommonPixelGenerator.h"
#include "QRCode/generators/pixel/Square.h"

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

void BM_SquarePlain(benchmark::State& state) {
    const BoolMatrix m = symbolLikeMatrix();
    auto shape = PixelShape::Square::Create();
    for (auto _ : state) benchmark::DoNotOptimize(shape->generatePath(m, gfx::Size{1024, 1024}));
}
BENCHMARK(BM_SquarePlain)->Unit(benchmark::kMicrosecond);

void BM_SquareRandomInsetAndRotation(benchmark::State& state) {
    const BoolMatrix m = symbolLikeMatrix();
    auto shape = PixelShape::Square::Create({{"insetGeneratorName", "random"},
                                             {"insetFraction", 0.5},
                                             {"rotationGeneratorName", "random"},
                                             {"rotationFraction", 0.3}});
    for (auto _ : state) benchmark::DoNotOptimize(shape->generatePath(m, gfx::Size{1024, 1024}));
}
BENCHMARK(BM_SquareRandomInsetAndRotation)->Unit(benchmark::kMicrosecond);

void BM_RoundedRectRotated(benchmark::State& state) {
    const BoolMatrix m = symbolLikeMatrix();
    PixelShape::CommonPixelGenerator common(PixelShape::PixelType::roundedRect, PixelInset::Fixed::Create(), 0.1, 0.6,
                                            PixelRotation::HWave::Create(), 0.25);
    for (auto _ : state) benchmark::DoNotOptimize(common.generatePath(m, gfx::Size{1024, 1024}));
}
BENCHMARK(BM_RoundedRectRotated)->Unit(benchmark::kMicrosecond);

void BM_Abstract(benchmark::State& state) {
    const BoolMatrix m = symbolLikeMatrix();
    PixelShape::Abstract shape;
    for (auto _ : state) benchmark::DoNotOptimize(shape.generatePath(m, gfx::Size{1024, 1024}));
}
BENCHMARK(BM_Abstract)->Unit(benchmark::kMicrosecond);

} // namespace
