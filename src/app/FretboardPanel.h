#pragma once
// The panel across the bottom of the window: the fretboard picture, the open-string tuning
// controls beside the nut, the read-outs and the display buttons. Pure view: the fretboard
// controller fills it and listens to it.
#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QToolButton;
class QScrollBar;

namespace strumox::fretboard {
class FretboardDisplay;
}

namespace strumox::app {

class PictureWidget;
class UpDown;

class FretboardPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 197;
    static constexpr int kKeyboardTopFlipped = 175;  // where the keyboard sits while flipped

    FretboardPanel(const fretboard::FretboardDisplay& display, QWidget* parent = nullptr);

    PictureWidget* imgFretboard = nullptr;
    QLabel* pnlNote = nullptr;
    QLabel* pnlInterval = nullptr;
    QLabel* lblChordNameCaption = nullptr;
    QLineEdit* editChordNameUser = nullptr;
    QLineEdit* editTuningName = nullptr;
    QLineEdit* editNotes = nullptr;
    std::array<QLineEdit*, 8> editIntervals{};
    std::array<QLineEdit*, 6> editString{};
    std::array<UpDown*, 6> upDown{};
    QToolButton* sbtnBassNote = nullptr;
    QToolButton* sbtnLeftHanded = nullptr;
    QToolButton* sbtnFlip = nullptr;
    QToolButton* sbtnShowFullScale = nullptr;
    QToolButton* sbShowArp = nullptr;
    QScrollBar* sbStrumSpeed = nullptr;
    // Drags the chord being designed onto the design group; shown with the Chord Design page.
    QToolButton* bitbtnDrag = nullptr;

    static constexpr int kPictureLeft = 58;
    static constexpr int kTuningArrowsWidth = 32;  // two arrows of 16 x 16 per string row
};

}  // namespace strumox::app
