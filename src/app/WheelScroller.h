#pragma once
// The mouse wheel anywhere in the window scrolls the active page, whatever is under the mouse:
// whole notches of 120 become the platform's lines per notch on the page's scroll box.
#include <QObject>
#include <functional>

#include "session/WheelAccumulator.h"

class QAbstractScrollArea;
class QWidget;

namespace strumox::app {

class WheelScroller : public QObject {
    Q_OBJECT
public:
    // Watches every widget of `window`; `target` names the scroll box to move (nullptr: none).
    WheelScroller(QWidget* window, std::function<QAbstractScrollArea*()> target);
    ~WheelScroller() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    std::function<QAbstractScrollArea*()> m_target;
    session::WheelAccumulator m_wheel;
};

}  // namespace strumox::app
