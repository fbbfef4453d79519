#include "shell/desktop/DesktopGrid.h"

namespace veyra {

void DesktopGrid::Layout(int columns, int rows, const RECT& panel)
{
    m_cells.clear();
    m_rows = 0;
    m_panel = panel;
    if (columns <= 0 || rows <= 0) {
        return;
    }
    m_rows = rows;
    m_cells.resize(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    for (size_t index = 0; index < m_cells.size(); ++index) {
        const LONG column = static_cast<LONG>(index) / rows;
        const LONG row = static_cast<LONG>(index) % rows;
        const LONG left = panel.left + column * kPitchX + kMargin;
        const LONG top = panel.top + row * kPitchY + kMargin;
        m_cells[index].rect = RECT{left, top, left + kCellWidth, top + kCellHeight};
    }
}

bool DesktopGrid::PlaceNext(int& cursor, RECT& out)
{
    if (cursor < 0) {
        return false;
    }
    int index = cursor;
    while (index < Count() && m_cells[static_cast<size_t>(index)].occupied) {
        ++index;
    }
    if (index >= Count()) {
        return false;
    }
    DesktopCell& cell = m_cells[static_cast<size_t>(index)];
    cell.occupied = 1;
    out = cell.rect;
    cursor = index + 1;
    return true;
}

bool DesktopGrid::FreeCellAt(POINT point, RECT& out) const noexcept
{
    const int index = IndexFromPoint(point);
    if (index < 0 || m_cells[static_cast<size_t>(index)].occupied) {
        return false;
    }
    out = m_cells[static_cast<size_t>(index)].rect;
    return true;
}

bool DesktopGrid::Mark(const RECT& rect, int occupied, int& cursor) noexcept
{
    const int index = IndexAt(rect.left, rect.top);
    if (index < 0) {
        return false;
    }
    m_cells[static_cast<size_t>(index)].occupied = occupied;
    if (!occupied && index < cursor) {
        cursor = index;
    }
    return true;
}

void DesktopGrid::MarkFirst(int count) noexcept
{
    for (int index = 0; index < count && index < Count(); ++index) {
        m_cells[static_cast<size_t>(index)].occupied = 1;
    }
}

bool DesktopGrid::IsOccupied(int index) const noexcept
{
    return index >= 0 && index < Count() && m_cells[static_cast<size_t>(index)].occupied != 0;
}

int DesktopGrid::IndexAt(LONG left, LONG top) const noexcept
{
    for (size_t index = 0; index < m_cells.size(); ++index) {
        if (m_cells[index].rect.left == left && m_cells[index].rect.top == top) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

int DesktopGrid::IndexFromPoint(POINT point) const noexcept
{
    if (m_rows <= 0 || point.x <= 0 || point.y <= 0) {
        return -1;
    }
    const int cellHeight = (m_panel.bottom - m_panel.top - kTaskbarHeight) / m_rows;
    if (cellHeight <= 0) {
        return -1;
    }
    const int columns = Count() / m_rows;
    const int column = point.x / kPitchX;
    const int row = point.y / cellHeight;
    if (column >= columns || row >= m_rows) {
        return -1;
    }
    return column * m_rows + row;
}

int DesktopGrid::ArrowTarget(UINT key, int index) const noexcept
{
    if (index < 0 || index >= Count() || m_rows <= 0) {
        return -1;
    }
    int step = 0;
    int last = index;  // the last cell the walk may reach, inclusive
    switch (key) {
    case VK_LEFT:
        step = -m_rows;
        last = index % m_rows;
        break;
    case VK_RIGHT:
        step = m_rows;
        last = Count() - 1;
        break;
    case VK_UP:
        step = -1;
        last = index - index % m_rows;
        break;
    case VK_DOWN:
        step = 1;
        last = index - index % m_rows + m_rows - 1;
        break;
    default:
        return -1;
    }
    for (int cell = index + step; step < 0 ? cell >= last : cell <= last; cell += step) {
        if (m_cells[static_cast<size_t>(cell)].occupied) {
            return cell;
        }
    }
    return -1;
}

}  // namespace veyra
