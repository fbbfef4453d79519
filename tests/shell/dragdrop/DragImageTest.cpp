// The drag image: its size per system, the badge's circle (widened past 100 items), where it hangs
// under the cursor, and the pixels of the bitmap with and without the background resource.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "shell/dragdrop/DragImage.h"
#include "tests/support/TempFolder.h"
#include "tests/support/RectAssertions.h"

using namespace veyra;
using namespace veyra::test;

namespace {

const ShellPlatform kVista{true, false, false};
const ShellPlatform kXp{false, false, false};

COLORREF PixelAt(HBITMAP bitmap, int x, int y)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 100;
    info.bmiHeader.biHeight = -100;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(100 * 100);
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, 100, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    const DWORD pixel = pixels[static_cast<size_t>(y) * 100 + static_cast<size_t>(x)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

TEST(DragImageTest, BadgeRectPerCount)
{
    struct Case {
        const char* name;
        size_t count;
        const ShellPlatform* platform;
        RECT circle;
    } const cases[] = {
        {"one item has none", 1, &kVista, {0, 0, 0, 0}},
        {"two", 2, &kVista, {41, 41, 59, 59}},
        {"exactly 100", 100, &kVista, {41, 41, 59, 59}},
        {"101 widened", 101, &kVista, {36, 41, 64, 59}},
        {"150 widened", 150, &kVista, {36, 41, 64, 59}},
        {"two before Vista", 2, &kXp, {28, 28, 46, 46}},
        {"150 before Vista", 150, &kXp, {23, 28, 51, 46}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(SameRect(CountBadgeRect(c.count, *c.platform), c.circle)) << c.name;
    }
    EXPECT_EQ(DragImageSize(kVista), 100);
    EXPECT_EQ(DragImageSize(kXp), 74);
    EXPECT_EQ(DragImageColorKey(kXp), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(DragImageColorKey(kVista), GetSysColor(COLOR_WINDOW));
}

TEST(DragImageTest, PlacementCentresOnTheLabel)
{
    const RECT label{0, 54, 74, 71};
    const DragImagePlacement vista = PlaceDragImage(label, kVista);
    EXPECT_EQ(vista.origin.x, -13);
    EXPECT_EQ(vista.origin.y, 13);
    EXPECT_EQ(vista.cursor.x, 37);
    EXPECT_EQ(vista.cursor.y, 103);
    const DragImagePlacement xp = PlaceDragImage(label, kXp);
    EXPECT_EQ(xp.origin.x, 0);
    EXPECT_EQ(xp.origin.y, 26);
    EXPECT_EQ(xp.cursor.x, 37);
    EXPECT_EQ(xp.cursor.y, 70);
}

TEST(DragImageTest, BackgroundItemAndBadgePixels)
{
    const HMODULE withBackground = GetModuleHandleW(nullptr);
    const HMODULE withoutBackground = GetModuleHandleW(L"kernel32.dll");
    const COLORREF key = DragImageColorKey(kVista);
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    TempFolder folder(L"dragimage");
    const std::wstring picture = folder / L"picture.png";
    {
        HRSRC found = FindResourceW(withBackground, MAKEINTRESOURCEW(205), L"PNG");
        ASSERT_NE(found, nullptr);
        const void* bytes = LockResource(LoadResource(withBackground, found));
        ASSERT_TRUE(WriteFileBytes(picture, std::string(static_cast<const char*>(bytes),
                                                        SizeofResource(withBackground, found))));
    }
    struct Case {
        const char* name;
        HMODULE resources;
        std::wstring source;
        size_t count;
        POINT at;
        COLORREF expected;
    } const cases[] = {
        {"background's top half", withBackground, L"", 1, {5, 5}, red},
        {"background's bottom half", withBackground, L"", 1, {5, 95}, blue},
        {"no background: the colour key", withoutBackground, L"", 1, {5, 5}, key},
        {"the item's picture in the middle", withoutBackground, picture, 1, {50, 30}, red},
        {"no picture for a missing file", withoutBackground, folder / L"missing.png", 1, {50, 30}, key},
        {"a narrow badge leaves x=40 alone", withBackground, L"", 50, {40, 47}, red},
        {"the widened badge covers x=40", withBackground, L"", 150, {40, 47}, blue},
        {"the badge's middle holds white digits", withoutBackground, L"", 2, {50, 50}, RGB(255, 255, 255)},
    };
    for (const Case& c : cases) {
        UniqueBitmap image = MakeDragImage(nullptr, c.source, c.count, kVista, c.resources);
        ASSERT_TRUE(image) << c.name;
        BITMAP info{};
        ASSERT_EQ(GetObjectW(image.get(), sizeof(info), &info), static_cast<int>(sizeof(info))) << c.name;
        EXPECT_EQ(info.bmWidth, 100) << c.name;
        EXPECT_EQ(info.bmHeight, 100) << c.name;
        if (c.expected == RGB(255, 255, 255)) {
            // Somewhere inside the circle a digit's pixel is white.
            bool white = false;
            for (int y = 44; y < 57 && !white; ++y) {
                for (int x = 44; x < 57 && !white; ++x) {
                    white = PixelAt(image.get(), x, y) == c.expected;
                }
            }
            EXPECT_TRUE(white) << c.name;
            continue;
        }
        EXPECT_EQ(PixelAt(image.get(), c.at.x, c.at.y), c.expected) << c.name;
    }
}

}  // namespace
