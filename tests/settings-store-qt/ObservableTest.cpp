#include "tests/settings-store-qt/QtTestSupport.h"

#include "settings-store/qt/Default.h"
#include "settings-store/qt/QtLifetime.h"

#include <QThread>

#include <memory>
#include <thread>

using namespace Defaults;

namespace {

struct Counter {
    int count = 0;
    bool offMainThread = false;
    void connect(ObservableBase& o) {
        QObject::connect(&o, &ObservableBase::objectWillChange, [this] {
            ++count;
            if (QThread::currentThread() != QCoreApplication::instance()->thread()) offMainThread = true;
        });
    }
};

using ObservableValue = QtSettings;

TEST_F(ObservableValue, SignalsOnTheMainThreadOnceAfterStartingThenAfterEveryWriteNeverDuringIt) {
    Observable<int> a(number), b(number);
    Counter ca, cb;
    ca.connect(a);
    cb.connect(b);
    EXPECT_EQ(a.value(), 3);
    pumpEvents();
    EXPECT_EQ(ca.count, 1); // the start of observing
    EXPECT_EQ(cb.count, 1);

    a.setValue(5);
    EXPECT_EQ(ca.count, 1);  // not during the write
    EXPECT_EQ(b.value(), 5); // but the store holds the value at once
    pumpEvents();
    EXPECT_EQ(ca.count, 2);
    EXPECT_EQ(cb.count, 2);

    reset(number); // a removal shows the default
    pumpEvents();
    EXPECT_EQ(cb.count, 3);
    EXPECT_EQ(b.value(), 3);

    // Writes from another thread signal on the main thread.
    std::thread writer([&] { number.set(8); });
    writer.join();
    pumpEvents();
    EXPECT_EQ(ca.count, 4);
    EXPECT_FALSE(ca.offMainThread);
    EXPECT_EQ(a.value(), 8);
}

TEST_F(ObservableValue, ChangingTheKeyRestartsOnlyForAnotherNameOrSuite) {
    Observable<int> observable(number);
    pumpEvents();
    Counter c;
    c.connect(observable);
    observable.setKey(Key<int>("number", 99, suite)); // same name and suite
    pumpEvents();
    EXPECT_EQ(c.count, 0);

    Key<int> other("other", 1, suite);
    observable.setKey(other);
    pumpEvents();
    EXPECT_EQ(c.count, 1); // the new observation's start
    number.set(4);         // the old key is no longer observed
    pumpEvents();
    EXPECT_EQ(c.count, 1);
    other.set(2);
    pumpEvents();
    EXPECT_EQ(c.count, 2);
}

TEST_F(ObservableValue, NothingArrivesAfterRelease) {
    Counter c;
    auto observable = std::make_unique<Observable<int>>(number);
    QObject receiver;
    QObject::connect(observable.get(), &ObservableBase::objectWillChange, &receiver, [&] { ++c.count; });
    pumpEvents();
    number.set(1); // queued, then released before the event loop runs
    observable.reset();
    number.set(2);
    pumpEvents();
    EXPECT_EQ(c.count, 1);
}

TEST_F(ObservableValue, DefaultReadsWritesResetsAndPublishes) {
    Default<int> value(number);
    EXPECT_TRUE(value.isDefaultValue());
    value.setWrappedValue(6);
    EXPECT_FALSE(value.isDefaultValue());
    auto binding = value.projectedValue();
    binding.set(binding.get() + 1);
    value.modify([](int& v) { v *= 2; });
    EXPECT_EQ(number.get(), 14);

    std::vector<int> published;
    auto subscription = value.publisher().sink([&](const KeyChange<int>& c) { published.push_back(c.newValue); });
    value.reset();
    EXPECT_EQ(published, (std::vector<int>{14, 3})); // starting with the current value
    EXPECT_TRUE(value.isDefaultValue());
}

TEST_F(ObservableValue, ObservationBoundToAQtObjectEndsWithIt) {
    int calls = 0;
    auto owner = std::make_unique<QObject>();
    std::weak_ptr<Observation> weak;
    {
        auto observation = observe(number, {}, [&](const KeyChange<int>&) { ++calls; });
        observation->bindLifetime(lifetimeOwner(*owner));
        EXPECT_EQ(&lifetimeOwner(*owner), &lifetimeOwner(*owner));
        weak = observation;
    }
    number.set(1);
    EXPECT_EQ(calls, 1);
    owner.reset();
    EXPECT_TRUE(weak.expired());
    number.set(2);
    EXPECT_EQ(calls, 1);
}

} // namespace
