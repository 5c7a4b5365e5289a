#include "Support/EngineHarness.h"

#include <gtest/gtest.h>

using namespace orvo::test;

namespace
{
constexpr juce::uint32 red = 0xffff0000;
constexpr juce::uint32 blue = 0xff0000ff;

// Loop pads A (slot 0) and B (slot 1) share a colour; C (slot 2) has its own.
// Clip A is a ramp of 10000 samples, B a ramp from 0.5 of 4000, C a constant 0.25.
float clipB (int i)
{
    return 0.5f + static_cast<float> (i) / 65536.0f;
}

Processor& makeLoopRig (Processor& p)
{
    install (p, makePackage ({ rampClip (10000), makeClip (4000, [] (int, int i) { return clipB (i); }),
                               constantClip (0.25f, 3000) },
                            { { { 0, 0, 36, red, true, "A" }, { 1, 1, 37, red, true, "B" }, { 2, 2, 38, blue, true, "C" } } }));
    return p;
}

// Arms pad `note`'s loop by holding it for two beats from clock `pressAt`.
Rendered holdFrom (Processor& p, int note, int pressAt, int releaseAt, int total)
{
    return render (p, total, 512, { { pressAt, noteOn (note) }, { releaseAt, noteOff (note) } });
}

Processor::LoopGroupState group (Processor& p, const juce::String& key)
{
    const juce::ScopedLock sl (p.lock);
    return p.loopGroups[key];
}
} // namespace

TEST (LoopGroups, HoldingTwoBeatsArmsALoopOnTheNextBoundary)
{
    Processor p;
    makeLoopRig (p);

    // Press at 1000: a one-shot at 6000; the hold ends at 49000, the loop starts at 54000.
    const auto out = holdFrom (p, 36, 1000, 60000, 80000);
    EXPECT_EQ (statusOf (p), "Loop armed: A");
    EXPECT_EQ (group (p, "ffff0000").activePad, 0);

    EXPECT_FLOAT_EQ (out.audio.getSample (0, 6000 + 9999), 9999.0f / 65536.0f * 0.85f); // the one-shot
    EXPECT_EQ (out.audio.getSample (0, 16000), 0.0f);
    EXPECT_EQ (out.audio.getSample (0, 53999), 0.0f);
    for (const auto offset : { 0, 1, 9999, 10000, 10001, 20000 }) // and it wraps without a gap
        EXPECT_FLOAT_EQ (out.audio.getSample (0, 54000 + offset), static_cast<float> (offset % 10000) / 65536.0f * 0.85f)
            << offset;
}

TEST (LoopGroups, ReleasingASampleEarlyArmsNothing)
{
    Processor p;
    makeLoopRig (p);
    holdFrom (p, 36, 1000, 48999, 80000);
    EXPECT_EQ (group (p, "ffff0000").activePad, -1);
    EXPECT_EQ (statusOf (p), "Queued: A @ 1/16");
}

TEST (LoopGroups, AHoldEndingOnABlockEndActsBeforeTheNextBlocksRelease)
{
    Processor p;
    makeLoopRig (p);
    render (p, 60000, 1000, { { 1000, noteOn (36) }, { 49000, noteOff (36) } });
    EXPECT_EQ (statusOf (p), "Loop armed: A");
}

TEST (LoopGroups, AQueuedLoopTakesOverGaplesslyAtTheClipEnd)
{
    Processor p;
    makeLoopRig (p);
    holdFrom (p, 36, 1000, 60000, 60000); // A loops from 54000

    auto out = render (p, 20000, 512, { { 1000, noteOn (37) }, { 2000, noteOff (37) } });
    EXPECT_EQ (statusOf (p), "Playing: B");

    // Clock 60000 + i. A's first pass ends at 64000 (i = 4000): B follows at once.
    EXPECT_FLOAT_EQ (out.audio.getSample (0, 3999), 9999.0f / 65536.0f * 0.85f);
    for (const auto offset : { 0, 1, 3999, 4000, 4001, 15999 }) // B from its first sample, looping
        EXPECT_FLOAT_EQ (out.audio.getSample (0, 4000 + offset), clipB (offset % 4000) * 0.85f) << offset;

    const auto state = group (p, "ffff0000");
    EXPECT_EQ (state.activePad, 1);
    EXPECT_EQ (state.queuedPad, -1);
}

TEST (LoopGroups, PressingTheQueuedPadAgainClearsTheQueue)
{
    Processor p;
    makeLoopRig (p);
    holdFrom (p, 36, 1000, 60000, 60000);

    render (p, 512, 512, { { 0, noteOn (37) }, { 10, noteOff (37) } });
    EXPECT_EQ (statusOf (p), "Queued loop: B");
    EXPECT_EQ (group (p, "ffff0000").queuedPad, 1);

    render (p, 512, 512, { { 0, noteOn (37) }, { 10, noteOff (37) } });
    EXPECT_EQ (statusOf (p), "Loop queue cleared");
    EXPECT_EQ (group (p, "ffff0000").queuedPad, -1);
    EXPECT_EQ (group (p, "ffff0000").activePad, 0);
}

