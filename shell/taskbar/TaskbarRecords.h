#pragma once
// What the taskbar shows, worked out without a window: which registered windows get a button, the file
// item record of a folder-window or process button, and the window a button stands for. The record's
// four view values carry, in order: process id, owner id, window handle (HandleToLong) and the window's
// registration value (an opaque tag, never dereferenced).

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/processwatch/ProcessListManager.h"
#include "core/sandboxview/FileItemRecord.h"
#include "shell/desktop/RegisteredWindows.h"

namespace veyra {

// The registered windows that are folder windows (kind flags exactly 1) and still exist, in map order.
[[nodiscard]] std::vector<HostWindowEntry> TaskbarFolderWindows(const HostWindowMap& windows);

// A folder-window button: kind 0, the owner key as sandbox number, the icon source as path.
[[nodiscard]] FileItemRecord FolderWindowRecord(const HostWindowEntry& entry, int ownerKey, const std::wstring& iconSource);

// A process button: the image's view path, its kind (2 program, 1 any other file) and the title; none
// for a process without a titled window or of another kind.
[[nodiscard]] std::optional<FileItemRecord> ProcessRecord(const ProcessEntry& process, int ownerKey);

// Whether two button records stand for the same window drawn the same way (the title aside).
[[nodiscard]] bool SameButton(const FileItemRecord& shown, const FileItemRecord& wanted) noexcept;

// The window a button stands for, kept from a press so that a rebuild in between loses nothing.
struct TaskbarTarget {
    DWORD processId = 0;  // 0 for a folder window
    HWND window = nullptr;
    [[nodiscard]] bool IsProcess() const noexcept { return processId != 0; }
};
[[nodiscard]] TaskbarTarget TargetOf(const FileItemRecord& record) noexcept;

// The icon a folder-window button shows: the system's explorer.exe, or the sample folder before Vista.
[[nodiscard]] std::wstring FolderWindowIconSource();

}  // namespace veyra
