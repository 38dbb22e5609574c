#include "settings-store/Defaults.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

using namespace Defaults;
using platform::PropertyList;
using platform::UserDefaults;
using testsupport::TempDir;

namespace {
struct Fixture : testing::Test {
    TempDir dir;
    Suite suite = UserDefaults::open("settings", dir.path());
    Suite reopen() const { return UserDefaults::open("settings", dir.path()); }
};
} // namespace

using KeyTest = Fixture;

TEST_F(KeyTest, DefaultWriteResetAndReopen) {
    Key<int> size("eye shape idx", 3, suite);
    EXPECT_EQ(size.get(), 3);
    EXPECT_EQ(suite->objectForKey("eye shape idx"), PropertyList(3)); // registered
    Defaults::set(size, 5);
    EXPECT_EQ(Defaults::get(size), 5);
    size.reset();
    EXPECT_EQ(size.get(), 3);

    Key<std::string> title("title", "untitled", suite);
    Key<double> scale("scale", 1.5, suite);
    title.set("Poster");
    scale.set(2.0);

    ASSERT_TRUE(suite->synchronize().ok()); // the file is read by another instance
    auto again = reopen();
    EXPECT_EQ(again->objectForKey("title"), PropertyList("Poster"));
    EXPECT_EQ(again->objectForKey("scale"), PropertyList(2.0));
    EXPECT_FALSE(again->objectForKey("eye shape idx")) << "registered defaults are never saved";
    EXPECT_EQ(Key<double>("scale", 1.5, again).get(), 2.0);

    // A key reads and writes another suite when given one.
    auto other = UserDefaults::open("other", dir.path());
    size.set(*other, 8);
    EXPECT_EQ(size.get(*other), 8);
    EXPECT_EQ(size.get(), 3);
    // Removing all takes every name the suite holds, keys' or not.
    suite->setObject("written elsewhere", PropertyList("x"));
    removeAll(*suite);
    EXPECT_TRUE(suite->persistentDomain().empty());
    EXPECT_EQ(title.get(), "untitled");
}

TEST_F(KeyTest, TextUnderAnIntegerKeyReadsThroughTheBridge) {
    Key<int> count("count", 7, suite);
    suite->setObject("count", PropertyList("5"));
    EXPECT_EQ(count.get(), 5);
    suite->setObject("count", PropertyList("abc"));
    EXPECT_EQ(count.get(), 7);
    EXPECT_EQ(suite->objectForKey("count"), PropertyList("abc")) << "reading leaves the stored object alone";
    suite->setObject("count", PropertyList("4.5"));
    EXPECT_EQ(count.get(), 7);
    // A stored real casts to an integer exactly when it is one.
    for (const auto& [stored, read] : std::vector<std::pair<double, int>>{
             {4.0, 4}, {-3.0, -3}, {4.5, 7}, {1e300, 7}, {2147483648.0, 7}, {std::nan(""), 7}, {-INFINITY, 7}}) {
        suite->setObject("count", PropertyList(stored));
        EXPECT_EQ(count.get(), read) << stored;
    }
    Key<std::vector<int>> counts("counts", {}, suite);
    suite->setObject("counts", PropertyList(platform::PropertyListArray{PropertyList(1.0), PropertyList(2)}));
    EXPECT_EQ(counts.get(), (std::vector<int>{1, 2}));
    suite->setObject("count", PropertyList(std::int64_t(1) << 40));
    EXPECT_EQ(count.get(), 7) << "out of range for int";

    Key<bool> flag("flag", false, suite);
    suite->setObject("flag", PropertyList("true"));
    EXPECT_TRUE(flag.get());
    suite->setObject("flag", PropertyList(platform::Date{0}));
    EXPECT_FALSE(flag.get());
}

TEST_F(KeyTest, OptionalGetterAndUnconvertibleDefaultsRegisterNothingAndEmptyRemoves) {
    Key<std::optional<int>> maybe("maybe", suite);
    EXPECT_FALSE(suite->objectForKey("maybe"));
    EXPECT_EQ(maybe.get(), std::nullopt);
    maybe.set(4);
    EXPECT_EQ(maybe.get(), 4);
    EXPECT_EQ(suite->objectForKey("maybe"), PropertyList(4));
    maybe.set(std::nullopt);
    EXPECT_FALSE(suite->objectForKey("maybe"));
    EXPECT_TRUE(reopen()->persistentDomain().empty());

    Key<std::optional<URL>> link("link", suite);
    link.set(URL::fromString("https://example.com/a"));
    EXPECT_EQ(suite->objectForKey("link"), PropertyList("\"https://example.com/a\""));
    EXPECT_EQ(link.get()->absoluteString, "https://example.com/a");

    // A getter is asked on every read, until a value is stored.
    int calls = 0;
    Key<int> lazy("lazy", suite, [&] { return ++calls * 10; });
    EXPECT_FALSE(suite->objectForKey("lazy"));
    EXPECT_EQ(lazy.get(), 10);
    EXPECT_EQ(lazy.get(), 20);
    lazy.set(1);
    EXPECT_EQ(lazy.get(), 1);
    EXPECT_EQ(calls, 2);

    // A value that converts to nothing is not registered, and writing it removes.
    Color bad{"no such space", {1, 2}};
    Key<Color> color("color", bad, suite);
    EXPECT_FALSE(suite->objectForKey("color"));
    color.set(Color::sRGB(1, 0, 0));
    EXPECT_TRUE(suite->objectForKey("color"));
    color.set(bad);
    EXPECT_FALSE(suite->objectForKey("color"));
}

TEST_F(KeyTest, ModifyWritesBackEvenWhenAbandoned) {
    Key<std::vector<int>> list("list", {1}, suite);
    list.modify([](std::vector<int>& v) { v.push_back(2); });
    EXPECT_EQ(list.get(), (std::vector<int>{1, 2}));
    EXPECT_THROW(list.modify([](std::vector<int>& v) {
        v.push_back(3);
        throw std::runtime_error("abandoned");
    }),
                 std::runtime_error);
    EXPECT_EQ(list.get(), (std::vector<int>{1, 2, 3}));
    Key<int> untouched("untouched", 9, suite);
    Defaults::modify(untouched, [](int&) {});
    EXPECT_EQ(suite->persistentDomain().at("untouched"), PropertyList(9)) << "the write-back happens unchanged too";
}

TEST_F(KeyTest, KeysAreEqualByNameAndSuite) {
    Key<int> a("same", 1, suite);
    Key<bool> b("same", true, suite);
    auto other = UserDefaults::open("other", dir.path());
    Key<int> c("same", 1, other);
    const AnyKey& ua = a;
    const AnyKey& ub = b;
    EXPECT_TRUE(ua == ub);
    EXPECT_EQ(ua.hash(), ub.hash());
    EXPECT_FALSE(ua == static_cast<const AnyKey&>(c));
    EXPECT_EQ(std::hash<AnyKey>{}(a), std::hash<AnyKey>{}(b));
}

TEST(KeyNames, ValidityRule) {
    for (const char* name : {"eye shape idx", "", "a\r\nb", "mid@dle"}) EXPECT_TRUE(isValidKeyPath(name)) << name;
    for (const char* name : {"@count", "a.b", ".", "caf\xC3\xA9"}) EXPECT_FALSE(isValidKeyPath(name)) << name;
}
