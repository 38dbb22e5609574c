#include "QRCode/generators/PixelRotationGenerator.h"

#include "QRCode/generators/detail/PixelGeneratorMath.h"

#include <array>
#include <cmath>

namespace QRCode::PixelRotation {

using pixelmath::clampedFraction;

// The random and wave generators take the fraction limited to -1...1 (NaN
// as 0), so any stored value gives a finite turn.

double Random::rotationValueFor(const BoolMatrix&, std::int64_t, std::int64_t, double rotationFraction) {
    return pixelmath::drawSymmetric(randomGenerator, std::fabs(clampedFraction(rotationFraction, -1, 1)));
}

double HWave::rotationValueFor(const BoolMatrix& matrix, std::int64_t, std::int64_t column, double rotationFraction) {
    const auto n = static_cast<double>(matrix.dimension());
    if (!(n > 0)) return 0;
    return clampedFraction(rotationFraction, -1, 1) * static_cast<double>(column) / n;
}

double VWave::rotationValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t, double rotationFraction) {
    const auto n = static_cast<double>(matrix.dimension());
    if (!(n > 0)) return 0;
    return clampedFraction(rotationFraction, -1, 1) * static_cast<double>(row) / n;
}

namespace {
template <class T> std::shared_ptr<QRCodePixelRotationGenerator> make() { return T::Create(); }

constexpr std::array<GeneratorEntry, 4> kGenerators{{
    {Fixed::Name, &make<Fixed>},
    {Random::Name, &make<Random>},
    {HWave::Name, &make<HWave>},
    {VWave::Name, &make<VWave>},
}};
} // namespace

std::span<const GeneratorEntry> generators() { return kGenerators; }

std::shared_ptr<QRCodePixelRotationGenerator> generator(std::string_view name) {
    for (const auto& entry : kGenerators) {
        if (entry.name == name) return entry.create();
    }
    return nullptr;
}

} // namespace QRCode::PixelRotation
