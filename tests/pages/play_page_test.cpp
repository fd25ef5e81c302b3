// The PlayPage model: its edits checked against plain statements of what they do, over random
// pages in both time signatures; undo, the repeat markers, the start cursor and where measures
// and their signs sit on the picture.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "pages/PlayPage.h"

namespace strumox::pages {
namespace {

using Slots = PlayPage::Slots;
constexpr TimeSignature kBoth[] = {TimeSignature::ThreeFour, TimeSignature::FourFour};

DiagramRecord named(int k)
{
    DiagramRecord d;
    d.empty = 0;
    d.name = "c" + std::to_string(k);
    return d;
}

// About half the slots filled, each with a chord of its own.
Slots randomSlots(std::mt19937& rng)
{
    Slots s{};
    for (int k = 0; k < PlayPage::kSlotCount; ++k)
        if (rng() % 2)
            s[size_t(k)] = named(k);
    return s;
}

PlayPage pageOf(const Slots& slots, TimeSignature sig)
{
    PlayPage p;
    p.load(slots, sig, PlayPage::MarkerBytes{});
    return p;
}

using Measures = std::vector<std::vector<DiagramRecord>>;

Measures measuresOf(const Slots& s, int n)
{
    Measures out;
    for (int m = 0; m < PlayPage::kSlotCount / n; ++m)
        out.emplace_back(s.begin() + m * n, s.begin() + m * n + n);
    return out;
}

Slots slotsOf(const Measures& ms)
{
    Slots s{};
    size_t k = 0;
    for (const auto& m : ms)
        for (const auto& d : m)
            s[k++] = d;
    return s;
}

// --- inserting and placing measured against plain list edits -----------------------------------

TEST(PlayPageEdits, InsertAtEverySlotShiftsOnlyTheRestOfItsMeasure)
{
    std::mt19937 rng(7);
    for (TimeSignature sig : kBoth) {
        const int n = PlayPage::slotsPerMeasure(sig);
        for (int s = 0; s < PlayPage::kSlotCount; ++s) {
            const Slots before = randomSlots(rng);
            Measures want = measuresOf(before, n);
            auto& measure = want[size_t(s / n)];
            measure.insert(measure.begin() + s % n, named(1000));
            measure.pop_back();

            PlayPage p = pageOf(before, sig);
            p.insertAt(s, named(1000));
            ASSERT_EQ(p.allSlots(), slotsOf(want)) << "slot " << s;
            EXPECT_EQ(p.undoSlots(), before);
            EXPECT_TRUE(p.undoAvailable());
            EXPECT_TRUE(p.modified);

            // Insert Space keeps the slot's own bytes, marked empty.
            PlayPage space = pageOf(before, sig);
            space.insertSpace(s);
            DiagramRecord blank = before[size_t(s)];
            blank.empty = 1;
            measure[size_t(s % n)] = blank;
            ASSERT_EQ(space.allSlots(), slotsOf(want)) << "space at " << s;
        }
    }
}

// A chord dragged onto another slot: copied over it, inserted before it with Alt (as Insert
// does), and with Ctrl the drag turns into a Move; each is a change undo takes back.
TEST(PlayPageEdits, ADropCopiesOrInsertsTheDraggedChord)
{
    std::mt19937 rng(3);
    for (int round = 0; round < 200; ++round) {
        const TimeSignature sig = kBoth[round % 2];
        const Slots before = randomSlots(rng);
        const int from = static_cast<int>(rng() % PlayPage::kSlotCount);
        const int to = static_cast<int>(rng() % PlayPage::kSlotCount);
        const bool alt = rng() % 2, ctrl = rng() % 2;
        PlayPage p = pageOf(before, sig);
        p.drop(PlayPage::cellOf(from), PlayPage::cellOf(to), alt, ctrl);
        if (before[size_t(from)].isEmpty()) {
            EXPECT_EQ(p.allSlots(), before);  // nothing to drag
            EXPECT_FALSE(p.modified);
            continue;
        }
        PlayPage want = pageOf(before, sig);
        if (alt) {
            want.insertAt(to, before[size_t(from)]);
        } else {
            Slots copied = before;
            copied[size_t(to)] = before[size_t(from)];
            want = pageOf(copied, sig);
        }
        ASSERT_EQ(p.allSlots(), want.allSlots()) << from << " -> " << to << (alt ? " alt" : "");
        EXPECT_TRUE(p.modified);
        EXPECT_EQ(p.mode() == PlayPage::Mode::Move, ctrl);
        p.undo();
        EXPECT_EQ(p.allSlots(), before);
    }
}

TEST(PlayPageEdits, PlaceInsertAndDeleteMeasureAtEveryMeasure)
{
    std::mt19937 rng(11);
    for (TimeSignature sig : kBoth) {
        const int n = PlayPage::slotsPerMeasure(sig);
        const int count = PlayPage::measureCount(sig);
        for (int t = 0; t < count; ++t) {
            for (bool insert : {false, true}) {
                const Slots before = randomSlots(rng);
                const int a = int(rng() % unsigned(count));
                Measures want = measuresOf(before, n);
                const auto source = want[size_t(a)];
                if (insert && t != count - 1) {
                    want.insert(want.begin() + t, source);
                    want.pop_back();
                } else {
                    want[size_t(t)] = source;
                }
                PlayPage p = pageOf(before, sig);
                p.copyMeasure(a);
                EXPECT_EQ(p.mode(), PlayPage::Mode::MeasureMove);
                p.placeMeasure(false, t, insert);
                ASSERT_EQ(p.allSlots(), slotsOf(want)) << "from " << a << " to " << t << " insert " << insert;

                // Insert Measure: a blank measure in the same way.
                Measures blank = measuresOf(before, n);
                if (t != count - 1) {
                    blank.insert(blank.begin() + t, std::vector<DiagramRecord>(size_t(n)));
                    blank.pop_back();
                } else {
                    blank[size_t(t)] = std::vector<DiagramRecord>(size_t(n));
                }
                PlayPage q = pageOf(before, sig);
                q.insertMeasure(t);
                ASSERT_EQ(q.allSlots(), slotsOf(blank)) << "blank at " << t;

                // Delete Measure empties it where it is; later measures do not move up.
                Measures emptied = measuresOf(before, n);
                for (DiagramRecord& d : emptied[size_t(t)])
                    d.empty = 1;
                PlayPage r = pageOf(before, sig);
                r.deleteMeasure(t);
                ASSERT_EQ(r.allSlots(), slotsOf(emptied)) << "deleted " << t;
            }
        }
    }
}

// --- cut, move and undo -------------------------------------------------------------------------

TEST(PlayPageMoves, ACutPlacedBackOverItselfRestoresThePage)
{
    std::mt19937 rng(5);
    for (TimeSignature sig : kBoth) {
        const int n = PlayPage::slotsPerMeasure(sig);
        for (int m = 0; m < PlayPage::measureCount(sig); ++m) {
            const Slots before = randomSlots(rng);
            PlayPage p = pageOf(before, sig);
            p.cutMeasure(m);
            ASSERT_FALSE(p.measureFilled(m));
            ASSERT_FALSE(p.placeNeedsQuestion(PlayPage::cellOf(m * n + n - 1), false));
            p.placeAt(PlayPage::cellOf(m * n + n - 1), false, false);
            ASSERT_EQ(p.allSlots(), before) << "measure " << m;
            EXPECT_EQ(p.mode(), PlayPage::Mode::None);
            EXPECT_FALSE(p.measureCutPending());
        }
    }
}

TEST(PlayPageMoves, UndoAfterACutAndItsPlacementRestoresThePageBeforeTheCut)
{
    std::mt19937 rng(9);
    for (TimeSignature sig : kBoth) {
        const int n = PlayPage::slotsPerMeasure(sig);
        for (int round = 0; round < 40; ++round) {
            Slots before = randomSlots(rng);
            const int from = int(rng() % 288), to = int(rng() % 288);
            before[size_t(from)] = named(from);
            const bool alt = round % 2 == 1;

            PlayPage p = pageOf(before, sig);
            p.cutChord(from);
            p.placeAt(PlayPage::cellOf(to), alt, false);
            EXPECT_EQ(p.slot(to), named(from));
            p.undo();
            ASSERT_EQ(p.allSlots(), before) << from << " -> " << to << (alt ? " inserted" : "");
            EXPECT_FALSE(p.undoAvailable());

            PlayPage q = pageOf(before, sig);
            q.cutMeasure(from / n);
            q.placeAt(PlayPage::cellOf(to), alt, false);
            q.undo();
            ASSERT_EQ(q.allSlots(), before) << "measure " << from / n << " -> " << to / n;
        }
    }
}

// Ctrl keeps placing the measure taken up: every placement puts down the chords it had when it
// was cut or copied, even after inserted placements moved the measures under it.
TEST(PlayPageMoves, EveryCtrlPlacementOfAMeasurePutsDownTheSameChords)
{
    std::mt19937 rng(13);
    for (TimeSignature sig : kBoth) {
        const int n = PlayPage::slotsPerMeasure(sig);
        for (int round = 0; round < 30; ++round) {
            const Slots before = randomSlots(rng);
            const int source = int(rng() % 12);
            const std::vector<DiagramRecord> carried(before.begin() + source * n, before.begin() + source * n + n);
            PlayPage p = pageOf(before, sig);
            if (round % 2)
                p.cutMeasure(source);
            else
                p.copyMeasure(source);
            for (int place = 0; place < 3; ++place) {
                const int target = int(rng() % 20);
                const bool alt = rng() % 2;
                p.placeAt(PlayPage::cellOf(target * n), alt, true);
                ASSERT_EQ(std::vector<DiagramRecord>(p.allSlots().begin() + target * n,
                                                     p.allSlots().begin() + target * n + n),
                          carried)
                    << "round " << round << " placement " << place;
                ASSERT_EQ(p.mode(), PlayPage::Mode::MeasureMove);
            }
        }
    }
}

// --- repeat markers and the time signature ------------------------------------------------------

TEST(PlayPageMarkers, TheRepeatDialogsOkRule)
{
    struct Row {
        const char* name;
        int measure;
        PlayPage::RepeatDialogValues chosen;
        int wantReturn, wantCount;
    };
    const Row rows[] = {
        {"empty count is one", 5, {true, true, "", false}, 1, 1},
        {"zero is one", 5, {false, true, "0", false}, 0, 1},
        {"above 255 is 255", 5, {false, true, "300", false}, 0, 255},
        {"a count as typed", 9, {true, true, "17", false}, 1, 17},
        {"unchecked repeat keeps no count", 9, {true, false, "17", false}, 1, 0},
        {"measure 1 always returns", 1, {false, false, "", false}, 1, 0},
    };
    for (const Row& r : rows) {
        PlayPage p;
        p.beginRepeatMarkers();
        p.applyRepeatMarkers(r.measure, r.chosen, false);
        const auto& cur = p.markers();
        const size_t m = size_t(r.measure - 1);
        EXPECT_EQ(cur[PlayPage::ReturnMark][m], r.wantReturn) << r.name;
        EXPECT_EQ(cur[PlayPage::RepeatCount][m], r.wantCount) << r.name;
        EXPECT_EQ(cur[PlayPage::RepeatCounter][m], r.wantCount) << r.name;
        EXPECT_EQ(p.markers(PlayPage::MarkerCopy::KeptFourFour), cur) << r.name;
        EXPECT_TRUE(p.modified) << r.name;
    }

    for (TimeSignature sig : kBoth) {
        PlayPage p;
        p.setTimeSignature(sig);
        const int last = PlayPage::measureCount(sig) - 1;
        auto loops = [&] {
            std::vector<int> at;
            for (int m = 0; m < PlayPage::kMarkerMeasures; ++m)
                if (p.markers()[PlayPage::LoopMark][size_t(m)])
                    at.push_back(m);
            return at;
        };
        EXPECT_EQ(loops(), std::vector<int>{last});
        p.beginRepeatMarkers();
        p.applyRepeatMarkers(4, {false, false, "", true}, false);
        EXPECT_EQ(loops(), std::vector<int>{3});
        p.beginRepeatMarkers();
        const auto shown = p.repeatDialogValues(4);
        EXPECT_TRUE(shown.loop);
        p.applyRepeatMarkers(4, {false, false, "", false}, shown.loop);
        EXPECT_EQ(loops(), std::vector<int>{last});
        // Unchecked where no loop was, the loop stays where it is.
        p.applyRepeatMarkers(7, {false, false, "", false}, false);
        EXPECT_EQ(loops(), std::vector<int>{last});
    }
}

TEST(PlayPageMarkers, TheTimeSignatureKeepsSlotsAndLoadsTheOtherKeptMarkers)
{
    std::mt19937 rng(1);
    const Slots slots = randomSlots(rng);
    PlayPage p = pageOf(slots, TimeSignature::FourFour);
    p.beginRepeatMarkers();
    p.applyRepeatMarkers(3, {true, true, "2", false}, false);
    const PlayPage::Markers fourFour = p.markers();
    p.selected = Cell{9, 0};
    p.doubleClickStart();
    ASSERT_EQ(p.startPosition(), (Cell{8, 0}));

    p.setTimeSignature(TimeSignature::ThreeFour);
    EXPECT_EQ(p.allSlots(), slots);
    EXPECT_EQ(p.markers(), PlayPage::defaultMarkers(TimeSignature::ThreeFour));
    EXPECT_EQ(p.drawnMarkers(), p.markers());
    EXPECT_EQ(p.startPosition(), (Cell{0, 0}));
    EXPECT_EQ(p.measureAt(Cell{0, 1}), 3);

    p.setTimeSignature(TimeSignature::FourFour);
    EXPECT_EQ(p.markers(), fourFour);
    EXPECT_EQ(p.measureAt(Cell{0, 1}), 2);

    // A file's markers: 192 bytes row after row, kept for the file's signature.
    PlayPage q;
    q.load(slots, TimeSignature::FourFour, p.markerBytes(PlayPage::MarkerCopy::Current));
    EXPECT_EQ(q.markers(PlayPage::MarkerCopy::KeptFourFour), fourFour);
    EXPECT_EQ(q.markerBytes(PlayPage::MarkerCopy::Current)[PlayPage::kMarkerMeasures + 2], 2);  // count, measure 3

    p.erase();
    EXPECT_FALSE(p.filled(0) || p.modified);
    EXPECT_EQ(p.markers(PlayPage::MarkerCopy::KeptFourFour), PlayPage::defaultMarkers(TimeSignature::FourFour));
    EXPECT_EQ(p.markers(), PlayPage::defaultMarkers(std::nullopt));
}

// --- start cursor --------------------------------------------------------------------------------

TEST(PlayPageStart, ADoubleClickOnTheFirstTwoSlotsOfAMeasureMovesTheStart)
{
    for (TimeSignature sig : kBoth) {
        for (int s = 0; s < PlayPage::kSlotCount; ++s) {
            const Cell c = PlayPage::cellOf(s);
            // The rule as the page's users are told it, column by column.
            std::optional<int> wantColumn;
            if (sig == TimeSignature::ThreeFour) {
                if (c.column <= 1 || c.column == 6 || c.column == 7)
                    wantColumn = c.column < 6 ? 0 : 6;
            } else if (c.row % 2 == 0) {
                if (c.column <= 1 || c.column == 8 || c.column == 9)
                    wantColumn = c.column < 8 ? 0 : 8;
            } else if (c.column == 4 || c.column == 5) {
                wantColumn = 4;
            }
            PlayPage p;
            p.setTimeSignature(sig);
            p.selected = Cell{5, 3};
            p.doubleClickStart();
            const Cell old = p.startPosition();
            p.selected = c;
            EXPECT_EQ(p.doubleClickStart(), wantColumn.has_value()) << s;
            EXPECT_EQ(p.startPosition(), (wantColumn ? Cell{*wantColumn, c.row} : old)) << s;
        }
    }
    PlayPage p;
    p.setMode(PlayPage::Mode::Place);
    p.selected = Cell{8, 2};
    EXPECT_FALSE(p.doubleClickStart());
    EXPECT_EQ(p.startPosition(), (Cell{0, 0}));
}

// --- the picture ---------------------------------------------------------------------------------

// Bar lines stand exactly in the gaps where one measure ends, the signs of a measure on the bar
// line before its first slot and just before the one after its last, and the numbers left over a
// strip name the measure starting under them.
TEST(PlayPagePicture, BarLinesSignsAndNumbersFollowTheMeasures)
{
    auto gapAfter = [](int x) { return (x - 20) / PlayPage::kSlotPitchX; };  // column left of x
    for (TimeSignature sig : kBoth) {
        PlayPage p;
        p.setTimeSignature(sig);
        const int n = PlayPage::slotsPerMeasure(sig);
        for (int r = 0; r < PlayPage::kRows; ++r) {
            std::vector<int> want;
            for (int c = 0; c < PlayPage::kColumns; ++c) {
                const int s = 12 * r + c;
                if ((s + 1) % n == 0)
                    want.push_back(c);
            }
            std::vector<int> got;
            for (int x : PlayPage::barLineXs(sig, r))
                got.push_back(gapAfter(x));
            EXPECT_EQ(got, want) << "row " << r;

            std::map<int, std::string> shown;  // a later text covers an earlier one
            for (const auto& t : PlayPage::measureNumberTexts(sig, r))
                shown[t.x] = t.text;
            for (const auto& [x, text] : shown) {
                const auto end = text.find(' ');
                const std::string number = text.substr(0, end);
                if (number.empty())
                    continue;
                const int column = x == 3 ? 0 : gapAfter(x + 3) + 1;
                const std::string want = (number[0] == '~' ? "~" : "") + std::to_string(p.measureAt(Cell{column, r}));
                EXPECT_EQ(number, want) << "row " << r << " x " << x;
                if (x == 3) {
                    EXPECT_EQ(number[0] == '~', (12 * r) % n != 0) << "row " << r;
                }
            }
        }
        for (int m = 0; m < PlayPage::measureCount(sig); ++m) {
            const auto ends = PlayPage::markerPoints(sig, m);
            const Cell first = PlayPage::cellOf(m * n), last = PlayPage::cellOf(m * n + n - 1);
            const int left = PlayPage::slotArea(first).left;
            EXPECT_TRUE(ends.start.x >= left - 2 && ends.start.x <= left) << m;
            EXPECT_EQ(ends.start.y, PlayPage::staffTop(first.row)) << m;
            EXPECT_EQ(ends.end.y, PlayPage::staffTop(last.row)) << m;
            const auto bars = PlayPage::barLineXs(sig, last.row);
            EXPECT_NE(std::find(bars.begin(), bars.end(), ends.end.x + PlayPage::kSignWidth), bars.end()) << m;
            EXPECT_EQ(gapAfter(ends.end.x + PlayPage::kSignWidth), last.column) << m;
        }
    }
}

TEST(PlayPagePicture, HitTestAndDragScroll)
{
    for (int s = 0; s < PlayPage::kSlotCount; ++s) {
        const Cell c = PlayPage::cellOf(s);
        const PixelRect a = PlayPage::slotArea(c);
        EXPECT_EQ(PlayPage::hitTest(a.left, a.top + 20), c);
        EXPECT_EQ(PlayPage::hitTest(a.right, a.bottom), c);
    }
    EXPECT_EQ(PlayPage::hitTest(0, 0), (Cell{0, 0}));
    EXPECT_EQ(PlayPage::hitTest(771, 3200), std::nullopt);  // below the last row
    EXPECT_EQ(PlayPage::hitTest(-50, 10), std::nullopt);

    using D = PlayPage::DragScroll;
    EXPECT_EQ(PlayPage::dragScrollStep(200, 400), (D{0, 0}));
    EXPECT_EQ(PlayPage::dragScrollStep(361, 400), (D{1, 20}));
    EXPECT_EQ(PlayPage::dragScrollStep(381, 400), (D{2, 16}));
    EXPECT_EQ(PlayPage::dragScrollStep(35, 400), (D{-1, 20}));
    EXPECT_EQ(PlayPage::dragScrollStep(15, 400), (D{-2, 16}));
}

}  // namespace
}  // namespace strumox::pages
