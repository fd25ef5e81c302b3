#include "pages/ChordPageModel.h"

namespace strumox::pages {

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

}  // namespace strumox::pages
