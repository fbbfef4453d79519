#pragma once
// Child-control notifications sent back to the control that raised them, as the reflected codes
// (OCM_BASE + message): a control such as the in-place rename edit then handles its own EN_* and
// drawing notifications. Hosts call it for every message they do not handle themselves.

#include <windows.h>

namespace veyra {

inline constexpr UINT kReflectedBase = WM_USER + 0x1C00;  // OCM__BASE

// The control that raised a notification message, or nullptr when the message is none.
[[nodiscard]] HWND NotifyingChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Sends the notification back to its control: true, with the control's answer in `result`, when the
// message was one; false for every other message.
bool ReflectNotification(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;

}  // namespace veyra
