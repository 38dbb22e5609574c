#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>

#include <nlohmann/json.hpp>

namespace QRCode {

// The set of corners an eye or pupil outline treats specially. Any integer
// is a valid raw value; bits above the four members are kept but mean
// nothing.
struct Corners {
    std::int64_t rawValue = 0;

    constexpr Corners() noexcept = default;
    constexpr explicit Corners(std::int64_t raw) noexcept : rawValue(raw) {}

    static const Corners topLeft;     // 1
    static const Corners topRight;    // 2
    static const Corners bottomLeft;  // 4
    static const Corners bottomRight; // 8
    static const Corners all;         // 15

    // The union of the given members (0 for an empty list).
    static constexpr Corners of(std::initializer_list<Corners> members) noexcept {
        std::int64_t raw = 0;
        for (const auto m : members) raw |= m.rawValue;
        return Corners(raw);
    }

    // Exactly the bits 1, 2, 4 and 8 of the corners given as true.
    static constexpr Corners fromFlags(bool tl, bool tr, bool bl, bool br) noexcept {
        return Corners((tl ? 1 : 0) | (tr ? 2 : 0) | (bl ? 4 : 0) | (br ? 8 : 0));
    }

    constexpr bool isEmpty() const noexcept { return rawValue == 0; }
    constexpr bool contains(Corners other) const noexcept { return (rawValue & other.rawValue) == other.rawValue; }
    constexpr bool isSubset(Corners of) const noexcept { return (rawValue & of.rawValue) == rawValue; }
    constexpr bool isSuperset(Corners of) const noexcept { return contains(of); }
    constexpr bool isDisjoint(Corners with) const noexcept { return (rawValue & with.rawValue) == 0; }

    constexpr Corners unionWith(Corners other) const noexcept { return Corners(rawValue | other.rawValue); }
    constexpr Corners intersection(Corners other) const noexcept { return Corners(rawValue & other.rawValue); }
    constexpr Corners symmetricDifference(Corners other) const noexcept { return Corners(rawValue ^ other.rawValue); }
    constexpr Corners subtracting(Corners other) const noexcept { return Corners(rawValue & ~other.rawValue); }

    // Adds the members; true when they were not all present before.
    constexpr bool insert(Corners members) noexcept {
        const bool inserted = !contains(members);
        rawValue |= members.rawValue;
        return inserted;
    }

    // Removes the members; returns those that were present, or std::nullopt
    // (leaving the set unchanged) when none of them were.
    constexpr std::optional<Corners> remove(Corners members) noexcept {
        const Corners present = intersection(members);
        if (present.isEmpty()) return std::nullopt;
        rawValue &= ~members.rawValue;
        return present;
    }

    friend constexpr Corners operator|(Corners a, Corners b) noexcept { return a.unionWith(b); }
    friend constexpr Corners operator&(Corners a, Corners b) noexcept { return a.intersection(b); }
    friend constexpr Corners operator^(Corners a, Corners b) noexcept { return a.symmetricDifference(b); }
    friend constexpr Corners operator-(Corners a, Corners b) noexcept { return a.subtracting(b); }
    friend constexpr bool operator==(Corners, Corners) noexcept = default;
};

inline constexpr Corners Corners::topLeft{1};
inline constexpr Corners Corners::topRight{2};
inline constexpr Corners Corners::bottomLeft{4};
inline constexpr Corners Corners::bottomRight{8};
inline constexpr Corners Corners::all{15};

// Coded as the bare raw integer. Decoding anything but an integer throws
// std::invalid_argument.
void to_json(nlohmann::json& json, const Corners& corners);
void from_json(const nlohmann::json& json, Corners& corners);

} // namespace QRCode
