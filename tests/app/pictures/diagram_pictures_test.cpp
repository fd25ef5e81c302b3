#include "app/pictures/DiagramPictures.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <string>
#include <vector>

#include "RecordBuilders.h"
#include "fretboard/FretboardGeometry.h"
#include "pages/RecordConversions.h"

namespace strumox::pictures {

using namespace fretboard;
namespace {

using pages::DiagramRecord;
using pages::PrintRecord;
using pages::ScaleRecord;
using namespace testsupport;

// Colours without their alpha byte, as rgb() below reads them.
const QRgb kPage = 0x1e965a;  // a page colour no diagram uses: they are grey or blue
const QRgb kWhite = 0xffffff;
const QRgb kBlack = 0x000000;

bool isInk(QRgb c) { return qGray(c) < 160; }
QRgb rgb(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xffffff; }
QImage glyph(const QImage& strip, int x, int size) { return strip.copy(x, 0, size, size); }

QImage colouredPage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kPage);
    return img;
}

int inkCount(const QImage& img, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += isInk(img.pixel(x, y)) ? 1 : 0;
    return n;
}

// Bounding box of the pixels where two images of the same size differ; null when equal.
QRect differingArea(const QImage& a, const QImage& b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

// A fingering from frets and markers, string 0 first, drawn from the given first row.
DiagramRecord fingering(int baseFret, const Strings& frets, const Strings& markers)
{
    return atBaseFret(chordRecord(0, "7", frets, markers), baseFret);
}

DiagramRecord allMuted(int baseFret) { return fingering(baseFret, {0, 0, 0, 0, 0, 0}, {5, 5, 5, 5, 5, 5}); }

// C major whose second column begins at fret 5.
const ScaleRecord kCMajor = cMajorScale({1, 5, 8, 12, 16, 20});

class DiagramHands : public ::testing::TestWithParam<bool> {
protected:
    HandLayout hand() const { return HandLayout::forHand(GetParam()); }
};
INSTANTIATE_TEST_SUITE_P(Hand, DiagramHands, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Left" : "Right"; });

// ---- the bitmaps ---------------------------------------------------------------------------------

TEST(DiagramBitmaps, EachHasItsFixedSize)
{
    const struct {
        const char* name;
        QImage image;
        QSize size;
    } rows[] = {
        {"small grid", smallFretGrid(), {105, 120}},  {"small numbers", smallNumberGlyphs(), {70, 10}},
        {"small marks", smallMarkGlyphs(), {40, 10}}, {"tiny grid", tinyFretGrid(), {58, 61}},
        {"tiny marks", tinyMarkGlyphs(), {15, 5}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.image.size(), r.size) << r.name;
}

TEST(DiagramBitmaps, AreBlackOnWhiteWithoutColour)
{
    for (const QImage& img :
         {smallFretGrid(), smallNumberGlyphs(), smallMarkGlyphs(), tinyFretGrid(), tinyMarkGlyphs()})
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                ASSERT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c)) << x << "," << y;
            }
}

// String lines run through the middle of each string's marks; fret lines follow at an even pitch.
std::array<int, 6> stringLines(const std::array<int, 6>& markX, int glyph)
{
    std::array<int, 6> xs{};
    std::transform(markX.begin(), markX.end(), xs.begin(), [glyph](int x) { return x + glyph / 2; });
    std::sort(xs.begin(), xs.end());
    return xs;
}

std::array<int, 7> fretLines(int first, int pitch)
{
    std::array<int, 7> ys{};
    for (size_t k = 0; k < ys.size(); ++k)
        ys[k] = first + pitch * static_cast<int>(k);
    return ys;
}

// Every pixel of a grid is black exactly on its lines, each line running from the first to the
// last line of the other set, and white everywhere else.
void expectGrid(const QImage& grid, const std::array<int, 6>& xs, const std::array<int, 7>& ys)
{
    auto in = [](const auto& set, int v) { return std::find(std::begin(set), std::end(set), v) != std::end(set); };
    for (int y = 0; y < grid.height(); ++y)
        for (int x = 0; x < grid.width(); ++x) {
            const bool stringLine = in(xs, x) && y >= ys[0] && y <= ys[6];
            const bool fretLine = in(ys, y) && x >= xs[0] && x <= xs[5];
            ASSERT_EQ(rgb(grid, x, y), stringLine || fretLine ? kBlack : kWhite) << x << "," << y;
        }
}

TEST(DiagramBitmaps, GridsHaveSharpLinesThroughTheMarksAtAnEvenFretPitch)
{
    for (bool left : {false, true}) {
        const HandLayout h = HandLayout::forHand(left);
        expectGrid(smallFretGrid(), stringLines(h.smallStringX, kSmallGlyph), fretLines(17, 17));
        expectGrid(tinyFretGrid(), stringLines(h.tinyStringX, kTinyGlyph), fretLines(6, 9));
    }
}

TEST(DiagramBitmaps, OpenCircleIsARingAroundAWhiteCentre)
{
    for (const QImage& g :
         {glyph(smallNumberGlyphs(), smallNumb::kOpen, 10), glyph(smallMarkGlyphs(), smallMark::kOpen, 10)}) {
        EXPECT_EQ(rgb(g, 5, 5), kWhite);
        for (QPoint ring : {QPoint(5, 1), QPoint(1, 5), QPoint(9, 5), QPoint(5, 9)})
            EXPECT_TRUE(isInk(g.pixel(ring))) << ring.x() << "," << ring.y();
    }
}

