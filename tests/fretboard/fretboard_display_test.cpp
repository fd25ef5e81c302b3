#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <tuple>
#include <map>
#include <string>
#include <vector>

#include "RecordBuilders.h"
#include "fretboard/FretboardDisplay.h"

using namespace strumox::fretboard;
using strumox::pages::DiagramRecord;
using strumox::theory::NoteNames;
using strumox::theory::Spelling;
using namespace strumox::testsupport;

namespace {

// Colours as the display reports them (0xRRGGBB).
constexpr std::uint32_t kRed = 0xFF0000, kAqua = 0x00FFFF, kGreen = 0x00FF00, kWhite = 0xFFFFFF,
                        kYellow = 0xFFFF00, kTeal = 0x008080, kMaroon = 0x800000, kBlue = 0x0000FF,
                        kBlack = 0x000000;

// A chord formula laid over the neck (no string played) from the given beginning fret.
DiagramRecord formula(int root, const strumox::theory::IntervalList& intervals, int baseFret)
{
    return atBaseFret(shapeChord(root, "", "xxxxxx", intervals), baseFret);
}

struct Cell {
    int string, fret;
    std::uint32_t rgb;
    bool operator<(const Cell& o) const { return std::tie(string, fret, rgb) < std::tie(o.string, o.fret, o.rgb); }
    bool operator==(const Cell& o) const = default;
};

std::vector<Cell> squares(const FretboardDisplay& d)
{
    std::vector<Cell> out;
    for (const auto& q : d.scene().squares)
        out.push_back({q.string, q.fret, q.rgb});
    std::sort(out.begin(), out.end());
    return out;
}

int rootFlagCount(const strumox::glowboard::DisplayMatrix& m)
{
    int n = 0;
    for (int f = 0; f < 22; ++f)
        for (int s = 0; s < 6; ++s)
            n += m.root(f, s) ? 1 : 0;
    return n;
}

class FretboardDisplayTest : public ::testing::Test {
protected:
    NoteNames names{Spelling::Flats};
    FretboardDisplay display{names};
    DisplayContext ctx;
    int sent = 0;
    int offCalls = 0;
    strumox::glowboard::DisplayMatrix lastSent;

