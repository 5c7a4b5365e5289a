#include "OfflineRender.h"
#include "SongExport.h"

#include "Support/EngineHarness.h"
#include "Support/TestFixtures.h"

#include <gtest/gtest.h>

using namespace orvo::test;
namespace se = orvo::songexport;

namespace
{
// The demo song, exported, and the demo performance as a file.
struct DemoRig
{
    DemoRig()
    {
        juce::String error;
        se::DemoSong song;
        song.sections = { "Intro", "Verse" };
        EXPECT_TRUE (se::writeDemoSong (folder.file ("song"), song, error)) << error;
        se::ExportOptions options;
        EXPECT_TRUE (se::exportSampler (folder.file ("song"), options, error)) << error;
        manifest = folder.file ("song/processed/sampler/orvo_sampler_manifest.json");

        juce::FileOutputStream out (performance);
        orvo::render::demoPerformance().writeTo (out);
    }

    juce::AudioBuffer<float> renderWith (int blockSize, std::vector<orvo::render::TimedEvent>* midiOut = nullptr) const
    {
        Processor p;
        juce::String error;
        EXPECT_TRUE (p.loadPackage (manifest, error)) << error;

        std::vector<orvo::render::TimedEvent> events;
        EXPECT_TRUE (orvo::render::readPerformance (performance, 48000.0, events, error)) << error;

        orvo::render::RenderSettings settings;
        settings.blockSize = blockSize;
        auto result = orvo::render::render (p, events, settings);
        if (midiOut != nullptr)
            *midiOut = result.midiOut;
        return result.audio;
    }

    TempFolder folder;
    juce::File manifest;
    juce::File performance = folder.file ("performance.mid");
};

juce::String runTool (const juce::StringArray& args, int& exitCode)
{
    juce::ChildProcess child;
    juce::StringArray command { juce::File (ORVO_TEST_EXPORT_HELPER).getSiblingFile ("orvo-render").getFullPathName() };
    command.addArray (args);
    if (! child.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return "not started";
    const auto output = child.readAllProcessOutput();
    child.waitForProcessToFinish (10000);
    exitCode = static_cast<int> (child.getExitCode());
    return output.trim();
}
} // namespace

TEST (OfflineRender, TheDemoPerformanceRendersIdenticallyInAnyBlockSize)
{
    const DemoRig rig;
    std::vector<orvo::render::TimedEvent> midiOut;
    const auto reference = rig.renderWith (512, &midiOut);

    // Last release at 22.5 s plus the 2 s tail.
    EXPECT_EQ (reference.getNumSamples(), 48000 * 22 + 24000 + 96000);
    EXPECT_EQ (firstSound (reference), 6000); // the first press at 0.1 s starts on the 1/16 grid
    EXPECT_GT (reference.getRMSLevel (0, 48000 * 4, 48000), 0.01f);

    // The LED feedback is there, and only the plug-in's own messages.
    EXPECT_FALSE (midiOut.empty());
    for (const auto& e : midiOut)
        EXPECT_NE (e.message.getVelocity(), 100) << e.message.getDescription();

    for (const auto blockSize : { 64, 1000 })
    {
        const auto other = rig.renderWith (blockSize);
        ASSERT_EQ (other.getNumSamples(), reference.getNumSamples());
        int mismatches = 0;
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < reference.getNumSamples(); ++i)
                mismatches += other.getSample (c, i) != reference.getSample (c, i) ? 1 : 0;
        EXPECT_EQ (mismatches, 0) << blockSize;
    }
}

TEST (OfflineRender, TheStutterPassageSoundsOnlyWhileHeld)
{
    const DemoRig rig;
    Processor p;
    juce::String error;
    ASSERT_TRUE (p.loadPackage (rig.manifest, error)) << error;
    {
        const juce::ScopedLock sl (p.lock);
        p.stutterMode = true;
    }

    juce::MemoryOutputStream midi;
    orvo::render::demoStutterPerformance().writeTo (midi);
    const auto file = rig.folder.file ("stutter.mid");
    file.replaceWithData (midi.getData(), midi.getDataSize());

    std::vector<orvo::render::TimedEvent> events;
    ASSERT_TRUE (orvo::render::readPerformance (file, 48000.0, events, error)) << error;
    const auto audio = orvo::render::render (p, events, {}).audio;

    // Chops while held; the press released before its start never sounds;
    // the held chords stop when released at 6 s.
    EXPECT_GT (audio.getRMSLevel (0, 6000, 6000), 0.01f);
    EXPECT_EQ (audio.getMagnitude (0, 48000 * 4, 48000 - 1000), 0.0f);
    EXPECT_GT (audio.getRMSLevel (0, 48000 * 5 + 6000, 24000), 0.01f);
    EXPECT_EQ (audio.getMagnitude (0, 48000 * 6 + 1000, 48000), 0.0f);
}

TEST (OfflineRender, TheToolSaysWhatIsWrongAndFailsWithOne)
{
    const DemoRig rig;
    const auto out = rig.folder.file ("out.wav").getFullPathName();
    int code = 0;

    EXPECT_TRUE (runTool ({}, code).startsWith ("usage: orvo-render"));
    EXPECT_EQ (code, 1);

    EXPECT_EQ (runTool ({ "--package", rig.folder.file ("none.json").getFullPathName(), "--midi", rig.performance.getFullPathName(), "--out", out }, code),
               "Sampler manifest does not exist: " + rig.folder.file ("none.json").getFullPathName());
    EXPECT_EQ (code, 1);

    writeText (rig.folder.file ("bad.mid"), "not midi at all");
    EXPECT_EQ (runTool ({ "--package", rig.manifest.getFullPathName(), "--midi", rig.folder.file ("bad.mid").getFullPathName(), "--out", out }, code),
               "Not a MIDI file this renders (SMPTE time is not supported): " + rig.folder.file ("bad.mid").getFullPathName());
    EXPECT_EQ (code, 1);

    EXPECT_EQ (runTool ({ "--package", rig.manifest.getFullPathName(), "--midi", rig.performance.getFullPathName(), "--out", out,
                          "--midi-out", rig.folder.file ("leds.mid").getFullPathName() }, code), "");
    EXPECT_EQ (code, 0);
    EXPECT_GT (juce::File (out).getSize(), 1000000);
    EXPECT_TRUE (rig.folder.file ("leds.mid").existsAsFile());
}
