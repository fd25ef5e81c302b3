#include "fretboard/KeyboardLayout.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstdint>
#include <vector>

namespace strumox::fretboard {
namespace {

using Mark = KeyboardScene::Mark;

std::vector<int> keysWith(const KeyboardScene& s, Mark m)
{
    std::vector<int> keys;
    for (int k = 0; k < kKeyCount; ++k)
        if (s.marks[k] == m)
            keys.push_back(k);
    return keys;
}

// ---- mark positions -------------------------------------------------------------------------

TEST(KeyMarkPositions, KnownKeysSitWhereThePictureExpectsThem)
{
    struct Row {
        const char* name;
        int key, x, y;
    };
    const Row rows[] = {
        {"lowest C", 0, 3, 12},  {"lowest C#", 1, 7, 6},   {"E", 4, 19, 12},      {"F", 5, 27, 12},
        {"A#", 10, 47, 6},       {"B", 11, 51, 12},        {"second C", 12, 59, 12}, {"top A#", 58, 271, 6},
        {"top B", 59, 275, 12},
    };
    const auto& t = keyMarkPositions();
    for (const auto& r : rows) {
        EXPECT_EQ(t[static_cast<size_t>(r.key)].x, r.x) << r.name;
        EXPECT_EQ(t[static_cast<size_t>(r.key)].y, r.y) << r.name;
    }
}

TEST(KeyMarkPositions, EachOctaveRepeatsTheFirstFiftySixPixelsFurtherOn)
{
    const auto& t = keyMarkPositions();
    for (int k = 12; k < kKeyCount; ++k) {
        EXPECT_EQ(t[static_cast<size_t>(k)].x, t[static_cast<size_t>(k - 12)].x + 56) << "key " << k;
        EXPECT_EQ(t[static_cast<size_t>(k)].y, t[static_cast<size_t>(k - 12)].y) << "key " << k;
    }
}

TEST(KeyMarkPositions, BlackKeysAreMarkedHighAndWhiteKeysLow)
{
    const auto& t = keyMarkPositions();
    for (int k = 0; k < kKeyCount; ++k)
        EXPECT_EQ(t[static_cast<size_t>(k)].y, isBlackKey(k) ? 6 : 12) << "key " << k;
}

TEST(KeyMarkPositions, EveryPixelOfAMarkHoversToItsOwnKey)
{
    const auto& t = keyMarkPositions();
    for (int k = 0; k < kKeyCount; ++k) {
        const auto& m = t[static_cast<size_t>(k)];
        for (int dy = 0; dy < kKeyMarkSize; ++dy)
            for (int dx = 0; dx < kKeyMarkSize; ++dx)
                EXPECT_EQ(keyAt(m.x + dx, m.y + dy), k) << "key " << k << " at +" << dx << ",+" << dy;
    }
}

// ---- hover -----------------------------------------------------------------------------------

TEST(KeyboardHover, EdgeCasesOfBothHalves)
{
    struct Row {
        const char* name;
        int x, y, key;
    };
    const Row rows[] = {
        {"left edge, lower half", 0, 15, 0},
        {"first black key, offset 7", 7, 5, 1},
        {"upper half C ends at 5", 5, 5, 0},
        {"C# starts at 6", 6, 5, 1},
        {"C# ends at 10", 10, 5, 1},
        {"D starts at 11", 11, 5, 2},
        {"last row of the upper half", 8, 9, 1},
        {"first row of the lower half", 8, 10, 2},
        {"E to F in the upper half", 24, 5, 5},
        {"B of the first octave", 55, 5, 11},
        {"second octave C", 56, 5, 12},
        {"top B in the upper half", 279, 5, 59},
        {"right edge, upper half", 280, 5, 59},
        {"top A, lower half", 271, 15, 57},
        {"bottom row, white key 12", 100, 17, 21},  // A of the second octave
    };
    for (const auto& r : rows)
        EXPECT_EQ(keyAt(r.x, r.y), r.key) << r.name;
}

TEST(KeyboardHover, TheWholeLastWhiteKeyIncludingTheClosingEdgeIsTheTopB)
{
    for (int x = 272; x <= 280; ++x)
        for (int y = kBlackKeyBottom + 1; y < kKeyboardHeight; ++y)
            EXPECT_EQ(keyAt(x, y), 59) << x << "," << y;
}

TEST(KeyboardHover, NothingOutsideThePicture)
{
    EXPECT_FALSE(keyAt(-1, 5));
    EXPECT_FALSE(keyAt(281, 5));
    EXPECT_FALSE(keyAt(0, -1));
    EXPECT_FALSE(keyAt(0, 18));
}

TEST(KeyboardHover, UpperHalfNamesTheWhiteKeyBelowOrABlackKey)
{
    for (int x = 0; x < kKeyboardWidth; ++x) {
        const auto upper = keyAt(x, 5);
        const auto lower = keyAt(x, 15);
        ASSERT_TRUE(upper && lower) << x;
        if (!isBlackKey(*upper))
            EXPECT_EQ(*upper, *lower) << "x " << x;
        else
            EXPECT_LE(std::abs(*upper - *lower), 1) << "black key " << *upper << " far from white " << *lower;
    }
}

// ---- marking a scale -------------------------------------------------------------------------

TEST(MarkScale, AnEmptyListMarksNothingNotEvenTheRoot)
{
    KeyboardScene s;
    s.marks[3] = Mark::Scale;  // left over from the last scale
    const std::array<std::uint8_t, 10> empty{99, 0, 4, 7, 99, 99, 99, 99, 99, 99};
    EXPECT_TRUE(markScale(s, empty, 0).none());
    EXPECT_TRUE(keysWith(s, Mark::Scale).empty());
    EXPECT_TRUE(keysWith(s, Mark::Root).empty());

    EXPECT_TRUE(markScale(s, std::span<const std::uint8_t>{}, 5).none());
    EXPECT_TRUE(keysWith(s, Mark::Root).empty());
}

TEST(MarkScale, MajorScaleMarksItsNotesInEveryOctaveAndTheRootInRed)
{
    KeyboardScene s;
    const std::array<std::uint8_t, 10> major{0, 2, 4, 5, 7, 9, 11, 99, 99, 99};
    const auto flags = markScale(s, major, 2);  // D major: D E F# G A B C#
    EXPECT_EQ(keysWith(s, Mark::Root), (std::vector<int>{2, 14, 26, 38, 50}));
    for (int k = 0; k < kKeyCount; ++k) {
        const int pc = k % 12;
        const bool inScale = pc == 2 || pc == 4 || pc == 6 || pc == 7 || pc == 9 || pc == 11 || pc == 1;
        EXPECT_EQ(flags.test(static_cast<size_t>(k)), inScale) << "key " << k;
        if (pc != 2) {
            EXPECT_EQ(s.marks[k], inScale ? Mark::Scale : Mark::None) << "key " << k;
        }
    }
}

TEST(MarkScale, ChordListWithItsEndsTurnedInto99)
{
    // A chord's seven bytes with every 255 made 99, then a final 99: A minor, A C E.
    KeyboardScene s;
    const std::array<std::uint8_t, 8> chord{0, 3, 7, 99, 99, 99, 99, 99};
    markScale(s, chord, 9);
    EXPECT_EQ(keysWith(s, Mark::Root), (std::vector<int>{9, 21, 33, 45, 57}));
    EXPECT_EQ(keysWith(s, Mark::Scale), (std::vector<int>{0, 4, 12, 16, 24, 28, 36, 40, 48, 52}));
}

TEST(MarkScale, ReadingStopsAtTheFirst99)
{
    KeyboardScene s;
    const std::array<std::uint8_t, 4> list{0, 99, 4, 7};
    const auto flags = markScale(s, list, 0);
    EXPECT_TRUE(keysWith(s, Mark::Scale).empty());
    EXPECT_EQ(flags.count(), 5u);  // only the five Cs, shown as roots
    EXPECT_EQ(keysWith(s, Mark::Root).size(), 5u);
}

TEST(MarkScale, AtMostTenIntervalsAreRead)
{
    KeyboardScene s;
    const std::array<std::uint8_t, 11> chromatic{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const auto flags = markScale(s, chromatic, 0);
    EXPECT_TRUE(flags.test(9));
    EXPECT_FALSE(flags.test(10));
    EXPECT_EQ(s.marks[10], Mark::None);
    EXPECT_EQ(s.marks[11], Mark::None);
}

TEST(MarkScale, CompoundIntervalsFoldIntoTheOctave)
{
    KeyboardScene s;
    const std::array<std::uint8_t, 3> ninth{0, 14, 99};  // the ninth above G is A
    markScale(s, ninth, 7);
    EXPECT_EQ(s.marks[9], Mark::Scale);
    EXPECT_EQ(s.marks[8], Mark::None);
}

TEST(MarkScale, RootIsShownEvenWhenNoIntervalNamesIt)
{
    KeyboardScene s;
    const std::array<std::uint8_t, 3> noRoot{4, 7, 99};
    const auto flags = markScale(s, noRoot, 0);
    EXPECT_EQ(s.marks[0], Mark::Root);
    EXPECT_FALSE(flags.test(0));  // shown as the root, yet not a note of the list
    EXPECT_EQ(s.marks[4], Mark::Scale);
    EXPECT_EQ(s.marks[7], Mark::Scale);
}

}  // namespace
}  // namespace strumox::fretboard