TEST(DiagramBitmaps, FilledDotIsSolid)
{
    for (const QImage& g :
         {glyph(smallNumberGlyphs(), smallNumb::kDot, 10), glyph(smallMarkGlyphs(), smallMark::kDot, 10)}) {
        EXPECT_EQ(inkCount(g, QRect(3, 3, 5, 5)), 25);
        EXPECT_GE(inkCount(g, g.rect()), 60);
    }
}

TEST(DiagramBitmaps, CrossHasInkOnItsDiagonalsOnly)
{
    for (const QImage& g :
         {glyph(smallNumberGlyphs(), smallNumb::kMuted, 10), glyph(smallMarkGlyphs(), smallMark::kMuted, 10)}) {
        for (QPoint on : {QPoint(5, 5), QPoint(3, 3), QPoint(7, 3), QPoint(3, 7), QPoint(7, 7)})
            EXPECT_TRUE(isInk(g.pixel(on))) << on.x() << "," << on.y();
        for (QPoint off : {QPoint(5, 1), QPoint(1, 5), QPoint(9, 5), QPoint(5, 9)})
            EXPECT_EQ(rgb(g, off.x(), off.y()), kWhite) << off.x() << "," << off.y();
    }
}

TEST(DiagramBitmaps, CircledNumbersAreRingsWithFourDifferentFigures)
{
    const QImage strip = smallNumberGlyphs();
    const QImage ring = glyph(strip, smallNumb::kOpen, 10);
    std::vector<QImage> figures;
    for (int f = 1; f <= 4; ++f) {
        const QImage g = glyph(strip, f * 10, 10);
        EXPECT_GT(inkCount(g, QRect(3, 3, 5, 5)), 3) << "finger " << f;
        for (QPoint edge : {QPoint(5, 1), QPoint(1, 5), QPoint(9, 5), QPoint(5, 9)})
            EXPECT_TRUE(isInk(g.pixel(edge))) << "finger " << f;
        EXPECT_NE(g, ring) << "finger " << f;
        EXPECT_NE(g, glyph(strip, smallNumb::kDot, 10)) << "finger " << f;
        for (const QImage& other : figures)
            EXPECT_NE(g, other) << "finger " << f;
        figures.push_back(g);
    }
}

TEST(DiagramBitmaps, RootIsAHatchedRing)
{
    const QImage strip = smallMarkGlyphs();
    const QImage root = glyph(strip, smallMark::kRoot, 10);
    const int inside = inkCount(root, QRect(3, 3, 5, 5));
    EXPECT_GT(inside, 4);   // hatch lines inside...
    EXPECT_LT(inside, 20);  // ...with white between them
    for (QPoint edge : {QPoint(5, 1), QPoint(1, 5), QPoint(9, 5), QPoint(5, 9)})
        EXPECT_TRUE(isInk(root.pixel(edge)));
    EXPECT_NE(root, glyph(strip, smallMark::kOpen, 10));
    EXPECT_NE(root, glyph(strip, smallMark::kDot, 10));
}

TEST(DiagramBitmaps, ChordAndScaleDiagramsShareTheirCommonMarks)
{
    EXPECT_EQ(glyph(smallNumberGlyphs(), smallNumb::kOpen, 10), glyph(smallMarkGlyphs(), smallMark::kOpen, 10));
    EXPECT_EQ(glyph(smallNumberGlyphs(), smallNumb::kDot, 10), glyph(smallMarkGlyphs(), smallMark::kDot, 10));
    EXPECT_EQ(glyph(smallNumberGlyphs(), smallNumb::kMuted, 10), glyph(smallMarkGlyphs(), smallMark::kMuted, 10));
}

TEST(DiagramBitmaps, TinyMarksAreDotRingAndCross)
{
    const QImage strip = tinyMarkGlyphs();
    const QImage dot = glyph(strip, tinyMark::kDot, 5);
    const QImage open = glyph(strip, tinyMark::kOpen, 5);
    const QImage cross = glyph(strip, tinyMark::kMuted, 5);
    EXPECT_EQ(inkCount(dot, QRect(1, 1, 3, 3)), 9);
    EXPECT_EQ(inkCount(open, QRect(1, 1, 3, 3)), 0);
    for (QPoint ring : {QPoint(2, 0), QPoint(0, 2), QPoint(4, 2), QPoint(2, 4)})
        EXPECT_TRUE(isInk(open.pixel(ring))) << ring.x() << "," << ring.y();
    EXPECT_TRUE(isInk(cross.pixel(2, 2)) && isInk(cross.pixel(0, 0)) && isInk(cross.pixel(4, 4)));
    EXPECT_FALSE(isInk(cross.pixel(2, 0)) || isInk(cross.pixel(0, 2)));
}

// ---- small chord diagram -------------------------------------------------------------------------

// The 10 x 10 box of a string in a row of a small diagram.
QImage smallBox(const QImage& cell, const HandLayout& hand, int string, int row)
{
    return cell.copy(hand.smallStringX[static_cast<size_t>(string)], kSmallRowY[static_cast<size_t>(row)], 10, 10);
}

// Where the base fret number may be written: left of the first string line, from the nut row down.
const QRect kSmallNumberArea(0, 17, 16, 17);

// Pixels outside the marks and the fret number are those of the blank grid.
void expectGridOutside(const QImage& cell, const std::vector<QRect>& marks, const QRect& numberArea,
                       const QImage& grid)
{
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x) {
            const QPoint pt(x, y);
            if (numberArea.contains(pt) ||
                std::any_of(marks.begin(), marks.end(), [&](const QRect& r) { return r.contains(pt); }))
                continue;
            ASSERT_EQ(cell.pixel(pt), grid.pixel(pt)) << x << "," << y;
        }
}

