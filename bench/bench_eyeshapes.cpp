#include "QRCode/generators/EyeShapeFactory.h"

#include <benchmark/benchmark.h>

#include <string>

using QRCode::QRCodeEyeShapeFactory;

namespace {

// What one rendering asks of an eye: its ring, its background and its
// pupil's outline (three finder patterns share them).
void BM_EyeOutlines(benchmark::State& state, std::string name) {
    const auto eye = QRCodeEyeShapeFactory::shared().named(name);
    for (auto _ : state) {
        benchmark::DoNotOptimize(eye->eyePath());
        benchmark::DoNotOptimize(eye->eyeBackgroundPath());
        benchmark::DoNotOptimize(eye->defaultPupil());
    }
}

const bool registered = [] {
    for (const auto& name : QRCodeEyeShapeFactory::shared().availableGeneratorNames()) {
        benchmark::RegisterBenchmark(("BM_EyeOutlines/" + name).c_str(), BM_EyeOutlines, name);
    }
    return true;
}();

} // namespace
