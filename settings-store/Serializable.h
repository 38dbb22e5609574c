#pragma once

// The serializable trait of settings values and the two conversions between
// a value and its stored form (the property-list object a suite keeps).
//
// Serializable<T> tells the store about T:
//     using Bridge = ...;                        // a DefaultsBridge
//     static Bridge bridge();                    // a stateless instance
//     static constexpr bool isNativelySupportedType;
// The standard types are declared in Bridges.h and CollectionBridges.h; a
// type of the program's own opts in by specialising Serializable<T>, either
// naming its bridge or deriving from DefaultSerializable<T> to have one
// chosen for it (DefaultBridges.h).

#include "platform/defaults/PropertyList.h"
#include "platform/foundation/SafeConvert.h"
#include "settings-store/JSONCoding.h"

#include <cmath>
#include <concepts>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace Defaults {

using platform::Data;
using platform::Date;
using platform::PropertyList;
using platform::PropertyListArray;
using platform::PropertyListDictionary;

// The trait. Empty for a type that is not storable.
template <class T> struct Serializable {};

// A bridge: a stateless value converting Value to and from its stored form
// Serializable. Neither operation reports errors: failures yield nothing.
template <class B>
concept DefaultsBridge = requires(const B& b, const std::optional<typename B::Value>& v,
                                  const std::optional<typename B::Serializable>& s) {
    typename B::Value;
    typename B::Serializable;
    { b.serialize(v) } -> std::same_as<std::optional<typename B::Serializable>>;
    { b.deserialize(s) } -> std::same_as<std::optional<typename B::Value>>;
};

// A bridge that stores its value as JSON text.
template <class B>
concept DefaultsCodableBridge =
    DefaultsBridge<B> && std::same_as<typename B::Serializable, std::string> && Codable<typename B::Value>;

// A storable type. A type that is not stored as it is may not name a bridge
// whose stored form is the type itself: writing would convert without end.
template <class T>
concept DefaultsSerializable = requires {
    typename Serializable<T>::Bridge;
    { Serializable<T>::isNativelySupportedType } -> std::convertible_to<bool>;
    { Serializable<T>::bridge() } -> std::same_as<typename Serializable<T>::Bridge>;
}
&&DefaultsBridge<typename Serializable<T>::Bridge> &&
    (Serializable<T>::isNativelySupportedType || !std::same_as<typename Serializable<T>::Bridge::Serializable, T>);

template <class T> inline constexpr bool isNativelySupportedType = Serializable<T>::isNativelySupportedType;

// Values that can be "nothing": std::optional and AnySerializable. Writing
// such a value that is nothing removes the stored value.
template <class T> struct OptionalProtocol {};
template <class T> struct OptionalProtocol<std::optional<T>> {
    static bool isNil(const std::optional<T>& v) { return !v.has_value(); }
};

template <class T>
concept DefaultsOptionalProtocol = requires(const T& v) {
    { OptionalProtocol<T>::isNil(v) } -> std::same_as<bool>;
};

template <DefaultsOptionalProtocol T> bool defaultsIsNil(const T& v) { return OptionalProtocol<T>::isNil(v); }

// Types whose text form converts back without loss (dictionary keys).
template <class T> struct LosslessString {};

template <> struct LosslessString<std::string> {
    static std::string description(const std::string& v) { return v; }
    static std::optional<std::string> fromText(std::string_view text) { return std::string(text); }
};

template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>) struct LosslessString<T> {
    static std::string description(T v) { return std::to_string(v); }
    static std::optional<T> fromText(std::string_view text) {
        if (text.size() > 1 && text.front() == '+') text.remove_prefix(1);
        T v{};
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
        return v;
    }
};

template <class T>
concept LosslessStringConvertible = requires(const T& v, std::string_view s) {
    { LosslessString<T>::description(v) } -> std::same_as<std::string>;
    { LosslessString<T>::fromText(s) } -> std::same_as<std::optional<T>>;
};

// ---- natively supported values: straight casts to and from property lists ----

template <class T> struct NativeCast;

