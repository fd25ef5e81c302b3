// The chord finder's diagrams from a dictionary lookup.
#include <gtest/gtest.h>

#include <string>

#include "RecordBuilders.h"
#include "pages/ChordFinder.h"
#include "pages/DiagramRecord.h"

using namespace strumox;
using pages::DiagramRecord;
using namespace testsupport;

namespace {

// D m7 in six made-up fingerings covering open, muted, fretted and high strings.
struct Shape {
    const char* frets;
    const char* fingers;
    int baseFret;
};
constexpr Shape kDMinor7[] = {{"xx0211", "xx0211", 1},           {"x57565", "x13121", 5},
                              {"10 12 10 10 10 10", "131111", 10}, {"x 5 3 5 3 5", "x21314", 3},
                              {"x x 12 14 13 13", "xx1423", 12},   {"x 17 19 17 18 17", "x13121", 17}};
const theory::IntervalList kMinor7{0, 3, 7, 10, 255, 255, 255};

theory::DictionaryLookup dMinor7()
{
    theory::DictionaryLookup l;
    l.formula = {kMinor7, "m7", "1 b3 5 b7"};
    for (size_t i = 0; i < 6; ++i)
        l.fingerings[i] = shapeFingering(kDMinor7[i].frets, kDMinor7[i].fingers, kDMinor7[i].baseFret);
    return l;
}

TEST(DiagramsFromLookup, EachDiagramIsItsFingeringAsAFilledStandardTuningRecordOfTheChord)
{
    const auto diagrams = pages::diagramsFromLookup(dMinor7(), 2);
    for (size_t i = 0; i < 6; ++i) {
        const Shape& sh = kDMinor7[i];
        const DiagramRecord expected = fingeredChord(2, "m7", sh.frets, sh.fingers, kMinor7, "1 b3 5 b7");
        EXPECT_EQ(diagrams[i], atBaseFret(expected, sh.baseFret)) << sh.frets;
    }
}

TEST(DiagramsFromLookup, SoundingNotesAreOpenNotePlusFretAndZeroWhenNotPlayed)
{
    const auto diagrams = pages::diagramsFromLookup(dMinor7(), 2);
    // xx0211: F4 (65), C4 (60), A3 (57), D3 (50), not played, not played.
    EXPECT_EQ(diagrams[0].sounding, (theory::SoundingNotes{65, 60, 57, 50, 0, 0}));
    EXPECT_EQ(diagrams[2].sounding, (theory::SoundingNotes{74, 69, 65, 60, 57, 50}));
    EXPECT_EQ(diagrams[4].sounding, (theory::SoundingNotes{77, 72, 69, 62, 0, 0}));
}

TEST(DiagramsFromLookup, RootAndBassFollowTheKey)
{
    for (int key : {0, 7, 11}) {
        const auto diagrams = pages::diagramsFromLookup(dMinor7(), key);
        EXPECT_EQ(diagrams[3].root, key);
        EXPECT_EQ(diagrams[3].bass, key + 24);
    }
}

}  // namespace
