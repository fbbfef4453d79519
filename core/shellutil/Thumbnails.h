#pragma once
// Icons and thumbnails of paths as GDI+ images, the icon loader's sources. They run on the views'
// icon-loader threads and on the UI thread, each of which has COM initialised by its owner; the only
// state they share is the shell entry point looked up once.

#include <windows.h>

#include "core/shellutil/ShellPlatform.h"

namespace veyra {

// The picture of an image file scaled to fit `size` (never enlarged); empty for size 16.
[[nodiscard]] ImagePtr GetImageThumbnail(const wchar_t* path, int size) noexcept;
// The shell's thumbnail of a file or folder; empty when the shell has none at least `size` on its longer side.
[[nodiscard]] ImagePtr GetShellThumbnail(const wchar_t* path, int size, int isFolder) noexcept;
// An image file's picture, or the shell's thumbnail of anything else.
[[nodiscard]] ImagePtr GetThumbnailImage(const wchar_t* path, int size) noexcept;
// The shell's thumbnail of the sample folder (a folder that holds a folder). `path` is not used.
[[nodiscard]] ImagePtr GetSampleFolderThumbnail(const wchar_t* path, int size) noexcept;
// The extra-large icon of the system image list for the path.
[[nodiscard]] ImagePtr GetSystemIconImage(const wchar_t* path, int size) noexcept;
// The views' large icon: an icon file, an image file's picture, a folder's thumbnail, else the system icon.
[[nodiscard]] ImagePtr GetIconImage(const wchar_t* path, int size,
                                    const ShellPlatform& platform = CurrentShellPlatform()) noexcept;

// %APPDATA%\sample, created when missing; empty when it cannot be made.
[[nodiscard]] std::wstring GetSampleFolder();

// Whether a shell thumbnail of width x height answers a request for `size`: a smaller one (Wine's stub
// answers 1x1) is no thumbnail, so the icon fallbacks run.
[[nodiscard]] bool IsUsefulThumbnail(int width, int height, int size) noexcept;

}  // namespace veyra
