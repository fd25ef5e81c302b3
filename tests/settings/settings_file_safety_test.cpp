// The user's settings file is never lost: a file the program cannot read, a file its owner made
// read-only and a file that is a link to one kept elsewhere all survive every write batch.
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"

namespace fs = std::filesystem;
using namespace strumox::settings;
using strumox::testsupport::TempDir;

namespace {

// Runs a write batch; its error message, or "" when it did not refuse.
std::string refusalOf(const std::function<void()>& batch)
{
    try {
        batch();
    } catch (const SettingsWriteError& e) {
        return e.what();
    }
    return {};
}

// Every batch of the program that writes the settings file, each changing something.
struct WriteBatch {
    const char* name;
    std::function<void(const std::string& appDir)> run;
};

std::vector<WriteBatch> everyWriteBatch()
{
    return {
        {"exit", [](const std::string& d) { writeExitSettings(d, AppSettings::defaults(d)); }},
        {"preferences", [](const std::string& d) { writePreferenceSettings(d, AppSettings::defaults(d)); }},
        {"user chord added",
         [](const std::string& d) {
             IniFile ini(settingsFilePath(d));
             ini.writeInteger("UserChords", "Number", 2);
             ini.writeString(userChordSection(1), "Name", "Six");
             ini.commit();
         }},
        {"user chord deleted",
         [](const std::string& d) {
             IniFile ini(settingsFilePath(d));
             ini.writeInteger("UserChords", "Number", 0);
             ini.eraseSection(userChordSection(0));
             ini.commit();
         }},
    };
}

// ---- A file that exists but cannot be read -----------------------------------------------------

// How a program directory's Kq.ini is made unreadable, for root as for anyone; `intact` says
// whether it is still exactly what was put there.
struct Unreadable {
    const char* name;
    std::function<std::string(const TempDir&)> make;  // returns the program directory
    const char* reason;
    std::function<bool(const std::string& appDir)> intact;
};

// The first bytes of a file, without reading all of a huge one.
std::string headOf(const std::string& path, std::size_t size)
{
    std::string bytes(size, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

bool isFifo(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

const std::vector<Unreadable>& unreadableFiles()
{
    static const std::vector<Unreadable> cases{
        {"fifo",
         [](const TempDir& t) {
             // Opened as before, a FIFO without a writer would hold start-up forever.
             EXPECT_EQ(::mkfifo(t.file("Kq.ini").c_str(), 0644), 0);
             return t.dir();
         },
         "not a regular file", [](const std::string& d) { return isFifo(d + "Kq.ini"); }},
        {"directory",
         [](const TempDir& t) {
             fs::create_directory(t.file("Kq.ini"));
             t.write("Kq.ini/inside", "mine");
             return t.dir();
         },
         "not a regular file",
         [](const std::string& d) {
             return fs::is_directory(d + "Kq.ini") && strumox::testsupport::readText(d + "Kq.ini/inside") == "mine";
         }},
        {"path through a file",
         [](const TempDir& t) {
             t.write("app", "a file, not a folder");
             return t.file("app") + "/";
         },
         "Not a directory",
         [](const std::string& d) {
             return strumox::testsupport::readText(d.substr(0, d.size() - 1)) == "a file, not a folder";
         }},
        {"larger than any settings file",
         [](const TempDir& t) {
             // Sparse: no disk space is used, and the reader refuses it by its size alone.
             t.write("Kq.ini", "[Main]\nSspeed=-120\n");
             fs::resize_file(t.file("Kq.ini"), (std::uintmax_t{256} << 20) + 1);
             return t.dir();
         },
         "file too large",
         [](const std::string& d) {
             return fs::file_size(d + "Kq.ini") == (std::uintmax_t{256} << 20) + 1 &&
                    headOf(d + "Kq.ini", 64).starts_with("[Main]\nSspeed=-120\n");
         }},
    };
    return cases;
}

TEST(UnreadableSettings, StartUpRunsOnDefaultsAndSaysSettingsWillNotBeSaved)
{
    for (const Unreadable& c : unreadableFiles()) {
        const TempDir t;
        const std::string appDir = c.make(t);
        const StartupSettings start = loadStartupSettings(appDir);
        const std::string expected =
            "Unable to read " + appDir + "Kq.ini: " + c.reason + ". Settings will not be saved.";
        EXPECT_EQ(start.notices.unreadable, expected) << c.name;
        EXPECT_EQ(start.notices.messages(), std::vector<std::string>{expected}) << c.name;
        EXPECT_EQ(start.values.strumSpeed, AppSettings::defaults(appDir).strumSpeed) << c.name;
        EXPECT_EQ(start.values.pageDirs, AppSettings::defaults(appDir).pageDirs) << c.name;

        // The listing prints no defaults that would pass for the user's settings.
        const SettingsListing listing = listSettings(appDir);
        EXPECT_TRUE(listing.lines.empty()) << c.name;
        EXPECT_EQ(listing.notices.unreadable, expected) << c.name;
    }
}

TEST(UnreadableSettings, NoWriteBatchReplacesIt)
{
    for (const Unreadable& c : unreadableFiles()) {
        for (const WriteBatch& batch : everyWriteBatch()) {
            const TempDir t;
            const std::string appDir = c.make(t);
            EXPECT_EQ(refusalOf([&] { batch.run(appDir); }), "Unable to write to " + appDir + "Kq.ini")
                << c.name << ", " << batch.name;
            EXPECT_TRUE(c.intact(appDir)) << c.name << ", " << batch.name;
            EXPECT_FALSE(fs::exists(appDir + "Kq.ini.tmp")) << c.name << ", " << batch.name;
        }
    }
}

TEST(UnreadableSettings, PermissionDeniedIsUnreadableToo)
{
    // Root reads whatever the mode says, so only an ordinary user can see this refusal.
    if (::geteuid() == 0)
        GTEST_SKIP() << "root is never denied reading; the cases above cover the same path";
    const TempDir t;
    t.write("Kq.ini", "[Main]\nSspeed=-120\n");
    ASSERT_EQ(::chmod(t.file("Kq.ini").c_str(), 0200), 0);
    EXPECT_EQ(loadStartupSettings(t.dir()).notices.unreadable,
              "Unable to read " + t.file("Kq.ini") + ": Permission denied. Settings will not be saved.");
    for (const WriteBatch& batch : everyWriteBatch())
        EXPECT_EQ(refusalOf([&] { batch.run(t.dir()); }), "Unable to write to " + t.file("Kq.ini")) << batch.name;
    ASSERT_EQ(::chmod(t.file("Kq.ini").c_str(), 0600), 0);
    EXPECT_EQ(t.read("Kq.ini"), "[Main]\nSspeed=-120\n");
}

TEST(UnreadableSettings, MissingFileIsNoProblemAndTheFirstWriteCreatesIt)
{
    const TempDir t;
    EXPECT_TRUE(loadStartupSettings(t.dir()).notices.messages().empty());
    EXPECT_TRUE(listSettings(t.dir()).notices.messages().empty());
    writeExitSettings(t.dir(), AppSettings::defaults(t.dir()));
    EXPECT_TRUE(fs::is_regular_file(t.file("Kq.ini")));
    EXPECT_TRUE(loadStartupSettings(t.dir()).notices.messages().empty());
}

TEST(UnreadableSettings, ReadOnlyBatchOverAnUnreadableFileCommitsQuietly)
{
    // Nothing changed, so nothing is refused: start-up itself never throws.
    const TempDir t;
    ASSERT_EQ(::mkfifo(t.file("Kq.ini").c_str(), 0644), 0);
    IniFile ini(t.file("Kq.ini"));
    EXPECT_EQ(ini.unreadable(), "not a regular file");
    EXPECT_EQ(ini.readInteger("Main", "Sspeed", -300), -300);
    EXPECT_NO_THROW(ini.commit());
}

// ---- A file its owner made read-only -------------------------------------------------------------

TEST(ReadOnlySettings, IsReadButEveryWriteBatchIsRefusedAndReported)
{
    const std::string text = "[Main]\nSspeed=-120\n[UserChords]\nNumber=1\n[62]\nName=Add9\n";
    for (const WriteBatch& batch : everyWriteBatch()) {
        const TempDir t;
        t.write("Kq.ini", text);
        ASSERT_EQ(::chmod(t.file("Kq.ini").c_str(), 0444), 0);

        const StartupSettings start = loadStartupSettings(t.dir());
        EXPECT_EQ(start.values.strumSpeed, -120);
        EXPECT_TRUE(start.notices.messages().empty());

        EXPECT_EQ(refusalOf([&] { batch.run(t.dir()); }), "Unable to write to " + t.file("Kq.ini")) << batch.name;
        EXPECT_EQ(t.read("Kq.ini"), text) << batch.name;
        struct stat st {};
        ASSERT_EQ(::stat(t.file("Kq.ini").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0444u) << batch.name;
        EXPECT_FALSE(fs::exists(t.file("Kq.ini.tmp"))) << batch.name;
    }
}

// ---- A file that is a link to one kept elsewhere ---------------------------------------------------

TEST(LinkedSettings, WritesGoToTheTargetAndTheLinkStays)
{
    const TempDir t;
    fs::create_directories(t.file("dotfiles"));
    fs::create_directories(t.file("app"));
    t.write("dotfiles/strumox.ini", "; synced\n[Main]\nSspeed=-120\nSpeechVol=99\n");
    ASSERT_EQ(::symlink("../dotfiles/strumox.ini", t.file("app/Kq.ini").c_str()), 0);
    const std::string appDir = t.file("app") + "/";

    AppSettings s = loadStartupSettings(appDir).values;
    EXPECT_EQ(s.strumSpeed, -120);
    s.strumSpeed = -50;
    s.clickVolume = 77;
    writeExitSettings(appDir, s);
    writePreferenceSettings(appDir, s);

    EXPECT_TRUE(fs::is_symlink(t.file("app/Kq.ini")));
    EXPECT_EQ(fs::read_symlink(t.file("app/Kq.ini")), "../dotfiles/strumox.ini");
    const AppSettings back = readStartupSettings(appDir);
    EXPECT_EQ(back.strumSpeed, -50);
    EXPECT_EQ(back.clickVolume, 77);
    EXPECT_EQ(back.speechVol, 99);
    EXPECT_TRUE(t.read("dotfiles/strumox.ini").starts_with("; synced\n[Main]\nSspeed=-50\n"));
}

}  // namespace
