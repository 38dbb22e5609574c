#include "QRCode/design/Design.h"
#include "QRCode/design/LogoTemplate.h"
#include "QRCode/core/SplitMix64.h"

#include <benchmark/benchmark.h>

using QRCode::BoolMatrix;
using QRCode::SplitMix64;

namespace {

BoolMatrix randomMatrix(std::int64_t dimension) {
    SplitMix64 rng(7);
    std::vector<bool> cells(static_cast<std::size_t>(dimension * dimension));
    for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = rng.next() & 1;
    return BoolMatrix(dimension, cells);
}

gfx::ImagePtr logoImage(int side) {
    auto image = std::make_shared<gfx::Image>(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int dx = x - side / 2, dy = y - side / 2;
            const bool inside = dx * dx + dy * dy < side * side / 9;
            image->setPixel(x, y, gfx::Pixel{20, 40, 200, std::uint8_t(inside ? 255 : 0)});
        }
    return image;
}

// The mask every rendering applies before building module paths, at the
// preview's size.
void BM_PathMaskCircle(benchmark::State& state) {
    const BoolMatrix m = randomMatrix(state.range(0));
    const auto logo = QRCode::LogoTemplate::CircleCenter(logoImage(64));
    for (auto _ : state) benchmark::DoNotOptimize(logo->applyingMask(m, 1024));
}
BENCHMARK(BM_PathMaskCircle)->Arg(25)->Arg(177);

void BM_ImageTransparencyMask(benchmark::State& state) {
    const BoolMatrix m = randomMatrix(state.range(0));
    QRCode::LogoTemplate logo(logoImage(512), nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(logo.applyingMask(m, 1024));
}
BENCHMARK(BM_ImageTransparencyMask)->Arg(25)->Arg(177);

// A design stored and read back, as the settings panel does on every edit.
void BM_DesignSettingsRoundTrip(benchmark::State& state) {
    QRCode::Design design(gfx::Color::sRGB(0.2, 0.1, 0.6), gfx::Color::sRGB(1, 1, 0.9));
    design.setAdditionalQuietZonePixels(2);
    for (auto _ : state) benchmark::DoNotOptimize(QRCode::Design::CreateFromJsonData(design.jsonData()));
}
BENCHMARK(BM_DesignSettingsRoundTrip);

} // namespace
