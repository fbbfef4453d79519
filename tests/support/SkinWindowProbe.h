#pragma once
// Reads a skinned window of any thread or process through the skin library's control-tree dump, and
// clicks its controls through the system's input queue as a user would.

#include <windows.h>

#include <optional>
#include <string>

namespace veyra::test {

// The control tree of the skinned window `window` written into `path` and read back; "" when the
// window does not answer within `timeoutMs`.
[[nodiscard]] std::string DumpSkinWindow(HWND window, const std::wstring& path, DWORD timeoutMs = 10000);
// The dump's line of control `id` (without its indentation), "" when there is none.
[[nodiscard]] std::string ControlLine(const std::string& dump, USHORT id);
// One field ("text", "visible", "progress", ...) of control `id`; nullopt when the control or field is missing.
[[nodiscard]] std::optional<std::string> ControlField(const std::string& dump, USHORT id, const char* field);
// One field of a dump line ("" when the line has none).
[[nodiscard]] std::string LineField(const std::string& line, const std::string& field);
// The control's rectangle in window coordinates.
[[nodiscard]] std::optional<RECT> ControlRect(const std::string& dump, USHORT id);

// One absolute mouse event at a screen point (MOUSEEVENTF_LEFTDOWN, ...; a move always).
bool SendMouseAt(POINT screen, DWORD flags);
// A press and release at the centre of control `id` of `window`; false when it is not in the dump.
bool ClickControl(HWND window, const std::string& dump, USHORT id);

// The same click posted to the window as mouse messages at the control's centre (for a control that
// another window covers).
bool PostClickControl(HWND window, const std::string& dump, USHORT id);

}  // namespace veyra::test
