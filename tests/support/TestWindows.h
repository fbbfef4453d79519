#pragma once
// Placements of the small real windows that tests create to stand in for hosts, boxes and probes.

#include <windows.h>

#include "base/Window.h"

namespace veyra::test {

// A borderless popup (its client area is its whole window) at the given screen rectangle.
inline WindowPlacement PopupPlacement(RECT rect = {0, 0, 100, 100}, HWND parent = nullptr, DWORD extraStyle = 0)
{
    WindowPlacement placement;
    placement.style = WS_POPUP | extraStyle;
    placement.x = rect.left;
    placement.y = rect.top;
    placement.width = rect.right - rect.left;
    placement.height = rect.bottom - rect.top;
    placement.parent = parent;
    return placement;
}

}  // namespace veyra::test
