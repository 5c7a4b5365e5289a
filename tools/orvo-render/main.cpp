// orvo-render --package MANIFEST_OR_FOLDER --midi PERFORMANCE.mid --out OUT.wav
//             [--sample-rate 48000] [--block-size 512] [--state STATE]
//             [--midi-out FEEDBACK.mid] [--tail SECONDS]

#include "OfflineRender.h"

#include <iostream>

#include <unistd.h>

namespace
{
int fail (const juce::String& message)
{
    std::cerr << message << std::endl;
    return 1;
}

juce::File fileArgument (const juce::String& text)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile (text);
}
} // namespace

int main (int argc, char** argv)
{
    juce::StringPairArray options;
    for (int i = 1; i + 1 < argc; i += 2)
        options.set (juce::String (argv[i]), juce::String::fromUTF8 (argv[i + 1]));

    const auto usage = "usage: orvo-render --package MANIFEST_OR_FOLDER --midi PERFORMANCE.mid --out OUT.wav "
                       "[--sample-rate 48000] [--block-size 512] [--state STATE] [--midi-out FEEDBACK.mid] [--tail SECONDS]";

    if (argc % 2 == 0 || options["--package"].isEmpty() || options["--midi"].isEmpty() || options["--out"].isEmpty())
        return fail (usage);

    orvo::render::RenderSettings settings;
    settings.sampleRate = options.containsKey ("--sample-rate") ? options["--sample-rate"].getDoubleValue() : 48000.0;
    settings.blockSize = options.containsKey ("--block-size") ? options["--block-size"].getIntValue() : 512;
    settings.tailSeconds = options.containsKey ("--tail") ? options["--tail"].getDoubleValue() : 2.0;

    if (! (settings.sampleRate >= 8000.0 && settings.sampleRate <= 384000.0) || settings.blockSize < 1
        || settings.blockSize > 65536 || ! (settings.tailSeconds >= 0.0 && settings.tailSeconds <= 600.0))
        return fail ("Out of range: --sample-rate 8000..384000, --block-size 1..65536, --tail 0..600");

    OrvoSamplerAudioProcessor processor;
    juce::String error;

    if (options.containsKey ("--state"))
    {
        juce::MemoryBlock state;
        if (! fileArgument (options["--state"]).loadFileAsData (state))
            return fail ("Cannot read state document: " + fileArgument (options["--state"]).getFullPathName());
        processor.setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    }

    auto package = fileArgument (options["--package"]);
    if (package.isDirectory())
    {
        // As the editor does with a folder: the export helper first. The one
        // built beside this program is tried before the installed ones.
        auto locations = ExportHelperLocations::platformDefaults();
        locations.installedHelpers.insert (0, juce::File::getSpecialLocation (juce::File::currentExecutableFile)
                                                  .getSiblingFile ("orvo-to-ableton"));
        if (! OrvoSamplerAudioProcessor::runSamplerExportForFolder (package, error, locations))
            return fail (error);
        package = processor.resolveManifestForSource (package);
    }

    if (! processor.loadPackage (package, error))
        return fail (error);

    std::vector<orvo::render::TimedEvent> events;
    if (! orvo::render::readPerformance (fileArgument (options["--midi"]), settings.sampleRate, events, error))
        return fail (error);

    // A progress bar for a person at a terminal.
    if (::isatty (STDERR_FILENO) != 0)
    {
        settings.progress = [shown = -1] (double fraction) mutable {
            const auto percent = static_cast<int> (fraction * 100.0);
            if (percent != shown)
            {
                shown = percent;
                const auto bars = percent / 4;
                std::cerr << "\r[" << std::string (static_cast<size_t> (bars), '#') << std::string (static_cast<size_t> (25 - bars), ' ')
                          << "] " << percent << "%" << (percent == 100 ? "\n" : "") << std::flush;
            }
        };
    }

    const auto result = orvo::render::render (processor, events, settings);

    if (! orvo::render::writeWav (fileArgument (options["--out"]), result.audio, settings.sampleRate, error))
        return fail (error);

    if (options.containsKey ("--midi-out")
        && ! orvo::render::writeMidi (fileArgument (options["--midi-out"]), result.midiOut, settings.sampleRate, error))
        return fail (error);

    return 0;
}
