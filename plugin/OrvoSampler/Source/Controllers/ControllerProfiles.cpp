#include "Controllers/ControllerProfiles.h"

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
