#pragma once
// The 150 x 140 treble staff of the staff control, drawn at run time from a StaffDrawing. No font
// is used: the clef, heads and signs are our own shapes.
#include <QImage>

#include "ui/StaffLayout.h"

class QPainter;

namespace strumox::pictures {

enum class StaffSign { Flat, Sharp, Natural, DoubleFlat, DoubleSharp };

// Box of a sign in pixels: 5 x 13 for flat, sharp and natural, 10 x 13 for the double flat, 6 x 7
// for the double sharp. A 13-row sign centres its row 6 on the note's line or space, the double
// sharp its row 3; so for a note whose 13-row sign box starts at row y, a double sharp starts at
// y + 3.
int staffSignWidth(StaffSign s);
int staffSignHeight(StaffSign s);

// Black sign with its box's top-left at (x, y), drawn over what is there.
void paintStaffSign(QPainter& p, StaffSign s, int x, int y);

// Hollow whole-note head, 10 x 6, top-left at (x, y), centred on row y + 2 (the line or space the
// layout puts it on); a line under it shows through its middle.
void paintWholeNote(QPainter& p, int x, int y);

// White ground, the five staff lines, the treble clef, then the drawing's ledger lines, heads and
// signs in black on top.
void paintStaff(QPainter& p, const ui::StaffDrawing& d);

// 150 x 140 image of the drawing.
QImage staffPicture(const ui::StaffDrawing& d);

}  // namespace strumox::pictures
