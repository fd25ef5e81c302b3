#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "RecordBuilders.h"
#include "fretboard/FingeringEditor.h"
#include "fretboard/FretboardDisplay.h"

using namespace strumox::fretboard;
using strumox::pages::DiagramRecord;
using strumox::theory::CompoundFlags;

namespace {

const CompoundFlags kNoCompound{};
const MarkerChoice kPlain = std::uint8_t{6};
const MarkerChoice kNone = std::nullopt;

MarkerChoice finger(int n) { return static_cast<std::uint8_t>(n); }

// Builds open C major x32010 by clicks: right click on the C of the A string sets the root.
DiagramRecord clickCMajor(const CompoundFlags& flags = kNoCompound)
{
    DiagramRecord w = DiagramRecord::blankWork();
    applyFretClick(w, 4, 3, true, finger(3), flags);
    applyFretClick(w, 3, 2, false, finger(2), flags);
    applyFretClick(w, 2, 0, false, kNone, flags);
    applyFretClick(w, 1, 1, false, finger(1), flags);
    applyFretClick(w, 0, 0, false, kNone, flags);
    return w;
}

// ---- Clicks at the nut: open and muted ----

TEST(FretClickNut, LeftClickTogglesBetweenOpenAndMuted)
{
    DiagramRecord w = DiagramRecord::blankWork();
    applyFretClick(w, 2, 0, false, kPlain, kNoCompound);
    EXPECT_EQ(w.markers[2], 0);
    EXPECT_EQ(w.sounding[2], 55);
    applyFretClick(w, 2, 0, false, kPlain, kNoCompound);
    EXPECT_EQ(w.markers[2], 5);
    EXPECT_EQ(w.sounding[2], 0);
    applyFretClick(w, 2, 0, false, kPlain, kNoCompound);
    EXPECT_EQ(w.markers[2], 0);
    EXPECT_EQ(w.sounding[2], 55);
}

TEST(FretClickNut, RightClickAlwaysLeavesTheStringOpen)
{
    DiagramRecord w = DiagramRecord::blankWork();
    applyFretClick(w, 5, 0, true, kPlain, kNoCompound);  // muted -> open
    EXPECT_EQ(w.markers[5], 0);
    EXPECT_EQ(w.sounding[5], 40);
    applyFretClick(w, 5, 0, true, kPlain, kNoCompound);  // open stays open
    EXPECT_EQ(w.markers[5], 0);
    EXPECT_EQ(w.sounding[5], 40);
}

TEST(FretClickNut, NutClickAfterAFrettedNoteOpensOrMutesTheString)
{
    DiagramRecord w = DiagramRecord::blankWork();
    applyFretClick(w, 1, 3, false, kPlain, kNoCompound);
    ASSERT_EQ(w.markers[1], 6);
    applyFretClick(w, 1, 0, false, kPlain, kNoCompound);  // marker 6 is not "muted": becomes muted
    EXPECT_EQ(w.frets[1], 0);
    EXPECT_EQ(w.markers[1], 5);
    EXPECT_EQ(w.sounding[1], 0);
}

// ---- Clicks on a fret: marker and sounding note ----

TEST(FretClickFret, MarkerComesFromTheChosenButton)
{
    struct Row {
        const char* what;
        MarkerChoice choice;
        std::uint8_t expected;
    };
    const Row rows[] = {{"P", kPlain, 6}, {"finger 1", finger(1), 1}, {"finger 4", finger(4), 4}, {"no button", kNone, 5}};
    for (const auto& r : rows) {
        DiagramRecord w = DiagramRecord::blankWork();  // markers start at 5
        applyFretClick(w, 4, 7, false, r.choice, kNoCompound);
        EXPECT_EQ(w.frets[4], 7) << r.what;
        EXPECT_EQ(w.markers[4], r.expected) << r.what;
        EXPECT_EQ(w.sounding[4], 52) << r.what;  // A string fret 7 = E3
    }
}

TEST(FretClickFret, SoundingNoteFollowsTheStringsTuning)
{
    DiagramRecord w = DiagramRecord::blankWork();
    w.tuning = {62, 57, 55, 50, 45, 38};
    applyFretClick(w, 5, 5, false, kPlain, kNoCompound);
    EXPECT_EQ(w.sounding[5], 43);
    applyFretClick(w, 0, 12, false, kPlain, kNoCompound);
    EXPECT_EQ(w.sounding[0], 74);
}

// ---- Right click: root and bass ----

TEST(FretClickRoot, RightClickMakesTheNoteRootAndBass)
{
    DiagramRecord w = DiagramRecord::blankWork();
    EXPECT_TRUE(applyFretClick(w, 5, 5, true, kPlain, kNoCompound));  // A on the low E string
    EXPECT_EQ(w.root, 9);
    EXPECT_EQ(w.bass, 33);
    EXPECT_EQ(w.markers[5], 6);
    EXPECT_FALSE(applyFretClick(w, 3, 7, true, kPlain, kNoCompound));  // A again on the D string
    EXPECT_EQ(w.root, 9);
    EXPECT_TRUE(applyFretClick(w, 1, 0, true, kPlain, kNoCompound));  // open B
    EXPECT_EQ(w.root, 11);
    EXPECT_EQ(w.bass, 35);
}

TEST(FretClickRoot, LeftClickKeepsRootAndBass)
{
    DiagramRecord w = DiagramRecord::blankWork();
    setWorkRoot(w, 7);
    setWorkBass(w, 11);
    EXPECT_FALSE(applyFretClick(w, 2, 4, false, kPlain, kNoCompound));
    EXPECT_EQ(w.root, 7);
    EXPECT_EQ(w.bass, 35);
}

TEST(FretClickRoot, RootAndBassControls)
{
    DiagramRecord w = DiagramRecord::blankWork();
    setWorkRoot(w, 7);
    EXPECT_EQ(w.root, 7);
    EXPECT_EQ(w.bass, 31);  // the bass follows the root
    setWorkBass(w, 4);
    EXPECT_EQ(w.root, 7);
    EXPECT_EQ(w.bass, 28);
}

// ---- Intervals recomputed after each click ----

TEST(FretClickIntervals, ClickedOpenCMajorIsTheWholeChord)
{
    EXPECT_EQ(clickCMajor(),
              strumox::testsupport::fingeredChord(0, "", "x32010", "x32010", {0, 4, 7, 255, 255, 255, 255}));
}

TEST(FretClickIntervals, CompoundFlagsPutTheNinthAfterTheSimpleIntervals)
{
    CompoundFlags flags{};
    flags[2] = true;
    DiagramRecord w = clickCMajor(flags);
    applyFretClick(w, 1, 3, false, finger(4), flags);  // D on the B string: C add9
    EXPECT_EQ(w.intervals, (strumox::theory::IntervalList{0, 4, 7, 14, 255, 255, 255}));
    DiagramRecord plain = clickCMajor();
    applyFretClick(plain, 1, 3, false, finger(4), kNoCompound);
    EXPECT_EQ(plain.intervals, (strumox::theory::IntervalList{0, 2, 4, 7, 255, 255, 255}));
}

TEST(FretClickIntervals, RightClickRecomputesAgainstTheNewRoot)
{
    DiagramRecord w = clickCMajor();
    applyFretClick(w, 0, 0, true, kNone, kNoCompound);  // open E becomes the root (and stays open)
    EXPECT_EQ(w.root, 4);
    // C E G over E: 8, 0, 3
    EXPECT_EQ(w.intervals, (strumox::theory::IntervalList{0, 3, 8, 255, 255, 255, 255}));
}

// ---- Beginning fret ----

TEST(BeginningFret, ClicksKeepItUpToDate)
{
    DiagramRecord w = DiagramRecord::blankWork();
    applyFretClick(w, 0, 17, false, kPlain, kNoCompound);
    applyFretClick(w, 1, 19, false, kPlain, kNoCompound);
    applyFretClick(w, 2, 19, false, kPlain, kNoCompound);
    EXPECT_EQ(w.baseFret, 17);
    applyFretClick(w, 0, 0, false, kPlain, kNoCompound);
    applyFretClick(w, 1, 0, false, kPlain, kNoCompound);
    applyFretClick(w, 2, 3, false, kPlain, kNoCompound);
    EXPECT_EQ(w.baseFret, 1);  // fret 3 alone lies within the first four
    applyFretClick(w, 3, 5, false, kPlain, kNoCompound);
    EXPECT_EQ(w.baseFret, 3);  // frets 3 and 5
}

// ---- Interval text and fret boxes ----

TEST(IntervalText, CaptionsEachFollowedByABlankCutToTwenty)
{
    struct Row {
        const char* what;
        std::array<const char*, 7> captions;
        const char* expected;
    };
    const Row rows[] = {
        {"major 7", {"1", "3", "5", "7", "", "", ""}, "1 3 5 7    "},
        {"seven short names", {"1", "b3", "5", "b7", "9", "11", "13"}, "1 b3 5 b7 9 11 13 "},
        {"longer than twenty", {"1", "b2", "#5", "b7", "b9", "#11", "b13"}, "1 b2 #5 b7 b9 #11 b1"},
        {"all empty", {"", "", "", "", "", "", ""}, "       "},
    };
    for (const auto& r : rows) {
        std::array<IntervalField, 7> fields;
        for (size_t k = 0; k < 7; ++k)
            fields[k].caption = r.captions[k];
        EXPECT_EQ(intervalText(fields), r.expected) << r.what;
    }
}

TEST(FretBoxes, ShowTheFretOfEverySoundingString)
{
    EXPECT_EQ(fretBoxTexts(clickCMajor()), (std::array<std::string, 6>{"0", "1", "0", "2", "3", ""}));
    EXPECT_EQ(fretBoxTexts(DiagramRecord::blankWork()), (std::array<std::string, 6>{"", "", "", "", "", ""}));
}

TEST(FretBoxes, ParsingAcceptsOnlyFretsZeroToTwentyTwo)
{
    struct Row {
        const char* text;
        std::optional<int> expected;
    };
    const Row rows[] = {{"", 0},  {"0", 0},  {"7", 7},  {"05", 5},          {"22", 22},
                        {"23", std::nullopt}, {"25", std::nullopt}, {"99", std::nullopt},
                        {"x", std::nullopt},  {"-1", std::nullopt}, {"123", std::nullopt}};
    for (const auto& r : rows)
        EXPECT_EQ(parseFretBox(r.text), r.expected) << "\"" << r.text << "\"";
}

TEST(FretBoxes, LeavingABoxSetsOpenMutedOrFretted)
{
    struct Row {
        const char* what;
        bool startOpen;
        const char* text;
        const char* kept;
        std::uint8_t fret;
        std::uint8_t marker;
        std::uint8_t sounding;
    };
    const Row rows[] = {
        {"0 on a muted string", false, "0", "0", 0, 0, 50},
        {"0 on an open string", true, "0", "0", 0, 0, 50},
        {"empty on an open string", true, "", "", 0, 5, 0},
        {"empty on a muted string", false, "", "", 0, 5, 0},
        {"25 is cleared and muted", true, "25", "", 0, 5, 0},
        {"5 with finger 2", false, "5", "5", 5, 2, 55},
    };
    for (const auto& r : rows) {
        DiagramRecord w = DiagramRecord::blankWork();
        if (r.startOpen)
            applyFretClick(w, 3, 0, false, kNone, kNoCompound);
        ASSERT_EQ(w.markers[3], r.startOpen ? 0 : 5) << r.what;
        EXPECT_EQ(applyFretBox(w, 3, r.text, finger(2), kNoCompound), r.kept) << r.what;
        EXPECT_EQ(w.frets[3], r.fret) << r.what;
        EXPECT_EQ(w.markers[3], r.marker) << r.what;
        EXPECT_EQ(w.sounding[3], r.sounding) << r.what;
    }
}

TEST(FretBoxes, BoxEntryRecomputesIntervalsAndBeginningFret)
{
    DiagramRecord w = DiagramRecord::blankWork();
    setWorkRoot(w, 9);
    applyFretBox(w, 5, "5", kPlain, kNoCompound);   // A
    applyFretBox(w, 4, "7", kPlain, kNoCompound);   // E
    applyFretBox(w, 3, "7", kPlain, kNoCompound);   // A
    applyFretBox(w, 2, "6", kPlain, kNoCompound);   // C#
    EXPECT_EQ(w.intervals, (strumox::theory::IntervalList{0, 4, 7, 255, 255, 255, 255}));
    EXPECT_EQ(w.baseFret, 5);
}

// ---- Typed chord names ----

TEST(TypedChordName, SuffixTable)
{
    struct Row {
        const char* typed;
        std::optional<std::string> suffix;
    };
    const Row rows[] = {
        {"Cmaj7/E", "maj7"},
        {"C6/9", "6/9"},
        {"  Bb m7", "m7"},
        {"F#/", ""},
        {"C/E", ""},
        {"", std::nullopt},
        {"    ", std::nullopt},
        {"Ebm7b5", "m7b5"},
        {"m7", "m7"},
        {"Bb", ""},
        {"C#m/G#", "m"},
        {"G7/13", "7/13"},
        {"D/ ", ""},
        {"C /E", ""},
        {"Am7/x", "m7/x"},
        {"Hm7", "Hm7"},
        {"cm7", "cm7"},
        {"Cmaj9(#11)add13sus", "maj9(#11)add13s"},
        {"Cabcdefghijklmnopq/E", "abcdefghijklmno"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(suffixFromTypedName(r.typed), r.suffix) << "\"" << r.typed << "\"";
}

// ---- Retuning the work chord ----

TEST(Retune, SoundingStringsKeepTheirFretsOnTheNewOpenNotes)
{
    DiagramRecord w = clickCMajor();
    retune(w, {62, 57, 54, 50, 45, 38}, "D A D Gb A D ", kNoCompound);
    EXPECT_EQ(w.tuning, (strumox::theory::Tuning{62, 57, 54, 50, 45, 38}));
    EXPECT_EQ(w.tuningName, "D A D Gb A D ");
    EXPECT_EQ(w.frets, (std::array<std::uint8_t, 6>{0, 1, 0, 2, 3, 0}));
    EXPECT_EQ(w.sounding, (strumox::theory::SoundingNotes{62, 58, 54, 52, 48, 0}));
    // D Bb F# E C over C
    EXPECT_EQ(w.intervals, (strumox::theory::IntervalList{0, 2, 4, 6, 10, 255, 255}));
}

TEST(Retune, LongTuningNamesAreCutToFifteen)
{
    DiagramRecord w = clickCMajor();
    retune(w, {63, 58, 54, 49, 44, 39}, "Eb Ab Db Gb Bb Eb ", kNoCompound);
    EXPECT_EQ(w.tuningName, "Eb Ab Db Gb Bb ");
    EXPECT_EQ(w.sounding[4], 47);
}

}  // namespace
