#include "app/FretboardPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>

#include "app/PictureWidget.h"
#include "app/UpDown.h"
#include "fretboard/FretboardDisplay.h"
#include "fretboard/FretboardGeometry.h"
#include "app/pictures/FretboardPictures.h"
#include "theory/Notes.h"

namespace strumox::app {

namespace {

QLineEdit* readOut(QWidget* parent, const char* name, QRect geometry, bool readOnly = true)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(geometry);
    e->setReadOnly(readOnly);
    e->setFocusPolicy(readOnly ? Qt::NoFocus : Qt::ClickFocus);
    return e;
}

QToolButton* toggle(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setCheckable(true);
    b->setGeometry(geometry);
    b->setFocusPolicy(Qt::NoFocus);
    // The styles' own checked look is a faint shade; a toggle that is down must say so at a
    // glance, under any widget style.
    b->setStyleSheet(QStringLiteral(
        "QToolButton { border: 1px solid #8c8c8c; border-radius: 3px; padding: 1px 4px; color: black;"
        "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfdfd, stop:1 #e2e2e2); }"
        "QToolButton:hover { border-color: #4f7fc0; }"
        "QToolButton:pressed { background: #c6d6ec; }"
        "QToolButton:checked { background: #2f6db5; color: white; border: 1px solid #183f70; }"
        "QToolButton:checked:hover { background: #3a7ac6; }"
        "QToolButton:disabled { color: #9a9a9a; }"
        "QToolButton:checked:disabled { background: #9fb5d1; color: #eeeeee; }"));
    return b;
}

QLabel* caption(QWidget* parent, const QString& text, QRect geometry, const char* name = nullptr)
{
    auto* l = new QLabel(text, parent);
    if (name)
        l->setObjectName(name);
    l->setGeometry(geometry);
    return l;
}

// The largest font, 10 pixels at most, in which every open-string name of both spellings fits
// `room` pixels of text.
QFont openStringFont(QFont f, int room)
{
    for (int px = 10;; --px) {
        f.setPixelSize(px);
        const QFontMetrics m(f);
        bool fits = true;
        for (const auto spelling : {theory::Spelling::Flats, theory::Spelling::Sharps}) {
            const theory::NoteNames names(spelling);
            for (int midi = theory::kLowestOpenNote; fits && midi <= theory::kHighestOpenNote; ++midi)
                fits = m.horizontalAdvance(QString::fromStdString(names.octaveName(midi))) <= room;
        }
        if (fits || px <= 7)
            return f;
    }
}

}  // namespace

