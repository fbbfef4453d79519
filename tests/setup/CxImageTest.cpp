// The installer's image layer on the hint picture it carries.
#include "setup/image/CxImage.h"

#include <gtest/gtest.h>

#include "base/ScopedGdi.h"
#include "resources/setup/SetupResources.h"
#include "tests/setup/SetupFixture.h"

namespace veyra::test {
namespace {

struct Canvas {
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 230;
    UniqueMemoryDC dc{CreateCompatibleDC(nullptr)};
    UniqueBitmap bitmap;
    DWORD* pixels = nullptr;

    Canvas()
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0));
        SelectObject(dc.get(), bitmap.get());
        for (int i = 0; i < kWidth * kHeight; ++i) {
            pixels[i] = 0x00FFFFFF;
        }
    }
    [[nodiscard]] DWORD At(int x, int y) const { return pixels[y * kWidth + x] & 0x00FFFFFF; }
};

TEST(CxImage, HintPictureDecodesTo380x210AndDraws)
{
    UniqueModule installer(LoadLibraryExW(InstallerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(installer);
    HRSRC resource = FindResourceW(installer.get(), MAKEINTRESOURCEW(IDR_HINT_PICTURE), L"SANDBOX");
    ASSERT_NE(resource, nullptr);

    CxImage picture;
    ASSERT_TRUE(picture.LoadResource(resource, CXIMAGE_FORMAT_UNKNOWN, installer.get()));
    EXPECT_TRUE(picture.IsValid());
    EXPECT_EQ(picture.GetWidth(), 380u);
    EXPECT_EQ(picture.GetHeight(), 210u);
    EXPECT_EQ(picture.GetType(), static_cast<uint32_t>(CXIMAGE_FORMAT_PNG));

    Canvas canvas;
    ASSERT_EQ(picture.Draw(canvas.dc.get(), 10, 12), 1);
    GdiFlush();
    // Title strip, page background, and the canvas left as it was around the picture.
    EXPECT_EQ(canvas.At(10 + 200, 12 + 5), 0x2F6FDEu);
    EXPECT_EQ(canvas.At(10 + 375, 12 + 205), 0xEEF2F7u);
    EXPECT_EQ(canvas.At(5, 5), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(10 + 385, 12 + 215), 0xFFFFFFu);
}

TEST(CxImage, RefusesWhatItCannotDecode)
{
    UniqueModule installer(LoadLibraryExW(InstallerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(installer);
    HRSRC picture = FindResourceW(installer.get(), MAKEINTRESOURCEW(IDR_HINT_PICTURE), L"SANDBOX");
    HRSRC notAPicture = FindResourceW(installer.get(), MAKEINTRESOURCEW(IDR_PAYLOAD_THEME), L"SANDBOX");
    ASSERT_NE(notAPicture, nullptr);

    CxImage image;
    EXPECT_FALSE(image.LoadResource(picture, CXIMAGE_FORMAT_JPG, installer.get())) << "wrong format accepted";
    EXPECT_FALSE(image.LoadResource(notAPicture, CXIMAGE_FORMAT_UNKNOWN, installer.get()));
    EXPECT_FALSE(image.LoadResource(nullptr, CXIMAGE_FORMAT_UNKNOWN, installer.get()));
    const unsigned char truncatedPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
    EXPECT_FALSE(image.Decode(truncatedPng, sizeof(truncatedPng), CXIMAGE_FORMAT_UNKNOWN));
    EXPECT_FALSE(image.IsValid());
    Canvas canvas;
    EXPECT_EQ(image.Draw(canvas.dc.get(), 0, 0), 0);
}

}  // namespace
}  // namespace veyra::test
