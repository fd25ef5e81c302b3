// The 47 built-in scales and the scale file "kqs.dat".
#include "theory/ScaleData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TempDir.h"

namespace fs = std::filesystem;
using namespace strumox::theory;
using strumox::testsupport::TempDir;

namespace {

int indexOf(std::string_view name)
{
    const auto it = std::find(kScaleNames.begin(), kScaleNames.end(), name);
    if (it == kScaleNames.end())
        throw std::logic_error("no scale named " + std::string(name));
    return static_cast<int>(it - kScaleNames.begin());
}

std::vector<int> notesOf(const ScaleDefinition& s)
{
    return {s.intervals.begin(), s.intervals.begin() + s.noteCount()};
}

std::vector<int> notesOf(std::string_view name)
{
    return notesOf(builtInScales()[static_cast<size_t>(indexOf(name))]);
}

// The scale started from its k-th note (k = 0 is the scale itself), as intervals from that note.
std::vector<int> mode(const std::vector<int>& parent, size_t k)
{
    std::vector<int> out;
    for (size_t i = 0; i < parent.size(); ++i)
        out.push_back((parent[(k + i) % parent.size()] - parent[k] + 12) % 12);
    return out;
}

// A formula degree read the way a musician reads it, without the program's tables: the degree's
// place in the major scale, lowered by each 'b' and raised by each '#'.
struct Degree {
    int number;     // 1..13
    int semitones;  // above the root
};

std::optional<Degree> parseDegree(const std::string& token)
{
    static constexpr int kMajor[] = {0, 2, 4, 5, 7, 9, 11};
    size_t i = 0;
    int shift = 0;
    for (; i < token.size() && (token[i] == 'b' || token[i] == '#'); ++i)
        shift += token[i] == 'b' ? -1 : 1;
    if (i == token.size() || token.size() - i > 2)
        return std::nullopt;
    int number = 0;
    for (; i < token.size(); ++i) {
        if (token[i] < '0' || token[i] > '9')
            return std::nullopt;
        number = number * 10 + (token[i] - '0');
    }
    if (number < 1 || number > 13)
        return std::nullopt;
    const int octave = (number - 1) / 7;
    return Degree{number, 12 * octave + kMajor[(number - 1) % 7] + shift};
}

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

std::string testName(int index)
{
    std::string name;
    for (const char c : kScaleNames[static_cast<size_t>(index)])
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return std::to_string(index) + "_" + name;
}

// ---- Every scale of the table ----------------------------------------------------------------

class EveryScale : public testing::TestWithParam<int> {
protected:
    const ScaleDefinition& scale() const { return builtInScales()[static_cast<size_t>(GetParam())]; }
};

TEST_P(EveryScale, IntervalsRiseFromTheRootWithinOneOctaveThenEndWith99)
{
    const auto& iv = scale().intervals;
    const int n = scale().noteCount();
    ASSERT_GE(n, 4) << "a scale needs more than a chord's worth of notes";
    EXPECT_EQ(iv[0], 0);
    for (int i = 1; i < n; ++i) {
        EXPECT_GT(iv[size_t(i)], iv[size_t(i - 1)]) << "entry " << i;
        EXPECT_LT(iv[size_t(i)], 12) << "entry " << i;
    }
    for (size_t i = size_t(n); i < iv.size(); ++i)
        EXPECT_EQ(iv[i], kScaleListEnd) << "entry " << i;
}

TEST_P(EveryScale, FormulaSpellsTheIntervalsDegreeByDegree)
{
    const std::string& formula = scale().formula;
    EXPECT_LE(formula.size(), ScaleDefinition::kFormulaCapacity);
    ASSERT_FALSE(formula.empty());
    EXPECT_NE(formula.front(), ' ');
    EXPECT_NE(formula.back(), ' ');
    EXPECT_EQ(formula.find("  "), std::string::npos) << "single blanks between degrees";

    const std::vector<std::string> tokens = words(formula);
    ASSERT_EQ(static_cast<int>(tokens.size()), scale().noteCount()) << formula;
    int lastNumber = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const auto d = parseDegree(tokens[i]);
        ASSERT_TRUE(d) << "unreadable degree '" << tokens[i] << "' in " << formula;
        EXPECT_EQ(d->semitones, scale().intervals[i]) << "degree '" << tokens[i] << "' in " << formula;
        EXPECT_GE(d->number, lastNumber) << "degrees out of order in " << formula;
        EXPECT_LE(d->number, 7) << "simple degrees only: " << formula;
        lastNumber = d->number;
    }
    EXPECT_EQ(tokens.front(), "1");
}

