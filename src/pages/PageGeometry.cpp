#include "pages/PageGeometry.h"

namespace strumox::pages {

PixelSize pictureSize(Page page)
{
    switch (page) {
    case Page::Chords: return {772, 800};
    case Page::ChordDesign: return {};
    case Page::PlayPage: return {772, 3335};
    case Page::Print: return {772, 800};
    case Page::Scales: return {776, 800};
    case Page::Tablature: return {772, 800};
    }
    return {};
}

bool isGridPage(Page page) { return page == Page::Chords || page == Page::Scales || page == Page::Print; }

int rowPitch(Page page) { return page == Page::Print ? 160 : 150; }

int cellLeft(int column) { return kCellLeft + kCellPitchX * column; }

int rowTop(Page page, int row) { return rowPitch(page) * row; }

PixelPoint diagramOrigin(Page page, Cell c)
{
    return {cellLeft(c.column), rowTop(page, c.row) + (page == Page::Print ? 38 : 30)};
}

PixelPoint headerOrigin(Page page, int row) { return {kCellLeft, rowTop(page, row) + 16}; }

PixelRect selectionRect(Page page, Cell c)
{
    const int x = cellLeft(c.column);
    const int y = rowTop(page, c.row);
    if (page == Page::Print)
        return {x + 2, y + 41, x + 103, y + 160};
    return {x, y + 31, x + 105, y + 158};
}

std::optional<Cell> hitCell(Page page, int x, int y)
{
    if (!isGridPage(page) || x > kLastHitX || y > kLastHitY)
        return std::nullopt;
    // Truncation toward zero puts the margin before the first cell into it.
    const Cell c{(x - kCellLeft) / kCellPitchX, (y - kCellLeft) / rowPitch(page)};
    if (c.column < 0 || c.column >= kGridColumns || c.row < 0 || c.row >= kGridRows)
        return std::nullopt;
    return c;
}

}  // namespace strumox::pages
