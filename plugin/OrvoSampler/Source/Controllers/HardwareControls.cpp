#include "Processor/PluginProcessor.h"

#include "Common/JsonReading.h"

#include <cmath>

namespace
{
struct TransportCommand
{
    const char* name;
    juce::MidiMessage (*message)();
};

// MMC to every device (id 7F): play 02, stop 01, record strobe 06.
juce::MidiMessage mmc (juce::uint8 command)
{
    const juce::uint8 body[] = { 0x7f, 0x7f, 0x06, command };
    return juce::MidiMessage::createSysExMessage (body, static_cast<int> (sizeof (body)));
}

const TransportCommand transportCommands[] = {
    { "Play", [] { return mmc (0x02); } },
    { "Stop", [] { return mmc (0x01); } },
    { "Record", [] { return mmc (0x06); } },
    { "Arm", [] { return juce::MidiMessage::controllerEvent (1, 117, 127); } },
    { "Mute", [] { return juce::MidiMessage::controllerEvent (1, 118, 127); } },
    { "Solo", [] { return juce::MidiMessage::controllerEvent (1, 119, 127); } },
};

// value x 127 to the nearest integer, halves away from zero, at most 127.
int toDataValue (float value)
{
    if (std::isnan (value))
        return 0;

    return std::min (127, static_cast<int> (std::round (juce::jlimit (-1000.0f, 1000.0f, value) * 127.0f)));
}
} // namespace

void OrvoSamplerAudioProcessor::initialiseHardwareControls()
{
    hardwareControls.clear();

    struct Group
    {
        const char* word;
        const char* labelLetter;
        int count;
        int firstCc;
        float defaultValue;
        bool momentary;
    };

    static constexpr Group groups[] = {
        { "knob", "K", 8, 20, 0.5f, false },
        { "fader", "F", 10, 30, 0.35f, false },
        { "button", "B", 10, 80, 0.0f, true },
    };

    for (const auto& group : groups)
    {
        for (int n = 1; n <= group.count; ++n)
        {
            HardwareControl control;
            control.id = group.word + juce::String (n);
            control.label = group.labelLetter + juce::String (n);
            control.value = group.defaultValue;
            control.momentary = group.momentary;
            control.assignment = { MidiAssignment::Kind::cc, 1, group.firstCc + n - 1 };
            hardwareControls.push_back (control);
        }
    }
}

void OrvoSamplerAudioProcessor::touchHardwareControl (const juce::String& id)
{
    const juce::ScopedLock sl (lock);

    const auto exists = std::any_of (hardwareControls.begin(), hardwareControls.end(),
                                     [&id] (const HardwareControl& c) { return c.id == id; });

    if (midiLearnEnabled && exists)
    {
        learnTargetId = id;
        statusText = "Learn: send MIDI to " + id;
    }
}

void OrvoSamplerAudioProcessor::setHardwareControlValue (const juce::String& id, float value)
{
    const juce::ScopedLock sl (lock);

    for (auto& control : hardwareControls)
    {
        if (control.id == id)
        {
            control.value = std::isnan (value) ? 0.0f : juce::jlimit (0.0f, 1.0f, value);

            // While learning, controls move silently.
            if (! midiLearnEnabled)
                sendHardwareControlLocked (control);

            return;
        }
    }
}

void OrvoSamplerAudioProcessor::setMomentaryControl (const juce::String& id, bool down)
{
    setHardwareControlValue (id, down ? 1.0f : 0.0f);
}

void OrvoSamplerAudioProcessor::sendHardwareControlLocked (const HardwareControl& control, int)
{
    const auto& assignment = control.assignment;

    if (assignment.number < 0)
        return;

    const auto channel = juce::jlimit (1, 16, assignment.channel);
    const auto number = assignment.number & 0x7f;
    const auto v = toDataValue (control.value);

    switch (assignment.kind)
    {
        case MidiAssignment::Kind::cc:
            pendingMidiOut.addEvent (juce::MidiMessage (0xb0 | (channel - 1), number, std::max (0, v)), 0);
            break;

        case MidiAssignment::Kind::note:
            if (control.value > 0.0f)
                pendingMidiOut.addEvent (juce::MidiMessage (0x90 | (channel - 1), number, juce::jlimit (1, 127, v)), 0);
            else
                pendingMidiOut.addEvent (juce::MidiMessage (0x80 | (channel - 1), number, 0), 0);
            break;

        case MidiAssignment::Kind::none:
            break;
    }
}

void OrvoSamplerAudioProcessor::triggerTransportCommand (int index)
{
    if (index < 0 || index >= static_cast<int> (std::size (transportCommands)))
        return;

    const juce::ScopedLock sl (lock);
    const auto& command = transportCommands[index];
    pendingMidiOut.addEvent (command.message(), 0);
    statusText = juce::String (command.name) + " command sent";
}

void OrvoSamplerAudioProcessor::toggleMidiLearn()
{
    const juce::ScopedLock sl (lock);
    midiLearnEnabled = ! midiLearnEnabled;
    learnTargetId.clear();
    statusText = midiLearnEnabled ? "Learn: touch a control" : "MIDI learn off";
}

