#include "Editor/PluginEditor.h"

#include "Support/EngineHarness.h"

#include <gtest/gtest.h>

using namespace orvo::test;

namespace
{
using Editor = OrvoSamplerAudioProcessorEditor;

juce::Image paintOf (Editor& editor)
{
    juce::Image image (juce::Image::ARGB, editor.getWidth(), editor.getHeight(), true, juce::SoftwareImageType());
    juce::Graphics g (image);
    editor.paintEntireComponent (g, true);
    return image;
}

void savePng (const juce::Image& image, const juce::String& name)
{
    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (name);
    file.deleteFile();
    juce::FileOutputStream out (file);
    if (out.openedOk())
        juce::PNGImageFormat().writeImageToStream (image, out);
}

juce::Colour at (const juce::Image& image, float x, float y)
{
    return image.getPixelAt (juce::roundToInt (x), juce::roundToInt (y));
}

bool isCoral (juce::Colour c)
{
    return c.getRed() > 200 && c.getGreen() > 90 && c.getGreen() < 160 && c.getBlue() > 60 && c.getBlue() < 140;
}

float brightness (juce::Colour c)
{
    return (c.getRed() + c.getGreen() + c.getBlue()) / 3.0f;
}

// A package with a red loop row and a blue row, with waveforms.
SamplerPackage paintedPackage()
{
    std::vector<PadSpec> pads;
    for (int c = 0; c < 8; ++c)
    {
        pads.push_back ({ 8 + c, 0, 44 + c, 0xffe8403a, true, "Drums " + juce::String (c + 1) });
        pads.push_back ({ 16 + c, 1, 52 + c, 0xff3c7dff, true, "Bass " + juce::String (c + 1) });
    }

    auto package = makePackage ({ constantClip (0.3f, 48000), constantClip (0.2f, 96000) }, { pads });
    for (auto& clip : package.clips)
        for (int i = 0; i < 32; ++i)
            clip.waveform.add (0.2f + 0.6f * static_cast<float> ((i * 7) % 10) / 10.0f);
    package.banks[0].name = "Chorus";
    return package;
}

class EditorPainting : public ::testing::Test
{
protected:
    Processor processor;
    Editor editor { processor };
};
} // namespace

TEST_F (EditorPainting, AnEmptyEditorShowsGreyPadsAndTheSelectionRingOnSlotZero)
{
    const auto image = paintOf (editor);
    savePng (image, "editor-empty.png");

    const auto p0 = editor.padRects[0];
    EXPECT_TRUE (isCoral (at (image, p0.getX() - 3.0f, p0.getCentreY()))) << at (image, p0.getX() - 3.0f, p0.getCentreY()).toString();

    // Every pad is an empty grey square: no strong colour anywhere inside.
    for (const auto slot : { 1, 30, 63 })
    {
        const auto c = at (image, editor.padRects[static_cast<size_t> (slot)].getCentreX(), editor.padRects[static_cast<size_t> (slot)].getCentreY());
        EXPECT_LT (std::abs (c.getRed() - c.getBlue()), 20) << slot;
    }

    // The header band and the background gradient.
    EXPECT_GT (brightness (at (image, 5, 10)), brightness (at (image, 5, 770)));

    // The BPM tile's value ("120") is drawn: some bright pixel in its text area.
    bool text = false;
    for (int x = 124; x < 230 && ! text; ++x)
        for (int y = 190; y < 210 && ! text; ++y)
            text = brightness (image.getPixelAt (x, y)) > 180.0f;
    EXPECT_TRUE (text);
}

