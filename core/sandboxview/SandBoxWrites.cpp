// Writes of single items into the sandbox copy. A real file is only ever read: what the user changes
// lands in the sandbox folder, and a real item that must disappear gets a deletion mark.

#include <shlwapi.h>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/sandboxview/SandBoxPathText.h"

namespace veyra {

using namespace sandboxview;

namespace {

constexpr std::size_t kMaxFolderPrefix = 258;

bool IsFolderOnDisk(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ExistsOnDisk(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// folder + "\" + name when it fits a 260-character buffer.
bool JoinBounded(const std::wstring& folder, std::wstring_view name, std::wstring& joined)
{
    std::wstring result = JoinPath(folder, name);
    if (name.empty() || result.size() > kMaxViewPath) {
        return false;
    }
    joined = std::move(result);
    return true;
}

}  // namespace

int CSandBoxFileSystem::MakeSandboxFolderTree(std::wstring sandboxPath) const
{
    if (IsFolderOnDisk(sandboxPath)) {
        return 1;
    }
    // Only folders below a drive's sandbox root are ever made: this never creates a real folder.
    if (sandboxPath.size() > kMaxFolderPrefix || !IsMappablePath(sandboxPath) ||
        !StartsWithNoCase(sandboxPath.substr(2), std::wstring(kSandboxRootName) + L"\\")) {
        return 0;
    }
    std::size_t end = 2;
    while (end < sandboxPath.size()) {
        end = sandboxPath.find(L'\\', end + 1);
        if (end == std::wstring::npos) {
            end = sandboxPath.size();
        }
        const std::wstring prefix = sandboxPath.substr(0, end);
        if (prefix.size() <= 3) {
            continue;  // the drive itself
        }
        if (CreateDirectoryW(prefix.c_str(), nullptr)) {
            if (IsSandboxRoot(prefix)) {
                SetFileAttributesW(prefix.c_str(), FILE_ATTRIBUTE_HIDDEN);
            }
        } else if (GetLastError() != ERROR_ALREADY_EXISTS || !IsFolderOnDisk(prefix)) {
            return 0;  // a file standing where a folder must go is no folder
        }
    }
    return 1;
}

int CSandBoxFileSystem::MakeFolder(std::wstring folder, int sandboxId, FileOperationContext* context) const
{
    std::wstring sandboxFolder;
    if (!ToSandboxPath(folder, sandboxFolder, sandboxId)) {
        return SBFS_MKDIR_FAILED;
    }
    if (IsFolderOnDisk(sandboxFolder)) {
        return SBFS_FOLDER_READY;
    }
    if (!MakeSandboxFolderTree(sandboxFolder)) {
        return SBFS_MKDIR_FAILED;
    }
    if (context) {
        Primitives().NotifyPathDone(folder, sandboxId, context);
    }
    return SBFS_FOLDER_READY;
}

int CSandBoxFileSystem::CreateEmptyFile(std::wstring path, int sandboxId) const
{
    std::wstring sandboxPath;
    if (!ToSandboxPath(path, sandboxPath, sandboxId) || PathExists(path, sandboxId) ||
        MakeFolder(GetParentPath(path), sandboxId, nullptr) != SBFS_FOLDER_READY) {
        return SBFS_CREATE_FAILED;
    }
    HANDLE file = CreateFileW(sandboxPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return SBFS_CREATE_FAILED;
    }
    CloseHandle(file);
    return SBFS_FILE_CREATED;
}

int CSandBoxFileSystem::CopyFileIn(std::wstring source, std::wstring destinationFolder, int sandboxId,
                                   int resolveSource, FileOperationContext* context) const
{
    if (resolveSource) {
        int deleted = 0;
        std::wstring resolved;
        if (ResolvePath(source, resolved, sandboxId, deleted) != SBFS_EXISTS || deleted) {
            return 0;
        }
        source = std::move(resolved);
    }
    std::wstring sandboxFolder;
    std::wstring target;
    if (!ToSandboxPath(destinationFolder, sandboxFolder, sandboxId) || !MakeSandboxFolderTree(sandboxFolder) ||
        !JoinBounded(sandboxFolder, LastComponent(source), target)) {
        return 0;
    }
    return Primitives().CopyFileWithPrompts(source, target, 1, sandboxId, context);
}

int CSandBoxFileSystem::MoveFileIn(std::wstring source, std::wstring destinationFolder, int sandboxId,
                                   FileOperationContext* context) const
{
    std::wstring viewSource;
    GetViewPath(source, viewSource, sandboxId);
    std::wstring resolved;
    int deleted = 0;
    if (ResolvePath(viewSource, resolved, sandboxId, deleted) != SBFS_EXISTS || deleted) {
        return 0;
    }
    const bool fromSandbox = IsInSandboxFolder(resolved, sandboxId);
    std::wstring sandboxFolder;
    std::wstring target;
    if (!ToSandboxPath(destinationFolder, sandboxFolder, sandboxId) || !MakeSandboxFolderTree(sandboxFolder) ||
        !JoinBounded(sandboxFolder, LastComponent(resolved), target)) {
        return 0;
    }
    const bool sameDrive = towupper(resolved[0]) == towupper(target[0]);
    const int result = fromSandbox && sameDrive
                           ? Primitives().MoveFileWithPrompts(resolved, target, sandboxId, context)
                           : Primitives().CopyFileWithPrompts(resolved, target, 1, sandboxId, context);
    if (!result) {
        return 0;
    }
    // The source leaves the view only once its target is complete. A sandbox copy carried over by copying
    // (another drive) goes too, also when a real file stands behind it, or it would stay visible.
    if (fromSandbox && !sameDrive && !DeleteFileW(resolved.c_str())) {
        return 0;
    }
    if (ExistsOnDisk(viewSource) && !SetDeletedMark(viewSource, sandboxId)) {
        return 0;
    }
    return result;
}

int CSandBoxFileSystem::MoveFile(std::wstring source, std::wstring target, int sandboxId,
                                 FileOperationContext* context) const
{
    std::wstring sandboxSource;
    std::wstring sandboxTarget;
    if (!ToSandboxPath(source, sandboxSource, sandboxId) || !ToSandboxPath(target, sandboxTarget, sandboxId) ||
        !MakeSandboxFolderTree(GetParentPath(sandboxTarget))) {
        return 0;
    }
    // Fail-if-exists also for a real source: a taken target goes through the conflict question instead of
    // being overwritten.
    const int result = ExistsOnDisk(sandboxSource)
                           ? Primitives().MoveFileWithPrompts(sandboxSource, sandboxTarget, sandboxId, context)
                           : Primitives().CopyFileWithPrompts(source, sandboxTarget, 1, sandboxId, context);
    if (!result) {
        return 0;
    }
    // Marked also when only the sandbox copy existed, so a real item that shows up later stays hidden; the
    // mark matters for the result only when a real item stands there now.
    if (!SetDeletedMark(source, sandboxId) && ExistsOnDisk(source)) {
        return 0;
    }
    return result;
}

int CSandBoxFileSystem::DeleteItem(std::wstring path, int sandboxId, FileOperationContext** context) const
{
    while (ProbeInUse(path, 0, sandboxId)) {
        if (!Primitives().AskRetryFileInUse(context)) {
            return SBFS_DELETE_FAILED;
        }
    }
    std::wstring sandboxPath;
    if (!ToSandboxPath(path, sandboxPath, sandboxId)) {
        return SBFS_DELETE_FAILED;
    }
    int result = SBFS_DELETE_FAILED;
    if (ExistsOnDisk(sandboxPath)) {
        if (Primitives().DeleteFileWithRetry(sandboxPath, sandboxId, nullptr) == 1 &&
            (!ExistsOnDisk(path) || SetDeletedMark(path, sandboxId))) {
            result = SBFS_REMOVED;
        }
    } else if (ExistsOnDisk(path) && SetDeletedMark(path, sandboxId)) {
        result = SBFS_REMOVED;
    }
    // Only a removal is announced: a failed delete leaves the item in the view.
    if (result == SBFS_REMOVED && context && *context) {
        Primitives().NotifyPathDone(path, sandboxId, *context);
    }
    return result;
}

int CSandBoxFileSystem::DeleteFolder(std::wstring folder, int sandboxId, int onlyIfEmpty,
                                     FileOperationContext* context) const
{
    if (onlyIfEmpty) {
        // Every entry counts, also the ones the views hide; an unreadable folder is not empty.
        std::vector<FileItemRecord> entries;
        if (!ListFolder(folder, entries, sandboxId, ListingScope::Everything) || !entries.empty()) {
            return 0;
        }
    }
    std::wstring sandboxFolder;
    if (!ToSandboxPath(folder, sandboxFolder, sandboxId)) {
        return SBFS_DELETE_FAILED;
    }
    int result = SBFS_DELETE_FAILED;
    if (IsFolderOnDisk(sandboxFolder)) {
        if (RemoveDirectoryW(sandboxFolder.c_str()) && (!ExistsOnDisk(folder) || SetDeletedMark(folder, sandboxId))) {
            result = SBFS_REMOVED;
        }
    } else if (SetDeletedMark(folder, sandboxId)) {
        result = SBFS_REMOVED;
    }
    if (result == SBFS_REMOVED && context) {
        Primitives().NotifyPathDone(folder, sandboxId, context);
    }
    return result;
}

}  // namespace veyra
