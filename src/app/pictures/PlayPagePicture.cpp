#include "app/pictures/PlayPagePicture.h"

#include <QPainter>
#include <QPainterPath>
#include <map>

#include "app/pictures/DiagramPictures.h"
#include "pages/RecordText.h"

namespace strumox::pictures {

using pages::Cell;
using pages::PlayPage;
using pages::TimeSignature;

namespace {

constexpr int kH = PlayPage::kStaffHeight;
constexpr int kSign = PlayPage::kSignWidth;
// The two dots of the repeat signs sit in the second and third spaces of the staff.
constexpr int kDotTops[] = {11, 19};
const QColor kCursorColour(220, 0, 0);

QImage staff(int width)
{
    QImage img(width, kH, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    for (int y = 0; y < kH; y += 8)
        p.fillRect(0, y, width, 1, Qt::black);
    return img;
}

// A time signature's two digits, one over the other, right of the bar line at x = 0.
void drawSignature(QImage& img, char top, char bottom)
{
    QPainter p(&img);
    p.fillRect(0, 0, 1, kH, Qt::black);
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(18);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::black);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    // Each digit fills two spaces of the staff, within the 14 pixels the 3/4 bitmap covers.
    p.drawText(QRect(2, -1, 11, 18), Qt::AlignCenter, QString(QChar(top)));
    p.drawText(QRect(2, 15, 11, 18), Qt::AlignCenter, QString(QChar(bottom)));
}

// Repeat start or end: a 2-pixel bar and a thin one, the dots on the open side.
QImage repeatSign(bool start)
{
    QImage img = staff(kSign);
    QPainter p(&img);
    const int thick = start ? 0 : 6, thin = start ? 3 : 4, dots = start ? 5 : 1;
    p.fillRect(thick, 0, 2, kH, Qt::black);
    p.fillRect(thin, 0, 1, kH, Qt::black);
    for (int top : kDotTops)
        p.fillRect(dots, top, 2, 3, Qt::black);
    return img;
}

QImage makeLoop()
{
    QImage img = staff(kSign);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A turn back: up the right side, over the top, down the left to an arrow head.
    QPainterPath path;
    path.moveTo(6, 24);
    path.lineTo(6, 12);
    path.arcTo(QRectF(1, 8, 5, 8), 0, 180);
    path.lineTo(1, 20);
    p.setPen(QPen(QColor(0, 0, 160), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 160));
    p.drawPolygon(QPolygonF({QPointF(-0.5, 19), QPointF(3.5, 19), QPointF(1.5, 24)}));
    return img;
}

QImage makeCursor()
{
    QImage img = staff(kSign);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(3, 0, 2, kH, kCursorColour);
    p.setPen(Qt::NoPen);
    p.setBrush(kCursorColour);
    p.drawPolygon(QPolygon({QPoint(0, 0), QPoint(7, 0), QPoint(4, 6), QPoint(3, 6)}));
    return img;
}

// Playback's marks are 28 x 33 pieces of staff.
constexpr int kPlayMarkWidth = 28;

QImage makePlayCursor()
{
    QImage img = staff(kPlayMarkWidth);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A rhythm slash through the middle lines, in red.
    p.setPen(QPen(QColor(255, 0, 0), 5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(8, 25), QPointF(20, 7));
    return img;
}

QImage makeStepArrow()
{
    QImage img = staff(kPlayMarkWidth);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 200));
    // Pointing down at the slot below the staff.
    p.drawRect(QRectF(11, 2, 6, 17));
    p.drawPolygon(QPolygonF({QPointF(4, 18), QPointF(24, 18), QPointF(14, 31)}));
    return img;
}

QString latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

void writeText(QPainter& p, int x, int y, const std::string& text)
{
    p.drawText(QRect(x, y, 200, 20), Qt::AlignLeft | Qt::AlignTop, latin1(text));
}

void drawAt(QPainter& p, pages::PixelPoint at, const QImage& img) { p.drawImage(QPoint(at.x, at.y), img); }

}  // namespace

QImage staffFourFour()
{
    static const QImage img = [] {
        QImage i = staff(PlayPage::kStaffWidth);
        drawSignature(i, '4', '4');
        return i;
    }();
    return img;
}

QImage staffThreeFour()
{
    static const QImage img = [] {
        QImage i = staff(14);
        drawSignature(i, '3', '4');
        return i;
    }();
    return img;
}

QImage staffBarLine()
{
    static const QImage img = [] {
        QImage i(1, kH, QImage::Format_RGB32);
        i.fill(Qt::black);
        return i;
    }();
    return img;
}

QImage staffReturn()
{
    static const QImage img = repeatSign(true);
    return img;
}

QImage staffRepeat()
{
    static const QImage img = repeatSign(false);
    return img;
}