TEST (LoopGroups, HoldingTheSoundingLoopStopsItOnABoundary)
{
    Processor p;
    makeLoopRig (p);
    holdFrom (p, 36, 1000, 60000, 60000);

    // Press A at 60100: the hold ends at 108100, the stop fires at 108000 + 6000 = 114000.
    auto out = render (p, 512, 512, { { 100, noteOn (36) } });
    EXPECT_EQ (statusOf (p), "Hold to stop loop: A");

    out = render (p, 48000, 512);
    EXPECT_EQ (statusOf (p), "Stopping loop: A");
    {
        const juce::ScopedLock sl (p.lock);
        ASSERT_EQ (p.pendingTriggers.size(), 1u);
        EXPECT_TRUE (p.pendingTriggers[0].stopGroup);
        EXPECT_EQ (p.pendingTriggers[0].startSample, 114000);
    }

    out = render (p, 6000, 512); // clock 108512 .. 114512
    EXPECT_EQ (statusOf (p), "Loop stopped");
    const int stopAt = 114000 - 108512;
    EXPECT_NE (out.audio.getSample (0, stopAt - 1), 0.0f);
    EXPECT_EQ (firstSound (out.audio, 0, stopAt), -1);
    EXPECT_EQ (group (p, "ffff0000").activePad, -1);
}

TEST (LoopGroups, InStutterModeHoldingTheLoopKeepsIt)
{
    Processor p;
    makeLoopRig (p);
    holdFrom (p, 36, 1000, 60000, 60000);
    {
        const juce::ScopedLock sl (p.lock);
        p.stutterMode = true;
    }

    const auto out = render (p, 120000, 512, { { 100, noteOn (36) } });
    EXPECT_EQ (statusOf (p), "Loop held: A");
    EXPECT_EQ (group (p, "ffff0000").activePad, 0);
    EXPECT_NE (out.audio.getSample (0, 119999), 0.0f);
}

TEST (LoopGroups, TheLatestHoldDecidesTheOneStop)
{
    Processor p;
    makeLoopRig (p);
    holdFrom (p, 36, 1000, 60000, 60000);

    const juce::ScopedLock sl (p.lock);
    p.runHoldActionLocked (0, 70000);
    p.runHoldActionLocked (0, 80000);
    ASSERT_EQ (p.pendingTriggers.size(), 1u);
    EXPECT_EQ (p.pendingTriggers[0].startSample, 84000);
    EXPECT_EQ (p.pendingTriggers[0].padIndex, 0);
}

TEST (LoopGroups, GroupsOfDifferentColoursAreIndependent)
{
    Processor p;
    makeLoopRig (p);
    render (p, 120000, 512, { { 1000, noteOn (36) }, { 60000, noteOff (36) },    // A loops from 54000
                              { 2000, noteOn (38) }, { 60000, noteOff (38) },    // C loops from 54000
                              { 61000, noteOn (36) }, { 115000, noteOff (36) } }); // A stops at 114000

    EXPECT_EQ (group (p, "ffff0000").activePad, -1);
    EXPECT_EQ (group (p, "ff0000ff").activePad, 2);
    const auto out = render (p, 512, 512);
    EXPECT_FLOAT_EQ (out.audio.getSample (0, 100), 0.25f * 0.85f); // C alone
}

TEST (LoopGroups, AnUnusableQueuedPadIsForgottenAndTheLoopWraps)
{
    Processor p;
    makeLoopRig (p);
    holdFrom (p, 36, 1000, 60000, 60000);
    render (p, 512, 512, { { 0, noteOn (37) }, { 10, noteOff (37) } });
    {
        const juce::ScopedLock sl (p.lock);
        p.package.banks[0].pads[1].empty = true; // as a bank change to an empty slot would
    }

    const auto out = render (p, 14000, 512); // through A's clip ends at 64000 and 74000
    const auto state = group (p, "ffff0000");
    EXPECT_EQ (state.activePad, 0);
    EXPECT_EQ (state.queuedPad, -1);
    EXPECT_EQ (statusOf (p), "Queued loop: B");
    EXPECT_FLOAT_EQ (out.audio.getSample (0, 64000 - 60512), 0.0f); // A's sample 0 again
    EXPECT_FLOAT_EQ (out.audio.getSample (0, 64001 - 60512), 1.0f / 65536.0f * 0.85f);
}

TEST (LoopGroups, AStopFiresWithNothingLeftWhenTheGroupIsGone)
{
    Processor p;
    makeLoopRig (p);
    const juce::ScopedLock sl (p.lock);
    p.statusText = "before";
    p.fireLoopStopLocked ({ 0, 0, false, false, true, "ff123456" });
    EXPECT_EQ (p.statusText, "before");
    EXPECT_EQ (p.loopGroups.count ("ff123456"), 0u);
}

TEST (LoopGroups, HandingOverToAnEmptyClipEndsTheLoopQuietly)
{
    Processor p;
    install (p, makePackage ({ rampClip (1000), constantClip (0.5f, 0) },
                            { { { 0, 0, 36, red, true, "A" }, { 1, 1, 37, red, true, "B" } } }));
    {
        const juce::ScopedLock sl (p.lock);
        p.fireStartLocked ({ 0, 0, true, false, false, "ffff0000" });
        p.loopGroups["ffff0000"].queuedPad = 1;
    }

    const auto out = render (p, 2000, 512);
    EXPECT_EQ (firstSound (out.audio, 0, 1000), -1);
    EXPECT_EQ (statusOf (p), "Playing: B");
    const juce::ScopedLock sl (p.lock);
    EXPECT_TRUE (p.activeVoices.empty());
}
