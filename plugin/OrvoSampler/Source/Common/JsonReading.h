#pragma once

#include <juce_core/juce_core.h>

// Conversions for values read from JSON documents that users and hosts hand us.
// They follow juce::var's own conversions for every sane value, but a huge
// number, a NaN or a long digit string never reaches undefined behaviour.

// Deeper documents are refused before parsing so that the recursive parser
// cannot exhaust the stack of the thread that reads them.
constexpr int maxJsonNestingDepth = 64;

// The object a var holds, or nullptr. Arrays count as objects to juce::var,
// never to us.
juce::DynamicObject* getJsonObject (const juce::var& value) noexcept;

// Parses text whose top level must be a JSON object; a void var otherwise
// (syntax errors, arrays, plain values, excessive nesting).
juce::var parseJsonObject (const juce::String& text);

// Strings as they are, numbers and booleans as text; objects, arrays and
// anything else read as empty rather than as a description of the object.
juce::String readJsonString (const juce::var& value);

int readJsonInt (const juce::var& value) noexcept;
double readJsonDouble (const juce::var& value) noexcept;
float readJsonFloat (const juce::var& value) noexcept;
bool readJsonBool (const juce::var& value);

// Keeps the finite values of a double that later arithmetic can still use
// as a float, saturating the rest.
float narrowToFloat (double value) noexcept;