TEST_P(DiagramHands, EachStringsMarkLandsInItsRow)
{
    const HandLayout h = hand();
    // baseFret 3: open, fret 3 (row 1), 4 (row 2), 6 (row 4), 8 (row 6), not played.
    const DiagramRecord r = fingering(3, {0, 3, 4, 6, 8, 0}, {0, 6, 1, 2, 3, 5});
    const QImage cell = chordDiagramCell(r, ChordDiagramStyle::ChordPage, h);
    const QImage numbers = smallNumberGlyphs();
    const int rows[] = {0, 1, 2, 4, 6, 0};
    const int glyphs[] = {smallNumb::kOpen, smallNumb::kDot, smallNumb::kDot,
                          smallNumb::kDot,  smallNumb::kDot, smallNumb::kMuted};
    std::vector<QRect> marks;
    for (int s = 0; s < 6; ++s) {
        EXPECT_EQ(smallBox(cell, h, s, rows[s]), glyph(numbers, glyphs[s], 10)) << "string " << s;
        marks.emplace_back(h.smallStringX[static_cast<size_t>(s)], kSmallRowY[static_cast<size_t>(rows[s])], 10, 10);
    }
    expectGridOutside(cell, marks, kSmallNumberArea, smallFretGrid());
}

TEST_P(DiagramHands, PrintPageShowsCircledFingerNumbersWhereTheChordPageShowsDots)
{
    const HandLayout h = hand();
    const DiagramRecord r = fingering(1, {1, 2, 3, 4, 2, 0}, {1, 2, 3, 4, 6, 0});
    const QImage chordPage = chordDiagramCell(r, ChordDiagramStyle::ChordPage, h);
    const QImage printPage = chordDiagramCell(r, ChordDiagramStyle::PrintPage, h);
    const QImage numbers = smallNumberGlyphs();
    for (int s = 0; s < 4; ++s) {
        const int finger = s + 1;
        const int row = r.frets[static_cast<size_t>(s)];
        EXPECT_EQ(smallBox(chordPage, h, s, row), glyph(numbers, smallNumb::kDot, 10)) << "finger " << finger;
        EXPECT_EQ(smallBox(printPage, h, s, row), glyph(numbers, finger * 10, 10)) << "finger " << finger;
        EXPECT_NE(smallBox(chordPage, h, s, row), smallBox(printPage, h, s, row)) << "finger " << finger;
    }
    // Marker 6 is a dot and 0 an open circle on both pages.
    for (const QImage& cell : {chordPage, printPage}) {
        EXPECT_EQ(smallBox(cell, h, 4, 2), glyph(numbers, smallNumb::kDot, 10));
        EXPECT_EQ(smallBox(cell, h, 5, 0), glyph(numbers, smallNumb::kOpen, 10));
    }
}

TEST_P(DiagramHands, NotPlayedIsAnXAndOpenACircleAboveTheGrid)
{
    const HandLayout h = hand();
    const DiagramRecord r = fingering(7, {0, 0, 0, 0, 0, 0}, {5, 0, 5, 0, 5, 0});
    for (auto style : {ChordDiagramStyle::ChordPage, ChordDiagramStyle::PrintPage}) {
        const QImage cell = chordDiagramCell(r, style, h);
        for (int s = 0; s < 6; ++s)
            EXPECT_EQ(smallBox(cell, h, s, 0),
                      glyph(smallNumberGlyphs(), s % 2 == 0 ? smallNumb::kMuted : smallNumb::kOpen, 10))
                << "string " << s;
    }
}

TEST_P(DiagramHands, FretsWithoutARowAreNotDrawn)
{
    const HandLayout h = hand();
    // baseFret 5 has rows for frets 5..10: 4 lies below, 11 and beyond above.
    const DiagramRecord r = fingering(5, {4, 11, 1, 12, 22, 11}, {1, 2, 3, 4, 6, 0});
    for (auto style : {ChordDiagramStyle::ChordPage, ChordDiagramStyle::PrintPage})
        expectGridOutside(chordDiagramCell(r, style, h), {}, kSmallNumberArea, smallFretGrid());
    // The rows' own limits are drawn.
    const DiagramRecord edges = fingering(5, {5, 10, 0, 0, 0, 0}, {6, 6, 5, 5, 5, 5});
    const QImage cell = chordDiagramCell(edges, ChordDiagramStyle::ChordPage, h);
    EXPECT_EQ(smallBox(cell, h, 0, 1), glyph(smallNumberGlyphs(), smallNumb::kDot, 10));
    EXPECT_EQ(smallBox(cell, h, 1, 6), glyph(smallNumberGlyphs(), smallNumb::kDot, 10));
}

TEST(ChordDiagram, LeftHandedPutsStringZeroOnTheLeft)
{
    // C major, x32010: string 5 not played, string 0 open.
    const DiagramRecord c = fingeredCMajor();
    const QImage right = chordDiagramCell(c, ChordDiagramStyle::ChordPage, HandLayout::right());
    const QImage left = chordDiagramCell(c, ChordDiagramStyle::ChordPage, HandLayout::left());
    const QImage x = glyph(smallNumberGlyphs(), smallNumb::kMuted, 10);
    const QImage o = glyph(smallNumberGlyphs(), smallNumb::kOpen, 10);
    EXPECT_EQ(right.copy(91, 5, 10, 10), o);
    EXPECT_EQ(right.copy(16, 5, 10, 10), x);
    EXPECT_EQ(left.copy(16, 5, 10, 10), o);
    EXPECT_EQ(left.copy(91, 5, 10, 10), x);
    // The fretted strings swap sides too: string 4 at fret 3 (row 3), string 1 at fret 1 (row 1).
    const QImage dot = glyph(smallNumberGlyphs(), smallNumb::kDot, 10);
    EXPECT_EQ(right.copy(31, 57, 10, 10), dot);
    EXPECT_EQ(left.copy(76, 57, 10, 10), dot);
    EXPECT_EQ(right.copy(76, 23, 10, 10), dot);
    EXPECT_EQ(left.copy(31, 23, 10, 10), dot);
}