// A seven-note scale is spelled with each of the seven letters once, so its formula names each
// degree 1..7 once; a doubled number would mean a misspelling like "b3 3" in a heptatonic scale.
TEST(ScaleTable, SevenNoteScalesUseEachDegreeOnce)
{
    int checked = 0;
    for (int i = 0; i < kScaleCount; ++i) {
        const ScaleDefinition& s = builtInScales()[size_t(i)];
        if (s.noteCount() != 7)
            continue;
        ++checked;
        std::vector<int> numbers;
        for (const auto& t : words(s.formula))
            numbers.push_back(parseDegree(t).value_or(Degree{0, 0}).number);
        EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 6, 7})) << kScaleNames[size_t(i)] << ": " << s.formula;
    }
    EXPECT_GE(checked, 30) << "most of the menu is seven-note scales";
}

TEST_P(EveryScale, BytesRoundTrip)
{
    const auto bytes = scale().toBytes();
    EXPECT_EQ(ScaleDefinition::fromBytes(bytes.data()), scale());
}

INSTANTIATE_TEST_SUITE_P(Table, EveryScale, testing::Range(0, kScaleCount),
                         [](const testing::TestParamInfo<int>& info) { return testName(info.param); });

TEST(ScaleTable, HasOneScaleForEachMenuItem)
{
    EXPECT_EQ(builtInScales().size(), kScaleNames.size());
    EXPECT_EQ(kScaleNames[23], "Enigmatic") << "first item of More Scales...";
}

// ---- How the scales relate: modes and relatives ----------------------------------------------

struct ModeCase {
    const char* scale;
    const char* parent;
    size_t startNote;  // index into the parent's notes (0 = its root)
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << c.scale << " = " << c.parent << " from note " << c.startNote;
}

class Modes : public testing::TestWithParam<ModeCase> {};

TEST_P(Modes, ScaleIsItsParentStartedFromAnotherNote)
{
    const ModeCase& c = GetParam();
    EXPECT_EQ(notesOf(c.scale), mode(notesOf(c.parent), c.startNote)) << c.scale << " from " << c.parent;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Modes,
    testing::Values(
        // The church modes are the major scale from each of its degrees.
        ModeCase{"Dorian (Minor)", "Ionian (Major)", 1}, ModeCase{"Phrygian", "Ionian (Major)", 2},
        ModeCase{"Lydian", "Ionian (Major)", 3}, ModeCase{"Mixolydian", "Ionian (Major)", 4},
        ModeCase{"Aeolian (Natural Minor)", "Ionian (Major)", 5}, ModeCase{"Locrian", "Ionian (Major)", 6},
        // Harmonic minor from its 2nd..7th degree.
        ModeCase{"HM 2", "Harmonic Minor (HM)", 1}, ModeCase{"HM 3", "Harmonic Minor (HM)", 2},
        ModeCase{"HM 4", "Harmonic Minor (HM)", 3}, ModeCase{"HM 5", "Harmonic Minor (HM)", 4},
        ModeCase{"HM 6", "Harmonic Minor (HM)", 5}, ModeCase{"HM 7", "Harmonic Minor (HM)", 6},
        // Melodic minor from its 2nd..7th degree.
        ModeCase{"JM 2", "Jazz/Melodic Minor (JM)", 1}, ModeCase{"JM 3", "Jazz/Melodic Minor (JM)", 2},
        ModeCase{"JM 4 (Overtone)", "Jazz/Melodic Minor (JM)", 3}, ModeCase{"JM 5", "Jazz/Melodic Minor (JM)", 4},
        ModeCase{"JM 6", "Jazz/Melodic Minor (JM)", 5},
        ModeCase{"JM 7 (Super Locrian)", "Jazz/Melodic Minor (JM)", 6},
        // Same notes under another name.
        ModeCase{"Ascending Minor", "Jazz/Melodic Minor (JM)", 0}, ModeCase{"Half Diminished", "JM 6", 0},
        // Relatives: minor pentatonic from the major's 6th, the major blues from the minor blues'
        // b3, half-whole from the whole-half scale's second note.
        ModeCase{"Minor Pentatonic", "Major Pentatonic", 4}, ModeCase{"Blues 2", "Blues Pentatonic", 1},
        ModeCase{"Half-Whole", "Diminished", 1}),
    [](const testing::TestParamInfo<ModeCase>& info) {
        std::string n;
        for (const char c : std::string(info.param.scale))
            n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return n;
    });

