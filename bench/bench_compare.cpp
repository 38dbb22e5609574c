// What users export, on the two anchor inputs: a 100-character URL at level M
// (version 6) and 1,000 bytes at level L (version 22), both in byte mode,
// read from the shared bench inputs. Every export is 1024 pixels (or points)
// a side. The "bytes" counter is the size of the file written.
//
// The inputs are looked up in $TESSIVO_BENCH_INPUTS, then in
// shared/bench-inputs beside the checkout (one or two levels up).
#include "QRCode/QRCode.h"
#include "QRCode/design/Design.h"
#include "QRCode/design/LogoTemplate.h"
#include "QRCode/fills/GradientFills.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/encoding/QRCodeEngine.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "image-read-write/ImageEncoding.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

using QRCode::QRCodePixelShapeFactory;

namespace {

std::vector<std::uint8_t> readInput(const std::string& name) {
    std::vector<std::filesystem::path> dirs;
    if (const char* env = std::getenv("TESSIVO_BENCH_INPUTS")) dirs.emplace_back(env);
    const std::filesystem::path source = TESSIVO_SOURCE_DIR;
    dirs.push_back(source / ".." / "shared" / "bench-inputs");
    dirs.push_back(source / ".." / ".." / "shared" / "bench-inputs");
    for (const auto& dir : dirs) {
        std::ifstream in(dir / name, std::ios::binary);
        if (in) return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    throw std::runtime_error("bench input not found: " + name);
}

struct Anchor {
    std::vector<std::uint8_t> bytes;
    QRCode::ErrorCorrection level;
};

// Argument 6: url100.txt at M; argument 22: text1000.txt at L.
const Anchor& anchor(std::int64_t version) {
    static const Anchor v6{readInput("url100.txt"), QRCode::ErrorCorrection::medium};
    static const Anchor v22{readInput("text1000.txt"), QRCode::ErrorCorrection::low};
    return version == 6 ? v6 : v22;
}

QRCode::QRCode code(std::int64_t version) {
    const Anchor& a = anchor(version);
    return QRCode::QRCode(std::span<const std::uint8_t>(a.bytes), a.level,
                          std::make_shared<QRCode::QRCodeEngineExternal>());
}

std::shared_ptr<QRCode::Design> design(const char* pixelShape, bool shadow) {
    auto d = std::make_shared<QRCode::Design>();
    if (pixelShape) d->shape()->setOnPixels(QRCodePixelShapeFactory::shared().named(pixelShape));
    if (shadow) d->style()->setShadow(QRCode::Shadow());
    return d;
}

void label(benchmark::State& state, const QRCode::QRCode& c, std::size_t bytes) {
    state.SetLabel("version " + std::to_string((c.current().dimension() - 2 - 17) / 4));
    state.counters["bytes"] = double(bytes);
}

void BM_Encode(benchmark::State& state) {
    const Anchor& a = anchor(state.range(0));
    QRCode::QRCodeEngineExternal engine;
    for (auto _ : state) benchmark::DoNotOptimize(engine.generate(std::span<const std::uint8_t>(a.bytes), a.level));
}

// Encoding, rendering and PNG writing, as an export does them.
void png(benchmark::State& state, const char* pixelShape, bool shadow) {
    const auto d = design(pixelShape, shadow);
    const Anchor& a = anchor(state.range(0));
    std::size_t size = 0;
    for (auto _ : state) {
        QRCode::QRCode c(std::span<const std::uint8_t>(a.bytes), a.level,
                         std::make_shared<QRCode::QRCodeEngineExternal>());
        size = c.pngData(1024, 72, *d, nullptr).size();
    }
    label(state, code(state.range(0)), size);
}

void BM_PlainPNG(benchmark::State& state) { png(state, nullptr, false); }
void BM_RoundPNG(benchmark::State& state) { png(state, "circle", false); }
void BM_ShadowPNG(benchmark::State& state) { png(state, nullptr, true); }

// PNG exports that need more than grey levels, on the version-22 symbol:
// argument 0 a linear gradient fill, 1 a transparent background, 2 a
// photo-like logo in the centre.
void BM_StyledPNG(benchmark::State& state) {
    const auto c = code(22);
    const auto d = design(nullptr, false);
    std::shared_ptr<QRCode::LogoTemplate> logo;
    switch (state.range(0)) {
    case 0: {
        const QRCode::ZelGradient ramp({{0.0, gfx::Color::sRGB(0.8, 0, 0)}, {1.0, gfx::Color::sRGB(0, 0, 0.6)}});
        d->style()->setOnPixels(
            std::make_shared<QRCode::FillStyle::LinearGradient>(ramp, gfx::Point{0, 0}, gfx::Point{1, 1}));
        break;
    }
    case 1: d->style()->setBackground(QRCode::FillStyle::Solid::sRGB(1, 1, 1, 0)); break;
    default: {
        auto img = std::make_shared<gfx::Image>(256, 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                img->setPixel(x, y, {std::uint8_t(x), std::uint8_t(y), std::uint8_t((x * y) >> 8), 255});
        logo = QRCode::LogoTemplate::CircleCenter(img);
    }
    }
    std::size_t size = 0;
    for (auto _ : state) size = c.pngData(1024, 72, *d, logo.get()).size();
    label(state, c, size);
}

void BM_SVG(benchmark::State& state) {
    const auto c = code(state.range(0));
    const auto d = design(nullptr, false);
    std::size_t size = 0;
    for (auto _ : state) size = c.svg(1024, *d, nullptr).size();
    label(state, c, size);
}

// Argument 1: drop shadow.
void BM_PDF(benchmark::State& state) {
    const auto c = code(state.range(0));
    const auto d = design(nullptr, state.range(1) != 0);
    std::size_t size = 0;
    for (auto _ : state) size = c.pdfData(1024, 72, *d, nullptr).size();
    label(state, c, size);
}

// Rendering only (no encoding): every pixel shape on the version-22 symbol.
void BM_PixelShapeBitmap(benchmark::State& state, const std::string& name) {
    const auto c = code(22);
    const auto d = design(name.c_str(), false);
    for (auto _ : state) benchmark::DoNotOptimize(c.cgImage(1024, *d, nullptr));
}

// Rendering only, of shapes whose modules vary (a random inset or turn per
// module), which no few modules can show apart: circles inset, squares
// grown into their neighbours, stars turned.
void BM_VariedShapeBitmap(benchmark::State& state) {
    struct Variant {
        const char* shape;
        double inset, turn;
    };
    constexpr Variant variants[] = {{"circle", 0.3, 0}, {"square", -0.3, 0}, {"star", 0, 0.3}};
    const Variant& v = variants[state.range(0)];
    auto shape = QRCodePixelShapeFactory::shared().named(v.shape);
    shape->setSettingValue(QRCode::SettingsValue(v.inset), "insetFraction");
    shape->setSettingValue(QRCode::SettingsValue(std::string("random")), "insetGeneratorName");
    shape->setSettingValue(QRCode::SettingsValue(v.turn), "rotationFraction");
    shape->setSettingValue(QRCode::SettingsValue(std::string("random")), "rotationGeneratorName");
    const auto d = design(nullptr, false);
    d->shape()->setOnPixels(shape);
    const auto c = code(22);
    for (auto _ : state) benchmark::DoNotOptimize(c.cgImage(1024, *d, nullptr));
    state.SetLabel(v.shape);
}

// Rendering only, plain and with the default drop shadow: what the shadow
// itself costs, apart from encoding the picture.
void BM_ShadowBitmap(benchmark::State& state) {
    const auto c = code(22);
    const auto d = design(nullptr, state.range(0) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(c.cgImage(1024, *d, nullptr));
}

// PNG writing only, of the version-22 picture rendered once: argument 0 plain,
// 1 with the default drop shadow (whose blurred levels the writer must code).
void BM_PNGWriteOnly(benchmark::State& state) {
    const auto c = code(22);
    const auto image = c.cgImage(1024, *design(nullptr, state.range(0) != 0), nullptr);
    std::size_t size = 0;
    for (auto _ : state) size = ImageReadWrite::imageData(*image, ImageExportType::png(1, false)).size();
    label(state, c, size);
}

// Encoding, rendering and PNG writing of every pixel shape on the
// version-22 symbol, plain and with the default drop shadow: what the shadow
// costs each shape.
void BM_PixelShapePNG(benchmark::State& state, const std::string& name, bool shadow) {
    png(state, name.c_str(), shadow);
}

// The PDF of a pixel shape on the version-22 symbol; argument 1: drop shadow.
void BM_PixelShapePDF(benchmark::State& state, const std::string& name) {
    const auto c = code(22);
    const auto d = design(name.c_str(), state.range(0) != 0);
    std::size_t size = 0;
    for (auto _ : state) size = c.pdfData(1024, 72, *d, nullptr).size();
    label(state, c, size);
}

const int registered = [] {
    for (const auto& name : QRCodePixelShapeFactory::shared().availableGeneratorNames()) {
        benchmark::RegisterBenchmark(("BM_PixelShapeBitmap/" + name).c_str(), BM_PixelShapeBitmap, name)
            ->Unit(benchmark::kMillisecond);
    }
    for (const auto& name : QRCodePixelShapeFactory::shared().availableGeneratorNames()) {
        benchmark::RegisterBenchmark(("BM_PixelShapePNG/" + name).c_str(), BM_PixelShapePNG, name, false)
            ->Arg(22)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_PixelShapeShadowPNG/" + name).c_str(), BM_PixelShapePNG, name, true)
            ->Arg(22)
            ->Unit(benchmark::kMillisecond);
    }
    for (const char* name : {"square", "circle", "roundedPath", "crosshatch"}) {
        benchmark::RegisterBenchmark((std::string("BM_PixelShapePDF/") + name).c_str(), BM_PixelShapePDF, name)
            ->Arg(0)
            ->Arg(1)
            ->Unit(benchmark::kMillisecond);
    }
    return 0;
}();

} // namespace

BENCHMARK(BM_Encode)->Arg(6)->Arg(22)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPNG)->Arg(6)->Arg(22)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundPNG)->Arg(6)->Arg(22)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StyledPNG)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SVG)->Arg(22)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShadowPNG)->Arg(22)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PDF)->Args({22, 0})->Args({22, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShadowBitmap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VariedShapeBitmap)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PNGWriteOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
