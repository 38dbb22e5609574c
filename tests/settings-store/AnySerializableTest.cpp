#include "settings-store/Defaults.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Defaults;
using platform::PropertyList;

TEST(AnySerializable, NilAndKindsDecideEquality) {
    EXPECT_TRUE(AnySerializable(nullptr).isNil());
    EXPECT_FALSE(AnySerializable(0).isNil());
    EXPECT_FALSE(AnySerializable(false).isNil());
    EXPECT_FALSE(AnySerializable("").isNil());
    EXPECT_FALSE(AnySerializable(nullptr) == AnySerializable(nullptr));
    EXPECT_EQ(AnySerializable(nullptr).hash(), AnySerializable().hash());
    EXPECT_FALSE(AnyBridge().serialize(AnySerializable()));
    EXPECT_TRUE(AnyBridge().deserialize(std::nullopt)->isNil());

    EXPECT_FALSE(AnySerializable(1) == AnySerializable(1.0));
    EXPECT_FALSE(AnySerializable(true) == AnySerializable(1));
    EXPECT_FALSE(AnySerializable::from(std::int8_t(1)) == AnySerializable::from(std::int64_t(1)));
    EXPECT_TRUE(AnySerializable::from(std::uint16_t(9)) == AnySerializable::from(std::uint16_t(9)));
    EXPECT_TRUE(AnySerializable::array({1, "a"}) == AnySerializable::array({1, "a"}));
    EXPECT_FALSE(AnySerializable::array({1, "a"}) == AnySerializable::array({"a", 1}));
    EXPECT_TRUE(AnySerializable::array({}) == AnySerializable::array({}));

    auto nan = AnySerializable::from(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FALSE(nan == nan);
    EXPECT_TRUE(AnySerializable(0.0) == AnySerializable(-0.0));
    EXPECT_EQ(AnySerializable(0.0).hash(), AnySerializable(-0.0).hash());
}

TEST(AnySerializable, DictionariesIgnoreEntryOrder) {
    auto a = AnySerializable::dictionary({{"x", 1}, {"y", AnySerializable::array({true})}});
    auto b = AnySerializable::dictionary({{"y", AnySerializable::array({true})}, {"x", 1}});
    EXPECT_TRUE(a == b);
    EXPECT_EQ(a.hash(), b.hash());
    EXPECT_FALSE(a == AnySerializable::dictionary({{"x", 1}}));
    try {
        AnySerializable::dictionary({{"k", 1}, {"k", 2}});
        FAIL() << "a repeated key must be refused";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Duplicate values for key: 'k'");
    }
}

TEST(AnySerializable, ConvertsBackToTypedValues) {
    auto value = AnySerializable::from(std::vector<std::string>{"a", "b"});
    EXPECT_EQ(value.get<std::vector<std::string>>(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(value.get<int>(), std::nullopt);

    auto id = *UUID::fromString("00000000-0000-0000-0000-00000000000C");
    AnySerializable boxed;
    boxed.set(id);
    EXPECT_TRUE(boxed == AnySerializable(id.uuidString()));
    EXPECT_EQ(boxed.get<UUID>(), id);
    EXPECT_EQ(AnySerializable(300).get<std::uint8_t>(), std::nullopt);
    EXPECT_EQ(AnySerializable(300).get<std::int16_t>(), 300);
    EXPECT_TRUE(AnySerializable::from(Color{"nowhere", {}}).isNil()) << "a value whose bridge gives nothing";
}

TEST(AnySerializable, KeysOfAnyValue) {
    testsupport::TempDir dir;
    auto suite = platform::UserDefaults::open("any", dir.path());
    Key<AnySerializable> key("any", AnySerializable("start"), suite);
    EXPECT_TRUE(key.get() == AnySerializable("start"));
    key.set(AnySerializable::dictionary({{"n", 2.5}}));
    ASSERT_TRUE(suite->synchronize().ok()); // the file is read by another instance
    auto again = platform::UserDefaults::open("any", dir.path());
    EXPECT_TRUE(Key<AnySerializable>("any", nullptr, again).get() == AnySerializable::dictionary({{"n", 2.5}}));
    key.set(nullptr);
    EXPECT_FALSE(suite->persistentDomain().contains("any"));
    EXPECT_TRUE(key.get() == AnySerializable("start"));

    Key<std::vector<AnySerializable>> mixed("mixed", {}, suite);
    mixed.set({AnySerializable(1), AnySerializable("x")});
    EXPECT_EQ(suite->objectForKey("mixed"),
              PropertyList(platform::PropertyListArray{PropertyList(1), PropertyList("x")}));
}
