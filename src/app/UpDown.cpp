#include "app/UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace strumox::app {

UpDown::UpDown(int minimum, int maximum, int position, bool wrap, QWidget* parent)
    : QWidget(parent), m_min(minimum), m_max(maximum), m_position(position), m_wrap(wrap)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto make = [this, layout](Qt::ArrowType arrow, int delta) {
        auto* b = new QToolButton(this);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setIconSize(QSize(6, 6));
        b->setStyleSheet("QToolButton { padding: 0px; }");
        connect(b, &QToolButton::clicked, this, [this, delta] { step(delta); });
        connect(b, &QToolButton::released, this, [this, b] {
            // Auto-repeat releases the button between repeats; only the real release counts.
            if (!b->isDown())
                emit released();
        });
        layout->addWidget(b);
        return b;
    };
    make(Qt::UpArrow, +1)->setObjectName("btnUp");
    make(Qt::DownArrow, -1)->setObjectName("btnDown");
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
