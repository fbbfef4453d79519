#pragma once
// The one font in which icon captions are measured and drawn ("微软雅黑", 12 pixels, normal weight),
// made on first use and kept for the process. UI thread only.

#include <windows.h>

namespace veyra {

inline constexpr wchar_t kLabelFontFace[] = L"微软雅黑";

// Borrowed: never delete it. nullptr when it could not be made.
[[nodiscard]] HFONT IconLabelFont() noexcept;

}  // namespace veyra
