// The Print page's rules for placing, moving and deleting diagrams, one rule at a time and then
// as random edits against a plain reference of the page.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "RecordBuilders.h"
#include "pages/PrintPageModel.h"
#include "pages/RecordConversions.h"

using namespace strumox::pages;
using strumox::testsupport::cMajorScale;
using strumox::testsupport::shapeChord;

namespace {

// Diagram number `id`: chords and scale positions in turn, named "d<id>" so each is unique.
PrintRecord diagram(int id)
{
    const std::string name = "d" + std::to_string(id);
    if (id % 2 == 0)
        return chordToPrint(shapeChord(id % 12, name, id % 4 == 0 ? "x32010" : "x 3 5 5 5 3"));
    ScaleRecord scale = cMajorScale();
    scale.name = name;
    return scaleToPrint(scale, std::uint8_t(1 + id % 20));
}

Cell cellAt(int index) { return {index % kGridColumns, index / kGridColumns}; }
constexpr int kCells = kGridColumns * kGridRows;

bool samePage(const PrintPageModel& a, const PrintPageModel& b)
{
    for (int i = 0; i < kCells; ++i)
        if (a.cell(cellAt(i)).isEmpty() != b.cell(cellAt(i)).isEmpty() ||
            (!a.cell(cellAt(i)).isEmpty() && a.cell(cellAt(i)) != b.cell(cellAt(i))))
            return false;
    return a.selected == b.selected && a.selection == b.selection;
}

}  // namespace

// ---- Placing
TEST(PrintPageModel, PlaceFillsAndSelectsTheCellAndEndsAMoveWithTheSourceLeftEmpty)
{
    PrintPageModel page;
    page.place({1, 1}, diagram(1));
    EXPECT_EQ(page.cell({1, 1}), diagram(1));
    EXPECT_EQ(page.selected, (Cell{1, 1}));
    EXPECT_EQ(page.clicked, (Cell{1, 1}));
    EXPECT_EQ(page.selection, diagram(1));

    ASSERT_TRUE(page.lift({1, 1}));
    page.place({4, 3}, diagram(1));
    EXPECT_FALSE(page.isCarrying());
    EXPECT_EQ(page.cell({4, 3}), diagram(1));
    EXPECT_EQ(page.selected, (Cell{4, 3}));
    page.putBack();  // the move is over: nothing comes back to the source
    EXPECT_TRUE(page.cell({1, 1}).isEmpty());
}

TEST(PrintPageModel, PlaceNeedsQuestionExactlyForFilledCells)
{
    std::mt19937 rng(7);
    for (int trial = 0; trial < 50; ++trial) {
        PrintPageModel page;
        for (int i = 0; i < kCells; ++i)
            if (rng() % 2)
                page.place(cellAt(i), diagram(i));
        for (int i = 0; i < kCells; ++i)
            ASSERT_EQ(page.placeNeedsQuestion(cellAt(i)), !page.cell(cellAt(i)).isEmpty()) << i;
    }
}

// ---- Moving: lift and put back
TEST(PrintPageModel, LiftEmptiesTheCellAndCarriesItsDiagramButNothingComesFromAnEmptyCell)
{
    PrintPageModel page;
    page.place({2, 0}, diagram(3));
    EXPECT_FALSE(page.lift({3, 0}));
    EXPECT_FALSE(page.isCarrying());
    const auto carried = page.lift({2, 0});
    ASSERT_TRUE(carried);
    EXPECT_EQ(*carried, diagram(3));
    EXPECT_TRUE(page.cell({2, 0}).isEmpty());
    EXPECT_TRUE(page.isCarrying());
}

TEST(PrintPageModel, PutBackReturnsTheLiftedDiagramToItsCellAndOtherwiseDoesNothing)
{
    for (int i = 0; i < kCells; ++i) {
        PrintPageModel page;
        page.place(cellAt((i + 7) % kCells), diagram(100));
        page.place(cellAt(i), diagram(i));
        const PrintPageModel before = page;
        page.putBack();  // nothing lifted
        EXPECT_TRUE(samePage(page, before));
        ASSERT_TRUE(page.lift(cellAt(i)));
        page.putBack();
        EXPECT_FALSE(page.isCarrying());
        EXPECT_TRUE(samePage(page, before)) << "cell " << i;
        page.putBack();  // a second one finds nothing to return
        EXPECT_TRUE(samePage(page, before));
    }
}

TEST(PrintPageModel, EraseEmptiesThePageAndEndsAMove)
{
    PrintPageModel page;
    page.place({0, 0}, diagram(0));
    page.place({5, 4}, diagram(1));
    ASSERT_TRUE(page.lift({5, 4}));
    page.erase();
    EXPECT_FALSE(page.isCarrying());
    page.putBack();
    EXPECT_FALSE(page.anyFilled());
    EXPECT_FALSE(page.selected.isSet());
    EXPECT_TRUE(page.selection.isEmpty());
}

// ---- The selection frame
TEST(PrintPageModel, TheFrameLeavesWithALiftedSelectedDiagramAndLandsOrComesBackWithIt)
{
    for (int i = 0; i < kCells; ++i) {
        const Cell from = cellAt(i), other = cellAt((i + 11) % kCells), landing = cellAt((i + 5) % kCells);
        PrintPageModel page;
        EXPECT_FALSE(page.frameCell().isSet());
        page.place(other, diagram(100));
        page.place(from, diagram(i));
        ASSERT_EQ(page.frameCell(), from);

        // Another diagram carried: the frame stays on the selection.
        ASSERT_TRUE(page.lift(other));
        EXPECT_EQ(page.frameCell(), from) << i;
        page.putBack();

        ASSERT_TRUE(page.lift(from));
        EXPECT_FALSE(page.frameCell().isSet()) << i;
        EXPECT_EQ(page.selected, from);  // the carried diagram is still the one shown
        page.putBack();
        EXPECT_EQ(page.frameCell(), from) << i;

        ASSERT_TRUE(page.lift(from));
        page.place(landing, diagram(i));
        EXPECT_EQ(page.frameCell(), landing) << i;
    }
}

