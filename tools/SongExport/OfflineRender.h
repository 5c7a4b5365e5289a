#pragma once

#include "Processor/PluginProcessor.h"

// Runs the processor as a host does over a MIDI performance, block by block,
// and collects the audio and the MIDI the plug-in sent.
namespace orvo::render
{
struct RenderSettings
{
    double sampleRate = 48000.0;
    int blockSize = 512;
    double tailSeconds = 2.0;
    int outputChannels = 2;
    std::function<void (double fraction)> progress = [] (double) {};
};

struct TimedEvent
{
    juce::int64 sample = 0;
    juce::MidiMessage message;
};

struct RenderResult
{
    juce::AudioBuffer<float> audio;
    std::vector<TimedEvent> midiOut;
};

// The performance's channel events in seconds, with the file's tempo map applied.
bool readPerformance (const juce::File& midiFile, double sampleRate, std::vector<TimedEvent>& events, juce::String& error);

RenderResult render (OrvoSamplerAudioProcessor& processor, const std::vector<TimedEvent>& events, const RenderSettings& settings);

bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate, juce::String& error);
bool writeMidi (const juce::File& file, const std::vector<TimedEvent>& events, double sampleRate, juce::String& error);

// The demo performance for the demo song's first bank: loops armed by
// two-beat holds, one-shots, a hand-over and a loop stopped by a hold.
juce::MidiFile demoPerformance();

// A stutter passage for the same bank, to be rendered with stutter mode on:
// short presses that sound only while held, and one released before its
// start that never sounds.
juce::MidiFile demoStutterPerformance();
} // namespace orvo::render
