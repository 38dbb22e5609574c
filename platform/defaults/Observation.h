#pragma once

// Key-value observation of a user-defaults suite.
//
// An observer registers for one key with a set of options. Every write to
// that key through the suite (setObject, removeObjectForKey) is then reported
// to it synchronously, on the writing thread, before the write returns and
// after the suite's own lock has been released, so an observer may read and
// write the suite, and add or remove observers (itself included), from its
// callback. Changes made by other programs to the suite's file are not
// reported.

#include "platform/defaults/PropertyList.h"

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace platform {

class UserDefaults;

// Registration options, a bit set.
enum class KeyValueObservingOptions : unsigned {
    None = 0,
    New = 1,     // reports carry the value after the change
    Old = 2,     // reports carry the value before the change
    Initial = 4, // one report of the current value, sent while registering
    Prior = 8,   // each change is also reported once before it happens
};

constexpr KeyValueObservingOptions operator|(KeyValueObservingOptions a, KeyValueObservingOptions b) {
    return KeyValueObservingOptions(unsigned(a) | unsigned(b));
}
constexpr bool contains(KeyValueObservingOptions set, KeyValueObservingOptions option) {
    return (unsigned(set) & unsigned(option)) == unsigned(option) && unsigned(option) != 0;
}

enum class KeyValueChangeKind : unsigned { Setting = 1, Insertion = 2, Removal = 3, Replacement = 4 };

// One report. A suite reports every change of a key as a setting; its values
// are what objectForKey presents (so a registered fallback after a removal),
// and absent when the key presents nothing or the option was not asked for.
struct KeyValueChange {
    KeyValueChangeKind kind = KeyValueChangeKind::Setting;
    // Changed positions of an ordered collection; a suite never sends any.
    std::optional<std::vector<std::size_t>> indexes;
    bool isPrior = false;
    std::optional<PropertyList> newValue;
    std::optional<PropertyList> oldValue;
};

class KeyValueObserver {
public:
    virtual ~KeyValueObserver() = default;
    // `context` is the pointer given at registration; it is never read.
    virtual void observeValue(std::string_view key, const UserDefaults& suite, const KeyValueChange& change,
                              const void* context) = 0;
};

// The registrations of one suite. Observers are held weakly: an observer that
// has been destroyed is skipped. Internal to UserDefaults.
class KeyValueObserverList {
public:
    struct Registration {
        std::weak_ptr<KeyValueObserver> observer;
        const KeyValueObserver* identity = nullptr;
        std::string key;
        KeyValueObservingOptions options = KeyValueObservingOptions::None;
        const void* context = nullptr;
        // Guarded by the list's mutex.
        bool removed = false;
        std::vector<std::thread::id> delivering;
    };
    using Snapshot = std::vector<std::shared_ptr<Registration>>;

    std::shared_ptr<Registration> add(const std::shared_ptr<KeyValueObserver>& observer, std::string_view key,
                                      KeyValueObservingOptions options, const void* context);

    // Removes the most recent matching registration and waits until no other
    // thread is still inside a callback of it, so that once this returns the
    // observer is neither called nor being called (except further up the
    // calling thread's own stack). Returns whether one was found.
    bool remove(const KeyValueObserver* observer, std::string_view key, const void* context);

    Snapshot registrations(std::string_view key) const;
    bool anyWants(const Snapshot& snapshot, KeyValueObservingOptions option) const;

    // Calls the registration's observer unless it has been removed or
    // destroyed meanwhile.
    void deliver(Registration& registration, const UserDefaults& suite, const KeyValueChange& change);

private:
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    std::vector<std::shared_ptr<Registration>> registrations_;
};

} // namespace platform