template <> struct NativeCast<bool> {
    static std::optional<PropertyList> toPlist(bool v) { return PropertyList(v); }
    static std::optional<bool> cast(const PropertyList& o) {
        if (auto v = o.asBool()) return *v;
        return std::nullopt;
    }
};

template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>) struct NativeCast<T> {
    static std::optional<PropertyList> toPlist(T v) {
        if constexpr (std::is_signed_v<T>)
            return PropertyList(std::int64_t(v));
        else
            return PropertyList(std::uint64_t(v));
    }
    // An integer that fits, or a real that is one exactly (5.0 reads as 5,
    // 5.5 as nothing), as a stored number casts to an integer type.
    static std::optional<T> cast(const PropertyList& o) {
        if (auto v = o.asInt64(); v && std::in_range<T>(*v)) return T(*v);
        if (auto v = o.asUInt64(); v && std::in_range<T>(*v)) return T(*v);
        if (auto r = o.asReal(); r && std::trunc(*r) == *r) return foundation::truncatedInteger<T>(*r);
        return std::nullopt;
    }
};

template <std::floating_point T> struct NativeCast<T> {
    static std::optional<PropertyList> toPlist(T v) { return PropertyList(double(v)); }
    // A real (a Float only within its range), or an integer the type holds
    // exactly.
    static std::optional<T> cast(const PropertyList& o) {
        if (auto v = o.asReal()) {
            if (std::isfinite(*v) && std::fabs(*v) > double(std::numeric_limits<T>::max())) return std::nullopt;
            return T(*v);
        }
        if (auto v = o.asInt64()) {
            T r = T(*v);
            if (std::isfinite(r) && r >= -0x1p63 && r < 0x1p63 && std::int64_t(r) == *v) return r;
        } else if (auto u = o.asUInt64()) {
            T r = T(*u);
            if (std::isfinite(r) && r < 0x1p64 && std::uint64_t(r) == *u) return r;
        }
        return std::nullopt;
    }
};

template <> struct NativeCast<std::string> {
    static std::optional<PropertyList> toPlist(const std::string& v) { return PropertyList(v); }
    static std::optional<std::string> cast(const PropertyList& o) {
        if (auto v = o.asString()) return *v;
        return std::nullopt;
    }
};

template <> struct NativeCast<Data> {
    static std::optional<PropertyList> toPlist(const Data& v) { return PropertyList(v); }
    static std::optional<Data> cast(const PropertyList& o) {
        if (auto v = o.asData()) return *v;
        return std::nullopt;
    }
};

template <> struct NativeCast<Date> {
    static std::optional<PropertyList> toPlist(const Date& v) { return PropertyList(v); }
    static std::optional<Date> cast(const PropertyList& o) {
        if (auto v = o.asDate()) return *v;
        return std::nullopt;
    }
};

template <> struct NativeCast<PropertyList> {
    static std::optional<PropertyList> toPlist(const PropertyList& v) { return v; }
    static std::optional<PropertyList> cast(const PropertyList& o) { return o; }
};

template <class W> struct NativeCast<std::optional<W>> {
    static std::optional<PropertyList> toPlist(const std::optional<W>& v) {
        if (!v) return std::nullopt;
        return NativeCast<W>::toPlist(*v);
    }
    static std::optional<std::optional<W>> cast(const PropertyList& o) {
        if (auto v = NativeCast<W>::cast(o)) return std::optional<W>(std::move(*v));
        return std::nullopt;
    }
};

template <class E> struct NativeCast<std::vector<E>> {
    static std::optional<PropertyList> toPlist(const std::vector<E>& v) {
        PropertyListArray out;
        out.reserve(v.size());
        for (const auto& e : v)
            if (auto p = NativeCast<E>::toPlist(e)) out.push_back(std::move(*p));
        return PropertyList(std::move(out));
    }
    // Every element must be an E.
    static std::optional<std::vector<E>> cast(const PropertyList& o) {
        auto array = o.asArray();
        if (!array) return std::nullopt;
        std::vector<E> out;
        out.reserve(array->size());
        for (const auto& e : *array) {
            auto v = NativeCast<E>::cast(e);
            if (!v) return std::nullopt;
            out.push_back(std::move(*v));
        }
        return out;
    }
};

