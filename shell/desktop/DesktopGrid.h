#pragma once
// The desktop's fixed grid of icon cells, filled column by column below the title strip and above the
// taskbar, with the mark of each cell that holds an icon. Plain arithmetic apart from any window, so a
// table covers placement, hit tests and arrow keys; the desktop view owns one and uses it on the UI
// thread. The placement cursor is the view's: every operation that moves it takes it by reference.

#include <windows.h>

#include <vector>

namespace veyra {

struct DesktopCell {
    RECT rect{};
    int occupied = 0;
};

class DesktopGrid {
public:
    static constexpr int kPitchX = 74;
    static constexpr int kPitchY = 93;
    static constexpr int kCellWidth = 74;
    static constexpr int kCellHeight = 88;
    static constexpr int kMargin = 5;
    static constexpr int kTaskbarHeight = 40;
    // How far above the cursor's hot spot an icon dragged by its picture is placed.
    static constexpr int kCursorLift = 20;

    // Rebuilds the cells for `columns` by `rows` inside `panel` (host client coordinates); every cell
    // free. Nothing (an empty grid) when either count is not positive.
    void Layout(int columns, int rows, const RECT& panel);
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(m_cells.size()); }
    [[nodiscard]] int Rows() const noexcept { return m_rows; }
    [[nodiscard]] const std::vector<DesktopCell>& Cells() const noexcept { return m_cells; }

    // The next free cell at or after the cursor: marked, its rectangle out, the cursor past it. False
    // (nothing changed) when the cursor is negative or no free cell is left.
    bool PlaceNext(int& cursor, RECT& out);
    // The free cell under a host point (the cursor lifted already), unmarked; false when the point is
    // outside the grid or the cell is taken.
    [[nodiscard]] bool FreeCellAt(POINT point, RECT& out) const noexcept;
    // Sets the mark of the cell starting at the rectangle's left and top; a freed cell below the cursor
    // brings the cursor back to it, so the next placement fills the hole. False for no such cell.
    bool Mark(const RECT& rect, int occupied, int& cursor) noexcept;
    // Marks the first `count` cells (bounded by the grid).
    void MarkFirst(int count) noexcept;
    [[nodiscard]] bool IsOccupied(int index) const noexcept;

    // The cell whose left and top are these, or -1.
    [[nodiscard]] int IndexAt(LONG left, LONG top) const noexcept;
    // The cell a host point falls in (rows of the panel's height less the taskbar), or -1.
    [[nodiscard]] int IndexFromPoint(POINT point) const noexcept;
    // The nearest occupied cell from `index` in the arrow key's direction along its row or column, or -1.
    [[nodiscard]] int ArrowTarget(UINT key, int index) const noexcept;

private:
    std::vector<DesktopCell> m_cells;  // column-major
    int m_rows = 0;
    RECT m_panel{};
};

}  // namespace veyra
