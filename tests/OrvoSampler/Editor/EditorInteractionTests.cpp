#include "Editor/PluginEditor.h"

#include "Support/EngineHarness.h"
#include "Support/TestFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace orvo::test;

namespace
{
using Editor = OrvoSamplerAudioProcessorEditor;

juce::MouseEvent mouseAt (Editor& editor, juce::Point<float> position, bool rightButton = false)
{
    const auto modifiers = rightButton ? juce::ModifierKeys::rightButtonModifier : juce::ModifierKeys::leftButtonModifier;
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, juce::ModifierKeys (modifiers), 0.0f,
                             0.0f, 0.0f, 0.0f, 0.0f, &editor, &editor, juce::Time::getCurrentTime(), position,
                             juce::Time::getCurrentTime(), 1, false);
}

class EditorInteraction : public ::testing::Test
{
protected:
    float value (const juce::String& id)
    {
        const juce::ScopedLock sl (processor.lock);
        for (const auto& c : processor.hardwareControls)
            if (c.id == id)
                return c.value;
        return -1.0f;
    }

    void click (juce::Point<float> at, bool rightButton = false)
    {
        editor.mouseDown (mouseAt (editor, at, rightButton));
        editor.mouseUp (mouseAt (editor, at, rightButton));
    }

    int queuedMidi()
    {
        const juce::ScopedLock sl (processor.lock);
        return processor.pendingMidiOut.getNumEvents();
    }

    Processor processor;
    Editor editor { processor };
    double now = 0.0;
};
} // namespace

TEST_F (EditorInteraction, PadsPressAndReleaseOnceWithEitherButton)
{
    install (processor, makePackage ({ constantClip (0.5f, 1000) }, { { { 9, 0, 45 }, { 10, 0, 46 } } }));

    for (const auto rightButton : { false, true })
    {
        const auto slot = rightButton ? 10 : 9;
        const auto centre = editor.padRects[static_cast<size_t> (slot)].getCentre();

        editor.mouseDown (mouseAt (editor, centre, rightButton));
        {
            const juce::ScopedLock sl (processor.lock);
            EXPECT_EQ (processor.pressStates.count (slot), 1u);
            EXPECT_EQ (processor.lastTriggeredPad, slot);
        }
        editor.mouseUp (mouseAt (editor, centre, rightButton));

        const juce::ScopedLock sl (processor.lock);
        EXPECT_TRUE (processor.pressStates.empty());
        EXPECT_EQ (editor.selectedPad, slot);
        EXPECT_EQ (editor.pressedPad, -1);
    }

    const juce::ScopedLock sl (processor.lock);
    EXPECT_EQ (processor.pendingTriggers.size(), 2u);
}

TEST_F (EditorInteraction, KnobsTurnByDraggingAndFadersFollowThePointer)
{
    processor.setHardwareControlValue ("knob1", 0.2f);
    const auto knob = editor.knobRects[0].getCentre();

    editor.mouseDown (mouseAt (editor, knob));
    EXPECT_FLOAT_EQ (value ("knob1"), 0.2f); // the press changes nothing
    editor.mouseDrag (mouseAt (editor, knob.translated (0.0f, -29.0f)));
    EXPECT_NEAR (value ("knob1"), 0.4f, 1.0e-6f);
    editor.mouseDrag (mouseAt (editor, knob.translated (0.0f, -300.0f)));
    EXPECT_EQ (value ("knob1"), 1.0f);
    editor.mouseDrag (mouseAt (editor, knob.translated (0.0f, -117.0f)));
    EXPECT_EQ (value ("knob1"), 1.0f);
    editor.mouseDrag (mouseAt (editor, knob.translated (0.0f, -115.0f)));
    EXPECT_LT (value ("knob1"), 1.0f);
    editor.mouseUp (mouseAt (editor, knob));
    EXPECT_EQ (editor.activeKnob, -1);

    const auto fader = editor.faderRects[2];
    const std::pair<float, float> clicks[] = {
        { fader.getY() + 8.0f, 1.0f }, { fader.getY() + 1.0f, 1.0f },
        { fader.getBottom() - 8.0f, 0.0f }, { fader.getBottom() - 1.0f, 0.0f },
        { fader.getCentreY(), 0.5f },
    };
    for (const auto& [y, expected] : clicks)
    {
        click ({ fader.getCentreX(), y });
        EXPECT_NEAR (value ("fader3"), expected, 1.0e-5f) << y;
    }

    editor.mouseDown (mouseAt (editor, { fader.getCentreX(), fader.getCentreY() }));
    editor.mouseDrag (mouseAt (editor, { fader.getCentreX(), fader.getY() - 50.0f })); // beyond the top
    EXPECT_EQ (value ("fader3"), 1.0f);
    editor.mouseUp (mouseAt (editor, { 0.0f, 0.0f }));
}

