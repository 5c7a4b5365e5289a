#include "Processor/PluginProcessor.h"

void OrvoSamplerAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    const juce::ScopedLock sl (lock);
    const juce::ScopedNoDenormals noDenormals;

    buffer.clear();

    // Queued MIDI leaves after the block's own events, which stay in place.
    midi.addEvents (pendingMidiOut, 0, -1, 0);
    pendingMidiOut.clear();

    samplePosition += buffer.getNumSamples();
}
