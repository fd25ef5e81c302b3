#include "app/ChordPageController.h"

#include <QMenu>
#include <QPainter>

#include "app/FretboardController.h"
#include "app/PictureWidget.h"
#include "app/pictures/PagePictures.h"
#include "pages/RecordConversions.h"

namespace strumox::app {

using pages::Cell;
using pages::Page;

ChordPageController::ChordPageController(GridPageServices services, QWidget* parent)
    : GridPageController(Page::Chords, services, parent)
{
    m_picture->setObjectName("imgChords");
    popmenuChords = new QMenu(m_picture);
    popmenuChords->setObjectName("popmenuChords");
    connect(addItem(popmenuChords, "pmenuChordsPlay", "Play Chord"), &QAction::triggered, this, [this] {
        // The clicked diagram becomes the current chord first, framed and shown, as a click would.
        selectAndShow(m_model.clicked);
        if (pressPlay)
            pressPlay(false);
    });
    connect(addItem(popmenuChords, "pmenuChordsToDesign", "Send to Chord Design"), &QAction::triggered, this,
            &ChordPageController::sendToChordDesign);
    connect(addItem(popmenuChords, "pmenuChordsToPlayPage", "Send to PlayPage"), &QAction::triggered, this,
            &ChordPageController::sendToPlayPage);
    connect(addItem(popmenuChords, "pmenuChordsToPrint", "Send to Print Page"), &QAction::triggered, this,
            &ChordPageController::sendToPrintPage);
    connect(addItem(popmenuChords, "pmenuChordsArpeggio", "Show Arpeggio"), &QAction::triggered, this,
            &ChordPageController::showArpeggioHere);
}

void ChordPageController::paint(QPainter& p)
{
    pictures::paintChordPage(p, m_model, paintContext());
}

void ChordPageController::pressed(int x, int y, Qt::MouseButton button)
{
    const auto cell = pages::hitCell(Page::Chords, x, y);
    if (!cell || cell->row >= m_model.setCount())
        return;
    m_model.clicked = *cell;
    if (button == Qt::RightButton) {
        popup(popmenuChords);
        return;
    }
    selectAndShow(*cell);
}

void ChordPageController::selectAndShow(Cell c)
{
    if (m_model.select(c)) {
        redraw();
        m_s.fretboard.showChord(m_model.selection);
    }
}

bool ChordPageController::addSet(const pages::ChordPageModel::Set& set)
{
    if (!m_model.addSet(set))
        return false;
    scrollTo(pages::rowTop(Page::Chords, m_model.setCount() - 1));
    redraw();
    m_s.fretboard.showChord(m_model.selection);
    return true;
}

void ChordPageController::showSelection() { m_s.fretboard.showChord(m_model.selection); }

void ChordPageController::erase()
{
    m_model.erase();
    scrollTo(0);
    redraw();
    m_s.fretboard.clearDisplay();
    emit titleCleared();
}

void ChordPageController::writeFile(const std::string& path) const
{
    pages::ChordPageFile file;
    for (int set = 0; set < pages::kGridRows; ++set)
        for (int column = 0; column < pages::kGridColumns; ++column)
            file.cells[static_cast<size_t>(set * pages::kGridColumns + column)] = m_model.slot(column, set);
    pages::writeChordPageFile(path, file);
}

bool ChordPageController::readFile(const std::string& path, std::string* error)
{
    const auto file = pages::readChordPageFile(path, error);
    if (!file)
        return false;
    m_model.erase();
    for (int set = 0; set < pages::kGridRows; ++set)
        for (int column = 0; column < pages::kGridColumns; ++column)
            m_model.setSlot(Cell{column, set}, file->cells[static_cast<size_t>(set * pages::kGridColumns + column)]);
    // Sets count up to the first incomplete one, as drawing counts them.
    m_model.recount();
    if (m_model.setCount() > 0) {
        m_model.clicked = Cell{0, 0};
        m_model.select(Cell{0, 0});
    }
    scrollTo(0);
    redraw();
    if (m_s.fretboard.activePage() == Page::Chords)
        showSelection();
    return true;
}

const pages::DiagramRecord* ChordPageController::clickedChord() const
{
    if (!m_model.clicked.isSet() || m_model.slot(m_model.clicked).isEmpty())
        return nullptr;
    return &m_model.slot(m_model.clicked);
}

void ChordPageController::sendToPrintPage()
{
    if (const pages::DiagramRecord* source = clickedChord()) {
        m_s.transfer.pendingPrint = pages::chordToPrint(*source);
        emit pageRequested(Page::Print, pages::Placement::Place);
    }
}

void ChordPageController::sendToChordDesign() { sendChord(Page::ChordDesign); }
void ChordPageController::sendToPlayPage() { sendChord(Page::PlayPage); }

void ChordPageController::sendChord(Page target)
{
    if (const pages::DiagramRecord* source = clickedChord()) {
        m_s.transfer.pendingDiagram = *source;
        emit pageRequested(target, pages::Placement::Place);
    }
}

void ChordPageController::showArpeggioHere()
{
    // The item acts on the diagram under the mouse, picked first just as a left click there picks
    // it, so the arpeggio is laid over the fingering it belongs to.
    if (m_model.clicked.isSet())
        selectAndShow(m_model.clicked);
    m_s.fretboard.toggleShowArpeggio();
}

}  // namespace strumox::app
