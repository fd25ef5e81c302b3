// `strumox-cli settings` over a settings file it cannot read or whose user chord count overstates.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include <sys/stat.h>

#include "CliRunner.h"
#include "TempDir.h"

namespace fs = std::filesystem;
using namespace strumox::testsupport;

namespace {

TEST(CliSettingsFile, UnreadableFileFailsWithTheMessageAndPrintsNoDefaults)
{
    ASSERT_TRUE(fs::exists(kCli)) << kCli << " is missing: build the strumox-cli target first";
    const TempDir fifo;
    // A FIFO without a writer: opened as a file it would hold the command forever.
    ASSERT_EQ(::mkfifo(fifo.file("Kq.ini").c_str(), 0644), 0);
    const TempDir folder;
    fs::create_directory(folder.file("Kq.ini"));

    for (const TempDir* dir : {&fifo, &folder}) {
        const CliRun r = runCli({"settings", "--appdir", dir->dir()});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "strumox-cli: Unable to read " + dir->dir() +
                             "Kq.ini: not a regular file. Settings will not be saved.\n");
    }
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.file("Kq.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(CliSettingsFile, OverstatedUserChordCountWarnsOnceAndStillLists)
{
    ASSERT_TRUE(fs::exists(kCli)) << kCli << " is missing: build the strumox-cli target first";
    const TempDir dir;
    dir.write("Kq.ini", "[UserChords]\nNumber=2147483647\n[62]\nName=Add9\n");
    const CliRun r = runCli({"settings", "--appdir", dir.dir()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "strumox-cli: " + dir.dir() +
                         "Kq.ini: UserChords/Number is 2147483647; only the first 10000 user chords are listed, and "
                         "9999 of sections 62..10061 are missing; they are listed as NONAME.\n");
    const auto lines = r.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "62/Name=Add9"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "10061/Name=NONAME"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "10062/Name=NONAME"), lines.end());
}

}  // namespace
