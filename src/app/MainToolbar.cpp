#include "app/MainToolbar.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "app/PictureWidget.h"
#include "app/UpDown.h"

namespace strumox::app {

namespace {

QToolButton* toolButton(QWidget* parent, const char* name, const QString& hint, QStyle::StandardPixmap icon,
                        const QString& text = {})
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    if (text.isEmpty())
        b->setIcon(parent->style()->standardIcon(icon));
    else
        b->setText(text);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    b->setFixedSize(30, 30);
    return b;
}

}  // namespace

MainToolbar::MainToolbar(PictureWidget::Painter keyboardPainter, QWidget* parent) : QWidget(parent)
{
    setObjectName("pnlTop");
    setFixedHeight(72);
    setMinimumWidth(1010);

    int x = 2;
    auto place = [&x](QWidget* w, int gap = 0) {
        w->move(x, 2);
        x += w->width() + 1 + gap;
    };
    place(toolButton(this, "sbtnOpen", "Open", QStyle::SP_DialogOpenButton));
    place(toolButton(this, "sbtnSave", "Save", QStyle::SP_DialogSaveButton));
    sbtnErase = toolButton(this, "sbtnErase", "Erase Page", QStyle::SP_TrashIcon);
    place(sbtnErase);
    place(toolButton(this, "sbtnPrintPage", "Print Page", QStyle::SP_FileDialogDetailedView));
    place(toolButton(this, "sbtnUndo", "Undo", QStyle::SP_ArrowBack), 8);
    place(toolButton(this, "sbtnPlay", "Play", QStyle::SP_MediaPlay));
    place(toolButton(this, "sbtnStop", "Stop", QStyle::SP_MediaStop));
    place(toolButton(this, "sbtnPause", "Pause", QStyle::SP_MediaPause));
    place(toolButton(this, "sbtnStep", "Step Play", QStyle::SP_MediaSkipForward));
    place(toolButton(this, "sbtnLoop", "Loop", QStyle::SP_BrowserReload));
    place(toolButton(this, "sbtnCount", "Count Off", QStyle::SP_CustomBase, "1234"));
    place(toolButton(this, "sbtnClick", "Click", QStyle::SP_CustomBase, "Clk"));
    place(toolButton(this, "sbtnRootPlay", "Play Scale From Root", QStyle::SP_CustomBase, "Rt"), 8);
    // The page and printing commands wake up as their pages do.
    for (const char* name : {"sbtnOpen", "sbtnSave", "sbtnPrintPage", "sbtnUndo"})
        findChild<QToolButton*>(name)->setEnabled(false);
    // Play, Pause and the options are buttons that stay down; Stop is a plain press.
    for (const char* name : {"sbtnPlay", "sbtnPause", "sbtnStep", "sbtnLoop", "sbtnCount", "sbtnClick", "sbtnRootPlay"})
        findChild<QToolButton*>(name)->setCheckable(true);

    auto* tempoLabel = new QLabel("Tempo:", this);
    tempoLabel->setGeometry(x, 8, 44, 18);
    x += 44;
    auto* tempo = new QLineEdit("100", this);
    tempo->setObjectName("meditTempoMain");
    tempo->setInputMask("000");
    tempo->setGeometry(x, 6, 36, 22);
    x += 37;
    auto* tempoUd = new UpDown(10, 250, 100, false, this);
    tempoUd->setObjectName("UpDownTempo");
    tempoUd->setGeometry(x, 6, 16, 22);  // arrows of 16 x 11
    x += 22;

    // Chord and scale finder: key, type, and the button that shows them.
    auto* keyLabel = new QLabel("Key", this);
    keyLabel->setGeometry(x, 0, 36, 14);
    editChordRoot = new QLineEdit(this);
    editChordRoot->setObjectName("editChordRoot");
    editChordRoot->setReadOnly(true);
    editChordRoot->setMaxLength(2);
    editChordRoot->setFocusPolicy(Qt::NoFocus);
    editChordRoot->setGeometry(x, 14, 36, 22);
    x += 40;
    label4 = new QLabel("Chord Name", this);
    label4->setObjectName("Label4");
    label4->setGeometry(x, 0, 160, 14);
    editChordName = new QLineEdit(this);
    editChordName->setObjectName("editChordName");
    editChordName->setReadOnly(true);
    editChordName->setFocusPolicy(Qt::NoFocus);
    editChordName->setGeometry(x, 14, 160, 22);
    x += 164;
    btnShowChords = new QPushButton("Show Chords", this);
    btnShowChords->setObjectName("btnShowChords");
    btnShowChords->setGeometry(x, 12, 100, 26);
    btnShowChords->setFocusPolicy(Qt::NoFocus);
    x += 104;

    sbtnFLAnimate = toolButton(this, "sbtnFLAnimate", "Glowboard Play Animation", QStyle::SP_CustomBase, "Anim");
    sbtnRootFlash = toolButton(this, "sbtnRootFlash", "Show Glowboard Rootnote", QStyle::SP_CustomBase, "Root");
    for (QToolButton* b : {sbtnFLAnimate, sbtnRootFlash}) {
        b->setCheckable(true);
        b->move(x, 2);
        x += 31;
        b->hide();  // shown when a Glowboard is found
    }

    pnlKeyboard = new QWidget(this);
    pnlKeyboard->setObjectName("pnlKeyboard");
    pnlKeyboard->setGeometry(2, kKeyboardTop, 285, 20);
    imgKeyboard = new PictureWidget(QSize(281, 18), std::move(keyboardPainter), pnlKeyboard);
    imgKeyboard->setObjectName("imgKeyboard");
    imgKeyboard->move(2, 1);
}

}  // namespace strumox::app