QImage staffLoop()
{
    static const QImage img = makeLoop();
    return img;
}

QImage staffCursor()
{
    static const QImage img = makeCursor();
    return img;
}

QImage playCursor()
{
    static const QImage img = makePlayCursor();
    return img;
}

QImage stepArrow()
{
    static const QImage img = makeStepArrow();
    return img;
}

void drawPlayMarks(QPainter& p, std::optional<int> cursorCell, std::optional<int> stepSlot)
{
    if (cursorCell && *cursorCell >= 0 && *cursorCell < PlayPage::kSlotCount / 2)
        drawAt(p, PlayPage::beatStaffPoint(*cursorCell % 6, *cursorCell / 6), playCursor());
    if (stepSlot && *stepSlot >= 0 && *stepSlot < PlayPage::kSlotCount)
        drawAt(p, PlayPage::slotStaffPoint(PlayPage::cellOf(*stepSlot)), stepArrow());
}

QImage staffErase()
{
    static const QImage img = staff(kSign);
    return img;
}

void drawPlayPageBackground(QPainter& p, TimeSignature sig)
{
    p.save();
    p.setFont(diagramFont(kPlayNumberPixelSize));
    p.setPen(Qt::black);
    for (int row = 0; row < PlayPage::kRows; ++row) {
        const int y = PlayPage::staffTop(row);
        p.drawImage(PlayPage::kStaffLeft, y, staffFourFour());
        if (sig == TimeSignature::ThreeFour)
            p.drawImage(PlayPage::kStaffLeft, y, staffThreeFour());
        for (int x : PlayPage::barLineXs(sig, row))
            p.drawImage(x, y, staffBarLine());
        // Texts at one place cover each other, blanks included: what is left is the last one.
        std::map<int, std::string> shown;
        for (const PlayPage::StaffText& t : PlayPage::measureNumberTexts(sig, row))
            shown[t.x] = t.text;
        for (const auto& [x, text] : shown)
            writeText(p, x, PlayPage::measureNumberTop(row), text);
    }
    p.restore();
}

void drawPlayPageMarkers(QPainter& p, TimeSignature sig, const PlayPage::Markers& markers, bool loopPlay)
{
    p.save();
    p.setFont(diagramFont(kPlayNumberPixelSize));
    p.setPen(Qt::black);
    for (int m = 0; m < PlayPage::measureCount(sig); ++m) {
        const size_t mi = static_cast<size_t>(m);
        const auto [start, end] = PlayPage::markerPoints(sig, m);
        drawAt(p, start, staffErase());
        for (int dx : {-16, -8, 0})
            drawAt(p, {end.x + dx, end.y}, staffErase());
        if (markers[PlayPage::ReturnMark][mi] != 0)
            drawAt(p, start, staffReturn());
        if (const int count = markers[PlayPage::RepeatCount][mi]; count != 0) {
            drawAt(p, end, staffRepeat());
            writeText(p, end.x - 16, end.y + 10, std::to_string(count));
        }
        const pages::PixelPoint loopAt{end.x - 26, end.y};
        drawAt(p, loopAt, staffErase());
        if (loopPlay && markers[PlayPage::LoopMark][mi] == 1)
            drawAt(p, loopAt, staffLoop());
    }
    p.restore();
}

void drawStartCursor(QPainter& p, Cell start) { drawAt(p, PlayPage::startCursorAt(start), staffCursor()); }

void drawPlayPageSlot(QPainter& p, const pages::DiagramRecord& chord, Cell cell, const PlayPagePaintContext& ctx)
{
    const pages::PixelRect area = PlayPage::slotArea(cell);
    p.fillRect(QRect(QPoint(area.left, area.top), QPoint(area.right, area.bottom)), Qt::white);
    if (chord.isEmpty())
        return;
    drawAt(p, PlayPage::diagramAt(cell), tinyDiagram(chord, ctx.hand, false));
    p.save();
    p.setFont(diagramFont(ctx.titlePixelSize));
    p.setPen(Qt::black);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const pages::PixelPoint at = PlayPage::titleAt(cell);
    writeText(p, at.x, at.y, pages::chordTitle(chord, ctx.names));
    p.restore();
}

void paintPlayPage(QPainter& p, const PlayPage& page, const PlayPagePaintContext& ctx)
{
    drawPlayPageBackground(p, page.timeSignature());
    if (const auto& drawn = page.drawnMarkers())
        drawPlayPageMarkers(p, page.timeSignature(), *drawn, ctx.loopPlay);
    drawStartCursor(p, page.startPosition());
    // In slot order: a title running past its slot is cut by the next slot's white area.
    for (int s = 0; s < PlayPage::kSlotCount; ++s)
        drawPlayPageSlot(p, page.slot(s), PlayPage::cellOf(s), ctx);
}

}  // namespace strumox::pictures