FretboardPanel::FretboardPanel(const fretboard::FretboardDisplay& display, QWidget* parent) : QWidget(parent)
{
    setObjectName("pnlFretboard");
    setFixedHeight(kHeight);
    setMinimumWidth(1010);
    // The text room of an open-string field: its width less its 1-pixel border and the line
    // edit's own 2-pixel inner margins.
    const QFont small = openStringFont(font(), kPictureLeft - kTuningArrowsWidth - 6);
    // Open-string fields beside the nut, one per string row of the picture. A row is 16 pixels
    // high, too low for two stacked arrows that are easy to hit, so each row has its two arrows
    // side by side between the field and the picture.
    for (int s = 0; s < 6; ++s) {
        const int top = fretboard::kStringTop[static_cast<size_t>(s)] - 2;
        auto* e = readOut(this, qPrintable(QStringLiteral("editString%1").arg(s)),
                          QRect(0, top, kPictureLeft - kTuningArrowsWidth, 16));
        e->setFont(small);
        e->setAlignment(Qt::AlignCenter);
        e->setTextMargins(0, 0, 0, 0);
        e->setStyleSheet("QLineEdit { padding: 0px; border: 1px solid #a0a0a0; background: white; }");
        editString[static_cast<size_t>(s)] = e;
        auto* ud = new UpDown(theory::kLowestOpenNote, theory::kHighestOpenNote, theory::kStandardTuning[static_cast<size_t>(s)],
                              true, this);
        ud->setObjectName(QStringLiteral("UpDown%1").arg(s));
        ud->setOrientation(Qt::Horizontal);
        ud->setGeometry(kPictureLeft - kTuningArrowsWidth, top, kTuningArrowsWidth, 16);
        upDown[static_cast<size_t>(s)] = ud;
    }

    imgFretboard = new PictureWidget(QSize(fretboard::kFretboardWidth, fretboard::kFretboardHeight),
                                     [&display](QPainter& p) { pictures::paintFretboard(p, display.scene()); }, this);
    imgFretboard->setObjectName("imgFretboard");
    imgFretboard->move(kPictureLeft, 0);

    // Read-outs to the right of the picture: the note under the mouse, large, and its interval.
    const int rx = kPictureLeft + fretboard::kFretboardWidth + 6;
    caption(this, "Note", QRect(rx, 0, 60, 14));
    pnlNote = new QLabel(this);
    pnlNote->setObjectName("pnlNote");
    pnlNote->setGeometry(rx, 14, 70, 46);
    pnlNote->setAlignment(Qt::AlignCenter);
    pnlNote->setFrameShape(QFrame::Panel);
    pnlNote->setFrameShadow(QFrame::Sunken);
    QFont big = font();
    big.setPixelSize(30);
    big.setBold(true);
    pnlNote->setFont(big);
    caption(this, "Interval", QRect(rx + 76, 0, 80, 14));
    pnlInterval = new QLabel(this);
    pnlInterval->setObjectName("pnlInterval");
    pnlInterval->setGeometry(rx + 76, 14, 86, 46);
    pnlInterval->setAlignment(Qt::AlignCenter);
    pnlInterval->setFrameShape(QFrame::Panel);
    pnlInterval->setFrameShadow(QFrame::Sunken);
    QFont mid = font();
    mid.setPixelSize(18);
    mid.setBold(true);
    pnlInterval->setFont(mid);

    sbtnLeftHanded = toggle(this, "sbtnLeftHanded", "Left Handed", QRect(rx, 68, 90, 24));
    sbtnFlip = toggle(this, "sbtnFlip", "Flip", QRect(rx + 94, 68, 68, 24));
    // Chord read-outs under the picture.
    const int y1 = fretboard::kFretboardHeight + 4;
    lblChordNameCaption = caption(this, "Chord Name:", QRect(2, y1, 80, 20), "lblChordNameCaption");
    editChordNameUser = readOut(this, "editChordNameUser", QRect(82, y1, 150, 20), false);
    editChordNameUser->setMaxLength(25);
    caption(this, "Tuning:", QRect(240, y1, 48, 20));
    editTuningName = readOut(this, "editTuningName", QRect(288, y1, 128, 20), false);
    editTuningName->setMaxLength(15);
    caption(this, "Notes:", QRect(424, y1, 42, 20));
    editNotes = readOut(this, "editNotes", QRect(466, y1, 170, 20));
    caption(this, "Intervals:", QRect(642, y1, 58, 20));
    for (int k = 0; k < 8; ++k) {
        auto* e = readOut(this, qPrintable(QStringLiteral("editIntervals%1").arg(k)), QRect(700 + 35 * k, y1, 33, 20));
        e->setAlignment(Qt::AlignCenter);
        editIntervals[static_cast<size_t>(k)] = e;
    }

    const int y2 = y1 + 26;
    caption(this, "Strum speed:", QRect(2, y2, 80, 20));
    sbStrumSpeed = new QScrollBar(Qt::Horizontal, this);
    sbStrumSpeed->setObjectName("sbStrumSpeed");
    sbStrumSpeed->setRange(-800, 0);
    sbStrumSpeed->setGeometry(82, y2 + 2, 200, 16);
    sbStrumSpeed->setToolTip("Slow strum (left) to fast strum (right)");
    // The window's own keys keep working while the focus rests here.
    sbStrumSpeed->setFocusPolicy(Qt::StrongFocus);

    sbtnBassNote = toggle(this, "sbtnBassNote", "Bass Note", QRect(300, y2, 90, 22));
    sbShowArp = toggle(this, "sbShowArp", "Show Arpeggio", QRect(394, y2, 110, 22));
    sbtnShowFullScale = toggle(this, "sbtnShowFullScale", "Display Full Fretboard", QRect(508, y2, 160, 22));
    bitbtnDrag = new QToolButton(this);
    bitbtnDrag->setObjectName("bitbtnDrag");
    bitbtnDrag->setText(QStringLiteral("\u2630 Drag"));
    bitbtnDrag->setGeometry(676, y2, 80, 22);
    bitbtnDrag->setToolTip("Drag to add chord to set");
    bitbtnDrag->setFocusPolicy(Qt::NoFocus);
    bitbtnDrag->setCursor(Qt::OpenHandCursor);
    bitbtnDrag->hide();
    sbtnLeftHanded->setToolTip("Mirror the neck and every diagram for a left-handed player");
    sbtnFlip->setToolTip("Swap the toolbar and the fretboard panel");
    sbtnBassNote->setToolTip("Play a bass note with each chord");
    sbShowArp->setToolTip("Mark every note of the chord along the neck");
    sbtnShowFullScale->setToolTip("Mark notes over the whole neck instead of the chord's position");
}

}  // namespace strumox::app
