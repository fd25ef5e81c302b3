#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "RecordBuilders.h"
#include "pages/RecordConversions.h"
#include "pages/RecordText.h"

using namespace strumox::pages;
using strumox::theory::NoteNames;
using strumox::theory::Spelling;
using namespace strumox::testsupport;

namespace {

const NoteNames kFlats(Spelling::Flats);
const NoteNames kSharps(Spelling::Sharps);

// A chord as the texts read it: root, suffix, the stored bass byte, intervals and interval text.
DiagramRecord chord(int root, const std::string& name, int bass, const strumox::theory::IntervalList& intervals,
                    const std::string& formula = "")
{
    DiagramRecord r = shapeChord(root, name, "xxxxxx", intervals, formula);
    r.bass = static_cast<std::uint8_t>(bass);
    return r;
}

ScaleRecord gMajorScale()
{
    return scaleRecord(7, "Major", {0, 2, 4, 5, 7, 9, 11, 99, 99, 99}, kDefaultBeginFrets, "1 2 3 4 5 6 7   ");
}

// ---- trimming ----

TEST(Trimming, BlanksGoFromTheEndsOnly)
{
    EXPECT_EQ(trimmed("  a b  "), "a b");
    EXPECT_EQ(trimRight("  a b  "), "  a b");
    EXPECT_EQ(trimmed("   "), "");
    EXPECT_EQ(trimRight(""), "");
    EXPECT_EQ(trimmed(std::string("\ta\0", 3)), "a");  // control characters count as blanks
}

// ---- chord title ----

struct TitleCase {
    const char* label;
    int root;
    const char* name;
    int bass;
    Spelling spelling;
    const char* expected;
};

class ChordTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(ChordTitle, ReadsRootNameAndBass)
{
    const TitleCase& c = GetParam();
    const DiagramRecord r = chord(c.root, c.name, c.bass, {0, 4, 7, 255, 255, 255, 255});
    EXPECT_EQ(chordTitle(r, NoteNames(c.spelling)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChordTitle,
    ::testing::Values(TitleCase{"BassIsTheRootPlus24", 0, "maj7", 24, Spelling::Flats, "C maj7"},
                      TitleCase{"BassEqualsTheRootItself", 9, "m", 9, Spelling::Flats, "A m"},
                      TitleCase{"BassAnOctaveAboveTheRoot", 9, "m", 21, Spelling::Flats, "A m"},
                      TitleCase{"SlashChord", 0, "maj7", 28, Spelling::Flats, "C maj7 /E"},
                      TitleCase{"FlatRoot", 1, "m7", 25, Spelling::Flats, "Db m7"},
                      TitleCase{"SharpRoot", 1, "m7", 25, Spelling::Sharps, "C# m7"},
                      TitleCase{"FlatBass", 2, "7", 30, Spelling::Flats, "D 7 /Gb"},
                      TitleCase{"SharpBass", 2, "7", 30, Spelling::Sharps, "D 7 /F#"},
                      TitleCase{"TrailingBlanksOfTheNameAreKept", 7, "7  ", 35, Spelling::Flats, "G 7   /B"},
                      TitleCase{"NoName", 4, "", 28, Spelling::Flats, "E "}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- note lists ----

TEST(ChordNotes, EveryIntervalGivesABlankAndANoteName)
{
    EXPECT_EQ(chordNotes(openCMajor7(), kFlats), " C E G B");
}

TEST(ChordNotes, EntriesOf255AreSkippedWhereverTheyStand)
{
    EXPECT_EQ(chordNotes(chord(0, "", 24, {0, 255, 7, 255, 14, 255, 21}), kFlats), " C G D A");
    EXPECT_EQ(chordNotes(chord(0, "", 24, {255, 255, 255, 255, 255, 255, 255}), kFlats), "");
}

TEST(ChordNotes, CompoundIntervalsWrapToTheirNote)
{
    // A 9 (14) over A is B, a #11 (18) D#/Eb.
    EXPECT_EQ(chordNotes(chord(9, "", 33, {0, 4, 7, 14, 18, 255, 255}), kFlats), " A Db E B Eb");
    EXPECT_EQ(chordNotes(chord(9, "", 33, {0, 4, 7, 14, 18, 255, 255}), kSharps), " A C# E B D#");
}

TEST(ScaleNotes, StopsAtTheFirst99)
{
    EXPECT_EQ(scaleNotes(gMajorScale(), kFlats), " G A B C D E Gb");
    EXPECT_EQ(scaleNotes(gMajorScale(), kSharps), " G A B C D E F#");
    ScaleRecord s = gMajorScale();
    s.intervals = {0, 3, 5, 99, 7, 10, 99, 99, 99, 99};
    EXPECT_EQ(scaleNotes(s, kFlats), " G Bb C");
}

TEST(ScaleNotes, TenIntervalsWithoutAnEndAreAllListed)
{
    ScaleRecord s = gMajorScale();
    s.root = 0;
    s.intervals = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(scaleNotes(s, kFlats), " C Db D Eb E F Gb G Ab A");
}

// ---- Chord page set header and Scales page row header ----

TEST(ChordSetHeader, NotesAndFormulaInBrackets)
{
    EXPECT_EQ(chordSetHeader(openCMajor7(), kFlats), "C maj7   [  C E G B ]    [ 1 3 5 7 ]");
}

TEST(ChordSetHeader, TrailingBlanksOfNameAndFormulaAreDroppedButNoBassIsShown)
{
    DiagramRecord r = chord(10, "m7   ", 26, {0, 3, 7, 10, 255, 255, 255}, "1 b3 5 b7    ");
    EXPECT_EQ(chordSetHeader(r, kFlats), "Bb m7   [  Bb Db F Ab ]    [ 1 b3 5 b7 ]");
    EXPECT_EQ(chordSetHeader(r, kSharps), "A# m7   [  A# C# F G# ]    [ 1 b3 5 b7 ]");
}

TEST(ScaleRowHeader, NameScaleNotesFormulaAndTuning)
{
    EXPECT_EQ(scaleRowHeader(gMajorScale(), kFlats),
              "G Major Scale   [  G A B C D E Gb ]    [ 1 2 3 4 5 6 7 ] Tuning: Standard");
}

TEST(ScaleRowHeader, NameAndTuningNameAreWrittenAsStored)
{
    ScaleRecord s = gMajorScale();
    s.name = "Major  ";
    s.tuningName = "D A D G B E ";
    EXPECT_EQ(scaleRowHeader(s, kSharps),
              "G Major   Scale   [  G A B C D E F# ]    [ 1 2 3 4 5 6 7 ] Tuning: D A D G B E ");
}

// ---- Print page lines ----

TEST(PrintTextLines, ChordLinesAreTrimmed)
{
    DiagramRecord r = chord(0, "  maj7 ", 28, {0, 4, 7, 11, 255, 255, 255}, " 1 3 5 7 ");
    r.tuningName = "  Standard  ";
    const auto lines = printTextLines(chordToPrint(r), kFlats);
    EXPECT_EQ(lines[0], "C maj7 /E");
    EXPECT_EQ(lines[1], "C E G B");
    EXPECT_EQ(lines[2], "1 3 5 7");
    EXPECT_EQ(lines[3], "Standard");
}

TEST(PrintTextLines, ChordReadsSevenIntervalBytesSkipping255)
{
    PrintRecord p = chordToPrint(chord(2, "", 26, {0, 255, 4, 255, 7, 255, 255}));
    p.intervals[7] = 5;  // beyond a chord's seven bytes: not read
    p.intervals[9] = 9;
    EXPECT_EQ(printTextLines(p, kFlats)[1], "D Gb A");
}

TEST(PrintTextLines, ScaleReadsAllTenBytesSkipping99AndNeverShowsABass)
{
    ScaleRecord s = gMajorScale();
    s.intervals = {0, 2, 99, 4, 99, 7, 99, 9, 99, 11};
    PrintRecord cell;
    cell.bass = 24 + 3;  // left over from a chord in the cell
    const PrintRecord p = scaleToPrint(s, 4, cell);
    const auto lines = printTextLines(p, kSharps);
    EXPECT_EQ(lines[0], "G Major");
    EXPECT_EQ(lines[1], "G A B D E F#");
    EXPECT_EQ(lines[2], "1 2 3 4 5 6 7");
    EXPECT_EQ(lines[3], "Standard");
}

TEST(PrintTextLines, SpellingSwitchRenamesTheNotesNotTheRecord)
{
    const PrintRecord p = chordToPrint(chord(6, "7", 25, {0, 4, 7, 10, 255, 255, 255}, "1 3 5 b7"));
    const PrintRecord before = p;
    const auto flats = printTextLines(p, kFlats);
    const auto sharps = printTextLines(p, kSharps);
    EXPECT_EQ(flats[0], "Gb 7 /Db");
    EXPECT_EQ(sharps[0], "F# 7 /C#");
    EXPECT_EQ(flats[1], "Gb Bb Db E");
    EXPECT_EQ(sharps[1], "F# A# C# E");
    EXPECT_EQ(flats[2], sharps[2]);
    EXPECT_EQ(p, before);
}

TEST(PrintTextLines, ATuningNameOfNoteNamesFollowsTheSpellingOnEveryPageAnyOtherStaysAsStored)
{
    ScaleRecord s = gMajorScale();
    s.tuningName = " Eb Ab Db Gb Bb";
    const std::string header = scaleRowHeader(s, kSharps);
    EXPECT_EQ(header.substr(header.find("Tuning: ")), "Tuning:  D# G# C# F# A#");
    EXPECT_EQ(printTextLines(scaleToPrint(s, 1, PrintRecord{}), kSharps)[3], "D# G# C# F# A#");
    DiagramRecord r = chord(3, "7", 27, {0, 4, 7, 10, 255, 255, 255});
    r.tuningName = "D# G# C# F# A# D# ";
    EXPECT_EQ(designSlotLines(r, kFlats)[3], "Eb Ab Db Gb Bb Eb");
    EXPECT_EQ(printTextLines(chordToPrint(r), kFlats)[3], "Eb Ab Db Gb Bb");  // 15 characters kept
    r.tuningName = "Open C#";
    EXPECT_EQ(designSlotLines(r, kFlats)[3], "Open C#");
}

// ---- Chord Design strip ----

TEST(DesignSlotLines, TitleNotesFormulaTuning)
{
    DiagramRecord r = chord(0, "maj7 ", 28, {0, 4, 7, 11, 255, 255, 255}, "1 3 5 7 ");
    r.tuningName = "E A D G B E ";
    const auto lines = designSlotLines(r, kFlats);
    EXPECT_EQ(lines[0], "C maj7  /E");  // the title keeps the name's trailing blank
    EXPECT_EQ(lines[1], "C E G B");
    EXPECT_EQ(lines[2], "1 3 5 7");
    EXPECT_EQ(lines[3], "E A D G B E");
}

// ---- 8-bit text leaving the program as UTF-8 ----

// The code points of well-formed UTF-8 of one or two bytes a character; throws on anything else.
std::vector<unsigned> codePoints(const std::string& utf8)
{
    std::vector<unsigned> out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(c);
            continue;
        }
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
        if (c < 0xC2 || c > 0xDF || (next & 0xC0) != 0x80)
            throw std::runtime_error("not a two-byte UTF-8 character at " + std::to_string(i));
        out.push_back(((c & 0x1Fu) << 6) | (next & 0x3Fu));
        ++i;
    }
    return out;
}

std::string everyByte()
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    return all;
}

TEST(Latin1Text, EveryByteBecomesTheCharacterOfItsOwnCodePoint)
{
    std::vector<unsigned> expected;
    for (unsigned b = 0; b < 256; ++b)
        expected.push_back(b);
    EXPECT_EQ(codePoints(utf8FromLatin1(everyByte())), expected);
}

TEST(Latin1Text, PrintableTextShowsEveryControlCharacterAsAQuestionMark)
{
    std::vector<unsigned> expected;
    for (unsigned b = 0; b < 256; ++b)
        expected.push_back(b < 0x20 || (b >= 0x7F && b <= 0x9F) ? '?' : b);
    EXPECT_EQ(codePoints(printableFromLatin1(everyByte())), expected);
    EXPECT_EQ(printableFromLatin1("m7\t\"Caf\xe9\"\\"), "m7?\"Caf\xc3\xa9\"\\");
}

}  // namespace
