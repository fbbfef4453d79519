#pragma once
// Helpers of the image tests: images written by GDI+, pixels read back through a lossless PNG round
// trip (the functions under test hand out plain GDI+ images), and small GDI bitmaps and icons.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/shellutil/ShellPlatform.h"

namespace veyra::test {

constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
constexpr Gdiplus::ARGB kBlue = 0xFF0000FF;
constexpr Gdiplus::ARGB kWhite = 0xFFFFFFFF;

// Writes a width x height PNG, the top half red and the bottom half blue.
bool WriteRedOverBluePng(const std::wstring& path, int width, int height);

// The image's pixels, readable with GetPixel.
std::unique_ptr<Gdiplus::Bitmap> ReadBack(Gdiplus::Image& image);

// A 32-bit top-down DIB section, rows [0, height/2) red and the rest blue, alpha as given.
HBITMAP RedOverBlueDib(int width, int height, std::uint8_t alpha);
// Sets one pixel of such a DIB section (0xAARRGGBB).
void SetDibPixel(HBITMAP dib, int x, int y, std::uint32_t argb);
// A monochrome mask with the given pixels set (transparent).
HBITMAP MaskWith(int width, int height, std::initializer_list<POINT> transparent);

}  // namespace veyra::test
