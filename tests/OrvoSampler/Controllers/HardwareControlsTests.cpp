#include "Support/EngineHarness.h"

#include <gtest/gtest.h>

using namespace orvo::test;

namespace
{
using Bytes = std::vector<juce::uint8>;
using Kind = Processor::MidiAssignment::Kind;

std::vector<Bytes> takeQueued (Processor& p)
{
    const juce::ScopedLock sl (p.lock);
    std::vector<Bytes> result;
    for (const auto event : p.pendingMidiOut)
        result.push_back (bytesOf (event.getMessage()));
    p.pendingMidiOut.clear();
    return result;
}

Processor::HardwareControl control (Processor& p, const juce::String& id)
{
    const juce::ScopedLock sl (p.lock);
    for (const auto& c : p.hardwareControls)
        if (c.id == id)
            return c;
    ADD_FAILURE() << "no control " << id;
    return {};
}

void assign (Processor& p, const juce::String& id, Kind kind, int channel, int number)
{
    const juce::ScopedLock sl (p.lock);
    for (auto& c : p.hardwareControls)
        if (c.id == id)
            c.assignment = { kind, channel, number };
}

// Runs one 64-sample block carrying these messages.
void send (Processor& p, std::vector<juce::MidiMessage> messages)
{
    std::vector<TimedMessage> events;
    for (const auto& m : messages)
        events.push_back ({ 0, m });
    render (p, 64, 64, events);
}
} // namespace

