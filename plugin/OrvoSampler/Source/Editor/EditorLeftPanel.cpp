#include "Editor/PluginEditor.h"

#include "Editor/EditorFonts.h"

namespace
{
const juce::Colour mainText { 0xffefefe9 };
const juce::Colour secondaryText { 0xffa6abaa };
const juce::Colour shadow { 0x8c000000 };

// One decimal place, without a trailing ".0".
juce::String tempoText (double bpm)
{
    auto text = juce::String (bpm, 1);
    return text.endsWith (".0") ? text.dropLastCharacters (2) : text;
}
} // namespace

float OrvoSamplerAudioProcessorEditor::controlValue (const juce::String& id) const
{
    const juce::ScopedLock sl (processorRef.lock);
    for (const auto& control : processorRef.hardwareControls)
        if (control.id == id)
            return control.value;
    return 0.0f;
}

void OrvoSamplerAudioProcessorEditor::drawLeftPanel (juce::Graphics& g)
{
    const auto panel = leftPanelArea.toFloat();
    g.setColour (shadow);
    g.fillRoundedRectangle (panel.translated (0.0f, 2.0f), 10.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff2f333b), panel.getX(), panel.getY(), juce::Colour (0xff0d0f12),
                                             panel.getRight(), panel.getBottom(), false));
    g.fillRoundedRectangle (panel, 8.0f);
    g.setColour (juce::Colour (0xff444950));
    g.drawRoundedRectangle (panel, 8.0f, 1.0f);

    auto inner = leftPanelArea.reduced (18);

    // Title.
    const auto title = inner.removeFromTop (44).toFloat();
    g.setColour (juce::Colour (0xff0f1114));
    g.fillRoundedRectangle (title, 6.0f);
    g.setColour (juce::Colour (0xbf000000));
    g.drawRoundedRectangle (title, 6.0f, 1.4f);
    g.setColour (mainText);
    g.setFont (editorFont (22.0f, true));
    g.drawFittedText (processorRef.getSongTitle(), title.toNearestInt().reduced (14, 6), juce::Justification::centredLeft, 1);

    // Tiles.
    double bpm = 120.0;
    int bank = 0;
    int bankCount = 0;
    juce::String bankName ("No Bank");
    int lastPad = 0;
    float progress = 0.0f;
    std::array<bool, 5> saved {};
    {
        const juce::ScopedLock sl (processorRef.lock);
        const auto& package = processorRef.package;
        bpm = package.bpm;
        bank = processorRef.currentBank;
        bankCount = static_cast<int> (package.banks.size());
        if (bankCount > 0)
            bankName = package.banks[static_cast<size_t> (juce::jlimit (0, bankCount - 1, bank))].name;
        for (size_t i = 0; i < saved.size(); ++i)
            saved[i] = processorRef.presets[i].saved;

        lastPad = processorRef.lastTriggeredPad;
        if (lastPad >= 0)
        {
            for (const auto& voice : processorRef.activeVoices)
            {
                if (! voice.active || voice.padIndex != lastPad || voice.clipIndex < 0
                    || voice.clipIndex >= static_cast<int> (package.clips.size()))
                    continue;

                const auto length = package.clips[static_cast<size_t> (voice.clipIndex)].audio.getNumSamples();
                if (length >= 1)
                    progress = juce::jlimit (0.0f, 1.0f, static_cast<float> (voice.position / length));
            }
        }
    }

    inner.removeFromTop (10);
    auto row = inner.removeFromTop (84);
    const auto tileWidth = (leftPanelArea.getWidth() - 60) / 4;
    const std::pair<juce::String, juce::String> tiles[] = {
        { "BPM", tempoText (bpm) },
        { "BANK", juce::String (bank + 1) + "/" + juce::String (std::max (1, bankCount)) },
        { "MODE", processorRef.getTriggerModeName() },
        { "QNT", processorRef.getLaunchQuantizationName() },
    };

    for (const auto& [label, value] : tiles)
    {
        const auto tile = row.removeFromLeft (tileWidth).reduced (0, 8).toFloat();
        row.removeFromLeft (6);
        g.setColour (juce::Colour (0xff1c2024));
        g.fillRoundedRectangle (tile, 5.0f);
        g.setColour (juce::Colour (0xa6444950));
        g.drawRoundedRectangle (tile, 5.0f, 1.0f);
        g.setColour (secondaryText);
        g.setFont (editorFont (10.0f, true));
        g.drawText (label, juce::Rectangle<float> (tile.getX() + 10.0f, tile.getY() + 8.0f, tile.getWidth() - 20.0f, 16.0f),
                    juce::Justification::centredLeft, true);
        g.setColour (mainText);
        g.setFont (editorFont (22.0f, true));
        g.drawText (value, juce::Rectangle<float> (tile.getX() + 10.0f, tile.getY() + 24.0f, tile.getWidth() - 20.0f, tile.getHeight() - 48.0f),
                    juce::Justification::centredLeft, true);
    }

    // Bank row.
    inner.removeFromTop (10);
    const auto bankRow = inner.removeFromTop (52).toFloat();
    g.setColour (juce::Colour (0xff0e1114));
    g.fillRoundedRectangle (bankRow, 6.0f);
    g.setColour (juce::Colour (0xc7f24a8b));
    g.fillRoundedRectangle ({ bankRow.getX(), bankRow.getY() + bankRow.getHeight() / 2.0f - 2.0f, 0.64f * bankRow.getWidth(), 4.0f }, 2.0f);
    g.setColour (mainText);
    g.setFont (editorFont (16.0f, true));
    g.drawText (bankName, bankRow.reduced (14.0f, 6.0f), juce::Justification::centredLeft, false);

    // Presets.
    for (size_t i = 0; i < presetRects.size(); ++i)
    {
        const auto r = presetRects[i];
        const auto held = static_cast<int> (i) == pressedPreset;
        g.setColour (shadow);
        g.fillRoundedRectangle (r.translated (0.0f, 2.0f), 5.0f);
        g.setColour (juce::Colour (saved[i] ? 0xff332831 : 0xff181b1f));
        g.fillRoundedRectangle (r, 5.0f);
        const juce::uint32 rgb = held ? 0xff7e65 : (saved[i] ? 0xf24a8b : 0x444950);
        g.setColour (juce::Colour ((saved[i] ? 0xe6000000u : 0x8c000000u) | rgb));
        g.drawRoundedRectangle (r, 5.0f, held ? 2.0f : 1.0f);
        g.setColour (saved[i] ? mainText : secondaryText);
        g.setFont (editorFont (12.0f, true));
        g.drawText (juce::String (static_cast<int> (i) + 1), r, juce::Justification::centred, false);
    }

    // Clip panel.
    const auto k = clipPanelRect;
    const auto pad = processorRef.getPad (lastPad);
    juce::Array<float> waveform;
    {
        const juce::ScopedLock sl (processorRef.lock);
        if (pad.clipIndex >= 0 && pad.clipIndex < static_cast<int> (processorRef.package.clips.size()))
            waveform = processorRef.package.clips[static_cast<size_t> (pad.clipIndex)].waveform;
    }

    const auto waveColour = pad.empty ? juce::Colour (0xdba6abaa) : pad.colour.brighter (0.3f).withAlpha (static_cast<juce::uint8> (0xdb));
    g.setColour (juce::Colour (0xff090b0e));
    g.fillRoundedRectangle (k, 7.0f);
    g.setColour (juce::Colour (0xb2444950));
    g.drawRoundedRectangle (k, 7.0f, 1.0f);

    g.setColour (secondaryText);
    g.setFont (editorFont (11.0f, true));
    g.drawText (pad.empty ? juce::String ("NO PAD") : pad.stemType.toUpperCase(),
                juce::Rectangle<float> (k.getX() + 12.0f, k.getY() + 8.0f, k.getWidth() - 24.0f, 22.0f), juce::Justification::centredLeft, false);
    g.setColour (mainText);
    g.setFont (editorFont (14.0f, true));
    g.drawFittedText (pad.empty ? juce::String ("Load a track") : pad.name,
                      juce::Rectangle<float> (k.getX() + 116.0f, k.getY() + 8.0f, k.getWidth() - 128.0f, 22.0f).toNearestInt(),
                      juce::Justification::centredLeft, 1);

    const juce::Rectangle<float> wave (k.getX() + 12.0f, k.getY() + 34.0f, k.getWidth() - 24.0f, k.getHeight() - 68.0f);
    drawWaveform (g, wave, waveform, waveColour);
    g.setColour (juce::Colour (0x33ff7e65));
    g.fillRect (wave.withWidth (wave.getWidth() * progress));
    const auto x = wave.getX() + wave.getWidth() * progress;
    g.setColour (juce::Colour (0xffffa291));
    g.drawLine (x, wave.getY() - 4.0f, x, wave.getBottom() + 4.0f, 2.0f);

    for (int i = 0; i < 10; ++i)
    {
        drawHardwareFader (g, faderRects[static_cast<size_t> (i)], i);
        drawMomentary (g, buttonRects[static_cast<size_t> (i)], i);
    }
}

