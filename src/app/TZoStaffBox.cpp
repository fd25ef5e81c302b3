#include "app/TZoStaffBox.h"

#include <QPainter>

#include "app/pictures/StaffPicture.h"

namespace strumox::app {

TZoStaffBox::TZoStaffBox(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    redraw();
}

void TZoStaffBox::setKey(ui::TKey key)
{
    if (key == m_key)
        return;
    m_key = key;
    redraw();
}

void TZoStaffBox::setSharp(bool sharp)
{
    m_sharp = sharp;
    update();
}

void TZoStaffBox::setNotes(const ui::NoteFlags& notes)
{
    m_notes = notes;
    redraw();
}

void TZoStaffBox::setChordNotes(const theory::SoundingNotes& sounding)
{
    ui::NoteFlags flags{};
    for (const std::uint8_t note : sounding)
        if (note != 0 && note < flags.size())
            flags[note] = 1;
    setNotes(flags);
}

void TZoStaffBox::redraw()
{
    m_picture = pictures::staffPicture(ui::layoutStaff(m_notes, m_key));
    update();
}

void TZoStaffBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor face = palette().color(QPalette::Button);
    // Two sunken rings: each is lit from the bottom-right, the outer one by white, the inner one
    // by the face colour.
    const auto ring = [&p](QRect r, const QColor& topLeft, const QColor& bottomRight) {
        // The top-right and bottom-left corners belong to the lit side.
        p.fillRect(r.left(), r.top(), r.width() - 1, 1, topLeft);
        p.fillRect(r.left(), r.top(), 1, r.height() - 1, topLeft);
        p.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
        p.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
    };
    ring(rect(), shadow, Qt::white);
    ring(rect().adjusted(1, 1, -1, -1), shadow, face);
    p.drawImage(kFrame, kFrame, m_picture);
}

}  // namespace strumox::app
