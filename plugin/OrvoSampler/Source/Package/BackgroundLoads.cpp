#include "Processor/PluginProcessor.h"

void OrvoSamplerAudioProcessor::startBackgroundLoad (const juce::File& path, std::function<void()> onFinished)
{
    std::vector<std::unique_ptr<LoadWorker>> finished;
    auto worker = std::make_unique<LoadWorker>();
    auto& running = *worker;

    {
        const juce::ScopedLock sl (lock);
        joinFinishedLoadsLocked (finished);
        loadWorkers.push_back (std::move (worker));

        // Started under the lock, so the worker's first status write waits
        // until its record is in place.
        running.thread = std::thread ([this, &running, path, onFinished = std::move (onFinished)] {
            runBackgroundLoad (running, path);

            if (onFinished != nullptr)
                onFinished();

            const juce::ScopedLock done (lock);
            running.finished = true;
        });
    }

    for (auto& old : finished)
        old->thread.join();
}

void OrvoSamplerAudioProcessor::runBackgroundLoad (LoadWorker& worker, const juce::File& path)
{
    juce::String error;

    if (! path.isDirectory())
    {
        loadPackage (path, error);
        return;
    }

    ExportHelperLocations locations;
    {
        const juce::ScopedLock sl (lock);
        statusText = "Analyzing Orvo folder...";
        locations = exportHelperLocations;
    }

    if (runSamplerExportForFolder (path, error, locations, &worker.helper))
    {
        loadPackage (resolveManifestForSource (path), error);
        return;
    }

    if (! worker.helper.wasKilled())
    {
        const juce::ScopedLock sl (lock);
        statusText = error;
    }
}

void OrvoSamplerAudioProcessor::joinFinishedLoadsLocked (std::vector<std::unique_ptr<LoadWorker>>& finished)
{
    for (auto it = loadWorkers.begin(); it != loadWorkers.end();)
    {
        if ((*it)->finished)
        {
            finished.push_back (std::move (*it));
            it = loadWorkers.erase (it);
        }
        else
        {
            ++it;
        }
    }
}
