// orvo-to-ableton export-sampler FOLDER [--process-first] [--layout launchpad]

#include "SongExport.h"

#include <iostream>

#include <unistd.h>

int main (int argc, char** argv)
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    const auto usage = "usage: orvo-to-ableton export-sampler FOLDER [--process-first] [--layout grid|launchpad]";

    if (args.size() < 2 || args[0] != "export-sampler")
    {
        std::cerr << usage << std::endl;
        return 64;
    }

    orvo::songexport::ExportOptions options;

    // Progress is for a person at a terminal. The plug-in reads stdout and
    // stderr together and shows them as one status line, so under it the
    // output is only the failure message.
    if (::isatty (STDOUT_FILENO) != 0)
        options.progress = [] (const juce::String& line) { std::cout << line << std::endl; };
    juce::File folder;

    for (int i = 1; i < args.size(); ++i)
    {
        if (args[i] == "--process-first")
            options.processFirst = true;
        else if (args[i] == "--layout" && i + 1 < args.size())
            options.layout = args[++i] == "launchpad" ? orvo::songexport::PadLayout::launchpad : orvo::songexport::PadLayout::grid;
        else if (folder == juce::File() && juce::File::isAbsolutePath (args[i]))
            folder = juce::File (args[i]);
        else if (folder == juce::File())
            folder = juce::File::getCurrentWorkingDirectory().getChildFile (args[i]);
        else
        {
            std::cerr << usage << std::endl;
            return 64;
        }
    }

    juce::String error;
    if (! orvo::songexport::exportSampler (folder, options, error))
    {
        std::cerr << error << std::endl;
        return 1;
    }

    return 0;
}
