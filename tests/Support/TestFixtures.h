#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <initializer_list>
#include <utility>

namespace orvo::test
{
// A fresh folder under the system temp folder, deleted with its contents.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();

    TempFolder (const TempFolder&) = delete;
    TempFolder& operator= (const TempFolder&) = delete;

    const juce::File& path() const noexcept { return folder; }
    juce::File file (const juce::String& relativePath) const { return folder.getChildFile (relativePath); }

private:
    juce::File folder;
};

enum class ClipFormat
{
    wav,
    aiff,
    flac,
    ogg
};

juce::String extensionFor (ClipFormat format);

// The test signal: channel c, frame i. Distinct per channel so that channel
// mix-ups show, and small enough for every format to carry.
float testSample (int channel, int frame) noexcept;

// Writes `frames` frames of the test signal with JUCE's own writers.
juce::File writeClip (const juce::File& file, ClipFormat format, int channels, int frames,
                      double sampleRate = 48000.0, int bitsPerSample = 16);

// Builds JSON values tersely: object ({ { "key", value }, ... }), array ({ ... }).
juce::var object (std::initializer_list<std::pair<const char*, juce::var>> properties);
juce::var array (std::initializer_list<juce::var> elements);

juce::File writeJson (const juce::File& file, const juce::var& value);
juce::File writeText (const juce::File& file, const juce::String& text);
} // namespace orvo::test
