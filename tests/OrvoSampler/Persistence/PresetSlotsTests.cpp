#include "Support/EngineHarness.h"
#include "Support/TestFixtures.h"

#include <gtest/gtest.h>

using namespace orvo::test;

namespace
{
juce::File writeTwoBankPackage (const TempFolder& folder, const juce::String& title)
{
    writeClip (folder.file ("clips/a.wav"), ClipFormat::wav, 2, 4800);
    return writeJson (folder.file (title + ".json"), object ({
        { "song_title", title },
        { "clips", array ({ object ({ { "clip_id", "a" }, { "clip_path", "clips/a.wav" } }) }) },
        { "banks", array ({ object ({ { "pads", array ({ object ({ { "pad_index", 0 }, { "clip_id", "a" }, { "note", 36 } }) }) } }),
                            object ({}) }) },
    }));
}

juce::String titleOf (Processor& p)
{
    const juce::ScopedLock sl (p.lock);
    return p.package.songTitle;
}
} // namespace

TEST (PresetSlots, SaveStoresTheSetupAndRecallBringsItBack)
{
    TempFolder folder;
    const auto first = writeTwoBankPackage (folder, "First");
    const auto second = writeTwoBankPackage (folder, "Second");
    Processor p;
    juce::String error;
    ASSERT_TRUE (p.loadPackage (first, error)) << error;

    {
        const juce::ScopedLock sl (p.lock);
        p.currentBank = 9; // stored unclamped
        p.launchQuantizationBeats = 2.0;
        p.stutterMode = true;
        p.hardwareControls[4].value = 0.75f;
        p.savePresetLocked (1);
        EXPECT_EQ (p.statusText, "Preset 2 saved");

        const auto& preset = p.presets[1];
        EXPECT_TRUE (preset.saved);
        EXPECT_EQ (preset.manifest, first.getFullPathName());
        EXPECT_EQ (preset.bank, 9);
        EXPECT_EQ (preset.quantizationBeats, 2.0);
        EXPECT_TRUE (preset.stutter);
        EXPECT_EQ (preset.controls[4].value, 0.75f);
    }

    ASSERT_TRUE (p.loadPackage (second, error)) << error;
    {
        const juce::ScopedLock sl (p.lock);
        p.launchQuantizationBeats = 0.25;
        p.stutterMode = false;
        p.hardwareControls[4].value = 0.0f;
        p.pendingMidiOut.clear();
    }
    p.toggleMidiLearn();
    p.touchHardwareControl ("knob1");

    p.recallPreset (1);
    EXPECT_EQ (titleOf (p), "First"); // reloaded from the preset's manifest

    const juce::ScopedLock sl (p.lock);
    EXPECT_EQ (p.statusText, "Preset 2 loaded");
    EXPECT_EQ (p.currentBank, 1); // clamped to the two banks
    EXPECT_EQ (p.launchQuantizationBeats, 2.0);
    EXPECT_TRUE (p.stutterMode);
    EXPECT_EQ (p.hardwareControls[4].value, 0.75f);
    EXPECT_FALSE (p.midiLearnEnabled);
    EXPECT_TRUE (p.learnTargetId.isEmpty());
    EXPECT_EQ (p.pendingMidiOut.getNumEvents(), 128); // activation's 64 and the recall's 64
}

TEST (PresetSlots, APresetWithoutAPackageLoadsNothing)
{
    Processor p;
    {
        const juce::ScopedLock sl (p.lock);
        p.currentBank = 4;
        p.savePresetLocked (0);
        p.currentBank = 2;
    }

    p.recallPreset (0);
    const juce::ScopedLock sl (p.lock);
    EXPECT_EQ (p.currentBank, 0);
    EXPECT_TRUE (p.package.banks.empty());
    EXPECT_EQ (p.statusText, "Preset 1 loaded");
    EXPECT_TRUE (p.pendingMidiOut.isEmpty());
}

TEST (PresetSlots, APresetWhoseManifestIsGoneChangesOnlyTheStatus)
{
    TempFolder folder;
    const auto manifest = writeTwoBankPackage (folder, "First");
    Processor p;
    juce::String error;
    ASSERT_TRUE (p.loadPackage (manifest, error)) << error;
    {
        const juce::ScopedLock sl (p.lock);
        p.launchQuantizationBeats = 4.0;
        p.savePresetLocked (4);
        p.launchQuantizationBeats = 0.5;
    }
    manifest.deleteFile();

    p.recallPreset (4);
    const juce::ScopedLock sl (p.lock);
    EXPECT_EQ (p.statusText, "Sampler manifest does not exist: " + manifest.getFullPathName());
    EXPECT_EQ (p.launchQuantizationBeats, 0.5);
    EXPECT_EQ (p.package.songTitle, "First");
}

TEST (PresetSlots, SlotIndicesAreClamped)
{
    Processor p;
    const juce::ScopedLock sl (p.lock);
    p.savePresetLocked (9);
    EXPECT_EQ (p.statusText, "Preset 5 saved");
    p.savePresetLocked (-3);
    EXPECT_EQ (p.statusText, "Preset 1 saved");
    EXPECT_TRUE (p.presets[4].saved);
    EXPECT_TRUE (p.presets[0].saved);
}

TEST (PresetSlots, ReadingFillsUnnamedControlsFromTheCurrentOnes)
{
    Processor p;
    const juce::ScopedLock sl (p.lock);
    p.hardwareControls[5].value = 0.66f;

    const auto preset = p.presetFromJsonLocked (juce::JSON::parse (R"({
        "saved": true, "manifest": "/x.json", "bank": 3, "stutter": true,
        "controls": [ { "id": "knob1", "value": 0.1, "assignment": { "kind": "note", "channel": 4, "number": 50 } } ]
    })"));

    EXPECT_TRUE (preset.saved);
    EXPECT_EQ (preset.manifest, "/x.json");
    EXPECT_EQ (preset.bank, 3);
    EXPECT_EQ (preset.quantizationBeats, 0.0); // absent: 0, not the record's 0.25
    EXPECT_TRUE (preset.stutter);
    ASSERT_EQ (preset.controls.size(), 28u);
    EXPECT_EQ (preset.controls[0].value, 0.1f);
    EXPECT_EQ (preset.controls[0].assignment.number, 50);
    EXPECT_EQ (preset.controls[5].value, 0.66f);
    EXPECT_EQ (preset.controls[1].assignment.number, 21);

    // A slot never saved comes back without controls and is written as null again.
    const auto unsaved = p.presetFromJsonLocked (juce::JSON::parse (R"({"saved": false, "controls": null})"));
    EXPECT_TRUE (unsaved.controls.empty());
    EXPECT_TRUE (p.presetToJsonLocked (unsaved)["controls"].isVoid());

    const auto notAnObject = p.presetFromJsonLocked (7);
    EXPECT_FALSE (notAnObject.saved);
    EXPECT_TRUE (notAnObject.controls.empty());
    EXPECT_EQ (notAnObject.quantizationBeats, 0.25);
}

TEST (PresetSlots, RecallingAnUnsavedSlotKeepsTheControls)
{
    Processor p;
    {
        const juce::ScopedLock sl (p.lock);
        p.hardwareControls[0].value = 0.2f;
    }
    p.recallPreset (3);
    const juce::ScopedLock sl (p.lock);
    ASSERT_EQ (p.hardwareControls.size(), 28u);
    EXPECT_EQ (p.hardwareControls[0].value, 0.2f);
}
