#pragma once
// A pair of small arrow buttons beside a field: each click steps the position (wrapping at both
// ends when asked), and the end of each press is reported apart, because some owners only act
// once the user has stopped stepping. By the time released() arrives every step of that press,
// the one its release completes included, has been made and reported through stepped().
#include <QWidget>

class QBoxLayout;

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

    // Vertical: up above down (the default). Horizontal: down on the left, up on the right, for
    // rows too low to stack two arrows of a usable height.
    void setOrientation(Qt::Orientation orientation);

signals:
    void stepped(int position);
    void released();

private:
    int m_min, m_max, m_position;
    bool m_wrap;
    QBoxLayout* m_layout = nullptr;
};

}  // namespace strumox::app