TEST(ChordDiagram, BaseFretIsWrittenLeftOfTheFirstFretRow)
{
    const HandLayout h = HandLayout::right();
    const QImage blank = smallFretGrid();
    std::vector<QImage> numbers;
    for (int base : {1, 5, 12}) {
        const QImage cell = chordDiagramCell(allMuted(base), ChordDiagramStyle::ChordPage, h);
        EXPECT_GT(inkCount(cell, QRect(4, 19, 12, 13)), 4) << base;
        // Nothing left of x = 4 or above y = 19 in the number's corner.
        EXPECT_EQ(inkCount(cell, QRect(0, 17, 4, 17)), 0) << base;
        EXPECT_EQ(inkCount(cell, QRect(0, 15, 16, 4)), 0) << base;
        numbers.push_back(cell.copy(kSmallNumberArea));
        EXPECT_NE(numbers.back(), blank.copy(kSmallNumberArea));
    }
    EXPECT_NE(numbers[0], numbers[1]);
    EXPECT_NE(numbers[1], numbers[2]);
}

// ---- placing chord diagrams on the pages -----------------------------------------------------------

struct PlaceCase {
    const char* label;
    pages::Page page;
    int row, column;
    QPoint origin;
};

class ChordPlacement : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(ChordPlacement, CellIsCopiedToItsOriginAndNowhereElse)
{
    const PlaceCase& c = GetParam();
    const HandLayout h = HandLayout::right();
    const DiagramRecord r = fingering(2, {3, 3, 4, 5, 0, 0}, {1, 1, 2, 3, 0, 5});
    const auto style = c.page == pages::Page::Print ? ChordDiagramStyle::PrintPage : ChordDiagramStyle::ChordPage;
    const pages::PixelPoint origin = pages::diagramOrigin(c.page, pages::Cell{c.column, c.row});
    EXPECT_EQ(QPoint(origin.x, origin.y), c.origin);

    QImage page = colouredPage(772, 800);
    {
        QPainter p(&page);
        drawChordDiagram(p, r, c.page, pages::Cell{c.column, c.row}, h);
    }
    const QRect cellRect(c.origin, QSize(105, 120));
    EXPECT_EQ(page.copy(cellRect), chordDiagramCell(r, style, h));
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (!cellRect.contains(x, y)) {
                ASSERT_EQ(rgb(page, x, y), kPage) << x << "," << y;
            }
}

