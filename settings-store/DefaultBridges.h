#pragma once

// The bridge a storable type of the program's own receives when it names
// none. Opt in with
//     template <> struct Defaults::Serializable<MyType> : Defaults::DefaultSerializable<MyType> {};
// The rules, most specific first:
//   raw-representable, codable and marked preferRawRepresentable -> RawRepresentableBridge
//   raw-representable and codable                               -> RawRepresentableCodableBridge
//   codable                                                     -> TopLevelCodableBridge
//   raw-representable                                           -> RawRepresentableBridge
//   marked collectionSerializable                               -> CollectionBridge
//   marked setAlgebraSerializable                               -> SetAlgebraBridge
// A type that matches two rules of which neither contains the other (say,
// codable and a marked collection) receives no bridge and must name one.

#include "settings-store/CollectionBridges.h"

namespace Defaults {

// Marker: a codable raw-representable type stored through its raw value
// rather than as JSON.
template <class T> inline constexpr bool preferRawRepresentable = false;

namespace detail {
template <class T> struct DefaultBridgeChoice {
    static constexpr bool codable = Codable<T>;
    static constexpr bool raw = RawRepresentable<T>;
    static constexpr bool codingFamily = codable || raw;
    static constexpr int families =
        int(codingFamily) + int(DefaultsCollectionSerializable<T>) + int(DefaultsSetAlgebraSerializable<T>);
};

template <class T, class = void> struct NoBridge {};
template <class B> struct WithBridge {
    using Bridge = B;
    static constexpr bool isNativelySupportedType = false;
    static Bridge bridge() { return {}; }
};

template <class T> auto chooseDefaultBridge() {
    using C = DefaultBridgeChoice<T>;
    if constexpr (C::families != 1)
        return NoBridge<T>{};
    else if constexpr (C::raw && C::codable && preferRawRepresentable<T>)
        return WithBridge<RawRepresentableBridge<T>>{};
    else if constexpr (C::raw && C::codable)
        return WithBridge<RawRepresentableCodableBridge<T>>{};
    else if constexpr (C::codable)
        return WithBridge<TopLevelCodableBridge<T>>{};
    else if constexpr (C::raw)
        return WithBridge<RawRepresentableBridge<T>>{};
    else if constexpr (DefaultsCollectionSerializable<T>)
        return WithBridge<CollectionBridge<T>>{};
    else
        return WithBridge<SetAlgebraBridge<T>>{};
}
} // namespace detail

template <class T> struct DefaultSerializable : decltype(detail::chooseDefaultBridge<T>()) {};

} // namespace Defaults
