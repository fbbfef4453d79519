// The in-use probe and the shortcut maker of the sandbox view.

#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/sandboxview/SandBoxPathText.h"

namespace veyra {

using namespace sandboxview;

namespace {

constexpr int kMaxProbeNames = 100;
constexpr int kMaxShortcutNumber = 99;

bool IsNameAlreadyTaken(DWORD error) noexcept
{
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

// A file is in use when a handle that does not share delete access is open on it; asking for delete
// access with every kind of sharing answers that without renaming anything.
int ProbeFileByOpening(const std::wstring& path)
{
    UniqueFileHandle file(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file ? 0 : 1;
}

bool DesktopFolderKnown()
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list))) {
        return false;
    }
    wchar_t desktop[MAX_PATH];
    const bool known = SHGetPathFromIDListW(list, desktop) != FALSE;
    CoTaskMemFree(list);
    return known;
}

bool SaveShortcut(const std::wstring& target, const std::wstring& sandboxLinkPath)
{
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())) ||
        FAILED(link->SetPath(target.c_str())) || FAILED(link->SetDescription(L"")) ||
        FAILED(link->SetArguments(L""))) {
        return false;
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(IID_IPersistFile, file)) || !DesktopFolderKnown()) {
        return false;
    }
    return SUCCEEDED(file->Save(sandboxLinkPath.c_str(), FALSE));
}

}  // namespace

int CSandBoxFileSystem::ProbeByRenaming(const std::wstring& path, int folderStyle) const
{
    for (int number = 0; number < kMaxProbeNames; ++number) {
        wchar_t suffix[16];
        std::swprintf(suffix, 16, L"_Ns%d", number);
        std::wstring probeName;
        if (folderStyle) {
            probeName = path + suffix;
        } else {
            const std::wstring_view name = LastComponent(path);
            std::swprintf(suffix, 16, L"_Ns_%d.", number);
            probeName = path.substr(0, path.size() - name.size()) + suffix + std::wstring(name);
        }
        if (probeName.size() > kMaxViewPath) {
            return 0;  // no room for a probe name: let the delete itself report an item in use
        }
        if (::MoveFileW(path.c_str(), probeName.c_str())) {
            // Put back at once; should that fail, keep trying rather than leave the copy under its probe name.
            for (int attempt = 0; attempt < 10 && !::MoveFileW(probeName.c_str(), path.c_str()); ++attempt) {
                Sleep(10);
            }
            return 0;
        }
        if (!IsNameAlreadyTaken(GetLastError())) {
            return 1;
        }
    }
    return 1;
}

int CSandBoxFileSystem::ProbeInUse(std::wstring path, int folderStyle, int sandboxId) const
{
    std::wstring resolved;
    int deleted = 0;
    const int found = ResolvePath(path, resolved, sandboxId, deleted);
    if (deleted) {
        return 1;
    }
    // Only sandbox copies are probed: a real item is never renamed, it only ever gets a mark.
    if (found != SBFS_EXISTS || !IsInSandboxFolder(resolved, sandboxId)) {
        return 0;
    }
    return folderStyle ? ProbeByRenaming(resolved, 1) : ProbeFileByOpening(resolved);
}

int CSandBoxFileSystem::ProbeInUseBoth(std::wstring path, int folderStyle, int sandboxId) const
{
    // The real item behind a sandbox copy is never probed: it is not written, so it cannot block a delete.
    return ProbeInUse(std::move(path), folderStyle, sandboxId);
}

int CSandBoxFileSystem::CreateShortcut(std::wstring target, std::wstring folder, std::wstring& linkPath,
                                       int /*foldersOnly*/, int sandboxId) const
{
    if (!PathExists(target, sandboxId)) {
        return 0;
    }
    std::wstring stem(LastComponent(target));
    const bool fromShortcut = stem.size() > 4 && EndsWithNoCase(stem, L".lnk");
    if (fromShortcut) {
        std::wstring resolved;
        if (!ResolveShortcut(target, resolved, sandboxId)) {
            return 0;
        }
        target = std::move(resolved);
        stem.resize(stem.size() - 4);
    }
    if (stem.empty() || stem.find(L':') != std::wstring::npos) {
        return 0;  // a drive root has no file name to build a shortcut name from
    }
    // Any entry of the name blocks it, whatever its kind: saving over it would destroy it.
    std::wstring name;
    for (int number = fromShortcut ? 2 : 0; number <= kMaxShortcutNumber && name.empty(); ++number) {
        std::wstring candidate = stem;
        if (!fromShortcut) {
            candidate += L" - 快捷方式";
        }
        if (number > 0) {
            candidate += L" (" + std::to_wstring(number) + L")";
        }
        candidate += L".lnk";
        if (!NameExistsInFolder(folder, candidate, 0, sandboxId)) {
            name = std::move(candidate);
        }
    }
    std::wstring sandboxLinkPath;
    const std::wstring newLinkPath = JoinPath(folder, name);
    if (name.empty() || !ToSandboxPath(newLinkPath, sandboxLinkPath, sandboxId) ||
        MakeFolder(folder, sandboxId, nullptr) != SBFS_FOLDER_READY || !SaveShortcut(target, sandboxLinkPath)) {
        return 0;
    }
    linkPath = newLinkPath;
    return 1;
}

}  // namespace veyra
