#pragma once
// The three grid pages of small diagrams: Chords (sets of six fingerings), Scales (rows of six
// positions of one scale) and Print (a free arrangement). Models only: what each cell holds, which
// cell is selected, where a click lands. Pixels are page-picture pixels.
#include <array>
#include <optional>

#include "pages/DiagramRecord.h"
#include "pages/ScaleRecord.h"

namespace strumox::pages {

enum class GridPage { Chords, Scales, Print };

constexpr int kGridColumns = 6;
constexpr int kGridRows = 5;

struct Cell {
    int column = -1;
    int row = -1;
    bool isSet() const { return column >= 0 && row >= 0; }
    bool operator==(const Cell&) const = default;
};

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // inclusive corners as drawn
    bool operator==(const PixelRect&) const = default;
};

// Picture sizes of the three pages.
constexpr int kChordPageWidth = 772, kChordPageHeight = 800;
constexpr int kScalesPageWidth = 776, kScalesPageHeight = 800;
constexpr int kPrintPageWidth = 772, kPrintPageHeight = 800;

int rowPitch(GridPage page);  // 150, or 160 on the Print page
// The cell under a click; nothing for x > 740, y > 770 or outside the 6 x 5 grid.
std::optional<Cell> hitCell(GridPage page, int x, int y);
// The red frame around a selected cell.
PixelRect selectionRect(GridPage page, Cell cell);
// Top-left corner of a cell's 105 x 120 diagram.
struct PixelPoint {
    int x = 0, y = 0;
};
PixelPoint diagramOrigin(GridPage page, Cell cell);

// --- Chord page -------------------------------------------------------------------------------
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

// --- Scales page ------------------------------------------------------------------------------
class ScalesPageModel {
public:
    int rowCount() const { return m_rowCount; }
    bool isFull() const { return m_rowCount >= kGridRows; }
    const ScaleRecord& row(int r) const { return m_rows[size_t(r)]; }
    ScaleRecord& row(int r) { return m_rows[size_t(r)]; }

    // Adds a row in the next free place, selects its first position; false when five are there.
    bool addRow(const ScaleRecord& r);
    // Placement of a scale: the target row is lowered to the first free row when it lies beyond
    // the filled rows; the beginning frets are reset to the defaults. Returns the row used.
    int placeRow(int targetRow, const ScaleRecord& r);
    void recount();
    void erase();

    Cell selected;
    Cell clicked;
    ScaleRecord selection;

    bool select(Cell c);

private:
    std::array<ScaleRecord, kGridRows> m_rows{};
    int m_rowCount = 0;
};

// --- Print page -------------------------------------------------------------------------------
class PrintPageModel {
public:
    const PrintRecord& cell(Cell c) const { return m_cells[size_t(c.row)][size_t(c.column)]; }
    void setCell(Cell c, const PrintRecord& r) { m_cells[size_t(c.row)][size_t(c.column)] = r; }
    void emptyCell(Cell c) { m_cells[size_t(c.row)][size_t(c.column)].empty = 1; }
    // The first filled cell in row order, if any.
    std::optional<Cell> firstFilled() const;
    bool anyFilled() const { return firstFilled().has_value(); }
    void erase();

    Cell selected;
    Cell clicked;
    PrintRecord selection;

    bool select(Cell c);

private:
    std::array<std::array<PrintRecord, kGridColumns>, kGridRows> m_cells{};
};

}  // namespace strumox::pages
