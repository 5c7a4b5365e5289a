#include "Processor/PluginProcessor.h"

#if JUCE_LINUX || JUCE_MAC || JUCE_BSD
 #include <unistd.h>
#endif

namespace
{
const juce::String manifestFileName { "orvo_sampler_manifest.json" };
constexpr int maxReportedOutput = 800;
constexpr int pollIntervalMs = 100;

juce::File firstExistingFile (const juce::Array<juce::File>& candidates)
{
    for (const auto& candidate : candidates)
        if (candidate.existsAsFile())
            return candidate;

    return {};
}

// A helper we may not execute would only fail inside the forked child;
// say so up front instead.
bool canExecute (const juce::File& program)
{
   #if JUCE_LINUX || JUCE_MAC || JUCE_BSD
    return ::access (program.getFullPathName().toRawUTF8(), X_OK) == 0;
   #else
    return program.existsAsFile();
   #endif
}

enum class RunResult
{
    notStarted,
    killed,
    finished
};

RunResult runToEnd (const juce::StringArray& arguments, ExportHelperProcess* handle, juce::String& output,
                    juce::uint32& exitCode)
{
    juce::ChildProcess child;

    if (! canExecute (juce::File (arguments[0]))
        || ! child.start (arguments, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return RunResult::notStarted;

    if (handle != nullptr && ! handle->attach (child))
    {
        child.kill();
        child.waitForProcessToFinish (-1);
        return RunResult::killed;
    }

    while (child.isRunning())
    {
        output << child.readAllProcessOutput();
        juce::Thread::sleep (pollIntervalMs);
    }

    output << child.readAllProcessOutput();
    exitCode = child.getExitCode();

    if (handle != nullptr)
    {
        const auto wasKilled = handle->wasKilled();
        handle->detach();

        if (wasKilled)
            return RunResult::killed;
    }

    return RunResult::finished;
}
} // namespace

ExportHelperLocations ExportHelperLocations::platformDefaults()
{
    ExportHelperLocations locations;
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);

   #if JUCE_MAC
    locations.installedHelpers.add (juce::File ("/Library/Application Support/Orvo Sampler/orvo-to-ableton"));
    locations.installedHelpers.add (home.getChildFile ("Library/Application Support/Orvo Sampler/orvo-to-ableton"));
    locations.uvCandidates.add (juce::File (ORVO_DEVELOPMENT_UV));
    locations.uvCandidates.add (juce::File ("/opt/homebrew/bin/uv"));
    locations.uvCandidates.add (juce::File ("/usr/local/bin/uv"));
   #else
    locations.installedHelpers.add (juce::File ("/usr/local/lib/orvo-sampler/orvo-to-ableton"));
    locations.installedHelpers.add (home.getChildFile (".local/lib/orvo-sampler/orvo-to-ableton"));
    locations.uvCandidates.add (juce::File (ORVO_DEVELOPMENT_UV));
    locations.uvCandidates.add (juce::File ("/usr/local/bin/uv"));
    locations.uvCandidates.add (juce::File ("/usr/bin/uv"));
   #endif

    locations.developmentProjectRoot = juce::File (ORVO_DEVELOPMENT_PROJECT_ROOT);
    return locations;
}

void ExportHelperProcess::kill()
{
    const juce::ScopedLock sl (processLock);
    killed = true;

    if (running != nullptr)
        running->kill();
}

bool ExportHelperProcess::wasKilled() const
{
    const juce::ScopedLock sl (processLock);
    return killed;
}

bool ExportHelperProcess::attach (juce::ChildProcess& child)
{
    const juce::ScopedLock sl (processLock);
    running = &child;
    return ! killed;
}

void ExportHelperProcess::detach()
{
    const juce::ScopedLock sl (processLock);
    running = nullptr;
}

juce::File OrvoSamplerAudioProcessor::resolveManifestForSource (const juce::File& source) const
{
    return findManifestFor (source);
}

juce::File OrvoSamplerAudioProcessor::findManifestFor (const juce::File& source)
{
    if (source.isDirectory())
    {
        const auto direct = source.getChildFile (manifestFileName);
        if (direct.existsAsFile())
            return direct;

        const auto processed = source.getChildFile ("processed").getChildFile ("sampler").getChildFile (manifestFileName);
        if (processed.existsAsFile())
            return processed;
    }

    return source;
}

bool OrvoSamplerAudioProcessor::runSamplerExportForFolder (const juce::File& folder, juce::String& error,
                                                           const ExportHelperLocations& locations,
                                                           ExportHelperProcess* handle)
{
    juce::StringArray arguments;
    juce::String notStartedMessage;

    if (const auto helper = firstExistingFile (locations.installedHelpers); helper != juce::File())
    {
        arguments = { helper.getFullPathName(), "export-sampler", folder.getFullPathName(), "--process-first" };
        notStartedMessage = "Could not start bundled sampler export helper.";
    }
    else
    {
        const auto uv = firstExistingFile (locations.uvCandidates);

        if (uv == juce::File())
        {
            error = "Could not find the Orvo Sampler helper or uv. Reinstall Orvo Sampler or install uv for development.";
            return false;
        }

        const auto& root = locations.developmentProjectRoot;

        if (! root.getChildFile ("pyproject.toml").existsAsFile())
        {
            error = "Could not find Orvo Sampler project root: " + root.getFullPathName();
            return false;
        }

        arguments = { uv.getFullPathName(), "run", "--project", root.getFullPathName(), "orvo-to-ableton",
                      "export-sampler", folder.getFullPathName(), "--process-first" };
        notStartedMessage = "Could not start sampler export helper.";
    }

    juce::String output;
    juce::uint32 exitCode = 0;
    const auto result = runToEnd (arguments, handle, output, exitCode);

    if (result == RunResult::notStarted)
    {
        error = notStartedMessage;
        return false;
    }

    if (result == RunResult::killed)
    {
        error = "Sampler export was cancelled.";
        return false;
    }

    if (exitCode != 0)
    {
        error = "Sampler export failed (" + juce::String (exitCode) + "): "
                + output.trim().substring (0, maxReportedOutput);
        return false;
    }

    if (! findManifestFor (folder).existsAsFile())
    {
        error = "Sampler export completed but no sampler manifest was created.";
        return false;
    }

    return true;
}
