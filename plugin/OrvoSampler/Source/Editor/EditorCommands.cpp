#include "Editor/PluginEditor.h"

void OrvoSamplerAudioProcessorEditor::buttonClicked (juce::Button* button)
{
    if (button == &loadButton)
    {
        launchLoadChooser();
        repaint();
        return;
    }

    {
        const juce::ScopedLock sl (processorRef.lock);
        auto& p = processorRef;
        const auto banks = static_cast<int> (p.package.banks.size());

        if (button == &previousBankButton || button == &nextBankButton)
        {
            if (banks >= 1)
            {
                p.currentBank = ((p.currentBank % banks) + banks + (button == &nextBankButton ? 1 : -1)) % banks;
                p.sendAllPadFeedbackLocked();
            }
        }
        else if (button == &profileButton)
        {
            p.controllerProfile = nextControllerProfile (p.controllerProfile);
            p.statusText = "Controller profile: " + getControllerProfileName (p.controllerProfile);
            if (banks >= 1)
                p.sendAllPadFeedbackLocked();
        }
        else if (button == &quantizeButton)
        {
            JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wfloat-equal")
            const auto q = p.launchQuantizationBeats;
            p.launchQuantizationBeats = q == 0.25 ? 0.5 : q == 0.5 ? 1.0 : q == 1.0 ? 2.0 : q == 2.0 ? 4.0 : 0.25;
            JUCE_END_IGNORE_WARNINGS_GCC_LIKE
            p.statusText = "Pad launch: " + p.quantizationNameLocked();
        }
        else if (button == &modeButton)
        {
            p.stutterMode = ! p.stutterMode;
            p.statusText = p.stutterMode ? "Stutter mode" : "Trigger mode";
        }
        else if (button == &ledButton)
        {
            if (banks >= 1)
                p.sendAllPadFeedbackLocked();
        }
        else
        {
            return;
        }
    }

    repaint();
}

void OrvoSamplerAudioProcessorEditor::launchLoadChooser()
{
    juce::File start;
    {
        const juce::ScopedLock sl (processorRef.lock);
        start = processorRef.package.manifestFile;
    }

    if (start.getFullPathName().isEmpty() || ! start.exists())
        start = juce::File::getSpecialLocation (juce::File::userHomeDirectory);

    fileChooser = std::make_unique<juce::FileChooser> ("Load Orvo export folder or sampler manifest", start, "*", true);

    const auto chooserFlags = juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles
                       | juce::FileBrowserComponent::canSelectDirectories;

    fileChooser->launchAsync (chooserFlags, [safeThis = juce::Component::SafePointer<OrvoSamplerAudioProcessorEditor> (this)] (const juce::FileChooser& chooser) {
        if (safeThis == nullptr)
            return;

        for (const auto& url : chooser.getURLResults())
        {
            if (url.isLocalFile())
            {
                safeThis->loadChosenPath (url.getLocalFile());
                return;
            }
        }
    });
}

void OrvoSamplerAudioProcessorEditor::loadChosenPath (const juce::File& path)
{
    if (path.getFullPathName().isEmpty() || ! path.exists())
        return;

    // The worker belongs to the processor, which outlives this editor; the
    // completion only touches the editor if it still exists.
    processorRef.startBackgroundLoad (path, [safeThis = juce::Component::SafePointer<OrvoSamplerAudioProcessorEditor> (this)] {
        juce::MessageManager::callAsync ([safeThis] {
            if (safeThis != nullptr)
            {
                safeThis->selectedPad = 0;
                safeThis->repaint();
            }
        });
    });
}
