#include "platform/foundation/Executor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <vector>

using foundation::ManualExecutor;
using foundation::TimerExecutor;

TEST(ManualExecutor, RunsDueTasksInDeadlineThenSchedulingOrder) {
    ManualExecutor executor;
    std::vector<int> order;
    executor.scheduleAfter(0.2, [&] { order.push_back(3); });
    executor.scheduleAfter(0.1, [&] { order.push_back(1); });
    executor.scheduleAfter(0.1, [&] {
        order.push_back(2);
        executor.scheduleAfter(0.05, [&] { order.push_back(4); }); // due at 0.15
    });
    executor.advance(0.09);
    EXPECT_TRUE(order.empty());
    executor.advance(0.11);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 4, 3}));
    EXPECT_DOUBLE_EQ(executor.now(), 0.2);
    EXPECT_EQ(executor.pendingCount(), 0u);
}

TEST(TimerExecutor, RunsTasksOnItsThreadAndDropsPendingOnesOnDestruction) {
    std::promise<std::thread::id> ran;
    std::atomic<bool> lateRan{false};
    {
        TimerExecutor executor;
        executor.scheduleAfter(0.0, [&] { ran.set_value(std::this_thread::get_id()); });
        executor.scheduleAfter(3600.0, [&] { lateRan = true; });
        auto future = ran.get_future();
        ASSERT_EQ(future.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_NE(future.get(), std::this_thread::get_id());
    }
    EXPECT_FALSE(lateRan);
}
