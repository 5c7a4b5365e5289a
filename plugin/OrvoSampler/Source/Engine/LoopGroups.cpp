#include "Processor/PluginProcessor.h"

void OrvoSamplerAudioProcessor::queueLoopPadLocked (const PadAssignment& pad, LoopGroupState& group)
{
    group.queuedPad = pad.padIndex;
    statusText = "Queued loop: " + pad.name;
    queuePadFeedbackLocked (pad.padIndex);
}

void OrvoSamplerAudioProcessor::runHoldActionLocked (int padIndex, juce::int64 holdTime)
{
    const auto* found = findPadLocked (padIndex);
    const auto* clip = found != nullptr ? findPlayableClipLocked (*found) : nullptr;

    if (clip == nullptr || ! isLoopTypePad (*found, *clip))
        return;

    const auto& pad = *found;
    const auto key = groupKeyFor (pad);
    auto& group = loopGroups[key];

    if (group.activePad == pad.padIndex)
    {
        if (stutterMode)
            return;

        // One pending stop per group: the latest hold decides when.
        pendingTriggers.erase (std::remove_if (pendingTriggers.begin(), pendingTriggers.end(),
                                               [&key] (const PendingTrigger& e) { return e.stopGroup && e.groupKey == key; }),
                               pendingTriggers.end());

        PendingTrigger stop;
        stop.padIndex = group.activePad;
        stop.startSample = nextBoundaryLocked (holdTime);
        stop.stopGroup = true;
        stop.groupKey = key;
        pendingTriggers.push_back (stop);

        statusText = "Stopping loop: " + pad.name;
        return;
    }

    if (group.activePad >= 0)
    {
        queueLoopPadLocked (pad, group);
        return;
    }

    if (stutterMode)
        return;

    schedulePadStartLocked (pad, true, false, holdTime);
    statusText = "Loop armed: " + pad.name;
}

void OrvoSamplerAudioProcessor::fireLoopStopLocked (const PendingTrigger& entry)
{
    const auto found = loopGroups.find (entry.groupKey);

    if (found == loopGroups.end())
        return;

    auto& group = found->second;
    const auto stoppedPad = group.activePad;
    const auto queuedPad = group.queuedPad;

    for (auto& voice : activeVoices)
        if (voice.inLoopGroup && voice.groupKey == entry.groupKey)
            voice.active = false;

    // A queued successor goes with the loop.
    group = {};

    if (stoppedPad >= 0)
        queuePadFeedbackLocked (stoppedPad);

    if (queuedPad >= 0 && queuedPad != stoppedPad)
        queuePadFeedbackLocked (queuedPad);

    statusText = "Loop stopped";
}

bool OrvoSamplerAudioProcessor::handOverLoopLocked (ActiveVoice& voice)
{
    const auto found = loopGroups.find (voice.groupKey);

    if (found == loopGroups.end() || found->second.queuedPad < 0)
        return false;

    auto& group = found->second;
    const auto* next = findPadLocked (group.queuedPad);
    const auto* clip = next != nullptr ? findPlayableClipLocked (*next) : nullptr;

    if (clip == nullptr)
    {
        group.queuedPad = -1;
        return false;
    }

    // The same voice carries on with the next clip, so nothing is lost at the seam.
    const auto previousPad = voice.padIndex;
    voice.clipIndex = next->clipIndex;
    voice.padIndex = next->padIndex;
    voice.position = 0.0;
    voice.increment = playbackIncrementLocked (*clip);
    voice.inLoopGroup = true;
    voice.stutter = false;
    voice.active = true;
    voice.groupKey = groupKeyFor (*next);

    group.activePad = next->padIndex;
    group.queuedPad = -1;
    statusText = "Playing: " + next->name;

    if (previousPad >= 0)
        queuePadFeedbackLocked (previousPad);

    queuePadFeedbackLocked (next->padIndex);
    return true;
}
