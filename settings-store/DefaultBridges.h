#pragma once

// The bridge a storable type of the program's own receives when it names
// none. Opt in with
//     template <> struct Defaults::Serializable<MyType> : Defaults::DefaultSerializable<MyType> {};
// The rules, each by the conditions it requires:
//   1 codable                                                 -> TopLevelCodableBridge
//   2 codable, raw-representable                              -> RawRepresentableCodableBridge
//   3 codable, raw-representable, marked preferRawRepresentable -> RawRepresentableBridge
//   4 raw-representable                                       -> RawRepresentableBridge
//   5 archivable (NSSecureCoding)                             -> NSSecureCodingBridge
//   6 archivable, codable                                     -> CodableNSSecureCodingBridge
//   7 archivable, codable, marked preferNSSecureCoding        -> NSSecureCodingBridge
//   8 marked collectionSerializable                           -> CollectionBridge
//   9 marked setAlgebraSerializable                           -> SetAlgebraBridge
// Of the rules a type meets, the one whose conditions include those of all
// the others wins (3 over 2 over 1 and 4; 7 over 6 over 1 and 5). A type
// that meets two rules of which neither includes the other (say, codable
// and a marked collection, or archivable and raw-representable) receives
// no bridge and must name one.

#include "settings-store/CollectionBridges.h"

#include <array>

namespace Defaults {

// Marker: a codable raw-representable type stored through its raw value
// rather than as JSON.
template <class T> inline constexpr bool preferRawRepresentable = false;

// Marker: a codable archivable type stored as a keyed archive rather than
// as JSON.
template <class T> inline constexpr bool preferNSSecureCoding = false;

namespace detail {

// The conditions of the rules, one bit each.
namespace condition {
inline constexpr unsigned codable = 1u << 0;
inline constexpr unsigned rawRepresentable = 1u << 1;
inline constexpr unsigned prefersRaw = 1u << 2;
inline constexpr unsigned secureCoding = 1u << 3;
inline constexpr unsigned prefersSecureCoding = 1u << 4;
inline constexpr unsigned collection = 1u << 5;
inline constexpr unsigned setAlgebra = 1u << 6;
} // namespace condition

// The conditions of rules 1 to 9, in order.
inline constexpr std::array<unsigned, 9> defaultBridgeRules{
    condition::codable,
    condition::codable | condition::rawRepresentable,
    condition::codable | condition::rawRepresentable | condition::prefersRaw,
    condition::rawRepresentable,
    condition::secureCoding,
    condition::secureCoding | condition::codable,
    condition::secureCoding | condition::codable | condition::prefersSecureCoding,
    condition::collection,
    condition::setAlgebra,
};

// The number (1 to 9) of the rule that wins for a type meeting
// `conditions`, or 0 when none does.
constexpr int winningDefaultBridgeRule(unsigned conditions) {
    int winner = 0;
    for (std::size_t i = 0; i < defaultBridgeRules.size(); ++i) {
        const unsigned rule = defaultBridgeRules[i];
        if ((rule & conditions) != rule) continue;
        bool includesAll = true;
        for (unsigned other : defaultBridgeRules)
            if ((other & conditions) == other && (other & rule) != other) includesAll = false;
        if (includesAll) winner = int(i) + 1;
    }
    return winner;
}

template <class T> constexpr unsigned defaultBridgeConditions() {
    // A marker counts only on the kind of type it is meant for.
    return (Codable<T> ? condition::codable : 0u) | (RawRepresentable<T> ? condition::rawRepresentable : 0u) |
           (RawRepresentable<T> && preferRawRepresentable<T> ? condition::prefersRaw : 0u) |
           (NSSecureCoding<T> ? condition::secureCoding : 0u) |
           (NSSecureCoding<T> && preferNSSecureCoding<T> ? condition::prefersSecureCoding : 0u) |
           (DefaultsCollectionSerializable<T> ? condition::collection : 0u) |
           (DefaultsSetAlgebraSerializable<T> ? condition::setAlgebra : 0u);
}

template <class T, class = void> struct NoBridge {};
template <class B> struct WithBridge {
    using Bridge = B;
    static constexpr bool isNativelySupportedType = false;
    static Bridge bridge() { return {}; }
};

template <class T> auto chooseDefaultBridge() {
    constexpr int rule = winningDefaultBridgeRule(defaultBridgeConditions<T>());
    if constexpr (rule == 1)
        return WithBridge<TopLevelCodableBridge<T>>{};
    else if constexpr (rule == 2)
        return WithBridge<RawRepresentableCodableBridge<T>>{};
    else if constexpr (rule == 3 || rule == 4)
        return WithBridge<RawRepresentableBridge<T>>{};
    else if constexpr (rule == 5 || rule == 7)
        return WithBridge<NSSecureCodingBridge<T>>{};
    else if constexpr (rule == 6)
        return WithBridge<CodableNSSecureCodingBridge<T>>{};
    else if constexpr (rule == 8)
        return WithBridge<CollectionBridge<T>>{};
    else if constexpr (rule == 9)
        return WithBridge<SetAlgebraBridge<T>>{};
    else
        return NoBridge<T>{};
}
} // namespace detail

template <class T> struct DefaultSerializable : decltype(detail::chooseDefaultBridge<T>()) {};

} // namespace Defaults
