#include "CxImage.h"

#include <objidl.h>
// gdiplus.h needs min/max and the COM declarations that WIN32_LEAN_AND_MEAN and NOMINMAX leave out.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <cstring>
#include <memory>

#include "base/ComPtr.h"
#include "base/ScopedGdi.h"

namespace {

// GDI+ is started once per process on the first decode and left running: pictures never hold on to it.
bool EnsureGdiplus() noexcept
{
    static const bool started = [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

// The format from the data's signature: GDI+ would accept more, the caller asked for these.
uint32_t DetectFormat(const BYTE* data, uint32_t size) noexcept
{
    static const BYTE kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= sizeof(kPng) && std::memcmp(data, kPng, sizeof(kPng)) == 0) {
        return CXIMAGE_FORMAT_PNG;
    }
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return CXIMAGE_FORMAT_JPG;
    }
    if (size >= 6 && std::memcmp(data, "GIF8", 4) == 0) {
        return CXIMAGE_FORMAT_GIF;
    }
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        return CXIMAGE_FORMAT_BMP;
    }
    return CXIMAGE_FORMAT_UNKNOWN;
}

veyra::ComPtr<IStream> StreamOver(const BYTE* data, uint32_t size) noexcept
{
    veyra::UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!memory) {
        return nullptr;
    }
    void* target = GlobalLock(memory.get());
    if (!target) {
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(memory.get());
    veyra::ComPtr<IStream> stream;
    // The stream frees the memory when it goes.
    if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, stream.put()))) {
        return nullptr;
    }
    (void)memory.release();
    return stream;
}

// Copies the decoded pixels, premultiplied, into a top-down 32-bit DIB section.
veyra::UniqueBitmap ToDibSection(Gdiplus::Bitmap& source, uint32_t width, uint32_t height) noexcept
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    veyra::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) {
        return {};
    }
    Gdiplus::BitmapData target{};
    target.Width = width;
    target.Height = height;
    target.Stride = static_cast<INT>(width * 4);
    target.PixelFormat = PixelFormat32bppPARGB;
    target.Scan0 = bits;
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    if (source.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppPARGB, &target) != Gdiplus::Ok) {
        return {};
    }
    source.UnlockBits(&target);
    return bitmap;
}

}  // namespace

bool CxImage::LoadResource(HRSRC hRes, uint32_t imagetype, HMODULE hModule) noexcept
{
    Clear();
    if (!hRes) {
        return false;
    }
    const DWORD size = SizeofResource(hModule, hRes);
    HGLOBAL loaded = ::LoadResource(hModule, hRes);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0) {
        return false;
    }
    return Decode(data, size, imagetype);
}

bool CxImage::Decode(const void* data, uint32_t size, uint32_t imagetype) noexcept
{
    Clear();
    if (!data || size == 0) {
        return false;
    }
    const auto* bytes = static_cast<const BYTE*>(data);
    const uint32_t detected = DetectFormat(bytes, size);
    if (detected == CXIMAGE_FORMAT_UNKNOWN || (imagetype != CXIMAGE_FORMAT_UNKNOWN && imagetype != detected)) {
        return false;
    }
    if (!EnsureGdiplus()) {
        return false;
    }
    veyra::ComPtr<IStream> stream = StreamOver(bytes, size);
    if (!stream) {
        return false;
    }
    // The stream lives until the pixels are copied out: GDI+ decodes lazily (Wine: through windowscodecs).
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream.get()));
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok) {
        return false;
    }
    const uint32_t width = decoded->GetWidth();
    const uint32_t height = decoded->GetHeight();
    if (width == 0 || height == 0) {
        return false;
    }
    m_bitmap = ToDibSection(*decoded, width, height);
    if (!m_bitmap) {
        return false;
    }
    m_width = width;
    m_height = height;
    m_type = detected;
    return true;
}

long CxImage::Draw(HDC hdc, long x, long y, long cx, long cy) const noexcept
{
    if (!hdc || !m_bitmap) {
        return 0;
    }
    const int width = cx < 0 ? static_cast<int>(m_width) : static_cast<int>(cx);
    const int height = cy < 0 ? static_cast<int>(m_height) : static_cast<int>(cy);
    veyra::UniqueMemoryDC source(CreateCompatibleDC(hdc));
    if (!source) {
        return 0;
    }
    veyra::ScopedSelectObject selected(source.get(), m_bitmap.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const BOOL drawn = GdiAlphaBlend(hdc, static_cast<int>(x), static_cast<int>(y), width, height, source.get(), 0,
                                     0, static_cast<int>(m_width), static_cast<int>(m_height), blend);
    return drawn ? 1 : 0;
}

void CxImage::Clear() noexcept
{
    m_bitmap.reset();
    m_width = 0;
    m_height = 0;
    m_type = CXIMAGE_FORMAT_UNKNOWN;
}
