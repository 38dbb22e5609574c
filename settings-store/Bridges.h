#pragma once

// Bridges of single values, and the serializable trait of the standard
// single-value types.

#include "platform/archive/KeyedArchive.h"
#include "settings-store/Serializable.h"
#include "settings-store/Values.h"

#include <concepts>

// The colour as the platform colour object of a keyed archive: class
// "NSColor"; "colorSpaceName", a string object, left out for a colour whose
// space has no name; "components", the components with alpha last as inline
// bytes, each a big-endian IEEE 754 64-bit real. A named colour must be one
// Color::make accepts; a colour without a named space has 1 to 16
// components. Anything else is refused both ways (ArchiveError).
template <> struct archive::Archivable<Defaults::Color> {
    static constexpr std::string_view className = "NSColor";
    static void encode(const Defaults::Color& color, KeyedEncoder& coder);
    static Defaults::Color decode(const KeyedDecoder& coder);
};

namespace Defaults {

// ---- JSON text bridges ----

namespace detail {
template <class T> std::optional<std::string> jsonSerialize(const std::optional<T>& value) {
    if (!value) return std::nullopt;
    try {
        return jsonText(JSONCoding<T>::encode(*value));
    } catch (const JSONInvalidUTF8Error&) {
        return std::nullopt;
    } catch (const std::exception& error) {
        printError(error);
        return std::nullopt;
    }
}

template <class T> std::optional<T> jsonDeserialize(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    try {
        return JSONCoding<T>::decode(parseJSON(*text));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}
} // namespace detail

// A codable value as the JSON text of its encoding (sorted keys, no
// whitespace). An encoding failure prints its description; a decoding
// failure yields nothing silently.
template <Codable T> struct TopLevelCodableBridge {
    using Value = T;
    using Serializable = std::string;
    std::optional<std::string> serialize(const std::optional<T>& value) const { return detail::jsonSerialize(value); }
    std::optional<T> deserialize(const std::optional<std::string>& text) const {
        return detail::jsonDeserialize<T>(text);
    }
};

// ---- raw values ----

// A type that converts to and from a raw value of another type, the way
// back failing for a raw value that names no value of the type. Specialise:
//     template <> struct RawRepresentation<Mode> {
//         using RawValue = std::string;
//         static RawValue rawValue(Mode);
//         static std::optional<Mode> fromRawValue(const RawValue&);
//     };
template <class T> struct RawRepresentation {};

template <class T>
concept RawRepresentable = requires(const T& v, const typename RawRepresentation<T>::RawValue& raw) {
    typename RawRepresentation<T>::RawValue;
    { RawRepresentation<T>::rawValue(v) } -> std::convertible_to<typename RawRepresentation<T>::RawValue>;
    { RawRepresentation<T>::fromRawValue(raw) } -> std::same_as<std::optional<T>>;
};

// JSON coding through the raw value, for raw-representable types that want
// to be codable the way their raw value is:
//     template <> struct JSONCoding<Mode> : RawValueJSONCoding<Mode> {};
template <RawRepresentable T> struct RawValueJSONCoding {
    using Raw = typename RawRepresentation<T>::RawValue;
    static JSON encode(const T& v) { return JSONCoding<Raw>::encode(RawRepresentation<T>::rawValue(v)); }
    static T decode(const JSON& j) {
        auto v = RawRepresentation<T>::fromRawValue(JSONCoding<Raw>::decode(j));
        if (!v) throw JSONDecodingError("Cannot initialize the type from invalid raw value " + j.dump());
        return *v;
    }
};

// A codable raw-representable value as the JSON text of its own encoding.
template <class T>
requires Codable<T> && RawRepresentable<T>
struct RawRepresentableCodableBridge {
    using Value = T;
    using Serializable = std::string;
    std::optional<std::string> serialize(const std::optional<T>& value) const { return detail::jsonSerialize(value); }
    std::optional<T> deserialize(const std::optional<std::string>& text) const {
        return detail::jsonDeserialize<T>(text);
    }
};

// A raw-representable value as its bare raw value.
template <RawRepresentable T> struct RawRepresentableBridge {
    using Value = T;
    using Serializable = typename RawRepresentation<T>::RawValue;
    std::optional<Serializable> serialize(const std::optional<T>& value) const {
        if (!value) return std::nullopt;
        return Serializable(RawRepresentation<T>::rawValue(*value));
    }
    std::optional<T> deserialize(const std::optional<Serializable>& raw) const {
        if (!raw) return std::nullopt;
        return RawRepresentation<T>::fromRawValue(*raw);
    }
};

// ---- URL and UUID ----

template <> struct JSONCoding<URL> {
    static JSON encode(const URL& v) { return v.absoluteString; }
    static URL decode(const JSON& j) {
        auto url = URL::fromString(JSONCoding<std::string>::decode(j));
        if (!url) throw JSONDecodingError("Invalid URL string.");
        return *url;
    }
};

template <> struct JSONCoding<UUID> {
    static JSON encode(const UUID& v) { return v.uuidString(); }
    static UUID decode(const JSON& j) {
        auto id = UUID::fromString(JSONCoding<std::string>::decode(j));
        if (!id) throw JSONDecodingError("Attempted to decode UUID from invalid UUID string.");
        return *id;
    }
};

struct URLBridge {
    using Value = URL;
    using Serializable = std::string;
    std::optional<std::string> serialize(const std::optional<URL>& value) const { return detail::jsonSerialize(value); }
    std::optional<URL> deserialize(const std::optional<std::string>& text) const {
        return detail::jsonDeserialize<URL>(text);
    }
};

struct UUIDBridge {
    using Value = UUID;
    using Serializable = std::string;
    std::optional<std::string> serialize(const std::optional<UUID>& value) const {
        if (!value) return std::nullopt;
        return value->uuidString();
    }
    std::optional<UUID> deserialize(const std::optional<std::string>& text) const {
        if (!text) return std::nullopt;
        return UUID::fromString(*text);
    }
};

// ---- ranges ----

template <class R>
concept DefaultsRange = requires(const R& r, const typename R::Bound& b) {
    typename R::Bound;
    { r.lowerBound } -> std::convertible_to<typename R::Bound>;
    { r.upperBound } -> std::convertible_to<typename R::Bound>;
    { R::uncheckedBounds(b, b) } -> std::same_as<R>;
}
&&DefaultsSerializable<typename R::Bound>&& std::totally_ordered<typename R::Bound>;

// A range as the two-element array [lower, upper], each bound in its own
// stored form. A stored pair whose lower bound exceeds its upper bound is
// refused: no range holds it.
template <DefaultsRange R> struct RangeBridge {
    using Value = R;
    using Serializable = PropertyListArray;
    using Bound = typename R::Bound;

    std::optional<PropertyListArray> serialize(const std::optional<R>& range) const {
        if (!range) return std::nullopt;
        auto lower = storeBound(range->lowerBound);
        if (!lower) return std::nullopt;
        auto upper = storeBound(range->upperBound);
        if (!upper) return std::nullopt;
        return PropertyListArray{std::move(*lower), std::move(*upper)};
    }

    std::optional<R> deserialize(const std::optional<PropertyListArray>& array) const {
        if (!array || array->size() < 2) return std::nullopt;
        auto lower = readBound((*array)[0]);
        auto upper = readBound((*array)[1]);
        if (!lower || !upper || *upper < *lower) return std::nullopt;
        return R::uncheckedBounds(std::move(*lower), std::move(*upper));
    }

private:
    static std::optional<PropertyList> storeBound(const Bound& bound) {
        if constexpr (Defaults::Serializable<Bound>::isNativelySupportedType) {
            return NativeCast<Bound>::toPlist(bound);
        } else {
            using BoundBridge = typename Defaults::Serializable<Bound>::Bridge;
            auto stored = Defaults::Serializable<Bound>::bridge().serialize(
                detail::toBridgeValue<typename BoundBridge::Value>(bound));
            if (!stored) return std::nullopt;
            return toSerializable<typename BoundBridge::Serializable>(*stored);
        }
    }
    static std::optional<Bound> readBound(const PropertyList& element) {
        if constexpr (Defaults::Serializable<Bound>::isNativelySupportedType) {
            return NativeCast<Bound>::cast(element);
        } else {
            using BoundBridge = typename Defaults::Serializable<Bound>::Bridge;
            auto stored = fromSerializable<typename BoundBridge::Serializable>(element);
            return detail::fromBridgeValue<Bound>(Defaults::Serializable<Bound>::bridge().deserialize(stored));
        }
    }
};

// ---- keyed archives ----

// An object type that a keyed archive holds with class checking: one for
// which archive::Archivable<T> is specialised (platform/archive/KeyedArchive.h).
template <class T>
concept NSSecureCoding = archive::KeyedArchivable<T>;

namespace detail {
template <NSSecureCoding T> std::optional<Data> archiveSerialize(const std::optional<T>& value) {
    if (!value) return std::nullopt;
    try {
        return Data(archive::archivedData(*value));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// A failure prints its description: the data is no archive, holds another
// class, or its fields make no T. An archive of the absent object gives
// nothing silently.
template <NSSecureCoding T> std::optional<T> archiveDeserialize(const Data& data) {
    try {
        return archive::unarchivedObject<T>(data.bytes);
    } catch (const std::exception& error) {
        printError(error);
        return std::nullopt;
    }
}
} // namespace detail

// An archivable object as its keyed archive (raw data), secure coding
// required. Archiving failures yield nothing silently; unarchiving failures
// print their description once and yield nothing.
template <NSSecureCoding T> struct NSSecureCodingBridge {
    using Value = T;
    using Serializable = Data;
    std::optional<Data> serialize(const std::optional<T>& value) const { return detail::archiveSerialize(value); }
    std::optional<T> deserialize(const std::optional<Data>& data) const {
        if (!data) return std::nullopt;
        return detail::archiveDeserialize<T>(*data);
    }
};

// An archivable object that is also codable, stored as the JSON text of its
// encoding (never as an archive): TopLevelCodableBridge under its own name.
template <class T>
requires Codable<T> && NSSecureCoding<T>
struct CodableNSSecureCodingBridge : TopLevelCodableBridge<T> {};

// ---- colours ----

// A colour with a known named colour space as the pair [colour-space name,
// [components..., alpha]]; any other colour (one whose space has no name)
// as the keyed archive of the colour (raw data). Reading takes both forms,
// whichever wrote them, the pair also as the JSON text of one in raw data.
// Either way elements after the second are ignored, and a pair of fewer
// elements, or whose space is unknown or whose list is not exactly the
// space's components plus alpha, reads as nothing, silently; raw
// data that is no colour archive prints the unarchiver's error once.
struct ColorBridge {
    using Value = Color;
    using Serializable = PropertyList;
    std::optional<PropertyList> serialize(const std::optional<Color>& color) const;
    std::optional<Color> deserialize(const std::optional<PropertyList>& object) const;
};

// ---- the property-list object itself (the element of arrays of stored forms) ----

struct PropertyListBridge {
    using Value = PropertyList;
    using Serializable = PropertyList;
    std::optional<PropertyList> serialize(const std::optional<PropertyList>& v) const { return v; }
    std::optional<PropertyList> deserialize(const std::optional<PropertyList>& v) const { return v; }
};

// ---- the trait of the standard single-value types ----

template <class T> struct NativeSerializable {
    using Bridge = TopLevelCodableBridge<T>;
    static constexpr bool isNativelySupportedType = true;
    static Bridge bridge() { return {}; }
};

template <> struct Serializable<bool> : NativeSerializable<bool> {};
template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>) struct Serializable<T>
    : NativeSerializable<T> {
};
template <std::floating_point T> struct Serializable<T> : NativeSerializable<T> {};
template <> struct Serializable<std::string> : NativeSerializable<std::string> {};
template <> struct Serializable<Data> : NativeSerializable<Data> {};
template <> struct Serializable<Date> : NativeSerializable<Date> {};

template <> struct Serializable<PropertyList> {
    using Bridge = PropertyListBridge;
    static constexpr bool isNativelySupportedType = true;
    static Bridge bridge() { return {}; }
};

template <> struct Serializable<URL> {
    using Bridge = URLBridge;
    static constexpr bool isNativelySupportedType = false;
    static Bridge bridge() { return {}; }
};

template <> struct Serializable<UUID> {
    using Bridge = UUIDBridge;
    static constexpr bool isNativelySupportedType = false;
    static Bridge bridge() { return {}; }
};

template <> struct Serializable<Color> {
    using Bridge = ColorBridge;
    static constexpr bool isNativelySupportedType = false;
    static Bridge bridge() { return {}; }
};

template <class B>
requires DefaultsRange<Range<B>>
struct Serializable<Range<B>> {
    using Bridge = RangeBridge<Range<B>>;
    static constexpr bool isNativelySupportedType = false;
    static Bridge bridge() { return {}; }
};

template <class B>
requires DefaultsRange<ClosedRange<B>>
struct Serializable<ClosedRange<B>> {
    using Bridge = RangeBridge<ClosedRange<B>>;
    static constexpr bool isNativelySupportedType = false;
    static Bridge bridge() { return {}; }
};

} // namespace Defaults
