#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pages/RecordConversions.h"

using namespace strumox::pages;

namespace {

// Drop-D D7 at the fifth fret, with a distinct value in every numeric byte so that a field
// copied to the wrong place shows.
DiagramRecord slashChord()
{
    DiagramRecord r;
    r.empty = 0;
    r.name = "7sus4";
    r.tuningName = "Drop D";
    r.formula = "1 4 5 b7";
    r.tuning = {64, 59, 55, 50, 45, 38};
    r.frets = {5, 6, 7, 8, 9, 10};
    r.markers = {1, 2, 3, 4, 6, 5};
    r.intervals = {0, 5, 7, 10, 14, 17, 21};
    r.sounding = {69, 65, 62, 58, 54, 0};
    r.baseFret = 5;
    r.root = 2;
    r.bass = 33;
    return r;
}

ScaleRecord dorian()
{
    ScaleRecord s;
    s.empty = 0;
    s.name = "Dorian";
    s.tuningName = "Open G";
    s.formula = "1 2 b3 4 5 6 b7";
    s.tuning = {62, 59, 55, 50, 43, 38};
    s.intervals = {0, 2, 3, 5, 7, 9, 10, 99, 99, 99};
    s.beginFret = {1, 3, 6, 9, 13, 17};
    s.root = 9;
    return s;
}

// A print cell that already holds a chord, so what a scale leaves alone can be seen.
PrintRecord occupiedCell()
{
    PrintRecord p;
    p.empty = 0;
    p.isChord = 1;
    p.name = "old";
    p.frets = {1, 2, 3, 4, 5, 6};
    p.markers = {6, 4, 3, 2, 1, 0};
    p.sounding = {65, 61, 58, 54, 50, 46};
    p.baseFret = 2;
    p.bass = 31;
    return p;
}

// ---- chord to print: every field lands in the print record's layout ----

// Numeric fields shared by the two layouts: offset in the chord record, in the print record, size.
struct SharedField {
    const char* name;
    size_t chordOffset, printOffset, size;
};
constexpr SharedField kSharedFields[] = {
    {"empty", 0, 0, 1},     {"tuning", 54, 72, 6},    {"strings", 60, 78, 12}, {"intervals", 72, 90, 7},
    {"sounding", 79, 100, 6}, {"baseFret", 85, 106, 1}, {"root", 86, 107, 1},    {"bass", 87, 108, 1},
};

TEST(ChordToPrint, NumericFieldsAreCopiedByteForByte)
{
    const DiagramRecord chord = slashChord();
    const auto from = chord.toBytes();
    const auto to = chordToPrint(chord).toBytes();
    for (const auto& f : kSharedFields)
        EXPECT_EQ(std::memcmp(&from[f.chordOffset], &to[f.printOffset], f.size), 0) << f.name;
}

TEST(ChordToPrint, MarksTheCellAsChordCopiesTheTextsAndEndsTheIntervalsWithThree255s)
{
    const PrintRecord p = chordToPrint(slashChord());
    EXPECT_EQ(p.isChord, 1);
    EXPECT_EQ(p.intervals[7], 255);
    EXPECT_EQ(p.intervals[8], 255);
    EXPECT_EQ(p.intervals[9], 255);
    EXPECT_EQ(p.name, "7sus4");
    EXPECT_EQ(p.tuningName, "Drop D");
    EXPECT_EQ(p.formula, "1 4 5 b7");
}

TEST(ChordToPrint, AnEmptySlotGivesAnEmptyCell)
{
    DiagramRecord chord = slashChord();
    chord.empty = 1;
    EXPECT_TRUE(chordToPrint(chord).isEmpty());
    EXPECT_FALSE(chordToPrint(slashChord()).isEmpty());
}

// ---- print to chord ----

TEST(PrintToChord, ChordSurvivesTheRoundTrip)
{
    EXPECT_EQ(printToChord(chordToPrint(slashChord())), slashChord());
    DiagramRecord empty = slashChord();
    empty.empty = 1;
    EXPECT_EQ(printToChord(chordToPrint(empty)), empty);
}

TEST(PrintToChord, TextsAreCutToTheChordFields)
{
    PrintRecord p = chordToPrint(slashChord());
    p.name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";          // 26, a chord name holds 15
    p.tuningName = "abcdefghijklmno";               // 15 in both
    p.formula = "1 b2 2 b3 3 4 b5 5 #5 6 ";        // 24, a chord formula holds 20
    const DiagramRecord d = printToChord(p);
    EXPECT_EQ(d.name, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(d.tuningName, "abcdefghijklmno");
    EXPECT_EQ(d.formula, "1 b2 2 b3 3 4 b5 5 #");
}

TEST(PrintToChord, KeepsOnlyTheFirstSevenIntervalBytes)
{
    PrintRecord p = chordToPrint(slashChord());
    p.intervals = {0, 3, 7, 10, 14, 17, 21, 4, 8, 11};
    const DiagramRecord d = printToChord(p);
    const strumox::theory::IntervalList expected{0, 3, 7, 10, 14, 17, 21};
    EXPECT_EQ(d.intervals, expected);
}

TEST(PrintToChord, NumericFieldsComeBackByteForByte)
{
    PrintRecord p = chordToPrint(slashChord());
    p.frets = {12, 13, 14, 15, 16, 17};
    p.markers = {4, 3, 2, 1, 6, 0};
    p.baseFret = 12;
    p.root = 11;
    p.bass = 40;
    const auto from = p.toBytes();
    const auto to = printToChord(p).toBytes();
    for (const auto& f : kSharedFields)
        EXPECT_EQ(std::memcmp(&from[f.printOffset], &to[f.chordOffset], f.size), 0) << f.name;
}

// ---- scale to print ----

TEST(ScaleToPrint, CopiesTheScaleFieldsAndMarksTheCellAsScale)
{
    const PrintRecord p = scaleToPrint(dorian(), 6, occupiedCell());
    EXPECT_FALSE(p.isEmpty());
    EXPECT_EQ(p.isChord, 0);
    EXPECT_EQ(p.name, "Dorian");
    EXPECT_EQ(p.tuningName, "Open G");
    EXPECT_EQ(p.formula, "1 2 b3 4 5 6 b7");
    EXPECT_EQ(p.tuning, dorian().tuning);
    EXPECT_EQ(p.intervals, dorian().intervals);
    EXPECT_EQ(p.root, 9);
}

TEST(ScaleToPrint, BaseFretIsTheOneTheSenderChose)
{
    for (std::uint8_t fret : {1, 6, 20})
        EXPECT_EQ(scaleToPrint(dorian(), fret, occupiedCell()).baseFret, fret);
}

TEST(ScaleToPrint, StringsSoundingAndBassStayAsTheDestinationHadThem)
{
    const PrintRecord before = occupiedCell();
    const PrintRecord p = scaleToPrint(dorian(), 6, before);
    EXPECT_EQ(p.frets, before.frets);
    EXPECT_EQ(p.markers, before.markers);
    EXPECT_EQ(p.sounding, before.sounding);
    EXPECT_EQ(p.bass, before.bass);
    // Without a destination they are those of a fresh record.
    const PrintRecord fresh;
    const PrintRecord q = scaleToPrint(dorian(), 6);
    EXPECT_EQ(q.frets, fresh.frets);
    EXPECT_EQ(q.markers, fresh.markers);
    EXPECT_EQ(q.sounding, fresh.sounding);
    EXPECT_EQ(q.bass, fresh.bass);
}

TEST(ScaleToPrint, AllTenIntervalsAreCopiedEvenPastTheEnd)
{
    ScaleRecord s = dorian();
    s.intervals = {0, 1, 3, 4, 6, 8, 10, 11, 2, 5};  // ten notes, no 99
    EXPECT_EQ(scaleToPrint(s, 1).intervals, s.intervals);
}

TEST(ScaleToPrint, EmptyRowGivesEmptyCell)
{
    ScaleRecord s = dorian();
    s.empty = 1;
    EXPECT_TRUE(scaleToPrint(s, 3, occupiedCell()).isEmpty());
}

// ---- print to scale ----

TEST(PrintToScale, ScaleFieldsSurviveTheRoundTripAndEveryColumnBeginsAtTheCellsBaseFret)
{
    ScaleRecord expected = dorian();
    expected.beginFret.fill(13);
    EXPECT_EQ(printToScale(scaleToPrint(dorian(), 13, occupiedCell())), expected);
}

TEST(PrintToScale, LongTextsFitTheScaleFields)
{
    PrintRecord p = scaleToPrint(dorian(), 1);
    p.name = "Hungarian Gypsy Minor Three";  // 27, one more than a scale name holds
    p.formula = "1 2 b3 #4 5 b6 7 8 9 10 11";  // exactly 26: kept whole
    const ScaleRecord s = printToScale(p);
    EXPECT_EQ(s.name, "Hungarian Gypsy Minor Thre");
    EXPECT_EQ(s.formula, "1 2 b3 #4 5 b6 7 8 9 10 11");
}

}  // namespace
