#pragma once
// The Chord Design tab's own controls that the fretboard editing uses: finger marker buttons,
// root and bass, the fret boxes, the design strip and the chord list.
#include <QWidget>
#include <array>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace strumox::app {

class UpDown;

class DesignPageView : public QWidget {
    Q_OBJECT
public:
    explicit DesignPageView(QWidget* parent = nullptr);

    QLabel* lblCDFilePath = nullptr;
    QToolButton* sbtnPlain = nullptr;
    std::array<QToolButton*, 4> sbtnFinger{};  // sbtnOne .. sbtnFour
    QButtonGroup* markerGroup = nullptr;       // id 6 for "P", 1..4 for the fingers
    UpDown* udRoot = nullptr;
    UpDown* udBass = nullptr;
    QLineEdit* editRoot = nullptr;
    QLineEdit* editBass = nullptr;
    std::array<QLineEdit*, 6> editTab{};
    QWidget* imgChordDesign = nullptr;
    QListWidget* listChordDesign = nullptr;

signals:
    // A fret box lost the focus (string 0..5).
    void fretBoxLeft(int string);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace strumox::app
