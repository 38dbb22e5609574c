#include "platform/defaults/Observation.h"

#include "platform/defaults/UserDefaults.h"

#include <algorithm>

namespace platform {

std::shared_ptr<KeyValueObserverList::Registration> KeyValueObserverList::add(
    const std::shared_ptr<KeyValueObserver>& observer, std::string_view key, KeyValueObservingOptions options,
    const void* context) {
    auto registration = std::make_shared<Registration>();
    registration->observer = observer;
    registration->identity = observer.get();
    registration->key = std::string(key);
    registration->options = options;
    registration->context = context;
    std::lock_guard guard(mutex_);
    // Observers that went away without removing themselves leave nothing behind.
    std::erase_if(registrations_, [](const auto& r) { return r->observer.expired(); });
    registrations_.push_back(registration);
    return registration;
}

bool KeyValueObserverList::remove(const KeyValueObserver* observer, std::string_view key, const void* context) {
    std::unique_lock lock(mutex_);
    auto found = std::find_if(registrations_.rbegin(), registrations_.rend(), [&](const auto& r) {
        return r->identity == observer && r->key == key && r->context == context;
    });
    if (found == registrations_.rend()) return false;
    std::shared_ptr<Registration> registration = *found;
    registrations_.erase(std::next(found).base());
    registration->removed = true;
    const auto self = std::this_thread::get_id();
    idle_.wait(lock, [&] {
        return std::all_of(registration->delivering.begin(), registration->delivering.end(),
                           [&](std::thread::id id) { return id == self; });
    });
    return true;
}

KeyValueObserverList::Snapshot KeyValueObserverList::registrations(std::string_view key) const {
    Snapshot out;
    std::lock_guard guard(mutex_);
    for (const auto& r : registrations_)
        if (r->key == key && !r->observer.expired()) out.push_back(r);
    return out;
}

bool KeyValueObserverList::anyWants(const Snapshot& snapshot, KeyValueObservingOptions option) const {
    return std::any_of(snapshot.begin(), snapshot.end(), [&](const auto& r) { return contains(r->options, option); });
}

void KeyValueObserverList::deliver(Registration& registration, const UserDefaults& suite,
                                   const KeyValueChange& change) {
    // Keeps the observer alive for the call; released only after the
    // registration has been left, so a destructor that removes the
    // registration never waits for its own thread.
    auto observer = registration.observer.lock();
    if (!observer) return;
    const auto self = std::this_thread::get_id();
    {
        std::lock_guard guard(mutex_);
        if (registration.removed) return;
        registration.delivering.push_back(self);
    }
    struct Leave {
        KeyValueObserverList& list;
        Registration& registration;
        std::thread::id self;
        ~Leave() {
            {
                std::lock_guard guard(list.mutex_);
                auto& ids = registration.delivering;
                ids.erase(std::find(ids.begin(), ids.end(), self));
            }
            list.idle_.notify_all();
        }
    } leave{*this, registration, self};
    observer->observeValue(registration.key, suite, change, registration.context);
}

// ---- the suite's side ----

void UserDefaults::addObserver(const std::shared_ptr<KeyValueObserver>& observer, std::string_view key,
                               KeyValueObservingOptions options, const void* context) {
    if (!observer) return;
    auto registration = observers_.add(observer, key, options, context);
    if (contains(options, KeyValueObservingOptions::Initial)) {
        KeyValueChange initial;
        if (contains(options, KeyValueObservingOptions::New)) initial.newValue = objectForKey(key);
        observers_.deliver(*registration, *this, initial);
    }
}

void UserDefaults::removeObserver(const KeyValueObserver* observer, std::string_view key, const void* context) {
    observers_.remove(observer, key, context);
}

void UserDefaults::applyAndReport(std::string_view key, std::optional<PropertyList> value) {
    using O = KeyValueObservingOptions;
    const auto observers = observers_.registrations(key);
    if (observers.empty()) {
        Change change;
        {
            std::lock_guard guard(mutex_);
            change = applyLocked(key, std::move(value));
        }
        if (change.saveNow) (void)savePending();
        return;
    }

    if (observers_.anyWants(observers, O::Prior)) {
        KeyValueChange prior;
        prior.isPrior = true;
        std::optional<PropertyList> before;
        if (observers_.anyWants(observers, O::Old)) before = objectForKey(key);
        for (const auto& r : observers) {
            if (!contains(r->options, O::Prior)) continue;
            prior.oldValue = contains(r->options, O::Old) ? before : std::nullopt;
            observers_.deliver(*r, *this, prior);
        }
    }

    Change change;
    {
        std::lock_guard guard(mutex_);
        change = applyLocked(key, std::move(value));
    }
    if (change.saveNow) (void)savePending();
    // Reported with the suite's lock released: observers may use the suite.
    for (const auto& r : observers) {
        KeyValueChange report;
        if (contains(r->options, O::Old)) report.oldValue = change.oldValue;
        if (contains(r->options, O::New)) report.newValue = change.newValue;
        observers_.deliver(*r, *this, report);
    }
}

} // namespace platform
