#include "settings-store/AnySerializable.h"

#include <bit>
#include <stdexcept>

namespace Defaults {

namespace {

// FNV-1a over the fed bytes, finished with a 64-bit mix.
class Hasher {
public:
    void bytes(const void* data, std::size_t size) {
        auto p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            state_ ^= p[i];
            state_ *= 0x100000001b3ULL;
        }
    }
    template <class T> void word(T v) { bytes(&v, sizeof v); }
    std::uint64_t finish() const {
        std::uint64_t x = state_;
        x ^= x >> 33;
        x *= 0xff51afd7ed558ccdULL;
        x ^= x >> 33;
        x *= 0xc4ceb9fe1a85ec53ULL;
        x ^= x >> 33;
        return x;
    }

private:
    std::uint64_t state_ = 0xcbf29ce484222325ULL;
};

void feed(Hasher& h, const AnySerializable& value);

struct Feeder {
    Hasher& h;
    void operator()(const AnySerializable::Empty&) const {}
    void operator()(bool v) const { h.word(std::uint8_t(v)); }
    void operator()(float v) const { h.word(v == 0 ? std::uint32_t(0) : std::bit_cast<std::uint32_t>(v)); }
    void operator()(double v) const { h.word(v == 0 ? std::uint64_t(0) : std::bit_cast<std::uint64_t>(v)); }
    void operator()(const std::string& v) const { h.bytes(v.data(), v.size()); }
    void operator()(const Data& v) const { h.bytes(v.bytes.data(), v.bytes.size()); }
    void operator()(const Date& v) const { (*this)(v.timeIntervalSince1970); }
    void operator()(const AnySerializable::Array& v) const {
        h.word(std::uint64_t(v.size()));
        for (const auto& e : v) feed(h, e);
    }
    void operator()(const AnySerializable::Dictionary& v) const {
        std::uint64_t combined = 0;
        for (const auto& [k, e] : v) {
            Hasher entry;
            entry.bytes(k.data(), k.size());
            feed(entry, e);
            combined ^= entry.finish();
        }
        h.word(combined);
    }
    template <class I>
    requires std::is_integral_v<I>
    void operator()(I v) const { h.word(v); }
};

void feed(Hasher& h, const AnySerializable& value) { std::visit(Feeder{h}, value.value()); }

struct ToPlist {
    std::optional<PropertyList> operator()(const AnySerializable::Empty&) const { return std::nullopt; }
    std::optional<PropertyList> operator()(bool v) const { return PropertyList(v); }
    std::optional<PropertyList> operator()(float v) const { return PropertyList(double(v)); }
    std::optional<PropertyList> operator()(double v) const { return PropertyList(v); }
    std::optional<PropertyList> operator()(const std::string& v) const { return PropertyList(v); }
    std::optional<PropertyList> operator()(const Data& v) const { return PropertyList(v); }
    std::optional<PropertyList> operator()(const Date& v) const { return PropertyList(v); }
    std::optional<PropertyList> operator()(const AnySerializable::Array& v) const {
        PropertyListArray out;
        for (const auto& e : v)
            if (auto p = e.storedForm()) out.push_back(std::move(*p));
        return PropertyList(std::move(out));
    }
    std::optional<PropertyList> operator()(const AnySerializable::Dictionary& v) const {
        PropertyListDictionary out;
        for (const auto& [k, e] : v)
            if (auto p = e.storedForm()) out.emplace(k, std::move(*p));
        return PropertyList(std::move(out));
    }
    template <class I>
    requires std::is_integral_v<I> std::optional<PropertyList>
    operator()(I v) const {
        if constexpr (std::is_signed_v<I>)
            return PropertyList(std::int64_t(v));
        else
            return PropertyList(std::uint64_t(v));
    }
};

} // namespace

AnySerializable AnySerializable::array(std::initializer_list<AnySerializable> elements) {
    AnySerializable out;
    out.value_ = Array(elements);
    return out;
}

AnySerializable AnySerializable::dictionary(std::initializer_list<std::pair<std::string, AnySerializable>> entries) {
    Dictionary d;
    for (const auto& [k, v] : entries)
        if (!d.emplace(k, v).second) throw std::invalid_argument("Duplicate values for key: '" + k + "'");
    AnySerializable out;
    out.value_ = std::move(d);
    return out;
}

AnySerializable AnySerializable::fromStoredForm(const std::optional<PropertyList>& value) {
    AnySerializable out;
    if (!value) return out;
    using Kind = PropertyList::Kind;
    switch (value->kind()) {
    case Kind::Bool: out.value_ = *value->asBool(); break;
    case Kind::Integer: out.value_ = *value->asInt64(); break;
    case Kind::Unsigned: out.value_ = *value->asUInt64(); break;
    case Kind::Real: out.value_ = *value->asReal(); break;
    case Kind::String: out.value_ = *value->asString(); break;
    case Kind::Data: out.value_ = *value->asData(); break;
    case Kind::Date: out.value_ = *value->asDate(); break;
    case Kind::Array: {
        Array a;
        for (const auto& e : *value->asArray()) a.push_back(fromStoredForm(e));
        out.value_ = std::move(a);
        break;
    }
    case Kind::Dictionary: {
        Dictionary d;
        for (const auto& [k, e] : *value->asDictionary()) d.emplace(k, fromStoredForm(e));
        out.value_ = std::move(d);
        break;
    }
    }
    return out;
}

std::optional<PropertyList> AnySerializable::storedForm() const { return std::visit(ToPlist{}, value_); }

bool operator==(const AnySerializable& a, const AnySerializable& b) {
    if (a.value_.index() != b.value_.index() || a.isNil()) return false;
    return a.value_ == b.value_;
}

std::size_t AnySerializable::hash() const {
    Hasher h;
    feed(h, *this);
    return std::size_t(h.finish());
}

} // namespace Defaults
