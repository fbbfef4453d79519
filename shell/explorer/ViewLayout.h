#pragma once
// The arithmetic of an icon view's layout, apart from any window so a table covers it: the grid a panel
// holds, the cell of the next item, where a point of the host lands among the items, how far the panel
// scrolls to show a cell, the cells the remaining items take when some leave, and the arrow keys' target.
// Scroll positions are in the panel's units of two pixels.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace veyra {

inline constexpr int kScrollUnitPixels = 2;

struct ViewGrid {
    int columns = 0;
    int rows = 0;
};

// The grid of a panel `width` by `height` for the mode word; 0 by 0 when either side is 0 or less.
[[nodiscard]] ViewGrid ComputeViewGrid(std::uint32_t mode, int width, int height) noexcept;

// Where the next items go: the grid, the count of cells handed out and the tile groups' extra offset.
struct PlacementState {
    ViewGrid grid;
    int counter = 0;
    int groupOffset = 0;
};

// The next cell for the mode word inside a panel whose top-left corner is `origin`; nothing (and the
// state unchanged) without a grid or for a mode with no base placement. A group start in the tiles
// begins a new row below `groupGap` more pixels.
[[nodiscard]] std::optional<RECT> PlaceNextCell(std::uint32_t mode, PlacementState& state, POINT origin,
                                                bool groupStart, int groupGap) noexcept;

// A point of the host window in the items' own coordinates (the scroll shift added), or nothing when
// the point lies where the view shows no items (the desktop's title strip, outside a folder's panel).
[[nodiscard]] std::optional<POINT> ViewPointToItems(std::uint32_t mode, POINT point, const RECT& panel,
                                                    int scrollPosition) noexcept;

// The scroll position that shows the whole of `cell` (unscrolled coordinates) in `panel`: `position`
// itself when it already does; the cell's top at the panel's top when it lies above or is taller than
// the panel, its bottom at the panel's bottom when it lies below.
[[nodiscard]] int ScrollPositionShowing(const RECT& cell, const RECT& panel, int position) noexcept;

// An item's place: its cell and its caption's rectangle.
struct ItemPlace {
    RECT cell;
    RECT label;
};

// The places of the items that stay when the `removed` ones leave a packed view: each stays in order
// and takes the cell of the place before it, with its caption's bottom kept as far above its cell's
// bottom as before.
[[nodiscard]] std::vector<ItemPlace> ClosePlaces(std::span<const ItemPlace> places, std::span<const char> removed);

// The places of a packed view's items put in a new order, `from[i]` being the old position of the item
// that comes i-th: it takes the i-th place's cell, its caption's bottom kept as before. Nothing when
// `from` does not name every position once.
[[nodiscard]] std::vector<ItemPlace> ReorderPlaces(std::span<const ItemPlace> places, std::span<const size_t> from);

// The index an arrow key moves the selection to, or -1 for none. `current` is -1 without a focus.
[[nodiscard]] int ArrowKeyTarget(UINT key, int current, int count, int columns) noexcept;

}  // namespace veyra
