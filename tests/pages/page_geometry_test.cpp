// Where the grid pages put their cells and which cell a click lands on, checked as properties
// over every cell and every pixel of the pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "pages/PageGeometry.h"

using namespace strumox::pages;

namespace {

constexpr std::array kGridPages{Page::Chords, Page::Scales, Page::Print};
constexpr int kDiagramWidth = 105;
constexpr int kDiagramHeight = 120;

int columnAt(Page page, int x, int y)
{
    const auto c = hitCell(page, x, y);
    return c ? c->column : -1;
}

int rowAt(Page page, int x, int y)
{
    const auto c = hitCell(page, x, y);
    return c ? c->row : -1;
}

PixelPoint diagramCentre(Page page, Cell c)
{
    const PixelPoint o = diagramOrigin(page, c);
    return {o.x + kDiagramWidth / 2, o.y + kDiagramHeight / 2};
}

// Pixels the painter draws for a frame: from (left, top) through (right - 1, bottom - 1).
bool frameContains(const PixelRect& r, PixelPoint p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The band of positions along one axis taking each index, with the checks every band shares:
// index 0 from the first pixel on, each following index straight after, no index skipped or
// repeated, nothing after the last hit.
std::vector<std::pair<int, int>> bandsAlong(const std::vector<int>& hits, int count)
{
    std::vector<std::pair<int, int>> bands;
    EXPECT_EQ(hits.front(), 0);
    for (int at = 0; at < int(hits.size()); ++at) {
        const int h = hits[size_t(at)];
        if (h < 0) {
            EXPECT_TRUE(std::all_of(hits.begin() + at, hits.end(), [](int v) { return v < 0; })) << "hit after " << at;
            break;
        }
        if (bands.empty() || h != int(bands.size()) - 1) {
            EXPECT_EQ(h, int(bands.size())) << "at " << at;
            bands.emplace_back(at, at);
        }
        bands.back().second = at;
    }
    EXPECT_EQ(int(bands.size()), count);
    return bands;
}

}  // namespace

// ---- The layout's anchors: first diagram and pitches
TEST(GridLayout, DiagramsStepByColumnAndRowPitchFromTheFirstOne)
{
    EXPECT_EQ(diagramOrigin(Page::Chords, {0, 0}), (PixelPoint{20, 30}));
    EXPECT_EQ(diagramOrigin(Page::Scales, {0, 0}), (PixelPoint{20, 30}));
    EXPECT_EQ(diagramOrigin(Page::Print, {0, 0}), (PixelPoint{20, 38}));
    EXPECT_EQ(rowPitch(Page::Chords), 150);
    EXPECT_EQ(rowPitch(Page::Scales), 150);
    EXPECT_EQ(rowPitch(Page::Print), 160);
    for (Page page : kGridPages)
        for (int r = 0; r < kGridRows; ++r)
            for (int c = 0; c < kGridColumns; ++c) {
                const PixelPoint first = diagramOrigin(page, {0, 0});
                EXPECT_EQ(diagramOrigin(page, {c, r}), (PixelPoint{first.x + 120 * c, first.y + rowPitch(page) * r}));
            }
}

// ---- Clicks on a diagram select it (every pixel of it: see the band checks below)
TEST(GridHitTest, ClickAtEachDiagramCentreHitsThatCell)
{
    for (Page page : kGridPages)
        for (int r = 0; r < kGridRows; ++r)
            for (int c = 0; c < kGridColumns; ++c)
                EXPECT_EQ(hitCell(page, diagramCentre(page, {c, r}).x, diagramCentre(page, {c, r}).y), (Cell{c, r}));
}

// ---- The right and bottom edges of the clickable area
TEST(GridHitTest, LastClickableColumnIs739OnEveryGridPageAndRow)
{
    // Column 5's band ends at 739; from x = kLastHitX on the click lies right of the grid.
    for (Page page : kGridPages)
        for (int r : {0, 2, 4}) {
            const int y = diagramCentre(page, {0, r}).y;
            EXPECT_EQ(hitCell(page, 739, y), (Cell{5, r}));
            for (int x = kLastHitX; x < pictureSize(page).width + 40; ++x)
                EXPECT_FALSE(hitCell(page, x, y)) << int(page) << " x " << x << " row " << r;
        }
}

TEST(GridHitTest, LastClickableLineIsTheLimitOnPrintAndRowFourEndsOnTheOthers)
{
    // The Print page's last row is cut by kLastHitY; on the others it ends at its own band.
    for (int c : {0, 3, 5}) {
        EXPECT_EQ(hitCell(Page::Print, diagramCentre(Page::Print, {c, 0}).x, kLastHitY), (Cell{c, 4}));
        EXPECT_FALSE(hitCell(Page::Print, diagramCentre(Page::Print, {c, 0}).x, kLastHitY + 1));
        for (Page page : {Page::Chords, Page::Scales}) {
            EXPECT_EQ(hitCell(page, diagramCentre(page, {c, 0}).x, kLastHitY - 1), (Cell{c, 4}));
            EXPECT_FALSE(hitCell(page, diagramCentre(page, {c, 0}).x, kLastHitY));
        }
        for (Page page : kGridPages)
            for (int y = kLastHitY + 1; y < pictureSize(page).height + 40; ++y)
                EXPECT_FALSE(hitCell(page, diagramCentre(page, {c, 0}).x, y)) << int(page) << " y " << y;
    }
}

// ---- Hit bands: the margin joins the first cell, then one band per column and row
TEST(GridHitTest, EachColumnTakesOne120PixelBandAndTheLeftMarginJoinsColumnZero)
{
    for (Page page : kGridPages)
        for (int r = 0; r < kGridRows; ++r) {
            std::vector<int> hits;
            for (int x = 0; x < pictureSize(page).width; ++x)
                hits.push_back(columnAt(page, x, diagramCentre(page, {0, r}).y));
            const auto bands = bandsAlong(hits, kGridColumns);
            ASSERT_EQ(int(bands.size()), kGridColumns);
            for (int c = 0; c < kGridColumns; ++c) {
                EXPECT_EQ(bands[size_t(c)].first, c == 0 ? 0 : cellLeft(c)) << int(page) << " column " << c;
                EXPECT_EQ(bands[size_t(c)].second, cellLeft(c) + 119) << int(page) << " column " << c;
            }
        }
}

TEST(GridHitTest, EachRowTakesOneRowPitchBandHoldingItsDiagramTopAndTheTopMarginJoinsRowZero)
{
    for (Page page : kGridPages)
        for (int c = 0; c < kGridColumns; ++c) {
            std::vector<int> hits;
            for (int y = 0; y < pictureSize(page).height; ++y)
                hits.push_back(rowAt(page, diagramCentre(page, {c, 0}).x, y));
            const auto bands = bandsAlong(hits, kGridRows);
            ASSERT_EQ(int(bands.size()), kGridRows);
            for (int r = 0; r < kGridRows; ++r) {
                const auto [top, bottom] = bands[size_t(r)];
                EXPECT_LE(top, diagramOrigin(page, {c, r}).y);
                EXPECT_GE(bottom, std::min(diagramOrigin(page, {c, r}).y + kDiagramHeight - 1, kLastHitY));
                if (r > 0 && r < kGridRows - 1) {
                    EXPECT_EQ(bottom - top + 1, rowPitch(page)) << int(page) << " row " << r;
                }
            }
        }
}

TEST(GridHitTest, ColumnDependsOnlyOnXAndRowOnlyOnY)
{
    for (Page page : kGridPages) {
        const PixelSize size = pictureSize(page);
        std::vector<int> columns, rows;
        for (int x = 0; x < size.width; ++x)
            columns.push_back(columnAt(page, x, 100));
        for (int y = 0; y < size.height; ++y)
            rows.push_back(rowAt(page, 100, y));
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                const auto hit = hitCell(page, x, y);
                const bool inside = columns[size_t(x)] >= 0 && rows[size_t(y)] >= 0;
                ASSERT_EQ(hit.has_value(), inside) << int(page) << " at " << x << "," << y;
                if (hit) {
                    ASSERT_EQ(*hit, (Cell{columns[size_t(x)], rows[size_t(y)]}));
                }
            }
    }
}

