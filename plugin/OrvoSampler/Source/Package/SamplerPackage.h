#pragma once

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_graphics/juce_graphics.h>

#include <array>
#include <vector>

// Every bank is an 8 x 8 grid: slot i is row i / 8, column i % 8.
constexpr int padsPerBank = 64;

struct PadClip
{
    juce::String clipId;
    juce::String name;
    juce::String role;
    juce::String kind;
    juce::String stemType;
    juce::String sectionLabel;
    juce::File sourceFile;
    juce::File clipFile;
    double startTime = 0.0;
    double endTime = 0.0;
    double startBeat = 0.0;
    double lengthBeats = 0.0;
    double bpm = 120.0;
    float confidence = 0.0f;
    bool isLoop = false;
    juce::Array<float> waveform;
    juce::AudioBuffer<float> audio; // two channels for a mono file, the file's own count otherwise
    double sampleRate = 48000.0;
};

struct PadAssignment
{
    int padIndex = 0;
    int row = 0;
    int column = 0;
    int note = 36;
    int midiChannel = 1;
    int clipIndex = -1; // position in SamplerPackage::clips, -1 for none
    juce::String clipId;
    juce::String name;
    juce::String stemType;
    juce::String kind;
    juce::Colour colour { 0xff2b2f35 };
    bool empty = true;
    juce::String playbackMode { "trigger" };
};

// Slot i of a fresh bank knows its own place in the grid.
std::array<PadAssignment, padsPerBank> makeEmptyPadSlots();

struct PadBank
{
    int index = 0;
    juce::String name;
    juce::String sectionLabel;
    std::array<PadAssignment, padsPerBank> pads = makeEmptyPadSlots();
};

struct SamplerPackage
{
    juce::String songTitle;
    double bpm = 120.0;
    juce::String timeSignature { "4/4" };
    int targetSampleRate = 48000;
    juce::File manifestFile;
    juce::File baseDirectory;
    std::vector<PadClip> clips;
    std::vector<PadBank> banks;
    juce::StringArray warnings;
};

// Reads a sampler manifest and decodes every clip it names. Loads are
// all-or-nothing: the caller's package changes only when the whole load worked.
class SamplerPackageLoader
{
public:
    SamplerPackageLoader();

    bool loadPackageManifest (const juce::File& manifest, SamplerPackage& package, juce::String& error);

    static juce::File resolvePath (const juce::File& baseDirectory, const juce::var& value);
    static juce::Colour parsePadColour (const juce::var& value);

    juce::AudioFormatManager formatManager;

private:
    bool readClipAudio (PadClip& clip);
};
