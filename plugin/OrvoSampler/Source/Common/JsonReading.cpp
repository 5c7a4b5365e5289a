#include "Common/JsonReading.h"

#include <cmath>
#include <limits>

namespace
{
bool nestingExceeds (const juce::String& text, int maxDepth) noexcept
{
    int depth = 0;
    bool inString = false;
    bool escaped = false;

    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;

        if (inString)
        {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        }
        else if (c == '"')
        {
            inString = true;
        }
        else if (c == '{' || c == '[')
        {
            if (++depth > maxDepth)
                return true;
        }
        else if (c == '}' || c == ']')
        {
            --depth;
        }
    }

    return false;
}

int saturateToInt (double value) noexcept
{
    if (std::isnan (value))
        return 0;

    constexpr auto lowest = static_cast<double> (std::numeric_limits<int>::min());
    constexpr auto highest = static_cast<double> (std::numeric_limits<int>::max());
    return static_cast<int> (juce::jlimit (lowest, highest, value));
}
} // namespace

juce::DynamicObject* getJsonObject (const juce::var& value) noexcept
{
    if (value.isArray())
        return nullptr;

    return value.getDynamicObject();
}

juce::var parseJsonObject (const juce::String& text)
{
    if (nestingExceeds (text, maxJsonNestingDepth))
        return {};

    auto parsed = juce::JSON::parse (text);
    return getJsonObject (parsed) != nullptr ? parsed : juce::var();
}

juce::String readJsonString (const juce::var& value)
{
    if (value.isString() || value.isInt() || value.isInt64() || value.isDouble() || value.isBool())
        return value.toString();

    return {};
}

int readJsonInt (const juce::var& value) noexcept
{
    if (value.isInt() || value.isBool() || value.isVoid() || value.isUndefined())
        return static_cast<int> (value);

    if (value.isInt64())
    {
        const auto wide = static_cast<juce::int64> (value);
        return static_cast<int> (juce::jlimit<juce::int64> (std::numeric_limits<int>::min(),
                                                           std::numeric_limits<int>::max(),
                                                           wide));
    }

    if (value.isDouble() || value.isString())
        return saturateToInt (static_cast<double> (value));

    return 0;
}

double readJsonDouble (const juce::var& value) noexcept
{
    return static_cast<double> (value);
}

float narrowToFloat (double value) noexcept
{
    if (std::isnan (value) || std::isinf (value))
        return static_cast<float> (value);

    constexpr auto limit = static_cast<double> (std::numeric_limits<float>::max());
    return static_cast<float> (juce::jlimit (-limit, limit, value));
}

float readJsonFloat (const juce::var& value) noexcept
{
    return narrowToFloat (readJsonDouble (value));
}

bool readJsonBool (const juce::var& value)
{
    if (value.isString())
    {
        const auto text = value.toString().trim();
        return text.equalsIgnoreCase ("true") || text.equalsIgnoreCase ("yes") || readJsonInt (value) != 0;
    }

    if (value.isDouble())
        return static_cast<double> (value) != 0.0;

    return static_cast<bool> (value);
}
