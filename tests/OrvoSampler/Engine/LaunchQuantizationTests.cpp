#include "Support/EngineHarness.h"

#include <gtest/gtest.h>

#include <limits>

using namespace orvo::test;

namespace
{
constexpr juce::int64 maxSchedule = juce::int64 { 1 } << 48;
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

struct Timing
{
    double rate;
    double bpm;
    double beats;
};

void configure (Processor& p, Timing t)
{
    const juce::ScopedLock sl (p.lock);
    p.currentSampleRate = t.rate;
    p.package.bpm = t.bpm;
    p.launchQuantizationBeats = t.beats;
}

std::vector<Processor::PendingTrigger> pending (Processor& p)
{
    const juce::ScopedLock sl (p.lock);
    return p.pendingTriggers;
}
} // namespace

TEST (LaunchQuantization, GridStepAndHoldTimeForEveryTempoAndStep)
{
    struct Case
    {
        Timing timing;
        juce::int64 quantum;
        juce::int64 hold;
    };

    const Case cases[] = {
        { { 48000, 120, 0.25 }, 6000, 48000 },
        { { 48000, 120, 0.5 }, 12000, 48000 },
        { { 48000, 120, 1 }, 24000, 48000 },
        { { 48000, 120, 2 }, 48000, 48000 },
        { { 48000, 120, 4 }, 96000, 48000 },
        { { 44100, 100, 0.25 }, 6615, 52920 },
        { { 44100, 90, 0.25 }, 7350, 58800 },
        { { 48000, 0, 0.25 }, 6000, 48000 },      // no tempo counts as 120
        { { 48000, -5, 1 }, 24000, 48000 },
        { { 48000, 120, 3 }, 72000, 48000 },      // a restored odd step still works
        { { 48000, 120, 0 }, 1, 48000 },          // step of one sample
        { { 48000, 7e5, 0.25 }, 1, 8 },            // 1.03 samples and 8.2 round to 1 and 8
        // Extreme but finite values saturate instead of overflowing.
        { { 48000, 120, 1e300 }, maxSchedule, 48000 },
        { { 48000, 1e-300, 0.25 }, maxSchedule, maxSchedule },
        { { 48000, 1e300, 4 }, 1, 1 },
        { { 48000, 120, -2 }, 1, 48000 },
        { { 48000, 120, notANumber }, 1, 48000 },
        { { 48000, notANumber, 1 }, 24000, 48000 },
        { { 0, 120, 1 }, 1, 1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.timing.rate) + " Hz, " + juce::String (c.timing.bpm) + " bpm, "
                      + juce::String (c.timing.beats) + " beats");
        Processor p;
        configure (p, c.timing);
        const juce::ScopedLock sl (p.lock);
        EXPECT_EQ (p.quantumSamplesLocked(), c.quantum);
        EXPECT_EQ (p.holdSamplesLocked(), c.hold);
    }
}

TEST (LaunchQuantization, StartsFallStrictlyAfterTheRequest)
{
    const std::tuple<Timing, juce::int64, juce::int64> cases[] = {
        { { 48000, 120, 0.25 }, 12000, 18000 }, // on a boundary: a full step later
        { { 48000, 120, 0.25 }, 12001, 18000 },
        { { 48000, 120, 0.25 }, 0, 6000 },
        { { 48000, 120, 4 }, 1, 96000 },
        { { 48000, 120, 0 }, 5, 6 },
        { { 48000, 120, 1e300 }, juce::int64 { 1 } << 60, (juce::int64 { 1 } << 60) + maxSchedule },
    };

    for (const auto& [timing, now, start] : cases)
    {
        Processor p;
        configure (p, timing);
        const juce::ScopedLock sl (p.lock);
        EXPECT_EQ (p.nextBoundaryLocked (now), start) << now;
    }
}

TEST (LaunchQuantization, ANoteStartsOnTheNextBoundaryToTheSample)
{
    Processor p;
    install (p, makePackage ({ constantClip (1.0f, 20000) }, { { { 0, 0, 36 } } }));
    render (p, 48000, 512);

    // Press at clock 48100: the start is at 54000, 5900 samples later.
    const auto out = render (p, 12000, 512, { { 100, noteOn (36) } });
    EXPECT_EQ (firstSound (out.audio, 0), 6000);
    EXPECT_FLOAT_EQ (out.audio.getSample (0, 6000), 0.85f);
    EXPECT_FLOAT_EQ (out.audio.getSample (1, 6000), 0.85f);
}

