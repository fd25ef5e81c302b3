#pragma once
// The Chords, Scales and Print page pictures, painted whole from their models. A page repaints
// in a few milliseconds, so there is no cell-by-cell bookkeeping of what was drawn.
#include <QFont>

#include "app/core/FretboardGeometry.h"
#include "pages/GridPages.h"
#include "theory/Notes.h"

class QPainter;

namespace strumox::app {

struct PagePaintContext {
    const theory::NoteNames& names;
    HandLayout hand;
    int scaleFrets = 5;  // the Scales/Frets setting
    QFont headerFont;    // the Chord and Scales pages write their headers in the window's font
};

void paintChordPage(QPainter& p, const pages::ChordPageModel& page, const PagePaintContext& ctx);
void paintScalesPage(QPainter& p, const pages::ScalesPageModel& page, const PagePaintContext& ctx);
void paintPrintPage(QPainter& p, const pages::PrintPageModel& page, const PagePaintContext& ctx);

}  // namespace strumox::app
