// Cancelling while another thread delivers. Meant for the sanitizer build:
// the subscribers touch state that is freed right after cancelling, so a
// delivery that outlived its cancellation would be a use after free.

#include "settings-store/Defaults.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using namespace Defaults;
using platform::UserDefaults;

namespace {

TEST(ThreadedObservation, CancellingWhileAnotherThreadDeliversIsSafe) {
    testsupport::TempDir dir;
    Suite suite = UserDefaults::open("threads", dir.path());
    Key<int> number("number", 0, suite);
    std::atomic<bool> stop{false};
    std::atomic<int> delivered{0};

    // Writes at least once, however late it starts.
    std::thread writer([&] {
        int i = 0;
        do {
            number.set(++i);
        } while (!stop.load());
    });

    std::thread canceller([&] {
        for (int round = 0; round < 150; ++round) {
            auto state = std::make_unique<std::vector<int>>(64, 0);
            auto* raw = state.get();
            auto touch = [raw, &delivered](int v) {
                // Linger so that cancellation often lands mid-delivery.
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                (*raw)[std::size_t(v) % raw->size()] += 1;
                delivered.fetch_add(1);
            };
            switch (round % 3) {
            case 0: {
                Cancellable c = publisher(number).sink([touch](const KeyChange<int>& k) { touch(k.newValue); });
                std::this_thread::sleep_for(std::chrono::microseconds(300));
                c.cancel();
                break;
            }
            case 1: {
                auto o = observe(number, {ObservationOption::prior},
                                 [touch](const KeyChange<int>& k) { touch(k.newValue); });
                std::this_thread::sleep_for(std::chrono::microseconds(300));
                o->invalidate();
                break;
            }
            default: {
                auto s = updates(number);
                s.setWakeup([touch] { touch(1); });
                std::this_thread::sleep_for(std::chrono::microseconds(300));
                s.finish();
                break;
            }
            }
            state.reset(); // anything still delivering would now touch freed memory
        }
        stop = true;
    });

    canceller.join();
    writer.join();
    EXPECT_GT(number.get(), 0);
}

TEST(ThreadedObservation, ConcurrentWritersReachEveryObserver) {
    testsupport::TempDir dir;
    Suite suite = UserDefaults::open("writers", dir.path());
    Key<int> a("a", 0, suite), b("b", 0, suite);
    std::atomic<int> calls{0};
    auto oa = observe(a, {}, [&](const KeyChange<int>&) { calls.fetch_add(1); });
    auto both = observe({a, b}, {}, [&] { calls.fetch_add(1); });
    std::thread t1([&] {
        for (int i = 0; i < 40; ++i) a.set(i + 1);
    });
    std::thread t2([&] {
        for (int i = 0; i < 40; ++i) b.set(i + 1);
    });
    t1.join();
    t2.join();
    EXPECT_EQ(calls.load(), 40 + 80);
}

} // namespace
