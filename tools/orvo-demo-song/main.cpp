// orvo-demo-song FOLDER [--bpm N] [--no-tempo]: writes a synthesized song export folder.
// orvo-demo-song --performance FILE.mid: writes the demo performance for it.
// orvo-demo-song --stutter-performance FILE.mid: the stutter passage, for stutter mode.

#include "OfflineRender.h"
#include "SongExport.h"

#include <iostream>

int main (int argc, char** argv)
{
    orvo::songexport::DemoSong song;
    juce::File folder;

    for (int i = 1; i < argc; ++i)
    {
        const juce::String arg (argv[i]);
        if (arg == "--bpm" && i + 1 < argc)
            song.bpm = juce::jlimit (40.0, 240.0, juce::String (argv[++i]).getDoubleValue());
        else if ((arg == "--performance" || arg == "--stutter-performance") && i + 1 < argc)
        {
            const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (argv[++i]);
            file.deleteFile();
            juce::FileOutputStream out (file);
            const auto performance = arg == "--performance" ? orvo::render::demoPerformance() : orvo::render::demoStutterPerformance();
            if (! out.openedOk() || ! performance.writeTo (out))
            {
                std::cerr << "Cannot write " << file.getFullPathName() << std::endl;
                return 1;
            }
            std::cout << "Wrote the demo performance to " << file.getFullPathName() << std::endl;
            return 0;
        }
        else if (arg == "--no-tempo")
            song.writeTempo = false;
        else
            folder = juce::File::getCurrentWorkingDirectory().getChildFile (arg);
    }

    if (folder == juce::File())
    {
        std::cerr << "usage: orvo-demo-song FOLDER [--bpm N] [--no-tempo] | --performance FILE.mid | --stutter-performance FILE.mid" << std::endl;
        return 64;
    }

    juce::String error;
    if (! orvo::songexport::writeDemoSong (folder, song, error))
    {
        std::cerr << error << std::endl;
        return 1;
    }

    std::cout << "Wrote a demo song at " << song.bpm << " bpm to " << folder.getFullPathName() << std::endl;
    return 0;
}
