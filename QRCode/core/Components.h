#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>

namespace QRCode {

// The parts of a symbol that one path request covers, as a set of bits in
// one signed byte. `offPixelsBackground` is the sign bit (raw value -128).
class Components {
public:
    using RawValue = std::int8_t;

    constexpr Components() = default;
    constexpr explicit Components(RawValue rawValue) : rawValue_(rawValue) {}
    constexpr Components(std::initializer_list<Components> members) {
        for (Components m : members) rawValue_ = RawValue(rawValue_ | m.rawValue_);
    }

    static constexpr Components eyeOuter() { return Components(RawValue(1)); }
    static constexpr Components eyePupil() { return Components(RawValue(2)); }
    static constexpr Components onPixels() { return Components(RawValue(4)); }
    static constexpr Components offPixels() { return Components(RawValue(8)); }
    static constexpr Components eyeBackground() { return Components(RawValue(16)); }
    static constexpr Components negatedOnPixels() { return Components(RawValue(32)); }
    static constexpr Components onPixelsBackground() { return Components(RawValue(64)); }
    static constexpr Components offPixelsBackground() { return Components(RawValue(-128)); }

    static constexpr Components eye() { return Components(RawValue(3)); }
    static constexpr Components standard() { return Components(RawValue(7)); }
    static constexpr Components allPrimary() { return Components(RawValue(31)); }

    constexpr RawValue rawValue() const { return rawValue_; }
    constexpr void setRawValue(RawValue value) { rawValue_ = value; }

    constexpr bool isEmpty() const { return rawValue_ == 0; }
    // True when the two sets share at least one bit.
    constexpr bool contains(Components other) const { return (bits() & other.bits()) != 0; }
    constexpr bool isSubset(Components other) const { return (bits() & other.bits()) == bits(); }
    constexpr bool isSuperset(Components other) const { return other.isSubset(*this); }
    constexpr bool isDisjoint(Components other) const { return (bits() & other.bits()) == 0; }

    constexpr Components unionWith(Components o) const { return make(bits() | o.bits()); }
    constexpr Components intersection(Components o) const { return make(bits() & o.bits()); }
    constexpr Components symmetricDifference(Components o) const { return make(bits() ^ o.bits()); }
    constexpr Components subtracting(Components o) const { return make(bits() & ~o.bits()); }

    constexpr void formUnion(Components o) { *this = unionWith(o); }
    constexpr void formIntersection(Components o) { *this = intersection(o); }
    constexpr void formSymmetricDifference(Components o) { *this = symmetricDifference(o); }
    constexpr void subtract(Components o) { *this = subtracting(o); }

    // Adds the member; true when any of its bits was missing before.
    constexpr bool insert(Components member) {
        const bool wasMissing = !member.isSubset(*this);
        formUnion(member);
        return wasMissing;
    }
    // Clears the member's bits; the previous common part, or nothing when
    // there was none.
    constexpr std::optional<Components> remove(Components member) {
        const Components previous = intersection(member);
        subtract(member);
        if (previous.isEmpty()) return std::nullopt;
        return previous;
    }
    // Adds the member; the previous common part, or nothing when there was none.
    constexpr std::optional<Components> update(Components member) {
        const Components previous = intersection(member);
        formUnion(member);
        if (previous.isEmpty()) return std::nullopt;
        return previous;
    }

    friend constexpr Components operator|(Components a, Components b) { return a.unionWith(b); }
    friend constexpr Components operator&(Components a, Components b) { return a.intersection(b); }
    friend constexpr Components operator^(Components a, Components b) { return a.symmetricDifference(b); }
    friend constexpr bool operator==(Components a, Components b) = default;

private:
    constexpr std::uint8_t bits() const { return std::uint8_t(rawValue_); }
    static constexpr Components make(unsigned v) { return Components(RawValue(std::uint8_t(v))); }

    RawValue rawValue_ = 0;
};

} // namespace QRCode
