#pragma once

// The observable value of one settings key: reads and writes go straight to
// the store, and after every reported change of the stored value (whoever
// wrote it) the object sends objectWillChange on the main thread, on a later
// turn of the event loop. Changes reported before that turn runs are
// coalesced into one signal. One signal also follows the start of observing,
// with no change. Lives on the main thread.

#include "settings-store/UpdateStream.h"
#include "settings-store/qt/MainThreadExecutor.h"
#include "settings-store/qt/ObservableBase.h"

#include <memory>
#include <optional>

namespace Defaults {

template <DefaultsSerializable V> class Observable final : public ObservableBase {
public:
    explicit Observable(Key<V> key, QObject* parent = nullptr, foundation::Executor& executor = mainThreadExecutor())
        : ObservableBase(parent), key_(std::move(key)), executor_(&executor) {
        observe();
    }
    // Ends observing; no signal follows, not even for changes already seen.
    ~Observable() override { feed_.reset(); }

    V value() const { return key_.get(); }
    // Stores the value; sends no signal itself.
    void setValue(const V& value) const { key_.set(value); }

    const Key<V>& key() const { return key_; }
    // Observing restarts only when the name or the suite differs.
    void setKey(Key<V> key) {
        const bool same = key.name() == key_.name() && key.suite() == key_.suite();
        key_ = std::move(key);
        if (!same) observe();
    }

private:
    class StreamFeed final : public Feed {
    public:
        explicit StreamFeed(UpdateStream<V> s) : stream(std::move(s)) {}
        bool drain() override { return !stream.drain().empty(); }
        UpdateStream<V> stream;
    };

    void observe() {
        feed_.reset(); // ends the old observation first
        auto feed = std::make_shared<StreamFeed>(updates(key_, true));
        feed->stream.setWakeup(wakeupFor(this, feed, *executor_));
        feed_ = std::move(feed);
    }

    Key<V> key_;
    foundation::Executor* executor_;
    std::shared_ptr<StreamFeed> feed_;
};

} // namespace Defaults