// ---- Deleting
TEST(PrintPageModel, RemovingTheSelectedCellSelectsTheFirstFilledCellInRowOrder)
{
    std::mt19937 rng(31);
    for (int trial = 0; trial < 200; ++trial) {
        PrintPageModel page;
        for (int i = 0; i < kCells; ++i)
            if (rng() % 4 == 0)
                page.place(cellAt(i), diagram(i));
        const Cell victim = cellAt(int(rng() % kCells));
        page.place(victim, diagram(999));
        std::optional<Cell> first;
        for (int i = 0; i < kCells && !first; ++i)
            if (cellAt(i) != victim && !page.cell(cellAt(i)).isEmpty())
                first = cellAt(i);
        ASSERT_EQ(page.remove(victim), first.has_value());
        EXPECT_TRUE(page.cell(victim).isEmpty());
        if (first) {
            EXPECT_EQ(page.selected, *first);
            EXPECT_EQ(page.clicked, *first);
            EXPECT_EQ(page.selection, page.cell(*first));
        }
    }
}

TEST(PrintPageModel, RemovingAnotherCellKeepsTheSelection)
{
    PrintPageModel page;
    page.place({0, 0}, diagram(0));
    page.place({3, 2}, diagram(1));
    EXPECT_TRUE(page.remove({0, 0}));
    EXPECT_TRUE(page.cell({0, 0}).isEmpty());
    EXPECT_EQ(page.selected, (Cell{3, 2}));
    EXPECT_EQ(page.selection, diagram(1));
}

// ---- Random edits against a reference page
TEST(PrintPageModel, RandomEditsNeverLoseOrInventADiagramAndTheSelectionStaysOnAFilledCell)
{
    std::mt19937 rng(2024);
    for (int run = 0; run < 40; ++run) {
        PrintPageModel page;
        std::array<int, kCells> ref;  // diagram id per cell, -1 empty
        ref.fill(-1);
        int carriedFrom = -1, carriedId = -1;  // the cell a carried diagram came from, and which one
        int selected = -1, nextId = 0;
        PrintPageModel beforeLift;

        for (int step = 0; step < 300; ++step) {
            const int at = int(rng() % kCells);
            const int op = int(rng() % 10);
            if (carriedFrom >= 0) {
                // While a diagram is carried, the page takes only the placing click or the end of the move.
                if (op < 5) {
                    page.place(cellAt(at), diagram(carriedId));
                    ref[size_t(at)] = carriedId;
                    selected = at;
                    carriedFrom = -1;
                } else if (op < 9) {
                    page.putBack();
                    ref[size_t(carriedFrom)] = carriedId;
                    carriedFrom = -1;
                    ASSERT_TRUE(samePage(page, beforeLift)) << "run " << run << " step " << step;
                } else {
                    page.erase();
                    ref.fill(-1);
                    carriedFrom = -1;
                    selected = -1;
                }
            } else if (op < 4) {  // a diagram sent from another page
                page.place(cellAt(at), diagram(nextId));
                ref[size_t(at)] = nextId++;
                selected = at;
            } else if (op < 6) {
                beforeLift = page;
                const auto lifted = page.lift(cellAt(at));
                ASSERT_EQ(lifted.has_value(), ref[size_t(at)] >= 0);
                if (lifted) {
                    ASSERT_EQ(*lifted, diagram(ref[size_t(at)]));
                    carriedFrom = at;
                    carriedId = ref[size_t(at)];
                    ref[size_t(at)] = -1;
                }
            } else if (op < 8) {
                if (ref[size_t(at)] < 0)
                    continue;  // Delete is offered on filled cells only
                ref[size_t(at)] = -1;
                if (at == selected) {
                    selected = -1;
                    for (int i = 0; i < kCells && selected < 0; ++i)
                        if (ref[size_t(i)] >= 0)
                            selected = i;
                }
                const bool kept = page.remove(cellAt(at));
                ASSERT_EQ(kept, selected >= 0);
                if (!kept)
                    page.erase();  // as the page does when its last diagram goes
            } else {
                const bool takes = ref[size_t(at)] >= 0 && at != selected;
                ASSERT_EQ(page.select(cellAt(at)), takes);
                if (takes)
                    selected = at;
            }

            for (int i = 0; i < kCells; ++i) {
                const PrintRecord& c = page.cell(cellAt(i));
                ASSERT_EQ(c.isEmpty(), ref[size_t(i)] < 0) << "run " << run << " step " << step << " cell " << i;
                if (ref[size_t(i)] >= 0) {
                    ASSERT_EQ(c, diagram(ref[size_t(i)]));
                }
            }
            ASSERT_EQ(page.isCarrying(), carriedFrom >= 0);
            ASSERT_EQ(page.selected, selected < 0 ? Cell{} : cellAt(selected)) << "run " << run << " step " << step;
            ASSERT_EQ(page.frameCell(), selected < 0 || selected == carriedFrom ? Cell{} : cellAt(selected))
                << "run " << run << " step " << step;
            // A carried diagram may be the selected one; its cell is empty until it lands.
            if (selected >= 0 && selected != carriedFrom) {
                ASSERT_EQ(page.selection, page.cell(page.selected));
            }
            if (carriedFrom < 0) {
                ASSERT_EQ(page.anyFilled(), selected >= 0);
            }
        }
    }
}
