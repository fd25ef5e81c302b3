#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "fileio/AtomicFile.h"

namespace {

namespace fs = std::filesystem;
using strumox::fileio::writeFileAtomically;
using strumox::testsupport::TempDir;

unsigned modeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777u : 0u;
}

// The message of the failure writeFileAtomically throws, or "" when it does not throw.
std::string failureOf(const std::string& path, const std::string& bytes)
{
    try {
        writeFileAtomically(path, bytes);
    } catch (const std::system_error& e) {
        return e.what();
    }
    return {};
}

// ---- The file's own mode decides, for root as for anyone ---------------------------------------

TEST(AtomicWriteModes, FileWithoutTheOwnersWriteBitIsNotReplaced)
{
    for (const unsigned mode : {0444u, 0400u, 0555u, 0044u, 0000u}) {
        const TempDir dir;
        const std::string path = dir.file("data.dat");
        dir.write("data.dat", "keep");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        EXPECT_EQ(failureOf(path, "new"), "cannot replace " + path + ": Permission denied") << std::oct << mode;
        EXPECT_EQ(modeOf(path), mode) << std::oct << mode;
        EXPECT_FALSE(fs::exists(path + ".tmp")) << std::oct << mode;
        ASSERT_EQ(::chmod(path.c_str(), 0600), 0);  // to read it back whoever runs the test
        EXPECT_EQ(dir.read("data.dat"), "keep") << std::oct << mode;
    }
}

TEST(AtomicWriteModes, FileTheOwnerMayWriteIsReplacedAndKeepsItsMode)
{
    for (const unsigned mode : {0644u, 0600u, 0200u, 0666u, 0640u}) {
        const TempDir dir;
        const std::string path = dir.file("data.dat");
        dir.write("data.dat", "old");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        EXPECT_EQ(failureOf(path, "new"), "") << std::oct << mode;
        ASSERT_EQ(::chmod(path.c_str(), 0600), 0);  // to read it back whoever runs the test
        EXPECT_EQ(dir.read("data.dat"), "new") << std::oct << mode;
    }
    // The data files of the build are new files: created whole with the usual mode.
    const TempDir dir;
    const mode_t mask = ::umask(022);
    writeFileAtomically(dir.file("fresh.dat"), std::string("bytes"));
    ::umask(mask);
    EXPECT_EQ(dir.read("fresh.dat"), "bytes");
    EXPECT_EQ(modeOf(dir.file("fresh.dat")), 0644u);
}

// ---- Symbolic links are written through --------------------------------------------------------

TEST(AtomicWriteLinks, LinkStaysALinkAndItsTargetGetsTheBytes)
{
    const TempDir dir;
    fs::create_directories(dir.file("real/conf"));
    dir.write("real/conf/settings.ini", "old");
    ASSERT_EQ(::chmod(dir.file("real/conf/settings.ini").c_str(), 0640), 0);
    // Relative link text counts from the link's own directory, not from the working directory.
    fs::create_directory(dir.file("app"));
    ASSERT_EQ(::symlink("../real/conf/settings.ini", dir.file("app/Kq.ini").c_str()), 0);

    writeFileAtomically(dir.file("app/Kq.ini"), std::string("new"));

    EXPECT_TRUE(fs::is_symlink(dir.file("app/Kq.ini")));
    EXPECT_EQ(fs::read_symlink(dir.file("app/Kq.ini")), "../real/conf/settings.ini");
    EXPECT_EQ(dir.read("real/conf/settings.ini"), "new");
    EXPECT_EQ(modeOf(dir.file("real/conf/settings.ini")), 0640u);
    EXPECT_FALSE(fs::exists(dir.file("app/Kq.ini.tmp")));
    EXPECT_FALSE(fs::exists(dir.file("real/conf/settings.ini.tmp")));
}

TEST(AtomicWriteLinks, ChainOfLinksIsFollowedToTheEnd)
{
    const TempDir dir;
    fs::create_directories(dir.file("a/b"));
    dir.write("a/b/file", "old");
    ASSERT_EQ(::symlink((dir.file("a") + "/b/file").c_str(), dir.file("a/second").c_str()), 0);  // absolute
    ASSERT_EQ(::symlink("a/second", dir.file("first").c_str()), 0);

    writeFileAtomically(dir.file("first"), std::string("new"));

    EXPECT_TRUE(fs::is_symlink(dir.file("first")));
    EXPECT_TRUE(fs::is_symlink(dir.file("a/second")));
    EXPECT_EQ(dir.read("a/b/file"), "new");
}

TEST(AtomicWriteLinks, TemporaryGoesBesideTheTarget)
{
    const TempDir dir;
    fs::create_directory(dir.file("elsewhere"));
    dir.write("elsewhere/target", "old");
    ASSERT_EQ(::symlink("elsewhere/target", dir.file("link").c_str()), 0);
    // A directory where the temporary must go makes the write fail, naming where it went.
    fs::create_directory(dir.file("elsewhere/target.tmp"));
    const std::string failure = failureOf(dir.file("link"), "new");
    EXPECT_EQ(failure.rfind("cannot create " + dir.file("elsewhere/target.tmp") + ": ", 0), 0u) << failure;
    EXPECT_EQ(dir.read("elsewhere/target"), "old");
    EXPECT_TRUE(fs::is_symlink(dir.file("link")));
}

TEST(AtomicWriteLinks, ReadOnlyTargetBehindALinkIsNotReplaced)
{
    const TempDir dir;
    dir.write("target", "keep");
    ASSERT_EQ(::chmod(dir.file("target").c_str(), 0444), 0);
    ASSERT_EQ(::symlink("target", dir.file("link").c_str()), 0);
    EXPECT_EQ(failureOf(dir.file("link"), "new"), "cannot replace " + dir.file("target") + ": Permission denied");
    EXPECT_EQ(dir.read("target"), "keep");
    EXPECT_TRUE(fs::is_symlink(dir.file("link")));
}

TEST(AtomicWriteLinks, DanglingLinkGetsItsTargetCreated)
{
    const TempDir dir;
    ASSERT_EQ(::symlink("later.ini", dir.file("link").c_str()), 0);
    writeFileAtomically(dir.file("link"), std::string("made"));
    EXPECT_TRUE(fs::is_symlink(dir.file("link")));
    EXPECT_EQ(dir.read("later.ini"), "made");
}

TEST(AtomicWriteLinks, LoopOfLinksFailsAndChangesNothing)
{
    const TempDir dir;
    ASSERT_EQ(::symlink("b", dir.file("a").c_str()), 0);
    ASSERT_EQ(::symlink("a", dir.file("b").c_str()), 0);
    EXPECT_EQ(failureOf(dir.file("a"), "x"), "cannot replace " + dir.file("a") + ": Too many levels of symbolic links");
    EXPECT_EQ(fs::read_symlink(dir.file("a")), "b");
    EXPECT_EQ(fs::read_symlink(dir.file("b")), "a");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
