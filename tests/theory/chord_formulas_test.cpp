#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "theory/ChordFormulas.h"
#include "theory/ChordTypes.h"

using namespace strumox::theory;
namespace fs = std::filesystem;

namespace {

std::vector<int> entries(const IntervalList& list)
{
    std::vector<int> out;
    for (auto v : list) {
        if (v == kNoInterval)
            break;
        out.push_back(v);
    }
    return out;
}

// Degree names as a player writes them, to semitones above the root (compound where the degree
// lies above the octave).
const std::map<std::string, int> kDegrees{
    {"1", 0},   {"b3", 3},  {"3", 4},   {"4", 5},   {"b5", 6},   {"5", 7},  {"#5", 8},  {"6", 9},
    {"b7", 10}, {"7", 11},  {"b9", 13}, {"9", 14},  {"#9", 15},  {"11", 17}, {"#11", 18}, {"13", 21}};

std::vector<int> degreesOf(const std::string& text)
{
    std::vector<int> out;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        const auto it = kDegrees.find(word);
        out.push_back(it == kDegrees.end() ? -1 : it->second);
    }
    return out;
}

// A reader of chord symbols that works the name out piece by piece, the way the menu captions
// are meant: quality prefix, a number stacking thirds, "sus", "add" and alterations. Built apart
// from the table so that the two can be compared.
std::set<int> readChordName(std::string name)
{
    std::set<int> tones{0, 4, 7};
    if (name == "major")
        return tones;
    if (name == "minor")
        return {0, 3, 7};
    if (name == "aug(+)")
        return {0, 4, 8};
    if (name == "dim(o)")
        return {0, 3, 6};
    if (name == "o(addmaj7)")
        return {0, 3, 6, 11};
    auto take = [&](const std::string& prefix) {
        if (!name.starts_with(prefix))
            return false;
        name.erase(0, prefix.size());
        return true;
    };
    auto remove = [&](const std::string& piece) {
        const auto at = name.find(piece);
        if (at == std::string::npos)
            return false;
        name.erase(at, piece.size());
        return true;
    };
    bool majorSeventh = take("maj");
    if (!majorSeventh && take("m")) {
        tones.erase(4);
        tones.insert(3);
    }
    // Stacked numbers: "6/9", "7/6" first, then a plain number.
    if (take("6/9")) {
        tones.insert({9, 14});
    } else if (take("7/6")) {
        tones.insert({9, 10});
    } else {
        int number = 0;
        while (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) {
            number = number * 10 + (name[0] - '0');
            name.erase(0, 1);
        }
        if (number == 6)
            tones.insert(9);
        if (number >= 7)
            tones.insert(majorSeventh ? 11 : 10);
        if (number >= 9)
            tones.insert(14);
        if (number == 11 || (number == 13 && tones.count(3)))
            tones.insert(17);  // a thirteenth over a major third drops the 11
        if (number == 13)
            tones.insert(21);
    }
    // "(maj7)" after a minor name makes its seventh major.
    if (remove("(maj7)")) {
        tones.erase(10);
        tones.insert(11);
    }
    if (remove("sus(add3/add9)")) {
        tones.insert({5, 14});
    } else if (remove("sus4") || remove("sus")) {
        tones.erase(4);
        tones.insert(5);
    }
    for (const auto& [piece, add] : std::vector<std::pair<std::string, int>>{
             {"addmaj7", 11}, {"add13", 21}, {"add11", 17}, {"add9", 14}}) {
        if (remove(piece))
            tones.insert(add);
    }
    // Alterations replace the plain tone they name.
    for (const auto& [piece, plain, altered] : std::vector<std::tuple<std::string, int, int>>{
             {"#11", 17, 18}, {"b5", 7, 6}, {"#5", 7, 8}, {"b9", 14, 13}, {"#9", 14, 15}}) {
        if (remove(piece)) {
            tones.erase(plain);
            tones.insert(altered);
        }
    }
    name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == '(' || c == ')'; }), name.end());
    EXPECT_EQ(name, "") << "the reader left part of the name unread";
    return tones;
}

// ---- The table: order, captions and lists well formed -------------------------------------

TEST(ChordFormulaTable, SuffixesAreTheMenuCaptionsInFormulaOrder)
{
    ASSERT_EQ(chordFormulas().size(), 62u);
    for (int g = 0; g < kChordTypeCount; ++g)
        EXPECT_EQ(chordFormulas()[static_cast<size_t>(g)].suffix, kChordTypeCaptions[static_cast<size_t>(g)]) << g;
}

