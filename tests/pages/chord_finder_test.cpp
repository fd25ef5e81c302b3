// The chord finder's diagrams from a dictionary lookup.
#include <gtest/gtest.h>

#include <string>

#include "pages/ChordFinder.h"
#include "pages/DiagramRecord.h"

using namespace strumox;
using pages::DiagramRecord;

namespace {

theory::Fingering fingering(int base, std::array<std::uint8_t, 6> frets, std::array<std::uint8_t, 6> markers)
{
    theory::Fingering f;
    f.baseFret = static_cast<std::uint8_t>(base);
    f.frets = frets;
    f.markers = markers;
    return f;
}

// D m7 in six made-up fingerings covering open, muted, fretted and high strings.
theory::DictionaryLookup dMinor7()
{
    theory::DictionaryLookup l;
    l.formula = {theory::IntervalList{0, 3, 7, 10, 255, 255, 255}, "m7", "1 b3 5 b7"};
    l.fingerings = {
        fingering(1, {1, 1, 2, 0, 0, 0}, {1, 1, 2, 0, 5, 5}),        // xx0211
        fingering(5, {5, 6, 5, 7, 5, 0}, {1, 2, 1, 3, 1, 5}),        // x57565
        fingering(10, {10, 10, 10, 10, 12, 10}, {1, 1, 1, 1, 3, 1}),  // 10 12 10 10 10 10
        fingering(3, {5, 3, 5, 3, 5, 0}, {4, 1, 3, 1, 2, 5}),
        fingering(12, {13, 13, 14, 12, 0, 0}, {3, 2, 4, 1, 5, 5}),
        fingering(17, {17, 18, 17, 19, 17, 0}, {1, 2, 1, 3, 1, 5}),
    };
    return l;
}

TEST(DiagramsFromLookup, EveryDiagramIsAFilledStandardTuningRecordOfTheChord)
{
    const auto diagrams = pages::diagramsFromLookup(dMinor7(), 2);
    for (const DiagramRecord& d : diagrams) {
        EXPECT_EQ(d.empty, 0);
        EXPECT_FALSE(d.isEmpty());
        EXPECT_EQ(d.name, "m7");
        EXPECT_EQ(d.tuningName, "Standard");
        EXPECT_EQ(d.formula, "1 b3 5 b7");
        EXPECT_EQ(d.tuning, (theory::Tuning{64, 59, 55, 50, 45, 40}));
        EXPECT_EQ(d.intervals, (theory::IntervalList{0, 3, 7, 10, 255, 255, 255}));
        EXPECT_EQ(d.root, 2);
        EXPECT_EQ(d.bass, 26);
    }
}

TEST(DiagramsFromLookup, FretsMarkersAndBeginningFretComeFromTheDictionaryInOrder)
{
    const theory::DictionaryLookup l = dMinor7();
    const auto diagrams = pages::diagramsFromLookup(l, 2);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(diagrams[i].frets, l.fingerings[i].frets) << i;
        EXPECT_EQ(diagrams[i].markers, l.fingerings[i].markers) << i;
        EXPECT_EQ(diagrams[i].baseFret, l.fingerings[i].baseFret) << i;
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

TEST(DiagramsFromLookup, RecordBytesCarryTheLookup)
{
    const auto d = pages::diagramsFromLookup(dMinor7(), 2)[0];
    const auto b = d.toBytes();
    EXPECT_EQ(b[0], 0);                                           // filled
    EXPECT_EQ(std::string(b.begin() + 2, b.begin() + 2 + b[1]), "m7");
    EXPECT_EQ(std::string(b.begin() + 18, b.begin() + 18 + b[17]), "Standard");
    EXPECT_EQ(std::string(b.begin() + 34, b.begin() + 34 + b[33]), "1 b3 5 b7");
    EXPECT_EQ(b[60], 1);  // string 0 fret
    EXPECT_EQ(b[61], 1);  // string 0 finger
    EXPECT_EQ(b[69], 5);  // string 4 not played
    EXPECT_EQ(b[85], 1);  // beginning fret
    EXPECT_EQ(b[86], 2);  // root D
    EXPECT_EQ(b[87], 26);
    EXPECT_EQ(DiagramRecord::fromBytes(b.data()), d);
}

}  // namespace
