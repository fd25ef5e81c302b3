#include "app/pictures/StaffPicture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace strumox::pictures {
namespace {

using namespace ui;

int darkness(const QImage& img, int x, int y) { return 255 - qGray(img.pixel(x, y)); }

int rowInk(const QImage& img, int y)
{
    int sum = 0;
    for (int x = 0; x < img.width(); ++x)
        sum += darkness(img, x, y);
    return sum;
}

TEST(StaffPicture, AWholeNoteIsARingCentredOnRowTwoOfItsBox)
{
    QImage img(30, 20, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        paintWholeNote(p, 10, 7);
    }
    const int mid = 7 + 2;
    for (int k = 1; k <= 4; ++k)
        EXPECT_NEAR(rowInk(img, mid - k), rowInk(img, mid + k), 40) << "rows " << k << " off the middle";
    EXPECT_EQ(rowInk(img, mid - 4), 0);
    EXPECT_GT(darkness(img, 10, mid) + darkness(img, 19, mid), 200);  // heavy sides
    EXPECT_LT(darkness(img, 15, mid), 60);                             // the hole
    EXPECT_EQ(darkness(img, 9, mid) + darkness(img, 20, mid), 0);      // ten columns wide
}

TEST(StaffPicture, StaffLinesLedgerLinesHeadsAndSignsLandWhereTheLayoutPutsThem)
{
    NoteFlags flags{};
    for (const int m : {55, 60, 61, 62, 69, 81})  // G3 under two ledger lines, C D Db, A5 over the staff
        flags[static_cast<size_t>(m)] = 1;
    const StaffDrawing d = layoutStaff(flags);
    const QImage img = staffPicture(d);
    ASSERT_EQ(img.size(), QSize(kStaffWidth, kStaffHeight));
    ASSERT_EQ(d.ledgerY, (std::vector<int>{50, 86, 92}));
    for (const int y : kStaffLineY)
        EXPECT_GT(darkness(img, 140, y) - darkness(img, 140, y + 3), 200) << "staff line " << y;
    for (const int y : d.ledgerY)
        for (const int x : {kLedgerLeft - 1, kLedgerLeft, 80, kLedgerRight, kLedgerRight + 1}) {
            const bool inside = x >= kLedgerLeft && x <= kLedgerRight;
            EXPECT_EQ(darkness(img, x, y) > 200, inside) << "ledger " << x << "," << y;
        }
    for (const StaffNote& n : d.notes) {
        SCOPED_TRACE("MIDI " + std::to_string(n.midi));
        EXPECT_GT(darkness(img, n.headX + 1, n.headY + 2), 100);
        EXPECT_GT(darkness(img, n.headX + 8, n.headY + 2), 100);
        if (n.accidental != Accidental::None) {
            EXPECT_GT(darkness(img, n.accidentalX + 1, n.accidentalY + 6), 200);  // a flat's stem, a sharp's
        }
    }
    ASSERT_EQ(d.notes[3].midi, 69);
    EXPECT_LT(darkness(img, d.notes[3].headX + 5, d.notes[3].headY + 2), 80);  // A4 in a space: a hollow head
    ASSERT_TRUE(d.notes.back().natural);
    EXPECT_GT(darkness(img, d.notes.back().naturalX, d.notes.back().naturalY), 200);  // the natural beside Db
}

}  // namespace
}  // namespace strumox::pictures
