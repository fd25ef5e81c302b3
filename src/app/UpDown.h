#pragma once
// A pair of small arrow buttons beside a field: each click steps the position (wrapping at both
// ends when asked), and the release of the mouse button is reported apart, because some owners
// only act once the user has stopped stepping.
#include <QWidget>

class QToolButton;

namespace strumox::app {

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(int minimum, int maximum, int position, bool wrap, QWidget* parent = nullptr);

    int position() const { return m_position; }
    void setPosition(int p);  // silent: no signal
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    // Steps as one click does (+1 up, -1 down) and emits stepped().
    void step(int delta);

signals:
    void stepped(int position);
    void released();

private:
    int m_min, m_max, m_position;
    bool m_wrap;
};

}  // namespace strumox::app
