#pragma once

// Typed settings keys over a user-defaults suite.

#include "platform/defaults/UserDefaults.h"
#include "settings-store/AnySerializable.h"
#include "settings-store/DefaultBridges.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace Defaults {

using Suite = std::shared_ptr<platform::UserDefaults>;

// The untyped base of every key: a name in a suite. Keys are equal when their
// names and suites are, whatever their value types.
class AnyKey {
public:
    virtual ~AnyKey() = default;

    const std::string& name() const { return name_; }
    const Suite& suite() const { return suite_; }

    // Removes the stored value; the key reads its registered default again.
    virtual void reset() const { suite_->removeObjectForKey(name_); }

    friend bool operator==(const AnyKey& a, const AnyKey& b) { return a.name_ == b.name_ && a.suite_ == b.suite_; }
    std::size_t hash() const;

protected:
    // Throws std::invalid_argument for a null suite.
    AnyKey(std::string name, Suite suite);

private:
    std::string name_;
    Suite suite_;
};

// The key-name rule: a valid name has only ASCII characters, no full stop and
// does not begin with "@". The empty name is valid.
bool isValidKeyPath(std::string_view name);

// A typed key. Reads never fail: a missing or unconvertible stored object
// reads as the default. Writing a value that converts to nothing, or an empty
// optional, removes the stored value. Keys hold no cached values and may be
// shared between threads.
template <DefaultsSerializable V> class Key : public AnyKey {
public:
    using Value = V;

    // Registers the default's stored form in the suite's registration domain
    // (unless it is an empty optional or converts to nothing).
    Key(std::string name, Value defaultValue, Suite suite = platform::UserDefaults::standard())
        : AnyKey(std::move(name), std::move(suite)), defaultValueGetter_([v = std::move(defaultValue)] { return v; }) {
        registerDefault();
    }

    // The default is whatever the getter returns, asked anew on every use;
    // nothing is registered.
    Key(std::string name, Suite suite, std::function<Value()> defaultValueGetter)
        : AnyKey(std::move(name), std::move(suite)), defaultValueGetter_(std::move(defaultValueGetter)) {}

    // For optional values: the default is the empty optional.
    Key(std::string name, Suite suite = platform::UserDefaults::standard()) requires
        DefaultsOptionalProtocol<Value> && std::is_default_constructible_v<Value>
        : Key(std::move(name), Value{}, std::move(suite)) {}

    Value defaultValue() const { return defaultValueGetter_(); }
    const std::function<Value()>& defaultValueGetter() const { return defaultValueGetter_; }

    // The value in the key's own suite, or in another suite by this key's
    // name and default.
    Value get() const { return get(*suite()); }
    Value get(const platform::UserDefaults& in) const {
        auto object = in.objectForKey(name());
        if (!object) return defaultValue();
        if (auto value = fromSerializable<Value>(*object)) return std::move(*value);
        return defaultValue();
    }

    void set(const Value& value) const { set(*suite(), value); }
    void set(platform::UserDefaults& in, const Value& value) const {
        if constexpr (DefaultsOptionalProtocol<Value>) {
            if (defaultsIsNil(value)) {
                in.removeObjectForKey(name());
                return;
            }
        }
        in.setObject(name(), toSerializable(value));
    }

    // Reads the value, lets the function change it, and writes it back, also
    // when the function leaves it unchanged or throws.
    template <class F> void modify(F&& change) const { modify(*suite(), std::forward<F>(change)); }
    template <class F> void modify(platform::UserDefaults& in, F&& change) const {
        Value value = get(in);
        try {
            std::forward<F>(change)(value);
        } catch (...) {
            set(in, value);
            throw;
        }
        set(in, value);
    }

private:
    void registerDefault() const {
        Value value = defaultValue();
        if constexpr (DefaultsOptionalProtocol<Value>) {
            if (defaultsIsNil(value)) return;
        }
        if (auto stored = toSerializable(value)) suite()->registerDefaults({{name(), std::move(*stored)}});
    }

    std::function<Value()> defaultValueGetter_;
};

// The namespace-level subscript: read, write and modify in the key's own suite.
template <class V> V get(const Key<V>& key) { return key.get(); }
template <class V> void set(const Key<V>& key, const std::type_identity_t<V>& value) { key.set(value); }
template <class V, class F> void modify(const Key<V>& key, F&& change) { key.modify(std::forward<F>(change)); }

// Removes every name the suite presents at this moment (values set and
// registered names alike; registered fallbacks themselves stay).
void removeAll(platform::UserDefaults& suite);

} // namespace Defaults

template <> struct std::hash<Defaults::AnyKey> {
    std::size_t operator()(const Defaults::AnyKey& key) const { return key.hash(); }
};
