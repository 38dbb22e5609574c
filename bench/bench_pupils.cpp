#include "QRCode/generators/PupilShapeFactory.h"

#include <benchmark/benchmark.h>

using QRCode::QRCodePupilShapeFactory;

namespace {

// The outline of every pupil once, as a preview list of all pupils asks
// for them (the fixed outlines are shared, the others built per call).
void BM_AllPupilOutlines(benchmark::State& state) {
    const auto pupils = QRCodePupilShapeFactory::shared().all();
    for (auto _ : state) {
        std::size_t elements = 0;
        for (const auto& pupil : pupils) elements += pupil->pupilPath().size();
        benchmark::DoNotOptimize(elements);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pupils.size()));
}
BENCHMARK(BM_AllPupilOutlines);

// One pupil path per finder of a rendering, for a pupil built per call and
// a shared one.
void BM_PupilOutline(benchmark::State& state, const char* name) {
    const auto pupil = QRCodePupilShapeFactory::shared().named(name);
    for (auto _ : state) benchmark::DoNotOptimize(pupil->pupilPath());
}
BENCHMARK_CAPTURE(BM_PupilOutline, cornered_pixels, "corneredPixels");
BENCHMARK_CAPTURE(BM_PupilOutline, spiky_circle, "spikyCircle");
BENCHMARK_CAPTURE(BM_PupilOutline, use_pixel_shape, "usePixelShape");

} // namespace
