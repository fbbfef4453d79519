#pragma once
// The picture a view's drag carries under the cursor: the background resource, the item's image and,
// for several items, a count badge. UI thread (GDI+ started by the program).

#include <windows.h>

#include <cstddef>
#include <string>

#include "base/UniqueResource.h"
#include "core/shellutil/ShellPlatform.h"

namespace veyra {

// The PNG resource drawn behind the item.
inline constexpr int kDragBackgroundResource = 205;

// Side of the square drag image: 100 from Vista on, 74 before.
[[nodiscard]] int DragImageSize(const ShellPlatform& platform) noexcept;

// The badge's circle for `count` dragged items (empty below 2): 18 by 18 at (41, 41), (28, 28) before
// Vista; past 100 items 10 wider and 5 further left so three digits fit.
[[nodiscard]] RECT CountBadgeRect(std::size_t count, const ShellPlatform& platform) noexcept;

// Where the image hangs: the cursor (hotspot) and the image's top-left, from the focus item's label
// rectangle (the same coordinates). A rectangle of the image's size is centred on the label; the hotspot
// is its horizontal centre, 10 above its bottom (30 before Vista).
struct DragImagePlacement {
    POINT cursor;
    POINT origin;
};
[[nodiscard]] DragImagePlacement PlaceDragImage(const RECT& label, const ShellPlatform& platform) noexcept;

// The colour the helper treats as transparent: the window colour from Vista on, 0x808080 before.
[[nodiscard]] COLORREF DragImageColorKey(const ShellPlatform& platform) noexcept;

// A bitmap compatible with the host's screen DC: the colour key, resource 205 of `resources` stretched
// over it when there is one, the image of `imageSource` (96 pixels, 48 before Vista) centred, and the
// badge. Empty when no bitmap can be made; a missing background or item image only leaves it out.
[[nodiscard]] UniqueBitmap MakeDragImage(HWND host, const std::wstring& imageSource, std::size_t count,
                                         const ShellPlatform& platform = CurrentShellPlatform(),
                                         HMODULE resources = GetModuleHandleW(nullptr)) noexcept;

}  // namespace veyra
