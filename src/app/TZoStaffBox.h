#pragma once
// A set of notes as whole notes on a treble staff, in a sunken 154 x 144 box: two one-pixel rings
// around the 150 x 140 staff picture. Shows only; its owner hands it the notes.
#include <QImage>
#include <QWidget>

#include "theory/Notes.h"
#include "ui/StaffLayout.h"

namespace strumox::app {

class TZoStaffBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(strumox::ui::TKey Key READ key WRITE setKey)
    Q_PROPERTY(bool Sharp READ sharp WRITE setSharp)
public:
    static constexpr int kWidth = 154;
    static constexpr int kHeight = 144;
    static constexpr int kFrame = 2;  // pixels of frame on each side of the picture

    explicit TZoStaffBox(QWidget* parent = nullptr);

    ui::TKey key() const { return m_key; }
    // Draws the staff again only when the key changes.
    void setKey(ui::TKey key);
    bool sharp() const { return m_sharp; }
    void setSharp(bool sharp);

    // Flag n non-zero: MIDI note n is shown.
    void setNotes(const ui::NoteFlags& notes);
    // Every string's sounding note; 0 is a string not played and shows nothing.
    void setChordNotes(const theory::SoundingNotes& sounding);
    const ui::NoteFlags& notes() const { return m_notes; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void redraw();

    ui::TKey m_key = ui::TKey::keyC;
    bool m_sharp = false;
    ui::NoteFlags m_notes{};
    QImage m_picture;
};

}  // namespace strumox::app
