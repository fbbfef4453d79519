#pragma once
// Where a secondary window stands against the desktop's work band (the host window's rectangle without
// its 25-pixel title strip and its 40-pixel taskbar), for the dialog base's snapping. A plain function on
// rectangles in screen coordinates.

#include <windows.h>

namespace veyra {

// Title strip and taskbar heights that the callers take off the host's rectangle to form the band.
inline constexpr int kHostTitleHeight = 25;
inline constexpr int kHostTaskbarHeight = 40;

enum RectPlacement : int {
    kRectInside = 0,           // R = (0, 0, width, height)
    kRectClipped = 1,          // R = the part to keep visible, in the window's own coordinates
    kRectMovedDown = 2,        // R = the window moved to the band's top (screen); classify again
    kRectMovedDownRight = 3,   // as 2, the window reaching the band's right edge
    kRectOutside = 4,          // no overlap on one axis; R untouched
};

// The band of a host window rectangle.
[[nodiscard]] RECT WorkBandOf(const RECT& hostRect) noexcept;

[[nodiscard]] int ClassifyRectInHost(const RECT& band, const RECT& window, RECT& out) noexcept;

}  // namespace veyra
