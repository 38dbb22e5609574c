#include "platform/defaults/UserDefaults.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using platform::KeyValueChange;
using platform::KeyValueObserver;
using platform::KeyValueObservingOptions;
using platform::PropertyList;
using platform::UserDefaults;

namespace {

using O = KeyValueObservingOptions;

struct Recorder : KeyValueObserver {
    std::vector<KeyValueChange> changes;
    std::function<void(const UserDefaults&)> onChange;
    void observeValue(std::string_view, const UserDefaults& suite, const KeyValueChange& change, const void*) override {
        changes.push_back(change);
        if (onChange) onChange(suite);
    }
};

struct StoreObservation : ::testing::Test {
    testsupport::TempDir dir;
    std::shared_ptr<UserDefaults> suite = UserDefaults::open("observed", dir.path());
};

TEST_F(StoreObservation, ReportsCarryWhatTheOptionsAskFor) {
    suite->registerDefaults({{"k", PropertyList(1)}});
    auto both = std::make_shared<Recorder>();
    auto onlyNew = std::make_shared<Recorder>();
    suite->addObserver(both, "k", O::New | O::Old);
    suite->addObserver(onlyNew, "k", O::New);

    suite->setObject("k", PropertyList(2));
    suite->removeObjectForKey("k");
    ASSERT_EQ(both->changes.size(), 2u);
    EXPECT_EQ(both->changes[0].oldValue, PropertyList(1)); // the registered fallback
    EXPECT_EQ(both->changes[0].newValue, PropertyList(2));
    EXPECT_FALSE(both->changes[0].isPrior);
    EXPECT_EQ(both->changes[0].kind, platform::KeyValueChangeKind::Setting);
    EXPECT_EQ(both->changes[1].newValue, PropertyList(1));
    ASSERT_EQ(onlyNew->changes.size(), 2u);
    EXPECT_FALSE(onlyNew->changes[0].oldValue.has_value());

    // Other keys are not reported.
    suite->setObject("other", PropertyList(3));
    EXPECT_EQ(both->changes.size(), 2u);
}

TEST_F(StoreObservation, InitialIsSentWhileRegisteringAndPriorBeforeTheChange) {
    suite->setObject("k", PropertyList("a"));
    auto initial = std::make_shared<Recorder>();
    suite->addObserver(initial, "k", O::New | O::Old | O::Initial);
    ASSERT_EQ(initial->changes.size(), 1u);
    EXPECT_EQ(initial->changes[0].newValue, PropertyList("a"));
    EXPECT_FALSE(initial->changes[0].oldValue.has_value());

    auto prior = std::make_shared<Recorder>();
    std::optional<PropertyList> seenDuringPrior;
    prior->onChange = [&](const UserDefaults& s) {
        if (prior->changes.size() == 1) seenDuringPrior = s.objectForKey("k");
    };
    suite->addObserver(prior, "k", O::New | O::Old | O::Prior);
    suite->setObject("k", PropertyList("b"));
    ASSERT_EQ(prior->changes.size(), 2u);
    EXPECT_TRUE(prior->changes[0].isPrior);
    EXPECT_EQ(prior->changes[0].oldValue, PropertyList("a"));
    EXPECT_FALSE(prior->changes[0].newValue.has_value());
    EXPECT_EQ(seenDuringPrior, PropertyList("a"));
    EXPECT_FALSE(prior->changes[1].isPrior);
    EXPECT_EQ(prior->changes[1].newValue, PropertyList("b"));
}

TEST_F(StoreObservation, ObserversMayUseTheSuiteAndRemoveThemselvesFromTheirCallback) {
    auto self = std::make_shared<Recorder>();
    auto later = std::make_shared<Recorder>();
    self->onChange = [&](const UserDefaults&) {
        // The store's lock is released: reading, writing and removing work.
        EXPECT_EQ(suite->objectForKey("k"), PropertyList(1));
        suite->setObject("echo", PropertyList(true));
        suite->removeObserver(self.get(), "k");
    };
    suite->addObserver(self, "k", O::New);
    suite->addObserver(later, "k", O::New);
    suite->setObject("k", PropertyList(1));
    suite->setObject("k", PropertyList(2));
    EXPECT_EQ(self->changes.size(), 1u);
    EXPECT_EQ(later->changes.size(), 2u);
    EXPECT_EQ(suite->objectForKey("echo"), PropertyList(true));
}

TEST_F(StoreObservation, ObserversAreHeldWeaklyAndRemovedOnesAreSilent) {
    auto gone = std::make_shared<Recorder>();
    suite->addObserver(gone, "k", O::New);
    std::weak_ptr<Recorder> weak = gone;
    gone.reset();
    EXPECT_TRUE(weak.expired());
    suite->setObject("k", PropertyList(1)); // no call into a destroyed observer

    auto removed = std::make_shared<Recorder>();
    suite->addObserver(removed, "k", O::New);
    suite->removeObserver(removed.get(), "k");
    suite->removeObserver(removed.get(), "k"); // harmless
    suite->setObject("k", PropertyList(2));
    EXPECT_TRUE(removed->changes.empty());
}

} // namespace
