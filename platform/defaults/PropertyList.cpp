#include "platform/defaults/PropertyList.h"

#include <charconv>
#include <limits>
#include <vector>

namespace platform {

namespace {
const PropertyListDictionary emptyDictionary;
} // namespace

DictionaryBox::DictionaryBox() = default;
DictionaryBox::DictionaryBox(PropertyListDictionary dictionary)
    : dictionary_(dictionary.empty() ? nullptr : std::make_unique<PropertyListDictionary>(std::move(dictionary))) {}
DictionaryBox::DictionaryBox(const DictionaryBox& other)
    : dictionary_(other.dictionary_ ? std::make_unique<PropertyListDictionary>(*other.dictionary_) : nullptr) {}
DictionaryBox::DictionaryBox(DictionaryBox&& other) noexcept = default;
DictionaryBox& DictionaryBox::operator=(const DictionaryBox& other) {
    if (this != &other) *this = DictionaryBox(other);
    return *this;
}
DictionaryBox& DictionaryBox::operator=(DictionaryBox&& other) noexcept = default;
DictionaryBox::~DictionaryBox() = default;

const PropertyListDictionary& DictionaryBox::get() const { return dictionary_ ? *dictionary_ : emptyDictionary; }

PropertyListDictionary& DictionaryBox::get() {
    if (!dictionary_) dictionary_ = std::make_unique<PropertyListDictionary>();
    return *dictionary_;
}

bool operator==(const DictionaryBox& a, const DictionaryBox& b) { return a.get() == b.get(); }

// Takes nested arrays and dictionaries apart one level at a time, so that
// freeing a value costs no stack however deeply a caller nested it.
PropertyList::~PropertyList() {
    std::vector<PropertyList> pending;
    auto detachChildren = [&pending](Storage& storage) {
        auto keep = [&pending](PropertyList& child) {
            if (child.isArray() || child.isDictionary()) pending.push_back(std::move(child));
        };
        if (auto* array = std::get_if<PropertyListArray>(&storage)) {
            for (auto& child : *array) keep(child);
            array->clear();
        } else if (auto* box = std::get_if<DictionaryBox>(&storage)) {
            for (auto& entry : box->get()) keep(entry.second);
            box->get().clear();
        }
    };
    detachChildren(storage_);
    while (!pending.empty()) {
        PropertyList next = std::move(pending.back());
        pending.pop_back();
        detachChildren(next.storage_);
    }
}
PropertyList::PropertyList(const PropertyList&) = default;
PropertyList::PropertyList(PropertyList&&) noexcept = default;
PropertyList& PropertyList::operator=(const PropertyList&) = default;
PropertyList& PropertyList::operator=(PropertyList&&) noexcept = default;

std::optional<std::int64_t> PropertyList::asInt64() const {
    if (auto v = std::get_if<std::int64_t>(&storage_)) return *v;
    if (auto v = std::get_if<std::uint64_t>(&storage_)) {
        if (*v <= std::uint64_t(std::numeric_limits<std::int64_t>::max())) return std::int64_t(*v);
    }
    return std::nullopt;
}

std::optional<std::uint64_t> PropertyList::asUInt64() const {
    if (auto v = std::get_if<std::uint64_t>(&storage_)) return *v;
    if (auto v = std::get_if<std::int64_t>(&storage_)) {
        if (*v >= 0) return std::uint64_t(*v);
    }
    return std::nullopt;
}

bool operator==(const PropertyList& a, const PropertyList& b) {
    if (a.isInteger() && b.isInteger()) {
        auto as = a.asInt64(), bs = b.asInt64();
        if (as && bs) return *as == *bs;
        auto au = a.asUInt64(), bu = b.asUInt64();
        return au && bu && *au == *bu;
    }
    return a.storage_ == b.storage_;
}

namespace {
std::string realText(double v) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}
} // namespace

std::string PropertyList::debugDescription() const {
    switch (kind()) {
    case Kind::Bool: return *asBool() ? "true" : "false";
    case Kind::Integer: return std::to_string(std::get<std::int64_t>(storage_));
    case Kind::Unsigned: return std::to_string(std::get<std::uint64_t>(storage_));
    case Kind::Real: return realText(*asReal());
    case Kind::String: return "\"" + *asString() + "\"";
    case Kind::Data: return "<" + std::to_string(asData()->bytes.size()) + " bytes>";
    case Kind::Date: return "@" + realText(asDate()->timeIntervalSince1970);
    case Kind::Array: {
        std::string s = "[";
        for (const auto& e : *asArray()) s += (s.size() > 1 ? ", " : "") + e.debugDescription();
        return s + "]";
    }
    case Kind::Dictionary: {
        std::string s = "{";
        for (const auto& [k, v] : *asDictionary()) s += (s.size() > 1 ? ", " : "") + k + ": " + v.debugDescription();
        return s + "}";
    }
    }
    return {};
}

} // namespace platform
