#include "app/GridPageController.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>

#include "app/PictureWidget.h"

namespace strumox::app {

GridPageController::GridPageController(Page page, QSize pictureSize, GridPageServices services, QWidget* parent)
    : QObject(parent), m_page(page), m_s(services)
{
    m_scroll = new QScrollArea(parent);
    m_picture = new PictureWidget(pictureSize, [this](QPainter& p) { paint(p); });
    m_scroll->setWidget(m_picture);
    m_scroll->setBackgroundRole(QPalette::Base);
    connect(m_picture, &PictureWidget::mousePressed, this, [this](int x, int y, Qt::MouseButton b) {
        if (m_s.busy.holds())
            return;
        pressed(x, y, b);
    });
}

void GridPageController::redraw() { m_picture->refresh(); }

void GridPageController::endPlacement()
{
    m_s.transfer.setMode(m_page, Placement::None);
    updateCursor();
}

void GridPageController::updateCursor()
{
    switch (m_s.transfer.mode(m_page)) {
    case Placement::None: m_picture->unsetCursor(); break;
    case Placement::Place: m_picture->setCursor(Qt::CrossCursor); break;
    case Placement::Move: m_picture->setCursor(Qt::SizeAllCursor); break;
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
