#pragma once

// Change publishers: a small push interface over key observation. A
// subscriber is a handler; sink() returns the Cancellable that owns the
// subscription, and releasing it cancels. Records are delivered on the
// writing thread, before the write returns, whatever the subscriber asked
// for; publishers never complete.

#include "settings-store/Observation.h"

#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>
#include <vector>

namespace Defaults {

// Owns one subscription (or several); cancels when released or reassigned.
class Cancellable {
public:
    Cancellable() = default;
    explicit Cancellable(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Cancellable(Cancellable&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
    Cancellable& operator=(Cancellable&& other) noexcept {
        if (this != &other) {
            cancel();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }
    Cancellable(const Cancellable&) = delete;
    Cancellable& operator=(const Cancellable&) = delete;
    ~Cancellable() { cancel(); }

    // Once this returns, the subscriber is not running on another thread and
    // receives nothing more. Harmless when repeated.
    void cancel() {
        if (auto c = std::exchange(cancel_, nullptr)) c();
    }
    bool isActive() const { return bool(cancel_); }

private:
    std::function<void()> cancel_;
};

template <class T> struct SubscriberOf { using type = std::function<void(const T&)>; };
template <> struct SubscriberOf<void> { using type = std::function<void()>; };

// A type-erased publisher of Output (void: a bare "something changed").
template <class Output> class AnyPublisher {
public:
    using Subscriber = typename SubscriberOf<Output>::type;
    using SubscribeFunction = std::function<Cancellable(Subscriber)>;

    explicit AnyPublisher(SubscribeFunction subscribe) : subscribe_(std::move(subscribe)) {}

    // A publisher that never emits and never completes.
    static AnyPublisher empty() {
        return AnyPublisher([](Subscriber) { return Cancellable(); });
    }

    [[nodiscard]] Cancellable sink(Subscriber subscriber) const { return subscribe_(std::move(subscriber)); }

    // Each record, transformed; R may be void.
    template <class R, class F> AnyPublisher<R> map(F transform) const {
        auto upstream = subscribe_;
        return AnyPublisher<R>([upstream, transform](typename AnyPublisher<R>::Subscriber downstream) {
            if constexpr (std::is_void_v<R>) {
                return upstream([transform, downstream](const Output& value) {
                    transform(value);
                    downstream();
                });
            } else {
                return upstream([transform, downstream](const Output& value) { downstream(transform(value)); });
            }
        });
    }

    // Emits what either publisher emits.
    AnyPublisher merge(const AnyPublisher& other) const {
        auto first = subscribe_;
        auto second = other.subscribe_;
        return AnyPublisher([first, second](Subscriber subscriber) {
            auto a = std::make_shared<Cancellable>(first(subscriber));
            auto b = std::make_shared<Cancellable>(second(subscriber));
            return Cancellable([a, b] {
                a->cancel();
                b->cancel();
            });
        });
    }

private:
    SubscribeFunction subscribe_;
};

// One subscriber's connection to one key of one suite. The returned handle
// owns it; the observation's callback reaches it only weakly, so a
// subscription nobody holds is gone.
class DefaultsSubscription : public std::enable_shared_from_this<DefaultsSubscription> {
public:
    using Subscriber = std::function<void(const BaseChange&)>;

    DefaultsSubscription(Subscriber subscriber, const Suite& suite, std::string key, ObservationOptions options);
    ~DefaultsSubscription();
    DefaultsSubscription(const DefaultsSubscription&) = delete;
    DefaultsSubscription& operator=(const DefaultsSubscription&) = delete;

    // Starts the observation (with initial, the first record arrives here).
    void start();
    void update(const BaseChange& change);
    // Demand is accepted and ignored: every record is delivered.
    void request(std::size_t) {}
    void cancel();

private:
    std::mutex mutex_;
    std::shared_ptr<const Subscriber> subscriber_;
    std::shared_ptr<UserDefaultsKeyObservation> observation_;
    const Suite suite_;
    const std::string key_;
    const ObservationOptions options_;
};

// Describes one key to watch; each subscriber gets its own observation.
struct DefaultsPublisher {
    Suite suite;
    std::string key;
    ObservationOptions options;

    [[nodiscard]] Cancellable receive(DefaultsSubscription::Subscriber subscriber) const;
    AnyPublisher<BaseChange> eraseToAnyPublisher() const;
};

template <DefaultsSerializable V>
AnyPublisher<KeyChange<V>> publisher(const Key<V>& key, const ObservationOptions& options = {}) {
    return DefaultsPublisher{key.suite(), key.name(), options}.eraseToAnyPublisher().template map<KeyChange<V>>(
        [key](const BaseChange& change) { return KeyChange<V>(change, key.defaultValue()); });
}

// Emits once per change of any of the keys; with no keys it never emits.
AnyPublisher<void> publisher(const std::vector<std::reference_wrapper<const AnyKey>>& keys,
                             const ObservationOptions& options = {});
template <std::derived_from<AnyKey>... K>
AnyPublisher<void> publisher(const ObservationOptions& options, const K&... keys) {
    return publisher(std::vector<std::reference_wrapper<const AnyKey>>{std::cref(static_cast<const AnyKey&>(keys))...},
                     options);
}

} // namespace Defaults
