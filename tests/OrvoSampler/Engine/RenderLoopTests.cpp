#include "Support/EngineHarness.h"

#include <gtest/gtest.h>

using namespace orvo::test;

namespace
{
using Bytes = std::vector<juce::uint8>;

// Presses pad `slot` so that its voice's first sample is clock value `at`
// (a multiple of 6000: the grid is 1/16 at 120 bpm and 48 kHz).
void pressBefore (Processor& p, int slot, juce::int64 at)
{
    const juce::ScopedLock sl (p.lock);
    p.triggerPadLocked (slot, -1, at - 1);
}
} // namespace

TEST (RenderLoop, AOneShotSoundsForItsLengthThenEndsWithAnLedRefresh)
{
    Processor p;
    install (p, makePackage ({ rampClip (1000) }, { { { 0, 0, 36 } } }));
    pressBefore (p, 0, 6000);

    const auto out = render (p, 8000, 8000);
    for (int j = 0; j < 1000; ++j)
        ASSERT_FLOAT_EQ (out.audio.getSample (0, 6000 + j), static_cast<float> (j) / 65536.0f * 0.85f) << j;
    EXPECT_EQ (firstSound (out.audio, 0, 7000), -1);

    const juce::ScopedLock sl (p.lock);
    EXPECT_TRUE (p.activeVoices.empty());
    EXPECT_FALSE (p.padFeedbackActive[0]);

    // At the press (idle), at the start (lit) and at the end (idle again).
    ASSERT_EQ (out.midiOut.size(), 3u);
    EXPECT_EQ (bytesOf (out.midiOut[0].message), (Bytes { 0x90, 36, 81 }));
    EXPECT_EQ (bytesOf (out.midiOut[1].message), (Bytes { 0x90, 36, 122 }));
    EXPECT_EQ (bytesOf (out.midiOut[2].message), (Bytes { 0x90, 36, 81 }));
}

TEST (RenderLoop, InterpolatesLinearlyAtTheClipToHostRateRatio)
{
    Processor p;
    install (p, makePackage ({ rampClip (2000, 2, 44100.0) }, { { { 0, 0, 36 } } }));
    pressBefore (p, 0, 6000);

    const auto out = render (p, 6200, 512);
    {
        const juce::ScopedLock sl (p.lock);
        EXPECT_DOUBLE_EQ (p.activeVoices[0].increment, 0.91875);
    }

    double position = 0.0;
    for (int j = 0; j < 200; ++j, position += 0.91875)
    {
        const auto k = static_cast<int> (position);
        const auto frac = static_cast<float> (position - k);
        const auto a = static_cast<float> (k) / 65536.0f;
        const auto b = static_cast<float> (k + 1) / 65536.0f;
        ASSERT_FLOAT_EQ (out.audio.getSample (1, 6000 + j), (a + frac * (b - a)) * 0.85f) << j;
    }
}

TEST (RenderLoop, MapsClipChannelsOntoMonoAndStereoOutputs)
{
    const auto perChannel = [] (int channels) {
        return makeClip (100, [] (int c, int) { return 0.1f * static_cast<float> (c + 1); }, channels);
    };

    struct Case
    {
        int clipChannels;
        int outputChannels;
        std::vector<float> expected; // per output channel, before the gain
    };

    const Case cases[] = {
        { 1, 2, { 0.1f, 0.1f } },
        { 2, 2, { 0.1f, 0.2f } },
        { 4, 2, { 0.1f, 0.2f } },
        { 1, 1, { 0.1f } },
        { 2, 1, { 0.1f } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.clipChannels) + " clip channels on " + juce::String (c.outputChannels));
        Processor p;
        install (p, makePackage ({ perChannel (c.clipChannels) }, { { { 0, 0, 36 } } }));
        pressBefore (p, 0, 6000);
        const auto out = render (p, 6050, 512, {}, c.outputChannels);

        for (int ch = 0; ch < c.outputChannels; ++ch)
            EXPECT_FLOAT_EQ (out.audio.getSample (ch, 6010), c.expected[static_cast<size_t> (ch)] * 0.85f) << ch;
    }
}

TEST (RenderLoop, IncomingEventsStayAndQueuedMidiFollowsThemAtTheBlockStart)
{
    Processor p;
    install (p, makePackage ({ constantClip (0.5f, 100) }, { { { 0, 0, 36 } } }));
    p.setHardwareControlValue ("knob1", 1.0f);

    juce::AudioBuffer<float> audio (2, 256);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::controllerEvent (3, 7, 100), 0);
    midi.addEvent (noteOn (36), 10);
    p.processBlock (audio, midi);

    std::vector<std::pair<int, Bytes>> events;
    for (const auto event : midi)
        events.emplace_back (event.samplePosition, bytesOf (event.getMessage()));

    const std::vector<std::pair<int, Bytes>> expected {
        { 0, { 0xB2, 7, 100 } },   // the host's own
        { 0, { 0xB0, 20, 127 } },  // knob1, queued before the block
        { 0, { 0x90, 36, 81 } },   // the pad's LED, from the press at offset 10
        { 10, { 0x90, 36, 100 } }, // the host's own
    };
    EXPECT_EQ (events, expected);
}

