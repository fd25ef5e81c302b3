#pragma once
// Diagrams: small pictures of a fretboard section for chords and scales, and the bitmaps they
// are assembled from. All sizes and positions in page pixels, origin top-left. The bitmaps are
// black on white, built once and handed out as implicitly shared copies. Needs a
// QGuiApplication: fret numbers and text lines are drawn with a font.
#include <QColor>
#include <QFont>
#include <QImage>

#include "fretboard/FretboardGeometry.h"
#include "pages/DiagramRecord.h"
#include "pages/PageGeometry.h"
#include "pages/PrintRecord.h"
#include "pages/ScaleRecord.h"
#include "theory/Notes.h"

class QPainter;

namespace strumox::pictures {

// --- bitmaps ------------------------------------------------------------------------------------

constexpr int kSmallDiagramWidth = 105;
constexpr int kSmallDiagramHeight = 120;
constexpr int kSmallGlyph = 10;
constexpr int kTinyDiagramWidth = 58;
constexpr int kTinyDiagramHeight = 61;
constexpr int kTinyGlyph = 5;

// Left edge of each glyph in its strip.
namespace smallNumb {
constexpr int kOpen = 0;  // the circled finger f (1..4) sits at 10 * f
constexpr int kMuted = 50;
constexpr int kDot = 60;
}  // namespace smallNumb
namespace smallMark {
constexpr int kDot = 0;
constexpr int kOpen = 10;
constexpr int kMuted = 20;
constexpr int kRoot = 30;  // hatched circle
}  // namespace smallMark
namespace tinyMark {
constexpr int kDot = 0;
constexpr int kOpen = 5;
constexpr int kMuted = 10;
}  // namespace tinyMark

// Top of a mark in each row; row 0 lies above the grid (open and not-played strings), row k is
// the k-th fret row.
constexpr std::array<int, 7> kSmallRowY{5, 23, 40, 57, 74, 91, 108};
constexpr std::array<int, 7> kTinyRowY{0, 9, 18, 27, 36, 45, 54};

// 105 x 120: string lines at x = 21, 36 .. 96 from y 17 to 119, fret lines at y = 17, 34 .. 119
// from x 21 to 96.
QImage smallFretGrid();
// 70 x 10: open circle, circled 1, 2, 3, 4, X, filled dot.
QImage smallNumberGlyphs();
// 40 x 10: filled dot, open circle, X, hatched circle.
QImage smallMarkGlyphs();
// 58 x 61: string lines at x = 10, 19 .. 55 from y 6 to 60, fret lines at y = 6, 15 .. 60 from
// x 10 to 55.
QImage tinyFretGrid();
// 15 x 5: filled dot, open circle, X.
QImage tinyMarkGlyphs();

// Fret numbers in the diagrams, and the Print page's text lines. The face the layout was made
// for is metric-compatible with Liberation Sans; its sizes 6 and 7 (points at 96 dpi) are 8 and
// 9 pixels.
constexpr int kDiagramFontPixelSize = 8;
constexpr int kPrintFontPixelSize = 9;
QFont diagramFont(int pixelSize);

// --- pages --------------------------------------------------------------------------------------

// Chord page: every fretted string as a plain dot. Print page: finger markers 1..4 as circled
// numbers, so the printed sheet tells which finger goes where.
enum class ChordDiagramStyle { ChordPage, PrintPage };

// Row of the small or tiny grid that a string's fret is drawn in: 0 for an open or not-played
// string (fret 0), fret - baseFret + 1 for the others; -1 when the fret lies outside
// baseFret .. baseFret + 5 and so has no row.
int diagramRow(int fret, int baseFret);

// The 105 x 120 picture of a chord; drawn whether the record is empty or not.
QImage chordDiagramCell(const pages::DiagramRecord& chord, ChordDiagramStyle style, const fretboard::HandLayout& hand);

// Copies the chord's picture to its cell; an empty record draws nothing. The Print page shows
// finger numbers, the Chord page dots.
void drawChordDiagram(QPainter& p, const pages::DiagramRecord& chord, pages::Page page, pages::Cell cell,
                      const fretboard::HandLayout& hand);

// The 105 x 120 picture of one neck position of a scale: the position of `column` of the row,
// `span` fret rows (the Scales/Frets setting, put into 4..6). With beginning fret 1 the open
// strings take row 0 and span - 1 fret rows follow.
QImage scaleDiagramCell(const pages::ScaleRecord& scale, int column, int span, const fretboard::HandLayout& hand);

// Copies a scale position's picture to its cell; an empty record draws nothing. With
// `paintBackground` the rectangle (x0 + 1, y0 + 32) .. (x0 + 103, y0 + 153) inclusive is painted
// white first, x0 being the cell's left and y0 its row's top.
void drawScaleDiagram(QPainter& p, const pages::ScaleRecord& scale, pages::Page page, pages::Cell cell, int span,
                      const fretboard::HandLayout& hand, bool paintBackground);

// The 58 x 61 picture of a chord for PlayPage slots and the Chord Design strip; the caller places
// it. The base fret is written at (0, 7); the design strip moves a one-digit number to x = 1.
QImage tinyDiagram(const pages::DiagramRecord& chord, const fretboard::HandLayout& hand, bool designStrip);

// --- Chord Design strip -------------------------------------------------------------------------

constexpr int kDesignSlotWidth = 76;
constexpr int kDesignStripWidth = 456;
constexpr int kDesignStripHeight = 110;
inline const QColor kOutOfRangeColour(0, 0, 255);

// Whether a string is fretted more than five frets above the base fret, beyond the tiny grid.
bool hasFretAboveGrid(const pages::DiagramRecord& chord);

// Slot k (0..5) of the strip: its column x = 76k .. 76k + 75 is painted white over the full
// height; a filled record then gets its tiny diagram at (76k, 44), a blue line along y = 106
// from x = 76k + 12 to 76k + 53 when a string is fretted beyond the grid, and four text lines at
// x = 76k + 1, y = 0, 10, 20, 30, each clipped to the column and 10 pixels high.
// `fontPixelSize` is 8 or 9 by the CDTinyFont setting.
void drawDesignSlot(QPainter& p, const pages::DiagramRecord& chord, int slot, const theory::NoteNames& names,
                    const fretboard::HandLayout& hand, int fontPixelSize);

// --- Print page text ----------------------------------------------------------------------------

// The four lines of a Print page cell at the cell's left, 1, 11, 20 and 29 pixels below its row's
// top (tops of the text lines), in the Print page font. An empty record writes nothing.
void drawPrintTextLines(QPainter& p, const pages::PrintRecord& print, pages::Cell cell,
                        const theory::NoteNames& names);

}  // namespace strumox::pictures
