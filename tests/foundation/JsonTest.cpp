#include "platform/foundation/Json.h"

#include <gtest/gtest.h>

#include <limits>

using foundation::JsonError;
using foundation::JsonStyle;
using foundation::writeJson;

TEST(Json, WritesSortedKeysCompactAndFormatted)
{
    const nlohmann::json value = {{"zeta", 1}, {"alpha", {{"b", true}, {"a", nullptr}}}, {"mid", {1.5, "x"}}};
    EXPECT_EQ(writeJson(value), R"({"alpha":{"a":null,"b":true},"mid":[1.5,"x"],"zeta":1})");
    const std::string formatted = writeJson(value, JsonStyle::formatted);
    EXPECT_EQ(formatted, "{\n  \"alpha\": {\n    \"a\": null,\n    \"b\": true\n  },\n"
                         "  \"mid\": [\n    1.5,\n    \"x\"\n  ],\n  \"zeta\": 1\n}");
    EXPECT_EQ(nlohmann::json::parse(formatted), value);
}

TEST(Json, RefusesNonFiniteNumbersAnywhereInsteadOfWritingNull)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_THROW(writeJson(nlohmann::json(nan)), JsonError);
    EXPECT_THROW(writeJson(nlohmann::json{{"a", {{"b", {1.0, -inf}}}}}, JsonStyle::formatted), JsonError);
    EXPECT_FALSE(foundation::isJsonWritable(nlohmann::json::array({1, nlohmann::json{{"x", inf}}})));
    EXPECT_TRUE(foundation::isJsonWritable(nlohmann::json{{"x", 1e308}}));
}

TEST(Json, RefusesInvalidUtf8WithTheSameError)
{
    EXPECT_THROW(writeJson(nlohmann::json{{"k", std::string("\xff\xfe")}}), JsonError);
}