void OrvoSamplerAudioProcessorEditor::drawHardwareKnob (juce::Graphics& g, juce::Rectangle<float> r, int index)
{
    const auto v = controlValue ("knob" + juce::String (index + 1));
    const auto c = r.getCentre();

    g.setColour (juce::Colour (index == activeKnob ? 0x3dff7e65 : 0x1cf24a8b));
    g.fillEllipse (r.expanded (7.0f));
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff44464c), r.getX(), r.getY(), juce::Colour (0xff0d0f12), r.getRight(), r.getBottom(), false));
    g.fillEllipse (r);
    g.setColour (juce::Colour (0xcc000000));
    g.drawEllipse (r, 2.0f);

    const auto start = 1.18f * juce::MathConstants<float>::pi;
    const auto end = start + 1.64f * juce::MathConstants<float>::pi * v;
    const auto radius = 0.56f * r.getWidth();

    if (v > 0.0f)
    {
        juce::Path arc;
        arc.addCentredArc (c.x, c.y, radius, radius, 0.0f, start, end, true);
        g.setColour (juce::Colour (0xc7ff7e65));
        g.strokePath (arc, juce::PathStrokeType (3.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }

    const auto length = 0.24f * r.getWidth();
    g.setColour (juce::Colour (0xa6efefe9));
    g.drawLine (c.x, c.y, c.x + length * std::sin (end), c.y - length * std::cos (end), 2.0f);
}

void OrvoSamplerAudioProcessorEditor::drawHardwareFader (juce::Graphics& g, juce::Rectangle<float> r, int index)
{
    const auto v = controlValue ("fader" + juce::String (index + 1));
    const juce::Rectangle<float> track (r.getX() + 0.38f * r.getWidth(), r.getY() + 7.0f, 0.24f * r.getWidth(), r.getHeight() - 14.0f);

    g.setColour (juce::Colour (0xff090a0c));
    g.fillRoundedRectangle (track, 2.0f);
    g.setColour (juce::Colour (0x80444950));
    g.drawRoundedRectangle (track, 2.0f, 1.0f);

    const auto ty = track.getBottom() - track.getHeight() * v;
    g.setColour (juce::Colour (0x47f24a8b));
    g.drawLine (track.getCentreX(), ty, track.getCentreX(), track.getBottom(), 3.0f);

    const juce::Rectangle<float> thumb (r.getX() + 4.0f, ty - 8.0f, r.getWidth() - 8.0f, 16.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff4e4c53), thumb.getX(), thumb.getY(), juce::Colour (0xff121215),
                                             thumb.getRight(), thumb.getBottom(), false));
    g.fillRoundedRectangle (thumb, 3.0f);
    const auto dragged = index == activeFader;
    g.setColour (juce::Colour (dragged ? 0xffff7e65 : 0xc7000000));
    g.drawRoundedRectangle (thumb, 3.0f, dragged ? 1.7f : 1.0f);
}

void OrvoSamplerAudioProcessorEditor::drawMomentary (juce::Graphics& g, juce::Rectangle<float> r, int index)
{
    const auto on = controlValue ("button" + juce::String (index + 1)) > 0.5f;

    g.setColour (juce::Colour (on ? 0x59ff7e65 : 0x99000000));
    g.fillEllipse (r.expanded (on ? 3.0f : 1.0f));
    g.setColour (juce::Colour (on ? 0xffff9f8c : 0xff444950));
    g.drawEllipse (r, on ? 2.0f : 1.0f);

    if (on)
    {
        g.setColour (juce::Colour (0xd1efefe9));
        g.fillEllipse (r.reduced (6.0f));
    }
}
