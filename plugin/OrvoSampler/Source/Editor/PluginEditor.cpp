#include "Editor/PluginEditor.h"

namespace
{
const juce::Colour headerButtonColour { 0xff23262c };
const juce::Colour headerButtonOnColour { 0xffff7e65 };
const juce::Colour headerButtonTextColour { 0xffefefe9 };
const juce::Colour headerButtonTextOnColour { 0xff000000 };


// Lays out `count` cells of width `cellWidth` from the left of `row`, each
// advancing by `step`, taking no more than the row still has.
template <size_t count>
void layOutRow (std::array<juce::Rectangle<float>, count>& cells, juce::Rectangle<float> row, float cellWidth, float step)
{
    for (auto& cell : cells)
        cell = row.removeFromLeft (step).removeFromLeft (cellWidth);
}
} // namespace

OrvoSamplerAudioProcessorEditor::OrvoSamplerAudioProcessorEditor (OrvoSamplerAudioProcessor& owner)
    : juce::AudioProcessorEditor (owner), processorRef (owner)
{
    setSize (editorWidth, editorHeight);
    setResizable (false, false);
    setWantsKeyboardFocus (true);

    for (auto* button : { &loadButton, &previousBankButton, &nextBankButton, &profileButton,
                          &quantizeButton, &modeButton, &ledButton })
    {
        addAndMakeVisible (*button);
        button->addListener (this);
        button->setColour (juce::TextButton::buttonColourId, headerButtonColour);
        button->setColour (juce::TextButton::buttonOnColourId, headerButtonOnColour);
        button->setColour (juce::TextButton::textColourOffId, headerButtonTextColour);
        button->setColour (juce::TextButton::textColourOnId, headerButtonTextOnColour);
    }

    startTimer (refreshIntervalMs);
}

OrvoSamplerAudioProcessorEditor::~OrvoSamplerAudioProcessorEditor()
{
    stopTimer();
    fileChooser.reset();
}

void OrvoSamplerAudioProcessorEditor::resized()
{
    auto area = getLocalBounds().reduced (14);
    auto header = area.removeFromTop (62);
    area.removeFromTop (10);

    const auto strip = area.removeFromLeft (70);
    stripRect = strip.toFloat();
    area.removeFromLeft (12);

    leftPanelArea = area.removeFromLeft (548);
    area.removeFromLeft (18);
    gridPanelArea = area;

    // Header buttons, right to left; 50 pixels stay free at the row's left end.
    auto row = header.removeFromRight (610);
    const std::pair<juce::TextButton*, int> headerSlots[] = {
        { &ledButton, 64 }, { &modeButton, 100 }, { &quantizeButton, 78 }, { &profileButton, 132 },
        { &nextBankButton, 48 }, { &previousBankButton, 48 }, { &loadButton, 90 },
    };

    for (const auto& [button, width] : headerSlots)
        button->setBounds (row.removeFromRight (width).reduced (8, 14));

    learnRect = { stripRect.getX() + 8.0f, stripRect.getY() + 8.0f, juce::jmax (0.0f, stripRect.getWidth() - 16.0f),
                  juce::jlimit (0.0f, 36.0f, stripRect.getHeight() - 16.0f) };

    // Knobs stop growing at 44 pixels and stack with 15 pixel gaps.
    const auto column = stripRect.withTrimmedTop (54.0f).reduced (10.0f, 8.0f);
    const auto knobSize = juce::jlimit (0.0f, 44.0f, (column.getHeight() - 105.0f) / 8.0f);

    for (size_t i = 0; i < knobRects.size(); ++i)
        knobRects[i] = { column.getX() + (column.getWidth() - knobSize) / 2.0f,
                         column.getY() + static_cast<float> (i) * (knobSize + 15.0f), knobSize, knobSize };

    const auto inner = leftPanelArea.toFloat().reduced (18.0f);

    const auto presetWidth = juce::jmax ((inner.getWidth() - 32.0f) / 5.0f, 0.0f);
    layOutRow (presetRects, { inner.getX(), inner.getY() + 224.0f, inner.getWidth(), 34.0f },
               presetWidth, presetWidth + 8.0f);

    clipPanelRect = { inner.getX(), inner.getY() + 274.0f, inner.getWidth(), 150.0f };

    const auto faderWidth = juce::jmax ((inner.getWidth() - 81.0f) / 10.0f, 0.0f);
    layOutRow (faderRects, { inner.getX(), inner.getY() + 442.0f, inner.getWidth(), 74.0f },
               faderWidth, faderWidth + 9.0f);

    for (size_t i = 0; i < buttonRects.size(); ++i)
        buttonRects[i] = { faderRects[i].getX() + (faderWidth - 18.0f) / 2.0f, inner.getY() + 528.0f, 18.0f, 18.0f };

    // Transport: six 48 x 32 buttons right-aligned 8 pixels inside the grid panel.
    const auto grid = gridPanelArea.toFloat();
    const auto transportX = grid.getX() + 8.0f + (grid.getWidth() - 16.0f) - 328.0f;

    for (size_t i = 0; i < transportRects.size(); ++i)
        transportRects[i] = { transportX + static_cast<float> (i) * 56.0f, grid.getY() + 13.0f, 48.0f, 32.0f };

    // Square pads with 10 pixel gaps, centred in what is left below the transport.
    const auto pads = grid.reduced (8.0f).withTrimmedTop (54.0f);
    const auto padSize = juce::jmax (0.0f, juce::jmin ((pads.getWidth() - 70.0f) / 8.0f, (pads.getHeight() - 70.0f) / 8.0f));
    const auto x0 = pads.getX() + (pads.getWidth() - 8.0f * padSize - 70.0f) / 2.0f;
    const auto y0 = pads.getY() + (pads.getHeight() - 8.0f * padSize - 70.0f) / 2.0f;

    for (int slot = 0; slot < padsPerBank; ++slot)
    {
        const auto r = static_cast<float> (slot / 8);
        const auto c = static_cast<float> (slot % 8);
        padRects[static_cast<size_t> (slot)] = { x0 + c * (padSize + 10.0f), y0 + r * (padSize + 10.0f), padSize, padSize };
    }
}

void OrvoSamplerAudioProcessorEditor::timerCallback()
{
    const auto quantizationName = processorRef.getLaunchQuantizationName();
    if (quantizeButton.getButtonText() != quantizationName)
        quantizeButton.setButtonText (quantizationName);

    const auto modeName = processorRef.getTriggerModeName();
    if (modeButton.getButtonText() != modeName)
        modeButton.setButtonText (modeName);

    modeButton.setToggleState (modeName == "Stutter", juce::dontSendNotification);

    repaint (gridPanelArea);
    repaint (leftPanelArea);
    repaint (stripRect.getSmallestIntegerContainer());
}