TEST(GridHitTest, PagesWithoutAGridHitNothing)
{
    for (int p = 0; p < kPageCount; ++p) {
        const Page page = static_cast<Page>(p);
        EXPECT_EQ(isGridPage(page), page == Page::Chords || page == Page::Scales || page == Page::Print);
        if (isGridPage(page))
            continue;
        for (int y = 0; y <= 800; ++y)
            for (int x = 0; x <= 800; ++x)
                ASSERT_FALSE(hitCell(page, x, y)) << p << " at " << x << "," << y;
    }
}

// ---- The selection frame
TEST(SelectionFrame, FramesItsDiagramInsideItsOwnBandAndNeverOverlapsANeighbour)
{
    for (Page page : kGridPages)
        for (int r = 0; r < kGridRows; ++r)
            for (int c = 0; c < kGridColumns; ++c) {
                const PixelRect f = selectionRect(page, {c, r});
                const PixelPoint o = diagramOrigin(page, {c, r});
                const PixelRect d{o.x, o.y, o.x + kDiagramWidth, o.y + kDiagramHeight};
                // Each side lies close to the diagram's side; each box holds the other's centre.
                EXPECT_LE(std::abs(f.left - d.left), 10);
                EXPECT_LE(std::abs(f.right - d.right), 10);
                EXPECT_LE(std::abs(f.top - d.top), 10);
                EXPECT_LE(std::abs(f.bottom - d.bottom), 10);
                EXPECT_TRUE(frameContains(f, diagramCentre(page, {c, r})));
                EXPECT_TRUE(frameContains(d, {(f.left + f.right) / 2, (f.top + f.bottom) / 2}));
                // A click on any corner of the frame selects this cell (where clicks count).
                for (int x : {f.left, f.right - 1})
                    for (int y : {f.top, std::min(f.bottom - 1, kLastHitY)})
                        EXPECT_EQ(hitCell(page, x, y), (Cell{c, r})) << int(page) << " corner " << x << "," << y;
                for (int r2 = 0; r2 < kGridRows; ++r2)
                    for (int c2 = 0; c2 < kGridColumns; ++c2) {
                        if (Cell{c2, r2} == Cell{c, r})
                            continue;
                        const PixelRect g = selectionRect(page, {c2, r2});
                        const bool overlap = f.left < g.right && g.left < f.right && f.top < g.bottom && g.top < f.bottom;
                        EXPECT_FALSE(overlap) << int(page) << " (" << c << "," << r << ") (" << c2 << "," << r2 << ")";
                    }
            }
}

