#include "app/pictures/FretboardPictures.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <set>
#include <vector>

#include "fretboard/FretboardGeometry.h"

namespace strumox::pictures {

using namespace fretboard;
namespace {

constexpr int kInlaid[] = {3, 5, 7, 9, 15, 17, 19, 21};
// Rows that cross no string, string shadow or inlay: between strings 0 and 1, and 4 and 5.
constexpr int kClearRows[] = {26, 90};

int fretX(bool left, int fret) { return HandLayout::forHand(left).fretX[static_cast<size_t>(fret)]; }
int stringTop(int s) { return kStringTop[static_cast<size_t>(s)]; }

int luminance(QRgb c) { return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000; }
int spread(QRgb c)
{
    return std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)});
}
// Nickel silver: bright and grey.
bool isMetal(QRgb c) { return spread(c) < 24 && std::min({qRed(c), qGreen(c), qBlue(c)}) > 110; }
// Bone: bright and warm.
bool isBone(QRgb c) { return qRed(c) > 170 && qRed(c) - qBlue(c) >= 20 && qRed(c) - qBlue(c) <= 70; }
bool isLight(QRgb c) { return std::min({qRed(c), qGreen(c), qBlue(c)}) > 150; }

// Runs of consecutive x in [from, to] (inclusive) on row y whose pixel passes the test.
template <class Pred>
int countRuns(const QImage& img, int y, int from, int to, Pred pred, int minLength = 1)
{
    int runs = 0, length = 0;
    for (int x = from; x <= to + 1; ++x) {
        if (x <= to && pred(img.pixel(x, y))) {
            ++length;
        } else {
            if (length >= minLength)
                ++runs;
            length = 0;
        }
    }
    return runs;
}

QImage copyRect(const QImage& img, int x, int y, int w, int h) { return img.copy(x, y, w, h); }

