#include "app/PrintPageController.h"

#include <QMenu>
#include <QPainter>

#include "app/FretboardController.h"
#include "app/PictureWidget.h"
#include "app/pictures/PagePictures.h"
#include "pages/RecordConversions.h"

namespace strumox::app {

using pages::Cell;
using pages::Page;
using pages::Placement;

PrintPageController::PrintPageController(GridPageServices services, QWidget* parent)
    : GridPageController(Page::Print, services, parent)
{
    m_picture->setObjectName("imgPrint");
    popmenuPrint = new QMenu(m_picture);
    popmenuPrint->setObjectName("popmenuPrint");
    connect(addItem(popmenuPrint, "pmenuPrintPlay", "Play Diagram"), &QAction::triggered, this, [this] {
        if (m_model.select(m_model.clicked)) {
            redraw();
            showSelection();
        }
        if (pressPlay)
            pressPlay(false);
    });
    m_toPlayPage = addItem(popmenuPrint, "pmenuPrintToPlayPage", "Send To PlayPage");
    connect(m_toPlayPage, &QAction::triggered, this, &PrintPageController::sendToPlayPage);
    m_toDesign = addItem(popmenuPrint, "pmenuPrintToDesign", "Send To Chord Design");
    connect(m_toDesign, &QAction::triggered, this, &PrintPageController::sendToChordDesign);
    m_toScale = addItem(popmenuPrint, "pmenuPrintToScales", "Send To Scale Page");
    connect(m_toScale, &QAction::triggered, this, &PrintPageController::sendToScalePage);
    connect(addItem(popmenuPrint, "pmenuPrintDelete", "Delete"), &QAction::triggered, this,
            &PrintPageController::deleteClicked);
    connect(addItem(popmenuPrint, "pmenuPrintMove", "Move"), &QAction::triggered, this,
            &PrintPageController::moveClicked);
}

void PrintPageController::paint(QPainter& p)
{
    pictures::paintPrintPage(p, m_model, paintContext());
}

PlayItem PrintPageController::playItem() const
{
    const pages::PrintRecord& sel = m_model.selection;
    if (sel.isEmpty())
        return {};
    if (sel.isChord)
        return {PlayItem::Kind::Chord, pages::printToChord(sel), {}, 1};
    // A scale cell plays its one position.
    const pages::ScaleRecord scale = pages::printToScale(sel);
    return {PlayItem::Kind::Scale, {}, scale, scale.beginFret[0]};
}

std::optional<pages::DiagramRecord> PrintPageController::arpeggioChord() const
{
    const pages::PrintRecord& sel = m_model.selection;
    if (!sel.isEmpty() && !sel.isChord)
        return std::nullopt;
    return pages::printToChord(sel);
}

void PrintPageController::showSelection()
{
    const pages::PrintRecord& sel = m_model.selection;
    if (sel.isEmpty() || sel.isChord)
        m_s.fretboard.showChord(pages::printToChord(sel));
    else
        m_s.fretboard.showScale(pages::printToScale(sel), sel.baseFret, m_s.scaleSpan);
}

void PrintPageController::pressed(int x, int y, Qt::MouseButton button)
{
    const auto cell = pages::hitCell(Page::Print, x, y);
    if (!cell)
        return;
    if (m_s.transfer.mode(Page::Print) != Placement::None) {
        place(*cell, button);
        return;
    }
    const pages::PrintRecord& rec = m_model.cell(*cell);
    if (rec.isEmpty())
        return;
    m_model.clicked = *cell;
    if (button == Qt::RightButton) {
        // Scales go back to the Scales page; chords to the Chord Design page and the PlayPage.
        m_toScale->setEnabled(!rec.isChord);
        m_toDesign->setEnabled(rec.isChord);
        m_toPlayPage->setEnabled(rec.isChord);
        popup(popmenuPrint);
        return;
    }
    if (m_model.select(*cell)) {
        redraw();
        showSelection();
    }
}

void PrintPageController::place(Cell cell, Qt::MouseButton button)
{
    const pages::PrintRecord pending = m_s.transfer.pendingPrint;
    if (button == Qt::RightButton || pending.isEmpty()) {
        endPlacement();
        return;
    }
    if (m_model.placeNeedsQuestion(cell) &&
        m_s.prompter.askYesNo("Do you want to replace this diagram?") != session::Answer::Yes)
        return;  // stays in placement mode
    m_model.place(cell, pending);
    GridPageController::endPlacement();
    redraw();
    showSelection();
}

void PrintPageController::endPlacement()
{
    if (m_model.isCarrying()) {
        m_model.putBack();
        redraw();
    }
    GridPageController::endPlacement();
}

void PrintPageController::deleteClicked()
{
    const Cell c = m_model.clicked;
    if (!c.isSet() || m_model.cell(c).isEmpty())
        return;
    if (m_s.prompter.askYesNo("Do you want to erase this diagram?", true) != session::Answer::Yes)
        return;
    const bool wasSelected = c == m_model.selected;
    if (!m_model.remove(c)) {
        erase();
        return;
    }
    if (wasSelected)
        showSelection();
    redraw();
}

void PrintPageController::moveClicked()
{
    const Cell c = m_model.clicked;
    if (!c.isSet())
        return;
    const auto carried = m_model.lift(c);
    if (!carried)
        return;
    m_s.transfer.pendingPrint = *carried;
    m_s.transfer.setMode(Page::Print, Placement::Move);
    updateCursor();
    redraw();
}

void PrintPageController::sendToScalePage()
{
    const Cell c = m_model.clicked;
    if (!c.isSet() || m_model.cell(c).isEmpty() || m_model.cell(c).isChord)
        return;
    m_s.transfer.pendingPrint = m_model.cell(c);
    emit pageRequested(Page::Scales, Placement::Place);
}

void PrintPageController::sendToChordDesign()
{
    const Cell c = m_model.clicked;
    if (!c.isSet() || m_model.cell(c).isEmpty() || !m_model.cell(c).isChord)
        return;
    m_s.transfer.pendingDiagram = pages::printToChord(m_model.cell(c));
    emit pageRequested(Page::ChordDesign, Placement::Place);
}

void PrintPageController::sendToPlayPage()
{
    const Cell c = m_model.clicked;
    if (!c.isSet() || m_model.cell(c).isEmpty() || !m_model.cell(c).isChord)
        return;
    m_s.transfer.pendingDiagram = pages::printToChord(m_model.cell(c));
    emit pageRequested(Page::PlayPage, Placement::Place);
}

void PrintPageController::writeFile(const std::string& path) const
{
    pages::PrintPageFile file;
    for (int row = 0; row < pages::kGridRows; ++row)
        for (int column = 0; column < pages::kGridColumns; ++column)
            file.cells[static_cast<size_t>(row * pages::kGridColumns + column)] = m_model.cell(Cell{column, row});
    pages::writePrintPageFile(path, file);
}

bool PrintPageController::readFile(const std::string& path, std::string* error)
{
    const auto file = pages::readPrintPageFile(path, error);
    if (!file)
        return false;
    endPlacement();
    m_model.erase();
    for (int row = 0; row < pages::kGridRows; ++row)
        for (int column = 0; column < pages::kGridColumns; ++column)
            m_model.setCell(Cell{column, row}, file->cells[static_cast<size_t>(row * pages::kGridColumns + column)]);
    if (const auto first = m_model.firstFilled()) {
        m_model.clicked = *first;
        m_model.select(*first);
    }
    scrollTo(0);
    redraw();
    if (m_s.fretboard.activePage() == Page::Print)
        showSelection();
    return true;
}

void PrintPageController::erase()
{
    m_model.erase();
    scrollTo(0);
    redraw();
    m_s.fretboard.clearDisplay();
    emit titleCleared();
}

}  // namespace strumox::app
