// Writes of whole trees and lists, built on the single-item writes. Tree walks see every entry (dot names
// and dead shortcuts too), so nothing is left behind in a folder that is then marked away; a folder that
// cannot be listed stops the walk and is left as it is.

#include <shlwapi.h>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/sandboxview/SandBoxPathText.h"

namespace veyra {

using namespace sandboxview;

namespace {

std::wstring NameOf(const FileItemRecord& item)
{
    return std::wstring(LastComponent(item.path));
}

// True when `folder` is `ancestor` or lies inside it: a tree copied or moved there would grow while it is
// walked.
bool IsSameOrInside(const std::wstring& folder, const std::wstring& ancestor)
{
    return StartsWithNoCase(folder, ancestor) && (folder.size() == ancestor.size() || folder[ancestor.size()] == L'\\');
}

}  // namespace

int CSandBoxFileSystem::MoveToRecycleBin(std::wstring path, int sandboxId)
{
    std::wstring binFolder = path.substr(0, 2);
    std::wstring sandboxTarget;
    std::wstring resolved;
    int deleted = 0;
    if (!GetRecycleBinPath(binFolder, 1) || ResolvePath(path, resolved, sandboxId, deleted) != SBFS_EXISTS ||
        !ToSandboxPath(JoinPath(binFolder, LastComponent(path)), sandboxTarget, sandboxId) ||
        !MakeSandboxFolderTree(GetParentPath(sandboxTarget))) {
        return 0;
    }
    if (IsInSandboxFolder(resolved, sandboxId)) {
        return MoveFileExW(resolved.c_str(), sandboxTarget.c_str(), MOVEFILE_COPY_ALLOWED) ? 1 : 0;
    }
    // A real file is copied into the sandbox's bin and marked; the real disk is not touched.
    return CopyFileW(resolved.c_str(), sandboxTarget.c_str(), TRUE) && SetDeletedMark(path, sandboxId) ? 1 : 0;
}

int CSandBoxFileSystem::DeleteTree(std::wstring folder, int sandboxId) const
{
    std::vector<FileItemRecord> entries;
    if (!ListFolder(folder, entries, sandboxId, ListingScope::Everything)) {
        return 0;
    }
    for (const auto& entry : entries) {
        if (entry.IsFolder() && !entry.isShortcut) {
            DeleteTree(entry.path, sandboxId);
        } else {
            DeleteItem(entry.path, sandboxId, nullptr);
        }
    }
    return DeleteFolder(folder, sandboxId, 1, nullptr) == SBFS_REMOVED ? 1 : 0;
}

int CSandBoxFileSystem::DeleteList(const std::vector<std::wstring>& paths, int sandboxId, int flag) const
{
    if (!flag) {
        return 1;
    }
    int allRemoved = 1;
    for (const auto& path : paths) {
        const bool removed = ClassifyPath(path, sandboxId) == SBFS_FOLDER
                                 ? DeleteTree(path, sandboxId) == 1
                                 : DeleteItem(path, sandboxId, nullptr) == SBFS_REMOVED;
        allRemoved &= removed ? 1 : 0;
    }
    return allRemoved;
}

int CSandBoxFileSystem::CopyTree(std::wstring sourceFolder, std::wstring destinationFolder, int sandboxId,
                                 int viewPaths) const
{
    if (IsSameOrInside(destinationFolder, sourceFolder) ||
        MakeFolder(destinationFolder, sandboxId, nullptr) != SBFS_FOLDER_READY) {
        return 0;
    }
    FileItemMap names;
    const int listed = viewPaths ? ListMergedFolder(sourceFolder, names, sandboxId, ListingScope::Everything)
                                 : ListRawRealFolder(sourceFolder, names, ListingScope::Everything);
    if (!listed) {
        return 0;
    }
    int allCopied = 1;
    for (const auto& [name, entry] : names) {
        const std::wstring source = JoinPath(sourceFolder, name);
        const bool copied = entry.IsFolder() && !entry.isShortcut
                                ? CopyTree(source, JoinPath(destinationFolder, name), sandboxId, viewPaths) == 1
                                : CopyFileIn(source, destinationFolder, sandboxId, viewPaths, nullptr) != 0;
        allCopied &= copied ? 1 : 0;
    }
    return allCopied;
}

int CSandBoxFileSystem::CopyList(const std::vector<std::wstring>& paths, std::wstring destination, int sandboxId,
                                 int viewPaths) const
{
    int allCopied = 1;
    for (const auto& path : paths) {
        const bool isFolder = viewPaths ? ClassifyPath(path, sandboxId) == SBFS_FOLDER : PathIsDirectoryW(path.c_str());
        const bool exists = viewPaths ? PathExists(path, sandboxId) : PathFileExistsW(path.c_str());
        bool copied = false;
        if (isFolder) {
            copied = CopyTree(path, JoinPath(destination, LastComponent(path)), sandboxId, viewPaths) == 1;
        } else if (exists) {
            copied = CopyFileIn(path, destination, sandboxId, viewPaths, nullptr) != 0;
        }
        allCopied &= copied ? 1 : 0;
    }
    return allCopied;
}

int CSandBoxFileSystem::MoveTree(std::wstring sourceFolder, std::wstring destinationFolder, int sandboxId) const
{
    if (IsSameOrInside(destinationFolder, sourceFolder) ||
        MakeFolder(destinationFolder, sandboxId, nullptr) != SBFS_FOLDER_READY) {
        return 0;
    }
    std::vector<FileItemRecord> entries;
    if (!ListFolder(sourceFolder, entries, sandboxId, ListingScope::Everything)) {
        return 0;
    }
    for (const auto& entry : entries) {
        const std::wstring name = NameOf(entry);
        if (entry.IsFolder() && !entry.isShortcut) {
            MoveTree(entry.path, JoinPath(destinationFolder, name), sandboxId);
        } else {
            MoveFileIn(entry.path, destinationFolder, sandboxId, nullptr);
        }
    }
    // Removed only once everything in it went: a file that could not move keeps its folder in place.
    return DeleteFolder(sourceFolder, sandboxId, 1, nullptr) == SBFS_REMOVED ? 1 : 0;
}

int CSandBoxFileSystem::MoveList(const std::vector<std::wstring>& paths, std::wstring destination,
                                 int sandboxId) const
{
    int allMoved = 1;
    for (const auto& path : paths) {
        bool moved = false;
        if (ClassifyPath(path, sandboxId) == SBFS_FOLDER) {
            moved = MoveTree(path, JoinPath(destination, LastComponent(path)), sandboxId) == 1;
        } else if (PathExists(path, sandboxId)) {
            moved = MoveFileIn(path, destination, sandboxId, nullptr) != 0;
        }
        allMoved &= moved ? 1 : 0;
    }
    return allMoved;
}

int CSandBoxFileSystem::CopyUpFolderTree(std::wstring folder, int sandboxId) const
{
    std::wstring sandboxFolder;
    if (!ToSandboxPath(folder, sandboxFolder, sandboxId)) {
        return 0;
    }
    const bool madeHere = !PathIsDirectoryW(sandboxFolder.c_str());
    std::vector<FileItemRecord> entries;
    if (MakeFolder(folder, sandboxId, nullptr) != SBFS_FOLDER_READY ||
        !ListFolder(folder, entries, sandboxId, ListingScope::Everything)) {
        return 0;
    }
    int complete = 1;
    for (const auto& entry : entries) {
        if (entry.IsFolder() && !entry.isShortcut) {
            complete &= CopyUpFolderTree(entry.path, sandboxId);
            continue;
        }
        std::wstring sandboxFile;
        if (!ToSandboxPath(entry.path, sandboxFile, sandboxId)) {
            complete = 0;
        } else if (!PathFileExistsW(sandboxFile.c_str())) {
            const bool copied = Primitives().CopyFileWithPrompts(entry.path, sandboxFile, 1, sandboxId, nullptr) != 0;
            complete &= copied && SetDeletedMark(entry.path, sandboxId) ? 1 : 0;
        }
    }
    if (madeHere && !SetDeletedMark(folder, sandboxId)) {
        complete = 0;
    }
    return complete;
}

int CSandBoxFileSystem::MoveFolder(std::wstring source, std::wstring target, int sandboxId,
                                   FileOperationContext* context) const
{
    // Everything of the source must stand in the sandbox copy first: the source is marked away at the end,
    // and a real file left out of the copy would vanish from the view with it.
    std::wstring sandboxSource;
    std::wstring sandboxTarget;
    if (IsSameOrInside(target, source) || !CopyUpFolderTree(source, sandboxId) ||
        !ToSandboxPath(source, sandboxSource, sandboxId) || !ToSandboxPath(target, sandboxTarget, sandboxId) ||
        !MakeSandboxFolderTree(GetParentPath(sandboxTarget))) {
        return 0;
    }
    const int result = Primitives().MoveFileWithPrompts(sandboxSource, sandboxTarget, sandboxId, context);
    if (!result || !SetDeletedMark(source, sandboxId)) {
        return 0;
    }
    return result;
}

}  // namespace veyra
