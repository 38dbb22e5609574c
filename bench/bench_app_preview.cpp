// A settings change to a finished 1024 x 1024 preview image, through the
// application's own builder, the way the main window rebuilds on every edit.
// The settings live in a scratch folder, never in the user's own store.

#include "app/core/MainWindowState.h"
#include "app/core/SettingsKeys.h"
#include "platform/defaults/UserDefaults.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace Tessivo;

// Points the standard suite at a fresh folder before its first use.
struct ScratchSettings {
    std::filesystem::path dir;
    ScratchSettings() {
        dir = std::filesystem::temp_directory_path() / ("tessivo-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    ~ScratchSettings() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
};
const ScratchSettings scratch;

// 100 characters.
const std::string url =
    "https://example.com/products/spring-collection/items?id=1234567890&ref=newsletter-campaign-2026-ab";

void useDesign(int eye, int pupil, int pixel, int level) {
    resetToDefaults();
    Keys::eyeShapeIdx().set(eye);
    Keys::pupilShapeIdx().set(pupil);
    Keys::pixelShapeIdx().set(pixel);
    Keys::errorCorrection().set(level);
}

// One step: a key changes (alternating background padding 0 and 1, so both
// the store and the image really change), then the preview is rebuilt.
void previewAfterChange(benchmark::State& state, const MainWindowState& window) {
    int step = 0;
    for (auto _ : state) {
        Keys::backgroundPadding().set(float(step++ & 1));
        auto image = window.makeQRImage();
        if (!image) state.SkipWithError("no image");
        benchmark::DoNotOptimize(image);
    }
}

// The settings write alone, as every step above makes it: the change is
// taken in memory and the file saved behind it.
void BM_SettingsWrite(benchmark::State& state) {
    int step = 0;
    for (auto _ : state) Keys::backgroundPadding().set(float(step++ & 1));
}
BENCHMARK(BM_SettingsWrite)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A change saved at once (what synchronize() and quitting cost): the file
// replaced and flushed to disk, off the path of every edit.
void BM_SettingsWriteAndSave(benchmark::State& state) {
    int step = 0;
    for (auto _ : state) {
        Keys::backgroundPadding().set(float(step++ & 1));
        if (!platform::UserDefaults::standard()->synchronize().ok()) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SettingsWriteAndSave)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_PreviewDefaultDesign(benchmark::State& state) {
    MainWindowState window;
    window.fields.qrText = url;
    useDesign(0, 0, 0, 3);
    previewAfterChange(state, window);
}
BENCHMARK(BM_PreviewDefaultDesign)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Every offered pixel shape with the eye and pupil of its argument pair.
void BM_PreviewShapes(benchmark::State& state) {
    MainWindowState window;
    window.fields.qrText = url;
    useDesign(int(state.range(0)), int(state.range(1)), int(state.range(2)), 3);
    previewAfterChange(state, window);
    state.SetLabel(std::string(window.shapes.eye(int(state.range(0)))->name()) + "/" +
                   std::string(window.shapes.pupil(int(state.range(1)))->name()) + "/" +
                   std::string(window.shapes.pixel(int(state.range(2)))->name()));
}
BENCHMARK(BM_PreviewShapes)
    ->ArgsProduct({{0, 12}, {14}, benchmark::CreateDenseRange(0, ShapeLists::pixelCount - 1, 1)})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The largest message a symbol holds (2,953 bytes at level L).
void BM_PreviewLargestMessage(benchmark::State& state) {
    MainWindowState window;
    window.fields.qrText = std::string(2953, 'x');
    useDesign(0, 0, int(state.range(0)), 0);
    previewAfterChange(state, window);
    state.SetLabel(std::string(window.shapes.pixel(int(state.range(0)))->name()));
}
BENCHMARK(BM_PreviewLargestMessage)->DenseRange(0, ShapeLists::pixelCount - 1, 1)->Unit(benchmark::kMillisecond);

} // namespace
