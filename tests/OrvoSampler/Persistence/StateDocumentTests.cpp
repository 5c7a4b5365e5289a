#include "Support/EngineHarness.h"
#include "Support/TestFixtures.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace orvo::test;

namespace
{
using Kind = Processor::MidiAssignment::Kind;

juce::MemoryBlock stateOf (Processor& p)
{
    juce::MemoryBlock block;
    p.getStateInformation (block);
    return block;
}

juce::String textOf (const juce::MemoryBlock& block)
{
    return juce::String::fromUTF8 (static_cast<const char*> (block.getData()), static_cast<int> (block.getSize()) - 1);
}

void restore (Processor& p, const juce::String& text)
{
    const juce::MemoryBlock block (text.toRawUTF8(), text.getNumBytesAsUTF8() + 1);
    p.setStateInformation (block.getData(), static_cast<int> (block.getSize()));
}

juce::File writeTwoBankPackage (const TempFolder& folder)
{
    writeClip (folder.file ("clips/a.wav"), ClipFormat::wav, 2, 4800);
    return writeJson (folder.file ("orvo_sampler_manifest.json"), object ({
        { "song_title", "Night Drive" },
        { "bpm", 120 },
        { "clips", array ({ object ({ { "clip_id", "a" }, { "clip_path", "clips/a.wav" } }) }) },
        { "banks", array ({ object ({ { "pads", array ({ object ({ { "pad_index", 0 }, { "clip_id", "a" }, { "note", 36 } }) }) } }),
                            object ({ { "name", "B" } }) }) },
    }));
}

// An instance with everything a document carries set away from its defaults.
void perform (Processor& p, const juce::File& manifest)
{
    juce::String error;
    ASSERT_TRUE (p.loadPackage (manifest, error)) << error;

    const juce::ScopedLock sl (p.lock);
    p.currentBank = 1;
    p.controllerProfile = ControllerProfile::launchpadX;
    p.launchQuantizationBeats = 2.0;
    p.stutterMode = true;
    p.hardwareControls[2].value = 0.123456789f;
    p.hardwareControls[2].assignment = { Kind::note, 5, 60 };
    p.hardwareControls[27].assignment = { Kind::none, 16, -1 };
    p.savePresetLocked (0);
    p.hardwareControls[0].value = 0.0f;
    p.launchQuantizationBeats = 0.5;
    p.savePresetLocked (3);
    p.launchQuantizationBeats = 2.0;
}
// A document written by an instance with everything set away from its defaults.
class PerformedDocument : public ::testing::Test
{
protected:
    void SetUp() override
    {
        perform (original, manifest);
        written = stateOf (original);
    }

    TempFolder folder;
    juce::File manifest = writeTwoBankPackage (folder);
    Processor original;
    juce::MemoryBlock written;
};
} // namespace

TEST (StateDocument, AFreshInstanceWritesTheDocumentInJucesDefaultLayout)
{
    Processor p;
    const auto block = stateOf (p);
    const auto* bytes = static_cast<const char*> (block.getData());

    ASSERT_GT (block.getSize(), 2u);
    EXPECT_EQ (bytes[block.getSize() - 1], '\0');
    EXPECT_EQ (std::memchr (bytes, 0, block.getSize() - 1), nullptr); // exactly one zero byte
    EXPECT_EQ (bytes[block.getSize() - 2], '}');

    const auto text = textOf (block);
    const auto parsed = juce::JSON::parse (text);
    EXPECT_EQ (juce::JSON::toString (parsed), text); // multi-line default layout

    auto* root = parsed.getDynamicObject();
    ASSERT_NE (root, nullptr);
    const juce::StringArray keys { "manifest", "bank", "controller", "launchQuantizationBeats", "stutterMode",
                                   "hardwareControls", "presets" };
    ASSERT_EQ (root->getProperties().size(), keys.size());
    for (int i = 0; i < keys.size(); ++i)
        EXPECT_EQ (root->getProperties().getName (i).toString(), keys[i]);

    EXPECT_TRUE (parsed["manifest"].isString());
    EXPECT_EQ (parsed["manifest"].toString(), "");
    EXPECT_TRUE (parsed["bank"].isInt());
    EXPECT_TRUE (parsed["controller"].isInt());
    EXPECT_TRUE (parsed["launchQuantizationBeats"].isDouble());
    EXPECT_TRUE (parsed["stutterMode"].isBool());

    const auto* controls = parsed["hardwareControls"].getArray();
    ASSERT_NE (controls, nullptr);
    ASSERT_EQ (controls->size(), 28);
    const auto& fader1 = controls->getReference (8);
    EXPECT_EQ (fader1["id"].toString(), "fader1");
    EXPECT_EQ (fader1.getDynamicObject()->getProperties().getName (1).toString(), "value");
    EXPECT_TRUE (text.contains ("\"value\": 0.3499999940395355")); // the float widened to double
    EXPECT_EQ (fader1["assignment"]["kind"].toString(), "cc");
    EXPECT_EQ (static_cast<int> (fader1["assignment"]["number"]), 30);

    const auto* presets = parsed["presets"].getArray();
    ASSERT_NE (presets, nullptr);
    ASSERT_EQ (presets->size(), 5);
    const juce::StringArray presetKeys { "saved", "manifest", "bank", "quantizationBeats", "stutter", "controls" };
    for (const auto& preset : *presets)
    {
        const auto& properties = preset.getDynamicObject()->getProperties();
        ASSERT_EQ (properties.size(), presetKeys.size());
        for (int i = 0; i < presetKeys.size(); ++i)
            EXPECT_EQ (properties.getName (i).toString(), presetKeys[i]);
        EXPECT_FALSE (static_cast<bool> (preset["saved"]));
        EXPECT_TRUE (preset["controls"].isVoid());
    }
    EXPECT_EQ (text.indexOf ("\"controls\": null"), text.indexOf ("\"controls\""));
}

