// orvo-host-check VST3_BUNDLE LV2_BUNDLE_FOLDER DEMO_MANIFEST
//
// Loads the built plug-ins through JUCE's own plug-in hosting, as a digital
// audio workstation does, and checks them through the host interface only.
// Every failure names its check and what was seen; the exit code is the
// number of failures.

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <X11/Xlib.h>

#include <atomic>
#include <cmath>
#include <iostream>
#include <thread>

namespace
{
int failures = 0;

// Without a window manager (as under Xvfb) some window-manager atoms do not
// exist and JUCE's queries for them raise X errors, which it means to ignore.
// A plug-in's own copy of JUCE puts back whatever handler it found when its
// windowing shuts down, so the host sets this one again before each window.
int ignoreXErrors (Display*, XErrorEvent*)
{
    return 0;
}

void check (bool ok, const juce::String& format, const juce::String& what, const juce::String& seen = {})
{
    std::cout << (ok ? "  ok    " : "  FAIL  ") << format << ": " << what;
    if (! ok && seen.isNotEmpty())
        std::cout << " (saw " << seen << ")";
    std::cout << std::endl;
    failures += ok ? 0 : 1;
}

std::unique_ptr<juce::AudioPluginInstance> instantiate (juce::AudioPluginFormatManager& formats, const juce::PluginDescription& d,
                                                        double rate, int block)
{
    juce::String error;
    auto instance = formats.createPluginInstance (d, rate, block, error);
    if (instance == nullptr)
        std::cout << "  cannot instantiate: " << error << std::endl;
    return instance;
}

struct Block
{
    juce::AudioBuffer<float> audio;
    juce::MidiBuffer midi;
};

Block run (juce::AudioPluginInstance& p, int n, const juce::MidiBuffer& in = {})
{
    Block b { juce::AudioBuffer<float> (std::max (2, p.getTotalNumOutputChannels()), n), in };
    b.audio.clear();
    p.processBlock (b.audio, b.midi);
    return b;
}

bool audioIsClean (const juce::AudioBuffer<float>& audio)
{
    for (int c = 0; c < audio.getNumChannels(); ++c)
        for (int i = 0; i < audio.getNumSamples(); ++i)
        {
            const auto v = audio.getSample (c, i);
            if (! std::isfinite (v) || std::fpclassify (v) == FP_SUBNORMAL)
                return false;
        }
    return true;
}

juce::MemoryBlock stateFor (const juce::File& manifest)
{
    const auto text = "{\"manifest\": " + juce::JSON::toString (manifest.getFullPathName()) + ", \"bank\": 0}";
    juce::MemoryBlock block (text.toRawUTF8(), text.getNumBytesAsUTF8() + 1);
    return block;
}

// Hosts wrap the plug-in's own bytes in their format's state: JUCE's VST3
// host keeps the component state, base64 in XML. Put our document where the
// plug-in's bytes go, ahead of whatever the wrapper appends after its zero.
juce::MemoryBlock hostStateFor (juce::AudioPluginInstance& p, const juce::MemoryBlock& document)
{
    juce::MemoryBlock current;
    p.getStateInformation (current);

    auto xml = juce::AudioProcessor::getXmlFromBinary (current.getData(), static_cast<int> (current.getSize()));
    auto* component = xml != nullptr ? xml->getChildByName ("IComponent") : nullptr;

    if (component == nullptr)
    {
        // JUCE's LV2 host keeps a Turtle state whose one string property is
        // the plug-in's bytes in JUCE's base64 form ("SIZE.CHARS").
        const auto turtle = current.toString();
        for (int start = turtle.indexOfChar ('"'); start >= 0; start = turtle.indexOfChar (start + 1, '"'))
        {
            const auto end = turtle.indexOfChar (start + 1, '"');
            if (end < 0)
                break;

            const auto value = turtle.substring (start + 1, end);
            if (value.containsOnly ("0123456789.+ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")
                && value.upToFirstOccurrenceOf (".", false, false).containsOnly ("0123456789") && value.contains ("."))
            {
                const auto replaced = turtle.substring (0, start + 1) + document.toBase64Encoding() + turtle.substring (end);
                return juce::MemoryBlock (replaced.toRawUTF8(), replaced.getNumBytesAsUTF8());
            }
            start = end;
        }
        return document;
    }

    juce::MemoryBlock bytes;
    bytes.fromBase64Encoding (component->getAllSubText());
    const auto* data = static_cast<const char*> (bytes.getData());
    const auto terminator = std::find (data, data + bytes.getSize(), '\0');
    const auto rest = terminator == data + bytes.getSize() ? bytes.getSize() : static_cast<size_t> (terminator - data) + 1;

    juce::MemoryBlock replaced (document);
    replaced.append (data + rest, bytes.getSize() - rest);
    component->deleteAllTextElements();
    component->addTextElement (replaced.toBase64Encoding());

    juce::MemoryBlock result;
    juce::AudioProcessor::copyXmlToBinary (*xml, result);
    return result;
}

// Renders `blocks` of 512 at 48 kHz with a note-on for `note` at offset 100 of the first.
juce::AudioBuffer<float> renderNote (juce::AudioPluginInstance& p, int note, int blocks, int& pluginMidi)
{
    juce::AudioBuffer<float> out (2, blocks * 512);
    pluginMidi = 0;
    for (int b = 0; b < blocks; ++b)
    {
        juce::MidiBuffer in;
        if (b == 0 && note >= 0)
            in.addEvent (juce::MidiMessage::noteOn (1, note, juce::uint8 { 100 }), 100);
        const auto incoming = in.getNumEvents();
        auto block = run (p, 512, in);
        pluginMidi += block.midi.getNumEvents() - incoming;
        for (int c = 0; c < 2; ++c)
            out.copyFrom (c, b * 512, block.audio, c % block.audio.getNumChannels(), 0, 512);
    }
    return out;
}

int firstSound (const juce::AudioBuffer<float>& audio)
{
    for (int i = 0; i < audio.getNumSamples(); ++i)
        if (std::abs (audio.getSample (0, i)) > 1.0e-9f)
            return i;
    return -1;
}

void checkPlugin (juce::AudioPluginFormatManager& formats, const juce::PluginDescription& d, const juce::File& manifest)
{
    const auto f = d.pluginFormatName;
    std::cout << f << " " << d.fileOrIdentifier << std::endl;

    check (d.name == "Orvo Sampler", f, "named Orvo Sampler", d.name);
    check (d.isInstrument, f, "an instrument");

    auto p = instantiate (formats, d, 48000.0, 512);
    check (p != nullptr, f, "instantiates");
    if (p == nullptr)
        return;

    check (p->acceptsMidi(), f, "accepts MIDI");
    check (p->producesMidi(), f, "produces MIDI");
    check (p->getNumPrograms() <= 1, f, "at most one program", juce::String (p->getNumPrograms()));
    if (p->getNumPrograms() == 1)
        check (p->getProgramName (0).isEmpty(), f, "the program has an empty name", p->getProgramName (0));

    const auto layoutWith = [&p] (const juce::AudioChannelSet& set) {
        auto layout = p->getBusesLayout();
        if (layout.outputBuses.isEmpty())
            return false;
        layout.outputBuses.getReference (0) = set;
        return p->checkBusesLayoutSupported (layout);
    };
    check (layoutWith (juce::AudioChannelSet::stereo()), f, "stereo output accepted");
    // An LV2 bundle declares its ports once, stereo, so only VST3 can switch to mono.
    if (f != "LV2")
        check (layoutWith (juce::AudioChannelSet::mono()), f, "mono output accepted");
    check (! layoutWith (juce::AudioChannelSet::create5point1()), f, "5.1 output refused");
    check (! layoutWith (juce::AudioChannelSet::quadraphonic()), f, "quad output refused");

    // A state document pointing at the demo package; a note on the 1/16 grid.
    p->prepareToPlay (48000.0, 512);
    const auto state = hostStateFor (*p, stateFor (manifest));
    p->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    int pluginMidi = 0;
    const auto audio = renderNote (*p, 92, 16, pluginMidi);
    // The start waits for the next 1/16 boundary (6000 samples at 120 bpm) of
    // the plug-in's own clock, which a host may have run for a few samples
    // before this block.
    const auto start = firstSound (audio);
    check (start > 100 && start <= 6100, f, "a note-on at sample 100 sounds from the next 1/16 boundary (6000 samples on)",
           juce::String (start));
    check (pluginMidi > 0, f, "LED feedback leaves through the MIDI output", juce::String (pluginMidi));

    // The state into a second instance, byte for byte.
    juce::MemoryBlock saved;
    p->getStateInformation (saved);
    auto second = instantiate (formats, d, 48000.0, 512);
    if (second != nullptr)
    {
        second->prepareToPlay (48000.0, 512);
        second->setStateInformation (saved.getData(), static_cast<int> (saved.getSize()));
        juce::MemoryBlock again;
        second->getStateInformation (again);
        check (again == saved, f, "the state survives a round trip into a second instance",
               juce::String (static_cast<int> (saved.getSize())) + " vs " + juce::String (static_cast<int> (again.getSize())) + " bytes");

        // Side by side: a note on one leaves the other silent.
        int ignored = 0;
        const auto playing = renderNote (*p, 84, 16, ignored);
        const auto quiet = renderNote (*second, -1, 16, ignored);
        check (firstSound (playing) >= 0 && firstSound (quiet) == -1, f, "two instances play independently");
        second->releaseResources();
    }

    // Lifecycle, rates and block sizes.
    bool clean = true;
    juce::Random random (11);
    for (int cycle = 0; cycle < 100; ++cycle)
    {
        const double rates[] = { 44100.0, 48000.0, 96000.0 };
        const auto rate = rates[cycle % 3];
        const int sizes[] = { 1, 7, 64, 511, 512, 4096, 1 + random.nextInt (4096) };
        const auto size = sizes[cycle % 7];
        p->releaseResources();
        p->prepareToPlay (rate, size);
        juce::MidiBuffer in;
        if (cycle % 10 == 0)
            in.addEvent (juce::MidiMessage::noteOn (1, 92 - (cycle % 8), juce::uint8 { 90 }), 0);
        for (int b = 0; b < 4; ++b)
        {
            const auto n = cycle % 2 == 0 ? size : 1 + random.nextInt (size);
            clean = audioIsClean (run (*p, n, b == 0 ? in : juce::MidiBuffer()).audio) && clean;
        }
    }
    check (clean, f, "100 prepare/process/release cycles at 44.1, 48 and 96 kHz, blocks of 1 to 4096: no NaN, infinity or denormal");

    // The editor, with and without another thread processing.
    p->prepareToPlay (48000.0, 512);
    std::atomic<bool> processing { false };
    std::atomic<bool> stop { false };
    std::thread audioThread ([&] {
        while (! stop)
        {
            if (processing)
                run (*p, 512);
            else
                std::this_thread::sleep_for (std::chrono::milliseconds (1));
        }
    });

    bool editorsOk = true;
    for (int i = 0; i < 20; ++i)
    {
        processing = i >= 10;
        std::unique_ptr<juce::AudioProcessorEditor> editor (p->createEditor());
        if (editor == nullptr)
        {
            editorsOk = false;
            break;
        }
        XSetErrorHandler (ignoreXErrors);
        editor->addToDesktop (0);
        editor->setVisible (true);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (30);
        editor->setVisible (false);
        editor.reset();
    }
    stop = true;
    audioThread.join();
    check (editorsOk, f, "the editor is created, shown and destroyed 20 times, 10 of them while another thread processes");
    p->releaseResources();
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 4)
    {
        std::cerr << "usage: orvo-host-check VST3_BUNDLE LV2_BUNDLE_FOLDER DEMO_MANIFEST" << std::endl;
        return 64;
    }

    const juce::ScopedJuceInitialiser_GUI juce;

    juce::AudioPluginFormatManager formats;
    formats.addDefaultFormats();

    const juce::File vst3 (argv[1]);
    const juce::File lv2Folder (argv[2]);
    const juce::File manifest (argv[3]);

    for (auto* format : formats.getFormats())
    {
        juce::StringArray identifiers;
        if (format->getName() == "VST3")
            identifiers.add (vst3.getFullPathName());
        else if (format->getName() == "LV2")
            identifiers = format->searchPathsForPlugins (juce::FileSearchPath (lv2Folder.getFullPathName()), true, false);
        else
            continue;

        juce::OwnedArray<juce::PluginDescription> found;
        for (const auto& id : identifiers)
            format->findAllTypesForFile (found, id);

        check (found.size() == 1, format->getName(), "exactly one plug-in found", juce::String (found.size()));
        for (auto* description : found)
            checkPlugin (formats, *description, manifest);
    }

    std::cout << (failures == 0 ? "All host checks passed." : juce::String (failures) + " host checks failed.") << std::endl;
    return failures;
}
