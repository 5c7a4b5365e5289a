// Exporting a 4-minute song of four stereo 44.1 kHz stems (with tempo
// analysis), against merely decoding the four stems, in the same run.

#include "SongExport.h"

#include <chrono>
#include <cstdio>

namespace
{
namespace se = orvo::songexport;

template <typename Work>
double fastestOf (int runs, Work work)
{
    double best = 1.0e30;
    for (int r = 0; r < runs; ++r)
    {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min (best, std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count());
    }
    return best;
}
} // namespace

int main()
{
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("orvo-export-bench-" + juce::Uuid().toString());

    se::DemoSong song;
    song.bpm = 120.0;
    song.writeTempo = false; // the export analyses the tempo itself
    song.barsPerSection = 30; // 4 sections x 30 bars x 2 s = 4 minutes
    juce::String error;

    if (! se::writeDemoSong (folder, song, error))
    {
        std::fprintf (stderr, "%s\n", error.toRawUTF8());
        return 1;
    }

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    const auto stems = se::findStems (folder);

    const auto decoding = fastestOf (3, [&] {
        for (const auto& stem : stems)
        {
            std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (stem.file));
            juce::AudioBuffer<float> audio (static_cast<int> (reader->numChannels), static_cast<int> (reader->lengthInSamples));
            reader->read (&audio, 0, audio.getNumSamples(), 0, true, true);
        }
    });

    bool exported = true;
    const auto exporting = fastestOf (3, [&] {
        folder.getChildFile ("processed").deleteRecursively();
        se::ExportOptions options;
        options.processFirst = true;
        exported = se::exportSampler (folder, options, error) && exported;
    });

    folder.deleteRecursively();

    if (! exported)
    {
        std::fprintf (stderr, "%s\n", error.toRawUTF8());
        return 1;
    }

    std::printf ("4-minute song, %zu stereo 44.1 kHz stems (fastest of 3 runs)\n", stems.size());
    std::printf ("  decoding the stems    %7.3f s\n", decoding);
    std::printf ("  export-sampler        %7.3f s (tempo analysis, 128 clips, manifest)\n", exporting);
    std::printf ("  ratio export / decode %7.2f (aim: at most 4)\n", exporting / decoding);
    return 0;
}
