// Runs the built strumox-cli as a user would and checks its output and exit status.
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "TempDir.h"

namespace fs = std::filesystem;
using namespace strumox::testsupport;

namespace {

class Cli : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(kCli)) << kCli << " is missing: build the strumox-cli target first";
    }
};

// ---- Version and usage -----------------------------------------------------------------------

TEST_F(Cli, VersionPrintsNameAndVersion)
{
    const CliRun r = runCli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("strumox-cli ") + STRUMOX_VERSION + "\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(Cli, HelpNamesEveryCommandOnStdout)
{
    const CliRun r = runCli({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* usage : {"settings [--appdir DIR]", "formulas [--json] [--appdir DIR]",
                              "chord KEY TYPE [--json] [--appdir DIR]", "scale INDEX|NAME KEY"})
        EXPECT_NE(r.out.find(usage), std::string::npos) << usage << "\n" << r.out;
}

struct BadUsage {
    const char* name;
    std::vector<std::string> args;
    const char* message;  // expected in stderr
};

class CliBadUsage : public Cli, public testing::WithParamInterface<BadUsage> {};

TEST_P(CliBadUsage, ExitsWithTwoAndShowsUsageOnStderr)
{
    const CliRun r = runCli(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Usage: strumox-cli"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliBadUsage,
    testing::Values(BadUsage{"NoArguments", {}, "no command given"},
                    BadUsage{"UnknownCommand", {"frobnicate"}, "unknown command 'frobnicate'"},
                    BadUsage{"AppDirWithoutValue", {"settings", "--appdir"}, "--appdir needs a value"},
                    BadUsage{"UnknownOption", {"settings", "--colour"}, "unexpected argument '--colour'"},
                    BadUsage{"AppDirEmptyAfterEquals", {"settings", "--appdir="}, "--appdir needs a value"},
                    BadUsage{"AppDirEmptyWord", {"settings", "--appdir", ""}, "--appdir needs a value"},
                    BadUsage{"AppDirEmptyForAChord", {"chord", "C", "major", "--appdir="}, "--appdir needs a value"},
                    BadUsage{"AppDirEmptyForFormulas", {"formulas", "--json", "--appdir="}, "--appdir needs a value"},
                    BadUsage{"AppDirEmptyForAScale", {"scale", "0", "C", "--appdir="}, "--appdir needs a value"},
                    BadUsage{"WordsAfterVersion", {"--version", "extra"}, "--version: unexpected argument 'extra'"},
                    BadUsage{"OptionAfterVersion", {"--version", "--json"}, "--version: unexpected argument '--json'"}),
    [](const testing::TestParamInfo<BadUsage>& info) { return std::string(info.param.name); });

TEST_F(Cli, MissingAppDirFailsWithExitOne)
{
    const TempDir dir;
    const std::string missing = dir.path() + "/gone";
    const CliRun r = runCli({"settings", "--appdir", missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "strumox-cli: not a directory: " + missing + "\n");
}

// ---- settings --------------------------------------------------------------------------------

TEST_F(Cli, SettingsPrintsEffectiveValuesInTableOrder)
{
    const TempDir dir;
    dir.write("Kq.ini", "[Click]\r\nNote=0x22\r\nVolume=80\r\n"
                        "[Main]\r\nBass=2\r\n"
                        "[UserChords]\r\nNumber=1\r\n[62]\r\nName=Add9\r\n"
                        "[General MIDI]\r\nPiano=\r\nOrgan=\r\n");
    const CliRun r = runCli({"settings", "--appdir", dir.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = r.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "MidiIn/Device=0");
    EXPECT_EQ(lines.back(), "General MIDI/Keys=2");

    // Lines that must be present, in this relative order, values from the file or the defaults.
    const std::vector<std::string> inOrder{
        "Guitar/Patch=25",
        "Click/Note=34",
        "Click/Volume=80",
        "Main/Bass=1",
        "Directory/Chord=" + dir.path() + "/Chord",
        "Directory/TabRaw=" + dir.path() + "/Tab/Raw",
        "Tab/InsertFile=" + dir.path() + "/insertsection.tab",
        "UserChords/Number=1",
        "62/Name=Add9",
        "62/I6=255",
        "WebSites/Number=0",
    };
    auto at = lines.begin();
    for (const auto& want : inOrder) {
        const auto found = std::find(at, lines.end(), want);
        ASSERT_NE(found, lines.end()) << "missing or out of order: " << want;
        at = found;
    }
}

TEST_F(Cli, SettingsMatchesTheLibraryListing)
{
    const TempDir dir;
    dir.write("Kq.ini", "[WebSites]\nNumber=1\n1=Tabs\n1A=https://tabs.example\n");
    const CliRun r = runCli({"settings", "--appdir=" + dir.path() + "/"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines(), strumox::settings::settingsListing(dir.path() + "/"));
}

TEST_F(Cli, SettingsDefaultsToTheExecutablesDirectory)
{
    const std::string appDir = fs::canonical(STRUMOX_APPDIR).string() + "/";
    const CliRun r = runCli({"settings"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines(), strumox::settings::settingsListing(appDir));
}

TEST_F(Cli, SettingsOnlyReadsTheFile)
{
    const TempDir dir;
    const std::string text = "[Main]\r\nBass=2\r\n; comment\r\n";
    dir.write("Kq.ini", text);
    ASSERT_EQ(runCli({"settings", "--appdir", dir.path()}).status, 0);
    EXPECT_EQ(dir.read("Kq.ini"), text);
    EXPECT_FALSE(fs::exists(dir.path() + "/Kq.ini.tmp"));
}

}  // namespace
