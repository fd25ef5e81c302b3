#pragma once
// Geometry of the 760 x 123 fretboard picture, in picture pixels (origin top-left).
#include <array>
#include <optional>

namespace strumox::fretboard {

constexpr int kFretboardWidth = 760;
constexpr int kFretboardHeight = 123;
constexpr int kFretNumberStripHeight = 12;
constexpr int kGlyphSize = 12;
constexpr int kGlyphStripWidth = 240;

// Top edge of the 12 x 12 marker of each string.
constexpr std::array<int, 6> kStringTop{12, 28, 44, 61, 77, 93};

// Left edge of the marker at each fret 0..22, right-handed. Left-handed: 748 - value.
constexpr std::array<int, 23> kFretXRight{7,   65,  118, 168, 214, 257, 301, 339, 378, 413, 446, 478,
                                          507, 535, 562, 587, 611, 633, 653, 674, 693, 712, 729};

// Per-handedness positions: fret markers on the picture, string x in the small and tiny diagrams.
struct HandLayout {
    bool leftHanded = false;
    std::array<int, 23> fretX{};
    std::array<int, 6> smallStringX{};
    std::array<int, 6> tinyStringX{};

    static HandLayout right();
    static HandLayout left();
    static HandLayout forHand(bool leftHanded) { return leftHanded ? left() : right(); }
};

// Glyph strip cell for a string's marker (0 open, 1..4 finger, 5 muted, 6 plain).
int glyphCellX(int marker, bool soundsRoot);
// The lit glyph of a note sounding while something plays, by the finger mark its marker carries
// (0 open .. 4, 5 not played: the cross, 6 a scale note); -1 for any other mark.
int soundingCellX(int mark);

struct FretPosition {
    int string = 0;
    int fret = 0;
};

// Whether (x, y) is inside the area that counts: 5 <= x <= 744 and 9 <= y <= 105.
bool inCountingArea(int x, int y);
// String and fret under (x, y); nothing outside the counting area.
std::optional<FretPosition> hitTest(int x, int y, bool leftHanded);

}  // namespace strumox::fretboard
