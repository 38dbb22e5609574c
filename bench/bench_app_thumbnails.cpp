// The first draw of the design panel's three shape grids: 13 eyes, 15 pupils
// and 14 pixel shapes drawn by the library and painted once. This is what a
// user waits for when the groups open for the first time.

#include "app/core/ShapeLists.h"
#include "app/ui/ShapeSelector.h"

#include "app/core/SettingsKeys.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using namespace Tessivo;
using namespace Tessivo::ui;

void BM_ThumbnailGridsFirstDraw(benchmark::State& state) {
    const ShapeLists shapes;
    int drawn = 0;
    for (auto _ : state) {
        QWidget window;
        auto* eyes =
            new ShapeGrid(ShapeKind::eye, std::make_shared<ShapeThumbnails>(ShapeThumbnails::eyes(shapes.eyeShapes)),
                          Keys::eyeShapeIdx(), &window);
        auto* pupils = new ShapeGrid(ShapeKind::pupil,
                                     std::make_shared<ShapeThumbnails>(ShapeThumbnails::pupils(shapes.pupilShapes)),
                                     Keys::pupilShapeIdx(), &window);
        auto* pixels = new ShapeGrid(ShapeKind::pixel,
                                     std::make_shared<ShapeThumbnails>(ShapeThumbnails::pixels(shapes.pixelShapes)),
                                     Keys::pixelShapeIdx(), &window);
        eyes->setGeometry(0, 0, 210, 100);
        pupils->setGeometry(0, 100, 210, 120);
        pixels->setGeometry(0, 220, 210, 120);
        window.resize(210, 340);
        window.show();                           // draws the thumbnails
        benchmark::DoNotOptimize(window.grab()); // and paints them
        drawn += int(eyes->selectors().size() + pupils->selectors().size() + pixels->selectors().size());
    }
    state.counters["thumbnails"] = benchmark::Counter(double(drawn), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ThumbnailGridsFirstDraw)->Unit(benchmark::kMillisecond);

// Painting again after the first draw: the kept images only.
void BM_ThumbnailGridsRepaint(benchmark::State& state) {
    const ShapeLists shapes;
    QWidget window;
    auto* pixels =
        new ShapeGrid(ShapeKind::pixel, std::make_shared<ShapeThumbnails>(ShapeThumbnails::pixels(shapes.pixelShapes)),
                      Keys::pixelShapeIdx(), &window);
    pixels->setGeometry(0, 0, 210, 120);
    window.resize(210, 120);
    window.show();
    for (auto _ : state) benchmark::DoNotOptimize(window.grab());
}
BENCHMARK(BM_ThumbnailGridsRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    // The keys' store in a scratch folder, widgets without a display.
    QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