TEST_F (EditorInteraction, MomentaryButtonsAreReleasedOnceWhenThePointerLeaves)
{
    const auto button = editor.buttonRects[0].getCentre();
    editor.mouseDown (mouseAt (editor, button));
    EXPECT_EQ (value ("button1"), 1.0f);
    EXPECT_EQ (queuedMidi(), 1);

    editor.mouseExit (mouseAt (editor, { -5.0f, -5.0f }));
    EXPECT_EQ (value ("button1"), 0.0f);
    EXPECT_EQ (queuedMidi(), 2);

    editor.mouseUp (mouseAt (editor, { -5.0f, -5.0f }));
    EXPECT_EQ (queuedMidi(), 2);
}

TEST_F (EditorInteraction, PresetsRecallOnShortPressesAndSaveOnLongOnes)
{
    editor.clock = [this] { return now; };
    const auto preset = editor.presetRects[0].getCentre();
    const auto press = [&] (double heldMs) {
        now = 1000.0;
        editor.mouseDown (mouseAt (editor, preset));
        now += heldMs;
        editor.mouseUp (mouseAt (editor, preset));
    };

    press (200.0);
    EXPECT_EQ (statusOf (processor), "Preset 1 saved"); // an empty slot always stores
    press (650.0);
    EXPECT_EQ (statusOf (processor), "Preset 1 loaded");
    press (651.0);
    EXPECT_EQ (statusOf (processor), "Preset 1 saved");
}

TEST_F (EditorInteraction, LearnToggleThenAKnobPressTargetsIt)
{
    click (editor.learnRect.getCentre());
    EXPECT_EQ (statusOf (processor), "Learn: touch a control");

    const auto knob = editor.knobRects[0].getCentre();
    editor.mouseDown (mouseAt (editor, knob));
    EXPECT_EQ (statusOf (processor), "Learn: send MIDI to knob1");
    editor.mouseDrag (mouseAt (editor, knob.translated (0.0f, -20.0f)));
    editor.mouseUp (mouseAt (editor, knob));
    EXPECT_GT (value ("knob1"), 0.5f);
    EXPECT_EQ (queuedMidi(), 0); // learning: no MIDI sent
}

TEST_F (EditorInteraction, TransportFiresOnPressAndEmptySpaceDoesNothing)
{
    editor.mouseDown (mouseAt (editor, editor.transportRects[3].getCentre()));
    EXPECT_EQ (statusOf (processor), "Arm command sent");

    editor.mouseDown (mouseAt (editor, { 300.0f, 740.0f }));
    editor.mouseUp (mouseAt (editor, { 300.0f, 740.0f }));
    EXPECT_EQ (statusOf (processor), "Arm command sent");
}

TEST_F (EditorInteraction, HeaderCommandsStepBanksProfilesQuantizationAndMode)
{
    install (processor, makePackage ({ constantClip (0.5f, 100) }, { { { 0, 0, 36 } }, { { 0, 0, 36 } }, { { 0, 0, 36 } } }));
    const auto bank = [this] {
        const juce::ScopedLock sl (processor.lock);
        return processor.currentBank;
    };

    editor.buttonClicked (&editor.previousBankButton);
    EXPECT_EQ (bank(), 2);
    EXPECT_EQ (queuedMidi(), 64);
    editor.buttonClicked (&editor.nextBankButton);
    EXPECT_EQ (bank(), 0);

    const char* profiles[] = { "Ableton Push", "Launchpad X", "Generic 8x8" };
    for (const auto* name : profiles)
    {
        editor.buttonClicked (&editor.profileButton);
        EXPECT_EQ (statusOf (processor), juce::String ("Controller profile: ") + name);
    }

    const char* steps[] = { "1/8", "1/4", "1/2", "1 bar", "1/16" };
    for (const auto* name : steps)
    {
        editor.buttonClicked (&editor.quantizeButton);
        EXPECT_EQ (statusOf (processor), juce::String ("Pad launch: ") + name);
    }
    {
        const juce::ScopedLock sl (processor.lock);
        processor.launchQuantizationBeats = 3.0;
    }
    editor.buttonClicked (&editor.quantizeButton);
    EXPECT_EQ (statusOf (processor), "Pad launch: 1/16");

    editor.buttonClicked (&editor.modeButton);
    EXPECT_EQ (statusOf (processor), "Stutter mode");
    editor.buttonClicked (&editor.modeButton);
    EXPECT_EQ (statusOf (processor), "Trigger mode");

    {
        const juce::ScopedLock sl (processor.lock);
        processor.pendingMidiOut.clear();
    }
    editor.buttonClicked (&editor.ledButton);
    EXPECT_EQ (queuedMidi(), 64);
}

namespace
{
juce::File writeManifest (const juce::File& folder, const juce::String& title)
{
    writeClip (folder.getChildFile ("a.wav"), ClipFormat::wav, 2, 100);
    return writeJson (folder.getChildFile ("orvo_sampler_manifest.json"), object ({
        { "song_title", title },
        { "clips", array ({ object ({ { "clip_id", "a" }, { "clip_path", "a.wav" } }) }) },
        { "banks", array ({ object ({}) }) } }));
}

juce::String waitForStatus (Processor& p, const juce::String& unwanted)
{
    for (int i = 0; i < 400; ++i)
    {
        const auto status = statusOf (p);
        if (status != unwanted && status != "Analyzing Orvo folder...")
            return status;
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    }
    return statusOf (p);
}
} // namespace

