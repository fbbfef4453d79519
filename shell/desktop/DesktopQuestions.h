#pragma once
// The desktop window's own questions (exit, restore), asked through the skin library's message box.
// The box is a seam: the skin binding plugs the library's service in at start-up; until it does, or
// when the library offers none, the box "cannot be shown" (-1). UI thread.

#include <windows.h>

namespace veyra {

inline constexpr int kQuestionYesNo = 36;  // yes/no with the question icon
inline constexpr int kBoxNotShown = -1;

using LibraryMessageBox = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, int type) noexcept;
// Installs the box (nullptr: none); returns the previous one.
LibraryMessageBox SetLibraryMessageBox(LibraryMessageBox box) noexcept;

// "确定要还原虚拟系统吗？" over the key's desktop window: 1 for yes, else 0 (also without a box).
[[nodiscard]] int ConfirmRestore(int ownerKey) noexcept;
// "退出时是否关闭虚拟系统所有的进程？": the box's raw answer, kBoxNotShown without a box.
[[nodiscard]] int ConfirmExitCloseAll(int ownerKey) noexcept;

}  // namespace veyra
