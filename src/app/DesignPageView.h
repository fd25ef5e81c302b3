#pragma once
// The Chord Design tab's controls: the design strip and its file label, finger marker buttons,
// root and bass, the fret boxes, the chord search with its options and result list, the chord
// type list with Show Intervals, and the staff. Pure view: the design controller listens to it.
#include <QWidget>
#include <array>
#include <functional>

#include "app/PictureWidget.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QListWidget;
class QPushButton;
class QToolButton;

namespace strumox::app {

class UpDown;

// The design strip: a picture that takes chords dropped from the result list or the drag button.
class DesignStripWidget : public PictureWidget {
    Q_OBJECT
public:
    using PictureWidget::PictureWidget;
    // Whether a drag started by the control of that name may be dropped here.
    std::function<bool(const QString& source)> acceptsSource;

    // The control a drag names as its source: one of ours, in this process, or nothing.
    static QString sourceOf(const QMimeData* data);

signals:
    void dropped(const QString& source, int x, int y);

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
};

// What a chord dragged toward the strip carries: the process and the control it comes from. The
// chord itself stays where it is (the list's chosen line, the work chord) until the drop.
inline constexpr const char* kDesignDragMime = "application/x-strumox-design-chord";

class DesignPageView : public QWidget {
    Q_OBJECT
public:
    DesignPageView(PictureWidget::Painter stripPainter, QWidget* parent = nullptr);

    QLabel* lblCDFilePath = nullptr;
    QWidget* pnlChordDesign = nullptr;
    DesignStripWidget* imgChordDesign = nullptr;
    QToolButton* sbtnPlain = nullptr;
    std::array<QToolButton*, 4> sbtnFinger{};  // sbtnOne .. sbtnFour
    QButtonGroup* markerGroup = nullptr;       // id 6 for "P", 1..4 for the fingers
    UpDown* udRoot = nullptr;
    UpDown* udBass = nullptr;
    QLineEdit* editRoot = nullptr;
    QLineEdit* editBass = nullptr;
    std::array<QLineEdit*, 6> editTab{};
    QListWidget* listChordDesign = nullptr;
    QPushButton* btnSearch = nullptr;
    QGroupBox* rgIntervalOp = nullptr;
    QGroupBox* rgRootOp = nullptr;
    QButtonGroup* intervalOpGroup = nullptr;  // ids 0..1, the items in order
    QButtonGroup* rootOpGroup = nullptr;      // ids 0..2
    QComboBox* ComboBox1 = nullptr;
    QToolButton* sbDisplayIntervals = nullptr;
    QWidget* staffHost = nullptr;  // where the staff sits

    int intervalOption() const;
    int rootOption() const;
    void setIntervalOption(int item);
    void setRootOption(int item);

    // Starts dragging a chord from `source` (the result list or the drag button).
    static void startChordDrag(QWidget* source);

signals:
    // A fret box lost the focus (string 0..5).
    void fretBoxLeft(int string);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint m_listPressAt{-1, -1};
};

}  // namespace strumox::app