class BothHands : public ::testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(Hand, BothHands, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Left" : "Right"; });

// ---- sizes and the number strip --------------------------------------------------------------

TEST(FretboardPictureSizes, EveryImageHasItsFixedSize)
{
    for (bool left : {false, true}) {
        EXPECT_EQ(blankNeck(left).size(), QSize(760, 123));
        EXPECT_EQ(fretNumberStrip(left).size(), QSize(760, 12));
        FretboardScene scene;
        scene.leftHanded = left;
        EXPECT_EQ(renderFretboard(scene).size(), QSize(760, 123));
    }
    EXPECT_EQ(glyphStrip().size(), QSize(240, 12));
}

TEST_P(BothHands, NeckCarriesTheNumberStripOfItsHandOnTop)
{
    const bool left = GetParam();
    EXPECT_EQ(copyRect(blankNeck(left), 0, 0, 760, 12).convertToFormat(QImage::Format_RGB32),
              fretNumberStrip(left).convertToFormat(QImage::Format_RGB32));
}

// Columns whose pixels are clearly darker than the strip's background, as a centre of ink.
double inkCentre(const QImage& strip, int from, int to)
{
    const QRgb bg = strip.pixel(from, 1);
    double sum = 0, weight = 0;
    for (int x = from; x <= to; ++x)
        for (int y = 0; y < 11; ++y) {
            const int d = luminance(bg) - luminance(strip.pixel(x, y));
            if (d > 40) {
                sum += (x + 0.5) * d;
                weight += d;
            }
        }
    return weight > 0 ? sum / weight : -1;
}

TEST_P(BothHands, EachFretNumberIsCentredOverItsMarker)
{
    const bool left = GetParam();
    const QImage strip = fretNumberStrip(left);
    for (int f = 1; f <= 22; ++f) {
        const double centre = fretX(left, f) + kGlyphSize / 2.0;
        const double ink = inkCentre(strip, static_cast<int>(centre) - 8, static_cast<int>(centre) + 7);
        ASSERT_GE(ink, 0) << "no number over fret " << f;
        EXPECT_NEAR(ink, centre, 1.5) << "fret " << f;
    }
}

TEST(FretNumberStrip, LeftHandedNumbersReadNormallyNotMirrored)
{
    const QImage right = fretNumberStrip(false);
    const QImage left = fretNumberStrip(true);
    for (int f = 1; f <= 22; ++f) {
        const QImage r = copyRect(right, fretX(false, f) + 6 - 8, 0, 16, 12);
        const QImage l = copyRect(left, fretX(true, f) + 6 - 8, 0, 16, 12);
        EXPECT_EQ(l, r) << "fret " << f;
    }
    for (int f : {2, 3, 4, 5, 7, 12})  // digits that differ from their mirror image
        EXPECT_NE(copyRect(left, fretX(true, f) + 6 - 8, 0, 16, 12),
                  copyRect(left, fretX(true, f) + 6 - 8, 0, 16, 12).mirrored(true, false))
            << "fret " << f;
}

// ---- the neck --------------------------------------------------------------------------------

TEST(Neck, LeftHandedNeckIsTheRightHandedOneMirroredBelowTheStrip)
{
    const QImage right = blankNeck(false);
    const QImage left = blankNeck(true);
    for (int y = kFretNumberStripHeight; y < kFretboardHeight; ++y)
        for (int x = 0; x < kFretboardWidth; ++x)
            ASSERT_EQ(left.pixel(x, y), right.pixel(kFretboardWidth - 1 - x, y)) << x << "," << y;
}

TEST_P(BothHands, StringsRunThroughTheMiddleOfTheMarkerRows)
{
    const bool left = GetParam();
    const QImage neck = blankNeck(left);
    std::set<int> inlaid(std::begin(kInlaid), std::end(kInlaid));
    inlaid.insert(12);
    for (int s = 0; s < 6; ++s) {
        for (int f = 0; f <= 22; ++f) {
            if (inlaid.count(f))
                continue;
            const int x = fretX(left, f) + 5;
            const int top = stringTop(s);
            EXPECT_GT(luminance(neck.pixel(x, top + 6)), 120) << "string " << s << " fret " << f;
            EXPECT_LT(luminance(neck.pixel(x, top + 2)), 100) << "string " << s << " fret " << f;
            EXPECT_LT(luminance(neck.pixel(x, top + 10)), 100) << "string " << s << " fret " << f;
        }
    }
}

TEST(Neck, LowStringsAreThickerThanHighStrings)
{
    const QImage neck = blankNeck(false);
    auto thickness = [&neck](int s) {
        const int x = fretX(false, 4) + 5;
        int n = 0;
        for (int y = stringTop(s); y < stringTop(s) + kGlyphSize; ++y)
            n += luminance(neck.pixel(x, y)) > 85 ? 1 : 0;  // brighter than any rosewood
        return n;
    };
    EXPECT_LT(thickness(0), thickness(5));
    for (int s = 1; s < 6; ++s)
        EXPECT_LE(thickness(s - 1), thickness(s)) << "string " << s;
}

TEST_P(BothHands, OneFretWireBetweenNeighbouringMarkersAndNoneAcrossAMarker)
{
    const bool left = GetParam();
    const QImage neck = blankNeck(left);
    for (int y : kClearRows) {
        for (int f = 0; f <= 22; ++f) {
            const int x = fretX(left, f);
            EXPECT_EQ(countRuns(neck, y, x, x + kGlyphSize - 1, isMetal), 0) << "marker " << f << " row " << y;
            EXPECT_EQ(countRuns(neck, y, x, x + kGlyphSize - 1, isBone), 0) << "marker " << f << " row " << y;
        }
        // The nut between the open-string markers and fret 1, then one wire per gap.
        for (int f = 1; f <= 22; ++f) {
            const int a = fretX(left, f - 1), b = fretX(left, f);
            const int from = std::min(a, b) + kGlyphSize, to = std::max(a, b) - 1;
            EXPECT_EQ(countRuns(neck, y, from, to, isMetal), f == 1 ? 0 : 1) << "gap " << f - 1 << "-" << f;
            EXPECT_EQ(countRuns(neck, y, from, to, isBone), f == 1 ? 1 : 0) << "gap " << f - 1 << "-" << f;
        }
        // The last wire lies beyond fret 22's marker, on the side away from the nut.
        const int x22 = fretX(left, 22);
        const int from = left ? 0 : x22 + kGlyphSize, to = left ? x22 - 1 : kFretboardWidth - 1;
        EXPECT_EQ(countRuns(neck, y, from, to, isMetal), 1) << "after fret 22, row " << y;
        EXPECT_EQ(countRuns(neck, y, 0, kFretboardWidth - 1, isMetal), 22) << "row " << y;
    }
}

TEST_P(BothHands, NutSitsBetweenTheOpenStringMarkersAndFretOne)
{
    const bool left = GetParam();
    const QImage neck = blankNeck(left);
    const int x0 = fretX(left, 0), x1 = fretX(left, 1);
    const int from = std::min(x0, x1) + kGlyphSize, to = std::max(x0, x1) - 1;
    // The nut spans the board from edge to edge; the strings cross it, so skip their rows.
    for (int y = kFretNumberStripHeight; y < stringTop(5) + kGlyphSize; ++y) {
        const bool stringRow = std::any_of(kStringTop.begin(), kStringTop.end(),
                                           [y](int top) { return y >= top + 3 && y <= top + 9; });
        if (!stringRow) {
            EXPECT_EQ(countRuns(neck, y, from, to, isBone), 1) << "row " << y;
        }
    }
}

TEST_P(BothHands, InlaysMarkTheUsualFretsAndTwelveTwice)
{
    const bool left = GetParam();
    const QImage neck = blankNeck(left);
    const int single = (stringTop(2) + stringTop(3)) / 2 + kGlyphSize / 2;  // between strings 2 and 3
    const int upper = (stringTop(1) + stringTop(2)) / 2 + kGlyphSize / 2;
    const int lower = (stringTop(3) + stringTop(4)) / 2 + kGlyphSize / 2;
    auto pearlIn = [&](int fret, int y) {
        // A fret's space runs from the previous marker's far edge to its own marker's far edge.
        const int a = fretX(left, fret - 1), b = fretX(left, fret);
        const int from = left ? b : a + kGlyphSize, to = left ? a - 1 : b + kGlyphSize - 1;
        // Pearl is light and cool; a wire is only two columns wide, the nut is warm bone.
        return countRuns(neck, y, from, to, [](QRgb c) { return isLight(c) && !isBone(c); }, 4);
    };
    std::set<int> inlaid(std::begin(kInlaid), std::end(kInlaid));
    for (int f = 1; f <= 22; ++f) {
        if (f == 12) {
            EXPECT_EQ(pearlIn(f, upper), 1);
            EXPECT_EQ(pearlIn(f, lower), 1);
            EXPECT_EQ(pearlIn(f, single), 0);
        } else {
            EXPECT_EQ(pearlIn(f, single), inlaid.count(f) ? 1 : 0) << "fret " << f;
        }
    }
}

// ---- the glyph strip -------------------------------------------------------------------------

int opaqueCount(const QImage& img, int cellX)
{
    int n = 0;
    for (int y = 0; y < kGlyphSize; ++y)
        for (int x = cellX; x < cellX + kGlyphSize; ++x)
            n += qAlpha(img.pixel(x, y)) > 0 ? 1 : 0;
    return n;
}

QImage cell(int cellX) { return glyphStrip().copy(cellX, 0, kGlyphSize, kGlyphSize); }

bool reddish(QRgb c) { return qRed(c) > 150 && qGreen(c) < 110 && qBlue(c) < 110; }

TEST(GlyphStrip, UnusedCellsAreTransparentAndUsedOnesAreDrawn)
{
    const QImage strip = glyphStrip();
    std::set<int> used;
    for (bool root : {false, true})
        for (int marker = 0; marker <= 6; ++marker)
            used.insert(glyphCellX(marker, root));
    ASSERT_EQ(used.size(), 13u);
    // The lit dots of sounding notes have cells of their own; a muted string keeps the cross.
    for (int mark = 0; mark <= 6; ++mark)
        used.insert(soundingCellX(mark));
    ASSERT_EQ(used.size(), 19u);
    for (int c = 0; c < kGlyphStripWidth; c += kGlyphSize) {
        if (used.count(c))
            EXPECT_GT(opaqueCount(strip, c), 20) << "cell " << c;
        else
            EXPECT_EQ(opaqueCount(strip, c), 0) << "cell " << c;
    }
}

TEST(GlyphStrip, EveryMarkerHasItsOwnPicture)
{
    std::vector<int> cells;
    for (bool root : {false, true})
        for (int marker = 0; marker <= 6; ++marker)
            cells.push_back(glyphCellX(marker, root));
    for (size_t i = 0; i < cells.size(); ++i)
        for (size_t j = i + 1; j < cells.size(); ++j)
            if (cells[i] != cells[j]) {  // the muted glyph serves root and non-root alike
                EXPECT_NE(cell(cells[i]), cell(cells[j])) << "cells " << cells[i] << " and " << cells[j];
            }
}

TEST(GlyphStrip, RootGlyphsAreRedAndTheOthersAreNot)
{
    const QImage strip = glyphStrip();
    for (int marker : {1, 2, 3, 4, 6}) {
        // Inside a dot's left side, clear of its edge and of any number.
        EXPECT_TRUE(reddish(strip.pixel(glyphCellX(marker, true) + 2, 6))) << "marker " << marker;
        EXPECT_FALSE(reddish(strip.pixel(glyphCellX(marker, false) + 2, 6))) << "marker " << marker;
    }
    // The open circle's ring, where it crosses the middle row.
    EXPECT_TRUE(reddish(strip.pixel(glyphCellX(0, true) + 9, 6)));
    EXPECT_FALSE(reddish(strip.pixel(glyphCellX(0, false) + 9, 6)));
}

TEST(GlyphStrip, DotsAreSolidAndOpenCirclesAreNot)
{
    const QImage strip = glyphStrip();
    for (bool root : {false, true}) {
        for (int marker : {1, 2, 3, 4, 6})
            EXPECT_EQ(qAlpha(strip.pixel(glyphCellX(marker, root) + 2, 6)), 255) << marker << " root " << root;
        EXPECT_LT(qAlpha(strip.pixel(glyphCellX(0, root) + 6, 6)), 255) << "root " << root;
        EXPECT_EQ(qAlpha(strip.pixel(glyphCellX(0, root) + 9, 6)), 255) << "root " << root;
    }
}

TEST(GlyphStrip, FingerNumbersShowInWhiteOnTheDot)
{
    const QImage strip = glyphStrip();
    auto whiteInside = [&strip](int cellX) {
        int n = 0;
        for (int y = 3; y <= 8; ++y)
            for (int x = cellX + 3; x <= cellX + 8; ++x)
                n += isLight(strip.pixel(x, y)) && spread(strip.pixel(x, y)) < 60 ? 1 : 0;
        return n;
    };
    for (bool root : {false, true}) {
        EXPECT_EQ(whiteInside(glyphCellX(6, root)), 0) << "plain dot, root " << root;
        for (int finger = 1; finger <= 4; ++finger)
            EXPECT_GE(whiteInside(glyphCellX(finger, root)), 3) << "finger " << finger << " root " << root;
    }
}

// ---- painting a scene ------------------------------------------------------------------------

struct Spot {
    int string, fret;
};
const Spot kSpots[] = {{0, 0}, {5, 22}, {3, 12}, {2, 7}, {5, 1}, {0, 21}, {4, 0}};

// Checks a 12 x 12 cell drawn at (x, y): where the glyph is opaque the picture shows it, where
// the glyph is transparent the picture shows the neck, and a 2-px ring around it is untouched.
void expectGlyphAt(const QImage& shot, const QImage& neck, int cellX, int x, int y, const char* what)
{
    const QImage strip = glyphStrip();
    int opaque = 0;
    for (int dy = -2; dy < kGlyphSize + 2; ++dy) {
        for (int dx = -2; dx < kGlyphSize + 2; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px < 0 || py < 0 || px >= kFretboardWidth || py >= kFretboardHeight)
                continue;
            const bool inside = dx >= 0 && dy >= 0 && dx < kGlyphSize && dy < kGlyphSize;
            const QRgb g = inside ? strip.pixel(cellX + dx, dy) : 0;
            if (inside && qAlpha(g) == 255) {
                ++opaque;
                ASSERT_EQ(shot.pixel(px, py), g) << what << " +" << dx << ",+" << dy;
            } else if (!inside || qAlpha(g) == 0) {
                ASSERT_EQ(shot.pixel(px, py), neck.pixel(px, py)) << what << " +" << dx << ",+" << dy;
            }
        }
    }
    EXPECT_GT(opaque, 0) << what;
}

