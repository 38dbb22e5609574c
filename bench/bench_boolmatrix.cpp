#include "QRCode/core/BoolMatrix.h"
#include "QRCode/core/SplitMix64.h"

#include <benchmark/benchmark.h>

using QRCode::BoolMatrix;
using QRCode::SplitMix64;

namespace {

BoolMatrix randomMatrix(std::int64_t dimension) {
    SplitMix64 rng(42);
    std::vector<bool> cells(static_cast<std::size_t>(dimension * dimension));
    for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = rng.next() & 1;
    return BoolMatrix(dimension, cells);
}

// What a shape generator does: one neighbour record per module.
void BM_NeighbourWalk(benchmark::State& state) {
    const BoolMatrix m = randomMatrix(state.range(0));
    for (auto _ : state) {
        int count = 0;
        for (std::int64_t row = 0; row < m.dimension(); ++row) {
            for (std::int64_t column = 0; column < m.dimension(); ++column) {
                const auto n = m.neighbourInfo(row, column);
                count += n.left + n.top + n.right + n.bottom + n.topLeft + n.topRight + n.bottomLeft + n.bottomRight;
            }
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
}
BENCHMARK(BM_NeighbourWalk)->Arg(23)->Arg(179);

void BM_InvertAndMask(benchmark::State& state) {
    const BoolMatrix m = randomMatrix(state.range(0));
    const BoolMatrix mask = randomMatrix(state.range(0)).flipped();
    for (auto _ : state) benchmark::DoNotOptimize(m.inverted().masked(mask));
}
BENCHMARK(BM_InvertAndMask)->Arg(179);

} // namespace