// Derived scales stated by what they change in a simpler one.
TEST(ScaleRelations, ScalesDefinedAsAlterationsOfOthers)
{
    auto with = [](std::vector<int> notes, int from, int to) {
        std::replace(notes.begin(), notes.end(), from, to);
        std::sort(notes.begin(), notes.end());
        return notes;
    };
    auto plus = [](std::vector<int> notes, int added) {
        notes.push_back(added);
        std::sort(notes.begin(), notes.end());
        return notes;
    };
    const auto minor = notesOf("Aeolian (Natural Minor)");
    EXPECT_EQ(notesOf("Harmonic Minor (HM)"), with(minor, 10, 11)) << "natural minor with a raised 7th";
    EXPECT_EQ(notesOf("Jazz/Melodic Minor (JM)"), with(with(minor, 10, 11), 8, 9)) << "raised 6th and 7th";
    EXPECT_EQ(notesOf("Hungarian Minor"), with(notesOf("Harmonic Minor (HM)"), 5, 6)) << "harmonic minor #4";
    EXPECT_EQ(notesOf("Neopolitan Minor"), with(notesOf("Harmonic Minor (HM)"), 2, 1)) << "harmonic minor b2";
    EXPECT_EQ(notesOf("Neopolitan Major"), with(notesOf("Jazz/Melodic Minor (JM)"), 2, 1)) << "melodic minor b2";
    EXPECT_EQ(notesOf("Double Harmonic"), with(notesOf("HM 5"), 10, 11)) << "Phrygian dominant with a major 7th";
    EXPECT_EQ(notesOf("13b9"), with(notesOf("Mixolydian"), 2, 1)) << "Mixolydian b9";
    EXPECT_EQ(notesOf("Major Locrian"), with(with(with(notesOf("Ionian (Major)"), 7, 6), 9, 8), 11, 10))
        << "major with b5, b6 and b7";
    EXPECT_EQ(notesOf("Lydian Minor"), with(with(notesOf("Lydian"), 9, 8), 11, 10)) << "Lydian with b6 and b7";
    EXPECT_EQ(notesOf("Blues Pentatonic"), plus(notesOf("Minor Pentatonic"), 6)) << "minor pentatonic + b5";
    EXPECT_EQ(notesOf("Blues 2"), plus(notesOf("Major Pentatonic"), 3)) << "major pentatonic + b3";
    EXPECT_EQ(notesOf("Spanish"), plus(notesOf("HM 5"), 3)) << "Phrygian dominant + minor third";
    EXPECT_EQ(notesOf("Prometheus"), with(notesOf("Whole Tone"), 8, 9)) << "whole tone with 6 for #5";
    EXPECT_EQ(notesOf("Plain Mi7b5"), (std::vector<int>{0, 3, 6, 10})) << "the m7b5 chord tones";
}

