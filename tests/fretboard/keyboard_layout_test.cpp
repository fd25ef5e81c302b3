#include "fretboard/KeyboardLayout.h"

#include <gtest/gtest.h>

#include <array>
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

// ---- hover: the keys tile the picture ---------------------------------------------------------

int keyOrNone(int x, int y) { return keyAt(x, y).value_or(-1); }

// The next white key after `key`.
int nextWhite(int key)
{
    do
        ++key;
    while (isBlackKey(key));
    return key;
}

TEST(KeyboardHover, LowerHalfIsWhiteKeysEightColumnsEachFromTheLowestCToTheTopB)
{
    for (int y = kBlackKeyBottom + 1; y < kKeyboardHeight; ++y) {
        EXPECT_EQ(keyOrNone(0, y), 0) << "y " << y;
        EXPECT_EQ(keyOrNone(kKeyboardWidth - 1, y), kKeyCount - 1) << "y " << y;  // the closing divider too
        for (int x = 1; x < kKeyboardWidth; ++x) {
            const int key = keyOrNone(x, y), before = keyOrNone(x - 1, y);
            // A key starts at its divider, every eighth column; the last one ends the picture.
            const bool newKey = x % kWhiteKeyWidth == 0 && x < kKeyboardWidth - 1;
            ASSERT_EQ(key, newKey ? nextWhite(before) : before) << x << "," << y;
        }
    }
}

TEST(KeyboardHover, UpperHalfGivesEachBlackKeyFiveColumnsAroundItsDivider)
{
    for (int y = 0; y <= kBlackKeyBottom; ++y) {
        EXPECT_EQ(keyOrNone(0, y), 0) << "y " << y;
        EXPECT_EQ(keyOrNone(kKeyboardWidth - 1, y), kKeyCount - 1) << "y " << y;
        for (int x = 0; x < kKeyboardWidth; ++x) {
            const int key = keyOrNone(x, y), below = keyOrNone(x, kKeyboardHeight - 1);
            // A black key covers the two columns either side of the divider of the white key above it;
            // elsewhere the upper half names the white key below.
            int expected = below;
            for (int divider = x - 2; divider <= x + 2; ++divider) {
                const bool isDivider = divider > 0 && divider < kKeyboardWidth - 1 && divider % kWhiteKeyWidth == 0;
                const int black = isDivider ? keyOrNone(divider, kKeyboardHeight - 1) - 1 : -1;
                if (isBlackKey(black))
                    expected = black;
            }
            ASSERT_EQ(key, expected) << x << "," << y;
        }
    }
    // The last row of black keys and the first of the lower half.
    EXPECT_EQ(keyOrNone(8, kBlackKeyBottom), 1);
    EXPECT_EQ(keyOrNone(8, kBlackKeyBottom + 1), 2);
    EXPECT_EQ(kBlackKeyBottom, 9);
}

TEST(KeyboardHover, NothingOutsideThePicture)
{
    EXPECT_EQ(kKeyboardWidth, 281);
    EXPECT_EQ(kKeyboardHeight, 18);
    EXPECT_FALSE(keyAt(-1, 5));
    EXPECT_FALSE(keyAt(281, 5));
    EXPECT_FALSE(keyAt(0, -1));
    EXPECT_FALSE(keyAt(0, 18));
}

// ---- mark positions -------------------------------------------------------------------------

TEST(KeyMarkPositions, AnchorsThePictureFixes)
{
    const auto& t = keyMarkPositions();
    EXPECT_EQ(t[0].x, 3);  // lowest C
    EXPECT_EQ(t[0].y, 12);
    EXPECT_EQ(t[1].x, 7);  // lowest C#
    EXPECT_EQ(t[1].y, 6);
    EXPECT_EQ(t[59].x, 275);  // top B
}

TEST(KeyMarkPositions, EachMarkSitsInTheMiddleOfItsKeyHighOnBlackKeysLowOnWhiteOnes)
{
    const auto& t = keyMarkPositions();
    for (int k = 0; k < kKeyCount; ++k) {
        const auto& m = t[static_cast<size_t>(k)];
        EXPECT_EQ(m.y, isBlackKey(k) ? 6 : 12) << "key " << k;
        for (int dy = 0; dy < kKeyMarkSize; ++dy)
            for (int dx = 0; dx < kKeyMarkSize; ++dx)
                EXPECT_EQ(keyAt(m.x + dx, m.y + dy), k) << "key " << k << " at +" << dx << ",+" << dy;
        // The middle of the key's columns on the mark's row, dividers left out.
        int sum = 0, n = 0;
        for (int x = 0; x < kKeyboardWidth; ++x)
            if (keyAt(x, m.y) == k && (isBlackKey(k) || x % kWhiteKeyWidth != 0)) {
                sum += x;
                ++n;
            }
        ASSERT_GT(n, 0) << "key " << k;
        EXPECT_EQ(2 * (m.x + kKeyMarkSize / 2), 2 * sum / n) << "key " << k;
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
