#include "platform/foundation/SafeConvert.h"
#include "platform/foundation/SettingsValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace foundation;

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
} // namespace

TEST(SettingsValue, BooleansAndNumbersCountStringsNever) {
    const SettingsDict dict = {
        {"t", true}, {"f", false}, {"i", -7}, {"u", 12u}, {"d", 2.75}, {"s", "3"}, {"n", nullptr}, {"a", {1, 2}},
    };
    EXPECT_EQ(settingDouble(dict, "t"), 1.0);
    EXPECT_EQ(settingInteger(dict, "f"), 0);
    EXPECT_EQ(settingBool(dict, "i"), true);
    EXPECT_EQ(settingBool(dict, "f"), false);
    EXPECT_EQ(settingBool(dict, "d"), true);
    EXPECT_EQ(settingDouble(dict, "u"), 12.0);
    EXPECT_EQ(settingInteger(dict, "d"), 2);
    for (const char* key : {"s", "n", "a", "missing"}) {
        EXPECT_FALSE(settingDouble(dict, key)) << key;
        EXPECT_FALSE(settingInteger(dict, key)) << key;
        EXPECT_FALSE(settingUnsignedInteger(dict, key)) << key;
        EXPECT_FALSE(settingBool(dict, key)) << key;
    }
    EXPECT_EQ(settingString(dict, "s"), "3");
    EXPECT_FALSE(settingString(dict, "i"));
    // A value that is not a dictionary has no entries.
    EXPECT_FALSE(settingDouble(SettingsValue(3.0), "x"));
}

TEST(SettingsValue, IntegerReadersTruncateAndRefuseWhatDoesNotFit) {
    EXPECT_EQ(settingInteger(SettingsValue(-2.9)), -2);
    EXPECT_EQ(settingInteger(SettingsValue(2.9)), 2);
    EXPECT_EQ(settingUnsignedInteger(SettingsValue(-0.5)), 0u);
    EXPECT_FALSE(settingUnsignedInteger(SettingsValue(-1)));
    EXPECT_FALSE(settingUnsignedInteger(SettingsValue(-1.0)));
    EXPECT_EQ(settingUnsignedInteger(SettingsValue(UINT64_MAX)), UINT64_MAX);
    EXPECT_FALSE(settingInteger(SettingsValue(UINT64_MAX)));
    for (double bad : {kNaN, kInf, -kInf, 1e19, -1e19, 9223372036854775808.0}) {
        EXPECT_FALSE(settingInteger(SettingsValue(bad))) << bad;
    }
    EXPECT_EQ(settingInteger(SettingsValue(-9223372036854775808.0)), INT64_MIN);
    EXPECT_FALSE(settingUnsignedInteger(SettingsValue(18446744073709551616.0)));
    EXPECT_EQ(settingDouble(SettingsValue(kInf)), kInf);
}

TEST(SafeConvert, GuardsEveryIntegerType) {
    EXPECT_EQ(truncatedInteger<int>(2147483647.9), 2147483647);
    EXPECT_FALSE(truncatedInteger<int>(2147483648.0));
    EXPECT_EQ(truncatedInteger<int>(-2147483648.5), -2147483647 - 1);
    EXPECT_FALSE(truncatedInteger<int>(-2147483649.0));
    EXPECT_EQ(truncatedInteger<std::uint8_t>(255.5), 255);
    EXPECT_FALSE(truncatedInteger<std::uint8_t>(256.0));
    EXPECT_FALSE(truncatedInteger<std::int64_t>(kNaN));

    EXPECT_EQ(saturatingInteger<int>(1e300), INT32_MAX);
    EXPECT_EQ(saturatingInteger<int>(-kInf), INT32_MIN);
    EXPECT_EQ(saturatingInteger<int>(kNaN, -1), -1);
    EXPECT_EQ(saturatingInteger<std::uint32_t>(-3.0), 0u);
    EXPECT_EQ(saturatingInteger<std::int64_t>(-7.9), -7);
}