TEST(ChordFormulaTable, IntervalListsStartAtTheRootRiseAndEndWith255)
{
    for (const ChordFormula& f : chordFormulas()) {
        SCOPED_TRACE(std::string(f.suffix));
        const std::vector<int> e = entries(f.intervals);
        ASSERT_GE(e.size(), 3u);
        EXPECT_EQ(e.front(), 0);
        EXPECT_TRUE(std::is_sorted(e.begin(), e.end()) && std::adjacent_find(e.begin(), e.end()) == e.end());
        EXPECT_LE(e.back(), 21);
        for (size_t i = e.size(); i < 7; ++i)
            EXPECT_EQ(f.intervals[i], kNoInterval) << "entry " << i;
        // No pitch class twice (a 9 and a 2 together would be one note).
        std::set<int> classes;
        for (int v : e)
            classes.insert(v % 12);
        EXPECT_EQ(classes.size(), e.size());
        EXPECT_EQ(intervalCount(f.intervals), static_cast<int>(e.size()));
    }
}

TEST(ChordFormulaTable, TextsAndSuffixesFitTheirFields)
{
    for (const ChordFormula& f : chordFormulas()) {
        EXPECT_LE(f.suffix.size(), 15u) << f.suffix;
        EXPECT_LE(f.text.size(), 20u) << f.text;
        EXPECT_FALSE(f.text.empty());
    }
}

TEST(ChordFormulaTable, TextSpellsTheIntervalList)
{
    for (const ChordFormula& f : chordFormulas()) {
        SCOPED_TRACE(std::string(f.suffix) + " / " + std::string(f.text));
        EXPECT_EQ(degreesOf(std::string(f.text)), entries(f.intervals));
    }
}

TEST(ChordFormulaTable, EveryNameReadsAsItsIntervals)
{
    for (const ChordFormula& f : chordFormulas()) {
        const std::vector<int> e = entries(f.intervals);
        EXPECT_EQ(readChordName(std::string(f.suffix)), std::set<int>(e.begin(), e.end())) << f.suffix;
    }
}

TEST(ChordFormulaTable, FamiliesHaveTheirThird)
{
    // Minor types carry a minor third and no major one; the others a major third or a fourth.
    for (int g = 0; g < kChordTypeCount; ++g) {
        const std::uint16_t mask = pitchClassMask(chordFormulas()[static_cast<size_t>(g)].intervals);
        const bool minor = g >= 19 && g < 36;
        SCOPED_TRACE(kChordTypeCaptions[static_cast<size_t>(g)]);
        if (minor) {
            EXPECT_TRUE(mask & (1u << 3));
            EXPECT_FALSE(mask & (1u << 4));
        } else {
            EXPECT_TRUE(mask & ((1u << 4) | (1u << 5)));
        }
    }
}

TEST(ChordFormulaTable, OnlyTheFifthAndUnnamedExtensionsMayBeLeftOut)
{
    for (const ChordFormula& f : chordFormulas()) {
        SCOPED_TRACE(std::string(f.suffix));
        const std::vector<int> e = entries(f.intervals);
        const std::string s(f.suffix);
        const bool eleventh = std::count(e.begin(), e.end(), 17) > 0;
        const bool thirteenth = std::count(e.begin(), e.end(), 21) > 0;
        // "9" in the name, other than a b9 or #9, asks for the ninth.
        bool namesNinth = false;
        for (size_t i = s.find('9'); i != std::string::npos; i = s.find('9', i + 1))
            namesNinth = namesNinth || i == 0 || (s[i - 1] != 'b' && s[i - 1] != '#');
        std::set<int> expected;
        for (int v : e) {
            if (v == 7 && e.size() >= 4)
                expected.insert(v);
            if (v == 14 && (eleventh || thirteenth) && !namesNinth)
                expected.insert(v);
            if (v == 17 && thirteenth)
                expected.insert(v);
        }
        const std::vector<int> omit = entries(f.mayOmit);
        EXPECT_EQ(std::set<int>(omit.begin(), omit.end()), expected);
    }
}

TEST(ChordFormulaTable, PitchClassMaskFoldsCompoundIntervals)
{
    EXPECT_EQ(pitchClassMask(IntervalList{0, 4, 7, 10, 14, 21, 255}), (1u << 0) | (1u << 4) | (1u << 7) | (1u << 10) |
                                                                          (1u << 2) | (1u << 9));
    EXPECT_EQ(pitchClassMask(IntervalList{0, 255, 255, 255, 255, 255, 255}), 1u);
    EXPECT_EQ(intervalCount(IntervalList{255, 255, 255, 255, 255, 255, 255}), 0);
    EXPECT_EQ(intervalCount(IntervalList{0, 1, 2, 3, 4, 5, 6}), 7);
}

// ---- Formula record bytes --------------------------------------------------------------------