// Symmetric scales repeat themselves when moved by part of an octave, and only then; this pins
// down which diminished scale and which Messiaen mode each entry is.
TEST(ScaleRelations, SymmetricScalesRepeatAtTheirOwnStepOnly)
{
    auto transposes = [](const std::vector<int>& notes, int by) {
        std::set<int> moved;
        for (const int n : notes)
            moved.insert((n + by) % 12);
        return moved == std::set<int>(notes.begin(), notes.end());
    };
    struct Case {
        const char* scale;
        int smallestRepeat;
    };
    for (const Case& c : {Case{"Whole Tone", 2}, Case{"Diminished", 3}, Case{"Half-Whole", 3}, Case{"Messiaen", 4},
                          Case{"Ionian (Major)", 12}, Case{"Enigmatic", 12}}) {
        const auto notes = notesOf(c.scale);
        for (int by = 1; by < 12; ++by)
            EXPECT_EQ(transposes(notes, by), by % c.smallestRepeat == 0) << c.scale << " moved by " << by;
    }
    EXPECT_EQ(notesOf("Messiaen").size(), 9u) << "the third mode has nine notes";
}

TEST(ScaleRelations, NoteCountsOfTheScaleFamilies)
{
    struct Case {
        const char* scale;
        int notes;
    };
    for (const Case& c : {Case{"Major Pentatonic", 5}, Case{"Minor Pentatonic", 5}, Case{"Kumoi", 5},
                          Case{"Hirajoshi", 5}, Case{"Pelog", 5}, Case{"Blues Pentatonic", 6}, Case{"Blues 2", 6},
                          Case{"Whole Tone", 6}, Case{"Prometheus", 6}, Case{"Diminished", 8}, Case{"Half-Whole", 8},
                          Case{"Spanish", 8}, Case{"Enigmatic", 7}, Case{"Oriental", 7}})
        EXPECT_EQ(static_cast<int>(notesOf(c.scale).size()), c.notes) << c.scale;
}

// ---- Record bytes ----------------------------------------------------------------------------

TEST(ScaleRecordBytes, LayoutIsTenIntervalsThenAShortString)
{
    ScaleDefinition d;
    d.intervals = {0, 3, 5, 7, 10, 99, 99, 99, 99, 99};
    d.formula = "1 b3 4 5 b7";
    const auto b = d.toBytes();
    ASSERT_EQ(b.size(), 37u);
    const std::vector<std::uint8_t> head{0, 3, 5, 7, 10, 99, 99, 99, 99, 99, 11, '1', ' ', 'b', '3', ' ', '4',
                                         ' ', '5', ' ', 'b', '7'};
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + long(head.size())), head);
    EXPECT_TRUE(std::all_of(b.begin() + long(head.size()), b.end(), [](auto x) { return x == 0; }))
        << "unused formula bytes are written as zero";
}

TEST(ScaleRecordBytes, LongFormulaIsCutToTheField)
{
    ScaleDefinition d;
    d.formula = std::string(30, 'x');
    const auto b = d.toBytes();
    EXPECT_EQ(b[10], 26);
    EXPECT_EQ(ScaleDefinition::fromBytes(b.data()).formula, std::string(26, 'x'));
}

TEST(ScaleRecordBytes, DamagedLengthByteReadsTheWholeField)
{
    ScaleDefinition::Bytes b{};
    b[10] = 200;
    std::fill(b.begin() + 11, b.end(), 'y');
    EXPECT_EQ(ScaleDefinition::fromBytes(b.data()).formula, std::string(26, 'y'));
}

// ---- The scale file --------------------------------------------------------------------------

TEST(ScaleFile, HoldsOneRecordPerScaleInMenuOrderAndEachReadsBack)
{
    const TempDir dir;
    writeScaleFile(dir.dir());
    const std::string bytes = dir.read("kqs.dat");
    ASSERT_EQ(bytes.size(), 47u * 37u);
    EXPECT_FALSE(fs::exists(dir.dir() + "kqs.dat.tmp"));
    for (int i = 0; i < kScaleCount; ++i) {
        const auto expected = builtInScales()[size_t(i)].toBytes();
        EXPECT_EQ(bytes.substr(size_t(i) * 37, 37), std::string(expected.begin(), expected.end())) << "record " << i;
        std::string error;
        const auto r = readScaleRecord(dir.dir(), i, &error);
        ASSERT_TRUE(r) << i << ": " << error;
        EXPECT_EQ(*r, builtInScales()[size_t(i)]) << i;
    }
}

