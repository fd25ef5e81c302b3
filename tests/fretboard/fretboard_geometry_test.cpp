#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <map>

#include "fretboard/FretboardGeometry.h"

using namespace strumox::fretboard;

namespace {

// The counting area, inclusive.
constexpr int kFirstX = 5, kLastX = 744, kFirstY = 9, kLastY = 105;

int fretOf(int x, bool left)
{
    const auto hit = hitTest(x, 50, left);
    return hit ? hit->fret : -1;
}

int stringOf(int y)
{
    const auto hit = hitTest(100, y, false);
    return hit ? hit->string : -1;
}

// Inclusive x range of each fret's hit zone within the counting area, found column by column.
struct Zone {
    int lo = INT_MAX;
    int hi = -1;
};
std::array<Zone, 23> zonesOf(bool left)
{
    std::array<Zone, 23> zones{};
    for (int x = kFirstX; x <= kLastX; ++x) {
        const int f = fretOf(x, left);
        if (f < 0)
            continue;
        zones[static_cast<size_t>(f)].lo = std::min(zones[static_cast<size_t>(f)].lo, x);
        zones[static_cast<size_t>(f)].hi = std::max(zones[static_cast<size_t>(f)].hi, x);
    }
    return zones;
}

// ---- Marker positions for each hand ----

TEST(HandLayout, AnchorsTheNeckPictureFixes)
{
    const auto r = HandLayout::right();
    EXPECT_FALSE(r.leftHanded);
    EXPECT_TRUE(HandLayout::left().leftHanded);
    EXPECT_EQ(HandLayout::forHand(true).fretX, HandLayout::left().fretX);
    EXPECT_EQ(HandLayout::forHand(false).fretX, r.fretX);
    EXPECT_EQ(r.fretX[0], 7);     // open strings, left of the nut
    EXPECT_EQ(r.fretX[1], 65);
    EXPECT_EQ(r.fretX[12], 507);
    EXPECT_EQ(r.fretX[22], 729);
    EXPECT_EQ(r.smallStringX[0], 91);  // high E on the right of a right-handed diagram
    EXPECT_EQ(r.tinyStringX[0], 53);
}

TEST(HandLayout, LeftHandedPositionsMirrorTheRightHandedOnes)
{
    const auto r = HandLayout::right();
    const auto l = HandLayout::left();
    // A 12-pixel marker at x mirrors to 748 - x on the 760-pixel picture.
    for (size_t f = 0; f < 23; ++f)
        EXPECT_EQ(l.fretX[f], 748 - r.fretX[f]) << "fret " << f;
    for (size_t s = 0; s < 6; ++s) {
        EXPECT_EQ(l.smallStringX[s], r.smallStringX[5 - s]) << "string " << s;
        EXPECT_EQ(l.tinyStringX[s], r.tinyStringX[5 - s]) << "string " << s;
    }
}

TEST(HandLayout, DiagramStringsStandAtAnEvenPitchHighEFirst)
{
    const auto r = HandLayout::right();
    for (size_t s = 1; s < 6; ++s) {
        EXPECT_EQ(r.smallStringX[s - 1] - r.smallStringX[s], 15) << "string " << s;
        EXPECT_EQ(r.tinyStringX[s - 1] - r.tinyStringX[s], 9) << "string " << s;
    }
}

TEST(HandLayout, FretsNarrowUpTheNeckAndHalveAnOctaveUp)
{
    const auto& x = HandLayout::right().fretX;
    for (size_t f = 1; f < 23; ++f)
        EXPECT_GT(x[f], x[f - 1] + 12) << "fret " << f << " must clear the marker before it";
    // The fret space an octave higher is half as wide, give or take the pixel rounding.
    for (size_t f = 0; f + 13 < 23; ++f) {
        const int space = x[f + 1] - x[f];
        const int octaveUp = x[f + 13] - x[f + 12];
        EXPECT_LE(std::abs(2 * octaveUp - space), 4) << "space after fret " << f;
    }
}

// ---- Marker glyph cells ----

TEST(GlyphCell, AnchorsAndTheRulesThatPlaceEveryOtherCell)
{
    EXPECT_EQ(glyphCellX(5, false), 12);  // muted
    EXPECT_EQ(glyphCellX(6, false), 24);  // plain dot
    EXPECT_EQ(glyphCellX(0, false), 36);  // open
    EXPECT_EQ(glyphCellX(1, false), 48);
    for (int finger = 2; finger <= 4; ++finger)
        EXPECT_EQ(glyphCellX(finger, false), glyphCellX(finger - 1, false) + kGlyphSize) << "finger " << finger;
    // The cross serves the root as well; every other glyph has a red twin six cells on.
    EXPECT_EQ(glyphCellX(5, true), glyphCellX(5, false));
    for (int marker : {0, 1, 2, 3, 4, 6})
        EXPECT_EQ(glyphCellX(marker, true), glyphCellX(marker, false) + 6 * kGlyphSize) << "marker " << marker;
}

// ---- Hit-testing: frets ----

TEST(HitTestFret, EveryCountingColumnBelongsToOneFretAndTheFretsFollowInOrder)
{
    for (bool left : {false, true}) {
        SCOPED_TRACE(left ? "left-handed" : "right-handed");
        const int step = left ? -1 : 1;
        // The nut lies where the hand's neck starts, the last fret where it ends.
        EXPECT_EQ(fretOf(kFirstX, left), left ? 22 : 0);
        EXPECT_EQ(fretOf(kLastX, left), left ? 0 : 22);
        for (int x = kFirstX + 1; x <= kLastX; ++x) {
            const int d = fretOf(x, left) - fretOf(x - 1, left);
            ASSERT_TRUE(d == 0 || d == step) << "x = " << x << ": fret " << fretOf(x, left) << " after "
                                             << fretOf(x - 1, left);
        }
    }
}

TEST(HitTestFret, RightHandedMarkersLieInsideTheirZoneWhichEndsOnTheWire)
{
    const auto& x = HandLayout::right().fretX;
    const auto zones = zonesOf(false);
    for (size_t f = 0; f < 23; ++f) {
        EXPECT_LE(zones[f].lo, x[f]) << "fret " << f;
        EXPECT_GE(zones[f].hi, x[f] + kGlyphSize - 1) << "fret " << f;
    }
    // The picture draws fret f's wire in the two columns 15 and 16 right of its marker, and the
    // zone ends on the wire's second column; four zones of the layout end a column earlier or
    // later, so they are named here.
    const std::map<size_t, int> wireEnd{{11, 17}, {15, 15}, {18, 15}, {21, 15}};
    for (size_t f = 1; f < 22; ++f)
        EXPECT_EQ(zones[f].hi - x[f], wireEnd.count(f) ? wireEnd.at(f) : 16) << "fret " << f;
    EXPECT_EQ(zones[0].hi, 30);  // the nut's zone ends before fret 1's begins at x 31
}

TEST(HitTestFret, LeftHandedZonesMirrorTheRightHandedOnesAt747)
{
    // Three boundaries of the left-handed layout sit one column off the exact mirror; they are
    // part of that layout, so they are named here and every other column must mirror.
    const std::map<int, int> offMirror{{252, 12}, {144, 15}, {78, 18}};
    for (int x = kFirstX; x <= 747 - kFirstX; ++x) {
        const int expected = offMirror.count(x) ? offMirror.at(x) : fretOf(747 - x, false);
        ASSERT_EQ(fretOf(x, true), expected) << "left-handed x = " << x;
    }
    for (const auto& [x, fret] : offMirror)
        EXPECT_EQ(std::abs(fretOf(747 - x, false) - fret), 1) << "x = " << x << " is one fret off its mirror";
    // Beyond the mirror of the counting area's left edge the nut's zone runs on to the edge.
    EXPECT_EQ(fretOf(743, true), 0);
}

// ---- Hit-testing: strings ----

TEST(HitTestString, RowsRunFromStringZeroDownWithFixedFirstRows)
{
    const int firstRow[6] = {kFirstY, 25, 42, 58, 74, 90};  // y = 25 joins string 1
    for (int s = 0; s < 6; ++s) {
        EXPECT_EQ(stringOf(firstRow[s]), s) << "first row of string " << s;
        if (s > 0) {
            EXPECT_EQ(stringOf(firstRow[s] - 1), s - 1) << "last row of string " << s - 1;
        }
    }
    EXPECT_EQ(stringOf(kLastY), 5);
    for (int y = kFirstY + 1; y <= kLastY; ++y) {
        const int d = stringOf(y) - stringOf(y - 1);
        ASSERT_TRUE(d == 0 || d == 1) << "y = " << y;
    }
}

TEST(HitTestString, EveryRowOfAMarkerHitsItsOwnString)
{
    for (int s = 0; s < 6; ++s)
        for (int y = kStringTop[static_cast<size_t>(s)]; y < kStringTop[static_cast<size_t>(s)] + kGlyphSize; ++y)
            EXPECT_EQ(stringOf(y), s) << "string " << s << " y " << y;
}

// ---- Hit-testing: the counting area ----

TEST(HitTestArea, EdgesOfTheCountingArea)
{
    struct Row {
        const char* what;
        int x;
        int y;
        bool counts;
    };
    const Row rows[] = {{"x 4", 4, 50, false},    {"x 5", 5, 50, true},     {"x 744", 744, 50, true},
                        {"x 745", 745, 50, false}, {"y 8", 100, 8, false},  {"y 9", 100, 9, true},
                        {"y 105", 100, 105, true}, {"y 106", 100, 106, false}, {"corner", 5, 9, true},
                        {"far corner", 744, 105, true}, {"negative", -3, -3, false}};
    for (const auto& r : rows) {
        EXPECT_EQ(inCountingArea(r.x, r.y), r.counts) << r.what;
        for (bool left : {false, true})
            EXPECT_EQ(hitTest(r.x, r.y, left).has_value(), r.counts) << r.what << (left ? " left" : " right");
    }
    const auto corner = hitTest(kLastX, kLastY, false);
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner->string, 5);
    EXPECT_EQ(corner->fret, 22);
}

}  // namespace
