#include "Support/EngineHarness.h"

namespace orvo::test
{
PadClip makeClip (int frames, std::function<float (int, int)> sample, int channels, double sampleRate)
{
    PadClip clip;
    clip.audio.setSize (channels, frames);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < frames; ++i)
            clip.audio.setSample (c, i, sample (c, i));
    clip.sampleRate = sampleRate;
    return clip;
}

PadClip constantClip (float value, int frames, int channels, double sampleRate)
{
    return makeClip (frames, [value] (int, int) { return value; }, channels, sampleRate);
}

PadClip rampClip (int frames, int channels, double sampleRate)
{
    return makeClip (frames, [] (int, int i) { return static_cast<float> (i) / 65536.0f; }, channels, sampleRate);
}

SamplerPackage makePackage (std::vector<PadClip> clips, const std::vector<std::vector<PadSpec>>& banks, double bpm)
{
    SamplerPackage package;
    package.songTitle = "Test Song";
    package.bpm = bpm;

    for (size_t i = 0; i < clips.size(); ++i)
        clips[i].clipId = "clip" + juce::String (static_cast<int> (i));

    package.clips = std::move (clips);

    for (const auto& padSpecs : banks)
    {
        PadBank bank;
        for (const auto& spec : padSpecs)
        {
            auto& pad = bank.pads[static_cast<size_t> (spec.slot)];
            pad.clipIndex = spec.clip;
            pad.note = spec.note;
            pad.colour = juce::Colour (spec.colour);
            pad.empty = false;
            pad.kind = spec.loop ? "loop" : "oneshot";
            pad.name = spec.name.isNotEmpty() ? spec.name : "pad" + juce::String (spec.slot);
        }
        package.banks.push_back (bank);
    }

    return package;
}

void install (Processor& processor, SamplerPackage package, double sampleRate)
{
    processor.prepareToPlay (sampleRate, 512);
    const juce::ScopedLock sl (processor.lock);
    processor.activatePackageLocked (package);
    processor.pendingMidiOut.clear();
}

Rendered render (Processor& processor, int totalSamples, int blockSize, std::vector<TimedMessage> events,
                 int outputChannels)
{
    Rendered result;
    result.audio.setSize (outputChannels, totalSamples);
    result.audio.clear();

    juce::int64 start = 0;
    {
        const juce::ScopedLock sl (processor.lock);
        start = processor.samplePosition;
    }

    for (int done = 0; done < totalSamples;)
    {
        const auto n = std::min (blockSize, totalSamples - done);
        juce::AudioBuffer<float> block (outputChannels, n);
        juce::MidiBuffer midi;
        std::vector<std::pair<int, std::vector<juce::uint8>>> incoming;

        for (const auto& event : events)
        {
            if (event.time >= done && event.time < done + n)
            {
                const auto offset = static_cast<int> (event.time - done);
                midi.addEvent (event.message, offset);
                incoming.emplace_back (offset, bytesOf (event.message));
            }
        }

        processor.processBlock (block, midi);

        // What is not one of the host's own events came from the plug-in.
        for (const auto metadata : midi)
        {
            const auto message = metadata.getMessage();
            const auto own = std::find (incoming.begin(), incoming.end(),
                                        std::make_pair (metadata.samplePosition, bytesOf (message)));
            if (own != incoming.end())
                incoming.erase (own);
            else
                result.midiOut.push_back ({ start + done + metadata.samplePosition, message });
        }

        for (int c = 0; c < outputChannels; ++c)
            result.audio.copyFrom (c, done, block, c, 0, n);

        done += n;
    }

    return result;
}

juce::MidiMessage noteOn (int note, int channel)
{
    return juce::MidiMessage::noteOn (channel, note, juce::uint8 { 100 });
}

juce::MidiMessage noteOff (int note, int channel)
{
    return juce::MidiMessage::noteOff (channel, note);
}

int firstSound (const juce::AudioBuffer<float>& audio, int channel, int from)
{
    for (int i = from; i < audio.getNumSamples(); ++i)
        if (std::abs (audio.getSample (channel, i)) > 1.0e-9f)
            return i;
    return -1;
}

juce::String statusOf (Processor& processor)
{
    const juce::ScopedLock sl (processor.lock);
    return processor.statusText;
}

std::vector<juce::uint8> bytesOf (const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();
    return { data, data + message.getRawDataSize() };
}
} // namespace orvo::test
