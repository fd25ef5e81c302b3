#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "theory/Fingering.h"

using namespace strumox::theory;

namespace {

using Frets = std::array<std::uint8_t, 6>;

// Strings with a fret are fretted (no finger given), the others open or, with `muted`, not played.
Frets markersFor(const Frets& frets, bool muted = false)
{
    Frets m{};
    for (size_t s = 0; s < 6; ++s)
        m[s] = frets[s] != 0 ? MarkerPlain : muted ? MarkerMuted : MarkerOpen;
    return m;
}

// ---- The fret a diagram's first row stands for ----

TEST(BeginningFret, NamedFingerings)
{
    struct Row {
        const char* what;
        Frets frets;  // string 0 = high E first
        int expected;
    };
    const Row rows[] = {
        {"open C x32010", {0, 1, 0, 2, 3, 0}, 1},
        {"1 to 4 only", {1, 2, 3, 4, 0, 0}, 1},
        {"4 alone", {0, 0, 0, 0, 4, 0}, 1},
        {"nothing fretted", {0, 0, 0, 0, 0, 0}, 1},
        {"4 and 5", {4, 5, 0, 0, 0, 0}, 4},
        {"5 alone", {0, 5, 0, 0, 0, 0}, 5},
        {"3 and 5", {0, 0, 3, 5, 0, 0}, 3},
        {"barre at 3", {3, 5, 5, 5, 3, 0}, 3},
        {"12 and 15", {12, 0, 15, 0, 0, 0}, 12},
        {"16 and 20 stays at 16", {0, 0, 0, 16, 20, 0}, 16},
        {"17 19 19", {17, 19, 19, 0, 0, 0}, 17},
        {"lowest 20", {20, 22, 0, 0, 0, 0}, 17},
        {"22 alone", {0, 0, 0, 0, 0, 22}, 17},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(beginningFret(r.frets, markersFor(r.frets)), r.expected) << r.what;
        EXPECT_EQ(beginningFret(r.frets, markersFor(r.frets, true)), r.expected) << r.what << " (muted)";
    }
}

TEST(BeginningFret, NotPlayedStringsDoNotCountWhateverFretTheyCarry)
{
    // x 0 2 5 x x with a stale fret 9 left on a muted string.
    const Frets frets{9, 0, 5, 2, 0, 9};
    const Frets markers{MarkerMuted, MarkerMuted, MarkerPlain, MarkerPlain, MarkerOpen, MarkerMuted};
    EXPECT_EQ(beginningFret(frets, markers), 2);
    const Frets lowOnly{0, 0, 3, 2, 0, 12};
    EXPECT_EQ(beginningFret(lowOnly, {MarkerOpen, MarkerOpen, 3, 2, MarkerOpen, MarkerMuted}), 1);
}

TEST(BeginningFret, EveryPlayableFingeringFitsTheSixRows)
{
    // Any hand shape spans at most six frets; its diagram must then hold every fretted note in
    // the rows from the beginning fret, start at 1 within the first four frets, and never start
    // above the lowest fretted note.
    std::mt19937 random(20261209);
    for (int n = 0; n < 20000; ++n) {
        const int low = std::uniform_int_distribution<int>(1, 22)(random);
        const int high = std::min(22, low + std::uniform_int_distribution<int>(0, 5)(random));
        Frets frets{}, markers{};
        for (size_t s = 0; s < 6; ++s) {
            const int kind = std::uniform_int_distribution<int>(0, 2)(random);
            frets[s] = kind == 0 ? 0 : static_cast<std::uint8_t>(std::uniform_int_distribution<int>(low, high)(random));
            markers[s] = frets[s] == 0 ? (kind == 1 ? MarkerOpen : MarkerMuted) : MarkerPlain;
        }
        int lo = 99, hi = 0;
        for (size_t s = 0; s < 6; ++s)
            if (frets[s] != 0) {
                lo = std::min<int>(lo, frets[s]);
                hi = std::max<int>(hi, frets[s]);
            }
        const int base = beginningFret(frets, markers);
        ASSERT_GE(base, 1);
        ASSERT_LE(base, 17);
        if (hi == 0) {
            ASSERT_EQ(base, 1);
            continue;
        }
        ASSERT_LE(base, lo) << "starts above its lowest note";
        ASSERT_LE(hi, base + 5) << "a note falls below the sixth row";
        ASSERT_EQ(base == 1, hi <= 4 || lo == 1);
    }
}

}  // namespace
