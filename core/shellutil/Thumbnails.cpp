#include "core/shellutil/Thumbnails.h"

#include <commctrl.h>
#include <commoncontrols.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <algorithm>
#include <cwchar>
#include <new>
#include <string>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"
#include "core/shellutil/FileKinds.h"
#include "core/shellutil/ImageConvert.h"

namespace veyra {

namespace {

constexpr int kSmallIconSize = 16;

using SHCreateItemFromIDListFunction = HRESULT(WINAPI*)(PCIDLIST_ABSOLUTE, REFIID, void**);

// Looked up once; every thread that races here stores the same value.
SHCreateItemFromIDListFunction CreateItemFromIDList() noexcept
{
    static const SHCreateItemFromIDListFunction function = [] {
        HMODULE shell = GetModuleHandleW(L"shell32.dll");
        return shell ? reinterpret_cast<SHCreateItemFromIDListFunction>(
                           reinterpret_cast<void*>(GetProcAddress(shell, "SHCreateItemFromIDList")))
                     : nullptr;
    }();
    return function;
}

struct IdListDeleter {
    void operator()(ITEMIDLIST* list) const noexcept { ILFree(list); }
};
using UniqueIdList = std::unique_ptr<ITEMIDLIST, IdListDeleter>;

struct CoTaskDeleter {
    void operator()(void* memory) const noexcept { CoTaskMemFree(memory); }
};

ImagePtr ScaledImage(Gdiplus::Bitmap& image, int size)
{
    const UINT width = image.GetWidth();
    const UINT height = image.GetHeight();
    if (width == 0 || height == 0) {
        return nullptr;
    }
    const double scale = std::min(static_cast<double>(size) / width, static_cast<double>(size) / height);
    const auto newWidth = static_cast<UINT>(width * scale + 0.5);
    const auto newHeight = static_cast<UINT>(height * scale + 0.5);
    if (newWidth > width || newHeight > height) {
        return PremultipliedCopy(image);  // images are never enlarged
    }
    ImagePtr thumbnail(image.GetThumbnailImage(std::max(newWidth, 1u), std::max(newHeight, 1u), nullptr, nullptr));
    return thumbnail && thumbnail->GetLastStatus() == Gdiplus::Ok ? std::move(thumbnail) : nullptr;
}

// The index of the path's icon in the system image list, or -1.
int SystemIconIndex(const wchar_t* path) noexcept
{
    SHFILEINFOW info{};
    if (std::wcscmp(path, kMyComputerName) != 0) {
        return SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_SYSICONINDEX) ? info.iIcon : -1;
    }
    ITEMIDLIST* drives = nullptr;
    if (FAILED(SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, &drives)) || !drives) {
        return -1;
    }
    const std::unique_ptr<ITEMIDLIST, CoTaskDeleter> owned(drives);
    const DWORD_PTR found = SHGetFileInfoW(reinterpret_cast<const wchar_t*>(drives), 0, &info, sizeof(info),
                                           SHGFI_SYSICONINDEX | SHGFI_PIDL);
    return found ? info.iIcon : -1;
}

ImagePtr IconFileImage(const wchar_t* path, int size) noexcept
{
    const UniqueIcon icon(static_cast<HICON>(LoadImageW(nullptr, path, IMAGE_ICON, size, size, LR_LOADFROMFILE)));
    return icon ? IconToImage(icon.get(), size) : nullptr;
}

bool EnsureFolder(const std::wstring& path) noexcept
{
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

bool IsUsefulThumbnail(int width, int height, int size) noexcept
{
    return width > 0 && height > 0 && std::max(width, height) >= size;
}

ImagePtr GetImageThumbnail(const wchar_t* path, int size) noexcept
{
    if (!path || size <= 0 || size == kSmallIconSize) {
        return nullptr;
    }
    try {
        std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromFile(path));
        if (!image || image->GetLastStatus() != Gdiplus::Ok) {
            return nullptr;
        }
        return ScaledImage(*image, size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

ImagePtr GetShellThumbnail(const wchar_t* path, int size, int isFolder) noexcept
{
    const SHCreateItemFromIDListFunction createItem = CreateItemFromIDList();
    if (!path || size <= 0 || size == kSmallIconSize || !createItem || !PathFileExistsW(path)) {
        return nullptr;
    }
    const UniqueIdList idList(ILCreateFromPathW(path));
    ComPtr<IShellItem> item;
    if (!idList || FAILED(createItem(idList.get(), __uuidof(IShellItem), item.put_void()))) {
        return nullptr;
    }
    ComPtr<IShellItemImageFactory> factory;
    UniqueBitmap bitmap;
    if (FAILED(item.As(__uuidof(IShellItemImageFactory), factory)) ||
        FAILED(factory->GetImage(SIZE{size, size}, SIIGBF_THUMBNAILONLY, bitmap.put())) || !bitmap) {
        return nullptr;
    }
    BITMAP info{};
    if (GetObjectW(bitmap.get(), sizeof(info), &info) == 0 || !IsUsefulThumbnail(info.bmWidth, info.bmHeight, size)) {
        return nullptr;
    }
    return BitmapToImage(bitmap.get(), isFolder ? PixelFormat32bppARGB : PixelFormat32bppRGB);
}

ImagePtr GetThumbnailImage(const wchar_t* path, int size) noexcept
{
    if (IsImageFile(path)) {
        return GetImageThumbnail(path, size);
    }
    return path ? GetShellThumbnail(path, size, PathIsDirectoryW(path) ? 1 : 0) : nullptr;
}

std::wstring GetSampleFolder()
{
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) {
        return {};
    }
    std::wstring folder = std::wstring(appData) + L"\\sample";
    if (folder.size() >= MAX_PATH || !EnsureFolder(folder)) {
        return {};
    }
    return folder;
}

ImagePtr GetSampleFolderThumbnail([[maybe_unused]] const wchar_t* path, int size) noexcept
{
    try {
        const std::wstring folder = GetSampleFolder();
        // A folder that holds a folder, so the shell draws it as a folder with content.
        if (folder.empty() || !EnsureFolder(folder + L"\\sample")) {
            return nullptr;
        }
        return GetShellThumbnail(folder.c_str(), size, 1);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

ImagePtr GetSystemIconImage(const wchar_t* path, int size) noexcept
{
    const int index = path ? SystemIconIndex(path) : -1;
    ComPtr<IImageList> list;
    if (index < 0 || FAILED(SHGetImageList(SHIL_EXTRALARGE, __uuidof(IImageList), list.put_void()))) {
        return nullptr;
    }
    UniqueIcon icon;
    if (FAILED(list->GetIcon(index, ILD_IMAGE, icon.put())) || !icon) {
        return nullptr;
    }
    return IconToImage(icon.get(), size);
}

ImagePtr GetIconImage(const wchar_t* path, int size, const ShellPlatform& platform) noexcept
{
    if (!path) {
        return nullptr;
    }
    if (IsIconFile(path)) {
        return IconFileImage(path, size);
    }
    if (IsImageFile(path)) {
        return GetImageThumbnail(path, size);
    }
    if (platform.vistaOrLater && !IsSpecialFolder(path) && PathIsDirectoryW(path)) {
        if (ImagePtr thumbnail = GetShellThumbnail(path, size, 1)) {
            return thumbnail;
        }
        if (ImagePtr sample = GetSampleFolderThumbnail(path, size)) {
            return sample;
        }
        // No thumbnail at all (Wine's shell has none): the folder still gets its system icon.
    }
    return GetSystemIconImage(path, size);
}

}  // namespace veyra