TEST (RenderLoop, AnEmptyBlockRecordsPressesButFiresAndSendsNothing)
{
    Processor p;
    install (p, makePackage ({ constantClip (0.5f, 100) }, { { { 0, 0, 36 } } }));
    {
        const juce::ScopedLock sl (p.lock);
        p.samplePosition = 5999;
    }

    juce::AudioBuffer<float> audio (2, 0);
    juce::MidiBuffer midi;
    midi.addEvent (noteOn (36), 0);
    p.processBlock (audio, midi);

    EXPECT_EQ (midi.getNumEvents(), 1); // only the host's note; the LED is dropped
    const juce::ScopedLock sl (p.lock);
    EXPECT_EQ (p.samplePosition, 5999);
    EXPECT_EQ (p.pressStates.size(), 1u);
    ASSERT_EQ (p.pendingTriggers.size(), 1u);
    EXPECT_EQ (p.pendingTriggers[0].startSample, 6000);
    EXPECT_TRUE (p.activeVoices.empty());
    EXPECT_TRUE (p.pendingMidiOut.isEmpty());
}

TEST (RenderLoop, StartsDueBeforeTheBlockFireAtItsFirstSample)
{
    Processor p;
    install (p, makePackage ({ constantClip (1.0f, 100), constantClip (0.5f, 100) }, { { { 0, 0, 36 }, { 1, 1, 37 } } }));
    {
        const juce::ScopedLock sl (p.lock);
        p.triggerPadLocked (0, -1, 0);
        p.triggerPadLocked (1, -1, 10);
        p.samplePosition = 7000; // both starts (6000) are overdue
    }

    const auto out = render (p, 64, 64);
    EXPECT_FLOAT_EQ (out.audio.getSample (0, 0), 1.5f * 0.85f); // both voices from the block's first sample
}

TEST (RenderLoop, TheSamePerformanceRendersIdenticallyInAnyBlockSize)
{
    // One-shots, a loop armed by a two-beat hold and released late, a
    // hand-over to a second loop of the colour, and a stop by holding it.
    const auto performance = [] (int blockSize) {
        Processor p;
        install (p, makePackage ({ rampClip (3000), constantClip (0.25f, 7000), constantClip (-0.5f, 5000),
                                   rampClip (18000, 1, 44100.0) },
                                 { { { 0, 0, 36 }, { 1, 1, 37, 0xffff0000, true }, { 2, 2, 38, 0xffff0000, true },
                                     { 3, 3, 39 } } }));
        return render (p, 400000, blockSize,
                       { { 100, noteOn (36) },
                         { 3333, noteOn (39) },
                         { 10000, noteOn (37) }, { 70001, noteOff (37) },     // held past two beats: armed
                         { 80000, noteOn (38) }, { 81000, noteOff (38) },     // queued for the hand-over
                         { 150000, noteOn (36) },
                         { 200000, noteOn (38) }, { 260000, noteOff (38) } }) // held: the loop stops
            .audio;
    };

    const auto reference = performance (512);
    EXPECT_GT (reference.getMagnitude (0, 200000), 0.1f);
    EXPECT_EQ (firstSound (reference, 0, 280000), -1); // the stop silenced everything

    for (const auto blockSize : { 64, 1000, 4096 })
    {
        const auto other = performance (blockSize);
        int mismatches = 0;
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < reference.getNumSamples(); ++i)
                mismatches += reference.getSample (ch, i) != other.getSample (ch, i) ? 1 : 0;
        EXPECT_EQ (mismatches, 0) << "block size " << blockSize;
    }
}

TEST (RenderLoop, VoicesWhoseClipVanishedAreSkippedSilently)
{
    Processor p;
    install (p, makePackage ({ constantClip (1.0f, 100) }, { { { 0, 0, 36 } } }));
    {
        const juce::ScopedLock sl (p.lock);
        Processor::ActiveVoice ghost;
        ghost.clipIndex = 5;
        ghost.padIndex = 0;
        p.activeVoices.push_back (ghost);
    }

    const auto out = render (p, 256, 256);
    EXPECT_EQ (firstSound (out.audio), -1);
    const juce::ScopedLock sl (p.lock);
    EXPECT_EQ (p.activeVoices.size(), 1u);
    EXPECT_TRUE (p.padFeedbackActive[0]);
}

TEST (RenderLoop, TruncatedChannelMessagesAreIgnored)
{
    Processor p;
    install (p, makePackage ({ constantClip (1.0f, 100) }, { { { 0, 0, 36 } } }));

    juce::AudioBuffer<float> audio (2, 64);
    juce::MidiBuffer midi;
    const juce::uint8 shortNoteOn[] = { 0x90, 36 };
    const juce::uint8 shortController[] = { 0xB0, 20 };
    midi.addEvent (shortNoteOn, 2, 0);
    midi.addEvent (shortController, 2, 1);
    p.processBlock (audio, midi);

    const juce::ScopedLock sl (p.lock);
    EXPECT_TRUE (p.pressStates.empty());
    EXPECT_EQ (p.hardwareControls[0].value, 0.5f);
}
