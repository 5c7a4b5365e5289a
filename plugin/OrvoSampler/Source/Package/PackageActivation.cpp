#include "Processor/PluginProcessor.h"

bool OrvoSamplerAudioProcessor::loadPackage (const juce::File& manifest, juce::String& error)
{
    // Decoding can take seconds: the audio thread keeps playing the old package meanwhile.
    SamplerPackage incoming;
    const bool loaded = packageLoader.loadPackageManifest (manifest, incoming, error);

    {
        const juce::ScopedLock sl (lock);

        if (loaded)
            activatePackageLocked (incoming);
        else
            statusText = error;
    }

    // `incoming` now holds the previous package: its audio is freed here,
    // outside the lock, so no audio block waits for it.
    return loaded;
}

void OrvoSamplerAudioProcessor::activatePackageLocked (SamplerPackage& incoming)
{
    std::swap (package, incoming);

    currentBank = 0;
    activeVoices.clear();
    pendingTriggers.clear();
    loopGroups.clear();
    pressStates.clear();
    padFeedbackActive.fill (false);
    statusText = "Analysis package loaded";
    sendAllPadFeedbackLocked();
}
