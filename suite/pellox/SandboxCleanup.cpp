#include "suite/pellox/SandboxCleanup.h"

#include <windows.h>

#include <vector>

#include "base/UniqueResource.h"

namespace veyra::suite {

const wchar_t kDeletionMarksRoot[] = L"KavoSandBox";

namespace {

constexpr wchar_t kShadowFolder[] = L"KavoSANDBOX\\SHADOW";

bool IsDotEntry(const wchar_t* name) noexcept
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Extended-length paths: a sandbox copy may hold paths longer than 259 characters.
std::wstring LongPath(const std::wstring& path)
{
    return path.starts_with(L"\\\\?\\") ? path : L"\\\\?\\" + path;
}

bool RemoveEntry(const std::wstring& path, DWORD attributes) noexcept
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return RemoveFolderTree(path);
    }
    // A link to a folder is removed as a folder entry; what it points to is left alone.
    return isFolder ? RemoveDirectoryW(path.c_str()) != FALSE : DeleteFileW(path.c_str()) != FALSE;
}

}  // namespace

bool RemoveFolderTree(const std::wstring& folder) noexcept
{
    try {
        const std::wstring root = LongPath(folder);
        const DWORD rootAttributes = GetFileAttributesW(root.c_str());
        if (rootAttributes == INVALID_FILE_ATTRIBUTES) {
            return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
        }
        bool complete = true;
        WIN32_FIND_DATAW found{};
        UniqueFindHandle find(FindFirstFileW((root + L"\\*").c_str(), &found));
        if (find && !(rootAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            do {
                if (!IsDotEntry(found.cFileName)) {
                    complete &= RemoveEntry(root + L"\\" + found.cFileName, found.dwFileAttributes);
                }
            } while (FindNextFileW(find.get(), &found));
        }
        find.reset();
        SetFileAttributesW(root.c_str(), FILE_ATTRIBUTE_NORMAL);
        return RemoveDirectoryW(root.c_str()) && complete;
    } catch (...) {
        return false;
    }
}

bool RemoveDeletionMarks() noexcept
{
    UniqueRegKey root;
    const LSTATUS opened = RegOpenKeyExW(HKEY_USERS, kDeletionMarksRoot, 0, KEY_READ | KEY_WRITE | DELETE,
                                         root.put());
    if (opened == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (opened != ERROR_SUCCESS) {
        return false;
    }
    try {
        std::vector<std::wstring> names;
        wchar_t name[256];
        for (DWORD index = 0;; ++index) {
            DWORD chars = 256;
            const LSTATUS status = RegEnumKeyExW(root.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr);
            if (status != ERROR_SUCCESS) {
                break;
            }
            names.emplace_back(name, chars);
        }
        bool complete = true;
        for (const std::wstring& sub : names) {
            complete &= RegDeleteTreeW(root.get(), sub.c_str()) == ERROR_SUCCESS;
        }
        return complete;
    } catch (...) {
        return false;
    }
}

bool EmptySandbox() noexcept
{
    bool complete = true;
    const DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (!(drives & (1u << letter))) {
            continue;
        }
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + letter), L':', L'\\', L'\0'};
        if (GetDriveTypeW(root) == DRIVE_FIXED) {
            complete &= RemoveFolderTree(std::wstring(root) + kShadowFolder);
        }
    }
    complete &= RemoveDeletionMarks();
    return complete;
}

}  // namespace veyra::suite
