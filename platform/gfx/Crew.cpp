#include "platform/gfx/Crew.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <vector>

namespace gfx::detail {

namespace {

constexpr unsigned kMaxHelpers = 7;
// How long a helper looks for the next step before it sleeps.
constexpr auto kLinger = std::chrono::microseconds(100);

void pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

unsigned helperCount(unsigned asked) {
    if (asked != 0) return asked;
    const unsigned cores = std::thread::hardware_concurrency();
    return std::min(cores > 1 ? cores - 1 : 0u, kMaxHelpers);
}

} // namespace

Crew::Crew(unsigned helpers) : helpers_(helperCount(helpers)) {
    if (helpers_ == 0) return;
    try {
        starter_ = std::jthread([this] { startAndServe(1); });
    } catch (const std::system_error&) {
        helpers_ = 0;
    }
}

void Crew::startAndServe(unsigned index) {
    // Helpers are numbered from 1 as in a binary heap: each starts the two
    // after it (2i and 2i + 1), so that all are up after a few thread
    // starts instead of one after another, and joins them as it ends.
    std::vector<std::jthread> children;
    for (const unsigned child : {2 * index, 2 * index + 1}) {
        if (child > helpers_ || stop_) break;
        try {
            children.emplace_back([this, child] { startAndServe(child); });
        } catch (const std::system_error&) {
            break; // fewer hands: the others take their items
        } catch (const std::bad_alloc&) {
            break;
        }
    }
    serve();
}

Crew::~Crew() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (starter_.joinable()) starter_.join();
}

void Crew::Job::take() {
    for (std::size_t i; !failed.load(std::memory_order_relaxed) && (i = next.fetch_add(1)) < count;) {
        try {
            call(work, i);
        } catch (...) {
            // A helper's exception has nowhere to go; the caller learns of
            // it from the result.
            failed = true;
        }
    }
}

void Crew::publish(std::size_t count, void (*call)(void*, std::size_t), void* work) {
    // No helper holds job_ between steps (finish() saw to it).
    job_.call = call;
    job_.work = work;
    job_.count = count;
    job_.next.store(0, std::memory_order_relaxed);
    job_.failed.store(false, std::memory_order_relaxed);
    shared_ = helpers_ > 0 && count > 1;
    if (!shared_) return;
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        generation_.fetch_add(1, std::memory_order_release);
    }
    wake_.notify_all();
}

bool Crew::finish() {
    job_.take();
    if (shared_) {
        // No helper may still hold the job once this returns (the next step
        // reuses it): none joins after it is closed, and the ones inside are
        // finishing their last item, so they are waited for without sleeping
        // (waking this thread again would cost more).
        {
            std::lock_guard lock(mutex_);
            open_ = false;
        }
        while (job_.users.load(std::memory_order_acquire) != 0) pause();
    }
    return !job_.failed.load(std::memory_order_relaxed);
}

void Crew::serve() {
    std::uint64_t seen = 0;
    for (;;) {
        // Steps of one operation follow each other closely: a helper that
        // has just finished one looks for the next for a while before it
        // sleeps, since waking a sleeping thread takes about as long as a
        // step.
        const auto until = std::chrono::steady_clock::now() + kLinger;
        for (unsigned spins = 0; generation_.load(std::memory_order_acquire) == seen && !stop_; ++spins) {
            if (spins % 64 == 63 && std::chrono::steady_clock::now() > until) break;
            pause();
        }
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || generation_.load(std::memory_order_relaxed) != seen; });
            if (stop_) return;
            seen = generation_.load(std::memory_order_relaxed);
            if (!open_) continue;
            job_.users.fetch_add(1, std::memory_order_relaxed);
        }
        job_.take();
        job_.users.fetch_sub(1, std::memory_order_release);
    }
}

} // namespace gfx::detail
