// Thumbnails, icons and conversions, on images written by GDI+ and bitmaps and icons built here.
#include <windows.h>

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>
#include <thread>
#include <vector>

#include "base/ScopedGdi.h"
#include "base/UniqueResource.h"
#include "core/shellutil/DesktopMetrics.h"
#include "core/shellutil/FileKinds.h"
#include "core/shellutil/ImageConvert.h"
#include "core/shellutil/ResourceImages.h"
#include "core/shellutil/Thumbnails.h"
#include "tests/core/shellutil/ImageTestSupport.h"
#include "tests/support/TempFolder.h"

namespace veyra {
namespace {

using test::kBlue;
using test::kRed;
using test::kWhite;
using test::ReadBack;
using test::TempFolder;

struct Size {
    UINT width;
    UINT height;
};

TEST(Images, ImageThumbnailSizes)
{
    TempFolder folder;
    struct Case {
        int width;
        int height;
        int size;
        Size expected;  // {0, 0}: no image
        bool copy;      // a copy at the image's own size, in premultiplied ARGB
    };
    const Case cases[] = {
        {100, 50, 48, {48, 24}, false},
        {50, 100, 48, {24, 48}, false},
        {30, 20, 48, {30, 20}, true},  // never enlarged
        {48, 48, 48, {48, 48}, false},
        {200, 10, 48, {48, 2}, false},
        {1000, 1, 48, {48, 1}, false},  // each side at least 1
        {100, 50, 16, {0, 0}, false},   // small icons never come from image files
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at " << c.size);
        const std::wstring path = folder / (std::to_wstring(c.width) + L"x" + std::to_wstring(c.height) + L".png");
        ASSERT_TRUE(test::WriteRedOverBluePng(path, c.width, c.height));
        const ImagePtr image = GetImageThumbnail(path.c_str(), c.size);
        if (c.expected.width == 0) {
            EXPECT_FALSE(image);
            continue;
        }
        ASSERT_TRUE(image);
        EXPECT_EQ(image->GetWidth(), c.expected.width);
        EXPECT_EQ(image->GetHeight(), c.expected.height);
        if (c.copy) {
            EXPECT_EQ(image->GetPixelFormat(), PixelFormat32bppPARGB);
        }
        const auto pixels = ReadBack(*image);
        ASSERT_TRUE(pixels);
        Gdiplus::Color top;
        Gdiplus::Color bottom;
        pixels->GetPixel(0, 0, &top);
        pixels->GetPixel(0, static_cast<INT>(c.expected.height) - 1, &bottom);
        if (c.expected.height > 1) {
            EXPECT_EQ(top.GetValue(), kRed);
            EXPECT_EQ(bottom.GetValue(), kBlue);
        }
    }
}

TEST(Images, ThumbnailOfWhatIsNoImage)
{
    TempFolder folder;
    const std::wstring fake = folder / L"not really.png";
    ASSERT_TRUE(test::WriteFileBytes(fake, "plain text"));
    EXPECT_FALSE(GetImageThumbnail(fake.c_str(), 48));
    EXPECT_FALSE(GetImageThumbnail((folder / L"missing.png").c_str(), 48));
    EXPECT_FALSE(GetImageThumbnail(nullptr, 48));
    EXPECT_FALSE(GetShellThumbnail((folder / L"missing.txt").c_str(), 48, 0));
    EXPECT_FALSE(GetShellThumbnail(folder.Path().c_str(), 16, 1));
}

TEST(Images, ThumbnailImageTakesImageFilesFromGdiplus)
{
    TempFolder folder;
    const std::wstring path = folder / L"picture.png";
    ASSERT_TRUE(test::WriteRedOverBluePng(path, 100, 50));
    const ImagePtr image = GetThumbnailImage(path.c_str(), 48);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 48u);
}

TEST(Images, ShellThumbnailSmallerThanAskedIsNone)
{
    struct Case {
        int width;
        int height;
        int size;
        bool useful;
    };
    const Case cases[] = {
        {1, 1, 96, false},  // Wine's stub answer
        {95, 95, 96, false}, {96, 48, 96, true}, {48, 96, 96, true}, {256, 256, 96, true}, {0, 0, 96, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsUsefulThumbnail(c.width, c.height, c.size), c.useful) << c.width << "x" << c.height << " for " << c.size;
    }
}

// Both a DIB section and a device-dependent bitmap come out upright.
TEST(Images, BitmapToImageKeepsTheTopOnTop)
{
    const UniqueBitmap dib(test::RedOverBlueDib(4, 6, 0xFF));
    const ScopedGetDC screen(nullptr);
    const UniqueBitmap ddb(CreateCompatibleBitmap(screen.get(), 4, 6));
    {
        UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
        HGDIOBJ old = SelectObject(memory.get(), ddb.get());
        const RECT top = {0, 0, 4, 3};
        const RECT bottom = {0, 3, 4, 6};
        const UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
        const UniqueBrush blue(CreateSolidBrush(RGB(0, 0, 255)));
        FillRect(memory.get(), &top, red.get());
        FillRect(memory.get(), &bottom, blue.get());
        SelectObject(memory.get(), old);
    }
    for (HBITMAP bitmap : {dib.get(), ddb.get()}) {
        for (Gdiplus::PixelFormat format : {PixelFormat32bppRGB, PixelFormat32bppARGB}) {
            SCOPED_TRACE(testing::Message() << (bitmap == dib.get() ? "DIB section" : "DDB") << ", format " << format);
            const ImagePtr image = BitmapToImage(bitmap, format);
            ASSERT_TRUE(image);
            EXPECT_EQ(image->GetWidth(), 4u);
            EXPECT_EQ(image->GetHeight(), 6u);
            EXPECT_EQ(image->GetPixelFormat(), format);
            if (format == PixelFormat32bppARGB && bitmap == ddb.get()) {
                continue;  // a DDB carries no alpha: every pixel reads transparent
            }
            const auto pixels = ReadBack(*image);
            ASSERT_TRUE(pixels);
            Gdiplus::Color top;
            Gdiplus::Color bottom;
            pixels->GetPixel(1, 0, &top);
            pixels->GetPixel(1, 5, &bottom);
            EXPECT_EQ(top.GetValue(), kRed);
            EXPECT_EQ(bottom.GetValue(), kBlue);
        }
    }
    EXPECT_FALSE(BitmapToImage(nullptr, PixelFormat32bppARGB));
    EXPECT_FALSE(BitmapToImage(dib.get(), PixelFormat24bppRGB));
}

UniqueIcon IconOf(HBITMAP colour, HBITMAP mask)
{
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    return UniqueIcon(CreateIconIndirect(&info));
}

Gdiplus::ARGB PixelAt(Gdiplus::Bitmap& pixels, int x, int y)
{
    Gdiplus::Color colour;
    pixels.GetPixel(x, y, &colour);
    return colour.GetValue();
}

TEST(Images, IconToImageUsesTheMaskNotTheColour)
{
    struct Case {
        const char* name;
        std::uint8_t alpha;                    // of every pixel but the marked ones
        std::initializer_list<POINT> masked;   // transparent by the mask
        ShellPlatform platform;
        Gdiplus::ARGB whitePixel;              // expected at (1, 1), a pure-white pixel
        Gdiplus::ARGB maskedPixel;             // expected at (2, 5)
    };
    const ShellPlatform vista{true, false, false};
    const ShellPlatform xp{false, false, false};
    const Case cases[] = {
        {"no alpha, opaque mask: white stays white", 0, {}, vista, kWhite, kBlue},
        {"no alpha, the mask cuts a hole", 0, {{2, 5}}, vista, kWhite, 0},
        {"alpha channel decides on Vista", 0xFF, {{2, 5}}, vista, kWhite, kBlue},
        {"before Vista the mask also cuts into alpha", 0xFF, {{2, 5}}, xp, kWhite, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const UniqueBitmap colour(test::RedOverBlueDib(4, 6, c.alpha));
        test::SetDibPixel(colour.get(), 1, 1, (kWhite & 0x00FFFFFF) | static_cast<std::uint32_t>(c.alpha) << 24);
        const UniqueBitmap mask(test::MaskWith(4, 6, c.masked));
        const UniqueIcon icon = IconOf(colour.get(), mask.get());
        ASSERT_TRUE(icon);
        const ImagePtr image = IconToImage(icon.get(), 6, c.platform);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->GetPixelFormat(), PixelFormat32bppPARGB);
        const auto pixels = ReadBack(*image);
        ASSERT_TRUE(pixels);
        EXPECT_EQ(PixelAt(*pixels, 0, 0), kRed) << "the top row stays on top";
        EXPECT_EQ(PixelAt(*pixels, 0, 5), kBlue);
        EXPECT_EQ(PixelAt(*pixels, 1, 1), c.whitePixel);
        const Gdiplus::ARGB masked = PixelAt(*pixels, 2, 5);
        EXPECT_EQ(c.maskedPixel == 0 ? masked >> 24 : masked, c.maskedPixel);
    }
    EXPECT_FALSE(IconToImage(nullptr, 32));
}

TEST(Images, IconToImageKeepsPartialAlpha)
{
    const UniqueBitmap colour(test::RedOverBlueDib(4, 6, 0xFF));
    test::SetDibPixel(colour.get(), 3, 0, 0x80800000);  // half-transparent red, premultiplied
    const UniqueBitmap mask(test::MaskWith(4, 6, {}));
    const UniqueIcon icon = IconOf(colour.get(), mask.get());
    const ImagePtr image = IconToImage(icon.get(), 6);
    ASSERT_TRUE(image);
    const auto pixels = ReadBack(*image);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(PixelAt(*pixels, 3, 0) >> 24, 0x80u);
}

TEST(Images, IconImageOfFilesFoldersAndMyComputer)
{
    TempFolder folder;
    const std::wstring text = folder / L"notes.txt";
    ASSERT_TRUE(test::WriteFileBytes(text, "text"));
    const std::wstring picture = folder / L"picture.png";
    ASSERT_TRUE(test::WriteRedOverBluePng(picture, 100, 50));
    for (const std::wstring& path : {text, folder.Path(), std::wstring(kMyComputerName), std::wstring(L"C:")}) {
        SCOPED_TRACE(testing::Message() << path);
        const ImagePtr image = GetIconImage(path.c_str(), 48);
        ASSERT_TRUE(image) << "every file and folder has at least its system icon";
        EXPECT_GT(image->GetWidth(), 1u);
    }
    const ImagePtr thumbnail = GetIconImage(picture.c_str(), 48);
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->GetHeight(), 24u);
    EXPECT_FALSE(GetIconImage((folder / L"broken.ico").c_str(), 48));
    EXPECT_FALSE(GetIconImage(nullptr, 48));
}

