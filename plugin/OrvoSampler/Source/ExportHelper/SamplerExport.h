#pragma once

#include <juce_core/juce_core.h>

// Where the export helper and the development tools are looked for, in
// search order. The defaults are the platform's fixed locations; tests put
// fake helpers elsewhere.
struct ExportHelperLocations
{
    juce::Array<juce::File> installedHelpers; // system-wide, then per user
    juce::Array<juce::File> uvCandidates;
    juce::File developmentProjectRoot;        // holds pyproject.toml

    static ExportHelperLocations platformDefaults();
};

// A handle on the helper's child process that another thread can use to
// end it, for example while the plug-in is being closed.
class ExportHelperProcess
{
public:
    // Ends the running child; a run started after this ends at once.
    void kill();
    bool wasKilled() const;

    // The runner registers its child while it waits for it; false when the
    // handle has already been killed.
    bool attach (juce::ChildProcess& child);
    void detach();

private:
    juce::CriticalSection processLock;
    juce::ChildProcess* running = nullptr;
    bool killed = false;
};
