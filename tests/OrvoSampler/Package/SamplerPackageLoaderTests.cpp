#include "Package/SamplerPackage.h"

#include "Support/TestFixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace orvo::test;

namespace
{
struct LoadResult
{
    bool ok = false;
    juce::String error;
    SamplerPackage package;
};

class ManifestLoading : public ::testing::Test
{
protected:
    LoadResult load (const juce::File& manifest)
    {
        LoadResult result;
        result.package.songTitle = "previous package";
        result.ok = loader.loadPackageManifest (manifest, result.package, result.error);
        return result;
    }

    // A manifest with one bank whose pad 0 plays the given clip objects' first clip.
    juce::File manifestWithClips (juce::Array<juce::var> clips)
    {
        auto* bank = new juce::DynamicObject();
        bank->setProperty ("pads", array ({ object ({ { "pad_index", 0 }, { "clip_id", "a" } }) }));
        return writeJson (folder.file ("orvo_sampler_manifest.json"),
                          object ({ { "clips", clips }, { "banks", array ({ juce::var (bank) }) } }));
    }

    juce::File manifestWithClipFile (const juce::File& clipFile)
    {
        return manifestWithClips ({ object ({ { "clip_id", "a" }, { "clip_path", clipFile.getFullPathName() } }) });
    }

    TempFolder folder;
    SamplerPackageLoader loader;
};

// Byte offsets of a RIFF chunk's size field and body in a WAV file.
size_t findChunk (const juce::MemoryBlock& bytes, const char* id)
{
    const auto* data = static_cast<const char*> (bytes.getData());
    for (size_t i = 12; i + 8 <= bytes.getSize(); ++i)
        if (std::memcmp (data + i, id, 4) == 0)
            return i;
    throw std::runtime_error ("chunk not found");
}

void patchLittleEndian (juce::MemoryBlock& bytes, size_t offset, juce::uint32 value, int width)
{
    for (int b = 0; b < width; ++b)
        bytes[offset + static_cast<size_t> (b)] = static_cast<char> ((value >> (8 * b)) & 0xff);
}
} // namespace

