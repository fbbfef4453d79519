#include "core/shellutil/ImageConvert.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "base/UniqueResource.h"

namespace veyra {

namespace {

constexpr std::uint32_t kAlphaMask = 0xFF000000u;
constexpr std::uint32_t kColourMask = 0x00FFFFFFu;

using BitmapPtr = std::unique_ptr<Gdiplus::Bitmap>;

// Top-down 32-bit pixels of a bitmap, read on a display DC (the bitmap must not be selected anywhere).
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> values;
};

bool ReadPixels(HBITMAP bitmap, Pixels& pixels)
{
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0) {
        return false;
    }
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;  // top-down: the first row read is the top row
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    pixels.values.assign(static_cast<std::size_t>(info.bmWidth) * static_cast<std::size_t>(info.bmHeight), 0);
    UniqueMemoryDC display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!display) {
        return false;
    }
    return GetDIBits(display.get(), bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.values.data(), &header,
                     DIB_RGB_COLORS) == info.bmHeight;
}

// A new bitmap of `format` holding the pixels row for row.
BitmapPtr ImageFromPixels(const Pixels& pixels, Gdiplus::PixelFormat format)
{
    auto image = std::make_unique<Gdiplus::Bitmap>(pixels.width, pixels.height, format);
    if (image->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    const Gdiplus::Rect area(0, 0, pixels.width, pixels.height);
    Gdiplus::BitmapData locked{};
    if (image->LockBits(&area, Gdiplus::ImageLockModeWrite, format, &locked) != Gdiplus::Ok) {
        return nullptr;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(pixels.width) * sizeof(std::uint32_t);
    for (int row = 0; row < pixels.height; ++row) {
        std::memcpy(static_cast<BYTE*>(locked.Scan0) + static_cast<std::ptrdiff_t>(row) * locked.Stride,
                    pixels.values.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(pixels.width),
                    rowBytes);
    }
    image->UnlockBits(&locked);
    return image;
}

bool IsThirtyTwoBitFormat(Gdiplus::PixelFormat format) noexcept
{
    return format == PixelFormat32bppRGB || format == PixelFormat32bppARGB || format == PixelFormat32bppPARGB;
}

// Pixels whose mask is set are transparent; others keep the colour.
void ApplyMask(Pixels& colour, const Pixels& mask, bool keepAlpha)
{
    for (std::size_t index = 0; index < colour.values.size(); ++index) {
        std::uint32_t& pixel = colour.values[index];
        if ((mask.values[index] & kColourMask) != 0) {
            pixel &= kColourMask;
        } else if (!keepAlpha || (pixel & kAlphaMask) == 0) {
            pixel |= kAlphaMask;
        }
    }
}

bool HasAlpha(const Pixels& pixels)
{
    for (const std::uint32_t pixel : pixels.values) {
        if ((pixel & kAlphaMask) != 0) {
            return true;
        }
    }
    return false;
}

// Without a usable mask, pure white is taken for the background.
void WhiteAsTransparent(Pixels& pixels)
{
    for (std::uint32_t& pixel : pixels.values) {
        pixel = (pixel & kColourMask) == kColourMask ? (pixel & kColourMask) : (pixel | kAlphaMask);
    }
}

BitmapPtr ThirtyTwoBitIconToImage(HBITMAP colourBitmap, HBITMAP maskBitmap, const ShellPlatform& platform)
{
    Pixels colour;
    if (!ReadPixels(colourBitmap, colour)) {
        return nullptr;
    }
    Pixels mask;
    const bool haveMask = ReadPixels(maskBitmap, mask) && mask.width == colour.width && mask.height == colour.height;
    if (haveMask && !platform.vistaOrLater) {
        ApplyMask(colour, mask, true);
    }
    if (!HasAlpha(colour)) {
        // An icon without alpha: its mask says what is transparent, not its colours.
        if (haveMask) {
            ApplyMask(colour, mask, false);
        } else {
            WhiteAsTransparent(colour);
        }
    }
    return ImageFromPixels(colour, PixelFormat32bppARGB);
}

}  // namespace

ImagePtr PremultipliedCopy(Gdiplus::Bitmap& image) noexcept
{
    ImagePtr copy(image.Clone(0, 0, static_cast<INT>(image.GetWidth()), static_cast<INT>(image.GetHeight()),
                              PixelFormat32bppPARGB));
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    return copy;
}

ImagePtr BitmapToImage(HBITMAP bitmap, Gdiplus::PixelFormat format) noexcept
{
    try {
        Pixels pixels;
        if (!IsThirtyTwoBitFormat(format) || !ReadPixels(bitmap, pixels)) {
            return nullptr;
        }
        return ImageFromPixels(pixels, format);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

ImagePtr IconToImage(HICON icon, [[maybe_unused]] int size, const ShellPlatform& platform) noexcept
{
    try {
        ICONINFO info{};
        if (!icon || !GetIconInfo(icon, &info)) {
            return nullptr;
        }
        const UniqueBitmap colour(info.hbmColor);
        const UniqueBitmap mask(info.hbmMask);
        BITMAP colourInfo{};
        BitmapPtr image;
        if (colour && GetObjectW(colour.get(), sizeof(colourInfo), &colourInfo) != 0 && colourInfo.bmBitsPixel == 32) {
            image = ThirtyTwoBitIconToImage(colour.get(), mask.get(), platform);
        } else {
            image.reset(Gdiplus::Bitmap::FromHICON(icon));
        }
        if (!image || image->GetLastStatus() != Gdiplus::Ok) {
            return nullptr;
        }
        return PremultipliedCopy(*image);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace veyra