TEST_F (PerformedDocument, RoundTripsEverythingIntoAFreshInstanceByteForByte)
{
    Processor restored;
    restored.setStateInformation (written.getData(), static_cast<int> (written.getSize()));

    {
        const juce::ScopedLock sl (restored.lock);
        EXPECT_EQ (restored.package.manifestFile, manifest);
        EXPECT_EQ (restored.package.songTitle, "Night Drive");
        EXPECT_EQ (restored.currentBank, 1);
        EXPECT_EQ (restored.controllerProfile, ControllerProfile::launchpadX);
        EXPECT_EQ (restored.launchQuantizationBeats, 2.0);
        EXPECT_TRUE (restored.stutterMode);
        EXPECT_EQ (restored.statusText, "Analysis package loaded");

        const juce::ScopedLock sl2 (original.lock);
        for (size_t i = 0; i < 28; ++i)
        {
            const auto& a = original.hardwareControls[i];
            const auto& b = restored.hardwareControls[i];
            EXPECT_EQ (std::memcmp (&a.value, &b.value, sizeof (float)), 0) << a.id; // bit-exact
            EXPECT_EQ (a.assignment.kind, b.assignment.kind) << a.id;
            EXPECT_EQ (a.assignment.channel, b.assignment.channel) << a.id;
            EXPECT_EQ (a.assignment.number, b.assignment.number) << a.id;
        }

        EXPECT_TRUE (restored.presets[0].saved);
        EXPECT_TRUE (restored.presets[3].saved);
        EXPECT_FALSE (restored.presets[1].saved);
        EXPECT_TRUE (restored.presets[1].controls.empty());
        EXPECT_EQ (restored.presets[3].quantizationBeats, 0.5);
        EXPECT_EQ (restored.presets[3].controls[0].value, 0.0f);
        EXPECT_EQ (restored.presets[0].controls[2].assignment.number, 60);
        EXPECT_EQ (restored.presets[0].manifest, manifest.getFullPathName());

        // The restore lit the controller for the restored bank.
        EXPECT_EQ (restored.pendingMidiOut.getNumEvents(), 128); // activation's 64, then the restore's 64
    }

    EXPECT_EQ (stateOf (restored), written);

    // And once more through a third instance.
    Processor third;
    const auto again = stateOf (restored);
    third.setStateInformation (again.getData(), static_cast<int> (again.getSize()));
    EXPECT_EQ (stateOf (third), written);
}

TEST_F (PerformedDocument, AManifestThatNoLongerLoadsKeepsEverythingElse)
{
    manifest.deleteFile();

    // Into an instance that still plays an earlier package.
    Processor restored;
    install (restored, makePackage ({ constantClip (1.0f, 100000) }, { { { 0, 0, 36 } }, { { 0, 0, 36 } }, { { 0, 0, 36 } } }));
    render (restored, 7000, 512, { { 0, noteOn (36) } });
    restored.setStateInformation (written.getData(), static_cast<int> (written.getSize()));

    const juce::ScopedLock sl (restored.lock);
    EXPECT_EQ (restored.statusText, "Sampler manifest does not exist: " + manifest.getFullPathName());
    EXPECT_EQ (restored.package.songTitle, "Test Song");
    EXPECT_EQ (restored.currentBank, 1); // applied to the package still loaded
    EXPECT_TRUE (restored.activeVoices.empty());
    EXPECT_EQ (restored.controllerProfile, ControllerProfile::launchpadX);
    EXPECT_EQ (restored.launchQuantizationBeats, 2.0);
    EXPECT_TRUE (restored.stutterMode);
    EXPECT_EQ (restored.hardwareControls[2].value, 0.123456789f);
    EXPECT_TRUE (restored.presets[3].saved);
}

