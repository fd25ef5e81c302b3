#include "app/PictureWidget.h"

#include <QMouseEvent>
#include <QPainter>

namespace strumox::app {

PictureWidget::PictureWidget(QSize size, Painter painter, QWidget* parent)
    : QWidget(parent), m_painter(std::move(painter))
{
    setFixedSize(size);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureWidget::refresh()
{
    m_dirty = true;
    update();
}

void PictureWidget::rebuild()
{
    const qreal dpr = devicePixelRatioF();
    const QSize px = (QSizeF(size()) * dpr).toSize();
    if (m_cache.size() != px)
        m_cache = QImage(px, QImage::Format_ARGB32_Premultiplied);
    m_cache.setDevicePixelRatio(dpr);
    m_cache.fill(Qt::white);
    QPainter p(&m_cache);
    if (m_painter)
        m_painter(p);
    m_dirty = false;
}

QImage PictureWidget::grabPicture()
{
    QImage img(size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    if (m_painter)
        m_painter(p);
    if (m_overlay)
        m_overlay(p);
    return img;
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    if (m_dirty || m_cache.isNull())
        rebuild();
    QPainter p(this);
    p.drawImage(QPoint(0, 0), m_cache);
    if (m_overlay)
        m_overlay(p);
}

void PictureWidget::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    emit mouseMoved(pt.x(), pt.y());
}

void PictureWidget::mousePressEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    emit mousePressed(pt.x(), pt.y(), e->button());
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    emit mouseReleased(pt.x(), pt.y(), e->button());
}

void PictureWidget::leaveEvent(QEvent*) { emit mouseLeft(); }

}  // namespace strumox::app
