#include "Package/SamplerPackage.h"

#include <gtest/gtest.h>

TEST (SamplerPackageRecords, DefaultsAreThoseAPackageStartsWith)
{
    const SamplerPackage package;
    EXPECT_EQ (package.bpm, 120.0);
    EXPECT_EQ (package.timeSignature, "4/4");
    EXPECT_EQ (package.targetSampleRate, 48000);
    EXPECT_TRUE (package.songTitle.isEmpty());
    EXPECT_TRUE (package.clips.empty());
    EXPECT_TRUE (package.banks.empty());
    EXPECT_EQ (package.manifestFile, juce::File());

    const PadAssignment pad;
    EXPECT_TRUE (pad.empty);
    EXPECT_EQ (pad.note, 36);
    EXPECT_EQ (pad.midiChannel, 1);
    EXPECT_EQ (pad.clipIndex, -1);
    EXPECT_EQ (pad.colour.getARGB(), 0xff2b2f35u);
    EXPECT_EQ (pad.playbackMode, "trigger");

    const PadClip clip;
    EXPECT_EQ (clip.bpm, 120.0);
    EXPECT_EQ (clip.sampleRate, 48000.0);
    EXPECT_EQ (clip.audio.getNumChannels(), 0);
    EXPECT_EQ (clip.audio.getNumSamples(), 0);
    EXPECT_FALSE (clip.isLoop);
    EXPECT_TRUE (clip.waveform.isEmpty());
}

TEST (SamplerPackageRecords, FreshBankSlotsKnowTheirGridPlace)
{
    const PadBank bank;

    for (int i = 0; i < padsPerBank; ++i)
    {
        const auto& slot = bank.pads[static_cast<size_t> (i)];
        EXPECT_EQ (slot.padIndex, i);
        EXPECT_EQ (slot.row, i / 8);
        EXPECT_EQ (slot.column, i % 8);
        EXPECT_TRUE (slot.empty);
    }

    EXPECT_EQ (bank.pads[9].row, 1);
    EXPECT_EQ (bank.pads[9].column, 1);
    EXPECT_EQ (bank.pads[63].row, 7);
    EXPECT_EQ (bank.pads[63].column, 7);
}

TEST (SamplerPackageRecords, MovingAPackageKeepsPadsPointingAtTheirClips)
{
    SamplerPackage original;
    for (const auto* id : { "a", "b", "c" })
    {
        PadClip clip;
        clip.clipId = id;
        clip.audio.setSize (2, 16);
        original.clips.push_back (std::move (clip));
    }

    PadBank bank;
    bank.pads[5].clipIndex = 2;
    bank.pads[5].empty = false;
    original.banks.push_back (bank);

    const SamplerPackage moved = std::move (original);
    const auto index = moved.banks[0].pads[5].clipIndex;
    ASSERT_LT (index, static_cast<int> (moved.clips.size()));
    EXPECT_EQ (moved.clips[static_cast<size_t> (index)].clipId, "c");
}
