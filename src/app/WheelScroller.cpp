#include "app/WheelScroller.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

namespace strumox::app {

WheelScroller::WheelScroller(QWidget* window, std::function<QAbstractScrollArea*()> target)
    : QObject(window), m_window(window), m_target(std::move(target))
{
    qApp->installEventFilter(this);
}

WheelScroller::~WheelScroller() { qApp->removeEventFilter(this); }

bool WheelScroller::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != m_window)
        return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    const int lines = m_wheel.feed(wheel->angleDelta().y(), QApplication::wheelScrollLines());
    if (QAbstractScrollArea* target = m_target ? m_target() : nullptr) {
        QScrollBar* bar = target->verticalScrollBar();
        for (int i = 0; i < std::abs(lines); ++i)
            bar->triggerAction(lines > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
    }
    return true;
}

}  // namespace strumox::app
