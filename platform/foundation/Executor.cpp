#include "platform/foundation/Executor.h"

#include <cmath>

namespace foundation {
namespace {

double sanitisedDelay(double seconds) {
    if (std::isnan(seconds) || seconds < 0) return 0.0;
    // About 30 years; keeps the time point arithmetic far from overflow.
    return std::fmin(seconds, 1e9);
}

} // namespace

void ManualExecutor::scheduleAfter(double delaySeconds, Task task) {
    tasks_.emplace(std::make_pair(now_ + sanitisedDelay(delaySeconds), sequence_++), std::move(task));
}

void ManualExecutor::advance(double seconds) {
    const double target = now_ + sanitisedDelay(seconds);
    while (!tasks_.empty() && tasks_.begin()->first.first <= target) {
        auto node = tasks_.extract(tasks_.begin());
        if (node.key().first > now_) now_ = node.key().first;
        node.mapped()();
    }
    now_ = target;
}

TimerExecutor::TimerExecutor() : worker_([this] { run(); }) {}

TimerExecutor::~TimerExecutor() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void TimerExecutor::scheduleAfter(double delaySeconds, Task task) {
    const auto delay =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(sanitisedDelay(delaySeconds)));
    {
        std::lock_guard lock(mutex_);
        tasks_.emplace(std::make_pair(Clock::now() + delay, sequence_++), std::move(task));
    }
    changed_.notify_all();
}

void TimerExecutor::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (tasks_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const auto deadline = tasks_.begin()->first.first;
        if (Clock::now() < deadline) {
            changed_.wait_until(lock, deadline);
            continue;
        }
        auto node = tasks_.extract(tasks_.begin());
        lock.unlock();
        node.mapped()();
        lock.lock();
    }
}

} // namespace foundation
