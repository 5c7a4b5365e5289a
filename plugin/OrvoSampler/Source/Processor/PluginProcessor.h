#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "Controllers/ControllerProfiles.h"
#include "ExportHelper/SamplerExport.h"
#include "Package/SamplerPackage.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

// The instrument. It owns every piece of state by value; the one re-entrant
// lock `lock` guards all of it. The audio thread holds it for a whole block,
// everything else for short sections. Member functions ending in Locked
// expect the caller to hold it.
//
// The fields are public so that the editor can read and write them under the
// lock; nothing may touch them without it.
class OrvoSamplerAudioProcessor : public juce::AudioProcessor
{
public:
    struct ActiveVoice
    {
        int clipIndex = -1;
        int padIndex = -1;
        double position = 0.0;  // fractional read position in clip samples
        double increment = 1.0; // clip rate / host rate at the voice's start
        bool inLoopGroup = false;
        bool active = true;
        bool stutter = false;
        juce::String groupKey;
    };

    struct PendingTrigger
    {
        int padIndex = -1;
        juce::int64 startSample = 0;
        bool asLoop = false;
        bool stutter = false;
        bool stopGroup = false;
        juce::String groupKey;
    };

    struct LoopGroupState
    {
        int activePad = -1;
        int queuedPad = -1;
    };

    struct PressState
    {
        int padIndex = -1;
        int note = -1;
        juce::int64 pressSample = 0;
        bool longPressHandled = false;
        bool stutter = false;
    };

    struct MidiAssignment
    {
        enum class Kind
        {
            none = 0,
            cc = 1,
            note = 2
        };

        Kind kind = Kind::none;
        int channel = 1;
        int number = -1; // -1: unset
    };

    struct HardwareControl
    {
        juce::String id;
        juce::String label;
        float value = 0.0f;
        bool momentary = false;
        MidiAssignment assignment;
    };

    struct PresetSlot
    {
        bool saved = false;
        juce::String manifest;
        int bank = 0;
        double quantizationBeats = 0.25;
        bool stutter = false;
        std::vector<HardwareControl> controls;
    };

    OrvoSamplerAudioProcessor();
    ~OrvoSamplerAudioProcessor() override;

    // Host lifecycle
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;

    // Host-facing identity
    const juce::String getName() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;
    double getTailLengthSeconds() const override;
    bool hasEditor() const override;
    juce::AudioProcessorEditor* createEditor() override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    // Host state
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    // Package activation: decodes without the lock, then swaps in one locked step.
    bool loadPackage (const juce::File& manifest, juce::String& error);
    void activatePackageLocked (SamplerPackage& incoming);

    // Song export folders: run the export helper, then find the manifest it wrote.
    // Both use no processor state and take no lock; the export blocks until
    // the helper has ended, so it belongs on a background thread.
    static bool runSamplerExportForFolder (const juce::File& folder, juce::String& error,
                                           const ExportHelperLocations& locations = ExportHelperLocations::platformDefaults(),
                                           ExportHelperProcess* handle = nullptr);
    juce::File resolveManifestForSource (const juce::File& source) const;
    static juce::File findManifestFor (const juce::File& source);

    // Loads a manifest, or runs the export helper on a folder first, on a
    // worker the processor owns; `onFinished` runs on that worker at the end.
    // Destroying the processor ends a running helper and waits for the worker.
    void startBackgroundLoad (const juce::File& path, std::function<void()> onFinished);

    // Pads from the editor.
    void triggerPad (int padSlot, bool fromMouse = true);
    void releasePad (int padSlot);

    // Pad presses and releases, from MIDI or the editor.
    void triggerPadLocked (int padSlot, int note, juce::int64 pressTime);
    void releasePadLocked (int padSlot, int note);

    // Launch quantization.
    juce::int64 quantumSamplesLocked() const;
    juce::int64 nextBoundaryLocked (juce::int64 now) const;
    void schedulePadStartLocked (const PadAssignment& pad, bool asLoop, bool stutter, juce::int64 now);
    void cancelPendingStartsForPadLocked (int padIndex, bool stutterOnly);
    void fireStartLocked (const PendingTrigger& entry);

    // Loop groups.
    juce::int64 holdSamplesLocked() const;
    void queueLoopPadLocked (const PadAssignment& pad, LoopGroupState& group);
    void runHoldActionLocked (int padIndex, juce::int64 holdTime);
    void fireLoopStopLocked (const PendingTrigger& entry);
    bool handOverLoopLocked (ActiveVoice& voice);