TEST (LoadWorkflow, FilesLoadDirectlyAndFoldersRunTheHelperFirst)
{
    TempFolder folder;
    const auto manifest = writeManifest (folder.file ("direct"), "Direct");

    // A fake helper that writes a manifest into the folder it is given.
    const auto helper = writeText (folder.file ("bin/orvo-to-ableton"),
                                   "#!/bin/sh\necho called >> \"$(dirname \"$0\")/calls.txt\"\n"
                                   "cp \"" + manifest.getFullPathName() + "\" \"$2/orvo_sampler_manifest.json\"\n"
                                   "sed -i 's/Direct/Exported/' \"$2/orvo_sampler_manifest.json\"\n"
                                   "cp \"" + folder.file ("direct/a.wav").getFullPathName() + "\" \"$2/a.wav\"\n");
    helper.setExecutePermission (true);

    Processor processor;
    processor.exportHelperLocations.installedHelpers = { helper };
    {
        Editor editor (processor);

        editor.selectedPad = 7;
        editor.loadChosenPath (manifest);
        EXPECT_EQ (waitForStatus (processor, "Load a Orvo Sampler package"), "Analysis package loaded");
        EXPECT_EQ (processor.getSongTitle(), "Direct");
        EXPECT_FALSE (folder.file ("bin/calls.txt").exists());

        // The completion, posted to the message thread, puts the ring back on slot 0.
        std::this_thread::sleep_for (std::chrono::milliseconds (50));
        juce::MessageManager::callAsync ([] { juce::MessageManager::getInstance()->stopDispatchLoop(); });
        juce::MessageManager::getInstance()->runDispatchLoop();
        EXPECT_EQ (editor.selectedPad, 0);

        // A folder runs the helper even though it already holds a manifest.
        folder.file ("song").createDirectory();
        writeManifest (folder.file ("song"), "Stale");
        {
            const juce::ScopedLock sl (processor.lock);
            processor.statusText = "before";
        }
        editor.loadChosenPath (folder.file ("song"));
        EXPECT_EQ (waitForStatus (processor, "before"), "Analysis package loaded");
        EXPECT_EQ (processor.getSongTitle(), "Exported");
        EXPECT_TRUE (folder.file ("bin/calls.txt").exists());

        // Nothing at the path: nothing happens.
        editor.loadChosenPath (folder.file ("nothing here"));
        EXPECT_EQ (statusOf (processor), "Analysis package loaded");
    }
}

TEST (LoadWorkflow, DestroyingTheProcessorMidLoadEndsTheHelperAtOnce)
{
    TempFolder folder;
    const auto helper = writeText (folder.file ("bin/orvo-to-ableton"), "#!/bin/sh\nexec sleep 60\n");
    helper.setExecutePermission (true);
    folder.file ("song").createDirectory();

    auto processor = std::make_unique<Processor>();
    processor->exportHelperLocations.installedHelpers = { helper };
    processor->startBackgroundLoad (folder.file ("song"), {});
    std::this_thread::sleep_for (std::chrono::milliseconds (200)); // the helper is running
    EXPECT_EQ (statusOf (*processor), "Analyzing Orvo folder...");

    const auto start = std::chrono::steady_clock::now();
    processor.reset();
    EXPECT_LT (std::chrono::steady_clock::now() - start, std::chrono::milliseconds (1000));
}

TEST (LoadWorkflow, OfTwoLoadsTheOneFinishingLastIsKept)
{
    TempFolder folder;
    const auto slow = writeManifest (folder.file ("slow"), "Slow");
    const auto fast = writeManifest (folder.file ("fast"), "Fast");

    // The folder load waits half a second in its helper, so the file load
    // started after it finishes first.
    const auto helper = writeText (folder.file ("bin/orvo-to-ableton"),
                                   "#!/bin/sh\nsleep 0.5\ncp \"" + slow.getFullPathName() + "\" \"$2/orvo_sampler_manifest.json\"\n"
                                   "cp \"" + folder.file ("slow/a.wav").getFullPathName() + "\" \"$2/a.wav\"\n");
    helper.setExecutePermission (true);
    folder.file ("song").createDirectory();

    Processor processor;
    processor.exportHelperLocations.installedHelpers = { helper };
    processor.startBackgroundLoad (folder.file ("song"), {});
    processor.startBackgroundLoad (fast, {});

    for (int i = 0; i < 200 && processor.getSongTitle() != "Fast"; ++i)
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
    EXPECT_EQ (processor.getSongTitle(), "Fast");

    for (int i = 0; i < 400 && processor.getSongTitle() != "Slow"; ++i)
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    EXPECT_EQ (processor.getSongTitle(), "Slow");
}
