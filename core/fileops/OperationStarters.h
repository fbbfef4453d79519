#pragma once
// The starters the desktop and folder windows call on the UI thread. Copy, move and rename objects
// are sent to the owner key's desktop window as WM_NS_START_OPERATION (wParam: the NsOperate*); the
// receiver takes a reference of its own (RefPtr::Copy) when it keeps the object beyond the call, and
// the starter lets go of its reference when the call returns. Delete starts its worker at once.
// Also the rename checks, which ask their questions on the UI thread before a rename starts.

#include <windows.h>

#include <string>
#include <vector>

namespace veyra {

constexpr UINT WM_NS_START_OPERATION = WM_USER + 23;

// 1 when an operation was handed to the desktop window, 0 when nothing was left to do or memory ran
// out. A source that is the destination, or a folder that holds the destination, is left out (and
// the user is told), so nothing is ever poured into itself.
int StartCopyOperation(const std::vector<std::wstring>* sources, const std::wstring& destination, int ownerKey,
                       int sourcesInView) noexcept;
int StartMoveOperation(const std::vector<std::wstring>* sources, const std::wstring& destination,
                       int ownerKey) noexcept;
int StartRenameOperation(const std::wstring& oldPath, const std::wstring& newPath, int ownerKey) noexcept;
// Starts the delete worker (no progress window); `flag` plays no part.
int StartDeleteOperation(const std::vector<std::wstring>* paths, int ownerKey, int flag) noexcept;

// The rename rules for `oldPath` renamed to the typed `newName` (a shortcut's without ".lnk"); 1 when
// a rename operation was started.
int RenameItem(const std::wstring& oldPath, const std::wstring& newName, int ownerKey, HWND ownerWindow) noexcept;

}  // namespace veyra
