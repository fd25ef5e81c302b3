#pragma once
// The toolbar panel across the top: file and play buttons, tempo, the chord and scale finder's
// fields and button, and (until the layout is flipped) the keyboard view. A view only: the main
// window connects its controls.
#include <QWidget>

#include "app/PictureWidget.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace strumox::app {

class MainToolbar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kKeyboardTop = 50;  // the keyboard's place below the toolbar's top

    MainToolbar(PictureWidget::Painter keyboardPainter, QWidget* parent = nullptr);

    QToolButton* sbtnErase = nullptr;
    QLineEdit* editChordRoot = nullptr;
    QLabel* label4 = nullptr;
    QLineEdit* editChordName = nullptr;
    QPushButton* btnShowChords = nullptr;
    QToolButton* sbtnFLAnimate = nullptr;
    QToolButton* sbtnRootFlash = nullptr;
    QWidget* pnlKeyboard = nullptr;
    PictureWidget* imgKeyboard = nullptr;
};

}  // namespace strumox::app