TEST_F (EditorPainting, PadsShowTheirColourPlayingQueuedHoverAndSelection)
{
    install (processor, paintedPackage());
    {
        const juce::ScopedLock sl (processor.lock);
        processor.padFeedbackActive[8] = true;         // a red loop playing
        processor.loopGroups["ffe8403a"] = { 8, 9 };    // the next one queued
        processor.hardwareControls[0].value = 0.5f;
        processor.hardwareControls[8].value = 0.0f;     // fader1 at the bottom
        processor.hardwareControls[9].value = 1.0f;     // fader2 at the top
        processor.hardwareControls[3].value = 0.85f;
        processor.hardwareControls[12].value = 0.7f;
        processor.midiLearnEnabled = true;

        // The clip panel follows the loop: halfway through its clip.
        Processor::ActiveVoice loop;
        loop.clipIndex = 0;
        loop.padIndex = 8;
        loop.position = 24000.0;
        loop.inLoopGroup = true;
        processor.activeVoices.push_back (loop);
        processor.lastTriggeredPad = 8;
    }
    editor.hoveredPad = 17;
    editor.selectedPad = 16;

    const auto image = paintOf (editor);
    savePng (image, "editor-playing.png");
    savePng (image.rescaled (640, 390, juce::Graphics::highResamplingQuality), "editor-playing-small.png");

    const auto centreOf = [this] (int slot) { return editor.padRects[static_cast<size_t> (slot)].getCentre(); };

    // Body colours: red row, blue row.
    const auto red = at (image, centreOf (10).x, centreOf (10).y + 10.0f);
    EXPECT_GT (red.getRed(), red.getBlue() + 40) << red.toString();
    const auto blue = at (image, centreOf (18).x, centreOf (18).y + 10.0f);
    EXPECT_GT (blue.getBlue(), blue.getRed() + 40) << blue.toString();

    // Playing is brighter than idle; queued gets the light inner ring.
    EXPECT_GT (brightness (at (image, centreOf (8).x, centreOf (8).y + 10.0f)), brightness (at (image, centreOf (10).x, centreOf (10).y + 10.0f)));
    const auto queued = editor.padRects[9];
    const auto idle = editor.padRects[10];
    EXPECT_GT (brightness (at (image, queued.getX() + 5.0f, queued.getCentreY() + 12.0f)),
               brightness (at (image, idle.getX() + 5.0f, idle.getCentreY() + 12.0f)) + 30.0f);

    // Selection (coral, grown by 3) wins on 16; 17 has only the faint hover ring.
    EXPECT_TRUE (isCoral (at (image, editor.padRects[16].getX() - 3.0f, editor.padRects[16].getCentreY())));
    EXPECT_FALSE (isCoral (at (image, editor.padRects[17].getX() - 3.0f, editor.padRects[17].getCentreY())));
    EXPECT_GT (brightness (at (image, editor.padRects[17].getX() - 1.0f, editor.padRects[17].getCentreY())),
               brightness (at (image, editor.padRects[18].getX() - 1.0f, editor.padRects[18].getCentreY())));

    // Learn on: the coral button.
    EXPECT_TRUE (isCoral (at (image, editor.learnRect.getX() + 4.0f, editor.learnRect.getY() + 4.0f)));

    // The clip panel's playhead stands halfway.
    const auto wave = editor.clipPanelRect;
    const auto playheadX = wave.getX() + 12.0f + (wave.getWidth() - 24.0f) * 0.5f;
    EXPECT_GT (at (image, playheadX, wave.getCentreY()).getRed(), 200);

    // Knob 1 at 0.5: the pointer stands at twelve o'clock.
    const auto knob = editor.knobRects[0];
    EXPECT_GT (brightness (at (image, knob.getCentreX(), knob.getCentreY() - 0.18f * knob.getWidth())), 120.0f);

    // Fader thumbs: at the bottom of the track for 0, at the top for 1.
    const auto thumbAt = [&image] (juce::Rectangle<float> r, float v) {
        const auto trackTop = r.getY() + 7.0f;
        const auto trackHeight = r.getHeight() - 14.0f;
        return at (image, r.getX() + 6.0f, trackTop + trackHeight * (1.0f - v));
    };
    EXPECT_GT (brightness (thumbAt (editor.faderRects[0], 0.0f)), brightness (thumbAt (editor.faderRects[0], 1.0f)));
    EXPECT_GT (brightness (thumbAt (editor.faderRects[1], 1.0f)), brightness (thumbAt (editor.faderRects[1], 0.0f)));
}
