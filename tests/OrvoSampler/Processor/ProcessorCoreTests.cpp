#include "Processor/PluginProcessor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace
{
using Processor = OrvoSamplerAudioProcessor;

// Three banks whose slot 0 names tell them apart; bank b's slot 5 plays clip b.
SamplerPackage threeBankPackage()
{
    SamplerPackage package;
    package.songTitle = "Night Drive";

    for (int b = 0; b < 3; ++b)
    {
        PadClip clip;
        clip.clipId = "clip" + juce::String (b);
        clip.audio.setSize (2, 8);
        package.clips.push_back (clip);

        PadBank bank;
        bank.name = "bank" + juce::String (b);
        bank.pads[0].name = "first of bank" + juce::String (b);
        bank.pads[5].clipIndex = b;
        bank.pads[5].empty = false;
        package.banks.push_back (bank);
    }

    return package;
}
} // namespace

TEST (ProcessorCore, StartsWithNothingLoadedAndEveryDefault)
{
    Processor p;
    const juce::ScopedLock sl (p.lock);

    EXPECT_EQ (p.statusText, "Load a Orvo Sampler package");
    EXPECT_TRUE (p.package.banks.empty());
    EXPECT_EQ (p.package.bpm, 120.0);
    EXPECT_EQ (p.samplePosition, 0);
    EXPECT_EQ (p.currentSampleRate, 48000.0);
    EXPECT_EQ (p.launchQuantizationBeats, 0.25);
    EXPECT_FALSE (p.stutterMode);
    EXPECT_FALSE (p.midiLearnEnabled);
    EXPECT_TRUE (p.learnTargetId.isEmpty());
    EXPECT_EQ (p.controllerProfile, ControllerProfile::generic8x8);
    EXPECT_EQ (p.currentBank, 0);
    EXPECT_EQ (p.lastTriggeredPad, 0);
    EXPECT_TRUE (p.activeVoices.empty());
    EXPECT_TRUE (p.pendingTriggers.empty());
    EXPECT_TRUE (p.loopGroups.empty());
    EXPECT_TRUE (p.pressStates.empty());
    EXPECT_TRUE (p.pendingMidiOut.isEmpty());

    for (const auto active : p.padFeedbackActive)
        EXPECT_FALSE (active);

    for (const auto& preset : p.presets)
    {
        EXPECT_FALSE (preset.saved);
        EXPECT_TRUE (preset.manifest.isEmpty());
        EXPECT_EQ (preset.bank, 0);
        EXPECT_EQ (preset.quantizationBeats, 0.25);
        EXPECT_FALSE (preset.stutter);
        EXPECT_TRUE (preset.controls.empty());
    }

    EXPECT_EQ (p.getSongTitle(), "No Track Loaded");
    EXPECT_EQ (p.getTriggerModeName(), "Trigger");
}

TEST (ProcessorCore, BuildsTheTwentyEightDefaultControls)
{
    Processor p;
    const juce::ScopedLock sl (p.lock);
    ASSERT_EQ (p.hardwareControls.size(), 28u);

    struct Group { const char* word; const char* letter; int first; int count; int firstCc; float value; bool momentary; };
    const Group groups[] = { { "knob", "K", 0, 8, 20, 0.5f, false },
                             { "fader", "F", 8, 10, 30, 0.35f, false },
                             { "button", "B", 18, 10, 80, 0.0f, true } };

    for (const auto& g : groups)
    {
        for (int n = 1; n <= g.count; ++n)
        {
            const auto& control = p.hardwareControls[static_cast<size_t> (g.first + n - 1)];
            SCOPED_TRACE (control.id);
            EXPECT_EQ (control.id, g.word + juce::String (n));
            EXPECT_EQ (control.label, g.letter + juce::String (n));
            EXPECT_EQ (control.value, g.value);
            EXPECT_EQ (control.momentary, g.momentary);
            EXPECT_EQ (control.assignment.kind, Processor::MidiAssignment::Kind::cc);
            EXPECT_EQ (control.assignment.channel, 1);
            EXPECT_EQ (control.assignment.number, g.firstCc + n - 1);
        }
    }

    // Rebuilding replaces the controls rather than adding to them.
    p.hardwareControls[0].value = 1.0f;
    p.initialiseHardwareControls();
    EXPECT_EQ (p.hardwareControls.size(), 28u);
    EXPECT_EQ (p.hardwareControls[0].value, 0.5f);
}

