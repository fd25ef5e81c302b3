#include "app/pictures/PagePictures.h"

#include <QPainter>

#include "app/pictures/DiagramPictures.h"
#include "pages/RecordConversions.h"
#include "pages/RecordText.h"

namespace strumox::app {

using pages::Cell;
using pages::GridPage;

namespace {

// Text written opaque: its own background is filled white, so a header replaces what was there.
void drawHeader(QPainter& p, int x, int y, const std::string& text, const QFont& font)
{
    p.setFont(font);
    const QString s = QString::fromStdString(text);
    const QFontMetrics fm(font);
    const QRect box(x, y, fm.horizontalAdvance(s) + 2, fm.height());
    p.fillRect(box, Qt::white);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop, s);
}

void drawSelection(QPainter& p, GridPage page, Cell cell)
{
    if (!cell.isSet())
        return;
    const pages::PixelRect r = pages::selectionRect(page, cell);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::red, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
    p.restore();
}

}  // namespace

void paintChordPage(QPainter& p, const pages::ChordPageModel& page, const PagePaintContext& ctx)
{
    p.fillRect(QRect(0, 0, pages::kChordPageWidth, pages::kChordPageHeight), Qt::white);
    for (int r = 0; r < page.setCount(); ++r) {
        for (int c = 0; c < pages::kGridColumns; ++c)
            drawChordDiagram(p, page.slot(c, r), r, c, DiagramPage::Chords, ctx.hand);
        drawHeader(p, 20, 150 * r + 16, pages::chordSetHeader(page.slot(0, r), ctx.names), ctx.headerFont);
    }
    drawSelection(p, GridPage::Chords, page.selected);
}

void paintScalesPage(QPainter& p, const pages::ScalesPageModel& page, const PagePaintContext& ctx)
{
    p.fillRect(QRect(0, 0, pages::kScalesPageWidth, pages::kScalesPageHeight), Qt::white);
    for (int r = 0; r < page.rowCount(); ++r) {
        for (int c = 0; c < pages::kGridColumns; ++c)
            drawScaleDiagram(p, page.row(r), r, c, DiagramPage::Scales, ctx.scaleFrets, ctx.hand, false);
        drawHeader(p, 20, 150 * r + 16, pages::scaleRowHeader(page.row(r), ctx.names), ctx.headerFont);
    }
    drawSelection(p, GridPage::Scales, page.selected);
}

void paintPrintPage(QPainter& p, const pages::PrintPageModel& page, const PagePaintContext& ctx)
{
    p.fillRect(QRect(0, 0, pages::kPrintPageWidth, pages::kPrintPageHeight), Qt::white);
    for (int r = 0; r < pages::kGridRows; ++r) {
        for (int c = 0; c < pages::kGridColumns; ++c) {
            const pages::PrintRecord& cell = page.cell(Cell{c, r});
            if (cell.isEmpty())
                continue;
            if (cell.isChord)
                drawChordDiagram(p, pages::printToChord(cell), r, c, DiagramPage::Print, ctx.hand);
            else
                drawScaleDiagram(p, pages::printToScale(cell), r, c, DiagramPage::Print, ctx.scaleFrets, ctx.hand,
                                 true);
            drawPrintTextLines(p, cell, r, c, ctx.names);
        }
    }
    drawSelection(p, GridPage::Print, page.selected);
}

}  // namespace strumox::app
