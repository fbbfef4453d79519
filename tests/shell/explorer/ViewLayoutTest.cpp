// The layout arithmetic without a window: grids per mode word, the next cell, hit-test shifts, scrolling
// a cell into sight, closing gaps, and the arrow keys' targets.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "shell/explorer/ViewLayout.h"
#include "shell/explorer/ViewMode.h"
#include "tests/support/RectAssertions.h"

using namespace veyra;

namespace {

TEST(ViewGridTest, CellsPerModeWord)
{
    struct Case {
        const char* name;
        std::uint32_t mode;
        int width, height;
        int columns, rows;
    } cases[] = {
        {"folder 580x354", VIEW_MODE_FOLDER, 580, 354, 7, 3},
        {"folder 9 px wide", VIEW_MODE_FOLDER, 9, 354, 0, 0},
        {"folder one column", VIEW_MODE_FOLDER, 91, 93, 1, 1},
        {"desktop 830x600", VIEW_MODE_DESKTOP, 830, 600, 11, 6},
        {"computer tiles", VIEW_MODE_COMPUTER, 580, 354, 2, 6},
        {"taskbar strip", VIEW_MODE_TASKBAR, 600, 40, 10, 1},
        {"negative width only", VIEW_MODE_FOLDER, -5, 354, 0, 0},
        {"negative height only", VIEW_MODE_COMPUTER, 580, -1, 0, 0},
        {"zero height", VIEW_MODE_DESKTOP, 830, 0, 0, 0},
        {"no layout bits", 0x10000, 580, 354, 0, 0},
    };
    for (const Case& c : cases) {
        const ViewGrid grid = ComputeViewGrid(c.mode, c.width, c.height);
        EXPECT_EQ(grid.columns, c.columns) << c.name;
        EXPECT_EQ(grid.rows, c.rows) << c.name;
    }
}

RECT Cell(LONG left, LONG top, LONG width, LONG height)
{
    return RECT{left, top, left + width, top + height};
}

TEST(PlaceNextCellTest, CellsOfEachLayout)
{
    struct Case {
        const char* name;
        std::uint32_t mode;
        int counter;
        RECT cell;
    } cases[] = {
        {"folder first", VIEW_MODE_FOLDER, 0, Cell(155, 70, 74, 88)},
        {"folder second row", VIEW_MODE_FOLDER, 4, Cell(150 + 81 + 5, 65 + 89 + 5, 74, 88)},
        {"computer tile", VIEW_MODE_COMPUTER, 4, Cell(150 + 250 + 20, 65 + 55, 250, 55)},
        {"taskbar", VIEW_MODE_TASKBAR, 2, Cell(150 + 120 + 10, 65, 60, 40)},
    };
    for (const Case& c : cases) {
        PlacementState state{{3, 9}, c.counter, 0};
        const std::optional<RECT> cell = PlaceNextCell(c.mode, state, POINT{150, 65}, false, 0);
        ASSERT_TRUE(cell.has_value()) << c.name;
        EXPECT_TRUE(test::SameRect(*cell, c.cell)) << c.name;
        EXPECT_EQ(state.counter, c.counter + 1) << c.name;
    }
}

TEST(PlaceNextCellTest, NothingWithoutAGridOrABasePlacement)
{
    for (const ViewGrid grid : {ViewGrid{0, 3}, ViewGrid{3, 0}}) {
        PlacementState state{grid, 4, 0};
        EXPECT_FALSE(PlaceNextCell(VIEW_MODE_FOLDER, state, POINT{0, 0}, false, 0).has_value());
        EXPECT_EQ(state.counter, 4);
    }
    PlacementState desktop{{5, 5}, 0, 0};
    EXPECT_FALSE(PlaceNextCell(VIEW_MODE_DESKTOP, desktop, POINT{0, 0}, false, 0).has_value());
    EXPECT_EQ(desktop.counter, 0);
}

// One fixed disk, then two CD-ROM drives as a new group, three columns: the group's first tile opens a
// row of its own and the second tile takes the next cell, not the same one.
TEST(PlaceNextCellTest, GroupStartOpensARowAndTheNextTileFollows)
{
    PlacementState state{{3, 9}, 5, 0};
    const std::optional<RECT> first = PlaceNextCell(VIEW_MODE_COMPUTER, state, POINT{0, 0}, true, 30);
    const std::optional<RECT> second = PlaceNextCell(VIEW_MODE_COMPUTER, state, POINT{0, 0}, false, 0);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(test::SameRect(*first, Cell(20, 2 * 55 + 30, 250, 55)));  // cell 6: row 2, column 0
    EXPECT_TRUE(test::SameRect(*second, Cell(270, 2 * 55 + 30, 250, 55)));  // cell 7
    EXPECT_EQ(state.counter, 8);
    EXPECT_EQ(state.groupOffset, 30);

    PlacementState aligned{{3, 9}, 3, 0};
    const std::optional<RECT> onRow = PlaceNextCell(VIEW_MODE_COMPUTER, aligned, POINT{0, 0}, true, 10);
    ASSERT_TRUE(onRow);
    EXPECT_TRUE(test::SameRect(*onRow, Cell(20, 55 + 10, 250, 55)));  // already at a row start: not moved
}

TEST(ViewPointTest, RegionsAndScrollShift)
{
    const RECT folderPanel{150, 65, 730, 419};
    const RECT maximisedPanel{150, 65, 1270, 960};
    const RECT desktopPanel{0, 25, 830, 625};
    struct Case {
        const char* name;
        std::uint32_t mode;
        RECT panel;
        int scroll;
        POINT point;
        bool hits;
        LONG shiftedY;
    } cases[] = {
        {"desktop title strip", VIEW_MODE_DESKTOP, desktopPanel, 0, {100, 24}, false, 0},
        {"desktop below the strip", VIEW_MODE_DESKTOP, desktopPanel, 0, {100, 25}, true, 25},
        {"folder above the panel", VIEW_MODE_FOLDER, folderPanel, 0, {300, 64}, false, 0},
        {"folder on the panel's top", VIEW_MODE_FOLDER, folderPanel, 0, {300, 65}, true, 65},
        {"folder below the panel", VIEW_MODE_FOLDER, folderPanel, 0, {300, 421}, false, 0},
        {"computer below the panel", VIEW_MODE_COMPUTER, folderPanel, 0, {300, 419}, false, 0},
        {"maximised lower rows", VIEW_MODE_FOLDER, maximisedPanel, 0, {300, 421}, true, 421},
        {"scrolled by 10 units", VIEW_MODE_FOLDER, folderPanel, 10, {300, 100}, true, 120},
        {"no scroll bar", VIEW_MODE_FOLDER, folderPanel, 0, {300, 100}, true, 100},
        {"taskbar has no band", VIEW_MODE_TASKBAR, RECT{0, 0, 10, 10}, 0, {5, 500}, true, 500},
    };
    for (const Case& c : cases) {
        const std::optional<POINT> shifted = ViewPointToItems(c.mode, c.point, c.panel, c.scroll);
        ASSERT_EQ(shifted.has_value(), c.hits) << c.name;
        if (shifted) {
            EXPECT_EQ(shifted->y, c.shiftedY) << c.name;
            EXPECT_EQ(shifted->x, c.point.x) << c.name;
        }
    }
}

TEST(ScrollPositionShowingTest, WholeCellInUnits)
{
    const RECT panel{150, 65, 730, 419};  // 354 high
    struct Case {
        const char* name;
        LONG cellTop;
        int position;
        int wanted;
    } cases[] = {
        {"in sight", 65 + 5, 0, 0},
        {"just fits at the bottom", 65 + 354 - 88, 0, 0},
        {"one pixel below", 65 + 354 - 87, 0, 1},
        {"far below", 65 + 5 + 89 * 10, 0, (5 + 890 + 88 - 354 + 1) / 2},
        {"above the scrolled top", 65 + 5, 50, 2},
        {"partly above", 65 + 95, 50, 47},
        {"shown while scrolled", 65 + 300, 100, 100},
    };
    for (const Case& c : cases) {
        const RECT cell{155, c.cellTop, 229, c.cellTop + 88};
        const int wanted = ScrollPositionShowing(cell, panel, c.position);
        EXPECT_EQ(wanted, c.wanted) << c.name;
        // The whole cell lies in the panel once scrolled there.
        EXPECT_GE(cell.top - panel.top, wanted * kScrollUnitPixels) << c.name;
        EXPECT_LE(cell.bottom - panel.top, wanted * kScrollUnitPixels + (panel.bottom - panel.top)) << c.name;
    }
}

TEST(ClosePlacesTest, LaterItemsTakeThePreviousCells)
{
    std::vector<ItemPlace> places;
    for (LONG index = 0; index < 5; ++index) {
        const RECT cell = Cell(5 + index * 81, 5, 74, 88);
        const LONG raised = index % 2 ? 17 : 0;  // one-line captions end 17 above the cell's bottom
        places.push_back(ItemPlace{cell, RECT{cell.left, cell.top, cell.right, cell.bottom - raised}});
    }
    struct Case {
        const char* name;
        std::vector<char> removed;
        std::vector<int> from;  // the old index of each kept item
    } cases[] = {
        {"first of five", {1, 0, 0, 0, 0}, {1, 2, 3, 4}},
        {"last", {0, 0, 0, 0, 1}, {0, 1, 2, 3}},
        {"two apart", {0, 1, 0, 1, 0}, {0, 2, 4}},
        {"none", {0, 0, 0, 0, 0}, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        const std::vector<ItemPlace> kept = ClosePlaces(places, c.removed);
        ASSERT_EQ(kept.size(), c.from.size()) << c.name;
        for (size_t index = 0; index < kept.size(); ++index) {
            const ItemPlace& old = places[static_cast<size_t>(c.from[index])];
            EXPECT_TRUE(test::SameRect(kept[index].cell, places[index].cell)) << c.name << " item " << index;
            EXPECT_EQ(kept[index].cell.bottom - kept[index].label.bottom, old.cell.bottom - old.label.bottom)
                << c.name << " item " << index;
            EXPECT_EQ(kept[index].label.top, kept[index].cell.top) << c.name;
        }
    }
}

TEST(ReorderPlacesTest, EachItemTakesTheCellOfItsNewPosition)
{
    std::vector<ItemPlace> places;
    for (LONG index = 0; index < 4; ++index) {
        const RECT cell = Cell(5 + index * 60, 5, 60, 40);
        const LONG raised = index == 1 ? 17 : 0;
        places.push_back(ItemPlace{cell, RECT{cell.left, cell.top, cell.right, cell.bottom - raised}});
    }
    struct Case {
        const char* name;
        std::vector<size_t> from;
        bool accepted;
    } const cases[] = {
        {"as they are", {0, 1, 2, 3}, true},
        {"last to the front", {3, 0, 1, 2}, true},
        {"reversed", {3, 2, 1, 0}, true},
        {"one named twice", {0, 1, 1, 3}, false},
        {"one left out", {0, 1, 2}, false},
        {"beyond the items", {0, 1, 2, 4}, false},
    };
    for (const Case& c : cases) {
        const std::vector<ItemPlace> moved = ReorderPlaces(places, c.from);
        ASSERT_EQ(moved.size(), c.accepted ? places.size() : 0u) << c.name;
        for (size_t index = 0; index < moved.size(); ++index) {
            const ItemPlace& old = places[c.from[index]];
            EXPECT_TRUE(test::SameRect(moved[index].cell, places[index].cell)) << c.name << " item " << index;
            EXPECT_EQ(moved[index].cell.bottom - moved[index].label.bottom, old.cell.bottom - old.label.bottom)
                << c.name << " item " << index;
            EXPECT_EQ(moved[index].label.left, moved[index].cell.left) << c.name << " item " << index;
        }
    }
}

TEST(ArrowKeyTargetTest, EdgesOfTheGrid)
{
    struct Case {
        const char* name;
        UINT key;
        int current;
        int target;
    } cases[] = {
        // Seven items in rows of three.
        {"left of the first", VK_LEFT, 0, -1},
        {"left without focus", VK_LEFT, -1, -1},
        {"left", VK_LEFT, 4, 3},
        {"right without focus", VK_RIGHT, -1, 0},
        {"right", VK_RIGHT, 2, 3},
        {"right onto the last", VK_RIGHT, 5, 6},
        {"right of the last keeps it", VK_RIGHT, 6, 6},
        {"up from the top row", VK_UP, 2, -1},
        {"up", VK_UP, 4, 1},
        {"up without focus", VK_UP, -1, -1},
        {"down without focus", VK_DOWN, -1, 0},
        {"down", VK_DOWN, 1, 4},
        {"down onto the last row", VK_DOWN, 3, 6},
        {"down from the last row", VK_DOWN, 4, -1},
        {"another key", VK_HOME, 3, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ArrowKeyTarget(c.key, c.current, 7, 3), c.target) << c.name;
    }
    EXPECT_EQ(ArrowKeyTarget(VK_RIGHT, -1, 0, 3), 0);  // nothing to select: the view ignores index 0
}

}  // namespace
