#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "theory/Notes.h"

using namespace strumox::theory;

namespace {

const CompoundFlags kNoCompound{};

CompoundFlags compoundFor(std::initializer_list<int> simple)
{
    CompoundFlags f{};
    for (int k : simple)
        f[static_cast<size_t>(k)] = true;
    return f;
}

// ---- Note names: flat and sharp spelling, reduced modulo 12 ----

TEST(NoteNames, FlatSpellingNamesEveryPitchClass)
{
    const NoteNames names(Spelling::Flats);
    const std::vector<std::string> expected{"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(names.note(n), expected[static_cast<size_t>(n)]) << "note " << n;
}

TEST(NoteNames, SharpSpellingNamesEveryPitchClass)
{
    const NoteNames names(Spelling::Sharps);
    const std::vector<std::string> expected{"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(names.note(n), expected[static_cast<size_t>(n)]) << "note " << n;
}

TEST(NoteNames, NoteNumbersOutsideOneOctaveAreReducedFirst)
{
    const NoteNames names(Spelling::Flats);
    EXPECT_EQ(names.note(12), "C");
    EXPECT_EQ(names.note(13), "Db");
    EXPECT_EQ(names.note(64), "E");   // MIDI note of the open high E string
    EXPECT_EQ(names.note(-1), "B");
    EXPECT_EQ(names.note(-12), "C");
    EXPECT_EQ(names.note(-14), "Bb");
}

TEST(NoteNames, SwitchStartsOnFlatsAndTwoTogglesRestoreIt)
{
    NoteNames names;
    EXPECT_EQ(names.switchCaption(), "Flats");
    EXPECT_EQ(names.note(6), "Gb");
    names.toggle();
    EXPECT_EQ(names.switchCaption(), "Sharps");
    EXPECT_EQ(names.note(6), "F#");
    EXPECT_EQ(names.octaveName(34), "A#1");
    names.toggle();
    EXPECT_EQ(names.switchCaption(), "Flats");
    EXPECT_EQ(names.note(6), "Gb");
    EXPECT_EQ(names.octaveName(34), "Bb1");
}

// ---- Octave names: MIDI 33..69, octave digit rises at each C ----

TEST(OctaveNames, KnownMidiNotesInBothSpellings)
{
    struct Row {
        const char* what;
        int midi;
        const char* flat;
        const char* sharp;
    };
    const Row rows[] = {
        {"lowest open note", 33, "A1", "A1"}, {"one above the lowest", 34, "Bb1", "A#1"},
        {"first C", 36, "C2", "C2"},           {"middle C", 60, "C4", "C4"},
        {"G sharp 4", 68, "Ab4", "G#4"},      {"highest open note", 69, "A4", "A4"},
    };
    const NoteNames flats(Spelling::Flats), sharps(Spelling::Sharps);
    for (const auto& r : rows) {
        EXPECT_EQ(flats.octaveName(r.midi), r.flat) << r.what;
        EXPECT_EQ(sharps.octaveName(r.midi), r.sharp) << r.what;
    }
}

TEST(OctaveNames, WholeTableFollowsTheNoteNamesWithTheDigitRisingAtC)
{
    for (Spelling sp : {Spelling::Flats, Spelling::Sharps}) {
        const auto& table = octaveNameTable(sp);
        const auto& notes = noteNameTable(sp);
        ASSERT_EQ(table.size(), 37u);
        int octave = 1;
        int pc = 9;  // the table starts on A1
        for (size_t i = 0; i < table.size(); ++i) {
            if (pc == 0 && i > 0)
                ++octave;
            EXPECT_EQ(table[i], notes[static_cast<size_t>(pc)] + std::to_string(octave)) << "index " << i;
            pc = (pc + 1) % 12;
        }
        EXPECT_EQ(table.back(), "A4");
    }
}

TEST(OctaveNames, OutsideTheOpenStringRangeThereIsNoName)
{
    const NoteNames names;
    EXPECT_EQ(names.octaveName(32), "");
    EXPECT_EQ(names.octaveName(70), "");
}

// ---- Interval names: 24 entries, some without a name ----

TEST(IntervalNames, EveryDistanceFromUnisonToTwentyThree)
{
    const std::vector<std::string> expected{"1",  "b2", "2",  "b3", "3",   "4", "b5",  "5",  "#5", "6", "b7", "7",
                                            "",   "b9", "9",  "#9", "",    "11", "#11", "",  "b13", "13", "",  ""};
    for (int d = 0; d < 24; ++d)
        EXPECT_EQ(intervalName(d), expected[static_cast<size_t>(d)]) << "semitones " << d;
    EXPECT_EQ(intervalName(24), "");
    EXPECT_EQ(intervalName(-1), "");
}

// ---- Hover interval text: simple name, then " / " and the compound name when it has one ----

TEST(HoverIntervalText, SimpleNameThenTheCompoundOneWhenItHasOne)
{
    EXPECT_EQ(hoverIntervalText(6, 0), "b5 / #11");
    EXPECT_EQ(hoverIntervalText(4, 0), "3");
    for (int root = 0; root < 12; ++root)
        for (int note = 0; note < 128; ++note) {
            const int k = ((note - root) % 12 + 12) % 12;
            const std::string& compound = intervalName(k + 12);
            EXPECT_EQ(hoverIntervalText(note, root), intervalName(k) + (compound.empty() ? "" : " / " + compound))
                << "note " << note << " over " << root;
        }
}

// ---- Intervals of a fingering: root first, simple intervals, then compound ones ----

TEST(IntervalsOfFingering, TableOfFingerings)
{
    struct Row {
        const char* what;
        SoundingNotes sounding;
        int root;
        CompoundFlags flags;
        IntervalList expected;
    };
    const Row rows[] = {
        {"open C major x32010", {64, 60, 55, 52, 48, 0}, 0, kNoCompound, {0, 4, 7, 255, 255, 255, 255}},
        {"nothing sounds", {0, 0, 0, 0, 0, 0}, 0, kNoCompound, {0, 255, 255, 255, 255, 255, 255}},
        {"root not sounded still first", {64, 0, 55, 0, 0, 0}, 0, kNoCompound, {0, 4, 7, 255, 255, 255, 255}},
        {"flags 2 and 5 with root 2 4 5 7", {60, 62, 64, 65, 67, 0}, 0, compoundFor({2, 5}),
         {0, 4, 7, 14, 17, 255, 255}},
        {"same notes without flags", {60, 62, 64, 65, 67, 0}, 0, kNoCompound, {0, 2, 4, 5, 7, 255, 255}},
        {"compounds come in rising order after all simple ones", {60, 70, 61, 64, 69, 0}, 0, compoundFor({9, 1}),
         {0, 4, 10, 13, 21, 255, 255}},
        {"six notes none of them the root fill all seven", {61, 62, 63, 64, 65, 66}, 0, kNoCompound,
         {0, 1, 2, 3, 4, 5, 6}},
        {"octave doublings count once", {64, 52, 40, 0, 0, 0}, 4, kNoCompound, {0, 255, 255, 255, 255, 255, 255}},
        {"note below the root wraps", {60, 0, 0, 0, 0, 0}, 11, kNoCompound, {0, 1, 255, 255, 255, 255, 255}},
        {"A minor 7 rooted on A", {64, 60, 55, 57, 45, 0}, 9, kNoCompound, {0, 3, 7, 10, 255, 255, 255}},
        {"flag for an absent interval adds nothing", {60, 64, 67, 0, 0, 0}, 0, compoundFor({2, 9}),
         {0, 4, 7, 255, 255, 255, 255}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(intervalsOfFingering(r.sounding, r.root, r.flags), r.expected) << r.what;
}

// ---- Open strings: 33..69 with wrap-around at both ends ----

TEST(OpenStringStep, WrapsAtBothEndsAndStepsByOneInside)
{
    EXPECT_EQ(stepOpenString(69, +1), 33);
    EXPECT_EQ(stepOpenString(33, -1), 69);
    EXPECT_EQ(stepOpenString(40, +1), 41);
    EXPECT_EQ(stepOpenString(64, -1), 63);
    EXPECT_EQ(stepOpenString(68, +1), 69);
    EXPECT_EQ(stepOpenString(34, -1), 33);
}

TEST(OpenStringStep, ThirtySevenStepsComeBackToTheStart)
{
    int up = 40, down = 40;
    for (int i = 0; i < 37; ++i) {
        up = stepOpenString(up, +1);
        down = stepOpenString(down, -1);
        ASSERT_GE(up, 33);
        ASSERT_LE(up, 69);
        ASSERT_GE(down, 33);
        ASSERT_LE(down, 69);
    }
    EXPECT_EQ(up, 40);
    EXPECT_EQ(down, 40);
}

// ---- Tuning names ----

TEST(TuningName, StandardTuningIsCalledStandard)
{
    EXPECT_EQ(tuningName({64, 59, 55, 50, 45, 40}, NoteNames()), "Standard");
    EXPECT_EQ(tuningName({64, 59, 55, 50, 45, 40}, NoteNames(Spelling::Sharps)), "Standard");
}

TEST(TuningName, OtherTuningsListNotesFromTheLowStringEachFollowedByABlank)
{
    EXPECT_EQ(tuningName({64, 59, 55, 50, 45, 38}, NoteNames()), "D A D G B E ");
    EXPECT_EQ(tuningName({62, 57, 54, 50, 45, 38}, NoteNames(Spelling::Flats)), "D A D Gb A D ");
    EXPECT_EQ(tuningName({62, 57, 54, 50, 45, 38}, NoteNames(Spelling::Sharps)), "D A D F# A D ");
    // Octave-shifted strings are not standard even though the note names match.
    EXPECT_EQ(tuningName({64, 59, 55, 50, 45, 52}, NoteNames()), "E A D G B E ");
}

TEST(TuningName, StepsAwayAndBackReturnToStandard)
{
    Tuning t = kStandardTuning;
    t[5] = static_cast<std::uint8_t>(stepOpenString(t[5], -1));
    t[5] = static_cast<std::uint8_t>(stepOpenString(t[5], -1));
    t[0] = static_cast<std::uint8_t>(stepOpenString(t[0], +1));
    EXPECT_FALSE(isStandardTuning(t));
    EXPECT_EQ(tuningName(t, NoteNames()), "D A D G B F ");
    t[5] = static_cast<std::uint8_t>(stepOpenString(t[5], +1));
    t[5] = static_cast<std::uint8_t>(stepOpenString(t[5], +1));
    t[0] = static_cast<std::uint8_t>(stepOpenString(t[0], -1));
    EXPECT_TRUE(isStandardTuning(t));
    EXPECT_EQ(tuningName(t, NoteNames()), "Standard");
}

// ---- Texts of note names in the spelling in force ----

TEST(SpellNoteNames, TuningsSpelledOutTakeTheOtherSpellingBlanksIncluded)
{
    std::mt19937 rng(99);
    const NoteNames flats(Spelling::Flats), sharps(Spelling::Sharps);
    for (int trial = 0; trial < 500; ++trial) {
        Tuning t;
        for (auto& s : t)
            s = static_cast<std::uint8_t>(kLowestOpenNote + rng() % kOctaveNameCount);
        // The read-out's form ("Eb Ab ... " with a blank after each) and the Scales row's (a
        // blank before each), also cut where a record's 15 characters end when that ends a name.
        std::string row[2];
        for (int s = 5; s >= 0; --s) {
            row[0] += " " + flats.note(t[static_cast<size_t>(s)]);
            row[1] += " " + sharps.note(t[static_cast<size_t>(s)]);
        }
        std::vector<std::pair<std::string, std::string>> forms{{tuningName(t, flats), tuningName(t, sharps)},
                                                               {row[0], row[1]}};
        if (row[0].size() > 15 && row[0][15] == ' ')
            forms.emplace_back(row[0].substr(0, 15), row[1].substr(0, 15));
        for (const auto& [flat, sharp] : forms) {
            EXPECT_EQ(spellNoteNames(flat, sharps), sharp);
            EXPECT_EQ(spellNoteNames(sharp, flats), flat);
            EXPECT_EQ(spellNoteNames(flat, flats), flat);
            EXPECT_EQ(spellNoteNames(sharp, sharps), sharp);
        }
    }
}

TEST(SpellNoteNames, AnyOtherWordKeepsTheWholeTextAsItIs)
{
    const NoteNames sharps(Spelling::Sharps);
    for (const std::string text : {"Standard", "Open Db", "Db Gb Bb Eb drop", "Ebm", "Eb  Ab/Db", "H", "eb"})
        EXPECT_EQ(spellNoteNames(text, sharps), text);
    EXPECT_EQ(spellNoteNames("", sharps), "");
    EXPECT_EQ(spellNoteNames("  Eb   Ab  ", sharps), "  D#   G#  ");
    EXPECT_EQ(spellNoteNames("C# F#", NoteNames(Spelling::Flats)), "Db Gb");
    // A name cut in half where a record's text ends reads as the name it has become.
    EXPECT_EQ(spellNoteNames(" D D Eb Eb Bb E", sharps), " D D D# D# A# E");
}

}  // namespace
