#pragma once
// The one font in which icon captions are measured and drawn ("微软雅黑", 12 pixels, normal weight),
// made on first use and kept for the process. UI thread only.

#include <windows.h>

namespace veyra {

inline constexpr wchar_t kLabelFontFace[] = L"微软雅黑";

// Borrowed: never delete it. nullptr when it could not be made.
[[nodiscard]] HFONT IconLabelFont() noexcept;
// A memory context of the screen with the caption font selected, in which captions are measured: one
// for the process instead of a screen context got and released for each of thousands of items.
// Borrowed, UI thread; nullptr when it could not be made.
[[nodiscard]] HDC IconLabelMeasureDc() noexcept;

}  // namespace veyra
