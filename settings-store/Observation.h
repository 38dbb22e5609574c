#pragma once

// Observation of settings keys: typed change records, single-key and
// composite observations, the per-thread silencing switch and the reset of
// several keys.

#include "platform/defaults/Observation.h"
#include "settings-store/Key.h"
#include "settings-store/Lifetime.h"

#include <concepts>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Defaults {

enum class ObservationOption { initial, prior };
using ObservationOptions = std::set<ObservationOption>;

// What the store is asked for: with initial, new, old and initial (prior is
// then not asked for); else with prior, new, old and prior; else new and old.
platform::KeyValueObservingOptions registrationOptions(const ObservationOptions& options);

// The untyped change record, as the store reports it.
using BaseChange = platform::KeyValueChange;
using ChangeKind = platform::KeyValueChangeKind;

// The typed change record. Both values are always there: an absent or
// unconvertible stored object becomes the key's default value (so a removal,
// a prior report and the initial report's old value carry the default).
template <DefaultsSerializable Value> struct KeyChange {
    ChangeKind kind = ChangeKind::Setting;
    std::optional<std::vector<std::size_t>> indexes;
    bool isPrior = false;
    Value newValue;
    Value oldValue;

    KeyChange(BaseChange change, const Value& defaultValue)
        : kind(change.kind), indexes(std::move(change.indexes)), isPrior(change.isPrior),
          newValue(convert(change.newValue, defaultValue)), oldValue(convert(change.oldValue, defaultValue)) {}

    friend bool operator==(const KeyChange& a, const KeyChange& b) requires std::equality_comparable<Value> {
        return a.kind == b.kind && a.indexes == b.indexes && a.isPrior == b.isPrior && a.newValue == b.newValue &&
               a.oldValue == b.oldValue;
    }

private:
    static Value convert(const std::optional<PropertyList>& object, const Value& defaultValue) {
        if (object) {
            if (auto value = fromSerializable<Value>(*object)) return std::move(*value);
        }
        return defaultValue;
    }
};

// The interface of every observation. Releasing the last reference to an
// observation invalidates it.
class Observation {
public:
    virtual ~Observation() = default;
    // Stops observing for good. Once this returns, the callback is not
    // running on another thread and will not run again.
    virtual void invalidate() = 0;
    // The owner keeps this observation alive until the owner goes away,
    // which invalidates it. Binding again moves the tie to the new owner.
    virtual Observation& bindLifetime(LifetimeOwner& owner) = 0;
    // Undoes the tie; observation goes on.
    virtual void unbindLifetime() = 0;
};

// The per-thread silencing switch: while it is on, observations on this
// thread ignore every report.
bool isPropagationSilenced();

// Turns the switch on for the life of the guard and restores the earlier
// state afterwards, also when leaving by an exception.
class PropagationSilencer {
public:
    PropagationSilencer();
    ~PropagationSilencer();
    PropagationSilencer(const PropagationSilencer&) = delete;
    PropagationSilencer& operator=(const PropagationSilencer&) = delete;

private:
    bool previous_;
};

// Runs the block with observation callbacks silenced on this thread. Changes
// the block makes are reported to no observation, publisher or stream;
// changes made meanwhile on other threads are.
template <std::invocable F> void withoutPropagation(F&& block) {
    PropagationSilencer silencer;
    std::forward<F>(block)();
}

// What both key observations share: the lock over their state and the tie to
// an owner, which binding moves and unbinding undoes.
template <class Self>
class KeyObservationBase : public Observation,
                           public platform::KeyValueObserver,
                           public std::enable_shared_from_this<Self> {
public:
    Observation& bindLifetime(LifetimeOwner& owner) override;
    void unbindLifetime() override;

protected:
    std::mutex mutex_;
    std::unique_ptr<LifetimeAssociation> lifetimeAssociation_;
};

// Watches one key of one suite. Holds the suite weakly. Made by observe(),
// by publishers and by update streams.
class UserDefaultsKeyObservation final : public KeyObservationBase<UserDefaultsKeyObservation> {
public:
    using Callback = std::function<void(BaseChange)>;

    // Registers nothing yet.
    static std::shared_ptr<UserDefaultsKeyObservation> make(const Suite& suite, std::string key, Callback callback);
    ~UserDefaultsKeyObservation() override;

    // Registers with the suite, if it still exists. With initial, the
    // callback runs once inside this call.
    void start(const ObservationOptions& options);
    void invalidate() override;

    void observeValue(std::string_view key, const platform::UserDefaults& suite, const BaseChange& change,
                      const void* context) override;

private:
    struct Private {};

public:
    UserDefaultsKeyObservation(Private, const Suite& suite, std::string key, Callback callback);

private:
    std::weak_ptr<platform::UserDefaults> object_;
    const std::string key_;
    const Callback callback_;
    bool isObserving_ = false;
};

// Watches several (suite, key) pairs; the handler learns only that one of
// them changed.
class CompositeUserDefaultsKeyObservation final : public KeyObservationBase<CompositeUserDefaultsKeyObservation> {
public:
    using Callback = std::function<void(BaseChange)>;
    using Pair = std::pair<Suite, std::string>;

    static std::shared_ptr<CompositeUserDefaultsKeyObservation> make(const std::vector<Pair>& pairs, Callback callback);
    ~CompositeUserDefaultsKeyObservation() override;

    void start(const ObservationOptions& options);
    void invalidate() override;

    void observeValue(std::string_view key, const platform::UserDefaults& suite, const BaseChange& change,
                      const void* context) override;

private:
    struct Private {};
    struct SuiteKeyPair {
        std::weak_ptr<platform::UserDefaults> suite;
        std::string key;
    };

public:
    CompositeUserDefaultsKeyObservation(Private, const std::vector<Pair>& pairs, Callback callback);

private:
    std::vector<SuiteKeyPair> observables_;
    const Callback callback_;
};

// Built once, in Observation.cpp.
extern template class KeyObservationBase<UserDefaultsKeyObservation>;
extern template class KeyObservationBase<CompositeUserDefaultsKeyObservation>;

// Observes one key: the handler gets a typed record for every write of the
// key (and the initial report with `initial`), on the writing thread, before
// the write returns. Handlers must not throw. The caller owns the
// observation; releasing it ends observing.
template <DefaultsSerializable V>
[[nodiscard]] std::shared_ptr<Observation> observe(
    const Key<V>& key, const ObservationOptions& options,
    std::type_identity_t<std::function<void(const KeyChange<V>&)>> handler) {
    auto observation = UserDefaultsKeyObservation::make(
        key.suite(), key.name(), [key, handler = std::move(handler)](BaseChange change) {
            handler(KeyChange<V>(std::move(change), key.defaultValue()));
        });
    observation->start(options);
    return observation;
}

// Observes several keys, each in its own suite; the handler runs once per
// change of any of them.
[[nodiscard]] std::shared_ptr<Observation> observe(const std::vector<std::reference_wrapper<const AnyKey>>& keys,
                                                   const ObservationOptions& options, std::function<void()> handler);

// Removes the keys' stored values, each from its own suite, in order. Each
// removal is reported to the key's observers like any other change.
void reset(const std::vector<std::reference_wrapper<const AnyKey>>& keys);
template <std::derived_from<AnyKey>... K> void reset(const K&... keys) {
    reset(std::vector<std::reference_wrapper<const AnyKey>>{std::cref(static_cast<const AnyKey&>(keys))...});
}
// Removes the names from the one suite given, in order.
void reset(const std::vector<std::string>& names, platform::UserDefaults& suite);

} // namespace Defaults
