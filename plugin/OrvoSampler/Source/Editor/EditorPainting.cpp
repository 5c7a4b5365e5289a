#include "Editor/PluginEditor.h"

#include "Editor/EditorFonts.h"

namespace
{
const juce::Colour mainText { 0xffefefe9 };
const juce::Colour secondaryText { 0xffa6abaa };
const juce::Colour shadow { 0x8c000000 };
const juce::Colour emptyPadBase { 0xff23272a };

juce::ColourGradient diagonal (juce::Rectangle<float> r, juce::uint32 from, juce::uint32 to)
{
    return juce::ColourGradient (juce::Colour (from), r.getX(), r.getY(), juce::Colour (to), r.getRight(), r.getBottom(), false);
}
} // namespace

void OrvoSamplerAudioProcessorEditor::paint (juce::Graphics& g)
{
    const auto w = static_cast<float> (getWidth());
    const auto h = static_cast<float> (getHeight());

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff23262c), 0.0f, 0.0f, juce::Colour (0xff080a0d), 0.0f, h, false));
    g.fillAll();

    // Header band.
    const juce::Rectangle<float> header (0.0f, 0.0f, w, 78.0f);
    g.setColour (juce::Colour (0xff272a30));
    g.fillRect (header);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0x614a4f58), 0.0f, 0.0f, juce::Colour (0x00000000), 0.0f, 78.0f, false));
    g.fillRect (header);
    g.setColour (juce::Colour (0xd9050607));
    g.drawLine (0.0f, 78.0f, w, 78.0f, 2.0f);
    g.setColour (juce::Colour (0xa6ff7e65));
    g.drawLine (0.0f, 76.0f, 0.28f * w, 76.0f, 2.0f);

    g.setColour (mainText);
    g.setFont (editorFont (34.0f));
    g.drawText ("ORVO SAMPLER", juce::Rectangle<int> (18, 16, 340, 38), juce::Justification::centredLeft, false);

    juce::Path logo;
    logo.addEllipse (530.0f, 25.0f, 26.0f, 26.0f);
    logo.addPieSegment (536.0f, 31.0f, 14.0f, 14.0f, 0.2f, 4.5f, 0.4f);
    g.setColour (juce::Colour (0xd9efefe9));
    g.fillPath (logo);

    g.setFont (editorFont (16.0f, true));
    g.drawText (processorRef.getSongTitle(), juce::Rectangle<int> (570, 18, 250, 24), juce::Justification::centredLeft, false);

    juce::String status;
    bool learnOn = false;
    bool learnTargeted = false;
    {
        const juce::ScopedLock sl (processorRef.lock);
        status = processorRef.statusText;
        learnOn = processorRef.midiLearnEnabled;
        learnTargeted = processorRef.learnTargetId.isNotEmpty();
    }

    g.setColour (secondaryText);
    g.setFont (editorFont (13.0f));
    g.drawText (status, juce::Rectangle<int> (570, 42, 340, 20), juce::Justification::centredLeft, false);

    // Knob strip and the learn button.
    g.setGradientFill (diagonal (stripRect, 0xff454950, 0xff121418));
    g.fillRoundedRectangle (stripRect, 9.0f);
    g.setColour (shadow);
    g.drawRoundedRectangle (stripRect.reduced (1.0f), 9.0f, 1.3f);

    g.setColour (juce::Colour (learnOn ? 0xd9ff7e65 : 0xff1f2227));
    g.fillRoundedRectangle (learnRect, 6.0f);
    g.setColour (juce::Colour (learnOn ? 0xffffa998 : 0xff444950));
    g.drawRoundedRectangle (learnRect, 6.0f, 1.2f);
    g.setColour (mainText);
    g.setFont (editorFont (10.5f, true));
    g.drawText (! learnOn ? "LEARN" : (learnTargeted ? "LISTEN" : "TOUCH"), learnRect, juce::Justification::centred, false);

    for (int i = 0; i < static_cast<int> (knobRects.size()); ++i)
        drawHardwareKnob (g, knobRects[static_cast<size_t> (i)], i);

    drawLeftPanel (g);

    // Grid panel.
    const auto grid = gridPanelArea.toFloat();
    g.setColour (shadow);
    g.fillRoundedRectangle (grid.translated (0.0f, 2.0f), 9.0f);
    g.setGradientFill (diagonal (grid, 0xff1f2228, 0xff090b0e));
    g.fillRoundedRectangle (grid, 8.0f);
    g.setColour (juce::Colour (0xcc444950));
    g.drawRoundedRectangle (grid, 8.0f, 1.0f);

    drawTransport (g);

    for (int slot = 0; slot < padsPerBank; ++slot)
        drawPad (g, slot);
}

