#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace QRCode {

// A list of callbacks that an object calls when it announces a change.
// subscribe() hands out a Subscription that removes its callback when it is
// destroyed (or cancelled); a subscription may outlive the notifier.
// Callbacks run on the thread that calls notify(), in order of subscription;
// a callback may subscribe or cancel during the call (the change applies to
// the next notification).
class ChangeNotifier {
    struct State;

public:
    using Callback = std::function<void()>;

    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&&) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept {
            if (this != &other) {
                cancel();
                state_ = std::move(other.state_);
                id_ = other.id_;
            }
            return *this;
        }
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { cancel(); }

        void cancel() noexcept {
            if (const auto state = state_.lock()) {
                const std::lock_guard lock(state->mutex);
                std::erase_if(state->entries, [this](const Entry& e) { return e.id == id_; });
            }
            state_.reset();
        }

    private:
        friend class ChangeNotifier;
        Subscription(std::weak_ptr<State> state, std::uint64_t id) : state_(std::move(state)), id_(id) {}

        std::weak_ptr<State> state_;
        std::uint64_t id_ = 0;
    };

    ChangeNotifier() : state_(std::make_shared<State>()) {}
    ChangeNotifier(const ChangeNotifier&) = delete;
    ChangeNotifier& operator=(const ChangeNotifier&) = delete;

    [[nodiscard]] Subscription subscribe(Callback callback) {
        const std::lock_guard lock(state_->mutex);
        const std::uint64_t id = ++state_->lastId;
        state_->entries.push_back(Entry{id, std::make_shared<Callback>(std::move(callback))});
        return Subscription(state_, id);
    }

    void notify() const {
        std::vector<std::shared_ptr<Callback>> callbacks;
        {
            const std::lock_guard lock(state_->mutex);
            callbacks.reserve(state_->entries.size());
            for (const Entry& e : state_->entries) callbacks.push_back(e.callback);
        }
        for (const auto& callback : callbacks)
            if (*callback) (*callback)();
    }

    std::size_t subscriberCount() const {
        const std::lock_guard lock(state_->mutex);
        return state_->entries.size();
    }

private:
    struct Entry {
        std::uint64_t id;
        std::shared_ptr<Callback> callback;
    };
    struct State {
        std::mutex mutex;
        std::vector<Entry> entries;
        std::uint64_t lastId = 0;
    };

    std::shared_ptr<State> state_;
};

} // namespace QRCode
