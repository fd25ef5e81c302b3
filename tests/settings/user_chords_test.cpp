#include "settings/UserChords.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "TempDir.h"

using namespace strumox::settings;
using strumox::testsupport::TempDir;
using strumox::theory::FormulaRecord;

namespace {

FormulaRecord chordNumber(int i)
{
    const auto n = static_cast<std::uint8_t>(i % 11 + 1);
    return {{0, n, static_cast<std::uint8_t>(n + 1), 255, 255, 255, 255}, "Chord" + std::to_string(i),
            "1 x" + std::to_string(i)};
}

// Adds each chord in a batch of its own, as the menu does, onto a list of 62 + `present` entries.
void addEach(const std::string& path, const std::vector<FormulaRecord>& chords, int present = 0)
{
    for (const FormulaRecord& c : chords) {
        IniFile ini(path);
        EXPECT_EQ(addUserChord(ini, kFirstUserChordSection + present, c.suffix, c.text, c.intervals),
                  kFirstUserChordSection + present);
        ini.commit();
        ++present;
    }
}

// What a fresh batch reads back, entry by entry, as many as the file's Number lists at start-up.
std::vector<FormulaRecord> readBack(const TempDir& dir)
{
    const IniFile ini(dir.file(kSettingsFileName));
    std::vector<FormulaRecord> out;
    const std::vector<std::string> names = readStartupSettings(dir.dir()).userChordNames;
    for (std::size_t i = 0; i < names.size(); ++i) {
        out.push_back(readUserChord(ini, kFirstUserChordSection + static_cast<int>(i)));
        EXPECT_EQ(out.back().suffix, names[i]) << "start-up and the chord reader disagree on entry " << i;
    }
    return out;
}

}  // namespace

// ---- Add and delete keep entries and sections in step --------------------------------------------

TEST(UserChords, DeletingAnyEntryClosesTheGapAndSurvivesReopening)
{
    for (int n = 1; n <= 4; ++n) {
        for (int chosen = 0; chosen < n; ++chosen) {
            SCOPED_TRACE("delete " + std::to_string(chosen) + " of " + std::to_string(n));
            const TempDir dir;
            const std::string path = dir.file(kSettingsFileName);
            std::vector<FormulaRecord> expected;
            for (int i = 0; i < n; ++i)
                expected.push_back(chordNumber(i));
            addEach(path, expected);
            EXPECT_EQ(readBack(dir), expected);

            {
                IniFile ini(path);
                const int last = kFirstUserChordSection + n - 1;
                ASSERT_TRUE(deleteUserChord(ini, kFirstUserChordSection + chosen, last));
                ini.commit();
            }
            expected.erase(expected.begin() + chosen);
            EXPECT_EQ(readBack(dir), expected);
            const IniFile ini(path);
            EXPECT_EQ(ini.readInteger("UserChords", "Number", -1), n - 1);
            EXPECT_FALSE(ini.hasSection(std::to_string(kFirstUserChordSection + n - 1)));
            EXPECT_TRUE(loadStartupSettings(dir.dir()).notices.userChords.empty());

            // The list goes on growing from where it now ends.
            addEach(path, {chordNumber(9)}, n - 1);
            expected.push_back(chordNumber(9));
            EXPECT_EQ(readBack(dir), expected);
        }
    }
}

TEST(UserChords, NamesAreNeverEmptyAndTextsFitTheirFields)
{
    const TempDir dir;
    const std::string path = dir.file(kSettingsFileName);
    const std::string longName = "Gr\xC3\xBC\xC3\x9F" + std::string(20, 'e');  // two 2-byte characters
    addEach(path, {{{0, 4, 255, 255, 255, 255, 255}, "", std::string(25, 'f')},
                   {{0, 3, 255, 255, 255, 255, 255}, " \t ", "1 b3"},
                   {{0, 7, 255, 255, 255, 255, 255}, longName, "1 5"}});
    const std::vector<FormulaRecord> back = readBack(dir);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[0].suffix, "NONAME");
    EXPECT_EQ(back[0].text, std::string(20, 'f'));
    EXPECT_EQ(back[1].suffix, "NONAME");
    EXPECT_EQ(back[2].suffix, longName.substr(0, 6 + 11));  // 15 characters, 17 bytes
}

// ---- Damaged or missing counts -------------------------------------------------------------------

TEST(UserChords, WithoutAPositiveNumberNothingIsReadOrDeleted)
{
    for (const std::string number : {"0", "-4", "x", ""}) {
        SCOPED_TRACE("Number=" + number);
        const TempDir dir;
        const std::string text = (number.empty() ? "" : "[UserChords]\nNumber=" + number + "\n") +
                                 "[62]\nName=Left\nFormula=1 3\nI0=0\nI1=4\n";
        dir.write(kSettingsFileName, text);
        IniFile ini(dir.file(kSettingsFileName));
        EXPECT_EQ(readUserChord(ini, 62), FormulaRecord{});
        EXPECT_FALSE(deleteUserChord(ini, 62, 62));
        ini.commit();
        EXPECT_EQ(dir.read(kSettingsFileName), text);
    }
}

TEST(UserChords, AHugeOrNegativeNumberNeitherWrapsNorHidesTheNewChord)
{
    const TempDir big;
    big.write(kSettingsFileName, "[UserChords]\nNumber=0x7FFFFFFF\n");
    addEach(big.file(kSettingsFileName), {chordNumber(1)});
    EXPECT_EQ(IniFile(big.file(kSettingsFileName)).readInteger("UserChords", "Number", 0), INT_MAX);

    const TempDir negative;
    negative.write(kSettingsFileName, "[UserChords]\nNumber=-3\n");
    addEach(negative.file(kSettingsFileName), {chordNumber(1)});
    EXPECT_EQ(readBack(negative), std::vector<FormulaRecord>{chordNumber(1)});
}

TEST(UserChords, IntervalsOutsideAByteReadAsNone)
{
    const TempDir dir;
    dir.write(kSettingsFileName, "[UserChords]\nNumber=1\n[62]\nI0=0\nI1=256\nI2=-1\nI3=0x07\nI4=seven\n");
    const FormulaRecord r = readUserChord(IniFile(dir.file(kSettingsFileName)), 62);
    EXPECT_EQ(r.intervals, (strumox::theory::IntervalList{0, 255, 255, 7, 255, 255, 255}));
    EXPECT_EQ(r.suffix, "NONAME");
    EXPECT_EQ(r.text, "");
}