    void SetUp() override
    {
        display.onSendMatrix = [this](const strumox::glowboard::DisplayMatrix& m) {
            ++sent;
            lastSent = m;
        };
        display.onGlowboardOff = [this] { ++offCalls; };
    }
};

// ---- Chord name, notes and interval read-outs ----

TEST_F(FretboardDisplayTest, ChordNameShowsTheBassOnlyWhenItDiffersFromTheRoot)
{
    struct Row {
        const char* what;
        int root;
        int bass;
        const char* suffix;
        Spelling spelling;
        const char* expected;
    };
    const Row rows[] = {
        {"bass = root + 24", 0, 24, "maj7", Spelling::Flats, "C maj7"},
        {"bass E stored + 24", 0, 28, "maj7", Spelling::Flats, "C maj7 /E"},
        {"bass stored without offset", 0, 4, "maj7", Spelling::Flats, "C maj7 /E"},
        {"bass an octave higher still the root", 0, 36, "maj7", Spelling::Flats, "C maj7"},
        {"sharp root", 1, 25, "m7", Spelling::Sharps, "C# m7"},
        {"sharp root and bass", 1, 30, "m7", Spelling::Sharps, "C# m7 /F#"},
        {"flat root, natural bass", 10, 31, "7", Spelling::Flats, "Bb 7 /G"},
    };
    for (const auto& r : rows) {
        names.setSpelling(r.spelling);
        DiagramRecord d = fingeredCMajor();
        d.root = static_cast<std::uint8_t>(r.root);
        d.bass = static_cast<std::uint8_t>(r.bass);
        d.name = r.suffix;
        display.showChord(d, ctx);
        EXPECT_EQ(display.panels().chordName, r.expected) << r.what;
        EXPECT_EQ(display.panels().chordNameCaption, "Chord Name:") << r.what;
        EXPECT_EQ(display.panels().chordNameColour, kBlack) << r.what;
    }
}

TEST_F(FretboardDisplayTest, NotesAndIntervalFieldsFollowTheIntervalList)
{
    struct Row {
        const char* what;
        int root;
        strumox::theory::IntervalList intervals;
        const char* notes;
        std::array<const char*, 7> captions;
        std::array<int, 7> tags;
    };
    const Row rows[] = {
        {"C maj7", 0, {0, 4, 7, 11, 255, 255, 255}, " C E G B", {"1", "3", "5", "7", "", "", ""}, {0, 4, 7, 11, -1, -1, -1}},
        {"A m9", 9, {0, 3, 7, 10, 14, 255, 255}, " A C E G B", {"1", "b3", "5", "b7", "9", "", ""}, {0, 3, 7, 10, 2, -1, -1}},
        {"D 13", 2, {0, 4, 7, 10, 14, 17, 21}, " D Gb A C E G B", {"1", "3", "5", "b7", "9", "11", "13"}, {0, 4, 7, 10, 2, 5, 9}},
        {"root alone", 5, {0, 255, 255, 255, 255, 255, 255}, " F", {"1", "", "", "", "", "", ""}, {0, -1, -1, -1, -1, -1, -1}},
    };
    for (const auto& r : rows) {
        DiagramRecord d = fingeredCMajor();
        d.root = static_cast<std::uint8_t>(r.root);
        d.bass = static_cast<std::uint8_t>(r.root + 24);
        d.intervals = r.intervals;
        display.showChord(d, ctx);
        EXPECT_EQ(display.panels().notes, r.notes) << r.what;
        for (size_t k = 0; k < 7; ++k) {
            EXPECT_EQ(display.panels().intervals[k].caption, r.captions[k]) << r.what << " field " << k;
            EXPECT_EQ(display.panels().intervals[k].tag, r.tags[k]) << r.what << " field " << k;
            EXPECT_EQ(display.panels().intervals[k].background, kWhite) << r.what << " field " << k;
        }
    }
}

TEST_F(FretboardDisplayTest, TuningNameAndOpenStringsComeFromTheChord)
{
    DiagramRecord d = fingeredCMajor();
    d.tuning = {64, 59, 55, 50, 45, 38};
    d.tuningName = "D A D G B E ";
    display.showChord(d, ctx);
    EXPECT_EQ(display.panels().tuningName, "D A D G B E ");
    EXPECT_EQ(display.openStrings(), d.tuning);
    EXPECT_EQ(display.shownRoot(), 0);
}

// ---- Root read-out: active only when a played string sounds the root ----

// E chord shape with both E strings and the D string muted: only B, G# and B sound.
const DiagramRecord kRootlessE = fingeredChord(4, "", "x2x10x", "x2x10x", {0, 4, 7, 255, 255, 255, 255});

TEST_F(FretboardDisplayTest, RootFieldIsActiveOnlyWhenAPlayedStringSoundsTheRoot)
{
    display.showChord(fingeredCMajor(), ctx);
    EXPECT_FALSE(display.panels().intervals[0].inactive);
    display.showChord(kRootlessE, ctx);
    EXPECT_TRUE(display.panels().intervals[0].inactive);
    EXPECT_EQ(rootFlagCount(display.matrix()), 0);
    // The muted strings show the cross, whatever note they would give.
    for (const auto& g : display.scene().glyphs) {
        if (g.string == 0 || g.string == 5) {
            EXPECT_EQ(g.cellX, glyphCellX(5, false)) << "string " << g.string;
        }
    }
}

TEST_F(FretboardDisplayTest, FormulaLaidOverAFingeringKeepsTheRootFieldGreyWhenTheRootIsNotPlayed)
{
    // The design page with Show Intervals down shows the work fingering, then the chosen
    // formula over it. Laying the formula over the neck sets the fields' captions, tags and
    // backgrounds only; the "1" field keeps telling that the fingering does not sound its root.
    ctx.designPageActive = true;
    ctx.showIntervalsDown = true;
    display.showChord(kRootlessE, ctx);
    ASSERT_TRUE(display.panels().intervals[0].inactive);
    display.showIntervals(formula(4, {0, 4, 7, 255, 255, 255, 255}, 1), kBlue, ctx);
    EXPECT_EQ(display.panels().intervals[0].caption, "1");
    EXPECT_EQ(display.panels().intervals[0].background, kRed);
    EXPECT_TRUE(display.panels().intervals[0].inactive);

    // With the root played the field stays active.
    display.showChord(fingeredCMajor(), ctx);
    display.showIntervals(formula(0, {0, 4, 7, 255, 255, 255, 255}, 1), kBlue, ctx);
    EXPECT_FALSE(display.panels().intervals[0].inactive);
}

// ---- Marker glyphs on the picture ----

TEST_F(FretboardDisplayTest, OpenCMajorGlyphsPerString)
{
    display.showChord(fingeredCMajor(), ctx);
    std::vector<Cell> got;
    for (const auto& g : display.scene().glyphs)
        got.push_back({g.string, g.fret, static_cast<std::uint32_t>(g.cellX)});
    std::sort(got.begin(), got.end());
    auto cell = [](int marker, bool root) { return static_cast<std::uint32_t>(glyphCellX(marker, root)); };
    const std::vector<Cell> expected{{0, 0, cell(0, false)}, {1, 1, cell(1, true)},  {2, 0, cell(0, false)},
                                     {3, 2, cell(2, false)}, {4, 3, cell(3, true)}, {5, 0, cell(5, false)}};
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(display.scene().squares.empty());
}

TEST_F(FretboardDisplayTest, PlainDotsAndOpenStringsUseTheRootCellOnTheRoot)
{
    // G major 320003 with plain dots: G on strings 0, 2 and 5.
    display.showChord(shapeChord(7, "", "320003", {0, 4, 7, 255, 255, 255, 255}), ctx);
    std::map<int, int> cellOf;
    for (const auto& g : display.scene().glyphs)
        cellOf[g.string] = g.cellX;
    const std::map<int, int> expected{{0, glyphCellX(6, true)},  {1, glyphCellX(0, false)}, {2, glyphCellX(0, true)},
                                      {3, glyphCellX(0, false)}, {4, glyphCellX(6, false)}, {5, glyphCellX(6, true)}};
    EXPECT_EQ(cellOf, expected);
}

// ---- LED matrix ----

TEST_F(FretboardDisplayTest, MatrixLightsPlayedStringsAndFlagsTheRoots)
{
    display.showChord(fingeredCMajor(), ctx);
    const auto& m = display.matrix();
    EXPECT_EQ(m.litCount(), 5);
    EXPECT_TRUE(m.lit(0, 0));
    EXPECT_TRUE(m.lit(1, 1));
    EXPECT_TRUE(m.lit(0, 2));
    EXPECT_TRUE(m.lit(2, 3));
    EXPECT_TRUE(m.lit(3, 4));
    EXPECT_FALSE(m.lit(0, 5));  // muted low E
    EXPECT_EQ(rootFlagCount(m), 2);
    EXPECT_TRUE(m.root(1, 1));
    EXPECT_TRUE(m.root(3, 4));
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(lastSent, m);
}

TEST_F(FretboardDisplayTest, FretTwentyTwoIsDrawnButNeverLit)
{
    // High E at fret 22 (D, the root) and B at fret 21 (Ab); the rest muted.
    display.showChord(shapeChord(2, "", "x x x x 21 22", {0, 6, 255, 255, 255, 255, 255}), ctx);
    const auto& m = display.matrix();
    EXPECT_EQ(m.litCount(), 1);
    EXPECT_TRUE(m.lit(21, 1));
    EXPECT_EQ(rootFlagCount(m), 0);
    bool drawn = false;
    for (const auto& g : display.scene().glyphs)
        if (g.string == 0 && g.fret == 22 && g.cellX == glyphCellX(6, true))
            drawn = true;
    EXPECT_TRUE(drawn);
    EXPECT_FALSE(display.panels().intervals[0].inactive);  // fret 22 still sounds the root
}

// ---- Empty records and ClearDisplay ----

TEST_F(FretboardDisplayTest, EmptyRecordClearsEverything)
{
    display.showChord(fingeredCMajor(), ctx);
    display.hover(10, 15);
    DiagramRecord d = fingeredCMajor();
    d.empty = 1;
    display.showChord(d, ctx);
    const auto& p = display.panels();
    EXPECT_EQ(p.chordName, "");
    EXPECT_EQ(p.tuningName, "");
    EXPECT_EQ(p.notes, "");
    EXPECT_EQ(p.note, "");
    EXPECT_EQ(p.interval, "");
    for (const auto& f : p.intervals) {
        EXPECT_EQ(f.caption, "");
        EXPECT_EQ(f.tag, -1);
    }
    EXPECT_TRUE(display.scene().glyphs.empty());
    EXPECT_TRUE(display.scene().squares.empty());
    EXPECT_EQ(display.matrix().litCount(), 0);
    EXPECT_EQ(offCalls, 1);
    for (auto mark : display.keyboard().marks)
        EXPECT_EQ(mark, KeyboardScene::Mark::None);
}

TEST_F(FretboardDisplayTest, ClearDisplayAfterIntervalsEmptiesPictureAndPanels)
{
    ctx.showFullFretboard = true;
    display.showIntervals(formula(0, {0, 4, 7, 255, 255, 255, 255}, 1), kBlue, ctx);
    ASSERT_FALSE(display.scene().squares.empty());
    display.clearDisplay();
    EXPECT_TRUE(display.scene().squares.empty());
    EXPECT_EQ(display.panels().chordName, "");
    EXPECT_EQ(display.panels().intervals[1].caption, "");
    EXPECT_EQ(display.matrix().litCount(), 0);
    EXPECT_EQ(offCalls, 1);
}

// ---- Keyboard marks of a shown chord ----

TEST_F(FretboardDisplayTest, ChordIsMarkedOnTheKeyboardWithItsRoot)
{
    display.showChord(fingeredCMajor(), ctx);
    const auto& k = display.keyboard().marks;
    for (int key = 0; key < 60; ++key) {
        const int pc = key % 12;
        const auto expected = pc == 0 ? KeyboardScene::Mark::Root
                              : (pc == 4 || pc == 7) ? KeyboardScene::Mark::Scale
                                                     : KeyboardScene::Mark::None;
        EXPECT_EQ(k[key], expected) << "key " << key;
    }
}

// ---- Arpeggio shown with the chord ----

TEST_F(FretboardDisplayTest, ArpeggioMarksChordNotesAroundTheBeginningFret)
{
    ctx.showArpeggioDown = true;
    DiagramRecord d = fingeredCMajor();
    d.bass = 28;  // E in the bass
    display.showChord(d, ctx);
    // Frets 0..4 (beginning fret 1): every C red, every E and G green.
    const std::vector<Cell> expected{{0, 0, kGreen}, {0, 3, kGreen}, {1, 1, kRed}, {2, 0, kGreen},
                                     {3, 2, kGreen}, {4, 3, kRed},   {5, 0, kGreen}, {5, 3, kGreen}};
    EXPECT_EQ(squares(display), expected);
    EXPECT_EQ(display.scene().glyphs.size(), 6u);
    // The arpeggio's own name has no bass part; its text is black.
    EXPECT_EQ(display.panels().chordName, "C major");
    EXPECT_EQ(display.panels().chordNameColour, kBlack);
    // The LEDs show the arpeggio.
    EXPECT_EQ(display.matrix().litCount(), 8);
    EXPECT_TRUE(display.matrix().lit(3, 5));
    EXPECT_EQ(rootFlagCount(display.matrix()), 2);
    EXPECT_FALSE(display.panels().intervals[0].inactive);
}

// ---- ShowIntervals: fret range ----

TEST_F(FretboardDisplayTest, IntervalsAroundTheBeginningFretOnly)
{
    // A5 (A and E) from beginning fret 5: frets 4..8.
    display.showIntervals(formula(9, {0, 7, 255, 255, 255, 255, 255}, 5), kBlue, ctx);
    const std::vector<Cell> expected{{0, 5, kRed}, {1, 5, kGreen}, {3, 7, kRed}, {4, 7, kGreen}, {5, 5, kRed}};
    EXPECT_EQ(squares(display), expected);
    EXPECT_EQ(display.matrix().litCount(), 5);
    EXPECT_EQ(rootFlagCount(display.matrix()), 3);
    EXPECT_EQ(sent, 1);
}

TEST_F(FretboardDisplayTest, FullFretboardAndDesignPageCoverFretsZeroToTwentyTwo)
{
    struct Row {
        const char* what;
        bool full;
        bool design;
    };
    const Row rows[] = {{"full fretboard", true, false}, {"design page", false, true}, {"both", true, true}};
    for (const auto& r : rows) {
        FretboardDisplay fresh{names};
        DisplayContext c;
        c.showFullFretboard = r.full;
        c.designPageActive = r.design;
        fresh.showIntervals(formula(9, {0, 7, 255, 255, 255, 255, 255}, 5), kBlue, c);
        const auto q = squares(fresh);
        // Every string has A and E twice each on frets 0..22.
        EXPECT_EQ(q.size(), 24u) << r.what;
        EXPECT_EQ(std::count_if(q.begin(), q.end(), [](const Cell& c) { return c.rgb == kRed; }), 12) << r.what;
        EXPECT_TRUE(std::count(q.begin(), q.end(), Cell{1, 22, kRed})) << r.what;  // A on the B string
        EXPECT_TRUE(std::count(q.begin(), q.end(), Cell{4, 0, kRed})) << r.what;
        // The A at fret 22 cannot be lit.
        EXPECT_EQ(fresh.matrix().litCount(), 23) << r.what;
        EXPECT_EQ(rootFlagCount(fresh.matrix()), 11) << r.what;
    }
}

TEST_F(FretboardDisplayTest, HighBeginningFretReachesFretTwentyTwoWithoutLightingIt)
{
    // D alone from beginning fret 19: frets 18..22.
    display.showIntervals(formula(2, {0, 255, 255, 255, 255, 255, 255}, 19), kBlue, ctx);
    const std::vector<Cell> expected{{0, 22, kRed}, {2, 19, kRed}, {5, 22, kRed}};
    EXPECT_EQ(squares(display), expected);
    EXPECT_EQ(display.matrix().litCount(), 1);
    EXPECT_TRUE(display.matrix().root(19, 2));
}

TEST_F(FretboardDisplayTest, IntervalsFollowTheOpenStringControlsNotTheRecord)
{
    display.setOpenStrings({64, 59, 55, 50, 45, 38});  // drop D on the up-downs
    display.showIntervals(formula(2, {0, 255, 255, 255, 255, 255, 255}, 1), kBlue, ctx);
    const std::vector<Cell> expected{{1, 3, kRed}, {3, 0, kRed}, {5, 0, kRed}};
    EXPECT_EQ(squares(display), expected);
}

// ---- ShowIntervals: colours ----

TEST_F(FretboardDisplayTest, DesignPageWithShowIntervalsColoursEachNoteByItsSlot)
{
    ctx.designPageActive = true;
    ctx.showIntervalsDown = true;
    // C m9: C Eb G Bb D in slots 0..4 (red, aqua, green, white, yellow).
    display.showIntervals(formula(0, {0, 3, 7, 10, 14, 255, 255}, 1), kBlue, ctx);
    const std::map<int, std::uint32_t> colourOfPitch{{0, kRed}, {3, kAqua}, {7, kGreen}, {10, kWhite}, {2, kYellow}};
    const auto& open = display.openStrings();
    ASSERT_FALSE(display.scene().squares.empty());
    for (const auto& q : display.scene().squares) {
        const int pc = (open[static_cast<size_t>(q.string)] + q.fret) % 12;
        ASSERT_TRUE(colourOfPitch.count(pc)) << "unexpected note " << pc;
        EXPECT_EQ(q.rgb, colourOfPitch.at(pc)) << "string " << q.string << " fret " << q.fret;
    }
    EXPECT_EQ(display.panels().intervals[1].background, kAqua);
    EXPECT_EQ(display.panels().intervals[4].background, kYellow);
}

TEST_F(FretboardDisplayTest, SlotColoursOnlyOnTheDesignPageWithShowIntervalsDown)
{
    struct Row {
        const char* what;
        bool design;
        bool showIntervals;
    };
    const Row rows[] = {{"design page, Show Intervals up", true, false},
                        {"other page, Show Intervals down", false, true},
                        {"other page", false, false}};
    for (const auto& r : rows) {
        FretboardDisplay fresh{names};
        DisplayContext c;
        c.designPageActive = r.design;
        c.showIntervalsDown = r.showIntervals;
        c.showFullFretboard = true;
        fresh.showIntervals(formula(0, {0, 3, 7, 10, 14, 255, 255}, 1), kBlue, c);
        const auto& open = fresh.openStrings();
        ASSERT_EQ(fresh.scene().squares.size(), 57u) << r.what;
        for (const auto& q : fresh.scene().squares) {
            const int pc = (open[static_cast<size_t>(q.string)] + q.fret) % 12;
            EXPECT_EQ(q.rgb, pc == 0 ? kRed : kGreen) << r.what << ": string " << q.string << " fret " << q.fret;
        }
        for (size_t k = 0; k < 7; ++k)
            EXPECT_EQ(fresh.panels().intervals[k].background, kWhite) << r.what << " field " << k;
    }
}

TEST_F(FretboardDisplayTest, SevenIntervalFieldsTakeTheSevenSlotColours)
{
    ctx.designPageActive = true;
    ctx.showIntervalsDown = true;
    display.showIntervals(formula(0, {0, 4, 7, 10, 14, 17, 21}, 1), kBlue, ctx);
    const std::array<std::uint32_t, 7> expected{kRed, kAqua, kGreen, kWhite, kYellow, kTeal, kMaroon};
    for (size_t k = 0; k < 7; ++k)
        EXPECT_EQ(display.panels().intervals[k].background, expected[k]) << "slot " << k;
    // F (the 11th, slot 5) in teal and A (the 13th, slot 6) in maroon on the neck.
    const auto q = squares(display);
    EXPECT_TRUE(std::count(q.begin(), q.end(), Cell{0, 1, kTeal}));
    EXPECT_TRUE(std::count(q.begin(), q.end(), Cell{4, 0, kMaroon}));
}

TEST_F(FretboardDisplayTest, IntervalsUseTheGivenTextColourAndNoBassInTheName)
{
    DiagramRecord d = formula(0, {0, 4, 7, 11, 255, 255, 255}, 1);
    d.name = "maj7";
    d.bass = 31;  // G
    display.showIntervals(d, kBlue, ctx);
    EXPECT_EQ(display.panels().chordName, "C maj7");
    EXPECT_EQ(display.panels().chordNameColour, kBlue);
    EXPECT_EQ(display.panels().notesColour, kBlue);
    EXPECT_EQ(display.panels().notes, " C E G B");
}

// ---- Hover read-outs ----

TEST_F(FretboardDisplayTest, HoverNamesTheNoteAndItsIntervalAgainstTheShownRoot)
{
    struct Row {
        const char* what;
        int root;
        int x;
        int y;
        const char* note;
        const char* interval;
    };
    const Row rows[] = {
        {"open high E over D", 2, 10, 15, "E", "2 / 9"},
        {"high E fret 2 over C", 0, 100, 15, "Gb", "b5 / #11"},
        {"open high E over C", 0, 10, 15, "E", "3"},
        {"low E fret 5 over A", 9, 250, 100, "A", "1"},
        {"G string fret 1 over A", 9, 50, 50, "Ab", "7"},
    };
    for (const auto& r : rows) {
        DiagramRecord d = fingeredCMajor();
        d.root = static_cast<std::uint8_t>(r.root);
        display.showChord(d, ctx);
        EXPECT_TRUE(display.hover(r.x, r.y)) << r.what;
        EXPECT_EQ(display.panels().note, r.note) << r.what;
        EXPECT_EQ(display.panels().interval, r.interval) << r.what;
    }
}

TEST_F(FretboardDisplayTest, HoverRemembersThePositionAndEmptiesOutsideTheArea)
{
    display.showChord(fingeredCMajor(), ctx);
    ASSERT_TRUE(display.hover(300, 80));
    EXPECT_EQ(display.hoverString(), 4);
    EXPECT_EQ(display.hoverFret(), 6);
    EXPECT_EQ(display.panels().note, "Eb");  // A string fret 6
    EXPECT_FALSE(display.hover(4, 80));
    EXPECT_EQ(display.panels().note, "");
    EXPECT_EQ(display.panels().interval, "");
    EXPECT_FALSE(display.hover(300, 106));
    EXPECT_EQ(display.panels().note, "");
}

TEST_F(FretboardDisplayTest, HoverUsesTheHandednessAndTheOpenStringControls)
{
    display.showChord(fingeredCMajor(), ctx);
    display.setHandLayout(HandLayout::left());
    ASSERT_TRUE(display.hover(740, 15));  // nut on the right
    EXPECT_EQ(display.hoverFret(), 0);
    EXPECT_EQ(display.panels().note, "E");
    display.setOpenString(0, 65);
    ASSERT_TRUE(display.hover(700, 15));  // fret 1 left-handed
    EXPECT_EQ(display.hoverFret(), 1);
    EXPECT_EQ(display.panels().note, "Gb");
    EXPECT_EQ(display.panels().interval, "b5 / #11");
}


// ---- Flats and sharps: respelling what is shown ----

TEST_F(FretboardDisplayTest, RespellingRenamesChordNameNotesTuningNameAndHoverNote)
{
    DiagramRecord d = fingeredChord(1, "m7", "x46454", "x13121", {0, 3, 7, 10, 255, 255, 255});
    d.bass = 6 + DiagramRecord::kBassOffset;
    d.tuningName = "Eb Ab Db Gb Bb Eb ";
    display.showChord(d, ctx);
    ASSERT_TRUE(display.hover(100, 15));  // high E string, fret 2
    ASSERT_EQ(display.panels().chordName, "Db m7 /Gb");
    ASSERT_EQ(display.panels().notes, " Db E Ab B");
    ASSERT_EQ(display.panels().note, "Gb");
    const auto glyphs = display.scene().glyphs.size();

    names.toggle();
    display.respell();
    EXPECT_EQ(display.panels().chordName, "C# m7 /F#");
    EXPECT_EQ(display.panels().notes, " C# E G# B");
    EXPECT_EQ(display.panels().tuningName, "D# G# C# F# A# D# ");
    EXPECT_EQ(display.panels().note, "F#");
    EXPECT_EQ(display.panels().interval, "4 / 11");
    EXPECT_EQ(display.scene().glyphs.size(), glyphs);

    // A name stepped on the design page, then a suffix typed over it.
    display.setChordName(3, "7", 10);
    EXPECT_EQ(display.panels().chordName, "D# 7 /A#");
    display.setChordSuffix("9");
    names.toggle();
    display.respell();
    EXPECT_EQ(display.panels().chordName, "Eb 9 /Bb");

    // Nothing shown, nothing named.
    display.clearDisplay();
    names.toggle();
    display.respell();
    EXPECT_EQ(display.panels().chordName, "");
    EXPECT_EQ(display.panels().notes, "");
    EXPECT_EQ(display.panels().note, "");
}

testing::AssertionResult samePanels(const FretboardPanels& a, const FretboardPanels& b)
{
    auto differ = [](const char* field, const std::string& x, const std::string& y) {
        return testing::AssertionFailure() << field << ": \"" << x << "\" vs \"" << y << "\"";
    };
    if (a.chordNameCaption != b.chordNameCaption)
        return differ("caption", a.chordNameCaption, b.chordNameCaption);
    if (a.chordName != b.chordName)
        return differ("chord name", a.chordName, b.chordName);
    if (a.tuningName != b.tuningName)
        return differ("tuning name", a.tuningName, b.tuningName);
    if (a.notes != b.notes)
        return differ("notes", a.notes, b.notes);
    if (a.note != b.note)
        return differ("note", a.note, b.note);
    if (a.interval != b.interval)
        return differ("interval", a.interval, b.interval);
    if (a.chordNameColour != b.chordNameColour || a.notesColour != b.notesColour)
        return testing::AssertionFailure() << "text colours";
    for (size_t k = 0; k < a.intervals.size(); ++k) {
        const IntervalField &x = a.intervals[k], &y = b.intervals[k];
        if (x.caption != y.caption || x.tag != y.tag || x.background != y.background || x.text != y.text ||
            x.inactive != y.inactive)
            return testing::AssertionFailure() << "interval field " << k;
    }
    return testing::AssertionSuccess();
}

std::vector<std::tuple<int, int, int, std::uint32_t>> sceneOf(const FretboardDisplay& d)
{
    std::vector<std::tuple<int, int, int, std::uint32_t>> out;
    for (const auto& g : d.scene().glyphs)
        out.emplace_back(0, g.string, g.fret, std::uint32_t(g.cellX));
    for (const auto& q : d.scene().squares)
        out.emplace_back(1, q.string, q.fret, q.rgb);
    return out;
}


// Whatever was shown, switching the spelling (any number of times, between any steps) leaves the
// display exactly as if every step had been taken in the new spelling from the start.
TEST(FretboardDisplayRespelling, RespelledReadOutsMatchAReplayInTheNewSpelling)
{
    using Step = std::function<void(FretboardDisplay&)>;
    const char* tuningNames[] = {"Standard", "Eb Ab Db Gb Bb Eb ", " D# G# C# F# A# D#", "D A D G B E ", "Open Db", ""};
    const char* shapes[] = {"x32010", "x46454", "x x 10 12 13 12", "133211", "x02220"};
    std::mt19937 rng(1234);
    auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };

