#pragma once
// The Chords page: up to five sets of six fingerings from the chord finder.
#include <functional>

#include "app/GridPageController.h"

namespace strumox::app {

class ChordPageController : public GridPageController {
    Q_OBJECT
public:
    ChordPageController(GridPageServices services, QWidget* parent);

    pages::ChordPageModel& model() { return m_model; }
    const pages::ChordPageModel& model() const { return m_model; }

    // A new set from the finder: drawn in the next row, scrolled to, its first diagram selected
    // and shown. False when the page already holds five sets.
    bool addSet(const pages::ChordPageModel::Set& set);
    void showSelection() override;
    void erase() override;

    QMenu* popmenuChords = nullptr;
    // "Show Arpeggio" of the popup: the main window toggles the fretboard's button.
    std::function<void()> toggleArpeggio;

    // The popup's commands on the cell of the click that opened it.
    void sendToPrintPage();
    void showArpeggioHere();

protected:
    void paint(QPainter& p) override;
    void pressed(int x, int y, Qt::MouseButton button) override;

private:
    pages::ChordPageModel m_model;
};

}  // namespace strumox::app
