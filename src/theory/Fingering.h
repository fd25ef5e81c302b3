#pragma once
// One chord fingering as the dictionaries hold it, and the rules every diagram of a fingering
// shares. String 0 is the high E string.
#include <array>
#include <cstdint>

namespace strumox::theory {

constexpr int kStringCount = 6;

// Finger marker of a string: 0 open, 1..4 the finger, 5 not played, 6 fretted without a finger.
enum Marker : std::uint8_t {
    MarkerOpen = 0,
    MarkerMuted = 5,
    MarkerPlain = 6,
};

struct Fingering {
    std::uint8_t baseFret = 1;                // fret of the diagram's first row
    std::array<std::uint8_t, 6> frets{};      // absolute frets, 0 = open or muted
    std::array<std::uint8_t, 6> markers{5, 5, 5, 5, 5, 5};

    bool operator==(const Fingering&) const = default;
};

// The fret a diagram's first row stands for: 1 while every fretted string is at fret 4 or
// below; otherwise the lowest fretted fret, but never above 17 so that six rows still end by
// fret 22. Open and not-played strings do not count, whatever fret they carry.
int beginningFret(const std::array<std::uint8_t, 6>& frets, const std::array<std::uint8_t, 6>& markers);

}  // namespace strumox::theory
