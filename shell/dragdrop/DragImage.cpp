#include "shell/dragdrop/DragImage.h"

#include <algorithm>
#include <cwchar>

#include "base/ScopedGdi.h"
#include "core/shellutil/ResourceImages.h"
#include "core/shellutil/Thumbnails.h"

namespace veyra {

namespace {

constexpr int kBadgeSide = 18;
constexpr int kWideBadgeExtra = 10;
constexpr int kWideBadgeShift = 5;
constexpr std::size_t kWideBadgeCount = 100;

void DrawItemImage(Gdiplus::Graphics& graphics, Gdiplus::Image& image, int canvas, int side)
{
    const int width = static_cast<int>(image.GetWidth());
    const int height = static_cast<int>(image.GetHeight());
    if (width <= 0 || height <= 0) {
        return;
    }
    // Fit the longer side to `side`, keeping the proportions, centred on the canvas.
    const int drawnWidth = width >= height ? side : std::max(1, side * width / height);
    const int drawnHeight = height >= width ? side : std::max(1, side * height / width);
    graphics.DrawImage(&image, (canvas - drawnWidth) / 2, (canvas - drawnHeight) / 2, drawnWidth, drawnHeight);
}

void DrawBadge(HDC dc, std::size_t count, const ShellPlatform& platform)
{
    RECT circle = CountBadgeRect(count, platform);
    {
        Gdiplus::Graphics graphics(dc);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        const Gdiplus::SolidBrush fill(Gdiplus::Color(255, 0, 0, 255));
        const Gdiplus::Pen outline(Gdiplus::Color(100, 0, 0, 255), 1.0f);
        const int width = circle.right - circle.left, height = circle.bottom - circle.top;
        graphics.FillEllipse(&fill, static_cast<int>(circle.left), static_cast<int>(circle.top), width, height);
        graphics.DrawEllipse(&outline, static_cast<int>(circle.left), static_cast<int>(circle.top), width, height);
    }
    UniqueFont bold(CreateFontW(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"微软雅黑"));
    const ScopedSelectObject font(dc, bold ? static_cast<HGDIOBJ>(bold.get()) : GetStockObject(DEFAULT_GUI_FONT));
    wchar_t text[24];
    std::swprintf(text, 24, L"%d", static_cast<int>(count));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextW(dc, text, -1, &circle, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace

int DragImageSize(const ShellPlatform& platform) noexcept
{
    return platform.vistaOrLater ? 100 : 74;
}

RECT CountBadgeRect(std::size_t count, const ShellPlatform& platform) noexcept
{
    if (count < 2) {
        return RECT{};
    }
    const LONG at = platform.vistaOrLater ? 41 : 28;
    RECT circle{at, at, at + kBadgeSide, at + kBadgeSide};
    if (count > kWideBadgeCount) {
        circle.left -= kWideBadgeShift;
        circle.right = circle.left + kBadgeSide + kWideBadgeExtra;
    }
    return circle;
}

DragImagePlacement PlaceDragImage(const RECT& label, const ShellPlatform& platform) noexcept
{
    const LONG size = DragImageSize(platform);
    const LONG left = label.left + ((label.right - label.left) - size) / 2;
    const LONG top = label.top + ((label.bottom - label.top) - size) / 2;
    const LONG lift = platform.vistaOrLater ? 10 : 30;
    return DragImagePlacement{POINT{left + size / 2, top + size - lift}, POINT{left, top}};
}

COLORREF DragImageColorKey(const ShellPlatform& platform) noexcept
{
    return platform.vistaOrLater ? GetSysColor(COLOR_WINDOW) : RGB(0x80, 0x80, 0x80);
}

UniqueBitmap MakeDragImage(HWND host, const std::wstring& imageSource, std::size_t count,
                           const ShellPlatform& platform, HMODULE resources) noexcept
{
    try {
        const int size = DragImageSize(platform);
        const ScopedGetDC screen(host);
        if (!screen.get()) {
            return UniqueBitmap();
        }
        UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), size, size));
        UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
        if (!bitmap || !dc) {
            return UniqueBitmap();
        }
        {
            const ScopedSelectObject selected(dc.get(), bitmap.get());
            UniqueBrush key(CreateSolidBrush(DragImageColorKey(platform)));
            RECT all{0, 0, size, size};
            FillRect(dc.get(), &all, key.get());
            {
                Gdiplus::Graphics graphics(dc.get());
                graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
                // Pixel centres on half coordinates: a stretched picture covers the canvas to its edges.
                graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
                if (platform.vistaOrLater) {
                    if (ImagePtr background = LoadPngResource(kDragBackgroundResource, resources)) {
                        graphics.DrawImage(background.get(), 0, 0, size, size);
                    }
                }
                const int side = platform.vistaOrLater ? 96 : 48;
                if (ImagePtr item = imageSource.empty() ? nullptr : GetIconImage(imageSource.c_str(), side, platform)) {
                    DrawItemImage(graphics, *item, size, side);
                }
            }
            if (count > 1) {
                DrawBadge(dc.get(), count, platform);
            }
        }
        return bitmap;
    } catch (...) {
        return UniqueBitmap();
    }
}

}  // namespace veyra
