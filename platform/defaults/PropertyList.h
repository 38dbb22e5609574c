#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// Raw bytes as the store keeps them. A type of its own so that an array of
// small integers and a block of bytes never look alike.
struct Data {
    std::vector<std::uint8_t> bytes;

    Data() = default;
    explicit Data(std::vector<std::uint8_t> b) : bytes(std::move(b)) {}
    friend bool operator==(const Data&, const Data&) = default;
    friend auto operator<=>(const Data&, const Data&) = default;
};

// A point in time, as seconds since 1970-01-01 00:00:00 UTC.
struct Date {
    double timeIntervalSince1970 = 0;

    friend bool operator==(const Date&, const Date&) = default;
    friend auto operator<=>(const Date&, const Date&) = default;
};

class PropertyList;
using PropertyListArray = std::vector<PropertyList>;
using PropertyListDictionary = std::map<std::string, PropertyList, std::less<>>;

// A dictionary held behind a pointer, a value like the dictionary itself.
// A map is twice the size of the other kinds; boxed, every property list
// is as small as a string, which is most of what a large settings file
// holds. A moved-from box reads as empty.
class DictionaryBox {
public:
    DictionaryBox();
    DictionaryBox(PropertyListDictionary dictionary);
    DictionaryBox(const DictionaryBox& other);
    DictionaryBox(DictionaryBox&& other) noexcept;
    DictionaryBox& operator=(const DictionaryBox& other);
    DictionaryBox& operator=(DictionaryBox&& other) noexcept;
    ~DictionaryBox();

    const PropertyListDictionary& get() const;
    PropertyListDictionary& get();
    friend bool operator==(const DictionaryBox& a, const DictionaryBox& b);

private:
    std::unique_ptr<PropertyListDictionary> dictionary_;
};

// One property-list object: the kinds of value a defaults suite keeps.
// Signed and unsigned integers are separate kinds only so that the whole
// unsigned 64-bit range fits; they compare by value.
class PropertyList {
public:
    enum class Kind { Bool, Integer, Unsigned, Real, String, Data, Date, Array, Dictionary };
    using Storage = std::variant<bool, std::int64_t, std::uint64_t, double, std::string, platform::Data, platform::Date,
                                 PropertyListArray, DictionaryBox>;

    PropertyList() : storage_(false) {}
    PropertyList(bool v) : storage_(v) {}
    PropertyList(int v) : storage_(std::int64_t(v)) {}
    PropertyList(long v) : storage_(std::int64_t(v)) {}
    PropertyList(long long v) : storage_(std::int64_t(v)) {}
    PropertyList(unsigned v) : storage_(std::int64_t(v)) {}
    PropertyList(unsigned long v) : storage_(std::uint64_t(v)) {}
    PropertyList(unsigned long long v) : storage_(std::uint64_t(v)) {}
    PropertyList(double v) : storage_(v) {}
    PropertyList(const char* v) : storage_(std::string(v)) {}
    PropertyList(std::string v) : storage_(std::move(v)) {}
    PropertyList(platform::Data v) : storage_(std::move(v)) {}
    PropertyList(platform::Date v) : storage_(v) {}
    PropertyList(PropertyListArray v) : storage_(std::move(v)) {}
    PropertyList(PropertyListDictionary v) : storage_(DictionaryBox(std::move(v))) {}

    // Out of line: keeps GCC 12 from false "maybe uninitialized" warnings
    // about the variant in callers' inlined code.
    ~PropertyList();
    PropertyList(const PropertyList&);
    PropertyList(PropertyList&&) noexcept;
    PropertyList& operator=(const PropertyList&);
    PropertyList& operator=(PropertyList&&) noexcept;

    Kind kind() const { return static_cast<Kind>(storage_.index()); }
    const Storage& storage() const { return storage_; }

    bool isBool() const { return kind() == Kind::Bool; }
    bool isInteger() const { return kind() == Kind::Integer || kind() == Kind::Unsigned; }
    bool isReal() const { return kind() == Kind::Real; }
    bool isString() const { return kind() == Kind::String; }
    bool isData() const { return kind() == Kind::Data; }
    bool isDate() const { return kind() == Kind::Date; }
    bool isArray() const { return kind() == Kind::Array; }
    bool isDictionary() const { return kind() == Kind::Dictionary; }

    // Checked reads: a pointer to the value when it is of that kind, else null.
    const bool* asBool() const { return std::get_if<bool>(&storage_); }
    const double* asReal() const { return std::get_if<double>(&storage_); }
    const std::string* asString() const { return std::get_if<std::string>(&storage_); }
    const platform::Data* asData() const { return std::get_if<platform::Data>(&storage_); }
    const platform::Date* asDate() const { return std::get_if<platform::Date>(&storage_); }
    const PropertyListArray* asArray() const { return std::get_if<PropertyListArray>(&storage_); }
    const PropertyListDictionary* asDictionary() const {
        const DictionaryBox* box = std::get_if<DictionaryBox>(&storage_);
        return box ? &box->get() : nullptr;
    }
    // For changing a value in place: the array or dictionary, else null.
    PropertyListArray* mutableArray() { return std::get_if<PropertyListArray>(&storage_); }
    PropertyListDictionary* mutableDictionary() {
        DictionaryBox* box = std::get_if<DictionaryBox>(&storage_);
        return box ? &box->get() : nullptr;
    }

    // An integer of either signedness, when it fits the wanted type.
    std::optional<std::int64_t> asInt64() const;
    std::optional<std::uint64_t> asUInt64() const;

    // Integers of either signedness compare by value; a real never equals an
    // integer, nor a Boolean a number.
    friend bool operator==(const PropertyList& a, const PropertyList& b);

    // A short readable form for diagnostics and test failure messages.
    std::string debugDescription() const;

private:
    Storage storage_;
};

} // namespace platform
