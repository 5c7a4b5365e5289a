#include "Editor/PluginEditor.h"

#include <gtest/gtest.h>

namespace
{
using Editor = OrvoSamplerAudioProcessorEditor;

void expectRect (const juce::Rectangle<float>& actual, float x, float y, float w, float h)
{
    constexpr float tolerance = 1.0e-3f;
    EXPECT_NEAR (actual.getX(), x, tolerance);
    EXPECT_NEAR (actual.getY(), y, tolerance);
    EXPECT_NEAR (actual.getWidth(), w, tolerance);
    EXPECT_NEAR (actual.getHeight(), h, tolerance);
}

class EditorTest : public ::testing::Test
{
protected:
    OrvoSamplerAudioProcessor processor;
    Editor editor { processor };
};
} // namespace

TEST_F (EditorTest, IsAFixedWindowWithSevenHeaderButtons)
{
    EXPECT_EQ (editor.getWidth(), 1280);
    EXPECT_EQ (editor.getHeight(), 780);
    EXPECT_FALSE (editor.isResizable());
    EXPECT_TRUE (editor.getWantsKeyboardFocus());
    EXPECT_TRUE (editor.isTimerRunning());
    EXPECT_EQ (editor.getTimerInterval(), 41);
    EXPECT_EQ (editor.selectedPad, 0);
    EXPECT_EQ (editor.hoveredPad, -1);

    struct Expected { juce::TextButton* button; const char* text; juce::Rectangle<int> bounds; };
    const Expected buttons[] = {
        { &editor.loadButton, "Load", { 714, 28, 74, 34 } },
        { &editor.previousBankButton, "<", { 804, 28, 32, 34 } },
        { &editor.nextBankButton, ">", { 852, 28, 32, 34 } },
        { &editor.profileButton, "MIDI", { 900, 28, 116, 34 } },
        { &editor.quantizeButton, "1/16", { 1032, 28, 62, 34 } },
        { &editor.modeButton, "Trigger", { 1110, 28, 84, 34 } },
        { &editor.ledButton, "LED", { 1210, 28, 48, 34 } },
    };

    ASSERT_EQ (editor.getNumChildComponents(), 7);

    for (int i = 0; i < 7; ++i)
    {
        const auto& [button, text, bounds] = buttons[i];
        SCOPED_TRACE (text);
        EXPECT_EQ (editor.getChildComponent (i), button); // added in header order
        EXPECT_TRUE (button->isVisible());
        EXPECT_EQ (button->getButtonText(), text);
        EXPECT_EQ (button->getBounds(), bounds);
        EXPECT_EQ (button->findColour (juce::TextButton::buttonColourId).getARGB(), 0xff23262cu);
        EXPECT_EQ (button->findColour (juce::TextButton::buttonOnColourId).getARGB(), 0xffff7e65u);
        EXPECT_EQ (button->findColour (juce::TextButton::textColourOffId).getARGB(), 0xffefefe9u);
        EXPECT_EQ (button->findColour (juce::TextButton::textColourOnId).getARGB(), 0xff000000u);
    }
}

TEST_F (EditorTest, LaysOutEveryRectangleOfTheFixedWindow)
{
    expectRect (editor.stripRect, 14, 86, 70, 680);
    expectRect (editor.learnRect, 22, 94, 54, 36);
    expectRect (editor.leftPanelArea.toFloat(), 96, 86, 548, 680);
    expectRect (editor.gridPanelArea.toFloat(), 662, 86, 604, 680);
    expectRect (editor.clipPanelRect, 114, 378, 512, 150);

    for (size_t i = 0; i < 8; ++i)
        expectRect (editor.knobRects[i], 27, 148.0f + 59.0f * static_cast<float> (i), 44, 44);

    for (size_t i = 0; i < 5; ++i)
        expectRect (editor.presetRects[i], 114.0f + 104.0f * static_cast<float> (i), 328, 96, 34);

    for (size_t i = 0; i < 10; ++i)
    {
        const auto step = 52.1f * static_cast<float> (i);
        expectRect (editor.faderRects[i], 114.0f + step, 546, 43.1f, 74);
        expectRect (editor.buttonRects[i], 126.55f + step, 632, 18, 18);
    }

    for (size_t i = 0; i < 6; ++i)
        expectRect (editor.transportRects[i], 930.0f + 56.0f * static_cast<float> (i), 99, 48, 32);

    for (int slot = 0; slot < padsPerBank; ++slot)
    {
        SCOPED_TRACE (slot);
        const auto r = static_cast<float> (slot / 8);
        const auto c = static_cast<float> (slot % 8);
        expectRect (editor.padRects[static_cast<size_t> (slot)], 670.0f + 74.75f * c, 159.0f + 74.75f * r, 64.75f, 64.75f);
    }
}

TEST_F (EditorTest, LayoutNeverProducesNegativeSizesWhenSqueezed)
{
    editor.setBounds (0, 0, 40, 30);

    for (const auto& rect : editor.padRects)
        EXPECT_GE (rect.getWidth(), 0.0f);
    for (const auto& rect : editor.presetRects)
        EXPECT_GE (rect.getWidth(), 0.0f);
    for (const auto& rect : editor.faderRects)
        EXPECT_GE (rect.getWidth(), 0.0f);
    EXPECT_GE (editor.learnRect.getHeight(), 0.0f);
}

TEST_F (EditorTest, RefreshFollowsTheProcessorsModeAndQuantization)
{
    {
        const juce::ScopedLock sl (processor.lock);
        processor.stutterMode = true;
        processor.launchQuantizationBeats = 3.0;
    }

    editor.timerCallback();
    EXPECT_EQ (editor.modeButton.getButtonText(), "Stutter");
    EXPECT_TRUE (editor.modeButton.getToggleState());
    EXPECT_EQ (editor.quantizeButton.getButtonText(), "1 bar");

    {
        const juce::ScopedLock sl (processor.lock);
        processor.stutterMode = false;
        processor.launchQuantizationBeats = 0.5;
    }

    editor.timerCallback();
    EXPECT_EQ (editor.modeButton.getButtonText(), "Trigger");
    EXPECT_FALSE (editor.modeButton.getToggleState());
    EXPECT_EQ (editor.quantizeButton.getButtonText(), "1/8");
}
