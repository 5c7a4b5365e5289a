#include "Support/TestFixtures.h"

#include <cmath>
#include <stdexcept>

namespace orvo::test
{
TempFolder::TempFolder()
    // Unique per instance: CTest runs test processes side by side.
    : folder (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("orvo-test-" + juce::Uuid().toString()))
{
    if (! folder.createDirectory())
        throw std::runtime_error ("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    folder.deleteRecursively();
}

juce::String extensionFor (ClipFormat format)
{
    switch (format)
    {
        case ClipFormat::wav:  return ".wav";
        case ClipFormat::aiff: return ".aiff";
        case ClipFormat::flac: return ".flac";
        case ClipFormat::ogg:  return ".ogg";
    }

    return {};
}

float testSample (int channel, int frame) noexcept
{
    const auto phase = static_cast<float> (frame % 64) / 64.0f;
    return (phase - 0.5f) * 0.25f * static_cast<float> (channel + 1);
}

juce::File writeClip (const juce::File& file, ClipFormat format, int channels, int frames, double sampleRate,
                      int bitsPerSample)
{
    std::unique_ptr<juce::AudioFormat> audioFormat;

    switch (format)
    {
        case ClipFormat::wav:  audioFormat = std::make_unique<juce::WavAudioFormat>(); break;
        case ClipFormat::aiff: audioFormat = std::make_unique<juce::AiffAudioFormat>(); break;
        case ClipFormat::flac: audioFormat = std::make_unique<juce::FlacAudioFormat>(); break;
        case ClipFormat::ogg:  audioFormat = std::make_unique<juce::OggVorbisAudioFormat>(); break;
    }

    juce::AudioBuffer<float> buffer (channels, frames);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < frames; ++i)
            buffer.setSample (c, i, testSample (c, i));

    file.getParentDirectory().createDirectory();
    file.deleteFile();

    auto stream = file.createOutputStream();
    if (stream == nullptr)
        throw std::runtime_error ("cannot write " + file.getFullPathName().toStdString());

    const auto quality = format == ClipFormat::ogg ? audioFormat->getQualityOptions().size() - 1 : 0;
    std::unique_ptr<juce::AudioFormatWriter> writer (audioFormat->createWriterFor (
        stream.get(), sampleRate, static_cast<unsigned int> (channels), bitsPerSample, {}, quality));

    if (writer == nullptr)
        throw std::runtime_error ("no writer for " + file.getFullPathName().toStdString());

    stream.release(); // the writer owns it now
    writer->writeFromAudioSampleBuffer (buffer, 0, frames);
    return file;
}

juce::var object (std::initializer_list<std::pair<const char*, juce::var>> properties)
{
    auto* result = new juce::DynamicObject();
    for (const auto& [key, value] : properties)
        result->setProperty (key, value);
    return juce::var (result);
}

juce::var array (std::initializer_list<juce::var> elements)
{
    juce::Array<juce::var> result;
    for (const auto& element : elements)
        result.add (element);
    return result;
}

juce::File writeJson (const juce::File& file, const juce::var& value)
{
    return writeText (file, juce::JSON::toString (value));
}

juce::File writeText (const juce::File& file, const juce::String& text)
{
    file.getParentDirectory().createDirectory();
    if (! file.replaceWithText (text, false, false, "\n"))
        throw std::runtime_error ("cannot write " + file.getFullPathName().toStdString());
    return file;
}
} // namespace orvo::test
