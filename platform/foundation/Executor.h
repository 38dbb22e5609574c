#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace foundation {

// Somewhere to run a task later: a timer queue, an application event loop,
// or a manually driven clock in tests. Tasks must not throw.
class Executor {
public:
    using Task = std::function<void()>;
    virtual ~Executor() = default;
    // Runs `task` once, no earlier than `delaySeconds` from now (a delay of
    // zero, negative or NaN means as soon as possible).
    virtual void scheduleAfter(double delaySeconds, Task task) = 0;
};

// An executor whose clock moves only when told: advance() runs every task
// that has become due, in the order of their deadlines (ties in the order of
// scheduling). Tasks may schedule further tasks. Not thread-safe.
class ManualExecutor final : public Executor {
public:
    void scheduleAfter(double delaySeconds, Task task) override;
    // Moves the clock forward and runs what has become due.
    void advance(double seconds);
    double now() const noexcept { return now_; }
    std::size_t pendingCount() const noexcept { return tasks_.size(); }

private:
    double now_ = 0.0;
    std::uint64_t sequence_ = 0;
    std::multimap<std::pair<double, std::uint64_t>, Task> tasks_;
};

// An executor with one worker thread that runs tasks at their deadlines on
// the steady clock. Destroying it drops the tasks that are not yet due and
// waits for a running one to end.
class TimerExecutor final : public Executor {
public:
    TimerExecutor();
    ~TimerExecutor() override;
    TimerExecutor(const TimerExecutor&) = delete;
    TimerExecutor& operator=(const TimerExecutor&) = delete;

    void scheduleAfter(double delaySeconds, Task task) override;

private:
    using Clock = std::chrono::steady_clock;
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::multimap<std::pair<Clock::time_point, std::uint64_t>, Task> tasks_;
    std::uint64_t sequence_ = 0;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace foundation
