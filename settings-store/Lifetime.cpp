#include "settings-store/Lifetime.h"

#include <algorithm>
#include <utility>

namespace Defaults {

struct LifetimeOwner::Tracker {
    std::shared_ptr<void> object;
    std::function<void()> deinitHandler;
    std::mutex mutex; // guards deinitHandler against a concurrent cancel

    ~Tracker() {
        std::function<void()> handler;
        {
            std::lock_guard guard(mutex);
            handler = std::move(deinitHandler);
        }
        // The handler runs first; `object` is released after this body.
        if (handler) handler();
    }
};

LifetimeOwner::LifetimeOwner() : state_(std::make_shared<State>()) {}

LifetimeOwner::~LifetimeOwner() {
    std::vector<std::shared_ptr<Tracker>> trackers;
    {
        std::lock_guard guard(state_->mutex);
        trackers = std::move(state_->trackers);
        state_->trackers.clear();
    }
    // Released one by one, in order, outside the lock: handlers may undo
    // other ties of this owner.
    for (auto& tracker : trackers) tracker.reset();
}

std::size_t LifetimeOwner::trackerCount() const {
    std::lock_guard guard(state_->mutex);
    return state_->trackers.size();
}

LifetimeAssociation::LifetimeAssociation(std::shared_ptr<void> target, LifetimeOwner& owner,
                                         std::function<void()> deinitHandler) {
    auto tracker = std::make_shared<LifetimeOwner::Tracker>();
    tracker->object = std::move(target);
    tracker->deinitHandler = std::move(deinitHandler);
    {
        std::lock_guard guard(owner.state_->mutex);
        owner.state_->trackers.push_back(tracker);
    }
    wrappedObject_ = tracker;
    owner_ = owner.state_;
}

LifetimeAssociation::~LifetimeAssociation() { detach(); }

void LifetimeAssociation::cancel() {
    if (auto tracker = [&] {
            std::lock_guard guard(mutex_);
            return wrappedObject_.lock();
        }()) {
        std::function<void()> old;
        {
            std::lock_guard guard(tracker->mutex);
            old = std::exchange(tracker->deinitHandler, nullptr);
        }
    }
    detach();
}

void LifetimeAssociation::detach() {
    std::shared_ptr<LifetimeOwner::State> owner;
    std::shared_ptr<LifetimeOwner::Tracker> tracker;
    {
        std::lock_guard guard(mutex_);
        owner = owner_.lock();
        if (!owner) return;
        tracker = wrappedObject_.lock();
        if (!tracker) return;
        owner_.reset();
    }
    std::shared_ptr<LifetimeOwner::Tracker> removed;
    {
        std::lock_guard guard(owner->mutex);
        auto& list = owner->trackers;
        auto it = std::find(list.begin(), list.end(), tracker);
        if (it == list.end()) return;
        removed = std::move(*it);
        list.erase(it);
    }
    // The list held the tracker's last other reference: releasing these two
    // runs its handler here, outside every lock.
    removed.reset();
    tracker.reset();
}

} // namespace Defaults
