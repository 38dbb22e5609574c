#pragma once

#include "platform/foundation/Executor.h"

#include <atomic>
#include <functional>
#include <memory>

namespace QRCode {

// Collapses a burst of calls into one: each debounce() cancels the run that
// the previous call scheduled (unless it has started) and schedules its own
// block on the executor one interval later. Called from one thread.
// Destroying the debouncer does not cancel a scheduled run; the executor
// must outlive the runs it was given.
class ZelDebounce {
public:
    using Block = std::function<void()>;

    ZelDebounce(foundation::Executor& executor, double intervalSeconds)
        : executor_(executor), interval_(intervalSeconds) {}

    void debounce(Block block) {
        cancelled_->store(true);
        cancelled_ = std::make_shared<std::atomic<bool>>(false);
        executor_.scheduleAfter(interval_, [cancelled = cancelled_, block = std::move(block)] {
            if (!cancelled->load()) block();
        });
    }

    double interval() const noexcept { return interval_; }

private:
    foundation::Executor& executor_;
    double interval_;
    std::shared_ptr<std::atomic<bool>> cancelled_ = std::make_shared<std::atomic<bool>>(false);
};

} // namespace QRCode
