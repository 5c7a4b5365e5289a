#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <functional>
#include <vector>

// Turns a song export folder (audio stems plus an optional song.json) into a
// sampler package: FOLDER/processed/sampler/orvo_sampler_manifest.json with
// its clips beside it.
namespace orvo::songexport
{
struct Section
{
    juce::String label;
    double start = 0.0; // seconds
    double end = 0.0;
};

struct SongInfo
{
    juce::String title;
    double bpm = 0.0; // 0: unknown
    juce::String timeSignature { "4/4" };
    double firstDownbeat = 0.0; // seconds
    bool hasFirstDownbeat = false;
    std::vector<Section> sections;
};

struct Stem
{
    juce::String type; // drums, bass, vocals, ...; "mix" for a single unnamed file
    juce::File file;
};

enum class PadLayout
{
    grid,     // notes 36 (bottom-left) to 99 (top-right)
    launchpad // programmer layout, 11 (bottom-left) to 88 (top-right)
};

struct ExportOptions
{
    bool processFirst = false;
    PadLayout layout = PadLayout::grid;
    std::function<void (const juce::String&)> progress = [] (const juce::String&) {};
};

bool exportSampler (const juce::File& folder, const ExportOptions& options, juce::String& error);

// The pieces, for tests.
std::vector<Stem> findStems (const juce::File& folder);
juce::String stemTypeFor (const juce::String& fileNameWithoutExtension);
int padNote (int row, int column, PadLayout layout); // row 0 is the top row
bool readSongInfo (const juce::File& songJson, SongInfo& info, juce::String& error);

// Tempo from the steady beat of a mono signal, and the time of its first beat.
bool analyseTempo (const juce::AudioBuffer<float>& mono, double sampleRate, double& bpm, double& firstBeat);

// A synthesized song export folder: drums, bass, chords and lead stems at a
// known tempo, and a song.json naming its sections (and the tempo, unless
// `writeTempo` is false).
struct DemoSong
{
    double bpm = 120.0;
    bool writeTempo = true;
    double sampleRate = 44100.0;
    int barsPerSection = 8;
    juce::StringArray sections { "Intro", "Verse", "Chorus", "Outro" };
    juce::String title { "Orvo Demo" };
};

bool writeDemoSong (const juce::File& folder, const DemoSong& song, juce::String& error);
} // namespace orvo::songexport
