#include "shell/explorer/ViewLayout.h"

#include "shell/explorer/ViewMode.h"

namespace veyra {

namespace {

constexpr int kLargeCellHeight = 93;
constexpr int kSmallCellWidth = 60;
constexpr int kSmallCellHeight = 40;
constexpr int kTileWidth = 250;
constexpr int kTileHeight = 55;
constexpr int kFolderPitchX = 81;
constexpr int kFolderPitchY = 89;
constexpr int kFolderCellWidth = 74;
constexpr int kFolderCellHeight = 88;
constexpr int kDesktopTitleStrip = 25;

RECT CellAt(LONG left, LONG top, LONG width, LONG height) noexcept
{
    return RECT{left, top, left + width, top + height};
}

// `old` moved to `cell`, its caption's bottom as far above the cell's bottom as before.
ItemPlace PlaceInCell(const ItemPlace& old, const RECT& cell) noexcept
{
    const LONG raised = old.cell.bottom - old.label.bottom;
    return ItemPlace{cell, RECT{cell.left, cell.top, cell.right, cell.bottom - raised}};
}

}  // namespace

ViewGrid ComputeViewGrid(std::uint32_t mode, int width, int height) noexcept
{
    ViewGrid grid;
    if (width <= 0 || height <= 0) {
        return grid;
    }
    if (HasViewMode(mode, kViewIconGrid)) {
        const bool desktop = mode == VIEW_MODE_DESKTOP;
        const int margin = desktop ? 5 : 12, cellWidth = desktop ? 74 : 81, extra = desktop ? 0 : 7;
        if (HasViewMode(mode, kViewLargeIcons)) {
            grid.columns = (width + extra - margin - 5) / cellWidth;
            grid.rows = height / kLargeCellHeight;
        } else if (HasViewMode(mode, kViewSmallCells)) {
            grid.columns = width / kSmallCellWidth;
            grid.rows = height / kSmallCellHeight;
        }
    } else if (HasViewMode(mode, kViewTiles)) {
        grid.columns = width / kTileWidth;
        grid.rows = height / kTileHeight;
    }
    if (grid.columns <= 0 || grid.rows <= 0) {
        grid = ViewGrid{};
    }
    return grid;
}

std::optional<RECT> PlaceNextCell(std::uint32_t mode, PlacementState& state, POINT origin, bool groupStart,
                                  int groupGap) noexcept
{
    const int columns = state.grid.columns;
    if (columns <= 0 || state.grid.rows <= 0) {
        return std::nullopt;
    }
    int n = state.counter;
    RECT cell{};
    if (HasViewMode(mode, kViewSmallCells)) {
        cell = CellAt(origin.x + (n % columns) * kSmallCellWidth + 10, origin.y + (n / columns) * kSmallCellHeight,
                      kSmallCellWidth, kSmallCellHeight);
    } else if (HasViewMode(mode, VIEW_MODE_FOLDER)) {
        cell = CellAt(origin.x + (n % columns) * kFolderPitchX + 5, origin.y + (n / columns) * kFolderPitchY + 5,
                      kFolderCellWidth, kFolderCellHeight);
    } else if (HasViewMode(mode, kViewComputerTiles)) {
        if (groupStart) {
            state.groupOffset += groupGap;
            if (n % columns != 0) {
                n += columns - n % columns;  // the group starts on a row of its own
            }
        }
        cell = CellAt(origin.x + (n % columns) * kTileWidth + 20,
                      origin.y + (n / columns) * kTileHeight + state.groupOffset, kTileWidth, kTileHeight);
    } else {
        return std::nullopt;
    }
    // The next cell follows the one handed out, also after a group raised the index.
    state.counter = n + 1;
    return cell;
}

std::optional<POINT> ViewPointToItems(std::uint32_t mode, POINT point, const RECT& panel, int scrollPosition) noexcept
{
    if (mode == VIEW_MODE_DESKTOP && point.y < kDesktopTitleStrip) {
        return std::nullopt;
    }
    // A folder window's panel grows when the window is maximised: its rectangle now, not a fixed band.
    if ((mode == VIEW_MODE_FOLDER || mode == VIEW_MODE_COMPUTER) && (point.y < panel.top || point.y >= panel.bottom)) {
        return std::nullopt;
    }
    point.y += scrollPosition * kScrollUnitPixels;
    return point;
}

int ScrollPositionShowing(const RECT& cell, const RECT& panel, int position) noexcept
{
    const int height = panel.bottom - panel.top;
    const int top = cell.top - panel.top, bottom = cell.bottom - panel.top;
    const int shownTop = position * kScrollUnitPixels;
    if (top < shownTop || bottom - top > height) {
        return top > 0 ? top / kScrollUnitPixels : 0;
    }
    if (bottom > shownTop + height) {
        return (bottom - height + kScrollUnitPixels - 1) / kScrollUnitPixels;
    }
    return position;
}

std::vector<ItemPlace> ClosePlaces(std::span<const ItemPlace> places, std::span<const char> removed)
{
    std::vector<ItemPlace> kept;
    kept.reserve(places.size());
    size_t next = 0;  // the place the next kept item takes
    for (size_t index = 0; index < places.size(); ++index) {
        if (index < removed.size() && removed[index]) {
            continue;
        }
        kept.push_back(PlaceInCell(places[index], places[next].cell));
        ++next;
    }
    return kept;
}

std::vector<ItemPlace> ReorderPlaces(std::span<const ItemPlace> places, std::span<const size_t> from)
{
    if (from.size() != places.size()) {
        return {};
    }
    std::vector<char> named(places.size(), 0);
    std::vector<ItemPlace> moved;
    moved.reserve(places.size());
    for (size_t index = 0; index < from.size(); ++index) {
        if (from[index] >= places.size() || named[from[index]]) {
            return {};
        }
        named[from[index]] = 1;
        moved.push_back(PlaceInCell(places[from[index]], places[index].cell));
    }
    return moved;
}

int ArrowKeyTarget(UINT key, int current, int count, int columns) noexcept
{
    switch (key) {
    case VK_LEFT:
        return current - 1 < 0 ? -1 : current - 1;
    case VK_RIGHT:
        if (current == -1) {
            return 0;
        }
        return current + 1 >= count - 1 ? count - 1 : current + 1;
    case VK_UP:
        return current == -1 || current - columns < 0 ? -1 : current - columns;
    case VK_DOWN:
        if (current == -1) {
            return 0;
        }
        return current + columns > count - 1 ? -1 : current + columns;
    default:
        return -1;
    }
}

}  // namespace veyra
