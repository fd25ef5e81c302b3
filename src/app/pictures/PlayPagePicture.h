#pragma once
// The PlayPage picture, 772 x 3335 page pixels: for each of the 24 rows a staff strip with bar
// lines, time signature, measure numbers and repeat and loop signs, the start cursor, and the
// slots' tiny diagrams with their titles. Positions come from pages::PlayPage; this only draws.
// Needs a QGuiApplication (texts are drawn with a font).
#include <QImage>
#include <optional>

#include "fretboard/FretboardGeometry.h"
#include "pages/PlayPage.h"
#include "theory/Notes.h"

class QPainter;

namespace strumox::pictures {

// The staff bitmaps, 33 pixels high with five staff lines at y = 0, 8, 16, 24 and 32; black on
// white, built once.
QImage staffFourFour();  // 768 wide: a row's staff, a bar line at its left edge, a 4/4 signature
QImage staffThreeFour();  // 14 wide: laid over the start of the 4/4 staff, a 3/4 signature
QImage staffBarLine();    // 1 wide
QImage staffReturn();     // 8 wide: repeat start (thick and thin bar, two dots after them)
QImage staffRepeat();     // 8 wide: repeat end (two dots, thin and thick bar)
QImage staffLoop();       // 8 wide: the loop arrow
QImage staffCursor();     // 8 wide: the start cursor, in colour
QImage staffErase();      // 8 wide: plain staff, laid over any of the others
QImage playCursor();      // 28 wide: the red slash on the beat being played
QImage stepArrow();       // 28 wide: the arrow over the slot a step played

// Measure numbers and repeat counts: size 6 of the page face.
constexpr int kPlayNumberPixelSize = 8;
// Slot titles: size 6 or 7 by the PPTinyFont setting.
constexpr int kPlayTitleTinyPixelSize = 8;
constexpr int kPlayTitleNormalPixelSize = 9;

struct PlayPagePaintContext {
    const theory::NoteNames& names;
    const fretboard::HandLayout& hand;
    int titlePixelSize = kPlayTitleTinyPixelSize;
    bool loopPlay = false;  // Loop Play down: loop marks are drawn
};

// The 24 staff strips with bar lines and measure numbers for the signature.
void drawPlayPageBackground(QPainter& p, pages::TimeSignature sig);
// Every measure's repeat and loop signs from `markers`.
void drawPlayPageMarkers(QPainter& p, pages::TimeSignature sig, const pages::PlayPage::Markers& markers, bool loopPlay);
void drawStartCursor(QPainter& p, pages::Cell start);
// One slot: its area painted white, then a filled record's tiny diagram and title.
void drawPlayPageSlot(QPainter& p, const pages::DiagramRecord& chord, pages::Cell cell, const PlayPagePaintContext& ctx);

// Playback's marks over the picture: the play cursor on beat cell `cursorCell` (0..143, two slots
// a cell), the step arrow over slot `stepSlot` (0..287); none for nothing.
void drawPlayMarks(QPainter& p, std::optional<int> cursorCell, std::optional<int> stepSlot);

// The whole picture as the page holds it, over white.
void paintPlayPage(QPainter& p, const pages::PlayPage& page, const PlayPagePaintContext& ctx);

}  // namespace strumox::pictures
