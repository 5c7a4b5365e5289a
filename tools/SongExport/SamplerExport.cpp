#include "SongExport.h"

#include "Common/JsonReading.h"

#include <cmath>

namespace orvo::songexport
{
namespace
{
constexpr int columns = 8;
constexpr int rows = 8;
constexpr int waveformPoints = 48;
constexpr int barsPerAnalysedSection = 8;

const juce::String manifestName { "orvo_sampler_manifest.json" };
const juce::String analysisName { "orvo_analysis.json" };

// Stems in the rows they take, top to bottom; unknown types follow.
const juce::StringArray rowOrder { "drums", "bass", "keys", "chords", "pads", "synth", "guitar",
                                   "strings", "other", "lead", "vocals", "mix" };

juce::String colourFor (const juce::String& stemType)
{
    static const std::pair<const char*, const char*> colours[] = {
        { "drums", "#F24A8B" }, { "bass", "#3C7DFF" },   { "vocals", "#FFC23D" }, { "lead", "#FF7E65" },
        { "chords", "#5BD68A" }, { "keys", "#5BD68A" },  { "pads", "#9B6BFF" },   { "synth", "#36D1DC" },
        { "guitar", "#E8A33D" }, { "strings", "#C77DFF" }, { "other", "#A6ABAA" }, { "mix", "#EFEFE9" },
    };

    for (const auto& [type, colour] : colours)
        if (stemType == type)
            return colour;

    return "#82848A";
}

struct DecodedStem
{
    Stem stem;
    juce::AudioBuffer<float> audio;
    double sampleRate = 44100.0;
};

juce::var sectionsToJson (const std::vector<Section>& sections)
{
    juce::Array<juce::var> list;
    for (const auto& s : sections)
    {
        auto* o = new juce::DynamicObject();
        o->setProperty ("label", s.label);
        o->setProperty ("start", s.start);
        o->setProperty ("end", s.end);
        list.add (juce::var (o));
    }
    return list;
}

bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate)
{
    auto stream = file.createOutputStream();
    if (stream == nullptr)
        return false;

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (stream.get(), sampleRate, static_cast<unsigned int> (audio.getNumChannels()), 24, {}, 0));
    if (writer == nullptr)
        return false;

    stream.release(); // owned by the writer now
    return writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
}

juce::Array<juce::var> waveformOf (const juce::AudioBuffer<float>& audio)
{
    juce::Array<juce::var> peaks;
    const auto length = audio.getNumSamples();

    for (int p = 0; p < waveformPoints; ++p)
    {
        const auto from = static_cast<int> (static_cast<juce::int64> (length) * p / waveformPoints);
        const auto to = static_cast<int> (static_cast<juce::int64> (length) * (p + 1) / waveformPoints);
        float peak = 0.0f;
        for (int c = 0; c < audio.getNumChannels(); ++c)
            peak = std::max (peak, audio.getMagnitude (c, from, std::max (0, to - from)));
        peaks.add (std::round (std::min (1.0f, peak) * 1000.0f) / 1000.0f);
    }

    return peaks;
}

int beatsPerBar (const juce::String& timeSignature)
{
    const auto numerator = timeSignature.upToFirstOccurrenceOf ("/", false, false).getIntValue();
    return numerator > 0 && numerator <= 32 ? numerator : 4;
}

// Replaces `target` by `fresh` only once `fresh` is complete.
bool swapInFolder (const juce::File& fresh, const juce::File& target)
{
    const auto previous = target.getSiblingFile (target.getFileName() + ".previous");
    previous.deleteRecursively();

    if (target.exists() && ! target.moveFileTo (previous))
        return false;

    if (! fresh.moveFileTo (target))
    {
        previous.moveFileTo (target);
        return false;
    }

    previous.deleteRecursively();
    return true;
}
} // namespace