TEST (LaunchQuantization, APadHasOneQueuedStartAndStopsSurviveNewStarts)
{
    Processor p;
    install (p, makePackage ({ constantClip (1.0f, 100) }, { { { 3, 0, 39 } } }));

    {
        const juce::ScopedLock sl (p.lock);
        Processor::PendingTrigger stop;
        stop.padIndex = 3;
        stop.startSample = 999999;
        stop.stopGroup = true;
        p.pendingTriggers.push_back (stop);
        p.triggerPadLocked (3, -1, 100);
        p.triggerPadLocked (3, -1, 6500);
    }

    const auto entries = pending (p);
    ASSERT_EQ (entries.size(), 2u);
    EXPECT_TRUE (entries[0].stopGroup);
    EXPECT_FALSE (entries[1].stopGroup);
    EXPECT_EQ (entries[1].startSample, 12000);
    EXPECT_EQ (entries[1].padIndex, 3);
    EXPECT_EQ (entries[1].groupKey, "ff3366cc");
}

TEST (LaunchQuantization, TheBankCurrentAtTheStartDecidesWhatPlays)
{
    Processor p;
    auto package = makePackage ({ constantClip (0.25f, 20000), constantClip (0.5f, 20000) },
                                { { { 0, 0, 36 }, { 1, 0, 37 } }, { { 0, 1, 36 } } });
    package.banks[1].pads[1].clipIndex = -1; // slot 1 of bank 2 has no clip
    install (p, std::move (package));

    {
        const juce::ScopedLock sl (p.lock);
        p.triggerPadLocked (0, -1, 0);
        p.triggerPadLocked (1, -1, 0);
        p.currentBank = 1;
    }

    const auto out = render (p, 8000, 512);
    EXPECT_FLOAT_EQ (out.audio.getSample (0, 6000), 0.5f * 0.85f); // bank 2's clip, and nothing for slot 1

    const juce::ScopedLock sl (p.lock);
    ASSERT_EQ (p.activeVoices.size(), 1u);
    EXPECT_EQ (p.activeVoices[0].clipIndex, 1);
    EXPECT_TRUE (p.pendingTriggers.empty());
}

TEST (LaunchQuantization, AnEmptiedPadWithAClipStillStarts)
{
    Processor p;
    install (p, makePackage ({ constantClip (1.0f, 20000) }, { { { 0, 0, 36 } } }));
    {
        const juce::ScopedLock sl (p.lock);
        p.triggerPadLocked (0, -1, 0);
        p.package.banks[0].pads[0].empty = true;
    }
    EXPECT_EQ (firstSound (render (p, 8000, 512).audio), 6000);
}

TEST (LaunchQuantization, OneShotsAndLoopsOfOnePadCutEachOtherAsSpecified)
{
    Processor p;
    install (p, makePackage ({ constantClip (1.0f, 100000) }, { { { 0, 0, 36, 0xffff0000, true } } }));
    const juce::ScopedLock sl (p.lock);

    p.fireStartLocked ({ 0, 0, true, false, false, "ffff0000" });  // the pad's loop
    p.fireStartLocked ({ 0, 0, false, false, false, "ffff0000" }); // a one-shot on top
    ASSERT_EQ (p.activeVoices.size(), 2u);
    EXPECT_TRUE (p.activeVoices[0].active);
    EXPECT_TRUE (p.activeVoices[1].active);

    p.fireStartLocked ({ 0, 0, false, false, false, "ffff0000" }); // retrigger cuts the one-shot only
    EXPECT_TRUE (p.activeVoices[0].active);
    EXPECT_FALSE (p.activeVoices[1].active);
    EXPECT_TRUE (p.activeVoices[2].active);

    p.fireStartLocked ({ 0, 0, true, false, false, "ffff0000" }); // a loop start cuts everything of the pad
    ASSERT_EQ (p.activeVoices.size(), 3u);                         // the old loop is removed at once
    EXPECT_FALSE (p.activeVoices[0].active);
    EXPECT_FALSE (p.activeVoices[1].active);
    EXPECT_TRUE (p.activeVoices[2].active);
    EXPECT_TRUE (p.activeVoices[2].inLoopGroup);
    EXPECT_EQ (p.loopGroups["ffff0000"].activePad, 0);
    EXPECT_TRUE (p.padFeedbackActive[0]);
}
