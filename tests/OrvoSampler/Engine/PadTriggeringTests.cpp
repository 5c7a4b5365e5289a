#include "Support/EngineHarness.h"

#include <gtest/gtest.h>

using namespace orvo::test;

namespace
{
void setStutter (Processor& p, bool on)
{
    const juce::ScopedLock sl (p.lock);
    p.stutterMode = on;
}
} // namespace

TEST (PadTriggering, APressQueuesAStartRecordsThePressAndSaysSo)
{
    Processor p;
    install (p, makePackage ({ constantClip (0.5f, 100) }, { { { 5, 0, 41, 0xff3366cc, false, "Kick" } } }));

    const std::pair<double, const char*> steps[] = { { 1.0, "1/4" }, { 0.5, "1/8" }, { 3.0, "1 bar" } };
    for (const auto& [beats, name] : steps)
    {
        const juce::ScopedLock sl (p.lock);
        p.launchQuantizationBeats = beats;
        p.triggerPadLocked (5, -1, 1234);
        EXPECT_EQ (p.statusText, juce::String ("Queued: Kick @ ") + name);
    }

    const juce::ScopedLock sl (p.lock);
    EXPECT_EQ (p.lastTriggeredPad, 5);
    ASSERT_EQ (p.pendingTriggers.size(), 1u);
    ASSERT_EQ (p.pressStates.count (5), 1u);
    const auto& press = p.pressStates.at (5);
    EXPECT_EQ (press.padIndex, 5);
    EXPECT_EQ (press.note, 41); // the pad's own note for an editor press
    EXPECT_EQ (press.pressSample, 1234);
    EXPECT_FALSE (press.longPressHandled);
    EXPECT_FALSE (press.stutter);
    EXPECT_EQ (p.loopGroups.count ("ff3366cc"), 1u); // one-shots get a group entry too
    EXPECT_EQ (p.pendingMidiOut.getNumEvents(), 3);   // one LED message per press
}

TEST (PadTriggering, PressesOnUnplayablePadsAreIgnoredSilently)
{
    Processor p;
    auto package = makePackage ({ constantClip (0.5f, 100) }, { { { 0, 0, 36 }, { 1, 7, 37 } } });
    install (p, std::move (package));

    const juce::ScopedLock sl (p.lock);
    p.lastTriggeredPad = 9;
    p.statusText = "before";

    for (const auto slot : { 1, 2, -1, 64 }) // bad clip index, empty, out of range
        p.triggerPadLocked (slot, -1, 0);

    EXPECT_EQ (p.lastTriggeredPad, 9);
    EXPECT_EQ (p.statusText, "before");
    EXPECT_TRUE (p.pressStates.empty());
    EXPECT_TRUE (p.pendingTriggers.empty());
    EXPECT_TRUE (p.pendingMidiOut.isEmpty());
}

TEST (PadTriggering, NotesFindTheFirstPadAndReleasesTheLowestPress)
{
    Processor p;
    install (p, makePackage ({ constantClip (0.5f, 100) }, { { { 4, 0, 50 }, { 9, 0, 50 }, { 2, 0, 60 } } }));

    render (p, 64, 64, { { 0, noteOn (50) } });
    {
        const juce::ScopedLock sl (p.lock);
        ASSERT_EQ (p.pressStates.size(), 1u);
        EXPECT_EQ (p.pressStates.count (4), 1u);
        p.triggerPadLocked (9, 50, p.samplePosition); // a second press with the same note
        p.triggerPadLocked (2, -1, p.samplePosition); // an editor press: its own note, 60
    }

    render (p, 64, 64, { { 0, noteOff (50) }, { 1, noteOff (60) } });
    const juce::ScopedLock sl (p.lock);
    ASSERT_EQ (p.pressStates.size(), 1u);
    EXPECT_EQ (p.pressStates.count (9), 1u);
}

TEST (PadTriggering, StutterPressesSoundOnlyWhileHeld)
{
    Processor p;
    install (p, makePackage ({ constantClip (1.0f, 100000) }, { { { 0, 0, 36 } } }));
    setStutter (p, true);

    // Released before its start: never sounds.
    auto out = render (p, 12000, 512, { { 10, noteOn (36) }, { 5000, noteOff (36) } });
    EXPECT_EQ (firstSound (out.audio), -1);

    // Held over the start: sounds from 12000 up to the block of the release.
    out = render (p, 12288, 512, { { 100, noteOn (36) }, { 9000, noteOff (36) } });
    EXPECT_EQ (firstSound (out.audio), 6000);      // clock 18000
    EXPECT_EQ (firstSound (out.audio, 0, 8704), -1); // silent from the release's block start (9000 lies in 8704..9215)
    EXPECT_NE (out.audio.getSample (0, 8703), 0.0f);
}

TEST (PadTriggering, ThePressNotTheModeDecidesWhatAReleaseSilences)
{
    Processor p;
    install (p, makePackage ({ constantClip (1.0f, 100000) }, { { { 0, 0, 36 } } }));

    // A stutter press released after stutter mode went off still stops.
    setStutter (p, true);
    render (p, 7000, 512, { { 0, noteOn (36) } });
    setStutter (p, false);
    auto out = render (p, 1024, 512, { { 0, noteOff (36) } });
    EXPECT_EQ (firstSound (out.audio), -1);

    // A normal press released in stutter mode keeps playing.
    render (p, 8000, 512, { { 0, noteOn (36) } });
    setStutter (p, true);
    out = render (p, 1024, 512, { { 0, noteOff (36) } });
    EXPECT_EQ (firstSound (out.audio), 0);

    // With no press record the current mode decides, and the LED is still refreshed.
    {
        const juce::ScopedLock sl (p.lock);
        p.pendingMidiOut.clear();
        p.activeVoices[0].stutter = true;
        p.releasePadLocked (0, -1);
        EXPECT_FALSE (p.activeVoices[0].active);
        EXPECT_EQ (p.pendingMidiOut.getNumEvents(), 1);
    }
}
