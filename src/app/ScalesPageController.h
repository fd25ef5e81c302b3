#pragma once
// The Scales page: up to five scales, each as a row of six neck positions.
#include "app/GridPageController.h"
#include "pages/ScalesPageModel.h"

namespace strumox::app {

class TdlgBeginFret;

class ScalesPageController : public GridPageController {
    Q_OBJECT
public:
    ScalesPageController(GridPageServices services, TdlgBeginFret& beginFretDialog, QWidget* parent);

    pages::ScalesPageModel& model() { return m_model; }
    const pages::ScalesPageModel& model() const { return m_model; }

    // A new row from the scale finder; false when five rows are there.
    bool addRow(const pages::ScaleRecord& row);
    void showSelection() override;
    void erase() override;
    bool tuningEditable() const override { return true; }
    // Scales have no arpeggio; the fretboard keeps showing the scale.
    std::optional<pages::DiagramRecord> arpeggioChord() const override { return std::nullopt; }
    PlayItem playItem() const override { return {PlayItem::Kind::Scale, {}, m_model.selection, shownBeginFret(true)}; }
    QString newCaption() const override { return QStringLiteral("&New Scale Page"); }
    std::optional<pages::PageFileKind> fileKind() const override { return pages::PageFileKind::Scales; }
    void writeFile(const std::string& path) const override;
    bool readFile(const std::string& path, std::string* error) override;

    // The beginning fret the fretboard shows: the selected column's while this page is active,
    // else column 0's.
    int shownBeginFret(bool pageActive) const;

    QMenu* popmenuScales = nullptr;
    void sendToPrintPage();
    void changeBeginningFret();
    // The fret chosen in the dialog for the clicked cell (what changeBeginningFret applies).
    void applyBeginningFret(pages::Cell cell, int fret);

protected:
    void paint(QPainter& p) override;
    void pressed(int x, int y, Qt::MouseButton button) override;

private:
    void place(int targetRow, Qt::MouseButton button);
    pages::ScalesPageModel m_model;
    TdlgBeginFret& m_beginFret;
};

}  // namespace strumox::app
