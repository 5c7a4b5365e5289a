#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "Processor/PluginProcessor.h"

#include <array>
#include <functional>
#include <memory>

// The fixed 1280 x 780 window. It paints and hit-tests everything itself
// except the seven header buttons, and reads all it shows from the processor
// afresh on every paint.
class OrvoSamplerAudioProcessorEditor : public juce::AudioProcessorEditor,
                                        public juce::Button::Listener,
                                        public juce::Timer
{
public:
    static constexpr int editorWidth = 1280;
    static constexpr int editorHeight = 780;
    static constexpr int refreshIntervalMs = 41;

    explicit OrvoSamplerAudioProcessorEditor (OrvoSamplerAudioProcessor& owner);
    ~OrvoSamplerAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseMove (const juce::MouseEvent& event) override;
    void mouseExit (const juce::MouseEvent& event) override;
    void mouseDown (const juce::MouseEvent& event) override;
    void mouseDrag (const juce::MouseEvent& event) override;
    void mouseUp (const juce::MouseEvent& event) override;
    void buttonClicked (juce::Button* button) override;
    void timerCallback() override;

    // Painting.
    void drawTransport (juce::Graphics& g);
    void drawPad (juce::Graphics& g, int slot);
    void drawWaveform (juce::Graphics& g, juce::Rectangle<float> area, const juce::Array<float>& peaks, juce::Colour colour);
    void drawLeftPanel (juce::Graphics& g);
    void drawHardwareKnob (juce::Graphics& g, juce::Rectangle<float> area, int index);
    void drawHardwareFader (juce::Graphics& g, juce::Rectangle<float> area, int index);
    void drawMomentary (juce::Graphics& g, juce::Rectangle<float> area, int index);

    // Hit-testing and the small operations of the mouse handlers.
    int padAt (juce::Point<int> point) const;
    int rectIndexAt (const std::array<juce::Rectangle<float>, 10>& rects, juce::Point<int> point) const;
    juce::String momentaryId (int index) const;
    void setFaderFromPosition (int index, float y);

    // The load workflow: the chooser, then the chosen path on a processor-owned worker.
    void launchLoadChooser();
    void loadChosenPath (const juce::File& path);

    // Milliseconds for the preset press rule; tests hand in their own clock.
    std::function<double()> clock = [] { return juce::Time::getMillisecondCounterHiRes(); };

    OrvoSamplerAudioProcessor& processorRef;

    juce::TextButton loadButton { "Load" };
    juce::TextButton previousBankButton { "<" };
    juce::TextButton nextBankButton { ">" };
    juce::TextButton profileButton { "MIDI" };
    juce::TextButton quantizeButton { "1/16" };
    juce::TextButton modeButton { "Trigger" };
    juce::TextButton ledButton { "LED" };

    std::unique_ptr<juce::FileChooser> fileChooser;

    // Geometry, in local coordinates; written only by resized().
    juce::Rectangle<int> leftPanelArea;
    juce::Rectangle<int> gridPanelArea;
    std::array<juce::Rectangle<float>, padsPerBank> padRects;
    std::array<juce::Rectangle<float>, 8> knobRects;
    std::array<juce::Rectangle<float>, 10> faderRects;
    std::array<juce::Rectangle<float>, 10> buttonRects;
    std::array<juce::Rectangle<float>, 6> transportRects;
    std::array<juce::Rectangle<float>, 5> presetRects;
    juce::Rectangle<float> learnRect;
    juce::Rectangle<float> clipPanelRect;
    juce::Rectangle<float> stripRect;

    // Interaction state.
    int hoveredPad = -1;
    int pressedPad = -1;
    int selectedPad = 0;
    int activeKnob = -1;
    int activeFader = -1;
    int pressedButton = -1;
    int pressedPreset = -1;
    double presetPressTime = 0.0;
    float knobDragStartValue = 0.0f;
    float knobDragStartY = 0.0f;

private:
    float controlValue (const juce::String& id) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OrvoSamplerAudioProcessorEditor)
};
