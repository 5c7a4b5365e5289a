#include "Processor/PluginProcessor.h"

#include "Common/JsonReading.h"

namespace
{
int clampSlot (int slot)
{
    return juce::jlimit (0, 4, slot);
}
} // namespace

juce::var OrvoSamplerAudioProcessor::presetToJsonLocked (const PresetSlot& preset) const
{
    auto* object = new juce::DynamicObject();
    object->setProperty ("saved", preset.saved);
    object->setProperty ("manifest", preset.manifest);
    object->setProperty ("bank", preset.bank);
    object->setProperty ("quantizationBeats", preset.quantizationBeats);
    object->setProperty ("stutter", preset.stutter);
    object->setProperty ("controls", preset.controls.empty() ? juce::var() : controlsToJson (preset.controls));
    return juce::var (object);
}

OrvoSamplerAudioProcessor::PresetSlot OrvoSamplerAudioProcessor::presetFromJsonLocked (const juce::var& value) const
{
    PresetSlot preset;
    const auto* object = getJsonObject (value);

    if (object == nullptr)
        return preset;

    preset.saved = readJsonBool (object->getProperty ("saved"));
    preset.manifest = readJsonString (object->getProperty ("manifest"));
    preset.bank = readJsonInt (object->getProperty ("bank"));
    preset.quantizationBeats = readJsonDouble (object->getProperty ("quantizationBeats"));
    preset.stutter = readJsonBool (object->getProperty ("stutter"));

    // A slot never saved carries no controls, so it is written back as null
    // and a save-restore-save cycle gives the same document.
    if (! preset.saved)
        return preset;

    preset.controls = hardwareControls;
    applyControlsJson (preset.controls, object->getProperty ("controls"));
    return preset;
}

void OrvoSamplerAudioProcessor::savePresetLocked (int slot)
{
    slot = clampSlot (slot);

    PresetSlot preset;
    preset.saved = true;
    preset.manifest = package.manifestFile.getFullPathName();
    preset.bank = currentBank;
    preset.quantizationBeats = launchQuantizationBeats;
    preset.stutter = stutterMode;
    preset.controls = hardwareControls;

    presets[static_cast<size_t> (slot)] = std::move (preset);
    statusText = "Preset " + juce::String (slot + 1) + " saved";
}

void OrvoSamplerAudioProcessor::recallPreset (int slot)
{
    slot = clampSlot (slot);

    PresetSlot preset;
    {
        const juce::ScopedLock sl (lock);
        preset = presets[static_cast<size_t> (slot)];
    }

    // The package is reloaded even when it is the one already playing.
    if (preset.manifest.isNotEmpty() && ! reloadPackageFromPath (preset.manifest))
        return;

    const juce::ScopedLock sl (lock);
    currentBank = package.banks.empty() ? 0 : juce::jlimit (0, static_cast<int> (package.banks.size()) - 1, preset.bank);
    launchQuantizationBeats = preset.quantizationBeats;
    stutterMode = preset.stutter;

    // An unsaved slot has no controls to give; the current ones stay.
    if (! preset.controls.empty())
        hardwareControls = preset.controls;

    midiLearnEnabled = false;
    learnTargetId.clear();
    statusText = "Preset " + juce::String (slot + 1) + " loaded";
    sendAllPadFeedbackLocked();
}
