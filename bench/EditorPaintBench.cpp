// One full editor paint at 1280 x 780 with 64 non-empty pads whose clips are
// 8-second stereo buffers: its time, and the longest the processor lock is
// held meanwhile (seen from a thread spinning on it), against one
// 512-sample processBlock with 64 voices.

#include "Editor/PluginEditor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace
{
using Clock = std::chrono::steady_clock;

double microseconds (Clock::duration d)
{
    return std::chrono::duration<double, std::micro> (d).count();
}

void installPackage (OrvoSamplerAudioProcessor& processor)
{
    SamplerPackage package;
    PadBank bank;
    juce::Random random (3);

    for (int v = 0; v < padsPerBank; ++v)
    {
        PadClip clip;
        clip.audio.setSize (2, 8 * 48000);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < clip.audio.getNumSamples(); i += 64)
                clip.audio.setSample (c, i, random.nextFloat());
        for (int p = 0; p < 48; ++p)
            clip.waveform.add (random.nextFloat());
        clip.isLoop = true;
        package.clips.push_back (std::move (clip));

        auto& pad = bank.pads[static_cast<size_t> (v)];
        pad.clipIndex = v;
        pad.empty = false;
        pad.name = "Pad " + juce::String (v + 1);
        // Distinct colours: every pad is a loop group of its own, so all 64 voices sound.
        pad.colour = juce::Colour::fromHSV (static_cast<float> (v % 8) / 8.0f, 0.7f, 0.5f + static_cast<float> (v) / 128.0f, 1.0f);
    }
    package.banks.push_back (bank);

    processor.prepareToPlay (48000.0, 512);
    const juce::ScopedLock sl (processor.lock);
    processor.activatePackageLocked (package);
    for (int v = 0; v < padsPerBank; ++v)
        processor.fireStartLocked ({ v, 0, true, false, false,
                                     OrvoSamplerAudioProcessor::groupKeyFor (processor.package.banks[0].pads[static_cast<size_t> (v)]) });
    processor.lastTriggeredPad = 5;
}
} // namespace

int main()
{
    const juce::ScopedJuceInitialiser_GUI juce;
    OrvoSamplerAudioProcessor processor;
    installPackage (processor);
    OrvoSamplerAudioProcessorEditor editor (processor);
    editor.stopTimer();

    juce::Image image (juce::Image::ARGB, editor.getWidth(), editor.getHeight(), true, juce::SoftwareImageType());
    constexpr int paints = 60;

    std::atomic<bool> painting { true };
    Clock::duration longestWait {};
    std::thread probe ([&] {
        // Spin on tryEnter: the longest run of refusals is the longest hold,
        // without the wake-up latency a blocking enter would add. A run in
        // which the probe itself was descheduled (a gap between two of its
        // own steps) says nothing about the hold and is dropped.
        auto refusedSince = Clock::time_point();
        auto lastStep = Clock::now();
        while (painting)
        {
            const auto now = Clock::now();
            if (now - lastStep > std::chrono::microseconds (20))
                refusedSince = {};
            lastStep = now;

            if (processor.lock.tryEnter())
            {
                processor.lock.exit();
                if (refusedSince != Clock::time_point())
                    longestWait = std::max (longestWait, now - refusedSince);
                refusedSince = {};
            }
            else if (refusedSince == Clock::time_point())
            {
                refusedSince = now;
            }
        }
    });

    auto fastestPaint = Clock::duration::max();
    for (int i = 0; i < paints; ++i)
    {
        const auto start = Clock::now();
        juce::Graphics g (image);
        editor.paintEntireComponent (g, true);
        fastestPaint = std::min (fastestPaint, Clock::now() - start);
    }
    painting = false;
    probe.join();

    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    auto fastestBlock = Clock::duration::max();
    for (int i = 0; i < 200; ++i)
    {
        midi.clear();
        const auto start = Clock::now();
        processor.processBlock (buffer, midi);
        fastestBlock = std::min (fastestBlock, Clock::now() - start);
    }

    std::printf ("Editor paint, 64 pads with 8-second stereo clips, 1280 x 780 (fastest of %d)\n", paints);
    std::printf ("  one full paint               %9.1f us\n", microseconds (fastestPaint));
    std::printf ("  longest lock hold seen       %9.1f us (longest refusal seen by a spinning probe)\n", microseconds (longestWait));
    std::printf ("  processBlock, 512 x 64 voices %8.1f us (a block lasts %.0f us)\n", microseconds (fastestBlock), 512.0 / 48000.0 * 1.0e6);
    std::printf ("  longest hold / processBlock  %9.3f\n", microseconds (longestWait) / microseconds (fastestBlock));
    return 0;
}
