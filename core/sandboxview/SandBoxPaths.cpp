// Mapping between view paths and sandbox paths, and the resolution of a path to what the view shows.

#include <shlobj.h>
#include <shlwapi.h>

#include "base/ComPtr.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/sandboxview/SandBoxPathText.h"

namespace veyra {

using namespace sandboxview;

namespace {

// The sandbox folder of the path's drive ("C:\KavoSANDBOX\SHADOW").
std::wstring DriveSandboxFolder(const std::wstring& path, int sandboxId)
{
    return path.substr(0, 2) + SandboxFolderOf(sandboxId);
}

bool IsBareDrive(const std::wstring& path) noexcept
{
    return path.size() == 2 && path[1] == L':';
}

}  // namespace

int CSandBoxFileSystem::ToSandboxPath(std::wstring path, std::wstring& sandboxPath, int sandboxId) const
{
    if (!IsMappablePath(path)) {
        return 0;
    }
    if (IsInSandboxFolder(path, sandboxId)) {
        sandboxPath = std::move(path);
        return 1;
    }
    std::wstring mapped = DriveSandboxFolder(path, sandboxId) + path.substr(2);
    if (mapped.size() > kMaxViewPath) {
        return 0;
    }
    sandboxPath = std::move(mapped);
    return 1;
}

int CSandBoxFileSystem::IsInSandboxFolder(std::wstring path, int sandboxId) const
{
    if (path.size() < 2) {
        return 0;
    }
    const std::wstring folder = DriveSandboxFolder(path, sandboxId);
    // Only whole components count: C:\KavoSANDBOX\SHADOWS is a folder of its own.
    return StartsWithNoCase(path, folder) && (path.size() == folder.size() || path[folder.size()] == L'\\');
}

int CSandBoxFileSystem::ToShadowedPath(std::wstring path, std::wstring& realPath, int sandboxId) const
{
    if (path.size() >= 2) {
        const std::wstring folder = DriveSandboxFolder(path, sandboxId);
        // The way back compares exactly: a path spelt in another letter case is not mapped back.
        if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == L'\\') {
            realPath = path.substr(0, 2) + path.substr(folder.size());
            return 1;
        }
    }
    realPath = std::move(path);
    return 0;
}

int CSandBoxFileSystem::GetViewPath(std::wstring path, std::wstring& viewPath, int sandboxId) const
{
    if (IsInSandboxFolder(path, sandboxId)) {
        return ToShadowedPath(std::move(path), viewPath, sandboxId);
    }
    viewPath = std::move(path);
    return 1;
}

int CSandBoxFileSystem::IsSandboxRoot(std::wstring path) const
{
    return IsDriveFolder(path, kSandboxRootName, false) ? 1 : 0;
}

int CSandBoxFileSystem::IsDriveRoot(std::wstring path) const
{
    return path.size() == 3 && path[1] == L':' && path[2] == L'\\';
}

int CSandBoxFileSystem::ResolvePath(std::wstring path, std::wstring& resolvedPath, int sandboxId, int& deleted) const
{
    resolvedPath = path;
    deleted = 0;
    if (IsBareDrive(path)) {
        return 1;
    }
    std::wstring sandboxPath;
    if (!ToSandboxPath(path, sandboxPath, sandboxId)) {
        return SBFS_NOT_FOUND;
    }
    if (PathFileExistsW(sandboxPath.c_str())) {
        resolvedPath = std::move(sandboxPath);
        return SBFS_EXISTS;
    }
    if (IsMarkedDeleted(path, sandboxId)) {
        deleted = 1;
        return 0;
    }
    return PathFileExistsW(path.c_str()) ? SBFS_EXISTS : SBFS_NOT_FOUND;
}

int CSandBoxFileSystem::ClassifyPath(std::wstring path, int sandboxId) const
{
    std::wstring sandboxPath;
    if (!ToSandboxPath(path, sandboxPath, sandboxId)) {
        return SBFS_NOT_FOLDER;
    }
    if (PathIsDirectoryW(sandboxPath.c_str())) {
        return SBFS_FOLDER;
    }
    if (IsMarkedDeleted(path, sandboxId)) {
        return SBFS_MARKED_DELETED;
    }
    return PathIsDirectoryW(path.c_str()) ? SBFS_FOLDER : SBFS_NOT_FOLDER;
}

int CSandBoxFileSystem::PathExists(std::wstring path, int sandboxId) const
{
    std::wstring resolved;
    int deleted = 0;
    return ResolvePath(std::move(path), resolved, sandboxId, deleted) == SBFS_EXISTS ? 1 : 0;
}

int CSandBoxFileSystem::ResolveShortcut(std::wstring shortcutPath, std::wstring& target, int sandboxId) const
{
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void()))) {
        return 0;
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(IID_IPersistFile, file))) {
        return 0;
    }
    std::wstring readFrom;  // the sandbox copy of the shortcut when there is one
    int deleted = 0;
    if (ResolvePath(shortcutPath, readFrom, sandboxId, deleted) != SBFS_EXISTS) {
        return 0;
    }
    if (FAILED(file->Load(readFrom.c_str(), 0))) {
        return 0;
    }
    wchar_t buffer[1024] = {};
    if (FAILED(link->GetPath(buffer, 1024, nullptr, SLGP_UNCPRIORITY)) || buffer[0] == L'\0') {
        return 0;
    }
    return GetViewPath(buffer, target, sandboxId);
}

std::wstring CSandBoxFileSystem::GetParentPath(std::wstring path) const
{
    if (path.empty()) {
        return path;
    }
    PathRemoveFileSpecW(path.data());
    path.resize(wcslen(path.c_str()));
    return path;
}

}  // namespace veyra
