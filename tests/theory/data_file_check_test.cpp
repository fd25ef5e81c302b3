// The data files as the readers take them: read whole, exact in size, every record within its
// rules; damage named by file and first bad record (numbered from 0); anything but a regular file
// refused at once.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "theory/ChordData.h"
#include "theory/ChordFormulas.h"
#include "theory/DataFile.h"
#include "theory/ScaleData.h"

namespace fs = std::filesystem;
using namespace strumox::theory;
using strumox::testsupport::TempDir;

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::vector<std::string> kAllFiles{"kqma1.dat", "kqma2.dat", "kqmi1.dat", "kqmi2.dat",
                                         "kqdo1.dat", "kqdo2.dat", "kqcd3.dat", "kqs.dat"};

// A program directory holding what the build's own writers write, which a test may damage. The
// writers run once; every directory gets a copy.
class DataDir : public TempDir {
public:
    DataDir()
    {
        static const TempDir written;
        static const bool once = [] {
            writeChordDataFiles(written.dir());
            writeScaleFile(written.dir());
            return true;
        }();
        (void)once;
        for (const std::string& name : kAllFiles)
            fs::copy_file(written.file(name), file(name));
    }
    void replaceRecord(const std::string& name, std::size_t size, std::size_t record, const Bytes& bytes) const
    {
        std::string all = read(name);
        ASSERT_EQ(bytes.size(), size);
        ASSERT_LE((record + 1) * size, all.size());
        all.replace(record * size, size, std::string(bytes.begin(), bytes.end()));
        write(name, all);
    }
};

// The failure of the reader that takes the named file; empty when it accepts the file.
std::string readerError(const std::string& dir, const std::string& name)
{
    std::string error;
    bool ok = false;
    if (name == kFormulaFileName)
        ok = readFormulaFile(dir + name, &error).has_value();
    else if (name == kScaleFileName)
        ok = readScaleFile(dir, &error).has_value();
    else
        for (const DictionaryFiles& f : kDictionaryFiles) {
            if (f.first == name || f.second == name)
                ok = readDictionaryFile(dir + name, 12 * static_cast<std::size_t>(f.recordsPerKey), &error).has_value();
        }
    return ok ? std::string() : error;
}

// ---- What the build writes -------------------------------------------------------------------

TEST(GeneratedDataFiles, EveryFileAndEveryChordAndScalePassTheReaders)
{
    const DataDir dir;
    for (const std::string& name : kAllFiles)
        EXPECT_EQ(readerError(dir.dir(), name), "") << name;
    for (int g = 0; g < kChordTypeCount; ++g)
        for (int key = 0; key < 12; ++key) {
            std::string error;
            ASSERT_TRUE(lookupChord(dir.dir(), g, key, &error)) << g << " " << key << ": " << error;
        }
    for (int i = 0; i < kScaleCount; ++i)
        EXPECT_EQ(readScaleRecord(dir.dir(), i, nullptr), builtInScales()[static_cast<std::size_t>(i)]) << i;
}

// ---- Dictionary records ----------------------------------------------------------------------

struct RecordCase {
    const char* name;
    Bytes bytes;
    bool valid;
};

void PrintTo(const RecordCase& c, std::ostream* os)
{
    *os << c.name;
}

// 13 bytes: beginning fret, then fret and marker of string 0 (high E) .. string 5 (low E).
// C major x32010 as the base of most rows: e open, B 1 (finger 1), G open, D 2 (2), A 3 (3), E muted.
const std::vector<RecordCase> kDictionaryCases{
    {"OpenCMajor", {1, 0, 0, 1, 1, 0, 0, 2, 2, 3, 3, 0, 5}, true},
    {"PlainDotsAreFingered", {1, 0, 0, 1, 6, 0, 0, 2, 6, 3, 6, 0, 5}, true},
    {"TopFretUnderTheSeventeenthRow", {17, 22, 4, 20, 3, 19, 2, 0, 5, 0, 5, 0, 5}, true},
    {"FiveFretsAboveTheFirstRow", {5, 10, 4, 0, 5, 0, 5, 5, 1, 0, 5, 0, 5}, true},
    {"FretTwoHundred", {1, 0, 0, 200, 1, 0, 0, 2, 2, 3, 3, 0, 5}, false},
    {"FretTwentyThree", {17, 23, 4, 20, 3, 19, 2, 0, 5, 0, 5, 0, 5}, false},
    {"MarkerNine", {1, 0, 0, 1, 9, 0, 0, 2, 2, 3, 3, 0, 5}, false},
    {"MarkerSeven", {1, 0, 0, 1, 7, 0, 0, 2, 2, 3, 3, 0, 5}, false},
    {"BeginningFretZero", {0, 0, 0, 1, 1, 0, 0, 2, 2, 3, 3, 0, 5}, false},
    {"BeginningFret255", {255, 0, 0, 1, 1, 0, 0, 2, 2, 3, 3, 0, 5}, false},
    {"BeginningFretNotTheFingeringsOwn", {2, 0, 0, 1, 1, 0, 0, 2, 2, 3, 3, 0, 5}, false},
    {"OpenMarkerOnAFret", {1, 0, 0, 1, 0, 0, 0, 2, 2, 3, 3, 0, 5}, false},
    {"FingerAtTheNut", {1, 0, 1, 1, 1, 0, 0, 2, 2, 3, 3, 0, 5}, false},
    {"NotPlayedStringWithAFret", {1, 0, 0, 1, 1, 0, 0, 2, 2, 3, 3, 3, 5}, false},
    {"NothingSounds", {1, 0, 5, 0, 5, 0, 5, 0, 5, 0, 5, 0, 5}, false},
    {"NoteBelowTheSixthRow", {5, 11, 4, 0, 5, 0, 5, 5, 1, 0, 5, 0, 5}, false},
    {"AllFF", Bytes(13, 0xFF), false},
    {"AllZero", Bytes(13, 0), false},
};

