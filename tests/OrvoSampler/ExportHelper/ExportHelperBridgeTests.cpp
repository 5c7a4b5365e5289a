#include "Processor/PluginProcessor.h"

#include "Support/TestFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace orvo::test;

namespace
{
using Processor = OrvoSamplerAudioProcessor;

// A small shell program standing in for the helper or uv. It records how it
// was called in calls.txt beside it, then runs `body`.
juce::File fakeProgram (const juce::File& file, const juce::String& body, bool executable = true)
{
    writeText (file, "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" >> \"$(dirname \"$0\")/calls.txt\"\n" + body + "\n");
    file.setExecutePermission (executable);
    return file;
}

const juce::String writesManifest =
    // The folder is the argument before --process-first.
    "folder=\"\"; prev=\"\"; for a in \"$@\"; do [ \"$a\" = --process-first ] && folder=\"$prev\"; prev=\"$a\"; done\n"
    "mkdir -p \"$folder/processed/sampler\" && echo '{}' > \"$folder/processed/sampler/orvo_sampler_manifest.json\"";

juce::StringArray strings (std::initializer_list<juce::String> items)
{
    juce::StringArray result;
    for (const auto& item : items)
        result.add (item);
    return result;
}

class ExportBridge : public ::testing::Test
{
protected:
    ExportBridge()
    {
        song.createDirectory();
        locations.installedHelpers = { bin.getChildFile ("system/orvo-to-ableton"), bin.getChildFile ("user/orvo-to-ableton") };
        locations.uvCandidates = { bin.getChildFile ("dev/uv"), bin.getChildFile ("brew/uv"), bin.getChildFile ("local/uv") };
        locations.developmentProjectRoot = folder.file ("project");
    }

    bool run (juce::String& error) { return Processor::runSamplerExportForFolder (song, error, locations); }

    juce::StringArray callsIn (const juce::String& subfolder) const
    {
        juce::StringArray lines;
        lines.addLines (bin.getChildFile (subfolder).getChildFile ("calls.txt").loadFileAsString().trimEnd());
        return lines;
    }

    TempFolder folder;
    juce::File bin = folder.file ("bin");
    juce::File song = folder.file ("My Song");
    ExportHelperLocations locations;
};
} // namespace

TEST (ManifestResolution, PrefersTheFolderThenItsProcessedSamplerFolder)
{
    TempFolder folder;
    Processor p;
    const auto direct = folder.file ("both/orvo_sampler_manifest.json");
    const auto processed = folder.file ("both/processed/sampler/orvo_sampler_manifest.json");
    writeText (direct, "{}");
    writeText (processed, "{}");
    writeText (folder.file ("deep/processed/sampler/orvo_sampler_manifest.json"), "{}");
    folder.file ("none").createDirectory();

    EXPECT_EQ (p.resolveManifestForSource (folder.file ("both")), direct);
    EXPECT_EQ (p.resolveManifestForSource (folder.file ("deep")), folder.file ("deep/processed/sampler/orvo_sampler_manifest.json"));
    EXPECT_EQ (p.resolveManifestForSource (processed), processed);
    EXPECT_EQ (p.resolveManifestForSource (folder.file ("none")), folder.file ("none"));
    EXPECT_EQ (p.resolveManifestForSource (folder.file ("missing.json")), folder.file ("missing.json"));

    juce::String error;
    EXPECT_FALSE (p.loadPackage (p.resolveManifestForSource (folder.file ("none")), error));
    EXPECT_EQ (error, "Sampler manifest does not exist: " + folder.file ("none").getFullPathName());
}

TEST_F (ExportBridge, RunsTheSystemWideHelperFirstWithItsArguments)
{
    fakeProgram (bin.getChildFile ("system/orvo-to-ableton"), writesManifest);
    fakeProgram (bin.getChildFile ("user/orvo-to-ableton"), writesManifest);

    juce::String error ("untouched");
    EXPECT_TRUE (run (error)) << error;
    EXPECT_EQ (error, "untouched");
    EXPECT_EQ (callsIn ("system"), strings ({ bin.getChildFile ("system/orvo-to-ableton").getFullPathName(),
                                                        "export-sampler", song.getFullPathName(), "--process-first" }));
    EXPECT_FALSE (bin.getChildFile ("user/calls.txt").exists());
}

TEST_F (ExportBridge, AFolderAtAHelperLocationDoesNotCount)
{
    bin.getChildFile ("system/orvo-to-ableton").createDirectory();
    fakeProgram (bin.getChildFile ("user/orvo-to-ableton"), writesManifest);

    juce::String error;
    EXPECT_TRUE (run (error)) << error;
    EXPECT_EQ (callsIn ("user").size(), 4);
}

