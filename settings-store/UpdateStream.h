#pragma once

// Update streams: the values of a key (or bare change marks for several
// keys), buffered without bound, in the order the changes were reported.
// Producers are store observations on the writing threads; the stream's
// owner consumes by pulling (next, tryNext, drain) or by a wake-up call that
// runs whenever the buffer stops being empty. Destroying the stream (or
// finish()) ends its observations.

#include "settings-store/Observation.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <variant>
#include <vector>

namespace Defaults {

template <class T> class UpdateStream {
public:
    struct Buffer {
        std::mutex mutex;
        std::condition_variable available;
        std::deque<T> elements;
        bool finished = false;
        std::shared_ptr<const std::function<void()>> wakeup;

        void yield(T element) {
            std::shared_ptr<const std::function<void()>> wake;
            {
                std::lock_guard guard(mutex);
                if (finished) return;
                const bool wasEmpty = elements.empty();
                elements.push_back(std::move(element));
                if (wasEmpty) wake = wakeup;
            }
            available.notify_all();
            if (wake) (*wake)();
        }
    };

    // Used by updates(); `feeds` are the observations that yield into
    // `buffer`, already started.
    UpdateStream(std::shared_ptr<Buffer> buffer, std::vector<std::shared_ptr<Observation>> feeds)
        : buffer_(std::move(buffer)), feeds_(std::move(feeds)) {}
    UpdateStream(UpdateStream&&) noexcept = default;
    UpdateStream& operator=(UpdateStream&& other) noexcept {
        if (this != &other) {
            finish();
            buffer_ = std::move(other.buffer_);
            feeds_ = std::move(other.feeds_);
        }
        return *this;
    }
    ~UpdateStream() { finish(); }

    // The next element; waits for one. Nothing once the stream has finished
    // and its buffer is empty.
    std::optional<T> next() {
        if (!buffer_) return std::nullopt; // moved from
        std::unique_lock lock(buffer_->mutex);
        buffer_->available.wait(lock, [&] { return !buffer_->elements.empty() || buffer_->finished; });
        return popLocked();
    }
    template <class Rep, class Period> std::optional<T> next(std::chrono::duration<Rep, Period> timeout) {
        if (!buffer_) return std::nullopt;
        std::unique_lock lock(buffer_->mutex);
        buffer_->available.wait_for(lock, timeout, [&] { return !buffer_->elements.empty() || buffer_->finished; });
        return popLocked();
    }
    std::optional<T> tryNext() {
        if (!buffer_) return std::nullopt;
        std::lock_guard guard(buffer_->mutex);
        return popLocked();
    }
    // Every element waiting, oldest first.
    std::vector<T> drain() {
        if (!buffer_) return {};
        std::lock_guard guard(buffer_->mutex);
        std::vector<T> out(std::make_move_iterator(buffer_->elements.begin()),
                           std::make_move_iterator(buffer_->elements.end()));
        buffer_->elements.clear();
        return out;
    }

    // Called on the producing thread each time an element arrives in an
    // empty buffer (at once if elements are already waiting). It must not
    // block; typically it schedules a drain on the consumer's executor.
    void setWakeup(std::function<void()> wakeup) {
        if (!buffer_) return;
        auto wake = wakeup ? std::make_shared<const std::function<void()>>(std::move(wakeup)) : nullptr;
        bool waiting;
        {
            std::lock_guard guard(buffer_->mutex);
            buffer_->wakeup = wake;
            waiting = !buffer_->elements.empty() && !buffer_->finished;
        }
        if (wake && waiting) (*wake)();
    }

    // Ends the stream: its observations are invalidated (waiting for
    // deliveries in progress), and no element arrives afterwards.
    void finish() {
        if (!buffer_) return;
        for (auto& feed : feeds_)
            if (feed) feed->invalidate();
        feeds_.clear();
        {
            std::lock_guard guard(buffer_->mutex);
            buffer_->finished = true;
            buffer_->wakeup.reset();
        }
        buffer_->available.notify_all();
    }

private:
    std::optional<T> popLocked() {
        if (buffer_->elements.empty()) return std::nullopt;
        T element = std::move(buffer_->elements.front());
        buffer_->elements.pop_front();
        return element;
    }

    std::shared_ptr<Buffer> buffer_;
    std::vector<std::shared_ptr<Observation>> feeds_;
};

// The key's values: with `initial`, first its current value (the default
// when nothing is stored), yielded before this returns; then the new value of
// every reported change, a removal yielding the default.
template <DefaultsSerializable V> [[nodiscard]] UpdateStream<V> updates(const Key<V>& key, bool initial = true) {
    using Stream = UpdateStream<V>;
    auto buffer = std::make_shared<typename Stream::Buffer>();
    std::weak_ptr<typename Stream::Buffer> weak = buffer;
    auto observation = UserDefaultsKeyObservation::make(key.suite(), key.name(), [key, weak](BaseChange change) {
        if (auto b = weak.lock()) b->yield(KeyChange<V>(std::move(change), key.defaultValue()).newValue);
    });
    observation->start(initial ? ObservationOptions{ObservationOption::initial} : ObservationOptions{});
    return Stream(std::move(buffer), {std::move(observation)});
}

// One mark per change of any of the keys; with `initial`, one mark first
// (from the first key, if its suite still exists).
[[nodiscard]] UpdateStream<std::monostate> updates(const std::vector<std::reference_wrapper<const AnyKey>>& keys,
                                                   bool initial = true);

} // namespace Defaults
