#pragma once
// The fretboard picture and its parts, drawn at run time. All sizes in picture pixels; the
// images are built once (they never change) and handed out as implicitly shared copies.
// Needs a QGuiApplication: the numbers are drawn with a font.
#include <QImage>

#include "fretboard/FretboardScene.h"

class QPainter;

namespace strumox::pictures {

// 760 x 123: the neck with the fret-number strip of that hand over its top 12 rows. The
// left-handed neck is the right-handed one mirrored about the vertical centre line, except the
// strip, whose numbers read normally.
QImage blankNeck(bool leftHanded);

// 760 x 12: each fret's number centred over its marker (fret 0 has none).
QImage fretNumberStrip(bool leftHanded);

// 240 x 12: twenty 12 x 12 marker glyphs on a transparent ground, addressed by glyphCellX().
// Cells 0 and 168..228 are unused and fully transparent.
QImage glyphStrip();

// Draws the blank neck of the scene's hand, then every glyph cell at its fret's marker, then
// every square as a 2-px hollow frame whose outer edge runs from (marker x - 1, string top - 1)
// to (marker x + 14, string top + 14) inclusive. Entries off the neck are skipped.
void paintFretboard(QPainter& p, const fretboard::FretboardScene& scene);

// 760 x 123 image of the scene.
QImage renderFretboard(const fretboard::FretboardScene& scene);

}  // namespace strumox::pictures
