#pragma once

// Tying the life of an object (an observation) to an unrelated owner.
//
// An owner carries a LifetimeOwner: a list of trackers that dies with it.
// Each tracker keeps its target alive and runs a handler when the tracker
// itself is released. The LifetimeAssociation is the creator's handle to undo
// the tie. Ownership while the tie stands: owner -> tracker list -> tracker ->
// target; the association holds nothing strongly.

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace Defaults {

class LifetimeAssociation;

// The tracker list of one owner. Embed one in the owner (or, for a QObject,
// use lifetimeOwner(QObject&) from settings-store/qt). Destroying it releases
// the trackers in the order they were added; each runs its handler, then
// releases its target.
class LifetimeOwner {
public:
    LifetimeOwner();
    ~LifetimeOwner();
    LifetimeOwner(const LifetimeOwner&) = delete;
    LifetimeOwner& operator=(const LifetimeOwner&) = delete;

    // How many ties stand (tests and diagnostics).
    std::size_t trackerCount() const;

private:
    friend class LifetimeAssociation;
    struct Tracker;
    struct State {
        mutable std::mutex mutex;
        std::vector<std::shared_ptr<Tracker>> trackers;
    };
    std::shared_ptr<State> state_;
};

class LifetimeAssociation {
public:
    // Attaches a tracker holding `target` to the owner; `deinitHandler` runs
    // when the tracker is released (owner gone, detach(), or this
    // association released), while the target is still alive.
    LifetimeAssociation(std::shared_ptr<void> target, LifetimeOwner& owner, std::function<void()> deinitHandler);
    // Detaches, which runs the handler unless cancel() came first.
    ~LifetimeAssociation();
    LifetimeAssociation(const LifetimeAssociation&) = delete;
    LifetimeAssociation& operator=(const LifetimeAssociation&) = delete;

    // Undoes the tie without running the handler.
    void cancel();
    // Removes the tracker from its owner; its handler runs.
    void detach();

private:
    std::weak_ptr<LifetimeOwner::Tracker> wrappedObject_;
    std::weak_ptr<LifetimeOwner::State> owner_;
    std::mutex mutex_;
};

} // namespace Defaults
