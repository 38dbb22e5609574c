// The crew's steps: every item worked once whatever the threads, failures
// reported without losing the crew, and a crew ended while its threads
// are still starting.

#include "platform/gfx/Crew.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <numeric>
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

TEST(Crew, AFailedItemStopsTheStepAndTheCrewGoesOn) {
    Crew crew(3);
    std::atomic<int> worked{0};
    EXPECT_FALSE(crew.forEach(10000, [&](std::size_t i) {
        if (i == 50) throw std::bad_alloc();
        worked.fetch_add(1);
    }));
    // Items already taken finish; those not yet taken are left.
    EXPECT_LT(worked.load(), 9999);
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
