#include "Package/SamplerPackage.h"

#include "Common/JsonReading.h"

#include <cmath>
#include <limits>
#include <map>

namespace
{
// Real manifests are kilobytes to a few megabytes.
constexpr juce::int64 maxManifestBytes = 64 * 1024 * 1024;

constexpr unsigned int maxClipChannels = 64;

// A compressed file of silence can decode to far more samples than it has
// bytes, but not without bound: this keeps a tiny file's header from asking
// for gigabytes.
constexpr juce::int64 maxCompressedSamplesPerByte = 256;
constexpr juce::int64 compressedSlackBytes = 64 * 1024;

const juce::Colour unparsedPadColour { 0xff82848a };

bool isUncompressedPcm (const juce::AudioFormatReader& reader)
{
    static const juce::StringArray pcmFormats { juce::WavAudioFormat().getFormatName(),
                                                juce::AiffAudioFormat().getFormatName() };
    return pcmFormats.contains (reader.getFormatName());
}

bool headerIsPlausible (const juce::AudioFormatReader& reader, juce::int64 fileBytes)
{
    if (reader.numChannels < 1 || reader.numChannels > maxClipChannels)
        return false;

    if (! std::isfinite (reader.sampleRate) || reader.sampleRate <= 0.0)
        return false;

    const auto frames = reader.lengthInSamples;

    if (frames < 0 || frames > std::numeric_limits<int>::max())
        return false;

    const auto channels = static_cast<juce::int64> (reader.numChannels);

    if (isUncompressedPcm (reader))
    {
        const auto bytesPerSample = juce::jmax (1, static_cast<int> (reader.bitsPerSample) / 8);
        return frames * channels * bytesPerSample <= fileBytes;
    }

    return frames * channels <= (fileBytes + compressedSlackBytes) * maxCompressedSamplesPerByte;
}

juce::String readString (const juce::DynamicObject& object, const juce::Identifier& key)
{
    return readJsonString (object.getProperty (key));
}

int readInt (const juce::DynamicObject& object, const juce::Identifier& key)
{
    return readJsonInt (object.getProperty (key));
}

double readDouble (const juce::DynamicObject& object, const juce::Identifier& key)
{
    return readJsonDouble (object.getProperty (key));
}

bool readBool (const juce::DynamicObject& object, const juce::Identifier& key)
{
    return readJsonBool (object.getProperty (key));
}

// A key whose value is not an array reads as an empty list.
const juce::Array<juce::var>& readArray (const juce::DynamicObject& object, const juce::Identifier& key)
{
    static const juce::Array<juce::var> none;
    const auto* array = object.getProperty (key).getArray();
    return array != nullptr ? *array : none;
}

PadClip readClipMetadata (const juce::DynamicObject& object, const juce::File& baseDirectory)
{
    PadClip clip;
    clip.clipId = readString (object, "clip_id");
    clip.name = readString (object, "name");
    clip.role = readString (object, "role");
    clip.kind = readString (object, "kind");
    clip.stemType = readString (object, "stem_type");
    clip.sectionLabel = readString (object, "section_label");
    clip.sourceFile = SamplerPackageLoader::resolvePath (baseDirectory, object.getProperty ("source_path"));
    clip.clipFile = SamplerPackageLoader::resolvePath (baseDirectory, object.getProperty ("clip_path"));
    clip.startTime = readDouble (object, "start_time");
    clip.endTime = readDouble (object, "end_time");
    clip.startBeat = readDouble (object, "start_beat");
    clip.lengthBeats = readDouble (object, "length_beats");
    clip.bpm = readDouble (object, "bpm");
    clip.confidence = readJsonFloat (object.getProperty ("confidence"));
    clip.isLoop = readBool (object, "is_loop");

    for (const auto& point : readArray (object, "waveform"))
        clip.waveform.add (readJsonFloat (point));

    return clip;
}

PadAssignment readPad (const juce::DynamicObject& object, const std::map<juce::String, int>& clipIndexById)
{
    PadAssignment pad;
    pad.padIndex = juce::jlimit (0, padsPerBank - 1, readInt (object, "pad_index"));
    pad.row = readInt (object, "row");
    pad.column = readInt (object, "column");
    pad.note = readInt (object, "note");
    pad.midiChannel = readInt (object, "midi_channel");
    pad.clipId = readString (object, "clip_id");
    pad.name = readString (object, "name");
    pad.stemType = readString (object, "stem_type");
    pad.kind = readString (object, "kind");
    pad.colour = SamplerPackageLoader::parsePadColour (object.getProperty ("color"));
    pad.empty = readBool (object, "empty");
    pad.playbackMode = readString (object, "playback_mode");

    if (const auto found = clipIndexById.find (pad.clipId); found != clipIndexById.end())
        pad.clipIndex = found->second;

    return pad;
}

PadBank readBank (const juce::DynamicObject& object, const std::map<juce::String, int>& clipIndexById)
{
    PadBank bank;
    bank.index = readInt (object, "index");
    bank.name = readString (object, "name");
    bank.sectionLabel = readString (object, "section_label");

    for (const auto& element : readArray (object, "pads"))
    {
        if (const auto* padObject = getJsonObject (element))
        {
            auto pad = readPad (*padObject, clipIndexById);
            bank.pads[static_cast<size_t> (pad.padIndex)] = std::move (pad);
        }
    }

    return bank;
}
} // namespace

