#pragma once
// The private messages through which an icon view's threads hand their results to its host window.

#include <windows.h>

namespace veyra {

// Posted by a load thread: wParam a heap std::vector<FileItemRecord> the receiver adopts (the sender frees
// it when the post fails); lParam the view's listing number, so a superseded listing is freed unfilled.
inline constexpr UINT WM_NS_ITEMS_LOADED = WM_USER + 14;
// Posted by the icon loader: wParam the item, which the receiver may touch only while the view holds it.
inline constexpr UINT WM_NS_ICON_LOADED = WM_USER + 21;
// Posted by the message filter for each typed character: wParam and lParam of the WM_CHAR.
inline constexpr UINT WM_NS_TYPEAHEAD_CHAR = WM_USER + 24;

// Timer ids on the host window.
inline constexpr UINT_PTR kRefreshTimer = 1;
inline constexpr UINT_PTR kTypeAheadTimer = 3;
inline constexpr UINT kTypeAheadResetMs = 500;

}  // namespace veyra
