// Encoding and decoding a 1024 x 1024 symbol-like bitmap (the size of the
// application's preview and of typical exports).

#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageLoading.h"

#include <benchmark/benchmark.h>

#include <tiffio.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

void BM_DecodeTIFF(benchmark::State& state) {
    const auto tiff = ImageReadWrite::imageData(*symbolLikeImage(), ImageExportType::tiff());
    for (auto _ : state) benchmark::DoNotOptimize(ImageReadWrite::load(tiff));
}

// A 1024 x 1024 TIFF of the symbol's grey as libtiff writes it: RGB that a
// portrait orientation turns, or CMYK with alpha at 16 bits (read sample by
// sample rather than by libtiff's RGBA reader).
std::vector<std::uint8_t> writtenTIFF(bool cmyka) {
    const std::string path = "/tmp/bench_imagerw_" + std::to_string(::getpid()) + ".tiff";
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    const int samples = cmyka ? 5 : 3;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 1024);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 1024);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, cmyka ? 16 : 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, cmyka ? PHOTOMETRIC_SEPARATED : PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, cmyka ? ORIENTATION_TOPLEFT : ORIENTATION_RIGHTTOP);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 16);
    if (cmyka) {
        const std::uint16_t alpha = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &alpha);
    }
    const auto image = symbolLikeImage();
    std::vector<std::uint16_t> row16(1024 * std::size_t(samples));
    std::vector<std::uint8_t> row8(row16.size());
    for (int y = 0; y < 1024; ++y) {
        for (std::size_t x = 0; x < 1024; ++x) {
            const std::uint8_t grey = std::uint8_t(image->row(y)[x]);
            for (std::size_t c = 0; c < std::size_t(samples); ++c) {
                const std::uint8_t v = cmyka ? (c == 4 ? 255 : c == 3 ? 255 - grey : 0) : grey;
                row8[x * std::size_t(samples) + c] = v;
                row16[x * std::size_t(samples) + c] = std::uint16_t(v * 257);
            }
        }
        TIFFWriteScanline(tif, cmyka ? static_cast<void*>(row16.data()) : row8.data(), std::uint32_t(y), 0);
    }
    TIFFClose(tif);
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    return bytes;
}

void BM_DecodeTIFFTurned(benchmark::State& state) {
    const auto tiff = writtenTIFF(false);
    for (auto _ : state) benchmark::DoNotOptimize(ImageReadWrite::load(tiff));
}

void BM_DecodeTIFFSixteenBitCMYKA(benchmark::State& state) {
    const auto tiff = writtenTIFF(true);
    for (auto _ : state) benchmark::DoNotOptimize(ImageReadWrite::load(tiff));
}

} // namespace

BENCHMARK(BM_EncodePNG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeJPEG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeTIFF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeGIF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeHEIC)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodePDF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePNG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTIFF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTIFFTurned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTIFFSixteenBitCMYKA)->Unit(benchmark::kMillisecond);
