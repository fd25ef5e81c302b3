#pragma once
// What the fretboard picture shows after ShowChord / ShowIntervals / ShowScale / ClearDisplay,
// in picture terms: glyph cells at (string, fret) and hollow squares. The painter turns it into
// pixels.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace strumox::fretboard {

struct FretboardScene {
    struct Glyph {
        int string = 0;  // 0..5, 0 = high E
        int fret = 0;    // 0..22
        int cellX = 0;   // left edge of the 12 x 12 cell in the 240 x 12 glyph strip
    };
    struct Square {
        int string = 0;
        int fret = 0;
        std::uint32_t rgb = 0;  // 0xRRGGBB
    };
    bool leftHanded = false;
    std::vector<Glyph> glyphs;
    std::vector<Square> squares;
    // The finger dot of the note each string sounds while something plays, drawn over the rest;
    // empty when the string is silent. Index = string.
    std::array<std::optional<Glyph>, 6> sounding;

    void clear()
    {
        glyphs.clear();
        squares.clear();
        sounding = {};
    }
};

}  // namespace strumox::fretboard
