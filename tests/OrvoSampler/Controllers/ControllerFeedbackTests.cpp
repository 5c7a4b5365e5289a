#include "Controllers/ControllerProfiles.h"

#include "Support/EngineHarness.h"

#include <gtest/gtest.h>

using namespace orvo::test;

namespace
{
using Bytes = std::vector<juce::uint8>;

Bytes padStateBytes (ControllerProfile profile, const PadAssignment& pad, bool active)
{
    juce::MidiBuffer out;
    ControllerFeedback::addPadState (out, profile, pad, active, 0);
    EXPECT_EQ (out.getNumEvents(), 1);
    const auto event = *out.begin();
    EXPECT_EQ (event.samplePosition, 0);
    return bytesOf (event.getMessage());
}

PadAssignment padWith (juce::uint32 argb, int note = 36, int channel = 1, bool empty = false)
{
    PadAssignment pad;
    pad.colour = juce::Colour (argb);
    pad.note = note;
    pad.midiChannel = channel;
    pad.empty = empty;
    return pad;
}

Bytes launchpad (int note, juce::uint8 r, juce::uint8 g, juce::uint8 b)
{
    return { 0xF0, 0x00, 0x20, 0x29, 0x02, 0x0C, 0x03, 0x03, static_cast<juce::uint8> (note), r, g, b, 0xF7 };
}
} // namespace

TEST (ControllerFeedback, BuildsTheExactBytesOfEveryProfile)
{
    const auto push = ControllerProfile::abletonPush;
    const auto generic = ControllerProfile::generic8x8;
    const auto lpx = ControllerProfile::launchpadX;

    struct Case
    {
        const char* name;
        ControllerProfile profile;
        PadAssignment pad;
        bool active;
        Bytes expected;
    };

    const Case cases[] = {
        { "red idle", push, padWith (0xffff0000), false, { 0x90, 36, 9 } },
        { "green idle", push, padWith (0xff00ff00), false, { 0x90, 36, 44 } },
        { "blue idle", push, padWith (0xff0000ff), false, { 0x90, 36, 81 } },
        { "magenta idle", push, padWith (0xffff00ff), false, { 0x90, 36, 53 } },
        { "orange idle", push, padWith (0xffff8000), false, { 0x90, 36, 13 } },
        { "yellow idle", push, padWith (0xffffff00), false, { 0x90, 36, 17 } },
        { "cyan idle", push, padWith (0xff00ffff), false, { 0x90, 36, 49 } },
        { "white idle", push, padWith (0xffffffff), false, { 0x90, 36, 9 } },
        { "grey idle", generic, padWith (0xff808080), false, { 0x90, 36, 9 } },
        { "red active", push, padWith (0xffff0000), true, { 0x90, 36, 122 } },
        { "red active generic", generic, padWith (0xffff0000), true, { 0x90, 36, 122 } },
        { "empty active", generic, padWith (0xffff0000, 36, 1, true), true, { 0x90, 36, 2 } },
        { "channel 0 to 1", generic, padWith (0xffff0000, 40, 0), false, { 0x90, 40, 9 } },
        { "channel 99 to 16", generic, padWith (0xffff0000, 40, 99), false, { 0x9F, 40, 9 } },
        { "channel 10", push, padWith (0xffff0000, 40, 10), false, { 0x99, 40, 9 } },
        { "note 200 masked", generic, padWith (0xffff0000, 200), false, { 0x90, 72, 9 } },
        { "lpx empty idle", lpx, padWith (0xffff0000, 11, 5, true), false, launchpad (11, 0x05, 0x06, 0x06) },
        { "lpx red idle", lpx, padWith (0xffff0000, 11), false, launchpad (11, 127, 0, 0) },
        { "lpx red active", lpx, padWith (0xffff0000, 11), true, launchpad (11, 127, 58, 58) },
        { "lpx note 200 clamped", lpx, padWith (0xff3366cc, 200), false, launchpad (127, 0x19, 0x33, 0x66) },
        { "lpx note -4 clamped", lpx, padWith (0xff3366cc, -4), false, launchpad (0, 0x19, 0x33, 0x66) },
    };

    for (const auto& c : cases)
        EXPECT_EQ (padStateBytes (c.profile, c.pad, c.active), c.expected) << c.name;
}

TEST (ControllerFeedback, LighteningGoesHalfWayTowardsWhiteAndIgnoresAlpha)
{
    const auto lit = ControllerFeedback::feedbackColour (padWith (0x40ff0000), true);
    EXPECT_EQ (lit.getRed(), 255);
    EXPECT_EQ (lit.getGreen(), 117);
    EXPECT_EQ (lit.getBlue(), 117);
    EXPECT_EQ (ControllerFeedback::feedbackColour (padWith (0xff3366cc, 36, 1, true), false).getARGB(), 0xff0a0c0du);
}

TEST (ControllerFeedback, ProfilesCycleAndHaveTheirNames)
{
    EXPECT_EQ (nextControllerProfile (ControllerProfile::generic8x8), ControllerProfile::abletonPush);
    EXPECT_EQ (nextControllerProfile (ControllerProfile::abletonPush), ControllerProfile::launchpadX);
    EXPECT_EQ (nextControllerProfile (ControllerProfile::launchpadX), ControllerProfile::generic8x8);
    EXPECT_EQ (nextControllerProfile (static_cast<ControllerProfile> (7)), ControllerProfile::generic8x8);
    EXPECT_EQ (getControllerProfileName (ControllerProfile::generic8x8), "Generic 8x8");
    EXPECT_EQ (getControllerProfileName (ControllerProfile::abletonPush), "Ableton Push");
    EXPECT_EQ (getControllerProfileName (ControllerProfile::launchpadX), "Launchpad X");
}

TEST (PadFeedback, QueuesNothingWithoutAPackage)
{
    Processor p;
    const juce::ScopedLock sl (p.lock);
    p.queuePadFeedbackLocked (3);
    p.sendAllPadFeedbackLocked();
    EXPECT_TRUE (p.pendingMidiOut.isEmpty());
}

TEST (PadFeedback, RecomputesOnePadButSendsAllFromTheStoredFlags)
{
    Processor p;
    install (p, makePackage ({ constantClip (0.5f, 100) }, { { { 0, 0, 40, 0xffff0000 }, { 1, 0, 41, 0xffff0000 } } }));
    const juce::ScopedLock sl (p.lock);
    p.controllerProfile = ControllerProfile::abletonPush;

    Processor::ActiveVoice voice;
    voice.clipIndex = 0;
    voice.padIndex = 1;
    p.activeVoices.push_back (voice);

    p.queuePadFeedbackLocked (1);
    EXPECT_TRUE (p.padFeedbackActive[1]);
    ASSERT_EQ (p.pendingMidiOut.getNumEvents(), 1);
    EXPECT_EQ (bytesOf ((*p.pendingMidiOut.begin()).getMessage()), (Bytes { 0x90, 41, 122 }));

    p.pendingMidiOut.clear();
    p.padFeedbackActive[1] = false; // stored flags win over the voices
    p.sendAllPadFeedbackLocked();
    ASSERT_EQ (p.pendingMidiOut.getNumEvents(), 64);

    std::vector<Bytes> messages;
    for (const auto event : p.pendingMidiOut)
        messages.push_back (bytesOf (event.getMessage()));

    EXPECT_EQ (messages[0], (Bytes { 0x90, 40, 9 }));
    EXPECT_EQ (messages[1], (Bytes { 0x90, 41, 9 }));
    EXPECT_EQ (messages[63], (Bytes { 0x90, 36, 2 })); // empty slots are included
}
