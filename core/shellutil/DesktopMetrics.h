#pragma once
// Two questions the desktop's drawing asks of the system: how wide a label's text is in the desktop's
// label font, and whether desktop composition is on.

#include <windows.h>

namespace veyra {

// The width DrawTextW with DT_CALCRECT gives for `text` in the label font (微软雅黑, 12 pixels,
// normal weight) from a 72 x 17 rectangle on the window's DC; 0 when it cannot be measured.
[[nodiscard]] int MeasureLabelWidth(HWND window, const wchar_t* text) noexcept;

// DwmIsCompositionEnabled from the system folder's dwmapi.dll: 1 or 0 (also 0 when it cannot be asked).
[[nodiscard]] int IsCompositionEnabled() noexcept;

}  // namespace veyra
