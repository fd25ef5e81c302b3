// The chord data files: sizes, record addressing, the dictionary lookup and its failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "RecordBuilders.h"
#include "theory/ChordData.h"
#include "theory/ChordFormulas.h"
#include "theory/VoicingGenerator.h"

using namespace strumox::theory;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> readAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One generated program directory shared by the tests that only read it.
class ChordDataFiles : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = fs::temp_directory_path() / ("strumox-chord-data-" + std::to_string(::getpid()));
        fs::create_directories(s_dir);
        writeChordDataFiles(s_dir.string() + "/");
    }
    static void TearDownTestSuite() { fs::remove_all(s_dir); }

    static std::string appDir() { return s_dir.string() + "/"; }

    // A private copy of the directory that a test may damage.
    fs::path copyDir(const std::string& name) const
    {
        const fs::path to = s_dir.parent_path() / (s_dir.filename().string() + "-" + name);
        fs::remove_all(to);
        fs::copy(s_dir, to);
        return to;
    }

    static fs::path s_dir;
};

fs::path ChordDataFiles::s_dir;

// ---- Formula index and record numbers ----------------------------------------------------------

struct Address {
    const char* name;
    ChordFamily family;
    int type;
    int key;
    int formula;
    int record;
};

class RecordAddressing : public testing::TestWithParam<Address> {};

TEST_P(RecordAddressing, FamilyTypeAndKeyGiveFormulaAndRecord)
{
    const Address& a = GetParam();
    EXPECT_EQ(formulaIndex(a.family, a.type), a.formula);
    EXPECT_EQ(dictionaryRecordNumber(a.formula, a.key), a.record);
}

INSTANTIATE_TEST_SUITE_P(Chords, RecordAddressing,
                         testing::Values(Address{"CMajor", ChordFamily::Major, 0, 0, 0, 0},
                                         Address{"CMaj7", ChordFamily::Major, 2, 0, 2, 6},
                                         Address{"LastMajorTypeInB", ChordFamily::Major, 18, 11, 18, 11 * 57 + 54},
                                         Address{"DMinor7", ChordFamily::Minor, 1, 2, 20, 105},
                                         Address{"CMinor", ChordFamily::Minor, 0, 0, 19, 0},
                                         Address{"LastMinorTypeInB", ChordFamily::Minor, 16, 11, 35, 11 * 51 + 48},
                                         Address{"G7", ChordFamily::Dominant, 0, 7, 36, 7 * 78},
                                         Address{"B13susFlat9", ChordFamily::Dominant, 25, 11, 61, 933}),
                         [](const testing::TestParamInfo<Address>& info) { return std::string(info.param.name); });

TEST(RecordAddressing, OutOfRangeGivesMinusOne)
{
    EXPECT_EQ(formulaIndex(ChordFamily::Major, 19), -1);
    EXPECT_EQ(formulaIndex(ChordFamily::Minor, 17), -1);
    EXPECT_EQ(formulaIndex(ChordFamily::Dominant, 26), -1);
    EXPECT_EQ(formulaIndex(ChordFamily::Dominant, -1), -1);
    EXPECT_EQ(formulaIndex(ChordFamily::None, 0), -1);
    EXPECT_EQ(dictionaryRecordNumber(62, 0), -1);
    EXPECT_EQ(dictionaryRecordNumber(-1, 0), -1);
    EXPECT_EQ(dictionaryRecordNumber(0, 12), -1);
    EXPECT_EQ(dictionaryRecordNumber(0, -1), -1);
    EXPECT_EQ(dictionaryFilesOf(62), nullptr);
}

TEST(RecordAddressing, EachFamilyHasItsTwoFiles)
{
    EXPECT_EQ(dictionaryFilesOf(0)->first, "kqma1.dat");
    EXPECT_EQ(dictionaryFilesOf(18)->second, "kqma2.dat");
    EXPECT_EQ(dictionaryFilesOf(19)->first, "kqmi1.dat");
    EXPECT_EQ(dictionaryFilesOf(35)->second, "kqmi2.dat");
    EXPECT_EQ(dictionaryFilesOf(36)->first, "kqdo1.dat");
    EXPECT_EQ(dictionaryFilesOf(61)->second, "kqdo2.dat");
}

TEST(RecordAddressing, EveryChordHasItsOwnThreeRecords)
{
    for (const DictionaryFiles& files : kDictionaryFiles) {
        std::vector<int> used(12 * static_cast<size_t>(files.recordsPerKey), 0);
        for (int g = 0; g < 62; ++g) {
            if (dictionaryFilesOf(g) != &files)
                continue;
            for (int key = 0; key < 12; ++key)
                for (int i = 0; i < 3; ++i)
                    ++used.at(static_cast<size_t>(dictionaryRecordNumber(g, key) + i));
        }
        EXPECT_EQ(std::count(used.begin(), used.end(), 1), static_cast<long>(used.size())) << files.first;
    }
}