bool OrvoSamplerAudioProcessor::isPadNoteLocked (int note) const
{
    for (int slot = 0; slot < padsPerBank; ++slot)
    {
        const auto* pad = findPadLocked (slot);

        if (pad == nullptr)
            return false;

        if (! pad->empty && pad->clipIndex >= 0 && pad->note == note)
            return true;
    }

    return false;
}

bool OrvoSamplerAudioProcessor::learnFromMidiLocked (const juce::MidiMessage& message)
{
    if (! midiLearnEnabled || learnTargetId.isEmpty() || message.getRawDataSize() < 3)
        return false;

    const auto* data = message.getRawData();
    const auto status = data[0] & 0xf0;
    const auto isController = status == 0xb0;
    const auto isNote = status == 0x80 || status == 0x90;
    const auto number = data[1] & 0x7f;

    // Pad notes keep playing their pads while learn waits for something else.
    if (! (isController || (isNote && ! isPadNoteLocked (number))))
        return false;

    const auto target = std::find_if (hardwareControls.begin(), hardwareControls.end(),
                                      [this] (const HardwareControl& c) { return c.id == learnTargetId; });

    midiLearnEnabled = false;
    learnTargetId.clear();

    if (target == hardwareControls.end())
        return false;

    target->assignment = { isController ? MidiAssignment::Kind::cc : MidiAssignment::Kind::note, (data[0] & 0x0f) + 1,
                           number };
    statusText = target->label + " learned " + (isController ? "CC" : "N") + juce::String (number);
    return true;
}

void OrvoSamplerAudioProcessor::updateHardwareControlsFromMidiLocked (const juce::MidiMessage& message)
{
    if (message.getRawDataSize() < 3)
        return;

    const auto* data = message.getRawData();
    const auto status = data[0] & 0xf0;
    const auto channel = (data[0] & 0x0f) + 1;
    const auto number = data[1] & 0x7f;
    const auto value = data[2] & 0x7f;
    const auto isController = status == 0xb0;
    const auto isNote = status == 0x80 || status == 0x90;

    if (! isController && ! isNote)
        return;

    const auto padNote = isNote && isPadNoteLocked (number);

    for (auto& control : hardwareControls)
    {
        const auto& assignment = control.assignment;

        if (assignment.channel != channel || assignment.number != number)
            continue;

        if (assignment.kind == MidiAssignment::Kind::cc && isController)
        {
            control.value = static_cast<float> (value) / 127.0f;
            return;
        }

        // Note-kind controls take the velocity itself, not scaled.
        if (assignment.kind == MidiAssignment::Kind::note && isNote && ! padNote)
        {
            control.value = status == 0x90 ? static_cast<float> (value) : 0.0f;
            return;
        }
    }
}

void OrvoSamplerAudioProcessor::addMidiAssignmentJson (juce::DynamicObject& object, const MidiAssignment& assignment)
{
    const char* kind = assignment.kind == MidiAssignment::Kind::cc     ? "cc"
                       : assignment.kind == MidiAssignment::Kind::note ? "note"
                                                                       : "none";
    object.setProperty ("kind", kind);
    object.setProperty ("channel", assignment.channel);
    object.setProperty ("number", assignment.number);
}

OrvoSamplerAudioProcessor::MidiAssignment OrvoSamplerAudioProcessor::midiAssignmentFromJson (const juce::var& value)
{
    MidiAssignment assignment;
    const auto* object = getJsonObject (value);

    if (object == nullptr)
        return assignment;

    const auto kind = readJsonString (object->getProperty ("kind"));
    assignment.kind = kind == "cc" ? MidiAssignment::Kind::cc : kind == "note" ? MidiAssignment::Kind::note : MidiAssignment::Kind::none;
    assignment.channel = juce::jlimit (1, 16, readJsonInt (object->getProperty ("channel")));
    assignment.number = juce::jlimit (-1, 127, readJsonInt (object->getProperty ("number")));
    return assignment;
}

juce::var OrvoSamplerAudioProcessor::controlsToJson (const std::vector<HardwareControl>& controls)
{
    juce::Array<juce::var> elements;

    for (const auto& control : controls)
    {
        auto* element = new juce::DynamicObject();
        element->setProperty ("id", control.id);
        element->setProperty ("value", static_cast<double> (control.value));

        auto* assignment = new juce::DynamicObject();
        addMidiAssignmentJson (*assignment, control.assignment);
        element->setProperty ("assignment", juce::var (assignment));

        elements.add (juce::var (element));
    }

    return elements;
}

void OrvoSamplerAudioProcessor::applyControlsJson (std::vector<HardwareControl>& controls, const juce::var& elements)
{
    const auto* array = elements.getArray();

    if (array == nullptr)
        return;

    for (const auto& element : *array)
    {
        const auto* object = getJsonObject (element);

        if (object == nullptr)
            continue;

        const auto id = readJsonString (object->getProperty ("id"));
        const auto control = std::find_if (controls.begin(), controls.end(),
                                           [&id] (const HardwareControl& c) { return c.id == id; });

        if (control == controls.end())
            continue;

        const auto value = readJsonFloat (object->getProperty ("value"));
        control->value = std::isnan (value) ? 0.0f : juce::jlimit (0.0f, 1.0f, value);
        control->assignment = midiAssignmentFromJson (object->getProperty ("assignment"));
    }
}
