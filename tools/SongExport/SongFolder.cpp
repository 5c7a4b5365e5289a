#include "SongExport.h"

#include "Common/JsonReading.h"

namespace orvo::songexport
{
namespace
{
const juce::StringArray audioExtensions { ".wav", ".aif", ".aiff", ".flac", ".ogg" };

// File-name words and the stem type they name, most specific first.
const std::pair<const char*, const char*> stemWords[] = {
    { "drum", "drums" },   { "perc", "drums" },  { "beat", "drums" },   { "bass", "bass" },
    { "vocal", "vocals" }, { "vox", "vocals" },  { "voice", "vocals" }, { "chord", "chords" },
    { "keys", "keys" },    { "piano", "keys" },  { "synth", "synth" },  { "pad", "pads" },
    { "lead", "lead" },    { "guitar", "guitar" }, { "gtr", "guitar" }, { "string", "strings" },
    { "other", "other" },
};
} // namespace

juce::String stemTypeFor (const juce::String& fileNameWithoutExtension)
{
    const auto name = fileNameWithoutExtension.toLowerCase();

    for (const auto& [word, type] : stemWords)
        if (name.contains (word))
            return type;

    return {};
}

std::vector<Stem> findStems (const juce::File& folder)
{
    std::vector<Stem> stems;

    for (const auto& file : folder.findChildFiles (juce::File::findFiles, false))
        if (! file.isHidden() && audioExtensions.contains (file.getFileExtension().toLowerCase()))
            stems.push_back ({ stemTypeFor (file.getFileNameWithoutExtension()), file });

    std::sort (stems.begin(), stems.end(), [] (const Stem& a, const Stem& b) { return a.file.getFileName() < b.file.getFileName(); });

    // One file of unknown kind is the song's mix; several are "other" stems.
    for (auto& stem : stems)
        if (stem.type.isEmpty())
            stem.type = stems.size() == 1 ? "mix" : "other";

    return stems;
}

int padNote (int row, int column, PadLayout layout)
{
    const auto fromBottom = 7 - row;
    return layout == PadLayout::launchpad ? 11 + fromBottom * 10 + column : 36 + fromBottom * 8 + column;
}

bool readSongInfo (const juce::File& songJson, SongInfo& info, juce::String& error)
{
    const auto root = parseJsonObject (songJson.loadFileAsString());
    const auto* object = getJsonObject (root);

    if (object == nullptr)
    {
        error = "song.json is not valid JSON: " + songJson.getFullPathName();
        return false;
    }

    info.title = readJsonString (object->getProperty ("title"));
    info.bpm = readJsonDouble (object->getProperty ("bpm"));
    if (! (info.bpm > 0.0 && info.bpm < 1000.0))
        info.bpm = 0.0;

    if (const auto signature = readJsonString (object->getProperty ("time_signature")); signature.isNotEmpty())
        info.timeSignature = signature;

    info.hasFirstDownbeat = object->hasProperty ("first_downbeat");
    info.firstDownbeat = juce::jmax (0.0, readJsonDouble (object->getProperty ("first_downbeat")));
    if (! std::isfinite (info.firstDownbeat))
        info.firstDownbeat = 0.0;

    if (const auto* sections = object->getProperty ("sections").getArray())
    {
        for (const auto& element : *sections)
        {
            if (const auto* section = getJsonObject (element))
            {
                Section s { readJsonString (section->getProperty ("label")), readJsonDouble (section->getProperty ("start")),
                            readJsonDouble (section->getProperty ("end")) };
                if (std::isfinite (s.start) && std::isfinite (s.end) && s.end > s.start)
                    info.sections.push_back (s);
            }
        }
    }

    return true;
}
} // namespace orvo::songexport