// ---- Record bytes -------------------------------------------------------------------------------

TEST(DictionaryRecord, KnownBytes)
{
    const Fingering f = strumox::testsupport::shapeFingering("x32010", "x32010", 1);
    const DictionaryRecordBytes b = dictionaryRecordBytes(f);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.end()),
              (std::vector<std::uint8_t>{1, 0, 0, 1, 1, 0, 0, 2, 2, 3, 3, 0, 5}));
    EXPECT_EQ(fingeringFromDictionaryRecord(b.data()), f);
}

// ---- The written files --------------------------------------------------------------------------

TEST_F(ChordDataFiles, HaveTheirFixedSizes)
{
    EXPECT_EQ(fs::file_size(s_dir / "kqcd3.dat"), 62u * 44u);
    for (const char* name : {"kqma1.dat", "kqma2.dat"})
        EXPECT_EQ(fs::file_size(s_dir / name), 684u * 13u) << name;
    for (const char* name : {"kqmi1.dat", "kqmi2.dat"})
        EXPECT_EQ(fs::file_size(s_dir / name), 612u * 13u) << name;
    for (const char* name : {"kqdo1.dat", "kqdo2.dat"})
        EXPECT_EQ(fs::file_size(s_dir / name), 936u * 13u) << name;
}

TEST_F(ChordDataFiles, LeaveNoTemporaryFilesBehind)
{
    for (const auto& entry : fs::directory_iterator(s_dir))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

TEST_F(ChordDataFiles, FormulaFileHoldsTheBuiltInTable)
{
    const auto records = readFormulaFile((s_dir / "kqcd3.dat").string(), nullptr);
    ASSERT_TRUE(records);
    EXPECT_EQ(*records, builtInFormulaRecords());
}

TEST_F(ChordDataFiles, DictionaryFilesHoldTheGeneratedFingeringsFirstThreeThenLastThree)
{
    const std::vector<FingeringSet> dictionary = generateDictionary();
    for (size_t i = 0; i < kDictionaryFiles.size(); ++i) {
        const auto first = readAll(s_dir / std::string(kDictionaryFiles[i].first));
        const auto second = readAll(s_dir / std::string(kDictionaryFiles[i].second));
        for (int g = 0; g < 62; ++g) {
            if (dictionaryFilesOf(g) != &kDictionaryFiles[i])
                continue;
            for (int key = 0; key < 12; ++key) {
                const auto r = static_cast<size_t>(dictionaryRecordNumber(g, key));
                const FingeringSet& six = dictionary[static_cast<size_t>(g) * 12 + static_cast<size_t>(key)];
                for (size_t j = 0; j < 3; ++j) {
                    EXPECT_EQ(fingeringFromDictionaryRecord(&first[(r + j) * 13]), six[j]) << g << " " << key;
                    EXPECT_EQ(fingeringFromDictionaryRecord(&second[(r + j) * 13]), six[j + 3]) << g << " " << key;
                }
            }
        }
    }
}

TEST_F(ChordDataFiles, AreTheSameBytesOnEveryRun)
{
    const fs::path again = copyDir("again");
    writeChordDataFiles(again.string() + "/");
    for (const char* name : {"kqcd3.dat", "kqma1.dat", "kqma2.dat", "kqmi1.dat", "kqmi2.dat", "kqdo1.dat", "kqdo2.dat"})
        EXPECT_EQ(readAll(again / name), readAll(s_dir / name)) << name;
    fs::remove_all(again);
}

// ---- Lookup -------------------------------------------------------------------------------------

TEST_F(ChordDataFiles, DMinorSeventhReadsRecords105To107AndFormula20)
{
    std::string error;
    const auto found = lookupChord(appDir(), 20, 2, &error);
    ASSERT_TRUE(found) << error;
    EXPECT_EQ(found->formula.suffix, "m7");
    EXPECT_EQ(found->formula, builtInFormulaRecords()[20]);
    const auto first = readAll(s_dir / "kqmi1.dat");
    const auto second = readAll(s_dir / "kqmi2.dat");
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(found->fingerings[i], fingeringFromDictionaryRecord(&first[(105 + i) * 13]));
        EXPECT_EQ(found->fingerings[i + 3], fingeringFromDictionaryRecord(&second[(105 + i) * 13]));
    }
}

