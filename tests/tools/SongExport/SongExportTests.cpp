#include "SongExport.h"

#include "Support/EngineHarness.h"
#include "Support/TestFixtures.h"

#include <gtest/gtest.h>

using namespace orvo::test;
namespace se = orvo::songexport;

namespace
{
juce::String exportFolder (const juce::File& folder, bool processFirst)
{
    se::ExportOptions options;
    options.processFirst = processFirst;
    juce::String error;
    se::exportSampler (folder, options, error);
    return error;
}

se::DemoSong shortDemo (double bpm, bool writeTempo)
{
    se::DemoSong song;
    song.bpm = bpm;
    song.writeTempo = writeTempo;
    song.barsPerSection = 8;
    song.sections = { "Intro", "Verse", "Chorus" };
    return song;
}
} // namespace

TEST (SongExport, PadNotesFollowTheControllersPhysicalLayout)
{
    const std::tuple<int, int, se::PadLayout, int> cases[] = {
        { 7, 0, se::PadLayout::grid, 36 },      { 7, 7, se::PadLayout::grid, 43 },
        { 0, 0, se::PadLayout::grid, 92 },      { 0, 7, se::PadLayout::grid, 99 },
        { 7, 0, se::PadLayout::launchpad, 11 }, { 0, 7, se::PadLayout::launchpad, 88 },
        { 0, 0, se::PadLayout::launchpad, 81 }, { 6, 2, se::PadLayout::launchpad, 23 },
    };

    for (const auto& [row, column, layout, note] : cases)
        EXPECT_EQ (se::padNote (row, column, layout), note) << row << "," << column;
}

TEST (SongExport, FileNamesGiveTheStemType)
{
    const std::pair<const char*, const char*> cases[] = {
        { "Drums", "drums" }, { "song_bass_stem", "bass" }, { "Lead Vocals", "vocals" }, { "keys", "keys" },
        { "chords", "chords" }, { "lead", "lead" }, { "Other", "other" }, { "mixdown", "" },
    };
    for (const auto& [name, type] : cases)
        EXPECT_EQ (se::stemTypeFor (name), type) << name;

    TempFolder folder;
    writeClip (folder.file ("final.wav"), ClipFormat::wav, 2, 100);
    writeText (folder.file ("notes.txt"), "not audio");
    const auto stems = se::findStems (folder.path());
    ASSERT_EQ (stems.size(), 1u);
    EXPECT_EQ (stems[0].type, "mix"); // one file of no known kind is the mix
}

TEST (SongExport, SongFoldersBecomePlayablePackagesThroughTheBuiltHelper)
{
    for (const auto bpm : { 120.0, 97.0 })
    {
        SCOPED_TRACE (bpm);
        TempFolder folder;
        const auto song = folder.file ("Demo Song");
        juce::String error;
        ASSERT_TRUE (se::writeDemoSong (song, shortDemo (bpm, false), error)) << error;

        ExportHelperLocations locations;
        locations.installedHelpers = { juce::File (ORVO_TEST_EXPORT_HELPER) };
        ASSERT_TRUE (Processor::runSamplerExportForFolder (song, error, locations)) << error;

        Processor p;
        const auto manifest = p.resolveManifestForSource (song);
        EXPECT_EQ (manifest, song.getChildFile ("processed/sampler/orvo_sampler_manifest.json"));
        ASSERT_TRUE (p.loadPackage (manifest, error)) << error;

        const juce::ScopedLock sl (p.lock);
        const auto& package = p.package;
        EXPECT_NEAR (package.bpm, bpm, 0.5);
        ASSERT_EQ (package.banks.size(), 3u);
        EXPECT_EQ (package.banks[1].name, "Verse");
        EXPECT_EQ (package.clips.size(), 3u * 4u * 8u);

        for (const auto& clip : package.clips)
        {
            EXPECT_TRUE (clip.isLoop);
            EXPECT_EQ (std::fmod (clip.startBeat, 4.0), 0.0) << clip.name;
            EXPECT_EQ (clip.lengthBeats, 4.0) << clip.name; // eight bars fill eight columns
            EXPECT_NEAR (clip.startTime, clip.startBeat * 60.0 / package.bpm, 1.0e-6) << clip.name;
            EXPECT_NEAR (clip.audio.getNumSamples(), 4 * 60.0 / package.bpm * 44100.0, 1.0) << clip.name;
            EXPECT_EQ (clip.waveform.size(), 48);
            for (const auto peak : clip.waveform)
                ASSERT_TRUE (peak >= 0.0f && peak <= 1.0f);
        }

        for (const auto& bank : package.banks)
        {
            for (int slot = 0; slot < 64; ++slot)
            {
                const auto& pad = bank.pads[static_cast<size_t> (slot)];
                if (slot < 32)
                {
                    EXPECT_FALSE (pad.empty) << slot;
                    EXPECT_GE (pad.clipIndex, 0) << slot;
                    EXPECT_EQ (pad.note, se::padNote (slot / 8, slot % 8, se::PadLayout::grid));
                    EXPECT_EQ (pad.kind, "loop");
                }
                else
                {
                    EXPECT_TRUE (pad.empty) << slot;
                }
            }
            // One colour per row: each stem is its own loop group.
            EXPECT_NE (bank.pads[0].colour, bank.pads[8].colour);
            EXPECT_EQ (bank.pads[0].colour, bank.pads[7].colour);
            EXPECT_EQ (bank.pads[0].stemType, "drums");
        }
    }
}

