#include "core/shellutil/FileKinds.h"

#include <windows.h>

#include <shlwapi.h>

#include <cwchar>

namespace veyra {

const wchar_t kMyComputerName[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

namespace {

bool HasExtension(const wchar_t* path, const wchar_t* const* extensions) noexcept
{
    if (!path) {
        return false;
    }
    const wchar_t* extension = PathFindExtensionW(path);
    for (; *extensions; ++extensions) {
        if (StrCmpIW(extension, *extensions) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

int IsImageFile(const wchar_t* path) noexcept
{
    static const wchar_t* const kImageExtensions[] = {L".bmp", L".jpg", L".jpeg", L".png", L".gif", nullptr};
    return HasExtension(path, kImageExtensions) ? 1 : 0;
}

int IsIconFile(const wchar_t* path) noexcept
{
    static const wchar_t* const kIconExtensions[] = {L".ico", nullptr};
    return HasExtension(path, kIconExtensions) ? 1 : 0;
}

int IsSpecialFolder(const wchar_t* path) noexcept
{
    if (!path) {
        return 0;
    }
    const bool bareDrive = path[0] != L'\0' && path[1] == L':' && path[2] == L'\0';
    const bool myComputer = std::wcscmp(path, kMyComputerName) == 0;
    const bool controlPanel = std::wcsstr(path, L"控制面板") != nullptr;
    return bareDrive || myComputer || controlPanel ? 1 : 0;
}

}  // namespace veyra
