// Our encoder against libqrencode on the same inputs, both bare (encoder
// against the QR-filter layer) and through the two engines: a 100-character URL at level M (version 6) and 1,000 bytes
// at level L (version 22).
#include "QRCode/encoding/QRCodeEngine.h"
#include "QRCodeGenerator/QRCode.h"
#include "platform/qrfilter/QRCodeFilter.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::string url100() {
    std::string s = "https://www.example.com/products/catalogue/item?id=";
    while (s.size() < 100) s += static_cast<char>('a' + s.size() % 26);
    return s;
}

std::vector<std::uint8_t> bytes1000() {
    std::vector<std::uint8_t> v(1000);
    std::uint32_t x = 12345;
    for (auto& b : v) {
        x = x * 1103515245U + 12345U;
        b = static_cast<std::uint8_t>(x >> 16);
    }
    return v;
}

void BM_External_Url_M(benchmark::State& state) {
    const std::string text = url100();
    for (auto _ : state)
        benchmark::DoNotOptimize(QRCodeGenerator::QRCode::encode(text, QRCodeGenerator::QRCodeECC::medium));
}
void BM_Libqrencode_Url_M(benchmark::State& state) {
    const std::string text = url100();
    platform::QRCodeFilter filter;
    filter.setInputMessage({text.begin(), text.end()});
    filter.setInputCorrectionLevel("M");
    for (auto _ : state) benchmark::DoNotOptimize(filter.outputImage());
}
void BM_External_1000_L(benchmark::State& state) {
    const auto data = bytes1000();
    for (auto _ : state)
        benchmark::DoNotOptimize(QRCodeGenerator::QRCode::encodeBinary(data, QRCodeGenerator::QRCodeECC::low));
}
void BM_Libqrencode_1000_L(benchmark::State& state) {
    platform::QRCodeFilter filter;
    filter.setInputMessage(bytes1000());
    filter.setInputCorrectionLevel("L");
    for (auto _ : state) benchmark::DoNotOptimize(filter.outputImage());
}

// The two engines as the library uses them: message in, module matrix out.
template <class Engine> void BM_Engine_Url_M(benchmark::State& state) {
    Engine engine;
    const std::string text = url100();
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.generate(std::string_view(text), QRCode::ErrorCorrection::medium));
}
template <class Engine> void BM_Engine_1000_L(benchmark::State& state) {
    Engine engine;
    const auto data = bytes1000();
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.generate(std::span<const std::uint8_t>(data), QRCode::ErrorCorrection::low));
}

} // namespace

BENCHMARK_TEMPLATE(BM_Engine_Url_M, QRCode::QRCodeEngineExternal)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Engine_Url_M, QRCode::QRCodeEngineCoreImage)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Engine_1000_L, QRCode::QRCodeEngineExternal)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Engine_1000_L, QRCode::QRCodeEngineCoreImage)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_External_Url_M)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Libqrencode_Url_M)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_External_1000_L)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Libqrencode_1000_L)->Unit(benchmark::kMicrosecond);
