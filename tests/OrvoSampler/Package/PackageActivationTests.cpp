#include "Processor/PluginProcessor.h"

#include "Support/EngineHarness.h"
#include "Support/TestFixtures.h"

#include <gtest/gtest.h>

using namespace orvo::test;

namespace
{
juce::File writePackage (const TempFolder& folder, const juce::String& title)
{
    writeClip (folder.file ("clips/a.wav"), ClipFormat::wav, 2, 48000);
    return writeJson (folder.file ("orvo_sampler_manifest.json"), object ({
        { "song_title", title },
        { "bpm", 120 },
        { "clips", array ({ object ({ { "clip_id", "a" }, { "clip_path", "clips/a.wav" } }) }) },
        { "banks", array ({ object ({ { "pads", array ({
            object ({ { "pad_index", 0 }, { "clip_id", "a" }, { "note", 36 }, { "midi_channel", 1 }, { "color", "#ff0000" } }) }) } }),
            object ({}) }) },
    }));
}

// A package already playing: a voice, a pending start, a held press, a loop group.
void startPlaying (Processor& p)
{
    install (p, makePackage ({ constantClip (1.0f, 100000) }, { { { 0, 0, 36, 0xffff0000, true } } }));
    render (p, 7000, 512, { { 0, noteOn (36) } });
    const juce::ScopedLock sl (p.lock);
    p.triggerPadLocked (0, -1, p.samplePosition);
    p.currentBank = 3;
    p.pendingMidiOut.clear();
}
} // namespace

TEST (PackageActivation, ASuccessfulLoadReplacesEverythingAndLightsTheBank)
{
    TempFolder folder;
    const auto manifest = writePackage (folder, "Night Drive");
    Processor p;
    startPlaying (p);

    for (int attempt = 0; attempt < 2; ++attempt) // the same manifest twice resets both times
    {
        SCOPED_TRACE (attempt);
        juce::String error;
        ASSERT_TRUE (p.loadPackage (manifest, error)) << error;

        const juce::ScopedLock sl (p.lock);
        EXPECT_EQ (p.package.songTitle, "Night Drive");
        EXPECT_EQ (p.package.banks.size(), 2u);
        EXPECT_EQ (p.currentBank, 0);
        EXPECT_EQ (p.statusText, "Analysis package loaded");
        EXPECT_TRUE (p.activeVoices.empty());
        EXPECT_TRUE (p.pendingTriggers.empty());
        EXPECT_TRUE (p.loopGroups.empty());
        EXPECT_TRUE (p.pressStates.empty());
        for (const auto active : p.padFeedbackActive)
            EXPECT_FALSE (active);

        ASSERT_EQ (p.pendingMidiOut.getNumEvents(), 64);
        std::vector<std::vector<juce::uint8>> leds;
        for (const auto event : p.pendingMidiOut)
            leds.push_back (bytesOf (event.getMessage()));
        EXPECT_EQ (leds[0], (std::vector<juce::uint8> { 0x90, 36, 9 }));
        EXPECT_EQ (leds[1], (std::vector<juce::uint8> { 0x90, 36, 2 }));

        p.triggerPadLocked (0, -1, p.samplePosition);
        p.pendingMidiOut.clear();
    }
}

TEST (PackageActivation, AFailedLoadKeepsThePackagePlayingAndShowsTheMessage)
{
    TempFolder folder;
    Processor p;
    startPlaying (p);

    juce::String error;
    EXPECT_FALSE (p.loadPackage (folder.file ("missing.json"), error));
    EXPECT_EQ (error, "Sampler manifest does not exist: " + folder.file ("missing.json").getFullPathName());

    const juce::ScopedLock sl (p.lock);
    EXPECT_EQ (p.statusText, error);
    EXPECT_EQ (p.package.songTitle, "Test Song");
    EXPECT_EQ (p.currentBank, 3);
    EXPECT_EQ (p.activeVoices.size(), 1u);
    EXPECT_EQ (p.pendingTriggers.size(), 1u);
    EXPECT_TRUE (p.pendingMidiOut.isEmpty());
}

TEST (PackageActivation, TheLockedStepHandsThePreviousAudioBackToBeFreedOutsideTheLock)
{
    Processor p;
    install (p, makePackage ({ constantClip (1.0f, 4096) }, { { { 0, 0, 36 } } }));

    auto incoming = makePackage ({ constantClip (0.5f, 16) }, { { { 0, 0, 40 } } });
    const juce::ScopedLock sl (p.lock);
    const auto* oldAudio = p.package.clips[0].audio.getReadPointer (0);
    p.activatePackageLocked (incoming);

    // The old clip's buffer is still alive and owned by the caller's package.
    ASSERT_EQ (incoming.clips.size(), 1u);
    EXPECT_EQ (incoming.clips[0].audio.getReadPointer (0), oldAudio);
    EXPECT_EQ (incoming.clips[0].audio.getNumSamples(), 4096);
    EXPECT_EQ (p.package.clips[0].audio.getNumSamples(), 16);
}
