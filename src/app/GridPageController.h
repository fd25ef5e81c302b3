#pragma once
// What the Chords, Scales and Print pages share: a picture in a scroll box that repaints from the
// page's model, the busy guard, the questions, and the fretboard they show their pick on.
#include <QObject>
#include <QPoint>

#include "app/PageController.h"
#include "app/pictures/PagePictures.h"
#include "pages/PageTransfer.h"
#include "session/BusyGuard.h"
#include "session/Prompter.h"
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
    const session::BusyGuard& busy;
    session::Prompter& prompter;
    FretboardController& fretboard;
    pages::PageTransfer& transfer;
    const int& scaleSpan;  // the Scales/Frets setting
};

class GridPageController : public QObject, public PageController {
    Q_OBJECT
public:
    GridPageController(pages::Page page, GridPageServices services, QWidget* parent);

    PictureWidget* picture() const { return m_picture; }

    pages::Page page() const override { return m_page; }
    QWidget* view() const override;
    QAbstractScrollArea* scrollBox() const override;
    void showOnFretboard() override { showSelection(); }
    void fullFretboardChanged() override { showSelection(); }
    void awaitPlacement(pages::Placement placement) override;
    void leave() override { endPlacement(); }
    // Repaints the whole page picture (handedness, spelling or contents changed).
    void redraw() override;
    bool erasable() const override { return true; }

    // Shows the page's selected diagram on the fretboard.
    virtual void showSelection() = 0;
    // The end of a placement, placed or not: leave placement mode.
    virtual void endPlacement();
    // The page's mouse cursor tells whether it waits for a placement.
    void updateCursor();

signals:
    // Asks the main window to make `page` active with `placement` waiting for its click.
    void pageRequested(pages::Page page, pages::Placement placement);
    void titleCleared();

protected:
    virtual void paint(QPainter& p) = 0;
    virtual void pressed(int x, int y, Qt::MouseButton button) = 0;
    void scrollTo(int y);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, bool enabled = true);
    void popup(QMenu* menu);

    // The page picture's texts are written in the window's font.
    pictures::PagePaintContext paintContext() const;

    pages::Page m_page;
    GridPageServices m_s;
    QScrollArea* m_scroll = nullptr;
    PictureWidget* m_picture = nullptr;
};

}  // namespace strumox::app
