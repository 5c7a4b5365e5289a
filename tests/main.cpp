#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

int main (int argc, char** argv)
{
    // Editor tests need a message manager; nothing here opens a display.
    const juce::ScopedJuceInitialiser_GUI juce;
    ::testing::InitGoogleTest (&argc, argv);
    return RUN_ALL_TESTS();
}