TEST (SongExport, ANoteOnAnExportedPadPlaysItsClip)
{
    TempFolder folder;
    const auto song = folder.file ("Demo");
    juce::String error;
    ASSERT_TRUE (se::writeDemoSong (song, shortDemo (120.0, true), error)) << error;
    ASSERT_EQ (exportFolder (song, false), "");

    Processor p;
    ASSERT_TRUE (p.loadPackage (p.resolveManifestForSource (song), error)) << error;
    p.prepareToPlay (48000.0, 512);
    const auto out = render (p, 12000, 512, { { 0, noteOn (92) } }); // top-left: drums, bar 1
    EXPECT_EQ (firstSound (out.audio), 6000);
}

TEST (SongExport, FailuresSayWhatIsWrongAndKeepThePreviousPackage)
{
    TempFolder folder;
    const auto song = folder.file ("Demo");
    juce::String error;
    ASSERT_TRUE (se::writeDemoSong (song, shortDemo (120.0, false), error)) << error;

    EXPECT_EQ (exportFolder (folder.file ("nowhere"), true), "No such song folder: " + folder.file ("nowhere").getFullPathName());
    folder.file ("empty").createDirectory();
    EXPECT_EQ (exportFolder (folder.file ("empty"), true), "No audio stems (WAV, AIFF, FLAC or Ogg Vorbis) in " + folder.file ("empty").getFullPathName());

    // No tempo in song.json and no analysis yet.
    EXPECT_EQ (exportFolder (song, false), "No tempo or sections for " + song.getFullPathName()
                                               + ": name them in song.json or run with --process-first to analyse the song.");

    // With the analysis, a later export needs no --process-first.
    ASSERT_EQ (exportFolder (song, true), "");
    ASSERT_TRUE (song.getChildFile ("processed/orvo_analysis.json").existsAsFile());
    ASSERT_EQ (exportFolder (song, false), "");

    const auto manifest = song.getChildFile ("processed/sampler/orvo_sampler_manifest.json");
    const auto before = manifest.loadFileAsString();

    writeText (song.getChildFile ("vocals.wav"), "this is no audio");
    EXPECT_EQ (exportFolder (song, true), "Could not read audio: " + song.getChildFile ("vocals.wav").getFullPathName());
    EXPECT_EQ (manifest.loadFileAsString(), before);

    Processor p;
    EXPECT_TRUE (p.loadPackage (manifest, error)) << error;

    // Through the bridge: the helper's exit code and its message.
    ExportHelperLocations locations;
    locations.installedHelpers = { juce::File (ORVO_TEST_EXPORT_HELPER) };
    EXPECT_FALSE (Processor::runSamplerExportForFolder (song, error, locations));
    EXPECT_EQ (error, "Sampler export failed (1): Could not read audio: " + song.getChildFile ("vocals.wav").getFullPathName());
}

TEST (SongExport, AnalysisCutsEightBarPhrasesWhenTheSongNamesNoSections)
{
    TempFolder folder;
    const auto song = folder.file ("Demo");
    juce::String error;
    ASSERT_TRUE (se::writeDemoSong (song, shortDemo (120.0, true), error)) << error;
    writeText (song.getChildFile ("song.json"), R"({"title": "Phrases", "bpm": 120})");

    ASSERT_EQ (exportFolder (song, true), "");
    Processor p;
    ASSERT_TRUE (p.loadPackage (p.resolveManifestForSource (song), error)) << error;

    const juce::ScopedLock sl (p.lock);
    EXPECT_EQ (p.package.songTitle, "Phrases");
    EXPECT_EQ (p.package.bpm, 120.0);
    ASSERT_EQ (p.package.banks.size(), 3u); // 24 bars of music, 8 bars a phrase
    EXPECT_EQ (p.package.banks[0].name, "Phrase 1");
    EXPECT_EQ (p.package.banks[2].name, "Phrase 3");
}
