#pragma once
// Where a set of MIDI notes goes on the 150 x 140 treble staff picture: heads, accidentals and
// ledger lines, in picture pixels (origin top-left). Plain C++; the painter in app/pictures and
// the staff control draw what this computes.
//
// Staff positions count diatonic steps from C of MIDI octave 0: position 0 is MIDI 0, middle C
// (MIDI 60) is 35, E4 on the bottom line is 37, F5 on the top line is 45, G9 (MIDI 127) is 74.
// An item's y is the top row of a 6-row box whose middle row, y + 2, is the line or space the
// note sits on.
#include <array>
#include <cstdint>
#include <vector>

namespace strumox::ui {

enum class TKey { keyC, keyG, keyD, keyA, keyE, keyB, KeyFs, KeyCs, keyF, keyBf, keyEf, keyAf, keyDf, keyGf, keyCf };

constexpr int kStaffWidth = 150;
constexpr int kStaffHeight = 140;
constexpr int kStaffPositions = 75;
// The five staff lines, bottom (E4) to top (F5).
constexpr std::array<int, 5> kStaffLineY{80, 74, 68, 62, 56};
// Ledger lines run over both head columns and a shifted head, both ends inclusive.
constexpr int kLedgerLeft = 51;
constexpr int kLedgerRight = 110;

enum class Accidental : std::uint8_t { None, Flat, Sharp };

struct StaffNote {
    int midi = 0;
    int position = 0;  // staff position after any respelling, 0..74
    int headX = 0;     // left column of the 10 x 6 head
    int headY = 0;     // top row of the head; 0 outside positions 19..63
    bool shifted = false;  // moved right, clear of the head already on its position
    Accidental accidental = Accidental::None;
    int accidentalX = 0;  // left column of the 5 x 13 sign
    int accidentalY = 0;  // its top row; 0 outside positions 19..61
    // A shifted note also shows a natural where its sign would stand unshifted: the plain note
    // on the same position keeps its own letter.
    bool natural = false;
    int naturalX = 0;
    int naturalY = 0;
};

struct StaffDrawing {
    std::vector<StaffNote> notes;  // white keys first, each pass from low to high
    std::vector<int> ledgerY;      // rows of the ledger lines, ascending, each once, inside the picture
};

using NoteFlags = std::array<std::uint8_t, 128>;  // non-zero = the MIDI note is shown

// Staff position of a MIDI note, spelled as a natural, or a black key as the flat of the letter
// above it.
int staffPosition(int midi);

// Head and sign rows of a position; 0 where the picture has no room for them.
int headY(int position);
int accidentalY(int position);

// Lays the notes out in the spelling of C major; the other keys draw the same for now.
StaffDrawing layoutStaff(const NoteFlags& notes, TKey key = TKey::keyC);

}  // namespace strumox::ui