    for (int run = 0; run < 60; ++run) {
        NoteNames liveNames{pick(2) ? Spelling::Flats : Spelling::Sharps};
        FretboardDisplay live{liveNames};
        std::vector<Step> steps;
        DisplayContext ctx;
        for (int n = 0; n < 40; ++n) {
            Step step;
            ctx.showArpeggioDown = pick(3) == 0;
            ctx.showFullFretboard = pick(4) == 0;
            switch (pick(9)) {
            case 0:
            case 1: {
                strumox::theory::IntervalList iv{0, 255, 255, 255, 255, 255, 255};
                for (size_t k = 1; k < 7; ++k)
                    if (pick(2))
                        iv[k] = std::uint8_t(1 + pick(21));
                DiagramRecord d = shapeChord(pick(12), pick(2) ? "m7" : "maj9", shapes[pick(5)], iv);
                d.bass = std::uint8_t(pick(12) + DiagramRecord::kBassOffset);
                d.tuningName = tuningNames[pick(6)];
                if (pick(2))
                    step = [d, ctx](FretboardDisplay& x) { x.showChord(d, ctx); };
                else
                    step = [d, ctx](FretboardDisplay& x) { x.showIntervals(d, 0x0000FF, ctx); };
                break;
            }
            case 2: {
                strumox::pages::ScaleRecord r = cMajorScale();
                r.root = std::uint8_t(pick(12));
                r.tuningName = tuningNames[pick(6)];
                const int begin = 1 + pick(20);
                step = [r, begin, ctx](FretboardDisplay& x) { x.showScale(r, begin, 5, ctx); };
                break;
            }
            case 3: {
                const int root = pick(12), bass = pick(12);
                step = [root, bass](FretboardDisplay& x) { x.setChordName(root, "sus4", bass); };
                break;
            }
            case 4: step = [](FretboardDisplay& x) { x.setChordSuffix("add9"); }; break;
            case 5: {
                const int px = pick(760), py = pick(123);
                step = [px, py](FretboardDisplay& x) { x.hover(px, py); };
                break;
            }
            case 6: {
                const int key = pick(60);
                step = [key](FretboardDisplay& x) { x.hoverKey(key); };
                break;
            }
            case 7: {
                const std::string name = tuningNames[pick(6)];
                step = [name](FretboardDisplay& x) { x.setTuningName(name); };
                break;
            }
            default: step = [](FretboardDisplay& x) { x.clearDisplay(); }; break;
            }
            step(live);
            steps.push_back(step);
            if (pick(3) == 0) {
                liveNames.toggle();
                live.respell();
            }

            NoteNames replayNames{liveNames.spelling()};
            FretboardDisplay replay{replayNames};
            for (const Step& s : steps)
                s(replay);
            ASSERT_TRUE(samePanels(live.panels(), replay.panels())) << "run " << run << " step " << n;
            ASSERT_EQ(sceneOf(live), sceneOf(replay)) << "run " << run << " step " << n;
            ASSERT_EQ(live.openStrings(), replay.openStrings());
            ASSERT_EQ(live.shownRoot(), replay.shownRoot());
        }
    }
}

}  // namespace

