#pragma once
// The Chords page: up to five sets of six fingerings from the chord finder.
#include "app/GridPageController.h"
#include "pages/ChordPageModel.h"

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
    bool tuningEditable() const override { return false; }
    std::optional<pages::DiagramRecord> arpeggioChord() const override { return m_model.selection; }
    PlayItem playItem() const override { return {PlayItem::Kind::Chord, m_model.selection, {}, 1}; }
    QString newCaption() const override { return QStringLiteral("&New Chord Page"); }
    std::optional<pages::PageFileKind> fileKind() const override { return pages::PageFileKind::Chords; }
    void writeFile(const std::string& path) const override;
    bool readFile(const std::string& path, std::string* error) override;

    QMenu* popmenuChords = nullptr;

    // The popup's commands on the cell of the click that opened it.
    void sendToPrintPage();
    void sendToChordDesign();
    void sendToPlayPage();
    void showArpeggioHere();

protected:
    void paint(QPainter& p) override;
    void pressed(int x, int y, Qt::MouseButton button) override;

private:
    // The diagram of the clicked cell; nothing for an empty cell or none clicked.
    const pages::DiagramRecord* clickedChord() const;
    // Carries the clicked diagram to the Chord Design page or the PlayPage.
    void sendChord(pages::Page target);
    // A left click's pick: the frame moves to `c` and the fretboard shows its diagram; nothing
    // happens on the cell already selected.
    void selectAndShow(pages::Cell c);
    pages::ChordPageModel m_model;
};

}  // namespace strumox::app
