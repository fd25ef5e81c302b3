#pragma once
// The PlayPage picture as a widget: it paints through its painter function and reports presses
// (with Alt and Ctrl), double clicks, the start of a drag and the drag's way over it and drop, in
// picture pixels. The PlayPage controller decides what each one means.
#include <QPoint>
#include <functional>

#include "app/PictureWidget.h"

class QMimeData;

namespace strumox::app {

// What a slot dragged on the PlayPage carries: the process it comes from. The slot itself is the
// page's selected slot, the one the drag started on.
inline constexpr const char* kPlaySlotMime = "application/x-strumox-playpage-slot";

class PlayPageImage : public PictureWidget {
    Q_OBJECT
public:
    using PictureWidget::PictureWidget;

    // Whether a drag entering the picture may be dropped on it.
    std::function<bool()> acceptsDrag;

    // Carries the selected slot until it is dropped: with the move cursor when the slot holds a
    // chord; an empty one is dragged under the no-drop cursor, since nothing accepts it. Returns
    // when the drag ends.
    void dragSlot(bool filled);
    static QMimeData* slotMimeData();
    static bool isOurSlot(const QMimeData* data);

signals:
    void pressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void doubleClicked(int x, int y);
    // The left button went down on the picture and the mouse then moved far enough to drag.
    void dragWanted();
    void dragMoved(QPoint at);
    void dragLeft();
    void dropped(int x, int y, Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    QPoint m_pressAt{-1, -1};  // where the left button went down; (-1, -1) when it is up
};

}  // namespace strumox::app
