// Text to a finished 1024 x 1024 PNG through the document, the path of the
// application's preview and of a plain export: encode, render, compress.

#include "QRCode/Document.h"
#include "image-read-write/ImageEncoding.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// 100 characters: version 6 at level M.
const std::string& url100() {
    static const std::string url = [] {
        std::string u = "https://example.com/products/catalogue/items?id=";
        while (u.size() < 100) u += char('a' + u.size() % 26);
        return u;
    }();
    return url;
}

// 1,000 bytes: version 22 at level L.
const std::vector<std::uint8_t>& bytes1000() {
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> b(1000);
        for (std::size_t i = 0; i < b.size(); ++i) b[i] = std::uint8_t((i * 37 + 11) & 0xFF);
        return b;
    }();
    return bytes;
}

void BM_DocumentPNG_URL100_M(benchmark::State& state) {
    for (auto _ : state) {
        const QRCode::Document document(url100(), QRCode::ErrorCorrection::medium);
        benchmark::DoNotOptimize(document.pngData(1024, 72));
    }
}

void BM_DocumentPNG_Bytes1000_L(benchmark::State& state) {
    for (auto _ : state) {
        const QRCode::Document document(std::span<const std::uint8_t>(bytes1000()), QRCode::ErrorCorrection::low);
        benchmark::DoNotOptimize(document.pngData(1024, 72));
    }
}

// The three stages apart, for the larger symbol.
void BM_Stage_Encode_Bytes1000_L(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            QRCode::Document(std::span<const std::uint8_t>(bytes1000()), QRCode::ErrorCorrection::low));
}

void BM_Stage_Render_Bytes1000_L(benchmark::State& state) {
    const QRCode::Document document(std::span<const std::uint8_t>(bytes1000()), QRCode::ErrorCorrection::low);
    for (auto _ : state) benchmark::DoNotOptimize(document.cgImage(1024));
}

void BM_Stage_PNG_Bytes1000_L(benchmark::State& state) {
    const QRCode::Document document(std::span<const std::uint8_t>(bytes1000()), QRCode::ErrorCorrection::low);
    const gfx::ImagePtr image = document.cgImage(1024);
    for (auto _ : state) benchmark::DoNotOptimize(ImageReadWrite::imageData(*image, ImageExportType::png()));
    state.counters["bytes"] = double(ImageReadWrite::imageData(*image, ImageExportType::png()).size());
}

} // namespace

BENCHMARK(BM_DocumentPNG_URL100_M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DocumentPNG_Bytes1000_L)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stage_Encode_Bytes1000_L)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stage_Render_Bytes1000_L)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stage_PNG_Bytes1000_L)->Unit(benchmark::kMillisecond);
