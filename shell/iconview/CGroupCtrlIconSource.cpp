#include "shell/iconview/CGroupCtrlIconSource.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>

#include "base/FixedPath.h"
#include "core/shellutil/PathText.h"

namespace veyra {

namespace {

constexpr int kGenericShellIcon = 2;

struct PictureKind {
    const wchar_t* extension;
    UINT type;
    UINT flags;
};

const PictureKind kPictureKinds[] = {
    {L".ico", IMAGE_ICON, LR_LOADFROMFILE},
    {L".bmp", IMAGE_BITMAP, LR_LOADFROMFILE | LR_CREATEDIBSECTION},
    {L".cur", IMAGE_CURSOR, LR_LOADFROMFILE},
    {L".ani", IMAGE_CURSOR, LR_LOADFROMFILE},
};

HICON ExtractOne(const wchar_t* file, int index, int size) noexcept
{
    HICON icon = nullptr;
    UINT id = 0;
    if (PrivateExtractIconsW(file, index, size, size, &icon, &id, 1, 0) == 1 && icon) {
        return icon;
    }
    if (icon) {
        DestroyIcon(icon);
    }
    return nullptr;
}

}  // namespace

void ResolveIconLocation(const std::wstring& text, const wchar_t* systemFolder, std::wstring& file, int& index)
{
    index = 0;
    const size_t comma = text.find(L',');
    if (comma != std::wstring::npos) {
        std::wstring part = text.substr(0, comma);
        if (part.find(L'\\') == std::wstring::npos && systemFolder && *systemFolder) {
            part = std::wstring(systemFolder) + L"\\" + part;
        }
        wchar_t longPath[kMaxPathChars] = {};
        wchar_t expanded[kMaxPathChars] = {};
        const DWORD expandedChars = ShortToLongPath(part.c_str(), longPath, kMaxPathChars)
                                        ? ExpandEnvironmentStringsW(longPath, expanded, kMaxPathChars)
                                        : 0;
        if (expandedChars > 0 && expandedChars <= kMaxPathChars && PathFileExistsW(expanded)) {
            file = expanded;
            index = _wtoi(text.c_str() + comma + 1);
            return;
        }
    }
    file = PathIsDirectoryW(text.c_str()) ? std::wstring() : text;
}

UniqueIcon LoadIconFromSource(const std::wstring& file, int index, int size) noexcept
{
    const wchar_t* extension = PathFindExtensionW(file.c_str());
    for (const PictureKind& kind : kPictureKinds) {
        if (_wcsicmp(extension, kind.extension) == 0) {
            if (HANDLE picture = LoadImageW(nullptr, file.c_str(), kind.type, size, size, kind.flags)) {
                if (kind.type == IMAGE_BITMAP) {
                    // A bitmap is drawn as an icon whose mask lets all of it through.
                    UniqueBitmap bitmap(static_cast<HBITMAP>(picture));
                    const UniqueBitmap mask(CreateBitmap(size, size, 1, 1, nullptr));
                    ICONINFO info{TRUE, 0, 0, mask.get(), bitmap.get()};
                    return UniqueIcon(CreateIconIndirect(&info));
                }
                return UniqueIcon(static_cast<HICON>(picture));
            }
            break;
        }
    }
    if (!file.empty() && PrivateExtractIconsW(file.c_str(), 0, 0, 0, nullptr, nullptr, 0, 0) > 0) {
        if (HICON icon = ExtractOne(file.c_str(), index, size)) {
            return UniqueIcon(icon);
        }
        HICON large = nullptr;
        if (ExtractIconExW(file.c_str(), index, &large, nullptr, 1) > 0 && large) {
            return UniqueIcon(large);
        }
    }
    SHFILEINFOW info{};
    const UINT flags = SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | (size == 16 ? SHGFI_SMALLICON : 0);
    if (SHGetFileInfoW(file.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags) && info.hIcon) {
        return UniqueIcon(info.hIcon);
    }
    wchar_t shell32[kMaxPathChars] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_SYSTEMX86, nullptr, SHGFP_TYPE_CURRENT, shell32)) ||
        !PathAppendW(shell32, L"shell32.dll")) {
        return UniqueIcon();
    }
    return UniqueIcon(ExtractOne(shell32, kGenericShellIcon, size));
}

}  // namespace veyra
