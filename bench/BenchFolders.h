#pragma once
// Folders the benchmarks fill and remove again.

#include <windows.h>

#include <string>

#include "base/UniqueResource.h"

namespace veyra::bench {

inline bool MakeFolderTree(const std::wstring& path)
{
    const auto slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 2) {
        MakeFolderTree(path.substr(0, slash));
    }
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Deletes the folder's files, then the folder.
inline void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            }
        } while (FindNextFileW(find.get(), &found));
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace veyra::bench
