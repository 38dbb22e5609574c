#pragma once

// A storable value of any type, kept in its stored form: it can be written,
// compared and hashed without knowing its type, and converted back on demand.

#include "settings-store/CollectionBridges.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace Defaults {

class AnySerializable {
public:
    struct Empty {
        friend bool operator==(Empty, Empty) { return true; }
    };
    using Array = std::vector<AnySerializable>;
    using Dictionary = std::map<std::string, AnySerializable>;
    // Every integer width keeps a kind of its own, as do the two real widths.
    using Storage =
        std::variant<Empty, bool, std::int8_t, std::uint8_t, std::int16_t, std::uint16_t, std::int32_t, std::uint32_t,
                     std::int64_t, std::uint64_t, float, double, std::string, Data, Date, Array, Dictionary>;

    // The empty value (the nil literal).
    AnySerializable() = default;
    AnySerializable(std::nullptr_t) {}
    // Literals: Boolean, integer (an Int, 64 bits), real (a Double), text.
    AnySerializable(bool v) : value_(v) {}
    AnySerializable(int v) : value_(std::int64_t(v)) {}
    AnySerializable(double v) : value_(v) {}
    AnySerializable(const char* v) : value_(std::string(v)) {}
    AnySerializable(std::string v) : value_(std::move(v)) {}

    // An array literal: the elements as they are.
    static AnySerializable array(std::initializer_list<AnySerializable> elements);
    // A dictionary literal: the entries as they are. A key given twice is a
    // programming error: std::invalid_argument "Duplicate values for key: 'k'".
    static AnySerializable dictionary(std::initializer_list<std::pair<std::string, AnySerializable>> entries);

    // The stored form of any storable value (the empty value when it
    // converts to nothing). Natively supported numbers keep their width.
    template <DefaultsSerializable T> static AnySerializable from(const T& value) {
        AnySerializable out;
        out.set(value);
        return out;
    }

    // A stored form as it is; nothing gives the empty value.
    static AnySerializable fromStoredForm(const std::optional<PropertyList>& value);

    template <DefaultsSerializable T> void set(const T& value) {
        if constexpr (std::is_same_v<T, AnySerializable>) {
            *this = value;
        } else if constexpr (isKind<T>()) {
            value_ = value;
        } else {
            *this = fromStoredForm(toSerializable(value));
        }
    }

    // The value as a T, or nothing when it does not convert.
    template <DefaultsSerializable T> std::optional<T> get() const {
        if constexpr (std::is_same_v<T, AnySerializable>)
            return *this;
        else
            return fromSerializable<T>(storedForm());
    }

    // The value as a property-list object; nothing for the empty value.
    std::optional<PropertyList> storedForm() const;

    const Storage& value() const { return value_; }
    bool isNil() const { return std::holds_alternative<Empty>(value_); }

    // Same kind and equal in that kind (reals by the floating-point rule, so
    // NaN equals nothing); containers element by element. The empty value
    // equals nothing, not even another empty value.
    friend bool operator==(const AnySerializable& a, const AnySerializable& b);

    // Equal values hash alike; dictionaries hash independently of order.
    std::size_t hash() const;

private:
    template <class T> static constexpr bool isKind() {
        return std::is_same_v<T, bool> || std::is_same_v<T, std::int8_t> || std::is_same_v<T, std::uint8_t> ||
               std::is_same_v<T, std::int16_t> || std::is_same_v<T, std::uint16_t> || std::is_same_v<T, std::int32_t> ||
               std::is_same_v<T, std::uint32_t> || std::is_same_v<T, std::int64_t> ||
               std::is_same_v<T, std::uint64_t> || std::is_same_v<T, float> || std::is_same_v<T, double> ||
               std::is_same_v<T, std::string> || std::is_same_v<T, Data> || std::is_same_v<T, Date>;
    }

    Storage value_;
};

// Stores the wrapped stored form unchanged; reading wraps any object and
// never fails.
struct AnyBridge {
    using Value = AnySerializable;
    using Serializable = PropertyList;
    std::optional<PropertyList> serialize(const std::optional<AnySerializable>& value) const {
        if (!value) return std::nullopt;
        return value->storedForm();
    }
    std::optional<AnySerializable> deserialize(const std::optional<PropertyList>& object) const {
        return AnySerializable::fromStoredForm(object);
    }
};

template <> struct Serializable<AnySerializable> {
    using Bridge = AnyBridge;
    static constexpr bool isNativelySupportedType = false;
    static Bridge bridge() { return {}; }
};

template <> struct OptionalProtocol<AnySerializable> {
    static bool isNil(const AnySerializable& v) { return v.isNil(); }
};

} // namespace Defaults

template <> struct std::hash<Defaults::AnySerializable> {
    std::size_t operator()(const Defaults::AnySerializable& v) const { return v.hash(); }
};
