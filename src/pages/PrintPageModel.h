#pragma once
// The Print page: a free arrangement of up to thirty chord and scale diagrams, with the rules
// for placing, moving and deleting them.
#include <array>
#include <optional>

#include "pages/PageGeometry.h"
#include "pages/PrintRecord.h"

namespace strumox::pages {

class PrintPageModel {
public:
    const PrintRecord& cell(Cell c) const { return m_cells[size_t(c.row)][size_t(c.column)]; }
    void setCell(Cell c, const PrintRecord& r) { m_cells[size_t(c.row)][size_t(c.column)] = r; }
    // The first filled cell in row order, if any.
    std::optional<Cell> firstFilled() const;
    bool anyFilled() const { return firstFilled().has_value(); }
    void erase();

    Cell selected;
    Cell clicked;
    PrintRecord selection;

    // Selects a filled cell; false (nothing changes) on an empty cell or the one already selected.
    bool select(Cell c);
    // The cell the red frame marks: the selected one while it holds its diagram. A Move that
    // lifts the selected diagram leaves no frame on the emptied cell; the frame comes back with
    // the diagram, where it lands or where it is put back.
    Cell frameCell() const;

    // Whether placing into `c` must first ask "Do you want to replace this diagram?".
    bool placeNeedsQuestion(Cell c) const { return !cell(c).isEmpty(); }
    // Puts a diagram into `c` and selects it; a move in progress ends there.
    void place(Cell c, const PrintRecord& r);

    // Move, first half: takes the diagram out of `c` and carries it until place() or putBack().
    // Returns the diagram carried; nothing for an empty cell.
    std::optional<PrintRecord> lift(Cell c);
    bool isCarrying() const { return m_liftedFrom.has_value(); }
    // A move that ends without a place (a page change, a right click): the carried diagram goes
    // back to the cell it came from, so it is never lost.
    void putBack();

    // Empties a cell. When it held the selection, the first filled cell becomes the selection;
    // false when there is none (the caller erases the page).
    bool remove(Cell c);

private:
    void emptyCell(Cell c) { m_cells[size_t(c.row)][size_t(c.column)].empty = 1; }

    std::array<std::array<PrintRecord, kGridColumns>, kGridRows> m_cells{};
    std::optional<Cell> m_liftedFrom;
    PrintRecord m_carried;
};

}  // namespace strumox::pages
