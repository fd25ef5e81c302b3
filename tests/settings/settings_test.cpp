#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "TempDir.h"

namespace fs = std::filesystem;
using namespace strumox::settings;

namespace {

// A fresh program directory (path ending in '/') under the system's temporary folder.
class TempAppDir : public strumox::testsupport::TempDir {
public:
    std::string ini() const { return file("Kq.ini"); }
    void writeIni(const std::string& text) const { write("Kq.ini", text); }
    std::string readIni() const { return read("Kq.ini"); }
};

// Every field of the settings, so that two of them compare (and print) as a whole.
auto fieldsOf(const AppSettings& s)
{
    return std::tie(s.midiInDevice, s.midiOutDevice, s.guitarPatch, s.guitarChannel, s.guitarVolume, s.bassPatch,
                    s.bassChannel, s.bassVolume, s.clickChannel, s.clickNote, s.clickVolume, s.bassNote, s.strumSpeed,
                    s.leftHanded, s.showFull, s.pageDirs, s.scaleFrets, s.countOff, s.ppTinyFont, s.cdTinyFont,
                    s.speechVol, s.speechOn, s.glowAnimate, s.glowShowFlash, s.switch1, s.switch2, s.reverseSwitch,
                    s.rootSpeed, s.flashNote, s.flashStop, s.switch1Bit, s.switch2Bit, s.timingChars, s.insertFile,
                    s.userChordNames);
}

void expectSameSettings(const AppSettings& a, const AppSettings& b)
{
    EXPECT_EQ(fieldsOf(a), fieldsOf(b));
    ASSERT_EQ(a.webSites.size(), b.webSites.size());
    for (std::size_t i = 0; i < a.webSites.size(); ++i) {
        EXPECT_EQ(a.webSites[i].caption, b.webSites[i].caption) << "entry " << i + 1;
        EXPECT_EQ(a.webSites[i].address, b.webSites[i].address) << "entry " << i + 1;
    }
}

// Every setting away from its default, the way a user might have left it.
AppSettings customised(const std::string& appDir)
{
    AppSettings s = AppSettings::defaults(appDir);
    s.midiInDevice = 2;
    s.midiOutDevice = 3;
    s.guitarPatch = 24;
    s.guitarChannel = 4;
    s.guitarVolume = 90;
    s.bassPatch = 32;
    s.bassChannel = 5;
    s.bassVolume = 80;
    s.clickChannel = 10;
    s.clickNote = 37;
    s.clickVolume = 70;
    s.bassNote = true;
    s.strumSpeed = -120;
    s.leftHanded = true;
    s.showFull = true;
    s.pageDirs = {"/m/chord", "/m/print", "/m/design", "/m/play", "/m/scale", "/m/tab", "/m/tab raw"};
    s.scaleFrets = 6;
    s.countOff = 3;
    s.ppTinyFont = false;
    s.cdTinyFont = false;
    s.speechVol = 200;
    s.speechOn = true;
    s.glowAnimate = false;
    s.glowShowFlash = true;
    s.switch1 = 4;
    s.switch2 = 5;
    s.reverseSwitch = true;
    s.rootSpeed = 500;
    s.flashNote = true;
    s.flashStop = true;
    s.timingChars = "-+";
    s.insertFile = "/m/ins.tab";
    applyReverseSwitch(s);
    return s;
}

// ---- Defaults ---------------------------------------------------------------------------------

// The default of every key is pinned once, by the listing of a missing file below.
TEST(SettingsDefaults, MissingFileGivesTheDefaultsAndCreatesNothing)
{
    const TempAppDir app;
    const AppSettings s = readStartupSettings(app.dir());
    expectSameSettings(s, AppSettings::defaults(app.dir()));
    EXPECT_TRUE(s.userChordNames.empty());
    EXPECT_TRUE(s.webSites.empty());
    EXPECT_FALSE(fs::exists(app.ini())) << "reading must not create the file";
}

TEST(SettingsDefaults, UnreadableValuesFallBackKeyByKey)
{
    const TempAppDir app;
    app.writeIni("[Guitar]\nPatch=twenty\nVolume=0x\n[Click]\nNote=0x22\n[Main]\nBass=2\n");
    AppSettings expected = AppSettings::defaults(app.dir());
    expected.clickNote = 34;
    expected.bassNote = true;
    expectSameSettings(readStartupSettings(app.dir()), expected);
}

// ---- Start-up read ---------------------------------------------------------------------------

TEST(SettingsStartupRead, ReadsEveryKeyOfTheTable)
{
    const TempAppDir app;
    app.writeIni("[MIDIIN]\nDevice=2\n"
                 "[MidiOut]\nDevice=3\n"
                 "[Guitar]\nPatch=24\nChannel=4\nVolume=90\n"
                 "[Bass]\nPatch=32\nChannel=5\nVolume=80\n"
                 "[Click]\nChannel=10\nNote=0x25\nVolume=70\n"
                 "[Main]\nBass=1\nSspeed=-120\nLeftHand=1\nShowFull=1\nPPTinyFont=0\nCDTinyFont=0\n"
                 "SpeechVol=200\nSpeechOn=1\n"
                 "[Directory]\nChord=/m/chord\nPrint=/m/print\nDesign=/m/design\nPlay=/m/play\n"
                 "Scale=/m/scale\nTab=/m/tab\nTabRaw=/m/tab raw\n"
                 "[Scales]\nFrets=6\n"
                 "[PlayPage]\nCountOff=3\n"
                 "[Glowboard]\nAnimate=0\nShowFlash=1\nSwitch1=4\nSwitch2=5\nReverseSwitch=1\nRootSpeed=500\n"
                 "FlashNote=1\nFlashStop=1\n"
                 "[Tab]\nTimingChars=-+\nInsertFile=/m/ins.tab\n"
                 "[UserChords]\nNumber=1\n[62]\nName=Add9\n"
                 "[WebSites]\nNumber=1\n1=Lessons\n1A=https://example.org/lessons\n");
    AppSettings expected = customised(app.dir());
    expected.userChordNames = {"Add9"};
    expected.webSites = {{"Lessons", "https://example.org/lessons"}};
    expectSameSettings(readStartupSettings(app.dir()), expected);
}

struct UserChordCase {
    const char* name;
    const char* file;
    std::vector<std::string> expected;
};

class SettingsUserChords : public testing::TestWithParam<UserChordCase> {};

TEST_P(SettingsUserChords, NumberDecidesHowManyNamesFollowTheBuiltInTypes)
{
    const TempAppDir app;
    app.writeIni(GetParam().file);
    EXPECT_EQ(readStartupSettings(app.dir()).userChordNames, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsUserChords,
    testing::Values(
        UserChordCase{"TwoSections", "[UserChords]\nNumber=2\n[62]\nName=Add9\n[63]\nName=Six Nine\n",
                      {"Add9", "Six Nine"}},
        UserChordCase{"MissingSectionsAreNoName", "[UserChords]\nNumber=3\n[63]\nName=Six\n",
                      {"NONAME", "Six", "NONAME"}},
        UserChordCase{"SectionsBeyondNumberIgnored", "[UserChords]\nNumber=1\n[62]\nName=A\n[63]\nName=B\n", {"A"}},
        UserChordCase{"NoNumber", "[62]\nName=A\n", {}},
        UserChordCase{"NegativeNumber", "[UserChords]\nNumber=-2\n[62]\nName=A\n", {}},
        UserChordCase{"EmptyNameStaysEmpty", "[UserChords]\nNumber=1\n[62]\nName=\n", {""}}),
    [](const testing::TestParamInfo<UserChordCase>& info) { return std::string(info.param.name); });

// ---- One notice when the user chord count overstates ------------------------------------------

// A file with UserChords/Number = `number` and a section for each user chord index in `present`.
std::string userChordFile(const std::string& number, const std::vector<int>& present)
{
    std::string text = "[UserChords]\nNumber=" + number + "\n";
    for (const int i : present)
        text += "[" + userChordSection(i) + "]\nName=C" + std::to_string(i) + "\n";
    return text;
}

std::vector<int> upTo(int count)
{
    std::vector<int> all(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        all[static_cast<std::size_t>(i)] = i;
    return all;
}

struct NoticeCase {
    const char* name;
    std::string file;
    std::string notice;  // after "<path>: ", or empty for none
    std::size_t listed;
};

void PrintTo(const NoticeCase& c, std::ostream* os)
{
    *os << c.name;
}

class SettingsUserChordNotice : public testing::TestWithParam<NoticeCase> {};

TEST_P(SettingsUserChordNotice, StartUpAndListingSayItOnceAndListTheSame)
{
    const TempAppDir app;
    app.writeIni(GetParam().file);
    const std::string expected = GetParam().notice.empty() ? "" : app.ini() + ": " + GetParam().notice;

    const StartupSettings start = loadStartupSettings(app.dir());
    EXPECT_EQ(start.notices.userChords, expected);
    EXPECT_TRUE(start.notices.unreadable.empty());
    EXPECT_EQ(start.notices.messages().size(), expected.empty() ? 0u : 1u);
    EXPECT_EQ(start.values.userChordNames.size(), GetParam().listed);

    const SettingsListing listing = listSettings(app.dir());
    EXPECT_EQ(listing.notices.userChords, expected);
    const auto names = std::count_if(listing.lines.begin(), listing.lines.end(),
                                     [](const std::string& l) { return l.find("/Name=") != std::string::npos; });
    EXPECT_EQ(static_cast<std::size_t>(names), GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsUserChordNotice,
    testing::Values(
        NoticeCase{"EveryClaimedSectionPresent", userChordFile("2", {0, 1}), "", 2},
        NoticeCase{"ExtraSectionsAreNoConcern", userChordFile("1", {0, 1, 2}), "", 1},
        NoticeCase{"NoCount", userChordFile("", {0}), "", 0},
        NoticeCase{"NegativeCount", userChordFile("-3", {0}), "", 0},
        NoticeCase{"SectionsMissing", userChordFile("3", {1}),
                   "UserChords/Number is 3, but 2 of sections 62..64 are missing; they are listed as NONAME.", 3},
        NoticeCase{"AtTheLimit", userChordFile("10000", upTo(10000)), "", 10000},
        NoticeCase{"PastTheLimit", userChordFile("10001", upTo(10001)),
                   "UserChords/Number is 10001; only the first 10000 user chords are listed.", 10000},
        NoticeCase{"PastTheLimitAndMissing", userChordFile("0x7FFFFFFF", {0, 5}),
                   "UserChords/Number is 2147483647; only the first 10000 user chords are listed, and 9998 of "
                   "sections 62..10061 are missing; they are listed as NONAME.",
                   10000}),
    [](const testing::TestParamInfo<NoticeCase>& info) { return std::string(info.param.name); });

TEST(SettingsStartupRead, AbsurdCountIsCapped)
{
    const TempAppDir app;
    app.writeIni("[UserChords]\nNumber=0x7FFFFFFF\n[WebSites]\nNumber=99999\n");
    const AppSettings s = readStartupSettings(app.dir());
    EXPECT_EQ(s.userChordNames.size(), 10000u);
    EXPECT_EQ(s.webSites.size(), 10000u);
}

TEST(SettingsStartupRead, WebSiteEntriesPairCaptionWithAddress)
{
    const TempAppDir app;
    app.writeIni("[WebSites]\nNumber=3\n1=Tabs\n1A=https://tabs.example\n2A=/home/me/lesson.htm\n"
                 "3=Third\n");
    const AppSettings s = readStartupSettings(app.dir());
    ASSERT_EQ(s.webSites.size(), 3u);
    EXPECT_EQ(s.webSites[0].caption, "Tabs");
    EXPECT_EQ(s.webSites[0].address, "https://tabs.example");
    EXPECT_EQ(s.webSites[1].caption, "");
    EXPECT_EQ(s.webSites[1].address, "/home/me/lesson.htm");
    EXPECT_EQ(s.webSites[2].caption, "Third");
    EXPECT_EQ(s.webSites[2].address, "");
}

struct SwitchCase {
    const char* name;
    const char* file;
    int switch1Bit;
    int switch2Bit;
};

class SettingsFootSwitches : public testing::TestWithParam<SwitchCase> {};

TEST_P(SettingsFootSwitches, ReverseSwitchSwapsTheInputBits)
{
    const TempAppDir app;
    app.writeIni(GetParam().file);
    const AppSettings s = readStartupSettings(app.dir());
    EXPECT_EQ(s.switch1Bit, GetParam().switch1Bit);
    EXPECT_EQ(s.switch2Bit, GetParam().switch2Bit);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFootSwitches,
    testing::Values(SwitchCase{"Absent", "", 1, 2}, SwitchCase{"Off", "[Glowboard]\nReverseSwitch=0\n", 1, 2},
                    SwitchCase{"On", "[Glowboard]\nReverseSwitch=1\n", 2, 1},
                    SwitchCase{"AnyNonZero", "[glowboard]\nreverseswitch=2\n", 2, 1}),
    [](const testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

TEST(SettingsFootSwitchAssignment, FollowsTheFlagBothWays)
{
    AppSettings s;
    s.reverseSwitch = true;
    applyReverseSwitch(s);
    EXPECT_EQ(s.switch1Bit, 2);
    EXPECT_EQ(s.switch2Bit, 1);
    s.reverseSwitch = false;
    applyReverseSwitch(s);
    EXPECT_EQ(s.switch1Bit, 1);
    EXPECT_EQ(s.switch2Bit, 2);
}

// ---- Exit write --------------------------------------------------------------------------------

TEST(SettingsExitWrite, NewFileHoldsTheExitKeysInWriteOrder)
{
    const TempAppDir app;
    writeExitSettings(app.dir(), customised(app.dir()));
    EXPECT_EQ(app.readIni(), "[Main]\n"
                             "Sspeed=-120\n"
                             "Bass=1\n"
                             "LeftHand=1\n"
                             "ShowFull=1\n"
                             "\n"
                             "[Directory]\n"
                             "Chord=/m/chord\n"
                             "Print=/m/print\n"
                             "Design=/m/design\n"
                             "Play=/m/play\n"
                             "Scale=/m/scale\n"
                             "Tab=/m/tab\n"
                             "TabRaw=/m/tab raw\n"
                             "\n"
                             "[Glowboard]\n"
                             "Animate=0\n"
                             "ShowFlash=1\n");
}

TEST(SettingsExitWrite, KeepsEveryOtherKeyAndComment)
{
    const TempAppDir app;
    app.writeIni("; my settings\n"
                 "[Guitar]\nPatch=12\n"
                 "[Main]\nSpeechVol=99\nSspeed=-300\n; fonts\nPPTinyFont=0\n"
                 "[Glowboard]\nRootSpeed=410\nAnimate=1\n"
                 "[General MIDI]\nAcoustic Grand Piano=\n");
    writeExitSettings(app.dir(), customised(app.dir()));
    EXPECT_EQ(app.readIni(), "; my settings\n"
                             "[Guitar]\nPatch=12\n"
                             "[Main]\nSpeechVol=99\nSspeed=-120\n; fonts\nPPTinyFont=0\n"
                             "Bass=1\nLeftHand=1\nShowFull=1\n"
                             "[Glowboard]\nRootSpeed=410\nAnimate=0\nShowFlash=1\n"
                             "[General MIDI]\nAcoustic Grand Piano=\n"
                             "\n"
                             "[Directory]\nChord=/m/chord\nPrint=/m/print\nDesign=/m/design\nPlay=/m/play\n"
                             "Scale=/m/scale\nTab=/m/tab\nTabRaw=/m/tab raw\n");
}

TEST(SettingsExitWrite, RefusedWriteThrowsWithTheFileName)
{
    const TempAppDir app;
    fs::create_directory(app.ini());
    try {
        writeExitSettings(app.dir(), customised(app.dir()));
        FAIL() << "no error";
    } catch (const SettingsWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + app.dir() + "Kq.ini");
    }
}

// ---- Preferences write -------------------------------------------------------------------------

TEST(SettingsPreferencesWrite, NewFileHoldsThePreferenceKeysInWriteOrder)
{
    const TempAppDir app;
    writePreferenceSettings(app.dir(), customised(app.dir()));
    EXPECT_EQ(app.readIni(), "[MidiIn]\nDevice=2\n\n"
                             "[MidiOut]\nDevice=3\n\n"
                             "[Guitar]\nPatch=24\nChannel=4\nVolume=90\n\n"
                             "[Bass]\nPatch=32\nChannel=5\nVolume=80\n\n"
                             "[Click]\nChannel=10\nNote=37\nVolume=70\n\n"
                             "[Scales]\nFrets=6\n\n"
                             "[PlayPage]\nCountOff=3\n\n"
                             "[Main]\nPPTinyFont=0\nCDTinyFont=0\nSpeechVol=200\nSpeechOn=1\n\n"
                             "[Glowboard]\nSwitch1=4\nSwitch2=5\nReverseSwitch=1\nRootSpeed=500\nFlashNote=1\n"
                             "FlashStop=1\n\n"
                             "[Tab]\nTimingChars=-+\nInsertFile=/m/ins.tab\n");
}

struct ClampCase {
    const char* name;
    int clickNote, countOff, scaleFrets;
    int wantNote, wantCountOff, wantFrets;
};

class SettingsPreferencesClamp : public testing::TestWithParam<ClampCase> {};

TEST_P(SettingsPreferencesClamp, OutOfRangeValuesAreClampedOnWrite)
{
    const TempAppDir app;
    AppSettings s = AppSettings::defaults(app.dir());
    s.clickNote = GetParam().clickNote;
    s.countOff = GetParam().countOff;
    s.scaleFrets = GetParam().scaleFrets;
    writePreferenceSettings(app.dir(), s);
    const IniFile ini(app.ini());
    EXPECT_EQ(ini.readInteger("Click", "Note", -1), GetParam().wantNote);
    EXPECT_EQ(ini.readInteger("PlayPage", "CountOff", -1), GetParam().wantCountOff);
    EXPECT_EQ(ini.readInteger("Scales", "Frets", -1), GetParam().wantFrets);
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingsPreferencesClamp,
                         testing::Values(ClampCase{"InRange", 60, 2, 5, 60, 2, 5},
                                         ClampCase{"Lowest", 0, 1, 4, 0, 1, 4},
                                         ClampCase{"Highest", 127, 4, 6, 127, 4, 6},
                                         ClampCase{"Below", -5, 0, 3, 0, 1, 4},
                                         ClampCase{"Above", 200, 9, 7, 127, 4, 6}),
                         [](const testing::TestParamInfo<ClampCase>& info) { return std::string(info.param.name); });

TEST(SettingsPreferencesWrite, LeavesExitKeysAndUserChordsAlone)
{
    const TempAppDir app;
    app.writeIni("[Main]\nSspeed=-50\nSpeechVol=1\n[UserChords]\nNumber=1\n[62]\nName=Add9\n");
    writePreferenceSettings(app.dir(), AppSettings::defaults(app.dir()));
    const AppSettings s = readStartupSettings(app.dir());
    EXPECT_EQ(s.strumSpeed, -50);
    EXPECT_EQ(s.speechVol, 130);
    EXPECT_EQ(s.userChordNames, std::vector<std::string>{"Add9"});
}

// ---- Round trip --------------------------------------------------------------------------------

TEST(SettingsRoundTrip, WhatBothWritersStoreStartUpReadsBack)
{
    const TempAppDir app;
    const AppSettings written = customised(app.dir());
    writePreferenceSettings(app.dir(), written);
    writeExitSettings(app.dir(), written);
    expectSameSettings(readStartupSettings(app.dir()), written);
}

// ---- Listing -----------------------------------------------------------------------------------

TEST(SettingsListing, MissingFileListsEveryDefaultInTableOrder)
{
    const TempAppDir app;
    const std::string d = app.dir();
    const std::vector<std::string> expected{
        "MidiIn/Device=0",          "MidiOut/Device=0",       "Guitar/Patch=25",
        "Guitar/Channel=0",         "Guitar/Volume=100",      "Bass/Patch=33",
        "Bass/Channel=1",           "Bass/Volume=100",        "Click/Channel=9",
        "Click/Note=34",            "Click/Volume=65",        "Main/Bass=0",
        "Main/Sspeed=-300",         "Main/LeftHand=0",        "Main/ShowFull=0",
        "Main/PPTinyFont=1",        "Main/CDTinyFont=1",      "Main/SpeechVol=130",
        "Main/SpeechOn=0",          "Directory/Chord=" + d + "Chord",
        "Directory/Print=" + d + "Print",                     "Directory/Design=" + d + "Design",
        "Directory/Play=" + d + "Play",                       "Directory/Scale=" + d + "Scale",
        "Directory/Tab=" + d + "Tab",                         "Directory/TabRaw=" + d + "Tab/Raw",
        "Scales/Frets=5",           "PlayPage/CountOff=1",    "Glowboard/Animate=1",
        "Glowboard/ShowFlash=0",    "Glowboard/Switch1=0",    "Glowboard/Switch2=1",
        "Glowboard/ReverseSwitch=0", "Glowboard/RootSpeed=350", "Glowboard/FlashNote=0",
        "Glowboard/FlashStop=0",    "Tab/TimingChars=.=qes",  "Tab/InsertFile=" + d + "insertsection.tab",
        "UserChords/Number=0",      "WebSites/Number=0",      "General MIDI/Keys=0",
    };
    EXPECT_EQ(settingsListing(app.dir()), expected);
}

TEST(SettingsListing, UserChordsWebSitesAndVoicesFollowTheFixedKeys)
{
    const TempAppDir app;
    app.writeIni("[Main]\nBass=7\n"
                 "[UserChords]\nNumber=2\n"
                 "[62]\nName=Add9\nFormula=1 3 5 9\nI0=0\nI1=4\nI2=7\nI3=14\n"
                 "[63]\nFormula=1 4 5\nI1=0x5\n"
                 "[WebSites]\nNumber=1\n1=Tabs\n1A=https://tabs.example\n"
                 "[General MIDI]\nAcoustic Grand Piano=\nBright Acoustic Piano=\nElectric Grand Piano=\n");
    const std::vector<std::string> listing = settingsListing(app.dir());
    EXPECT_EQ(listing.at(11), "Main/Bass=1");

    const auto from = std::find(listing.begin(), listing.end(), "UserChords/Number=2");
    ASSERT_NE(from, listing.end());
    const std::vector<std::string> tail(from, listing.end());
    const std::vector<std::string> expected{
        "UserChords/Number=2",
        "62/Name=Add9",
        "62/Formula=1 3 5 9",
        "62/I0=0",
        "62/I1=4",
        "62/I2=7",
        "62/I3=14",
        "62/I4=255",
        "62/I5=255",
        "62/I6=255",
        "63/Name=NONAME",
        "63/Formula=1 4 5",
        "63/I0=255",
        "63/I1=5",
        "63/I2=255",
        "63/I3=255",
        "63/I4=255",
        "63/I5=255",
        "63/I6=255",
        "WebSites/Number=1",
        "WebSites/1=Tabs",
        "WebSites/1A=https://tabs.example",
        "General MIDI/Keys=3",
    };
    EXPECT_EQ(tail, expected);
}

TEST(SettingsListing, ShowsTheCountAsWrittenEvenWhenItListsNothing)
{
    const TempAppDir app;
    app.writeIni("[UserChords]\nNumber=-1\n[62]\nName=Hidden\n");
    const std::vector<std::string> listing = settingsListing(app.dir());
    EXPECT_NE(std::find(listing.begin(), listing.end(), "UserChords/Number=-1"), listing.end());
    EXPECT_EQ(std::find(listing.begin(), listing.end(), "62/Name=Hidden"), listing.end());
}

}  // namespace