template <class E> struct NativeCast<std::map<std::string, E>> {
    static std::optional<PropertyList> toPlist(const std::map<std::string, E>& v) {
        PropertyListDictionary out;
        for (const auto& [k, e] : v)
            if (auto p = NativeCast<E>::toPlist(e)) out.emplace(k, std::move(*p));
        return PropertyList(std::move(out));
    }
    static std::optional<std::map<std::string, E>> cast(const PropertyList& o) {
        auto dictionary = o.asDictionary();
        if (!dictionary) return std::nullopt;
        std::map<std::string, E> out;
        for (const auto& [k, e] : *dictionary) {
            auto v = NativeCast<E>::cast(e);
            if (!v) return std::nullopt;
            out.emplace(k, std::move(*v));
        }
        return out;
    }
};

// ---- the conversions ----

namespace detail {
template <class T> struct IsOptional : std::false_type {};
template <class T> struct IsOptional<std::optional<T>> : std::true_type {};
template <class> inline constexpr bool dependentFalse = false;

// A value handed to a bridge whose Value may be the type itself or, for an
// optional, the wrapped type.
template <class V, class T> std::optional<V> toBridgeValue(const T& value) {
    if constexpr (std::is_same_v<T, V>)
        return value;
    else if constexpr (IsOptional<T>::value && std::is_same_v<typename T::value_type, V>)
        return value;
    else if constexpr (std::is_convertible_v<const T&, V>)
        return V(value);
    else
        static_assert(dependentFalse<T>, "the bridge's Value type does not hold this type");
}

template <class T, class V> std::optional<T> fromBridgeValue(std::optional<V>&& result) {
    if (!result) return std::nullopt;
    if constexpr (std::is_same_v<T, V>)
        return std::move(result);
    else if constexpr (std::is_constructible_v<T, V&&>)
        return T(std::move(*result));
    else
        static_assert(dependentFalse<T>, "the bridge's Value type does not convert to this type");
}
} // namespace detail

// Value to stored form: a natively supported value as it is, any other
// through its bridge, and a bridged result that is itself storable converted
// again. Nothing when the bridge gives nothing.
template <DefaultsSerializable T> std::optional<PropertyList> toSerializable(const T& value) {
    if constexpr (Serializable<T>::isNativelySupportedType) {
        return NativeCast<T>::toPlist(value);
    } else {
        using Bridge = typename Serializable<T>::Bridge;
        using Stored = typename Bridge::Serializable;
        static_assert(DefaultsSerializable<Stored>, "a bridge's stored form must itself be storable");
        auto stored = Serializable<T>::bridge().serialize(detail::toBridgeValue<typename Bridge::Value>(value));
        if (!stored) return std::nullopt;
        return toSerializable<Stored>(*stored);
    }
}

// Stored object to value: a checked cast for a natively supported type; the
// bridge otherwise, and also when that cast fails (so a Boolean stored as the
// JSON text "true" still reads). Nothing when nothing converts.
template <DefaultsSerializable T> std::optional<T> fromSerializable(const PropertyList& object) {
    if constexpr (Serializable<T>::isNativelySupportedType) {
        if (auto v = NativeCast<T>::cast(object)) return v;
    }
    using Bridge = typename Serializable<T>::Bridge;
    using Stored = typename Bridge::Serializable;
    std::optional<Stored> input;
    if constexpr (!std::is_same_v<Stored, T>)
        input = fromSerializable<Stored>(object);
    else
        input = NativeCast<Stored>::cast(object);
    return detail::fromBridgeValue<T>(Serializable<T>::bridge().deserialize(input));
}

template <DefaultsSerializable T> std::optional<T> fromSerializable(const std::optional<PropertyList>& object) {
    if (!object) return std::nullopt;
    return fromSerializable<T>(*object);
}

} // namespace Defaults
