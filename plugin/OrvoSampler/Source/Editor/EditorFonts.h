#pragma once

#include <juce_graphics/juce_graphics.h>

// The one place where the editor meets the font API that changed between
// JUCE 7 (Font (height, style)) and JUCE 8 (FontOptions).
inline juce::Font editorFont (float height, bool bold = false)
{
    const auto style = bold ? juce::Font::bold : juce::Font::plain;
   #if JUCE_MAJOR_VERSION >= 8
    return juce::Font (juce::FontOptions (height, style));
   #else
    return juce::Font (height, style);
   #endif
}
