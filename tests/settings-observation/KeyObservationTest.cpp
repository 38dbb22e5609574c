#include "settings-store/Defaults.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace Defaults;
using platform::PropertyList;
using platform::UserDefaults;

namespace {

struct KeyObservation : ::testing::Test {
    testsupport::TempDir dir;
    Suite suite = UserDefaults::open("keys", dir.path());
    Key<int> number{"number", 3, suite};
    std::vector<std::string> log;
    int calls = 0;
    // Handlers that log each report as "[prior ]old -> new", or count them.
    auto record() {
        return [this](const KeyChange<int>& c) {
            log.push_back((c.isPrior ? "prior " : "") + std::to_string(c.oldValue) + " -> " +
                          std::to_string(c.newValue));
        };
    }
    auto count() {
        return [this](const KeyChange<int>&) { ++calls; };
    }
};

TEST_F(KeyObservation, ReportsFollowTheOptions) {
    {
        // Without options: no report at the start, then old and new of each
        // change; a removal, or an object that does not convert, reads as the default.
        auto observation = observe(number, {}, record());
        EXPECT_TRUE(log.empty());
        number.set(5);
        number.set(8);
        number.reset();
        suite->setObject("number", PropertyList(platform::Date{5}));
        EXPECT_EQ(log, (std::vector<std::string>{"3 -> 5", "5 -> 8", "8 -> 3", "3 -> 3"}));
    }
    {
        // The initial report comes inside the call, with the default as old
        // value; with initial, prior is not asked for.
        log.clear();
        number.set(4);
        auto observation = observe(number, {ObservationOption::initial, ObservationOption::prior}, record());
        EXPECT_EQ(log, std::vector<std::string>{"3 -> 4"});
        number.set(6);
        EXPECT_EQ(log, (std::vector<std::string>{"3 -> 4", "4 -> 6"}));
    }
    // Prior reports come first and carry the default as new value.
    log.clear();
    number.set(10);
    auto observation = observe(number, {ObservationOption::prior}, record());
    number.set(11);
    EXPECT_EQ(log, (std::vector<std::string>{"prior 10 -> 3", "10 -> 11"}));
}

TEST_F(KeyObservation, ReleasedInvalidatedSilencedOrSuitelessObservationsNeverCall) {
    auto released = observe(number, {}, count());
    auto invalidated = observe(number, {}, count());
    released.reset();
    invalidated->invalidate();
    invalidated->invalidate();
    number.set(1);
    EXPECT_EQ(calls, 0);

    // Silencing is per block; nesting, even left by an exception, restores the outer state.
    auto observation = observe(number, {}, count());
    withoutPropagation([&] {
        number.set(1);
        withoutPropagation([&] { number.set(2); });
        number.set(3); // the outer block is still silenced
        EXPECT_THROW(withoutPropagation([&] { throw std::runtime_error("inner"); }), std::runtime_error);
        number.set(4);
    });
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(isPropagationSilenced());
    number.set(5);
    EXPECT_EQ(calls, 1);

    testsupport::TempDir otherDir;
    Suite gone = UserDefaults::open("gone", otherDir.path());
    auto orphan = UserDefaultsKeyObservation::make(gone, "k", [&](BaseChange) { ++calls; });
    gone.reset();
    orphan->start({ObservationOption::initial});
    orphan->invalidate();
    EXPECT_EQ(calls, 1);
}

TEST_F(KeyObservation, CompositeObservationCallsOncePerChangeOfAnyKey) {
    testsupport::TempDir otherDir;
    Suite other = UserDefaults::open("other", otherDir.path());
    Key<std::string> name("name", "x", other);
    auto observation = observe({number, name}, {}, [&] { ++calls; });
    number.set(1);
    name.set("y");
    Key<int> unrelated("unrelated", 0, suite);
    unrelated.set(9);
    EXPECT_EQ(calls, 2);
    // A single-key observation of the same key stays separate.
    auto single = observe(number, {}, [](const KeyChange<int>&) {});
    number.set(2);
    EXPECT_EQ(calls, 3);
    observation.reset();
    name.set("z");
    EXPECT_EQ(calls, 3);
}

TEST_F(KeyObservation, ResetRemovesEachKeyFromItsOwnSuiteInOrder) {
    testsupport::TempDir otherDir;
    Suite other = UserDefaults::open("other", otherDir.path());
    Key<int> second("second", 7, other);
    number.set(1);
    second.set(2);
    auto a =
        observe(number, {}, [&](const KeyChange<int>& c) { log.push_back("number " + std::to_string(c.newValue)); });
    auto b =
        observe(second, {}, [&](const KeyChange<int>& c) { log.push_back("second " + std::to_string(c.newValue)); });
    reset(second, number);
    EXPECT_EQ(log, (std::vector<std::string>{"second 7", "number 3"}));
    EXPECT_EQ(number.get(), 3);
    EXPECT_EQ(second.get(), 7);
    EXPECT_FALSE(other->persistentDomain().contains("second"));

    number.set(1);
    reset({"number"}, *suite);
    EXPECT_EQ(number.get(), 3);
    reset(std::vector<std::reference_wrapper<const AnyKey>>{}); // nothing to do
}

TEST(Lifetime, OwnerKeepsTargetsAliveAndRunsHandlersInOrderBeforeReleasingThem) {
    std::vector<std::string> events;
    struct Target {
        Target(std::vector<std::string>& e, std::string n) : events(e), name(std::move(n)) {}
        ~Target() { events.push_back(name + " released"); }
        std::vector<std::string>& events;
        std::string name;
    };
    std::unique_ptr<LifetimeAssociation> a, b, c;
    {
        LifetimeOwner owner;
        auto associate = [&](const char* name) {
            return std::make_unique<LifetimeAssociation>(
                std::make_shared<Target>(events, name), owner,
                [&events, name] { events.push_back(name + std::string(" handler")); });
        };
        a = associate("one");
        b = associate("two");
        c = associate("three");
        EXPECT_TRUE(events.empty()); // the owner keeps the targets alive
        b->cancel();                 // no handler
        b->cancel();
        EXPECT_EQ(owner.trackerCount(), 2u);
        EXPECT_EQ(events, std::vector<std::string>{"two released"});
        events.clear();
    }
    EXPECT_EQ(events, (std::vector<std::string>{"one handler", "one released", "three handler", "three released"}));
    events.clear();
    a->cancel(); // the owner is gone: nothing happens
    a.reset();
    c.reset();
    EXPECT_TRUE(events.empty());

    // Releasing an association runs its handler at once and leaves an empty list.
    LifetimeOwner owner;
    auto association = std::make_unique<LifetimeAssociation>(std::make_shared<Target>(events, "four"), owner,
                                                             [&] { events.push_back("four handler"); });
    association.reset();
    EXPECT_EQ(events, (std::vector<std::string>{"four handler", "four released"}));
    EXPECT_EQ(owner.trackerCount(), 0u);
}

TEST_F(KeyObservation, BoundObservationLivesWithItsOwnerAndEndsWithIt) {
    std::weak_ptr<Observation> weak;
    {
        LifetimeOwner owner;
        {
            auto observation = observe(number, {}, count());
            observation->bindLifetime(owner);
            weak = observation;
        }
        number.set(1); // the owner keeps it observing
        EXPECT_EQ(calls, 1);
    }
    EXPECT_TRUE(weak.expired());
    number.set(2);
    EXPECT_EQ(calls, 1);

    // Binding again moves the tie: the first owner no longer holds it.
    {
        LifetimeOwner first;
        {
            LifetimeOwner second;
            {
                auto observation = observe(number, {}, count());
                observation->bindLifetime(first);
                observation->bindLifetime(second);
                weak = observation;
            }
            EXPECT_EQ(first.trackerCount(), 0u);
            number.set(5);
            EXPECT_EQ(calls, 2);
        }
        EXPECT_TRUE(weak.expired());
        number.set(6);
        EXPECT_EQ(calls, 2);
    }

    // Unbinding hands the observation back to its caller.
    LifetimeOwner owner;
    auto observation = observe(number, {}, count());
    observation->bindLifetime(owner).unbindLifetime();
    EXPECT_EQ(owner.trackerCount(), 0u);
    number.set(3);
    EXPECT_EQ(calls, 3);
}

} // namespace
