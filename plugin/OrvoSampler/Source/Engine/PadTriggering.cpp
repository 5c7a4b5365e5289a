#include "Processor/PluginProcessor.h"

void OrvoSamplerAudioProcessor::triggerPad (int padSlot, bool)
{
    const juce::ScopedLock sl (lock);
    triggerPadLocked (padSlot, -1, samplePosition);
}

void OrvoSamplerAudioProcessor::releasePad (int padSlot)
{
    const juce::ScopedLock sl (lock);
    releasePadLocked (padSlot, -1);
}

void OrvoSamplerAudioProcessor::triggerPadLocked (int padSlot, int note, juce::int64 pressTime)
{
    const auto* found = findPadLocked (padSlot);
    const auto* clip = found != nullptr ? findPlayableClipLocked (*found) : nullptr;

    if (clip == nullptr)
        return;

    const auto& pad = *found;
    const auto padIndex = pad.padIndex;
    auto& group = loopGroups[groupKeyFor (pad)];

    lastTriggeredPad = padIndex;
    pressStates[padIndex] = { padIndex, note < 0 ? pad.note : note, pressTime, false, stutterMode };

    if (isLoopTypePad (pad, *clip) && group.activePad >= 0)
    {
        if (group.queuedPad == padIndex)
        {
            group.queuedPad = -1;
            statusText = "Loop queue cleared";
            queuePadFeedbackLocked (padIndex);
        }
        else if (group.activePad == padIndex)
        {
            // Holding on is what stops it (or, in stutter mode, keeps it).
            statusText = (stutterMode ? "Loop held: " : "Hold to stop loop: ") + pad.name;
            queuePadFeedbackLocked (padIndex);
        }
        else
        {
            queueLoopPadLocked (pad, group);
        }

        return;
    }

    schedulePadStartLocked (pad, false, stutterMode, pressTime);
    statusText = "Queued: " + pad.name + " @ " + quantizationNameLocked();
    queuePadFeedbackLocked (padIndex);
}

void OrvoSamplerAudioProcessor::releasePadLocked (int padSlot, int note)
{
    if (padSlot < 0 && note >= 0)
    {
        const auto press = std::find_if (pressStates.begin(), pressStates.end(),
                                         [note] (const auto& entry) { return entry.second.note == note; });
        if (press == pressStates.end())
            return;

        padSlot = press->first;
    }

    if (padSlot < 0)
        return;

    // The press decides, not the mode now: switching stutter off while
    // holding still silences what the stutter press started.
    auto stutterRelease = stutterMode;

    if (const auto press = pressStates.find (padSlot); press != pressStates.end())
    {
        stutterRelease = press->second.stutter;
        pressStates.erase (press);
    }

    if (stutterRelease)
    {
        cancelPendingStartsForPadLocked (padSlot, true);

        for (auto& voice : activeVoices)
            if (voice.padIndex == padSlot && voice.stutter)
                voice.active = false;
    }

    queuePadFeedbackLocked (padSlot);
}
