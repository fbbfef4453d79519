// NsExplorer: the grid, the cells, hit tests and scrolling an item into sight.

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/explorer/NsExplorer.h"

namespace veyra {

RECT NsExplorer::PanelRect() const noexcept
{
    RECT rect{};
    if (m_panel) {
        static_cast<void>(m_panel->GetRect(&rect));
    }
    return rect;
}

int NsExplorer::ScrollPosition() const noexcept
{
    if (!m_scrollBar) {
        return 0;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    return SUCCEEDED(m_scrollBar->GetScrollInfo(&info)) ? info.nPos : 0;
}

int NsExplorer::ComputeGrid()
{
    const RECT panel = PanelRect();
    const ViewGrid grid = ComputeViewGrid(m_viewMode, panel.right - panel.left, panel.bottom - panel.top);
    m_columns = grid.columns;
    m_rows = grid.rows;
    m_placementCounter = 0;
    m_groupOffset = 0;
    return 1;
}

int NsExplorer::ChooseViewMode(const std::wstring& path, std::uint32_t* mode, int isDesktop)
{
    std::uint32_t chosen = VIEW_MODE_FOLDER;
    if (isDesktop) {
        chosen = VIEW_MODE_DESKTOP;
    } else if (CSandBoxFileSystem::Instance().IsShellNamespacePath(path)) {
        chosen = VIEW_MODE_COMPUTER;
    }
    if (mode) {
        *mode = chosen;
    }
    m_viewMode = chosen;
    static_cast<void>(ComputeGrid());
    return 1;
}

int NsExplorer::PlaceNextItem(RECT* out, int groupStart, int groupGap)
{
    PlacementState state{{m_columns, m_rows}, m_placementCounter, m_groupOffset};
    const RECT panel = PanelRect();
    const std::optional<RECT> cell =
        PlaceNextCell(m_viewMode, state, POINT{panel.left, panel.top}, groupStart != 0, groupGap);
    if (!cell) {
        return 0;
    }
    m_placementCounter = state.counter;
    m_groupOffset = state.groupOffset;
    if (out) {
        *out = *cell;
    }
    return 1;
}

int NsExplorer::PlaceItemAtCursor(RECT*)
{
    return 0;
}

int NsExplorer::MarkCell(int, int, int, int, int)
{
    return 1;
}

NsIcon* NsExplorer::ItemFromPoint(POINT* point)
{
    if (!point) {
        return nullptr;
    }
    const std::optional<POINT> shifted = ViewPointToItems(m_viewMode, *point, PanelRect(), ScrollPosition());
    if (!shifted) {
        return nullptr;
    }
    ScopedLock lock(m_itemsLock);
    for (const auto& item : m_items) {
        if (item->HitItem(*shifted)) {
            return item.get();
        }
    }
    return nullptr;
}

int NsExplorer::PointOnFocusLabel(POINT* point)
{
    if (!point) {
        return 0;
    }
    POINT shifted = *point;
    shifted.y += ScrollPosition() * kScrollUnitPixels;
    ScopedLock lock(m_itemsLock);
    NsIcon* focus = m_selection.Focus();
    return focus && focus->HitLabel(shifted) ? 1 : 0;
}

void NsExplorer::EnsureVisible(NsIcon* item)
{
    if (!item || !m_scrollBar) {
        return;
    }
    const int position = ScrollPosition();
    const int wanted = ScrollPositionShowing(item->Record().cellRect, PanelRect(), position);
    if (wanted != position) {
        static_cast<void>(m_scrollBar->SetPosition(wanted, TRUE));
    }
}

bool NsExplorer::ReorderItems(const std::vector<NsIcon*>& order)
{
    ScopedLock lock(m_itemsLock);
    RebuildPositions();
    std::vector<size_t> from;
    from.reserve(order.size());
    for (NsIcon* item : order) {
        const auto found = m_positions.find(item);
        if (found == m_positions.end()) {
            return false;
        }
        from.push_back(static_cast<size_t>(found->second));
    }
    std::vector<ItemPlace> places;
    places.reserve(m_items.size());
    for (const auto& item : m_items) {
        places.push_back(ItemPlace{item->Record().cellRect, item->Record().labelRect});
    }
    const std::vector<ItemPlace> moved = ReorderPlaces(places, from);
    if (moved.size() != m_items.size()) {
        return false;
    }
    ItemList reordered;
    reordered.reserve(m_items.size());
    for (size_t index = 0; index < from.size(); ++index) {
        reordered.push_back(std::move(m_items[from[index]]));
        if (!EqualRect(&moved[index].cell, &reordered.back()->Record().cellRect)) {
            reordered.back()->MoveTo(moved[index].cell, moved[index].label);
        }
    }
    m_items = std::move(reordered);
    m_positionsStale = true;
    return true;
}

}  // namespace veyra