TEST (ProcessorCore, AnswersTheHostAsAnInstrumentWithMidiInAndOut)
{
    Processor p;
    EXPECT_EQ (p.getName(), "Orvo Sampler");
    EXPECT_TRUE (p.acceptsMidi());
    EXPECT_TRUE (p.producesMidi());
    EXPECT_FALSE (p.isMidiEffect());
    EXPECT_EQ (p.getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (p.hasEditor());
    EXPECT_FALSE (p.supportsMPE());
    EXPECT_EQ (p.getBypassParameter(), nullptr);
    EXPECT_TRUE (p.getParameters().isEmpty());

    EXPECT_EQ (p.getBusCount (true), 0);
    ASSERT_EQ (p.getBusCount (false), 1);
    EXPECT_EQ (p.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (p.getBus (false, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());
    EXPECT_TRUE (p.getBus (false, 0)->isEnabledByDefault());

    EXPECT_EQ (p.getNumPrograms(), 1);
    EXPECT_EQ (p.getCurrentProgram(), 0);
    p.setCurrentProgram (3);
    p.changeProgramName (0, "renamed");
    EXPECT_EQ (p.getCurrentProgram(), 0);
    EXPECT_TRUE (p.getProgramName (0).isEmpty());
}

TEST (ProcessorCore, AcceptsMonoAndStereoOutputsOnly)
{
    Processor p;
    const std::pair<juce::AudioChannelSet, bool> cases[] = {
        { juce::AudioChannelSet::mono(), true },
        { juce::AudioChannelSet::stereo(), true },
        { juce::AudioChannelSet::quadraphonic(), false },
        { juce::AudioChannelSet::create5point1(), false },
        { juce::AudioChannelSet::disabled(), false },
    };

    for (const auto& [set, supported] : cases)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.outputBuses.add (set);
        layout.inputBuses.add (juce::AudioChannelSet::create7point1()); // never examined
        EXPECT_EQ (p.isBusesLayoutSupported (layout), supported) << set.getDescription();
    }

    EXPECT_TRUE (p.setChannelLayoutOfBus (false, 0, juce::AudioChannelSet::mono()));
    EXPECT_EQ (p.getTotalNumOutputChannels(), 1);
    EXPECT_FALSE (p.setChannelLayoutOfBus (false, 0, juce::AudioChannelSet::create5point1()));
    EXPECT_EQ (p.getTotalNumOutputChannels(), 1);
}

TEST (ProcessorCore, AccessorsUseTheClampedCurrentBank)
{
    Processor p;

    EXPECT_EQ (p.getPad (5).note, 36);
    EXPECT_TRUE (p.getPad (5).empty);
    EXPECT_EQ (p.getClipForPad (5).sampleRate, 48000.0);
    EXPECT_EQ (p.getClipForPad (5).audio.getNumChannels(), 0);

    {
        const juce::ScopedLock sl (p.lock);
        p.package = threeBankPackage();
    }

    const std::pair<int, const char*> banks[] = { { 0, "0" }, { 1, "1" }, { 7, "2" }, { -2, "0" } };
    for (const auto& [bank, expected] : banks)
    {
        {
            const juce::ScopedLock sl (p.lock);
            p.currentBank = bank;
        }
        SCOPED_TRACE (bank);
        EXPECT_EQ (p.getPad (0).name, juce::String ("first of bank") + expected);
        EXPECT_EQ (p.getClipForPad (5).clipId, juce::String ("clip") + expected);
    }

    for (const auto slot : { -1, 64, 1000 })
    {
        EXPECT_TRUE (p.getPad (slot).name.isEmpty()) << slot;
        EXPECT_EQ (p.getPad (slot).note, 36) << slot;
        EXPECT_TRUE (p.getClipForPad (slot).clipId.isEmpty()) << slot;
    }

    EXPECT_EQ (p.getSongTitle(), "Night Drive");
}

TEST (ProcessorCore, ClipForPadIgnoresTheEmptyFlagButNotTheClipRange)
{
    Processor p;
    const juce::ScopedLock sl (p.lock);
    p.package = threeBankPackage();
    auto& pads = p.package.banks[0].pads;

    pads[5].empty = true;
    EXPECT_EQ (p.getClipForPad (5).clipId, "clip0");
    EXPECT_EQ (p.findPlayableClipLocked (pads[5]), nullptr);

    pads[6].clipIndex = 3;
    pads[6].empty = false;
    EXPECT_TRUE (p.getClipForPad (6).clipId.isEmpty());
    EXPECT_EQ (p.findPlayableClipLocked (pads[6]), nullptr);

    pads[5].empty = false;
    EXPECT_EQ (p.findPlayableClipLocked (pads[5]), &p.package.clips[0]);
}

TEST (ProcessorCore, NamesTheFiveQuantizationStepsAndCallsEverythingElseABar)
{
    Processor p;
    const std::pair<double, const char*> cases[] = {
        { 0.25, "1/16" }, { 0.5, "1/8" }, { 1.0, "1/4" }, { 2.0, "1/2" }, { 4.0, "1 bar" },
        { 3.0, "1 bar" }, { 0.2500001, "1 bar" }, { 0.0, "1 bar" }, { 1e300, "1 bar" },
    };

    for (const auto& [beats, name] : cases)
    {
        {
            const juce::ScopedLock sl (p.lock);
            p.launchQuantizationBeats = beats;
        }
        EXPECT_EQ (p.getLaunchQuantizationName(), name) << beats;
    }

    {
        const juce::ScopedLock sl (p.lock);
        p.stutterMode = true;
    }
    EXPECT_EQ (p.getTriggerModeName(), "Stutter");
}

TEST (ProcessorCore, LoopTypeAndGroupKeyRules)
{
    PadClip oneShotClip;
    PadClip loopClip;
    loopClip.isLoop = true;

    PadAssignment plain;
    PadAssignment hold;
    hold.playbackMode = "hold";
    PadAssignment holdUpper;
    holdUpper.playbackMode = "Hold";
    PadAssignment loopKind;
    loopKind.kind = "loop";

    EXPECT_FALSE (Processor::isLoopTypePad (plain, oneShotClip));
    EXPECT_TRUE (Processor::isLoopTypePad (plain, loopClip));
    EXPECT_TRUE (Processor::isLoopTypePad (hold, oneShotClip));
    EXPECT_FALSE (Processor::isLoopTypePad (holdUpper, oneShotClip));
    EXPECT_TRUE (Processor::isLoopTypePad (loopKind, oneShotClip));

    EXPECT_EQ (Processor::groupKeyFor (plain), "ff2b2f35");
    PadAssignment translucent;
    translucent.colour = juce::Colour (0x0a00ff00u);
    EXPECT_EQ (Processor::groupKeyFor (translucent), "a00ff00");
}

TEST (ProcessorCore, PrepareAndReleaseKeepTheClockAndEverythingButPlayback)
{
    Processor p;
    {
        const juce::ScopedLock sl (p.lock);
        p.package = threeBankPackage();
        p.samplePosition = 12345;
        p.currentBank = 2;
        p.statusText = "busy";
        p.activeVoices.push_back ({});
        p.pendingTriggers.push_back ({});
        p.loopGroups["ff2b2f35"] = { 5, -1 };
        p.pressStates[5] = {};
        p.padFeedbackActive.fill (true);
        p.pendingMidiOut.addEvent (juce::MidiMessage::noteOn (1, 36, juce::uint8 { 5 }), 0);
        p.hardwareControls[0].value = 0.9f;
    }

    p.prepareToPlay (44100.0, 512);
    p.releaseResources();

    const juce::ScopedLock sl (p.lock);
    EXPECT_EQ (p.currentSampleRate, 44100.0);
    EXPECT_EQ (p.samplePosition, 12345);
    EXPECT_TRUE (p.activeVoices.empty());
    EXPECT_TRUE (p.pendingTriggers.empty());
    EXPECT_TRUE (p.loopGroups.empty());
    EXPECT_TRUE (p.pressStates.empty());
    for (const auto active : p.padFeedbackActive)
        EXPECT_FALSE (active);

    EXPECT_EQ (p.package.banks.size(), 3u);
    EXPECT_EQ (p.currentBank, 2);
    EXPECT_EQ (p.statusText, "busy");
    EXPECT_EQ (p.pendingMidiOut.getNumEvents(), 1);
    EXPECT_EQ (p.hardwareControls[0].value, 0.9f);
}

TEST (ProcessorCore, EveryCallWaitsForTheLock)
{
    Processor p;
    const std::pair<const char*, std::function<void()>> calls[] = {
        { "getSongTitle", [&] { (void) p.getSongTitle(); } },
        { "getLaunchQuantizationName", [&] { (void) p.getLaunchQuantizationName(); } },
        { "getTriggerModeName", [&] { (void) p.getTriggerModeName(); } },
        { "getPad", [&] { (void) p.getPad (0); } },
        { "getClipForPad", [&] { (void) p.getClipForPad (0); } },
        { "prepareToPlay", [&] { p.prepareToPlay (44100.0, 64); } },
        { "releaseResources", [&] { p.releaseResources(); } },
        { "processBlock", [&] {
              juce::AudioBuffer<float> audio (2, 32);
              juce::MidiBuffer midi;
              p.processBlock (audio, midi);
          } },
    };

    for (const auto& [name, call] : calls)
    {
        SCOPED_TRACE (name);
        std::future<void> done;
        {
            const juce::ScopedLock sl (p.lock);
            done = std::async (std::launch::async, call);
            EXPECT_EQ (done.wait_for (std::chrono::milliseconds (30)), std::future_status::timeout);
        }
        EXPECT_EQ (done.wait_for (std::chrono::seconds (10)), std::future_status::ready);
    }
}
