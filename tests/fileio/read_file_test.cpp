#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "fileio/ReadFile.h"

namespace {

using strumox::fileio::FileRead;
using strumox::fileio::readRegularFile;
using strumox::testsupport::TempDir;

TEST(ReadRegularFile, ReadsEveryByteAndTellsMissingFromUnreadable)
{
    const TempDir dir;
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);  // NULs and high bytes, longer than one read
    dir.write("data.bin", bytes);
    const FileRead whole = readRegularFile(dir.file("data.bin"));
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ(whole.bytes, bytes);

    dir.write("empty", "");
    const FileRead empty = readRegularFile(dir.file("empty"));
    EXPECT_TRUE(empty.ok());
    EXPECT_TRUE(empty.bytes.empty());

    EXPECT_EQ(readRegularFile(dir.file("nothing")).status, FileRead::Status::Missing);
    ASSERT_EQ(::symlink("nowhere", dir.file("dangling").c_str()), 0);
    EXPECT_EQ(readRegularFile(dir.file("dangling")).status, FileRead::Status::Missing);

    // A path through a file fails with ENOTDIR even for root, who can read any mode.
    const FileRead through = readRegularFile(dir.file("data.bin") + "/x");
    EXPECT_EQ(through.status, FileRead::Status::Unreadable);
    EXPECT_EQ(through.reason, "Not a directory");
    EXPECT_TRUE(through.bytes.empty());
}

TEST(ReadRegularFile, RefusesWhatIsNotARegularFileWithoutWaiting)
{
    const TempDir dir;
    // A FIFO with no writer: a blocking open would never return and the test would time out.
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    const FileRead fifo = readRegularFile(dir.file("fifo"));
    EXPECT_EQ(fifo.status, FileRead::Status::NotRegular);
    EXPECT_EQ(fifo.reason, "not a regular file");

    EXPECT_EQ(readRegularFile(dir.path()).status, FileRead::Status::NotRegular);
    EXPECT_EQ(readRegularFile("/dev/null").status, FileRead::Status::NotRegular);
}

TEST(ReadRegularFile, LimitIsInclusive)
{
    const TempDir dir;
    dir.write("f", std::string(100, 'x'));
    EXPECT_TRUE(readRegularFile(dir.file("f"), 100).ok());
    const FileRead over = readRegularFile(dir.file("f"), 99);
    EXPECT_EQ(over.status, FileRead::Status::TooLarge);
    EXPECT_TRUE(over.bytes.empty());
}

}  // namespace
