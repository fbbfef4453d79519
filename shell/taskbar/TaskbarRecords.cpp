#include "shell/taskbar/TaskbarRecords.h"

#include <shlwapi.h>

#include <algorithm>

#include "core/GlobalInfo.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/shellutil/Thumbnails.h"

namespace veyra {

namespace {
enum ViewValue { kProcessId = 0, kOwnerId = 1, kWindow = 2, kRegistration = 3 };
}

std::vector<HostWindowEntry> TaskbarFolderWindows(const HostWindowMap& windows)
{
    std::vector<HostWindowEntry> folders;
    for (const auto& [window, entry] : windows) {
        if (entry.flags == HostKind::kFolderWindow && IsWindow(window)) {
            folders.push_back(entry);
        }
    }
    return folders;
}

FileItemRecord FolderWindowRecord(const HostWindowEntry& entry, int ownerKey, const std::wstring& iconSource)
{
    FileItemRecord record;
    record.path = iconSource;
    record.kind = kFileKindFolder;
    record.sandboxId = ownerKey;
    record.viewValues[kOwnerId] = ownerKey;
    record.viewValues[kWindow] = HandleToLong(WindowOf(entry));
    record.viewValues[kRegistration] = static_cast<std::int32_t>(entry.data);
    return record;
}

std::optional<FileItemRecord> ProcessRecord(const ProcessEntry& process, int ownerKey)
{
    if (process.title[0] == L'\0') {
        return std::nullopt;
    }
    const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    FileItemRecord record;
    if (!view.GetViewPath(process.record.imagePath, record.path, ownerKey) || record.path.empty()) {
        record.path = process.record.imagePath;
    }
    int isShortcut = 0;
    record.kind = view.GetPathKind(record.path, isShortcut, ownerKey);
    if (record.kind != kFileKindFile && record.kind != kFileKindProgram) {
        return std::nullopt;
    }
    record.isShortcut = isShortcut;
    record.sandboxId = ownerKey;
    record.viewValues[kProcessId] = static_cast<std::int32_t>(process.record.processId);
    record.viewValues[kOwnerId] = process.record.ownerId;
    record.viewValues[kWindow] = HandleToLong(process.mainWindow);
    record.extraText = process.title;
    return record;
}

bool SameButton(const FileItemRecord& shown, const FileItemRecord& wanted) noexcept
{
    return shown.kind == wanted.kind && shown.isShortcut == wanted.isShortcut && shown.path == wanted.path &&
           std::equal(std::begin(shown.viewValues), std::end(shown.viewValues), std::begin(wanted.viewValues));
}

TaskbarTarget TargetOf(const FileItemRecord& record) noexcept
{
    return TaskbarTarget{record.kind == kFileKindFolder ? 0 : static_cast<DWORD>(record.viewValues[kProcessId]),
                         static_cast<HWND>(LongToHandle(record.viewValues[kWindow]))};
}

std::wstring FolderWindowIconSource()
{
    if (!g_globalInfo.IsVistaOrLater()) {
        return GetSampleFolder();
    }
    wchar_t path[MAX_PATH] = {};
    if (!GetSystemWindowsDirectoryW(path, MAX_PATH) || !PathAppendW(path, L"explorer.exe")) {
        return std::wstring();
    }
    return path;
}

}  // namespace veyra