// ---- Row headers and picture sizes
TEST(GridLayout, RowHeaderSitsBetweenThePreviousRowAndItsOwnDiagramsAndFrames)
{
    for (Page page : {Page::Chords, Page::Scales})
        for (int r = 0; r < kGridRows; ++r) {
            const PixelPoint h = headerOrigin(page, r);
            EXPECT_EQ(h.x, diagramOrigin(page, {0, r}).x);
            EXPECT_LT(h.y, diagramOrigin(page, {0, r}).y);
            EXPECT_LT(h.y, selectionRect(page, {0, r}).top);
            if (r > 0) {
                EXPECT_GE(h.y, diagramOrigin(page, {0, r - 1}).y + kDiagramHeight);
                EXPECT_GE(h.y, selectionRect(page, {0, r - 1}).bottom);
            }
        }
}

TEST(GridLayout, PictureHoldsEveryDiagramFrameAndTheClickableArea)
{
    for (Page page : kGridPages) {
        const PixelSize size = pictureSize(page);
        EXPECT_LT(kLastHitX, size.width);
        EXPECT_LT(kLastHitY, size.height);
        for (int r = 0; r < kGridRows; ++r)
            for (int c = 0; c < kGridColumns; ++c) {
                const PixelPoint o = diagramOrigin(page, {c, r});
                const PixelRect f = selectionRect(page, {c, r});
                EXPECT_TRUE(o.x >= 0 && o.y >= 0 && o.x + kDiagramWidth <= size.width && o.y + kDiagramHeight <= size.height)
                    << int(page) << " diagram " << c << "," << r;
                EXPECT_TRUE(f.left >= 0 && f.top >= 0 && f.right <= size.width && f.bottom <= size.height)
                    << int(page) << " frame " << c << "," << r;
            }
    }
}
