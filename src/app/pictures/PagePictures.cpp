#include "app/pictures/PagePictures.h"

#include <QPainter>

#include "app/pictures/DiagramPictures.h"
#include "pages/RecordConversions.h"
#include "pages/RecordText.h"

namespace strumox::pictures {

using pages::Cell;
using pages::Page;

namespace {

// Text written opaque: its own background is filled white, so a header replaces what was there.
void drawHeader(QPainter& p, pages::PixelPoint at, const std::string& text, const QFont& font)
{
    const int x = at.x, y = at.y;
    p.setFont(font);
    // Record texts are 8-bit Latin-1, as the page files keep them.
    const QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetrics fm(font);
    const QRect box(x, y, fm.horizontalAdvance(s) + 2, fm.height());
    p.fillRect(box, Qt::white);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop, s);
}

void drawSelection(QPainter& p, Page page, Cell cell)
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

void fillPage(QPainter& p, Page page)
{
    const pages::PixelSize size = pages::pictureSize(page);
    p.fillRect(QRect(0, 0, size.width, size.height), Qt::white);
}

}  // namespace

void paintChordPage(QPainter& p, const pages::ChordPageModel& page, const PagePaintContext& ctx)
{
    fillPage(p, Page::Chords);
    for (int r = 0; r < page.setCount(); ++r) {
        for (int c = 0; c < pages::kGridColumns; ++c)
            drawChordDiagram(p, page.slot(c, r), Page::Chords, Cell{c, r}, ctx.hand);
        drawHeader(p, pages::headerOrigin(Page::Chords, r), pages::chordSetHeader(page.slot(0, r), ctx.names),
                   ctx.headerFont);
    }
    drawSelection(p, Page::Chords, page.selected);
}

void paintScalesPage(QPainter& p, const pages::ScalesPageModel& page, const PagePaintContext& ctx)
{
    fillPage(p, Page::Scales);
    for (int r = 0; r < page.rowCount(); ++r) {
        for (int c = 0; c < pages::kGridColumns; ++c)
            drawScaleDiagram(p, page.row(r), Page::Scales, Cell{c, r}, ctx.scaleSpan, ctx.hand, false);
        drawHeader(p, pages::headerOrigin(Page::Scales, r), pages::scaleRowHeader(page.row(r), ctx.names),
                   ctx.headerFont);
    }
    drawSelection(p, Page::Scales, page.selected);
}

void paintPrintPage(QPainter& p, const pages::PrintPageModel& page, const PagePaintContext& ctx)
{
    fillPage(p, Page::Print);
    for (int r = 0; r < pages::kGridRows; ++r) {
        for (int c = 0; c < pages::kGridColumns; ++c) {
            const pages::PrintRecord& cell = page.cell(Cell{c, r});
            if (cell.isEmpty())
                continue;
            if (cell.isChord)
                drawChordDiagram(p, pages::printToChord(cell), Page::Print, Cell{c, r}, ctx.hand);
            else
                drawScaleDiagram(p, pages::printToScale(cell), Page::Print, Cell{c, r}, ctx.scaleSpan, ctx.hand,
                                 true);
            drawPrintTextLines(p, cell, Cell{c, r}, ctx.names);
        }
    }
    drawSelection(p, Page::Print, page.frameCell());
}

}  // namespace strumox::pictures
