#include "Processor/PluginProcessor.h"

void OrvoSamplerAudioProcessor::queuePadFeedbackLocked (int padIndex)
{
    const auto* pad = findPadLocked (padIndex);

    if (pad == nullptr)
        return;

    const auto sounding = std::any_of (activeVoices.begin(), activeVoices.end(), [padIndex] (const ActiveVoice& voice) {
        return voice.active && voice.padIndex == padIndex;
    });

    padFeedbackActive[static_cast<size_t> (padIndex)] = sounding;
    ControllerFeedback::addPadState (pendingMidiOut, controllerProfile, *pad, sounding);
}

void OrvoSamplerAudioProcessor::sendAllPadFeedbackLocked()
{
    for (int padIndex = 0; padIndex < padsPerBank; ++padIndex)
        if (const auto* pad = findPadLocked (padIndex))
            ControllerFeedback::addPadState (pendingMidiOut, controllerProfile, *pad,
                                             padFeedbackActive[static_cast<size_t> (padIndex)]);
}