TEST (StateDocument, PartialDocumentsChangeOnlyWhatTheyName)
{
    struct Case
    {
        const char* name;
        const char* json;
        std::function<void (Processor&)> check;
    };

    const Case cases[] = {
        { "empty object resets only the profile", "{}", [] (Processor& p) {
              EXPECT_EQ (p.controllerProfile, ControllerProfile::generic8x8);
              EXPECT_TRUE (p.stutterMode);
              EXPECT_EQ (p.launchQuantizationBeats, 1.0);
              EXPECT_EQ (p.currentBank, 2);
              EXPECT_EQ (p.hardwareControls[0].value, 0.9f);
              EXPECT_TRUE (p.presets[4].saved);
          } },
        { "controller 5", R"({"controller": 5})", [] (Processor& p) { EXPECT_EQ (p.controllerProfile, ControllerProfile::launchpadX); } },
        { "controller -1", R"({"controller": -1})", [] (Processor& p) { EXPECT_EQ (p.controllerProfile, ControllerProfile::generic8x8); } },
        { "controller as text", R"({"controller": "2"})", [] (Processor& p) { EXPECT_EQ (p.controllerProfile, ControllerProfile::launchpadX); } },
        { "odd quantization kept", R"({"launchQuantizationBeats": 3})", [] (Processor& p) { EXPECT_EQ (p.launchQuantizationBeats, 3.0); } },
        { "quantization as text", R"({"launchQuantizationBeats": "0.5"})", [] (Processor& p) { EXPECT_EQ (p.launchQuantizationBeats, 0.5); } },
        { "stutter as number", R"({"stutterMode": 0})", [] (Processor& p) { EXPECT_FALSE (p.stutterMode); } },
        { "knob3 beyond range without assignment", R"({"hardwareControls": [{"id": "knob3", "value": 2.5}, {"id": "knob9", "value": 0.1}, 7]})",
          [] (Processor& p) {
              EXPECT_EQ (p.hardwareControls[2].value, 1.0f);
              EXPECT_EQ (p.hardwareControls[2].assignment.kind, Kind::none);
              EXPECT_EQ (p.hardwareControls[2].assignment.channel, 1);
              EXPECT_EQ (p.hardwareControls[2].assignment.number, -1);
              EXPECT_EQ (p.hardwareControls[0].value, 0.9f);
              EXPECT_EQ (p.hardwareControls[0].assignment.number, 20);
          } },
        { "controls as an object", R"({"hardwareControls": {"id": "knob1", "value": 0}})",
          [] (Processor& p) { EXPECT_EQ (p.hardwareControls[0].value, 0.9f); } },
        { "two presets", R"({"presets": [{"saved": true, "bank": 7}, 3]})", [] (Processor& p) {
              EXPECT_TRUE (p.presets[0].saved);
              EXPECT_EQ (p.presets[0].bank, 7);
              EXPECT_EQ (p.presets[0].quantizationBeats, 0.0);
              EXPECT_EQ (p.presets[0].controls.size(), 28u);
              EXPECT_FALSE (p.presets[1].saved); // a number restores an empty slot
              EXPECT_TRUE (p.presets[1].controls.empty());
              EXPECT_TRUE (p.presets[4].saved); // untouched
          } },
        { "no manifest keeps the bank", R"({"manifest": "", "bank": 0})", [] (Processor& p) {
              EXPECT_EQ (p.currentBank, 2);
              EXPECT_EQ (p.activeVoices.size(), 1u);
          } },
        { "relative manifest is refused", R"({"manifest": "songs/m.json", "bank": 0})", [] (Processor& p) {
              EXPECT_EQ (p.statusText, "Sampler manifest does not exist: songs/m.json");
              EXPECT_EQ (p.currentBank, 0); // the loaded package takes the bank, playback resets
              EXPECT_TRUE (p.activeVoices.empty());
          } },
        { "manifest as an object", R"({"manifest": {"a": 1}})", [] (Processor& p) {
              EXPECT_EQ (p.currentBank, 2); // reads as empty
          } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Processor p;
        install (p, makePackage ({ constantClip (1.0f, 100000) }, { { { 0, 0, 36 } }, { { 0, 0, 36 } }, { { 0, 0, 36 } } }));
        {
            const juce::ScopedLock sl (p.lock);
            p.currentBank = 2;
            p.controllerProfile = ControllerProfile::abletonPush;
            p.stutterMode = true;
            p.launchQuantizationBeats = 1.0;
            p.hardwareControls[0].value = 0.9f;
            p.savePresetLocked (4);
            p.triggerPadLocked (0, -1, 0);
        }
        render (p, 25000, 512); // the 1/4 grid starts it at 24000

        restore (p, c.json);
        const juce::ScopedLock sl (p.lock);
        c.check (p);
    }
}

TEST_F (PerformedDocument, BadInputChangesNothingAndNeverCrashes)
{
    const auto& valid = written;
    const auto validText = textOf (valid);

    // Each case hands raw bytes (or none) to a processor that has a state of its own.
    struct Case
    {
        juce::String name;
        juce::MemoryBlock bytes;
        int size;
        bool passNull;
    };

    std::vector<Case> cases;
    const auto text = [] (const juce::String& t) { return juce::MemoryBlock (t.toRawUTF8(), t.getNumBytesAsUTF8()); };

    cases.push_back ({ "no data", {}, 100, true });
    cases.push_back ({ "size 0", valid, 0, false });
    cases.push_back ({ "leading zero byte", juce::MemoryBlock (4, true), 4, false });
    cases.push_back ({ "not UTF-8", juce::MemoryBlock ("{\"bank\": \"\xff\xfe\"}", 16), 16, false });
    cases.push_back ({ "not JSON", text ("hello"), 5, false });
    cases.push_back ({ "an array", text ("[{\"controller\": 2}]"), 19, false });
    cases.push_back ({ "a number", text ("42"), 2, false });
    cases.push_back ({ "nested 100000 deep", text ("{\"a\": " + juce::String::repeatedString ("[", 100000)
                                                   + juce::String::repeatedString ("]", 100000) + "}"), -2, false });

    for (int length = 1; length < validText.length(); length += (length < 200 ? 1 : 97))
        cases.push_back ({ "truncated to " + juce::String (length), text (validText.substring (0, length)), -2, false });

    for (auto& c : cases)
        if (c.size == -2)
            c.size = static_cast<int> (c.bytes.getSize());

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Processor p;
        install (p, makePackage ({ constantClip (1.0f, 100) }, { { { 0, 0, 36 } } }));
        {
            const juce::ScopedLock sl (p.lock);
            p.stutterMode = true;
            p.controllerProfile = ControllerProfile::abletonPush;
            p.savePresetLocked (2);
        }
        const auto before = stateOf (p);

        p.setStateInformation (c.passNull ? nullptr : c.bytes.getData(), c.size);
        EXPECT_EQ (stateOf (p), before);
    }
}

