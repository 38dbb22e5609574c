#include "settings-store/Defaults.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace Defaults;
using platform::UserDefaults;

namespace {

struct PublishersAndStreams : ::testing::Test {
    testsupport::TempDir dir;
    Suite suite = UserDefaults::open("streams", dir.path());
    Key<int> number{"number", 3, suite};
    Key<std::string> text{"text", "none", suite};
};

TEST_F(PublishersAndStreams, PublishersSendTheRecordsTheOptionsAskForUntilCancelled) {
    number.set(4);
    std::vector<std::string> seen;
    auto record = [&](const KeyChange<int>& c) {
        seen.push_back((c.isPrior ? "prior " : "") + std::to_string(c.oldValue) + " -> " + std::to_string(c.newValue));
    };
    Cancellable initial = publisher(number, {ObservationOption::initial}).sink(record);
    EXPECT_EQ(seen, std::vector<std::string>{"3 -> 4"}); // before sink returns
    number.set(5);
    initial.cancel();
    number.set(6);
    EXPECT_EQ(seen, (std::vector<std::string>{"3 -> 4", "4 -> 5"}));

    seen.clear();
    auto prior = publisher(number, {ObservationOption::prior}).sink(record);
    EXPECT_TRUE(seen.empty());
    number.set(9);
    EXPECT_EQ(seen, (std::vector<std::string>{"prior 6 -> 3", "6 -> 9"}));
}

TEST_F(PublishersAndStreams, DroppingTheHandleEndsTheSubscriptionAndReleasesTheSubscriber) {
    auto captured = std::make_shared<int>(0);
    std::weak_ptr<int> weak = captured;
    {
        auto subscription = publisher(number).sink([captured](const KeyChange<int>&) { ++*captured; });
        captured.reset();
        number.set(1);
        EXPECT_EQ(*weak.lock(), 1);
    }
    // Nothing keeps a subscription alive once its handle is gone.
    EXPECT_TRUE(weak.expired());
    number.set(2);
}

TEST_F(PublishersAndStreams, PublisherAndStreamOfSeveralKeysEmitOncePerChangeOfEitherKey) {
    int none = 0, both = 0;
    auto empty = publisher(std::vector<std::reference_wrapper<const AnyKey>>{}).sink([&] { ++none; });
    auto merged = publisher({}, number, text).sink([&] { ++both; });
    number.set(1);
    text.set("a");
    number.reset();
    EXPECT_EQ(none, 0);
    EXPECT_EQ(both, 3);
    merged.cancel();
    text.set("b");
    EXPECT_EQ(both, 3);

    // The stream of several keys yields one initial mark, then one per change.
    auto stream = updates({number, text});
    EXPECT_EQ(stream.drain().size(), 1u);
    text.set("x");
    number.set(7);
    EXPECT_EQ(stream.drain().size(), 2u);
    withoutPropagation([&] { number.set(8); });
    EXPECT_TRUE(stream.drain().empty());
}

TEST_F(PublishersAndStreams, StreamYieldsInitialValueThenEveryChangeInOrderUntilFinished) {
    auto stream = updates(number);
    number.set(10);
    number.set(11);
    number.reset();
    text.set("unrelated");
    number.set(12);
    std::vector<int> values;
    while (auto v = stream.tryNext()) values.push_back(*v);
    EXPECT_EQ(values, (std::vector<int>{3, 10, 11, 3, 12}));

    auto later = updates(number, false);
    EXPECT_FALSE(later.tryNext());
    number.set(13);
    EXPECT_EQ(later.drain(), std::vector<int>{13});

    // A finished stream does not wait: it has ended.
    auto texts = updates(text);
    EXPECT_EQ(texts.next(), "unrelated");
    texts.finish();
    text.set("late");
    EXPECT_FALSE(texts.next());
}

TEST_F(PublishersAndStreams, BlockingNextReceivesAChangeFromAnotherThread) {
    auto stream = updates(number, false);
    std::thread writer([&] { number.set(42); });
    EXPECT_EQ(stream.next(std::chrono::seconds(30)), 42);
    writer.join();
}

TEST_F(PublishersAndStreams, WakeupRunsWhenTheBufferStopsBeingEmpty) {
    auto stream = updates(number);
    int wakeups = 0;
    stream.setWakeup([&] { ++wakeups; });
    EXPECT_EQ(wakeups, 1); // the initial value is already waiting
    number.set(1);
    number.set(2);
    EXPECT_EQ(wakeups, 1);
    EXPECT_EQ(stream.drain(), (std::vector<int>{3, 1, 2}));
    number.set(3);
    EXPECT_EQ(wakeups, 2);
}

} // namespace
