#pragma once
// How the boxes are raised. The modeless runs (message box, file-conflict box) create a message loop
// for the calling thread, show the box over `owner` and return once it ends, with the caller's answer
// word; the modal run returns the box's result. Without a context no box is shown (0). A box that cannot
// be set up answers at once as one closed without a button: modeless 0, conflict stop (8), modal 2.

#include <windows.h>

#include <string>

#include "core/fileops/FileOperationContext.h"

namespace veyra::dialogs {

int RunMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, int type,
                  FileOperationContext* context) noexcept;
int RunReplaceBox(HWND owner, FileOperationContext* context) noexcept;
int ShowModalMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, int type,
                        FileOperationContext* context) noexcept;

}  // namespace veyra::dialogs
