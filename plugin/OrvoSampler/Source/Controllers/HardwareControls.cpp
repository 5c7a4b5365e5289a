#include "Processor/PluginProcessor.h"

void OrvoSamplerAudioProcessor::initialiseHardwareControls()
{
    hardwareControls.clear();

    struct Group
    {
        const char* word;
        const char* labelLetter;
        int count;
        int firstCc;
        float defaultValue;
        bool momentary;
    };

    static constexpr Group groups[] = {
        { "knob", "K", 8, 20, 0.5f, false },
        { "fader", "F", 10, 30, 0.35f, false },
        { "button", "B", 10, 80, 0.0f, true },
    };

    for (const auto& group : groups)
    {
        for (int n = 1; n <= group.count; ++n)
        {
            HardwareControl control;
            control.id = group.word + juce::String (n);
            control.label = group.labelLetter + juce::String (n);
            control.value = group.defaultValue;
            control.momentary = group.momentary;
            control.assignment = { MidiAssignment::Kind::cc, 1, group.firstCc + n - 1 };
            hardwareControls.push_back (control);
        }
    }
}
