#include "Processor/PluginProcessor.h"

#include <cmath>

void OrvoSamplerAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    const juce::ScopedNoDenormals noDenormals;
    buffer.clear();

    const juce::ScopedLock sl (lock);
    const auto blockStart = samplePosition;
    const auto numSamples = buffer.getNumSamples();

    for (const auto metadata : midi)
        handleIncomingMidiLocked (metadata.getMessage(), blockStart + metadata.samplePosition);

    runHoldScanLocked (blockStart + numSamples);

    std::stable_sort (pendingTriggers.begin(), pendingTriggers.end(),
                      [] (const PendingTrigger& a, const PendingTrigger& b) { return a.startSample < b.startSample; });

    // Firing never schedules, so the sorted list only shrinks from the front.
    size_t fired = 0;
    auto* const* outputs = buffer.getArrayOfWritePointers();
    const auto numOutputs = buffer.getNumChannels();

    for (int i = 0; i < numSamples; ++i)
    {
        const auto now = blockStart + i;

        while (fired < pendingTriggers.size() && pendingTriggers[fired].startSample <= now)
        {
            const auto& entry = pendingTriggers[fired++];

            if (entry.stopGroup)
                fireLoopStopLocked (entry);
            else
                fireStartLocked (entry);
        }

        for (auto& voice : activeVoices)
            renderVoiceLocked (voice, outputs, numOutputs, i);
    }

    pendingTriggers.erase (pendingTriggers.begin(), pendingTriggers.begin() + static_cast<std::ptrdiff_t> (fired));
    activeVoices.erase (std::remove_if (activeVoices.begin(), activeVoices.end(),
                                        [] (const ActiveVoice& voice) { return ! voice.active; }),
                        activeVoices.end());

    // Flags for the next full LED refresh; nothing is sent here.
    padFeedbackActive.fill (false);
    for (const auto& voice : activeVoices)
        if (voice.padIndex >= 0 && voice.padIndex < padsPerBank)
            padFeedbackActive[static_cast<size_t> (voice.padIndex)] = true;

    // Queued MIDI follows the block's own events, which stay in the buffer.
    for (const auto metadata : pendingMidiOut)
        if (metadata.samplePosition >= 0 && metadata.samplePosition < numSamples)
            midi.addEvent (metadata.data, metadata.numBytes, metadata.samplePosition);

    pendingMidiOut.clear();
    samplePosition += numSamples;
}

void OrvoSamplerAudioProcessor::handleIncomingMidiLocked (const juce::MidiMessage& message, juce::int64 eventTime)
{
    if (learnFromMidiLocked (message))
        return;

    updateHardwareControlsFromMidiLocked (message);

    if (message.getRawDataSize() < 3)
        return;

    if (message.isNoteOn())
    {
        const auto note = message.getNoteNumber();

        for (int slot = 0; slot < padsPerBank; ++slot)
        {
            const auto* pad = findPadLocked (slot);

            if (pad == nullptr)
                return;

            if (! pad->empty && pad->note == note)
            {
                triggerPadLocked (pad->padIndex, note, eventTime);
                return;
            }
        }
    }
    else if (message.isNoteOff())
    {
        releasePadLocked (-1, message.getNoteNumber());
    }
}

void OrvoSamplerAudioProcessor::runHoldScanLocked (juce::int64 blockEnd)
{
    const auto holdSamples = holdSamplesLocked();
    std::vector<std::pair<int, juce::int64>> held;

    for (auto& [padIndex, press] : pressStates)
    {
        if (! press.longPressHandled && press.pressSample + holdSamples <= blockEnd)
        {
            press.longPressHandled = true;
            held.emplace_back (padIndex, press.pressSample + holdSamples);
        }
    }

    for (const auto& [padIndex, holdTime] : held)
        runHoldActionLocked (padIndex, holdTime);
}

void OrvoSamplerAudioProcessor::renderVoiceLocked (ActiveVoice& voice, float* const* outputs, int numOutputs,
                                                   int sampleIndex)
{
    if (! voice.active || voice.clipIndex < 0 || voice.clipIndex >= static_cast<int> (package.clips.size()))
        return;

    const auto* clip = &package.clips[static_cast<size_t> (voice.clipIndex)];
    auto length = clip->audio.getNumChannels() > 0 ? clip->audio.getNumSamples() : 0;

    if (length <= 0)
    {
        voice.active = false;
        return;
    }

    if (voice.position >= static_cast<double> (length))
    {
        if (! voice.inLoopGroup)
        {
            voice.active = false;
            queuePadFeedbackLocked (voice.padIndex);
            return;
        }

        if (handOverLoopLocked (voice))
        {
            clip = &package.clips[static_cast<size_t> (voice.clipIndex)];
            length = clip->audio.getNumChannels() > 0 ? clip->audio.getNumSamples() : 0;

            // An empty successor has nothing to play.
            if (length <= 0)
            {
                voice.active = false;
                return;
            }
        }
        else
        {
            voice.position = std::fmod (voice.position, static_cast<double> (length));
        }
    }

    // position < length here, so the truncation is in range.
    const auto k = static_cast<int> (voice.position);
    const auto next = std::min (k + 1, length - 1);
    const auto frac = static_cast<float> (voice.position - k);
    const auto lastClipChannel = clip->audio.getNumChannels() - 1;

    const auto* const* sources = clip->audio.getArrayOfReadPointers();

    for (int c = 0; c < numOutputs; ++c)
    {
        const auto* source = sources[std::min (c, lastClipChannel)];
        const auto a = source[k];
        const auto b = source[next];
        outputs[c][sampleIndex] += (a + frac * (b - a)) * voiceGain;
    }

    voice.position += voice.increment;
}
