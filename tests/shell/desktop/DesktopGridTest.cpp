// The desktop grid as tables: cells column by column, placement that fills freed cells, points to
// cells, and the arrow keys' nearest occupied cell.

#include <gtest/gtest.h>

#include <initializer_list>

#include "shell/desktop/DesktopGrid.h"
#include "tests/support/RectAssertions.h"

using namespace veyra;

namespace {

constexpr RECT kPanel{0, 25, 830, 625};

DesktopGrid GridWith(int columns, int rows, std::initializer_list<int> occupied)
{
    DesktopGrid grid;
    grid.Layout(columns, rows, kPanel);
    int cursor = 0;
    for (const int index : occupied) {
        EXPECT_TRUE(grid.Mark(grid.Cells()[static_cast<size_t>(index)].rect, 1, cursor));
    }
    return grid;
}

int OccupiedCount(const DesktopGrid& grid)
{
    int count = 0;
    for (const DesktopCell& cell : grid.Cells()) {
        count += cell.occupied;
    }
    return count;
}

TEST(DesktopGrid, CellsRunDownEachColumnBelowTheTitleStrip)
{
    const DesktopGrid grid = GridWith(11, 6, {});
    ASSERT_EQ(grid.Count(), 66);
    struct Case {
        int index;
        RECT rect;
    } const cases[] = {
        {0, {5, 30, 79, 118}},
        {1, {5, 123, 79, 211}},
        {5, {5, 495, 79, 583}},
        {6, {79, 30, 153, 118}},
        {65, {745, 495, 819, 583}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(test::SameRect(grid.Cells()[static_cast<size_t>(c.index)].rect, c.rect)) << "cell " << c.index;
    }
    DesktopGrid none;
    none.Layout(0, 6, kPanel);
    EXPECT_EQ(none.Count(), 0);
    int cursor = 0;
    RECT out{};
    EXPECT_FALSE(none.PlaceNext(cursor, out)) << "no grid, no cell";
}

TEST(DesktopGrid, AnEmptyDesktopPlacesItsFirstIconTopLeftAndMarksOneCell)
{
    DesktopGrid grid = GridWith(11, 6, {});
    int cursor = 0;
    RECT cell{};
    ASSERT_TRUE(grid.PlaceNext(cursor, cell));
    EXPECT_TRUE(test::SameRect(cell, (RECT{5, 30, 79, 118})));
    EXPECT_EQ(cursor, 1);
    EXPECT_EQ(OccupiedCount(grid), 1);
    EXPECT_TRUE(grid.IsOccupied(0));
}

TEST(DesktopGrid, PlacementFillsFreedCellsBeforeGoingOn)
{
    struct Case {
        const char* name;
        int freed;
        int nextCells[2];
    } const cases[] = {
        {"the cell just below the cursor", 4, {4, 5}},
        {"a cell further below", 1, {1, 5}},
        {"the first cell", 0, {0, 5}},
    };
    for (const Case& c : cases) {
        DesktopGrid grid = GridWith(2, 3, {});
        int cursor = 0;
        RECT cell{};
        for (int placed = 0; placed < 5; ++placed) {
            ASSERT_TRUE(grid.PlaceNext(cursor, cell));
        }
        ASSERT_TRUE(grid.Mark(grid.Cells()[static_cast<size_t>(c.freed)].rect, 0, cursor)) << c.name;
        for (const int expected : c.nextCells) {
            ASSERT_TRUE(grid.PlaceNext(cursor, cell)) << c.name;
            EXPECT_EQ(grid.IndexAt(cell.left, cell.top), expected) << c.name;
        }
        EXPECT_FALSE(grid.PlaceNext(cursor, cell)) << c.name << ": the grid is full";
        EXPECT_EQ(OccupiedCount(grid), 6) << c.name;
    }
    DesktopGrid grid = GridWith(2, 3, {});
    int cursor = 0;
    EXPECT_FALSE(grid.Mark(RECT{6, 30, 80, 118}, 0, cursor)) << "no cell starts there";
    cursor = -1;
    RECT cell{};
    EXPECT_FALSE(grid.PlaceNext(cursor, cell)) << "a negative cursor places nothing";
}

TEST(DesktopGrid, PointsFallInTheCellsOfThePanelAboveTheTaskbar)
{
    // 11 x 6 over a 600-pixel panel: cells of (600 - 40) / 6 = 93 pixels down, 74 across.
    const DesktopGrid grid = GridWith(11, 6, {7});
    struct Case {
        POINT point;
        int index;
        bool free;
    } const cases[] = {
        {{10, 10}, 0, true},     {{80, 100}, 7, false},  {{80, 200}, 8, true}, {{813, 557}, 65, true},
        {{0, 50}, -1, false},    {{50, 0}, -1, false},   {{820, 50}, -1, false}, {{50, 560}, -1, false},
        {{-5, 50}, -1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(grid.IndexFromPoint(c.point), c.index) << c.point.x << "," << c.point.y;
        RECT out{};
        EXPECT_EQ(grid.FreeCellAt(c.point, out), c.free) << c.point.x << "," << c.point.y;
        if (c.free) {
            EXPECT_TRUE(test::SameRect(out, grid.Cells()[static_cast<size_t>(c.index)].rect));
        }
    }
}

TEST(DesktopGrid, ArrowKeysGoToTheNearestOccupiedCellInTheirDirection)
{
    struct Case {
        const char* name;
        std::initializer_list<int> occupied;
        UINT key;
        int from;
        int target;
    } const cases[] = {
        {"right to the next column", {2, 7, 12}, VK_RIGHT, 2, 7},
        {"right past an empty column", {2, 12}, VK_RIGHT, 2, 12},
        {"right with nothing there", {2, 6, 8}, VK_RIGHT, 2, -1},
        {"left to column 0", {2, 12}, VK_LEFT, 12, 2},
        {"left from column 0", {2, 7}, VK_LEFT, 2, -1},
        {"up past a gap", {0, 3}, VK_UP, 3, 0},
        {"up in row 0", {5, 4}, VK_UP, 5, -1},
        {"down in the last row", {4, 5}, VK_DOWN, 4, -1},
        {"down within the column only", {3, 5}, VK_DOWN, 3, -1},
        {"down past a gap", {1, 4}, VK_DOWN, 1, 4},
        {"no current cell", {0, 1}, VK_DOWN, -1, -1},
        {"another key", {0, 1}, VK_HOME, 0, -1},
    };
    for (const Case& c : cases) {
        const DesktopGrid grid = GridWith(3, 5, c.occupied);
        EXPECT_EQ(grid.ArrowTarget(c.key, c.from), c.target) << c.name;
    }
}

}  // namespace
