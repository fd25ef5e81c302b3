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

// Adds each chord in a batch of its own, as the menu does, to a list of 62 + `present` entries.
void addEach(const TempDir& dir, const std::vector<FormulaRecord>& chords, int present = 0)
{
    for (const FormulaRecord& c : chords) {
        const int entry = kFirstUserChordSection + present++;
        IniFile ini(dir.file(kSettingsFileName));
        EXPECT_EQ(addUserChord(ini, entry, c.suffix, c.text, c.intervals), entry);
        ini.commit();
    }
}

// Every user chord a fresh start lists, read back entry by entry.
std::vector<FormulaRecord> readBack(const TempDir& dir)
{
    const IniFile ini(dir.file(kSettingsFileName));
    const StartupSettings start = loadStartupSettings(dir.dir());
    EXPECT_TRUE(start.notices.userChords.empty()) << start.notices.userChords;
    std::vector<FormulaRecord> out;
    for (const std::string& name : start.values.userChordNames) {
        out.push_back(readUserChord(ini, kFirstUserChordSection + static_cast<int>(out.size())));
        EXPECT_EQ(out.back().suffix, name) << "start-up and the chord reader disagree";
    }
    return out;
}

}  // namespace

TEST(UserChords, DeletingAnyEntryClosesTheGapAndTheListGrowsOnFromItsEnd)
{
    for (int n = 1; n <= 4; ++n) {
        for (int chosen = 0; chosen < n; ++chosen) {
            SCOPED_TRACE("delete " + std::to_string(chosen) + " of " + std::to_string(n));
            const TempDir dir;
            std::vector<FormulaRecord> expected;
            for (int i = 0; i < n; ++i)
                expected.push_back(chordNumber(i));
            addEach(dir, expected);
            EXPECT_EQ(readBack(dir), expected);

            IniFile ini(dir.file(kSettingsFileName));
            ASSERT_TRUE(deleteUserChord(ini, kFirstUserChordSection + chosen, kFirstUserChordSection + n - 1));
            ini.commit();
            expected.erase(expected.begin() + chosen);
            EXPECT_EQ(readBack(dir), expected);
            EXPECT_FALSE(IniFile(dir.file(kSettingsFileName)).hasSection(userChordSection(n - 1)));

            addEach(dir, {chordNumber(9)}, n - 1);
            expected.push_back(chordNumber(9));
            EXPECT_EQ(readBack(dir), expected);
        }
    }
}

TEST(UserChords, NamesAreNeverEmptyTextsFitTheirFieldsAndDamagedCountsDoNotHideTheChord)
{
    const TempDir dir;
    dir.write(kSettingsFileName, "[UserChords]\nNumber=-3\n");  // a negative count lists nothing
    const std::string longName = "Gr\xC3\xBC\xC3\x9F" + std::string(20, 'e');  // two 2-byte characters
    addEach(dir, {{{0, 4, 255, 255, 255, 255, 255}, "", std::string(25, 'f')},
                  {{0, 3, 255, 255, 255, 255, 255}, " \t ", "1 b3"},
                  {{0, 7, 255, 255, 255, 255, 255}, longName, "1 5"}});
    const std::vector<FormulaRecord> back = readBack(dir);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[0].suffix, "NONAME");
    EXPECT_EQ(back[0].text, std::string(20, 'f'));
    EXPECT_EQ(back[1].suffix, "NONAME");
    EXPECT_EQ(back[2].suffix, longName.substr(0, 17));  // 15 characters in 17 bytes

    const TempDir big;
    big.write(kSettingsFileName, "[UserChords]\nNumber=0x7FFFFFFF\n");
    addEach(big, {chordNumber(1)});
    EXPECT_EQ(IniFile(big.file(kSettingsFileName)).readInteger("UserChords", "Number", 0), INT_MAX);
}

TEST(UserChords, WithoutAPositiveNumberNothingIsReadOrDeletedAndBadIntervalsReadAsNone)
{
    const std::string chord = "[62]\nName=Left\nFormula=1 3\nI0=0\nI1=256\nI2=-1\nI3=0x07\nI4=four\n";
    for (const std::string number : {"0", "-4", "x", ""}) {
        SCOPED_TRACE("Number=" + number);
        const TempDir dir;
        const std::string text = (number.empty() ? "" : "[UserChords]\nNumber=" + number + "\n") + chord;
        dir.write(kSettingsFileName, text);
        IniFile ini(dir.file(kSettingsFileName));
        EXPECT_EQ(readUserChord(ini, 62), FormulaRecord{});
        EXPECT_FALSE(deleteUserChord(ini, 62, 62));
        ini.commit();
        EXPECT_EQ(dir.read(kSettingsFileName), text);
    }
    const TempDir dir;
    dir.write(kSettingsFileName, "[UserChords]\nNumber=1\n" + chord);
    EXPECT_EQ(readUserChord(IniFile(dir.file(kSettingsFileName)), 62),
              (FormulaRecord{{0, 255, 255, 7, 255, 255, 255}, "Left", "1 3"}));
}
