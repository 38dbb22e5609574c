#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/core/SplitMix64.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace QRCode {

// Per-module rotation strategy of the template pixel shapes. The value is a
// fraction of a full turn: the outline turns by value * 2 pi radians about
// its cell's centre.
class QRCodePixelRotationGenerator {
public:
    virtual ~QRCodePixelRotationGenerator() = default;

    // Restarts whatever sequence the generator follows (random generators go
    // back to their seed); nothing for the others.
    virtual void reset() = 0;
    // A new generator of the same class in its initial state (a random
    // generator's copy is freshly seeded).
    virtual std::shared_ptr<QRCodePixelRotationGenerator> copyRotationGenerator() const = 0;
    virtual double rotationValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column,
                                    double rotationFraction) = 0;
    // The class's Name.
    virtual std::string_view name() const noexcept = 0;
};

} // namespace QRCode

namespace QRCode {

// The Name of a generator's class, as shapes write it under
// "rotationGeneratorName".
inline std::string_view rotationGeneratorName(const QRCodePixelRotationGenerator& generator) noexcept {
    return generator.name();
}

namespace PixelRotation {

// The fraction itself for every module.
class Fixed final : public QRCodePixelRotationGenerator {
public:
    static constexpr std::string_view Name = "fixed";
    static std::shared_ptr<Fixed> Create() { return std::make_shared<Fixed>(); }

    void reset() override {}
    std::shared_ptr<QRCodePixelRotationGenerator> copyRotationGenerator() const override { return Create(); }
    double rotationValueFor(const BoolMatrix&, std::int64_t, std::int64_t, double rotationFraction) override {
        return rotationFraction;
    }
    std::string_view name() const noexcept override { return Name; }
};

// A uniform draw from -|fraction|...|fraction| per module, the same sequence
// on every rendering (restarts from a fixed seed on reset). The fraction is
// limited to -1...1 first.
class Random final : public QRCodePixelRotationGenerator {
public:
    static constexpr std::string_view Name = "random";
    static constexpr std::uint64_t seed = 308653205;
    static std::shared_ptr<Random> Create() { return std::make_shared<Random>(); }

    void reset() override { randomGenerator = SplitMix64(seed); }
    std::shared_ptr<QRCodePixelRotationGenerator> copyRotationGenerator() const override { return Create(); }
    double rotationValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column,
                            double rotationFraction) override;
    std::string_view name() const noexcept override { return Name; }

    SplitMix64 randomGenerator{seed};
};

// fraction * column / n (fraction limited to -1...1).
class HWave final : public QRCodePixelRotationGenerator {
public:
    static constexpr std::string_view Name = "horizontalWave";
    static std::shared_ptr<HWave> Create() { return std::make_shared<HWave>(); }

    void reset() override {}
    std::shared_ptr<QRCodePixelRotationGenerator> copyRotationGenerator() const override { return Create(); }
    double rotationValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column,
                            double rotationFraction) override;
    std::string_view name() const noexcept override { return Name; }
};

// fraction * row / n (fraction limited to -1...1).
class VWave final : public QRCodePixelRotationGenerator {
public:
    static constexpr std::string_view Name = "verticalWave";
    static std::shared_ptr<VWave> Create() { return std::make_shared<VWave>(); }

    void reset() override {}
    std::shared_ptr<QRCodePixelRotationGenerator> copyRotationGenerator() const override { return Create(); }
    double rotationValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column,
                            double rotationFraction) override;
    std::string_view name() const noexcept override { return Name; }
};

// A registry entry: the class's Name and its Create.
struct GeneratorEntry {
    std::string_view name;
    std::shared_ptr<QRCodePixelRotationGenerator> (*create)();
};

// The rotation classes in registry order: fixed, random, horizontalWave,
// verticalWave.
std::span<const GeneratorEntry> generators();

// A new generator of the first class whose Name equals `name` exactly;
// nullptr when none does.
std::shared_ptr<QRCodePixelRotationGenerator> generator(std::string_view name);

} // namespace PixelRotation
} // namespace QRCode
