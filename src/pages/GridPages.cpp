#include "pages/GridPages.h"

namespace strumox::pages {

int rowPitch(GridPage page) { return page == GridPage::Print ? 160 : 150; }

std::optional<Cell> hitCell(GridPage page, int x, int y)
{
    if (x > 740 || y > 770)
        return std::nullopt;
    // Truncation toward zero: the margin left of and above the first cell counts as that cell.
    const Cell c{(x - 20) / 120, (y - 20) / rowPitch(page)};
    if (c.column < 0 || c.column >= kGridColumns || c.row < 0 || c.row >= kGridRows)
        return std::nullopt;
    return c;
}

PixelRect selectionRect(GridPage page, Cell c)
{
    if (page == GridPage::Print)
        return {120 * c.column + 22, 160 * c.row + 41, 120 * c.column + 123, 160 * c.row + 160};
    return {120 * c.column + 20, 150 * c.row + 31, 120 * c.column + 125, 150 * c.row + 158};
}

PixelPoint diagramOrigin(GridPage page, Cell c)
{
    if (page == GridPage::Print)
        return {120 * c.column + 20, 160 * c.row + 38};
    return {120 * c.column + 20, 150 * c.row + 30};
}

// --- Chord page -------------------------------------------------------------------------------

bool ChordPageModel::addSet(const Set& set)
{
    if (isFull())
        return false;
    m_slots[size_t(m_setCount)] = set;
    selected = clicked = Cell{0, m_setCount};
    selection = set[0];
    ++m_setCount;
    return true;
}

void ChordPageModel::recount()
{
    m_setCount = 0;
    for (const Set& set : m_slots) {
        for (const DiagramRecord& d : set)
            if (d.isEmpty())
                return;
        ++m_setCount;
    }
}

void ChordPageModel::erase()
{
    for (Set& set : m_slots)
        for (DiagramRecord& d : set)
            d.empty = 1;
    m_setCount = 0;
    selected = clicked = Cell{};
    selection = DiagramRecord{};
}

bool ChordPageModel::select(Cell c)
{
    if (c.row >= m_setCount || c == selected)
        return false;
    selected = c;
    selection = slot(c);
    return true;
}

// --- Scales page ------------------------------------------------------------------------------

bool ScalesPageModel::addRow(const ScaleRecord& r)
{
    if (isFull())
        return false;
    m_rows[size_t(m_rowCount)] = r;
    selected = clicked = Cell{0, m_rowCount};
    selection = r;
    ++m_rowCount;
    return true;
}

int ScalesPageModel::placeRow(int targetRow, const ScaleRecord& r)
{
    const int row = targetRow > m_rowCount ? m_rowCount : targetRow;
    const bool wasEmpty = m_rows[size_t(row)].isEmpty();
    m_rows[size_t(row)] = r;
    m_rows[size_t(row)].empty = 0;
    m_rows[size_t(row)].beginFret = {1, 4, 8, 12, 16, 20};
    if (wasEmpty && row == m_rowCount)
        ++m_rowCount;
    selected = clicked = Cell{0, row};
    selection = m_rows[size_t(row)];
    return row;
}

void ScalesPageModel::recount()
{
    m_rowCount = 0;
    for (const ScaleRecord& r : m_rows) {
        if (r.isEmpty())
            return;
        ++m_rowCount;
    }
}

void ScalesPageModel::erase()
{
    for (ScaleRecord& r : m_rows)
        r.empty = 1;
    m_rowCount = 0;
    selected = clicked = Cell{};
    selection = ScaleRecord{};
}

bool ScalesPageModel::select(Cell c)
{
    if (c.row >= m_rowCount || c == selected)
        return false;
    selected = c;
    selection = m_rows[size_t(c.row)];
    return true;
}

// --- Print page -------------------------------------------------------------------------------

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
}

bool PrintPageModel::select(Cell c)
{
    if (cell(c).isEmpty() || c == selected)
        return false;
    selected = c;
    selection = cell(c);
    return true;
}

}  // namespace strumox::pages