TEST_P(BothHands, EmptySceneIsTheBlankNeckOfItsHand)
{
    FretboardScene scene;
    scene.leftHanded = GetParam();
    EXPECT_EQ(renderFretboard(scene).convertToFormat(QImage::Format_RGB32),
              blankNeck(GetParam()).convertToFormat(QImage::Format_RGB32));
}

TEST_P(BothHands, GlyphLandsExactlyOnItsMarker)
{
    const bool left = GetParam();
    const QImage neck = blankNeck(left);
    for (const auto& spot : kSpots) {
        for (int cellX : {glyphCellX(6, false), glyphCellX(2, true), glyphCellX(5, false)}) {
            FretboardScene scene;
            scene.leftHanded = left;
            scene.glyphs.push_back({spot.string, spot.fret, cellX});
            const QImage shot = renderFretboard(scene);
            const std::string what = "string " + std::to_string(spot.string) + " fret " +
                                     std::to_string(spot.fret) + " cell " + std::to_string(cellX);
            expectGlyphAt(shot, neck, cellX, fretX(left, spot.fret), stringTop(spot.string), what.c_str());
            EXPECT_NE(shot.pixel(fretX(left, spot.fret) + 5, stringTop(spot.string) + 5),
                      neck.pixel(fretX(left, spot.fret) + 5, stringTop(spot.string) + 5))
                << what;
        }
    }
}