TEST_F (ManifestLoading, EveryFailureNamesItsCauseAndLeavesThePackageUntouched)
{
    const auto manifestPath = folder.file ("orvo_sampler_manifest.json");
    const auto goodClip = [&] { return writeClip (folder.file ("clips/good.wav"), ClipFormat::wav, 2, 100); };

    // A valid 1 s WAV whose header is then rewritten.
    const auto patchedWav = [&] (std::function<void (juce::MemoryBlock&)> patch) {
        const auto file = writeClip (folder.file ("clips/patched.wav"), ClipFormat::wav, 2, 48000);
        juce::MemoryBlock bytes;
        file.loadFileAsData (bytes);
        patch (bytes);
        file.replaceWithData (bytes.getData(), bytes.getSize());
        return file;
    };

    struct Case
    {
        const char* name;
        std::function<juce::File()> prepare; // returns the manifest to load
        std::function<juce::String()> expected;
    };

    const juce::String invalidJson ("Sampler manifest is not valid JSON.");
    const juce::String noBanks ("Sampler manifest contains no banks.");
    const auto bankList = array ({ object ({ { "name", "A" } }) });

    const Case cases[] = {
        { "absent manifest", [&] { return manifestPath; },
          [&] { return "Sampler manifest does not exist: " + manifestPath.getFullPathName(); } },
        { "manifest is a folder", [&] { folder.file ("dir.json").createDirectory(); return folder.file ("dir.json"); },
          [&] { return "Sampler manifest does not exist: " + folder.file ("dir.json").getFullPathName(); } },
        { "top-level array", [&] { return writeText (manifestPath, "[{\"banks\": []}]"); }, [&] { return invalidJson; } },
        { "top-level number", [&] { return writeText (manifestPath, "42"); }, [&] { return invalidJson; } },
        { "syntax error", [&] { return writeText (manifestPath, "{\"banks\": [ {"); }, [&] { return invalidJson; } },
        { "empty file", [&] { return writeText (manifestPath, ""); }, [&] { return invalidJson; } },
        { "not UTF-8", [&] { manifestPath.replaceWithData ("\xff\xfe\x00{", 4); return manifestPath; },
          [&] { return invalidJson; } },
        { "nested 100000 deep", [&] {
              return writeText (manifestPath, "{\"banks\": " + juce::String::repeatedString ("[", 100000)
                                                  + juce::String::repeatedString ("]", 100000) + "}");
          }, [&] { return invalidJson; } },
        { "larger than any real manifest", [&] {
              juce::FileOutputStream out (manifestPath);
              out.setPosition (0);
              out.truncate();
              out << "{\"banks\": [{}], \"padding\": \"";
              const juce::String chunk = juce::String::repeatedString ("x", 1 << 20);
              for (int i = 0; i < 65; ++i)
                  out << chunk;
              out << "\"}";
              return manifestPath;
          }, [&] { return invalidJson; } },
        { "no banks key", [&] { return writeJson (manifestPath, object ({ { "clips", array ({}) } })); },
          [&] { return noBanks; } },
        { "empty banks", [&] { return writeJson (manifestPath, object ({ { "banks", array ({}) } })); },
          [&] { return noBanks; } },
        { "banks not a list", [&] { return writeJson (manifestPath, object ({ { "banks", object ({ { "a", 1 } }) } })); },
          [&] { return noBanks; } },
        { "banks without objects", [&] { return writeJson (manifestPath, object ({ { "banks", array ({ 1, "x", array ({}) }) } })); },
          [&] { return noBanks; } },
        { "empty clip path", [&] { return manifestWithClips ({ object ({ { "clip_id", "a" }, { "clip_path", "" } }) }); },
          [&] { return "Missing clip audio: " + folder.path().getFullPathName(); } },
        { "absent clip path", [&] { return manifestWithClips ({ object ({ { "clip_id", "a" } }) }); },
          [&] { return "Missing clip audio: " + folder.path().getFullPathName(); } },
        { "clip file absent", [&] { return manifestWithClipFile (folder.file ("clips/none.wav")); },
          [&] { return "Missing clip audio: " + folder.file ("clips/none.wav").getFullPathName(); } },
        { "second clip absent after a good one", [&] {
              return manifestWithClips ({ object ({ { "clip_id", "a" }, { "clip_path", goodClip().getFullPathName() } }),
                                          object ({ { "clip_id", "b" }, { "clip_path", "clips/none.wav" } }) });
          }, [&] { return "Missing clip audio: " + folder.file ("clips/none.wav").getFullPathName(); } },
        { "unknown extension", [&] { return manifestWithClipFile (writeText (folder.file ("clips/a.txt"), "RIFF")); },
          [&] { return "Could not read clip audio: " + folder.file ("clips/a.txt").getFullPathName(); } },
        { "zero-byte wav", [&] { return manifestWithClipFile (writeText (folder.file ("clips/zero.wav"), "")); },
          [&] { return "Could not read clip audio: " + folder.file ("clips/zero.wav").getFullPathName(); } },
        { "garbage wav", [&] { return manifestWithClipFile (writeText (folder.file ("clips/junk.wav"), juce::String::repeatedString ("junk", 100))); },
          [&] { return "Could not read clip audio: " + folder.file ("clips/junk.wav").getFullPathName(); } },
        { "wav truncated to half", [&] {
              const auto file = writeClip (folder.file ("clips/patched.wav"), ClipFormat::wav, 2, 48000);
              juce::MemoryBlock bytes;
              file.loadFileAsData (bytes);
              file.replaceWithData (bytes.getData(), bytes.getSize() / 2);
              return manifestWithClipFile (file);
          }, [&] { return "Could not read clip audio: " + folder.file ("clips/patched.wav").getFullPathName(); } },
        { "wav data size beyond the file", [&] {
              return manifestWithClipFile (patchedWav ([] (juce::MemoryBlock& b) { patchLittleEndian (b, findChunk (b, "data") + 4, 0xfffffff0u, 4); }));
          }, [&] { return "Could not read clip audio: " + folder.file ("clips/patched.wav").getFullPathName(); } },
        { "wav with 200 channels", [&] {
              return manifestWithClipFile (patchedWav ([] (juce::MemoryBlock& b) { patchLittleEndian (b, findChunk (b, "fmt ") + 10, 200, 2); }));
          }, [&] { return "Could not read clip audio: " + folder.file ("clips/patched.wav").getFullPathName(); } },
        { "wav with sample rate 0", [&] {
              return manifestWithClipFile (patchedWav ([] (juce::MemoryBlock& b) { patchLittleEndian (b, findChunk (b, "fmt ") + 12, 0, 4); }));
          }, [&] { return "Could not read clip audio: " + folder.file ("clips/patched.wav").getFullPathName(); } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        folder.path().deleteRecursively();
        folder.path().createDirectory();

        const auto result = load (c.prepare());
        EXPECT_FALSE (result.ok);
        EXPECT_EQ (result.error, c.expected());
        EXPECT_EQ (result.package.songTitle, "previous package");
        EXPECT_TRUE (result.package.banks.empty());
    }
}

TEST_F (ManifestLoading, TruncatedCompressedClipsLoadWhatIsThereOrFailCleanly)
{
    for (const auto format : { ClipFormat::flac, ClipFormat::ogg })
    {
        const auto file = writeClip (folder.file ("clips/t" + extensionFor (format)), format, 2, 48000);
        juce::MemoryBlock bytes;
        file.loadFileAsData (bytes);

        for (const auto keep : { size_t { 0 }, size_t { 40 }, bytes.getSize() / 3, bytes.getSize() - 1 })
        {
            SCOPED_TRACE (extensionFor (format) + " keeping " + juce::String (static_cast<int> (keep)) + " bytes");
            {
                // replaceWithData() would delete the file for zero bytes.
                juce::FileOutputStream out (file);
                out.setPosition (0);
                out.truncate();
                out.write (bytes.getData(), keep);
            }

            const auto result = load (manifestWithClipFile (file));

            if (result.ok)
            {
                EXPECT_EQ (result.package.clips[0].audio.getNumChannels(), 2);
                EXPECT_LE (result.package.clips[0].audio.getNumSamples(), 48000 * 2);
            }
            else
            {
                EXPECT_EQ (result.error, "Could not read clip audio: " + file.getFullPathName());
            }
        }
    }
}

TEST_F (ManifestLoading, ReadsEveryFieldAndLinksPadsToClipsById)
{
    writeClip (folder.file ("clips/kick.wav"), ClipFormat::wav, 1, 300, 44100.0);
    writeClip (folder.file ("clips/bass.flac"), ClipFormat::flac, 2, 200);

    const auto manifest = writeJson (folder.file ("orvo_sampler_manifest.json"), object ({
        { "song_title", "Night Drive" },
        { "bpm", 96.5 },
        { "time_signature", "3/4" },
        { "target_sr", 44100 },
        { "warnings", array ({ "tempo guessed", 7 }) },
        { "clips", array ({
            object ({ { "clip_id", "kick" }, { "name", "Kick 1" }, { "role", "hit" }, { "kind", "oneshot" },
                      { "stem_type", "drums" }, { "section_label", "Intro" }, { "source_path", "stems/drums.wav" },
                      { "clip_path", "clips/kick.wav" }, { "start_time", 1.5 }, { "end_time", 2.25 },
                      { "start_beat", 4.0 }, { "length_beats", 1.0 }, { "bpm", 96.5 }, { "confidence", 0.75 },
                      { "is_loop", false }, { "waveform", array ({ 0.1, 0.9, 0.4 }) } }),
            "not an object",
            object ({ { "clip_id", "bass" }, { "clip_path", "./clips/../clips/bass.flac" }, { "is_loop", true } }),
        }) },
        { "banks", array ({
            object ({ { "index", 3 }, { "name", "Verse" }, { "section_label", "Verse 1" }, { "pads", array ({
                object ({ { "pad_index", 9 }, { "row", 1 }, { "column", 1 }, { "note", 45 }, { "midi_channel", 2 },
                          { "clip_id", "bass" }, { "name", "Bass A" }, { "stem_type", "bass" }, { "kind", "loop" },
                          { "color", "#3366CC" }, { "empty", false }, { "playback_mode", "hold" } }),
                object ({ { "pad_index", 10 }, { "clip_id", "nobody" } }),
                12,
            }) } }),
            object ({ { "name", "Empty bank" } }),
        }) },
    }));

    const auto result = load (manifest);
    ASSERT_TRUE (result.ok) << result.error;
    const auto& package = result.package;

    EXPECT_EQ (package.songTitle, "Night Drive");
    EXPECT_EQ (package.bpm, 96.5);
    EXPECT_EQ (package.timeSignature, "3/4");
    EXPECT_EQ (package.targetSampleRate, 44100);
    EXPECT_EQ (package.manifestFile, manifest);
    EXPECT_EQ (package.baseDirectory, folder.path());
    EXPECT_EQ (package.warnings, juce::StringArray ({ "tempo guessed", "7" }));

    ASSERT_EQ (package.clips.size(), 2u);
    const auto& kick = package.clips[0];
    EXPECT_EQ (kick.clipId, "kick");
    EXPECT_EQ (kick.name, "Kick 1");
    EXPECT_EQ (kick.role, "hit");
    EXPECT_EQ (kick.kind, "oneshot");
    EXPECT_EQ (kick.stemType, "drums");
    EXPECT_EQ (kick.sectionLabel, "Intro");
    EXPECT_EQ (kick.sourceFile, folder.file ("stems/drums.wav"));
    EXPECT_EQ (kick.clipFile, folder.file ("clips/kick.wav"));
    EXPECT_EQ (kick.startTime, 1.5);
    EXPECT_EQ (kick.endTime, 2.25);
    EXPECT_EQ (kick.startBeat, 4.0);
    EXPECT_EQ (kick.lengthBeats, 1.0);
    EXPECT_EQ (kick.bpm, 96.5);
    EXPECT_EQ (kick.confidence, 0.75f);
    EXPECT_FALSE (kick.isLoop);
    EXPECT_EQ (kick.waveform, juce::Array<float> ({ 0.1f, 0.9f, 0.4f }));
    EXPECT_EQ (kick.sampleRate, 44100.0); // played at the rate ratio, never resampled

    const auto& bass = package.clips[1];
    EXPECT_EQ (bass.clipFile, folder.file ("clips/bass.flac"));
    EXPECT_TRUE (bass.isLoop);
    EXPECT_EQ (bass.bpm, 0.0); // absent keys read as zero, not as the record default
    EXPECT_EQ (bass.sourceFile, folder.path());

    ASSERT_EQ (package.banks.size(), 2u);
    const auto& verse = package.banks[0];
    EXPECT_EQ (verse.index, 3);
    EXPECT_EQ (verse.name, "Verse");
    EXPECT_EQ (verse.sectionLabel, "Verse 1");

    const auto& pad = verse.pads[9];
    EXPECT_EQ (pad.padIndex, 9);
    EXPECT_EQ (pad.row, 1);
    EXPECT_EQ (pad.column, 1);
    EXPECT_EQ (pad.note, 45);
    EXPECT_EQ (pad.midiChannel, 2);
    EXPECT_EQ (pad.clipId, "bass");
    EXPECT_EQ (pad.clipIndex, 1);
    EXPECT_EQ (pad.name, "Bass A");
    EXPECT_EQ (pad.stemType, "bass");
    EXPECT_EQ (pad.kind, "loop");
    EXPECT_EQ (pad.colour.getARGB(), 0xff3366ccu);
    EXPECT_FALSE (pad.empty);
    EXPECT_EQ (pad.playbackMode, "hold");

    EXPECT_EQ (verse.pads[10].clipIndex, -1); // unknown clip id
    EXPECT_FALSE (verse.pads[10].empty);
    EXPECT_TRUE (verse.pads[11].empty);

    EXPECT_EQ (package.banks[1].name, "Empty bank");
    EXPECT_TRUE (package.banks[1].pads[0].empty);
}

TEST_F (ManifestLoading, PadObjectsStartFromZeroValuesAndUnnamedSlotsKeepTheirDefaults)
{
    writeClip (folder.file ("a.wav"), ClipFormat::wav, 2, 10);
    const auto result = load (writeJson (folder.file ("m.json"), object ({
        { "clips", array ({ object ({ { "clip_id", "a" }, { "clip_path", "a.wav" } }) }) },
        { "banks", array ({ object ({ { "pads", array ({
            object ({ { "pad_index", 4 }, { "clip_id", "a" } }),
            object ({ { "pad_index", 70 }, { "name", "high" } }),
            object ({ { "pad_index", -3 }, { "name", "low" } }),
            object ({ { "pad_index", 70 }, { "name", "high again" } }),
        }) } }) }) },
    })));
    ASSERT_TRUE (result.ok) << result.error;
    const auto& pads = result.package.banks[0].pads;

    EXPECT_EQ (pads[4].note, 0);
    EXPECT_EQ (pads[4].midiChannel, 0);
    EXPECT_FALSE (pads[4].empty);
    EXPECT_TRUE (pads[4].playbackMode.isEmpty());
    EXPECT_EQ (pads[4].clipIndex, 0);
    EXPECT_EQ (pads[4].colour.getARGB(), 0xff82848au);
    EXPECT_EQ (pads[4].row, 0); // rows and columns come from the object, not the slot

    EXPECT_EQ (pads[63].padIndex, 63);
    EXPECT_EQ (pads[63].name, "high again");
    EXPECT_EQ (pads[0].padIndex, 0);
    EXPECT_EQ (pads[0].name, "low");

    EXPECT_EQ (pads[5].note, 36);
    EXPECT_EQ (pads[5].midiChannel, 1);
    EXPECT_TRUE (pads[5].empty);
    EXPECT_EQ (pads[5].playbackMode, "trigger");
    EXPECT_EQ (pads[5].colour.getARGB(), 0xff2b2f35u);
}

TEST_F (ManifestLoading, LaterClipsWithTheSameIdWinAndClipListsMayBeEmpty)
{
    writeClip (folder.file ("one.wav"), ClipFormat::wav, 2, 10);
    writeClip (folder.file ("two.wav"), ClipFormat::wav, 2, 20);
    const auto pads = array ({ object ({ { "pad_index", 0 }, { "clip_id", "x" } }) });

    auto result = load (writeJson (folder.file ("m.json"), object ({
        { "clips", array ({ object ({ { "clip_id", "x" }, { "clip_path", "one.wav" } }),
                            object ({ { "clip_id", "x" }, { "clip_path", "two.wav" } }) }) },
        { "banks", array ({ object ({ { "pads", pads } }) }) },
    })));
    ASSERT_TRUE (result.ok) << result.error;
    EXPECT_EQ (result.package.banks[0].pads[0].clipIndex, 1);
    EXPECT_EQ (result.package.clips.size(), 2u);

    result = load (writeJson (folder.file ("m.json"), object ({
        { "clips", array ({}) }, { "banks", array ({ object ({ { "pads", pads } }) }) } })));
    ASSERT_TRUE (result.ok) << result.error;
    EXPECT_TRUE (result.package.clips.empty());
    EXPECT_EQ (result.package.banks[0].pads[0].clipIndex, -1);
}

TEST (PadColourParsing, FollowsTheManifestRules)
{
    const std::pair<juce::var, juce::uint32> cases[] = {
        { "#FF0000", 0xffff0000u },
        { "80ff0000", 0x80ff0000u },
        { "##00ff00", 0xff00ff00u },
        { "  #3366cc\t", 0xff3366ccu },
        { "red", 0xff82848au },
        { "#12345", 0xff82848au },
        { "", 0xff82848au },
        { juce::var(), 0xff82848au },
    };

    for (const auto& [text, argb] : cases)
        EXPECT_EQ (SamplerPackageLoader::parsePadColour (text).getARGB(), argb) << text.toString();
}

TEST (ManifestPathResolution, RelativePathsHangOffTheManifestFolder)
{
    const auto base = juce::File ("/srv/songs/night/processed/sampler");
    const std::pair<const char*, juce::File> cases[] = {
        { "clips/a.wav", base.getChildFile ("clips").getChildFile ("a.wav") },
        { "../stems/b.wav", juce::File ("/srv/songs/night/processed/stems/b.wav") },
        { "/tmp/a.wav", juce::File ("/tmp/a.wav") },
        { "~/a.wav", juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("a.wav") },
        { "", base },
    };

    for (const auto& [text, expected] : cases)
        EXPECT_EQ (SamplerPackageLoader::resolvePath (base, text), expected) << text;
}

TEST_F (ManifestLoading, ExtremeNumbersAreKeptOrSaturatedNeverUndefined)
{
    writeClip (folder.file ("a.wav"), ClipFormat::wav, 2, 10);
    const auto result = load (writeText (folder.file ("m.json"), R"({
        "bpm": 1e300,
        "target_sr": -1e300,
        "clips": [ { "clip_id": "a", "clip_path": "a.wav", "bpm": 1e-300, "confidence": 1e300,
                     "start_time": "NaN", "waveform": [ 1e300, -1e300, "x" ] } ],
        "banks": [ { "index": 1e19, "pads": [
            { "pad_index": "99999999999999999999", "note": 1e300, "midi_channel": -99999999999999999999 },
            { "pad_index": -1e300, "note": "-2147483648", "row": 9223372036854775807 } ] } ]
    })"));
    ASSERT_TRUE (result.ok) << result.error;
    const auto& package = result.package;
    constexpr auto intMax = std::numeric_limits<int>::max();
    constexpr auto intMin = std::numeric_limits<int>::min();
    constexpr auto floatMax = std::numeric_limits<float>::max();

    EXPECT_EQ (package.bpm, 1e300);
    EXPECT_EQ (package.targetSampleRate, intMin);
    EXPECT_EQ (package.clips[0].bpm, 1e-300);
    EXPECT_EQ (package.clips[0].confidence, floatMax);
    EXPECT_EQ (package.clips[0].waveform, juce::Array<float> ({ floatMax, -floatMax, 0.0f }));
    EXPECT_EQ (package.banks[0].index, intMax);
    EXPECT_EQ (package.banks[0].pads[63].note, intMax);
    EXPECT_EQ (package.banks[0].pads[63].midiChannel, intMin);
    EXPECT_EQ (package.banks[0].pads[0].note, intMin);
    EXPECT_EQ (package.banks[0].pads[0].row, intMax);
}

namespace
{
struct FormatCase
{
    ClipFormat format;
    int channels;
};

class ClipDecoding : public ::testing::TestWithParam<FormatCase>
{
};
} // namespace

TEST_P (ClipDecoding, DecodesWholeFilesAndWidensMono)
{
    const auto [format, channels] = GetParam();
    constexpr int frames = 4000;
    constexpr double rate = 44100.0;

    TempFolder folder;
    SamplerPackageLoader loader;
    const auto clipFile = writeClip (folder.file ("clip" + extensionFor (format)), format, channels, frames, rate);
    writeJson (folder.file ("m.json"), object ({
        { "clips", array ({ object ({ { "clip_id", "a" }, { "clip_path", clipFile.getFileName() } }) }) },
        { "banks", array ({ object ({}) }) } }));

    SamplerPackage package;
    juce::String error;
    ASSERT_TRUE (loader.loadPackageManifest (folder.file ("m.json"), package, error)) << error;

    const auto& audio = package.clips[0].audio;
    EXPECT_EQ (audio.getNumChannels(), channels == 1 ? 2 : channels);
    EXPECT_EQ (audio.getNumSamples(), frames);
    EXPECT_EQ (package.clips[0].sampleRate, rate);

    const bool lossless = format != ClipFormat::ogg;
    const float tolerance = lossless ? 1.0e-4f : 0.05f;

    for (int c = 0; c < audio.getNumChannels(); ++c)
    {
        const int sourceChannel = channels == 1 ? 0 : c;
        float worst = 0.0f;
        for (int i = 100; i < frames - 100; ++i)
            worst = std::max (worst, std::abs (audio.getSample (c, i) - testSample (sourceChannel, i)));
        EXPECT_LT (worst, tolerance) << "channel " << c;
    }

    if (channels == 1)
    {
        for (int i = 0; i < frames; ++i)
            ASSERT_EQ (audio.getSample (0, i), audio.getSample (1, i));
    }
}

INSTANTIATE_TEST_SUITE_P (AllFormats, ClipDecoding,
                          ::testing::Values (FormatCase { ClipFormat::wav, 1 }, FormatCase { ClipFormat::wav, 2 },
                                             FormatCase { ClipFormat::wav, 4 }, FormatCase { ClipFormat::aiff, 1 },
                                             FormatCase { ClipFormat::aiff, 2 }, FormatCase { ClipFormat::aiff, 4 },
                                             FormatCase { ClipFormat::flac, 1 }, FormatCase { ClipFormat::flac, 2 },
                                             FormatCase { ClipFormat::flac, 4 }, FormatCase { ClipFormat::ogg, 1 },
                                             FormatCase { ClipFormat::ogg, 2 }),
                          [] (const auto& testInfo) {
                              return (extensionFor (testInfo.param.format).substring (1) + "_"
                                      + juce::String (testInfo.param.channels) + "ch").toStdString();
                          });

TEST_F (ManifestLoading, AZeroLengthClipLoadsWithItsChannels)
{
    const auto result = load (manifestWithClipFile (writeClip (folder.file ("silent.wav"), ClipFormat::wav, 1, 0)));
    ASSERT_TRUE (result.ok) << result.error;
    EXPECT_EQ (result.package.clips[0].audio.getNumChannels(), 2);
    EXPECT_EQ (result.package.clips[0].audio.getNumSamples(), 0);
}

TEST (ClipFormats, TheBasicFormatsAreRegisteredWithWavAsDefault)
{
    SamplerPackageLoader loader;
    auto& formats = loader.formatManager;
    ASSERT_GE (formats.getNumKnownFormats(), 4);
    EXPECT_NE (formats.findFormatForFileExtension ("wav"), nullptr);
    EXPECT_NE (formats.findFormatForFileExtension ("bwf"), nullptr);
    EXPECT_NE (formats.findFormatForFileExtension ("aif"), nullptr);
    EXPECT_NE (formats.findFormatForFileExtension ("flac"), nullptr);
    EXPECT_NE (formats.findFormatForFileExtension ("ogg"), nullptr);
    EXPECT_EQ (formats.getDefaultFormat(), formats.findFormatForFileExtension ("wav"));
    EXPECT_EQ (formats.getKnownFormat (0), formats.getDefaultFormat());
}
