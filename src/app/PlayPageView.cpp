#include "app/PlayPageView.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace strumox::app {

namespace {

// Our move cursor: a four-way arrow, black with a white rim, 32 x 32 with its hot spot in the
// middle.
QPixmap moveCursor()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath path;
    const QPointF c(16, 16);
    for (int k = 0; k < 4; ++k) {
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(90 * k);
        QPolygonF head({QPointF(0, -12), QPointF(-4, -7), QPointF(-1.2, -7), QPointF(-1.2, 0), QPointF(1.2, 0),
                        QPointF(1.2, -7), QPointF(4, -7)});
        path.addPolygon(t.map(head));
        path.closeSubpath();
    }
    path = path.simplified();
    p.setPen(QPen(Qt::white, 2));
    p.drawPath(path);
    p.fillPath(path, Qt::black);
    return pm;
}

}  // namespace

QMimeData* PlayPageImage::slotMimeData()
{
    auto* data = new QMimeData;
    data->setData(kPlaySlotMime, QByteArray::number(QCoreApplication::applicationPid()));
    return data;
}

bool PlayPageImage::isOurSlot(const QMimeData* data)
{
    return data && data->hasFormat(kPlaySlotMime) &&
           data->data(kPlaySlotMime).toLongLong() == QCoreApplication::applicationPid();
}

void PlayPageImage::dragSlot(bool filled)
{
    auto* drag = new QDrag(this);
    drag->setMimeData(slotMimeData());
    if (filled) {
        const QPixmap cursor = moveCursor();
        drag->setDragCursor(cursor, Qt::CopyAction);
        drag->setHotSpot(QPoint(16, 16));
    }
    drag->exec(Qt::CopyAction);
}

void PlayPageImage::mousePressEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    m_pressAt = e->button() == Qt::LeftButton ? pt : QPoint(-1, -1);
    emit pressed(pt.x(), pt.y(), e->button(), e->modifiers());
}

void PlayPageImage::mouseMoveEvent(QMouseEvent* e)
{
    PictureWidget::mouseMoveEvent(e);
    if (m_pressAt.x() < 0 || !(e->buttons() & Qt::LeftButton))
        return;
    if ((e->position().toPoint() - m_pressAt).manhattanLength() < QApplication::startDragDistance())
        return;
    m_pressAt = QPoint(-1, -1);
    emit dragWanted();
}

void PlayPageImage::mouseReleaseEvent(QMouseEvent* e)
{
    m_pressAt = QPoint(-1, -1);
    PictureWidget::mouseReleaseEvent(e);
}

void PlayPageImage::mouseDoubleClickEvent(QMouseEvent* e)
{
    // The first press of the pair has picked the slot; the second press is the double click
    // alone, so a placement is never made twice.
    const QPoint pt = e->position().toPoint();
    if (e->button() == Qt::LeftButton)
        emit doubleClicked(pt.x(), pt.y());
}

void PlayPageImage::dragEnterEvent(QDragEnterEvent* e)
{
    if (isOurSlot(e->mimeData()) && acceptsDrag && acceptsDrag()) {
        e->acceptProposedAction();
        emit dragMoved(e->position().toPoint());
    } else {
        e->ignore();
    }
}

void PlayPageImage::dragMoveEvent(QDragMoveEvent* e)
{
    if (isOurSlot(e->mimeData()) && acceptsDrag && acceptsDrag()) {
        e->acceptProposedAction();
        emit dragMoved(e->position().toPoint());
    } else {
        e->ignore();
    }
}

void PlayPageImage::dragLeaveEvent(QDragLeaveEvent*) { emit dragLeft(); }

void PlayPageImage::dropEvent(QDropEvent* e)
{
    if (!isOurSlot(e->mimeData()) || !acceptsDrag || !acceptsDrag()) {
        e->ignore();
        emit dragLeft();
        return;
    }
    e->acceptProposedAction();
    const QPoint pt = e->position().toPoint();
    emit dropped(pt.x(), pt.y(), e->modifiers());
}

}  // namespace strumox::app