void OrvoSamplerAudioProcessorEditor::drawTransport (juce::Graphics& g)
{
    static const juce::StringArray labels { "", "", "", "ARM", "M", "S" };

    for (int i = 0; i < 6; ++i)
    {
        const auto t = transportRects[static_cast<size_t> (i)];
        const auto recordLike = i == 0 || i == 2;

        g.setColour (shadow);
        g.fillRoundedRectangle (t.translated (0.0f, 2.0f), 5.0f);
        g.setColour (juce::Colour (recordLike ? 0xff38262e : 0xff1f2227));
        g.fillRoundedRectangle (t, 5.0f);
        g.setColour (juce::Colour (recordLike ? 0xe6f24a8b : 0xe6444950));
        g.drawRoundedRectangle (t, 5.0f, 1.0f);

        const auto icon = t.reduced (12.0f, 8.0f);
        g.setColour (mainText);

        if (i == 0)
        {
            juce::Path play;
            play.addTriangle (icon.getX(), icon.getY(), icon.getX(), icon.getBottom(), icon.getRight(), icon.getCentreY());
            g.fillPath (play);
        }
        else if (i == 1)
        {
            g.fillRect (icon.reduced (3.0f));
        }
        else if (i == 2)
        {
            g.setColour (juce::Colour (0xfff65c71));
            g.fillEllipse (icon.reduced (2.0f));
        }
        else
        {
            g.setFont (editorFont (i == 3 ? 10.0f : 13.0f, true));
            g.drawText (labels[i], t.toNearestInt(), juce::Justification::centred, false);
        }
    }
}

