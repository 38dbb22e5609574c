#include "platform/foundation/Json.h"

#include <gtest/gtest.h>

#include <limits>

using foundation::JsonError;
using foundation::JsonStyle;
using foundation::writeJson;

TEST(Json, WritesSortedKeysCompactAndFormatted) {
    const nlohmann::json value = {{"zeta", 1}, {"alpha", {{"b", true}, {"a", nullptr}}}, {"mid", {1.5, "x"}}};
    EXPECT_EQ(writeJson(value), R"({"alpha":{"a":null,"b":true},"mid":[1.5,"x"],"zeta":1})");
    const std::string formatted = writeJson(value, JsonStyle::formatted);
    EXPECT_EQ(formatted, "{\n  \"alpha\": {\n    \"a\": null,\n    \"b\": true\n  },\n"
                         "  \"mid\": [\n    1.5,\n    \"x\"\n  ],\n  \"zeta\": 1\n}");
    EXPECT_EQ(nlohmann::json::parse(formatted), value);
}

TEST(Json, RefusesNonFiniteNumbersAnywhereInsteadOfWritingNullAndInvalidUtf8) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_THROW(writeJson(nlohmann::json(nan)), JsonError);
    EXPECT_THROW(writeJson(nlohmann::json{{"a", {{"b", {1.0, -inf}}}}}, JsonStyle::formatted), JsonError);
    EXPECT_FALSE(foundation::isJsonWritable(nlohmann::json::array({1, nlohmann::json{{"x", inf}}})));
    EXPECT_TRUE(foundation::isJsonWritable(nlohmann::json{{"x", 1e308}}));
    // Invalid UTF-8 gives the same error.
    EXPECT_THROW(writeJson(nlohmann::json{{"k", std::string("\xff\xfe")}}), JsonError);
}

namespace {

// [[...[1]...]] nested `depth` arrays deep, built without copying.
nlohmann::json nested(std::size_t depth) {
    nlohmann::json value = 1;
    for (std::size_t i = 0; i < depth; ++i) {
        nlohmann::json array = nlohmann::json::array();
        array.push_back(std::move(value));
        value = std::move(array);
    }
    return value;
}

} // namespace

TEST(Json, NestingBeyondTheLimitIsRefusedWithoutRecursion) {
    using foundation::maxJsonDepth;
    EXPECT_EQ(foundation::jsonDepth(nlohmann::json(3)), 0u);
    EXPECT_EQ(foundation::jsonDepth(nlohmann::json{{"a", {1, {2}}}}), 3u);
    EXPECT_EQ(foundation::jsonDepth(nested(maxJsonDepth)), maxJsonDepth);
    // 100,000 levels: far beyond what the call stack survives recursively.
    const nlohmann::json deep = nested(100000);
    EXPECT_GT(foundation::jsonDepth(deep), maxJsonDepth);
    EXPECT_THROW(writeJson(deep), JsonError);
    EXPECT_NO_THROW(writeJson(nested(maxJsonDepth)));

    // Parsing counts brackets outside strings; the limit itself is fine.
    const auto text = [](std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); };
    EXPECT_EQ(foundation::jsonDepth(foundation::parseJson(text(maxJsonDepth))), maxJsonDepth);
    EXPECT_THROW(foundation::parseJson(text(maxJsonDepth + 1)), nlohmann::json::parse_error);
    EXPECT_THROW(foundation::parseJson(text(1000000)), nlohmann::json::parse_error);
    const std::string quoted = "[\"" + std::string(2000, '[') + "\\\"\"]";
    EXPECT_EQ(foundation::parseJson(quoted)[0].get<std::string>(), std::string(2000, '[') + "\"");
    EXPECT_THROW(foundation::parseJson("[1,"), nlohmann::json::parse_error);
}