// --- playback's finger dots ----------------------------------------------------------------------

TEST_F(FretboardDisplayTest, SoundingDotsFollowTheNotesAndAnEndWipesOnlyWhereAsked)
{
    display.showChord(shapeChord(0, "major", "x32010", {0, 4, 7, 255, 255, 255, 255}, "1 3 5"), ctx);
    const auto chordGlyphs = display.scene().glyphs;
    // Every mark lights its own glyph; out-of-range input is dropped.
    for (int mark = 0; mark <= 6; ++mark) {
        display.noteSounding(3, 7, mark);
        ASSERT_TRUE(display.scene().sounding[3]);
        EXPECT_EQ(display.scene().sounding[3]->cellX, soundingCellX(mark)) << "mark " << mark;
        EXPECT_EQ(display.scene().sounding[3]->fret, 7);
    }
    display.noteSounding(6, 1, 1);
    display.noteSounding(2, 23, 1);
    display.noteSounding(2, 1, 7);
    EXPECT_FALSE(display.scene().sounding[2]);

    // A later note on the same string takes its place; the chord's own glyphs stay untouched.
    display.noteSounding(4, 3, 3);
    display.noteSounding(4, 5, 1);
    EXPECT_EQ(display.scene().sounding[4]->fret, 5);
    EXPECT_EQ(display.scene().glyphs.size(), chordGlyphs.size());

    // An end without wipe leaves the chord's glyph in that cell; with wipe it goes, and only it.
    display.noteEnded(4, 3, false);
    EXPECT_FALSE(display.scene().sounding[4]);
    EXPECT_EQ(display.scene().glyphs.size(), chordGlyphs.size());
    display.noteEnded(4, 3, true);
    EXPECT_EQ(display.scene().glyphs.size(), chordGlyphs.size() - 1);
    for (const auto& g : display.scene().glyphs)
        EXPECT_FALSE(g.string == 4 && g.fret == 3);

    display.clearDisplay();
    EXPECT_TRUE(std::none_of(display.scene().sounding.begin(), display.scene().sounding.end(),
                             [](const auto& g) { return g.has_value(); }));
}
