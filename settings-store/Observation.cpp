#include "settings-store/Observation.h"

namespace Defaults {

using platform::KeyValueObservingOptions;

platform::KeyValueObservingOptions registrationOptions(const ObservationOptions& options) {
    using O = KeyValueObservingOptions;
    if (options.contains(ObservationOption::initial)) return O::New | O::Old | O::Initial;
    if (options.contains(ObservationOption::prior)) return O::New | O::Old | O::Prior;
    return O::New | O::Old;
}

namespace {

bool& silencedFlag() {
    thread_local bool silenced = false;
    return silenced;
}

// Identifies the composite observation's registrations.
constexpr char compositeObservationContext = 0;

template <class Self> std::unique_ptr<LifetimeAssociation> makeAssociation(Self& self, LifetimeOwner& owner) {
    std::weak_ptr<Self> weak = self.weak_from_this();
    return std::make_unique<LifetimeAssociation>(self.shared_from_this(), owner, [weak] {
        if (auto observation = weak.lock()) observation->invalidate();
    });
}

} // namespace

bool isPropagationSilenced() { return silencedFlag(); }

PropagationSilencer::PropagationSilencer() : previous_(std::exchange(silencedFlag(), true)) {}
PropagationSilencer::~PropagationSilencer() { silencedFlag() = previous_; }

// ---- what both share ----

// Cancelled, not just released: releasing the earlier tie would run its
// handler and end the observation that is being moved to the new owner.
template <class Self> Observation& KeyObservationBase<Self>::bindLifetime(LifetimeOwner& owner) {
    auto previous = makeAssociation(static_cast<Self&>(*this), owner);
    {
        std::lock_guard guard(mutex_);
        std::swap(previous, lifetimeAssociation_);
    }
    if (previous) previous->cancel();
    return *this;
}

template <class Self> void KeyObservationBase<Self>::unbindLifetime() {
    std::unique_ptr<LifetimeAssociation> association;
    {
        std::lock_guard guard(mutex_);
        association = std::move(lifetimeAssociation_);
    }
    if (association) association->cancel();
}

template class KeyObservationBase<UserDefaultsKeyObservation>;
template class KeyObservationBase<CompositeUserDefaultsKeyObservation>;

// ---- single key ----

UserDefaultsKeyObservation::UserDefaultsKeyObservation(Private, const Suite& suite, std::string key, Callback callback)
    : object_(suite), key_(std::move(key)), callback_(std::move(callback)) {}

std::shared_ptr<UserDefaultsKeyObservation> UserDefaultsKeyObservation::make(const Suite& suite, std::string key,
                                                                             Callback callback) {
    return std::make_shared<UserDefaultsKeyObservation>(Private{}, suite, std::move(key), std::move(callback));
}

UserDefaultsKeyObservation::~UserDefaultsKeyObservation() { invalidate(); }

void UserDefaultsKeyObservation::start(const ObservationOptions& options) {
    std::shared_ptr<platform::UserDefaults> suite;
    {
        std::lock_guard guard(mutex_);
        suite = object_.lock();
        isObserving_ = true;
    }
    // Outside the lock: with initial the callback runs in here.
    if (suite) suite->addObserver(shared_from_this(), key_, registrationOptions(options));
}

void UserDefaultsKeyObservation::invalidate() {
    std::shared_ptr<platform::UserDefaults> suite;
    bool wasObserving;
    std::unique_ptr<LifetimeAssociation> association;
    {
        std::lock_guard guard(mutex_);
        wasObserving = std::exchange(isObserving_, false);
        suite = object_.lock();
        object_.reset();
        if (lifetimeAssociation_) association = std::move(lifetimeAssociation_);
    }
    // Waits for a delivery in progress on another thread.
    if (wasObserving && suite) suite->removeObserver(this, key_);
    if (association) association->cancel();
}

void UserDefaultsKeyObservation::observeValue(std::string_view, const platform::UserDefaults& notifying,
                                              const BaseChange& change, const void*) {
    std::shared_ptr<platform::UserDefaults> suite;
    {
        std::lock_guard guard(mutex_);
        suite = object_.lock();
    }
    if (!suite) {
        invalidate();
        return;
    }
    if (&notifying != suite.get()) return;
    if (isPropagationSilenced()) return;
    callback_(change);
}

// ---- several keys ----

CompositeUserDefaultsKeyObservation::CompositeUserDefaultsKeyObservation(Private, const std::vector<Pair>& pairs,
                                                                         Callback callback)
    : callback_(std::move(callback)) {
    for (const auto& [suite, key] : pairs) observables_.push_back({suite, key});
}

std::shared_ptr<CompositeUserDefaultsKeyObservation> CompositeUserDefaultsKeyObservation::make(
    const std::vector<Pair>& pairs, Callback callback) {
    return std::make_shared<CompositeUserDefaultsKeyObservation>(Private{}, pairs, std::move(callback));
}

CompositeUserDefaultsKeyObservation::~CompositeUserDefaultsKeyObservation() { invalidate(); }

void CompositeUserDefaultsKeyObservation::start(const ObservationOptions& options) {
    std::vector<std::pair<std::shared_ptr<platform::UserDefaults>, std::string>> live;
    {
        std::lock_guard guard(mutex_);
        for (const auto& pair : observables_)
            if (auto suite = pair.suite.lock()) live.emplace_back(std::move(suite), pair.key);
    }
    auto self = shared_from_this();
    for (const auto& [suite, key] : live)
        suite->addObserver(self, key, registrationOptions(options), &compositeObservationContext);
}

void CompositeUserDefaultsKeyObservation::invalidate() {
    std::vector<std::pair<std::shared_ptr<platform::UserDefaults>, std::string>> live;
    std::unique_ptr<LifetimeAssociation> association;
    {
        std::lock_guard guard(mutex_);
        for (auto& pair : observables_) {
            if (auto suite = pair.suite.lock()) live.emplace_back(std::move(suite), pair.key);
            pair.suite.reset();
        }
        association = std::move(lifetimeAssociation_);
    }
    for (const auto& [suite, key] : live) suite->removeObserver(this, key, &compositeObservationContext);
    if (association) association->cancel();
}

void CompositeUserDefaultsKeyObservation::observeValue(std::string_view, const platform::UserDefaults&,
                                                       const BaseChange& change, const void* context) {
    if (context != &compositeObservationContext) return;
    if (isPropagationSilenced()) return;
    callback_(change);
}

// ---- namespace operations ----

std::shared_ptr<Observation> observe(const std::vector<std::reference_wrapper<const AnyKey>>& keys,
                                     const ObservationOptions& options, std::function<void()> handler) {
    std::vector<CompositeUserDefaultsKeyObservation::Pair> pairs;
    for (const AnyKey& key : keys) pairs.emplace_back(key.suite(), key.name());
    auto observation =
        CompositeUserDefaultsKeyObservation::make(pairs, [handler = std::move(handler)](BaseChange) { handler(); });
    observation->start(options);
    return observation;
}

void reset(const std::vector<std::reference_wrapper<const AnyKey>>& keys) {
    for (const AnyKey& key : keys) key.suite()->removeObjectForKey(key.name());
}

void reset(const std::vector<std::string>& names, platform::UserDefaults& suite) {
    for (const auto& name : names) suite.removeObjectForKey(name);
}

} // namespace Defaults
