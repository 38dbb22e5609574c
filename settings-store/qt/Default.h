#pragma once

// What a view holds for one setting: the value, read from the store on every
// access, a two-way binding for controls, and the observable object whose
// objectWillChange tells the view to show the value again.

#include "settings-store/Publisher.h"
#include "settings-store/qt/Observable.h"

#include <concepts>
#include <functional>
#include <memory>
#include <utility>

namespace Defaults {

// A two-way binding: get reads the store, set writes it.
template <class V> struct Binding {
    std::function<V()> get;
    std::function<void(const V&)> set;
};

template <DefaultsSerializable V> class Default {
public:
    explicit Default(Key<V> key, foundation::Executor& executor = mainThreadExecutor())
        : observable_(std::make_unique<Observable<V>>(std::move(key), nullptr, executor)) {}

    V wrappedValue() const { return observable_->value(); }
    void setWrappedValue(const V& value) const { observable_->setValue(value); }
    // Reads, lets the function change the value, and always writes it back.
    template <class F> void modify(F&& change) const { observable_->key().modify(std::forward<F>(change)); }

    // A binding over the current key (take a new one after update()).
    Binding<V> projectedValue() const {
        Key<V> key = observable_->key();
        return {[key] { return key.get(); }, [key](const V& value) { key.set(value); }};
    }

    // Moves a (possibly different) key into the kept observable object;
    // observing restarts only for another name or suite.
    void update(Key<V> key) { observable_->setKey(std::move(key)); }

    const Key<V>& key() const { return observable_->key(); }
    V defaultValue() const { return key().defaultValue(); }
    // The key's change publisher, starting with the current value.
    AnyPublisher<KeyChange<V>> publisher() const { return Defaults::publisher(key(), {ObservationOption::initial}); }
    // Removes the stored value; views show the registered default again.
    void reset() const { key().suite()->removeObjectForKey(key().name()); }
    bool isDefaultValue() const requires std::equality_comparable<V> { return wrappedValue() == defaultValue(); }

    Observable<V>& observable() const { return *observable_; }

private:
    std::unique_ptr<Observable<V>> observable_;
};

} // namespace Defaults
