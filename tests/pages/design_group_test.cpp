// The design group: moves never lose or duplicate a diagram, deletes pick the next selection,
// and found fingerings become complete diagrams of their chord.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "pages/DesignGroup.h"
#include "theory/ChordData.h"

namespace strumox::pages {
namespace {

// A diagram told apart by its name alone.
DiagramRecord named(const std::string& name)
{
    DiagramRecord d;
    d.empty = 0;
    d.name = name;
    return d;
}

std::string names(const DesignGroup& g)
{
    std::string s;
    for (int k = 0; k < DesignGroup::kSlots; ++k)
        s += g.filled(k) ? g.slot(k).name : "_";
    return s;
}

DesignGroup groupOf(const std::string& letters)
{
    DesignGroup g;
    for (int k = 0; k < DesignGroup::kSlots; ++k)
        if (letters[static_cast<size_t>(k)] != '_')
            g.place(k, named(std::string(1, letters[static_cast<size_t>(k)])));
    g.modified = false;
    return g;
}

TEST(DesignGroup, MovesShiftTheSlotsBetweenTargetAndSourceTowardTheSource)
{
    DesignGroup g = groupOf("ABCDEF");
    ASSERT_TRUE(g.lift(1));
    EXPECT_EQ(names(g), "A_CDEF");
    const std::vector<int> changed = g.putDown(4);
    EXPECT_EQ(names(g), "FACDBE");
    EXPECT_EQ(changed.back(), 4);
    EXPECT_EQ(g.selected(), 4);
    EXPECT_TRUE(g.modified);

    DesignGroup back = groupOf("ABCDEF");
    back.lift(2);
    back.putDown(2);  // onto its own, now empty, slot
    EXPECT_EQ(names(back), "ABCDEF");

    DesignGroup toEmpty = groupOf("AB_DEF");
    toEmpty.lift(0);
    toEmpty.putDown(2);
    EXPECT_EQ(names(toEmpty), "_BADEF");
}

// Against a second statement of the move: the diagrams from the target up to the source (going
// round the strip) each move one slot on, and the lifted one takes the target. Over every
// source, target and pattern of filled slots, nothing is lost and nothing doubled.
TEST(DesignGroup, EveryMoveKeepsEachDiagramExactlyOnce)
{
    for (int pattern = 0; pattern < 64; ++pattern)
        for (int m = 0; m < 6; ++m)
            for (int k = 0; k < 6; ++k) {
                if (!(pattern & (1 << m)))
                    continue;
                std::string letters = "______";
                for (int i = 0; i < 6; ++i)
                    if (pattern & (1 << i))
                        letters[static_cast<size_t>(i)] = static_cast<char>('A' + i);
                DesignGroup g = groupOf(letters);
                g.lift(m);
                const bool targetFilled = g.filled(k);
                g.putDown(k);

                std::string expected = letters;
                expected[static_cast<size_t>(m)] = '_';
                if (targetFilled && k != m) {
                    std::string before = expected;
                    for (int j = k; j != m; j = (j + 1) % 6)
                        expected[static_cast<size_t>((j + 1) % 6)] = before[static_cast<size_t>(j)];
                }
                expected[static_cast<size_t>(k)] = letters[static_cast<size_t>(m)];
                ASSERT_EQ(names(g), expected) << letters << " move " << m << " to " << k;

                std::string a = letters, b = names(g);
                std::sort(a.begin(), a.end());
                std::sort(b.begin(), b.end());
                ASSERT_EQ(a, b) << letters << " move " << m << " to " << k;
            }
}

TEST(DesignGroup, AnAbandonedMovePutsTheDiagramBack)
{
    DesignGroup g = groupOf("ABC___");
    g.lift(1);
    EXPECT_TRUE(g.lifting());
    EXPECT_EQ(g.cancelLift(), 1);
    EXPECT_EQ(names(g), "ABC___");
    EXPECT_FALSE(g.lifting());
    EXPECT_FALSE(g.cancelLift());
    EXPECT_FALSE(g.lift(4));  // an empty slot cannot be lifted

    // Erasing a changed group, in the middle of a move, leaves nothing to put back or to save.
    g.modified = true;
    g.lift(0);
    g.erase();
    EXPECT_EQ(names(g), "______");
    EXPECT_FALSE(g.lifting());
    EXPECT_FALSE(g.modified);
}

TEST(DesignGroup, DeletingTheSelectedSlotSelectsTheLowestFilledOne)
{
    DesignGroup g = groupOf("_B_DE_");
    g.select(3);
    EXPECT_EQ(g.remove(3), 1);
    EXPECT_EQ(g.selected(), 1);
    EXPECT_FALSE(g.remove(4));  // not the selected one: the selection stays
    EXPECT_EQ(g.selected(), 1);
    EXPECT_FALSE(g.remove(1));  // the last one: nothing left to select
    EXPECT_EQ(g.selected(), 1);
    EXPECT_EQ(names(g), "______");
    EXPECT_FALSE(g.modified);  // deleting is not counted as a change to save
}

TEST(DesignGroup, SlotsAreSeventySixPixelsWide)
{
    EXPECT_EQ(DesignGroup::slotAt(0), 0);
    EXPECT_EQ(DesignGroup::slotAt(75), 0);
    EXPECT_EQ(DesignGroup::slotAt(76), 1);
    EXPECT_EQ(DesignGroup::slotAt(455), 5);
    EXPECT_FALSE(DesignGroup::slotAt(456));
    EXPECT_FALSE(DesignGroup::slotAt(-1));
}

TEST(DesignGroup, FoundFingeringsBecomeDiagramsOfTheirChord)
{
    const auto formulas = theory::builtInFormulaRecords();
    for (int g = 0; g < 62; g += 7)
        for (int key = 0; key < 12; key += 5) {
            const auto six = theory::chordFingerings(key, g);
            for (const theory::Fingering& f : six) {
                const DiagramRecord d = designDiagramOf(f, formulas[static_cast<size_t>(g)], key);
                ASSERT_FALSE(d.isEmpty());
                EXPECT_EQ(d.name, formulas[static_cast<size_t>(g)].suffix);
                EXPECT_EQ(d.root % 12, key);
                EXPECT_EQ(d.bass, key + 24);
                for (size_t s = 0; s < 6; ++s) {
                    if (f.markers[s] == MarkerMuted) {
                        EXPECT_EQ(d.sounding[s], 0);
                        continue;
                    }
                    // Every sounding note is a tone of the chord.
                    const int pc = (d.sounding[s] - key + 120) % 12;
                    EXPECT_TRUE(theory::pitchClassMask(d.intervals) & (1u << pc)) << g << ' ' << key;
                }
            }
        }
}

TEST(DesignGroup, TheStripTuningNameFallsBackToTheOpenStrings)
{
    const std::array<std::string, 6> strings{"E4", "B3", "G3", "D3", "A2", "D2"};
    EXPECT_EQ(stripTuningName("Drop D", strings), "Drop D");
    EXPECT_EQ(stripTuningName("", strings), "D2 A2 D3 G3 B3 ");  // cut to fifteen
    EXPECT_EQ(stripTuningName("A very long tuning name", strings).size(), 15u);
}

}  // namespace
}  // namespace strumox::pages
