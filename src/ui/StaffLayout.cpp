#include "ui/StaffLayout.h"

#include <algorithm>
#include <set>

namespace strumox::ui {

namespace {

// Staff step of each pitch class within an octave; a black key takes the letter above it.
constexpr std::array<int, 12> kStep{0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6};
constexpr std::array<bool, 12> kBlack{false, true, false, true, false, false, true, false, true, false, true, false};
// Sign column by position mod 4: the two columns left of each head column alternate, so the signs
// of neighbouring positions do not touch.
constexpr std::array<int, 4> kAccidentalX{81, 53, 82, 54};
constexpr int kHeadXEven = 93;
constexpr int kHeadXOdd = 65;
constexpr int kHeadShift = 5;
constexpr int kAccidentalShift = 6;
// The lowest and highest ledger positions, just outside the staff (C4 and A5).
constexpr int kLowestLedger = 35;
constexpr int kHighestLedger = 47;
constexpr int kRowsPerStep = 3;

// Row of the line or space of a position: the middle row of a head there.
int lineRow(int position) { return 132 - kRowsPerStep * (position - 19) + 2; }

void markTaken(std::array<bool, kStaffPositions>& taken, int p)
{
    if (p >= 0 && p < kStaffPositions)
        taken[static_cast<size_t>(p)] = true;
}

bool isTaken(const std::array<bool, kStaffPositions>& taken, int p)
{
    return p >= 0 && p < kStaffPositions && taken[static_cast<size_t>(p)];
}

StaffNote placeNote(int midi, std::array<bool, kStaffPositions>& taken)
{
    StaffNote n;
    n.midi = midi;
    n.position = staffPosition(midi);
    n.accidental = kBlack[static_cast<size_t>(midi % 12)] ? Accidental::Flat : Accidental::None;
    if (isTaken(taken, n.position)) {
        // The letter is in use: spell the note as the sharp of the letter below, or, when that is
        // in use too, keep the flat and move the head clear.
        if (n.position > 0 && !isTaken(taken, n.position - 1)) {
            --n.position;
            n.accidental = Accidental::Sharp;
        } else {
            n.shifted = true;
        }
    }
    markTaken(taken, n.position);

    const int p = n.position;
    n.headX = (p % 2 == 0 ? kHeadXEven : kHeadXOdd) + (n.shifted ? kHeadShift : 0);
    n.headY = headY(p);
    const int signX = kAccidentalX[static_cast<size_t>(p % 4)];
    n.accidentalX = signX + (n.shifted ? kAccidentalShift : 0);
    n.accidentalY = accidentalY(p);
    if (n.shifted) {
        n.natural = true;
        n.naturalX = signX;
        n.naturalY = n.accidentalY;
    }
    return n;
}

}  // namespace

int staffPosition(int midi)
{
    const int m = std::clamp(midi, 0, 127);
    return kStep[static_cast<size_t>(m % 12)] + 7 * (m / 12);
}

int headY(int position) { return position >= 19 && position <= 63 ? 132 - kRowsPerStep * (position - 19) : 0; }

int accidentalY(int position)
{
    return position >= 19 && position <= 61 ? 128 - kRowsPerStep * (position - 19) : 0;
}

StaffDrawing layoutStaff(const NoteFlags& notes, TKey /*key*/)
{
    StaffDrawing d;
    std::array<bool, kStaffPositions> taken{};
    // Naturals first, so that a black key finds the letters already in use.
    for (const bool blackPass : {false, true})
        for (int m = 0; m < 128; ++m)
            if (notes[static_cast<size_t>(m)] != 0 && kBlack[static_cast<size_t>(m % 12)] == blackPass)
                d.notes.push_back(placeNote(m, taken));

    std::set<int> rows;
    for (const StaffNote& n : d.notes) {
        for (int q = kLowestLedger; q >= n.position; q -= 2)
            rows.insert(lineRow(q));
        for (int q = kHighestLedger; q <= n.position; q += 2)
            rows.insert(lineRow(q));
    }
    for (const int y : rows)
        if (y >= 0 && y < kStaffHeight)
            d.ledgerY.push_back(y);
    return d;
}

}  // namespace strumox::ui
