#include "tests/core/shellutil/ImageTestSupport.h"

#include <vector>

#include "base/ComPtr.h"
#include "core/shellutil/ResourceImages.h"

namespace veyra::test {

namespace {

CLSID PngEncoder()
{
    CLSID png{};
    static_cast<void>(GetEncoderClsid(L"image/png", &png));
    return png;
}

}  // namespace

bool WriteRedOverBluePng(const std::wstring& path, int width, int height)
{
    Gdiplus::Bitmap image(width, height, PixelFormat32bppARGB);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetPixel(x, y, Gdiplus::Color(y < height / 2 ? kRed : kBlue));
        }
    }
    const CLSID png = PngEncoder();
    return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

std::unique_ptr<Gdiplus::Bitmap> ReadBack(Gdiplus::Image& image)
{
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) {
        return nullptr;
    }
    const CLSID png = PngEncoder();
    if (image.Save(stream.get(), &png, nullptr) != Gdiplus::Ok) {
        return nullptr;
    }
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream.get()));
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    // A copy that no longer needs the stream.
    return std::unique_ptr<Gdiplus::Bitmap>(decoded->Clone(0, 0, static_cast<INT>(decoded->GetWidth()),
                                                            static_cast<INT>(decoded->GetHeight()),
                                                            PixelFormat32bppARGB));
}

HBITMAP RedOverBlueDib(int width, int height, std::uint8_t alpha)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) {
        return nullptr;
    }
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = (y < height / 2 ? kRed : kBlue) & 0x00FFFFFF;
            pixels[y * width + x] = colour | static_cast<std::uint32_t>(alpha) << 24;
        }
    }
    return dib;
}

void SetDibPixel(HBITMAP dib, int x, int y, std::uint32_t argb)
{
    DIBSECTION section{};
    GetObjectW(dib, sizeof(section), &section);
    auto* pixels = static_cast<std::uint32_t*>(section.dsBm.bmBits);
    pixels[y * section.dsBm.bmWidth + x] = argb;
}

HBITMAP MaskWith(int width, int height, std::initializer_list<POINT> transparent)
{
    const int rowBytes = (width + 15) / 16 * 2;
    std::vector<BYTE> bits(static_cast<std::size_t>(rowBytes * height), 0);
    for (const POINT& point : transparent) {
        bits[static_cast<std::size_t>(point.y * rowBytes + point.x / 8)] |= static_cast<BYTE>(0x80 >> (point.x % 8));
    }
    return CreateBitmap(width, height, 1, 1, bits.data());
}

}  // namespace veyra::test
