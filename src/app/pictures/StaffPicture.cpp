#include "app/pictures/StaffPicture.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace strumox::pictures {

using namespace ui;

namespace {

constexpr int kLineLeft = 3;  // staff lines, both ends inclusive
constexpr int kLineRight = 146;

// A sign as rows of '#' (ink) and '.' (left alone), top row first.
template <size_t Rows>
void paintRows(QPainter& p, int x, int y, const std::array<const char*, Rows>& rows)
{
    for (size_t r = 0; r < Rows; ++r)
        for (int c = 0; rows[r][c] != '\0'; ++c)
            if (rows[r][c] == '#')
                p.fillRect(x + c, y + static_cast<int>(r), 1, 1, Qt::black);
}

// The bowl sits low, as a flat's does, so that the stem rises well above the note.
constexpr std::array<const char*, 13> kFlat{
    "#....", "#....", "#....", "#....", "#....", "#.##.", "##..#",
    "#...#", "#..#.", "#.#..", "##...", ".....", "....."};
// Both shapes read the same turned half round, so they centre on row 6.
constexpr std::array<const char*, 13> kSharp{
    "...#.", ".#.#.", ".#.#.", ".#.##", "#####", "##.#.", ".#.#.",
    ".#.##", "#####", "##.#.", ".#.#.", ".#.#.", ".#..."};
constexpr std::array<const char*, 13> kNatural{
    "#....", "#....", "#....", "#..##", "#####", "##..#", "#...#",
    "#..##", "#####", "##..#", "....#", "....#", "....#"};
constexpr std::array<const char*, 7> kDoubleSharp{"##..##", "##..##", "..##..", "..##..", "..##..", "##..##", "##..##"};

// Treble clef around the G line at row 74, stem near column 20, in pixel coordinates: one stroke
// from the tail up through the top loop and down into the belly's spiral, plus the tail's dot.
QPainterPath trebleClef()
{
    QPainterPath s;
    s.moveTo(15.5, 88.0);
    s.cubicTo(16.5, 91.5, 21.5, 91.5, 21.5, 86.0);   // tail hook into the stem
    s.cubicTo(21.5, 76.0, 19.5, 62.0, 20.5, 54.0);   // stem up
    s.cubicTo(21.0, 49.0, 24.5, 44.0, 24.5, 48.5);   // top of the loop
    s.cubicTo(24.5, 55.0, 13.0, 60.0, 12.5, 71.0);   // down across the stem to the left side
    s.cubicTo(12.0, 80.0, 18.0, 83.5, 22.0, 82.0);   // round the bottom of the belly
    s.cubicTo(27.5, 80.0, 27.0, 70.0, 21.0, 69.5);   // up the right side and over
    s.cubicTo(16.5, 69.5, 15.5, 75.0, 19.0, 77.0);   // curl into the middle
    return s;
}

}  // namespace

int staffSignWidth(StaffSign s)
{
    switch (s) {
    case StaffSign::DoubleFlat: return 10;
    case StaffSign::DoubleSharp: return 6;
    default: return 5;
    }
}

int staffSignHeight(StaffSign s) { return s == StaffSign::DoubleSharp ? 7 : 13; }

void paintStaffSign(QPainter& p, StaffSign s, int x, int y)
{
    switch (s) {
    case StaffSign::Flat: paintRows(p, x, y, kFlat); break;
    case StaffSign::Sharp: paintRows(p, x, y, kSharp); break;
    case StaffSign::Natural: paintRows(p, x, y, kNatural); break;
    case StaffSign::DoubleFlat:
        paintRows(p, x, y, kFlat);
        paintRows(p, x + 5, y, kFlat);
        break;
    case StaffSign::DoubleSharp: paintRows(p, x, y, kDoubleSharp); break;
    }
}

void paintWholeNote(QPainter& p, int x, int y)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    // The box runs half a row above y so that its middle is the middle of row y + 2: six rows
    // cannot centre on a one-row line otherwise.
    const QPointF centre(x + 5.0, y + 2.5);
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addEllipse(centre, 5.0, 3.0);
    // The hole leans back, leaving the sides of the ring heavier than its top and bottom.
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), 2.6, 1.5);
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(-35);
    ring.addPath(t.map(hole));
    p.fillPath(ring, Qt::black);
    p.restore();
}

void paintStaff(QPainter& p, const StaffDrawing& d)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(0, 0, kStaffWidth, kStaffHeight, Qt::white);
    for (const int y : kStaffLineY)
        p.fillRect(kLineLeft, y, kLineRight - kLineLeft + 1, 1, Qt::black);
    {
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(trebleClef());
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(16.0, 87.5), 2.0, 2.0);
        p.restore();
    }
    for (const int y : d.ledgerY)
        p.fillRect(kLedgerLeft, y, kLedgerRight - kLedgerLeft + 1, 1, Qt::black);
    for (const StaffNote& n : d.notes) {
        paintWholeNote(p, n.headX, n.headY);
        if (n.accidental == Accidental::Flat)
            paintStaffSign(p, StaffSign::Flat, n.accidentalX, n.accidentalY);
        else if (n.accidental == Accidental::Sharp)
            paintStaffSign(p, StaffSign::Sharp, n.accidentalX, n.accidentalY);
        if (n.natural)
            paintStaffSign(p, StaffSign::Natural, n.naturalX, n.naturalY);
    }
    p.restore();
}

QImage staffPicture(const StaffDrawing& d)
{
    QImage img(kStaffWidth, kStaffHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    paintStaff(p, d);
    return img;
}

}  // namespace strumox::pictures