TEST_F(ChordDataFiles, BThirteenSusFlatNineReadsTheLastThreeRecords)
{
    std::string error;
    const auto found = lookupChord(appDir(), 61, 11, &error);
    ASSERT_TRUE(found) << error;
    EXPECT_EQ(found->formula.suffix, "13sus(b9)");
    const auto first = readAll(s_dir / "kqdo1.dat");
    const auto second = readAll(s_dir / "kqdo2.dat");
    ASSERT_EQ(first.size(), 936u * 13u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(found->fingerings[i], fingeringFromDictionaryRecord(&first[first.size() - (3 - i) * 13]));
        EXPECT_EQ(found->fingerings[i + 3], fingeringFromDictionaryRecord(&second[second.size() - (3 - i) * 13]));
    }
}

TEST_F(ChordDataFiles, LookupGivesWhatTheGeneratorMade)
{
    const std::vector<std::pair<int, int>> chords{{0, 0}, {18, 11}, {19, 0}, {35, 6}, {36, 7}, {61, 0}};
    for (const auto& [g, key] : chords) {
        const auto found = lookupChord(appDir(), g, key, nullptr);
        ASSERT_TRUE(found) << g << " " << key;
        EXPECT_EQ(found->fingerings, chordFingerings(key, g)) << g << " " << key;
    }
}

struct MissingFile {
    const char* name;
    const char* removed;
    int formula;
};

class LookupWithout : public ChordDataFiles, public testing::WithParamInterface<MissingFile> {};

TEST_P(LookupWithout, AMissingDictionaryFileOfTheFamilyFails)
{
    const fs::path dir = copyDir(GetParam().name);
    fs::remove(dir / GetParam().removed);
    std::string error;
    EXPECT_FALSE(lookupChord(dir.string() + "/", GetParam().formula, 0, &error));
    EXPECT_EQ(error, "Could Not Find Chord Data Files.");
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Files, LookupWithout,
                         testing::Values(MissingFile{"MajorFirst", "kqma1.dat", 0},
                                         MissingFile{"MajorSecond", "kqma2.dat", 18},
                                         MissingFile{"MinorFirst", "kqmi1.dat", 20},
                                         MissingFile{"MinorSecond", "kqmi2.dat", 19},
                                         MissingFile{"DominantFirst", "kqdo1.dat", 36},
                                         MissingFile{"DominantSecond", "kqdo2.dat", 61}),
                         [](const testing::TestParamInfo<MissingFile>& info) { return std::string(info.param.name); });

TEST_F(ChordDataFiles, AnotherFamilysMissingFileDoesNotMatter)
{
    const fs::path dir = copyDir("other-family");
    fs::remove(dir / "kqdo1.dat");
    EXPECT_TRUE(lookupChord(dir.string() + "/", 20, 2, nullptr));
    fs::remove_all(dir);
}

TEST_F(ChordDataFiles, AFormulaIndexOutsideTheTableFailsAsMissingData)
{
    for (int g : {-1, 62, 100}) {
        std::string error;
        EXPECT_FALSE(lookupChord(appDir(), g, 0, &error)) << g;
        EXPECT_EQ(error, "Could Not Find Chord Data Files.");
    }
    std::string error;
    EXPECT_FALSE(lookupChord(appDir(), 0, 12, &error));
    EXPECT_NE(error.find("12"), std::string::npos) << error;
}

TEST_F(ChordDataFiles, AMissingFormulaFileNamesIt)
{
    const fs::path dir = copyDir("no-formulas");
    fs::remove(dir / "kqcd3.dat");
    std::string error;
    EXPECT_FALSE(lookupChord(dir.string() + "/", 0, 0, &error));
    EXPECT_NE(error.find("kqcd3.dat"), std::string::npos) << error;
    fs::remove_all(dir);
}

TEST_F(ChordDataFiles, AShortDictionaryFileIsReportedNotReadPastItsEnd)
{
    const fs::path dir = copyDir("short");
    fs::resize_file(dir / "kqdo2.dat", 933 * 13 + 20);  // the last chord's records cut off
    const std::string path = (dir / "kqdo2.dat").string();
    std::string error;
    EXPECT_FALSE(lookupChord(dir.string() + "/", 61, 11, &error));
    EXPECT_EQ(error, path + " is too short: records 934..935 are not all there");
    // The file is checked whole: a chord whose own records survived the cut is refused too.
    error.clear();
    EXPECT_FALSE(lookupChord(dir.string() + "/", 61, 10, &error));
    EXPECT_EQ(error, path + " is too short: records 934..935 are not all there");
    fs::remove_all(dir);
}

TEST(WriteChordDataFiles, ANonexistentDirectoryIsAnError)
{
    EXPECT_THROW(writeChordDataFiles("/nonexistent-strumox-dir/"), std::runtime_error);
}

}  // namespace
