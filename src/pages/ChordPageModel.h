#pragma once
// The Chords page: up to five sets of six fingerings from the chord finder, one set a row.
#include <array>

#include "pages/DiagramRecord.h"
#include "pages/PageGeometry.h"

namespace strumox::pages {

class ChordPageModel {
public:
    using Set = std::array<DiagramRecord, kGridColumns>;

    int setCount() const { return m_setCount; }
    bool isFull() const { return m_setCount >= kGridRows; }
    const DiagramRecord& slot(Cell c) const { return m_slots[size_t(c.row)][size_t(c.column)]; }
    const DiagramRecord& slot(int column, int row) const { return m_slots[size_t(row)][size_t(column)]; }

    // Adds a set in the next free row and selects its first diagram; false when five are there.
    bool addSet(const Set& set);
    // Rebuilds the set count as drawing does after a file is read: sets are counted from row 0
    // until the first one that is not complete.
    void recount();
    void setSlot(Cell c, const DiagramRecord& d) { m_slots[size_t(c.row)][size_t(c.column)] = d; }
    void erase();

    Cell selected;  // (-1, -1) none
    Cell clicked;
    DiagramRecord selection;  // copy of the selected diagram; empty when none

    // Selects a cell of a filled set; false (nothing changes) on a row beyond the sets or on the
    // cell already selected.
    bool select(Cell c);

private:
    std::array<Set, kGridRows> m_slots{};
    int m_setCount = 0;
};

}  // namespace strumox::pages
