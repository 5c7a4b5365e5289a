// processBlock with 64 voices sounding at once, against juce::Synthesiser
// with juce::SamplerVoice rendering the same 64 clips at the same rates.
// Stereo 44.1 kHz clips, a 48 kHz stereo host, 512-sample blocks.

#include "Processor/PluginProcessor.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_events/juce_events.h>

#include <benchmark/benchmark.h>

#include <map>
#include <set>

namespace
{
constexpr int voiceCount = 64;
constexpr int blockSize = 512;
constexpr double hostRate = 48000.0;
constexpr double clipRate = 44100.0;
constexpr int clipFrames = 88200; // two seconds
constexpr int firstNote = 36;

// Plays about 1.9 s of each clip, so SamplerVoice never runs out.
constexpr int blocksPerPass = 170;

juce::AudioBuffer<float> makeClipAudio (int seed)
{
    juce::Random random (seed);
    juce::AudioBuffer<float> audio (2, clipFrames);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < clipFrames; ++i)
            audio.setSample (c, i, random.nextFloat() * 0.2f - 0.1f);
    return audio;
}

const std::vector<juce::AudioBuffer<float>>& clipAudio()
{
    static const auto clips = [] {
        std::vector<juce::AudioBuffer<float>> result;
        for (int v = 0; v < voiceCount; ++v)
            result.push_back (makeClipAudio (v + 1));
        return result;
    }();
    return clips;
}

void reportRates (benchmark::State& state)
{
    const auto blocks = static_cast<double> (state.iterations());
    state.counters["ns_per_voice_sample"] =
        benchmark::Counter (blocks * voiceCount * blockSize * 1.0e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["realtime_factor"] =
        benchmark::Counter (blocks * blockSize / hostRate, benchmark::Counter::kIsRate);
}

void orvoProcessBlock (benchmark::State& state)
{
    OrvoSamplerAudioProcessor processor;
    processor.prepareToPlay (hostRate, blockSize);

    {
        SamplerPackage package;
        PadBank bank;
        for (int v = 0; v < voiceCount; ++v)
        {
            PadClip clip;
            clip.audio = clipAudio()[static_cast<size_t> (v)];
            clip.sampleRate = clipRate;
            clip.isLoop = true;
            package.clips.push_back (std::move (clip));

            auto& pad = bank.pads[static_cast<size_t> (v)];
            pad.clipIndex = v;
            pad.empty = false;
            pad.note = firstNote + v;
            pad.colour = juce::Colour (0xff000000u + static_cast<juce::uint32> (v));
        }
        package.banks.push_back (bank);

        const juce::ScopedLock sl (processor.lock);
        processor.activatePackageLocked (package);

        // Start every pad as the loop of its own group.
        for (int v = 0; v < voiceCount; ++v)
            processor.fireStartLocked ({ v, 0, true, false, false,
                                         OrvoSamplerAudioProcessor::groupKeyFor (processor.package.banks[0].pads[static_cast<size_t> (v)]) });
    }

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        midi.clear();
        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    const juce::ScopedLock sl (processor.lock);
    if (processor.activeVoices.size() != voiceCount)
        state.SkipWithError ("voices ended");

    reportRates (state);
}

void juceSynthesiser (benchmark::State& state)
{
    juce::WavAudioFormat wav;
    juce::Synthesiser synth;

    for (int v = 0; v < voiceCount; ++v)
    {
        // SamplerSound reads its sample from a reader: hand it a WAV in memory.
        juce::MemoryBlock wavData;
        {
            std::unique_ptr<juce::AudioFormatWriter> writer (
                wav.createWriterFor (new juce::MemoryOutputStream (wavData, false), clipRate, 2, 32, {}, 0));
            writer->writeFromAudioSampleBuffer (clipAudio()[static_cast<size_t> (v)], 0, clipFrames);
        }
        std::unique_ptr<juce::AudioFormatReader> reader (
            wav.createReaderFor (new juce::MemoryInputStream (wavData, false), true));

        juce::BigInteger notes;
        notes.setBit (firstNote + v);
        synth.addSound (new juce::SamplerSound ("clip" + juce::String (v), *reader, notes, firstNote + v, 0.0, 0.01, 10.0));
        synth.addVoice (new juce::SamplerVoice());
    }

    synth.setCurrentPlaybackSampleRate (hostRate);

    const auto startAll = [&synth] {
        for (int v = 0; v < voiceCount; ++v)
            synth.noteOn (1, firstNote + v, 1.0f);
    };

    juce::AudioBuffer<float> buffer (2, blockSize);
    const juce::MidiBuffer noMidi;
    startAll();
    int blocks = 0;

    for (auto _ : state)
    {
        if (++blocks == blocksPerPass)
        {
            state.PauseTiming();
            synth.allNotesOff (0, false);
            startAll();
            blocks = 0;
            state.ResumeTiming();
        }

        buffer.clear();
        synth.renderNextBlock (buffer, noMidi, 0, blockSize);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    reportRates (state);
}

// Prints what the console reporter prints, then the two engines side by side.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns (const std::vector<Run>& runs) override
    {
        // With --benchmark_repetitions the median stands for the engine.
        for (const auto& run : runs)
        {
            if (run.error_occurred)
                continue;

            const auto isMedian = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const auto& name = run.run_name.function_name;

            if (isMedian || (run.run_type == Run::RT_Iteration && medians.count (name) == 0))
                nsPerVoiceSample[name] = run.counters.at ("ns_per_voice_sample").value;

            if (isMedian)
                medians.insert (name);
        }

        ConsoleReporter::ReportRuns (runs);
    }

    void printComparison() const
    {
        const auto orvo = nsPerVoiceSample.find ("OrvoProcessBlock");
        const auto juceSynth = nsPerVoiceSample.find ("JuceSynthesiser");

        if (orvo == nsPerVoiceSample.end() || juceSynth == nsPerVoiceSample.end())
            return;

        std::printf ("\n64 voices, 44.1 kHz clips on a 48 kHz stereo host, %d-sample blocks\n", blockSize);
        std::printf ("  Orvo processBlock      %8.3f ns per voice-sample\n", orvo->second);
        std::printf ("  juce::Synthesiser      %8.3f ns per voice-sample\n", juceSynth->second);
        std::printf ("  ratio Orvo / JUCE      %8.3f\n", orvo->second / juceSynth->second);
    }

private:
    std::map<std::string, double> nsPerVoiceSample;
    std::set<std::string> medians;
};
} // namespace

BENCHMARK (orvoProcessBlock)->Name ("OrvoProcessBlock")->MinTime (2.0);
BENCHMARK (juceSynthesiser)->Name ("JuceSynthesiser")->MinTime (2.0);

int main (int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize (&argc, argv);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);
    reporter.printComparison();
    benchmark::Shutdown();
    return 0;
}
