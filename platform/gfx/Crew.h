#pragma once

// Threads kept for one operation that shares its work out in steps of
// items (the bands of a large shadow and its fill; the pieces of a large
// picture's compressed rows). Starting a thread costs tens of microseconds
// here, as much as an item's work, so the caller starts one and goes on
// while that one starts the rest; between steps the threads look for the
// next one for a while before they sleep. Nothing outlives the crew: it
// belongs to the operation (or drawing context) that made it, and its
// destructor joins every thread.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <new>
#include <thread>
#include <type_traits>

namespace gfx::detail {

class Crew {
public:
    // Up to `helpers` threads besides the caller's; 0 asks for as many as
    // the processor runs at once, less the caller's, and at most seven.
    explicit Crew(unsigned helpers = 0);
    ~Crew();
    Crew(const Crew&) = delete;
    Crew& operator=(const Crew&) = delete;

    // Calls work(i) once for every i below count, on the caller's thread and
    // on whichever of the crew's threads are free, and returns when every
    // call has returned. Items are taken in increasing order. A call that
    // throws stops the items not yet taken and makes the result false; the
    // caller's data is then partly worked. One step at a time, from one
    // thread at a time.
    template <class Work> bool forEach(std::size_t count, Work&& work) {
        using W = std::remove_reference_t<Work>;
        publish(
            count, [](void* w, std::size_t i) { (*static_cast<W*>(w))(i); },
            const_cast<std::remove_const_t<W>*>(&work));
        return finish();
    }

    // The threads that may take items besides the caller's (once started).
    unsigned helpers() const { return helpers_; }

private:
    struct Job {
        void (*call)(void*, std::size_t) = nullptr;
        void* work = nullptr;
        std::size_t count = 0;
        std::atomic<std::size_t> next{0};
        std::atomic<bool> failed{false};
        std::atomic<unsigned> users{0}; // helpers inside take()
        void take();
    };

    // Offers a step to the helpers; finish() takes the items left, waits
    // for the helpers inside, and gives the result.
    void publish(std::size_t count, void (*call)(void*, std::size_t), void* work);
    bool finish();
    void startAndServe(unsigned index);
    void serve();

    unsigned helpers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    // Read without the mutex by helpers waiting for the next step; written
    // under it, as open_ is.
    std::atomic<std::uint64_t> generation_{0};
    std::atomic<bool> stop_{false};
    Job job_;
    bool open_ = false;   // helpers may join job_; guarded by mutex_
    bool shared_ = false; // the caller's: the step was offered to helpers
    // The first helper, which starts the others (see startAndServe).
    std::jthread starter_;
};

} // namespace gfx::detail
