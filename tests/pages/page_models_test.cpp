// The Chords and Scales page models: how sets and rows fill the page, what a click may select,
// and the row a new scale gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "RecordBuilders.h"
#include "pages/ChordPageModel.h"
#include "pages/ScalesPageModel.h"
#include "theory/ScaleData.h"

using namespace strumox;
using namespace strumox::pages;
using testsupport::cMajorScale;
using testsupport::shapeChord;

namespace {

// Six fingerings told apart by their names, "s<tag>.<column>".
ChordPageModel::Set chordSet(int tag)
{
    ChordPageModel::Set set;
    const char* shapes[] = {"x32010", "032010", "x35553", "8 10 10 9 8 8", "x x 10 12 13 12", "x32013"};
    for (int i = 0; i < kGridColumns; ++i)
        set[size_t(i)] = shapeChord(tag % 12, "s" + std::to_string(tag) + "." + std::to_string(i), shapes[i]);
    return set;
}

ScaleRecord namedScale(int tag)
{
    ScaleRecord s = cMajorScale({2, 5, 7, 10, 14, 17});
    s.name = "scale " + std::to_string(tag);
    s.root = std::uint8_t(tag % 12);
    return s;
}

}  // namespace

// ---- Chords page: sets fill rows in order, five at most
TEST(ChordPageModel, AddSetFillsRowsInOrderSelectsTheFirstDiagramAndRefusesASixth)
{
    ChordPageModel page;
    for (int n = 0; n < kGridRows; ++n) {
        ASSERT_TRUE(page.addSet(chordSet(n)));
        EXPECT_EQ(page.setCount(), n + 1);
        EXPECT_EQ(page.selected, (Cell{0, n}));
        EXPECT_EQ(page.clicked, (Cell{0, n}));
        EXPECT_EQ(page.selection, chordSet(n)[0]);
        for (int c = 0; c < kGridColumns; ++c)
            EXPECT_EQ(page.slot(c, n), chordSet(n)[size_t(c)]);
    }
    EXPECT_TRUE(page.isFull());
    ASSERT_TRUE(page.select({3, 2}));
    const ChordPageModel before = page;
    EXPECT_FALSE(page.addSet(chordSet(99)));
    EXPECT_EQ(page.setCount(), kGridRows);
    EXPECT_EQ(page.selected, before.selected);
    EXPECT_EQ(page.selection, before.selection);
    for (int r = 0; r < kGridRows; ++r)
        for (int c = 0; c < kGridColumns; ++c)
            EXPECT_EQ(page.slot(c, r), before.slot(c, r));
}

// ---- Chords page: what a click may select
TEST(ChordPageModel, SelectTakesOnlyFilledSetsAndNotTheCellAlreadySelected)
{
    ChordPageModel page;
    page.addSet(chordSet(0));
    page.addSet(chordSet(1));
    for (int r = 0; r < kGridRows; ++r)
        for (int c = 0; c < kGridColumns; ++c) {
            const Cell was = page.selected;
            const bool expected = r < page.setCount() && Cell{c, r} != was;
            EXPECT_EQ(page.select({c, r}), expected) << c << "," << r;
            EXPECT_EQ(page.selected, (expected ? Cell{c, r} : was));
            EXPECT_EQ(page.selection, page.slot(page.selected));
        }
}

// ---- Chords page: erase and recount
TEST(ChordPageModel, EraseEmptiesEverySlotAndTheNextSetGoesToRowZero)
{
    ChordPageModel page;
    for (int n = 0; n < 3; ++n)
        page.addSet(chordSet(n));
    page.erase();
    EXPECT_EQ(page.setCount(), 0);
    EXPECT_FALSE(page.selected.isSet());
    EXPECT_FALSE(page.clicked.isSet());
    EXPECT_TRUE(page.selection.isEmpty());
    for (int r = 0; r < kGridRows; ++r)
        for (int c = 0; c < kGridColumns; ++c)
            EXPECT_TRUE(page.slot(c, r).isEmpty());
    EXPECT_FALSE(page.select({0, 0}));
    ASSERT_TRUE(page.addSet(chordSet(7)));
    EXPECT_EQ(page.selected, (Cell{0, 0}));
}

TEST(ChordPageModel, RecountCountsCompleteSetsUpToTheFirstIncompleteOne)
{
    std::mt19937 rng(1729);
    for (int trial = 0; trial < 500; ++trial) {
        ChordPageModel page;
        std::array<bool, kGridRows> complete{};
        for (int r = 0; r < kGridRows; ++r) {
            // Mostly complete rows, so long runs of sets and holes late in the page both occur.
            const int holes = rng() % 3 == 0 ? 1 + int(rng() % 6) : 0;
            for (int c = 0; c < kGridColumns; ++c)
                page.setSlot({c, r}, chordSet(r)[size_t(c)]);
            for (int h = 0; h < holes; ++h)
                page.setSlot({int(rng() % kGridColumns), r}, DiagramRecord{});
            complete[size_t(r)] = true;
            for (int c = 0; c < kGridColumns; ++c)
                complete[size_t(r)] = complete[size_t(r)] && !page.slot(c, r).isEmpty();
        }
        int expected = 0;
        while (expected < kGridRows && complete[size_t(expected)])
            ++expected;
        page.recount();
        ASSERT_EQ(page.setCount(), expected) << "trial " << trial;
    }
}

