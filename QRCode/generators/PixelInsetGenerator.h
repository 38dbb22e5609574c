#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/core/SplitMix64.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace QRCode {

// Per-module inset strategy of the template pixel shapes. The value is a
// fraction of half the module's cell: the outline shrinks by
// cell * 0.5 * value on every side, so 0 is full size and 1 is nothing.
class QRCodePixelInsetGenerator {
public:
    virtual ~QRCodePixelInsetGenerator() = default;

    // Restarts whatever sequence the generator follows (random generators go
    // back to their seed); nothing for the others.
    virtual void reset() = 0;
    // A new generator of the same class in its initial state (a random
    // generator's copy is freshly seeded).
    virtual std::shared_ptr<QRCodePixelInsetGenerator> copyInsetGenerator() const = 0;
    virtual double insetValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column,
                                 double insetFraction) = 0;
    // The class's Name.
    virtual std::string_view name() const noexcept = 0;
};

} // namespace QRCode

namespace QRCode {

// The Name of a generator's class, as shapes write it under
// "insetGeneratorName".
inline std::string_view insetGeneratorName(const QRCodePixelInsetGenerator& generator) noexcept {
    return generator.name();
}

namespace PixelInset {

// The fraction itself for every module.
class Fixed final : public QRCodePixelInsetGenerator {
public:
    static constexpr std::string_view Name = "fixed";
    static std::shared_ptr<Fixed> Create() { return std::make_shared<Fixed>(); }

    void reset() override {}
    std::shared_ptr<QRCodePixelInsetGenerator> copyInsetGenerator() const override { return Create(); }
    double insetValueFor(const BoolMatrix&, std::int64_t, std::int64_t, double insetFraction) override {
        return insetFraction;
    }
    std::string_view name() const noexcept override { return Name; }
};

// A uniform draw from 0...fraction per module, the same sequence on every
// rendering (restarts from a fixed seed on reset). The fraction is limited
// to 0...1 first.
class Random final : public QRCodePixelInsetGenerator {
public:
    static constexpr std::string_view Name = "random";
    static constexpr std::uint64_t seed = 308653205;
    static std::shared_ptr<Random> Create() { return std::make_shared<Random>(); }

    void reset() override { insetRandomGenerator = SplitMix64(seed); }
    std::shared_ptr<QRCodePixelInsetGenerator> copyInsetGenerator() const override { return Create(); }
    double insetValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column,
                         double insetFraction) override;
    std::string_view name() const noexcept override { return Name; }

    SplitMix64 insetRandomGenerator{seed};
};

// Grows with the distance from the centre: fraction * distance / (n / 2).
class Pinch final : public QRCodePixelInsetGenerator {
public:
    static constexpr std::string_view Name = "pinch";
    static std::shared_ptr<Pinch> Create() { return std::make_shared<Pinch>(); }

    void reset() override {}
    std::shared_ptr<QRCodePixelInsetGenerator> copyInsetGenerator() const override { return Create(); }
    double insetValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column,
                         double insetFraction) override;
    std::string_view name() const noexcept override { return Name; }
};

// The smaller of the row and column waves (fraction limited to 0...1).
class Punch final : public QRCodePixelInsetGenerator {
public:
    static constexpr std::string_view Name = "punch";
    static std::shared_ptr<Punch> Create() { return std::make_shared<Punch>(); }

    void reset() override {}
    std::shared_ptr<QRCodePixelInsetGenerator> copyInsetGenerator() const override { return Create(); }
    double insetValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column,
                         double insetFraction) override;
    std::string_view name() const noexcept override { return Name; }
};

// fraction * wave(column) (fraction limited to 0...1).
class HorizontalWave final : public QRCodePixelInsetGenerator {
public:
    static constexpr std::string_view Name = "horizontalWave";
    static std::shared_ptr<HorizontalWave> Create() { return std::make_shared<HorizontalWave>(); }

    void reset() override {}
    std::shared_ptr<QRCodePixelInsetGenerator> copyInsetGenerator() const override { return Create(); }
    double insetValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column,
                         double insetFraction) override;
    std::string_view name() const noexcept override { return Name; }
};

// fraction * wave(row) (fraction limited to 0...1).
class VerticalWave final : public QRCodePixelInsetGenerator {
public:
    static constexpr std::string_view Name = "verticalWave";
    static std::shared_ptr<VerticalWave> Create() { return std::make_shared<VerticalWave>(); }

    void reset() override {}
    std::shared_ptr<QRCodePixelInsetGenerator> copyInsetGenerator() const override { return Create(); }
    double insetValueFor(const BoolMatrix& matrix, std::int64_t row, std::int64_t column,
                         double insetFraction) override;
    std::string_view name() const noexcept override { return Name; }
};

// A registry entry: the class's Name and its Create.
struct GeneratorEntry {
    std::string_view name;
    std::shared_ptr<QRCodePixelInsetGenerator> (*create)();
};

// The inset classes in registry order: fixed, random, pinch, punch,
// horizontalWave, verticalWave.
std::span<const GeneratorEntry> generators();

// A new generator of the first class whose Name equals `name` exactly;
// nullptr when none does.
std::shared_ptr<QRCodePixelInsetGenerator> generator(std::string_view name);

} // namespace PixelInset
} // namespace QRCode