INSTANTIATE_TEST_SUITE_P(Cells, ChordPlacement,
                         ::testing::Values(PlaceCase{"ChordsFirst", pages::Page::Chords, 0, 0, {20, 30}},
                                           PlaceCase{"ChordsRow2Column5", pages::Page::Chords, 2, 5, {620, 330}},
                                           PlaceCase{"ChordsLast", pages::Page::Chords, 4, 5, {620, 630}},
                                           PlaceCase{"PrintFirst", pages::Page::Print, 0, 0, {20, 38}},
                                           PlaceCase{"PrintRow4Column3", pages::Page::Print, 4, 3, {380, 678}}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(EmptyRecords, AreNeverDrawn)
{
    DiagramRecord chord = fingering(1, {1, 2, 3, 4, 0, 0}, {1, 2, 3, 4, 0, 5});
    chord.empty = 1;
    ScaleRecord sc = kCMajor;
    sc.empty = 1;
    PrintRecord print;
    print.empty = 1;
    print.name = "maj7";
    const QImage before = colouredPage(772, 800);
    QImage page = before;
    {
        QPainter p(&page);
        for (auto pg : {pages::Page::Chords, pages::Page::Print})
            drawChordDiagram(p, chord, pg, pages::Cell{2, 1}, HandLayout::right());
        for (auto pg : {pages::Page::Scales, pages::Page::Print})
            drawScaleDiagram(p, sc, pg, pages::Cell{2, 1}, 5, HandLayout::right(), true);
        drawPrintTextLines(p, print, pages::Cell{2, 1}, theory::NoteNames());
    }
    EXPECT_EQ(page, before);
}

// ---- small scale diagram ---------------------------------------------------------------------------

// Expected mark per row 0..6 of each string: o open circle, D dot, R hatched root, . nothing.
void expectScaleMarks(const QImage& cell, const HandLayout& h, const std::array<const char*, 6>& rows)
{
    const QImage marks = smallMarkGlyphs();
    const QImage grid = smallFretGrid();
    for (int s = 0; s < 6; ++s)
        for (int row = 0; row < 7; ++row) {
            QImage expected;
            switch (rows[static_cast<size_t>(s)][row]) {
            case 'o': expected = glyph(marks, smallMark::kOpen, 10); break;
            case 'D': expected = glyph(marks, smallMark::kDot, 10); break;
            case 'R': expected = glyph(marks, smallMark::kRoot, 10); break;
            default: expected = smallBox(grid, h, s, row); break;
            }
            EXPECT_EQ(smallBox(cell, h, s, row), expected) << "string " << s << " row " << row;
        }
}

TEST_P(DiagramHands, ScaleFromTheFirstFretShowsOpenStringsAndOneFretRowFewer)
{
    // C major from fret 1 with five frets: open strings and frets 1..4.
    const QImage cell = scaleDiagramCell(kCMajor, 0, 5, hand());
    expectScaleMarks(cell, hand(),
                     {
                         "oD.D...",  // E: E F . G .
                         "oR.D...",  // B: B C . D .
                         "o.D.D..",  // G: G . A . B
                         "o.DD...",  // D: D . E F .
                         "o.DR...",  // A: A . B C .
                         "oD.D...",  // E
                     });
}

TEST_P(DiagramHands, ScaleFromAHigherFretLeavesRowZeroEmpty)
{
    // Column 1 begins at fret 5: five fret rows, frets 5..9.
    const QImage cell = scaleDiagramCell(kCMajor, 1, 5, hand());
    expectScaleMarks(cell, hand(),
                     {
                         ".D.DR..",  // E: A . B C .
                         ".DD.D..",  // B: E F . G .
                         ".R.D.D.",  // G: C . D . E
                         ".D.D.D.",  // D: G . A . B
                         ".D.DD..",  // A: D . E F .
                         ".D.DR..",  // E
                     });
}

TEST(ScaleDiagram, FretsSettingSetsTheNumberOfRows)
{
    const HandLayout h = HandLayout::right();
    // Six frets from fret 5 reach fret 10 in row 6.
    expectScaleMarks(scaleDiagramCell(kCMajor, 1, 6, h), h,
                     {".D.DR.D", ".DD.D.D", ".R.D.DD", ".D.D.DR", ".D.DD.D", ".D.DR.D"});
    // Four frets: from fret 5 rows 1 to 4; from fret 1 the open strings and frets 1 to 3.
    expectScaleMarks(scaleDiagramCell(kCMajor, 1, 4, h), h,
                     {".D.DR..", ".DD.D..", ".R.D...", ".D.D...", ".D.DD..", ".D.DR.."});
    expectScaleMarks(scaleDiagramCell(kCMajor, 0, 4, h), h,
                     {"oD.D...", "oR.D...", "o.D....", "o.DD...", "o.DR...", "oD.D..."});
}

TEST(ScaleDiagram, FretsSettingIsHeldToFourToSix)
{
    const HandLayout h = HandLayout::right();
    EXPECT_EQ(scaleDiagramCell(kCMajor, 1, 9, h), scaleDiagramCell(kCMajor, 1, 6, h));
    EXPECT_EQ(scaleDiagramCell(kCMajor, 0, 0, h), scaleDiagramCell(kCMajor, 0, 4, h));
    EXPECT_EQ(scaleDiagramCell(kCMajor, 0, 3, h), scaleDiagramCell(kCMajor, 0, 4, h));
    EXPECT_NE(scaleDiagramCell(kCMajor, 0, 4, h), scaleDiagramCell(kCMajor, 0, 5, h));
}

TEST(ScaleDiagram, RootOnAnOpenStringIsHatched)
{
    const HandLayout h = HandLayout::right();
    // E minor pentatonic: E G A B D.
    const ScaleRecord em = scaleRecord(4, "Minor Pentatonic", {0, 3, 5, 7, 10, 99, 99, 99, 99, 99}, {1, 1, 1, 1, 1, 1});
    expectScaleMarks(scaleDiagramCell(em, 0, 4, h), h,
                     {"R..D...", "o..D...", "o.D....", "o.R....", "o.D....", "R..D..."});
}

TEST(ScaleDiagram, IntervalListEndsAtThe99)
{
    const HandLayout h = HandLayout::right();
    // Only the root before the 99; the E and G after it are not part of the scale.
    const ScaleRecord rootOnly = scaleRecord(0, "Root", {0, 99, 4, 7, 99, 99, 99, 99, 99, 99}, {1, 1, 1, 1, 1, 1});
    expectScaleMarks(scaleDiagramCell(rootOnly, 0, 5, h), h,
                     {".......", ".R.....", ".......", ".......", "...R...", "......."});
}

TEST(ScaleDiagram, EachColumnUsesItsOwnBeginningFret)
{
    const HandLayout h = HandLayout::right();
    const ScaleRecord s = kCMajor;
    // Column 3 begins at 12, an octave above the open strings: row k holds the notes of fret k - 1.
    const ScaleRecord sameAsOpen = cMajorScale({12, 12, 12, 12, 12, 12});
    EXPECT_EQ(scaleDiagramCell(s, 3, 5, h), scaleDiagramCell(sameAsOpen, 0, 5, h));
    expectScaleMarks(scaleDiagramCell(s, 3, 5, h), h,
                     {".DD.D..", ".DR.D..", ".D.D.D.", ".D.DD..", ".D.DR..", ".DD.D.."});
}

TEST(ScaleDiagram, BeginningFretIsWrittenLikeAChordsBaseFret)
{
    const HandLayout h = HandLayout::right();
    const QImage scaleCell = scaleDiagramCell(kCMajor, 2, 5, h);  // begins at 8
    const QImage chordCell = chordDiagramCell(allMuted(8), ChordDiagramStyle::ChordPage, h);
    EXPECT_EQ(scaleCell.copy(kSmallNumberArea), chordCell.copy(kSmallNumberArea));
    EXPECT_NE(scaleCell.copy(kSmallNumberArea), scaleDiagramCell(kCMajor, 1, 5, h).copy(kSmallNumberArea));
}

TEST(ScaleDiagram, LeftHandedMirrorsTheStringOrder)
{
    const ScaleRecord s = kCMajor;
    const QImage right = scaleDiagramCell(s, 0, 5, HandLayout::right());
    const QImage left = scaleDiagramCell(s, 0, 5, HandLayout::left());
    EXPECT_NE(left, right);
    // The root C on string 1 at fret 1 moves from x = 76 to x = 31.
    const QImage root = glyph(smallMarkGlyphs(), smallMark::kRoot, 10);
    EXPECT_EQ(right.copy(76, 23, 10, 10), root);
    EXPECT_EQ(left.copy(31, 23, 10, 10), root);
}

struct ScalePlaceCase {
    const char* label;
    pages::Page page;
    int row, column;
    QPoint origin;
    int rowTop;  // y0 of the background rectangle
};

class ScalePlacement : public ::testing::TestWithParam<ScalePlaceCase> {};

TEST_P(ScalePlacement, CellGoesToItsOriginWithOrWithoutBackground)
{
    const ScalePlaceCase& c = GetParam();
    const HandLayout h = HandLayout::right();
    const ScaleRecord s = kCMajor;
    const QRect cellRect(c.origin, QSize(105, 120));
    const int x0 = c.column * 120;
    const QRect background(QPoint(x0 + 21, c.rowTop + 32), QPoint(x0 + 123, c.rowTop + 153));

    for (bool paint : {false, true}) {
        QImage page = colouredPage(776, 800);
        {
            QPainter p(&page);
            drawScaleDiagram(p, s, c.page, pages::Cell{c.column, c.row}, 5, h, paint);
        }
        EXPECT_EQ(page.copy(cellRect), scaleDiagramCell(s, c.column, 5, h)) << paint;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                if (cellRect.contains(x, y))
                    continue;
                const QRgb expected = paint && background.contains(x, y) ? kWhite : kPage;
                ASSERT_EQ(rgb(page, x, y), expected) << x << "," << y << " background " << paint;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ScalePlacement,
    ::testing::Values(ScalePlaceCase{"ScalesFirst", pages::Page::Scales, 0, 0, {20, 30}, 0},
                      ScalePlaceCase{"ScalesRow3Column4", pages::Page::Scales, 3, 4, {500, 480}, 450},
                      ScalePlaceCase{"PrintFirst", pages::Page::Print, 0, 0, {20, 38}, 0},
                      ScalePlaceCase{"PrintRow2Column1", pages::Page::Print, 2, 1, {140, 358}, 320}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- tiny chord diagram ----------------------------------------------------------------------------

QImage tinyBox(const QImage& cell, const HandLayout& hand, int string, int row)
{
    return cell.copy(hand.tinyStringX[static_cast<size_t>(string)], kTinyRowY[static_cast<size_t>(row)], 5, 5);
}

TEST_P(DiagramHands, TinyMarksLandAtTheirStringAndRow)
{
    const HandLayout h = hand();
    const DiagramRecord r = fingering(3, {0, 3, 4, 6, 8, 0}, {0, 6, 1, 2, 3, 5});
    const QImage marks = tinyMarkGlyphs();
    const int rows[] = {0, 1, 2, 4, 6, 0};
    const int glyphs[] = {tinyMark::kOpen, tinyMark::kDot, tinyMark::kDot, tinyMark::kDot, tinyMark::kDot,
                          tinyMark::kMuted};
    for (bool design : {false, true}) {
        const QImage cell = tinyDiagram(r, h, design);
        EXPECT_EQ(cell.size(), QSize(58, 61));
        for (int s = 0; s < 6; ++s)
            EXPECT_EQ(tinyBox(cell, h, s, rows[s]), glyph(marks, glyphs[s], 5)) << "string " << s;
    }
}

TEST_P(DiagramHands, TinyFretsWithoutARowAreNotDrawn)
{
    const HandLayout h = hand();
    const QImage cell = tinyDiagram(fingering(5, {4, 11, 1, 12, 22, 11}, {1, 2, 3, 4, 6, 0}), h, false);
    const QImage grid = tinyFretGrid();
    for (int s = 0; s < 6; ++s)
        for (int row = 1; row < 7; ++row)
            EXPECT_EQ(tinyBox(cell, h, s, row), tinyBox(grid, h, s, row)) << "string " << s << " row " << row;
}

TEST(TinyDiagram, DesignStripMovesAOneDigitBaseFretOnePixelRight)
{
    const HandLayout h = HandLayout::right();
    // All strings not played: nothing but the number below row 0.
    const QImage plain = tinyDiagram(allMuted(7), h, false);
    const QImage design = tinyDiagram(allMuted(7), h, true);
    EXPECT_GT(inkCount(plain, QRect(0, 7, 8, 9)), 3);
    EXPECT_EQ(inkCount(design, QRect(0, 7, 1, 9)), 0);
    EXPECT_EQ(design.copy(1, 7, 7, 9), plain.copy(0, 7, 7, 9));
    // Two digits stay at x = 0.
    EXPECT_EQ(tinyDiagram(allMuted(12), h, true), tinyDiagram(allMuted(12), h, false));
}

// ---- Chord Design strip ----------------------------------------------------------------------------

QImage strip(const std::vector<std::pair<int, DiagramRecord>>& filled,
             const theory::NoteNames& names = theory::NoteNames(), int fontPixelSize = kDiagramFontPixelSize, bool left = false)
{
    QImage img = colouredPage(kDesignStripWidth, kDesignStripHeight);
    QPainter p(&img);
    for (const auto& [slot, record] : filled)
        drawDesignSlot(p, record, slot, names, HandLayout::forHand(left), fontPixelSize);
    return img;
}

TEST(DesignSlot, PaintsOnlyItsOwnColumn)
{
    for (int slot = 0; slot < 6; ++slot) {
        const QImage img = strip({{slot, fingeredCMajor()}});
        for (int y = 0; y < kDesignStripHeight; ++y)
            for (int x = 0; x < kDesignStripWidth; ++x) {
                const bool inside = x >= 76 * slot && x < 76 * slot + 76;
                ASSERT_EQ(rgb(img, x, y) != kPage, inside) << "slot " << slot << " at " << x << "," << y;
            }
    }
}

TEST(DesignSlot, EmptySlotIsJustAWhiteColumn)
{
    DiagramRecord r = fingeredCMajor();
    r.empty = 1;
    const QImage img = strip({{3, r}});
    EXPECT_EQ(inkCount(img, QRect(228, 0, 76, 110)), 0);
    EXPECT_EQ(rgb(img, 228, 0), kWhite);
    EXPECT_EQ(rgb(img, 303, 109), kWhite);
}

TEST(DesignSlot, TinyDiagramSitsAt44BelowTheText)
{
    for (bool left : {false, true})
        for (int slot : {0, 4}) {
            const QImage img = strip({{slot, fingeredCMajor()}}, theory::NoteNames(), kDiagramFontPixelSize, left);
            EXPECT_EQ(img.copy(76 * slot, 44, 58, 61), tinyDiagram(fingeredCMajor(), HandLayout::forHand(left), true))
                << "slot " << slot << " left " << left;
        }
}

TEST(DesignSlot, FretBeyondTheGridDrawsTheBlueLineInsteadOfAMark)
{
    const int slot = 2;
    // baseFret 3: fret 9 is six above, fret 8 the last row.
    const DiagramRecord beyond = fingering(3, {9, 3, 4, 5, 0, 0}, {4, 1, 2, 3, 0, 5});
    const DiagramRecord lastRow = fingering(3, {8, 3, 4, 5, 0, 0}, {4, 1, 2, 3, 0, 5});
    const QImage img = strip({{slot, beyond}});
    const int x0 = 76 * slot;
    for (int x = x0; x < x0 + 76; ++x) {
        const bool onLine = x >= x0 + 12 && x <= x0 + 53;
        EXPECT_EQ(img.pixel(x, 106) & 0xffffff, onLine ? kOutOfRangeColour.rgb() & 0xffffff : kWhite) << x;
    }
    const QImage tiny = img.copy(x0, 44, 58, 61);
    const HandLayout h = HandLayout::right();
    for (int row = 0; row < 7; ++row)
        EXPECT_EQ(tinyBox(tiny, h, 0, row), tinyBox(tinyFretGrid(), h, 0, row)) << "row " << row;

    const QImage inRange = strip({{slot, lastRow}});
    for (int x = x0; x < x0 + 76; ++x)
        EXPECT_EQ(rgb(inRange, x, 106), kWhite) << x;
    EXPECT_EQ(tinyBox(inRange.copy(x0, 44, 58, 61), h, 0, 6), glyph(tinyMarkGlyphs(), tinyMark::kDot, 5));
    EXPECT_TRUE(hasFretAboveGrid(beyond));
    EXPECT_FALSE(hasFretAboveGrid(lastRow));
}

// Changing only line i of a slot's text changes pixels only in its 10-pixel band of the column.
TEST(DesignSlot, EachTextLineStaysInItsBand)
{
    const int slot = 1;
    const DiagramRecord base = fingeredCMajor();
    std::array<DiagramRecord, 4> changed{base, base, base, base};
    changed[0].name = "maj13(#11)";
    changed[1].intervals = {0, 3, 6, 9, 255, 255, 255};
    changed[2].formula = "1 b3 b5 bb7 ";
    changed[3].tuningName = "Open G";
    const QImage before = strip({{slot, base}});
    for (int line = 0; line < 4; ++line) {
        const QRect area = differingArea(before, strip({{slot, changed[static_cast<size_t>(line)]}}));
        ASSERT_FALSE(area.isNull()) << "line " << line;
        EXPECT_GE(area.top(), 10 * line) << "line " << line;
        EXPECT_LE(area.bottom(), 10 * line + 9) << "line " << line;
        EXPECT_GE(area.left(), 76 * slot + 1) << "line " << line;
        EXPECT_LE(area.right(), 76 * slot + 75) << "line " << line;
    }
}

// The texts written by hand at x = 76k + 1 and y = 0, 10, 20, 30, each clipped to its band of
// the column, over the tiny diagram give the same picture.
TEST(DesignSlot, TextLinesAreTheTitleNotesFormulaAndTuning)
{
    const int slot = 4;
    DiagramRecord r = fingeredCMajor();
    r.root = 9;
    r.bass = 24 + 1;
    r.formula = " 1 3 5 b7 ";
    const char* const expected[] = {"A major /Db", "A Db E", "1 3 5 b7", "Standard"};
    for (int size : {kDiagramFontPixelSize, kPrintFontPixelSize}) {
        QImage reference = colouredPage(kDesignStripWidth, kDesignStripHeight);
        {
            QPainter p(&reference);
            p.fillRect(76 * slot, 0, 76, 110, Qt::white);
            p.drawImage(76 * slot, 44, tinyDiagram(r, HandLayout::right(), true));
            p.setFont(diagramFont(size));
            p.setPen(Qt::black);
            for (int i = 0; i < 4; ++i) {
                p.setClipRect(QRect(76 * slot, 10 * i, 76, 10));
                p.drawText(QRect(76 * slot + 1, 10 * i, 400, 40), Qt::AlignLeft | Qt::AlignTop,
                           QString::fromLatin1(expected[i]));
            }
        }
        EXPECT_EQ(strip({{slot, r}}, theory::NoteNames(), size), reference) << "font " << size;
    }
}

TEST(DesignSlot, StaysInsideThePaintersClip)
{
    QImage img = colouredPage(kDesignStripWidth, kDesignStripHeight);
    {
        QPainter p(&img);
        p.setClipRect(QRect(0, 0, 76 * 2 + 30, kDesignStripHeight));
        DiagramRecord r = fingeredCMajor();
        r.name = "WWWWWWWWWWWWWWW";
        drawDesignSlot(p, r, 2, theory::NoteNames(), HandLayout::right(), kDiagramFontPixelSize);
    }
    for (int y = 0; y < kDesignStripHeight; ++y)
        for (int x = 76 * 2 + 30; x < kDesignStripWidth; ++x)
            ASSERT_EQ(rgb(img, x, y), kPage) << x << "," << y;
    EXPECT_GT(inkCount(img, QRect(76 * 2, 0, 30, 10)), 0);
}

TEST(DesignSlot, LongTextIsClippedToTheColumn)
{
    DiagramRecord r = fingeredCMajor();
    r.name = "WWWWWWWWWWWWWWW";
    r.tuningName = "WWWWWWWWWWWWWWW";
    const QImage img = strip({{2, r}});
    EXPECT_GT(inkCount(img, QRect(76 * 2 + 70, 0, 6, 10)), 0);  // the title reaches the column's edge
    for (int y = 0; y < kDesignStripHeight; ++y)
        EXPECT_EQ(rgb(img, 76 * 3, y), kPage) << y;
    // Nothing between the last text line and the tiny diagram.
    EXPECT_EQ(inkCount(img, QRect(76 * 2, 40, 76, 4)), 0);
}

TEST(DesignSlot, SpellingAndFontSizeChangeTheText)
{
    DiagramRecord r = fingeredCMajor();
    r.root = 1;
    r.bass = 25;
    const QImage flats = strip({{0, r}}, theory::NoteNames(theory::Spelling::Flats));
    const QImage sharps = strip({{0, r}}, theory::NoteNames(theory::Spelling::Sharps));
    const QRect titleAndNotes = differingArea(flats, sharps);
    ASSERT_FALSE(titleAndNotes.isNull());
    EXPECT_LE(titleAndNotes.bottom(), 19);
    const QImage larger = strip({{0, r}}, theory::NoteNames(), kPrintFontPixelSize);
    const QRect text = differingArea(flats, larger);
    ASSERT_FALSE(text.isNull());
    EXPECT_LE(text.bottom(), 39);
}

// ---- Print page text lines -------------------------------------------------------------------------

QImage printText(const PrintRecord& r, int row, int column, const theory::NoteNames& names = theory::NoteNames())
{
    QImage img(772, 800, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    drawPrintTextLines(p, r, pages::Cell{column, row}, names);
    return img;
}

PrintRecord printChord()
{
    return pages::chordToPrint(shapeChord(9, "7", "xxxxxx", {0, 4, 7, 10, 255, 255, 255}, "1 3 5 b7"));
}

TEST(PrintTextLines, FourLinesStartAtTheirRowsOfTheCell)
{
    constexpr int tops[] = {1, 11, 20, 29};
    for (auto [row, column] : {std::pair{0, 0}, std::pair{3, 4}}) {
        const PrintRecord base = printChord();
        std::array<PrintRecord, 4> changed{base, base, base, base};
        changed[0].name = "m7b5";
        changed[1].intervals = {0, 3, 6, 10, 255, 255, 255, 255, 255, 255};
        changed[2].formula = "1 b3 b5 b7";
        changed[3].tuningName = "Open D";
        const QImage before = printText(base, row, column);
        EXPECT_GT(inkCount(before, QRect(120 * column + 20, 160 * row, 120, 40)), 0);
        for (int line = 0; line < 4; ++line) {
            const QRect area = differingArea(before, printText(changed[static_cast<size_t>(line)], row, column));
            ASSERT_FALSE(area.isNull()) << "line " << line;
            const int top = 160 * row + tops[line];
            EXPECT_GE(area.top(), top) << "line " << line;
            EXPECT_LE(area.top(), top + 4) << "line " << line;
            EXPECT_LE(area.bottom(), top + 11) << "line " << line;
            EXPECT_GE(area.left(), 120 * column + 20) << "line " << line;
        }
    }
}

// The same texts written by hand at the cell's four line tops give the same picture.
TEST(PrintTextLines, AreTheTrimmedTextsAtTheLineTops)
{
    PrintRecord r = printChord();
    r.name = " 7 ";
    r.bass = 24 + 4;
    r.formula = "1 3 5 b7  ";
    const char* const expected[] = {"A 7 /E", "A Db E G", "1 3 5 b7", "Standard"};
    const int tops[] = {1, 11, 20, 29};
    QImage reference(772, 800, QImage::Format_RGB32);
    reference.fill(Qt::white);
    {
        QPainter p(&reference);
        p.setFont(diagramFont(kPrintFontPixelSize));
        p.setPen(Qt::black);
        for (int i = 0; i < 4; ++i)
            p.drawText(QRect(120 * 2 + 20, 160 * 3 + tops[i], 400, 40), Qt::AlignLeft | Qt::AlignTop,
                       QString::fromLatin1(expected[i]));
    }
    EXPECT_EQ(printText(r, 3, 2), reference);
}

TEST(PrintTextLines, SpellingChangesTheTitleAndNotesOnly)
{
    PrintRecord r = printChord();
    r.root = 3;  // Eb / D#
    r.bass = 27;
    const QRect area = differingArea(printText(r, 1, 2, theory::NoteNames(theory::Spelling::Flats)),
                                     printText(r, 1, 2, theory::NoteNames(theory::Spelling::Sharps)));
    ASSERT_FALSE(area.isNull());
    EXPECT_GE(area.top(), 160 + 1);
    EXPECT_LE(area.bottom(), 160 + 11 + 11);
}

}  // namespace
}  // namespace strumox::pictures
