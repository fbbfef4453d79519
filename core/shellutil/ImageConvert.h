#pragma once
// GDI bitmaps and icons turned into GDI+ images, upright and with the transparency the icon means.
// Safe on any thread: nothing is shared.

#include <windows.h>

#include "core/shellutil/ShellPlatform.h"

namespace veyra {

// The bitmap's pixels as 32-bit rows in a new image of the bitmap's size and `format` (a 32-bit format).
// Empty when the pixels cannot be read.
[[nodiscard]] ImagePtr BitmapToImage(HBITMAP bitmap, Gdiplus::PixelFormat format) noexcept;

// The icon at its own size, in 32-bit premultiplied ARGB. `size` is the size the caller asked the icon
// for; the icon's bitmaps decide. Empty when the icon cannot be read.
[[nodiscard]] ImagePtr IconToImage(HICON icon, int size,
                                   const ShellPlatform& platform = CurrentShellPlatform()) noexcept;

// A copy of the whole image in 32-bit premultiplied ARGB at its own size; empty on failure.
[[nodiscard]] ImagePtr PremultipliedCopy(Gdiplus::Bitmap& image) noexcept;

}  // namespace veyra
