#pragma once
// A fixed-size picture that paints through a painter function and reports the mouse in picture
// pixels. It holds no logic: its owner decides what a press or a move means.
#include <QImage>
#include <QWidget>
#include <functional>

namespace strumox::app {

class PictureWidget : public QWidget {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter&)>;
    PictureWidget(QSize size, Painter painter, QWidget* parent = nullptr);
    // Repaints from the painter function (the cached image is rebuilt on the next paint).
    void refresh();
    // What is drawn over the cached picture at every paint: marks that move often (playback's
    // cursors) without the picture under them being painted again.
    void setOverlay(Painter overlay) { m_overlay = std::move(overlay); }
    void refreshOverlay() { update(); }
    // The picture as last painted, at 1:1 scale; for tests and printing.
    QImage grabPicture();

signals:
    void mouseMoved(int x, int y);
    void mousePressed(int x, int y, Qt::MouseButton button);
    void mouseReleased(int x, int y, Qt::MouseButton button);
    void mouseLeft();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;

private:
    void rebuild();
    Painter m_painter;
    Painter m_overlay;
    QImage m_cache;
    bool m_dirty = true;
};

}  // namespace strumox::app
