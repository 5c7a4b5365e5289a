#include "Editor/PluginEditor.h"

namespace
{
bool hits (const juce::Rectangle<float>& r, juce::Point<float> p)
{
    return p.x >= r.getX() && p.y >= r.getY() && p.x < r.getRight() && p.y < r.getBottom();
}

template <size_t count>
int firstContaining (const std::array<juce::Rectangle<float>, count>& rects, juce::Point<int> point)
{
    for (size_t i = 0; i < count; ++i)
        if (hits (rects[i], point.toFloat()))
            return static_cast<int> (i);
    return -1;
}
} // namespace

int OrvoSamplerAudioProcessorEditor::padAt (juce::Point<int> point) const
{
    return firstContaining (padRects, point);
}

int OrvoSamplerAudioProcessorEditor::rectIndexAt (const std::array<juce::Rectangle<float>, 10>& rects, juce::Point<int> point) const
{
    return firstContaining (rects, point);
}

juce::String OrvoSamplerAudioProcessorEditor::momentaryId (int index) const
{
    return "button" + juce::String (index + 1);
}

void OrvoSamplerAudioProcessorEditor::setFaderFromPosition (int index, float y)
{
    const auto& r = faderRects[static_cast<size_t> (index)];
    const auto t = (y - (r.getY() + 8.0f)) / std::max (r.getHeight() - 16.0f, 0.0f);
    processorRef.setHardwareControlValue ("fader" + juce::String (index + 1), juce::jlimit (0.0f, 1.0f, 1.0f - t));
}

void OrvoSamplerAudioProcessorEditor::mouseDown (const juce::MouseEvent& event)
{
    const auto point = event.getPosition();

    if (hits (learnRect, event.position))
    {
        processorRef.toggleMidiLearn();
    }
    else if (const auto preset = firstContaining (presetRects, point); preset >= 0)
    {
        pressedPreset = preset;
        presetPressTime = clock();
    }
    else if (const auto transport = firstContaining (transportRects, point); transport >= 0)
    {
        processorRef.triggerTransportCommand (transport);
    }
    else if (const auto knob = firstContaining (knobRects, point); knob >= 0)
    {
        const auto id = "knob" + juce::String (knob + 1);
        activeKnob = knob;
        activeFader = -1;
        knobDragStartY = event.position.y;
        knobDragStartValue = controlValue (id);
        processorRef.touchHardwareControl (id);
    }
    else if (const auto fader = rectIndexAt (faderRects, point); fader >= 0)
    {
        activeFader = fader;
        activeKnob = -1;
        processorRef.touchHardwareControl ("fader" + juce::String (fader + 1));
        setFaderFromPosition (fader, event.position.y);
    }
    else if (const auto button = rectIndexAt (buttonRects, point); button >= 0)
    {
        pressedButton = button;
        processorRef.touchHardwareControl (momentaryId (button));
        processorRef.setMomentaryControl (momentaryId (button), true);
    }
    else if (const auto pad = padAt (point); pad >= 0)
    {
        pressedPad = pad;
        selectedPad = pad;
        processorRef.triggerPad (pad, true);
    }
    else
    {
        return; // nothing hit, nothing to repaint
    }

    repaint();
}

void OrvoSamplerAudioProcessorEditor::mouseDrag (const juce::MouseEvent& event)
{
    if (activeKnob >= 0)
    {
        const auto value = knobDragStartValue + (knobDragStartY - event.position.y) / 145.0f;
        processorRef.setHardwareControlValue ("knob" + juce::String (activeKnob + 1), value);
        repaint();
    }
    else if (activeFader >= 0)
    {
        setFaderFromPosition (activeFader, event.position.y);
        repaint();
    }
}

void OrvoSamplerAudioProcessorEditor::mouseUp (const juce::MouseEvent&)
{
    if (pressedButton >= 0)
    {
        processorRef.setMomentaryControl (momentaryId (pressedButton), false);
        pressedButton = -1;
        repaint();
        return;
    }

    if (pressedPreset >= 0)
    {
        const auto held = clock() - presetPressTime;
        const auto slot = juce::jlimit (0, 4, pressedPreset);
        bool saved = false;
        {
            const juce::ScopedLock sl (processorRef.lock);
            saved = processorRef.presets[static_cast<size_t> (slot)].saved;
        }

        if (saved && held <= 650.0)
        {
            processorRef.recallPreset (slot);
        }
        else
        {
            const juce::ScopedLock sl (processorRef.lock);
            processorRef.savePresetLocked (slot);
        }

        pressedPreset = -1;
        repaint();
        return;
    }

    activeKnob = -1;
    activeFader = -1;

    if (pressedPad >= 0)
    {
        processorRef.releasePad (pressedPad);
        pressedPad = -1;
        repaint();
    }
}

void OrvoSamplerAudioProcessorEditor::mouseMove (const juce::MouseEvent& event)
{
    const auto pad = padAt (event.getPosition());

    if (pad != hoveredPad)
    {
        hoveredPad = pad;
        repaint();
    }
}

void OrvoSamplerAudioProcessorEditor::mouseExit (const juce::MouseEvent&)
{
    hoveredPad = -1;

    if (pressedButton >= 0)
    {
        processorRef.setMomentaryControl (momentaryId (pressedButton), false);
        pressedButton = -1;
    }

    repaint();
}