TEST(ScaleFile, RecordTwentyThreeIsTheEnigmaticScale)
{
    const TempDir dir;
    writeScaleFile(dir.dir());
    const auto r = readScaleRecord(dir.dir(), 23, nullptr);
    ASSERT_TRUE(r);
    // Verdi's enigmatic scale, ascending: C Db E F# G# A# B.
    EXPECT_EQ(notesOf(*r), (std::vector<int>{0, 1, 4, 6, 8, 10, 11}));
    EXPECT_EQ(r->formula, "1 b2 3 #4 #5 #6 7");
}

TEST(ScaleFile, ReplacesAnOlderFile)
{
    const TempDir dir;
    std::ofstream(dir.dir() + "kqs.dat", std::ios::binary) << std::string(5000, '\x7f');
    writeScaleFile(dir.dir());
    EXPECT_EQ(dir.read("kqs.dat").size(), 47u * 37u);
    EXPECT_EQ(readScaleRecord(dir.dir(), 0, nullptr), builtInScales()[0]);
}

TEST(ScaleFile, UnwritableDirectoryThrows)
{
    const TempDir dir;
    EXPECT_THROW(writeScaleFile(dir.dir() + "missing/"), std::runtime_error);
}

TEST(ScaleFile, MissingFileGivesTheUsersMessage)
{
    const TempDir dir;
    std::string error;
    EXPECT_FALSE(readScaleRecord(dir.dir(), 0, &error));
    EXPECT_EQ(error, "Could Not Find Scale Data File.");
}

TEST(ScaleFile, ShortFileFailsForEveryRecordNamingTheFirstItLacks)
{
    const TempDir dir;
    writeScaleFile(dir.dir());
    fs::resize_file(dir.dir() + "kqs.dat", 40 * 37 + 20);  // 40 whole records and part of one

    // The file is checked whole, so records before the cut fail as well.
    for (const int index : {0, 39, 40, 46}) {
        std::string error;
        EXPECT_FALSE(readScaleRecord(dir.dir(), index, &error)) << index;
        EXPECT_EQ(error, "Read beyond end of file: " + dir.dir() +
                             "kqs.dat holds no complete scale record 40 (bytes 1480 to 1516).");
    }
}

TEST(ScaleFile, NegativeIndexIsRefused)
{
    const TempDir dir;
    writeScaleFile(dir.dir());
    std::string error;
    EXPECT_FALSE(readScaleRecord(dir.dir(), -1, &error));
    EXPECT_FALSE(error.empty());
}

// ---- Tuning name of a new row ----------------------------------------------------------------

TEST(ScaleRowTuningName, ABlankBeforeEachStringFromTheLowest)
{
    struct Case {
        const char* what;
        Tuning tuning;
        Spelling spelling;
        const char* expected;
    };
    for (const Case& c : {
             Case{"standard", kStandardTuning, Spelling::Flats, " E A D G B E"},
             Case{"drop D", {64, 59, 55, 50, 45, 38}, Spelling::Flats, " D A D G B E"},
             Case{"open G", {62, 59, 55, 50, 43, 38}, Spelling::Sharps, " D G D G B D"},
             // Half a step down: 18 characters, cut to the 15 the row's field holds.
             Case{"Eb, flats", {63, 58, 54, 49, 44, 39}, Spelling::Flats, " Eb Ab Db Gb Bb"},
             Case{"Eb, sharps", {63, 58, 54, 49, 44, 39}, Spelling::Sharps, " D# G# C# F# A#"},
         })
        EXPECT_EQ(scaleRowTuningName(c.tuning, NoteNames(c.spelling)), c.expected) << c.what;
}

}  // namespace
