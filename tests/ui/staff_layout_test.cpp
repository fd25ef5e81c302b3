#include "ui/StaffLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <random>
#include <set>
#include <string>

namespace strumox::ui {
namespace {

NoteFlags flagsOf(std::initializer_list<int> midi)
{
    NoteFlags f{};
    for (const int m : midi)
        f[static_cast<size_t>(m)] = 1;
    return f;
}

const StaffNote& noteFor(const StaffDrawing& d, int midi)
{
    const auto it = std::find_if(d.notes.begin(), d.notes.end(), [midi](const StaffNote& n) { return n.midi == midi; });
    EXPECT_NE(it, d.notes.end()) << "MIDI " << midi;
    return *it;
}

// The row a position's line or space runs along, counted from the bottom staff line (E4).
int rowOf(int position) { return kStaffLineY[0] - 3 * (position - 37); }

bool isBlack(int midi)
{
    const int pc = midi % 12;
    return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

// ---- the cases a guitarist meets --------------------------------------------------------------

TEST(StaffLayout, ExamplesOfSpellingAndLedgerLines)
{
    EXPECT_TRUE(layoutStaff(NoteFlags{}).notes.empty());
    EXPECT_TRUE(layoutStaff(NoteFlags{}).ledgerY.empty());

    StaffDrawing d = layoutStaff(flagsOf({60, 64}));  // middle C on its ledger line, E on the bottom line
    ASSERT_EQ(d.notes.size(), 2u);
    EXPECT_EQ(d.ledgerY, std::vector<int>{86});
    EXPECT_EQ(noteFor(d, 60).headY + 2, 86);
    EXPECT_EQ(noteFor(d, 64).headY + 2, kStaffLineY[0]);

    d = layoutStaff(flagsOf({61}));  // a lone black key: the flat of the letter above
    EXPECT_EQ(d.notes[0].position, staffPosition(62));
    EXPECT_EQ(d.notes[0].accidental, Accidental::Flat);
    EXPECT_FALSE(d.notes[0].natural);
    EXPECT_TRUE(d.ledgerY.empty());

    d = layoutStaff(flagsOf({62, 61}));  // D in use: C sharp, on middle C's ledger line
    EXPECT_EQ(noteFor(d, 61).position, 35);
    EXPECT_EQ(noteFor(d, 61).accidental, Accidental::Sharp);
    EXPECT_EQ(d.ledgerY, std::vector<int>{86});

    d = layoutStaff(flagsOf({60, 61, 62}));  // C and D in use: D flat moved right, with a natural
    const StaffNote& dFlat = noteFor(d, 61);
    EXPECT_TRUE(dFlat.shifted && dFlat.natural);
    EXPECT_EQ(dFlat.accidental, Accidental::Flat);
    EXPECT_EQ(dFlat.headX, noteFor(d, 62).headX + 5);
    EXPECT_EQ(dFlat.accidentalX, dFlat.naturalX + 6);

    d = layoutStaff(flagsOf({81}));  // A5 over the staff
    EXPECT_EQ(d.ledgerY, std::vector<int>{50});
}

// ---- rules that hold for any set of notes ------------------------------------------------------

TEST(StaffLayoutProperty, RandomChordsFollowTheSpellingAndLedgerRules)
{
    std::mt19937 rng(20240611);
    for (int trial = 0; trial < 3000; ++trial) {
        // Dense clusters around the staff as well as sparse sets over the whole MIDI range.
        const int low = trial % 3 == 0 ? 0 : 40;
        const int high = trial % 3 == 0 ? 127 : 90;
        const double density = std::uniform_real_distribution<double>(0.02, 0.9)(rng);
        NoteFlags flags{};
        for (int m = low; m <= high; ++m)
            flags[static_cast<size_t>(m)] = trial == 0 || std::bernoulli_distribution(density)(rng) ? 1 : 0;
        const StaffDrawing d = layoutStaff(flags);
        SCOPED_TRACE("trial " + std::to_string(trial));

        ASSERT_EQ(d.notes.size(), static_cast<size_t>(std::count(flags.begin(), flags.end(), 1)));
        std::map<int, int> plainAt;  // position -> MIDI of its one unshifted note
        for (const StaffNote& n : d.notes) {
            ASSERT_EQ(flags[static_cast<size_t>(n.midi)], 1);
            // A natural placed after a black key would land on the black key's letter.
            if (!n.shifted) {
                ASSERT_TRUE(plainAt.emplace(n.position, n.midi).second) << "two plain heads on " << n.position;
            }
        }
        for (const StaffNote& n : d.notes) {
            const int letter = staffPosition(n.midi);
            ASSERT_EQ(n.natural, n.shifted);
            if (!isBlack(n.midi)) {
                ASSERT_EQ(n.position, letter);
                ASSERT_EQ(n.accidental, Accidental::None);
                ASSERT_FALSE(n.shifted);
            } else if (n.accidental == Accidental::Sharp) {
                // Only a letter already in use turns a flat into the sharp below.
                ASSERT_EQ(n.position, letter - 1);
                ASSERT_TRUE(plainAt.count(letter) && plainAt[letter] != n.midi) << "MIDI " << n.midi;
            } else {
                ASSERT_EQ(n.accidental, Accidental::Flat);
                ASSERT_EQ(n.position, letter);
                if (n.shifted) {
                    ASSERT_TRUE(plainAt.count(letter - 1)) << "MIDI " << n.midi;
                    ASSERT_TRUE(plainAt.count(letter)) << "MIDI " << n.midi;
                }
            }
            if (n.position >= 19 && n.position <= 61) {
                ASSERT_EQ(n.headY + 2, rowOf(n.position));
                ASSERT_EQ(n.accidentalY + 6, n.headY + 2);
                ASSERT_LE(n.accidentalX + 5, n.headX) << "sign clear of its head";
                if (n.natural) {
                    ASSERT_LE(n.naturalX + 5, n.accidentalX) << "natural clear of the flat";
                }
            }
        }

        // Ledger lines: every odd position outside the staff between the staff and the farthest
        // note, once, where the picture has room for it.
        std::set<int> expected;
        for (const StaffNote& n : d.notes)
            for (int q = 1; q < kStaffPositions; q += 2)
                if ((q < 37 && q >= n.position) || (q > 45 && q <= n.position))
                    if (rowOf(q) >= 0 && rowOf(q) < kStaffHeight)
                        expected.insert(rowOf(q));
        ASSERT_EQ(d.ledgerY, std::vector<int>(expected.begin(), expected.end()));
    }
}

}  // namespace
}  // namespace strumox::ui
