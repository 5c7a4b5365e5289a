#include "Processor/PluginProcessor.h"

#include "Editor/PluginEditor.h"

OrvoSamplerAudioProcessor::OrvoSamplerAudioProcessor()
    : juce::AudioProcessor (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    // Nothing here may touch the GUI or a display: the LV2 build step loads
    // the plug-in and constructs one of these to write its manifest.
    initialiseHardwareControls();
}

OrvoSamplerAudioProcessor::~OrvoSamplerAudioProcessor()
{
    // A host closing the plug-in must not hang on a running export helper:
    // end the helpers, then wait for their workers.
    std::vector<std::unique_ptr<LoadWorker>> workers;
    {
        const juce::ScopedLock sl (lock);
        for (auto& worker : loadWorkers)
            worker->helper.kill();
        workers = std::move (loadWorkers);
    }

    for (auto& worker : workers)
        worker->thread.join();
}

void OrvoSamplerAudioProcessor::prepareToPlay (double sampleRate, int)
{
    const juce::ScopedLock sl (lock);
    currentSampleRate = sampleRate;
}

void OrvoSamplerAudioProcessor::releaseResources()
{
    const juce::ScopedLock sl (lock);
    activeVoices.clear();
    pendingTriggers.clear();
    loopGroups.clear();
    pressStates.clear();
    padFeedbackActive.fill (false);
}

const juce::String OrvoSamplerAudioProcessor::getName() const { return "Orvo Sampler"; }
bool OrvoSamplerAudioProcessor::acceptsMidi() const { return true; }
bool OrvoSamplerAudioProcessor::producesMidi() const { return true; }
bool OrvoSamplerAudioProcessor::isMidiEffect() const { return false; }
double OrvoSamplerAudioProcessor::getTailLengthSeconds() const { return 0.0; }
bool OrvoSamplerAudioProcessor::hasEditor() const { return true; }

juce::AudioProcessorEditor* OrvoSamplerAudioProcessor::createEditor()
{
    return new OrvoSamplerAudioProcessorEditor (*this);
}

// One unnamed program: the presets live in the state document, not in the host.
int OrvoSamplerAudioProcessor::getNumPrograms() { return 1; }
int OrvoSamplerAudioProcessor::getCurrentProgram() { return 0; }
void OrvoSamplerAudioProcessor::setCurrentProgram (int) {}
const juce::String OrvoSamplerAudioProcessor::getProgramName (int) { return {}; }
void OrvoSamplerAudioProcessor::changeProgramName (int, const juce::String&) {}

bool OrvoSamplerAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto output = layouts.getMainOutputChannelSet();
    return output == juce::AudioChannelSet::mono() || output == juce::AudioChannelSet::stereo();
}

const PadAssignment* OrvoSamplerAudioProcessor::findPadLocked (int padSlot) const
{
    if (package.banks.empty() || padSlot < 0 || padSlot >= padsPerBank)
        return nullptr;

    const auto bank = juce::jlimit (0, static_cast<int> (package.banks.size()) - 1, currentBank);
    return &package.banks[static_cast<size_t> (bank)].pads[static_cast<size_t> (padSlot)];
}

const PadClip* OrvoSamplerAudioProcessor::findPlayableClipLocked (const PadAssignment& pad) const
{
    if (pad.empty || pad.clipIndex < 0 || pad.clipIndex >= static_cast<int> (package.clips.size()))
        return nullptr;

    return &package.clips[static_cast<size_t> (pad.clipIndex)];
}

bool OrvoSamplerAudioProcessor::isLoopTypePad (const PadAssignment& pad, const PadClip& clip)
{
    return clip.isLoop || pad.playbackMode == "hold" || pad.kind == "loop";
}

juce::String OrvoSamplerAudioProcessor::groupKeyFor (const PadAssignment& pad)
{
    return juce::String::toHexString (pad.colour.getARGB());
}

juce::String OrvoSamplerAudioProcessor::getSongTitle() const
{
    const juce::ScopedLock sl (lock);
    return package.songTitle.isNotEmpty() ? package.songTitle : juce::String ("No Track Loaded");
}

juce::String OrvoSamplerAudioProcessor::getLaunchQuantizationName() const
{
    const juce::ScopedLock sl (lock);
    return quantizationNameLocked();
}

juce::String OrvoSamplerAudioProcessor::getTriggerModeName() const
{
    const juce::ScopedLock sl (lock);
    return stutterMode ? "Stutter" : "Trigger";
}

PadAssignment OrvoSamplerAudioProcessor::getPad (int padSlot) const
{
    const juce::ScopedLock sl (lock);

    if (const auto* pad = findPadLocked (padSlot))
        return *pad;

    return {};
}

PadClip OrvoSamplerAudioProcessor::getClipForPad (int padSlot) const
{
    const juce::ScopedLock sl (lock);
    const auto* pad = findPadLocked (padSlot);

    // The empty flag is deliberately not consulted: the editor shows the clip
    // of any pad that names one.
    if (pad == nullptr || pad->clipIndex < 0 || pad->clipIndex >= static_cast<int> (package.clips.size()))
        return {};

    return package.clips[static_cast<size_t> (pad->clipIndex)];
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new OrvoSamplerAudioProcessor();
}