TEST(PaintFretboard, AChordShowsEveryStringsGlyph)
{
    // C major, open: muted low E, A at 3 (root), D at 2, G open, B at 1 (root), high E open.
    const int frets[6] = {0, 1, 0, 2, 3, 0};
    const int markers[6] = {0, 1, 0, 2, 3, 5};
    const bool roots[6] = {false, true, false, false, true, false};
    FretboardScene scene;
    for (int s = 0; s < 6; ++s)
        scene.glyphs.push_back({s, frets[s], glyphCellX(markers[s], roots[s])});
    const QImage shot = renderFretboard(scene);
    const QImage neck = blankNeck(false);
    for (int s = 0; s < 6; ++s)
        expectGlyphAt(shot, neck, glyphCellX(markers[s], roots[s]), fretX(false, frets[s]), stringTop(s),
                      ("string " + std::to_string(s)).c_str());
}

void expectHollowSquare(const QImage& shot, const QImage& under, int x, int y, QRgb colour, const std::string& what)
{
    // Outer edge from (x - 1, y - 1) to (x + 14, y + 14), two pixels thick.
    for (int py = y - 3; py <= y + 16; ++py) {
        for (int px = x - 3; px <= x + 16; ++px) {
            if (px < 0 || py < 0 || px >= kFretboardWidth || py >= kFretboardHeight)
                continue;
            const bool outer = px >= x - 1 && px <= x + 14 && py >= y - 1 && py <= y + 14;
            const bool inner = px >= x + 1 && px <= x + 12 && py >= y + 1 && py <= y + 12;
            if (outer && !inner)
                ASSERT_EQ(shot.pixel(px, py), colour) << what << " frame at " << px << "," << py;
            else
                ASSERT_EQ(shot.pixel(px, py), under.pixel(px, py)) << what << " at " << px << "," << py;
        }
    }
}

