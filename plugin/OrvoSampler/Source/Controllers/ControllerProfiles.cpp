#include "Controllers/ControllerProfiles.h"

namespace
{
const juce::Colour emptyPadColour { 0xff0a0c0d };

// Launchpad X programmer-mode LED lighting: header, command 03, then one
// colour spec of lighting type 03 (RGB, 0..127 per component).
constexpr juce::uint8 launchpadLightingHeader[] = { 0x00, 0x20, 0x29, 0x02, 0x0C, 0x03 };
constexpr juce::uint8 launchpadRgbLighting = 0x03;

constexpr int emptyPadVelocity = 2;
constexpr int activePadVelocity = 122;
} // namespace

juce::String getControllerProfileName (ControllerProfile profile)
{
    switch (profile)
    {
        case ControllerProfile::abletonPush: return "Ableton Push";
        case ControllerProfile::launchpadX:  return "Launchpad X";
        case ControllerProfile::generic8x8:  break;
    }

    return "Generic 8x8";
}

ControllerProfile nextControllerProfile (ControllerProfile profile)
{
    switch (profile)
    {
        case ControllerProfile::generic8x8:  return ControllerProfile::abletonPush;
        case ControllerProfile::abletonPush: return ControllerProfile::launchpadX;
        case ControllerProfile::launchpadX:  break;
    }

    return ControllerProfile::generic8x8;
}

juce::Colour ControllerFeedback::feedbackColour (const PadAssignment& pad, bool active)
{
    const auto base = pad.empty ? emptyPadColour : pad.colour;

    if (! active)
        return base;

    const auto lighten = [] (juce::uint8 component) {
        return static_cast<juce::uint8> (255.0f - (255.0f - static_cast<float> (component)) * 0.5405405f);
    };

    return juce::Colour (lighten (base.getRed()), lighten (base.getGreen()), lighten (base.getBlue()));
}

int ControllerFeedback::paletteVelocity (juce::Colour colour)
{
    const int r = colour.getRed();
    const int g = colour.getGreen();
    const int b = colour.getBlue();
    const int hi = std::max ({ r, g, b });
    const int lo = std::min ({ r, g, b });

    float hue = 0.0f;

    if (hi != lo)
    {
        const auto d = static_cast<float> (hi - lo);
        const auto rr = static_cast<float> (hi - r) / d;
        const auto gg = static_cast<float> (hi - g) / d;
        const auto bb = static_cast<float> (hi - b) / d;
        const float h = r == hi ? bb - gg : (g == hi ? 2.0f + rr - bb : 4.0f + gg - rr);
        hue = h * 0.16666667f;

        if (hue < 0.0f)
            hue += 1.0f;
    }

    if (hue < 0.06f || hue > 0.94f) return 9;
    if (hue < 0.13f) return 13;
    if (hue < 0.22f) return 17;
    if (hue < 0.42f) return 44;
    if (hue < 0.58f) return 49;
    if (hue < 0.76f) return 81;
    return 53;
}

void ControllerFeedback::addPadState (juce::MidiBuffer& out, ControllerProfile profile, const PadAssignment& pad,
                                      bool active, int)
{
    if (profile == ControllerProfile::launchpadX)
    {
        const auto colour = feedbackColour (pad, active);
        juce::uint8 sysex[sizeof (launchpadLightingHeader) + 5];
        std::copy (std::begin (launchpadLightingHeader), std::end (launchpadLightingHeader), sysex);
        auto* spec = sysex + sizeof (launchpadLightingHeader);
        spec[0] = launchpadRgbLighting;
        spec[1] = static_cast<juce::uint8> (juce::jlimit (0, 127, pad.note));
        spec[2] = static_cast<juce::uint8> (colour.getRed() >> 1);
        spec[3] = static_cast<juce::uint8> (colour.getGreen() >> 1);
        spec[4] = static_cast<juce::uint8> (colour.getBlue() >> 1);
        out.addEvent (juce::MidiMessage::createSysExMessage (sysex, static_cast<int> (sizeof (sysex))), 0);
        return;
    }

    const int velocity = pad.empty ? emptyPadVelocity : (active ? activePadVelocity : paletteVelocity (pad.colour));
    const int channel = juce::jlimit (1, 16, pad.midiChannel);
    out.addEvent (juce::MidiMessage (0x90 | (channel - 1), pad.note & 0x7f, velocity), 0);
}