TEST (HardwareControls, EditorMovesSendTheAssignedMessage)
{
    struct Case
    {
        const char* name;
        const char* id;
        Kind kind;
        int channel;
        int number;
        float value;
        Bytes expected; // empty: nothing sent
    };

    const Case cases[] = {
        { "fader3 half", "fader3", Kind::cc, 1, 32, 0.5f, { 0xB0, 32, 64 } },
        { "knob full", "knob1", Kind::cc, 1, 20, 1.0f, { 0xB0, 20, 127 } },
        { "knob zero", "knob1", Kind::cc, 1, 20, 0.0f, { 0xB0, 20, 0 } },
        { "knob 0.004 rounds up", "knob1", Kind::cc, 1, 20, 0.004f, { 0xB0, 20, 1 } },
        { "value clamped above", "knob1", Kind::cc, 1, 20, 7.0f, { 0xB0, 20, 127 } },
        { "channel clamped", "knob2", Kind::cc, 40, 21, 1.0f, { 0xBF, 21, 127 } },
        { "note on", "button1", Kind::note, 10, 36, 1.0f, { 0x99, 36, 127 } },
        { "note off", "button1", Kind::note, 10, 36, 0.0f, { 0x89, 36, 0 } },
        { "note velocity at least 1", "knob4", Kind::note, 1, 50, 0.001f, { 0x90, 50, 1 } },
        { "unset number", "knob5", Kind::cc, 1, -1, 0.7f, {} },
        { "unset note", "knob5", Kind::note, 1, -1, 0.7f, {} },
        { "kind none", "knob6", Kind::none, 1, 10, 0.7f, {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Processor p;
        assign (p, c.id, c.kind, c.channel, c.number);
        p.setHardwareControlValue (c.id, c.value);
        const auto sent = takeQueued (p);

        if (c.expected.empty())
            EXPECT_TRUE (sent.empty());
        else
            EXPECT_EQ (sent, std::vector<Bytes> { c.expected });
    }

    Processor p;
    p.setMomentaryControl ("button2", true);
    p.setMomentaryControl ("button2", false);
    EXPECT_EQ (takeQueued (p), (std::vector<Bytes> { { 0xB0, 81, 127 }, { 0xB0, 81, 0 } }));
    EXPECT_EQ (control (p, "button2").value, 0.0f);

    p.setHardwareControlValue ("nothing", 1.0f);
    EXPECT_TRUE (takeQueued (p).empty());
}

TEST (HardwareControls, IncomingMidiMovesTheFirstMatchingControlSilently)
{
    Processor p;
    assign (p, "knob2", Kind::cc, 1, 20); // knob1 has CC 20 too: only knob1 follows
    assign (p, "button3", Kind::note, 2, 40);

    send (p, { juce::MidiMessage::controllerEvent (1, 20, 127), juce::MidiMessage::controllerEvent (2, 30, 64) });
    EXPECT_EQ (control (p, "knob1").value, 1.0f);
    EXPECT_EQ (control (p, "knob2").value, 0.5f);
    EXPECT_EQ (control (p, "fader1").value, 0.35f); // CC 30 on channel 2 is not fader1's

    send (p, { juce::MidiMessage::noteOn (2, 40, juce::uint8 { 100 }) });
    EXPECT_EQ (control (p, "button3").value, 100.0f); // the velocity itself
    send (p, { juce::MidiMessage::noteOn (2, 40, juce::uint8 { 0 }) });
    EXPECT_EQ (control (p, "button3").value, 0.0f);

    EXPECT_TRUE (takeQueued (p).empty()); // nothing echoed
}

TEST (HardwareControls, PadNotesNeverMoveNoteControls)
{
    Processor p;
    install (p, makePackage ({ constantClip (0.1f, 100) }, { { { 0, 0, 40 } } }));
    assign (p, "button1", Kind::note, 1, 40);
    send (p, { noteOn (40) });
    EXPECT_EQ (control (p, "button1").value, 0.0f);

    const juce::ScopedLock sl (p.lock);
    EXPECT_EQ (p.pendingTriggers.size(), 1u); // the pad was pressed instead
}

TEST (MidiLearn, BindsTheTouchedControlToTheNextControllerOrNote)
{
    Processor p;
    p.toggleMidiLearn();
    EXPECT_EQ (statusOf (p), "Learn: touch a control");

    p.touchHardwareControl ("knob3");
    EXPECT_EQ (statusOf (p), "Learn: send MIDI to knob3");

    send (p, { juce::MidiMessage::controllerEvent (2, 74, 99) });
    const auto knob3 = control (p, "knob3");
    EXPECT_EQ (knob3.assignment.kind, Kind::cc);
    EXPECT_EQ (knob3.assignment.channel, 2);
    EXPECT_EQ (knob3.assignment.number, 74);
    EXPECT_EQ (knob3.value, 0.5f); // the learned event moves nothing
    EXPECT_EQ (statusOf (p), "K3 learned CC74");
    {
        const juce::ScopedLock sl (p.lock);
        EXPECT_FALSE (p.midiLearnEnabled);
        EXPECT_TRUE (p.learnTargetId.isEmpty());
    }

    p.toggleMidiLearn();
    p.touchHardwareControl ("button1");
    send (p, { juce::MidiMessage::noteOn (1, 40, juce::uint8 { 90 }) });
    EXPECT_EQ (statusOf (p), "B1 learned N40");
    EXPECT_EQ (control (p, "button1").value, 0.0f);

    send (p, { juce::MidiMessage::noteOn (1, 40, juce::uint8 { 100 }) });
    EXPECT_EQ (control (p, "button1").value, 100.0f);
    send (p, { juce::MidiMessage::noteOff (1, 40) });
    EXPECT_EQ (control (p, "button1").value, 0.0f);
}

TEST (MidiLearn, PadNotesAndOtherMessagesAreNotLearned)
{
    Processor p;
    install (p, makePackage ({ constantClip (0.1f, 100) }, { { { 0, 0, 40 } } }));
    p.toggleMidiLearn();
    p.touchHardwareControl ("knob1");

    send (p, { noteOn (40), juce::MidiMessage::programChange (1, 3), juce::MidiMessage::pitchWheel (1, 100) });

    const juce::ScopedLock sl (p.lock);
    EXPECT_TRUE (p.midiLearnEnabled);
    EXPECT_EQ (p.learnTargetId, "knob1");
    EXPECT_EQ (p.hardwareControls[0].assignment.number, 20);
    EXPECT_EQ (p.pendingTriggers.size(), 1u); // the pad still plays
}

TEST (MidiLearn, WaitingLearnsNothingAndControlsMoveSilently)
{
    Processor p;
    p.toggleMidiLearn();
    send (p, { juce::MidiMessage::controllerEvent (1, 21, 127) });
    EXPECT_EQ (control (p, "knob2").value, 1.0f);
    EXPECT_EQ (control (p, "knob2").assignment.number, 21);

    p.setHardwareControlValue ("fader1", 0.9f);
    EXPECT_EQ (control (p, "fader1").value, 0.9f);
    EXPECT_TRUE (takeQueued (p).empty());

    p.toggleMidiLearn();
    EXPECT_EQ (statusOf (p), "MIDI learn off");
    p.touchHardwareControl ("knob1"); // learn off: touching changes nothing
    EXPECT_EQ (statusOf (p), "MIDI learn off");
}

TEST (MidiLearn, AVanishedTargetEndsLearnAndLetsTheEventThrough)
{
    Processor p;
    p.toggleMidiLearn();
    p.touchHardwareControl ("knob1");
    {
        const juce::ScopedLock sl (p.lock);
        p.learnTargetId = "gone";
    }

    send (p, { juce::MidiMessage::controllerEvent (1, 20, 0) });
    EXPECT_EQ (statusOf (p), "Learn: send MIDI to knob1");
    EXPECT_EQ (control (p, "knob1").value, 0.0f);
    const juce::ScopedLock sl (p.lock);
    EXPECT_FALSE (p.midiLearnEnabled);
}

TEST (TransportCommands, SendTheirMessageAndSaySo)
{
    const std::pair<int, Bytes> cases[] = {
        { 0, { 0xF0, 0x7F, 0x7F, 0x06, 0x02, 0xF7 } }, { 1, { 0xF0, 0x7F, 0x7F, 0x06, 0x01, 0xF7 } },
        { 2, { 0xF0, 0x7F, 0x7F, 0x06, 0x06, 0xF7 } }, { 3, { 0xB0, 117, 127 } },
        { 4, { 0xB0, 118, 127 } }, { 5, { 0xB0, 119, 127 } },
    };
    const char* names[] = { "Play", "Stop", "Record", "Arm", "Mute", "Solo" };

    Processor p;
    for (const auto& [index, bytes] : cases)
    {
        p.triggerTransportCommand (index);
        EXPECT_EQ (takeQueued (p), std::vector<Bytes> { bytes }) << index;
        EXPECT_EQ (statusOf (p), juce::String (names[index]) + " command sent");
    }

    p.triggerTransportCommand (6);
    p.triggerTransportCommand (-1);
    EXPECT_TRUE (takeQueued (p).empty());
}

TEST (MidiAssignmentJson, WritesThreeKeysAndReadsBackClamped)
{
    juce::DynamicObject written;
    Processor::addMidiAssignmentJson (written, { Kind::note, 3, 64 });
    const auto& properties = written.getProperties();
    ASSERT_EQ (properties.size(), 3);
    EXPECT_EQ (properties.getName (0).toString(), "kind");
    EXPECT_EQ (properties.getName (1).toString(), "channel");
    EXPECT_EQ (properties.getName (2).toString(), "number");
    EXPECT_EQ (properties.getValueAt (0).toString(), "note");

    const auto read = [] (const char* json) { return Processor::midiAssignmentFromJson (juce::JSON::parse (json)); };

    struct Case { const char* json; Kind kind; int channel; int number; };
    const Case cases[] = {
        { R"({"kind": "cc", "channel": 2, "number": 74})", Kind::cc, 2, 74 },
        { R"({"kind": "note", "channel": 10, "number": 36})", Kind::note, 10, 36 },
        { R"({"kind": "CC", "channel": 2, "number": 74})", Kind::none, 2, 74 },
        { R"({"kind": "cc", "channel": 0, "number": 300})", Kind::cc, 1, 127 },
        { R"({"kind": "cc", "channel": 99, "number": -7})", Kind::cc, 16, -1 },
        { R"({"channel": "x", "number": 1e300})", Kind::none, 1, 127 },
        { R"([{"kind": "cc", "channel": 2, "number": 74}])", Kind::none, 1, -1 },
        { "7", Kind::none, 1, -1 },
    };

    for (const auto& c : cases)
    {
        const auto assignment = read (c.json);
        EXPECT_EQ (assignment.kind, c.kind) << c.json;
        EXPECT_EQ (assignment.channel, c.channel) << c.json;
        EXPECT_EQ (assignment.number, c.number) << c.json;
    }
}
