#include "app/UpDown.h"

#include <QBoxLayout>
#include <QMouseEvent>
#include <QToolButton>
#include <functional>

namespace strumox::app {

namespace {

// An auto-repeating arrow that says when a press is over, after the button has finished with the
// release. QAbstractButton reports released() before the clicked() that the same release
// completes, so an owner acting on released() would see the position one step behind the field.
class ArrowButton : public QToolButton {
public:
    ArrowButton(std::function<void()> letGo, QWidget* parent) : QToolButton(parent), m_letGo(std::move(letGo)) {}

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        QToolButton::mousePressEvent(e);
        if (e->button() == Qt::LeftButton)
            m_held = true;
    }

    void mouseReleaseEvent(QMouseEvent* e) override
    {
        QToolButton::mouseReleaseEvent(e);  // the completing click steps here
        if (e->button() != Qt::LeftButton || !m_held)
            return;
        m_held = false;
        // Also when let go off the button: the repeats made while it was held still count.
        m_letGo();
    }

private:
    std::function<void()> m_letGo;
    bool m_held = false;
};

}  // namespace

UpDown::UpDown(int minimum, int maximum, int position, bool wrap, QWidget* parent)
    : QWidget(parent), m_min(minimum), m_max(maximum), m_position(position), m_wrap(wrap)
{
    m_layout = new QBoxLayout(QBoxLayout::TopToBottom, this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    auto make = [this](Qt::ArrowType arrow, int delta, const char* name) {
        auto* b = new ArrowButton([this] { emit released(); }, this);
        b->setObjectName(name);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setIconSize(QSize(8, 8));
        b->setStyleSheet("QToolButton { padding: 0px; }");
        connect(b, &QToolButton::clicked, this, [this, delta] { step(delta); });
        m_layout->addWidget(b);
    };
    make(Qt::UpArrow, +1, "btnUp");
    make(Qt::DownArrow, -1, "btnDown");
}

void UpDown::setOrientation(Qt::Orientation orientation)
{
    m_layout->setDirection(orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::RightToLeft);
}

void UpDown::setPosition(int p) { m_position = std::clamp(p, m_min, m_max); }

void UpDown::step(int delta)
{
    int p = m_position + delta;
    if (p > m_max)
        p = m_wrap ? m_min : m_max;
    if (p < m_min)
        p = m_wrap ? m_max : m_min;
    m_position = p;
    emit stepped(p);
}

}  // namespace strumox::app