class DictionaryRecordRule : public testing::TestWithParam<RecordCase> {};

TEST_P(DictionaryRecordRule, DecidesTheRecordAndTheFileNamesIt)
{
    const RecordCase& c = GetParam();
    EXPECT_EQ(dictionaryRecordValid(c.bytes.data()), c.valid);
    const DataDir dir;
    dir.replaceRecord("kqma1.dat", 13, 17, c.bytes);
    // A chord far from record 17 still fails: the whole file is checked.
    std::string error;
    const bool found = lookupChord(dir.dir(), 18, 11, &error).has_value();
    EXPECT_EQ(found, c.valid) << error;
    if (!c.valid) {
        EXPECT_EQ(error, "kqma1.dat is damaged: record 17.");
    }
}

INSTANTIATE_TEST_SUITE_P(Records, DictionaryRecordRule, testing::ValuesIn(kDictionaryCases),
                         [](const testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

// ---- Formula records -------------------------------------------------------------------------

// 44 bytes: seven intervals, suffix (length byte and 15 characters), text (length and 20).
Bytes formulaBytes(Bytes intervals, std::uint8_t suffixLength = 4, std::uint8_t textLength = 7)
{
    Bytes b(44, 'x');
    std::copy(intervals.begin(), intervals.end(), b.begin());
    b[7] = suffixLength;
    b[23] = textLength;
    return b;
}

const std::vector<RecordCase> kFormulaCases{
    {"SeventhChord", formulaBytes({0, 4, 7, 10, 255, 255, 255}), true},
    {"RootAlone", formulaBytes({0, 255, 255, 255, 255, 255, 255}), true},
    {"SevenTonesUpToTheThirteenth", formulaBytes({0, 3, 7, 10, 14, 17, 21}), true},
    {"FullFields", formulaBytes({0, 4, 7, 255, 255, 255, 255}, 15, 20), true},
    {"EmptyTexts", formulaBytes({0, 4, 7, 255, 255, 255, 255}, 0, 0), true},
    {"FirstIsNotTheRoot", formulaBytes({3, 7, 10, 255, 255, 255, 255}), false},
    {"IntervalTwoHundred", formulaBytes({0, 4, 200, 255, 255, 255, 255}), false},
    {"IntervalBeyondTheTable", formulaBytes({0, 4, 24, 255, 255, 255, 255}), false},
    {"UnnamedOctave", formulaBytes({0, 4, 7, 12, 255, 255, 255}), false},
    {"Falling", formulaBytes({0, 7, 4, 255, 255, 255, 255}), false},
    {"Repeated", formulaBytes({0, 4, 4, 255, 255, 255, 255}), false},
    {"ToneAfterTheEnd", formulaBytes({0, 4, 7, 255, 10, 255, 255}), false},
    {"SuffixLongerThanItsField", formulaBytes({0, 4, 7, 255, 255, 255, 255}, 16, 7), false},
    {"TextLongerThanItsField", formulaBytes({0, 4, 7, 255, 255, 255, 255}, 4, 21), false},
    {"AllFF", Bytes(44, 0xFF), false},
    {"AllZero", Bytes(44, 0), false},
};

class FormulaRecordRule : public testing::TestWithParam<RecordCase> {};

TEST_P(FormulaRecordRule, DecidesTheRecordAndTheFileNamesIt)
{
    const RecordCase& c = GetParam();
    EXPECT_EQ(formulaRecordValid(c.bytes.data()), c.valid);
    const DataDir dir;
    dir.replaceRecord("kqcd3.dat", 44, 40, c.bytes);
    std::string error;
    EXPECT_EQ(readFormulaFile(dir.dir() + "kqcd3.dat", &error).has_value(), c.valid) << error;
    const bool found = lookupChord(dir.dir(), 2, 0, &error).has_value();
    EXPECT_EQ(found, c.valid) << error;
    if (!c.valid) {
        EXPECT_EQ(error, "kqcd3.dat is damaged: record 40.");
    }
}

INSTANTIATE_TEST_SUITE_P(Records, FormulaRecordRule, testing::ValuesIn(kFormulaCases),
                         [](const testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

// ---- Scale records ---------------------------------------------------------------------------

// 37 bytes: ten intervals, then the formula (length byte and 26 characters).
Bytes scaleBytes(Bytes intervals, std::uint8_t formulaLength = 5)
{
    Bytes b(37, 'y');
    intervals.resize(10, 99);
    std::copy(intervals.begin(), intervals.end(), b.begin());
    b[10] = formulaLength;
    return b;
}

const std::vector<RecordCase> kScaleCases{
    {"Pentatonic", scaleBytes({0, 2, 4, 7, 9}), true},
    {"TenNotesWithoutAnEnd", scaleBytes({0, 1, 2, 3, 4, 5, 6, 7, 8, 11}, 26), true},
    {"RootAlone", scaleBytes({0}, 0), true},
    {"FirstIsNotTheRoot", scaleBytes({2, 4, 7}), false},
    {"BeyondTheOctave", scaleBytes({0, 4, 12}), false},
    {"Falling", scaleBytes({0, 7, 4}), false},
    {"Repeated", scaleBytes({0, 4, 4}), false},
    {"NoteAfterTheEnd", scaleBytes({0, 4, 7, 99, 9}), false},
    {"FormulaLongerThanItsField", scaleBytes({0, 4, 7}, 27), false},
    {"AllFF", Bytes(37, 0xFF), false},
    {"AllZero", Bytes(37, 0), false},
};

class ScaleRecordRule : public testing::TestWithParam<RecordCase> {};

TEST_P(ScaleRecordRule, DecidesTheRecordAndTheFileNamesIt)
{
    const RecordCase& c = GetParam();
    EXPECT_EQ(scaleRecordValid(c.bytes.data()), c.valid);
    const DataDir dir;
    dir.replaceRecord("kqs.dat", 37, 5, c.bytes);
    std::string error;
    EXPECT_EQ(readScaleRecord(dir.dir(), 30, &error).has_value(), c.valid) << error;
    if (!c.valid) {
        EXPECT_EQ(error, "kqs.dat is damaged: record 5.");
    }
}

INSTANTIATE_TEST_SUITE_P(Records, ScaleRecordRule, testing::ValuesIn(kScaleCases),
                         [](const testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

// ---- Sizes and the first bad record ----------------------------------------------------------

struct FileShape {
    const char* name;
    std::size_t recordSize;
    std::size_t records;
};

const std::vector<FileShape> kShapes{{"kqma1.dat", 13, 684}, {"kqmi2.dat", 13, 612}, {"kqdo1.dat", 13, 936},
                                     {"kqcd3.dat", 44, 62},  {"kqs.dat", 37, 47}};

TEST(DataFileSize, BytesAfterTheTableAreDamageAtTheFirstRecordPastIt)
{
    for (const FileShape& f : kShapes) {
        for (const std::size_t extra : {std::size_t{1}, f.recordSize, 3 * f.recordSize + 2}) {
            const DataDir dir;
            const std::string all = dir.read(f.name);
            // A copy of record 0 is a good record, but it is not part of the table.
            dir.write(f.name, all + (all + all).substr(0, extra));
            EXPECT_EQ(readerError(dir.dir(), f.name),
                      std::string(f.name) + " is damaged: record " + std::to_string(f.records) + ".")
                << f.name << " + " << extra;
        }
    }
}

TEST(DataFileSize, AFileFarBeyondAnyTableIsRefusedUnread)
{
    const DataDir dir;
    dir.write("kqcd3.dat", std::string(kDataFileLimit + 1, '\0'));
    EXPECT_EQ(readerError(dir.dir(), "kqcd3.dat"), "kqcd3.dat is damaged: record 62.");
}

TEST(DataFileSize, AShortFileKeepsItsShortFileMessage)
{
    const DataDir dir;
    const std::string path = dir.dir();
    for (const FileShape& f : kShapes)
        fs::resize_file(path + f.name, f.records * f.recordSize - 1);
    EXPECT_EQ(readerError(path, "kqma1.dat"), path + "kqma1.dat is too short: records 683..683 are not all there");
    EXPECT_EQ(readerError(path, "kqcd3.dat"),
              path + "kqcd3.dat holds 61 whole chord formulas of 62 (2727 bytes, 2728 needed)");
    EXPECT_EQ(readerError(path, "kqs.dat"),
              "Read beyond end of file: " + path + "kqs.dat holds no complete scale record 46 (bytes 1702 to 1738).");
    fs::resize_file(path + "kqmi2.dat", 0);
    EXPECT_EQ(readerError(path, "kqmi2.dat"), path + "kqmi2.dat is too short: records 0..611 are not all there");
}

TEST(DataFileSize, ACutFileIsShortEvenWhenItsRecordsAreDamaged)
{
    const DataDir dir;
    dir.replaceRecord("kqdo1.dat", 13, 3, Bytes(13, 0xFF));
    fs::resize_file(dir.file("kqdo1.dat"), 900 * 13);
    EXPECT_EQ(readerError(dir.dir(), "kqdo1.dat"), dir.dir() + "kqdo1.dat is too short: records 900..935 are not all there");
}

TEST(DataFileDamage, TheFirstBadRecordIsNamedEvenWhenBytesFollow)
{
    const DataDir dir;
    dir.replaceRecord("kqmi1.dat", 13, 400, Bytes(13, 0xFF));
    dir.replaceRecord("kqmi1.dat", 13, 17, Bytes(13, 0));
    dir.write("kqmi1.dat", dir.read("kqmi1.dat") + "trailing");
    EXPECT_EQ(readerError(dir.dir(), "kqmi1.dat"), "kqmi1.dat is damaged: record 17.");
    // Records are numbered from 0: the very first and the very last.
    dir.replaceRecord("kqs.dat", 37, 0, Bytes(37, 0xFF));
    EXPECT_EQ(readerError(dir.dir(), "kqs.dat"), "kqs.dat is damaged: record 0.");
    dir.replaceRecord("kqdo2.dat", 13, 935, Bytes(13, 0xFF));
    EXPECT_EQ(readerError(dir.dir(), "kqdo2.dat"), "kqdo2.dat is damaged: record 935.");
}

TEST(DataFileDamage, TheLookupReportsTheFirstFileOfTheFamilyFirst)
{
    const DataDir dir;
    dir.replaceRecord("kqdo2.dat", 13, 5, Bytes(13, 0xFF));
    std::string error;
    EXPECT_FALSE(lookupChord(dir.dir(), 36, 0, &error));
    EXPECT_EQ(error, "kqdo2.dat is damaged: record 5.");
    dir.replaceRecord("kqdo1.dat", 13, 9, Bytes(13, 0xFF));
    EXPECT_FALSE(lookupChord(dir.dir(), 36, 0, &error));
    EXPECT_EQ(error, "kqdo1.dat is damaged: record 9.");
    // Another family's files do not matter.
    EXPECT_TRUE(lookupChord(dir.dir(), 0, 0, &error)) << error;
}

// ---- Anything but a regular file -------------------------------------------------------------

// Runs `read` and returns its message; when it has not come back within two seconds (blocked on
// a FIFO), says so, and opens the FIFO for writing so that the blocked open returns.
std::string withinTwoSeconds(const std::string& fifo, std::function<std::string()> read)
{
    auto result = std::async(std::launch::async, std::move(read));
    if (result.wait_for(std::chrono::seconds(2)) == std::future_status::ready)
        return result.get();
    const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0)
        ::close(fd);
    result.wait();
    return "blocked on " + fifo;
}

class NotARegularFile : public testing::TestWithParam<std::string> {};

TEST_P(NotARegularFile, IsRefusedAtOnceNamingThePath)
{
    const DataDir dir;
    const std::string name = GetParam();
    const std::string path = dir.file(name);
    fs::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(withinTwoSeconds(path, [&] { return readerError(dir.dir(), name); }), path + " is not a regular file.");
    // The chord finder and the scale finder through the same readers.
    const std::string lookup = withinTwoSeconds(path, [&] {
        std::string error;
        if (name == kScaleFileName)
            readScaleRecord(dir.dir(), 3, &error);
        else
            lookupChord(dir.dir(), name.starts_with("kqmi") ? 19 : name.starts_with("kqdo") ? 36 : 0, 4, &error);
        return error;
    });
    EXPECT_EQ(lookup, path + " is not a regular file.");

    fs::remove(path);
    fs::create_directory(path);
    EXPECT_EQ(readerError(dir.dir(), name), path + " is not a regular file.");
}

INSTANTIATE_TEST_SUITE_P(Files, NotARegularFile, testing::ValuesIn(kAllFiles),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param.substr(0, info.param.find('.'));
                         });

}  // namespace