TEST_P(BothHands, SquaresAreHollowFramesAroundTheMarker)
{
    const bool left = GetParam();
    const QImage neck = blankNeck(left);
    for (const auto& spot : kSpots) {
        FretboardScene scene;
        scene.leftHanded = left;
        scene.squares.push_back({spot.string, spot.fret, 0x00FFFF});
        const std::string what = "string " + std::to_string(spot.string) + " fret " + std::to_string(spot.fret);
        expectHollowSquare(renderFretboard(scene), neck, fretX(left, spot.fret), stringTop(spot.string),
                           qRgb(0, 255, 255), what);
    }
}

TEST_P(BothHands, SquaresAreDrawnOverGlyphsWithoutHidingThem)
{
    const bool left = GetParam();
    FretboardScene withGlyph;
    withGlyph.leftHanded = left;
    withGlyph.glyphs.push_back({3, 5, glyphCellX(3, true)});
    const QImage glyphOnly = renderFretboard(withGlyph);
    FretboardScene both = withGlyph;
    both.squares.push_back({3, 5, 0x800000});
    expectHollowSquare(renderFretboard(both), glyphOnly, fretX(left, 5), stringTop(3), qRgb(128, 0, 0),
                       "over a glyph");
}

TEST(PaintFretboard, EntriesOffTheNeckAreSkipped)
{
    FretboardScene scene;
    scene.glyphs.push_back({6, 3, glyphCellX(6, false)});
    scene.glyphs.push_back({0, 23, glyphCellX(6, false)});
    scene.glyphs.push_back({-1, 0, glyphCellX(6, false)});
    scene.glyphs.push_back({2, 2, 236});  // would read past the strip's end
    scene.squares.push_back({6, 0, 0xFF0000});
    scene.squares.push_back({0, -1, 0xFF0000});
    EXPECT_EQ(renderFretboard(scene).convertToFormat(QImage::Format_RGB32),
              blankNeck(false).convertToFormat(QImage::Format_RGB32));
}

TEST(PaintFretboard, PaintsThroughAnyPainterAtItsOffset)
{
    // A widget or printer may hand over a painter on a larger surface, already translated.
    FretboardScene scene;
    scene.glyphs.push_back({1, 4, glyphCellX(6, false)});
    scene.squares.push_back({4, 9, 0x00FF00});
    QImage big(800, 160, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::black);
    {
        QPainter p(&big);
        p.translate(20, 30);
        paintFretboard(p, scene);
    }
    EXPECT_EQ(big.copy(20, 30, 760, 123).convertToFormat(QImage::Format_RGB32),
              renderFretboard(scene).convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(big.pixel(19, 29), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace strumox::pictures