TEST(FormulaRecord, KnownBytesOfAMaj7Record)
{
    const FormulaRecord r{IntervalList{0, 4, 7, 11, 255, 255, 255}, "maj7", "1 3 5 7"};
    const auto b = r.toBytes();
    ASSERT_EQ(b.size(), 44u);
    const std::vector<std::uint8_t> head(b.begin(), b.begin() + 12);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{0, 4, 7, 11, 255, 255, 255, 4, 'm', 'a', 'j', '7'}));
    for (size_t i = 12; i < 23; ++i)
        EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(b[23], 7);
    EXPECT_EQ(std::string(b.begin() + 24, b.begin() + 31), "1 3 5 7");
    for (size_t i = 31; i < 44; ++i)
        EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(FormulaRecord::fromBytes(b.data()), r);
}

TEST(FormulaRecord, LongTextsAreCutToTheirFields)
{
    const FormulaRecord r{IntervalList{0, 3, 255, 255, 255, 255, 255}, "abcdefghijklmnopq", "123456789012345678901234"};
    const FormulaRecord back = FormulaRecord::fromBytes(r.toBytes().data());
    EXPECT_EQ(back.suffix, "abcdefghijklmno");
    EXPECT_EQ(back.text, "12345678901234567890");
}

TEST(FormulaRecord, ADamagedLengthByteReadsAsTheWholeField)
{
    auto b = FormulaRecord{IntervalList{0, 255, 255, 255, 255, 255, 255}, "m", "1"}.toBytes();
    b[7] = 200;
    b[23] = 99;
    const FormulaRecord r = FormulaRecord::fromBytes(b.data());
    EXPECT_EQ(r.suffix.size(), 15u);
    EXPECT_EQ(r.text.size(), 20u);
}

TEST(FormulaRecord, EveryBuiltInRecordSurvivesARoundTrip)
{
    const auto records = builtInFormulaRecords();
    ASSERT_EQ(records.size(), 62u);
    for (size_t g = 0; g < records.size(); ++g) {
        EXPECT_EQ(FormulaRecord::fromBytes(records[g].toBytes().data()), records[g]) << g;
        EXPECT_EQ(records[g].suffix, kChordTypeCaptions[g]);
    }
}

// ---- Reading the formula file ----------------------------------------------------------------

class FormulaFile : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("strumox-formulas-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string write(size_t records, const std::string& name = "kqcd3.dat")
    {
        const auto all = builtInFormulaRecords();
        std::ofstream out(m_dir / name, std::ios::binary);
        for (size_t g = 0; g < records; ++g) {
            const auto b = all[g % all.size()].toBytes();
            out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        }
        return (m_dir / name).string();
    }

    fs::path m_dir;
};

TEST_F(FormulaFile, AWholeFileReadsAsTheBuiltInTable)
{
    std::string error;
    const auto records = readFormulaFile(write(62), &error);
    ASSERT_TRUE(records) << error;
    EXPECT_EQ(*records, builtInFormulaRecords());
}

TEST_F(FormulaFile, BytesAfterTheLastRecordMakeTheFileDamaged)
{
    std::string error;
    EXPECT_FALSE(readFormulaFile(write(63), &error));
    EXPECT_EQ(error, "kqcd3.dat is damaged: record 62.");
}

TEST_F(FormulaFile, AShortFileGivesNothingAndSaysHowMuchIsThere)
{
    std::string error;
    const std::string path = write(61);
    EXPECT_FALSE(readFormulaFile(path, &error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("61"), std::string::npos) << error;
    EXPECT_NE(error.find("62"), std::string::npos) << error;
}

TEST_F(FormulaFile, AMissingFileNamesThePath)
{
    std::string error;
    const std::string path = (m_dir / "kqcd3.dat").string();
    EXPECT_FALSE(readFormulaFile(path, &error));
    EXPECT_NE(error.find("Cannot open " + path), std::string::npos) << error;
    EXPECT_FALSE(readFormulaRecord(path, 0, &error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
}

TEST_F(FormulaFile, SingleRecordsAreAddressedByFormulaIndex)
{
    const std::string path = write(62);
    const auto all = builtInFormulaRecords();
    for (int g : {0, 20, 36, 61}) {
        const auto r = readFormulaRecord(path, g, nullptr);
        ASSERT_TRUE(r) << g;
        EXPECT_EQ(*r, all[static_cast<size_t>(g)]);
    }
    std::string error;
    EXPECT_FALSE(readFormulaRecord(path, 62, &error));
    EXPECT_FALSE(readFormulaRecord(path, -1, &error));
    EXPECT_FALSE(readFormulaRecord(write(20, "short.dat"), 20, &error));
    EXPECT_NE(error.find("too short"), std::string::npos) << error;
}

}  // namespace
