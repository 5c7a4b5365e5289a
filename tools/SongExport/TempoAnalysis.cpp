#include "SongExport.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>

namespace orvo::songexport
{
bool analyseTempo (const juce::AudioBuffer<float>& mono, double sampleRate, double& bpm, double& firstBeat)
{
    constexpr juce::uint32 windowSize = 1024;
    constexpr juce::uint32 hopSize = 512;

    auto* tempo = new_aubio_tempo ("default", windowSize, hopSize, static_cast<juce::uint32> (sampleRate));
    auto* input = new_fvec (hopSize);
    auto* output = new_fvec (1);

    if (tempo == nullptr || input == nullptr || output == nullptr)
        return false;

    std::vector<double> beats;
    const auto* samples = mono.getReadPointer (0);

    for (int start = 0; start + static_cast<int> (hopSize) <= mono.getNumSamples(); start += static_cast<int> (hopSize))
    {
        for (juce::uint32 i = 0; i < hopSize; ++i)
            fvec_set_sample (input, samples[start + static_cast<int> (i)], i);

        aubio_tempo_do (tempo, input, output);

        if (fvec_get_sample (output, 0) != 0.0f)
            beats.push_back (static_cast<double> (aubio_tempo_get_last_s (tempo)));
    }

    del_aubio_tempo (tempo);
    del_fvec (input);
    del_fvec (output);

    if (beats.size() < 8)
        return false;

    // aubio's per-beat estimate wanders. A rough period from the median gap
    // numbers the beats (a missed or doubled beat keeps its place), and a
    // straight line through the numbered beat times, skipping the first few
    // while the tracker settles, pins the period down.
    std::vector<double> gaps;
    for (size_t i = 1; i < beats.size(); ++i)
        gaps.push_back (beats[i] - beats[i - 1]);
    std::nth_element (gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t> (gaps.size() / 2), gaps.end());
    const auto roughPeriod = gaps[gaps.size() / 2];

    if (! (roughPeriod > 0.0))
        return false;

    const auto skip = std::min<size_t> (4, beats.size() / 4);
    double count = 0, sumK = 0, sumT = 0, sumKK = 0, sumKT = 0;
    double k = 0.0;

    for (size_t i = skip; i < beats.size(); ++i)
    {
        // Numbered gap by gap, so a slightly wrong rough period never adds up.
        if (i > skip)
            k += std::max (1.0, std::round ((beats[i] - beats[i - 1]) / roughPeriod));

        count += 1.0;
        sumK += k;
        sumT += beats[i];
        sumKK += k * k;
        sumKT += k * beats[i];
    }

    const auto period = (count * sumKT - sumK * sumT) / (count * sumKK - sumK * sumK);
    const auto offset = (sumT - period * sumK) / count;

    if (! (period > 0.0))
        return false;

    bpm = 60.0 / period;

    // Keep to the usual range of song tempos.
    while (bpm < 70.0)
        bpm *= 2.0;
    while (bpm > 180.0)
        bpm /= 2.0;

    const auto beat = 60.0 / bpm;
    // The beat phase nearest zero; the tracker reports beats a little late,
    // so a phase just under a whole beat is really a beat at the start.
    firstBeat = std::fmod (offset, beat);
    if (firstBeat < 0.0)
        firstBeat += beat;
    if (firstBeat > beat * 0.5)
        firstBeat -= beat;
    firstBeat = std::max (0.0, firstBeat);

    return true;
}
} // namespace orvo::songexport
