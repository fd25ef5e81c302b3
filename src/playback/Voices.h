#pragma once
// The sound of the generated events: programs, channels and velocities of the guitar, the bass
// and the click. The program builds them from its settings (the Preferences dialog's values);
// the defaults are the settings' own. Channels 0..15; programs, notes and velocities 0..127.
#include <algorithm>
#include <cstdint>

namespace strumox::playback {

struct Voices {
    int guitarProgram = 25;
    int guitarChannel = 0;
    int guitarVelocity = 100;
    int bassProgram = 33;
    int bassChannel = 1;
    int bassVelocity = 100;
    int clickChannel = 9;
    int clickNote = 34;
    int clickVelocity = 65;
    // The click program is always 0.
};

// A MIDI data byte: 0..127.
inline std::uint8_t dataByte(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 127)); }

// value * num / den rounded to the nearest integer, halves to even; value, num >= 0, den > 0.
inline int roundHalfEven(long long value, long long num, long long den)
{
    const long long product = value * num;
    long long q = product / den;
    const long long twiceRest = 2 * (product % den);
    if (twiceRest > den || (twiceRest == den && q % 2 != 0))
        ++q;
    return static_cast<int>(q);
}

// The accent of the first click of a measure: velocity x 1.5, rounded (halves to even). A MIDI
// data byte cannot carry more than 127, so a louder accent is held there (a click volume above
// 84 would otherwise reach 128 and beyond).
inline std::uint8_t accentedVelocity(int velocity) { return dataByte(roundHalfEven(std::max(velocity, 0), 3, 2)); }

}  // namespace strumox::playback
