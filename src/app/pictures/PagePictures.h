#pragma once
// The Chords, Scales and Print page pictures, painted whole from their models. A page repaints
// in a few milliseconds, so there is no cell-by-cell bookkeeping of what was drawn.
#include <QFont>

#include "fretboard/FretboardGeometry.h"
#include "pages/ChordPageModel.h"
#include "pages/PrintPageModel.h"
#include "pages/ScalesPageModel.h"
#include "theory/Notes.h"

class QPainter;

namespace strumox::pictures {

struct PagePaintContext {
    const theory::NoteNames& names;
    fretboard::HandLayout hand;
    int scaleSpan = theory::kDefaultScaleSpan;  // the Scales/Frets setting
    QFont headerFont;    // the Chord and Scales pages write their headers in the window's font
};

void paintChordPage(QPainter& p, const pages::ChordPageModel& page, const PagePaintContext& ctx);
void paintScalesPage(QPainter& p, const pages::ScalesPageModel& page, const PagePaintContext& ctx);
void paintPrintPage(QPainter& p, const pages::PrintPageModel& page, const PagePaintContext& ctx);

}  // namespace strumox::pictures
