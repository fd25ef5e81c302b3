#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "fretboard/FretboardGeometry.h"

using namespace strumox::fretboard;

namespace {

// Hit zones of frets 0..22 as inclusive x ranges, one table per hand.
struct Zone {
    int lo;
    int hi;
};
constexpr std::array<Zone, 23> kRightZones{{{0, 30},    {31, 81},   {82, 134},  {135, 184}, {185, 230}, {231, 273},
                                            {274, 317}, {318, 355}, {356, 394}, {395, 429}, {430, 462}, {463, 495},
                                            {496, 523}, {524, 551}, {552, 578}, {579, 602}, {603, 627}, {628, 649},
                                            {650, 668}, {669, 690}, {691, 709}, {710, 727}, {728, 744}}};
constexpr std::array<Zone, 23> kLeftZones{{{717, 747}, {666, 716}, {613, 665}, {563, 612}, {517, 562}, {474, 516},
                                           {430, 473}, {392, 429}, {353, 391}, {318, 352}, {285, 317}, {253, 284},
                                           {224, 252}, {196, 223}, {169, 195}, {144, 168}, {120, 143}, {98, 119},
                                           {78, 97},   {57, 77},   {38, 56},   {20, 37},   {0, 19}}};

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

// ---- Marker positions for each hand ----

TEST(HandLayout, RightHandedFretPositions)
{
    const std::array<int, 23> expected{7,   65,  118, 168, 214, 257, 301, 339, 378, 413, 446, 478,
                                       507, 535, 562, 587, 611, 633, 653, 674, 693, 712, 729};
    const auto h = HandLayout::right();
    EXPECT_FALSE(h.leftHanded);
    EXPECT_EQ(h.fretX, expected);
}

TEST(HandLayout, LeftHandedFretPositionsAreMirroredAt748)
{
    const auto r = HandLayout::right();
    const auto l = HandLayout::left();
    EXPECT_TRUE(l.leftHanded);
    EXPECT_EQ(l.fretX[0], 741);
    EXPECT_EQ(l.fretX[1], 683);
    EXPECT_EQ(l.fretX[2], 630);
    EXPECT_EQ(l.fretX[21], 36);
    EXPECT_EQ(l.fretX[22], 19);
    for (size_t f = 0; f < 23; ++f)
        EXPECT_EQ(l.fretX[f], 748 - r.fretX[f]) << "fret " << f;
}

TEST(HandLayout, DiagramStringPositionsForBothHands)
{
    EXPECT_EQ(HandLayout::right().smallStringX, (std::array<int, 6>{91, 76, 61, 46, 31, 16}));
    EXPECT_EQ(HandLayout::left().smallStringX, (std::array<int, 6>{16, 31, 46, 61, 76, 91}));
    EXPECT_EQ(HandLayout::right().tinyStringX, (std::array<int, 6>{53, 44, 35, 26, 17, 8}));
    EXPECT_EQ(HandLayout::left().tinyStringX, (std::array<int, 6>{8, 17, 26, 35, 44, 53}));
    EXPECT_TRUE(HandLayout::forHand(true).leftHanded);
    EXPECT_EQ(HandLayout::forHand(false).fretX, HandLayout::right().fretX);
}

// ---- Marker glyph cells ----

TEST(GlyphCell, CellForEachMarkerWithAndWithoutTheRoot)
{
    struct Row {
        const char* what;
        int marker;
        int normal;
        int root;
    };
    const Row rows[] = {{"open", 0, 36, 108},   {"finger 1", 1, 48, 120}, {"finger 2", 2, 60, 132},
                        {"finger 3", 3, 72, 144}, {"finger 4", 4, 84, 156}, {"muted", 5, 12, 12},
                        {"plain dot", 6, 24, 96}};
    for (const auto& r : rows) {
        EXPECT_EQ(glyphCellX(r.marker, false), r.normal) << r.what;
        EXPECT_EQ(glyphCellX(r.marker, true), r.root) << r.what << " (root)";
    }
}

// ---- Hit-testing: frets ----

TEST(HitTestFret, BothEdgesOfEveryRightHandedZone)
{
    for (int f = 0; f < 23; ++f) {
        const Zone z = kRightZones[static_cast<size_t>(f)];
        EXPECT_EQ(fretOf(std::max(z.lo, 5), false), f) << "left edge of fret " << f;
        EXPECT_EQ(fretOf(std::min(z.hi, 744), false), f) << "right edge of fret " << f;
    }
}

TEST(HitTestFret, BothEdgesOfEveryLeftHandedZone)
{
    for (int f = 0; f < 23; ++f) {
        const Zone z = kLeftZones[static_cast<size_t>(f)];
        EXPECT_EQ(fretOf(std::max(z.lo, 5), true), f) << "left edge of fret " << f;
        EXPECT_EQ(fretOf(std::min(z.hi, 744), true), f) << "right edge of fret " << f;
    }
}

TEST(HitTestFret, EveryCountingColumnAgreesWithTheZoneTables)
{
    for (bool left : {false, true}) {
        const auto& zones = left ? kLeftZones : kRightZones;
        for (int x = 5; x <= 744; ++x) {
            int expected = -1;
            for (int f = 0; f < 23; ++f)
                if (x >= zones[static_cast<size_t>(f)].lo && x <= zones[static_cast<size_t>(f)].hi)
                    expected = f;
            ASSERT_EQ(fretOf(x, left), expected) << (left ? "left" : "right") << "-handed x = " << x;
        }
    }
}

TEST(HitTestFret, NutBoundaryForEachHand)
{
    EXPECT_EQ(fretOf(30, false), 0);
    EXPECT_EQ(fretOf(31, false), 1);
    EXPECT_EQ(fretOf(716, true), 1);
    EXPECT_EQ(fretOf(717, true), 0);
}

TEST(HitTestFret, MarkerCentresHitTheirOwnFretRightHanded)
{
    const auto h = HandLayout::right();
    for (int f = 0; f < 23; ++f)
        EXPECT_EQ(fretOf(h.fretX[static_cast<size_t>(f)] + kGlyphSize / 2, false), f) << "fret " << f;
}

// ---- Hit-testing: strings ----

TEST(HitTestString, RowBoundaries)
{
    struct Row {
        int y;
        int string;
    };
    const Row rows[] = {{9, 0},  {24, 0}, {25, 1}, {26, 1}, {41, 1}, {42, 2}, {57, 2},  {58, 3},
                        {73, 3}, {74, 4}, {89, 4}, {90, 5}, {97, 5}, {105, 5}};
    for (const auto& r : rows)
        EXPECT_EQ(stringOf(r.y), r.string) << "y = " << r.y;
}

TEST(HitTestString, MarkerCentresHitTheirOwnString)
{
    for (int s = 0; s < 6; ++s)
        EXPECT_EQ(stringOf(kStringTop[static_cast<size_t>(s)] + kGlyphSize / 2), s) << "string " << s;
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
}

TEST(HitTestArea, OuterColumnsAreTheNutAndTheLastFretPerHand)
{
    EXPECT_EQ(fretOf(5, false), 0);
    EXPECT_EQ(fretOf(744, false), 22);
    EXPECT_EQ(fretOf(5, true), 22);
    EXPECT_EQ(fretOf(744, true), 0);
    const auto corner = hitTest(744, 105, false);
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner->string, 5);
    EXPECT_EQ(corner->fret, 22);
}

}  // namespace
