// What a preview asks of an eye for each of its three placements: the ring,
// the background and the default pupil's outline, for the eyes with rounded,
// notched and pointed corners (flipped and unflipped), the fixed spiky, peg
// and bars rings and the pixel-shape eye.
#include "QRCode/generators/eye/RoundedCornerEyes.h"
#include "QRCode/generators/EyeShapeFactory.h"

#include <benchmark/benchmark.h>

#include <string>

using QRCode::QRCodeEyeShapeFactory;

namespace {

void eyeOutlines(benchmark::State& state, const std::string& name, const QRCode::SettingsDict& settings) {
    const auto eye = QRCodeEyeShapeFactory::shared().named(name, settings);
    for (auto _ : state) {
        for (int placement = 0; placement < 3; ++placement) {
            gfx::Path ring = eye->eyePath();
            gfx::Path background = eye->eyeBackgroundPath();
            gfx::Path pupil = eye->defaultPupil()->pupilPath();
            benchmark::DoNotOptimize(ring);
            benchmark::DoNotOptimize(background);
            benchmark::DoNotOptimize(pupil);
        }
    }
}

void registerAll() {
    for (const auto& type : QRCode::EyeShape::roundedCornerEyes()) {
        const std::string name(type.name);
        benchmark::RegisterBenchmark(("eyeOutlines/" + name).c_str(), eyeOutlines, name, QRCode::SettingsDict());
    }
    benchmark::RegisterBenchmark("eyeOutlines/teardrop flipped", eyeOutlines, std::string("teardrop"),
                                 QRCode::SettingsDict{{"flip", 3}});
    benchmark::RegisterBenchmark("eyeOutlines/shield rounded", eyeOutlines, std::string("shield"),
                                 QRCode::SettingsDict{{"corners", 0}});
}

const int registered = (registerAll(), 0);

} // namespace