TEST_F (ExportBridge, TheDevelopmentRouteRunsTheFirstUvThroughTheProject)
{
    fakeProgram (bin.getChildFile ("brew/uv"), writesManifest);
    fakeProgram (bin.getChildFile ("local/uv"), writesManifest);
    writeText (locations.developmentProjectRoot.getChildFile ("pyproject.toml"), "[project]\n");

    juce::String error;
    EXPECT_TRUE (run (error)) << error;
    EXPECT_EQ (callsIn ("brew"), strings ({ bin.getChildFile ("brew/uv").getFullPathName(), "run", "--project",
                                                      locations.developmentProjectRoot.getFullPathName(), "orvo-to-ableton",
                                                      "export-sampler", song.getFullPathName(), "--process-first" }));
    EXPECT_FALSE (bin.getChildFile ("local/calls.txt").exists());
}

TEST_F (ExportBridge, EveryFailureHasItsMessage)
{
    struct Case
    {
        const char* name;
        std::function<void()> prepare;
        std::function<juce::String()> expected;
    };

    const auto helper = [this] { return bin.getChildFile ("system/orvo-to-ableton"); };
    const auto withProject = [this] { writeText (locations.developmentProjectRoot.getChildFile ("pyproject.toml"), "[project]\n"); };

    const Case cases[] = {
        { "helper not executable", [&] { fakeProgram (helper(), writesManifest, false); fakeProgram (bin.getChildFile ("dev/uv"), writesManifest); },
          [] { return juce::String ("Could not start bundled sampler export helper."); } },
        { "nothing installed", [] {},
          [] { return juce::String ("Could not find the Orvo Sampler helper or uv. Reinstall Orvo Sampler or install uv for development."); } },
        { "uv without a project", [&] { fakeProgram (bin.getChildFile ("dev/uv"), writesManifest); },
          [&] { return "Could not find Orvo Sampler project root: " + locations.developmentProjectRoot.getFullPathName(); } },
        { "uv not executable", [&] { fakeProgram (bin.getChildFile ("dev/uv"), writesManifest, false); withProject(); },
          [] { return juce::String ("Could not start sampler export helper."); } },
        { "helper fails loudly", [&] {
              fakeProgram (helper(), "echo '  first line on stdout'\nhead -c 1000 /dev/zero | tr '\\0' x >&2\nexit 2");
          }, [] { return "Sampler export failed (2): first line on stdout\n" + juce::String::repeatedString ("x", 800 - 21); } }, // 800 characters in all
        { "uv route fails", [&] { fakeProgram (bin.getChildFile ("dev/uv"), "echo broken >&2; exit 7"); withProject(); },
          [] { return juce::String ("Sampler export failed (7): broken"); } },
        { "no manifest written", [&] { fakeProgram (helper(), "exit 0"); },
          [] { return juce::String ("Sampler export completed but no sampler manifest was created."); } },
        { "ended by a signal counts as 0", [&] { fakeProgram (helper(), "kill -9 $$"); },
          [] { return juce::String ("Sampler export completed but no sampler manifest was created."); } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        bin.deleteRecursively();
        locations.developmentProjectRoot.deleteRecursively();
        c.prepare();

        juce::String error;
        EXPECT_FALSE (run (error));
        EXPECT_EQ (error, c.expected());
        EXPECT_FALSE (song.getChildFile ("processed").exists());
    }
}

TEST_F (ExportBridge, AnotherThreadCanEndTheHelper)
{
    fakeProgram (bin.getChildFile ("system/orvo-to-ableton"), "exec sleep 60");
    ExportHelperProcess handle;

    const auto started = std::chrono::steady_clock::now();
    std::thread killer ([&handle] {
        std::this_thread::sleep_for (std::chrono::milliseconds (300));
        handle.kill();
    });

    juce::String error;
    EXPECT_FALSE (Processor::runSamplerExportForFolder (song, error, locations, &handle));
    killer.join();

    EXPECT_EQ (error, "Sampler export was cancelled.");
    EXPECT_LT (std::chrono::steady_clock::now() - started, std::chrono::seconds (10));
    EXPECT_TRUE (handle.wasKilled());

    // A handle killed before the run ends it at once.
    error.clear();
    EXPECT_FALSE (Processor::runSamplerExportForFolder (song, error, locations, &handle));
    EXPECT_EQ (error, "Sampler export was cancelled.");
}

TEST (ExportHelperLocations, PlatformDefaultsNameTwoHelpersAndTheUvCandidates)
{
    const auto defaults = ExportHelperLocations::platformDefaults();
    ASSERT_EQ (defaults.installedHelpers.size(), 2);
    EXPECT_EQ (defaults.installedHelpers[0].getFileName(), "orvo-to-ableton");
    EXPECT_TRUE (defaults.installedHelpers[1].isAChildOf (juce::File::getSpecialLocation (juce::File::userHomeDirectory)));
    EXPECT_EQ (defaults.uvCandidates.size(), 3);
    EXPECT_NE (defaults.developmentProjectRoot, juce::File());
}
