#pragma once
// The six pages of the page control, and where things sit on the pictures of the three grid
// pages (Chords, Scales, Print): picture sizes, cells, headers, the red selection frame and the
// cell under a click. Painters, hit-testing, scrolling and the window all take it from here.
// Page-picture pixels, origin top-left.
#include <optional>

namespace strumox::pages {

// The tabs of the page control, in tab order.
enum class Page { Chords = 0, ChordDesign, PlayPage, Print, Scales, Tablature };
constexpr int kPageCount = 6;

struct PixelSize {
    int width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};

struct PixelPoint {
    int x = 0, y = 0;
    bool operator==(const PixelPoint&) const = default;
};

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // inclusive corners as drawn
    bool operator==(const PixelRect&) const = default;
};

// The picture a page's scroll box shows; empty for the Chord Design page, which lays out
// controls of its own.
PixelSize pictureSize(Page page);

// Chords, Scales and Print: pages of 6 x 5 cells of small diagrams.
bool isGridPage(Page page);
constexpr int kGridColumns = 6;
constexpr int kGridRows = 5;

struct Cell {
    int column = -1;
    int row = -1;
    bool isSet() const { return column >= 0 && row >= 0; }
    bool operator==(const Cell&) const = default;
};

// Column c starts at x = kCellLeft + kCellPitchX * c on every grid page; row r at y = rowTop.
constexpr int kCellLeft = 20;
constexpr int kCellPitchX = 120;
int rowPitch(Page page);  // 150, or 160 on the Print page
int cellLeft(int column);
int rowTop(Page page, int row);

// Top-left corner of a cell's 105 x 120 diagram: 30 below the row top (38 on the Print page,
// whose text lines sit above the diagram).
PixelPoint diagramOrigin(Page page, Cell cell);
// Top-left of the header the Chords and Scales pages write over each row.
PixelPoint headerOrigin(Page page, int row);
// The red frame around a selected cell.
PixelRect selectionRect(Page page, Cell cell);

// The last column and line of the picture that still takes clicks (inclusive).
constexpr int kLastHitX = 740;
constexpr int kLastHitY = 770;
// The cell under a click; nothing right of kLastHitX, below kLastHitY or outside the grid.
// The margin left of and above the first cell counts as that cell.
std::optional<Cell> hitCell(Page page, int x, int y);

}  // namespace strumox::pages
