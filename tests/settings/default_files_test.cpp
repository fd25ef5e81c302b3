// The first tip file and the first settings file of a program directory.
#include "settings/DefaultFiles.h"

#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "TempDir.h"

namespace fs = std::filesystem;
using namespace strumox::settings;
using strumox::testsupport::TempDir;

namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// ---- Tip file --------------------------------------------------------------------------------

TEST(TipFile, StartsWithTrueThenOneTipPerLine)
{
    const TempDir dir;
    EXPECT_TRUE(writeTipFileIfMissing(dir.dir()));
    const auto lines = dir.lines("tip.kqt");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "True") << "tips show at start-up until the user unticks the box";
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              std::vector<std::string>(defaultTips().begin(), defaultTips().end()));
    EXPECT_FALSE(fs::exists(dir.dir() + "tip.kqt.tmp"));
}

TEST(TipFile, HoldsThirtyOrMoreDistinctTipsThatFitTheTipBox)
{
    const TempDir dir;
    writeTipFileIfMissing(dir.dir());
    const auto lines = dir.lines("tip.kqt");
    ASSERT_GE(lines.size(), 31u);
    std::set<std::string> seen;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& tip = lines[i];
        EXPECT_FALSE(tip.empty()) << "line " << i;
        EXPECT_EQ(tip.find_first_of("\r\t"), std::string::npos) << "line " << i;
        EXPECT_NE(tip.front(), ' ') << tip;
        EXPECT_NE(tip.back(), ' ') << tip;
        // The tip box is 225 x 80 pixels: about five lines of forty characters.
        EXPECT_LE(tip.size(), 180u) << tip;
        EXPECT_TRUE(seen.insert(tip).second) << "twice: " << tip;
    }
}

// The tips are there to point at what the program can do; each feature below has one.
TEST(TipFile, CoversTheMainFeatures)
{
    const std::vector<std::string> features{
        "Show Chords",    "More Chords",           "Chord Design",  "right click",      "Search",
        "Show Intervals", "Add User Chord",        "Show Scale",    "Change Beginning Fret",
        "Show Arpeggio",  "Display Full Fretboard", "Left Handed",  "Flip",             "Flats",
        "Bass Note",      "strum speed",           "piano keyboard", "PlayPage",        "Repeat Markers",
        "Loop",           "Count Off",             "Step Play",     "tempo",            "Print Page",
        "Check Tab Edits", "Convert Tab",          "start cursor",  "end cursor",       "Glowboard",
        "foot switches",  "Interval Calculator",   "Preferences",   "Space",            "Right arrow",
    };
    std::string all;
    for (const auto tip : defaultTips())
        all += std::string(tip) + "\n";
    for (const auto& f : features)
        EXPECT_TRUE(contains(all, f)) << "no tip mentions " << f;
}

TEST(TipFile, TheUsersFileIsNeverReplaced)
{
    struct Case {
        const char* what;
        std::string existing;
    };
    for (const Case& c : {Case{"rotated, tips off", "False\nsecond tip\nfirst tip\n"},
                          Case{"only the first line", "True\n"}, Case{"empty", ""}}) {
        const TempDir dir;
        dir.write("tip.kqt", c.existing);
        EXPECT_FALSE(writeTipFileIfMissing(dir.dir())) << c.what;
        EXPECT_EQ(dir.read("tip.kqt"), c.existing) << c.what;
        EXPECT_FALSE(fs::exists(dir.dir() + "tip.kqt.tmp")) << c.what;
    }
}

// ---- Settings file ---------------------------------------------------------------------------

TEST(DefaultSettings, GeneralMidiListsTheHundredAndTwentyEightProgramsInOrder)
{
    const TempDir dir;
    EXPECT_TRUE(writeDefaultSettingsIfMissing(dir.dir()));
    EXPECT_FALSE(fs::exists(dir.dir() + "Kq.ini.tmp"));

    const IniFile ini(settingsFilePath(dir.dir()));
    const std::vector<std::string> keys = ini.sectionKeys("General MIDI");
    ASSERT_EQ(keys.size(), 128u);
    for (size_t program = 0; program < keys.size(); ++program)
        EXPECT_EQ(keys[program], generalMidiProgramNames()[program]) << "program " << program << " read whole";
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), 128u) << "names are distinct";

    // Landmarks of General MIDI level 1, one per instrument family boundary.
    EXPECT_EQ(keys[0], "Acoustic Grand Piano");
    EXPECT_EQ(keys[24], "Acoustic Guitar (nylon)");
    EXPECT_EQ(keys[40], "Violin");
    EXPECT_EQ(keys[56], "Trumpet");
    EXPECT_EQ(keys[87], "Lead 8 (bass + lead)");
    EXPECT_EQ(keys[127], "Gunshot");
    for (size_t p = 24; p <= 31; ++p)
        EXPECT_TRUE(contains(keys[p], "Guitar")) << p << " " << keys[p];
    for (size_t p = 32; p <= 39; ++p)
        EXPECT_TRUE(contains(keys[p], "Bass")) << p << " " << keys[p];
    for (size_t p = 0; p < 24; ++p)
        EXPECT_FALSE(contains(keys[p], "Guitar") || contains(keys[p], "Bass")) << p << " " << keys[p];
}

