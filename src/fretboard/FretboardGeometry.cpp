#include "fretboard/FretboardGeometry.h"

namespace strumox::fretboard {

namespace {
// Right edge (inclusive) of each fret's hit zone, right-handed; the zone of fret f starts one
// past the end of fret f - 1 (fret 0 from x = 0).
constexpr std::array<int, 23> kFretRightEdge{30,  81,  134, 184, 230, 273, 317, 355, 394, 429, 462, 495,
                                             523, 551, 578, 602, 627, 649, 668, 690, 709, 727, 744};
// Left-handed: left edge (inclusive) of each fret's zone; fret f runs to the left edge of f - 1,
// minus one (fret 0 to x = 747).
constexpr std::array<int, 23> kFretLeftEdgeLeftHanded{717, 666, 613, 563, 517, 474, 430, 392, 353, 318, 285, 253,
                                                      224, 196, 169, 144, 120, 98,  78,  57,  38,  20,  0};
}  // namespace

HandLayout HandLayout::right()
{
    HandLayout h;
    h.leftHanded = false;
    h.fretX = kFretXRight;
    h.smallStringX = {91, 76, 61, 46, 31, 16};
    h.tinyStringX = {53, 44, 35, 26, 17, 8};
    return h;
}

HandLayout HandLayout::left()
{
    HandLayout h;
    h.leftHanded = true;
    for (size_t f = 0; f < h.fretX.size(); ++f)
        h.fretX[f] = 748 - kFretXRight[f];
    h.smallStringX = {16, 31, 46, 61, 76, 91};
    h.tinyStringX = {8, 17, 26, 35, 44, 53};
    return h;
}

int glyphCellX(int marker, bool soundsRoot)
{
    switch (marker) {
    case 0: return soundsRoot ? 108 : 36;
    case 1: case 2: case 3: case 4: return (soundsRoot ? 120 : 48) + (marker - 1) * 12;
    case 5: return 12;
    default: return soundsRoot ? 96 : 24;
    }
}

int soundingCellX(int mark)
{
    static constexpr std::array<int, 7> kCell{180, 192, 204, 216, 228, 12, 168};
    return mark >= 0 && mark <= 6 ? kCell[static_cast<size_t>(mark)] : -1;
}

bool inCountingArea(int x, int y) { return x >= 5 && x <= 744 && y >= 9 && y <= 105; }

std::optional<FretPosition> hitTest(int x, int y, bool leftHanded)
{
    if (!inCountingArea(x, y))
        return std::nullopt;
    FretPosition p;
    p.string = y < 25 ? 0 : (y - 26) / 16 + 1;  // y = 25 truncates toward zero: string 1
    if (p.string > 5)
        p.string = 5;
    p.fret = 22;
    for (int f = 0; f < 23; ++f) {
        const bool inZone = leftHanded ? x >= kFretLeftEdgeLeftHanded[static_cast<size_t>(f)]
                                       : x <= kFretRightEdge[static_cast<size_t>(f)];
        if (inZone) {
            p.fret = f;
            break;
        }
    }
    return p;
}

}  // namespace strumox::fretboard
