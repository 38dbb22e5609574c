#include "platform/defaults/UserDefaults.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using platform::KeyValueChange;
using platform::KeyValueObserver;
using platform::KeyValueObservingOptions;
using platform::PropertyList;
using platform::UserDefaults;

namespace {

using O = KeyValueObservingOptions;

// Each report as "[prior ]old -> new", "-" for a value not reported.
struct Recorder : KeyValueObserver {
    std::vector<std::string> changes;
    std::function<void(const UserDefaults&)> onChange;
    void observeValue(std::string_view, const UserDefaults& suite, const KeyValueChange& change, const void*) override {
        EXPECT_EQ(change.kind, platform::KeyValueChangeKind::Setting);
        auto text = [](const std::optional<PropertyList>& v) { return v ? v->debugDescription() : "-"; };
        changes.push_back((change.isPrior ? "prior " : "") + text(change.oldValue) + " -> " + text(change.newValue));
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
    suite->setObject("other", PropertyList(3)); // other keys are not reported
    // A removal reports the registered fallback.
    EXPECT_EQ(both->changes, (std::vector<std::string>{"1 -> 2", "2 -> 1"}));
    EXPECT_EQ(onlyNew->changes, (std::vector<std::string>{"- -> 2", "- -> 1"}));

    // Initial is sent while registering; prior before the change is made.
    suite->setObject("k", PropertyList("a"));
    auto initial = std::make_shared<Recorder>();
    suite->addObserver(initial, "k", O::New | O::Old | O::Initial);
    EXPECT_EQ(initial->changes, std::vector<std::string>{"- -> \"a\""});
    auto prior = std::make_shared<Recorder>();
    std::optional<PropertyList> seenDuringPrior;
    prior->onChange = [&](const UserDefaults& s) {
        if (prior->changes.size() == 1) seenDuringPrior = s.objectForKey("k");
    };
    suite->addObserver(prior, "k", O::New | O::Old | O::Prior);
    suite->setObject("k", PropertyList("b"));
    EXPECT_EQ(prior->changes, (std::vector<std::string>{"prior \"a\" -> -", "\"a\" -> \"b\""}));
    EXPECT_EQ(seenDuringPrior, PropertyList("a"));
}

TEST_F(StoreObservation, ObserversAreHeldWeaklyAndMayUseTheSuiteAndRemoveThemselvesFromTheirCallback) {
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

    // Observers are held weakly; removed ones are silent.
    auto gone = std::make_shared<Recorder>();
    suite->addObserver(gone, "k", O::New);
    std::weak_ptr<Recorder> weak = gone;
    gone.reset();
    EXPECT_TRUE(weak.expired());
    suite->setObject("k", PropertyList(3)); // no call into a destroyed observer

    auto removed = std::make_shared<Recorder>();
    suite->addObserver(removed, "k", O::New);
    suite->removeObserver(removed.get(), "k");
    suite->removeObserver(removed.get(), "k"); // harmless
    suite->setObject("k", PropertyList(4));
    EXPECT_TRUE(removed->changes.empty());
}

} // namespace
