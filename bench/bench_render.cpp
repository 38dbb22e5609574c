// Rendering a whole design: the 1024 x 1024 preview bitmap, the SVG text and
// the PDF of symbols of several versions, square modules and solid fills,
// with and without a drop shadow.
#include "QRCode/QRCode.h"
#include "QRCode/design/Design.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Symbols by version: 5 and 25 as sizes around the typical range, 6 (a
// 100-character URL at M) and 22 (1,000 bytes at L) as the preview targets.
QRCode::QRCode symbol(int which) {
    switch (which) {
    case 5: return QRCode::QRCode(std::string(80, 'a'), QRCode::ErrorCorrection::medium);
    case 6: {
        std::string url = "https://example.com/";
        while (url.size() < 100) url += "p";
        return QRCode::QRCode(url, QRCode::ErrorCorrection::medium);
    }
    case 22: {
        std::string bytes;
        for (int i = 0; i < 1000; ++i) bytes += char('a' + (i * 7) % 26);
        return QRCode::QRCode(bytes, QRCode::ErrorCorrection::low);
    }
    default: {
        std::string bytes;
        for (int i = 0; i < 1200; ++i) bytes += char('a' + (i * 11) % 26);
        return QRCode::QRCode(bytes, QRCode::ErrorCorrection::low);
    }
    }
}

std::shared_ptr<QRCode::Design> design(bool shadow) {
    auto d = std::make_shared<QRCode::Design>();
    if (shadow) d->style()->setShadow(QRCode::Shadow());
    return d;
}

void setLabel(benchmark::State& state, const QRCode::QRCode& code) {
    state.SetLabel("version " + std::to_string((code.current().dimension() - 2 - 17) / 4) + ", " +
                   std::to_string(code.current().dimension()) + " cells");
}

// Argument 0: which symbol (5, 6, 22 or 25); argument 1: drop shadow.
void BM_Bitmap1024(benchmark::State& state) {
    const auto code = symbol(int(state.range(0)));
    const auto d = design(state.range(1) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(code.cgImage(1024, *d, nullptr));
    setLabel(state, code);
}

void BM_SVG1024(benchmark::State& state) {
    const auto code = symbol(int(state.range(0)));
    const auto d = design(state.range(1) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(code.svg(1024, *d, nullptr));
    setLabel(state, code);
}

void BM_PDF1024(benchmark::State& state) {
    const auto code = symbol(int(state.range(0)));
    const auto d = design(state.range(1) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(code.pdfData(1024, 72, *d, nullptr));
    setLabel(state, code);
}

void symbols(benchmark::internal::Benchmark* b) {
    for (int shadow : {0, 1})
        for (int v : {5, 6, 22, 25}) b->Args({v, shadow});
}

} // namespace

BENCHMARK(BM_Bitmap1024)->Apply(symbols)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SVG1024)->Apply(symbols)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PDF1024)->Apply(symbols)->Unit(benchmark::kMillisecond);