SamplerPackageLoader::SamplerPackageLoader()
{
    formatManager.registerFormat (new juce::WavAudioFormat(), true);
    formatManager.registerFormat (new juce::AiffAudioFormat(), false);
    formatManager.registerFormat (new juce::FlacAudioFormat(), false);
    formatManager.registerFormat (new juce::OggVorbisAudioFormat(), false);
   #if JUCE_MAC || JUCE_IOS
    formatManager.registerFormat (new juce::CoreAudioFormat(), false);
   #endif
}

juce::File SamplerPackageLoader::resolvePath (const juce::File& baseDirectory, const juce::var& value)
{
    const auto text = readJsonString (value);

    if (text.startsWithChar ('~') || text.startsWithChar ('/'))
        return juce::File (text);

    return baseDirectory.getChildFile (text);
}

juce::Colour SamplerPackageLoader::parsePadColour (const juce::var& value)
{
    auto text = readJsonString (value).trim();

    while (text.startsWithChar ('#'))
        text = text.substring (1);

    if (text.length() == 6)
        return juce::Colour::fromString ("ff" + text);

    if (text.length() == 8)
        return juce::Colour::fromString (text);

    return unparsedPadColour;
}

bool SamplerPackageLoader::readClipAudio (PadClip& clip)
{
    std::unique_ptr<juce::AudioFormatReader> reader (formatManager.createReaderFor (clip.clipFile));

    if (reader == nullptr || ! headerIsPlausible (*reader, clip.clipFile.getSize()))
        return false;

    const auto length = static_cast<int> (reader->lengthInSamples);
    clip.audio.setSize (static_cast<int> (reader->numChannels), length);

    if (length > 0 && ! reader->read (&clip.audio, 0, length, 0, true, true))
        return false;

    if (clip.audio.getNumChannels() == 1)
    {
        clip.audio.setSize (2, length, true, false, false);
        clip.audio.copyFrom (1, 0, clip.audio, 0, 0, length);
    }

    clip.sampleRate = reader->sampleRate;
    return true;
}

bool SamplerPackageLoader::loadPackageManifest (const juce::File& manifest, SamplerPackage& package, juce::String& error)
{
    if (! manifest.existsAsFile())
    {
        error = "Sampler manifest does not exist: " + manifest.getFullPathName();
        return false;
    }

    const auto root = manifest.getSize() <= maxManifestBytes ? parseJsonObject (manifest.loadFileAsString())
                                                              : juce::var();
    const auto* top = getJsonObject (root);

    if (top == nullptr)
    {
        error = "Sampler manifest is not valid JSON.";
        return false;
    }

    SamplerPackage loaded;
    loaded.manifestFile = manifest;
    loaded.baseDirectory = manifest.getParentDirectory();
    loaded.songTitle = readString (*top, "song_title");
    loaded.bpm = readDouble (*top, "bpm");
    loaded.timeSignature = readString (*top, "time_signature");
    loaded.targetSampleRate = readInt (*top, "target_sr");

    std::map<juce::String, int> clipIndexById;

    for (const auto& element : readArray (*top, "clips"))
    {
        const auto* clipObject = getJsonObject (element);

        if (clipObject == nullptr)
            continue;

        auto clip = readClipMetadata (*clipObject, loaded.baseDirectory);

        if (! clip.clipFile.existsAsFile())
        {
            error = "Missing clip audio: " + clip.clipFile.getFullPathName();
            return false;
        }

        if (! readClipAudio (clip))
        {
            error = "Could not read clip audio: " + clip.clipFile.getFullPathName();
            return false;
        }

        clipIndexById[clip.clipId] = static_cast<int> (loaded.clips.size());
        loaded.clips.push_back (std::move (clip));
    }

    for (const auto& element : readArray (*top, "banks"))
        if (const auto* bankObject = getJsonObject (element))
            loaded.banks.push_back (readBank (*bankObject, clipIndexById));

    for (const auto& warning : readArray (*top, "warnings"))
        loaded.warnings.add (readJsonString (warning));

    if (loaded.banks.empty())
    {
        error = "Sampler manifest contains no banks.";
        return false;
    }

    package = std::move (loaded);
    return true;
}
