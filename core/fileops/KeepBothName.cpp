#include <windows.h>

#include <shlwapi.h>

#include <string>

#include "FileOperationView.h"
#include "FilePrimitives.h"

namespace veyra {

namespace {

constexpr int kFirstNumber = 2;
constexpr int kLastNumber = 99;
// File names this short get no keep-both name.
constexpr std::size_t kShortestNamed = 4;

std::wstring WithoutLastComponent(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

int MakeKeepBothName(const std::wstring& path, std::wstring& out, int ownerKey, int isFolder) noexcept
{
    try {
        const IFileOperationView& view = GetFileOperationView();
        const std::wstring viewPath = view.GetViewPath(path, ownerKey);
        const std::wstring name = PathFindFileNameW(viewPath.c_str());
        if (!isFolder && name.size() < kShortestNamed) {
            return 0;
        }
        const std::wstring extension = PathFindExtensionW(name.c_str());
        const std::wstring stem = name.substr(0, name.size() - extension.size());
        const std::wstring viewFolder = WithoutLastComponent(viewPath);
        const std::wstring folder = WithoutLastComponent(path);
        for (int number = kFirstNumber; number <= kLastNumber; ++number) {
            std::wstring candidate = stem + L" (" + std::to_wstring(number) + L")" + extension;
            // Any entry takes a name: a file and a folder cannot share one.
            if (view.NameExistsInFolder(viewFolder, candidate, false, ownerKey)) {
                continue;
            }
            std::wstring result = folder + L"\\" + candidate;
            if (result.size() >= MAX_PATH) {
                return 0;
            }
            out = std::move(result);
            return 1;
        }
    } catch (...) {
        // Out of memory: no keep-both name.
    }
    return 0;
}

}  // namespace veyra