TEST(DefaultSettings, DefaultVoicesNameAGuitarAndABass)
{
    const TempDir dir;
    writeDefaultSettingsIfMissing(dir.dir());
    const AppSettings s = readStartupSettings(dir.dir());
    const auto keys = IniFile(settingsFilePath(dir.dir())).sectionKeys("General MIDI");
    ASSERT_EQ(keys.size(), 128u);
    EXPECT_EQ(keys.at(size_t(s.guitarPatch)), "Acoustic Guitar (steel)");
    EXPECT_EQ(keys.at(size_t(s.bassPatch)), "Electric Bass (finger)");
}

TEST(DefaultSettings, ChangesNoOtherSettingAndListsKeys128)
{
    const TempDir dir;
    const std::vector<std::string> without = settingsListing(dir.dir());
    writeDefaultSettingsIfMissing(dir.dir());
    const std::vector<std::string> with = settingsListing(dir.dir());
    ASSERT_EQ(with.size(), without.size());
    EXPECT_EQ(with.back(), "General MIDI/Keys=128");
    EXPECT_EQ(without.back(), "General MIDI/Keys=0");
    EXPECT_EQ(std::vector<std::string>(with.begin(), with.end() - 1),
              std::vector<std::string>(without.begin(), without.end() - 1));
}

TEST(DefaultSettings, PreferencesWrittenLaterKeepTheVoiceList)
{
    const TempDir dir;
    writeDefaultSettingsIfMissing(dir.dir());
    AppSettings s = readStartupSettings(dir.dir());
    s.guitarPatch = 27;
    writePreferenceSettings(dir.dir(), s);
    writeExitSettings(dir.dir(), s);

    const IniFile ini(settingsFilePath(dir.dir()));
    const auto keys = ini.sectionKeys("General MIDI");
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.end()),
              std::vector<std::string>(generalMidiProgramNames().begin(), generalMidiProgramNames().end()));
    EXPECT_EQ(readStartupSettings(dir.dir()).guitarPatch, 27);
}

TEST(DefaultSettings, TheUsersFileIsNeverReplaced)
{
    struct Case {
        const char* what;
        std::string existing;
    };
    for (const Case& c : {Case{"own voices", "[Guitar]\nPatch=30\n[General MIDI]\nNylon\nSteel\n"},
                          Case{"empty", ""}}) {
        const TempDir dir;
        dir.write("Kq.ini", c.existing);
        EXPECT_FALSE(writeDefaultSettingsIfMissing(dir.dir())) << c.what;
        EXPECT_EQ(dir.read("Kq.ini"), c.existing) << c.what;
        EXPECT_FALSE(fs::exists(dir.dir() + "Kq.ini.tmp")) << c.what;
    }
}

TEST(DefaultSettings, ALinkInPlaceOfTheFileIsLeftAlone)
{
    const TempDir dir;
    // A settings file kept elsewhere and linked in, even while its target is away.
    ASSERT_EQ(::symlink((dir.dir() + "elsewhere.ini").c_str(), (dir.dir() + "Kq.ini").c_str()), 0);
    EXPECT_FALSE(writeDefaultSettingsIfMissing(dir.dir()));
    EXPECT_TRUE(fs::is_symlink(dir.dir() + "Kq.ini"));
    EXPECT_FALSE(fs::exists(dir.dir() + "elsewhere.ini"));
}

TEST(DefaultSettings, LeftoverTemporaryFileFromAnInterruptedRunIsReplaced)
{
    const TempDir dir;
    dir.write("Kq.ini.tmp", "[half");
    EXPECT_TRUE(writeDefaultSettingsIfMissing(dir.dir()));
    EXPECT_FALSE(fs::exists(dir.dir() + "Kq.ini.tmp"));
    EXPECT_EQ(IniFile(settingsFilePath(dir.dir())).sectionKeys("General MIDI").size(), 128u);
}

TEST(DefaultFiles, MissingDirectoryThrowsNamingTheFile)
{
    const TempDir dir;
    const std::string missing = dir.dir() + "gone/";
    try {
        writeDefaultSettingsIfMissing(missing);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_TRUE(contains(e.what(), missing)) << e.what();
    }
    EXPECT_THROW(writeTipFileIfMissing(missing), std::runtime_error);
}

}  // namespace
