#include "QRCode/generators/PixelInsetGenerator.h"

#include "QRCode/generators/detail/PixelGeneratorMath.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace QRCode::PixelInset {

using pixelmath::clampedFraction;
using pixelmath::wave;

// The random and wave generators take the fraction limited to 0...1: a
// stored value outside it (or NaN) must neither break the draw's range nor
// blow modules up.

double Random::insetValueFor(const BoolMatrix&, std::int64_t, std::int64_t, double insetFraction) {
    return pixelmath::drawClosedFromZero(insetRandomGenerator, clampedFraction(insetFraction, 0, 1));
}

double Pinch::insetValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column, double insetFraction) {
    const double h = static_cast<double>(matrix.dimension()) * 0.5;
    if (!(h > 0)) return 0;
    const double dr = static_cast<double>(row) - h;
    const double dc = static_cast<double>(column) - h;
    return insetFraction * std::sqrt(dr * dr + dc * dc) / h;
}

double Punch::insetValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column, double insetFraction) {
    const double h = static_cast<double>(matrix.dimension()) * 0.5;
    if (!(h > 0)) return 0;
    const double f = clampedFraction(insetFraction, 0, 1);
    return std::min(f * wave(static_cast<double>(row), h), f * wave(static_cast<double>(column), h));
}

double HorizontalWave::insetValueFor(const BoolMatrix& matrix, std::int64_t, std::int64_t column,
                                     double insetFraction) {
    const double h = static_cast<double>(matrix.dimension()) * 0.5;
    if (!(h > 0)) return 0;
    return clampedFraction(insetFraction, 0, 1) * wave(static_cast<double>(column), h);
}

double VerticalWave::insetValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t, double insetFraction) {
    const double h = static_cast<double>(matrix.dimension()) * 0.5;
    if (!(h > 0)) return 0;
    return clampedFraction(insetFraction, 0, 1) * wave(static_cast<double>(row), h);
}

namespace {
template <class T> std::shared_ptr<QRCodePixelInsetGenerator> make() { return T::Create(); }

constexpr std::array<GeneratorEntry, 6> kGenerators{{
    {Fixed::Name, &make<Fixed>},
    {Random::Name, &make<Random>},
    {Pinch::Name, &make<Pinch>},
    {Punch::Name, &make<Punch>},
    {HorizontalWave::Name, &make<HorizontalWave>},
    {VerticalWave::Name, &make<VerticalWave>},
}};
} // namespace

std::span<const GeneratorEntry> generators() { return kGenerators; }

std::shared_ptr<QRCodePixelInsetGenerator> generator(std::string_view name) {
    for (const auto& entry : kGenerators) {
        if (entry.name == name) return entry.create();
    }
    return nullptr;
}

} // namespace QRCode::PixelInset
