#include "pages/PrintPageModel.h"

namespace strumox::pages {

std::optional<Cell> PrintPageModel::firstFilled() const
{
    for (int r = 0; r < kGridRows; ++r)
        for (int c = 0; c < kGridColumns; ++c)
            if (!m_cells[size_t(r)][size_t(c)].isEmpty())
                return Cell{c, r};
    return std::nullopt;
}

void PrintPageModel::erase()
{
    for (auto& row : m_cells)
        for (PrintRecord& r : row)
            r.empty = 1;
    selected = clicked = Cell{};
    selection = PrintRecord{};
    m_liftedFrom.reset();
}

bool PrintPageModel::select(Cell c)
{
    if (cell(c).isEmpty() || c == selected)
        return false;
    selected = c;
    selection = cell(c);
    return true;
}

Cell PrintPageModel::frameCell() const
{
    return selected.isSet() && !cell(selected).isEmpty() ? selected : Cell{};
}

void PrintPageModel::place(Cell c, const PrintRecord& r)
{
    setCell(c, r);
    selected = clicked = c;
    selection = r;
    m_liftedFrom.reset();
}

std::optional<PrintRecord> PrintPageModel::lift(Cell c)
{
    if (cell(c).isEmpty())
        return std::nullopt;
    m_carried = cell(c);
    m_liftedFrom = c;
    emptyCell(c);
    return m_carried;
}

void PrintPageModel::putBack()
{
    if (m_liftedFrom && cell(*m_liftedFrom).isEmpty())
        setCell(*m_liftedFrom, m_carried);
    m_liftedFrom.reset();
}

bool PrintPageModel::remove(Cell c)
{
    emptyCell(c);
    if (c != selected)
        return true;
    const auto first = firstFilled();
    if (!first)
        return false;
    selected = clicked = *first;
    selection = cell(*first);
    return true;
}

}  // namespace strumox::pages
