#pragma once

#include <juce_core/juce_core.h>

// The number is what the state document stores under "controller".
enum class ControllerProfile
{
    generic8x8 = 0,
    abletonPush = 1,
    launchpadX = 2
};

juce::String getControllerProfileName (ControllerProfile profile);
