#pragma once
// What the Chords, Scales and Print pages share: a picture in a scroll box that repaints from the
// page's model, the busy guard, the questions, and the fretboard they show their pick on.
#include <QObject>
#include <QPoint>

#include "app/PageTransfer.h"
#include "app/Pages.h"
#include "app/core/BusyGuard.h"
#include "app/core/Prompter.h"
#include "pages/GridPages.h"
#include "theory/Notes.h"

class QMenu;
class QPainter;
class QScrollArea;
class QAction;

namespace strumox::app {

class FretboardController;
class PictureWidget;

// Shared services of the grid pages, owned by the main window.
struct GridPageServices {
    const theory::NoteNames& names;
    const BusyGuard& busy;
    Prompter& prompter;
    FretboardController& fretboard;
    PageTransfer& transfer;
    const int& scaleFrets;  // the Scales/Frets setting
};

class GridPageController : public QObject {
    Q_OBJECT
public:
    GridPageController(Page page, QSize pictureSize, GridPageServices services, QWidget* parent);

    QScrollArea* scrollBox() const { return m_scroll; }
    PictureWidget* picture() const { return m_picture; }
    Page page() const { return m_page; }

    // Repaints the whole page picture (handedness, spelling or contents changed).
    void redraw();
    // Shows the page's selected diagram on the fretboard (after a page change, a redraw, a
    // change of the full-fretboard button).
    virtual void showSelection() = 0;
    virtual void erase() = 0;
    // A page change or the end of a placement: leave placement mode.
    virtual void endPlacement();
    // The page's mouse cursor tells whether it waits for a placement.
    void updateCursor();

signals:
    // Asks the main window to make `page` active with `placement` waiting for its click.
    void pageRequested(Page page, Placement placement);
    void titleCleared();

protected:
    virtual void paint(QPainter& p) = 0;
    virtual void pressed(int x, int y, Qt::MouseButton button) = 0;
    void scrollTo(int y);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, bool enabled = true);
    void popup(QMenu* menu);

    Page m_page;
    GridPageServices m_s;
    QScrollArea* m_scroll = nullptr;
    PictureWidget* m_picture = nullptr;
};

}  // namespace strumox::app