// ---- Scales page: rows fill in order, five at most
TEST(ScalesPageModel, AddRowFillsRowsInOrderSelectsColumnZeroAndRefusesASixth)
{
    ScalesPageModel page;
    for (int n = 0; n < kGridRows; ++n) {
        ASSERT_TRUE(page.addRow(namedScale(n)));
        EXPECT_EQ(page.rowCount(), n + 1);
        EXPECT_EQ(page.selected, (Cell{0, n}));
        EXPECT_EQ(page.selection, namedScale(n));
    }
    EXPECT_TRUE(page.isFull());
    EXPECT_FALSE(page.addRow(namedScale(9)));
    EXPECT_EQ(page.rowCount(), kGridRows);
    EXPECT_EQ(page.selected, (Cell{0, kGridRows - 1}));
    for (int r = 0; r < kGridRows; ++r)
        EXPECT_EQ(page.row(r), namedScale(r));
}

// ---- Scales page: placing a scale on a clicked row
TEST(ScalesPageModel, PlaceRowReplacesAFilledRowOrTakesTheFirstFreeOneWithDefaultFrets)
{
    for (int filled = 0; filled <= kGridRows; ++filled)
        for (int target = 0; target < kGridRows; ++target) {
            ScalesPageModel page;
            for (int n = 0; n < filled; ++n)
                page.addRow(namedScale(n));
            const ScalesPageModel before = page;
            EXPECT_EQ(page.placeNeedsQuestion(target), !page.row(target).isEmpty()) << filled << " " << target;

            ScaleRecord placed = namedScale(40);  // its beginning frets are not the defaults
            placed.empty = 1;  // whatever the flag says, a placed scale is a filled row
            const int used = page.placeRow(target, placed);
            const int expectedRow = std::min(target, filled);
            ASSERT_EQ(used, expectedRow) << filled << " rows, target " << target;
            EXPECT_EQ(page.rowCount(), target < filled ? filled : filled + 1);
            ScaleRecord expected = namedScale(40);
            expected.beginFret = kDefaultBeginFrets;
            EXPECT_EQ(page.row(used), expected);
            EXPECT_EQ(page.selected, (Cell{0, used}));
            EXPECT_EQ(page.clicked, (Cell{0, used}));
            EXPECT_EQ(page.selection, expected);
            for (int r = 0; r < kGridRows; ++r) {
                if (r != used) {
                    EXPECT_EQ(page.row(r), before.row(r)) << "row " << r << " touched";
                }
            }
        }
}

// ---- Scales page: moving one position's beginning fret
TEST(ScalesPageModel, SetBeginFretMovesTheSelectionOnlyWhenItIsThatRow)
{
    ScalesPageModel page;
    page.addRow(namedScale(0));
    page.addRow(namedScale(1));
    ASSERT_TRUE(page.select({4, 1}));
    page.setBeginFret({3, 0}, 9);
    EXPECT_EQ(page.row(0).beginFret[3], 9);
    EXPECT_EQ(page.selection, page.row(1));
    EXPECT_NE(page.selection.beginFret[3], 9);
    page.setBeginFret({2, 1}, 11);  // another column of the selected row
    EXPECT_EQ(page.row(1).beginFret[2], 11);
    EXPECT_EQ(page.selection, page.row(1));
}

// ---- The row a new scale gets
TEST(NewScalesPageRow, EveryScaleAndKeyGivesAFilledRowAtTheDefaultFrets)
{
    const theory::NoteNames flats;
    for (int i = 0; i < theory::kScaleCount; ++i)
        for (int key = 0; key < 12; ++key) {
            const theory::ScaleDefinition& def = theory::builtInScales()[size_t(i)];
            const std::string name(theory::kScaleNames[size_t(i)]);
            const ScaleRecord row = newScalesPageRow(def, name, key, theory::kStandardTuning, "", flats);
            EXPECT_FALSE(row.isEmpty());
            EXPECT_EQ(row.intervals, def.intervals);
            EXPECT_EQ(row.formula, def.formula);
            EXPECT_EQ(row.name, name.substr(0, ScaleRecord::kNameCapacity));
            EXPECT_EQ(row.root, key);
            EXPECT_EQ(row.tuning, theory::kStandardTuning);
            EXPECT_EQ(row.tuningName, " E A D G B E");
            EXPECT_EQ(row.beginFret, kDefaultBeginFrets);
        }
}

TEST(NewScalesPageRow, TypedTuningNameWinsAndTextsAreCutToTheirFields)
{
    const theory::ScaleDefinition& def = theory::builtInScales()[0];
    const theory::NoteNames flats;
    const theory::Tuning dropD{64, 59, 55, 50, 45, 38};
    EXPECT_EQ(newScalesPageRow(def, "x", 2, dropD, "Drop D", flats).tuningName, "Drop D");
    EXPECT_EQ(newScalesPageRow(def, "x", 2, dropD, "", flats).tuningName, " D A D G B E");
    EXPECT_EQ(newScalesPageRow(def, "x", 2, dropD, "", flats).tuning, dropD);

    const std::string longName(40, 'n');
    const std::string longTuning = "My very own open tuning";
    const ScaleRecord row = newScalesPageRow(def, longName, 0, dropD, longTuning, flats);
    EXPECT_EQ(row.name, std::string(ScaleRecord::kNameCapacity, 'n'));
    EXPECT_EQ(row.tuningName, longTuning.substr(0, ScaleRecord::kTuningNameCapacity));
    // Half a step down: six two-letter names do not fit the field.
    const theory::Tuning eFlat{63, 58, 54, 49, 44, 39};
    EXPECT_EQ(newScalesPageRow(def, "x", 3, eFlat, "", flats).tuningName, " Eb Ab Db Gb Bb");
}
