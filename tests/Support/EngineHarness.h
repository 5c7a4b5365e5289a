#pragma once

#include "Processor/PluginProcessor.h"

#include <functional>
#include <vector>

namespace orvo::test
{
using Processor = OrvoSamplerAudioProcessor;

// Clips with recognisable content, built in memory.
PadClip makeClip (int frames, std::function<float (int channel, int frame)> sample, int channels = 2,
                  double sampleRate = 48000.0);
PadClip constantClip (float value, int frames, int channels = 2, double sampleRate = 48000.0);
PadClip rampClip (int frames, int channels = 2, double sampleRate = 48000.0); // sample i = i / 65536

struct PadSpec
{
    PadSpec (int slotIn, int clipIn, int noteIn = 36, juce::uint32 colourIn = 0xff3366cc, bool loopIn = false,
             juce::String nameIn = {})
        : slot (slotIn), clip (clipIn), note (noteIn), colour (colourIn), loop (loopIn), name (std::move (nameIn))
    {
    }

    int slot;
    int clip;
    int note;
    juce::uint32 colour;
    bool loop; // kind "loop"
    juce::String name;
};

SamplerPackage makePackage (std::vector<PadClip> clips, const std::vector<std::vector<PadSpec>>& banks, double bpm = 120.0);

// Makes the package current as activation does, then drops the LED messages it queued.
void install (Processor& processor, SamplerPackage package, double sampleRate = 48000.0);

struct TimedMessage
{
    juce::int64 time = 0; // on the engine clock
    juce::MidiMessage message;
};

struct Rendered
{
    juce::AudioBuffer<float> audio;
    std::vector<TimedMessage> midiOut; // only what the plug-in added
};

// Runs the processor as a host does for `totalSamples`, in blocks of
// `blockSize`, delivering each event in the block that contains its time.
// Event times are offsets from the current clock.
Rendered render (Processor& processor, int totalSamples, int blockSize, std::vector<TimedMessage> events = {},
                 int outputChannels = 2);

juce::MidiMessage noteOn (int note, int channel = 1);
juce::MidiMessage noteOff (int note, int channel = 1);

// First sample index at or after `from` whose absolute value exceeds a tiny threshold, or -1.
int firstSound (const juce::AudioBuffer<float>& audio, int channel = 0, int from = 0);

juce::String statusOf (Processor& processor);
std::vector<juce::uint8> bytesOf (const juce::MidiMessage& message);
} // namespace orvo::test