    // Pad LED feedback.
    void queuePadFeedbackLocked (int padIndex);
    void sendAllPadFeedbackLocked();

    // Hardware controls, MIDI learn and transport, from the editor.
    void touchHardwareControl (const juce::String& id);
    void setHardwareControlValue (const juce::String& id, float value);
    void setMomentaryControl (const juce::String& id, bool down);
    void triggerTransportCommand (int index);
    void toggleMidiLearn();
    void sendHardwareControlLocked (const HardwareControl& control, int = 0);

    // Incoming MIDI, in the order the render loop applies it.
    bool learnFromMidiLocked (const juce::MidiMessage& message);
    void updateHardwareControlsFromMidiLocked (const juce::MidiMessage& message);
    bool isPadNoteLocked (int note) const;

    // The JSON form of a control list, shared by the state document and the presets.
    static juce::var controlsToJson (const std::vector<HardwareControl>& controls);
    static void applyControlsJson (std::vector<HardwareControl>& controls, const juce::var& elements);

    // Preset slots.
    juce::var presetToJsonLocked (const PresetSlot& preset) const;
    PresetSlot presetFromJsonLocked (const juce::var& value) const;
    void savePresetLocked (int slot);
    void recallPreset (int slot);

    static void addMidiAssignmentJson (juce::DynamicObject& object, const MidiAssignment& assignment);
    static MidiAssignment midiAssignmentFromJson (const juce::var& value);

    juce::String quantizationNameLocked() const;

    // Editor-facing accessors: each takes the lock and returns a copy.
    juce::String getSongTitle() const;
    juce::String getLaunchQuantizationName() const;
    juce::String getTriggerModeName() const;
    PadAssignment getPad (int padSlot) const;
    PadClip getClipForPad (int padSlot) const; // copies the clip's audio: not for the audio thread

    // Current bank lookup: the pad at a slot of the clamped current bank, or
    // nullptr when there are no banks or the slot is outside 0..63.
    const PadAssignment* findPadLocked (int padSlot) const;
    const PadClip* findPlayableClipLocked (const PadAssignment& pad) const;
    static bool isLoopTypePad (const PadAssignment& pad, const PadClip& clip);
    static juce::String groupKeyFor (const PadAssignment& pad);

    void initialiseHardwareControls();

    static constexpr float voiceGain = 0.85f;

    // State, in construction order. Guarded by `lock`.
    juce::CriticalSection lock;
    SamplerPackageLoader packageLoader;
    SamplerPackage package;
    std::vector<ActiveVoice> activeVoices;
    std::vector<PendingTrigger> pendingTriggers;
    std::map<juce::String, LoopGroupState> loopGroups;
    std::map<int, PressState> pressStates;
    std::vector<HardwareControl> hardwareControls;
    std::array<PresetSlot, 5> presets;
    juce::MidiBuffer pendingMidiOut;
    std::array<bool, padsPerBank> padFeedbackActive {};
    int currentBank = 0;
    int lastTriggeredPad = 0;
    juce::int64 samplePosition = 0;
    double currentSampleRate = 48000.0;
    double launchQuantizationBeats = 0.25;
    bool stutterMode = false;
    bool midiLearnEnabled = false;
    juce::String learnTargetId;
    ControllerProfile controllerProfile = ControllerProfile::generic8x8;
    juce::String statusText { "Load a Orvo Sampler package" };
    ExportHelperLocations exportHelperLocations = ExportHelperLocations::platformDefaults();

private:
    struct LoadWorker
    {
        std::thread thread;
        ExportHelperProcess helper;
        bool finished = false;
    };

    void runBackgroundLoad (LoadWorker& worker, const juce::File& path);
    void joinFinishedLoadsLocked (std::vector<std::unique_ptr<LoadWorker>>& finished);

    std::vector<std::unique_ptr<LoadWorker>> loadWorkers; // guarded by `lock`

    void handleIncomingMidiLocked (const juce::MidiMessage& message, juce::int64 eventTime);
    void runHoldScanLocked (juce::int64 blockEnd);
    void renderVoiceLocked (ActiveVoice& voice, float* const* outputs, int numOutputs, int sampleIndex);
    double playbackIncrementLocked (const PadClip& clip) const;
    bool reloadPackageFromPath (const juce::String& path);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OrvoSamplerAudioProcessor)
};