void OrvoSamplerAudioProcessorEditor::drawPad (juce::Graphics& g, int slot)
{
    const auto p = padRects[static_cast<size_t> (slot)];
    const auto pad = processorRef.getPad (slot);

    // Only what the pad shows: its flags and its clip's overview, never the clip's audio.
    bool active = false;
    bool queued = false;
    juce::Array<float> waveform;
    {
        const juce::ScopedLock sl (processorRef.lock);
        active = processorRef.padFeedbackActive[static_cast<size_t> (slot)];
        for (const auto& entry : processorRef.loopGroups)
            queued = queued || entry.second.queuedPad == slot;
        if (! pad.empty && pad.clipIndex >= 0 && pad.clipIndex < static_cast<int> (processorRef.package.clips.size()))
            waveform = processorRef.package.clips[static_cast<size_t> (pad.clipIndex)].waveform;
    }

    const auto empty = pad.empty;
    const auto base = empty ? emptyPadBase : pad.colour;

    g.setColour (shadow);
    g.fillRoundedRectangle (p.translated (0.0f, 4.0f), 8.0f);

    if (! empty)
    {
        g.setColour (base.withAlpha (static_cast<juce::uint8> (active ? 0x85 : (queued ? 0x61 : 0x2e))));
        g.fillRoundedRectangle (p.expanded (active ? 9.0f : (queued ? 5.0f : 2.0f)), 12.0f);
    }

    const auto innerAlpha = empty ? 0.0f : (active ? 0.94f : (queued ? 0.70f : 0.42f));
    const auto outerAlpha = empty ? 0.0f : 0.2f;
    g.setGradientFill (juce::ColourGradient (base.withMultipliedBrightness (1.55f).withAlpha (innerAlpha), p.getCentreX(), p.getCentreY(),
                                             base.withMultipliedBrightness (0.25f).withAlpha (outerAlpha), p.getX(), p.getBottom(), true));
    g.fillRoundedRectangle (p.reduced (5.0f), 7.0f);

    g.setGradientFill (diagonal (p, empty ? 0x38dadad5 : 0x78dadad5, empty ? 0x4c444649 : 0x6b444649));
    g.fillRoundedRectangle (p, 8.0f);

    g.setColour (juce::Colours::white.withAlpha (static_cast<juce::uint8> (empty ? 0x12 : 0x2e)));
    g.fillRoundedRectangle ({ p.getX() + 4.0f, p.getY() + 4.0f, p.getWidth() - 8.0f, 0.34f * p.getHeight() }, 6.0f);

    if (! empty)
    {
        g.setColour (base.withAlpha (static_cast<juce::uint8> (active ? 0xf2 : (queued ? 0xcc : 0x6b))));
        g.drawRoundedRectangle (p.reduced (1.0f), 8.0f, active ? 3.0f : (queued ? 2.2f : 1.1f));

        if (queued)
        {
            g.setColour (juce::Colour (0xbfefefe9));
            g.drawRoundedRectangle (p.reduced (5.0f), 6.0f, 1.4f);
        }
    }

    if (slot == selectedPad)
    {
        g.setColour (juce::Colour (0xf2ff7e65));
        g.drawRoundedRectangle (p.expanded (3.0f), 10.0f, 2.4f);
    }
    else if (slot == hoveredPad)
    {
        g.setColour (juce::Colour (0x73efefe9));
        g.drawRoundedRectangle (p.expanded (1.0f), 10.0f, 1.2f);
    }

    if (empty)
        return;

    const auto inner = p.reduced (8.0f);
    drawWaveform (g, inner.withHeight (std::min (inner.getHeight(), 0.42f * p.getHeight())), waveform, juce::Colour (0x80efefe9));

    g.setColour (juce::Colour (0xd1191a1c));
    g.setFont (editorFont (10.0f, true));
    const auto nameTop = p.getY() + 8.0f + 0.52f * p.getHeight();
    g.drawFittedText (pad.name, juce::Rectangle<float> (inner.getX(), nameTop, inner.getWidth(), std::max (0.0f, inner.getBottom() - nameTop)).toNearestInt(),
                      juce::Justification::centred, 2);

    g.setColour (juce::Colour (0x9e000000));
    g.setFont (editorFont (9.0f));
    g.drawText (juce::String (pad.note), inner.withTrimmedTop (std::max (0.0f, inner.getHeight() - 14.0f)),
                juce::Justification::bottomRight, false);
}

void OrvoSamplerAudioProcessorEditor::drawWaveform (juce::Graphics& g, juce::Rectangle<float> area, const juce::Array<float>& peaks,
                                                    juce::Colour colour)
{
    if (peaks.isEmpty())
        return;

    const auto step = area.getWidth() / static_cast<float> (peaks.size());
    const auto barWidth = std::max (0.52f * step, 1.0f);
    const auto centreY = area.getY() + area.getHeight() / 2.0f;
    juce::Path bars;

    for (int i = 0; i < peaks.size(); ++i)
    {
        // Peaks are drawn as stored; a non-finite one draws the 1-pixel minimum.
        const auto peak = std::isfinite (peaks[i]) ? peaks[i] : 0.0f;
        const auto half = std::max (area.getHeight() * peak * 0.48f, 1.0f);
        const auto clamped = std::min (half, 1.0e6f);
        bars.addRoundedRectangle (area.getX() + static_cast<float> (i) * step, centreY - clamped, barWidth, 2.0f * clamped, 1.0f);
    }

    g.setColour (colour);
    g.fillPath (bars);
}
