// The crew's steps: every item worked once whatever the threads, failures
// reported without losing the crew, and a crew ended while its threads
// are still starting.

#include "platform/gfx/Crew.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <numeric>
#include <utility>
#include <vector>

using gfx::detail::Crew;

TEST(Crew, EveryItemOfEveryStepIsWorkedOnce) {
    for (const unsigned helpers : {1u, 3u, 0u}) {
        SCOPED_TRACE(helpers);
        Crew crew(helpers);
        // Steps back to back, of no items, one, and many small ones: the
        // helpers of one step must not take items of the next.
        for (int step = 0; step < 2000; ++step) {
            const std::size_t count = step % 7 == 0 ? 0 : step % 5 == 0 ? 1 : std::size_t(1 + step % 40);
            std::vector<std::atomic<int>> taken(count);
            EXPECT_TRUE(crew.forEach(count, [&](std::size_t i) { taken[i].fetch_add(1); }));
            for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(taken[i].load(), 1) << "step " << step << ", item " << i;
        }
    }
}

namespace {

// What item 50 throws. The crew has taken note of the failure by the time
// it lets go of the exception: its destructor lets the items held back go.
struct Failure {
    explicit Failure(std::atomic<bool>& released) : released_(&released) {}
    Failure(Failure&& other) noexcept : released_(std::exchange(other.released_, nullptr)) {}
    Failure(const Failure&) = delete;
    Failure& operator=(const Failure&) = delete;
    Failure& operator=(Failure&&) = delete;
    ~Failure() {
        if (released_ == nullptr) return;
        released_->store(true);
        released_->notify_all();
    }

private:
    std::atomic<bool>* released_;
};

} // namespace

TEST(Crew, AFailedItemStopsTheStepAndTheCrewGoesOn) {
    Crew crew(3);
    constexpr std::size_t kCount = 10000, kFailing = 50;
    std::vector<std::atomic<int>> taken(kCount);
    std::atomic<bool> released{false};
    // Items after the failing one wait until the crew has seen it fail, so
    // however the threads are scheduled no thread runs on through the step
    // while the failure is being reported.
    EXPECT_FALSE(crew.forEach(kCount, [&](std::size_t i) {
        if (i == kFailing) throw Failure(released);
        if (i > kFailing) released.wait(false);
        taken[i].fetch_add(1);
    }));
    // Items already taken finish: every one before the failing item (items
    // are taken in order), and at most one more for each helper, which
    // may have taken its item just as the step stopped. None is worked
    // twice; those not yet taken are left.
    for (std::size_t i = 0; i < kFailing; ++i) EXPECT_EQ(taken[i].load(), 1) << "item " << i;
    std::size_t after = 0;
    for (std::size_t i = kFailing + 1; i < kCount; ++i) {
        EXPECT_LE(taken[i].load(), 1) << "item " << i;
        after += std::size_t(taken[i].load());
    }
    EXPECT_LE(after, crew.helpers());

    std::vector<long> sums(64, 0);
    EXPECT_TRUE(crew.forEach(sums.size(), [&](std::size_t i) { sums[i] = long(i) * 2; }));
    EXPECT_EQ(std::accumulate(sums.begin(), sums.end(), 0L), 63L * 64L);
}

TEST(Crew, EndsWhileItsThreadsAreStillStarting) {
    for (int i = 0; i < 200; ++i) {
        Crew crew;
        if (i % 2 == 0) {
            int sum = 0;
            EXPECT_TRUE(crew.forEach(1, [&](std::size_t) { sum = 1; }));
            EXPECT_EQ(sum, 1);
        }
    }
}
