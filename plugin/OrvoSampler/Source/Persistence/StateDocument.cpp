#include "Processor/PluginProcessor.h"

#include "Common/JsonReading.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace
{
constexpr int presetCount = 5;

// The host's bytes as text: up to the writer's terminating zero, and only
// when they are valid UTF-8.
juce::String stateText (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes == 0)
        return {};

    const auto* bytes = static_cast<const char*> (data);
    const auto length = sizeInBytes < 0 ? std::strlen (bytes)
                                        : static_cast<size_t> (std::find (bytes, bytes + sizeInBytes, '\0') - bytes);

    if (length == 0 || length > static_cast<size_t> (std::numeric_limits<int>::max())
        || ! juce::CharPointer_UTF8::isValidString (bytes, static_cast<int> (length)))
        return {};

    return juce::String::fromUTF8 (bytes, static_cast<int> (length));
}
} // namespace

void OrvoSamplerAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    const juce::ScopedLock sl (lock);

    auto* root = new juce::DynamicObject();
    root->setProperty ("manifest", package.manifestFile.getFullPathName());
    root->setProperty ("bank", currentBank);
    root->setProperty ("controller", static_cast<int> (controllerProfile));
    root->setProperty ("launchQuantizationBeats", launchQuantizationBeats);
    root->setProperty ("stutterMode", stutterMode);
    root->setProperty ("hardwareControls", controlsToJson (hardwareControls));

    juce::Array<juce::var> presetElements;
    for (const auto& preset : presets)
        presetElements.add (presetToJsonLocked (preset));
    root->setProperty ("presets", presetElements);

    // UTF-8 text and one terminating zero, replacing whatever the block held.
    juce::MemoryOutputStream out (destData, false);
    out.writeString (juce::JSON::toString (juce::var (root)));
}

void OrvoSamplerAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const auto document = parseJsonObject (stateText (data, sizeInBytes));
    const auto* root = getJsonObject (document);

    if (root == nullptr)
        return;

    const auto manifestPath = readJsonString (root->getProperty ("manifest"));
    const auto bank = readJsonInt (root->getProperty ("bank"));
    const auto controller = readJsonInt (root->getProperty ("controller"));

    {
        const juce::ScopedLock sl (lock);

        if (root->hasProperty ("launchQuantizationBeats"))
            launchQuantizationBeats = readJsonDouble (root->getProperty ("launchQuantizationBeats"));

        if (root->hasProperty ("stutterMode"))
            stutterMode = readJsonBool (root->getProperty ("stutterMode"));

        applyControlsJson (hardwareControls, root->getProperty ("hardwareControls"));

        if (const auto* stored = root->getProperty ("presets").getArray())
            for (int i = 0; i < std::min (stored->size(), presetCount); ++i)
                presets[static_cast<size_t> (i)] = presetFromJsonLocked (stored->getReference (i));

        controllerProfile = static_cast<ControllerProfile> (juce::jlimit (0, 2, controller));
    }

    // A document without a package leaves the loaded one and its playback alone.
    if (manifestPath.isEmpty())
        return;

    reloadPackageFromPath (manifestPath);

    const juce::ScopedLock sl (lock);

    if (package.banks.empty())
        return;

    currentBank = juce::jlimit (0, static_cast<int> (package.banks.size()) - 1, bank);
    activeVoices.clear();
    pendingTriggers.clear();
    loopGroups.clear();
    pressStates.clear();
    padFeedbackActive.fill (false);
    sendAllPadFeedbackLocked();
}

bool OrvoSamplerAudioProcessor::reloadPackageFromPath (const juce::String& path)
{
    // Stored paths are absolute; anything else would depend on the host's working folder.
    if (! juce::File::isAbsolutePath (path))
    {
        const juce::ScopedLock sl (lock);
        statusText = "Sampler manifest does not exist: " + path;
        return false;
    }

    juce::String error;
    return loadPackage (juce::File (path), error);
}