bool exportSampler (const juce::File& folder, const ExportOptions& options, juce::String& error)
{
    if (! folder.isDirectory())
    {
        error = "No such song folder: " + folder.getFullPathName();
        return false;
    }

    const auto stems = findStems (folder);
    if (stems.empty())
    {
        error = "No audio stems (WAV, AIFF, FLAC or Ogg Vorbis) in " + folder.getFullPathName();
        return false;
    }

    SongInfo song;
    song.title = folder.getFileName();
    if (const auto songJson = folder.getChildFile ("song.json"); songJson.existsAsFile() && ! readSongInfo (songJson, song, error))
        return false;

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();

    std::vector<DecodedStem> decoded;
    for (const auto& stem : stems)
    {
        options.progress ("Reading " + stem.file.getFileName());
        std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (stem.file));

        if (reader == nullptr || reader->numChannels < 1 || reader->numChannels > 64 || ! (reader->sampleRate > 0.0)
            || reader->lengthInSamples > std::numeric_limits<int>::max())
        {
            error = "Could not read audio: " + stem.file.getFullPathName();
            return false;
        }

        DecodedStem d { stem, juce::AudioBuffer<float> (static_cast<int> (reader->numChannels), static_cast<int> (reader->lengthInSamples)), reader->sampleRate };
        if (! reader->read (&d.audio, 0, d.audio.getNumSamples(), 0, true, true))
        {
            error = "Could not read audio: " + stem.file.getFullPathName();
            return false;
        }
        decoded.push_back (std::move (d));
    }

    const auto processed = folder.getChildFile ("processed");
    const auto analysisFile = processed.getChildFile (analysisName);
    const auto needsAnalysis = song.bpm <= 0.0 || song.sections.empty();

    if (needsAnalysis)
    {
        SongInfo analysed;
        bool haveAnalysis = false;

        if (options.processFirst)
        {
            options.progress ("Analysing tempo");
            const auto& first = decoded.front();
            juce::AudioBuffer<float> mix (1, first.audio.getNumSamples());
            mix.clear();
            for (const auto& d : decoded)
                for (int c = 0; c < d.audio.getNumChannels(); ++c)
                    mix.addFrom (0, 0, d.audio, c, 0, std::min (mix.getNumSamples(), d.audio.getNumSamples()));

            analysed.bpm = song.bpm;
            analysed.firstDownbeat = song.firstDownbeat;

            if (analysed.bpm <= 0.0 && ! analyseTempo (mix, first.sampleRate, analysed.bpm, analysed.firstDownbeat))
            {
                error = "Could not find a steady tempo in " + folder.getFullPathName() + "; add \"bpm\" to song.json.";
                return false;
            }

            // Phrases of eight bars from the first downbeat.
            const auto phrase = barsPerAnalysedSection * beatsPerBar (song.timeSignature) * 60.0 / analysed.bpm;
            const auto songEnd = first.audio.getNumSamples() / first.sampleRate;
            int number = 1;
            for (auto start = analysed.firstDownbeat; start + phrase * 0.5 < songEnd; start += phrase)
                analysed.sections.push_back ({ "Phrase " + juce::String (number++), start, std::min (start + phrase, songEnd) });

            auto* o = new juce::DynamicObject();
            o->setProperty ("bpm", analysed.bpm);
            o->setProperty ("first_downbeat", analysed.firstDownbeat);
            o->setProperty ("sections", sectionsToJson (analysed.sections));
            processed.createDirectory();
            if (! analysisFile.replaceWithText (juce::JSON::toString (juce::var (o)), false, false, "\n"))
            {
                error = "Could not write the analysis: " + analysisFile.getFullPathName();
                return false;
            }
            haveAnalysis = true;
        }
        else if (analysisFile.existsAsFile())
        {
            haveAnalysis = readSongInfo (analysisFile, analysed, error);
        }

        if (! haveAnalysis)
        {
            error = "No tempo or sections for " + folder.getFullPathName()
                    + ": name them in song.json or run with --process-first to analyse the song.";
            return false;
        }

        if (song.bpm <= 0.0)
        {
            song.bpm = analysed.bpm;
            if (! song.hasFirstDownbeat)
                song.firstDownbeat = analysed.firstDownbeat;
        }
        if (song.sections.empty())
            song.sections = analysed.sections;
    }

    if (song.sections.empty())
    {
        error = "The song is too short for one bar at " + juce::String (song.bpm) + " bpm.";
        return false;
    }

    // Rows: one per stem, in row order.
    std::vector<const DecodedStem*> rowStems;
    for (const auto& type : rowOrder)
        for (const auto& d : decoded)
            if (d.stem.type == type && rowStems.size() < rows)
                rowStems.push_back (&d);
    for (const auto& d : decoded)
        if (! rowOrder.contains (d.stem.type) && rowStems.size() < rows)
            rowStems.push_back (&d);

    const auto fresh = processed.getChildFile ("sampler.partial");
    fresh.deleteRecursively();
    const auto clipsFolder = fresh.getChildFile ("clips");

    if (! clipsFolder.createDirectory())
    {
        error = "Could not write the sampler package: " + fresh.getFullPathName();
        return false;
    }

    const auto beatSeconds = 60.0 / song.bpm;
    const auto barSeconds = beatsPerBar (song.timeSignature) * beatSeconds;
    juce::Array<juce::var> clips;
    juce::Array<juce::var> banks;

    for (size_t b = 0; b < song.sections.size(); ++b)
    {
        const auto& section = song.sections[b];
        options.progress ("Cutting " + section.label);

        const auto firstBar = static_cast<int> (std::round ((section.start - song.firstDownbeat) / barSeconds));
        const auto bars = std::max (1, static_cast<int> (std::round ((section.end - section.start) / barSeconds)));
        const auto clipBars = std::max (1, bars / columns);
        const auto used = std::min (columns, std::max (1, bars / clipBars));

        juce::Array<juce::var> pads;

        for (size_t r = 0; r < rowStems.size(); ++r)
        {
            const auto& d = *rowStems[r];

            for (int c = 0; c < used; ++c)
            {
                const auto startBar = firstBar + c * clipBars;
                const auto startTime = song.firstDownbeat + startBar * barSeconds;
                const auto length = clipBars * barSeconds;
                const auto from = static_cast<int> (std::round (startTime * d.sampleRate));
                const auto count = static_cast<int> (std::round (length * d.sampleRate));

                if (from < 0 || from >= d.audio.getNumSamples() || count <= 0)
                    continue;

                juce::AudioBuffer<float> clip (d.audio.getNumChannels(), count);
                clip.clear();
                const auto available = std::min (count, d.audio.getNumSamples() - from);
                for (int ch = 0; ch < clip.getNumChannels(); ++ch)
                    clip.copyFrom (ch, 0, d.audio, ch, from, available);

                const auto clipId = juce::String (static_cast<int> (b)) + "_" + d.stem.type + "_" + juce::String (c + 1);
                const auto clipFile = clipsFolder.getChildFile (clipId + ".wav");

                if (! writeWav (clipFile, clip, d.sampleRate))
                {
                    error = "Could not write the sampler package: " + clipFile.getFullPathName();
                    fresh.deleteRecursively();
                    return false;
                }

                const auto name = section.label + " " + d.stem.type + " " + juce::String (c + 1);
                auto* clipObject = new juce::DynamicObject();
                clipObject->setProperty ("clip_id", clipId);
                clipObject->setProperty ("name", name);
                clipObject->setProperty ("role", "loop");
                clipObject->setProperty ("kind", "loop");
                clipObject->setProperty ("stem_type", d.stem.type);
                clipObject->setProperty ("section_label", section.label);
                clipObject->setProperty ("source_path", "../../" + d.stem.file.getFileName());
                clipObject->setProperty ("clip_path", "clips/" + clipFile.getFileName());
                clipObject->setProperty ("start_time", startTime);
                clipObject->setProperty ("end_time", startTime + length);
                clipObject->setProperty ("start_beat", static_cast<double> (startBar * beatsPerBar (song.timeSignature)));
                clipObject->setProperty ("length_beats", static_cast<double> (clipBars * beatsPerBar (song.timeSignature)));
                clipObject->setProperty ("bpm", song.bpm);
                clipObject->setProperty ("confidence", 1.0);
                clipObject->setProperty ("is_loop", true);
                clipObject->setProperty ("waveform", waveformOf (clip));
                clips.add (juce::var (clipObject));

                const auto row = static_cast<int> (r);
                auto* pad = new juce::DynamicObject();
                pad->setProperty ("pad_index", row * columns + c);
                pad->setProperty ("row", row);
                pad->setProperty ("column", c);
                pad->setProperty ("note", padNote (row, c, options.layout));
                pad->setProperty ("midi_channel", 1);
                pad->setProperty ("clip_id", clipId);
                pad->setProperty ("name", name);
                pad->setProperty ("stem_type", d.stem.type);
                pad->setProperty ("kind", "loop");
                pad->setProperty ("color", colourFor (d.stem.type));
                pad->setProperty ("empty", false);
                pad->setProperty ("playback_mode", "trigger");
                pads.add (juce::var (pad));
            }
        }

        auto* bank = new juce::DynamicObject();
        bank->setProperty ("index", static_cast<int> (b));
        bank->setProperty ("name", section.label);
        bank->setProperty ("section_label", section.label);
        bank->setProperty ("pads", pads);
        banks.add (juce::var (bank));
    }

    auto* manifest = new juce::DynamicObject();
    manifest->setProperty ("song_title", song.title);
    manifest->setProperty ("bpm", song.bpm);
    manifest->setProperty ("time_signature", song.timeSignature);
    manifest->setProperty ("target_sr", static_cast<int> (std::round (decoded.front().sampleRate)));
    manifest->setProperty ("clips", clips);
    manifest->setProperty ("banks", banks);
    manifest->setProperty ("warnings", juce::Array<juce::var>());

    const auto target = processed.getChildFile ("sampler");

    if (! fresh.getChildFile (manifestName).replaceWithText (juce::JSON::toString (juce::var (manifest)), false, false, "\n")
        || ! swapInFolder (fresh, target))
    {
        fresh.deleteRecursively();
        error = "Could not write the sampler package: " + target.getFullPathName();
        return false;
    }

    options.progress ("Wrote " + target.getChildFile (manifestName).getFullPathName());
    return true;
}
} // namespace orvo::songexport
