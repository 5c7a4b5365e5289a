#include "Processor/PluginProcessor.h"

#include <cmath>

namespace
{
// The longest grid step or hold the engine schedules: 2^48 samples, about
// 186 years at 48 kHz. Whatever tempo or quantization a document carries,
// boundary arithmetic then stays far from 64-bit overflow.
constexpr double maxScheduledSamples = 281474976710656.0;

// Nearest integer, halves away from zero, at least 1 (NaN included).
juce::int64 toSampleCount (double samples)
{
    if (! (samples >= 1.0))
        return 1;

    return static_cast<juce::int64> (std::round (std::min (samples, maxScheduledSamples)));
}

double beatSeconds (double bpm)
{
    return bpm > 0.0 ? 60.0 / bpm : 0.5;
}
} // namespace

juce::String OrvoSamplerAudioProcessor::quantizationNameLocked() const
{
    // Exact comparisons: a restored document may carry any other value.
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wfloat-equal")
    if (launchQuantizationBeats == 0.25) return "1/16";
    if (launchQuantizationBeats == 0.5)  return "1/8";
    if (launchQuantizationBeats == 1.0)  return "1/4";
    if (launchQuantizationBeats == 2.0)  return "1/2";
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE
    return "1 bar";
}

juce::int64 OrvoSamplerAudioProcessor::quantumSamplesLocked() const
{
    return toSampleCount (currentSampleRate * (launchQuantizationBeats * beatSeconds (package.bpm)));
}

juce::int64 OrvoSamplerAudioProcessor::holdSamplesLocked() const
{
    // Two beats of the package tempo.
    const auto samples = package.bpm > 0.0 ? currentSampleRate * 120.0 / package.bpm : currentSampleRate * 1.0;
    return toSampleCount (samples);
}

juce::int64 OrvoSamplerAudioProcessor::nextBoundaryLocked (juce::int64 now) const
{
    // Strictly after `now`: a request on a boundary waits a whole step.
    const auto quantum = quantumSamplesLocked();
    return (now / quantum + 1) * quantum;
}

double OrvoSamplerAudioProcessor::playbackIncrementLocked (const PadClip& clip) const
{
    const auto increment = clip.sampleRate / currentSampleRate;
    return std::isfinite (increment) && increment > 0.0 ? increment : 1.0;
}

void OrvoSamplerAudioProcessor::schedulePadStartLocked (const PadAssignment& pad, bool asLoop, bool stutter,
                                                        juce::int64 now)
{
    cancelPendingStartsForPadLocked (pad.padIndex, false);

    PendingTrigger entry;
    entry.padIndex = pad.padIndex;
    entry.startSample = nextBoundaryLocked (now);
    entry.asLoop = asLoop;
    entry.stutter = stutter;
    entry.stopGroup = false;
    entry.groupKey = groupKeyFor (pad);
    pendingTriggers.push_back (entry);
}

void OrvoSamplerAudioProcessor::cancelPendingStartsForPadLocked (int padIndex, bool stutterOnly)
{
    const auto cancelled = [padIndex, stutterOnly] (const PendingTrigger& entry) {
        return ! entry.stopGroup && entry.padIndex == padIndex && (! stutterOnly || entry.stutter);
    };

    pendingTriggers.erase (std::remove_if (pendingTriggers.begin(), pendingTriggers.end(), cancelled),
                           pendingTriggers.end());
}

void OrvoSamplerAudioProcessor::fireStartLocked (const PendingTrigger& entry)
{
    // The pad of the bank current now, which may differ from the bank of the press.
    const auto* pad = findPadLocked (entry.padIndex);

    if (pad == nullptr || pad->clipIndex < 0 || pad->clipIndex >= static_cast<int> (package.clips.size()))
        return;

    const auto key = groupKeyFor (*pad);
    const auto padIndex = pad->padIndex;

    // A one-shot retrigger leaves the pad's loop sounding; a loop start cuts everything of the pad.
    for (auto& voice : activeVoices)
        if (voice.padIndex == padIndex && (entry.asLoop || ! voice.inLoopGroup))
            voice.active = false;

    ActiveVoice voice;
    voice.clipIndex = pad->clipIndex;
    voice.padIndex = padIndex;
    voice.position = 0.0;
    voice.increment = playbackIncrementLocked (package.clips[static_cast<size_t> (pad->clipIndex)]);
    voice.inLoopGroup = entry.asLoop;
    voice.active = true;
    voice.stutter = entry.stutter;
    voice.groupKey = key;

    if (entry.asLoop)
    {
        activeVoices.erase (std::remove_if (activeVoices.begin(), activeVoices.end(),
                                            [&key] (const ActiveVoice& v) { return v.inLoopGroup && v.groupKey == key; }),
                            activeVoices.end());
        loopGroups[key] = { padIndex, -1 };
    }

    activeVoices.push_back (voice);

    if (padIndex >= 0 && padIndex < padsPerBank)
        padFeedbackActive[static_cast<size_t> (padIndex)] = true;

    queuePadFeedbackLocked (padIndex);
}
