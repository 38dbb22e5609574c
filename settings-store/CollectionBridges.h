#pragma once

// Bridges of containers: each applies its element type's bridge to every
// element. Elements that do not convert are dropped and the rest keep their
// order.

#include "settings-store/Bridges.h"

#include <concepts>
#include <map>
#include <set>
#include <vector>

namespace Defaults {

namespace detail {
template <class E> using ElementBridge = typename Defaults::Serializable<E>::Bridge;
template <class E> using ElementValue = typename ElementBridge<E>::Value;
template <class E> using ElementStored = typename ElementBridge<E>::Serializable;

// One element to its stored form, converted all the way to a property-list
// object (used by the bridges whose stored form is "any object").
template <class E> std::optional<PropertyList> elementToPlist(const E& element) {
    if constexpr (Defaults::Serializable<E>::isNativelySupportedType) {
        return NativeCast<E>::toPlist(element);
    } else {
        auto stored = Defaults::Serializable<E>::bridge().serialize(toBridgeValue<ElementValue<E>>(element));
        if (!stored) return std::nullopt;
        return toSerializable<ElementStored<E>>(*stored);
    }
}

// The elements of a stored array, or nothing when the object is not an array
// of the element's stored form. Elements whose bridge gives nothing are left
// out.
template <class E> std::optional<std::vector<E>> elementsFromPlist(const PropertyList& object) {
    auto array = object.asArray();
    if (!array) return std::nullopt;
    std::vector<E> out;
    out.reserve(array->size());
    if constexpr (Defaults::Serializable<E>::isNativelySupportedType) {
        for (const auto& e : *array) {
            auto v = NativeCast<E>::cast(e);
            if (!v) return std::nullopt;
            out.push_back(std::move(*v));
        }
    } else {
        using Stored = ElementStored<E>;
        std::vector<Stored> stored;
        stored.reserve(array->size());
        for (const auto& e : *array) {
            std::optional<Stored> s;
            if constexpr (Defaults::Serializable<Stored>::isNativelySupportedType)
                s = NativeCast<Stored>::cast(e);
            else
                s = fromSerializable<Stored>(e);
            if (!s) return std::nullopt;
            stored.push_back(std::move(*s));
        }
        for (auto& s : stored) {
            if (auto v = fromBridgeValue<E>(
                    Defaults::Serializable<E>::bridge().deserialize(std::optional<Stored>(std::move(s)))))
                out.push_back(std::move(*v));
        }
    }
    return out;
}
} // namespace detail

// An optional as exactly its wrapped type's stored form.
template <DefaultsSerializable W> struct OptionalBridge {
    using Value = detail::ElementValue<W>;
    using Serializable = detail::ElementStored<W>;
    std::optional<Serializable> serialize(const std::optional<Value>& v) const {
        return Defaults::Serializable<W>::bridge().serialize(v);
    }
    std::optional<Value> deserialize(const std::optional<Serializable>& s) const {
        return Defaults::Serializable<W>::bridge().deserialize(s);
    }
};

// An array as the array of its elements' stored forms.
template <DefaultsSerializable E> struct ArrayBridge {
    using Value = std::vector<E>;
    using Serializable = std::vector<detail::ElementStored<E>>;
    std::optional<Serializable> serialize(const std::optional<Value>& array) const {
        if (!array) return std::nullopt;
        Serializable out;
        out.reserve(array->size());
        auto bridge = Defaults::Serializable<E>::bridge();
        for (const auto& e : *array)
            if (auto s = bridge.serialize(detail::toBridgeValue<detail::ElementValue<E>>(e)))
                out.push_back(std::move(*s));
        return out;
    }
    std::optional<Value> deserialize(const std::optional<Serializable>& stored) const {
        if (!stored) return std::nullopt;
        Value out;
        out.reserve(stored->size());
        auto bridge = Defaults::Serializable<E>::bridge();
        for (const auto& s : *stored)
            if (auto v = detail::fromBridgeValue<E>(bridge.deserialize(s))) out.push_back(std::move(*v));
        return out;
    }
};

// A dictionary as a text-keyed dictionary of its values' bridged forms; keys
// become their text form. Every value goes through its bridge, even a
// natively supported one.
template <LosslessStringConvertible K, DefaultsSerializable E> struct DictionaryBridge {
    using Value = std::map<K, E>;
    using Serializable = std::map<std::string, detail::ElementStored<E>>;
    std::optional<Serializable> serialize(const std::optional<Value>& dictionary) const {
        if (!dictionary) return std::nullopt;
        Serializable out;
        auto bridge = Defaults::Serializable<E>::bridge();
        for (const auto& [k, e] : *dictionary) {
            auto key = LosslessString<K>::description(k);
            if (auto s = bridge.serialize(detail::toBridgeValue<detail::ElementValue<E>>(e)))
                out.insert_or_assign(key, std::move(*s));
            else
                out.erase(key);
        }
        return out;
    }
    std::optional<Value> deserialize(const std::optional<Serializable>& stored) const {
        if (!stored) return std::nullopt;
        Value out;
        auto bridge = Defaults::Serializable<E>::bridge();
        for (const auto& [text, s] : *stored) {
            auto key = LosslessString<K>::fromText(text);
            if (!key) continue;
            if (auto v = detail::fromBridgeValue<E>(bridge.deserialize(s)))
                out.insert_or_assign(std::move(*key), std::move(*v));
        }
        return out;
    }
};

// The scheme shared by sets, set-algebra values and other collections: an
// array of the elements (as they are when natively supported, else their
// stored forms).
template <class Container, class E, class Traits> struct ElementListBridge {
    using Value = Container;
    using Serializable = PropertyList;
    std::optional<PropertyList> serialize(const std::optional<Container>& container) const {
        if (!container) return std::nullopt;
        PropertyListArray out;
        for (const auto& e : Traits::elements(*container))
            if (auto p = detail::elementToPlist<E>(e)) out.push_back(std::move(*p));
        return PropertyList(std::move(out));
    }
    std::optional<Container> deserialize(const std::optional<PropertyList>& object) const {
        if (!object) return std::nullopt;
        auto elements = detail::elementsFromPlist<E>(*object);
        if (!elements) return std::nullopt;
        return Traits::make(std::move(*elements));
    }
};

namespace detail {
template <class E> struct SetTraits {
    static const std::set<E>& elements(const std::set<E>& s) { return s; }
    static std::set<E> make(std::vector<E>&& v) {
        return std::set<E>(std::make_move_iterator(v.begin()), std::make_move_iterator(v.end()));
    }
};
} // namespace detail

template <DefaultsSerializable E> struct SetBridge : ElementListBridge<std::set<E>, E, detail::SetTraits<E>> {};

// ---- set-algebra values and collections of the program's own ----

// Marker: a set-like type stored as an array of its elements. It needs
// `using Element`, `std::vector<Element> elementsArray() const`, a default
// constructor and `insert(Element)`.
template <class T> inline constexpr bool setAlgebraSerializable = false;

template <class T>
concept DefaultsSetAlgebraSerializable = setAlgebraSerializable<T> &&
    requires(const T& c, T& m, typename T::Element e) {
    typename T::Element;
    { c.elementsArray() } -> std::same_as<std::vector<typename T::Element>>;
    T{};
    m.insert(e);
} && DefaultsSerializable<typename T::Element>;

// Marker: a collection type stored as an array of its elements, in order. It
// needs `value_type`, begin/end and a constructor from
// std::vector<value_type>.
template <class T> inline constexpr bool collectionSerializable = false;

template <class T>
concept DefaultsCollectionSerializable = collectionSerializable<T> &&
    requires(const T& c, std::vector<typename T::value_type> v) {
    typename T::value_type;
    c.begin();
    c.end();
    T(std::move(v));
} && DefaultsSerializable<typename T::value_type>;

namespace detail {
template <class T> struct SetAlgebraTraits {
    static std::vector<typename T::Element> elements(const T& c) { return c.elementsArray(); }
    static T make(std::vector<typename T::Element>&& v) {
        T out{};
        for (auto& e : v) out.insert(std::move(e));
        return out;
    }
};
template <class T> struct CollectionTraits {
    static const T& elements(const T& c) { return c; }
    static T make(std::vector<typename T::value_type>&& v) { return T(std::move(v)); }
};
} // namespace detail

template <DefaultsSetAlgebraSerializable T>
struct SetAlgebraBridge : ElementListBridge<T, typename T::Element, detail::SetAlgebraTraits<T>> {};

template <DefaultsCollectionSerializable T>
struct CollectionBridge : ElementListBridge<T, typename T::value_type, detail::CollectionTraits<T>> {};

// ---- the trait of the standard containers ----

template <DefaultsSerializable W> struct Serializable<std::optional<W>> {
    using Bridge = OptionalBridge<W>;
    static constexpr bool isNativelySupportedType = Serializable<W>::isNativelySupportedType;
    static Bridge bridge() { return {}; }
};

template <DefaultsSerializable E> struct Serializable<std::vector<E>> {
    using Bridge = ArrayBridge<E>;
    static constexpr bool isNativelySupportedType = Serializable<E>::isNativelySupportedType;
    static Bridge bridge() { return {}; }
};

template <LosslessStringConvertible K, DefaultsSerializable E> struct Serializable<std::map<K, E>> {
    using Bridge = DictionaryBridge<K, E>;
    static constexpr bool isNativelySupportedType =
        std::is_same_v<K, std::string> && Serializable<E>::isNativelySupportedType;
    static Bridge bridge() { return {}; }
};

template <DefaultsSerializable E> struct Serializable<std::set<E>> {
    using Bridge = SetBridge<E>;
    static constexpr bool isNativelySupportedType = false;
    static Bridge bridge() { return {}; }
};

} // namespace Defaults
