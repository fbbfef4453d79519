#pragma once
// Copy, move and delete of one file with the operation's questions (conflict, file in use, write
// failure), the keep-both names, the copy progress routine and the change notices of a finished item.
// The sandbox view's writes call these with the sandbox paths they computed and the context of the
// running operation (or none). They run on the worker thread that owns the context.
//
// Nothing is lost: a failed or cancelled copy leaves no partial target, a replace writes to a hidden
// temporary name first so the replaced file stays whole until the new one is complete, and a move
// is a rename on one volume, so its source stays until its target is complete.

#include <windows.h>

#include <string>

#include "FileOperationContext.h"

namespace veyra {

// Nonzero when the file was copied (or is the file itself). failIfExists applies without a context.
int CopyFileWithPrompts(const std::wstring& existing, const std::wstring& newPath, int failIfExists, int ownerKey,
                        FileOperationContext* context) noexcept;
// Nonzero when the file was moved. Never copies across volumes.
int MoveFileWithPrompts(const std::wstring& existing, const std::wstring& newPath, int ownerKey,
                        FileOperationContext* context) noexcept;
// DeleteFileW's result; with a context, a file in use is retried while the user asks for it.
int DeleteFileWithRetry(const std::wstring& path, int ownerKey, FileOperationContext* context) noexcept;

// 1 and the first free "name (n).ext" (n = 2 to 99) beside `path` in `out`; 0 when none is free, the
// result would not fit a path, or the file name has 3 characters or fewer (such names get none, and
// the conflict box then offers no keep-both).
int MakeKeepBothName(const std::wstring& path, std::wstring& out, int ownerKey, int isFolder) noexcept;

// Maps both paths to view paths and sends the item's change notices.
void NotifyItemDone(int code, const std::wstring& existing, const std::wstring& newPath, int ownerKey,
                    const FileOperationContext* context) noexcept;
// The notices of one view path (code 6, no second path); 1 with a context, else 0.
int NotifyPathDone(const std::wstring& path, int ownerKey, const FileOperationContext* context) noexcept;

// Handed to CopyFileExW and MoveFileWithProgressW with the context as its data: folds the running
// file's bytes into the progress, and cancels the transfer when the user cancelled (or there is no
// progress to report to).
DWORD CALLBACK CopyProgressRoutine(LARGE_INTEGER totalFileSize, LARGE_INTEGER totalBytesTransferred,
                                   LARGE_INTEGER streamSize, LARGE_INTEGER streamBytesTransferred,
                                   DWORD streamNumber, DWORD callbackReason, HANDLE sourceFile,
                                   HANDLE destinationFile, LPVOID data) noexcept;

}  // namespace veyra
