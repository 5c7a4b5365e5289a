#include "Common/JsonReading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST (JsonReading, OnlyDynamicObjectsCountAsObjects)
{
    EXPECT_NE (getJsonObject (parseJsonObject ("{\"a\": 1}")), nullptr);
    EXPECT_EQ (getJsonObject (juce::JSON::parse ("[1, 2]")), nullptr); // var::isObject() is true here
    EXPECT_TRUE (juce::JSON::parse ("[1, 2]").isObject());

    for (const auto* text : { "[{}]", "3", "\"text\"", "null", "", "{", "{\"a\": }" })
        EXPECT_TRUE (parseJsonObject (text).isVoid()) << text;
}

TEST (JsonReading, NestingIsLimitedBeforeParsing)
{
    const auto nested = [] (int depth, const juce::String& inner) {
        return "{\"a\": " + juce::String::repeatedString ("[", depth - 1) + inner
               + juce::String::repeatedString ("]", depth - 1) + "}";
    };

    EXPECT_FALSE (parseJsonObject (nested (maxJsonNestingDepth, "1")).isVoid());
    EXPECT_TRUE (parseJsonObject (nested (maxJsonNestingDepth + 1, "1")).isVoid());
    EXPECT_TRUE (parseJsonObject (nested (200000, "1")).isVoid());

    // Brackets inside strings, escaped quotes included, are text.
    const auto brackets = "{\"a\": \"" + juce::String::repeatedString ("[{\\\"", 1000) + "\"}";
    EXPECT_FALSE (parseJsonObject (brackets).isVoid());
}

TEST (JsonReading, NumbersConvertLikeVarButSaturate)
{
    constexpr auto intMax = std::numeric_limits<int>::max();
    constexpr auto intMin = std::numeric_limits<int>::min();

    const std::pair<juce::var, int> ints[] = {
        { 42, 42 }, { -7, -7 }, { 3.9, 3 }, { -3.9, -3 }, { "12abc", 12 }, { "x", 0 }, { true, 1 },
        { juce::var(), 0 }, { 1e300, intMax }, { -1e300, intMin },
        { std::numeric_limits<double>::quiet_NaN(), 0 },
        { std::numeric_limits<double>::infinity(), intMax },
        { juce::int64 { 1 } << 40, intMax }, { -(juce::int64 { 1 } << 40), intMin },
        { "99999999999999999999", intMax }, { "-2147483648", intMin },
    };

    for (const auto& [value, expected] : ints)
        EXPECT_EQ (readJsonInt (value), expected) << value.toString();

    EXPECT_EQ (readJsonFloat (1e300), std::numeric_limits<float>::max());
    EXPECT_EQ (readJsonFloat (-1e300), -std::numeric_limits<float>::max());
    EXPECT_EQ (readJsonFloat (0.5), 0.5f);
    EXPECT_TRUE (std::isinf (readJsonFloat (std::numeric_limits<double>::infinity())));

    const std::pair<juce::var, bool> bools[] = {
        { true, true }, { false, false }, { 1, true }, { 0, false }, { 0.5, true }, { "true", true },
        { "TRUE ", true }, { "yes", true }, { "1", true }, { "0", false }, { "false", false },
        { "-99999999999999999999", true }, { juce::var(), false },
    };

    for (const auto& [value, expected] : bools)
        EXPECT_EQ (readJsonBool (value), expected) << value.toString();
}
