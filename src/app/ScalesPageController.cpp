#include "app/ScalesPageController.h"

#include <QMenu>
#include <QPainter>

#include "app/FretboardController.h"
#include "app/PictureWidget.h"
#include "app/TdlgBeginFret.h"
#include "app/pictures/PagePictures.h"
#include "pages/RecordConversions.h"

namespace strumox::app {

using pages::Cell;
using pages::Page;
using pages::Placement;

ScalesPageController::ScalesPageController(GridPageServices services, TdlgBeginFret& beginFretDialog, QWidget* parent)
    : GridPageController(Page::Scales, services, parent),
      m_beginFret(beginFretDialog)
{
    m_picture->setObjectName("imgScales");
    popmenuScales = new QMenu(m_picture);
    popmenuScales->setObjectName("popmenuScales");
    for (const bool fromRoot : {false, true}) {
        QAction* a = fromRoot ? addItem(popmenuScales, "pmenu5PlayFromRoot", "Play Scale From Root")
                              : addItem(popmenuScales, "pmenu5PlayDiagram", "Play This Diagram");
        connect(a, &QAction::triggered, this, [this, fromRoot] {
            if (m_model.select(m_model.clicked)) {
                redraw();
                showSelection();
            }
            if (pressPlay)
                pressPlay(fromRoot);
        });
    }
    connect(addItem(popmenuScales, "pmenu5ToPrint", "Send To Print Page"), &QAction::triggered, this,
            &ScalesPageController::sendToPrintPage);
    connect(addItem(popmenuScales, "pmenu5StartFret", "Change Beginning Fret"), &QAction::triggered, this,
            &ScalesPageController::changeBeginningFret);
}

void ScalesPageController::paint(QPainter& p)
{
    pictures::paintScalesPage(p, m_model, paintContext());
}

int ScalesPageController::shownBeginFret(bool pageActive) const
{
    const int column = pageActive && m_model.selected.isSet() ? m_model.selected.column : 0;
    return m_model.selection.beginFret[size_t(column)];
}

void ScalesPageController::showSelection()
{
    m_s.fretboard.showScale(m_model.selection, shownBeginFret(m_s.fretboard.activePage() == Page::Scales), m_s.scaleSpan);
}

void ScalesPageController::pressed(int x, int y, Qt::MouseButton button)
{
    const auto cell = pages::hitCell(Page::Scales, x, y);
    if (!cell)
        return;
    if (m_s.transfer.mode(Page::Scales) != Placement::None) {
        place(cell->row, button);
        return;
    }
    if (cell->row >= m_model.rowCount())
        return;
    m_model.clicked = *cell;
    if (button == Qt::RightButton) {
        popup(popmenuScales);
        return;
    }
    if (m_model.select(*cell)) {
        redraw();
        showSelection();
    }
}

void ScalesPageController::place(int targetRow, Qt::MouseButton button)
{
    const pages::PrintRecord& pending = m_s.transfer.pendingPrint;
    if (button == Qt::RightButton || pending.isEmpty()) {
        endPlacement();
        return;
    }
    if (m_model.placeNeedsQuestion(targetRow) &&
        m_s.prompter.askYesNo("Do you want to replace this row of diagrams?") != session::Answer::Yes)
        return;
    const int row = m_model.placeRow(targetRow, pages::printToScale(pending));
    scrollTo(pages::rowTop(Page::Scales, row));
    endPlacement();
    redraw();
    showSelection();
}

bool ScalesPageController::addRow(const pages::ScaleRecord& row)
{
    if (!m_model.addRow(row))
        return false;
    scrollTo(pages::rowTop(Page::Scales, m_model.rowCount() - 1));
    redraw();
    showSelection();
    return true;
}

void ScalesPageController::writeFile(const std::string& path) const
{
    pages::ScalePageFile file;
    for (int row = 0; row < pages::kGridRows; ++row)
        file.rows[static_cast<size_t>(row)] = m_model.row(row);
    pages::writeScalePageFile(path, file);
}

bool ScalesPageController::readFile(const std::string& path, std::string* error)
{
    const auto file = pages::readScalePageFile(path, error);
    if (!file)
        return false;
    endPlacement();
    m_model.erase();
    // Rows are read up to the first empty one; nothing after it is taken.
    for (int row = 0; row < pages::kGridRows && !file->rows[static_cast<size_t>(row)].isEmpty(); ++row)
        m_model.row(row) = file->rows[static_cast<size_t>(row)];
    m_model.recount();
    if (m_model.rowCount() > 0) {
        m_model.clicked = Cell{0, 0};
        m_model.select(Cell{0, 0});
    }
    scrollTo(0);
    redraw();
    if (m_s.fretboard.activePage() == Page::Scales)
        showSelection();
    return true;
}

void ScalesPageController::erase()
{
    m_model.erase();
    scrollTo(0);
    redraw();
    m_s.fretboard.clearDisplay();
    emit titleCleared();
}

void ScalesPageController::sendToPrintPage()
{
    const Cell c = m_model.clicked;
    if (!c.isSet() || m_model.row(c.row).isEmpty())
        return;
    const pages::ScaleRecord& row = m_model.row(c.row);
    m_s.transfer.pendingPrint = pages::scaleToPrint(row, row.beginFret[size_t(c.column)]);
    emit pageRequested(Page::Print, Placement::Place);
}

void ScalesPageController::changeBeginningFret()
{
    const Cell c = m_model.clicked;
    if (!c.isSet() || c.row >= m_model.rowCount())
        return;
    const int old = m_model.row(c.row).beginFret[size_t(c.column)];
    if (auto fret = m_beginFret.ask(old); fret && *fret != old)
        applyBeginningFret(c, *fret);
}

void ScalesPageController::applyBeginningFret(Cell c, int fret)
{
    m_model.setBeginFret(c, fret);
    redraw();
    if (c == m_model.selected && !m_s.fretboard.showFullFretboard())
        showSelection();
}

}  // namespace strumox::app