// The icon loaders of several views run these side by side, each with COM of its own.
TEST(Images, IconImagesOnSeveralThreads)
{
    TempFolder folder;
    const std::wstring picture = folder / L"picture.png";
    ASSERT_TRUE(test::WriteRedOverBluePng(picture, 64, 64));
    std::vector<int> failures(4, 0);
    std::vector<std::thread> threads;
    for (std::size_t index = 0; index < failures.size(); ++index) {
        threads.emplace_back([&, index] {
            CoInitialize(nullptr);
            for (int round = 0; round < 10; ++round) {
                failures[index] += GetIconImage(folder.Path().c_str(), 48) ? 0 : 1;
                failures[index] += GetThumbnailImage(picture.c_str(), 48) ? 0 : 1;
            }
            CoUninitialize();
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(Images, PngResourceOfTheModule)
{
    const ImagePtr image = LoadPngResource(101);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->GetWidth(), 2u);
    const auto pixels = ReadBack(*image);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(PixelAt(*pixels, 0, 0), kRed);
    EXPECT_EQ(PixelAt(*pixels, 1, 1), kBlue);
    EXPECT_FALSE(LoadPngResource(999));
}

TEST(Images, EncoderByExactMimeType)
{
    CLSID png{};
    EXPECT_GE(GetEncoderClsid(L"image/png", &png), 0);
    CLSID none{};
    EXPECT_EQ(GetEncoderClsid(L"IMAGE/PNG", &none), -1);
    EXPECT_EQ(GetEncoderClsid(L"image/none", &none), -1);
}

TEST(Images, SampleFolderIsMadeUnderApplicationData)
{
    const std::wstring sample = GetSampleFolder();
    ASSERT_FALSE(sample.empty());
    EXPECT_TRUE(PathIsDirectoryW(sample.c_str()));
    EXPECT_EQ(sample.substr(sample.size() - 7), L"\\sample");
}

TEST(Images, LabelWidthGrowsWithTheText)
{
    const int shortWidth = MeasureLabelWidth(nullptr, L"新建");
    const int longWidth = MeasureLabelWidth(nullptr, L"新建文件夹 (2).txt");
    EXPECT_GT(shortWidth, 0);
    EXPECT_GT(longWidth, shortWidth);
    EXPECT_EQ(MeasureLabelWidth(nullptr, nullptr), 0);
}

}  // namespace
}  // namespace veyra
