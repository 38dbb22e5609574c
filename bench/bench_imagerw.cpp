// Encoding and decoding a 1024 x 1024 symbol-like bitmap (the size of the
// application's preview and of typical exports).

#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageLoading.h"

#include <benchmark/benchmark.h>

namespace {

gfx::ImagePtr symbolLikeImage() {
    static const gfx::ImagePtr image = [] {
        auto img = std::make_shared<gfx::Image>(1024, 1024);
        for (int y = 0; y < 1024; ++y) {
            for (int x = 0; x < 1024; ++x) {
                // 32-pixel modules in a pseudo-random pattern, with a soft edge.
                const unsigned module = unsigned((x / 32) * 131 + (y / 32) * 71) * 2654435761u;
                const bool dark = (module >> 16) & 1;
                const std::uint8_t v = dark ? 20 : 250;
                const bool edge = (x % 32 == 0) || (y % 32 == 0);
                img->setPixel(x, y, gfx::Pixel{edge ? std::uint8_t(128) : v, edge ? std::uint8_t(128) : v, v, 255});
            }
        }
        return img;
    }();
    return image;
}

void encode(benchmark::State& state, const ImageExportType& type) {
    const auto image = symbolLikeImage();
    for (auto _ : state) benchmark::DoNotOptimize(ImageReadWrite::imageData(*image, type));
}

void BM_EncodePNG(benchmark::State& state) { encode(state, ImageExportType::png(2)); }
void BM_EncodeJPEG(benchmark::State& state) { encode(state, ImageExportType::jpg(2, 0.9)); }
void BM_EncodeTIFF(benchmark::State& state) { encode(state, ImageExportType::tiff(2)); }
void BM_EncodeGIF(benchmark::State& state) { encode(state, ImageExportType::gif()); }
void BM_EncodeHEIC(benchmark::State& state) { encode(state, ImageExportType::heic(2, 0.9)); }
void BM_EncodePDF(benchmark::State& state) { encode(state, ImageExportType::pdf({512, 512})); }

void BM_DecodePNG(benchmark::State& state) {
    const auto png = ImageReadWrite::imageData(*symbolLikeImage(), ImageExportType::png());
    for (auto _ : state) benchmark::DoNotOptimize(ImageReadWrite::load(png));
}

} // namespace

BENCHMARK(BM_EncodePNG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeJPEG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeTIFF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeGIF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeHEIC)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodePDF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePNG)->Unit(benchmark::kMillisecond);
