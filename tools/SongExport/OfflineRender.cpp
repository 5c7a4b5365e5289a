#include "OfflineRender.h"

namespace orvo::render
{
bool readPerformance (const juce::File& midiFile, double sampleRate, std::vector<TimedEvent>& events, juce::String& error)
{
    juce::FileInputStream in (midiFile);
    juce::MidiFile file;

    if (! in.openedOk())
    {
        error = "Cannot open MIDI file: " + midiFile.getFullPathName();
        return false;
    }

    if (! file.readFrom (in) || file.getTimeFormat() <= 0)
    {
        error = "Not a MIDI file this renders (SMPTE time is not supported): " + midiFile.getFullPathName();
        return false;
    }

    file.convertTimestampTicksToSeconds();

    for (int t = 0; t < file.getNumTracks(); ++t)
        for (const auto* holder : *file.getTrack (t))
            if (! holder->message.isMetaEvent() && holder->message.getRawDataSize() > 0)
                events.push_back ({ juce::roundToInt (holder->message.getTimeStamp() * sampleRate), holder->message });

    std::stable_sort (events.begin(), events.end(), [] (const TimedEvent& a, const TimedEvent& b) { return a.sample < b.sample; });
    return true;
}

RenderResult render (OrvoSamplerAudioProcessor& processor, const std::vector<TimedEvent>& events, const RenderSettings& settings)
{
    const auto lastEvent = events.empty() ? juce::int64 { 0 } : events.back().sample;
    const auto total = lastEvent + juce::roundToInt (settings.tailSeconds * settings.sampleRate);

    RenderResult result;
    result.audio.setSize (settings.outputChannels, static_cast<int> (total));
    result.audio.clear();

    processor.setPlayConfigDetails (0, settings.outputChannels, settings.sampleRate, settings.blockSize);
    processor.prepareToPlay (settings.sampleRate, settings.blockSize);

    juce::AudioBuffer<float> block (settings.outputChannels, settings.blockSize);
    size_t next = 0;

    for (juce::int64 start = 0; start < total; start += settings.blockSize)
    {
        const auto n = static_cast<int> (std::min<juce::int64> (settings.blockSize, total - start));
        block.setSize (settings.outputChannels, n, false, false, true);

        juce::MidiBuffer midi;
        std::vector<std::pair<int, juce::MemoryBlock>> incoming;
        for (; next < events.size() && events[next].sample < start + n; ++next)
        {
            const auto offset = static_cast<int> (events[next].sample - start);
            const auto& m = events[next].message;
            midi.addEvent (m, offset);
            incoming.emplace_back (offset, juce::MemoryBlock (m.getRawData(), static_cast<size_t> (m.getRawDataSize())));
        }

        processor.processBlock (block, midi);

        // What is not one of the performance's own events came from the plug-in.
        for (const auto metadata : midi)
        {
            const juce::MemoryBlock bytes (metadata.data, static_cast<size_t> (metadata.numBytes));
            const auto own = std::find (incoming.begin(), incoming.end(), std::make_pair (metadata.samplePosition, bytes));
            if (own != incoming.end())
                incoming.erase (own);
            else
                result.midiOut.push_back ({ start + metadata.samplePosition, metadata.getMessage() });
        }

        for (int c = 0; c < settings.outputChannels; ++c)
            result.audio.copyFrom (c, static_cast<int> (start), block, c, 0, n);

        settings.progress (static_cast<double> (start + n) / static_cast<double> (std::max<juce::int64> (total, 1)));
    }

    processor.releaseResources();
    return result;
}

bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate, juce::String& error)
{
    file.deleteFile();
    auto stream = file.createOutputStream();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        stream != nullptr ? wav.createWriterFor (stream.get(), sampleRate, static_cast<unsigned int> (audio.getNumChannels()), 24, {}, 0) : nullptr);

    if (writer == nullptr)
    {
        error = "Cannot write " + file.getFullPathName();
        return false;
    }

    stream.release(); // owned by the writer now
    if (! writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples()))
    {
        error = "Cannot write " + file.getFullPathName();
        return false;
    }
    return true;
}

bool writeMidi (const juce::File& file, const std::vector<TimedEvent>& events, double sampleRate, juce::String& error)
{
    // 960 ticks a quarter at 120 bpm: 1920 ticks a second.
    juce::MidiMessageSequence track;
    track.addEvent (juce::MidiMessage::tempoMetaEvent (500000), 0.0);
    for (const auto& e : events)
        track.addEvent (e.message, static_cast<double> (e.sample) / sampleRate * 1920.0);
    track.updateMatchedPairs();

    juce::MidiFile midi;
    midi.setTicksPerQuarterNote (960);
    midi.addTrack (track);

    file.deleteFile();
    juce::FileOutputStream out (file);
    if (! out.openedOk() || ! midi.writeTo (out))
    {
        error = "Cannot write " + file.getFullPathName();
        return false;
    }
    return true;
}

namespace
{
struct Press
{
    double at;
    double held;
    int note;
};

juce::MidiFile performanceOf (const std::vector<Press>& presses)
{
    // 960 ticks a quarter at 120 bpm: 1920 ticks a second.
    juce::MidiMessageSequence track;
    track.addEvent (juce::MidiMessage::tempoMetaEvent (500000), 0.0);
    for (const auto& p : presses)
    {
        track.addEvent (juce::MidiMessage::noteOn (1, p.note, juce::uint8 { 100 }), p.at * 1920.0);
        track.addEvent (juce::MidiMessage::noteOff (1, p.note), (p.at + p.held) * 1920.0);
    }
    track.updateMatchedPairs();

    juce::MidiFile file;
    file.setTicksPerQuarterNote (960);
    file.addTrack (track);
    return file;
}
} // namespace

juce::MidiFile demoStutterPerformance()
{
    std::vector<Press> presses;
    // Sixteenth-note chops of the first drum and bass loops, then a press
    // released before its 1/16 start: silence.
    for (int i = 0; i < 16; ++i)
        presses.push_back ({ 0.05 + i * 0.25, 0.15, i % 2 == 0 ? 92 : 84 });
    presses.push_back ({ 4.26, 0.05, 76 });
    presses.push_back ({ 5.0, 1.0, 76 }); // held: the chords sound for about a second
    return performanceOf (presses);
}

juce::MidiFile demoPerformance()
{
    // Seconds at 120 bpm: a beat is 0.5 s, so a two-beat hold is 1 s.
    // Grid layout of the demo's first bank: drums 92.., bass 84.., chords 76.., lead 68..
    return performanceOf ({
        { 0.10, 1.50, 92 },  // hold: the drum loop arms
        { 3.00, 1.50, 84 },  // hold: the bass loop arms
        { 6.00, 0.20, 70 },  // a lead one-shot
        { 7.00, 0.20, 93 },  // press another drum loop: queued, it takes over at the loop's end
        { 9.50, 1.50, 76 },  // hold: chords
        { 12.0, 0.20, 71 },  // lead one-shots
        { 13.0, 0.20, 72 },
        { 16.0, 1.50, 93 },  // hold the sounding drum loop: it stops on the next boundary
        { 19.0, 1.50, 84 },  // and the bass
        { 21.0, 1.50, 76 },  // and the chords
    });
}
} // namespace orvo::render
