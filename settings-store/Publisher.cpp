#include "settings-store/Publisher.h"

namespace Defaults {

DefaultsSubscription::DefaultsSubscription(Subscriber subscriber, const Suite& suite, std::string key,
                                           ObservationOptions options)
    : subscriber_(std::make_shared<const Subscriber>(std::move(subscriber))), suite_(suite), key_(std::move(key)),
      options_(std::move(options)) {}

DefaultsSubscription::~DefaultsSubscription() { cancel(); }

void DefaultsSubscription::start() {
    std::weak_ptr<DefaultsSubscription> weak = weak_from_this();
    auto observation = UserDefaultsKeyObservation::make(suite_, key_, [weak](BaseChange change) {
        if (auto self = weak.lock()) self->update(change);
    });
    {
        std::lock_guard guard(mutex_);
        if (!subscriber_) return; // cancelled before it started
        observation_ = observation;
    }
    observation->start(options_);
}

void DefaultsSubscription::update(const BaseChange& change) {
    std::shared_ptr<const Subscriber> subscriber;
    {
        std::lock_guard guard(mutex_);
        subscriber = subscriber_;
    }
    if (subscriber) (*subscriber)(change);
}

void DefaultsSubscription::cancel() {
    std::shared_ptr<UserDefaultsKeyObservation> observation;
    std::shared_ptr<const Subscriber> subscriber;
    {
        std::lock_guard guard(mutex_);
        observation = std::move(observation_);
        subscriber = std::move(subscriber_);
    }
    // Invalidate explicitly: a delivery on another thread may still hold the
    // observation, and this waits for that delivery to end before the
    // subscriber (and whatever it captured) is released.
    if (observation) observation->invalidate();
}

Cancellable DefaultsPublisher::receive(DefaultsSubscription::Subscriber subscriber) const {
    auto subscription = std::make_shared<DefaultsSubscription>(std::move(subscriber), suite, key, options);
    subscription->start();
    return Cancellable([subscription] { subscription->cancel(); });
}

AnyPublisher<BaseChange> DefaultsPublisher::eraseToAnyPublisher() const {
    DefaultsPublisher self = *this;
    return AnyPublisher<BaseChange>(
        [self](AnyPublisher<BaseChange>::Subscriber subscriber) { return self.receive(std::move(subscriber)); });
}

AnyPublisher<void> publisher(const std::vector<std::reference_wrapper<const AnyKey>>& keys,
                             const ObservationOptions& options) {
    auto merged = AnyPublisher<void>::empty();
    for (const AnyKey& key : keys)
        merged = merged.merge(DefaultsPublisher{key.suite(), key.name(), options}.eraseToAnyPublisher().map<void>(
            [](const BaseChange&) {}));
    return merged;
}

} // namespace Defaults
