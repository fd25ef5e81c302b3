#include "app/GridPageController.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>

#include "app/FretboardController.h"
#include "app/PictureWidget.h"

namespace strumox::app {

GridPageController::GridPageController(pages::Page page, GridPageServices services, QWidget* parent)
    : QObject(parent), m_page(page), m_s(services)
{
    m_scroll = new QScrollArea(parent);
    const pages::PixelSize size = pages::pictureSize(page);
    m_picture = new PictureWidget(QSize(size.width, size.height), [this](QPainter& p) { paint(p); });
    m_scroll->setWidget(m_picture);
    m_scroll->setBackgroundRole(QPalette::Base);
    connect(m_picture, &PictureWidget::mousePressed, this, [this](int x, int y, Qt::MouseButton b) {
        if (m_s.busy.holds())
            return;
        pressed(x, y, b);
    });
}

QWidget* GridPageController::view() const { return m_scroll; }

QAbstractScrollArea* GridPageController::scrollBox() const { return m_scroll; }

void GridPageController::redraw() { m_picture->refresh(); }

pictures::PagePaintContext GridPageController::paintContext() const
{
    return {m_s.names, m_s.fretboard.display().handLayout(), m_s.scaleSpan, m_picture->font()};
}

void GridPageController::awaitPlacement(pages::Placement placement)
{
    m_s.transfer.setMode(m_page, placement);
    updateCursor();
}

void GridPageController::endPlacement()
{
    m_s.transfer.setMode(m_page, pages::Placement::None);
    updateCursor();
}

void GridPageController::updateCursor()
{
    switch (m_s.transfer.mode(m_page)) {
    case pages::Placement::None: m_picture->unsetCursor(); break;
    case pages::Placement::Place: m_picture->setCursor(Qt::CrossCursor); break;
    case pages::Placement::Move: m_picture->setCursor(Qt::SizeAllCursor); break;
    }
}

void GridPageController::scrollTo(int y) { m_scroll->verticalScrollBar()->setValue(y); }

QAction* GridPageController::addItem(QMenu* menu, const char* name, const QString& caption, bool enabled)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setEnabled(enabled);
    return a;
}

void GridPageController::popup(QMenu* menu) { menu->popup(QCursor::pos()); }

}  // namespace strumox::app