TEST_F (PerformedDocument, SizesAndLengthsAreReadAsHostsSendThem)
{
    const auto& valid = written;

    // A negative size: a zero-terminated string.
    Processor negative;
    negative.setStateInformation (valid.getData(), -1);
    EXPECT_EQ (stateOf (negative), valid);

    // A block larger than the text: it ends at the terminator.
    juce::MemoryBlock padded (valid);
    padded.append ("garbage that is not JSON", 24);
    Processor larger;
    larger.setStateInformation (padded.getData(), static_cast<int> (padded.getSize()));
    EXPECT_EQ (stateOf (larger), valid);

    // A document of several megabytes: unknown keys and ids are skipped.
    auto big = juce::JSON::parse (textOf (valid));
    juce::Array<juce::var> junk;
    for (int i = 0; i < 60000; ++i)
        junk.add (object ({ { "id", "nothing" + juce::String (i) }, { "value", 0.5 } }));
    big.getDynamicObject()->setProperty ("padding", junk);
    const auto bigText = juce::JSON::toString (big);
    ASSERT_GT (bigText.getNumBytesAsUTF8(), 3u * 1024 * 1024);
    Processor large;
    restore (large, bigText);
    EXPECT_EQ (stateOf (large), valid);
}

TEST (StateDocument, WrongTypesForEveryKeyConvertOrClamp)
{
    Processor p;
    restore (p, R"({
        "manifest": 12,
        "bank": "1",
        "controller": true,
        "launchQuantizationBeats": {"beats": 1},
        "stutterMode": "yes",
        "hardwareControls": [{"id": 3, "value": "0.25", "assignment": [1, 2]}, {"id": "knob2", "value": "x", "assignment": "cc"}],
        "presets": {"saved": true}
    })");

    const juce::ScopedLock sl (p.lock);
    EXPECT_EQ (p.statusText, "Sampler manifest does not exist: 12");
    EXPECT_EQ (p.controllerProfile, ControllerProfile::abletonPush);
    EXPECT_EQ (p.launchQuantizationBeats, 0.0);
    EXPECT_TRUE (p.stutterMode);
    EXPECT_EQ (p.hardwareControls[1].value, 0.0f);
    EXPECT_EQ (p.hardwareControls[1].assignment.kind, Kind::none);
    EXPECT_EQ (p.hardwareControls[0].value, 0.5f); // id 3 names no control
    EXPECT_FALSE (p.presets[0].saved);
}
