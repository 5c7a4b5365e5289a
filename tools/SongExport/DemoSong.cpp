#include "SongExport.h"

#include <cmath>

namespace orvo::songexport
{
namespace
{
constexpr double twoPi = 6.283185307179586;

// A minor: Am, F, C, G, one chord per bar (MIDI notes of the triads).
const int progression[4][3] = { { 57, 60, 64 }, { 53, 57, 60 }, { 48, 52, 55 }, { 55, 59, 62 } };
const int melody[8] = { 76, 74, 72, 71, 72, 74, 76, 79 };

double frequencyOf (int note)
{
    return 440.0 * std::pow (2.0, (note - 69) / 12.0);
}

struct Writer
{
    juce::AudioBuffer<float> audio;
    double rate;

    void add (int channel, double time, float value)
    {
        const auto i = static_cast<int> (time * rate);
        if (i >= 0 && i < audio.getNumSamples())
            audio.addSample (channel, i, value);
    }

    // A note of `length` seconds from `start`, shaped by `voice`.
    template <typename Voice>
    void note (double start, double length, float pan, Voice voice)
    {
        const auto from = static_cast<int> (start * rate);
        const auto count = static_cast<int> (length * rate);
        for (int n = 0; n < count && from + n < audio.getNumSamples(); ++n)
        {
            const auto t = n / rate;
            const auto v = voice (t);
            audio.addSample (0, from + n, v * (1.0f - pan));
            audio.addSample (1, from + n, v * pan);
        }
    }
};

bool save (const juce::File& file, const juce::AudioBuffer<float>& audio, double rate)
{
    file.deleteFile();
    auto stream = file.createOutputStream();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        stream != nullptr ? wav.createWriterFor (stream.get(), rate, 2, 24, {}, 0) : nullptr);
    if (writer == nullptr)
        return false;
    stream.release();
    return writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
}
} // namespace

bool writeDemoSong (const juce::File& folder, const DemoSong& song, juce::String& error)
{
    if (! folder.createDirectory())
    {
        error = "Could not create " + folder.getFullPathName();
        return false;
    }

    const auto beat = 60.0 / song.bpm;
    const auto bar = 4 * beat;
    const auto bars = song.barsPerSection * song.sections.size();
    const auto length = static_cast<int> (std::ceil ((bars * bar + 1.0) * song.sampleRate));
    juce::Random random (7);

    Writer drums { juce::AudioBuffer<float> (2, length), song.sampleRate };
    Writer bass { juce::AudioBuffer<float> (2, length), song.sampleRate };
    Writer chords { juce::AudioBuffer<float> (2, length), song.sampleRate };
    Writer lead { juce::AudioBuffer<float> (2, length), song.sampleRate };
    for (auto* w : { &drums, &bass, &chords, &lead })
        w->audio.clear();

    for (int b = 0; b < bars; ++b)
    {
        const auto barStart = b * bar;
        const auto& chord = progression[b % 4];

        for (int q = 0; q < 4; ++q)
        {
            const auto t = barStart + q * beat;

            // Kick on every beat: a falling sine with a fast decay.
            drums.note (t, 0.25, 0.5f, [] (double s) {
                const auto f = 50.0 + 100.0 * std::exp (-s * 30.0);
                return static_cast<float> (0.9 * std::sin (twoPi * f * s) * std::exp (-s * 12.0));
            });

            // Snare on two and four, hats on the eighths.
            if (q % 2 == 1)
                drums.note (t, 0.15, 0.45f, [&random] (double s) {
                    return static_cast<float> ((random.nextFloat() * 2.0f - 1.0f) * 0.5f * std::exp (-s * 25.0));
                });

            for (int e = 0; e < 2; ++e)
                drums.note (t + e * beat / 2, 0.04, 0.65f, [&random] (double s) {
                    return static_cast<float> ((random.nextFloat() * 2.0f - 1.0f) * 0.15f * std::exp (-s * 90.0));
                });

            // Bass: the chord's root an octave down, on the beat.
            const auto root = frequencyOf (chord[0] - 24);
            bass.note (t, beat * 0.9, 0.5f, [root] (double s) {
                const auto phase = std::fmod (s * root, 1.0);
                return static_cast<float> ((2.0 * phase - 1.0) * 0.35 * std::exp (-s * 3.0));
            });
        }

        // Chords: a soft triad held for the bar.
        chords.note (barStart, bar, 0.35f, [&chord] (double s) {
            double v = 0.0;
            for (const auto n : chord)
                v += std::sin (twoPi * frequencyOf (n) * s);
            return static_cast<float> (v * 0.12 * std::min (1.0, s * 20.0) * std::exp (-s * 0.8));
        });

        // Lead: two melody notes per bar, square-ish.
        for (int half = 0; half < 2; ++half)
        {
            const auto f = frequencyOf (melody[(b * 2 + half) % 8]);
            lead.note (barStart + half * 2 * beat, 2 * beat * 0.95, 0.7f, [f] (double s) {
                const auto v = std::sin (twoPi * f * s) > 0.0 ? 0.2 : -0.2;
                return static_cast<float> (v * std::exp (-s * 1.5));
            });
        }
    }

    const std::pair<const char*, Writer*> stems[] = { { "drums.wav", &drums }, { "bass.wav", &bass },
                                                      { "chords.wav", &chords }, { "lead.wav", &lead } };
    for (const auto& [name, writer] : stems)
    {
        if (! save (folder.getChildFile (name), writer->audio, song.sampleRate))
        {
            error = "Could not write " + folder.getChildFile (name).getFullPathName();
            return false;
        }
    }

    auto* info = new juce::DynamicObject();
    info->setProperty ("title", song.title);
    if (song.writeTempo)
        info->setProperty ("bpm", song.bpm);
    info->setProperty ("time_signature", "4/4");
    info->setProperty ("first_downbeat", 0.0);

    juce::Array<juce::var> sections;
    for (int s = 0; s < song.sections.size(); ++s)
    {
        auto* section = new juce::DynamicObject();
        section->setProperty ("label", song.sections[s]);
        section->setProperty ("start", s * song.barsPerSection * bar);
        section->setProperty ("end", (s + 1) * song.barsPerSection * bar);
        sections.add (juce::var (section));
    }
    info->setProperty ("sections", sections);

    if (! folder.getChildFile ("song.json").replaceWithText (juce::JSON::toString (juce::var (info)), false, false, "\n"))
    {
        error = "Could not write " + folder.getChildFile ("song.json").getFullPathName();
        return false;
    }

    return true;
}
} // namespace orvo::songexport
