#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "Package/SamplerPackage.h"

// The number is what the state document stores under "controller".
enum class ControllerProfile
{
    generic8x8 = 0,
    abletonPush = 1,
    launchpadX = 2
};

juce::String getControllerProfileName (ControllerProfile profile);

// generic8x8 -> abletonPush -> launchpadX -> generic8x8; anything else -> generic8x8.
ControllerProfile nextControllerProfile (ControllerProfile profile);

// Builds the one LED message that shows a pad on a controller.
struct ControllerFeedback
{
    static void addPadState (juce::MidiBuffer& out, ControllerProfile profile, const PadAssignment& pad, bool active, int = 0);

    // The colour a pad shows: its own, or near-black when empty; lighter while it sounds.
    static juce::Colour feedbackColour (const PadAssignment& pad, bool active);

    // Velocity of the palette colour nearest the colour's hue (Push and generic grids).
    static int paletteVelocity (juce::Colour colour);
};
